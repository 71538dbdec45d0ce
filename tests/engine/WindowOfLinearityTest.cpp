// SPDX-License-Identifier: GPL-3.0-or-later
// Window of linearity: group statistics, the window search and its choice,
// skipped groups, per-group windows and thresholds, and the width W.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "CoreTestHelpers.h"

namespace qurvex {
namespace {

using namespace coretest;

TEST(WindowStatistics, MeanEfficiencyPlateauEndAndStartFluorescence) {
    TEngine e;
    std::vector<std::vector<double>> rows(5);
    for (int s = 1; s <= 5; ++s)
        for (int p = 1; p <= 14; ++p) rows[s - 1].push_back(s * p);
    loadrows(e, rows);
    for (int s = 1; s <= 5; ++s)
        for (int p = 1; p <= 14; ++p) {
            e.fluor[s][p] = s * p;
            e.cyc[s][p] = p;
        }
    e.indiveff = {0, 1.8, 1.9, 2.0, 1.95, 1.0};
    e.skipped[4] = 1;  // 1.95 left out; 1.0 is not above 1
    double v = 0;
    EXPECT_NEAR(e.GetMeanEff(0, v), 1.9, 1e-12);
    EXPECT_NEAR(v, 0.01, 1e-12);  // (0.01 + 0 + 0.01) / 2
    EXPECT_EQ(flags(e.usedforwol), (std::vector<int>{1, 1, 1, 0, 0}));
    e.ampgroup = {0, 1, 1, 1, 2, 2};  // group 2: samples 4 and 5
    e.skipped[4] = 0;
    e.indiveff[5] = 2.05;
    EXPECT_NEAR(e.GetMeanEff(2, v), 2.0, 1e-12);
    EXPECT_NEAR(v, 0.005, 1e-12);
    e.ampgroup.assign(6, 0);
    e.skipped = {0, 0, 0, 0, 1, 1};
    // Largest of the last 11 points: 14, 28, 42; sample 3 has no plateau.
    e.noplateau[3] = 1;
    EXPECT_DOUBLE_EQ(e.GetMeanMax(0), 21.0);
    e.fstop = {0, 10, 5, 14, 0, 0};
    EXPECT_DOUBLE_EQ(e.GetMeanFluStop(0), 10.0);  // (10 + 10) / 2
    EXPECT_NEAR(e.GetLogStepStop(0), (std::log10(10.0 / 9) + std::log10(10.0 / 8)) / 2, 1e-12);
    e.skipped[1] = e.skipped[2] = 1;
    EXPECT_DOUBLE_EQ(e.GetMeanFluStop(0), 42.0);  // highest point of sample 3
    EXPECT_EQ(e.GetLogStepStop(0), std::log10(1.8));
    e.skipped[3] = 1;
    EXPECT_DOUBLE_EQ(e.GetMeanFluStop(0), 1e-7);
    EXPECT_DOUBLE_EQ(e.GetMaxFluStart(0), -9.99);
}

SyntheticRun identical(int n = 4) {
    SyntheticRun run;
    run.wells.assign(n, SyntheticWell{});
    for (auto& w : run.wells) w.baseline = 0;
    return run;
}

TEST(WindowSearch, IdenticalSamplesChoosePosition0AndTheShownThreshold) {
    TEngine e;
    readrun(e, identical(), true);
    ASSERT_EQ(e.wolsearch.group, 0);
    ASSERT_FALSE(e.wolsearch.rows.empty());
    EXPECT_LT(e.wolsearch.rows[0].cv, 1e-6);
    EXPECT_EQ(e.wolsearch.best, 0);
    EXPECT_DOUBLE_EQ(e.uplim[0], std::round(e.wolsearch.rows[0].uplim * 1000) / 1000);
    EXPECT_EQ(e.defuplim[0], e.uplim[0]);
    const double shown = std::round(std::pow(10.0, e.uplim[0]) * 1000) / 1000;
    EXPECT_DOUBLE_EQ(e.ftval[0], std::log10(0.5 * shown));
    // An axis top with five decimals below every position: the upper limit is
    // clamped to it with all its decimals, and its edit shows 10^0.12345 =
    // 1.32877 as "1.329" (10^0.123 would show "1.327").
    e.logymax = 0.12345;
    e.Set_WoL(0);
    ASSERT_EQ(e.uplim[0], 0.12345);
    ASSERT_EQ(fluorshown(e, TLimitEdit::cuplimedit), 1.329);
    EXPECT_DOUBLE_EQ(e.ftval[0], std::log10(0.5 * 1.329));
    EXPECT_DOUBLE_EQ(e.sampftval[1], e.ftval[0]);
}

// Slow amplification (E 1.1) over 300 cycles: steps of 0.2 log10(1.1) =
// 0.008 decades never reach the start of the phases in 61 positions.
TEST(WindowSearch, AllSixtyOnePositionsEvaluatedStayInTheTable) {
    SyntheticRun run;
    run.ncycles = 300;
    for (double eff : {1.09, 1.1, 1.11, 1.1}) {
        SyntheticWell w;
        w.baseline = 0;
        w.n0 = 1e-4;
        w.efficiency = eff;
        run.wells.push_back(w);
    }
    TEngine e;
    readrun(e, run, true);
    ASSERT_EQ(e.wolsearch.rows.size(), 61u);
    EXPECT_EQ(e.wolsearch.finalk, 60);
    EXPECT_GE(e.wolsearch.best, 0);
    EXPECT_LE(e.wolsearch.best, 60);
    for (const auto& row : e.wolsearch.rows) EXPECT_GE(row.foldwidth, 0.5);
}

// The choice from five evaluated positions on: the smallest mean cv of three
// neighbouring positions, centres from 1 up to the position of the largest
// variance (and at most the second last). Noisy plates where the smallest
// single cv lies elsewhere show that the mean is taken.
TEST(WindowSearch, ChoiceIsTheSmallestMeanOfThreePositions) {
    int smoothingdecided = 0;
    for (unsigned seed : {3u, 5u, 8u, 12u}) {
        TEngine e;
        readrun(e, testing::makePlate(48, 1, 0.03, seed), true);
        e.Set_WoL(0);
        const auto& rows = e.wolsearch.rows;
        std::vector<double> cv(61, 0.0), var(61, 0.0);
        for (const auto& r : rows) {
            cv[r.k] = r.cv;
            var[r.k] = (r.cv * r.meaneff) * (r.cv * r.meaneff);
        }
        int last = -1;
        while (last + 1 < 61 && cv[last + 1] >= 1e-6) ++last;
        if (last < 4) continue;
        const int maxk = static_cast<int>(std::max_element(var.begin(), var.end()) - var.begin());
        const int top = std::max(1, std::min(last - 2, maxk));
        auto mean3 = [&](int c) { return (cv[c - 1] + cv[c] + cv[c + 1]) / 3; };
        int best = 0;
        double smallest = cv[0];
        for (int c = 1; c <= top; ++c)
            if (mean3(c) < smallest) smallest = mean3(c), best = c;
        EXPECT_EQ(e.wolsearch.best, best) << "seed " << seed;
        const int single =
            static_cast<int>(std::min_element(cv.begin(), cv.begin() + top + 1) - cv.begin());
        smoothingdecided += single != best ? 1 : 0;
    }
    EXPECT_GT(smoothingdecided, 0);
}

TEST(WindowSearch, OneValidSampleOneSampleAndNoValidSample) {
    SyntheticRun run;
    run.wells.resize(3);
    run.wells[1].amplifies = run.wells[2].amplifies = false;
    RecordingView view;
    TEngine e(&view);
    ASSERT_TRUE(analyse(e, run));
    EXPECT_TRUE(e.wolsearch.skipped);
    EXPECT_TRUE(hasmessage(
        view, "Amplicon group \"All\" has only one valid sample. Please check your input."));
    for (int s = 1; s <= 3; ++s) EXPECT_EQ(e.woltype[s], 0);
    EXPECT_EQ(e.defuplim[0], e.uplim[0]);

    run.wells.resize(1);
    RecordingView v1;
    TEngine one(&v1);
    ASSERT_TRUE(analyse(one, run));
    EXPECT_TRUE(one.wolsearch.skipped);
    v1.messages.clear();
    one.skipped[1] = 1;
    one.Set_WoL(0);
    // Both lines of the skipped group in one message.
    EXPECT_TRUE(hasmessage(
        v1,
        "group skipped\nAmplicon group \"All\" has no valid samples. Please check your input."));
    one.silentmode = true;
    v1.messages.clear();
    one.Set_WoL(0);
    one.Set_WoL(5);  // no such group: nothing happens
    EXPECT_TRUE(v1.messages.empty());
}

TEST(WindowGroups, EachTargetGetsItsWindowAndGroupsComeBackAfterTheCommonWindow) {
    RecordingView view;
    TEngine e(&view);
    testing::loadSyntheticRun(e, testing::makePlate(24, 2, 0.0, 5));
    e.fromrdml = true;  // groups follow the targets
    e.ProcessDataAfterRead();
    ASSERT_TRUE(e.BaselineButtonPanelClick());
    ASSERT_EQ(e.ngroups, 2);
    const std::vector<int> groups = e.ampgroup;
    ASSERT_EQ(e.AmpliconGroupGridcode, groups);
    EXPECT_NEAR(e.ftval[0], (e.ftval[1] + e.ftval[2]) / 2, 1e-12);
    EXPECT_NE(e.gruplim[1], e.gruplim[2]);  // efficiencies 1.80 and 1.84
    EXPECT_EQ(e.defuplim[1], e.gruplim[1]);
    for (int pass = 0; pass < 3; ++pass) {
        SCOPED_TRACE(pass);
        if (pass > 0) {
            e.selectcommonwindow();  // every sample leaves its group (ampgroup 0)
            ASSERT_EQ(e.ampgroup[1], 0);
            view.messages.clear();
            if (pass == 1)
                e.selectgroupwindows();
            else
                e.SetWolPerGroupButtonClick();  // searches real groups, none empty
            EXPECT_TRUE(view.messages.empty());
        }
        EXPECT_EQ(e.ampgroup, groups);
        EXPECT_EQ(e.wolsearch.group, 2);
        for (int s = 1; s <= e.nsamples; ++s) {
            ASSERT_TRUE(groups[s] == 1 || groups[s] == 2);
            EXPECT_EQ(e.woltype[s], 1);
            EXPECT_EQ(e.uplim[s], e.gruplim[groups[s]]);
            EXPECT_EQ(e.lowlim[s], e.grlowlim[groups[s]]);
        }
    }
    EXPECT_FALSE(e.wolsearch.skipped);
    // Codes come with RDML groups and go with a read; without codes the choice
    // of group windows keeps every ampgroup.
    e.ResetInterfaceAfterRead();
    EXPECT_TRUE(e.AmpliconGroupGridcode.empty());
    e.ampgroup = groups;
    e.groupsdefined = true;
    e.selectgroupwindows();
    EXPECT_EQ(e.ampgroup, groups);
}

TEST(WindowWidth, AcceptsTwoToFifteenPoints) {
    RecordingView view;
    TEngine e(&view);
    readrun(e, testing::makePlate(12, 1, 0.0, 2));
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

}  // namespace
}  // namespace qurvex
