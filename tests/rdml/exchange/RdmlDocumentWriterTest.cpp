// SPDX-License-Identifier: GPL-3.0-or-later
// New RDML 1.1, 1.2 and 1.3 documents from analysed runs: schema-valid,
// readable by Python's zipfile, and carrying the run's raw data, samples and
// targets with every reference resolved.
#include <gtest/gtest.h>

#include <set>

#include "rdml/exchange/Rdml11Preparation.h"
#include "rdml/exchange/RdmlArchiveWriter.h"
#include "rdml/exchange/RdmlDocumentWriter.h"
#include "rdml/exchange/RdmlReactionResults.h"
#include "rdml/model/RDML_v1_2_CR.h"
#include "tests/rdml/exchange/RdmlWriteTestSupport.h"

namespace qurvex {
namespace {

using namespace RDML_v1_2_CR;
using test::TTempFolder;

TRdmlWriteChoices choicesAt() {
    TRdmlWriteChoices choices;
    choices.now = test::fixedTime();
    return choices;
}

void finish(TEngine& e) {
    ApplyMeanEfficiencyCq(e);
    ApplyExclusionRule(e);
}

std::set<std::string> ids(pugi::xml_node root, const char* name) {
    std::set<std::string> out;
    for (pugi::xml_node n : root.children(name)) out.insert(n.attribute("id").value());
    return out;
}

// Every sample and target reference of the document names an element.
void expectReferencesResolve(const RdmlDocument& document) {
    const pugi::xml_node root = document.Dom().document_element();
    const auto samples = ids(root, "sample");
    const auto targets = ids(root, "target");
    const auto dyes = ids(root, "dye");
    for (pugi::xml_node t : root.children("target"))
        EXPECT_TRUE(dyes.count(t.child("dyeId").attribute("id").value()));
    for (pugi::xml_node e : root.children("experiment"))
        for (pugi::xml_node r : e.children("run"))
            for (pugi::xml_node react : r.children("react")) {
                EXPECT_TRUE(samples.count(react.child("sample").attribute("id").value()));
                for (pugi::xml_node d : react.children("data"))
                    EXPECT_TRUE(targets.count(d.child("tar").attribute("id").value()));
            }
}

// Written, zipped, checked from outside, and read back through the model:
// raw points as float texts of the run's raw values.
void expectSoundArchive(TEngine& e, TRdmlWriteChoices& choices, TRdmlVersion version) {
    const std::string xml = BuildNewRdml(e, choices, version).SaveToString();
    std::string report;
    EXPECT_TRUE(test::schemaValid(xml, version, &report)) << report;
    TTempFolder folder;
    const std::string archive = folder.file("run.rdml");
    AddXMLToRDML(archive, xml);
    EXPECT_EQ(test::pythonZipNames(archive), std::vector<std::string>{"rdml_data.xml"});
    RdmlDocument back = RdmlDocument::LoadFromBytes(test::documentEntry(archive));
    expectReferencesResolve(back);
    auto root = GetRdml(back);
    EXPECT_EQ(root.Get_Version(), RdmlVersionText(version));
    auto reacts = root.Get_Experiment().Items(0).Get_Run().Items(0).Get_React();
    ASSERT_EQ(reacts.Count(), e.nsamples);
    for (int i = 1; i <= e.nsamples; i += 37) {
        auto data = reacts[i - 1].Get_Data().Items(0);
        auto adp = data.Get_Adp();
        ASSERT_EQ(adp.Count(), e.nrawpoints[i]);
        for (int j = 1; j <= e.nrawpoints[i]; ++j) {
            EXPECT_EQ(adp[j - 1].Get_Cyc(), static_cast<float>(e.rawcyc[i][j]));
            EXPECT_EQ(adp[j - 1].Get_Fluor(), static_cast<float>(e.rawfluor[i][j]));
        }
        EXPECT_EQ(data.Get_Tar().Get_Id(), e.ampname[i]);
        EXPECT_EQ(reacts[i - 1].Get_Sample().Get_Id(), e.sampname[i]);
    }
}

TEST(RdmlDocumentWriter, syntheticRuns_everyVersionValidAndReadsBack) {
    for (bool groups : {false, true}) {
        for (TRdmlVersion version : {TRdmlVersion::v1_1, TRdmlVersion::v1_2, TRdmlVersion::v1_3}) {
            TEngine e;
            test::analyseSyntheticRun(e, 96, 3, groups);
            finish(e);
            TRdmlWriteChoices choices = choicesAt();
            SCOPED_TRACE(std::string(RdmlVersionText(version)) + (groups ? " groups" : ""));
            expectSoundArchive(e, choices, version);
        }
    }
}

TEST(RdmlDocumentWriter, noGroups_oneTargetNotNamed_allReactionsReferToIt) {
    TEngine e;
    test::analyseSyntheticRun(e, 24, 2, false);
    finish(e);
    TRdmlWriteChoices choices = choicesAt();
    RdmlDocument document = BuildNewRdml(e, choices, TRdmlVersion::v1_2);
    const pugi::xml_node root = document.Dom().document_element();
    EXPECT_EQ(ids(root, "target"), std::set<std::string>{"not_named"});
    const pugi::xml_node target = root.child("target");
    EXPECT_STREQ(target.child_value("amplificationEfficiencyMethod"), "Qurvex");
    EXPECT_STREQ(target.child("dyeId").attribute("id").value(), "non-saturating DNA binding dye");
    for (int i = 1; i <= e.nsamples; ++i) EXPECT_EQ(e.ampname[i], "not_named");
    EXPECT_STREQ(root.child_value("dateMade"), "2026-12-07T14:05:09");
    EXPECT_STREQ(root.child("documentation").child_value("text"),
                 "Output Qurvex (2021.2): 2026-12-07");
    const pugi::xml_node run = root.child("experiment").child("run");
    EXPECT_STREQ(run.child_value("backgroundDeterminationMethod"), "Qurvex, constant");
    EXPECT_STREQ(run.child("pcrFormat").child_value("rows"), "24");
    EXPECT_FALSE(run.child("runDate"));
}

TEST(RdmlDocumentWriter, versions_12And13DifferOnlyInVersion_11LeavesOutNewerElements) {
    TEngine e;
    test::analyseSyntheticRun(e, 24, 2, true);
    finish(e);
    TRdmlWriteChoices choices = choicesAt();
    std::string v12 = BuildNewRdml(e, choices, TRdmlVersion::v1_2).SaveToString();
    std::string v13 = BuildNewRdml(e, choices, TRdmlVersion::v1_3).SaveToString();
    v13.replace(v13.find("version=\"1.3\""), 13, "version=\"1.2\"");
    EXPECT_EQ(v12, v13);
    const std::string v11 = BuildNewRdml(e, choices, TRdmlVersion::v1_1).SaveToString();
    for (const char* absent :
         {"<annotation>", "<amplificationEfficiencySE>", "<amplificationEfficiencyMethod>",
          "<backgroundDeterminationMethod>", "<cqDetectionMethod>"})
        EXPECT_EQ(v11.find(absent), std::string::npos) << absent;
}

TEST(RdmlDocumentWriter, groups_commonWindowOrOwnWindowEfficiencies) {
    for (bool common : {true, false}) {
        TEngine e;
        test::analyseSyntheticRun(e, 48, 2, true);
        finish(e);
        e.commonwol = common;
        e.meaneff = {1.5, 1.8, 1.9};
        e.meaneffse = {0.5, 0.25, 0.125};
        TRdmlWriteChoices choices = choicesAt();
        RdmlDocument document = BuildNewRdml(e, choices, TRdmlVersion::v1_3);
        const pugi::xml_node root = document.Dom().document_element();
        int g = 0;
        for (pugi::xml_node t : root.children("target")) {
            ++g;
            EXPECT_EQ(t.attribute("id").value(), e.groupidentifiers[g]);
            EXPECT_EQ(t.child("amplificationEfficiency").text().as_float(),
                      static_cast<float>(e.meaneff[common ? 0 : g]));
            EXPECT_EQ(t.child("amplificationEfficiencySE").text().as_float(),
                      static_cast<float>(e.meaneffse[common ? 0 : g]));
            EXPECT_EQ(static_cast<bool>(t.child("amplificationEfficiencyMethod")), common);
        }
        EXPECT_EQ(g, 2);
    }
}

TEST(RdmlDocumentWriter, details_excludedReactionIdsAndLift) {
    // An excluded reaction keeps its points and values; duplicate and empty
    // names give one valid element each; the lift is taken off again.
    TEngine e;
    test::analyseSyntheticRun(e, 24, 1, false);
    finish(e);
    ASSERT_TRUE(e.noamplif[24]);  // the plate's non-amplifying well
    e.sampname[1] = e.sampname[2] = "liver";
    e.sampname[3] = "";
    e.sampname[4] = "a b";
    e.sampname[5] = "a_b";
    e.expid = "  ";
    TRdmlWriteChoices choices = choicesAt();
    choices.TargetnameEdit = "";
    choices.lift.assign(25, 0.5);
    RdmlDocument document = BuildNewRdml(e, choices, TRdmlVersion::v1_2);
    const pugi::xml_node root = document.Dom().document_element();
    const auto samples = ids(root, "sample");
    EXPECT_EQ(samples.size(), 23u);
    for (const char* id : {"liver", "sample_3", "a b", "a_b"}) EXPECT_TRUE(samples.count(id)) << id;
    EXPECT_EQ(ids(root, "target"), std::set<std::string>{"not_named"});
    EXPECT_STREQ(root.child("experiment").attribute("id").value(), "experiment_1");
    const pugi::xml_node run = root.child("experiment").child("run");
    const pugi::xml_node data = run.find_child_by_attribute("react", "id", "24").child("data");
    EXPECT_STREQ(data.child_value("cq"), "-1");
    EXPECT_STREQ(data.child_value("excl"), "no_amplif");
    EXPECT_EQ(std::distance(data.children("adp").begin(), data.children("adp").end()),
              e.nrawpoints[24]);
    EXPECT_EQ(data.child("bgFluor").text().as_float(), static_cast<float>(e.bgarr[24] - 0.5));
    EXPECT_EQ(data.child("adp").next_sibling("adp").child("fluor").text().as_float(),
              static_cast<float>(e.rawfluor[24][2] - 0.5));
    EXPECT_TRUE(data.child("quantFluor"));
    std::string report;
    EXPECT_TRUE(test::schemaValid(document.SaveToString(), TRdmlVersion::v1_2, &report)) << report;
}

TEST(RdmlDocumentWriter, tissues_annotatedSamplesIn12_joinedIdsIn11) {
    TEngine e;
    test::analyseSyntheticRun(e, 4, 1, false);
    finish(e);
    e.tissuesdefined = true;
    TRdmlWriteChoices choices = choicesAt();
    // TissueSampSG: name, organ, sex, ID.
    choices.TissueSampSG = {{"", "s1", "s2", "s3", "s4"},
                            {"organ", "liver", "liver", "kidney", ""},
                            {"sex", "male", "male", "female", ""},
                            {"ID", "1", "1", "2", "3"}};
    choices.UniqueTissuesSG = {
        {"ID", "1", "2", "3"}, {"organ", "liver", "kidney", ""}, {"sex", "male", "female", ""}};
    RdmlDocument v12 = BuildNewRdml(e, choices, TRdmlVersion::v1_2);
    const pugi::xml_node root = v12.Dom().document_element();
    EXPECT_EQ(ids(root, "sample"), (std::set<std::string>{"1", "2", "3"}));
    EXPECT_EQ(e.ntissues, 3);
    const pugi::xml_node first = root.child("sample");
    EXPECT_STREQ(first.child("annotation").child_value("property"), "organ");
    EXPECT_STREQ(first.child("annotation").next_sibling("annotation").child_value("value"), "male");
    expectReferencesResolve(v12);

    PrepareForRDML11ButtonClick(choices.TissueSampSG, choices.UniqueTissuesSG);
    RdmlDocument v11 = BuildNewRdml(e, choices, TRdmlVersion::v1_1);
    const pugi::xml_node root11 = v11.Dom().document_element();
    EXPECT_EQ(ids(root11, "sample"), (std::set<std::string>{"liver_male", "kidney_female", "s4"}));
    pugi::xml_node react = root11.child("experiment").child("run").child("react");
    EXPECT_STREQ(react.child("sample").attribute("id").value(), "liver_male");
    expectReferencesResolve(v11);
    std::string report;
    EXPECT_TRUE(test::schemaValid(v11.SaveToString(), TRdmlVersion::v1_1, &report)) << report;
}

TEST(Rdml11Preparation, gridsGainColumns_secondPrepareJoinsLonger) {
    TGridCells samples = {
        {"", "a", "b", "c"}, {"organ", "liver", "liver", "Liver"}, {"ID", "1", "1", "1"}};
    TGridCells unique;
    PrepareForRDML11ButtonClick(samples, unique);
    ASSERT_EQ(samples.size(), 5u);
    EXPECT_EQ(samples[3], (std::vector<std::string>{"", "liver", "liver", "Liver"}));
    EXPECT_EQ(samples[4], (std::vector<std::string>{"ID", "1", "1", "1"}));
    ASSERT_EQ(unique.size(), 5u);
    EXPECT_EQ(unique[0], (std::vector<std::string>{"ID", "1"}));
    EXPECT_EQ(unique[3][1], "liver");
    EXPECT_EQ(unique[4][1], "liver_1_liver");
    const std::string first = samples[samples.size() - 2][1];
    PrepareForRDML11ButtonClick(samples, unique);
    EXPECT_GT(samples[samples.size() - 2][1].size(), first.size());

    TGridCells none = {{"", "x"}}, noneUnique;
    PrepareForRDML11ButtonClick(none, noneUnique);
    EXPECT_EQ(none[none.size() - 2][1], "x");
}

}  // namespace
}  // namespace qurvex
