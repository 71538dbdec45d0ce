// SPDX-License-Identifier: GPL-3.0-or-later
// Archives written by Info-ZIP zip and by Python's zipfile must list and
// extract byte for byte as Python's zipfile reads them.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>

#include "tests/zip/ZipTestUtil.h"
#include "zip/KAZip.h"

namespace qurvex {
namespace {

using namespace ziptest;

// Opens `archive` and compares the listing (stored name bytes, folder or not, and
// the level read from the flags of a deflated entry) and every entry's data with
// what Python's zipfile reads; `scratch` holds Python's extracts.
void ExpectSameAsPython(const std::string& archive, const TempDir& scratch) {
    SCOPED_TRACE(archive);
    std::string listing;
    ASSERT_EQ(0, RunPython("import zipfile, sys\nz = zipfile.ZipFile(" + ShellQuote(archive) + R"()
for k, i in enumerate(z.infolist()):
    sys.stdout.buffer.write(i.filename.encode('utf-8' if i.flag_bits & 0x800 else 'cp437'))
    print('', int(i.is_dir()), i.flag_bits & 6 if i.compress_type == 8 else 10, flush=True)
    open('entry%d' % k, 'wb').write(z.read(i))
)",
                           scratch.Path(), &listing));
    TKAZip zip;
    zip.OpenArchive(archive);
    ASSERT_TRUE(zip.IsZipFile());
    EXPECT_FALSE(zip.Damaged());
    std::string ours;
    for (int i = 0; i < zip.Entries().Count(); ++i) {
        const TKAZipEntriesEntry& e = zip.Entries()[i];
        ours += e.FileName() + " " + std::to_string(e.Folder) + " " +
                std::to_string(2 * static_cast<int>(e.CompressionType)) + "\n";
        EXPECT_EQ(zip.Entries().ExtractToBuffer(e),
                  ReadFile(scratch / ("entry" + std::to_string(i))))
            << e.FileName();
    }
    EXPECT_EQ(ours, listing);
}

class ZipReadTools : public ::testing::Test {
protected:
    void SetUp() override {
        files_ = {{"a.txt", TextBytes(5000, 1)},
                  {"b.bin", NoiseBytes(3000, 2)},
                  {"empty.txt", {}},
                  {"sub/c.xml", TextBytes(70000, 3)},
                  {"sub/deeper/d.txt", TextBytes(10, 4)},
                  {"sub/données/été.txt", TextBytes(20, 5)},
                  {"sub/one.txt", ToBytes("1")}};
        std::filesystem::create_directories(dir_ / "sub/deeper");
        std::filesystem::create_directories(dir_ / "sub/données");
        for (const auto& [name, data] : files_) WriteFile(dir_ / name, data);
    }

    TempDir dir_;
    std::map<std::string, Bytes> files_;
};

TEST_F(ZipReadTools, InfoZipAndPythonArchivesListAndExtract) {
    std::vector<std::string> archives;
    for (int level = 0; level <= 9; ++level) {
        archives.push_back("level" + std::to_string(level) + ".zip");
        ASSERT_EQ(0, InfoZip(dir_.Path(), "-r -" + std::to_string(level) + " " + archives.back() +
                                              " a.txt b.bin empty.txt sub"));
    }
    // To a pipe Info-ZIP writes data descriptors; reading stdin ("-") it also puts
    // ZIP64 placeholders in the local header while the directory holds the sizes.
    ASSERT_EQ(0, InfoZip(dir_.Path(), "- a.txt sub/c.xml | cat > piped.zip"));
    ASSERT_EQ(0, InfoZip(dir_.Path(), "- - < a.txt > stdin.zip"));
    // Python stored, deflated, and deflated to an unseekable stream (data descriptors).
    ASSERT_EQ(0, RunPython(R"(
import zipfile
class Unseekable:
    def __init__(self, f): self.write, self.flush = f.write, f.flush
for name, method, wrap in [('py_stored.zip', zipfile.ZIP_STORED, False), ('py_deflated.zip', zipfile.ZIP_DEFLATED, False),
                           ('py_stream.zip', zipfile.ZIP_DEFLATED, True)]:
    with open(name, 'wb') as raw, zipfile.ZipFile(Unseekable(raw) if wrap else raw, 'w', method) as z:
        if hasattr(z, 'mkdir'): z.mkdir('sub')
        for f in ['a.txt', 'b.bin', 'empty.txt', 'sub/c.xml', 'sub/deeper/d.txt', 'sub/données/été.txt', 'sub/one.txt']: z.write(f)
assert all(i.flag_bits & 8 for i in zipfile.ZipFile('py_stream.zip').infolist() if not i.is_dir())
)",
                           dir_.Path()));
    archives.insert(archives.end(), {"piped.zip", "stdin.zip", "py_stored.zip", "py_deflated.zip",
                                     "py_stream.zip"});
    TempDir scratch;
    for (const auto& archive : archives) ExpectSameAsPython(dir_ / archive, scratch);
}

TEST_F(ZipReadTools, CommentsOfEveryLengthAreFoundAndReadAsRawBytes) {
    // Comments from 0 to 65535 bytes, raw bytes (including NUL and a fake end
    // record "PK\5\6" whose comment length does not reach the file's end).
    ASSERT_EQ(0, RunPython(R"(
import zipfile
fake = b'PK\x05\x06' + bytes(16) + b'\x02\x00'
for n in [0, 1, 100, 2000, 65535]:
    c = (bytes(range(256)) * 300)[:n]
    if n >= 100: c = fake + c[len(fake):]
    with zipfile.ZipFile('c%d.zip' % n, 'w', zipfile.ZIP_DEFLATED) as z:
        z.writestr('x.txt', 'hello')
        z.comment = c
    open('c%d.bin' % n, 'wb').write(c)
)",
                           dir_.Path()));
    for (const std::string n : {"0", "1", "100", "2000", "65535"}) {
        SCOPED_TRACE(n);
        TKAZip zip;
        zip.OpenArchive(dir_ / ("c" + n + ".zip"));
        ASSERT_TRUE(zip.IsZipFile());
        EXPECT_FALSE(zip.Damaged());
        EXPECT_EQ(ToBytes(zip.Comment()), ReadFile(dir_ / ("c" + n + ".bin")));
        EXPECT_EQ(zip.ExtractToBuffer("x.txt"), ToBytes("hello"));
    }
}

TEST_F(ZipReadTools, ArchiveWithoutEndRecordIsScannedUnlessAnEntryIsCutOrTheEndMisleads) {
    ASSERT_EQ(0, InfoZip(dir_.Path(), "-9 full.zip a.txt b.bin"));
    ASSERT_EQ(0, InfoZip(dir_.Path(), "- a.txt | cat > piped.zip"));
    std::string offsets;
    ASSERT_EQ(0, RunPython("import zipfile\nz=zipfile.ZipFile('full.zip')\nprint(z.start_dir)\n"
                           "print(' '.join(str(i.header_offset) for i in z.infolist()))\n",
                           dir_.Path(), &offsets));
    std::istringstream in(offsets);
    std::size_t startDir = 0, first = 0, second = 0;
    in >> startDir >> first >> second;
    const Bytes full = ReadFile(dir_ / "full.zip");
    TKAZip zip;
    zip.LoadFromBuffer(Bytes(full.begin(), full.begin() + startDir + 10));  // end record gone
    ASSERT_TRUE(zip.IsZipFile());
    EXPECT_TRUE(zip.Damaged());
    ASSERT_EQ(zip.Entries().Count(), 2);
    EXPECT_EQ(zip.Entries()[0].LocalOffset(), first);
    EXPECT_EQ(zip.Entries()[1].LocalOffset(), second);
    EXPECT_EQ(zip.Entries().EndRecord().SizeOfTheCentralDirectory,
              2 * (46 + 5) + zip.Entries()[0].Local.ExtraFieldLength +
                  zip.Entries()[1].Local.ExtraFieldLength);
    EXPECT_EQ(zip.ExtractToBuffer("b.bin"), files_["b.bin"]);
    EXPECT_THROW(zip.Remove("a.txt"), EZipError);  // such an archive is read, never written

    // Python refuses each of these files; so must the component, naming the fault.
    Bytes pastEnd = full;
    pastEnd[pastEnd.size() - 4] ^= 0x10;  // directory offset moved 1 MiB past the end
    const Bytes piped = ReadFile(dir_ / "piped.zip");
    const std::pair<Bytes, std::string> refused[] = {
        {Bytes(full.begin(), full.begin() + startDir - 5), "data of entry \"b.bin\""},
        {Bytes(full.begin(), full.begin() + second + 12), "cut off by the end of the file"},
        {pastEnd, "lies past the end of the file"},
        {Bytes(piped.begin(), piped.begin() + 60), "keeps its sizes behind its data"}};
    for (const auto& [bytes, expected] : refused) {
        WriteFile(dir_ / "damaged.zip", bytes);
        EXPECT_NE(0, RunPython("import zipfile\nzipfile.ZipFile('damaged.zip').testzip()\n",
                               dir_.Path()));
        const std::string error = ErrorOf([&] { zip.LoadFromBuffer(bytes); });
        EXPECT_NE(error.find(expected), std::string::npos) << error;
        EXPECT_FALSE(zip.IsZipFile());
    }
}

TEST_F(ZipReadTools, NamesDifferingOnlyInCaseAreDistinctEntries) {
    std::filesystem::create_directories(dir_ / "case");
    WriteFile(dir_ / "case/Data.txt", std::string("upper"));
    WriteFile(dir_ / "case/data.txt", std::string("lower"));
    ASSERT_EQ(0, InfoZip(dir_ / "case", "../infozip.zip Data.txt data.txt"));
    ASSERT_EQ(0, RunPython("import zipfile\nwith zipfile.ZipFile('python.zip', 'w') as z:\n"
                           "    z.writestr('Data.txt', 'upper'); z.writestr('data.txt', 'lower')\n",
                           dir_.Path()));
    for (const char* archive : {"infozip.zip", "python.zip"}) {
        SCOPED_TRACE(archive);
        TKAZip zip;
        zip.OpenArchive(dir_ / archive);
        zip.OverwriteAction = TOverwriteAction::oaOverwriteAll;
        EXPECT_EQ(zip.ExtractToBuffer("data.txt"), ToBytes("lower"));
        EXPECT_EQ(zip.ExtractToBuffer("Data.txt"), ToBytes("upper"));
        EXPECT_EQ(zip.ExtractToBuffer("DATA.TXT"), ToBytes("upper"));  // no exact name: first
        const std::string out = dir_ / (std::string(archive) + ".out");
        for (const auto& name : zip.FileNames()) zip.ExtractToFolder(name, out);
        EXPECT_EQ(ReadFile(out + "/Data.txt"), ToBytes("upper"));
        EXPECT_EQ(ReadFile(out + "/data.txt"), ToBytes("lower"));
        zip.AddBuffer("data.txt", ToBytes("new"));
        EXPECT_EQ(zip.FileNames(), (std::vector<std::string>{"Data.txt", "data.txt"}));
        EXPECT_EQ(zip.ExtractToBuffer("data.txt"), ToBytes("new"));
        zip.Remove("data.txt");
        EXPECT_EQ(zip.FileNames(), std::vector<std::string>{"Data.txt"});
        EXPECT_EQ(zip.ExtractToBuffer("data.txt"), ToBytes("upper"));
    }
}

TEST_F(ZipReadTools, FolderEntriesAreToldByTheirNameOrTheAttributesOfTheirHost) {
    ASSERT_EQ(0, RunPython(R"(
import zipfile
with zipfile.ZipFile('hosts.zip', 'w') as z:
    for name, system, attr in [('plain', 3, 0o100644 << 16 | 0x10), ('unixdir', 3, 0o40755 << 16),
                               ('dosdir', 0, 0x10), ('ntfsdir', 11, 0x10), ('dosfile', 0, 0x20)]:
        i = zipfile.ZipInfo(name); i.create_system = system; i.external_attr = attr
        z.writestr(i, 'text' if name == 'plain' else '')
)",
                           dir_.Path()));
    TKAZip zip;
    zip.OpenArchive(dir_ / "hosts.zip");
    std::string folders;
    for (int i = 0; i < zip.Entries().Count(); ++i)
        folders += zip.Entries()[i].Folder ? zip.Entries()[i].FileName() + " " : "";
    EXPECT_EQ(folders, "unixdir dosdir ntfsdir ");
    zip.OverwriteAction = TOverwriteAction::oaOverwriteAll;
    zip.ExtractToFolder("plain", dir_ / "out");
    EXPECT_EQ(ReadFile(dir_ / "out/plain"), ToBytes("text"));
}

TEST_F(ZipReadTools, ExtractToFileAndFolderWriteTheEntryAndHonourTheOverwriteRule) {
    ASSERT_EQ(0, InfoZip(dir_.Path(), "-r arch.zip a.txt sub"));
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
    for (const auto& e : std::filesystem::directory_iterator(dir_.Path())) {
        EXPECT_NE(e.path().filename().string().front(), '.') << e.path();  // no temporary file left
    }
}

TEST(ZipReadRealFiles, PublishedRdmlFilesListAndExtractLikePython) {
    const std::filesystem::path folder = std::filesystem::path(QURVEX_SHARED_DATA_DIR) / "rdml";
    if (!std::filesystem::is_directory(folder))
        GTEST_SKIP() << "shared example files are not present: " << folder;
    TempDir scratch;
    int archives = 0;
    for (const auto& file : std::filesystem::directory_iterator(folder)) {
        if (file.path().extension() != ".rdml") continue;
        ExpectSameAsPython(file.path().string(), scratch);
        ++archives;
    }
    EXPECT_GT(archives, 0);
}

}  // namespace
}  // namespace qurvex
