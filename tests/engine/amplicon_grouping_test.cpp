// SPDX-License-Identifier: GPL-3.0-or-later
// Amplicon groups: identifiers from name parts, numbering, keystroke rules.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/Engine.h"
#include "engine/RecordingView.h"

namespace qurvex {
namespace {

// A run with the given sample names and nothing else.
void loadnames(TEngine& e, const std::vector<std::string>& names) {
    e.setarraylengths(5, static_cast<int>(names.size()));
    for (std::size_t i = 0; i < names.size(); ++i) e.sampname[i + 1] = names[i];
}

TEST(AmpliconGroupingExtractPart, CountsPartsFromFrontOrBack) {
    EXPECT_EQ(TEngine::extractpart("A1_GAPDH_x", 2, '_', false), "GAPDH");
    EXPECT_EQ(TEngine::extractpart("A1_GAPDH_x", 1, '_', false), "A1");
    EXPECT_EQ(TEngine::extractpart("A1_GAPDH_x", 1, '_', true), "x");
    EXPECT_EQ(TEngine::extractpart("A1_GAPDH_x", 3, '_', true), "A1");
    EXPECT_EQ(TEngine::extractpart("A1 GAPDH x", 2, ' ', false), "GAPDH");
    EXPECT_EQ(TEngine::extractpart("no-separator", 1, '_', false), "no-separator");
}

TEST(AmpliconGroupingExtractPart, MissingPartsGiveNothing) {
    EXPECT_FALSE(TEngine::extractpart("A1_GAPDH_x", 4, '_', false).has_value());
    EXPECT_FALSE(TEngine::extractpart("A1_GAPDH_x", 0, '_', false).has_value());
    EXPECT_FALSE(TEngine::extractpart("A1_GAPDH_x", -1, '_', true).has_value());
    EXPECT_FALSE(TEngine::extractpart("", 1, '_', false).has_value());
}

TEST(AmpliconGroupingExtractPart, EmptyPartsAreNotCounted) {
    EXPECT_EQ(TEngine::extractpart("_A__B_", 2, '_', false), "B");
    EXPECT_EQ(TEngine::extractpart("_A__B_", 1, '_', true), "B");
    EXPECT_EQ(TEngine::extractpart("A1  GAPDH", 2, ' ', false), "GAPDH");
    EXPECT_EQ(TEngine::extractpart("\"A\"_B", 1, '_', false), "\"A\"");
}

TEST(AmpliconGroupingExtractPart, OnlyTheFirstOrLast128CharactersAreSplit) {
    const std::string name = std::string(130, 'a') + "_tail";
    EXPECT_FALSE(TEngine::extractpart(name, 2, '_', false).has_value());
    EXPECT_EQ(TEngine::extractpart(name, 1, '_', false), std::string(128, 'a'));
    const std::string back = "head_" + std::string(130, 'b');
    EXPECT_FALSE(TEngine::extractpart(back, 2, '_', true).has_value());
    EXPECT_EQ(TEngine::extractpart(back, 1, '_', true), std::string(128, 'b'));
}

TEST(AmpliconGroupingNumbers, CaseInsensitiveInOrderOfFirstAppearance) {
    TEngine e;
    loadnames(e, {"s1", "s2", "s3", "s4"});
    e.ampname = {"", "GAPDH", "actb", "ACTB", "gapdh"};
    e.GetAmpliconGroupNumbers();
    EXPECT_EQ(e.ngroups, 2);
    EXPECT_EQ(e.ampgroup, (std::vector<int>{0, 1, 2, 2, 1}));
    ASSERT_EQ(e.means_Grid.size(), 6u);
    ASSERT_EQ(e.means_Grid[1].size(), 4u);
    EXPECT_EQ(e.means_Grid[1][1], "one group");
    EXPECT_EQ(e.means_Grid[1][2], "GAPDH");
    EXPECT_EQ(e.means_Grid[1][3], "actb");
    // The spelling met first stays on the sample and names the group.
    EXPECT_EQ(e.ampname[3], "ACTB");
}

TEST(AmpliconGroupingNumbers, EmptyRunHasNoGroups) {
    TEngine e;
    e.setarraylengths(5, 0);
    e.GetAmpliconGroupNumbers();
    EXPECT_EQ(e.ngroups, 0);
}

TEST(AmpliconGroupingButton, PartOfNameGivesGroupsAndBrowserItems) {
    RecordingView v;
    TEngine e(&v);
    loadnames(e, {"A1_GAPDH_x", "B1_actb_y", "C1_ACTB_z"});
    e.options.groupsource = TEngineOptions::PartXGroupRB;
    e.options.NameSepEdit = "_";
    e.options.PartWantedEdit = "2";
    ASSERT_TRUE(e.GroupButtonClick());
    EXPECT_EQ(e.ampname[1], "GAPDH");
    EXPECT_EQ(e.ampname[2], "actb");
    EXPECT_EQ(e.ampname[3], "ACTB");
    EXPECT_EQ(e.ngroups, 2);
    EXPECT_EQ(e.ampgroup, (std::vector<int>{0, 1, 2, 2}));
    EXPECT_TRUE(e.groupsdefined);
    EXPECT_FALSE(e.commonwol);
    EXPECT_FALSE(e.identsdone);
    EXPECT_EQ(e.ShowGroupCBItems, (std::vector<std::string>{"All", "GAPDH", "actb"}));
    EXPECT_EQ(v.count("show TabSheetGroupWindow"), 1);
}

TEST(AmpliconGroupingButton, EverySampleFindsItsGroupWhateverTheCase) {
    TEngine e;
    loadnames(e, {"A1_GAPDH_x", "B1_actb_y", "C1_ACTB_z", "D1_all_w"});
    e.options.groupsource = TEngineOptions::PartXGroupRB;
    e.options.NameSepEdit = "_";
    e.options.PartWantedEdit = "2";
    ASSERT_TRUE(e.GroupButtonClick());
    ASSERT_EQ(e.ShowGroupCBItems, (std::vector<std::string>{"All", "GAPDH", "actb", "all"}));
    // ACTB was numbered into the group that actb opened, and finds it.
    EXPECT_EQ(e.groupofsample(1), 1);
    EXPECT_EQ(e.groupofsample(2), 2);
    EXPECT_EQ(e.groupofsample(3), 2);
    // "All" heads the browser list but is no identifier.
    EXPECT_EQ(e.groupofsample(4), 3);
    // Group thresholds reach every sample of the group.
    e.ftval = {0.5, 1.0, 2.0, 3.0, 0.0};
    e.options.ThresholdsRG = 1;
    e.AssignFtVal(1, 4);
    EXPECT_EQ(e.sampftval, (std::vector<double>{0.0, 1.0, 2.0, 2.0, 3.0}));
    // The group codes of the grid's column 2 are kept with the numbers.
    EXPECT_EQ(e.AmpliconGroupGridcode, (std::vector<int>{0, 1, 2, 2, 3}));
}

TEST(AmpliconGroupingButton, BackPartAndBlankSeparator) {
    TEngine e;
    loadnames(e, {"A1 GAPDH x", "B1 actb y"});
    e.options.groupsource = TEngineOptions::PartXGroupRB;
    e.options.NameSepEdit = "";
    e.options.PartWantedEdit = "1";
    e.options.FrontBackRG = 1;
    ASSERT_TRUE(e.GroupButtonClick());
    EXPECT_EQ(e.ampname[1], "x");
    EXPECT_EQ(e.ampname[2], "y");
    EXPECT_EQ(e.ngroups, 2);
}

TEST(AmpliconGroupingButton, FailedSplitChangesNoIdentifier) {
    RecordingView v;
    TEngine e(&v);
    loadnames(e, {"A1_GAPDH_x", "B1_actb"});
    e.ampname = {"", "old1", "old2"};
    e.ampgroup = {0, 1, 2};
    e.ngroups = 2;
    e.options.groupsource = TEngineOptions::PartXGroupRB;
    e.options.NameSepEdit = "_";
    e.options.PartWantedEdit = "3";
    EXPECT_FALSE(e.GroupButtonClick());
    EXPECT_EQ(e.ampname, (std::vector<std::string>{"", "old1", "old2"}));
    EXPECT_EQ(e.ampgroup, (std::vector<int>{0, 1, 2}));
    EXPECT_FALSE(e.groupsdefined);
    ASSERT_EQ(v.messages.size(), 1u);
    EXPECT_NE(v.messages[0].find("B1_actb"), std::string::npos);

    v.messages.clear();
    for (const char* bad : {"", "x", "2a"}) {
        e.options.PartWantedEdit = bad;
        EXPECT_FALSE(e.GroupButtonClick()) << bad;
    }
    EXPECT_EQ(v.messages.size(), 3u);
    EXPECT_EQ(e.ampname[1], "old1");
}

TEST(AmpliconGroupingButton, TypedIdentifiersAreNumbered) {
    TEngine e;
    loadnames(e, {"a", "b", "c"});
    e.options.groupsource = TEngineOptions::ManualGrpsRB;
    e.options.PartWantedEdit = "";  // not needed for typed identifiers
    e.ampname = {"", "t2", "t1", "T2"};
    ASSERT_TRUE(e.GroupButtonClick());
    EXPECT_EQ(e.ampgroup, (std::vector<int>{0, 1, 2, 1}));
}

TEST(AmpliconGroupingSource, AllOneGroupReturnsToTheCommonWindow) {
    RecordingView v;
    TEngine e(&v);
    loadnames(e, {"a", "b"});
    e.woltype = {0, 1, 2};
    e.ampgroup = {0, 1, 2};
    e.uplim = {1.5, 1.0, 0.5};
    e.lowlim = {-1.5, -1.0, -0.5};
    e.groupsdefined = true;
    e.identsdone = false;
    e.options.CommonGroupWindowRG = 1;
    e.options.ThresholdsRG = 1;
    e.options.groupsource = TEngineOptions::AllOneGroupRB;
    e.AllOneGroupRBClick();
    EXPECT_EQ(e.woltype, (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(e.ampgroup[1], 0);
    EXPECT_EQ(e.ampgroup[2], 0);
    EXPECT_EQ(e.uplim[2], 1.5);
    EXPECT_EQ(e.lowlim[1], -1.5);
    EXPECT_EQ(e.options.CommonGroupWindowRG, 0);
    EXPECT_EQ(e.options.ThresholdsRG, 0);
    EXPECT_TRUE(e.identsdone);
    EXPECT_TRUE(e.commonwol);

    e.options.groupsource = TEngineOptions::ManualGrpsRB;
    e.AllOneGroupRBClick();
    EXPECT_FALSE(e.commonwol);

    e.NameSepEditEnter();
    EXPECT_EQ(e.options.groupsource, TEngineOptions::PartXGroupRB);
}

TEST(AmpliconGroupingKeystrokes, PartNumberKeepsDigitsAndShowsOrdinal) {
    std::string rank;
    // Typing 1, 2 and a leaves 12 and "th".
    std::string text = TEngine::PartWantedEditChange("1", rank);
    EXPECT_EQ(rank, "st");
    text = TEngine::PartWantedEditChange(text + "2", rank);
    text = TEngine::PartWantedEditChange(text + "a", rank);
    EXPECT_EQ(text, "12");
    EXPECT_EQ(rank, "th");
    TEngine::PartWantedEditChange("2", rank);
    EXPECT_EQ(rank, "nd");
    TEngine::PartWantedEditChange("3", rank);
    EXPECT_EQ(rank, "rd");
    TEngine::PartWantedEditChange("21", rank);
    EXPECT_EQ(rank, "th");
    EXPECT_EQ(TEngine::PartWantedEditChange("", rank), "");
    EXPECT_EQ(rank, "th");
}

TEST(AmpliconGroupingKeystrokes, NumericEditsAcceptLettersOnlyInColumnEdits) {
    EXPECT_EQ(TEngine::col_rowinChange("12a", 0), "12");
    EXPECT_EQ(TEngine::col_rowinChange("12a", 1), "12a");
    EXPECT_EQ(TEngine::col_rowinChange("AB", 1), "AB");
    EXPECT_EQ(TEngine::col_rowinChange("5.", 0), "5");
    EXPECT_EQ(TEngine::col_rowinChange("5-", 1), "5");
    EXPECT_EQ(TEngine::col_rowinChange("", 0), "");
}

}  // namespace
}  // namespace qurvex
