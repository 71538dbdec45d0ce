// SPDX-License-Identifier: GPL-3.0-or-later
// The baseline step and the window commands on awkward runs: random rows,
// rows of different lengths, constant, negative, zero and tiny values. They
// must finish, stay inside every row (the sanitizer build checks) and leave
// the engine idle.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "engine/Engine.h"
#include "engine/RecordingView.h"

namespace qurvex {
namespace {

// nsamples rows of up to ncycles points of the given kinds.
void awkwardrun(TEngine& e, int nsamples, int ncycles, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    e.setarraylengths(ncycles, nsamples);
    for (int c = 1; c <= ncycles; ++c) e.headercyc[c] = c;
    for (int s = 1; s <= nsamples; ++s) {
        const int n = static_cast<int>(u(rng) * (ncycles + 1));  // 0..ncycles points
        e.npoints[s] = n;
        const int kind = s % 6;
        for (int p = 1; p <= n; ++p) {
            e.rawcyc[s][p] = p;
            double v = 0;
            switch (kind) {
                case 0:
                    v = u(rng);
                    break;  // pure noise
                case 1:
                    v = 3.0;
                    break;  // constant
                case 2:
                    v = 1.0 + std::pow(2.0, p - 20.0) + 0.01 * u(rng);
                    break;  // rising
                case 3:
                    v = (p % 3 == 0) ? 0.0 : 1e-9 * p;
                    break;  // zeros and tiny
                case 4:
                    v = 1.0 + 5.0 / (1 + std::exp(-(p - 15.0))) + 0.2 * u(rng);
                    break;
                default:
                    v = 100.0 - p;
                    break;  // falling
            }
            e.rawfluor[s][p] = v;
        }
    }
}

TEST(BaselineRobustness, AwkwardRunsFinishInBothRoutines) {
    for (unsigned seed = 1; seed <= 6; ++seed) {
        for (bool zw : {false, true}) {
            RecordingView view;
            TEngine e(&view);
            e.usebaselinezw = zw;
            e.options.BaselineStrictnessRG = static_cast<int>(seed % 3);
            awkwardrun(e, 12, 30, seed);
            e.ProcessDataAfterRead();
            ASSERT_TRUE(e.BaselineButtonPanelClick());
            EXPECT_FALSE(e.busy());
            for (int s = 1; s <= e.nsamples; ++s) {
                EXPECT_GE(e.npoints[s], 0);
                EXPECT_LE(e.npoints[s], e.nrawpoints[s]);
                if (e.noamplif[s] || e.bgerror[s]) {
                    EXPECT_TRUE(e.skipped[s]) << "seed " << seed << " sample " << s;
                }
            }
            e.Set_WoL(0);
            e.RecalculateWoLButtonClick();
            EXPECT_TRUE(e.SetWoLwidth("3"));
            e.SetWindow();
        }
    }
}

TEST(BaselineRobustness, EmptyRunIsRefused) {
    TEngine e;
    EXPECT_FALSE(e.BaselineButtonPanelClick());
    EXPECT_FALSE(e.baselineButtonClick());
    EXPECT_FALSE(e.baselineZWButtonClick());
    e.Set_WoL(0);
    e.SetWolPerGroupButtonClick();
    e.RecalculateWoLButtonClick();
    EXPECT_EQ(e.GetMeanEff(0), 1.0);
}

}  // namespace
}  // namespace qurvex
