// SPDX-License-Identifier: GPL-3.0-or-later
// Archives this component writes must pass "unzip -t" and Python's testzip(),
// extract byte for byte with those tools, and keep untouched entries byte-identical.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <streambuf>

#include "tests/zip/ZipTestUtil.h"
#include "zip/KAZip.h"

namespace qurvex {
namespace {

using namespace ziptest;

// "name sha256" of every entry's bytes from its local header to the next one (or
// the directory), computed by Python from the offsets it reads.
std::map<std::string, std::string> EntryExtents(const std::string& archive, const std::string& dir) {
  const std::string script = "import zipfile, hashlib\n"
                             "z = zipfile.ZipFile('" + archive + "')\n"
                             "data = open('" + archive + "', 'rb').read()\n"
                             "infos = sorted(z.infolist(), key=lambda i: i.header_offset)\n"
                             "b = [i.header_offset for i in infos] + [z.start_dir]\n"
                             "for k, i in enumerate(infos): print(i.filename, hashlib.sha256(data[b[k]:b[k+1]]).hexdigest())\n";
  std::string out;
  EXPECT_EQ(0, RunPython(script, dir, &out)) << out;
  std::map<std::string, std::string> result;
  std::istringstream lines(out);
  for (std::string name, hash; lines >> name >> hash;) result[name] = hash;
  return result;
}

// Both tools accept the archive.
void ExpectToolsAccept(const std::string& archive, const std::string& dir) {
  std::string out;
  EXPECT_EQ(0, Shell("unzip -t " + ShellQuote(archive), &out)) << out;
  EXPECT_EQ(0, RunPython("import zipfile\nassert zipfile.ZipFile('" + archive + "').testzip() is None\n", dir, &out))
      << out;
}

Bytes UnzipPipe(const std::string& archive, const std::string& name) {
  std::string out;
  EXPECT_EQ(0, Shell("unzip -p " + ShellQuote(archive) + " " + ShellQuote(name) + " 2>/dev/null", &out));
  return ToBytes(out);
}

void CreateEmpty(const std::string& path) {
  std::ofstream out(path, std::ios::binary);
  TKAZip::CreateEmptyArchive(out);
}

class ZipWriteTools : public ::testing::Test {
protected:
  TempDir dir_;
};

TEST_F(ZipWriteTools, EmptyArchiveIsTheBareEndRecord) {
  const std::string path = dir_ / "empty.zip";
  CreateEmpty(path);
  Bytes expected = {'P', 'K', 5, 6};
  expected.resize(22, 0);
  EXPECT_EQ(ReadFile(path), expected);
  TKAZip zip;
  zip.OpenArchive(path);
  EXPECT_TRUE(zip.IsZipFile());
  EXPECT_EQ(zip.Entries().Count(), 0);
  EXPECT_EQ(0, RunPython("import zipfile\nassert zipfile.ZipFile('empty.zip').namelist() == []\n", dir_.Path()));
}

TEST_F(ZipWriteTools, AddingTheDocumentAsTheProgramDoesGivesAValidArchive) {
  // The road of the RDML writer: empty archive, open, add one file by name with
  // the base folder of the archive, maximum compression.
  std::filesystem::create_directories(dir_ / "x");
  const Bytes doc = TextBytes(200000, 7);
  WriteFile(dir_ / "x/rdml_data.xml", doc);
  const std::string archive = dir_ / "x/run.rdml";
  CreateEmpty(archive);
  TKAZip zip;
  zip.OpenArchive(archive);
  EXPECT_EQ(zip.CompressionType(), TZipCompressionType::ctMaximum);
  zip.OverwriteAction = TOverwriteAction::oaOverwrite;
  ASSERT_TRUE(zip.AddFiles({dir_ / "x/rdml_data.xml"}, dir_ / "x", false));
  ASSERT_EQ(zip.FileNames(), std::vector<std::string>{"rdml_data.xml"});
  EXPECT_EQ(zip.Entries()[0].LocalOffset(), 0u);
  EXPECT_EQ(zip.Entries().EndRecord().TotalNumberOfEntries, 1);
  zip.CloseArchive();
  ExpectToolsAccept(archive, dir_.Path());
  EXPECT_EQ(UnzipPipe(archive, "rdml_data.xml"), doc);

  // Relative to the parent folder the entry keeps its folder and gets a folder entry.
  const std::string archive2 = dir_ / "two.zip";
  CreateEmpty(archive2);
  zip.OpenArchive(archive2);
  zip.AddFiles({dir_ / "x/rdml_data.xml"}, dir_.Path(), false);
  EXPECT_EQ(zip.FileNames(), (std::vector<std::string>{"x/", "x/rdml_data.xml"}));
  EXPECT_TRUE(zip.Entries()[0].Folder);
  zip.CloseArchive();
  ExpectToolsAccept(archive2, dir_.Path());
  EXPECT_EQ(UnzipPipe(archive2, "x/rdml_data.xml"), doc);
}

TEST_F(ZipWriteTools, AddingAFolderStoresItsTreeWithFolderEntries) {
  std::filesystem::create_directories(dir_ / "d/s");
  WriteFile(dir_ / "d/a.txt", TextBytes(100, 1));
  WriteFile(dir_ / "d/s/b.txt", TextBytes(200, 2));
  const std::string archive = dir_ / "tree.zip";
  CreateEmpty(archive);
  TKAZip zip;
  zip.OpenArchive(archive);
  zip.AddFiles({dir_ / "d"}, dir_.Path(), false);
  EXPECT_EQ(zip.FileNames(), (std::vector<std::string>{"d/", "d/a.txt", "d/s/"}));
  zip.AddFiles({dir_ / "d"}, dir_.Path(), true);  // again, recursively: replaces, adds the rest
  EXPECT_EQ(zip.FileNames(), (std::vector<std::string>{"d/", "d/a.txt", "d/s/", "d/s/b.txt"}));
  zip.CloseArchive();
  ExpectToolsAccept(archive, dir_.Path());
  EXPECT_EQ(UnzipPipe(archive, "d/s/b.txt"), TextBytes(200, 2));
}

TEST_F(ZipWriteTools, EveryCompressionLevelAndAnEmptyItemAreReadByTheTools) {
  const Bytes text = TextBytes(300000, 9);
  const Bytes noise = NoiseBytes(100000, 10);
  TKAZip zip;
  zip.LoadFromBuffer(Bytes{'P', 'K', 5, 6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  const std::pair<TZipCompressionType, const char*> levels[] = {
      {TZipCompressionType::ctNormal, "normal"}, {TZipCompressionType::ctMaximum, "maximum"},
      {TZipCompressionType::ctFast, "fast"},     {TZipCompressionType::ctSuperFast, "superfast"},
      {TZipCompressionType::ctNone, "none"}};
  for (const auto& [type, name] : levels) {
    zip.SetCompressionType(type);
    zip.AddBuffer(std::string(name) + ".txt", text);
    zip.AddBuffer(std::string(name) + ".bin", noise);
  }
  zip.AddBuffer("empty.txt", Bytes{});
  const std::string archive = dir_ / "levels.zip";
  WriteFile(archive, zip.Data());
  ExpectToolsAccept(archive, dir_.Path());
  std::string out;
  ASSERT_EQ(0, RunPython("import zipfile\nfor i in zipfile.ZipFile('levels.zip').infolist():\n"
                         "    print(i.filename, i.compress_type, i.flag_bits, i.file_size, i.compress_size)\n",
                         dir_.Path(), &out));
  EXPECT_NE(out.find("empty.txt 0 0 0 0"), std::string::npos) << out;
  EXPECT_NE(out.find("none.txt 8 0 300000"), std::string::npos) << out;
  for (const auto& [type, name] : levels) {
    EXPECT_EQ(UnzipPipe(archive, std::string(name) + ".txt"), text);
    EXPECT_EQ(UnzipPipe(archive, std::string(name) + ".bin"), noise);
  }
}

TEST_F(ZipWriteTools, ReplacingFirstMiddleOrLastEntryKeepsTheOthersByteIdentical) {
  // Python streaming (data descriptors) and Info-ZIP (local extra fields that
  // differ from the central ones) both lay out entries unlike this component.
  WriteFile(dir_ / "one.txt", TextBytes(4000, 11));
  WriteFile(dir_ / "two.bin", NoiseBytes(5000, 12));
  WriteFile(dir_ / "three.xml", TextBytes(6000, 13));
  ASSERT_EQ(0, Shell("cd " + ShellQuote(dir_.Path()) + " && zip -q -9 infozip.zip one.txt two.bin three.xml"));
  ASSERT_EQ(0, Shell("cd " + ShellQuote(dir_.Path()) + " && zip -q - one.txt two.bin three.xml | cat > piped.zip"));
  const Bytes replacement = TextBytes(12345, 14);
  for (const char* source : {"infozip.zip", "piped.zip"}) {
    for (const char* target : {"one.txt", "two.bin", "three.xml"}) {
      SCOPED_TRACE(std::string(source) + " replace " + target);
      const std::string archive = dir_ / "work.zip";
      std::filesystem::copy_file(dir_ / source, archive, std::filesystem::copy_options::overwrite_existing);
      const auto before = EntryExtents("work.zip", dir_.Path());
      TKAZip zip;
      zip.OpenArchive(archive);
      const auto& added = zip.AddBuffer(target, replacement);
      EXPECT_EQ(added.FileName(), target);
      EXPECT_EQ(zip.Entries().Count(), 3);
      EXPECT_EQ(zip.Entries()[2].FileName(), target);  // the new entry comes last
      zip.CloseArchive();
      ExpectToolsAccept(archive, dir_.Path());
      const auto after = EntryExtents("work.zip", dir_.Path());
      ASSERT_EQ(after.size(), 3u);
      for (const auto& [name, hash] : before) {
        if (name != target) {
          EXPECT_EQ(after.at(name), hash) << name;
        }
      }
      EXPECT_EQ(UnzipPipe(archive, target), replacement);
    }
  }
}

TEST_F(ZipWriteTools, RemovingEntriesKeepsTheRestAndTheLastRemovalLeavesAnEmptyArchive) {
  WriteFile(dir_ / "a.txt", TextBytes(3000, 21));
  WriteFile(dir_ / "b.txt", TextBytes(3000, 22));
  ASSERT_EQ(0, Shell("cd " + ShellQuote(dir_.Path()) + " && zip -q both.zip a.txt b.txt"));
  const std::string archive = dir_ / "both.zip";
  const auto before = EntryExtents("both.zip", dir_.Path());
  TKAZip zip;
  zip.OpenArchive(archive);
  int removed = 0;
  zip.OnZipChange = [&](TKAZip&, int type) { removed += (type == 3); };
  zip.Remove("a.txt");
  EXPECT_EQ(removed, 1);
  EXPECT_EQ(zip.FileNames(), std::vector<std::string>{"b.txt"});
  ExpectToolsAccept(archive, dir_.Path());
  EXPECT_EQ(EntryExtents("both.zip", dir_.Path()).at("b.txt"), before.at("b.txt"));
  zip.SetComment(std::string("kept\0comment", 12));
  zip.Remove("b.txt");
  EXPECT_EQ(zip.Entries().Count(), 0);
  zip.CloseArchive();
  Bytes expected = {'P', 'K', 5, 6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 12, 0};
  const std::string comment("kept\0comment", 12);
  expected.insert(expected.end(), comment.begin(), comment.end());
  EXPECT_EQ(ReadFile(archive), expected);
}

TEST_F(ZipWriteTools, CommentIsWrittenAsRawBytes) {
  const std::string archive = dir_ / "c.zip";
  CreateEmpty(archive);
  TKAZip zip;
  zip.OpenArchive(archive);
  zip.AddBuffer("x.txt", ToBytes("x"));
  const std::string comment("line 1\r\nline 2\0\xff", 16);
  zip.SetComment(comment);
  EXPECT_EQ(zip.Comment(), comment);
  zip.AddBuffer("y.txt", ToBytes("y"));  // adds keep the comment
  zip.CloseArchive();
  std::string out;
  ASSERT_EQ(0, RunPython("import zipfile\nprint(zipfile.ZipFile('c.zip').comment.hex())\n", dir_.Path(), &out));
  std::string hex;
  for (unsigned char c : comment) {
    const char* digits = "0123456789abcdef";
    hex += digits[c >> 4];
    hex += digits[c & 15];
  }
  EXPECT_EQ(out, hex + "\n");
}

// A stream that fails after delivering some bytes: a write that breaks off halfway.
class FailingBuf : public std::streambuf {
protected:
  int_type underflow() override {
    if (served_ >= 3) throw std::ios_base::failure("disk gone");
    ++served_;
    std::fill(std::begin(data_), std::end(data_), 'z');
    setg(data_, data_, data_ + sizeof data_);
    return traits_type::to_int_type(data_[0]);
  }

private:
  char data_[100000];
  int served_ = 0;
};

TEST_F(ZipWriteTools, FailedWritesLeaveTheArchiveUntouched) {
  WriteFile(dir_ / "a.txt", TextBytes(3000, 31));
  ASSERT_EQ(0, Shell("cd " + ShellQuote(dir_.Path()) + " && zip -q a.zip a.txt"));
  const std::string archive = dir_ / "a.zip";
  const Bytes original = ReadFile(archive);
  TKAZip zip;
  zip.OpenArchive(archive);

  // An item missing from disk is an error, and nothing of the list is added.
  EXPECT_THROW(zip.AddFiles({dir_ / "a.txt", dir_ / "missing.txt"}, dir_.Path(), false), EZipError);
  // A source that breaks off halfway.
  FailingBuf failing;
  std::istream broken(&failing);
  broken.exceptions(std::ios::badbit);
  EXPECT_ANY_THROW(zip.AddStream("big.txt", broken));
  // Names that would escape a destination folder are not stored.
  EXPECT_THROW(zip.AddBuffer("../evil.txt", ToBytes("x")), EZipError);
  EXPECT_EQ(ReadFile(archive), original);
  EXPECT_EQ(zip.FileNames(), std::vector<std::string>{"a.txt"});
  EXPECT_EQ(zip.ExtractToBuffer("a.txt"), ReadFile(dir_ / "a.txt"));
  std::size_t files = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir_.Path())) ++files;
  EXPECT_EQ(files, 2u);  // a.txt and a.zip: no temporary file left behind

  // A read-only archive file is not written.
  zip.CloseArchive();
  ASSERT_EQ(0, chmod(archive.c_str(), 0444));
  zip.OpenArchive(archive);
  EXPECT_TRUE(zip.ReadOnly());
  EXPECT_THROW(zip.AddBuffer("b.txt", ToBytes("b")), EZipError);
  EXPECT_EQ(ReadFile(archive), original);

  // Writes on a closed archive raise an error.
  zip.CloseArchive();
  EXPECT_THROW(zip.AddBuffer("b.txt", ToBytes("b")), EZipError);
  EXPECT_THROW(zip.SetComment("c"), EZipError);
  EXPECT_THROW(zip.Remove("a.txt"), EZipError);
}

}  // namespace
}  // namespace qurvex
