// SPDX-License-Identifier: GPL-3.0-or-later
// Amplicon groups: identifiers from name parts, numbering, keystroke rules.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "CoreTestHelpers.h"

namespace qurvex {
namespace {

using Names = std::vector<std::string>;

TEST(AmpliconGrouping, ExtractPart) {
    const std::string longfront = std::string(130, 'a') + "_tail";
    const std::string longback = "head_" + std::string(130, 'b');
    const struct {
        std::string name;
        int part;
        char sep;
        bool back;
        std::optional<std::string> want;
    } cases[] = {
        {"A1_GAPDH_x", 2, '_', false, "GAPDH"},
        {"A1_GAPDH_x", 1, '_', false, "A1"},
        {"A1_GAPDH_x", 1, '_', true, "x"},
        {"A1_GAPDH_x", 3, '_', true, "A1"},
        {"A1 GAPDH x", 2, ' ', false, "GAPDH"},
        {"no-separator", 1, '_', false, "no-separator"},
        {"A1_GAPDH_x", 4, '_', false, {}},
        {"A1_GAPDH_x", 0, '_', false, {}},
        {"A1_GAPDH_x", -1, '_', true, {}},
        {"", 1, '_', false, {}},
        // empty parts are not counted
        {"_A__B_", 2, '_', false, "B"},
        {"_A__B_", 1, '_', true, "B"},
        {"A1  GAPDH", 2, ' ', false, "GAPDH"},
        {"\"A\"_B", 1, '_', false, "\"A\""},
        // only the first or last 128 characters are split
        {longfront, 2, '_', false, {}},
        {longfront, 1, '_', false, std::string(128, 'a')},
        {longback, 2, '_', true, {}},
        {longback, 1, '_', true, std::string(128, 'b')},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TEngine::extractpart(c.name, c.part, c.sep, c.back), c.want)
            << c.name.substr(0, 20) << " part " << c.part << (c.back ? " from the back" : "");
}

// A run with the given sample names, grouped by the given part of the name.
void groupbypart(TEngine& e, const Names& names, const std::string& sep, const std::string& part,
                 int frontback = 0) {
    e.setarraylengths(5, static_cast<int>(names.size()));
    for (std::size_t i = 0; i < names.size(); ++i) e.sampname[i + 1] = names[i];
    e.options.groupsource = TEngineOptions::PartXGroupRB;
    e.options.NameSepEdit = sep.empty() ? ' ' : sep.front();
    e.options.PartWantedEdit = TEngine::WholeNumber(part);
    e.options.FrontBackRG = frontback;
}

// Identifiers are matched without regard to case, numbered in order of first
// appearance; the spelling met first names the group, and every sample (and
// its group threshold) finds its group again.
TEST(AmpliconGrouping, CaseInsensitiveGroupsFromPartOfTheName) {
    RecordingView v;
    TEngine e(&v);
    groupbypart(e, {"A1_GAPDH_x", "B1_actb_y", "C1_ACTB_z", "D1_all_w", "E1_gapdh_v"}, "_", "2");
    ASSERT_TRUE(e.GroupButtonClick());
    EXPECT_EQ(e.ampname, (Names{"", "GAPDH", "actb", "ACTB", "all", "gapdh"}));
    EXPECT_EQ(e.ngroups, 3);
    EXPECT_EQ(e.ampgroup, (std::vector<int>{0, 1, 2, 2, 3, 1}));
    EXPECT_TRUE(e.groupsdefined);
    EXPECT_FALSE(e.commonwol || e.identsdone);
    // "All" heads the browser list but is no identifier.
    ASSERT_EQ(e.ShowGroupCBItems, (Names{"All", "GAPDH", "actb", "all"}));
    EXPECT_EQ(
        v.count(RecordingView::withnumber("stage", static_cast<int>(TRunStage::groupsdefined))), 1);
    EXPECT_EQ(e.groupidentifiers, (Names{"", "GAPDH", "actb", "all"}));
    for (int s = 1; s <= 5; ++s) EXPECT_EQ(e.groupofsample(s), e.ampgroup[s]) << s;
    EXPECT_EQ(e.groupofsample(6), -1);
    e.ftval = {0.5, 1.0, 2.0, 3.0, 0.0, 0.0};
    e.options.ThresholdsRG = 1;
    e.AssignFtVal(1, 5);
    EXPECT_EQ(e.sampftval, (std::vector<double>{0.0, 1.0, 2.0, 2.0, 3.0, 1.0}));
    // The group codes of the grid's column 2 are kept with the numbers.
    EXPECT_EQ(e.AmpliconGroupGridcode, e.ampgroup);

    groupbypart(e, {"A1 GAPDH x", "B1 actb y"}, "", "1", 1);  // back part, blank separator
    ASSERT_TRUE(e.GroupButtonClick());
    EXPECT_EQ(e.ampname[1], "x");
    EXPECT_EQ(e.ampname[2], "y");
    e.setarraylengths(5, 0);
    e.GetAmpliconGroupNumbers();
    EXPECT_EQ(e.ngroups, 0);
}

TEST(AmpliconGrouping, FailedSplitChangesNoIdentifier) {
    RecordingView v;
    TEngine e(&v);
    groupbypart(e, {"A1_GAPDH_x", "B1_actb"}, "_", "3");
    e.ampname = {"", "old1", "old2"};
    e.ampgroup = {0, 1, 2};
    e.ngroups = 2;
    EXPECT_FALSE(e.GroupButtonClick());
    EXPECT_EQ(e.ampname, (Names{"", "old1", "old2"}));
    EXPECT_EQ(e.ampgroup, (std::vector<int>{0, 1, 2}));
    EXPECT_FALSE(e.groupsdefined);
    ASSERT_EQ(v.messages.size(), 1u);
    EXPECT_NE(v.messages[0].find("B1_actb"), std::string::npos);
    for (const char* bad : {"", "x", "2a"}) {
        EXPECT_FALSE(TEngine::WholeNumber(bad)) << bad;
        e.options.PartWantedEdit = TEngine::WholeNumber(bad);
        EXPECT_FALSE(e.GroupButtonClick()) << bad;
    }
    EXPECT_EQ(TEngine::WholeNumber(" +2 "), 2);
    EXPECT_EQ(v.messages.size(), 4u);
    EXPECT_EQ(e.ampname[1], "old1");
}

TEST(AmpliconGrouping, TypedIdentifiersAreNumbered) {
    TEngine e;
    e.setarraylengths(5, 3);
    e.options.groupsource = TEngineOptions::ManualGrpsRB;
    e.options.PartWantedEdit = std::nullopt;  // not needed for typed identifiers
    e.ampname = {"", "t2", "t1", "T2"};
    ASSERT_TRUE(e.GroupButtonClick());
    EXPECT_EQ(e.ampgroup, (std::vector<int>{0, 1, 2, 1}));
}

TEST(AmpliconGrouping, Keystrokes) {
    std::string rank;
    // Typing 1, 2 and a leaves 12 and "th".
    std::string text = TEngine::PartWantedEditChange("1", rank);
    EXPECT_EQ(rank, "st");
    text = TEngine::PartWantedEditChange(text + "2", rank);
    EXPECT_EQ(TEngine::PartWantedEditChange(text + "a", rank), "12");
    EXPECT_EQ(rank, "th");
    for (const auto& [typed, want] :
         {std::pair{"2", "nd"}, {"3", "rd"}, {"21", "th"}, {"", "th"}}) {
        TEngine::PartWantedEditChange(typed, rank);
        EXPECT_EQ(rank, want) << typed;
    }
    const struct {
        const char* in;
        int letters;
        const char* want;
    } cols[] = {{"12a", 0, "12"}, {"12a", 1, "12a"}, {"AB", 1, "AB"},
                {"5.", 0, "5"},   {"5-", 1, "5"},    {"", 0, ""}};
    for (const auto& c : cols) EXPECT_EQ(TEngine::col_rowinChange(c.in, c.letters), c.want) << c.in;
}

}  // namespace
}  // namespace qurvex
