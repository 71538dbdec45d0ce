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

// "name sha256" of every entry's bytes in work.zip from its local header to the
// next one (or the directory), computed by Python from the offsets it reads.
std::map<std::string, std::string> EntryExtents(const std::string& dir) {
    std::string out;
    EXPECT_EQ(0, RunPython(R"(
import zipfile, hashlib
z = zipfile.ZipFile('work.zip'); data = open('work.zip', 'rb').read()
infos = sorted(z.infolist(), key=lambda i: i.header_offset)
b = [i.header_offset for i in infos] + [z.start_dir]
for k, i in enumerate(infos): print(i.filename, hashlib.sha256(data[b[k]:b[k+1]]).hexdigest())
)",
                           dir, &out))
        << out;
    std::map<std::string, std::string> result;
    std::istringstream lines(out);
    for (std::string name, hash; lines >> name >> hash;) result[name] = hash;
    return result;
}

// Both tools accept the archive.
void ExpectToolsAccept(const std::string& archive, const std::string& dir) {
    std::string out;
    EXPECT_EQ(0, Shell("unzip -t " + ShellQuote(archive), &out)) << out;
    EXPECT_EQ(0, RunPython("import zipfile\nassert zipfile.ZipFile('" + archive +
                               "').testzip() is None\n",
                           dir, &out))
        << out;
}

Bytes UnzipPipe(const std::string& archive, const std::string& name) {
    std::string out;
    EXPECT_EQ(0, Shell("unzip -p " + ShellQuote(archive) + " " + ShellQuote(name) + " 2>/dev/null",
                       &out));
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

TEST_F(ZipWriteTools, AddingTheDocumentAsTheProgramDoesGivesAValidArchive) {
    // The road of the RDML writer: empty archive (the bare end record), open, add
    // one file by name with the base folder of the archive, maximum compression.
    std::filesystem::create_directories(dir_ / "x/s");
    const Bytes doc = TextBytes(200000, 7);
    WriteFile(dir_ / "x/rdml_data.xml", doc);
    const std::string archive = dir_ / "x/run.rdml";
    CreateEmpty(archive);
    EXPECT_EQ(ReadFile(archive), EmptyArchive());
    TKAZip zip;
    std::vector<int> changes;
    std::vector<std::string> added;
    int64_t lastTotal = 0;
    zip.OnZipChange = [&](TKAZip&, int type) { changes.push_back(type); };
    zip.OnAddItem = [&](TKAZip&, const std::string& name) { added.push_back(name); };
    zip.OnDecompressFile = [&](TKAZip&, int64_t, int64_t total) { lastTotal = total; };
    zip.OpenArchive(archive);
    EXPECT_TRUE(zip.IsZipFile());
    EXPECT_EQ(zip.Entries().Count(), 0);
    EXPECT_EQ(zip.CompressionType(), TZipCompressionType::ctMaximum);
    zip.OverwriteAction = TOverwriteAction::oaOverwrite;
    ASSERT_TRUE(zip.AddFiles({dir_ / "x/rdml_data.xml"}, dir_ / "x", false));
    ASSERT_EQ(zip.FileNames(), std::vector<std::string>{"rdml_data.xml"});
    EXPECT_EQ(zip.Entries()[0].LocalOffset(), 0u);
    EXPECT_EQ(zip.Entries().EndRecord().TotalNumberOfEntries, 1);
    EXPECT_EQ(zip.ExtractToBuffer("rdml_data.xml"), doc);
    zip.CloseArchive();
    EXPECT_EQ(changes, (std::vector<int>{0, 1, 2, 0}));  // closed, opened, added, closed
    EXPECT_EQ(added, std::vector<std::string>{"rdml_data.xml"});
    EXPECT_EQ(lastTotal, 200000);
    ExpectToolsAccept(archive, dir_.Path());
    EXPECT_EQ(UnzipPipe(archive, "rdml_data.xml"), doc);

    // Relative to the parent folder the entry keeps its folder and gets a folder entry;
    // a folder adds its files and folders, and recursively the rest (replacing the first).
    WriteFile(dir_ / "x/s/b.txt", TextBytes(200, 2));
    const std::string archive2 = dir_ / "two.zip";
    CreateEmpty(archive2);
    zip.OpenArchive(archive2);
    zip.AddFiles({dir_ / "x/rdml_data.xml"}, dir_.Path(), false);
    EXPECT_EQ(zip.FileNames(), (std::vector<std::string>{"x/", "x/rdml_data.xml"}));
    EXPECT_TRUE(zip.Entries()[0].Folder);
    zip.AddFiles({dir_ / "x"}, dir_.Path(), false);
    EXPECT_EQ(zip.FileNames(),
              (std::vector<std::string>{"x/", "x/rdml_data.xml", "x/run.rdml", "x/s/"}));
    zip.AddFiles({dir_ / "x"}, dir_.Path(), true);
    EXPECT_EQ(zip.FileNames(), (std::vector<std::string>{"x/", "x/rdml_data.xml", "x/run.rdml",
                                                         "x/s/", "x/s/b.txt"}));
    zip.CloseArchive();
    ExpectToolsAccept(archive2, dir_.Path());
    EXPECT_EQ(UnzipPipe(archive2, "x/rdml_data.xml"), doc);
    EXPECT_EQ(UnzipPipe(archive2, "x/s/b.txt"), TextBytes(200, 2));
}

TEST_F(ZipWriteTools, EveryCompressionLevelAndAnEmptyItemAreReadByTheTools) {
    const Bytes text = TextBytes(300000, 9);
    const Bytes noise = NoiseBytes(100000, 10);
    TKAZip zip;
    zip.LoadFromBuffer(EmptyArchive());
    using enum TZipCompressionType;
    const std::string levels[] = {"normal", "maximum", "fast", "superfast", "none"};
    for (const auto type : {ctNormal, ctMaximum, ctFast, ctSuperFast, ctNone}) {
        zip.SetCompressionType(type);
        zip.AddBuffer(levels[static_cast<int>(type)] + ".txt", text);
        zip.AddBuffer(levels[static_cast<int>(type)] + ".bin", noise);
    }
    zip.SetCompressionType(ctUnknown);
    EXPECT_EQ(zip.CompressionType(), ctNormal);
    zip.AddBuffer("empty.txt", Bytes{});
    zip.AddBuffer("données/été.txt", text);  // a non-ASCII name is flagged as UTF-8
    const std::string archive = dir_ / "levels.zip";
    WriteFile(archive, zip.Data());
    ExpectToolsAccept(archive, dir_.Path());
    std::string out;
    ASSERT_EQ(
        0,
        RunPython(
            "import zipfile\nfor i in zipfile.ZipFile('levels.zip').infolist():\n"
            "    print(i.filename, i.create_system, i.compress_type, i.flag_bits, i.file_size)\n",
            dir_.Path(), &out));
    EXPECT_NE(out.find("empty.txt 0 0 0 0\n"), std::string::npos) << out;
    EXPECT_NE(out.find("données/été.txt 11 8 2048 300000\n"), std::string::npos) << out;
    ASSERT_EQ(0, Shell("unzip -q " + ShellQuote(archive) + " -d " + ShellQuote(dir_ / "out")));
    EXPECT_EQ(ReadFile(dir_ / "out/données/été.txt"), text);
    for (const auto& name : levels) {
        EXPECT_NE(out.find(name + ".txt 0 8 0 300000\n"), std::string::npos)
            << out;  // level bits 0
        EXPECT_EQ(ReadFile(dir_ / ("out/" + name + ".txt")), text);
        EXPECT_EQ(ReadFile(dir_ / ("out/" + name + ".bin")), noise);
    }
}

TEST_F(ZipWriteTools, ReplacingOrRemovingAnyEntryKeepsTheOthersByteIdentical) {
    // Python streaming (data descriptors) and Info-ZIP (local extra fields that
    // differ from the central ones) both lay out entries unlike this component.
    WriteFile(dir_ / "one.txt", TextBytes(4000, 11));
    WriteFile(dir_ / "two.bin", NoiseBytes(5000, 12));
    WriteFile(dir_ / "three.xml", TextBytes(6000, 13));
    ASSERT_EQ(0, InfoZip(dir_.Path(), "-9 infozip.zip one.txt two.bin three.xml"));
    ASSERT_EQ(0, InfoZip(dir_.Path(), "- one.txt two.bin three.xml | cat > piped.zip"));
    const Bytes replacement = TextBytes(12345, 14);
    for (const char* source : {"infozip.zip", "piped.zip"}) {
        for (const char* target : {"one.txt", "two.bin", "three.xml"}) {
            for (const bool remove : {false, true}) {
                SCOPED_TRACE(std::string(source) + (remove ? " remove " : " replace ") + target);
                const std::string archive = dir_ / "work.zip";
                std::filesystem::copy_file(dir_ / source, archive,
                                           std::filesystem::copy_options::overwrite_existing);
                const auto before = EntryExtents(dir_.Path());
                TKAZip zip;
                zip.OpenArchive(archive);
                if (remove) {
                    zip.Remove(target);
                } else {
                    EXPECT_EQ(zip.AddBuffer(target, replacement).FileName(), target);
                    EXPECT_EQ(zip.Entries()[2].FileName(), target);  // the new entry comes last
                }
                zip.CloseArchive();
                ExpectToolsAccept(archive, dir_.Path());
                const auto after = EntryExtents(dir_.Path());
                ASSERT_EQ(after.size(), remove ? 2u : 3u);
                for (const auto& [name, hash] : before) {
                    if (name != target) {
                        EXPECT_EQ(after.at(name), hash) << name;
                    }
                }
                if (!remove) {
                    EXPECT_EQ(UnzipPipe(archive, target), replacement);
                }
            }
        }
    }
}

TEST_F(ZipWriteTools, CommentIsWrittenAsRawBytesAndTheLastRemovalLeavesAnEmptyArchiveWithIt) {
    WriteFile(dir_ / "a.txt", TextBytes(3000, 21));
    ASSERT_EQ(0, InfoZip(dir_.Path(), "c.zip a.txt"));
    const std::string archive = dir_ / "c.zip";
    TKAZip zip;
    zip.OpenArchive(archive);
    int removed = 0;
    zip.OnZipChange = [&](TKAZip&, int type) { removed += (type == 3); };
    const std::string comment("line 1\r\nline 2\0\xff", 16);
    zip.SetComment(comment);
    EXPECT_EQ(zip.Comment(), comment);
    zip.AddBuffer("b.txt", ToBytes("b"));  // adds keep the comment
    ExpectToolsAccept(archive, dir_.Path());
    ASSERT_EQ(
        0,
        RunPython("import zipfile\nopen('c.bin', 'wb').write(zipfile.ZipFile('c.zip').comment)\n",
                  dir_.Path()));
    EXPECT_EQ(ReadFile(dir_ / "c.bin"), ToBytes(comment));
    zip.Remove("a.txt");
    zip.Remove("b.txt");
    EXPECT_EQ(removed, 2);
    EXPECT_EQ(zip.Entries().Count(), 0);
    zip.CloseArchive();
    Bytes expected = EmptyArchive();
    expected[20] = static_cast<uint8_t>(comment.size());  // comment length
    expected.insert(expected.end(), comment.begin(), comment.end());
    EXPECT_EQ(ReadFile(archive), expected);
}

// A source that breaks off after 300000 bytes: a read from a disk that goes away.
struct FailingBuf : std::streambuf {
    char data[100000] = {};
    int served = 0;
    int_type underflow() override {
        if (served++ >= 3) throw std::ios_base::failure("disk gone");
        setg(data, data, data + sizeof data);
        return 0;
    }
};

TEST_F(ZipWriteTools, FailedWritesLeaveTheArchiveUntouched) {
    WriteFile(dir_ / "a.txt", TextBytes(3000, 31));
    ASSERT_EQ(0, InfoZip(dir_.Path(), "a.zip a.txt"));
    const std::string archive = dir_ / "a.zip";
    const Bytes original = ReadFile(archive);
    TKAZip zip;
    zip.OpenArchive(archive);

    // An item missing from disk is an error, and nothing of the list is added.
    EXPECT_THROW(zip.AddFiles({dir_ / "a.txt", dir_ / "missing.txt"}, dir_.Path(), false),
                 EZipError);
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
