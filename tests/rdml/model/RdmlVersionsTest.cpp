// SPDX-License-Identifier: GPL-3.0-or-later
// The three versions of the model: real files of every version compared with
// the XML walked directly through pugixml, the differences of the 1.1 and 1.0
// models, and the child order of every class against the official schemas.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>
#include <functional>
#include <tuple>
#include <type_traits>

#include "rdml/model/RDML_v1_0_REC.h"
#include "rdml/model/RDML_v1_1_PR.h"
#include "rdml/model/RDML_v1_2_CR.h"
#include "rdml/model/RdmlError.h"
#include "tests/rdml/model/RdmlTestSupport.h"

namespace qurvex {
namespace {

using test::firstData;
using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::Property;
using ::testing::Throws;

std::vector<pugi::xml_node> xmlChildren(pugi::xml_node parent, const char* local) {
    std::vector<pugi::xml_node> out;
    for (pugi::xml_node n : parent.children()) {
        const char* colon = std::strchr(n.name(), ':');
        if (n.type() == pugi::node_element && std::strcmp(colon ? colon + 1 : n.name(), local) == 0)
            out.push_back(n);
    }
    return out;
}

std::string xmlId(pugi::xml_node parent, const char* local = nullptr) {
    return (local ? xmlChildren(parent, local).at(0) : parent).attribute("id").value();
}

float xmlFloat(pugi::xml_node parent, const char* local) {
    const std::string text = xmlChildren(parent, local).at(0).text().get();
    float value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

template <typename T>
std::string asText(const T& value) {
    if constexpr (std::is_same_v<T, std::string>)
        return value;
    else
        return std::to_string(value);
}

struct Totals {
    int runs = 0, reacts = 0, points = 0;
};

// Reads every experiment, run, react, data and amplification point through the
// model of `Version` and compares it with an independent parse of the same bytes.
template <typename Root>
Totals readThrough(const std::string& bytes, Root (*getRdml)(RdmlDocument&)) {
    Totals totals;
    RdmlDocument document = RdmlDocument::LoadFromBytes(bytes);
    const std::string before = document.SaveToString();
    pugi::xml_document xml;
    EXPECT_TRUE(xml.load_string(before.c_str()));
    const auto xmlExperiments = xmlChildren(xml.document_element(), "experiment");
    auto experiments = getRdml(document).Get_Experiment();
    EXPECT_EQ(experiments.Count(), static_cast<int>(xmlExperiments.size()));
    for (int e = 0; e < experiments.Count(); ++e) {
        EXPECT_EQ(experiments.Items(e).Get_Id(), xmlId(xmlExperiments[e]));
        const auto xmlRuns = xmlChildren(xmlExperiments[e], "run");
        auto runs = experiments.Items(e).Get_Run();
        EXPECT_EQ(runs.Count(), static_cast<int>(xmlRuns.size()));
        for (int r = 0; r < runs.Count(); ++r, ++totals.runs) {
            EXPECT_EQ(runs.Items(r).Get_Id(), xmlId(xmlRuns[r]));
            const auto runDates = xmlChildren(xmlRuns[r], "runDate");
            EXPECT_EQ(runs.Items(r).Get_RunDate(),
                      runDates.empty() ? "" : runDates[0].text().get());
            const auto xmlReacts = xmlChildren(xmlRuns[r], "react");
            auto reacts = runs.Items(r).Get_React();
            EXPECT_EQ(reacts.Count(), static_cast<int>(xmlReacts.size()));
            for (int k = 0; k < reacts.Count(); ++k, ++totals.reacts) {
                EXPECT_EQ(asText(reacts.Items(k).Get_Id()), xmlId(xmlReacts[k]));
                EXPECT_EQ(reacts.Items(k).Get_Sample().Get_Id(), xmlId(xmlReacts[k], "sample"));
                const auto xmlData = xmlChildren(xmlReacts[k], "data");
                auto data = reacts.Items(k).Get_Data();
                EXPECT_EQ(data.Count(), static_cast<int>(xmlData.size()));
                for (int d = 0; d < data.Count(); ++d) {
                    EXPECT_EQ(data.Items(d).Get_Tar().Get_Id(), xmlId(xmlData[d], "tar"));
                    const auto xmlPoints = xmlChildren(xmlData[d], "adp");
                    auto points = data.Items(d).Get_Adp();
                    EXPECT_EQ(points.Count(), static_cast<int>(xmlPoints.size()));
                    for (int p = 0; p < points.Count(); ++p, ++totals.points) {
                        EXPECT_EQ(points.Items(p).Get_Cyc(), xmlFloat(xmlPoints[p], "cyc"));
                        EXPECT_EQ(points.Items(p).Get_Fluor(), xmlFloat(xmlPoints[p], "fluor"));
                    }
                }
            }
        }
    }
    EXPECT_EQ(document.SaveToString(), before) << "reading changed the document";
    return totals;
}

TEST(RdmlRealFiles, CommittedFilesOfVersions10And11) {
    const std::string stepOne = test::archiveEntry(test::testData("rdml/stepone_std.rdml"));
    Totals t = readThrough(stepOne, RDML_v1_0_REC::GetRdml);
    // 24 reactions of 40 cycles in one run (file description).
    EXPECT_EQ(t.runs, 1);
    EXPECT_EQ(t.reacts, 24);
    EXPECT_EQ(t.points, 24 * 40);
    t = readThrough(test::archiveEntry(test::testData("rdml/lc96_bACTXY.rdml")),
                    RDML_v1_1_PR::GetRdml);
    EXPECT_EQ(t.reacts, 96);
    EXPECT_EQ(t.points, 384 * 50);
    // An archive whose entry is not named rdml_data.xml.
    t = readThrough(test::archiveEntry(test::testData("rdml/BioRad_qPCR_melt.rdml")),
                    RDML_v1_1_PR::GetRdml);
    EXPECT_EQ(t.runs, 2);
    EXPECT_TRUE(t.points > 0 && t.points % 41 == 0);
    // Well names as reaction ids stay text; quantities written "10000.0" read as numbers.
    RdmlDocument document = RdmlDocument::LoadFromBytes(stepOne);
    EXPECT_EQ(RDML_v1_0_REC::GetRdml(document)
                  .Get_Experiment()
                  .Items(0)
                  .Get_Run()
                  .Items(0)
                  .Get_React()
                  .Items(0)
                  .Get_Id(),
              "A1");
    auto sample = RDML_v1_0_REC::GetRdml(document).Get_Sample().Items(3);
    EXPECT_EQ(sample.Get_Id(), "STD_RNase P_10000.0");
    EXPECT_EQ(sample.Get_Quantity().Get_Value(), 10000.0f);
}

TEST(RdmlRealFiles, SharedExamplesOfEveryVersion) {
    if (!test::sharedDataPresent())
        GTEST_SKIP() << "the shared example files (GPL-2.0) are not part of this checkout";
    const auto rdml = [](const std::string& name) {
        return test::archiveEntry(test::sharedData("rdml/" + name));
    };
    // example_1_0 is really a 1.1 document; example_1_3 is read on the 1.2 model.
    const Totals totals[] = {readThrough(rdml("example_1_0.rdml"), RDML_v1_1_PR::GetRdml),
                             readThrough(rdml("example_1_1.rdml"), RDML_v1_1_PR::GetRdml),
                             readThrough(rdml("example_1_2.rdml"), RDML_v1_2_CR::GetRdml),
                             readThrough(rdml("example_1_3.rdml"), RDML_v1_2_CR::GetRdml)};
    for (const Totals& t : totals) EXPECT_TRUE(t.reacts == 90 && t.points == 90 * 38);
    const std::string version10 = test::readFile(test::sharedData("rdml/RDML_example_REC_v1.xml"));
    const Totals t = readThrough(version10, RDML_v1_0_REC::GetRdml);
    EXPECT_TRUE(t.reacts == 90 && t.points == 90 * 40);
}

// Values of a run read with the decimal separator ",", in all three models. The
// sample also carries a 1.2 element (annotation) the older models do not know.
const char* kRun =
    "<rdml xmlns=\"http://www.rdml.org\" version=\"1.1\"><sample "
    "id=\"S\"><annotation><property>p</property>"
    "</annotation><type>unkn</type><interRunCalibrator>yes</interRunCalibrator><quantity><value></"
    "value></quantity>"
    "<templateRNAQuantity>2.5</templateRNAQuantity></sample><thermalCyclingConditions "
    "id=\"C\"><step><nr>-1</nr>"
    "<temperature><temperature>1e39</temperature><duration>1e3</duration></temperature></step>"
    "</thermalCyclingConditions><experiment id=\"E\"><run id=\"R\"><react "
    "id=\"7\"><data><cq>23,5</cq>"
    "<adp><cyc>1,5</cyc><fluor>2,5</fluor></adp><adp><cyc>2.5</cyc><fluor>3.5</fluor></"
    "adp><bgFluor>1.25</bgFluor>"
    "</data></react><react id=\"A1\"/></run></experiment></rdml>";

TEST(RdmlValues, SeparatorRulesOfEveryVersion) {
    RdmlDocument document = RdmlDocument::LoadFromBytes(kRun, RdmlReadOptions{','});
    // 1.2: cyc takes only the document's separator, fluor also ".".
    auto points = firstData(RDML_v1_2_CR::GetRdml(document)).Get_Adp();
    EXPECT_EQ(points.Items(0).Get_Cyc(), 1.5f);
    EXPECT_EQ(points.Items(0).Get_Fluor(), 2.5f);
    EXPECT_EQ(points.Items(1).Get_Fluor(), 3.5f);
    EXPECT_THROW(points.Items(1).Get_Cyc(), RdmlError);
    // 1.1: fluor, like cyc, takes only the document's separator; cq and bgFluor also ".".
    auto data11 = firstData(RDML_v1_1_PR::GetRdml(document));
    EXPECT_EQ(data11.Get_Adp().Items(0).Get_Fluor(), 2.5f);
    EXPECT_THROW(data11.Get_Adp().Items(1).Get_Fluor(), RdmlError);
    EXPECT_EQ(data11.Get_Cq(), 23.5f);
    EXPECT_EQ(data11.Get_BgFluor(), 1.25f);
    // 1.0: cq is text.
    EXPECT_EQ(firstData(RDML_v1_0_REC::GetRdml(document)).Get_Cq(), "23,5");
    // The separator is a read option of the document and may change between reads.
    document.SetOptions(RdmlReadOptions{'.'});
    EXPECT_THROW(points.Items(0).Get_Cyc(), RdmlError);
    EXPECT_THROW(points.Items(0).Get_Fluor(), RdmlError);
    EXPECT_EQ(points.Items(1).Get_Cyc(), 2.5f);
}

TEST(RdmlValues, MissingValuesReadAsDefaultsAndNewChildrenFindTheirPlace) {
    RdmlDocument document = RdmlDocument::LoadFromBytes(kRun, RdmlReadOptions{','});
    const std::string before = document.SaveToString();
    auto root = RDML_v1_2_CR::GetRdml(document);
    EXPECT_EQ(root.Get_DateUpdated(), "");
    EXPECT_EQ(firstData(root).Get_Excl(), "");
    EXPECT_EQ(firstData(root).Get_EndPt(), 0.0f);
    EXPECT_EQ(firstData(root).Get_Adp().Items(0).Get_Tmp(), 0.0f);
    EXPECT_EQ(root.Get_Experiment().Items(0).Get_Run().Items(0).Get_React().Items(0).Get_Id(), 7u);
    // Presence tells an absent value, which reads as 0, from a written one.
    auto point = firstData(root).Get_Adp().Items(0);
    EXPECT_TRUE(point.HasChild("cyc"));
    EXPECT_FALSE(point.HasChild("tmp"));
    EXPECT_TRUE(
        root.Get_Experiment().Items(0).Get_Run().Items(0).Get_React().Items(0).HasAttribute("id"));
    EXPECT_FALSE(point.HasAttribute("id"));
    auto temperature =
        root.Get_ThermalCyclingConditions().Items(0).Get_Step().Items(0).Get_Temperature();
    EXPECT_EQ(temperature.Get_DurationChange(), 0);
    EXPECT_EQ(document.SaveToString(), before);
    // A new 1.1 child goes after the known ones, whatever foreign elements sit there.
    auto sample11 = RDML_v1_1_PR::GetRdml(document).Get_Sample().Items(0);
    sample11.Get_TemplateDNAQuality().Set_Method("A260/A280");
    EXPECT_STREQ(sample11.DomNode().last_child().name(), "templateDNAQuality");
    // 1.0 template quantities keep 64 bits (0.1 shows it).
    auto sample10 = RDML_v1_0_REC::GetRdml(document).Get_Sample().Items(0);
    EXPECT_EQ(sample10.Get_TemplateRNAQuantity(), 2.5);
    sample10.Set_TemplateDNAQuantity(0.1);
    EXPECT_EQ(sample10.Get_TemplateDNAQuantity(), 0.1);
    EXPECT_STREQ(sample10.DomNode().child("templateDNAQuantity").text().get(), "0.1");
}

TEST(RdmlValues, BadNumbersNameTheElementAndText) {
    RdmlDocument document = RdmlDocument::LoadFromBytes(kRun, RdmlReadOptions{','});
    auto root = RDML_v1_2_CR::GetRdml(document);
    auto sample = root.Get_Sample().Items(0);
    auto step = root.Get_ThermalCyclingConditions().Items(0).Get_Step().Items(0);
    auto reacts = root.Get_Experiment().Items(0).Get_Run().Items(0).Get_React();
    const std::string tc = "/rdml/thermalCyclingConditions[1]/step[1]/",
                      run = "/rdml/experiment[1]/run[1]/";
    const std::tuple<std::string, std::string, std::function<void()>, const char*> reads[] = {
        {"/rdml/sample[1]/interRunCalibrator[1]", "yes", [&] { sample.Get_InterRunCalibrator(); },
         ""},
        {"/rdml/sample[1]/quantity[1]/value[1]", "", [&] { sample.Get_Quantity().Get_Value(); },
         ""},
        {tc + "nr[1]", "-1", [&] { step.Get_Nr(); }, ""},
        {tc + "temperature[1]/duration[1]", "1e3", [&] { step.Get_Temperature().Get_Duration(); },
         ""},
        {tc + "temperature[1]/temperature[1]", "1e39",
         [&] { step.Get_Temperature().Get_Temperature(); }, "outside the range of a 32-bit float"},
        {run + "react[2]/@id", "A1", [&] { reacts.Items(1).Get_Id(); }, ""},
        {run + "react[1]/data[1]/adp[2]/cyc[1]", "2.5",
         [&] { firstData(root).Get_Adp().Items(1).Get_Cyc(); }, "decimal separator \",\""},
    };
    for (const auto& [path, text, read, why] : reads)
        EXPECT_THAT(read, Throws<RdmlError>(AllOf(Property(&RdmlError::path, path),
                                                  Property(&RdmlError::text, text),
                                                  Property(&RdmlError::what, HasSubstr(why)))));
}

// Element names of a content model, in order, without descending into the elements.
void collectSequence(pugi::xml_node model, std::vector<std::string>& out) {
    for (pugi::xml_node n : model.children()) {
        const std::string name = n.name();
        if (name == "xs:element")
            out.emplace_back(n.attribute("name").value());
        else if (name == "xs:sequence" || name == "xs:choice" || name == "xs:all")
            collectSequence(n, out);
    }
}

// Class TXMLFooType has the complex type "fooType"; TXMLRdml the anonymous type
// of the element "rdml". With `subset`, the model may hold elements of a later
// version that the schema lacks, and must hold the schema's in its order.
void expectSchemaOrder(std::span<const ElementSchema* const> classes, std::size_t count,
                       const char* xsdName, bool subset = false) {
    EXPECT_EQ(classes.size(), count);
    pugi::xml_document xsd;
    ASSERT_TRUE(xsd.load_file(test::testData(std::string("rdml/schema/") + xsdName).c_str()));
    const pugi::xml_node schema = xsd.child("xs:schema");
    for (const ElementSchema* element : classes) {
        std::string typeName = std::string(element->typeName).substr(4);
        typeName[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(typeName[0])));
        const pugi::xml_node type =
            typeName == "rdml"
                ? schema.find_child_by_attribute("xs:element", "name", "rdml")
                      .child("xs:complexType")
                : schema.find_child_by_attribute("xs:complexType", "name", typeName.c_str());
        ASSERT_TRUE(type) << element->typeName << " has no type in " << xsdName;
        std::vector<std::string> expected;
        collectSequence(type, expected);
        std::vector<std::string> model(element->children, element->children + element->childCount);
        if (subset)
            std::erase_if(model, [&](const std::string& name) {
                return std::ranges::count(expected, name) == 0;
            });
        EXPECT_EQ(model, expected) << element->typeName << " in " << xsdName;
    }
}

TEST(RdmlSchemaOrder, ClassesFollowTheSchemaOfTheirVersion) {
    expectSchemaOrder(RDML_v1_2_CR::ElementSchemas(), 31, "RDML_v1_2_REC.xsd", true);
    // The 1.2 model also places new children of 1.3 documents by the 1.3 order.
    expectSchemaOrder(RDML_v1_2_CR::ElementSchemas(), 31, "RDML_v1_3_REC.xsd");
    expectSchemaOrder(RDML_v1_1_PR::ElementSchemas(), 30, "RDML_v1_1_REC.xsd");
    expectSchemaOrder(RDML_v1_0_REC::ElementSchemas(), 29, "RDML_v1_0_REC.xsd");
}

}  // namespace
}  // namespace qurvex
