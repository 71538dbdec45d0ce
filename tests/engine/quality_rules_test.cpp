// SPDX-License-Identifier: GPL-3.0-or-later
// Plateau check, user exclusion and the efficiency-outlier subset.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "engine/Engine.h"
#include "engine/RecordingView.h"
#include "tests/engine/support/SyntheticRun.h"

namespace qurvex {
namespace {

// Wells 1-2 saturate at 10 (no baseline); wells 3-4 are still rising
// steeply at cycle 45 (plateau 1e4, N(45) about 3e3), so their last point is
// within a factor 5 of their extrapolated exponential phase.
testing::SyntheticRun plateaurun() {
    testing::SyntheticRun run;
    for (int i = 0; i < 4; ++i) {
        testing::SyntheticWell w;
        w.name = "w" + std::to_string(i + 1);
        w.target = "A";
        w.efficiency = 1.8;
        w.n0 = i < 2 ? 1e-6 : 1e-8;
        w.plateau = i < 2 ? 10.0 : 1e4;
        w.baseline = 0.0;
        run.wells.push_back(w);
    }
    return run;
}

class PlateauCheck : public ::testing::Test {
protected:
    void SetUp() override {
        testing::loadSyntheticRun(e, plateaurun());
        e.silentmode = true;
        e.ProcessDataAfterRead();
        for (int s = 1; s <= 4; ++s) {
            e.ampgroup[s] = 1;  // one target: every sample in group 1
            e.noplateau[s] = e.noamplif[s] = e.bgerror[s] = false;
        }
        e.ngroups = 1;
        // Each sample fitted on cycles 10..14, deep in its exponential phase.
        for (int s = 1; s <= 4; ++s) {
            double slope = 0, intercept = 0;
            e.rcalc(s, 10, 14, slope, intercept);
            e.indiveff[s] = std::pow(10.0, slope);
            e.indivn0[s] = std::pow(10.0, intercept);
            e.emptywol[s] = false;
            ASSERT_NEAR(e.indiveff[s], 1.8, 1e-3) << s;
        }
    }
    TEngine e;
};

TEST_F(PlateauCheck, GroupZeroTakesEverySample) {
    e.AssignNoPlateau(0);
    EXPECT_FALSE(e.noplateau[1]);
    EXPECT_FALSE(e.noplateau[2]);
    EXPECT_TRUE(e.noplateau[3]);
    EXPECT_TRUE(e.noplateau[4]);
}

TEST_F(PlateauCheck, OnlyTheGroupsSamplesAreChecked) {
    e.ampgroup[4] = 2;
    e.ngroups = 2;
    e.AssignNoPlateau(2);
    EXPECT_FALSE(e.noplateau[3]);
    EXPECT_TRUE(e.noplateau[4]);
}

TEST_F(PlateauCheck, SamplesWithoutAUsableFitAreNotJudged) {
    e.emptywol[3] = true;
    e.indiveff[4] = 1.0005;
    e.indiveff[1] = 1.0;  // a not-fitted sample would extrapolate to below its data
    e.AssignNoPlateau(0);
    EXPECT_FALSE(e.noplateau[1]);
    EXPECT_FALSE(e.noplateau[3]);
    EXPECT_FALSE(e.noplateau[4]);
}

TEST_F(PlateauCheck, FlaggedSamplesAreNotCheckedAgain) {
    e.noamplif[3] = true;
    e.bgerror[4] = true;
    e.AssignNoPlateauButtonClick();
    EXPECT_FALSE(e.noplateau[3]);
    EXPECT_FALSE(e.noplateau[4]);
}

TEST(QualityRulesExclusion, MarkAsSkippedFollowsTheBox) {
    TEngine e;
    e.setarraylengths(5, 3);
    e.samplenum = 2;
    e.MarkAsSkippedCBClick(true);
    EXPECT_TRUE(e.skipped[2]);
    EXPECT_TRUE(e.userexcluded[2]);
    EXPECT_FALSE(e.skipped[1] || e.skipped[3]);
    e.MarkAsSkippedCBClick(false);
    EXPECT_FALSE(e.skipped[2]);
    EXPECT_FALSE(e.userexcluded[2]);
    e.samplenum = 7;  // no such sample: nothing happens
    e.MarkAsSkippedCBClick(true);
    EXPECT_EQ(std::count(e.skipped.begin(), e.skipped.end(), 1), 0);

    e.samplenum = 3;
    e.woltype[3] = 2;
    EXPECT_TRUE(e.useind_CBClick());
    e.woltype[3] = 1;
    EXPECT_FALSE(e.useind_CBClick());
}

TEST(QualityRulesNoN0, EveryRuleOfTheFlag) {
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
    EXPECT_EQ(std::vector<uint8_t>(e.non0.begin() + 1, e.non0.end()),
              (std::vector<uint8_t>{1, 1, 1, 0, 1, 0, 0}));
}

TEST(QualityRulesSubset, OutlierSubsetIsAddedOnceAndToggled) {
    RecordingView v;
    TEngine e(&v);
    e.setarraylengths(40, 4);
    const double effs[] = {1.80, 1.90, 1.92, 1.95};
    for (int s = 1; s <= 4; ++s) {
        e.indiveff[s] = effs[s - 1];
        e.ampgroup[s] = 1;
    }
    e.DetermineEffOutliersButtonClick();
    e.DetermineEffOutliersButtonClick();
    EXPECT_TRUE(e.effoutlier[1]);
    ASSERT_EQ(std::count(e.ShowSetCBItems.begin(), e.ShowSetCBItems.end(), "efficiency outlier"),
              1);
    EXPECT_EQ(e.ShowSetCBItems[e.ShowSetCBItemIndex], "efficiency outlier");
    EXPECT_EQ(e.options.ToggleShowRG, 1);
    EXPECT_GE(v.count("show ToggleShowRG"), 1);
    EXPECT_GE(v.count("ShowSetCBChange"), 2);

    e.options.ToggleShowRG = 0;
    e.ToggleShowRGClick();
    EXPECT_EQ(e.ShowSetCBItemIndex, 0);
    e.options.ToggleShowRG = 1;
    e.ToggleShowRGClick();
    EXPECT_EQ(e.ShowSetCBItems[e.ShowSetCBItemIndex], "efficiency outlier");
}

}  // namespace
}  // namespace qurvex
