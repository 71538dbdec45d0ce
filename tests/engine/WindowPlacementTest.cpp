// SPDX-License-Identifier: GPL-3.0-or-later
// Placing each sample's window between its limits, and applying limits and
// thresholds as the window's edits do.
#include <gtest/gtest.h>

#include <cmath>

#include "CoreTestHelpers.h"

namespace qurvex {
namespace {

using namespace coretest;

// log10 F(c) = c / 4 for c = 1..20: the limits fall between known points.
TEST(WindowPlacement, PointsBetweenTheLimits) {
    std::vector<double> quarters;
    for (int c = 1; c <= 20; ++c) quarters.push_back(std::pow(10.0, c / 4.0));
    const struct {
        int woltype;
        double low, up;
        const char* which;
        int start, stop;
        bool empty;
    } cases[] = {
        {2, 1.1, 3.1, "both", 5, 12, false},  // first above 1.1: c = 5; last below 3.1: c = 12
        {2, 0.6, 4.1, "stop", 5, 16, false},  // "stop" leaves the start alone
        {2, 0.6, 4.1, "start", 3, 16, false},
        {2, 0.6, 9.0, "stop", 3, 20, false},  // above every point: the highest closes it
        {0, 0.9, 2.1, "both", 4, 8, false},   // common window: element 0's limits
        {2, 6.0, 7.0, "both", 20, 20, true},  // above the data
    };
    TEngine e;
    prepared(e, {quarters});
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.which) + " " + std::to_string(c.low) + ".." +
                     std::to_string(c.up));
        e.woltype[1] = c.woltype;
        const int k = c.woltype == 0 ? 0 : 1;
        e.uplim[1] = 1.0;  // ignored by a common-window sample
        e.lowlim[k] = c.low;
        e.uplim[k] = c.up;
        e.FindPointAtLimit(1, c.which);
        EXPECT_EQ(e.wolstart[1], c.start);
        EXPECT_EQ(e.wolstop[1], c.stop);
        EXPECT_EQ(static_cast<bool>(e.emptywol[1]), c.empty);
    }
    e.lowlim[1] = -1.0;
    e.uplim[1] = 0.1;  // below the first point of the log-linear phase
    e.do_cascade(false, 1, 1);
    EXPECT_TRUE(e.emptywol[1]);
    EXPECT_EQ(e.wolstart[1], e.fstart[1]);
    EXPECT_EQ(e.wolstop[1], e.fstart[1]);
    EXPECT_EQ(e.ninclu[1], 0);
}

// Three exact exponentials of efficiency 2.0, 1.9 and 1.8 (mean 1.9); the
// axes run from log10(1e-3 2^20) = 3.02 down five decades.
struct LimitEdits : ::testing::Test {
    RecordingView v;
    TEngine e{&v};
    void SetUp() override {
        prepared(e, {exponential(1e-3, 2.0, 20), exponential(1e-3, 1.9, 20),
                     exponential(1e-3, 1.8, 20)});
    }
    void type(TLimitEdit edit, double v) { e.cuplimeditChange(edit, v); }
};

TEST_F(LimitEdits, CommonUpperLimitMovesCommonSamplesAndThreshold) {
    e.woltype[3] = 2;
    const double individual = e.uplim[3];
    e.ShowGroupCBItems = {"All", "not_named"};
    e.woltype[2] = 1;
    const double group = e.uplim[2];
    e.samplenum = 1;
    type(TLimitEdit::cuplimedit, 2.5);
    EXPECT_EQ(e.uplim[0], 2.5);
    EXPECT_EQ(e.uplim[1], 2.5);
    EXPECT_EQ(e.uplim[2], group);
    EXPECT_EQ(e.uplim[3], individual);
    // mean efficiency of the contributing samples is (2.0 + 1.9 + 1.8) / 3
    EXPECT_NEAR(e.ftval[0], 2.5 - std::log10(1.9), 1e-9);
    EXPECT_EQ(e.sampftval[1], e.ftval[0]);
    EXPECT_EQ(fluorshown(e, TLimitEdit::cuplimedit), 316.228);
    EXPECT_EQ(limitshown(e, TLimitEdit::iuplimedit), 2.5);  // sample uses the common window
    // refitted: the window of sample 1 now ends below 10^2.5
    EXPECT_LT(e.fluor[1][e.wolstop[1]], std::pow(10.0, 2.5));
    EXPECT_GT(e.fluor[1][e.wolstop[1] + 1], std::pow(10.0, 2.5));
}

TEST_F(LimitEdits, NoNumberChangesNothingAndValuesOutsideTheAxesAreClamped) {
    const double before = e.uplim[0];
    for (double t : {TRunState::kNoValue, HUGE_VAL}) {
        type(TLimitEdit::cuplimedit, t);
        EXPECT_EQ(e.uplim[0], before) << t;
    }
    type(TLimitEdit::cuplimedit, 99);
    EXPECT_EQ(e.uplim[0], e.logymax);
    EXPECT_EQ(limitshown(e, TLimitEdit::cuplimedit), e.logymax);
    type(TLimitEdit::clowlimedit, -99);
    EXPECT_DOUBLE_EQ(e.lowlim[0], e.logymin);
}

// An individual edit makes the current sample's window individual; a group
// edit needs the current sample to be in a listed group.
TEST_F(LimitEdits, IndividualAndGroupEdits) {
    e.samplenum = 3;
    type(TLimitEdit::ilowlimedit, 0.5);
    EXPECT_EQ(e.woltype[3], 2);
    EXPECT_EQ(e.woltype[1], 0);
    EXPECT_EQ(e.lowlim[3], 0.5);
    EXPECT_GT(e.fluor[3][e.wolstart[3]], std::pow(10.0, 0.5));
    EXPECT_LT(e.fluor[3][e.wolstart[3] - 1], std::pow(10.0, 0.5));
    e.ShowGroupCBItems = {"All", "X"};
    e.ampname[1] = "X";
    e.ampname[2] = "Y";
    e.woltype[1] = e.woltype[2] = 1;
    e.samplenum = 2;  // not in any listed group
    const double before = e.uplim[1];
    type(TLimitEdit::GrUpLimEdit, 2);
    EXPECT_EQ(e.uplim[1], before);
    e.samplenum = 1;
    type(TLimitEdit::GrUpLimEdit, 2);
    EXPECT_EQ(e.gruplim[1], 2.0);
    EXPECT_EQ(e.uplim[1], 2.0);
    EXPECT_NE(e.uplim[2], 2.0);
}

// The group edits follow the current sample's group; shown, not applied.
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
    EXPECT_EQ(limitshown(e, TLimitEdit::GrUpLimEdit), 1.25);
    EXPECT_EQ(limitshown(e, TLimitEdit::GrLowLimEdit), 0.5);
    EXPECT_EQ(fluorshown(e, TLimitEdit::GrUpLimEdit), 17.783);  // 10^1.25
    EXPECT_EQ(fluorshown(e, TLimitEdit::GrLowLimEdit), 3.162);  // 10^0.5
    EXPECT_EQ(v.count("groupshown"), 1);
    EXPECT_EQ(e.woltype[2], 0);
    // The edits already show group 1: nothing is written again.
    e.gruplim[1] = 1.3;
    e.samplenumChange();
    EXPECT_EQ(limitshown(e, TLimitEdit::GrUpLimEdit), 1.25);
    // A sample of group 0 points them back at group 0.
    e.gruplim[0] = 0.75;
    e.samplenum = 3;
    e.samplenumChange();
    EXPECT_EQ(e.AmpGroupNumEdit, 0);
    EXPECT_EQ(limitshown(e, TLimitEdit::GrUpLimEdit), 0.75);
}

TEST_F(LimitEdits, ThresholdEditSetsCq) {
    e.setftvaledit(1.0004);
    e.ctcalcButtonClick(e.ftvalshown);
    EXPECT_EQ(e.ftval[0], 1.0);
    EXPECT_NEAR(e.ct[1], 4.0 / std::log10(2.0), 1e-8);  // 1e-3 * 2^c = 10
    e.ctcalcButtonClick(TRunState::kNoValue);
    EXPECT_EQ(e.ftval[0], 1.0);
    EXPECT_EQ(v.count("message error"), 1);
    // Threshold from the upper edit: half what it shows, unrounded when it shows 0.
    e.setlimitedit(TLimitEdit::cuplimedit, 2.0);
    EXPECT_NEAR(e.ftvalfromupperedit(TLimitEdit::cuplimedit), std::log10(50.0), 1e-12);
    e.setlimitedit(TLimitEdit::cuplimedit, -4.0);
    EXPECT_EQ(fluorshown(e, TLimitEdit::cuplimedit), 0.0);
    EXPECT_NEAR(e.ftvalfromupperedit(TLimitEdit::cuplimedit), std::log10(0.5e-4), 1e-12);
}

}  // namespace
}  // namespace qurvex
