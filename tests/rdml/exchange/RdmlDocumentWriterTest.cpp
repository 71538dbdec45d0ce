// SPDX-License-Identifier: GPL-3.0-or-later
// The results every RDML writer shares (exclusion rule and texts, the
// mean-efficiency Cq, dye ids, dates, 32-bit number texts), and new RDML 1.1,
// 1.2 and 1.3 documents from analysed runs: schema-valid, readable by
// Python's zipfile, carrying the run's raw data, samples and targets with
// every reference resolved.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "rdml/exchange/Rdml11Preparation.h"
#include "rdml/exchange/RdmlArchiveWriter.h"
#include "rdml/exchange/RdmlReactionResults.h"
#include "tests/rdml/exchange/RdmlWriteTestSupport.h"

namespace qurvex {
namespace {

using namespace RDML_v1_2_CR;

// The string value of an XPath below `node`.
std::string at(pugi::xml_node node, const char* path) {
    return pugi::xpath_query(path).evaluate_string(node);
}
std::set<std::string> ids(pugi::xml_node root, const char* name) {
    std::set<std::string> out;
    for (pugi::xml_node n : root.children(name)) out.insert(n.attribute("id").value());
    return out;
}

TRunState oneSample() {
    TRunState run;
    run.nsamples = 1;
    for (auto* flags : {&run.noamplif, &run.userexcluded, &run.bgerror, &run.manualbg,
                        &run.effoutlier, &run.noplateau, &run.non0})
        flags->assign(2, 0);
    run.ct = {0, 23.45};
    run.bgarr = {0, 1.5};
    run.sampftval = {0, -1};
    run.sampmeaneff = {0, 1.9};
    return run;
}

TEST(RdmlReactionResults, exclusionRuleTextsAndDyes) {
    // Flags noamplif, user, bg, manual, outlier, noplateau; excluded; text.
    const std::tuple<const char*, bool, const char*> cases[] = {
        {"000000", false, ""},
        {"110000", true, "no_amplif"},
        {"101011", true, "no_amplif"},
        {"010000", true, "skipped_by_user"},
        {"011000", true, "baseline_error"},
        {"001011", true, "eff_outlier_and_no_plateau"},
        {"001100", false, "baseline_error"},
        {"011100", true, "baseline_error"},
        {"000010", false, ""},
        {"000001", false, ""},
        {"000011", true, "eff_outlier_and_no_plateau"}};
    for (auto [flags, excluded, text] : cases) {
        TRunState run = oneSample();
        for (int k = 0; auto* flag : {&run.noamplif, &run.userexcluded, &run.bgerror, &run.manualbg,
                                      &run.effoutlier, &run.noplateau})
            (*flag)[1] = flags[k++] == '1';
        ApplyExclusionRule(run);
        EXPECT_EQ(run.non0[1] != 0, excluded) << flags;
        EXPECT_EQ(ExclusionText(run, 1), text);
        EXPECT_TRUE(!excluded || IsQurvexExclusionText(text)) << flags;
    }
    EXPECT_FALSE(IsQurvexExclusionText(" baseline_error") || IsQurvexExclusionText("user note"));
    for (auto [dye, id] : {std::pair{1, "non-saturating DNA binding dye"},
                           {6, "DNA-zyme probe"},
                           {7, "saturating DNA binding dye"},
                           {0, ""},
                           {8, ""}})
        EXPECT_EQ(RdmlDyeId(dye), id);
    EXPECT_EQ(RdmlDateTimeText(test::fixedTime()), "2026-12-07T14:05:09");
    EXPECT_EQ(RdmlDateText(test::fixedTime()), "2026-12-07");
}

TEST(RdmlReactionResults, meanEfficiencyCq_strictLimits) {
    for (auto [ct, eff, expected] : {std::tuple{20.0, 2.0, 10.0 + 0.3 / std::log10(2.0)},
                                     {0.0, 2.0, 0.0},
                                     {-1.0, 2.0, 0.0},
                                     {20.0, 1.001, 0.0},
                                     {20.0, 1.0011, 10.0 + 0.3 / std::log10(1.0011)}}) {
        TRunState run = oneSample();
        run.ct[1] = ct;
        run.sampmeaneff[1] = eff;
        run.meancyc = {0, 10.0};
        run.meanlogfluor = {0, -1.0};
        run.sampftval = {0, -0.7};
        ApplyMeanEfficiencyCq(run);
        EXPECT_NEAR(run.ct[1], expected, 1e-9) << ct << " " << eff;
    }
}

TEST(RdmlReactionResults, write_fourByteFloatTextsAndExcl) {
    auto data = NewRdml().Get_Experiment().Add().Get_Run().Add().Get_React().Add().Get_Data().Add();
    TRunState run = oneSample();
    auto expect = [&](double lift, const char* texts) {
        WriteReactionResults(data, run, 1, lift);
        EXPECT_EQ(at(data.DomNode(), "concat(cq, '|', excl, '|', bgFluor, '|', quantFluor)"),
                  texts);
    };
    expect(0.0, "23.4500007629395||1.5|0.100000001490116");
    run.non0[1] = run.userexcluded[1] = 1;
    expect(0.25, "-1|skipped_by_user|1.25|0.100000001490116");
    // A chemistry with a Cq correction adds it to an included Cq only.
    run.non0[1] = 0;
    run.chemistry = 3;
    WriteReactionResults(data, run, 1, 0.0);
    EXPECT_EQ(at(data.DomNode(), "string(cq)"), "22.4500007629395");
}

// Every sample, target and dye reference of the document names an element.
void expectReferencesResolve(const pugi::xml_node root) {
    const auto samples = ids(root, "sample"), targets = ids(root, "target"),
               dyes = ids(root, "dye");
    for (pugi::xml_node t : root.children("target")) EXPECT_TRUE(dyes.count(at(t, "dyeId/@id")));
    for (auto react : root.select_nodes("experiment/run/react")) {
        EXPECT_TRUE(samples.count(at(react.node(), "sample/@id")));
        for (pugi::xml_node d : react.node().children("data"))
            EXPECT_TRUE(targets.count(at(d, "tar/@id")));
    }
}

struct TWritten {
    TEngine e;
    TRdmlWriteChoices choices;
    TWritten(int wells, int targets, bool groups) {
        test::analyseSyntheticRun(e, wells, targets, groups);
        ApplyMeanEfficiencyCq(e);
        ApplyExclusionRule(e);
        choices.now = test::fixedTime();
    }
    RdmlDocument build(TRdmlVersion v) { return BuildNewRdml(e, choices, v); }
};

// Written, zipped, checked from outside, and read back through the model:
// raw points as float texts of the run's raw values.
TEST(RdmlDocumentWriter, syntheticRuns_everyVersionValidAndReadsBack) {
    for (bool groups : {false, true}) {
        for (TRdmlVersion version : {TRdmlVersion::v1_1, TRdmlVersion::v1_2, TRdmlVersion::v1_3}) {
            SCOPED_TRACE(std::string(RdmlVersionText(version)) + (groups ? " groups" : ""));
            TWritten w(96, 3, groups);
            const std::string xml = w.build(version).SaveToString();
            EXPECT_TRUE(test::schemaValid(xml, version));
            test::TTempFolder folder;
            const std::string archive = folder.file("run.rdml");
            AddXMLToRDML(archive, xml);
            EXPECT_EQ(test::pythonZipNames(archive), std::vector<std::string>{"rdml_data.xml"});
            RdmlDocument back = RdmlDocument::LoadFromBytes(test::archiveEntry(archive));
            expectReferencesResolve(back.Dom().document_element());
            EXPECT_EQ(GetRdml(back).Get_Version(), RdmlVersionText(version));
            auto reacts = GetRdml(back).Get_Experiment().Items(0).Get_Run().Items(0).Get_React();
            ASSERT_EQ(reacts.Count(), w.e.nsamples);
            for (int i = 1; i <= w.e.nsamples; i += 37) {
                auto data = reacts[i - 1].Get_Data().Items(0);
                auto adp = data.Get_Adp();
                ASSERT_EQ(adp.Count(), w.e.nrawpoints[i]);
                for (int j = 1; j <= w.e.nrawpoints[i]; ++j)
                    EXPECT_EQ(std::pair(adp[j - 1].Get_Cyc(), adp[j - 1].Get_Fluor()),
                              std::pair(static_cast<float>(w.e.rawcyc[i][j]),
                                        static_cast<float>(w.e.rawfluor[i][j])));
                EXPECT_EQ(data.Get_Tar().Get_Id(), w.e.ampname[i]);
                EXPECT_EQ(reacts[i - 1].Get_Sample().Get_Id(), w.e.sampname[i]);
            }
        }
    }
}

TEST(RdmlDocumentWriter, noGroups_oneTargetNotNamed_versionsDifferAsTheyMust) {
    TWritten w(24, 2, false);
    const std::string v12 = w.build(TRdmlVersion::v1_2).SaveToString();
    pugi::xml_document doc;
    doc.load_string(v12.c_str());
    const pugi::xml_node root = doc.document_element();
    EXPECT_EQ(ids(root, "target"), std::set<std::string>{"not_named"});
    for (int i = 1; i <= w.e.nsamples; ++i) EXPECT_EQ(w.e.ampname[i], "not_named");
    for (auto [path, value] : {std::pair{"target/amplificationEfficiencyMethod", "Qurvex"},
                               {"target/dyeId/@id", "non-saturating DNA binding dye"},
                               {"dateMade", "2026-12-07T14:05:09"},
                               {"documentation/text", "Output Qurvex (2021.2): 2026-12-07"},
                               {"experiment/run/backgroundDeterminationMethod", "Qurvex, constant"},
                               {"experiment/run/pcrFormat/rows", "24"},
                               {"count(experiment/run/runDate)", "0"}})
        EXPECT_EQ(at(root, path), value) << path;
    // 1.3 differs from 1.2 only in its version; 1.1 leaves out newer elements.
    std::string v13 = w.build(TRdmlVersion::v1_3).SaveToString();
    EXPECT_EQ(v13.replace(v13.find("version=\"1.3\""), 13, "version=\"1.2\""), v12);
    const std::string v11 = w.build(TRdmlVersion::v1_1).SaveToString();
    for (const char* absent :
         {"<annotation>", "<amplificationEfficiencySE>", "<amplificationEfficiencyMethod>",
          "<backgroundDeterminationMethod>", "<cqDetectionMethod>"})
        EXPECT_EQ(v11.find(absent), std::string::npos) << absent;
}

TEST(RdmlDocumentWriter, groups_commonWindowOrOwnWindowEfficiencies) {
    for (bool common : {true, false}) {
        TWritten w(48, 2, true);
        w.e.commonwol = common;
        w.e.meaneff = {1.5, 1.8, 1.9};
        w.e.meaneffse = {0.5, 0.25, 0.125};
        RdmlDocument document = w.build(TRdmlVersion::v1_3);
        int g = 0;
        for (pugi::xml_node t : document.Dom().document_element().children("target")) {
            ++g;
            EXPECT_EQ(t.attribute("id").value(), w.e.groupidentifiers[g]);
            EXPECT_EQ(t.child("amplificationEfficiency").text().as_float(),
                      static_cast<float>(w.e.meaneff[common ? 0 : g]));
            EXPECT_EQ(t.child("amplificationEfficiencySE").text().as_float(),
                      static_cast<float>(w.e.meaneffse[common ? 0 : g]));
            EXPECT_EQ(static_cast<bool>(t.child("amplificationEfficiencyMethod")), common);
        }
        EXPECT_EQ(g, 2);
    }
}

// A reaction whose target names no group still refers to a target of the
// document: one of its own, without an efficiency, as none is in force for it.
TEST(RdmlDocumentWriter, groups_aTargetOfNoGroupIsWrittenWithoutEfficiency) {
    TWritten w(48, 2, true);
    w.e.ampname[1] = "stray";
    RdmlDocument document = w.build(TRdmlVersion::v1_2);
    const pugi::xml_node root = document.Dom().document_element();
    const pugi::xml_node stray = root.select_node("target[@id='stray']").node();
    ASSERT_TRUE(stray);
    EXPECT_FALSE(stray.child("amplificationEfficiency"));
    EXPECT_FALSE(stray.child("amplificationEfficiencySE"));
    expectReferencesResolve(root);
    EXPECT_TRUE(test::schemaValid(document.SaveToString(), TRdmlVersion::v1_2));
}

TEST(RdmlDocumentWriter, details_excludedReactionIdsAndLift) {
    // An excluded reaction keeps its points and values; duplicate and empty
    // names give one valid element each; the lift is taken off again.
    TWritten w(24, 1, false);
    TEngine& e = w.e;
    ASSERT_TRUE(e.noamplif[24]);  // the plate's non-amplifying well
    e.sampname[1] = e.sampname[2] = "liver";
    e.sampname[3] = "";
    e.sampname[4] = "a b";
    e.sampname[5] = "a_b";
    e.expid = "  ";
    w.choices.TargetnameEdit = "";
    w.choices.lift.assign(25, 0.5);
    RdmlDocument document = w.build(TRdmlVersion::v1_2);
    const pugi::xml_node root = document.Dom().document_element();
    const auto samples = ids(root, "sample");
    EXPECT_EQ(samples.size(), 23u);
    for (const char* id : {"liver", "sample_3", "a b", "a_b"}) EXPECT_TRUE(samples.count(id)) << id;
    EXPECT_EQ(ids(root, "target"), std::set<std::string>{"not_named"});
    EXPECT_EQ(at(root, "experiment/@id"), "experiment_1");
    const pugi::xml_node data = root.select_node("experiment/run/react[@id='24']/data").node();
    EXPECT_EQ(at(data, "concat(cq, '|', excl, '|', count(adp), '|', count(quantFluor))"),
              "-1|no_amplif|" + std::to_string(e.nrawpoints[24]) + "|1");
    EXPECT_EQ(data.child("bgFluor").text().as_float(), static_cast<float>(e.bgarr[24] - 0.5));
    EXPECT_EQ(data.child("adp").next_sibling("adp").child("fluor").text().as_float(),
              static_cast<float>(e.rawfluor[24][2] - 0.5));
    EXPECT_TRUE(test::schemaValid(document.SaveToString(), TRdmlVersion::v1_2));
}

TEST(RdmlDocumentWriter, tissues_annotatedSamplesIn12_joinedIdsIn11) {
    TWritten w(4, 1, false);
    w.e.tissuesdefined = true;
    // TissueSampSG: name, organ, sex, ID.
    w.choices.TissueSampSG = {{"", "s1", "s2", "s3", "s4"},
                              {"organ", "liver", "liver", "kidney", ""},
                              {"sex", "male", "male", "female", ""},
                              {"ID", "1", "1", "2", "3"}};
    w.choices.UniqueTissuesSG = {
        {"ID", "1", "2", "3"}, {"organ", "liver", "kidney", ""}, {"sex", "male", "female", ""}};
    RdmlDocument v12 = w.build(TRdmlVersion::v1_2);
    const pugi::xml_node root = v12.Dom().document_element();
    EXPECT_EQ(ids(root, "sample"), (std::set<std::string>{"1", "2", "3"}));
    EXPECT_EQ(w.e.ntissues, 3);
    EXPECT_EQ(at(root, "concat(sample/annotation/property, sample/annotation[2]/value)"),
              "organmale");
    expectReferencesResolve(root);
    PrepareForRDML11ButtonClick(w.choices.TissueSampSG, w.choices.UniqueTissuesSG);
    RdmlDocument v11 = w.build(TRdmlVersion::v1_1);
    const pugi::xml_node root11 = v11.Dom().document_element();
    EXPECT_EQ(ids(root11, "sample"), (std::set<std::string>{"liver_male", "kidney_female", "s4"}));
    EXPECT_EQ(at(root11, "experiment/run/react/sample/@id"), "liver_male");
    expectReferencesResolve(root11);
    EXPECT_TRUE(test::schemaValid(v11.SaveToString(), TRdmlVersion::v1_1));
}

// A run read from RDML: samples "gDNA" (two wells, one annotated) and "NTC"
// (none), laid out as a read lays out the grids.
TEST(RdmlDocumentWriter, tissues_unannotatedSamplesKeepTheirIds_noEmptyAnnotation) {
    TWritten w(4, 1, false);
    w.e.tissuesdefined = true;
    w.e.tissue = {"", "gDNA", "gDNA", "NTC", "NTC"};
    w.choices.TissueSampSG = {{"sample name", "1 gDNA t", "2 gDNA t", "3 NTC t", "4 NTC t"},
                              {"organ", "liver", "liver", "", ""},
                              {"sex", "", "", "", ""},
                              {"ID", "gDNA", "gDNA", "NTC", "NTC"}};
    w.choices.UniqueTissuesSG = {{"ID", "gDNA", "NTC"}, {"organ", "liver", ""}, {"sex", "", ""}};
    const RdmlDocument v12 = w.build(TRdmlVersion::v1_2);
    const pugi::xml_node root = v12.Dom().document_element();
    EXPECT_EQ(at(root,
                 "concat(count(sample/annotation), sample/annotation/property, "
                 "sample/annotation/value, count(sample[@id='NTC']/*))"),
              "1organliver1");
    EXPECT_TRUE(test::schemaValid(v12.SaveToString(), TRdmlVersion::v1_2));

    PrepareForRDML11ButtonClick(w.choices.TissueSampSG, w.choices.UniqueTissuesSG, w.e.tissue);
    const RdmlDocument v11 = w.build(TRdmlVersion::v1_1);
    const pugi::xml_node root11 = v11.Dom().document_element();
    EXPECT_EQ(ids(root11, "sample"), (std::set<std::string>{"liver_", "NTC"}));
    std::string refs;
    for (auto r : root11.select_nodes("experiment/run/react/sample/@id"))
        refs += std::string(r.attribute().value()) + " ";
    EXPECT_EQ(refs, "liver_ liver_ NTC NTC ");
    EXPECT_TRUE(test::schemaValid(v11.SaveToString(), TRdmlVersion::v1_1));
}

TEST(Rdml11Preparation, gridsGainColumns_secondPrepareJoinsLonger) {
    TGridCells samples = {
        {"", "a", "b", "c"}, {"organ", "liver", "liver", "Liver"}, {"ID", "1", "1", "1"}};
    TGridCells unique;
    PrepareForRDML11ButtonClick(samples, unique);
    using Row = std::vector<std::string>;
    EXPECT_EQ(samples.size(), 5u);
    EXPECT_EQ(samples[3], (Row{"", "liver", "liver", "Liver"}));
    EXPECT_EQ(samples[4], (Row{"ID", "1", "1", "1"}));
    ASSERT_EQ(unique.size(), 5u);
    EXPECT_EQ(unique[0], (Row{"ID", "1"}));
    EXPECT_EQ(unique[3][1] + " " + unique[4][1], "liver liver_1_liver");
    const std::string first = samples[samples.size() - 2][1];
    PrepareForRDML11ButtonClick(samples, unique);
    EXPECT_GT(samples[samples.size() - 2][1].size(), first.size());
    TGridCells none = {{"", "x"}}, noneUnique;
    PrepareForRDML11ButtonClick(none, noneUnique);
    EXPECT_EQ(none[none.size() - 2][1], "x");
}

}  // namespace
}  // namespace qurvex
