// SPDX-License-Identifier: GPL-3.0-or-later
// Building new RDML 1.2 documents and the schema position of new children.
#include "rdml/model/RDML_v1_2_CR.h"
#include "rdml/model/RdmlError.h"
#include "tests/rdml/model/RdmlTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace qurvex {
namespace {

using namespace RDML_v1_2_CR;
using ::testing::HasSubstr;

std::vector<std::string> childNames(pugi::xml_node node)
{
    std::vector<std::string> names;
    for (pugi::xml_node n : node.children())
        if (n.type() == pugi::node_element)
            names.emplace_back(n.name());
    return names;
}

// Touches every member the writers use, each element's members in reverse
// schema order, so that only insertion by schema order can give a valid file.
TXMLRdml buildInReverseOrder(const std::string& version)
{
    TXMLRdml root = NewRdml();
    TXMLExperimentType experiment = root.Get_Experiment().Add();
    TXMLRunType run = experiment.Get_Run().Add();
    for (int r = 0; r < 2; ++r) {
        TXMLReactType react = run.Get_React().Add();
        TXMLDataType data = react.Get_Data().Add();
        data.Set_QuantFluor(1000.5f);
        data.Set_BgFluorSlp(0.0f);
        data.Set_BgFluor(12.25f);
        data.Set_EndPt(1500.0f);
        for (int p = 0; p < 3; ++p) {
            TXMLDpAmpCurveType point = data.Get_Adp().Add();
            point.Set_Fluor(100.0f + static_cast<float>(p));
            point.Set_Tmp(60.0f);
            point.Set_Cyc(static_cast<float>(p + 1));
        }
        data.Set_Excl(r == 1 ? "no amplification" : "");
        data.Set_Cq(r == 1 ? -1.0f : 0.1f);
        data.Get_Tar().Set_Id("GAPDH");
        react.Get_Sample().Set_Id("S1");
        react.Set_Id(static_cast<std::uint32_t>(r + 1));
    }
    run.Set_RunDate("2026-12-06T10:00:00");
    TXMLPcrFormatType format = run.Get_PcrFormat();
    format.Set_ColumnLabel("123");
    format.Set_RowLabel("ABC");
    format.Set_Columns(12);
    format.Set_Rows(8);
    run.Get_ThermalCyclingConditions().Set_Id("TC1");
    run.Set_CqDetectionMethod("automated threshold and baseline settings");
    run.Set_BackgroundDeterminationMethod("constant baseline");
    run.Get_DataCollectionSoftware().Set_Version("2021.2");
    run.Get_DataCollectionSoftware().Set_Name("Qurvex");
    run.Set_Instrument("thermocycler");
    run.Get_Experimenter().Add().Set_Id("E1");
    run.Get_Documentation().Add().Set_Id("D1");
    run.Set_Description("run");
    run.Set_Id("run 1");
    experiment.Get_Documentation().Add().Set_Id("D1");
    experiment.Set_Description("experiment");
    experiment.Set_Id("experiment 1");

    TXMLThermalCyclingConditionsType cycling = root.Get_ThermalCyclingConditions().Add();
    TXMLStepType step = cycling.Get_Step().Add();
    step.Get_Temperature().Set_Ramp(2.5f);
    step.Get_Temperature().Set_Measure("real time");
    step.Get_Temperature().Set_DurationChange(-1);
    step.Get_Temperature().Set_TemperatureChange(0.5f);
    step.Get_Temperature().Set_Duration(30);
    step.Get_Temperature().Set_Temperature(95.0f);
    step.Set_Description("denaturation");
    step.Set_Nr(1);
    cycling.Get_Experimenter().Add().Set_Id("E1");
    cycling.Set_LidTemperature(105.0f);
    cycling.Get_Documentation().Add().Set_Id("D1");
    cycling.Set_Description("cycling");
    cycling.Set_Id("TC1");

    TXMLTargetType target = root.Get_Target().Add();
    target.Get_CommercialAssay().Set_OrderNumber("42");
    target.Get_CommercialAssay().Set_Company("ACME");
    target.Get_Sequences().Get_Amplicon().Set_Sequence("ACGT");
    target.Get_Sequences().Get_ForwardPrimer().Set_Sequence("ACG");
    target.Get_Sequences().Get_ForwardPrimer().Set_FivePrimeTag("x");
    target.Get_DyeId().Set_Id("SYBR");
    target.Set_DetectionLimit(1.0f);
    target.Set_AmplificationEfficiencySE(0.01f);
    target.Set_AmplificationEfficiency(1.9f);
    target.Set_AmplificationEfficiencyMethod("window of linearity");
    target.Set_Type("toi");
    target.Get_XRef().Add().Set_Name("symbol");
    target.Get_Documentation().Add().Set_Id("D1");
    target.Set_Description("target");
    target.Set_Id("GAPDH");

    TXMLSampleType sample = root.Get_Sample().Add();
    sample.Get_TemplateQuantity().Set_Nucleotide("cDNA");
    sample.Get_TemplateQuantity().Set_Conc(1.5f);
    sample.Get_CdnaSynthesisMethod().Get_ThermalCyclingConditions().Set_Id("TC1");
    sample.Get_CdnaSynthesisMethod().Set_DnaseTreatment(true);
    sample.Get_CdnaSynthesisMethod().Set_Enzyme("RT");
    sample.Set_CalibratorSample(false);
    sample.Get_Quantity().Set_Unit("cop");
    sample.Get_Quantity().Set_Value(1000.0f);
    sample.Set_InterRunCalibrator(false);
    sample.Set_Type("unkn");
    TXMLAnnotationType annotation = sample.Get_Annotation().Add();
    annotation.Set_Value("liver");
    annotation.Set_Property("tissue");
    sample.Get_XRef().Add().Set_Id("X1");
    sample.Get_Documentation().Add().Set_Id("D1");
    sample.Set_Description("sample");
    sample.Set_Id("S1");

    TXMLDyeType dye = root.Get_Dye().Add();
    dye.Set_Description("dye");
    dye.Set_Id("SYBR");
    TXMLDocumentationType documentation = root.Get_Documentation().Add();
    documentation.Set_Text("notes");
    documentation.Set_Id("D1");
    TXMLExperimenterType experimenter = root.Get_Experimenter().Add();
    experimenter.Set_LabAddress("street");
    experimenter.Set_LabName("lab");
    experimenter.Set_Email("a@b.c");
    experimenter.Set_LastName("Doe");
    experimenter.Set_FirstName("Jo");
    experimenter.Set_Id("E1");
    TXMLRdmlIdType id = root.Get_Id().Add();
    id.Set_MD5Hash("0");
    id.Set_SerialNumber("1");
    id.Set_Publisher("Qurvex");
    root.Set_DateUpdated("2026-12-06T10:00:00");
    root.Set_DateMade("2026-12-06T09:00:00");
    root.Set_Version(version);
    return root;
}

TEST(Rdml12Build, ReverseOrderBuildValidatesAgainstTheSchemas)
{
    TXMLRdml root = buildInReverseOrder("1.2");
    EXPECT_THAT(childNames(root.DomNode()),
                ::testing::ElementsAre("dateMade", "dateUpdated", "id", "experimenter", "documentation", "dye",
                                       "sample", "target", "thermalCyclingConditions", "experiment"));
    std::string report;
    EXPECT_TRUE(test::validatesAgainst(root.OwnerDocument().SaveToString(), "RDML_v1_2_REC.xsd", &report)) << report;

    TXMLRdml root13 = buildInReverseOrder("1.3");
    EXPECT_TRUE(test::validatesAgainst(root13.OwnerDocument().SaveToString(), "RDML_v1_3_REC.xsd", &report))
        << report;
}

TEST(Rdml12Build, NewDocumentDeclaresTheDefaultNamespace)
{
    TXMLRdml root = NewRdml();
    root.Set_Version("1.2");
    root.Get_Sample().Add().Set_Id("S");
    const std::string text = root.OwnerDocument().SaveToString();
    EXPECT_THAT(text, HasSubstr("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    EXPECT_THAT(text, HasSubstr("<rdml xmlns=\"http://www.rdml.org\" version=\"1.2\">"));
    EXPECT_THAT(text, HasSubstr("<sample id=\"S\""));
}

TEST(Rdml12Build, NewChildrenOfAPrefixedDocumentTakeThePrefix)
{
    RdmlDocument document = RdmlDocument::LoadFromBytes(
        "<r:rdml xmlns:r=\"http://www.rdml.org\" version=\"1.2\"><r:experiment id=\"E\"/></r:rdml>");
    TXMLRdml root = GetRdml(document);
    root.Get_Sample().Add().Set_Id("S");
    EXPECT_THAT(childNames(root.DomNode()), ::testing::ElementsAre("r:sample", "r:experiment"));
    EXPECT_EQ(root.Get_Sample().Count(), 1);
}

TEST(Rdml12Build, FloatSettersWriteFifteenDigits)
{
    TXMLRdml root = NewRdml();
    TXMLDataType data = root.Get_Experiment().Add().Get_Run().Add().Get_React().Add().Get_Data().Add();
    data.Set_Cq(0.1f);
    data.Set_BgFluor(-1.0f);
    EXPECT_STREQ(data.DomNode().child("cq").text().get(), "0.100000001490116");
    EXPECT_STREQ(data.DomNode().child("bgFluor").text().get(), "-1");
    EXPECT_EQ(data.Get_Cq(), 0.1f);
}

TEST(Rdml12Build, ListAddAndInsertKeepCallOrderAndSchemaOrder)
{
    RdmlDocument document = RdmlDocument::LoadFromBytes(
        "<rdml xmlns=\"http://www.rdml.org\"><experiment id=\"E\"><run id=\"R\">"
        "<description>d</description><runDate>today</runDate></run></experiment></rdml>");
    TXMLRunType run = GetRdml(document).Get_Experiment().Items(0).Get_Run().Items(0);
    auto reacts = run.Get_React();
    reacts.Add().Set_Id(1);
    reacts.Add().Set_Id(3);
    reacts.Insert(1).Set_Id(2);
    reacts.Insert(0).Set_Id(0);
    reacts.Insert(4).Set_Id(4);
    EXPECT_THROW(reacts.Insert(6), RdmlError);
    EXPECT_THROW(reacts.Insert(-1), RdmlError);
    ASSERT_EQ(reacts.Count(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(reacts.Items(i).Get_Id(), static_cast<std::uint32_t>(i));
    run.Get_Documentation().Add().Set_Id("D");
    run.Set_Instrument("cycler");
    EXPECT_THAT(childNames(run.DomNode()), ::testing::ElementsAre("description", "documentation", "instrument",
                                                                  "runDate", "react", "react", "react", "react",
                                                                  "react"));
    reacts.Delete(0);
    EXPECT_EQ(reacts.Items(0).Get_Id(), 1u);
    EXPECT_EQ(reacts.Remove(reacts.Items(1).DomNode()), 1);
    EXPECT_EQ(reacts.Remove(run.DomNode()), -1);
    EXPECT_EQ(reacts.Count(), 3);
    reacts.Clear();
    EXPECT_EQ(reacts.Count(), 0);
    EXPECT_THAT(childNames(run.DomNode()), ::testing::ElementsAre("description", "documentation", "instrument",
                                                                  "runDate"));
}

TEST(Rdml12Build, ItemsOutOfRangeFailWithoutChangingTheDocument)
{
    TXMLRdml root = NewRdml();
    const std::string before = root.OwnerDocument().SaveToString();
    try {
        root.Get_Experiment().Items(0);
        FAIL() << "no error";
    } catch (const RdmlError& e) {
        EXPECT_THAT(e.what(), HasSubstr("List index out of bounds (0)"));
    }
    EXPECT_THROW(root.Get_Sample().Items(-1), RdmlError);
    EXPECT_EQ(root.OwnerDocument().SaveToString(), before);
}

TEST(Rdml12Build, EmptyObjectsThrowInsteadOfCrashing)
{
    TXMLReactType empty;
    EXPECT_THROW(empty.Get_Id(), RdmlError);
    EXPECT_THROW(empty.Get_Data(), RdmlError);
    EXPECT_THROW(empty.Get_Sample(), RdmlError);
    EXPECT_THROW(empty.OwnerDocument(), RdmlError);
}

TEST(Rdml12Build, ComplexChildrenAreCreatedOnFirstTouch)
{
    TXMLRdml root = NewRdml();
    TXMLStepType step = root.Get_ThermalCyclingConditions().Add().Get_Step().Add();
    step.Set_Nr(1);
    step.Get_LidOpen();
    step.Get_LidOpen();
    EXPECT_THAT(childNames(step.DomNode()), ::testing::ElementsAre("nr", "lidOpen"));
    // The same id reference class serves react sample and data tar.
    TXMLReactType react = root.Get_Experiment().Add().Get_Run().Add().Get_React().Add();
    react.Get_Data().Add().Get_Tar().Set_Id("T");
    react.Get_Sample().Set_Id("S");
    EXPECT_THAT(childNames(react.DomNode()), ::testing::ElementsAre("sample", "data"));
    EXPECT_EQ(react.Get_Data().Items(0).Get_Tar().Get_Id(), "T");
    EXPECT_EQ(react.Get_Sample().Get_Id(), "S");
}

}  // namespace
}  // namespace qurvex
