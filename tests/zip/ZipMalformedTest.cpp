// SPDX-License-Identifier: GPL-3.0-or-later
// Damaged and unsupported archives give an EZipError naming the problem, never a
// crash, a wrong result reported as success, or a changed destination file.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "tests/zip/ZipTestUtil.h"
#include "zip/KAZip.h"
#include "zip/ZipRecords.h"

namespace qurvex {
namespace {

using namespace ziptest;

void PutLe16(Bytes& b, std::size_t at, uint16_t v) {
  b[at] = static_cast<uint8_t>(v);
  b[at + 1] = static_cast<uint8_t>(v >> 8);
}

void PutLe32(Bytes& b, std::size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
}

// Offset of the first central header, from an end record without comment.
std::size_t CentralStart(const Bytes& b) { return ReadLe32(&b[b.size() - 22 + 16]); }

std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const EZipError& e) {
    return e.what();
  }
  return "";
}

// An archive of this component with two deflated entries and no comment.
Bytes TwoEntryArchive(const Bytes& first, const Bytes& second) {
  TKAZip zip;
  zip.LoadFromBuffer(Bytes{'P', 'K', 5, 6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
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
    for (int i = 0; i < zip.Entries().Count(); ++i) {
      const std::string name = zip.Entries()[i].FileName();
      ASSERT_LT(static_cast<std::size_t>(i), originals.size());
      const Bytes& original = originals[static_cast<std::size_t>(i)];
      if (viaFile) {
        const std::string dest = dir_ / "dest.txt";
        WriteFile(dest, std::string("previous content"));
        try {
          zip.ExtractToFile(name, dest);
          EXPECT_EQ(ReadFile(dest), original) << name;
        } catch (const EZipError&) {
          EXPECT_EQ(ReadFile(dest), ToBytes("previous content"));
        }
      } else {
        try {
          const Bytes data = zip.ExtractToBuffer(name);
          EXPECT_EQ(data, original) << name;
        } catch (const EZipError&) {
        }
      }
    }
  }

  TempDir dir_;
};

TEST_F(ZipMalformed, EveryTruncationOfASmallArchiveIsHarmless) {
  const std::vector<Bytes> originals = {TextBytes(300, 1), NoiseBytes(80, 2)};
  const Bytes full = TwoEntryArchive(originals[0], originals[1]);
  for (std::size_t n = 0; n < full.size(); ++n) {
    SCOPED_TRACE(n);
    CheckNoHarm(Bytes(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n)), originals, n % 4 == 0);
  }
}

TEST_F(ZipMalformed, EveryFlippedByteIsHarmless) {
  const std::vector<Bytes> originals = {TextBytes(300, 3), NoiseBytes(80, 4)};
  const Bytes full = TwoEntryArchive(originals[0], originals[1]);
  for (std::size_t i = 0; i < full.size(); ++i) {
    for (uint8_t mask : {uint8_t{0xff}, uint8_t{0x01}}) {
      SCOPED_TRACE(std::to_string(i) + " ^ " + std::to_string(mask));
      Bytes damaged = full;
      damaged[i] ^= mask;
      CheckNoHarm(damaged, originals, i % 8 == 0);
    }
  }
}

TEST_F(ZipMalformed, DeclaredSizesAndCrcAreEnforced) {
  const Bytes text = TextBytes(5000, 5);
  const Bytes good = TwoEntryArchive(text, ToBytes("second"));
  const std::size_t central = CentralStart(good);
  const auto check = [&](std::size_t field, uint32_t value, const char* expected) {
    Bytes b = good;
    PutLe32(b, central + field, value);
    TKAZip zip;
    zip.LoadFromBuffer(b);
    const std::string dest = dir_ / "out.txt";
    WriteFile(dest, std::string("keep me"));
    zip.OverwriteAction = TOverwriteAction::oaOverwriteAll;
    const std::string error = ErrorOf([&] { zip.ExtractToFile("first.txt", dest); });
    EXPECT_NE(error.find(expected), std::string::npos) << error;
    EXPECT_NE(error.find("first.txt"), std::string::npos) << error;
    EXPECT_EQ(ReadFile(dest), ToBytes("keep me"));
    EXPECT_THROW(zip.ExtractToBuffer("first.txt"), EZipError);
  };
  check(16, 0x12345678, "CRC-32");                 // wrong CRC
  check(24, 100, "more than the declared 100");    // data inflate beyond the declared size (bomb)
  check(24, 6000, "not the declared 6000");        // short data
  check(24, 0xfffffff0u, "impossible");            // a huge claim is refused before any allocation
}

TEST_F(ZipMalformed, UnsupportedFeaturesAreNamed) {
  const Bytes good = TwoEntryArchive(ToBytes("one"), ToBytes("two"));
  const std::size_t central = CentralStart(good);
  const std::size_t end = good.size() - 22;
  const auto openError = [](const Bytes& b) {
    TKAZip zip;
    return ErrorOf([&] { zip.LoadFromBuffer(b); });
  };
  Bytes zip64End = good;
  PutLe32(zip64End, end + 16, 0xffffffffu);
  EXPECT_NE(openError(zip64End).find("ZIP64"), std::string::npos);
  Bytes zip64Entry = good;
  PutLe32(zip64Entry, central + 20, 0xffffffffu);
  EXPECT_NE(openError(zip64Entry).find("ZIP64"), std::string::npos);
  Bytes disks = good;
  PutLe16(disks, end + 4, 1);
  EXPECT_NE(openError(disks).find("several disks"), std::string::npos);

  // Encryption and other methods are refused on extraction, naming the entry.
  WriteFile(dir_ / "a.txt", std::string("secret text"));
  ASSERT_EQ(0, Shell("cd " + ShellQuote(dir_.Path()) + " && zip -q -P pw enc.zip a.txt"));
  ASSERT_EQ(0, RunPython("import zipfile\nwith zipfile.ZipFile('bz.zip', 'w', zipfile.ZIP_BZIP2) as z:\n"
                         "    z.writestr('b.txt', 'bzip2 data')\n",
                         dir_.Path()));
  TKAZip zip;
  zip.OpenArchive(dir_ / "enc.zip");
  EXPECT_TRUE(zip.Entries()[0].Encrypted);
  std::string error = ErrorOf([&] { zip.ExtractToBuffer("a.txt"); });
  EXPECT_NE(error.find("Cannot process this file: a.txt"), std::string::npos) << error;
  EXPECT_NE(error.find("encrypted"), std::string::npos) << error;
  zip.OpenArchive(dir_ / "bz.zip");
  error = ErrorOf([&] { zip.ExtractToBuffer("b.txt"); });
  EXPECT_NE(error.find("compression method 12"), std::string::npos) << error;
}

TEST_F(ZipMalformed, StructuralDamageIsReportedWithItsPlace) {
  const Bytes good = TwoEntryArchive(ToBytes("one"), ToBytes("two"));
  const std::size_t central = CentralStart(good);
  const auto openError = [](const Bytes& b) {
    TKAZip zip;
    return ErrorOf([&] { zip.LoadFromBuffer(b); });
  };
  Bytes shared = good;  // both entries claim the same local header
  const std::size_t second = central + 46 + 9;
  PutLe32(shared, second + 42, 0);
  EXPECT_NE(openError(shared).find("shares its local header"), std::string::npos);
  Bytes badSig = good;
  badSig[second] = 'X';
  EXPECT_NE(openError(badSig).find("central directory header 1"), std::string::npos);
  Bytes noLocal = good;
  noLocal[0] = 'X';
  EXPECT_NE(openError(noLocal).find("no local header signature at offset 0"), std::string::npos);

  // Not a ZIP at all: closed, no entries, no exception.
  TKAZip zip;
  zip.LoadFromBuffer(ToBytes("just some text, no archive here"));
  EXPECT_FALSE(zip.IsZipFile());
  zip.LoadFromBuffer(Bytes{});
  EXPECT_FALSE(zip.IsZipFile());
  const std::string missing = dir_ / "missing.rdml";
  EXPECT_EQ(ErrorOf([&] { zip.OpenArchive(missing); }), "File \"" + missing + "\" not found!");
}

TEST_F(ZipMalformed, NamesThatEscapeTheDestinationAreRefused) {
  ASSERT_EQ(0, RunPython("import zipfile\nwith zipfile.ZipFile('evil.zip', 'w') as z:\n"
                         "    z.writestr('../evil.txt', 'x')\n    z.writestr('/abs.txt', 'y')\n"
                         "    z.writestr('ok/../../up.txt', 'z')\n    z.writestr('fine.txt', 'f')\n",
                         dir_.Path()));
  TKAZip zip;
  zip.OpenArchive(dir_ / "evil.zip");
  zip.OverwriteAction = TOverwriteAction::oaOverwriteAll;
  const std::string dest = dir_ / "dest";
  for (const char* name : {"../evil.txt", "/abs.txt", "ok/../../up.txt"}) {
    EXPECT_NE(ErrorOf([&] { zip.ExtractToFolder(name, dest); }).find(".."), std::string::npos) << name;
  }
  zip.ExtractToFolder("fine.txt", dest);
  EXPECT_EQ(ReadFile(dest + "/fine.txt"), ToBytes("f"));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "evil.txt"));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "up.txt"));
  EXPECT_FALSE(std::filesystem::exists("/abs.txt"));
}

}  // namespace
}  // namespace qurvex
