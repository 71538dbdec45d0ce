// SPDX-License-Identifier: GPL-3.0-or-later
// Name conversions, CRC-32, DOS dates and the compression type read from the flags.
#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "tests/zip/ZipTestUtil.h"
#include "zip/KAZip.h"
#include "zip/ZipCrc32.h"
#include "zip/ZipDosTime.h"
#include "zip/ZipNames.h"
#include "zip/ZipRecords.h"

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
  EXPECT_EQ(ZipNameExtension("dir.v2/file"), "");
  EXPECT_EQ(ZipNameExtension("x/rdml_data.XML"), ".XML");
  EXPECT_EQ(TKAZipEntries::RelativeName("/data/x/rdml_data.xml", "/data/x"), "rdml_data.xml");
  EXPECT_EQ(TKAZipEntries::RelativeName("/data/x/rdml_data.xml", "/data/"), "x/rdml_data.xml");
  EXPECT_EQ(TKAZipEntries::RelativeName("/data/xy/f.xml", "/data/x"), "/data/xy/f.xml");
}

TEST(ZipNames, IndexOfEntryIgnoresCaseSeparatorsAndDrive) {
  TKAZip zip;
  zip.LoadFromBuffer(Bytes{'P', 'K', 5, 6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  zip.StoreFolders = false;
  zip.AddBuffer("a/b.xml", ToBytes("b"));
  for (const char* name : {"a\\b.xml", "A/B.XML", "c:\\a\\b.xml"}) EXPECT_EQ(zip.Entries().IndexOfEntry(name), 0) << name;
  EXPECT_EQ(zip.Entries().IndexOfEntry("b.xml"), -1);
  EXPECT_THROW(zip.Entries().GetEntry(1), EZipError);
}

TEST(ZipCrc, StandardCheckValues) {
  EXPECT_EQ(ComputeCRC32("123456789", 9), 0xCBF43926u);
  EXPECT_EQ(ComputeCRC32("", 0), 0u);
  // Running value over pieces equals the value over the whole.
  EXPECT_EQ(ComputeCRC32("6789", 4, ComputeCRC32("12345", 5)), 0xCBF43926u);
}

TEST(ZipCrc, WideRoutineAgreesWithZlibAtEveryLengthAndAlignment) {
  // The bulk of long buffers goes through a carry-less-multiply routine; zlib's
  // table routine is the reference for every length, alignment and start value.
  const Bytes data = NoiseBytes(5000, 77);
  for (std::size_t offset = 0; offset < 17; ++offset) {
    for (std::size_t length : {0, 1, 15, 16, 17, 63, 64, 65, 79, 80, 127, 128, 129, 255, 1000, 4096, 4983}) {
      const uint32_t start = static_cast<uint32_t>(offset * 0x9E3779B9u);
      EXPECT_EQ(ComputeCRC32(data.data() + offset, length, start),
                static_cast<uint32_t>(crc32(start, data.data() + offset, static_cast<uInt>(length))))
          << offset << " " << length;
    }
  }
}

TEST(ZipDosTime, PacksFieldsAndClampsTheRange) {
  const ZipDateTime t{2021, 12, 24, 13, 45, 58};
  const uint32_t dos = DateTimeToDos(t);
  EXPECT_EQ(dos >> 16, static_cast<uint32_t>((41 << 9) | (12 << 5) | 24));
  EXPECT_EQ(dos & 0xffff, static_cast<uint32_t>((13 << 11) | (45 << 5) | 29));
  EXPECT_EQ(DosToDateTime(dos), t);
  EXPECT_EQ(DosToDateTime(DateTimeToDos({1970, 1, 1, 0, 0, 0})), (ZipDateTime{1980, 1, 1, 0, 0, 0}));
}

TEST(ZipEntries, LevelBitsGiveTheCompressionTypeAndAllInflate) {
  // Entries written with each of the four level bit patterns read back as
  // ctNormal, ctMaximum, ctFast and ctSuperFast and extract alike.
  const Bytes text = TextBytes(2000, 1);
  TKAZip zip;
  zip.LoadFromBuffer(Bytes{'P', 'K', 5, 6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  zip.AddBuffer("x.txt", text);
  EXPECT_EQ(zip.Entries()[0].CompressionType, TZipCompressionType::ctNormal);
  const Bytes base = zip.Data();
  const std::size_t central = ReadLe32(&base[base.size() - 22 + 16]);
  const TZipCompressionType expected[] = {TZipCompressionType::ctNormal, TZipCompressionType::ctMaximum,
                                          TZipCompressionType::ctFast, TZipCompressionType::ctSuperFast};
  for (uint8_t bits = 0; bits < 4; ++bits) {
    Bytes b = base;
    b[6] = static_cast<uint8_t>(bits << 1);
    b[central + 8] = static_cast<uint8_t>(bits << 1);
    TKAZip reread;
    reread.LoadFromBuffer(b);
    EXPECT_EQ(reread.Entries()[0].CompressionType, expected[bits]);
    EXPECT_EQ(reread.ExtractToBuffer("x.txt"), text);
  }
  zip.SetCompressionType(TZipCompressionType::ctUnknown);
  EXPECT_EQ(zip.CompressionType(), TZipCompressionType::ctNormal);
}

TEST(ZipEntries, EventsReportOpenAddAndClose) {
  TempDir dir;
  const std::string path = dir / "e.zip";
  {
    std::ofstream out(path, std::ios::binary);
    TKAZip::CreateEmptyArchive(out);
  }
  TKAZip zip;
  std::vector<int> changes;
  std::vector<std::string> added;
  int64_t lastTotal = 0;
  zip.OnZipChange = [&](TKAZip&, int type) { changes.push_back(type); };
  zip.OnAddItem = [&](TKAZip&, const std::string& name) { added.push_back(name); };
  zip.OnDecompressFile = [&](TKAZip&, int64_t, int64_t total) { lastTotal = total; };
  zip.OpenArchive(path);
  WriteFile(dir / "f.txt", TextBytes(1000, 2));
  zip.AddFiles({dir / "f.txt"}, dir.Path(), false);
  zip.ExtractToBuffer("f.txt");
  zip.CloseArchive();
  EXPECT_EQ(changes, (std::vector<int>{0, 1, 2, 0}));
  EXPECT_EQ(added, std::vector<std::string>{"f.txt"});
  EXPECT_EQ(lastTotal, 1000);
}

TEST(ZipLayer, SourcesIncludeNoQtHeader) {
  const std::filesystem::path root = std::filesystem::path(QURVEX_TEST_DATA_DIR).parent_path().parent_path() / "zip";
  const std::regex qt(R"(#\s*include\s*[<"]Q[A-Za-z]*[>/"])");
  int files = 0;
  for (const auto& e : std::filesystem::directory_iterator(root)) {
    std::ifstream in(e.path());
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_FALSE(std::regex_search(text, qt)) << e.path();
    ++files;
  }
  EXPECT_GT(files, 5);
}

}  // namespace
}  // namespace qurvex
