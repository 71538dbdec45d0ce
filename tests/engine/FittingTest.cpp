// SPDX-License-Identifier: GPL-3.0-or-later
// Log-linear regression, refits, thresholds and Cq, individual best windows.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "CoreTestHelpers.h"

namespace qurvex {
namespace {

using namespace coretest;

TEST(Regression, HandComputedLinesAndExactExponential) {
    TEngine e;
    prepared(e, {{1, 10, 10, 1000, 1000, 1000}, exponential(3e-4, 1.87, 30)});
    double sl = 0, ic = 0;
    // x = 1, 2, 3; y = 0, 1, 1: Sxx = 2, Syy = 2/3, Sxy = 1
    EXPECT_NEAR(e.rcalc(1, 1, 3, sl, ic), 1.0 / std::sqrt(4.0 / 3.0), 1e-14);
    EXPECT_NEAR(sl, 0.5, 1e-14);
    EXPECT_NEAR(ic, -1.0 / 3.0, 1e-14);
    EXPECT_NEAR(e.lastmeany, 2.0 / 3.0, 1e-14);
    // x = 3, 4; y = 1, 3: a line through both points
    EXPECT_NEAR(e.rcalc(1, 3, 4, sl, ic), 1.0, 1e-14);
    EXPECT_NEAR(sl, 2.0, 1e-14);
    EXPECT_NEAR(ic, -5.0, 1e-13);
    EXPECT_NEAR(e.rcalc(2, 4, 17, sl, ic), 1.0, 1e-12);
    EXPECT_NEAR(sl, std::log10(1.87), 1e-12);
    EXPECT_NEAR(ic, std::log10(3e-4), 1e-11);
    EXPECT_NEAR(e.lastmeanx, 10.5, 1e-12);
}

TEST(Regression, DegenerateWindowsGiveZero) {
    TEngine e;
    prepared(e, {{0.7, 0.7, 0.7, 0.7, 5, 9}});
    double sl = 1, ic = 1;
    EXPECT_EQ(e.rcalc(1, 1, 4, sl, ic), 0.0);  // identical fluorescence: Syy = 0
    EXPECT_EQ(sl, 0.0);
    EXPECT_EQ(ic, 0.0);
    const int windows[][3] = {{1, 5, 5}, {1, 5, 4}, {1, 0, 3}, {1, 5, 7}, {2, 1, 2}};
    for (const auto& w : windows)
        EXPECT_EQ(e.rcalc(w[0], w[1], w[2], sl, ic), 0.0) << w[0] << " " << w[1] << ".." << w[2];
    prepared(e, {{3, 5, 7, 9, 4, 4, 4}});
    EXPECT_NEAR(e.rrawcalc(1, 1, 4, sl, ic), 1.0, 1e-14);  // F = 1 + 2c
    EXPECT_NEAR(sl, 2.0, 1e-14);
    EXPECT_NEAR(ic, 1.0, 1e-13);
    EXPECT_EQ(e.rrawcalc(1, 5, 7, sl, ic), 0.0);  // flat: intercept is the mean
    EXPECT_EQ(ic, 4.0);
    EXPECT_EQ(e.rrawcalc(1, 6, 9, sl, ic), 0.0);  // beyond the raw points
}

TEST(Cascade, FlaggedSampleReportsNoFit) {
    TEngine e;
    prepared(e, {exponential(1e-3, 2.0, 30)});
    e.bgerror[1] = 1;
    e.do_cascade(false, 1, 1);
    EXPECT_EQ(e.indiveff[1], 1.0);
    EXPECT_EQ(e.indivn0[1], -999.0);
    EXPECT_EQ(e.ct[1], 0.0);
    EXPECT_EQ(e.ninclu[1], 0);
}

// "ignore error": a baseline accepted by hand makes a baseline-error sample
// count again (the flag stays for the quality code); without amplification
// it stays unfitted whatever its baseline.
TEST(Cascade, BaselineSetByHandCountsAgainDespiteTheError) {
    TEngine e;
    prepared(e, {exponential(1e-3, 2.0, 30), exponential(1e-3, 2.0, 30)});
    e.bgerror[1] = e.bgerror[2] = 1;
    e.noamplif[2] = 1;
    e.do_cascade(true, 1, 1);
    ASSERT_EQ(e.indiveff[1], 1.0);
    ASSERT_TRUE(e.ApplyManualBaseline(1, e.bgarr[1]));
    ASSERT_TRUE(e.ApplyManualBaseline(2, e.bgarr[2]));
    EXPECT_TRUE(e.manualbg[1] && e.bgerror[1]);
    EXPECT_NEAR(e.indiveff[1], 2.0, 1e-9);
    EXPECT_NEAR(e.indivn0[1], 1e-3, 1e-12);
    EXPECT_GT(e.ct[1], 0.0);
    EXPECT_FALSE(e.skipped[1]);
    EXPECT_EQ(e.indiveff[2], 1.0);
    EXPECT_EQ(e.indivn0[2], -999.0);
    e.calc_mean_ButtonClick();
    EXPECT_FALSE(e.exclmeaneff[1]);
    EXPECT_GT(e.meann0[1], 0.0);
    EXPECT_EQ(e.meann0[2], -999.0);
}

TEST(Thresholds, CommonAndCaseInsensitiveGroupThresholds) {
    TEngine e;
    const auto f = exponential(1e-3, 2.0, 30);
    prepared(e, {f, f, f});
    e.ShowGroupCBItems = {"All", "A", "B"};
    e.ampname[1] = "a";
    e.ampname[2] = "B";
    e.ampname[3] = "unlisted";
    e.ftval[0] = 1.0;
    e.ftval[1] = 2.0;
    e.ftval[2] = 3.0;
    e.sampftval[3] = -1.0;
    e.options.ThresholdsRG = 1;
    e.AssignFtVal(1, 3);
    EXPECT_EQ(e.sampftval[1], 2.0);
    EXPECT_EQ(e.sampftval[2], 3.0);
    EXPECT_EQ(e.sampftval[3], -1.0);  // no group found: unchanged
    // Cq where 1e-3 2^c reaches 10^3: (3 + 3) / log10 2
    EXPECT_NEAR(e.ct[2], 6.0 / std::log10(2.0), 1e-8);
    e.options.ThresholdsRG = 0;
    e.AssignFtVal(2, 2);
    EXPECT_EQ(e.sampftval[1], 2.0);  // outside first..last
    EXPECT_EQ(e.sampftval[2], 1.0);
    EXPECT_NEAR(e.ct[2], 4.0 / std::log10(2.0), 1e-8);
}

// Exponential up to cycle 20, then a slowly rising plateau.
std::vector<double> withplateau() {
    std::vector<double> r = exponential(1e-4, 2.0, 20);
    for (int c = 21; c <= 30; ++c) r.push_back(r.back() * 1.01);
    return r;
}

TEST(IndividualFit, BestCorrelationInsideTheExponentialPhase) {
    TEngine e;
    prepared(e, {withplateau()});
    e.options.rg_fitoptions = 0;  // best r, 3..15 points
    e.fitsample(1);
    EXPECT_EQ(e.woltype[1], 2);
    EXPECT_LE(e.wolstop[1], 20);
    EXPECT_GE(e.ninclu[1], 3);
    EXPECT_NEAR(e.slope[1], std::log10(2.0), 1e-9);
    EXPECT_NEAR(e.uplim[1], std::log10(e.fluor[1][e.wolstop[1]]) + 0.01, 1e-12);
    EXPECT_NEAR(e.lowlim[1], std::log10(e.fluor[1][e.wolstart[1]]) - 0.01, 1e-12);
    EXPECT_NEAR(e.indivn0[1], 1e-4, 1e-12);
    e.options.rg_fitoptions = 2;  // r above 0.999 with the most points
    e.fitsample(1);
    EXPECT_EQ(e.ninclu[1], 15);
    EXPECT_LE(e.wolstop[1], 20);
}

// Window sizes are taken from the edits as they stand, also outside the
// up-downs' 3..15; extreme values try every size that can hold a window.
TEST(IndividualFit, SizesAreTakenFromTheEditsAsTheyStand) {
    const struct {
        int min, max, lo, hi;
    } cases[] = {{4, 6, 4, 6},
                 {2, 2, 2, 2},
                 {18, 18, 18, 18},
                 {std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), 2, 29}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.min) + ".." + std::to_string(c.max));
        TEngine e;
        prepared(e, {withplateau()});
        e.options.rg_fitoptions = 1;
        e.options.minincludedit = c.min;
        e.options.nmaxedit = c.max;
        e.fitsample(1);
        EXPECT_GE(e.ninclu[1], c.lo);
        EXPECT_LE(e.ninclu[1], c.hi);
        EXPECT_LE(e.wolstop[1], c.hi == 29 ? 29 : 20);
        if (c.hi < 29) {
            EXPECT_NEAR(e.slope[1], std::log10(2.0), 1e-9);
        }
    }
    TEngine few;  // too few points: the whole sample, no fit
    prepared(few, {{1, 2, 4, 8}});
    few.options.rg_fitoptions = 0;
    few.fitsample(1);
    EXPECT_EQ(few.slope[1], 0.0);
    EXPECT_EQ(few.wolstart[1], 1);
    EXPECT_EQ(few.wolstop[1], 4);
}

}  // namespace
}  // namespace qurvex
