// SPDX-License-Identifier: GPL-3.0-or-later
// The default baseline step on synthetic curves: baselines, efficiencies and
// Cq of noise-free curves, the screening flags, short and gapped runs, the
// noise check and its messages, and the busy state.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core_test_helpers.h"
#include "engine/Engine.h"
#include "engine/RecordingView.h"
#include "tests/engine/support/SyntheticRun.h"

namespace qurvex {
namespace {

using testing::SyntheticRun;
using testing::SyntheticWell;

// A ten-fold dilution series of six noise-free wells (n0 1e-4 .. 1e-9),
// efficiency 1.9, baseline 1, plateau 10, 45 cycles.
SyntheticRun dilutionseries(double efficiency = 1.9, double baseline = 1.0) {
    SyntheticRun run;
    double n0 = 1e-4;
    for (int i = 0; i < 6; ++i, n0 /= 10) {
        SyntheticWell w;
        w.name = "dil" + std::to_string(i + 1);
        w.target = "gene";
        w.n0 = n0;
        w.efficiency = efficiency;
        w.baseline = baseline;
        run.wells.push_back(w);
    }
    return run;
}

// Reads the run as a reader would and runs the baseline step.
void analyse(TEngine& e, const SyntheticRun& run) {
    testing::loadSyntheticRun(e, run);
    e.ProcessDataAfterRead();
    ASSERT_TRUE(e.BaselineButtonPanelClick());
}

TEST(BaselineNoiseFree, FindsTheTrueBaselineWithin0_1Percent) {
    for (int option = 0; option <= 2; ++option) {
        TEngine e;
        e.options.BaselineStrictnessRG = option;
        const SyntheticRun run = dilutionseries(1.9, 1.0);
        analyse(e, run);
        for (int s = 1; s <= e.nsamples; ++s) {
            EXPECT_NEAR(e.bgarr[s], 1.0, 1e-3) << "option " << option << " sample " << s;
            EXPECT_EQ(e.bgarr[s], e.defbgarr[s]);
            EXPECT_FALSE(e.noamplif[s] || e.bgerror[s] || e.skipped[s] || e.noisy[s]) << s;
            EXPECT_FALSE(e.noplateau[s]) << s;
        }
        EXPECT_TRUE(e.baselinedone);
    }
}

// The window fits the points of a saturating curve; at the upper limit the
// curve already lies 0.5 - 1 % under its exponential, which bends the slope:
// the fitted efficiency lies within 0.5 % (not 0.1 %) of the true one.
TEST(BaselineNoiseFree, EfficiencyWithinHalfAPercentAndCqFollowsLog10N0) {
    for (double eff : {1.8, 1.9, 2.0}) {
        TEngine e;
        const SyntheticRun run = dilutionseries(eff, 1.0);
        analyse(e, run);
        for (int s = 1; s <= e.nsamples; ++s) {
            EXPECT_NEAR(e.indiveff[s] / eff, 1.0, 5e-3) << eff << " sample " << s;
            EXPECT_EQ(e.woltype[s], 0);
            EXPECT_EQ(e.sampftval[s], e.ftval[0]);
        }
        // Ten-fold less template: Cq later by 1 / log10(E) cycles.
        for (int s = 2; s <= e.nsamples; ++s)
            EXPECT_NEAR(e.ct[s] - e.ct[s - 1], 1.0 / std::log10(eff), 0.01)
                << eff << " sample " << s;
    }
}

// Data declared baseline-corrected skip the baseline step; in the same window
// they give the efficiencies of the raw data with the baseline added. The
// earliest well (Cq 9.6, five cycles of background) gets its baseline to
// 5e-5, which moves its efficiency by up to 0.2 %; the others agree to 0.05 %.
TEST(BaselineNoiseFree, BaselineCorrectedDataGiveTheSameEfficiencies) {
    TEngine raw;
    analyse(raw, dilutionseries(1.9, 2.0));
    TEngine corrected;
    testing::loadSyntheticRun(corrected, dilutionseries(1.9, 0.0));
    corrected.baselinedone = true;  // declared baseline-corrected by the read
    corrected.ProcessDataAfterRead();
    corrected.ApplyLogWindow(0, raw.uplim[0] - raw.lowlim[0], raw.uplim[0]);
    ASSERT_DOUBLE_EQ(corrected.lowlim[0], raw.lowlim[0]);
    for (int s = 1; s <= raw.nsamples; ++s) {
        EXPECT_EQ(corrected.wolstart[s], raw.wolstart[s]) << s;
        EXPECT_EQ(corrected.wolstop[s], raw.wolstop[s]) << s;
        EXPECT_NEAR(corrected.indiveff[s], raw.indiveff[s],
                    (s == 1 ? 2e-3 : 5e-4) * raw.indiveff[s])
            << s;
        EXPECT_NEAR(corrected.ct[s] - corrected.ct[1], raw.ct[s] - raw.ct[1], 0.01) << s;
    }
}

TEST(BaselineScreening, FlatAndNonAmplifyingWellsAreFlaggedAndSkipped) {
    SyntheticRun run = dilutionseries();
    SyntheticWell flat;
    flat.name = "flat";
    flat.amplifies = false;
    flat.baseline = 2.5;
    run.wells.push_back(flat);
    TEngine e;
    analyse(e, run);
    const int s = e.nsamples;
    EXPECT_TRUE(e.noamplif[s]);
    EXPECT_TRUE(e.skipped[s]);
    EXPECT_TRUE(e.noplateau[s]);
    EXPECT_EQ(e.fstart[s], 1);
    EXPECT_EQ(e.fstop[s], e.npoints[s]);
    EXPECT_DOUBLE_EQ(e.bgarr[s], 0.99 * 2.5);
    EXPECT_FALSE(e.usedforwol[s]);
    // The others are unaffected.
    for (int k = 1; k < s; ++k) EXPECT_NEAR(e.bgarr[k], 1.0, 1e-3);
}

TEST(BaselineScreening, CurveStillRisingAtTheEndHasNoPlateau) {
    SyntheticRun run = dilutionseries();
    SyntheticWell late;
    late.name = "late";
    late.n0 = 1e-12;  // N reaches a third of the plateau only at cycle 45
    run.wells.push_back(late);
    TEngine e;
    analyse(e, run);
    const int s = e.nsamples;
    EXPECT_EQ(e.fstop[s], e.npoints[s]);
    EXPECT_TRUE(e.noplateau[s]);
    EXPECT_FALSE(e.usedforwol[s]);
}

TEST(BaselineShortRuns, OnePointAndEightCycleRunsEndWithoutAmplification) {
    for (int ncycles : {1, 2, 8}) {
        SyntheticRun run = dilutionseries();
        run.ncycles = ncycles;
        for (auto& w : run.wells) w.n0 = 0.05;  // rising from the first cycle
        RecordingView view;
        TEngine e(&view);
        analyse(e, run);
        for (int s = 1; s <= e.nsamples; ++s) {
            EXPECT_TRUE(e.noamplif[s] || e.bgerror[s] || e.noplateau[s]) << ncycles << " cycles";
            EXPECT_TRUE(e.skipped[s]);
        }
        EXPECT_NE(std::find(view.messages.begin(), view.messages.end(), "all samples excluded"),
                  view.messages.end());
    }
}

TEST(BaselineGaps, MissingCyclesKeepTheBaseline) {
    const SyntheticRun run = dilutionseries();
    TEngine e;
    testing::loadSyntheticRun(e, run);
    // Cycles 3 and 40 were not measured: drop them from every row.
    for (int s = 1; s <= e.nsamples; ++s) {
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

// Data whose background was already removed (but not declared so) have a
// tiny minimum: the descent runs out of rounds before reaching 0.95 x the
// minimum, the refinement cannot make both halves agree, and the sample is
// a baseline error rather than a sample with a baseline of ~1e-6.
TEST(BaselineDescent, RunningOutOfRoundsIsABaselineError) {
    const SyntheticRun run = dilutionseries(1.9, 0.0);
    TEngine e;
    analyse(e, run);
    for (int s = 1; s <= e.nsamples; ++s) {
        EXPECT_TRUE(e.bgerror[s]) << s;
        EXPECT_TRUE(e.skipped[s]) << s;
    }
}

// A view that tries to start another baseline step, a window change and a
// width change from inside the running step's message pump.
class ReentrantView : public RecordingView {
public:
    TEngine* engine = nullptr;
    int refused = 0, tried = 0;
    bool pumpmessages() override {
        if (engine != nullptr && tried < 3) {
            ++tried;
            if (!engine->BaselineButtonPanelClick()) ++refused;
            if (!engine->SetWoLwidth("6")) ++refused;
            if (!engine->baselineButtonClick()) ++refused;
        }
        return false;
    }
};

TEST(BaselineBusy, CommandsAreRefusedWhileTheStepRuns) {
    ReentrantView view;
    TEngine e(&view);
    testing::loadSyntheticRun(e, dilutionseries());
    e.ProcessDataAfterRead();
    view.engine = &e;
    EXPECT_TRUE(e.BaselineButtonPanelClick());
    EXPECT_EQ(view.tried, 3);
    EXPECT_EQ(view.refused, 9);
    EXPECT_EQ(e.wolpoints, 4);
    EXPECT_FALSE(e.busy());
}

class NoiseView : public RecordingView {
public:
    std::vector<std::string> lines;
    int result = 2;
    int help = 0;
    int noisewarning(const std::vector<std::string>& l) override {
        lines = l;
        return result;
    }
    void Handlingnoise1Click() override { ++help; }
};

TEST(BaselineNoise, NoisyDataSetRaisesTheWarningWithCounts) {
    NoiseView view;
    TEngine e(&view);
    analyse(e, testing::makePlate(48, 1, 0.08, 3));
    int noisy = 0, bgerrors = 0;
    for (int s = 1; s <= e.nsamples; ++s) {
        noisy += e.noisy[s] ? 1 : 0;
        bgerrors += e.bgerror[s] ? 1 : 0;
        if (e.noisy[s]) {
            EXPECT_TRUE(e.skipped[s]);
            EXPECT_EQ(e.noisecheck[s], "noisy");
        }
    }
    ASSERT_GT(noisy, 0);
    ASSERT_EQ(view.lines.size(), 9u);
    EXPECT_EQ(view.lines[0], "Data set is too noisy for automatic processing. ");
    EXPECT_EQ(view.lines[2], "The program found " + std::to_string(noisy) +
                                 "/48 noisy samples and " + std::to_string(bgerrors) +
                                 "/48 samples with baseline errors.");
    EXPECT_EQ(view.lines[8], "See menu: \"Help - handling Noise\" for help on how to proceed.");
    EXPECT_EQ(view.help, 1);  // closed with the help button
    EXPECT_EQ(e.ShowSetCBItems[static_cast<size_t>(e.ShowSetCBItemIndex)], "noisy samples");
}

TEST(BaselineNoise, CleanDataSetPassesAndGetsTheCommonWindow) {
    NoiseView view;
    TEngine e(&view);
    analyse(e, testing::makePlate(48, 1, 0.0, 3));
    EXPECT_TRUE(view.lines.empty());
    for (int s = 1; s <= e.nsamples; ++s) {
        EXPECT_FALSE(e.noisy[s]);
        EXPECT_EQ(e.noisecheck[s], e.skipped[s] ? "excluded" : "OK");
    }
    EXPECT_EQ(e.wolsearch.group, 0);
    EXPECT_FALSE(e.wolsearch.rows.empty());
}

// Point 0 of a sample holds only the placeholder 1e-5: a window that starts
// at point 1 has no measured point before it, and is not judged on the
// placeholder. Two clean exponentials of efficiency 2 from 4e-5 and 2e-5 over
// six cycles, W = 8: U = log10 of the mean end fluorescence 9.6e-4, and
// L = U - 8 log10 2 + 0.0043 = -5.42. Judged on the placeholder, sample 1
// would be noisy: log10 1e-5 = -5 > L, and its "first step" from 1e-5 to
// 4e-5 (0.602) exceeds 1.2 x its last step (0.301).
TEST(BaselineNoise, WindowFromTheFirstPointIsNotJudgedOnThePlaceholder) {
    TEngine e;
    coretest::loadrows(e, {coretest::exponential(2e-5, 2.0, 6), coretest::exponential(1e-5, 2.0, 6)});
    e.ProcessDataAfterRead();
    e.wolpoints = 8;
    e.ApplyLogWindow(0, 8 * std::log10(2.0), std::log10((1.28e-3 + 6.4e-4) / 2));
    ASSERT_EQ(e.wolstart[1], 1);  // the window the check looks at
    EXPECT_FALSE(e.CheckNoisiness());
    EXPECT_EQ(e.noisecheck[1], "OK");
    EXPECT_FALSE(e.noisy[1]);
    EXPECT_FALSE(e.skipped[1]);
}

TEST(BaselineNoise, SilentModeSuppressesAllSamplesExcluded) {
    SyntheticRun run = dilutionseries();
    for (auto& w : run.wells) w.amplifies = false;
    for (bool silent : {false, true}) {
        RecordingView view;
        TEngine e(&view);
        e.silentmode = silent;
        analyse(e, run);
        const bool warned = std::find(view.messages.begin(), view.messages.end(),
                                      "all samples excluded") != view.messages.end();
        EXPECT_EQ(warned, !silent);
        if (silent) {
            EXPECT_TRUE(view.messages.empty());
        }
    }
}

}  // namespace
}  // namespace qurvex
