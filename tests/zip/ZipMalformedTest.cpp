// SPDX-License-Identifier: GPL-3.0-or-later
// Damaged and unsupported archives give an EZipError naming the problem, never a
// crash, a wrong result reported as success, or a changed destination file.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/zip/ZipTestUtil.h"
#include "zip/KAZip.h"
#include "zip/ZipRecords.h"

namespace qurvex {
namespace {

using namespace ziptest;

// Writes the low `width` bytes of `v` little-endian at `at`.
void PutLe(Bytes& b, std::size_t at, uint32_t v, int width = 4) {
    for (int i = 0; i < width; ++i)
        b[at + static_cast<std::size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
}

// Offset of the first central header, from an end record without comment.
std::size_t CentralStart(const Bytes& b) { return ReadLe32(&b[b.size() - 22 + 16]); }

std::string OpenError(const Bytes& b) {
    TKAZip zip;
    return ErrorOf([&] { zip.LoadFromBuffer(b); });
}

// An archive of this component with two deflated entries and no comment.
Bytes TwoEntryArchive(const Bytes& first, const Bytes& second) {
    TKAZip zip;
    zip.LoadFromBuffer(EmptyArchive());
    zip.AddBuffer("first.txt", first);
    zip.AddBuffer("second.txt", second);
    return zip.Data();
}

class ZipMalformed : public ::testing::Test {
protected:
    // Opens `bytes`; every entry that extracts must equal the original at its
    // place (a flipped name byte goes unnoticed, flipped data never), and a
    // failed extraction over an existing file must leave that file as it was.
    void CheckNoHarm(const Bytes& bytes, const std::vector<Bytes>& originals, bool viaFile) {
        TKAZip zip;
        try {
            zip.LoadFromBuffer(bytes);
        } catch (const EZipError&) {
            EXPECT_FALSE(zip.IsZipFile());
            return;
        }
        zip.OverwriteAction = TOverwriteAction::oaOverwriteAll;
        const std::string dest = dir_ / "dest.txt";
        for (int i = 0; i < zip.Entries().Count(); ++i) {
            const std::string name = zip.Entries()[i].FileName();
            ASSERT_LT(static_cast<std::size_t>(i), originals.size());
            WriteFile(dest, std::string("previous content"));
            try {
                const Bytes data = viaFile ? (zip.ExtractToFile(name, dest), ReadFile(dest))
                                           : zip.ExtractToBuffer(name);
                EXPECT_EQ(data, originals[static_cast<std::size_t>(i)]) << name;
            } catch (const EZipError&) {
                EXPECT_EQ(ReadFile(dest), ToBytes("previous content"));
            }
        }
    }

    TempDir dir_;
};

TEST_F(ZipMalformed, EveryTruncationAndFlippedByteOfASmallArchiveIsHarmless) {
    const std::vector<Bytes> originals = {TextBytes(300, 1), NoiseBytes(80, 2)};
    const Bytes full = TwoEntryArchive(originals[0], originals[1]);
    for (std::size_t i = 0; i < full.size(); ++i) {
        SCOPED_TRACE("truncated to " + std::to_string(i));
        CheckNoHarm(Bytes(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(i)), originals,
                    i % 4 == 0);
        for (uint8_t mask : {uint8_t{0xff}, uint8_t{0x01}}) {
            SCOPED_TRACE("byte flipped with " + std::to_string(mask));
            Bytes damaged = full;
            damaged[i] ^= mask;
            CheckNoHarm(damaged, originals, i % 8 == 0);
        }
    }
}

TEST_F(ZipMalformed, DeclaredSizesAndCrcAreEnforced) {
    const Bytes good = TwoEntryArchive(TextBytes(5000, 5), ToBytes("second"));
    const std::size_t central = CentralStart(good);
    const struct {
        std::size_t field;
        uint32_t value;
        const char* expected;
    } cases[] = {
        {16, 0x12345678, "CRC-32"},               // wrong CRC
        {24, 100, "more than the declared 100"},  // data inflate beyond the declared size (bomb)
        {24, 6000, "not the declared 6000"},      // short data
        {24, 0xfffffff0u, "impossible"}};         // a huge claim is refused before any allocation
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        Bytes b = good;
        PutLe(b, central + c.field, c.value);
        TKAZip zip;
        zip.LoadFromBuffer(b);
        const std::string dest = dir_ / "out.txt";
        WriteFile(dest, std::string("keep me"));
        zip.OverwriteAction = TOverwriteAction::oaOverwriteAll;
        const std::string error = ErrorOf([&] { zip.ExtractToFile("first.txt", dest); });
        EXPECT_NE(error.find(c.expected), std::string::npos) << error;
        EXPECT_NE(error.find("first.txt"), std::string::npos) << error;
        EXPECT_EQ(ReadFile(dest), ToBytes("keep me"));
        EXPECT_THROW(zip.ExtractToBuffer("first.txt"), EZipError);
    }
}

TEST_F(ZipMalformed, UnsupportedFeaturesAndStructuralDamageAreNamed) {
    const Bytes good = TwoEntryArchive(ToBytes("one"), ToBytes("two"));
    const std::size_t central = CentralStart(good), second = central + 46 + 9,
                      end = good.size() - 22;
    const struct {
        std::size_t at;
        uint32_t value;
        int width;
        const char* expected;
    } cases[] = {{end + 16, 0xffffffffu, 4, "ZIP64"},      // directory offset placeholder
                 {central + 20, 0xffffffffu, 4, "ZIP64"},  // entry size placeholder
                 {end + 4, 1, 2, "several disks"},
                 {second + 42, 0, 4, "shares its local header"},  // both entries at offset 0
                 {second, 'X', 1, "central directory header 1"},
                 {0, 'X', 1, "no local header signature at offset 0"}};
    for (const auto& c : cases) {
        Bytes b = good;
        PutLe(b, c.at, c.value, c.width);
        EXPECT_NE(OpenError(b).find(c.expected), std::string::npos) << c.at << ": " << OpenError(b);
    }

    // Not a ZIP at all: closed, no entries, no exception.
    TKAZip zip;
    zip.LoadFromBuffer(ToBytes("just some text, no archive here"));
    EXPECT_FALSE(zip.IsZipFile());
    zip.LoadFromBuffer(Bytes{});
    EXPECT_FALSE(zip.IsZipFile());
    const std::string missing = dir_ / "missing.rdml";
    EXPECT_EQ(ErrorOf([&] { zip.OpenArchive(missing); }), "File \"" + missing + "\" not found!");

    // Encryption and other methods are refused on extraction, naming the entry.
    WriteFile(dir_ / "a.txt", std::string("secret text"));
    ASSERT_EQ(0, InfoZip(dir_.Path(), "-P pw enc.zip a.txt"));
    ASSERT_EQ(
        0,
        RunPython("import zipfile\nwith zipfile.ZipFile('bz.zip', 'w', zipfile.ZIP_BZIP2) as z:\n"
                  "    z.writestr('b.txt', 'bzip2 data')\n",
                  dir_.Path()));
    zip.OpenArchive(dir_ / "enc.zip");
    EXPECT_TRUE(zip.Entries()[0].Encrypted);
    std::string error = ErrorOf([&] { zip.ExtractToBuffer("a.txt"); });
    EXPECT_NE(error.find("Cannot process this file: a.txt"), std::string::npos) << error;
    EXPECT_NE(error.find("encrypted"), std::string::npos) << error;
    zip.OpenArchive(dir_ / "bz.zip");
    error = ErrorOf([&] { zip.ExtractToBuffer("b.txt"); });
    EXPECT_NE(error.find("compression method 12"), std::string::npos) << error;
}

TEST_F(ZipMalformed, NamesThatEscapeTheDestinationAreRefused) {
    ASSERT_EQ(0, RunPython("import zipfile\nwith zipfile.ZipFile('evil.zip', 'w') as z:\n"
                           "    for n in ['../evil.txt', '/abs.txt', 'ok/../../up.txt', "
                           "'fine.txt']: z.writestr(n, 'f')\n",
                           dir_.Path()));
    TKAZip zip;
    zip.OpenArchive(dir_ / "evil.zip");
    zip.OverwriteAction = TOverwriteAction::oaOverwriteAll;
    const std::string dest = dir_ / "dest";
    for (const char* name : {"../evil.txt", "/abs.txt", "ok/../../up.txt"}) {
        EXPECT_NE(ErrorOf([&] { zip.ExtractToFolder(name, dest); }).find(".."), std::string::npos)
            << name;
    }
    zip.ExtractToFolder("fine.txt", dest);
    EXPECT_EQ(ReadFile(dest + "/fine.txt"), ToBytes("f"));
    for (const char* outside : {"evil.txt", "up.txt"})
        EXPECT_FALSE(std::filesystem::exists(dir_ / outside));
    EXPECT_FALSE(std::filesystem::exists("/abs.txt"));
}

}  // namespace
}  // namespace qurvex
