// SPDX-License-Identifier: GPL-3.0-or-later
// The baseline step and window commands on awkward runs (random, constant,
// negative, zero and tiny values, rows of different lengths) must finish, stay
// inside every row (the sanitizer build checks) and leave the engine idle.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>

#include "CoreTestHelpers.h"

namespace qurvex {
namespace {

void awkwardrun(TEngine& e, int nsamples, int ncycles, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    const std::function<double(int)> kinds[6] = {
        [&](int) { return u(rng); },  // noise
        [](int) { return 3.0; },      // constant
        [&](int p) { return 1.0 + std::pow(2.0, p - 20.0) + 0.01 * u(rng); },
        [](int p) { return p % 3 == 0 ? 0.0 : 1e-9 * p; },  // zeros and tiny
        [&](int p) { return 1.0 + 5.0 / (1 + std::exp(-(p - 15.0))) + 0.2 * u(rng); },
        [](int p) { return 100.0 - p; }};  // falling
    std::vector<std::vector<double>> rows;
    for (int s = 1; s <= nsamples; ++s) {
        const int n = static_cast<int>(u(rng) * (ncycles + 1));  // 0..ncycles points
        rows.emplace_back();
        for (int p = 1; p <= n; ++p) rows.back().push_back(kinds[s % 6](p));
    }
    coretest::loadrows(e, rows);
}

TEST(BaselineRobustness, AwkwardRunsFinishInBothRoutines) {
    for (unsigned seed = 1; seed <= 6; ++seed)
        for (bool zw : {false, true}) {
            SCOPED_TRACE("seed " + std::to_string(seed) + (zw ? " zw" : ""));
            RecordingView view;
            TEngine e(&view);
            e.usebaselinezw = zw;
            e.options.BaselineStrictnessRG = static_cast<int>(seed % 3);
            awkwardrun(e, 12, 30, seed);
            e.ProcessDataAfterRead();
            ASSERT_TRUE(e.BaselineButtonPanelClick());
            EXPECT_FALSE(e.busy());
            for (int s = 1; s <= e.nsamples; ++s) {
                EXPECT_LE(e.npoints[s], e.nrawpoints[s]);
                if (e.noamplif[s] || e.bgerror[s]) {
                    EXPECT_TRUE(e.skipped[s]) << s;
                }
            }
            e.Set_WoL(0);
            e.RecalculateWoLButtonClick();
            EXPECT_TRUE(e.SetWoLwidth("3"));
            e.SetWindow();
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
