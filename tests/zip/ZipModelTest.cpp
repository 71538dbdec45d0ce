// SPDX-License-Identifier: GPL-3.0-or-later
// Name conversions, UTF-8 detection, CRC-32 and DOS dates.

#include <gtest/gtest.h>
#include <zlib.h>

#include "tests/zip/ZipTestUtil.h"
#include "zip/KAZip.h"
#include "zip/ZipCrc32.h"
#include "zip/ZipDosTime.h"
#include "zip/ZipNames.h"

namespace qurvex {
namespace {

using namespace ziptest;

TEST(ZipNames, ConversionsMatchTheStoredForm) {
    EXPECT_EQ(ToZipName("a\\b.xml"), "a/b.xml");
    EXPECT_EQ(ToZipName("c:\\a\\b.xml"), "a/b.xml");
    EXPECT_EQ(ToZipName("\\\\server\\share\\x\\y.txt"), "x/y.txt");
    EXPECT_EQ(ToZipName("/abs/path.txt"), "abs/path.txt");
    EXPECT_EQ(ToZipName(""), "");
    EXPECT_TRUE(SameZipName("A/B.XML", "a/b.xml"));
    EXPECT_FALSE(SameZipName("a/b.xm", "a/b.xml"));
    EXPECT_TRUE(IsSafeEntryPath("dir/sub/file.txt"));
    EXPECT_TRUE(IsSafeEntryPath("a..b/c"));
    for (const char* bad : {"", "/x", "\\x", "c:x", "c:/x", "..", "a/../b", "a\\..\\b", "a/.."}) {
        EXPECT_FALSE(IsSafeEntryPath(bad)) << bad;
    }
    const std::pair<const char*, bool> utf8[] = {{"abc", false},
                                                 {"é\x7f", true},
                                                 {"é\x80", false},
                                                 {"\xc2\xa9", true},
                                                 {"\xc1\xbf", false},
                                                 {"\xdf\xbf", true},
                                                 {"\xe0\xa0\x80", true},
                                                 {"\xe0\x9f\xbf", false},
                                                 {"\xed\x9f\xbf", true},
                                                 {"\xed\xa0\x80", false},
                                                 {"\xef\xbf\xbf", true},
                                                 {"\xc3", false},
                                                 {"\xf0\x90\x80\x80", true},
                                                 {"\xf0\x8f\xbf\xbf", false},
                                                 {"\xf4\x8f\xbf\xbf", true},
                                                 {"\xf4\x90\x80\x80", false},
                                                 {"\xf5\x80\x80\x80", false},
                                                 {"\xe2\x82x", false}};
    for (const auto& [name, flagged] : utf8) EXPECT_EQ(IsUtf8Name(name), flagged) << name;
    EXPECT_EQ(ZipNameExtension("dir.v2/file"), "");
    EXPECT_EQ(ZipNameExtension("x/rdml_data.XML"), ".XML");
    EXPECT_EQ(TKAZipEntries::RelativeName("/data/x/rdml_data.xml", "/data/x"), "rdml_data.xml");
    EXPECT_EQ(TKAZipEntries::RelativeName("/data/x/rdml_data.xml", "/data/"), "x/rdml_data.xml");
    EXPECT_EQ(TKAZipEntries::RelativeName("/data/xy/f.xml", "/data/x"), "/data/xy/f.xml");

    TKAZip zip;
    zip.LoadFromBuffer(EmptyArchive());
    EXPECT_THROW(zip.Entries().GetEntry(0), EZipError);
}

TEST(ZipCrc, StandardCheckValueAndZlibAgreeAtEveryLengthAndAlignment) {
    EXPECT_EQ(ComputeCRC32("123456789", 9), 0xCBF43926u);
    // Long buffers go through a carry-less-multiply routine; zlib's table routine is the reference.
    const Bytes data = NoiseBytes(5000, 77);
    for (std::size_t offset = 0; offset < 17; ++offset) {
        for (std::size_t length : {0, 1, 15, 63, 64, 65, 79, 80, 127, 128, 129, 1000, 4983}) {
            const auto start = static_cast<uint32_t>(offset * 0x9E3779B9u);
            EXPECT_EQ(ComputeCRC32(data.data() + offset, length, start),
                      crc32(start, data.data() + offset, static_cast<uInt>(length)));
        }
    }
}

TEST(ZipDosTime, PacksFieldsAndClampsTheRange) {
    const ZipDateTime t{2021, 12, 24, 13, 45, 58};
    const uint32_t dos = DateTimeToDos(t);
    EXPECT_EQ(dos >> 16, static_cast<uint32_t>((41 << 9) | (12 << 5) | 24));
    EXPECT_EQ(dos & 0xffff, static_cast<uint32_t>((13 << 11) | (45 << 5) | 29));
    EXPECT_EQ(DosToDateTime(dos), t);
    EXPECT_EQ(DosToDateTime(DateTimeToDos({1970, 1, 1, 0, 0, 0})),
              (ZipDateTime{1980, 1, 1, 0, 0, 0}));
    EXPECT_EQ(DosToDateTime(DateTimeToDos({2107, 6, 1, 0, 0, 0})), (ZipDateTime{2107, 6, 1}));
    EXPECT_EQ(DosToDateTime(DateTimeToDos({2108, 1, 1})), (ZipDateTime{2107, 12, 31, 23, 59, 58}));
    const ZipDateTime local = LocalDateTime(1700000000);  // 14 November 2023 in every time zone
    EXPECT_EQ(local.Year * 100 + local.Month, 202311);
}

}  // namespace
}  // namespace qurvex
