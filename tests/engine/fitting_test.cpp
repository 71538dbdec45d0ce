// SPDX-License-Identifier: GPL-3.0-or-later
// Log-linear regression, refits, thresholds and Cq, individual best windows.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core_test_helpers.h"
#include "engine/Engine.h"
#include "engine/RecordingView.h"

namespace qurvex {
namespace {

using coretest::exponential;
using coretest::loadrows;

// A run prepared without any analysis, for the regression routines.
TEngine& prepared(TEngine& e, const std::vector<std::vector<double>>& rows) {
  loadrows(e, rows);
  e.ProcessDataAfterRead();
  return e;
}

TEST(Regression, HandComputedLines) {
  TEngine e;
  prepared(e, {{1, 10, 10, 1000, 1000, 1000}});
  double sl = 0, ic = 0;
  // x = 1, 2, 3; y = 0, 1, 1: Sxx = 2, Syy = 2/3, Sxy = 1
  EXPECT_NEAR(e.rcalc(1, 1, 3, sl, ic), 1.0 / std::sqrt(4.0 / 3.0), 1e-14);
  EXPECT_NEAR(sl, 0.5, 1e-14);
  EXPECT_NEAR(ic, -1.0 / 3.0, 1e-14);
  EXPECT_NEAR(e.lastmeanx, 2.0, 1e-14);
  EXPECT_NEAR(e.lastmeany, 2.0 / 3.0, 1e-14);
  // x = 3, 4; y = 1, 3: a line through both points
  EXPECT_NEAR(e.rcalc(1, 3, 4, sl, ic), 1.0, 1e-14);
  EXPECT_NEAR(sl, 2.0, 1e-14);
  EXPECT_NEAR(ic, -5.0, 1e-13);
}

TEST(Regression, ExactExponential) {
  TEngine e;
  prepared(e, {exponential(3e-4, 1.87, 30)});
  double sl = 0, ic = 0;
  EXPECT_NEAR(e.rcalc(1, 4, 17, sl, ic), 1.0, 1e-12);
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
  EXPECT_EQ(e.lastmeanx, 0.0);
  EXPECT_EQ(e.rcalc(1, 5, 5, sl, ic), 0.0);  // one point: Sxx = 0
  EXPECT_EQ(e.rcalc(1, 5, 4, sl, ic), 0.0);  // no point
  EXPECT_EQ(e.rcalc(1, 0, 3, sl, ic), 0.0);  // outside the valid points
  EXPECT_EQ(e.rcalc(1, 5, 7, sl, ic), 0.0);
  EXPECT_EQ(e.rcalc(2, 1, 2, sl, ic), 0.0);  // no such sample
}

TEST(Regression, RawLinearFit) {
  TEngine e;
  prepared(e, {{3, 5, 7, 9, 4, 4, 4}});
  double sl = 0, ic = 0;
  EXPECT_NEAR(e.rrawcalc(1, 1, 4, sl, ic), 1.0, 1e-14);  // F = 1 + 2c
  EXPECT_NEAR(sl, 2.0, 1e-14);
  EXPECT_NEAR(ic, 1.0, 1e-13);
  e.lastmeanx = 42;
  EXPECT_EQ(e.rrawcalc(1, 5, 7, sl, ic), 0.0);  // flat: intercept is the mean
  EXPECT_EQ(sl, 0.0);
  EXPECT_EQ(ic, 4.0);
  EXPECT_EQ(e.lastmeanx, 42);  // untouched
  EXPECT_EQ(e.rrawcalc(1, 6, 9, sl, ic), 0.0);  // beyond the raw points
}

TEST(Cascade, FlaggedAndEmptySamplesReportNoFit) {
  TEngine e;
  prepared(e, {exponential(1e-3, 2.0, 30), exponential(1e-3, 2.0, 30)});
  const double fittedintercept = e.intercept[1];
  e.bgerror[1] = 1;
  e.do_cascade(false, 1, 1);
  EXPECT_EQ(e.indiveff[1], 1.0);
  EXPECT_EQ(e.indivn0[1], -999.0);
  EXPECT_EQ(e.ct[1], 0.0);
  EXPECT_EQ(e.slope[1], 0.0);
  EXPECT_EQ(e.rval[1], 0.0);
  EXPECT_EQ(e.ninclu[1], 0);
  EXPECT_NEAR(e.intercept[1], fittedintercept, 1e-12);  // kept

  // upper limit below the start of the log-linear phase: empty window
  e.woltype[2] = 2;
  e.uplim[2] = std::log10(1e-3 * 2.0) - 0.5;
  e.do_cascade(false, 2, 1);
  EXPECT_TRUE(e.emptywol[2]);
  EXPECT_EQ(e.ninclu[2], 0);
  EXPECT_EQ(e.wolstart[2], e.wolstop[2]);
}

TEST(Cascade, BaselineSetByHandCountsAgainDespiteTheError) {
  TEngine e;
  prepared(e, {exponential(1e-3, 2.0, 30), exponential(1e-3, 2.0, 30)});
  e.bgerror[1] = e.bgerror[2] = 1;
  e.noamplif[2] = 1;
  e.do_cascade(true, 1, 1);
  ASSERT_EQ(e.indiveff[1], 1.0);
  // "ignore error": the baseline it has is accepted by hand.
  ASSERT_TRUE(e.ApplyManualBaseline(1, e.bgarr[1]));
  ASSERT_TRUE(e.ApplyManualBaseline(2, e.bgarr[2]));
  EXPECT_TRUE(e.manualbg[1]);
  EXPECT_TRUE(e.bgerror[1]);  // the flag stays for the quality code
  EXPECT_NEAR(e.indiveff[1], 2.0, 1e-9);
  EXPECT_NEAR(e.indivn0[1], 1e-3, 1e-12);
  EXPECT_GT(e.ninclu[1], 0);
  EXPECT_GT(e.ct[1], 0.0);
  EXPECT_FALSE(e.skipped[1]);
  // Without amplification a sample stays unfitted whatever its baseline.
  EXPECT_EQ(e.indiveff[2], 1.0);
  EXPECT_EQ(e.indivn0[2], -999.0);
  // The manually corrected sample gets its N0 from the mean efficiency.
  e.calc_mean_ButtonClick();
  EXPECT_FALSE(e.exclmeaneff[1]);
  EXPECT_GT(e.meann0[1], 0.0);
  EXPECT_EQ(e.meann0[2], -999.0);
}

TEST(Cascade, ModesFitRedrawOrDoNothing) {
  RecordingView v;
  TEngine e(&v);
  prepared(e, {exponential(1e-3, 2.0, 30)});
  e.slope[1] = 123;
  v.calls.clear();
  e.do_cascade(true, 1, 2);  // redraw only
  EXPECT_EQ(e.slope[1], 123);
  EXPECT_EQ(v.count("plotallsamps"), 1);
  EXPECT_EQ(v.count("update_surveys"), 1);
  v.calls.clear();
  e.do_cascade(true, 1, 3);  // nothing
  EXPECT_EQ(e.slope[1], 123);
  EXPECT_TRUE(v.calls.empty());
  e.do_cascade(true, 1, 0);  // fit and redraw
  EXPECT_NEAR(e.slope[1], std::log10(2.0), 1e-10);
  EXPECT_EQ(v.count("plotsample 1"), 1);
}

TEST(Thresholds, CommonAndGroupThresholds) {
  TEngine e;
  prepared(e, {exponential(1e-3, 2.0, 30), exponential(1e-3, 2.0, 30), exponential(1e-3, 2.0, 30)});
  e.ShowGroupCBItems = {"All", "A", "B"};
  e.ampname[1] = "A";
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
  e.slope[1] = 0.0;
  e.AssignFtVal(1, 1);  // every Cq is recomputed
  EXPECT_EQ(e.ct[1], 0.0);
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
  EXPECT_NEAR(e.rval[1], 1.0, 1e-12);
  EXPECT_NEAR(e.uplim[1], std::log10(e.fluor[1][e.wolstop[1]]) + 0.01, 1e-12);
  EXPECT_NEAR(e.lowlim[1], std::log10(e.fluor[1][e.wolstart[1]]) - 0.01, 1e-12);
  EXPECT_NEAR(e.indivn0[1], 1e-4, 1e-12);
}

TEST(IndividualFit, SizeBoundsAndRequiredCorrelation) {
  TEngine e;
  prepared(e, {withplateau()});
  e.options.rg_fitoptions = 1;  // between minincludedit and nmaxedit points
  e.options.minincludedit = 4;
  e.options.nmaxedit = 6;
  e.fitsample(1);
  EXPECT_GE(e.ninclu[1], 4);
  EXPECT_LE(e.ninclu[1], 6);

  e.options.rg_fitoptions = 2;  // r above 0.999 with the most points
  e.fitsample(1);
  EXPECT_EQ(e.ninclu[1], 15);
  EXPECT_LE(e.wolstop[1], 20);
  EXPECT_NEAR(e.slope[1], std::log10(2.0), 1e-9);
}

TEST(IndividualFit, SizesAreTakenFromTheEditsAsTheyStand) {
  TEngine e;
  prepared(e, {withplateau()});
  e.options.rg_fitoptions = 1;
  // Below the up-down's 3: two-point windows, r = 1 for every one of them.
  e.options.minincludedit = 2;
  e.options.nmaxedit = 2;
  e.fitsample(1);
  EXPECT_EQ(e.ninclu[1], 2);
  EXPECT_EQ(e.wolstop[1] - e.wolstart[1], 1);
  EXPECT_NEAR(e.slope[1], std::log10(2.0), 1e-9);
  // Above the up-down's 15: the 18 points 1..18 of the exponential phase.
  e.options.minincludedit = 18;
  e.options.nmaxedit = 18;
  e.fitsample(1);
  EXPECT_EQ(e.ninclu[1], 18);
  EXPECT_LE(e.wolstop[1], 20);
  EXPECT_NEAR(e.slope[1], std::log10(2.0), 1e-9);
  // Extreme values try every size that can hold a window, and end.
  e.options.minincludedit = std::numeric_limits<int>::min();
  e.options.nmaxedit = std::numeric_limits<int>::max();
  e.fitsample(1);
  EXPECT_GE(e.ninclu[1], 2);
  EXPECT_LE(e.wolstop[1], 29);
}

TEST(IndividualFit, TooFewPointsKeepsWholeSample) {
  TEngine e;
  prepared(e, {{1, 2, 4, 8}});
  e.options.rg_fitoptions = 0;
  e.fitsample(1);
  EXPECT_EQ(e.rval[1], 0.0);
  EXPECT_EQ(e.slope[1], 0.0);
  EXPECT_EQ(e.intercept[1], 0.0);
  EXPECT_EQ(e.wolstart[1], 1);
  EXPECT_EQ(e.wolstop[1], 4);
  EXPECT_EQ(e.ninclu[1], 4);
  EXPECT_EQ(e.meancyc[1], 0.0);
}

TEST(IndividualFit, ButtonsFitCurrentOrEverySample) {
  RecordingView v;
  TEngine e(&v);
  prepared(e, {withplateau(), withplateau()});
  e.samplenum = 2;
  e.fitsampleButClick();
  EXPECT_EQ(e.woltype[2], 2);
  EXPECT_EQ(e.woltype[1], 0);
  EXPECT_EQ(e.limitedittext[static_cast<int>(TLimitEdit::iuplimedit)],
            roundedtext(e.uplim[2], 3));

  e.fitallbutClick();
  EXPECT_EQ(e.woltype[1], 2);
  EXPECT_EQ(e.options.CommonGroupWindowRG, 2);
  EXPECT_EQ(e.options.ThresholdsRG, 0);
  EXPECT_GE(v.count("pumpmessages"), 2);
  EXPECT_FALSE(e.busy());
  for (int s = 1; s <= 2; ++s) EXPECT_NEAR(e.indiveff[s], 2.0, 1e-8);
}

}  // namespace
}  // namespace qurvex
