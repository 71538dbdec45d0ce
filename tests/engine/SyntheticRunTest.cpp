// SPDX-License-Identifier: GPL-3.0-or-later
// The synthetic-curve generator used by the engine tests and benchmarks.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/Engine.h"
#include "tests/engine/support/SyntheticRun.h"

namespace qurvex::testing {
namespace {

TEST(SyntheticRun, ModelLoadAndPlate) {
    SyntheticWell w;
    w.n0 = 1e-3;
    w.efficiency = 2.0;
    w.baseline = 0.5;
    w.plateau = 4.0;
    // c = 10: N = 1.024, F = 0.5 + 1.024 / (1 + 1.024 / 4).
    EXPECT_NEAR(syntheticFluorescence(w, 10), 0.5 + 1.024 / 1.256, 1e-12);
    EXPECT_NEAR(syntheticFluorescence(w, 60), 4.5, 1e-9);  // saturated
    w.amplifies = false;
    EXPECT_EQ(syntheticFluorescence(w, 30), 0.5);

    SyntheticRun run;
    run.ncycles = 5;
    run.firstCycle = 3;
    run.wells.resize(2);
    run.wells[1].amplifies = false;
    TEngine e;
    loadSyntheticRun(e, run);
    EXPECT_EQ(e.headercyc[1], 3);
    EXPECT_EQ(e.rawcyc[2][5], 7);
    EXPECT_EQ(e.rawfluor[2][4], 1.0);
    const double n = 1e-6 * std::pow(1.9, 3);  // cycle 3, plateau 10
    EXPECT_NEAR(e.rawfluor[1][1], 1.0 + n / (1 + n / 10), 1e-15);

    const SyntheticRun plate = makePlate(96, 4, 0.0, 1);
    ASSERT_EQ(plate.wells.size(), 96u);
    EXPECT_EQ(plate.wells[95].target, "target_4");
    EXPECT_FALSE(plate.wells[23].amplifies);
    EXPECT_DOUBLE_EQ(plate.wells[1].n0 / plate.wells[0].n0, 0.1);
}

TEST(SyntheticRun, NoiseIsReproducibleAndOfTheGivenSize) {
    SyntheticRun run;
    run.ncycles = 400;
    SyntheticWell w;
    w.amplifies = false;
    w.noiseSd = 0.1;
    run.wells.assign(5, w);
    const auto a = syntheticRows(run);
    EXPECT_EQ(a, syntheticRows(run));
    double sum = 0, sumsq = 0;
    int n = 0;
    for (const auto& row : a)
        for (double v : row) {
            sum += v - 1.0;
            sumsq += (v - 1.0) * (v - 1.0);
            ++n;
        }
    EXPECT_NEAR(std::sqrt(sumsq / n - (sum / n) * (sum / n)), 0.1, 0.01);
}

}  // namespace
}  // namespace qurvex::testing
