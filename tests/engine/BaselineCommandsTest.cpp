// SPDX-License-Identifier: GPL-3.0-or-later
// Commands around the baseline step: screening of data declared
// baseline-corrected, resetting a baseline, the Cq-shift test of short
// log-linear phases and the window buttons.
#include <gtest/gtest.h>

#include <cmath>

#include "CoreTestHelpers.h"

namespace qurvex {
namespace {

using namespace coretest;

TEST(BaselineSetWindow, CorrectedDataAreScreenedAndGetTheCommonWindow) {
    SyntheticRun run = dilutionseries(1.9, 0.0);
    SyntheticWell flat;
    flat.baseline = 0.3;
    flat.amplifies = false;
    run.wells.push_back(flat);
    TEngine e;
    readrun(e, run, true);
    e.SetWindow();
    const int s = e.nsamples;
    EXPECT_TRUE(e.noamplif[s] && e.skipped[s] && e.noplateau[s]);
    EXPECT_EQ(e.fstart[s], 1);
    for (int k = 1; k < s; ++k) {
        EXPECT_FALSE(e.noamplif[k] || e.skipped[k]) << k;
        // Noise-free curves vary least near their plateau, where the bend lowers
        // every efficiency by 3-5 %.
        EXPECT_GT(e.indiveff[k], 1.8) << k;
        EXPECT_LT(e.indiveff[k], 1.9) << k;
    }
    EXPECT_EQ(e.wolsearch.group, 0);
}

TEST(BaselineReset, GivesTheSampleItsDeterminedBaselineBack) {
    TEngine e;
    ASSERT_TRUE(analyse(e, dilutionseries()));
    const double eff = e.indiveff[3], determined = e.defbgarr[3];
    e.bgarr[3] = 0.9;  // a manual baseline
    e.manualbg[3] = 1;
    e.recomputefluor(3, true);
    e.samplenum = 3;
    e.ResetDefaultbaselineButtonClick();
    EXPECT_EQ(e.bgarr[3], determined);
    EXPECT_FALSE(e.manualbg[3]);
    EXPECT_NEAR(e.indiveff[3], eff, 1e-12);
}

// A baseline-error sample whose baseline was accepted by hand: "reset
// default" gives the acceptance up before the refit, so the sample reports
// no fit (efficiency 1, no Cq, no N0) and is skipped.
TEST(BaselineReset, BaselineErrorSampleReportsNoFitAfterTheReset) {
    TEngine e;
    ASSERT_TRUE(analyse(e, dilutionseries()));
    e.bgerror[3] = 1;
    e.manualbg[3] = 1;
    e.skipped[3] = 0;
    e.samplenum = 3;
    e.do_cascade(false, 3, 1);
    ASSERT_GT(e.indiveff[3], 1.5);  // accepted by hand: fitted
    e.ResetDefaultbaselineButtonClick();
    EXPECT_FALSE(e.manualbg[3]);
    EXPECT_TRUE(e.skipped[3]);
    EXPECT_EQ(e.indiveff[3], 1.0);
    EXPECT_EQ(e.ct[3], 0.0);
    EXPECT_EQ(e.indivn0[3], -999.0);
}

// Wells with a short log-linear phase (a low plateau reached from a high
// start) are refitted at the baseline +-5 % (+-2 % relaxed): a Cq shift above
// one cycle is a baseline error. The shift is nearly linear in the change of
// the baseline, so 5 % gives about 0.05 / 0.02 = 2.5 times the relaxed shift.
TEST(BaselineCqShift, ShortPhasesAreTestedAtFiveAndTwoPercent) {
    SyntheticRun run = dilutionseries();
    const struct {
        double efficiency, plateau;
    } shortwells[] = {{1.9, 3}, {1.3, 3}, {1.4, 1}, {1.6, 3}};
    for (const auto& w : shortwells) {
        SyntheticWell well;
        well.n0 = 0.03;
        well.efficiency = w.efficiency;
        well.plateau = w.plateau;
        run.wells.push_back(well);
    }
    std::vector<double> shift[2];
    for (int relax : {0, 1}) {
        SCOPED_TRACE(relax);
        TEngine e;
        readrun(e, run);
        e.options.RelaxCtShiftRG = relax;
        ASSERT_TRUE(e.BaselineButtonPanelClick());
        int shifting = 0;
        for (int s = 1; s <= e.nsamples; ++s) {
            SCOPED_TRACE(s);
            shift[relax].push_back(e.ctshift[s]);
            if (s <= 6) {  // the dilution series: long phases, not tested
                EXPECT_FALSE(e.shortloglin[s]);
                EXPECT_EQ(e.ctshift[s], 0.0);
                continue;
            }
            ASSERT_TRUE(e.shortloglin[s] && !e.noamplif[s]);
            EXPECT_GT(e.ctshift[s], 0.1);
            EXPECT_EQ(static_cast<bool>(e.ctshifting[s]), e.ctshift[s] > 1.0);
            EXPECT_EQ(static_cast<bool>(e.skipped[s]), e.ctshift[s] > 1.0);
            EXPECT_EQ(static_cast<bool>(e.bgerror[s]), e.ctshift[s] > 1.0);
            shifting += e.ctshifting[s];
        }
        EXPECT_EQ(shifting, relax ? 0 : 2);
    }
    for (std::size_t s = 6; s < shift[0].size(); ++s) {
        EXPECT_GT(shift[0][s] / shift[1][s], 2.0) << s;
        EXPECT_LT(shift[0][s] / shift[1][s], 3.0) << s;
    }
}

TEST(WindowButtons, RecalculateRestoresTheWindowAndBadGroupIsRefused) {
    RecordingView view;
    TEngine e(&view);
    ASSERT_TRUE(analyse(e, dilutionseries()));
    const double up = e.uplim[0];
    e.uplim[0] = up - 0.5;  // moved by hand
    e.samplenum = 2;
    e.RecalculateWoLButtonClick();
    EXPECT_EQ(e.uplim[0], up);
    e.options.setwolgroupEdit = std::nullopt;  // "x1" typed
    view.messages.clear();
    e.Set_WoL_ButtonClick();
    EXPECT_EQ(view.messages.size(), 1u);
}

}  // namespace
}  // namespace qurvex
