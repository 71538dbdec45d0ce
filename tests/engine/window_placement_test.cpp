// SPDX-License-Identifier: GPL-3.0-or-later
// Placing each sample's window between its limits, and applying limits and
// thresholds as the window's edits do.
#include <gtest/gtest.h>

#include <cmath>

#include "core_test_helpers.h"
#include "engine/Engine.h"
#include "engine/RecordingView.h"

namespace qurvex {
namespace {

using coretest::exponential;
using coretest::loadrows;

std::string& text(TEngine& e, TLimitEdit edit) {
  return e.limitedittext[static_cast<std::size_t>(edit)];
}

// log10 F(c) = c / 4 for c = 1..20: the limits fall between known points.
std::vector<double> quarterdecades() {
  std::vector<double> r;
  for (int c = 1; c <= 20; ++c) r.push_back(std::pow(10.0, c / 4.0));
  return r;
}

TEST(WindowPlacement, PointsBetweenTheLimits) {
  TEngine e;
  loadrows(e, {quarterdecades()});
  e.ProcessDataAfterRead();
  e.woltype[1] = 2;
  e.uplim[1] = 3.1;   // last point below: c = 12 (3.0)
  e.lowlim[1] = 1.1;  // first point above: c = 5 (1.25)
  e.FindPointAtLimit(1, "both");
  EXPECT_FALSE(e.emptywol[1]);
  EXPECT_EQ(e.wolstart[1], 5);
  EXPECT_EQ(e.wolstop[1], 12);

  e.lowlim[1] = 0.6;  // "stop" leaves the start alone
  e.uplim[1] = 4.1;
  e.FindPointAtLimit(1, "stop");
  EXPECT_EQ(e.wolstart[1], 5);
  EXPECT_EQ(e.wolstop[1], 16);
  e.FindPointAtLimit(1, "start");
  EXPECT_EQ(e.wolstart[1], 3);

  e.uplim[1] = 9.0;  // above every point: the highest point closes the window
  e.FindPointAtLimit(1, "stop");
  EXPECT_EQ(e.wolstop[1], 20);
}

TEST(WindowPlacement, CommonWindowSamplesUseElementZero) {
  TEngine e;
  loadrows(e, {quarterdecades()});
  e.ProcessDataAfterRead();
  e.woltype[1] = 0;
  e.uplim[1] = 1.0;  // ignored
  e.uplim[0] = 2.1;
  e.lowlim[0] = 0.9;
  e.FindPointAtLimit(1, "both");
  EXPECT_EQ(e.wolstart[1], 4);
  EXPECT_EQ(e.wolstop[1], 8);
}

TEST(WindowPlacement, EmptyWindows) {
  TEngine e;
  loadrows(e, {quarterdecades()});
  e.ProcessDataAfterRead();
  e.woltype[1] = 2;
  e.lowlim[1] = -1.0;
  e.uplim[1] = 0.1;  // below the first point of the log-linear phase
  e.do_cascade(false, 1, 1);
  EXPECT_TRUE(e.emptywol[1]);
  EXPECT_EQ(e.wolstart[1], e.fstart[1]);
  EXPECT_EQ(e.wolstop[1], e.fstart[1]);
  EXPECT_EQ(e.ninclu[1], 0);

  e.lowlim[1] = 6.0;  // above the data
  e.uplim[1] = 7.0;
  e.FindPointAtLimit(1, "both");
  EXPECT_TRUE(e.emptywol[1]);
  EXPECT_EQ(e.wolstart[1], 20);
  EXPECT_EQ(e.wolstop[1], 20);
}

// Three exact exponentials of efficiency 2.0, 1.9 and 1.8 (mean 1.9); the
// axes run from log10(1e-3 2^20) = 3.02 down five decades.
struct LimitEdits : ::testing::Test {
  RecordingView v;
  TEngine e{&v};
  void SetUp() override {
    loadrows(e, {exponential(1e-3, 2.0, 20), exponential(1e-3, 1.9, 20),
                 exponential(1e-3, 1.8, 20)});
    e.ProcessDataAfterRead();
  }
};

TEST_F(LimitEdits, CommonUpperLimitMovesCommonSamplesAndThreshold) {
  e.woltype[3] = 2;
  const double individual = e.uplim[3];
  e.ShowGroupCBItems = {"All", "not_named"};
  e.woltype[2] = 1;
  const double group = e.uplim[2];
  e.samplenum = 1;
  text(e, TLimitEdit::cuplimedit) = "2.5";
  e.cuplimeditChange(TLimitEdit::cuplimedit);
  EXPECT_EQ(e.uplim[0], 2.5);
  EXPECT_EQ(e.uplim[1], 2.5);
  EXPECT_EQ(e.uplim[2], group);
  EXPECT_EQ(e.uplim[3], individual);
  // mean efficiency of the contributing samples is (2.0 + 1.9 + 1.8) / 3
  EXPECT_NEAR(e.ftval[0], 2.5 - std::log10(1.9), 1e-9);
  EXPECT_EQ(e.sampftval[1], e.ftval[0]);
  EXPECT_EQ(e.fluoredittext[static_cast<std::size_t>(TLimitEdit::cuplimedit)], "316.228");
  EXPECT_EQ(text(e, TLimitEdit::iuplimedit), "2.5");  // current sample uses the common window
  // refitted: the window of sample 1 now ends below 10^2.5
  EXPECT_LT(e.fluor[1][e.wolstop[1]], std::pow(10.0, 2.5));
  EXPECT_GT(e.fluor[1][e.wolstop[1] + 1], std::pow(10.0, 2.5));
}

TEST_F(LimitEdits, ValuesOutsideTheAxesAreClamped) {
  text(e, TLimitEdit::cuplimedit) = "99";
  e.cuplimeditChange(TLimitEdit::cuplimedit);
  EXPECT_DOUBLE_EQ(e.uplim[0], e.logymax);
  EXPECT_DOUBLE_EQ(std::stod(text(e, TLimitEdit::cuplimedit)), e.logymax);
  text(e, TLimitEdit::clowlimedit) = "-99";
  e.cuplimeditChange(TLimitEdit::clowlimedit);
  EXPECT_DOUBLE_EQ(e.lowlim[0], e.logymin);
}

TEST_F(LimitEdits, TypingInProgressAndNonNumbersChangeNothing) {
  const double before = e.uplim[0];
  for (const char* t : {"", "-", "abc", "1.2.3", "2,5"}) {
    text(e, TLimitEdit::cuplimedit) = t;
    e.cuplimeditChange(TLimitEdit::cuplimedit);
    EXPECT_EQ(e.uplim[0], before) << t;
  }
  EXPECT_EQ(v.count("message error"), 3);
  EXPECT_NE(v.messages.front().find("'abc'"), std::string::npos);
}

TEST_F(LimitEdits, IndividualEditMakesTheWindowIndividual) {
  e.samplenum = 2;
  text(e, TLimitEdit::ilowlimedit) = "0.5";
  e.cuplimeditChange(TLimitEdit::ilowlimedit);
  EXPECT_EQ(e.woltype[2], 2);
  EXPECT_EQ(e.woltype[1], 0);
  EXPECT_EQ(e.lowlim[2], 0.5);
  EXPECT_EQ(e.lowlim[1], e.lowlim[0]);
  EXPECT_GT(e.fluor[2][e.wolstart[2]], std::pow(10.0, 0.5));
  EXPECT_LT(e.fluor[2][e.wolstart[2] - 1], std::pow(10.0, 0.5));
}

TEST_F(LimitEdits, EditlockSetsLimitsWithoutRefit) {
  e.samplenum = 1;
  e.woltype[1] = 2;
  e.slope[1] = 42.0;
  e.editlock = true;
  text(e, TLimitEdit::iuplimedit) = "3";
  e.cuplimeditChange(TLimitEdit::iuplimedit);
  EXPECT_EQ(e.uplim[1], 3.0);
  EXPECT_EQ(e.slope[1], 42.0);  // not refitted
  e.editlock = false;
  e.applylimitedit(TLimitEdit::iuplimedit, 3.00049);  // rounded as the edit shows it
  EXPECT_EQ(e.uplim[1], 3.0);
  EXPECT_NEAR(e.slope[1], std::log10(2.0), 1e-10);
}

TEST_F(LimitEdits, GroupEditNeedsTheCurrentSamplesGroup) {
  e.ShowGroupCBItems = {"All", "X"};
  e.ampname[1] = "X";
  e.ampname[2] = "Y";
  e.woltype[1] = e.woltype[2] = 1;
  e.samplenum = 2;  // not in any listed group
  const double before = e.uplim[1];
  text(e, TLimitEdit::GrUpLimEdit) = "2";
  e.cuplimeditChange(TLimitEdit::GrUpLimEdit);
  EXPECT_EQ(e.uplim[1], before);
  e.samplenum = 1;
  e.cuplimeditChange(TLimitEdit::GrUpLimEdit);
  EXPECT_EQ(e.gruplim[1], 2.0);
  EXPECT_EQ(e.uplim[1], 2.0);
  EXPECT_NE(e.uplim[2], 2.0);
}

TEST_F(LimitEdits, CurrentSampleShowsItsGroupInTheGroupEdits) {
  EXPECT_EQ(e.AmpGroupNumEdit, 0);  // no groups yet: every sample in group 0
  e.gruplim[1] = 1.25;
  e.grlowlim[1] = 0.5;
  e.ampgroup[2] = 1;
  e.samplenum = 2;
  v.calls.clear();
  e.samplenumChange();
  EXPECT_EQ(e.AmpGroupNumEdit, 1);
  EXPECT_EQ(e.IndivAmpGroupEdit, 1);
  EXPECT_EQ(text(e, TLimitEdit::GrUpLimEdit), "1.25");
  EXPECT_EQ(text(e, TLimitEdit::GrLowLimEdit), "0.5");
  // 10^1.25 = 17.7828, 10^0.5 = 3.16228
  EXPECT_EQ(e.fluoredittext[static_cast<std::size_t>(TLimitEdit::GrUpLimEdit)], "17.783");
  EXPECT_EQ(e.fluoredittext[static_cast<std::size_t>(TLimitEdit::GrLowLimEdit)], "3.162");
  EXPECT_EQ(v.count("AmpGroupNumEditchanged"), 1);
  EXPECT_EQ(e.gruplim[1], 1.25);  // shown, not applied
  EXPECT_EQ(e.woltype[2], 0);

  // The edits already show group 1: nothing is written again.
  text(e, TLimitEdit::GrUpLimEdit) = "1.3";
  e.samplenumChange();
  EXPECT_EQ(text(e, TLimitEdit::GrUpLimEdit), "1.3");

  // A sample of group 0 points them back at group 0.
  e.gruplim[0] = 0.75;
  e.samplenum = 3;
  e.samplenumChange();
  EXPECT_EQ(e.AmpGroupNumEdit, 0);
  EXPECT_EQ(e.IndivAmpGroupEdit, 0);
  EXPECT_EQ(text(e, TLimitEdit::GrUpLimEdit), "0.75");
}

TEST_F(LimitEdits, ThresholdEditSetsCq) {
  e.setftvaledit(1.0);
  e.ctcalcButtonClick();
  EXPECT_EQ(e.ftval[0], 1.0);
  EXPECT_FALSE(e.ftchanged);
  // 1e-3 * 2^c = 10 at c = 4 / log10(2)
  EXPECT_NEAR(e.ct[1], 4.0 / std::log10(2.0), 1e-8);
  e.ftvaledittext = "x";
  e.ctcalcButtonClick();
  EXPECT_EQ(e.ftval[0], 1.0);
  EXPECT_EQ(v.count("message error"), 1);
}

TEST(ThresholdFromUpperLimit, UnroundedWhenTheShownValueIsZero) {
  TEngine e;
  e.setlimitedit(TLimitEdit::cuplimedit, 2.0);  // shows 100
  EXPECT_NEAR(e.ftvalfromupperedit(TLimitEdit::cuplimedit), std::log10(50.0), 1e-12);
  e.setlimitedit(TLimitEdit::cuplimedit, -4.0);  // 0.0001 shows as 0
  EXPECT_EQ(e.fluoredittext[0], "0");
  EXPECT_NEAR(e.ftvalfromupperedit(TLimitEdit::cuplimedit), std::log10(0.5e-4), 1e-12);
}

}  // namespace
}  // namespace qurvex
