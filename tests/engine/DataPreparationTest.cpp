// SPDX-License-Identifier: GPL-3.0-or-later
// Data preparation after a read: lifting of negative rows, dropping of
// unusable points, axes, first common window, threshold and fits.
#include <gtest/gtest.h>

#include <cmath>

#include "CoreTestHelpers.h"

namespace qurvex {
namespace {

using namespace coretest;

TEST(DataPreparation, NegativeRowLiftedAsAReaderDoes) {
    const struct {
        double x;
        int want;
    } ndecim[] = {{0.5, 1}, {0.1, 2}, {0.05, 2}, {0.0012, 3}, {1e-20, 11}, {3.0, 1}, {0.0, 11}};
    for (const auto& c : ndecim) EXPECT_EQ(TEngine::FindNdecim(c.x), c.want) << c.x;
    TEngine e;
    loadrows(e, {{0.3, -0.05, 0.2, 0.9}, {1, 2, 3}, {}});
    EXPECT_DOUBLE_EQ(e.FindMinNeg(1), -0.05);
    EXPECT_EQ(e.FindMinNeg(2), 0.0);  // never above 0
    EXPECT_EQ(e.FindMinNeg(3), 0.0);  // no points
    EXPECT_EQ(e.FindMinNeg(9), 0.0);  // no such sample
    // lift = |min| + 10^-(FindNdecim(|min|) + 1) = 0.05 + 0.001
    for (int p = 1; p <= e.npoints[1]; ++p) e.rawfluor[1][p] += 0.051;
    e.ProcessDataAfterRead();
    EXPECT_EQ(e.npoints[1], 4);
    EXPECT_NEAR(e.fluor[1][2], 0.001, 1e-15);
}

TEST(DataPreparation, PointsAtOrBelowLimitAreDroppedAndCompacted) {
    TEngine e;
    prepared(e, {{5, 0, -1, 7},
                 {1e-8, 2, 1.1e-8, 3, 0},
                 {0, 0, 0},
                 {4, 5, 1e-9, 1e-9},
                 {NAN, 2, INFINITY, 3, 4, NAN}});
    EXPECT_EQ(e.nrawpoints[1], 4);
    ASSERT_EQ(e.npoints[1], 2);
    EXPECT_EQ(e.cyc[1][2], 4);
    EXPECT_EQ(e.fluor[1][2], 7);
    ASSERT_EQ(e.npoints[2], 3);  // exactly 1e-8 goes, 1.1e-8 stays, the trailing 0 goes
    EXPECT_EQ(e.cyc[2][1], 2);
    EXPECT_EQ(e.fluor[2][2], 1.1e-8);
    EXPECT_EQ(e.cyc[2][3], 4);
    EXPECT_EQ(e.npoints[3], 0);
    EXPECT_EQ(e.npoints[4], 2);
    EXPECT_EQ(e.fluor[3][0], 1e-5);
    ASSERT_EQ(e.npoints[5], 3);  // not-a-number and infinite values are not points
    EXPECT_EQ(e.cyc[5][2], 4);
    EXPECT_TRUE(allfinite(e));
}

TEST(DataPreparation, AxesSpanAtMostFiveDecadesAndOwnRdmlKeepsItsBaseline) {
    TEngine e;
    prepared(e, {exponential(1e-3, 2.0, 40), {3, 2, 1}});
    const double top = std::log10(1e-3 * std::pow(2.0, 40));
    EXPECT_NEAR(e.logymax, top, 1e-12);
    EXPECT_NEAR(e.logymin, top - 5.0, 1e-12);
    EXPECT_EQ(e.maxcyc, 40.0);
    TEngine narrow;
    prepared(narrow, {{10, 20, 40, 80, 100}});
    EXPECT_NEAR(narrow.logymin, 1.0, 1e-12);  // lowest point, within 5 decades
    EXPECT_NEAR(narrow.logymax, 2.0, 1e-12);
    TEngine own;
    loadrows(own, {exponential(1e-3, 2.0, 20)});
    own.ownrdml = true;
    own.bgarr[1] = 1e-3;
    own.ProcessDataAfterRead();
    EXPECT_EQ(own.bgarr[1], 1e-3);
    EXPECT_NEAR(own.fluor[1][3], 1e-3 * 8 - 1e-3, 1e-15);
}

TEST(DataPreparation, ExactExponentialsFitInClosedForm) {
    const double a[3] = {1e-3, 1e-4, 2e-3}, eff[3] = {2.0, 1.9, 1.8};
    TEngine e;
    prepared(e, {exponential(a[0], eff[0], 40), exponential(a[1], eff[1], 40),
                 exponential(a[2], eff[2], 40)});
    // threshold in force: half the upper limit, as the threshold edit shows it
    const double threshold = std::round(1000.0 * (e.uplim[0] - std::log10(2.0))) / 1000.0;
    EXPECT_NEAR(e.ftval[0], threshold, 1e-12);
    for (int s = 1; s <= 3; ++s) {
        SCOPED_TRACE(s);
        EXPECT_FALSE(e.emptywol[s]);
        EXPECT_GE(e.ninclu[s], 2);
        EXPECT_NEAR(e.slope[s], std::log10(eff[s - 1]), 1e-10);
        EXPECT_NEAR(e.intercept[s], std::log10(a[s - 1]), 1e-8);
        EXPECT_NEAR(e.rval[s], 1.0, 1e-10);
        EXPECT_NEAR(e.indiveff[s], eff[s - 1], 1e-9);
        EXPECT_NEAR(e.indivn0[s], a[s - 1], 1e-8 * a[s - 1]);
        EXPECT_NEAR(e.ct[s], (threshold - std::log10(a[s - 1])) / std::log10(eff[s - 1]), 1e-8);
    }
}

// Fewer than 3 valid points: not amplified, left out, nothing read outside
// the row and no log of a non-positive value (the sanitizers watch).
TEST(DataPreparation, SamplesWithZeroToThreeValidPoints) {
    TEngine e;
    prepared(e, {{0, 0, 0, 0, 0, 0},
                 {0, 0, 5, 0, 0, 0},
                 {0, 3, 0, 0, 6, 0},
                 {1, 10, 100},
                 exponential(1e-2, 2.0, 6)});
    for (int s = 1; s <= 3; ++s) {
        SCOPED_TRACE(s);
        EXPECT_EQ(e.npoints[s], s - 1);
        EXPECT_TRUE(e.noamplif[s] && e.skipped[s] && e.emptywol[s]);
        EXPECT_EQ(e.ninclu[s], 0);
        EXPECT_EQ(e.ct[s], 0.0);
        EXPECT_EQ(e.indiveff[s], 1.0);
        EXPECT_EQ(e.indivn0[s], -999.0);
        EXPECT_GE(e.wolstart[s], 0);
        EXPECT_LE(e.wolstop[s], e.npoints[s]);
        EXPECT_LE(e.fstart[s], e.fstop[s]);
        EXPECT_LE(e.fstop[s], e.npoints[s]);
    }
    EXPECT_EQ(e.npoints[4], 3);
    EXPECT_FALSE(e.noamplif[4] || e.skipped[5]);
    EXPECT_TRUE(allfinite(e));
}

TEST(DataPreparation, EmptyOneSampleAndPointlessRunsStayFinite) {
    TEngine none;
    prepared(none, {{0, 0, 0}, {-1, 0, 0}});
    EXPECT_EQ(none.npoints[1] + none.npoints[2], 0);
    EXPECT_LT(none.logymin, none.logymax);
    EXPECT_TRUE(allfinite(none));
    TEngine one;
    prepared(one, {exponential(1e-3, 1.95, 35)});
    EXPECT_NEAR(one.indiveff[1], 1.95, 1e-9);
    EXPECT_GT(one.ct[1], 0.0);
    EXPECT_TRUE(allfinite(one));
    RecordingView v;
    TEngine empty(&v);
    empty.setarraylengths(0, 0);
    empty.ProcessDataAfterRead();
    EXPECT_EQ(empty.nsamples, 0);
    EXPECT_TRUE(std::isfinite(empty.uplim[0]));
    EXPECT_EQ(v.count("plotsample"), 0);
}

TEST(DataPreparation, ReadResetsFlagsOfThePreviousRun) {
    TEngine e;
    loadrows(e, {exponential(1e-3, 2.0, 30), exponential(1e-4, 1.9, 30)});
    e.bgerror[1] = e.noisy[2] = e.userexcluded[2] = 1;
    e.bgarr[1] = 0.5;
    e.ProcessDataAfterRead();
    for (int s = 1; s <= 2; ++s) {
        EXPECT_EQ(e.bgarr[s], 0.0);
        EXPECT_FALSE(e.bgerror[s] || e.noisy[s] || e.userexcluded[s] || e.skipped[s]);
        EXPECT_EQ(e.qualitychecks[s], "- - - - - - - - - - - - - -");
    }
}

// Every value read stays beside the cycle it was read at (inputfluor), while
// the valid points close up over the dropped ones; a later step (baselines)
// and a shorter next read leave nothing of it behind.
TEST(DataPreparation, InputValuesKeepTheirCyclesWhileValidPointsCloseUp) {
    TEngine e;
    // Baseline-subtracted data: the early values are at or below 0.
    const std::vector<double> row = {-0.0716, -0.0327, 0.0311, 0.0436, 0, 0.5};
    prepared(e, {row, exponential(1e-3, 1.9, 6)});
    for (int p = 1; p <= 6; ++p) {
        EXPECT_EQ(e.rawcyc[1][p], p);
        EXPECT_EQ(e.inputfluor[1][p], row[p - 1]) << p;
    }
    ASSERT_EQ(e.npoints[1], 3);
    EXPECT_EQ(e.cyc[1][1], 3);
    EXPECT_EQ(e.fluor[1][1], 0.0311);
    EXPECT_EQ(e.cyc[1][3], 6);
    const doublearray input = e.inputfluor;
    e.BaselineButtonPanelClick();
    EXPECT_EQ(e.inputfluor, input);
    prepared(e, {{2, 3}});
    EXPECT_EQ(e.inputfluor[1], (std::vector<double>{0, 2, 3}));
}

}  // namespace
}  // namespace qurvex
