// SPDX-License-Identifier: GPL-3.0-or-later
// Data preparation after a read: defaults, lifting of negative rows,
// dropping of unusable points, axes, first common window and threshold.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "core_test_helpers.h"
#include "engine/Engine.h"
#include "engine/RecordingView.h"

namespace qurvex {
namespace {

using coretest::exponential;
using coretest::loadrows;

TEST(DataPreparation, FindNdecimCountsDecimalsToFirstDigit) {
  EXPECT_EQ(TEngine::FindNdecim(0.5), 1);
  EXPECT_EQ(TEngine::FindNdecim(0.1), 2);
  EXPECT_EQ(TEngine::FindNdecim(0.05), 2);
  EXPECT_EQ(TEngine::FindNdecim(0.0012), 3);
  EXPECT_EQ(TEngine::FindNdecim(1e-20), 11);  // capped
  EXPECT_EQ(TEngine::FindNdecim(3.0), 1);     // x >= 1
  EXPECT_EQ(TEngine::FindNdecim(0.0), 11);
}

TEST(DataPreparation, NegativeRowLiftedAsAReaderDoes) {
  TEngine e;
  loadrows(e, {{0.3, -0.05, 0.2, 0.9}, {1, 2, 3}, {}});
  EXPECT_DOUBLE_EQ(e.FindMinNeg(1), -0.05);
  EXPECT_EQ(e.FindMinNeg(2), 0.0);  // never above 0
  EXPECT_EQ(e.FindMinNeg(3), 0.0);  // no points
  EXPECT_EQ(e.FindMinNeg(9), 0.0);  // no such sample
  // lift = |min| + 10^-(FindNdecim(|min|) + 1) = 0.05 + 0.001
  const double m = -e.FindMinNeg(1);
  const double lift = m + std::pow(10.0, -(TEngine::FindNdecim(m) + 1));
  for (int p = 1; p <= e.npoints[1]; ++p) e.rawfluor[1][p] += lift;
  e.ProcessDataAfterRead();
  EXPECT_EQ(e.npoints[1], 4);
  EXPECT_NEAR(e.fluor[1][2], 0.001, 1e-15);
  EXPECT_NEAR(e.fluor[1][1], 0.351, 1e-15);
}

TEST(DataPreparation, PointsAtOrBelowLimitAreDroppedAndCompacted) {
  TEngine e;
  loadrows(e, {{5, 0, -1, 7},
               {1e-8, 2, 1.1e-8, 3, 0},
               {0, 0, 0},
               {4, 5, 1e-9, 1e-9},
               {NAN, 2, INFINITY, 3, 4, NAN}});
  e.ProcessDataAfterRead();
  EXPECT_EQ(e.nrawpoints[1], 4);
  ASSERT_EQ(e.npoints[1], 2);
  EXPECT_EQ(e.cyc[1][1], 1);
  EXPECT_EQ(e.cyc[1][2], 4);
  EXPECT_EQ(e.fluor[1][1], 5);
  EXPECT_EQ(e.fluor[1][2], 7);

  ASSERT_EQ(e.npoints[2], 3);  // exactly 1e-8 goes, 1.1e-8 stays, the trailing 0 goes
  EXPECT_EQ(e.cyc[2][1], 2);
  EXPECT_EQ(e.cyc[2][2], 3);
  EXPECT_EQ(e.fluor[2][2], 1.1e-8);
  EXPECT_EQ(e.cyc[2][3], 4);

  EXPECT_EQ(e.npoints[3], 0);  // all zero
  EXPECT_EQ(e.npoints[4], 2);  // two trailing drops
  EXPECT_EQ(e.fluor[3][0], 1e-5);
  ASSERT_EQ(e.npoints[5], 3);  // not-a-number and infinite values are not points
  EXPECT_EQ(e.cyc[5][1], 2);
  EXPECT_EQ(e.cyc[5][2], 4);
  EXPECT_TRUE(coretest::allfinite(e));
}

TEST(DataPreparation, DefaultsSetForEverySample) {
  RecordingView v;
  TEngine e(&v);
  loadrows(e, {exponential(1e-3, 2.0, 30), exponential(1e-4, 1.9, 30)});
  e.bgerror[1] = e.noisy[2] = e.userexcluded[2] = 1;
  e.bgarr[1] = 0.5;
  e.bgtrendset = true;
  e.ProcessDataAfterRead();
  for (int s = 1; s <= 2; ++s) {
    EXPECT_EQ(e.bgarr[s], 0.0);
    EXPECT_FALSE(e.bgerror[s] || e.noisy[s] || e.userexcluded[s] || e.skipped[s]);
    EXPECT_TRUE(e.isdisplayed[s]);
    EXPECT_EQ(e.sampleuse[s], "1 2 3");
    EXPECT_EQ(e.qualitychecks[s], "- - - - - - - - - - - - - -");
    EXPECT_EQ(e.qualitychecks[s].size(), 27u);
    EXPECT_EQ(e.cyc[s][0], 0.0);  // cycle 1 - 1
    EXPECT_EQ(e.fluor[s][0], 1e-5);
    EXPECT_EQ(e.woltype[s], 0);
    EXPECT_EQ(e.sampmeaneff[s], 2.0);
  }
  EXPECT_FALSE(e.bgtrendset);
  EXPECT_FALSE(e.busy());
  EXPECT_EQ(v.count("validdatarowchanged"), 2);
  EXPECT_EQ(v.count("baselinepanel waiting"), 1);
  EXPECT_EQ(v.count("hide ctcalcButton"), 2);
}

TEST(DataPreparation, OwnRdmlKeepsTheBaselineRead) {
  TEngine e;
  loadrows(e, {exponential(1e-3, 2.0, 20)});
  e.ownrdml = true;
  e.bgarr[1] = 1e-3;
  e.ProcessDataAfterRead();
  EXPECT_EQ(e.bgarr[1], 1e-3);
  EXPECT_NEAR(e.fluor[1][3], 1e-3 * 8 - 1e-3, 1e-15);
}

TEST(DataPreparation, AxesSpanAtMostFiveDecades) {
  TEngine e;
  loadrows(e, {exponential(1e-3, 2.0, 40), {3, 2, 1}});
  e.ProcessDataAfterRead();
  const double top = std::log10(1e-3 * std::pow(2.0, 40));
  EXPECT_NEAR(e.logymax, top, 1e-12);
  EXPECT_NEAR(e.logymin, top - 5.0, 1e-12);
  EXPECT_EQ(e.deflogymin, e.logymin);
  EXPECT_EQ(e.maxcyc, 40.0);

  TEngine narrow;
  loadrows(narrow, {{10, 20, 40, 80, 100}});
  narrow.ProcessDataAfterRead();
  EXPECT_NEAR(narrow.logymin, 1.0, 1e-12);  // lowest point, within 5 decades
  EXPECT_NEAR(narrow.logymax, 2.0, 1e-12);
}

// Exact exponentials: every fitted quantity is known in closed form.
TEST(DataPreparation, ExactExponentialsFitInClosedForm) {
  const double a[3] = {1e-3, 1e-4, 2e-3};
  const double eff[3] = {2.0, 1.9, 1.8};
  TEngine e;
  loadrows(e, {exponential(a[0], eff[0], 40), exponential(a[1], eff[1], 40),
               exponential(a[2], eff[2], 40)});
  e.ProcessDataAfterRead();
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
    EXPECT_EQ(e.sampftval[s], e.ftval[0]);
    // Cq: the cycle where a eff^c reaches the threshold
    EXPECT_NEAR(e.ct[s], (threshold - std::log10(a[s - 1])) / std::log10(eff[s - 1]), 1e-8);
  }
}

// Fewer than 3 valid points: not amplified, left out, and nothing reads
// outside the row or takes the log of a non-positive value (ASan/UBSan
// watch the reads; the results must be finite).
TEST(DataPreparation, SamplesWithZeroToThreeValidPoints) {
  TEngine e;
  loadrows(e, {{0, 0, 0, 0, 0, 0},
               {0, 0, 5, 0, 0, 0},
               {0, 3, 0, 0, 6, 0},
               {1, 10, 100},
               exponential(1e-2, 2.0, 6)});
  e.ProcessDataAfterRead();
  for (int s = 1; s <= 3; ++s) {
    SCOPED_TRACE(s);
    EXPECT_EQ(e.npoints[s], s - 1);
    EXPECT_TRUE(e.noamplif[s]);
    EXPECT_TRUE(e.skipped[s]);
    EXPECT_TRUE(e.emptywol[s]);
    EXPECT_EQ(e.ninclu[s], 0);
    EXPECT_EQ(e.ct[s], 0.0);
    EXPECT_EQ(e.indiveff[s], 1.0);
    EXPECT_EQ(e.indivn0[s], -999.0);
    EXPECT_GE(e.wolstart[s], 0);
    EXPECT_LE(e.wolstop[s], e.npoints[s]);
    EXPECT_LE(e.fstop[s], e.npoints[s]);
    EXPECT_LE(e.fstart[s], e.fstop[s]);
  }
  EXPECT_EQ(e.npoints[4], 3);
  EXPECT_FALSE(e.noamplif[4]);
  EXPECT_FALSE(e.skipped[5]);
  EXPECT_TRUE(coretest::allfinite(e));
}

TEST(DataPreparation, RunWithoutAnyValidPointStaysFinite) {
  TEngine e;
  loadrows(e, {{0, 0, 0}, {-1, 0, 0}});
  e.ProcessDataAfterRead();
  EXPECT_EQ(e.npoints[1], 0);
  EXPECT_EQ(e.npoints[2], 0);
  EXPECT_TRUE(std::isfinite(e.uplim[0]));
  EXPECT_TRUE(std::isfinite(e.ftval[0]));
  EXPECT_LT(e.logymin, e.logymax);
  EXPECT_TRUE(coretest::allfinite(e));
}

TEST(DataPreparation, OneSampleRun) {
  TEngine e;
  loadrows(e, {exponential(1e-3, 1.95, 35)});
  e.ProcessDataAfterRead();
  EXPECT_EQ(e.nsamples, 1);
  EXPECT_NEAR(e.indiveff[1], 1.95, 1e-9);
  EXPECT_GT(e.ct[1], 0.0);
  EXPECT_TRUE(coretest::allfinite(e));
}

TEST(DataPreparation, EmptyRunDoesNothingHarmful) {
  RecordingView v;
  TEngine e(&v);
  e.setarraylengths(0, 0);
  e.ProcessDataAfterRead();
  EXPECT_EQ(e.nsamples, 0);
  EXPECT_TRUE(std::isfinite(e.uplim[0]));
  EXPECT_EQ(v.count("plotsample"), 0);
}

TEST(DataPreparation, ResetAndExcelDefaults) {
  RecordingView v;
  TEngine e(&v);
  loadrows(e, {{1, 2, 3}, {4, 5, 6}});
  e.ngroups = 3;
  e.groupsdefined = e.meansdone = e.dragging = true;
  e.options.rg_fitoptions = 2;
  e.ShowSetCBItems.push_back("efficiency outlier");
  e.ShowSetCBItemIndex = static_cast<int>(e.ShowSetCBItems.size()) - 1;
  e.ResetInterfaceAfterRead();
  EXPECT_EQ(std::count(e.ShowSetCBItems.begin(), e.ShowSetCBItems.end(), "efficiency outlier"), 0);
  EXPECT_EQ(e.ShowSetCBItemIndex, 0);
  EXPECT_EQ(e.ngroups, 1);
  EXPECT_FALSE(e.groupsdefined || e.meansdone || e.dragging);
  EXPECT_EQ(e.options.rg_fitoptions, 1);
  EXPECT_EQ(v.count("ResetInterfaceAfterRead 3"), 1);
  e.ExtraExcelProcessing();
  EXPECT_EQ(e.ampname[2], "not_named");
  EXPECT_EQ(e.tissue[1], "undefined");
  EXPECT_EQ(e.ampgroup[1], 0);
}

}  // namespace
}  // namespace qurvex
