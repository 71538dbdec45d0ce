// SPDX-License-Identifier: GPL-3.0-or-later
// The default baseline step: noise-free curves, screening flags, short and
// gapped runs, the descent bound, the noise check and the busy state.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "CoreTestHelpers.h"

namespace qurvex {
namespace {

using namespace coretest;

TEST(BaselineNoiseFree, FindsTheTrueBaselineWithin0_1Percent) {
    for (int option = 0; option <= 2; ++option) {
        TEngine e;
        e.options.BaselineStrictnessRG = option;
        ASSERT_TRUE(analyse(e, dilutionseries(1.9, 1.0)));
        for (int s = 1; s <= e.nsamples; ++s) {
            SCOPED_TRACE("option " + std::to_string(option) + " sample " + std::to_string(s));
            EXPECT_NEAR(e.bgarr[s], 1.0, 1e-3);
            EXPECT_EQ(e.bgarr[s], e.defbgarr[s]);
            EXPECT_FALSE(e.noamplif[s] || e.bgerror[s] || e.skipped[s] || e.noisy[s] ||
                         e.noplateau[s]);
        }
    }
}

// At the window's upper limit a saturating curve already lies 0.5 - 1 % under
// its exponential, which bends the slope: efficiency within 0.5 %.
TEST(BaselineNoiseFree, EfficiencyWithinHalfAPercentAndCqFollowsLog10N0) {
    for (double eff : {1.8, 1.9, 2.0}) {
        TEngine e;
        ASSERT_TRUE(analyse(e, dilutionseries(eff, 1.0)));
        for (int s = 1; s <= e.nsamples; ++s) {
            SCOPED_TRACE("E " + std::to_string(eff) + " sample " + std::to_string(s));
            EXPECT_NEAR(e.indiveff[s] / eff, 1.0, 5e-3);
            EXPECT_EQ(e.sampftval[s], e.ftval[0]);
            // Ten-fold less template: Cq later by 1 / log10(E) cycles.
            if (s > 1) {
                EXPECT_NEAR(e.ct[s] - e.ct[s - 1], 1.0 / std::log10(eff), 0.01);
            }
        }
    }
}

// Data declared baseline-corrected skip the baseline step; in the same window
// they give the efficiencies of the raw data with the baseline added (the
// earliest well, with five cycles of background, to 0.2 %; the others 0.05 %).
TEST(BaselineNoiseFree, BaselineCorrectedDataGiveTheSameEfficiencies) {
    TEngine raw, corrected;
    ASSERT_TRUE(analyse(raw, dilutionseries(1.9, 2.0)));
    readrun(corrected, dilutionseries(1.9, 0.0), true);
    corrected.ApplyLogWindow(0, raw.uplim[0] - raw.lowlim[0], raw.uplim[0]);
    ASSERT_DOUBLE_EQ(corrected.lowlim[0], raw.lowlim[0]);
    for (int s = 1; s <= raw.nsamples; ++s) {
        SCOPED_TRACE(s);
        EXPECT_EQ(corrected.wolstart[s], raw.wolstart[s]);
        EXPECT_EQ(corrected.wolstop[s], raw.wolstop[s]);
        EXPECT_NEAR(corrected.indiveff[s], raw.indiveff[s],
                    (s == 1 ? 2e-3 : 5e-4) * raw.indiveff[s]);
        EXPECT_NEAR(corrected.ct[s] - corrected.ct[1], raw.ct[s] - raw.ct[1], 0.01);
    }
}

TEST(BaselineScreening, FlatAndStillRisingWellsAreFlagged) {
    SyntheticRun run = dilutionseries();
    SyntheticWell flat, late;
    flat.amplifies = false;
    flat.baseline = 2.5;
    late.n0 = 1e-12;  // N reaches a third of the plateau only at cycle 45
    run.wells.push_back(flat);
    run.wells.push_back(late);
    TEngine e;
    ASSERT_TRUE(analyse(e, run));
    const int f = e.nsamples - 1, l = e.nsamples;
    EXPECT_TRUE(e.noamplif[f] && e.skipped[f] && e.noplateau[f]);
    EXPECT_EQ(e.fstart[f], 1);
    EXPECT_EQ(e.fstop[f], e.npoints[f]);
    EXPECT_DOUBLE_EQ(e.bgarr[f], 0.99 * 2.5);
    EXPECT_EQ(e.fstop[l], e.npoints[l]);
    EXPECT_TRUE(e.noplateau[l]);
    EXPECT_FALSE(e.usedforwol[f] || e.usedforwol[l]);
    for (int k = 1; k < f; ++k) EXPECT_NEAR(e.bgarr[k], 1.0, 1e-3);
}

// Every sample excluded: said once, unless the run is silent.
TEST(BaselineShortRuns, OneTwoAndEightCycleRunsEndWithoutAmplification) {
    for (const auto& [ncycles, silent] : {std::pair{1, false}, {2, false}, {8, false}, {8, true}}) {
        SCOPED_TRACE(std::to_string(ncycles) + (silent ? " silent" : ""));
        SyntheticRun run = dilutionseries();
        run.ncycles = ncycles;
        for (auto& w : run.wells) w.n0 = 0.05;  // rising from the first cycle
        RecordingView view;
        TEngine e(&view);
        e.silentmode = silent;
        ASSERT_TRUE(analyse(e, run));
        for (int s = 1; s <= e.nsamples; ++s) {
            EXPECT_TRUE(e.noamplif[s] || e.bgerror[s] || e.noplateau[s]);
            EXPECT_TRUE(e.skipped[s]);
        }
        EXPECT_EQ(hasmessage(view, "all samples excluded"), !silent);
        if (silent) {
            EXPECT_TRUE(view.messages.empty());
        }
    }
}

TEST(BaselineGaps, MissingCyclesKeepTheBaseline) {
    const SyntheticRun run = dilutionseries();
    TEngine e;
    testing::loadSyntheticRun(e, run);
    for (int s = 1; s <= e.nsamples; ++s) {  // cycles 3 and 40 not measured
        int q = 0;
        for (int p = 1; p <= run.ncycles; ++p) {
            if (p == 3 || p == 40) continue;
            ++q;
            e.rawcyc[s][q] = e.rawcyc[s][p];
            e.rawfluor[s][q] = e.rawfluor[s][p];
        }
        e.npoints[s] = q;
    }
    e.ProcessDataAfterRead();
    ASSERT_TRUE(e.BaselineButtonPanelClick());
    for (int s = 1; s <= e.nsamples; ++s) {
        EXPECT_NEAR(e.bgarr[s], 1.0, 1e-2) << s;
        EXPECT_GE(e.cyc[s][e.fstart[s]], 4) << s;  // the phase never reaches over the gap
    }
}

// Background already removed (but not declared so): the descent runs out of
// rounds before 0.95 x the minimum and the sample is a baseline error.
TEST(BaselineDescent, RunningOutOfRoundsIsABaselineError) {
    TEngine e;
    ASSERT_TRUE(analyse(e, dilutionseries(1.9, 0.0)));
    for (int s = 1; s <= e.nsamples; ++s) EXPECT_TRUE(e.bgerror[s] && e.skipped[s]) << s;
}

// A view that tries to start other steps from inside the running step's
// message pump; all of them are refused.
class ReentrantView : public RecordingView {
public:
    TEngine* engine = nullptr;
    int refused = 0, tried = 0;
    void progress(int) override {
        if (engine != nullptr && tried < 3) {
            ++tried;
            refused += !engine->BaselineButtonPanelClick() + !engine->SetWoLwidth("6") +
                       !engine->baselineButtonClick();
        }
    }
};

TEST(BaselineBusy, CommandsAreRefusedWhileTheStepRuns) {
    ReentrantView view;
    TEngine e(&view);
    readrun(e, dilutionseries());
    view.engine = &e;
    EXPECT_TRUE(e.BaselineButtonPanelClick());
    EXPECT_GE(view.tried, 1);
    EXPECT_EQ(view.refused, 3 * view.tried);
    EXPECT_EQ(e.wolpoints, 4);
    EXPECT_FALSE(e.busy());
}

class NoiseView : public RecordingView {
public:
    std::vector<std::string> lines;
    int help = 0;
    int noisewarning(const std::vector<std::string>& l) override {
        lines = l;
        return 2;
    }
    void helpneeded(THelpTopic) override { ++help; }
};

TEST(BaselineNoise, NoisyDataSetWarnsCleanOnePasses) {
    for (double sd : {0.08, 0.0}) {
        SCOPED_TRACE(sd);
        NoiseView view;
        TEngine e(&view);
        ASSERT_TRUE(analyse(e, testing::makePlate(48, 1, sd, 3)));
        int noisy = 0, bgerrors = 0;
        for (int s = 1; s <= e.nsamples; ++s) {
            noisy += e.noisy[s];
            bgerrors += e.bgerror[s];
            using C = TRunState::TNoiseCheck;
            EXPECT_EQ(e.noisecheck[s], e.noisy[s] ? C::noisy : e.skipped[s] ? C::excluded : C::ok);
            if (e.noisy[s]) {
                EXPECT_TRUE(e.skipped[s]);
            }
        }
        if (sd == 0.0) {
            EXPECT_EQ(noisy, 0);
            EXPECT_TRUE(view.lines.empty());
            EXPECT_EQ(e.wolsearch.group, 0);
            EXPECT_FALSE(e.wolsearch.rows.empty());
            continue;
        }
        ASSERT_GT(noisy, 0);
        ASSERT_EQ(view.lines.size(), 9u);
        EXPECT_EQ(view.lines[0], "Data set is too noisy for automatic processing. ");
        EXPECT_EQ(view.lines[2], "The program found " + std::to_string(noisy) +
                                     "/48 noisy samples and " + std::to_string(bgerrors) +
                                     "/48 samples with baseline errors.");
        EXPECT_EQ(view.lines[8], "See menu: \"Help - handling Noise\" for help on how to proceed.");
        EXPECT_EQ(view.help, 1);  // closed with the help button
        EXPECT_EQ(e.ShowSetCBItems[static_cast<size_t>(e.ShowSetCBItemIndex)],
                  TRunState::TSubset::noisy);
    }
}

// Point 0 holds only the placeholder 1e-5: a window starting at point 1 is not
// judged on it. Exponentials of E 2 from 4e-5 and 2e-5 over six cycles, W = 8:
// U = log10 of the mean end fluorescence 9.6e-4, L = U - 8 log10 2 = -5.42.
// On the placeholder sample 1 would be noisy (log10 1e-5 = -5 > L, and the
// step 1e-5 -> 4e-5 exceeds 1.2 x its last step).
TEST(BaselineNoise, WindowFromTheFirstPointIsNotJudgedOnThePlaceholder) {
    TEngine e;
    prepared(e, {exponential(2e-5, 2.0, 6), exponential(1e-5, 2.0, 6)});
    e.wolpoints = 8;
    e.ApplyLogWindow(0, 8 * std::log10(2.0), std::log10((1.28e-3 + 6.4e-4) / 2));
    ASSERT_EQ(e.wolstart[1], 1);
    EXPECT_FALSE(e.CheckNoisiness());
    EXPECT_EQ(e.noisecheck[1], TRunState::TNoiseCheck::ok);
    EXPECT_FALSE(e.noisy[1] || e.skipped[1]);
}

}  // namespace
}  // namespace qurvex
