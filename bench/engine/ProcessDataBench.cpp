// SPDX-License-Identifier: GPL-3.0-or-later
// Time of the back end of a read (ProcessDataAfterRead) on synthetic plates
// of 96, 384 and 1536 wells, 45 cycles, 4 targets, noise sd 0.01 (generator
// tests/engine/support/SyntheticRun, seed 7). The "per_sample" counter is
// the time per well; the complexity fit checks that it grows as O(N).
#include <benchmark/benchmark.h>

#include "engine/Engine.h"
#include "tests/engine/support/SyntheticRun.h"

namespace {

void BM_ProcessDataAfterRead(benchmark::State& state) {
    const int wells = static_cast<int>(state.range(0));
    qurvex::TEngine engine;
    qurvex::testing::loadSyntheticRun(engine, qurvex::testing::makePlate(wells, 4, 0.01, 7));
    // Every pass recomputes the whole preparation from the raw data.
    for (auto _ : state) {
        engine.ProcessDataAfterRead();
        benchmark::DoNotOptimize(engine.ct.data());
    }
    state.SetComplexityN(wells);
    state.counters["per_sample"] = benchmark::Counter(
        static_cast<double>(wells),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_ProcessDataAfterRead)
    ->Arg(96)
    ->Arg(384)
    ->Arg(1536)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace
