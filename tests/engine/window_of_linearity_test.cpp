// SPDX-License-Identifier: GPL-3.0-or-later
// Window of linearity: group statistics, the window search and its choice,
// skipped groups, per-group windows and thresholds, and the width W.
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

using testing::SyntheticRun;
using testing::SyntheticWell;

bool hasmessage(const RecordingView& v, const std::string& text) {
    return std::find(v.messages.begin(), v.messages.end(), text) != v.messages.end();
}

// n samples of `points` points each, fluorescence set by the test.
void sized(TEngine& e, int n, int points) {
    e.setarraylengths(points, n);
    for (int s = 1; s <= n; ++s) {
        e.npoints[s] = e.nrawpoints[s] = points;
        for (int p = 1; p <= points; ++p) e.cyc[s][p] = e.rawcyc[s][p] = p;
    }
}

TEST(WindowStatistics, MeanEfficiencyOfTheUsableSamples) {
    TEngine e;
    sized(e, 5, 3);
    const double eff[6] = {0, 1.8, 1.9, 2.0, 1.95, 1.0};
    for (int s = 1; s <= 5; ++s) e.indiveff[s] = eff[s];
    e.skipped[4] = 1;  // 1.95 left out; 1.0 is not above 1
    double v = 0;
    EXPECT_NEAR(e.GetMeanEff(0, v), 1.9, 1e-12);
    EXPECT_NEAR(v, 0.01, 1e-12);  // (0.01 + 0 + 0.01) / 2
    EXPECT_TRUE(e.usedforwol[1] && e.usedforwol[2] && e.usedforwol[3]);
    EXPECT_FALSE(e.usedforwol[4] || e.usedforwol[5]);
    e.noplateau[2] = e.shortloglin[3] = 1;  // one contributor left
    EXPECT_EQ(e.GetMeanEff(0, v), 1.0);
    EXPECT_EQ(v, 100.0);
    // Group 2 holds samples 4 and 5 only.
    e.ampgroup = {0, 1, 1, 1, 2, 2};
    e.skipped[4] = 0;
    e.indiveff[5] = 2.05;
    EXPECT_NEAR(e.GetMeanEff(2, v), 2.0, 1e-12);
    EXPECT_NEAR(v, 0.005, 1e-12);
}

TEST(WindowStatistics, PlateauEndAndStartFluorescence) {
    TEngine e;
    sized(e, 3, 14);
    for (int s = 1; s <= 3; ++s)
        for (int p = 1; p <= 14; ++p) e.fluor[s][p] = s * p;
    // Largest of the last 11 points: 14, 28, 42; sample 3 has no plateau.
    e.noplateau[3] = 1;
    EXPECT_DOUBLE_EQ(e.GetMeanMax(0), 21.0);
    e.fstop = {0, 10, 5, 14};
    EXPECT_DOUBLE_EQ(e.GetMeanFluStop(0), 10.0);  // (10 + 10) / 2
    // log10(10/9) and log10(10/8).
    EXPECT_NEAR(e.GetLogStepStop(0), (std::log10(10.0 / 9) + std::log10(10.0 / 8)) / 2, 1e-12);
    e.skipped[1] = e.skipped[2] = 1;
    EXPECT_DOUBLE_EQ(e.GetMeanFluStop(0), 42.0);  // highest point of sample 3
    EXPECT_EQ(e.GetLogStepStop(0), std::log10(1.8));
    e.logymax = 1.5;
    EXPECT_DOUBLE_EQ(e.GetMeanMax(0), std::pow(10.0, 1.5));
    e.skipped[3] = 1;
    EXPECT_DOUBLE_EQ(e.GetMeanFluStop(0), 1e-7);
    EXPECT_DOUBLE_EQ(e.GetMaxFluStart(0), -9.99);
}

// Reads a run declared baseline-corrected: the common window is set at once.
void readcorrected(TEngine& e, const SyntheticRun& run) {
    testing::loadSyntheticRun(e, run);
    e.baselinedone = true;
    e.ProcessDataAfterRead();
}

TEST(WindowSearch, IdenticalSamplesChoosePosition0) {
    SyntheticRun run;
    run.wells.assign(4, SyntheticWell{});
    for (auto& w : run.wells) w.baseline = 0;
    TEngine e;
    readcorrected(e, run);
    ASSERT_EQ(e.wolsearch.group, 0);
    ASSERT_FALSE(e.wolsearch.rows.empty());
    EXPECT_LT(e.wolsearch.rows[0].cv, 1e-6);
    EXPECT_EQ(e.wolsearch.best, 0);
    EXPECT_DOUBLE_EQ(e.uplim[0], std::round(e.wolsearch.rows[0].uplim * 1000) / 1000);
    EXPECT_EQ(e.defuplim[0], e.uplim[0]);
    EXPECT_EQ(e.deflowlim[0], e.lowlim[0]);
    // Threshold: half the fluorescence shown for the upper limit.
    const double shown = std::round(std::pow(10.0, e.uplim[0]) * 1000) / 1000;
    EXPECT_DOUBLE_EQ(e.ftval[0], std::log10(0.5 * shown));
}

TEST(WindowSearch, AllSixtyOnePositionsEvaluatedStayInTheTable) {
    // Slow amplification (E 1.1) over 300 cycles: steps of 0.2 log10(1.1) =
    // 0.008 decades never reach the start of the phases in 61 positions.
    SyntheticRun run;
    run.ncycles = 300;
    const double effs[4] = {1.09, 1.1, 1.11, 1.1};
    for (double eff : effs) {
        SyntheticWell w;
        w.baseline = 0;
        w.n0 = 1e-4;
        w.efficiency = eff;
        run.wells.push_back(w);
    }
    TEngine e;
    readcorrected(e, run);
    ASSERT_EQ(e.wolsearch.rows.size(), 61u);
    EXPECT_EQ(e.wolsearch.finalk, 60);
    EXPECT_GE(e.wolsearch.best, 0);
    EXPECT_LE(e.wolsearch.best, 60);
    for (const auto& row : e.wolsearch.rows) EXPECT_GE(row.foldwidth, 0.5);
}

TEST(WindowSearch, OneValidSampleSkipsTheCommonGroup) {
    SyntheticRun run;
    run.wells.resize(3);
    run.wells[1].amplifies = run.wells[2].amplifies = false;
    RecordingView view;
    TEngine e(&view);
    testing::loadSyntheticRun(e, run);
    e.ProcessDataAfterRead();
    ASSERT_TRUE(e.BaselineButtonPanelClick());
    EXPECT_TRUE(e.wolsearch.skipped);
    EXPECT_TRUE(hasmessage(
        view, "Amplicon group \"All\" has only one valid sample. Please check your input."));
    for (int s = 1; s <= 3; ++s) EXPECT_EQ(e.woltype[s], 0);
    EXPECT_EQ(e.defuplim[0], e.uplim[0]);
}

TEST(WindowSearch, OneSampleRunAndNoValidSamples) {
    SyntheticRun run;
    run.wells.resize(1);
    RecordingView view;
    TEngine e(&view);
    testing::loadSyntheticRun(e, run);
    e.ProcessDataAfterRead();
    ASSERT_TRUE(e.BaselineButtonPanelClick());
    EXPECT_TRUE(e.wolsearch.skipped);
    view.messages.clear();
    e.skipped[1] = 1;
    e.Set_WoL(0);
    EXPECT_TRUE(
        hasmessage(view, "Amplicon group \"All\" has no valid samples. Please check your input."));
    e.silentmode = true;
    view.messages.clear();
    e.Set_WoL(0);
    EXPECT_TRUE(view.messages.empty());
    e.Set_WoL(5);  // no such group: nothing happens
    EXPECT_TRUE(view.messages.empty());
}

TEST(WindowGroups, EachTargetGetsItsWindowAndTheMeanThreshold) {
    SyntheticRun run = testing::makePlate(24, 2, 0.0, 5);
    TEngine e;
    testing::loadSyntheticRun(e, run);
    e.fromrdml = true;  // groups follow the targets
    e.ProcessDataAfterRead();
    ASSERT_TRUE(e.BaselineButtonPanelClick());
    ASSERT_EQ(e.ngroups, 2);
    EXPECT_EQ(e.wolsearch.group, 2);
    EXPECT_NEAR(e.ftval[0], (e.ftval[1] + e.ftval[2]) / 2, 1e-12);
    for (int s = 1; s <= e.nsamples; ++s) {
        const int g = e.ampgroup[s];
        ASSERT_TRUE(g == 1 || g == 2);
        EXPECT_EQ(e.woltype[s], 1);
        EXPECT_EQ(e.uplim[s], e.gruplim[g]);
        EXPECT_EQ(e.lowlim[s], e.grlowlim[g]);
    }
    EXPECT_EQ(e.defuplim[1], e.gruplim[1]);
    EXPECT_EQ(e.deflowlim[2], e.grlowlim[2]);
    EXPECT_NE(e.gruplim[1], e.gruplim[2]);  // efficiencies 1.80 and 1.84
}

TEST(WindowGroups, GroupWindowsAfterTheCommonWindowFindEveryGroupAgain) {
    SyntheticRun run = testing::makePlate(24, 2, 0.0, 5);
    RecordingView view;
    TEngine e(&view);
    testing::loadSyntheticRun(e, run);
    e.fromrdml = true;
    e.ProcessDataAfterRead();
    ASSERT_TRUE(e.BaselineButtonPanelClick());
    const std::vector<int> groups = e.ampgroup;
    ASSERT_EQ(e.AmpliconGroupGridcode, groups);

    e.selectcommonwindow();  // every sample leaves its group (ampgroup 0)
    ASSERT_EQ(e.ampgroup[1], 0);
    e.selectgroupwindows();
    EXPECT_EQ(e.ampgroup, groups);
    for (int s = 1; s <= e.nsamples; ++s) {
        EXPECT_EQ(e.woltype[s], 1);
        EXPECT_EQ(e.uplim[s], e.gruplim[groups[s]]);
        EXPECT_EQ(e.lowlim[s], e.grlowlim[groups[s]]);
    }

    // Setting the group windows again from the common window searches real
    // groups, none of which is empty.
    e.selectcommonwindow();
    view.messages.clear();
    e.SetWolPerGroupButtonClick();
    EXPECT_EQ(e.ampgroup, groups);
    EXPECT_TRUE(view.messages.empty());
    EXPECT_EQ(e.wolsearch.group, 2);
    EXPECT_FALSE(e.wolsearch.skipped);
    EXPECT_NE(e.gruplim[1], e.gruplim[2]);
}

TEST(WindowGroups, GridCodesComeWithRdmlGroupsAndGoWithARead) {
    TEngine e;
    e.setarraylengths(5, 3);
    e.ampgroup = {0, 2, 1, 2};
    e.ExtraRDMLProcessing();
    EXPECT_EQ(e.AmpliconGroupGridcode, (std::vector<int>{0, 2, 1, 2}));
    e.ResetInterfaceAfterRead();
    EXPECT_TRUE(e.AmpliconGroupGridcode.empty());
    // Without codes the choice of group windows keeps every ampgroup.
    e.groupsdefined = true;
    e.selectgroupwindows();
    EXPECT_EQ(e.ampgroup, (std::vector<int>{0, 2, 1, 2}));
}

TEST(WindowSearch, ThresholdIsHalfTheFluorescenceTheUpperEditShows) {
    SyntheticRun run;
    run.wells.assign(4, SyntheticWell{});
    for (auto& w : run.wells) w.baseline = 0;
    TEngine e;
    readcorrected(e, run);
    // An axis top with five decimals below every position of the search: the
    // upper limit is clamped to it with all its decimals, and its edit shows
    // 10^0.12345 = 1.32877 as "1.329" (10^0.123 would show "1.327").
    e.logymax = 0.12345;
    e.Set_WoL(0);
    ASSERT_EQ(e.uplim[0], 0.12345);
    ASSERT_EQ(e.fluoredittext[static_cast<std::size_t>(TLimitEdit::cuplimedit)], "1.329");
    EXPECT_DOUBLE_EQ(e.ftval[0], std::log10(0.5 * 1.329));
    EXPECT_DOUBLE_EQ(e.sampftval[1], e.ftval[0]);
}

TEST(WindowWidth, AcceptsTwoToFifteenPoints) {
    RecordingView view;
    TEngine e(&view);
    testing::loadSyntheticRun(e, testing::makePlate(12, 1, 0.0, 2));
    e.ProcessDataAfterRead();
    for (const char* bad : {"0", "-3", "1", "16", "abc", "", "4.5"}) {
        view.messages.clear();
        EXPECT_FALSE(e.SetWoLwidth(bad)) << bad;
        EXPECT_EQ(e.wolpoints, 4) << bad;
        EXPECT_EQ(view.messages.size(), 1u) << bad;
    }
    EXPECT_TRUE(e.SetWoLwidth(" 6 "));
    EXPECT_EQ(e.wolpoints, 6);
    EXPECT_TRUE(e.SetWoLwidth("2"));
    EXPECT_TRUE(e.SetWoLwidth("15"));
    EXPECT_EQ(e.wolpoints, 15);
}

class AnswerView : public RecordingView {
public:
    std::string reply;
    bool ok = true;
    bool inputbox(const std::string& caption, const std::string&, std::string& value) override {
        calls.push_back("inputbox " + caption + " " + value);
        value = reply;
        return ok;
    }
};

TEST(WindowWidth, InputBoxShowsTheCurrentWidth) {
    AnswerView view;
    TEngine e(&view);
    testing::loadSyntheticRun(e, testing::makePlate(12, 1, 0.0, 2));
    e.ProcessDataAfterRead();
    view.reply = "5";
    EXPECT_TRUE(e.SetWoLwidth1Click());
    EXPECT_EQ(view.count("inputbox number of points to include in Window of Linearity 4"), 1);
    EXPECT_EQ(e.wolpoints, 5);
    view.ok = false;  // cancelled
    EXPECT_FALSE(e.SetWoLwidth1Click());
    EXPECT_EQ(e.wolpoints, 5);
}

}  // namespace
}  // namespace qurvex
