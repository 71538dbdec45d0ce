// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/engine/support/SyntheticRun.h"

#include <algorithm>
#include <cmath>
#include <random>

#include "engine/Engine.h"

namespace qurvex::testing {

// F(c) = baseline + N / (1 + N / plateau), N = n0 * E^c.
double syntheticFluorescence(const SyntheticWell& well, double cycle) {
    if (!well.amplifies) return well.baseline;
    const double n = well.n0 * std::pow(well.efficiency, cycle);
    return well.baseline + n / (1.0 + n / well.plateau);
}

std::vector<std::vector<double>> syntheticRows(const SyntheticRun& run) {
    std::vector<std::vector<double>> rows;
    if (run.ncycles <= 0) return rows;
    std::mt19937 rng(run.seed);
    std::normal_distribution<double> gauss(0.0, 1.0);
    rows.reserve(run.wells.size());
    for (const SyntheticWell& well : run.wells) {
        std::vector<double> row(static_cast<size_t>(run.ncycles));
        for (int i = 0; i < run.ncycles; ++i) {
            double f = syntheticFluorescence(well, run.firstCycle + i);
            if (well.noiseSd > 0) f += well.noiseSd * gauss(rng);
            row[static_cast<size_t>(i)] = f;
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

void loadSyntheticRun(TEngine& engine, const SyntheticRun& run) {
    const int nsamples = static_cast<int>(run.wells.size());
    const int ncycles = std::max(run.ncycles, 0);
    const auto rows = syntheticRows(run);
    engine.nsamples = nsamples;
    engine.ncycles = ncycles;
    engine.setarraylengths(ncycles, nsamples);
    engine.chemistry = 1;
    engine.inputtype = 1;
    for (int c = 1; c <= ncycles; ++c) engine.headercyc[c] = run.firstCycle + c - 1;
    for (int s = 1; s <= nsamples; ++s) {
        const SyntheticWell& well = run.wells[static_cast<size_t>(s - 1)];
        engine.sampname[s] = well.name;
        engine.ampname[s] = well.target;
        engine.npoints[s] = ncycles;
        for (int p = 1; p <= ncycles; ++p) {
            engine.rawcyc[s][p] = run.firstCycle + p - 1;
            engine.rawfluor[s][p] = rows[static_cast<size_t>(s - 1)][static_cast<size_t>(p - 1)];
        }
    }
}

SyntheticRun makePlate(int wells, int targets, double noiseSd, unsigned seed) {
    SyntheticRun run;
    run.seed = seed;
    wells = std::max(wells, 0);
    targets = std::max(targets, 1);
    const int perTarget = std::max(1, (wells + targets - 1) / targets);
    static const double dilution[6] = {1e-4, 1e-5, 1e-6, 1e-7, 1e-8, 1e-9};
    run.wells.reserve(static_cast<size_t>(wells));
    for (int i = 0; i < wells; ++i) {
        const int t = std::min(i / perTarget, targets - 1);
        SyntheticWell w;
        w.name = "well_" + std::to_string(i + 1);
        w.target = "target_" + std::to_string(t + 1);
        w.n0 = dilution[(i % perTarget) % 6];
        w.efficiency = 1.80 + 0.04 * (t % 5);
        w.baseline = 1.0 + 0.05 * (i % 7);
        w.plateau = 8.0 + (i % 5);
        w.noiseSd = noiseSd;
        w.amplifies = (i % 24) != 23;
        run.wells.push_back(w);
    }
    return run;
}

}  // namespace qurvex::testing
