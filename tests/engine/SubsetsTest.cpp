// SPDX-License-Identifier: GPL-3.0-or-later
// Which samples are shown: the subset table, the subset with a group, the
// group codes typed in the grouping grid, and the group windows they give.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/Engine.h"
#include "engine/RecordingView.h"
#include "tests/engine/support/SyntheticRun.h"

namespace qurvex {
namespace {

using S = TRunState::TSubset;

// Twelve wells, identifiers "A" for samples 1..6 and "B" for 7..12.
struct GroupedRun {
    TEngine e;
    GroupedRun() {
        testing::loadSyntheticRun(e, testing::makePlate(12, 1, 0.0, 3));
        e.ProcessDataAfterRead();
        std::vector<std::string> names(12, "A");
        for (int i = 6; i < 12; ++i) names[static_cast<std::size_t>(i)] = "B";
        EXPECT_TRUE(e.setidentifiers(names));
        e.numgroupsEditChange();
        for (int s = 1; s <= e.nsamples; ++s) {
            e.noamplif[s] = e.bgerror[s] = e.noplateau[s] = e.noisy[s] = 0;
            e.userexcluded[s] = e.skipped[s] = e.effoutlier[s] = e.cttoloweff[s] = 0;
            e.manualbg[s] = 0;
        }
    }
    std::vector<int> shown() const {
        std::vector<int> out;
        for (int s = 1; s <= e.nsamples; ++s)
            if (e.isdisplayed[s]) out.push_back(s);
        return out;
    }
    int item(S subset) const {
        for (std::size_t i = 0; i < e.ShowSetCBItems.size(); ++i)
            if (e.ShowSetCBItems[i] == subset) return static_cast<int>(i);
        return -1;
    }
};

TEST(Subsets, filter_eachSubsetKeepsItsFlaggedSamples) {
    GroupedRun r;
    TEngine& e = r.e;
    e.noamplif[1] = 1;
    e.bgerror[2] = 1;
    e.bgerror[3] = 1;
    e.manualbg[3] = 1;  // a baseline set by hand: N0 is reported
    e.noplateau[4] = 1;
    e.noisy[5] = 1;
    e.userexcluded[6] = 1;
    e.effoutlier[7] = 1;
    e.noplateau[7] = 1;  // outlier without plateau: no N0
    e.effoutlier[8] = 1;
    e.cttoloweff[9] = 1;
    e.skipped[10] = 1;
    const struct {
        S subset;
        std::vector<int> kept;
    } cases[] = {
        {S::all, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
        {S::noamplification, {1}},
        {S::baselineerror, {2, 3}},
        {S::noplateau, {4, 7}},
        {S::noisy, {5}},
        {S::userexcluded, {6}},
        {S::non0, {1, 2, 6, 7}},
        {S::n0, {3, 4, 5, 8, 9, 10, 11, 12}},
        {S::unflagged, {1, 2, 3, 5, 6, 11, 12}},
        {S::cqtoolow, {9}},
        {S::effoutlier, {7, 8}},
    };
    for (const auto& c : cases) {
        e.displaygroup(0);
        e.SetDisplayed(c.subset);
        EXPECT_EQ(r.shown(), c.kept) << static_cast<int>(c.subset);
    }
    // A hidden sample stays hidden.
    e.displaygroup(0);
    e.isdisplayed[4] = 0;
    e.SetDisplayed(S::noplateau);
    EXPECT_EQ(r.shown(), std::vector<int>{7});
}

TEST(Subsets, withGroup_keepsTheGroupOrShowsItAgainWhenEmpty) {
    GroupedRun r;
    r.e.noplateau[2] = 1;
    const int noplateau = r.item(S::noplateau);
    EXPECT_TRUE(r.e.ShowSetCBChange(noplateau, 1));
    EXPECT_EQ(r.shown(), std::vector<int>{2});
    EXPECT_EQ(r.e.firstdisplayed(), 2);
    EXPECT_FALSE(r.e.ShowSetCBChange(noplateau, 2));
    EXPECT_EQ(r.shown(), (std::vector<int>{7, 8, 9, 10, 11, 12}));
    r.e.noplateau[2] = 0;
    EXPECT_FALSE(r.e.ShowSetCBChange(-1, 0));
    EXPECT_EQ(r.shown().size(), 12u);
}

TEST(Subsets, groupCode_wholeNumberOfAGroupOnly) {
    GroupedRun r;
    RecordingView view;
    r.e.setview(&view);
    for (const char* bad : {"x", "", "1.5", "0", "3", "-1"}) {
        EXPECT_FALSE(r.e.setgroupcode(1, bad)) << bad;
        EXPECT_EQ(r.e.AmpliconGroupGridcode[1], 1) << bad;
    }
    EXPECT_EQ(view.messages.size(), 6u);
    EXPECT_TRUE(r.e.setgroupcode(1, "2"));
    EXPECT_EQ(r.e.AmpliconGroupGridcode[1], 2);
    r.e.setview(nullptr);
    // A typed identifier numbers the groups again; a list of the wrong
    // length changes nothing.
    r.e.setidentifier(12, "c");
    EXPECT_EQ(r.e.ngroups, 3);
    EXPECT_EQ(r.e.ampgroup[12], 3);
    EXPECT_FALSE(r.e.setidentifiers({"A"}));
    EXPECT_EQ(r.e.ampname[1], "A");
}

TEST(Subsets, groupWindows_everySampleTakesItsGroupsLimits) {
    TEngine ungrouped;
    testing::loadSyntheticRun(ungrouped, testing::makePlate(3, 1, 0.0, 3));
    ungrouped.ProcessDataAfterRead();
    ungrouped.ResetAllToGrpWindow();  // without groups nothing changes
    EXPECT_EQ(ungrouped.woltype[2], 0);

    GroupedRun r;
    TEngine& e = r.e;
    e.gruplim[1] = e.uplim[0] - 0.1;
    e.grlowlim[1] = e.lowlim[0] - 0.1;
    e.gruplim[2] = e.uplim[0] - 0.2;
    e.grlowlim[2] = e.lowlim[0] - 0.2;
    e.selectcommonwindow();
    EXPECT_EQ(e.ampgroup[8], 0);
    e.ResetAllToGrpWindow();
    for (int s = 1; s <= e.nsamples; ++s) {
        const int g = s <= 6 ? 1 : 2;
        EXPECT_EQ(e.ampgroup[s], g);
        EXPECT_EQ(e.woltype[s], 1);
        EXPECT_DOUBLE_EQ(e.uplim[s], e.gruplim[g]);
        EXPECT_DOUBLE_EQ(e.lowlim[s], e.grlowlim[g]);
    }
    EXPECT_FALSE(e.busy());
}

}  // namespace
}  // namespace qurvex
