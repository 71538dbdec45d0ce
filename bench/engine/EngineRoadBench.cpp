// SPDX-License-Identifier: GPL-3.0-or-later
// The whole engine road on synthetic plates: data preparation, baselines,
// amplicon groups from the targets, a window per group, means, N0 and flags.
// Plates from tests/engine/support/SyntheticRun (makePlate, 45 cycles).
#include <benchmark/benchmark.h>

#include <map>
#include <utility>

#include "engine/Engine.h"
#include "tests/engine/support/SyntheticRun.h"

namespace {

using qurvex::TEngine;
using qurvex::testing::SyntheticRun;

constexpr double kNoiseSd = 0.002;  // on a baseline of about 1 and a plateau of 8..12

const SyntheticRun& plate(int wells, int targets) {
    static std::map<std::pair<int, int>, SyntheticRun> cache;
    auto it = cache.find({wells, targets});
    if (it == cache.end())
        it = cache
                 .emplace(std::make_pair(wells, targets),
                          qurvex::testing::makePlate(wells, targets, kNoiseSd, 7))
                 .first;
    return it->second;
}

// An RDML run read into a fresh engine (not timed).
void load(TEngine& e, const SyntheticRun& run) {
    qurvex::testing::loadSyntheticRun(e, run);
    e.fromrdml = true;
    e.silentmode = true;
}

// Read processing, baseline step with groups and group windows, means.
void BM_EngineRoad(benchmark::State& state) {
    const auto& run = plate(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    int groups = 0;
    int noisy = 0;
    for (auto _ : state) {
        state.PauseTiming();
        TEngine e;
        load(e, run);
        state.ResumeTiming();
        e.ProcessDataAfterRead();
        e.BaselineButtonPanelClick();
        e.calc_mean_ButtonClick();
        benchmark::DoNotOptimize(e.meann0.data());
        state.PauseTiming();
        groups = e.ngroups;
        noisy = 0;
        for (int s = 1; s <= e.nsamples; ++s) noisy += e.noisy[s];
        state.ResumeTiming();
    }
    state.counters["groups"] = groups;
    state.counters["noisy"] = noisy;
    state.counters["us_per_well"] = benchmark::Counter(
        static_cast<double>(state.range(0)) * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The stretches of the road one by one, for the profile of the whole:
// stage 0 read processing, 1 baseline step with the common window (no
// groups yet), 2 groups from the targets and a window per group.
void BM_RoadStage(benchmark::State& state) {
    const auto& run = plate(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    const int stage = static_cast<int>(state.range(2));
    for (auto _ : state) {
        state.PauseTiming();
        TEngine e;
        load(e, run);
        e.fromrdml = false;
        if (stage > 0) e.ProcessDataAfterRead();
        if (stage > 1) e.BaselineButtonPanelClick();
        state.ResumeTiming();
        switch (stage) {
            case 0:
                e.ProcessDataAfterRead();
                break;
            case 1:
                e.BaselineButtonPanelClick();
                break;
            default:
                e.GetAmpliconGroupNumbers();
                e.numgroupsEditChange();
                e.SetWolPerGroupButtonClick();
                break;
        }
        benchmark::DoNotOptimize(e.indiveff.data());
    }
}

// Only the grouping and the means of a plate whose windows are set.
void BM_GroupsAndMeans(benchmark::State& state) {
    const auto& run = plate(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    TEngine e;
    load(e, run);
    e.ProcessDataAfterRead();
    e.BaselineButtonPanelClick();
    for (auto _ : state) {
        e.GetAmpliconGroupNumbers();
        e.numgroupsEditChange();
        e.calc_mean_ButtonClick();
        benchmark::DoNotOptimize(e.meann0.data());
    }
    state.counters["groups"] = e.ngroups;
}

void PlateArgs(benchmark::internal::Benchmark* b) {
    for (int wells : {96, 384, 1536})
        for (int targets : {1, 4, 24}) b->Args({wells, targets});
    b->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_EngineRoad)->Apply(PlateArgs);
BENCHMARK(BM_RoadStage)
    ->ArgsProduct({{384}, {1, 24}, {0, 1, 2}})
    ->ArgNames({"wells", "targets", "stage"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GroupsAndMeans)->Apply(PlateArgs)->Unit(benchmark::kMicrosecond);

}  // namespace
