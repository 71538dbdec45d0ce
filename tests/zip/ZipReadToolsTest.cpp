// SPDX-License-Identifier: GPL-3.0-or-later
// Archives written by Info-ZIP zip and by Python's zipfile must list and
// extract byte for byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "tests/zip/ZipTestUtil.h"
#include "zip/KAZip.h"

namespace qurvex {
namespace {

using namespace ziptest;

class ZipReadTools : public ::testing::Test {
protected:
  void SetUp() override {
    files_["a.txt"] = TextBytes(5000, 1);
    files_["b.bin"] = NoiseBytes(3000, 2);
    files_["empty.txt"] = {};
    files_["sub/c.xml"] = TextBytes(70000, 3);
    files_["sub/deeper/d.txt"] = TextBytes(10, 4);
    std::filesystem::create_directories(dir_ / "sub/deeper");
    for (const auto& [name, data] : files_) WriteFile(dir_ / name, data);
  }

  // Names as Python's zipfile lists them, one per line.
  std::vector<std::string> PythonNames(const std::string& archive) {
    std::string out;
    EXPECT_EQ(0, RunPython("import zipfile\nfor n in zipfile.ZipFile(" + PyString(archive) +
                               ").namelist(): print(n)\n",
                           dir_.Path(), &out));
    std::vector<std::string> names;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) names.push_back(line);
    return names;
  }

  static std::string PyString(const std::string& s) { return "'" + s + "'"; }

  // Opens the archive, compares the listing with Python's and every file entry with the original.
  void ExpectListsAndExtracts(const std::string& archive) {
    SCOPED_TRACE(archive);
    TKAZip zip;
    zip.OpenArchive(archive);
    ASSERT_TRUE(zip.IsZipFile());
    EXPECT_FALSE(zip.Damaged());
    EXPECT_EQ(zip.FileNames(), PythonNames(archive));
    int checked = 0;
    for (const auto& [name, data] : files_) {
      const int index = zip.Entries().IndexOfEntry(name);
      if (index < 0) continue;
      EXPECT_EQ(zip.ExtractToBuffer(name), data) << name;
      ++checked;
    }
    EXPECT_GT(checked, 0);
  }

  TempDir dir_;
  std::map<std::string, Bytes> files_;
};

TEST_F(ZipReadTools, InfoZipArchivesAtEveryLevelListAndExtract) {
  for (int level = 0; level <= 9; ++level) {
    const std::string archive = dir_ / ("level" + std::to_string(level) + ".zip");
    ASSERT_EQ(0, Shell("cd " + ShellQuote(dir_.Path()) + " && zip -q -r -" + std::to_string(level) + " " +
                     ShellQuote(archive) + " a.txt b.bin empty.txt sub"));
    ExpectListsAndExtracts(archive);
  }
}

TEST_F(ZipReadTools, InfoZipStreamedArchivesWithDataDescriptorsExtract) {
  // "zip - a.txt" to a pipe writes data descriptors; "zip - -" reads stdin and
  // marks the local header with ZIP64 placeholders while the directory holds the sizes.
  const std::string d = ShellQuote(dir_.Path());
  ASSERT_EQ(0, Shell("cd " + d + " && zip -q - a.txt sub/c.xml | cat > piped.zip"));
  ExpectListsAndExtracts(dir_ / "piped.zip");
  ASSERT_EQ(0, Shell("cd " + d + " && cat a.txt | zip -q - - > stdin.zip"));
  TKAZip zip;
  zip.OpenArchive(dir_ / "stdin.zip");
  ASSERT_EQ(zip.Entries().Count(), 1);
  EXPECT_EQ(zip.ExtractToBuffer("-"), files_["a.txt"]);
}

TEST_F(ZipReadTools, PythonStoredDeflatedAndUnseekableArchivesListAndExtract) {
  const std::string script = R"(
import zipfile, io
files = ['a.txt', 'b.bin', 'empty.txt', 'sub/c.xml', 'sub/deeper/d.txt']
for name, method in [('py_stored.zip', zipfile.ZIP_STORED), ('py_deflated.zip', zipfile.ZIP_DEFLATED)]:
    with zipfile.ZipFile(name, 'w', method) as z:
        z.mkdir('sub') if hasattr(z, 'mkdir') else None
        for f in files: z.write(f)
class Unseekable:
    def __init__(self, f): self.f = f
    def write(self, b): return self.f.write(b)
    def flush(self): self.f.flush()
with open('py_stream.zip', 'wb') as raw:
    with zipfile.ZipFile(Unseekable(raw), 'w', zipfile.ZIP_DEFLATED) as z:
        for f in files:
            with open(f, 'rb') as src, z.open(f, 'w') as dst: dst.write(src.read())
flags = [i.flag_bits & 8 for i in zipfile.ZipFile('py_stream.zip').infolist()]
assert all(flags), flags
)";
  ASSERT_EQ(0, RunPython(script, dir_.Path()));
  for (const char* name : {"py_stored.zip", "py_deflated.zip", "py_stream.zip"}) ExpectListsAndExtracts(dir_ / name);
}

TEST_F(ZipReadTools, CommentsOfEveryLengthAreFoundAndReadAsRawBytes) {
  // Comments from 0 to 65535 bytes, raw bytes (including NUL and a fake end
  // record "PK\5\6" whose comment length does not reach the file's end).
  const std::string script = R"(
import zipfile
fake = b'PK\x05\x06' + bytes(16) + b'\x02\x00'
for n in [0, 1, 100, 2000, 65535]:
    c = (bytes(range(256)) * 300)[:n]
    if n >= 100: c = fake + c[len(fake):]
    with zipfile.ZipFile('c%d.zip' % n, 'w', zipfile.ZIP_DEFLATED) as z:
        z.writestr('x.txt', 'hello')
        z.comment = c
    open('c%d.bin' % n, 'wb').write(c)
)";
  ASSERT_EQ(0, RunPython(script, dir_.Path()));
  for (int n : {0, 1, 100, 2000, 65535}) {
    SCOPED_TRACE(n);
    TKAZip zip;
    zip.OpenArchive(dir_ / ("c" + std::to_string(n) + ".zip"));
    ASSERT_TRUE(zip.IsZipFile());
    EXPECT_FALSE(zip.Damaged());
    const Bytes expected = ReadFile(dir_ / ("c" + std::to_string(n) + ".bin"));
    EXPECT_EQ(ToBytes(zip.Comment()), expected);
    EXPECT_EQ(zip.ExtractToBuffer("x.txt"), ToBytes("hello"));
  }
}

TEST_F(ZipReadTools, ArchiveWithoutEndRecordIsListedByTheLocalHeaderScan) {
  ASSERT_EQ(0, Shell("cd " + ShellQuote(dir_.Path()) + " && zip -q -9 full.zip a.txt b.bin"));
  Bytes bytes = ReadFile(dir_ / "full.zip");
  // Cut the archive inside its central directory: the end record is gone.
  std::string offsets;
  ASSERT_EQ(0, RunPython("import zipfile\nz=zipfile.ZipFile('full.zip')\nprint(z.start_dir)\n"
                         "print(' '.join(str(i.header_offset) for i in z.infolist()))\n",
                         dir_.Path(), &offsets));
  std::istringstream in(offsets);
  std::size_t startDir = 0, first = 0, second = 0;
  in >> startDir >> first >> second;
  bytes.resize(startDir + 10);
  TKAZip zip;
  zip.LoadFromBuffer(bytes);
  ASSERT_TRUE(zip.IsZipFile());
  EXPECT_TRUE(zip.Damaged());
  ASSERT_EQ(zip.Entries().Count(), 2);
  EXPECT_EQ(zip.Entries()[0].LocalOffset(), first);
  EXPECT_EQ(zip.Entries()[1].LocalOffset(), second);
  EXPECT_EQ(zip.ExtractToBuffer("b.bin"), files_["b.bin"]);
  // Such an archive is read, never written.
  EXPECT_THROW(zip.Remove("a.txt"), EZipError);
}

TEST_F(ZipReadTools, ExtractToFileAndFolderWriteTheEntryAndHonourTheOverwriteRule) {
  ASSERT_EQ(0, Shell("cd " + ShellQuote(dir_.Path()) + " && zip -q -r arch.zip a.txt sub"));
  TKAZip zip;
  zip.OpenArchive(dir_ / "arch.zip");
  const std::string dest = dir_ / "out.xml";
  WriteFile(dest, std::string("old"));
  zip.ExtractToFile("sub/c.xml", dest);  // oaSkip without handler: nothing happens
  EXPECT_EQ(ReadFile(dest), ToBytes("old"));
  int asked = 0;
  zip.OnOverwriteFile = [&](TKAZip&, std::string&, TOverwriteAction& action) {
    ++asked;
    action = TOverwriteAction::oaOverwrite;
  };
  zip.ExtractToFile("SUB\\C.XML", dest);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(ReadFile(dest), files_["sub/c.xml"]);
  zip.OverwriteAction = TOverwriteAction::oaOverwriteAll;
  zip.ExtractToFolder("sub/deeper/d.txt", dir_ / "tree");
  EXPECT_EQ(ReadFile(dir_ / "tree/sub/deeper/d.txt"), files_["sub/deeper/d.txt"]);
  zip.ExtractToFolder("sub/", dir_ / "tree2");
  EXPECT_TRUE(std::filesystem::is_directory(dir_ / "tree2/sub"));
  std::ostringstream stream;
  zip.ExtractToStream("a.txt", stream);
  EXPECT_EQ(ToBytes(stream.str()), files_["a.txt"]);
  // No temporary files are left behind.
  for (const auto& e : std::filesystem::directory_iterator(dir_.Path())) {
    EXPECT_NE(e.path().filename().string().front(), '.') << e.path();
  }
}

TEST(ZipReadRealFiles, PublishedRdmlFilesListAndExtractLikePython) {
  const std::filesystem::path folder = std::filesystem::path(QURVEX_SHARED_DATA_DIR) / "rdml";
  if (!std::filesystem::is_directory(folder)) GTEST_SKIP() << "shared example files are not present: " << folder;
  TempDir dir;
  int archives = 0;
  for (const auto& file : std::filesystem::directory_iterator(folder)) {
    if (file.path().extension() != ".rdml") continue;
    SCOPED_TRACE(file.path().string());
    ++archives;
    // Python writes every entry (name + NUL + bytes) into one file.
    const std::string dump = dir / "dump.bin";
    ASSERT_EQ(0, RunPython("import zipfile\nz = zipfile.ZipFile('" + file.path().string() + "')\n"
                           "with open('" + dump + "', 'wb') as out:\n"
                           "    for i in z.infolist(): out.write(i.filename.encode('cp437' if not i.flag_bits & 0x800 else 'utf-8') + b'\\0' + str(i.file_size).encode() + b'\\0' + z.read(i))\n",
                           dir.Path()));
    TKAZip zip;
    zip.OpenArchive(file.path().string());
    ASSERT_TRUE(zip.IsZipFile());
    Bytes expected = ReadFile(dump);
    Bytes actual;
    for (int i = 0; i < zip.Entries().Count(); ++i) {
      const auto& entry = zip.Entries()[i];
      const Bytes data = zip.Entries().ExtractToBuffer(entry);
      const std::string head = entry.FileName() + '\0' + std::to_string(data.size()) + '\0';
      actual.insert(actual.end(), head.begin(), head.end());
      actual.insert(actual.end(), data.begin(), data.end());
    }
    EXPECT_EQ(actual, expected);
  }
  EXPECT_GT(archives, 0);
}

}  // namespace
}  // namespace qurvex
