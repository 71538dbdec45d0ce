// SPDX-License-Identifier: GPL-3.0-or-later
// The alternative baseline routine (baseline approached from below, phase
// start at W + 1 points before its end).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "CoreTestHelpers.h"

namespace qurvex {
namespace {

using namespace coretest;

// The phase is the W + 1 points before the end of the log-linear phase, where
// the curve already bends; its halves agree only a few percent under the true
// baseline, so the routine is checked on its own criterion: at the baseline
// it found both halves rise alike. Cq shift, noise check and user exclusions
// belong to the default routine only.
TEST(BaselineZW, HalvesAgreeAtTheDeterminedBaselineWithoutTheDefaultChecks) {
    TEngine e;
    e.usebaselinezw = true;
    readrun(e, dilutionseries());
    e.userexcluded[2] = 1;
    e.noisy[3] = 1;
    ASSERT_TRUE(e.BaselineButtonPanelClick());
    EXPECT_TRUE(e.noisecheck.empty() || e.noisecheck[1] == TRunState::TNoiseCheck::unchecked);
    for (int s = 1; s <= e.nsamples; ++s) {
        SCOPED_TRACE(s);
        EXPECT_GT(e.bgarr[s], 0.95);
        EXPECT_LT(e.bgarr[s], 1.0);
        EXPECT_FALSE(e.noamplif[s] || e.bgerror[s] || e.skipped[s] || e.noisy[s] ||
                     e.ctshifting[s]);
        e.findfstop(s);
        e.fstart[s] = std::max(1, e.fstop[s] - e.wolpoints - 1);
        double sl = 0, r = 0, p = 0, su = 0;
        e.ttestslopes(s, sl, r, p, su);
        EXPECT_NEAR(sl, su, 1e-3);
    }
    EXPECT_EQ(e.wolsearch.group, 0);
}

// One sample of raw readings f with the baseline starting at bg.
void loadascent(TEngine& e, const std::vector<double>& f, double bg) {
    loadrows(e, {f});
    e.nrawpoints[1] = e.npoints[1];
    e.bgarr[1] = bg;
    e.recomputefluor(1, false);
}

// Two readings: both halves are the same two points and never turn; once the
// baseline passes the readings no point remains. The ascent stops after 1001
// rounds of 1 % instead of running for ever.
TEST(BaselineZW, AscentThatNeverTurnsStopsAfter1001Rounds) {
    TEngine e;
    loadascent(e, {5, 6}, 2.5);
    EXPECT_FALSE(e.ascendbaseline(1));
    EXPECT_NEAR(e.defbgarr[1], 2.5 * std::pow(1.01, 1000), 1e-6 * e.defbgarr[1]);
    EXPECT_EQ(e.npoints[1], 0);
}

// Background 1 under a doubling that bends over at the end: at half the
// background the lower half is flattened; the halves turn before the baseline
// passes the lowest reading.
TEST(BaselineZW, AscentTurnsWhereTheLowerHalfRisesFaster) {
    TEngine e;
    loadascent(e, {1.01, 1.02, 1.04, 1.08, 1.16, 1.32, 1.6, 1.9}, 0.5);
    EXPECT_TRUE(e.ascendbaseline(1));
    EXPECT_GT(e.defbgarr[1], 0.5);
    EXPECT_LT(e.defbgarr[1], 1.01);
}

}  // namespace
}  // namespace qurvex
