// SPDX-License-Identifier: GPL-3.0-or-later
// The whole baseline step (screening, iterative baselines, Cq-shift test,
// noise check and the common window of linearity) on synthetic plates of
// 96, 384 and 1536 wells: 45 cycles, four targets in ten-fold dilutions,
// Gaussian noise of 0.5 % of the background, every 24th well flat.
#include <benchmark/benchmark.h>

#include "engine/Engine.h"
#include "tests/engine/support/SyntheticRun.h"

namespace {

using qurvex::TEngine;

void prepared(TEngine& e, const qurvex::testing::SyntheticRun& run) {
    qurvex::testing::loadSyntheticRun(e, run);
    e.ProcessDataAfterRead();
}

void BM_BaselineStep(benchmark::State& state) {
    const auto run = qurvex::testing::makePlate(static_cast<int>(state.range(0)), 4, 0.005, 11);
    for (auto _ : state) {
        state.PauseTiming();
        TEngine e;
        prepared(e, run);
        state.ResumeTiming();
        benchmark::DoNotOptimize(e.BaselineButtonPanelClick());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_BaselineStep)
    ->Arg(96)
    ->Arg(384)
    ->Arg(1536)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

void BM_BaselineStepAlternative(benchmark::State& state) {
    const auto run = qurvex::testing::makePlate(static_cast<int>(state.range(0)), 4, 0.005, 11);
    for (auto _ : state) {
        state.PauseTiming();
        TEngine e;
        e.usebaselinezw = true;
        prepared(e, run);
        state.ResumeTiming();
        benchmark::DoNotOptimize(e.BaselineButtonPanelClick());
    }
}
BENCHMARK(BM_BaselineStepAlternative)->Arg(384)->Unit(benchmark::kMillisecond);

// The common window search alone, after the baselines are determined.
void BM_CommonWindow(benchmark::State& state) {
    const auto run = qurvex::testing::makePlate(static_cast<int>(state.range(0)), 4, 0.005, 11);
    TEngine e;
    prepared(e, run);
    e.BaselineButtonPanelClick();
    for (auto _ : state) e.Set_WoL(0);
}
BENCHMARK(BM_CommonWindow)->Arg(384)->Unit(benchmark::kMillisecond);

}  // namespace
