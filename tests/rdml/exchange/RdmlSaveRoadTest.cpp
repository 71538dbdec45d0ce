// SPDX-License-Identifier: GPL-3.0-or-later
// The RDML save commands: questions and confirmations, the road taken, and
// failures that leave every file as it was.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "rdml/exchange/RdmlArchiveWriter.h"
#include "rdml/exchange/RdmlSaveRoad.h"
#include "tests/rdml/exchange/RdmlWriteTestSupport.h"

namespace qurvex {
namespace {

namespace fs = std::filesystem;
using test::TScriptedAsker;
using test::TTempFolder;

constexpr const char* kTissue =
    "You did not identify the tissue samples. Continue with sample names?";

struct TRoad {
    TEngine engine;
    TRdmlWriteChoices choices;
    TScriptedAsker asker;
    TTempFolder folder;
    TRoad() {
        test::analyseSyntheticRun(engine, 24, 2, true);
        choices.now = test::fixedTime();
    }
};

TEST(RdmlSaveRoad, questions_tissueAndInputConfirmations) {
    struct {
        bool fromrdml, v12, dots;
        const char* start;  // start of the confirmation; "" for none
    } cases[] = {
        {false, false, false, ""},
        {true, false, true, "Your input file was in an old version of RDML. Reaction"},
        {true, true, false, "Your input file contained decimal commas."},
        {true, false, false, "Your input file was in an old version of RDML and contained"},
    };
    for (const auto& c : cases) {
        for (bool yes : {true, false}) {
            TRoad r;
            r.engine.fromrdml = c.fromrdml;
            r.engine.rdml12input = c.v12;
            r.engine.rdmldotsep = c.dots;
            r.engine.rdmlfilename = r.folder.file("run7.rdml");
            r.choices.activeworkbook = r.folder.file("book.xlsx");
            r.asker.answers = {true, yes};
            r.asker.file = r.folder.file("out.rdml");
            const TRdmlSaveOutcome outcome = SavetoRDML2Click(r.engine, 13, r.choices, r.asker);
            ASSERT_GE(r.asker.questions.size(), 1u);
            EXPECT_EQ(r.asker.questions[0], kTissue);
            const bool confirmed = *c.start == '\0' || yes;
            if (*c.start != '\0') {
                ASSERT_EQ(r.asker.questions.size(), 2u);
                EXPECT_TRUE(r.asker.questions[1].starts_with(c.start)) << r.asker.questions[1];
            } else {
                EXPECT_EQ(r.asker.questions.size(), 1u);
            }
            EXPECT_EQ(outcome, confirmed ? TRdmlSaveOutcome::Saved : TRdmlSaveOutcome::Declined);
            EXPECT_EQ(fs::exists(r.asker.file.value()), confirmed);
            if (!confirmed) continue;
            EXPECT_EQ(r.asker.proposedName, c.fromrdml ? "Results_run7.rdml" : "book.rdml");
            EXPECT_EQ(r.asker.proposedFolder, r.folder.path().string());
            std::string report;
            EXPECT_TRUE(
                test::schemaValid(test::documentEntry(*r.asker.file), TRdmlVersion::v1_3, &report))
                << report;
        }
    }
}

TEST(RdmlSaveRoad, tissueQuestionNo_showsTissuePageAndChangesNothing) {
    TRoad r;
    const std::vector<double> ct = r.engine.ct;
    r.asker.answers = {false};
    EXPECT_EQ(SavetoRDML2Click(r.engine, 12, r.choices, r.asker), TRdmlSaveOutcome::ShowTissuePage);
    EXPECT_EQ(r.engine.ct, ct);
    EXPECT_FALSE(r.asker.dialogShown);
    r.asker.answers = {true, false};
    EXPECT_EQ(SavetoRDML111Click(r.engine, r.choices, r.asker), TRdmlSaveOutcome::ShowTissuePage);
    EXPECT_TRUE(r.choices.TissueSampSG.empty());
}

TEST(RdmlSaveRoad, rdml11_confirmedThenWrittenAsValid11) {
    TRoad r;
    r.engine.tissuesdefined = true;
    r.choices.TissueSampSG = {{""}, {"organ"}, {"ID"}};
    for (int i = 1; i <= r.engine.nsamples; ++i) {
        r.choices.TissueSampSG[0].push_back(r.engine.sampname[i]);
        r.choices.TissueSampSG[1].push_back(i % 2 ? "liver" : "");
        r.choices.TissueSampSG[2].push_back("");
    }
    r.asker.file = r.folder.file("old.rdml");
    EXPECT_EQ(SavetoRDML111Click(r.engine, r.choices, r.asker), TRdmlSaveOutcome::Saved);
    EXPECT_EQ(r.asker.questions.size(), 1u);
    std::string report;
    const std::string xml = test::documentEntry(*r.asker.file);
    EXPECT_TRUE(test::schemaValid(xml, TRdmlVersion::v1_1, &report)) << report;
    EXPECT_NE(xml.find("<sample id=\"liver\">"), std::string::npos);
    EXPECT_NE(xml.find("<sample id=\"" + r.engine.sampname[2] + "\">"), std::string::npos);
}

TEST(RdmlSaveRoad, cancelledDialog_noFileAndResultsStillComputed) {
    TRoad r;
    r.asker.file.reset();
    EXPECT_EQ(SavetoRDML2Click(r.engine, 12, r.choices, r.asker), TRdmlSaveOutcome::Cancelled);
    EXPECT_TRUE(r.asker.dialogShown);
    EXPECT_TRUE(fs::is_empty(r.folder.path()));
    bool anyExcluded = false;
    for (int i = 1; i <= r.engine.nsamples; ++i) anyExcluded |= r.engine.non0[i] != 0;
    EXPECT_TRUE(anyExcluded);
}

TEST(RdmlSaveRoad, failures_targetsLeftAsTheyWere) {
    // A target that is not a ZIP archive, an empty file and a folder are
    // refused; a sentinel rdml_data.xml beside the target is never touched.
    TRoad r;
    const std::string sentinel = r.folder.file("rdml_data.xml");
    test::writeFile(sentinel, "sentinel");
    const std::string text = r.folder.file("notes.rdml");
    test::writeFile(text, "not an archive");
    const std::string empty = r.folder.file("empty.rdml");
    test::writeFile(empty, "");
    fs::create_directory(r.folder.file("dir.rdml"));
    for (const std::string& target :
         {text, empty, r.folder.file("dir.rdml"), std::string("relative.rdml")}) {
        r.asker.file = target;
        r.asker.messages.clear();
        EXPECT_EQ(SavetoRDML2Click(r.engine, 12, r.choices, r.asker), TRdmlSaveOutcome::Failed)
            << target;
        ASSERT_EQ(r.asker.messages.size(), 1u);
        EXPECT_NE(r.asker.messages[0].find(target), std::string::npos) << r.asker.messages[0];
    }
    EXPECT_EQ(test::readFile(text), "not an archive");
    EXPECT_EQ(test::readFile(empty), "");
    EXPECT_FALSE(fs::exists("relative.rdml"));

    r.asker.file = r.folder.file("good.rdml");
    EXPECT_EQ(SavetoRDML2Click(r.engine, 12, r.choices, r.asker), TRdmlSaveOutcome::Saved);
    EXPECT_EQ(test::readFile(sentinel), "sentinel");
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(r.folder.path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"dir.rdml", "empty.rdml", "good.rdml", "notes.rdml",
                                               "rdml_data.xml"}));
}

TEST(RdmlSaveRoad, addPath_failedArchiveLeavesWorkingDocument) {
    // A run read from RDML 1.2 with decimal points goes to the add path
    // without confirmation; when its archive cannot be written, the working
    // document stays as it was.
    TRoad r;
    const std::string working = r.folder.file("work.xml");
    {
        TEngine built;
        test::analyseSyntheticRun(built, 24, 2, true);
        TRdmlWriteChoices choices = r.choices;
        test::writeFile(working, BuildNewRdml(built, choices, TRdmlVersion::v1_2).SaveToString());
    }
    const std::string before = test::readFile(working);
    r.engine.fromrdml = r.engine.rdml12input = r.engine.rdmldotsep = true;
    r.engine.tissuesdefined = true;
    r.engine.rdmlxmlfile = working;
    r.engine.rdmlfilename = r.folder.file("input.rdml");
    const std::string notZip = r.folder.file("input.rdml");
    test::writeFile(notZip, "plain text");
    r.asker.file = notZip;
    EXPECT_EQ(SavetoRDML2Click(r.engine, 13, r.choices, r.asker), TRdmlSaveOutcome::Failed);
    EXPECT_TRUE(r.asker.questions.empty());
    EXPECT_EQ(r.asker.proposedName, "input.rdml");
    EXPECT_EQ(test::readFile(working), before);
    EXPECT_EQ(test::readFile(notZip), "plain text");

    r.asker.file = r.folder.file("fine.rdml");
    EXPECT_EQ(SavetoRDML2Click(r.engine, 13, r.choices, r.asker), TRdmlSaveOutcome::Saved);
    EXPECT_NE(test::readFile(working), before);
    EXPECT_EQ(test::documentEntry(*r.asker.file), test::readFile(working));

    r.engine.rdmlxmlfile = r.folder.file("missing.xml");
    r.asker.messages.clear();
    EXPECT_EQ(SavetoRDML2Click(r.engine, 13, r.choices, r.asker), TRdmlSaveOutcome::Failed);
    EXPECT_EQ(r.asker.messages.size(), 1u);
}

}  // namespace
}  // namespace qurvex
