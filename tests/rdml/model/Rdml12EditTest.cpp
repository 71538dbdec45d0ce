// SPDX-License-Identifier: GPL-3.0-or-later
// Editing real documents with the RDML 1.2 model, and reading values.
#include "rdml/model/RDML_v1_2_CR.h"
#include "rdml/model/RdmlError.h"
#include "tests/rdml/model/RdmlTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>

namespace qurvex {
namespace {

using namespace RDML_v1_2_CR;
using ::testing::HasSubstr;
using ::testing::UnorderedElementsAreArray;

// Every attribute and every text of a leaf element as "path=value", with the
// path in local names and 1-based sibling indices.
void collectLeaves(pugi::xml_node node, const std::string& path, std::vector<std::string>& out)
{
    bool hasElementChild = false;
    for (pugi::xml_attribute a : node.attributes())
        out.push_back(path + "/@" + a.name() + "=" + a.value());
    std::map<std::string, int> seen;
    for (pugi::xml_node c : node.children()) {
        if (c.type() != pugi::node_element)
            continue;
        hasElementChild = true;
        const char* colon = std::strchr(c.name(), ':');
        const std::string local = colon ? colon + 1 : c.name();
        collectLeaves(c, path + "/" + local + "[" + std::to_string(++seen[local]) + "]", out);
    }
    if (!hasElementChild)
        out.push_back(path + "=" + node.text().get());
}

std::vector<std::string> leaves(const std::string& xml)
{
    pugi::xml_document doc;
    EXPECT_TRUE(doc.load_string(xml.c_str()));
    std::vector<std::string> out;
    collectLeaves(doc.document_element(), "/rdml", out);
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<std::string> childNames(pugi::xml_node node)
{
    std::vector<std::string> names;
    for (pugi::xml_node n : node.children())
        if (n.type() == pugi::node_element)
            names.emplace_back(n.name());
    return names;
}

std::vector<std::string> minus(const std::vector<std::string>& a, const std::vector<std::string>& b)
{
    std::vector<std::string> out;
    std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
    return out;
}

// The edits the results writer makes into a document that was read.
struct EditOutcome {
    std::vector<std::string> added;
    std::vector<std::string> removed;
    std::string saved;
};

EditOutcome editDocument(const std::string& original, bool withEfficiencySE)
{
    RdmlDocument document = RdmlDocument::LoadFromBytes(original);
    TXMLRdml root = GetRdml(document);
    const std::string before = document.SaveToString();
    TXMLTargetType target = root.Get_Target().Items(0);
    target.Set_AmplificationEfficiency(1.9f);
    if (withEfficiencySE)
        target.Set_AmplificationEfficiencySE(0.05f);
    target.Set_AmplificationEfficiencyMethod("window of linearity");
    TXMLDataType data = root.Get_Experiment().Items(0).Get_Run().Items(0).Get_React().Items(0).Get_Data().Items(0);
    data.Set_Excl("user excluded");
    data.Set_Cq(21.5f);
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
    EditOutcome outcome;
    outcome.saved = document.SaveToString();
    const auto a = leaves(before);
    const auto b = leaves(outcome.saved);
    outcome.added = minus(b, a);
    outcome.removed = minus(a, b);
    return outcome;
}

std::vector<std::string> expectedAdditions(int documentations, int targets, int samples, const std::string& dye,
                                           bool withEfficiencySE)
{
    const std::string doc = "/rdml/documentation[" + std::to_string(documentations + 1) + "]";
    const std::string tar = "/rdml/target[" + std::to_string(targets + 1) + "]";
    const std::string smp = "/rdml/sample[" + std::to_string(samples + 1) + "]";
    const std::string data = "/rdml/experiment[1]/run[1]/react[1]/data[1]";
    std::vector<std::string> out = {
        doc + "/@id=QurvexDoc",
        doc + "/text[1]=notes",
        tar + "/@id=NewTarget",
        tar + "/type[1]=toi",
        tar + "/dyeId[1]/@id=" + dye,
        tar + "/dyeId[1]=",
        smp + "/@id=NewSample",
        smp + "/type[1]=unkn",
        "/rdml/target[1]/amplificationEfficiencyMethod[1]=window of linearity",
        "/rdml/target[1]/amplificationEfficiency[1]=1.89999997615814",
        data + "/cq[1]=21.5",
        data + "/excl[1]=user excluded",
    };
    if (withEfficiencySE)
        out.push_back("/rdml/target[1]/amplificationEfficiencySE[1]=0.0500000007450581");
    return out;
}

TEST(Rdml12Edit, ResultsAddedToAVersion11FileKeepItValid)
{
    const std::string original = test::archiveEntry(test::testData("rdml/lc96_bACTXY.rdml"));
    const EditOutcome outcome = editDocument(original, false);
    // The file holds 8 targets, 12 samples and no documentation (counted with grep).
    EXPECT_THAT(outcome.added, UnorderedElementsAreArray(expectedAdditions(0, 8, 12, "FAM", false)));
    EXPECT_THAT(outcome.removed,
                UnorderedElementsAreArray({"/rdml/target[1]/amplificationEfficiency[1]=0",
                                           "/rdml/experiment[1]/run[1]/react[1]/data[1]/cq[1]=33.56"}));
    std::string report;
    EXPECT_TRUE(test::validatesAgainst(outcome.saved, "RDML_v1_1_REC.xsd", &report)) << report;
}

TEST(Rdml12Edit, ResultsAddedToAVersion12FileKeepItValid)
{
    if (!test::sharedDataPresent())
        GTEST_SKIP() << "the shared example files (GPL-2.0) are not part of this checkout";
    const std::string original = test::archiveEntry(test::sharedData("rdml/example_1_2.rdml"));
    const EditOutcome outcome = editDocument(original, true);
    EXPECT_THAT(outcome.added, UnorderedElementsAreArray(expectedAdditions(0, 5, 5, "SYBRGreen I", true)));
    EXPECT_THAT(outcome.removed,
                UnorderedElementsAreArray({"/rdml/target[1]/amplificationEfficiency[1]=0.95",
                                           "/rdml/experiment[1]/run[1]/react[1]/data[1]/cq[1]=23.2"}));
    std::string report;
    EXPECT_TRUE(test::validatesAgainst(outcome.saved, "RDML_v1_2_REC.xsd", &report)) << report;
}

TEST(Rdml12Edit, ResultsAddedToAVersion13FilePassOverItsNewerElements)
{
    // A valid RDML 1.3 document holding elements the 1.2 model does not know:
    // dyeChemistry, meltingTemperature, N0 and note.
    const char* original =
        "<rdml xmlns=\"http://www.rdml.org\" version=\"1.3\">"
        "<dye id=\"SYBR\"><dyeChemistry>non-saturating DNA binding dye</dyeChemistry></dye>"
        "<sample id=\"S1\"><type>unkn</type></sample>"
        "<target id=\"T1\"><type>toi</type><amplificationEfficiency>1.9</amplificationEfficiency>"
        "<meltingTemperature>82.5</meltingTemperature><dyeId id=\"SYBR\"/></target>"
        "<experiment id=\"E1\"><run id=\"R1\"><pcrFormat><rows>1</rows><columns>1</columns><rowLabel>ABC</rowLabel>"
        "<columnLabel>123</columnLabel></pcrFormat><react id=\"1\"><sample id=\"S1\"/><data><tar id=\"T1\"/>"
        "<N0>0.5</N0><note>checked</note><adp><cyc>1</cyc><fluor>10</fluor></adp></data></react>"
        "</run></experiment></rdml>";
    std::string report;
    ASSERT_TRUE(test::validatesAgainst(original, "RDML_v1_3_REC.xsd", &report)) << report;
    RdmlDocument document = RdmlDocument::LoadFromBytes(original);
    TXMLRdml root = GetRdml(document);
    TXMLTargetType target = root.Get_Target().Items(0);
    target.Set_AmplificationEfficiencySE(0.01f);
    target.Set_DetectionLimit(1.0f);
    TXMLDataType data = root.Get_Experiment().Items(0).Get_Run().Items(0).Get_React().Items(0).Get_Data().Items(0);
    data.Set_QuantFluor(100.0f);
    data.Set_BgFluor(5.0f);
    data.Set_Excl("no amplification");
    data.Set_Cq(-1.0f);
    root.Get_Dye().Items(0).Set_Description("dye");
    EXPECT_THAT(childNames(data.DomNode()),
                ::testing::ElementsAre("tar", "cq", "N0", "excl", "note", "adp", "bgFluor", "quantFluor"));
    EXPECT_THAT(childNames(target.DomNode()),
                ::testing::ElementsAre("type", "amplificationEfficiency", "amplificationEfficiencySE",
                                       "meltingTemperature", "detectionLimit", "dyeId"));
    EXPECT_TRUE(test::validatesAgainst(document.SaveToString(), "RDML_v1_3_REC.xsd", &report)) << report;
}

const char* kSmallRun = "<rdml xmlns=\"http://www.rdml.org\" version=\"1.2\"><experiment id=\"E\"><run id=\"R\">"
                        "<react id=\"7\"><sample id=\"S\"/><data><tar id=\"T\"/>"
                        "<adp><cyc>1,5</cyc><fluor>2.5</fluor></adp>"
                        "<adp><cyc>2.5</cyc><fluor>3,5</fluor></adp>"
                        "</data></react></run></experiment></rdml>";

TXMLDataType firstData(RdmlDocument& document)
{
    return GetRdml(document).Get_Experiment().Items(0).Get_Run().Items(0).Get_React().Items(0).Get_Data().Items(0);
}

TEST(Rdml12Values, MissingValuesReadAsDefaultsWithoutChangingTheDocument)
{
    RdmlDocument document = RdmlDocument::LoadFromBytes(kSmallRun);
    const std::string before = document.SaveToString();
    TXMLRdml root = GetRdml(document);
    EXPECT_EQ(root.Get_DateUpdated(), "");
    TXMLDataType data = firstData(document);
    EXPECT_EQ(data.Get_Cq(), 0.0f);
    EXPECT_EQ(data.Get_Excl(), "");
    EXPECT_EQ(data.Get_BgFluor(), 0.0f);
    EXPECT_EQ(data.Get_Adp().Items(0).Get_Tmp(), 0.0f);
    EXPECT_EQ(root.Get_Experiment().Items(0).Get_Run().Items(0).Get_React().Items(0).Get_Id(), 7u);
    EXPECT_EQ(document.SaveToString(), before);
    EXPECT_FALSE(data.HasChild("cq"));
}

TEST(Rdml12Values, CycUsesOnlyTheDocumentSeparatorFluorAlsoThePoint)
{
    RdmlDocument comma = RdmlDocument::LoadFromBytes(kSmallRun, RdmlReadOptions{','});
    auto points = firstData(comma).Get_Adp();
    EXPECT_EQ(points.Items(0).Get_Cyc(), 1.5f);
    EXPECT_EQ(points.Items(0).Get_Fluor(), 2.5f);
    EXPECT_EQ(points.Items(1).Get_Fluor(), 3.5f);
    try {
        points.Items(1).Get_Cyc();
        FAIL() << "2.5 accepted with the separator ','";
    } catch (const RdmlError& e) {
        EXPECT_EQ(e.path(), "/rdml/experiment[1]/run[1]/react[1]/data[1]/adp[2]/cyc[1]");
        EXPECT_EQ(e.text(), "2.5");
        EXPECT_THAT(e.what(), HasSubstr("decimal separator \",\""));
    }

    RdmlDocument point = RdmlDocument::LoadFromBytes(kSmallRun);
    auto pointPoints = firstData(point).Get_Adp();
    EXPECT_THROW(pointPoints.Items(0).Get_Cyc(), RdmlError);
    EXPECT_THROW(pointPoints.Items(1).Get_Fluor(), RdmlError);
    EXPECT_EQ(pointPoints.Items(1).Get_Cyc(), 2.5f);
    // The separator is a property of the document and may change between reads.
    point.SetOptions(RdmlReadOptions{','});
    EXPECT_EQ(pointPoints.Items(0).Get_Cyc(), 1.5f);
}

TEST(Rdml12Values, BadNumbersNameTheElementAndText)
{
    RdmlDocument document = RdmlDocument::LoadFromBytes(
        "<rdml xmlns=\"http://www.rdml.org\"><sample id=\"S\"><type>unkn</type>"
        "<interRunCalibrator>yes</interRunCalibrator><quantity><value></value></quantity></sample>"
        "<thermalCyclingConditions id=\"C\"><step><nr>-1</nr><temperature><duration>1e3</duration>"
        "<durationChange>2147483648</durationChange><temperature>1e39</temperature></temperature></step>"
        "</thermalCyclingConditions>"
        "<experiment id=\"E\"><run id=\"R\"><react id=\"A1\"/><react id=\"-1\"/><react id=\"4294967296\"/>"
        "</run></experiment></rdml>");
    TXMLRdml root = GetRdml(document);
    TXMLSampleType sample = root.Get_Sample().Items(0);
    EXPECT_THROW(sample.Get_InterRunCalibrator(), RdmlError);
    // An element that is present but empty is not a number.
    EXPECT_THROW(sample.Get_Quantity().Get_Value(), RdmlError);
    TXMLStepType step = root.Get_ThermalCyclingConditions().Items(0).Get_Step().Items(0);
    EXPECT_THROW(step.Get_Nr(), RdmlError);
    EXPECT_THROW(step.Get_Temperature().Get_Duration(), RdmlError);
    EXPECT_THROW(step.Get_Temperature().Get_DurationChange(), RdmlError);
    try {
        step.Get_Temperature().Get_Temperature();
        FAIL() << "1e39 accepted as a 32-bit float";
    } catch (const RdmlError& e) {
        EXPECT_THAT(e.what(), HasSubstr("outside the range of a 32-bit float"));
        EXPECT_THAT(e.what(), HasSubstr("/rdml/thermalCyclingConditions[1]/step[1]/temperature[1]/temperature"));
    }
    auto reacts = root.Get_Experiment().Items(0).Get_Run().Items(0).Get_React();
    for (int i = 0; i < 3; ++i) {
        try {
            reacts.Items(i).Get_Id();
            ADD_FAILURE() << "react " << i << " id accepted";
        } catch (const RdmlError& e) {
            EXPECT_EQ(e.path(), "/rdml/experiment[1]/run[1]/react[" + std::to_string(i + 1) + "]/@id");
        }
    }
}

}  // namespace
}  // namespace qurvex
