// SPDX-License-Identifier: GPL-3.0-or-later
// Plateau check, the no-N0 flag and the efficiency-outlier subset.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "CoreTestHelpers.h"

namespace qurvex {
namespace {

using coretest::flags;

// Wells 1-2 saturate at 10; wells 3-4 are still rising steeply at cycle 45
// (plateau 1e4, N(45) about 3e3), so their last point is within a factor 5
// of their extrapolated exponential phase. Each sample is fitted on cycles
// 10..14, deep in its exponential phase, all in group 1.
void plateaurun(TEngine& e) {
    testing::SyntheticRun run;
    for (int i = 0; i < 4; ++i) {
        testing::SyntheticWell w;
        w.efficiency = 1.8;
        w.n0 = i < 2 ? 1e-6 : 1e-8;
        w.plateau = i < 2 ? 10.0 : 1e4;
        w.baseline = 0.0;
        run.wells.push_back(w);
    }
    e.silentmode = true;
    coretest::readrun(e, run);
    e.ngroups = 1;
    for (int s = 1; s <= 4; ++s) {
        e.ampgroup[s] = 1;
        e.noplateau[s] = e.noamplif[s] = e.bgerror[s] = e.emptywol[s] = false;
        double slope = 0, intercept = 0;
        e.rcalc(s, 10, 14, slope, intercept);
        e.indiveff[s] = std::pow(10.0, slope);
        e.indivn0[s] = std::pow(10.0, intercept);
        ASSERT_NEAR(e.indiveff[s], 1.8, 1e-3) << s;
    }
}

TEST(PlateauCheck, GroupsUnusableFitsAndFlaggedSamples) {
    const struct {
        const char* name;
        std::function<void(TEngine&)> run;
        std::vector<int> noplateau;
    } cases[] = {
        {"group 0 takes every sample", [](TEngine& e) { e.AssignNoPlateau(0); }, {0, 0, 1, 1}},
        {"only the group's samples",
         [](TEngine& e) {
             e.ampgroup[4] = e.ngroups = 2;
             e.AssignNoPlateau(2);
         },
         {0, 0, 0, 1}},
        // a not-fitted sample would extrapolate to below its data
        {"samples without a usable fit are not judged",
         [](TEngine& e) {
             e.emptywol[3] = true;
             e.indiveff[4] = 1.0005;
             e.indiveff[1] = 1.0;
             e.AssignNoPlateau(0);
         },
         {0, 0, 0, 0}},
        {"flagged samples are not checked again",
         [](TEngine& e) {
             e.noamplif[3] = e.bgerror[4] = true;
             e.AssignNoPlateauButtonClick();
         },
         {0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TEngine e;
        plateaurun(e);
        c.run(e);
        EXPECT_EQ(flags(e.noplateau), c.noplateau);
    }
}

TEST(QualityRules, NoN0FlagAndUserExclusion) {
    TEngine e;
    e.setarraylengths(5, 7);
    e.noamplif[1] = true;
    e.userexcluded[2] = true;
    e.bgerror[3] = true;
    e.bgerror[4] = e.manualbg[4] = true;  // baseline set by hand: N0 reported
    e.effoutlier[5] = e.noplateau[5] = true;
    e.effoutlier[6] = true;  // an outlier with a plateau keeps its N0
    e.non0[7] = true;        // recomputed, not kept
    e.assignnon0();
    EXPECT_EQ(flags(e.non0), (std::vector<int>{1, 1, 1, 0, 1, 0, 0}));
    e.samplenum = 2;
    e.MarkAsSkippedCBClick(true);
    EXPECT_TRUE(e.skipped[2] && e.userexcluded[2]);
    e.MarkAsSkippedCBClick(false);
    EXPECT_FALSE(e.skipped[2] || e.userexcluded[2]);
    e.samplenum = 9;  // no such sample: nothing happens
    e.MarkAsSkippedCBClick(true);
    EXPECT_EQ(std::count(e.skipped.begin(), e.skipped.end(), 1), 0);
}

TEST(QualityRules, OutlierSubsetIsAddedOnceAndToggled) {
    TEngine e;
    e.setarraylengths(40, 4);
    e.indiveff = {0, 1.80, 1.90, 1.92, 1.95};
    e.ampgroup = {0, 1, 1, 1, 1};
    e.DetermineEffOutliersButtonClick();
    e.DetermineEffOutliersButtonClick();
    EXPECT_TRUE(e.effoutlier[1]);
    ASSERT_EQ(std::count(e.ShowSetCBItems.begin(), e.ShowSetCBItems.end(),
                         TRunState::TSubset::effoutlier),
              1);
    EXPECT_EQ(e.ShowSetCBItems[e.ShowSetCBItemIndex], TRunState::TSubset::effoutlier);
    e.options.ToggleShowRG = 0;
    e.ToggleShowRGClick();
    EXPECT_EQ(e.ShowSetCBItemIndex, 0);
    e.options.ToggleShowRG = 1;
    e.ToggleShowRGClick();
    EXPECT_EQ(e.ShowSetCBItems[e.ShowSetCBItemIndex], TRunState::TSubset::effoutlier);
}

}  // namespace
}  // namespace qurvex
