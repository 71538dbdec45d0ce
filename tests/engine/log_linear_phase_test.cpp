// SPDX-License-Identifier: GPL-3.0-or-later
// Log-linear phase: end (largest curvature), start under the three
// strictness options, and the slope comparison of its two halves.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "engine/Engine.h"

namespace qurvex {
namespace {

// One sample whose corrected points are `f` at cycles `c` (the header holds
// every cycle from 1 to the last one, so missing cycles are gaps). The row
// is exactly as long as the run needs, so a read past it is caught.
void loadone(TEngine& e, const std::vector<double>& f, std::vector<double> c = {}) {
    if (c.empty())
        for (std::size_t i = 0; i < f.size(); ++i) c.push_back(static_cast<double>(i + 1));
    const int ncycles = c.empty() ? 0 : static_cast<int>(c.back());
    e.setarraylengths(ncycles, 1);
    for (int k = 1; k <= ncycles; ++k) e.headercyc[k] = k;
    const int n = static_cast<int>(f.size());
    e.npoints[1] = e.nrawpoints[1] = n;
    for (int p = 1; p <= n; ++p) {
        e.cyc[1][p] = e.rawcyc[1][p] = c[p - 1];
        e.fluor[1][p] = e.rawfluor[1][p] = f[p - 1];
    }
    e.fluor[1][0] = 1e-5;
    e.cyc[1][0] = n > 0 ? c[0] - 1 : 0;
}

TEST(LogLinearPhaseFindfstop, EndsAtLargestCurvatureBeforeLargestRise) {
    TEngine e;
    // Rises 0 0 1 2 4 8 14 10 2 1: largest at point 8; curvature
    // (d(p+2) - d(p-1)) / 3 is 2/3, 4/3, 7/3, 4, 2, ... largest at point 6.
    loadone(e, {1, 1, 1, 2, 4, 8, 16, 30, 40, 42, 43});
    EXPECT_EQ(e.findfstop(1), 6);
    EXPECT_EQ(e.fstop[1], 6);
    EXPECT_EQ(e.fmaxdiff[1], 8);
}

TEST(LogLinearPhaseFindfstop, StillRisingOrFlatEndsAtLastPoint) {
    TEngine e;
    loadone(e, {2, 4, 8, 16, 32, 64, 128, 256, 512, 1024});
    EXPECT_EQ(e.findfstop(1), 10);
    EXPECT_EQ(e.fmaxdiff[1], 10);
    loadone(e, {3, 3, 3, 3, 3, 3, 3});
    EXPECT_EQ(e.findfstop(1), 7);
    EXPECT_EQ(e.fmaxdiff[1], 7);
}

TEST(LogLinearPhaseFindfstop, FewPointsStayInsideTheRow) {
    TEngine e;
    for (int n = 0; n <= 4; ++n) {
        std::vector<double> f;
        for (int p = 1; p <= n; ++p) f.push_back(std::pow(2.0, p));
        loadone(e, f);
        EXPECT_EQ(e.findfstop(1), n) << n << " points";
    }
}

TEST(LogLinearPhaseFindfstart, StrictOptionStopsAtAFallingPoint) {
    TEngine e;
    loadone(e, {1, 2, 4, 3, 6, 12, 24, 48});
    e.fstop[1] = 8;
    EXPECT_EQ(e.findfstartoption(1, 0), 4);  // F4 < F3
    EXPECT_EQ(e.findfstartoption(1, 1), 1);
    EXPECT_EQ(e.findfstartoption(1, 2), 1);
    e.options.BaselineStrictnessRG = 0;
    EXPECT_EQ(e.findfstart(1), 4);
    EXPECT_EQ(e.fstart[1], 4);
    EXPECT_EQ(e.findloglinstart(1), 1);
}

TEST(LogLinearPhaseFindfstart, SteepFirstStepIsDroppedExceptUnderOption2) {
    TEngine e;
    // First step log10(10) = 1 > 1.1 x last step log10(2).
    loadone(e, {1, 10, 20, 40, 80});
    e.fstop[1] = 5;
    EXPECT_EQ(e.findfstartoption(1, 0), 2);
    EXPECT_EQ(e.findfstartoption(1, 1), 2);
    EXPECT_EQ(e.findfstartoption(1, 2), 1);
}

TEST(LogLinearPhaseFindfstart, GapsInTheCyclesEndThePhaseUnderEveryOption) {
    TEngine e;
    loadone(e, {1, 2, 4, 8, 16, 32, 64}, {1, 2, 3, 5, 6, 7, 8});  // cycle 4 missing
    e.fstop[1] = 7;
    for (int option = 0; option <= 2; ++option) EXPECT_EQ(e.findfstartoption(1, option), 4);
}

TEST(LogLinearPhaseFindfstart, PhaseEndingAtPoint0To2NeverReadsBeforePoint1) {
    TEngine e;
    loadone(e, {5, 7});
    for (int stop = 0; stop <= 2; ++stop) {
        e.fstop[1] = stop;
        for (int option = 0; option <= 2; ++option) EXPECT_EQ(e.findfstartoption(1, option), 1);
    }
    loadone(e, {});
    e.fstop[1] = 0;
    EXPECT_EQ(e.findfstart(1), 1);
}

TEST(LogLinearPhaseMemo, ChangedPointsOptionOrEndGiveAFreshPhase) {
    TEngine e;
    loadone(e, {1, 1, 1, 2, 4, 8, 16, 30, 40, 42, 43});
    ASSERT_EQ(e.findfstop(1), 6);
    // Written in place, without a clean-up: rises 0 -0.5 1.5 2 3 17 6 10 2 1,
    // largest at 7; curvature 2/3, 3.5/3, 15.5/3, 4/3, 7/3: largest at 5.
    e.fluor[1][3] = 0.5;
    e.fluor[1][6] = 7;
    e.fluor[1][7] = 24;
    EXPECT_EQ(e.findfstop(1), 5);
    EXPECT_EQ(e.fmaxdiff[1], 7);
    e.fstop[1] = 8;
    // F3 < F2 ends the walk at 3; the first step (x4) is steeper than 1.1 x
    // the last (x1.25), so the phase starts at 4.
    EXPECT_EQ(e.findfstartoption(1, 0), 4);
    EXPECT_EQ(e.findfstartoption(1, 2), 1);
    e.fstop[1] = 2;
    EXPECT_EQ(e.findfstartoption(1, 0), 1);
    e.cyc[1][5] = 6;  // cycle 5 missing before point 5
    e.fstop[1] = 8;
    EXPECT_EQ(e.findfstartoption(1, 2), 5);
}

TEST(LogLinearPhaseTtest, TwoExactLinesGiveTheirSlopesAndT100) {
    TEngine e;
    // log10 F = 0.3 c for c = 1..4, then 0.2 per cycle: halves 1..4 and 5..8.
    std::vector<double> f;
    for (int c = 1; c <= 8; ++c)
        f.push_back(std::pow(10.0, c <= 4 ? 0.3 * c : 1.2 + 0.2 * (c - 4)));
    loadone(e, f);
    e.fstart[1] = 1;
    e.fstop[1] = 8;
    double sl = 0, r = 0, p = 1, su = 0;
    e.ttestslopes(1, sl, r, p, su);
    EXPECT_NEAR(sl, 0.3, 1e-12);
    EXPECT_NEAR(su, 0.2, 1e-12);
    EXPECT_LT(p, 1e-6);  // t = 100 with 5 degrees of freedom
    double slope = 0, intercept = 0;
    EXPECT_DOUBLE_EQ(r, e.rcalc(1, 1, 8, slope, intercept));
}

TEST(LogLinearPhaseTtest, NoisyHalvesGiveTheStudentT) {
    TEngine e;
    // log10 F: lower half 0, 0.32, 0.58, 0.93 (cycles 1..4), upper half
    // 1.1, 1.33, 1.48, 1.72 (cycles 5..8). By hand: Sl = 0.305, Su = 0.201,
    // SxxL = SxxU = 5, RSS_L = 0.00135, RSS_U = 0.00147, df = 5,
    // t = 0.104 / sqrt(0.4 x 0.00282 / 5) = 6.9241; two-tailed p by numerical
    // integration of the t density (Simpson, independent of the code) 0.000964.
    const double y[8] = {0, 0.32, 0.58, 0.93, 1.1, 1.33, 1.48, 1.72};
    std::vector<double> f;
    for (double v : y) f.push_back(std::pow(10.0, v));
    loadone(e, f);
    e.fstart[1] = 1;
    e.fstop[1] = 8;
    double sl = 0, r = 0, p = 0, su = 0;
    e.ttestslopes(1, sl, r, p, su);
    EXPECT_NEAR(sl, 0.305, 1e-9);
    EXPECT_NEAR(su, 0.201, 1e-9);
    EXPECT_NEAR(p, 0.000964, 0.000005);
}

TEST(LogLinearPhaseTtest, OnePointPhaseGivesTwoPointHalvesAroundIt) {
    TEngine e;
    loadone(e, {1, 10, 1000});
    double sl = 9, r = 9, p = 9, su = 9;
    // fstart = fstop = 2: lower half 2..3 (log10 F 1 -> 3), upper half 1..2
    // (0 -> 1); df = 1, both halves exact lines (no residual, exactly in
    // doubles), so t = 100 and p = P(|T| >= 100 | 1 df) = (2/pi) atan(1/100).
    e.fstart[1] = e.fstop[1] = 2;
    e.ttestslopes(1, sl, r, p, su);
    EXPECT_NEAR(sl, 2.0, 1e-12);
    EXPECT_NEAR(su, 1.0, 1e-12);
    EXPECT_NEAR(p, 2.0 / std::numbers::pi * std::atan(0.01), 1e-6);
    e.halfslopes(1, sl, su);
    EXPECT_NEAR(sl, 2.0, 1e-12);
    EXPECT_NEAR(su, 1.0, 1e-12);
    // At point 1 the upper half would reach point 0: it stops at point 1.
    e.fstart[1] = e.fstop[1] = 1;
    e.ttestslopes(1, sl, r, p, su);
    EXPECT_NEAR(sl, 1.0, 1e-12);
    EXPECT_EQ(su, 0.0);
    EXPECT_EQ(p, 0.0);  // df = 0
}

TEST(LogLinearPhaseTtest, DegenerateHalvesStayInsideThePoints) {
    TEngine e;
    loadone(e, {1, 2, 4});
    double sl = 9, r = 9, p = 9, su = 9;
    e.fstart[1] = 3;
    e.fstop[1] = 7;  // beyond the valid points: clamped to 3..3
    e.ttestslopes(1, sl, r, p, su);
    EXPECT_EQ(p, 0.0);
    e.fstart[1] = 1;
    e.fstop[1] = 3;  // halves 1..2 and 2..3: df = 1, no residual
    e.ttestslopes(1, sl, r, p, su);
    EXPECT_NEAR(sl, std::log10(2.0), 1e-12);
    EXPECT_NEAR(su, std::log10(2.0), 1e-12);
}

}  // namespace
}  // namespace qurvex
