// SPDX-License-Identifier: GPL-3.0-or-later
// The whole read of RDML files without a window: real files of every version,
// refusals with their messages, and the user's folder left as it was.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <tuple>

#include "RdmlReadSupport.h"
#include "engine/Engine.h"
#include "rdml/exchange/RdmlExtraction.h"
#include "rdml/exchange/RdmlReadRoad.h"

namespace qurvex {
namespace {

namespace fs = std::filesystem;
using test::ScriptedAsker;

struct RealFile {
    const char* name;
    bool shared;  // GPL-2.0 files are read from ../shared only
    const char* version;
    int nsamples, ncycles, ntargets;
    const char* firstLabel;
    float firstCyc, firstFluor, lastCyc, lastFluor;  // fluorescence 0: lifted, not compared
    bool notice;                                     // more was in the file than was read
};

// Expected values from Python's zipfile and ElementTree over the same files.
const RealFile kRealFiles[] = {
    {"stepone_std.rdml", false, "1.0", 24, 40, 1, "A1 NTC_RNaseP RNaseP", 1, 0.689337f, 40,
     2.379217f, false},
    {"lc96_bACTXY.rdml", false, "1.1", 96, 50, 2, nullptr, 1, 0.00244379f, 50, 0.000754865f, true},
    {"BioRad_qPCR_melt.rdml", false, "1.1", 30, 41, 1, "1 Alm12 EvaGreen", 1, 0, 41, 0, true},
    {"example_1_0.rdml", true, "1.1", 90, 38, 5, "1 gDNA Exon1", 3, 668.43f, 40, 3371.28f, false},
    {"example_1_2.rdml", true, "1.2", 90, 38, 5, "1 gDNA Exon1", 3, 668.43f, 40, 3371.28f, false},
    {"example_1_3.rdml", true, "1.3", 90, 38, 5, "1 gDNA Exon1", 3, 668.43f, 40, 3371.28f, false},
    {"RDML_example_REC_v1_1.rdml", true, "1.1", 90, 38, 5, "1 gDNA Exon1", 3, 668.43f, 40, 3371.28f,
     false},
};

TEST(RdmlReadRoad, read_realFiles_giveCountsIdsAndValues) {
    const fs::path work = test::freshFolder("work");
    for (const auto& f : kRealFiles) {
        SCOPED_TRACE(f.name);
        const fs::path file =
            (f.shared ? test::sharedData("rdml") : test::testData("rdml")) / f.name;
        if (!fs::exists(file)) {
            std::printf("skipped %s: GPL-2.0 file read from ../shared, which is absent\n", f.name);
            continue;
        }
        ScriptedAsker asker;
        const TRdmlReadResult r = ReadfromRDML({file.string(), 3, 2, false, work.string()}, asker);
        ASSERT_TRUE(r.ok) << r.message;
        const TRunInput& run = r.run;
        const auto last = static_cast<std::size_t>(run.nsamples);
        const auto lastPoint = static_cast<std::size_t>(run.npoints[last]);
        EXPECT_EQ(std::make_tuple(r.version, run.rdml12input, run.nsamples, run.ncycles,
                                  static_cast<int>(r.targetlist.size()), run.chemistry,
                                  run.inputtype, run.fromrdml && run.tissuesdefined),
                  std::make_tuple(std::string(f.version), std::string(f.version) >= "1.2",
                                  f.nsamples, f.ncycles, f.ntargets, 3, 2, true));
        if (f.firstLabel) {
            EXPECT_EQ(run.sampname[1], f.firstLabel);
        }
        EXPECT_EQ(run.rawcyc[1][1], f.firstCyc);
        EXPECT_EQ(run.rawcyc[last][lastPoint], f.lastCyc);
        if (f.firstFluor != 0) {
            EXPECT_EQ(run.rawfluor[1][1], f.firstFluor);
        }
        if (f.lastFluor != 0) {
            EXPECT_EQ(run.rawfluor[last][lastPoint], f.lastFluor);
        }
        EXPECT_EQ(std::make_tuple(r.rdmlinput.rows(), r.tissuesamples.rows(), asker.lastStep,
                                  asker.closed),
                  std::make_tuple(f.nsamples + 1, f.nsamples + 1, f.nsamples, 1));
        EXPECT_GE(r.uniquetissues.rows(), 2);
        EXPECT_EQ(!r.notices.empty(), f.notice);
        for (int s = 1; s <= run.nsamples; ++s)
            for (int j = 1; j <= run.npoints[static_cast<std::size_t>(s)]; ++j)
                ASSERT_GE(run.rawfluor[static_cast<std::size_t>(s)][static_cast<std::size_t>(j)],
                          0.0);
        // The window's order after a successful read.
        TEngine engine;
        engine.ResetInterfaceAfterRead();
        ASSERT_TRUE(engine.loadrun(run));
        engine.ProcessDataAfterRead();
        engine.ExtraRDMLProcessing();
        EXPECT_TRUE(engine.tissuesdefined);
        EXPECT_EQ(engine.ntissues, run.ntissues);
        EXPECT_TRUE(DiscardWorkingDocument(run.rdmlxmlfile));
    }
    fs::remove_all(work);
}

TEST(RdmlReadRoad, refusals_giveTheMessageAndWriteNothing) {
    const fs::path work = test::freshFolder("refuse");
    const fs::path dir = test::freshFolder("input");
    test::writeArchive(dir / "none.rdml", {{"readme.txt", "x"}});
    test::writeArchive(dir / "v14.rdml", {{"rdml_data.xml", test::rdmlDocument("1.4", "")}});
    test::writeArchive(dir / "bad.rdml", {{"rdml_data.xml", "<rdml version=\"1.2\"><experiment>"}});
    test::writeText(dir / "plain.rdml", test::rdmlDocument("1.2", ""));
    // A byte of the deflated data flipped: the entry fails its check.
    test::writeArchive(dir / "damaged.rdml",
                       {{"rdml_data.xml", test::rdmlDocument("1.2", std::string(400, ' '))}});
    std::string damaged = test::readText(dir / "damaged.rdml");
    damaged[50] = static_cast<char>(damaged[50] ^ 0x55);
    test::writeText(dir / "damaged.rdml", damaged);
    struct Case {
        std::string file;
        std::string message;
    } cases[] = {
        {"", kNoFileName},
        {(dir / "missing.rdml").string(), "not found"},
        {(dir / "none.rdml").string(), kNoXmlInArchive},
        {(dir / "plain.rdml").string(), kNoXmlInArchive},
        {(dir / "v14.rdml").string(), "version \"1.4\" cannot be read"},
        {(dir / "bad.rdml").string(), "line 1"},
        {(dir / "damaged.rdml").string(), "re-zipped"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        ScriptedAsker asker;
        const auto r = ReadfromRDML({c.file, 1, 1, false, work.string()}, asker);
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.message.find(c.message), std::string::npos) << r.message;
        if (!c.file.empty()) {
            EXPECT_NE(r.message.find(c.file), std::string::npos) << r.message;
        }
        ASSERT_EQ(asker.messages.size(), 1u);
        EXPECT_EQ(asker.kinds[0] == TRdmlMessageKind::information,
                  c.message == "re-zipped" || c.message.find("version") != std::string::npos ||
                      c.message == "line 1");
        EXPECT_TRUE(fs::is_empty(work));
    }
    ScriptedAsker no;
    no.baselineAnswer = false;
    const auto r = ReadfromRDML(
        {test::testData("rdml/stepone_std.rdml").string(), 1, 1, true, work.string()}, no);
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(no.baselineQuestions, 1);
    EXPECT_TRUE(no.messages.empty());
    fs::remove_all(work);
    fs::remove_all(dir);
}

TEST(RdmlReadRoad, userFolder_sentinelUntouchedReadOnlyFolderAndNoStrayFiles) {
    const fs::path dir = test::freshFolder("user");
    fs::copy_file(test::testData("rdml/stepone_std.rdml"), dir / "run.rdml");
    test::writeText(dir / "rdml_data.xml", "sentinel");
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
    ScriptedAsker asker;
    const auto first = ReadfromRDML({(dir / "run.rdml").string(), 1, 1, false, {}}, asker);
    const auto second = ReadfromRDML({(dir / "run.rdml").string(), 1, 1, false, {}}, asker);
    ASSERT_TRUE(first.ok && second.ok);
    EXPECT_NE(first.run.rdmlxmlfile, second.run.rdmlxmlfile);
    EXPECT_EQ(fs::path(first.run.rdmlxmlfile).parent_path(), fs::path(RdmlWorkFolder()));
    EXPECT_EQ(test::readText(first.run.rdmlxmlfile), test::readText(second.run.rdmlxmlfile));
    EXPECT_TRUE(DiscardWorkingDocument(first.run.rdmlxmlfile));
    EXPECT_FALSE(DiscardWorkingDocument((dir / "rdml_data.xml").string()));
    const std::string folder = RdmlWorkFolder();
    RemoveRdmlWorkFolder();
    EXPECT_FALSE(fs::exists(folder));
    EXPECT_FALSE(fs::exists(second.run.rdmlxmlfile));
    EXPECT_EQ(test::readText(dir / "rdml_data.xml"), "sentinel");
    int files = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir)) ++files;
    EXPECT_EQ(files, 2);
    fs::permissions(dir, fs::perms::owner_all);
    fs::remove_all(dir);
}

TEST(RdmlReadRoad, chooser_offersRealDocumentsOnly) {
    const fs::path dir = test::freshFolder("chooser");
    const std::string doc = test::rdmlDocument("1.2", test::react("1", "s", "t", {{"1", "2"}}));
    test::writeArchive(dir / "two.rdml", {{"__MACOSX/._a.xml", "junk"},
                                          {"dir/._c.xml", "fork"},
                                          {"a.xml", doc},
                                          {"b.XML", "<x/>"},
                                          {"notes.txt", ""}});
    test::writeArchive(dir / "one.rdml", {{"__MACOSX/._data.xml", "junk"}, {"data.XML", doc}});
    ScriptedAsker asker;
    const auto two = ReadfromRDML({(dir / "two.rdml").string(), 1, 1, false, dir.string()}, asker);
    ASSERT_EQ(asker.offered.size(), 1u);
    EXPECT_EQ(asker.offered[0], (std::vector<std::string>{"a.xml", "b.XML"}));
    EXPECT_TRUE(two.ok) << two.message;
    const auto one = ReadfromRDML({(dir / "one.rdml").string(), 1, 1, false, dir.string()}, asker);
    EXPECT_TRUE(one.ok) << one.message;
    EXPECT_EQ(asker.offered.size(), 1u);
    for (int choice : {-1, 2}) {
        asker.choice = choice;
        EXPECT_TRUE(ReadfromRDML({(dir / "two.rdml").string(), 1, 1, false, dir.string()}, asker)
                        .cancelled);
    }
    fs::remove_all(dir);
}

}  // namespace
}  // namespace qurvex
