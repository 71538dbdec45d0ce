// SPDX-License-Identifier: GPL-3.0-or-later
// Building new RDML 1.2 documents and editing read ones: schema position of
// new children, lists, and validity of the results against the official schemas.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <map>

#include "rdml/model/RDML_v1_2_CR.h"
#include "rdml/model/RdmlError.h"
#include "tests/rdml/model/RdmlTestSupport.h"

namespace qurvex {
namespace {

using namespace RDML_v1_2_CR;
using test::childNames;
using test::firstData;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::UnorderedElementsAreArray;

// Touches the members the writers use, each element's members in reverse
// schema order, so that only insertion by schema order gives a valid file.
TXMLRdml buildInReverseOrder(const std::string& version) {
    TXMLRdml root = NewRdml();
    TXMLExperimentType experiment = root.Get_Experiment().Add();
    TXMLRunType run = experiment.Get_Run().Add();
    for (std::uint32_t r = 1; r <= 2; ++r) {
        TXMLReactType react = run.Get_React().Add();
        TXMLDataType data = react.Get_Data().Add();
        data.Set_QuantFluor(1000.5f);
        data.Set_BgFluorSlp(0.0f);
        data.Set_BgFluor(12.25f);
        data.Set_EndPt(1500.0f);
        for (int p = 1; p <= 3; ++p) {
            TXMLDpAmpCurveType point = data.Get_Adp().Add();
            point.Set_Fluor(100.0f + static_cast<float>(p));
            point.Set_Tmp(60.0f);
            point.Set_Cyc(static_cast<float>(p));
        }
        data.Set_Excl(r == 2 ? "no amplification" : "");
        data.Set_Cq(r == 2 ? -1.0f : 0.1f);
        data.Get_Tar().Set_Id("GAPDH");
        react.Get_Sample().Set_Id("S1");
        react.Set_Id(r);
    }
    run.Set_RunDate("2026-12-06T10:00:00");
    run.Get_PcrFormat().Set_ColumnLabel("123");
    run.Get_PcrFormat().Set_RowLabel("ABC");
    run.Get_PcrFormat().Set_Columns(12);
    run.Get_PcrFormat().Set_Rows(8);
    run.Get_ThermalCyclingConditions().Set_Id("TC1");
    run.Set_CqDetectionMethod("automated threshold and baseline settings");
    run.Set_BackgroundDeterminationMethod("constant baseline");
    run.Get_DataCollectionSoftware().Set_Version("2021.2");
    run.Get_DataCollectionSoftware().Set_Name("Qurvex");
    run.Get_Documentation().Add().Set_Id("D1");
    run.Set_Description("run");
    run.Set_Id("run 1");
    experiment.Set_Description("experiment");
    experiment.Set_Id("experiment 1");
    TXMLThermalCyclingConditionsType cycling = root.Get_ThermalCyclingConditions().Add();
    TXMLStepType step = cycling.Get_Step().Add();
    step.Get_Temperature().Set_Ramp(2.5f);
    step.Get_Temperature().Set_Duration(30);
    step.Get_Temperature().Set_Temperature(95.0f);
    step.Set_Nr(1);
    cycling.Set_LidTemperature(105.0f);
    cycling.Set_Id("TC1");
    TXMLTargetType target = root.Get_Target().Add();
    target.Get_Sequences().Get_Amplicon().Set_Sequence("ACGT");
    target.Get_DyeId().Set_Id("SYBR");
    target.Set_AmplificationEfficiencySE(0.01f);
    target.Set_AmplificationEfficiency(1.9f);
    target.Set_AmplificationEfficiencyMethod("window of linearity");
    target.Set_Type("toi");
    target.Set_Id("GAPDH");
    TXMLSampleType sample = root.Get_Sample().Add();
    sample.Get_Quantity().Set_Unit("cop");
    sample.Get_Quantity().Set_Value(1000.0f);
    sample.Set_Type("unkn");
    TXMLAnnotationType annotation = sample.Get_Annotation().Add();
    annotation.Set_Value("liver");
    annotation.Set_Property("tissue");
    sample.Set_Description("sample");
    sample.Set_Id("S1");
    root.Get_Dye().Add().Set_Id("SYBR");
    root.Get_Documentation().Add().Set_Id("D1");
    TXMLExperimenterType experimenter = root.Get_Experimenter().Add();
    experimenter.Set_LastName("Doe");
    experimenter.Set_FirstName("Jo");
    experimenter.Set_Id("E1");
    root.Set_DateMade("2026-12-06T09:00:00");
    root.Set_Version(version);
    return root;
}

TEST(Rdml12Build, ReverseOrderBuildValidatesAgainstTheSchemas) {
    for (const auto& [version, xsd] :
         {std::pair{"1.2", "RDML_v1_2_REC.xsd"}, {"1.3", "RDML_v1_3_REC.xsd"}}) {
        const std::string text = buildInReverseOrder(version).OwnerDocument().SaveToString();
        // A new document declares the default namespace once, on the root.
        EXPECT_THAT(text, HasSubstr("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
        EXPECT_THAT(text, HasSubstr(std::string("<rdml xmlns=\"http://www.rdml.org\" version=\"") +
                                    version + "\">"));
        EXPECT_EQ(text.find("xmlns", text.find("xmlns") + 1), std::string::npos);
        // Floats are written through 32 bits with 15 significant digits.
        EXPECT_THAT(text, HasSubstr("<cq>0.100000001490116</cq>"));
        EXPECT_THAT(text, HasSubstr("<cq>-1</cq>"));
        std::string report;
        EXPECT_TRUE(test::validatesAgainst(text, xsd, &report)) << report;
    }
}

TEST(Rdml12Build, NewChildrenOfAPrefixedDocumentTakeThePrefix) {
    RdmlDocument document = RdmlDocument::LoadFromBytes(
        "<r:rdml xmlns:r=\"http://www.rdml.org\" version=\"1.2\"><r:experiment "
        "id=\"E\"/></r:rdml>");
    TXMLRdml root = GetRdml(document);
    root.Get_Sample().Add().Set_Id("S");
    EXPECT_THAT(childNames(root.DomNode()), ElementsAre("r:sample", "r:experiment"));
    EXPECT_EQ(root.Get_Sample().Count(), 1);
}

// Lists keep call order among their items and schema order among the other
// children; a view sees every change made through another view or a copy.
TEST(Rdml12Build, ListsKeepCallOrderAndSchemaOrderAcrossViews) {
    RdmlDocument document = RdmlDocument::LoadFromBytes(
        "<rdml xmlns=\"http://www.rdml.org\"><experiment id=\"E\"><run "
        "id=\"R\"><description>d</description>"
        "<runDate>today</runDate><react id=\"1\"/><!-- note --><react "
        "id=\"3\"/></run></experiment></rdml>");
    TXMLRunType run = GetRdml(document).Get_Experiment().Items(0).Get_Run().Items(0);
    auto reader = run.Get_React();
    ASSERT_EQ(reader.Count(), 2);
    const auto copy = reader;
    auto writer = GetRdml(document).Get_Experiment().Items(0).Get_Run().Items(0).Get_React();
    writer.Insert(1).Set_Id(2);
    writer.Insert(0).Set_Id(0);
    writer.Insert(4).Set_Id(4);
    EXPECT_THROW(writer.Insert(6), RdmlError);
    EXPECT_THROW(writer.Insert(-1), RdmlError);
    ASSERT_EQ(reader.Count(), 5);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(copy.Items(i).Get_Id(), static_cast<std::uint32_t>(i));
    run.Get_Documentation().Add().Set_Id("D");
    run.Set_Instrument("cycler");
    EXPECT_THAT(childNames(run.DomNode()),
                ElementsAre("description", "documentation", "instrument", "runDate", "react",
                            "react", "react", "react", "react"));
    writer.Delete(0);
    EXPECT_EQ(reader.Items(0).Get_Id(), 1u);
    EXPECT_EQ(writer.Remove(reader.Items(1).DomNode()), 1);
    EXPECT_EQ(writer.Remove(run.DomNode()), -1);
    EXPECT_EQ(copy.Count(), 3);
    EXPECT_EQ(reader.Items(2).Get_Id(), 4u);
    EXPECT_THROW(reader.Items(3), RdmlError);
    writer.Clear();
    EXPECT_EQ(reader.Count(), 0);
    EXPECT_THROW(copy.Items(0), RdmlError);
    EXPECT_THAT(childNames(run.DomNode()),
                ElementsAre("description", "documentation", "instrument", "runDate"));
    writer.Add().Set_Id(7);
    writer.Add().Set_Id(8);
    EXPECT_EQ(run.Get_React().Items(1).Get_Id(), 8u);  // a fresh view, items before Count()
    EXPECT_EQ(reader.Count(), 2);
}

TEST(Rdml12Build, BadAccessFailsWithoutChangingTheDocument) {
    TXMLRdml root = NewRdml();
    const std::string before = root.OwnerDocument().SaveToString();
    EXPECT_THAT([&] { root.Get_Experiment().Items(0); },
                testing::ThrowsMessage<RdmlError>(HasSubstr("List index out of bounds (0)")));
    EXPECT_THROW(root.Get_Sample().Items(-1), RdmlError);
    EXPECT_EQ(root.OwnerDocument().SaveToString(), before);
    // Empty (default-made) objects throw instead of crashing.
    TXMLReactType empty;
    EXPECT_THROW(empty.Get_Id(), RdmlError);
    EXPECT_THROW(empty.Get_Data(), RdmlError);
    EXPECT_THROW(empty.OwnerDocument(), RdmlError);
}

// Every attribute and every leaf text as "path=value", the path in local
// names with 1-based sibling indices.
void collectLeaves(pugi::xml_node node, const std::string& path, std::vector<std::string>& out) {
    for (pugi::xml_attribute a : node.attributes())
        out.push_back(path + "/@" + a.name() + "=" + a.value());
    std::map<std::string, int> seen;
    for (pugi::xml_node c : node.children()) {
        if (c.type() != pugi::node_element) continue;
        const char* colon = std::strchr(c.name(), ':');
        const std::string local = colon ? colon + 1 : c.name();
        collectLeaves(c, path + "/" + local + "[" + std::to_string(++seen[local]) + "]", out);
    }
    if (seen.empty()) out.push_back(path + "=" + node.text().get());
}

std::vector<std::string> leaves(const std::string& xml) {
    pugi::xml_document doc;
    EXPECT_TRUE(doc.load_string(xml.c_str()));
    std::vector<std::string> out;
    collectLeaves(doc.document_element(), "/rdml", out);
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<std::string> minus(const std::vector<std::string>& a,
                               const std::vector<std::string>& b) {
    std::vector<std::string> out;
    std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
    return out;
}

// The results writer's edits of a real file change exactly the expected leaves
// and keep the file valid against the schema of its version.
TEST(Rdml12Edit, ResultsAddedToRealFilesKeepThemValid) {
    const struct {
        std::filesystem::path file;
        bool shared;
        int targets, samples;
        const char* dye;
        bool withSE;
        const char *oldEfficiency, *oldCq, *xsd;
    } files[] = {
        // 8 targets, 12 samples, no documentation (counted with grep).
        {test::testData("rdml/lc96_bACTXY.rdml"), false, 8, 12, "FAM", false, "0", "33.56",
         "RDML_v1_1_REC.xsd"},
        {test::sharedData("rdml/example_1_2.rdml"), true, 5, 5, "SYBRGreen I", true, "0.95", "23.2",
         "RDML_v1_2_REC.xsd"},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.file.string());
        if (f.shared && !test::sharedDataPresent())
            continue;  // the shared example files (GPL-2.0) are not part of every checkout
        RdmlDocument document = RdmlDocument::LoadFromBytes(test::archiveEntry(f.file));
        const std::string before = document.SaveToString();
        TXMLRdml root = GetRdml(document);
        TXMLTargetType target = root.Get_Target().Items(0);
        target.Set_AmplificationEfficiency(1.9f);
        if (f.withSE) target.Set_AmplificationEfficiencySE(0.05f);
        target.Set_AmplificationEfficiencyMethod("window of linearity");
        firstData(root).Set_Excl("user excluded");
        firstData(root).Set_Cq(21.5f);
        TXMLDocumentationType documentation = root.Get_Documentation().Add();
        documentation.Set_Text("notes");
        documentation.Set_Id("QurvexDoc");
        TXMLTargetType newTarget = root.Get_Target().Add();
        newTarget.Get_DyeId().Set_Id(target.Get_DyeId().Get_Id());
        newTarget.Set_Type("toi");
        newTarget.Set_Id("NewTarget");
        TXMLSampleType newSample = root.Get_Sample().Add();
        newSample.Set_Type("unkn");
        newSample.Set_Id("NewSample");
        const std::string saved = document.SaveToString();

        const std::string tar = "/rdml/target[" + std::to_string(f.targets + 1) + "]";
        const std::string smp = "/rdml/sample[" + std::to_string(f.samples + 1) + "]";
        const std::string data = "/rdml/experiment[1]/run[1]/react[1]/data[1]";
        std::vector<std::string> added = {
            "/rdml/documentation[1]/@id=QurvexDoc",
            "/rdml/documentation[1]/text[1]=notes",
            tar + "/@id=NewTarget",
            tar + "/type[1]=toi",
            tar + "/dyeId[1]/@id=" + f.dye,
            tar + "/dyeId[1]=",
            smp + "/@id=NewSample",
            smp + "/type[1]=unkn",
            "/rdml/target[1]/amplificationEfficiencyMethod[1]=window of linearity",
            "/rdml/target[1]/amplificationEfficiency[1]=1.89999997615814",
            data + "/cq[1]=21.5",
            data + "/excl[1]=user excluded"};
        if (f.withSE)
            added.push_back("/rdml/target[1]/amplificationEfficiencySE[1]=0.0500000007450581");
        EXPECT_THAT(minus(leaves(saved), leaves(before)), UnorderedElementsAreArray(added));
        const std::string oldEfficiency = "/rdml/target[1]/amplificationEfficiency[1]=";
        EXPECT_THAT(minus(leaves(before), leaves(saved)),
                    UnorderedElementsAreArray(
                        {oldEfficiency + f.oldEfficiency, data + "/cq[1]=" + f.oldCq}));
        std::string report;
        EXPECT_TRUE(test::validatesAgainst(saved, f.xsd, &report)) << report;
    }
}

TEST(Rdml12Edit, ResultsAddedToAVersion13FilePassOverItsNewerElements) {
    // Valid RDML 1.3 with elements the 1.2 model does not know: dyeChemistry,
    // meltingTemperature, N0 and note.
    const char* original =
        "<rdml xmlns=\"http://www.rdml.org\" version=\"1.3\">"
        "<dye id=\"SYBR\"><dyeChemistry>non-saturating DNA binding dye</dyeChemistry></dye>"
        "<sample id=\"S1\"><type>unkn</type></sample>"
        "<target id=\"T1\"><type>toi</type><amplificationEfficiency>1.9</amplificationEfficiency>"
        "<meltingTemperature>82.5</meltingTemperature><dyeId id=\"SYBR\"/></target>"
        "<experiment id=\"E1\"><run "
        "id=\"R1\"><pcrFormat><rows>1</rows><columns>1</columns><rowLabel>ABC</rowLabel>"
        "<columnLabel>123</columnLabel></pcrFormat><react id=\"1\"><sample id=\"S1\"/><data><tar "
        "id=\"T1\"/>"
        "<N0>0.5</N0><note>checked</note><adp><cyc>1</cyc><fluor>10</fluor></adp></data></react>"
        "</run></experiment></rdml>";
    std::string report;
    ASSERT_TRUE(test::validatesAgainst(original, "RDML_v1_3_REC.xsd", &report)) << report;
    RdmlDocument document = RdmlDocument::LoadFromBytes(original);
    TXMLRdml root = GetRdml(document);
    TXMLTargetType target = root.Get_Target().Items(0);
    target.Set_AmplificationEfficiencySE(0.01f);
    target.Set_DetectionLimit(1.0f);
    TXMLDataType data = firstData(root);
    data.Set_QuantFluor(100.0f);
    data.Set_BgFluor(5.0f);
    data.Set_Excl("no amplification");
    data.Set_Cq(-1.0f);
    root.Get_Dye().Items(0).Set_Description("dye");
    EXPECT_THAT(childNames(data.DomNode()),
                ElementsAre("tar", "cq", "N0", "excl", "note", "adp", "bgFluor", "quantFluor"));
    EXPECT_TRUE(test::validatesAgainst(document.SaveToString(), "RDML_v1_3_REC.xsd", &report))
        << report;
}

}  // namespace
}  // namespace qurvex
