// SPDX-License-Identifier: GPL-3.0-or-later
// Real RDML files of every version read through the model of their version;
// every count, id, cycle and fluorescence value is compared with the XML
// itself, walked directly with pugixml.
#include "rdml/model/RDML_v1_0_REC.h"
#include "rdml/model/RDML_v1_1_PR.h"
#include "rdml/model/RDML_v1_2_CR.h"
#include "tests/rdml/model/RdmlTestSupport.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstring>
#include <type_traits>

namespace qurvex {
namespace {

std::vector<pugi::xml_node> xmlChildren(pugi::xml_node parent, const char* local)
{
    std::vector<pugi::xml_node> out;
    for (pugi::xml_node n : parent.children()) {
        const char* name = n.name();
        const char* colon = std::strchr(name, ':');
        if (n.type() == pugi::node_element && std::strcmp(colon ? colon + 1 : name, local) == 0)
            out.push_back(n);
    }
    return out;
}

float xmlFloat(pugi::xml_node parent, const char* local)
{
    const std::string text = xmlChildren(parent, local).at(0).text().get();
    float value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

template <typename T>
std::string asText(const T& value)
{
    if constexpr (std::is_same_v<T, std::string>)
        return value;
    else
        return std::to_string(value);
}

struct Totals {
    int runs = 0;
    int reacts = 0;
    int points = 0;
};

// Compares every experiment, run, react, data and amplification point.
template <typename Root>
Totals expectModelMatchesXml(Root root, pugi::xml_node xmlRoot)
{
    Totals totals;
    const auto xmlExperiments = xmlChildren(xmlRoot, "experiment");
    auto experiments = root.Get_Experiment();
    EXPECT_EQ(experiments.Count(), static_cast<int>(xmlExperiments.size()));
    for (int e = 0; e < experiments.Count(); ++e) {
        auto experiment = experiments.Items(e);
        EXPECT_EQ(experiment.Get_Id(), xmlExperiments[e].attribute("id").value());
        const auto xmlRuns = xmlChildren(xmlExperiments[e], "run");
        auto runs = experiment.Get_Run();
        EXPECT_EQ(runs.Count(), static_cast<int>(xmlRuns.size()));
        for (int r = 0; r < runs.Count(); ++r, ++totals.runs) {
            auto run = runs.Items(r);
            EXPECT_EQ(run.Get_Id(), xmlRuns[r].attribute("id").value());
            const auto runDates = xmlChildren(xmlRuns[r], "runDate");
            EXPECT_EQ(run.Get_RunDate(), runDates.empty() ? "" : runDates[0].text().get());
            const auto xmlReacts = xmlChildren(xmlRuns[r], "react");
            auto reacts = run.Get_React();
            EXPECT_EQ(reacts.Count(), static_cast<int>(xmlReacts.size()));
            for (int k = 0; k < reacts.Count(); ++k, ++totals.reacts) {
                auto react = reacts.Items(k);
                EXPECT_EQ(asText(react.Get_Id()), xmlReacts[k].attribute("id").value());
                EXPECT_EQ(react.Get_Sample().Get_Id(),
                          xmlChildren(xmlReacts[k], "sample").at(0).attribute("id").value());
                const auto xmlData = xmlChildren(xmlReacts[k], "data");
                auto data = react.Get_Data();
                EXPECT_EQ(data.Count(), static_cast<int>(xmlData.size()));
                for (int d = 0; d < data.Count(); ++d) {
                    auto item = data.Items(d);
                    EXPECT_EQ(item.Get_Tar().Get_Id(), xmlChildren(xmlData[d], "tar").at(0).attribute("id").value());
                    const auto xmlPoints = xmlChildren(xmlData[d], "adp");
                    auto points = item.Get_Adp();
                    EXPECT_EQ(points.Count(), static_cast<int>(xmlPoints.size()));
                    for (int p = 0; p < points.Count(); ++p, ++totals.points) {
                        auto point = points.Items(p);
                        EXPECT_EQ(point.Get_Cyc(), xmlFloat(xmlPoints[p], "cyc"));
                        EXPECT_EQ(point.Get_Fluor(), xmlFloat(xmlPoints[p], "fluor"));
                    }
                }
            }
        }
    }
    return totals;
}

template <typename Version>
Totals readThrough(const std::string& bytes)
{
    RdmlDocument document = RdmlDocument::LoadFromBytes(bytes);
    RdmlDocument independent = RdmlDocument::LoadFromBytes(bytes);
    const std::string before = document.SaveToString();
    const Totals totals = expectModelMatchesXml(Version::GetRdml(document), independent.Dom().document_element());
    // Reading changes nothing in the document.
    EXPECT_EQ(document.SaveToString(), before);
    return totals;
}

struct V10 {
    static auto GetRdml(RdmlDocument& d) { return RDML_v1_0_REC::GetRdml(d); }
};
struct V11 {
    static auto GetRdml(RdmlDocument& d) { return RDML_v1_1_PR::GetRdml(d); }
};
struct V12 {
    static auto GetRdml(RdmlDocument& d) { return RDML_v1_2_CR::GetRdml(d); }
};

TEST(RdmlRealFiles, StepOneVersion10)
{
    const Totals t = readThrough<V10>(test::archiveEntry(test::testData("rdml/stepone_std.rdml")));
    // 24 reactions of 40 cycles in one run (file description).
    EXPECT_EQ(t.runs, 1);
    EXPECT_EQ(t.reacts, 24);
    EXPECT_EQ(t.points, 24 * 40);
    // Well names as reaction ids stay text; cycles written "1.0" read as 1.
    RdmlDocument document = RdmlDocument::LoadFromBytes(test::archiveEntry(test::testData("rdml/stepone_std.rdml")));
    auto react = RDML_v1_0_REC::GetRdml(document).Get_Experiment().Items(0).Get_Run().Items(0).Get_React().Items(0);
    EXPECT_EQ(react.Get_Id(), "A1");
    EXPECT_EQ(react.Get_Data().Items(0).Get_Adp().Items(0).Get_Cyc(), 1.0f);
    auto sample = RDML_v1_0_REC::GetRdml(document).Get_Sample().Items(3);
    EXPECT_EQ(sample.Get_Id(), "STD_RNase P_10000.0");
    EXPECT_EQ(sample.Get_Quantity().Get_Value(), 10000.0f);
}

TEST(RdmlRealFiles, LightCycler96Version11)
{
    const Totals t = readThrough<V11>(test::archiveEntry(test::testData("rdml/lc96_bACTXY.rdml")));
    EXPECT_EQ(t.reacts, 96);
    EXPECT_EQ(t.points, 384 * 50);
}

TEST(RdmlRealFiles, BioRadVersion11WithOtherEntryName)
{
    const Totals t = readThrough<V11>(test::archiveEntry(test::testData("rdml/BioRad_qPCR_melt.rdml")));
    EXPECT_EQ(t.runs, 2);
    EXPECT_EQ(t.points % 41, 0);
    EXPECT_GT(t.points, 0);
}

TEST(RdmlRealFiles, SharedExamplesOfEveryVersion)
{
    if (!test::sharedDataPresent())
        GTEST_SKIP() << "the shared example files (GPL-2.0) are not part of this checkout";
    const auto rdml = [](const std::string& name) { return test::archiveEntry(test::sharedData("rdml/" + name)); };
    // example_1_0 is really a 1.1 document; example_1_3 is read on the 1.2 model.
    for (const char* name : {"example_1_0.rdml", "example_1_1.rdml"}) {
        const Totals t = readThrough<V11>(rdml(name));
        EXPECT_EQ(t.reacts, 90) << name;
        EXPECT_EQ(t.points, 90 * 38) << name;
    }
    for (const char* name : {"example_1_2.rdml", "example_1_3.rdml"}) {
        const Totals t = readThrough<V12>(rdml(name));
        EXPECT_EQ(t.reacts, 90) << name;
        EXPECT_EQ(t.points, 90 * 38) << name;
    }
    const Totals t = readThrough<V10>(test::readFile(test::sharedData("rdml/RDML_example_REC_v1.xml")));
    EXPECT_EQ(t.reacts, 90);
    EXPECT_EQ(t.points, 90 * 40);
}

}  // namespace
}  // namespace qurvex
