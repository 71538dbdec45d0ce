// SPDX-License-Identifier: GPL-3.0-or-later
// Damaged and unsupported archives give an EZipError naming the problem, never a
// crash, a wrong result reported as success, or a changed destination file.
#include <gtest/gtest.h>
#include <unistd.h>

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

TEST_F(ZipMalformed, UnsupportedFeaturesAndStructuralDamageAreNamed) {
    const Bytes good = TwoEntryArchive(ToBytes("one"), ToBytes("two"));
    const std::size_t central = ReadLe32(&good[good.size() - 22 + 16]), second = central + 46 + 9,
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
    for (const Bytes& notZip : {ToBytes("just some text, no archive here"), Bytes{}}) {
        zip.LoadFromBuffer(notZip);
        EXPECT_FALSE(zip.IsZipFile());
        EXPECT_TRUE(zip.Data().empty());
    }
    const std::string missing = dir_ / "missing.rdml";
    EXPECT_EQ(ErrorOf([&] { zip.OpenArchive(missing); }), "File \"" + missing + "\" not found!");
    EXPECT_NE(ErrorOf([&] { zip.OpenArchive(dir_.Path()); }).find("not a regular file"),
              std::string::npos);
    // An archive file cut short while it is open: the read fails, naming the cause.
    const std::string open = dir_ / "open.zip";
    WriteFile(open, TwoEntryArchive(NoiseBytes(3000, 1), {}));
    zip.OpenArchive(open);
    ASSERT_EQ(0, truncate(open.c_str(), 1500));
    EXPECT_NE(ErrorOf([&] { zip.ExtractToBuffer("first.txt"); }).find("file shrank while open"),
              std::string::npos);

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
                           "    z.writestr('ok/../../up.txt', 'f')\n",
                           dir_.Path()));
    TKAZip zip;
    zip.OpenArchive(dir_ / "evil.zip");
    zip.OverwriteAction = TOverwriteAction::oaOverwriteAll;
    EXPECT_NE(ErrorOf([&] { zip.ExtractToFolder("ok/../../up.txt", dir_ / "dest"); }).find(".."),
              std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "up.txt"));
}

}  // namespace
}  // namespace qurvex
