// SPDX-License-Identifier: GPL-3.0-or-later
// Commands around the baseline step: screening of data declared
// baseline-corrected, the reset of one sample's baseline, the Cq-shift test
// of short log-linear phases, and the window buttons.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "engine/Engine.h"
#include "engine/RecordingView.h"
#include "tests/engine/support/SyntheticRun.h"

namespace qurvex {
namespace {

using testing::SyntheticRun;
using testing::SyntheticWell;

SyntheticRun series(double baseline) {
    SyntheticRun run;
    double n0 = 1e-4;
    for (int i = 0; i < 6; ++i, n0 /= 10) {
        SyntheticWell w;
        w.n0 = n0;
        w.baseline = baseline;
        run.wells.push_back(w);
    }
    return run;
}

TEST(BaselineSetWindow, CorrectedDataAreScreenedAndGetTheCommonWindow) {
    SyntheticRun run = series(0.0);
    SyntheticWell flat;
    flat.baseline = 0.3;
    flat.amplifies = false;
    run.wells.push_back(flat);
    TEngine e;
    testing::loadSyntheticRun(e, run);
    e.baselinedone = true;
    e.ProcessDataAfterRead();
    e.SetWindow();
    const int s = e.nsamples;
    EXPECT_TRUE(e.noamplif[s] && e.skipped[s] && e.noplateau[s]);
    EXPECT_EQ(e.fstart[s], 1);
    for (int k = 1; k < s; ++k) {
        EXPECT_FALSE(e.noamplif[k] || e.skipped[k]) << k;
        // Noise-free curves vary least near their plateau, so the search (which
        // looks no further down than the position of largest variance) keeps the
        // window at the top, where the bend lowers every efficiency by 3-5 %.
        EXPECT_GT(e.indiveff[k], 1.8) << k;
        EXPECT_LT(e.indiveff[k], 1.9) << k;
    }
    EXPECT_EQ(e.wolsearch.group, 0);
    EXPECT_EQ(e.ftvaledittext, roundedtext(e.ftval[0], 3));
}

TEST(BaselineReset, GivesTheSampleItsDeterminedBaselineBack) {
    TEngine e;
    testing::loadSyntheticRun(e, series(1.0));
    e.ProcessDataAfterRead();
    ASSERT_TRUE(e.BaselineButtonPanelClick());
    const double eff = e.indiveff[3];
    const double determined = e.defbgarr[3];
    e.bgarr[3] = 0.9;  // a manual baseline
    e.manualbg[3] = 1;
    e.recomputefluor(3, true);
    e.samplenum = 3;
    e.ResetDefaultbaselineButtonClick();
    EXPECT_EQ(e.bgarr[3], determined);
    EXPECT_FALSE(e.manualbg[3]);
    EXPECT_NEAR(e.indiveff[3], eff, 1e-12);
    e.samplenum = 0;  // no current sample: nothing happens
    e.ResetDefaultbaselineButtonClick();
}

// Wells that start their rise within the first cycles have a short
// log-linear phase; for them the Cq is refitted at the baseline +-5 % and a
// shift of more than one cycle makes a baseline error.
TEST(BaselineCqShift, ShortPhasesAreTestedAtFivePercent) {
    SyntheticRun run = series(1.0);
    for (double n0 : {0.05, 0.1, 0.3}) {
        SyntheticWell early;
        early.n0 = n0;
        run.wells.push_back(early);
    }
    TEngine e;
    testing::loadSyntheticRun(e, run);
    e.ProcessDataAfterRead();
    ASSERT_TRUE(e.BaselineButtonPanelClick());
    int tested = 0;
    for (int s = 1; s <= e.nsamples; ++s) {
        if (e.shortloglin[s] && !e.noamplif[s]) {
            ++tested;
            EXPECT_GE(e.ctshift[s], 0.0) << s;
            EXPECT_EQ(static_cast<bool>(e.ctshifting[s]), e.ctshift[s] > 1.0) << s;
            if (e.ctshifting[s]) {
                EXPECT_TRUE(e.bgerror[s] && e.skipped[s]) << s;
            }
        } else {
            EXPECT_EQ(e.ctshift[s], 0.0) << s;
            EXPECT_FALSE(e.ctshifting[s]) << s;
        }
    }
    EXPECT_GT(tested, 0);
    for (int s = 1; s <= 6; ++s) EXPECT_FALSE(e.shortloglin[s]) << s;
}

TEST(WindowButtons, RecalculateAndStepThroughTheCurrentGroup) {
    RecordingView view;
    TEngine e(&view);
    testing::loadSyntheticRun(e, series(1.0));
    e.ProcessDataAfterRead();
    ASSERT_TRUE(e.BaselineButtonPanelClick());
    const double up = e.uplim[0];
    e.uplim[0] = up - 0.5;  // moved by hand
    e.samplenum = 2;
    e.ShowSetCBItemIndex = 3;
    e.RecalculateWoLButtonClick();
    EXPECT_EQ(e.uplim[0], up);
    EXPECT_EQ(e.ShowSetCBItemIndex, 0);
    e.options.setwolgroupEdit = "x1";
    view.messages.clear();
    e.Set_WoL_ButtonClick();
    EXPECT_EQ(view.messages.size(), 1u);
    e.options.setwolgroupEdit = "0";
    e.Set_WoL_ButtonClick();
    EXPECT_EQ(e.uplim[0], up);
}

}  // namespace
}  // namespace qurvex
