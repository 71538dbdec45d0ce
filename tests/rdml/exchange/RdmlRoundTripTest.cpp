// SPDX-License-Identifier: GPL-3.0-or-later
// Every real RDML file read, analysed (baselines and groups by target), saved with the 1.2 command
// into a new archive and read back: the same reactions, targets, samples, cycles and raw
// fluorescence (negative values lifted by the same amount both times).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <tuple>

#include "engine/Engine.h"
#include "rdml/exchange/RdmlExtraction.h"
#include "rdml/exchange/RdmlReadRoad.h"
#include "rdml/exchange/RdmlSaveRoad.h"
#include "tests/rdml/exchange/RdmlReadSupport.h"
#include "tests/rdml/exchange/RdmlWriteTestSupport.h"

namespace qurvex {
namespace {

namespace fs = std::filesystem;

struct SaveAsker : IRdmlSaveAsker {
    std::string file;
    std::vector<std::string> messages;
    bool AskYesNo(const std::string&) override { return true; }
    std::optional<std::string> ChooseSaveFile(const std::string&, const std::string&) override {
        return file;
    }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
};

TGridCells columns(const TTextGrid& grid) {
    TGridCells cells(static_cast<std::size_t>(grid.columns()),
                     std::vector<std::string>(static_cast<std::size_t>(grid.rows())));
    for (int c = 0; c < grid.columns(); ++c)
        for (int r = 0; r < grid.rows(); ++r)
            cells[static_cast<std::size_t>(c)][static_cast<std::size_t>(r)] = grid.cell(c, r);
    return cells;
}

template <class T>
bool sameSamples(const std::vector<T>& a, const std::vector<T>& b) {
    return a.size() == b.size() && std::equal(a.begin() + 1, a.end(), b.begin() + 1);
}

// The saved file read back puts every reaction into the well it was read
// from (same react ids, pcrFormat and so sample names) when the file read
// gave ids fitting its format; otherwise the reactions are 1..n in one column.
::testing::AssertionResult sameWells(const TRunInput& read, const TRunInput& back) {
    const TRdmlPlate &was = read.rdmlplate, &is = back.rdmlplate;
    if (!is.holds(back.nsamples)) return ::testing::AssertionFailure() << "no plate read back";
    if (!was.holds(read.nsamples)) {
        std::vector<int> numbered(static_cast<std::size_t>(back.nsamples) + 1);
        for (int i = 1; i <= back.nsamples; ++i) numbered[static_cast<std::size_t>(i)] = i;
        if (sameSamples(is.reactid, numbered) && is.rows == back.nsamples && is.columns == 1)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "not numbered 1..n in one column";
    }
    if (!sameSamples(is.reactid, was.reactid)) return ::testing::AssertionFailure() << "react ids";
    if (std::tie(is.rows, is.columns, is.rowlabel, is.columnlabel) !=
        std::tie(was.rows, was.columns, was.rowlabel, was.columnlabel))
        return ::testing::AssertionFailure() << "pcrFormat " << is.rows << "x" << is.columns;
    if (!sameSamples(back.sampname, read.sampname))
        return ::testing::AssertionFailure() << "sample names";
    return ::testing::AssertionSuccess();
}

// The real RDML files: name, and whether it is read from ../shared. stepone_std_1_3 holds the
// curves of stepone_std in an RDML 1.3 document of the project's own, for a clone without it.
const std::pair<const char*, bool> kRealFiles[] = {
    {"stepone_std.rdml", false},          {"lc96_bACTXY.rdml", false},
    {"BioRad_qPCR_melt.rdml", false},     {"stepone_std_1_3.rdml", false},
    {"example_1_0.rdml", true},           {"example_1_1.rdml", true},
    {"example_1_2.rdml", true},           {"example_1_3.rdml", true},
    {"RDML_example_REC_v1_1.rdml", true},
};

// The file read into `work`; nothing when it lives in ../shared and that is absent.
std::optional<TRdmlReadResult> readReal(const char* name, bool shared, const fs::path& work) {
    const fs::path file = (shared ? test::sharedData("rdml") : test::testData("rdml")) / name;
    if (!fs::exists(file)) {
        std::printf("skipped %s: read from ../shared, which is absent\n", name);
        return std::nullopt;
    }
    test::ScriptedAsker asker;
    return ReadfromRDML({file.string(), 1, 1, false, work.string()}, asker);
}

// The run taken over and analysed: the baseline step groups the reactions by
// target, as a user's analysis does before saving. False when it is refused.
bool analysed(TEngine& engine, const TRdmlReadResult& read) {
    engine.ResetInterfaceAfterRead();
    if (!engine.loadrun(read.run)) return false;
    engine.SetCqCorrNeeded();
    engine.ProcessDataAfterRead();
    engine.ExtraRDMLProcessing();
    engine.BaselineButtonPanelClick();
    return true;
}

TRdmlWriteChoices choicesOf(const TRdmlReadResult& read) {
    TRdmlWriteChoices choices;
    choices.TissueSampSG = columns(read.tissuesamples);
    choices.UniqueTissuesSG = columns(read.uniquetissues);
    choices.lift = read.lift;
    return choices;
}

// No annotation element without a value, and the schema of the version.
::testing::AssertionResult writtenClean(const std::string& archive, TRdmlVersion version) {
    const std::string xml = test::archiveEntry(archive);
    if (xml.find("<value/>") != std::string::npos ||
        xml.find("<value></value>") != std::string::npos)
        return ::testing::AssertionFailure() << "an annotation without a value";
    return test::schemaValid(xml, version);
}

TEST(RdmlRoundTrip, save12_realFiles_readBackWithTheSameData) {
    const fs::path work = test::freshFolder("roundtrip");
    int lifted = 0, plates = 0;
    for (const auto& [name, shared] : kRealFiles) {
        SCOPED_TRACE(name);
        const auto found = readReal(name, shared, work);
        if (!found) continue;
        const TRdmlReadResult& read = *found;
        ASSERT_TRUE(read.ok) << read.message;
        TEngine engine;
        ASSERT_TRUE(analysed(engine, read));
        TRdmlWriteChoices choices = choicesOf(read);
        lifted += std::count_if(read.lift.begin(), read.lift.end(), [](double v) { return v > 0; });
        SaveAsker saver;
        saver.file = (work / (std::string("saved_") + name)).string();
        ASSERT_EQ(SavetoRDML2Click(engine, 12, choices, saver), TRdmlSaveOutcome::Saved)
            << (saver.messages.empty() ? "" : saver.messages[0]);
        // A 1.3 file keeps its version, as its results go into the document read.
        EXPECT_TRUE(writtenClean(saver.file,
                                 read.version == "1.3" ? TRdmlVersion::v1_3 : TRdmlVersion::v1_2));

        test::ScriptedAsker again;
        const TRdmlReadResult back = ReadfromRDML({saver.file, 1, 1, false, work.string()}, again);
        ASSERT_TRUE(back.ok) << back.message;
        EXPECT_EQ(back.version, read.version >= "1.2" ? read.version : "1.2");
        EXPECT_EQ(back.run.nsamples, read.run.nsamples);
        EXPECT_TRUE(sameSamples(back.run.ampname, read.run.ampname));
        EXPECT_TRUE(sameSamples(back.run.tissue, read.run.tissue));
        EXPECT_TRUE(sameSamples(back.run.rawcyc, read.run.rawcyc));
        EXPECT_TRUE(sameSamples(back.run.rawfluor, read.run.rawfluor));
        EXPECT_TRUE(sameSamples(back.lift, read.lift));
        EXPECT_TRUE(sameWells(read.run, back.run));
        plates += read.run.rdmlplate.holds(read.run.nsamples);
        DiscardWorkingDocument(read.run.rdmlxmlfile);
        DiscardWorkingDocument(back.run.rdmlxmlfile);
    }
    // At least one file (BioRad_qPCR_melt) has negative values to lift; the
    // plates of lc96_bACTXY and BioRad_qPCR_melt are kept.
    EXPECT_GT(lifted, 0);
    EXPECT_GE(plates, 2);
    fs::remove_all(work);
}

TEST(RdmlRoundTrip, save11And13_realFiles_keepTheSampleIdsAndWriteNoEmptyAnnotation) {
    const fs::path work = test::freshFolder("roundtrip11");
    for (const auto& [name, shared] : kRealFiles) {
        SCOPED_TRACE(name);
        const auto found = readReal(name, shared, work);
        if (!found) continue;
        const TRdmlReadResult& read = *found;
        ASSERT_TRUE(read.ok) << read.message;
        for (const int tag : {11, 13}) {
            TEngine engine;
            ASSERT_TRUE(analysed(engine, read));
            TRdmlWriteChoices choices = choicesOf(read);
            SaveAsker saver;
            saver.file = (work / (std::to_string(tag) + "_" + name)).string();
            const TRdmlSaveOutcome outcome = tag == 11
                                                 ? SavetoRDML111Click(engine, choices, saver)
                                                 : SavetoRDML2Click(engine, tag, choices, saver);
            ASSERT_EQ(outcome, TRdmlSaveOutcome::Saved);
            const bool added = read.version >= "1.2";  // 1.3 results go into the document read
            EXPECT_TRUE(writtenClean(
                saver.file, tag == 11 ? TRdmlVersion::v1_1
                            : added
                                ? (read.version == "1.2" ? TRdmlVersion::v1_2 : TRdmlVersion::v1_3)
                                : TRdmlVersion::v1_3));
            test::ScriptedAsker again;
            const TRdmlReadResult back =
                ReadfromRDML({saver.file, 1, 1, false, work.string()}, again);
            ASSERT_TRUE(back.ok) << back.message;
            EXPECT_TRUE(sameSamples(back.run.tissue, read.run.tissue)) << "save " << tag;
            EXPECT_TRUE(sameWells(read.run, back.run)) << "save " << tag;
            EXPECT_EQ(back.tissuelist, read.tissuelist);
            DiscardWorkingDocument(back.run.rdmlxmlfile);
        }
        DiscardWorkingDocument(read.run.rdmlxmlfile);
    }
    fs::remove_all(work);
}

// The window choice as the window's radio group makes it; an individual fit
// follows the common window or the group windows.
enum class TChoice { common, groups, fitAfterCommon, fitAfterGroups };

void choose(TEngine& engine, TChoice choice) {
    const bool pooled = choice == TChoice::common || choice == TChoice::fitAfterCommon;
    pooled ? engine.selectcommonwindow() : engine.selectgroupwindows();
    if (choice == TChoice::fitAfterCommon || choice == TChoice::fitAfterGroups)
        engine.fitallbutClick();
}

// A number as the means grid shows it (15 significant digits), then as a
// 4-byte float.
float shownAsFloat(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.15g", value);
    return static_cast<float>(std::strtod(text, nullptr));
}

TEST(RdmlRoundTrip, everyRoadAndWindowChoice_eachTargetCarriesTheMeanOfGroupStatistics) {
    // lc96_bACTXY (1.1): new documents on every road, one target without a
    // contributing sample under group windows; stepone_std_1_3 and
    // example_1_3 (1.3, whose targets carry 0.95 and 1.01): the 1.2/1.3
    // saves add into them, and the target of stepone_std_1_3's controls,
    // which do not amplify, keeps the file's 0.9 under group windows.
    const fs::path work = test::freshFolder("meaninforce");
    for (const auto& [name, shared] :
         {std::pair{"lc96_bACTXY.rdml", false}, std::pair{"stepone_std_1_3.rdml", false},
          std::pair{"example_1_3.rdml", true}}) {
        const auto found = readReal(name, shared, work);
        if (!found) continue;
        ASSERT_TRUE(found->ok) << found->message;
        pugi::xml_document before;
        before.load_string(test::archiveEntry(found->run.rdmlfilename).c_str());
        int kept = 0;  // targets without a mean that kept the file's own value
        // The add path keeps its results in the working document: each choice starts from the
        // document as read.
        const std::string asRead = test::readFile(found->run.rdmlxmlfile);
        for (const TChoice choice :
             {TChoice::common, TChoice::groups, TChoice::fitAfterCommon, TChoice::fitAfterGroups}) {
            test::writeFile(found->run.rdmlxmlfile, asRead);
            TEngine engine;
            ASSERT_TRUE(analysed(engine, *found));
            ASSERT_GE(engine.ngroups, 2);
            choose(engine, choice);
            const bool pooled = choice == TChoice::common || choice == TChoice::fitAfterCommon;
            for (const int tag : {11, 12, 13}) {
                SCOPED_TRACE(std::string(name) + " choice " +
                             std::to_string(static_cast<int>(choice)) + " tag " +
                             std::to_string(tag));
                TRdmlWriteChoices choices = choicesOf(*found);
                SaveAsker saver;
                saver.file = (work / (std::to_string(tag) + "_eff_" + name)).string();
                ASSERT_EQ(tag == 11 ? SavetoRDML111Click(engine, choices, saver)
                                    : SavetoRDML2Click(engine, tag, choices, saver),
                          TRdmlSaveOutcome::Saved);
                const bool added = tag != 11 && found->version >= "1.2";
                pugi::xml_document doc;
                doc.load_string(test::archiveEntry(saver.file).c_str());
                int means = 0;
                for (int g = 1; g <= engine.ngroups; ++g) {
                    // Row "one group" of the means under the common window,
                    // the group's own row under group windows.
                    const auto& shown = engine.groupstatistics[pooled ? 0 : g];
                    const std::string path =
                        "/rdml/target[@id='" + engine.groupidentifiers[g] + "']";
                    const pugi::xml_node target = doc.select_node(path.c_str()).node();
                    ASSERT_TRUE(target) << path;
                    const pugi::xml_node eff = target.child("amplificationEfficiency");
                    if (shown.n == 0) {
                        // No mean: a new target has none, a target read keeps its own.
                        const pugi::xml_node was = before.select_node(path.c_str()).node();
                        EXPECT_STREQ(eff.child_value(),
                                     added ? was.child_value("amplificationEfficiency") : "");
                        kept += added ? 1 : 0;
                        continue;
                    }
                    ++means;
                    EXPECT_EQ(eff.text().as_float(), shownAsFloat(shown.mean));
                    if (tag != 11)
                        EXPECT_EQ(target.child("amplificationEfficiencySE").text().as_float(),
                                  shownAsFloat(shown.sem));
                }
                EXPECT_GE(means, 1);
            }
        }
        if (std::string(name) == "stepone_std_1_3.rdml") {
            EXPECT_GE(kept, 1);
        }
        DiscardWorkingDocument(found->run.rdmlxmlfile);
    }
    fs::remove_all(work);
}

}  // namespace
}  // namespace qurvex
