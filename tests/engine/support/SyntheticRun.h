// SPDX-License-Identifier: GPL-3.0-or-later
// Synthetic amplification curves for engine tests and benchmarks.
//
// Curve model (noise free), for cycle number c:
//   N(c) = n0 * E^c
//   F(c) = baseline + N(c) / (1 + N(c) / plateau)
// so log10(F - baseline) rises by log10(E) per cycle while N << plateau and
// saturates at baseline + plateau. Gaussian noise with sd noiseSd is added to
// every point when noiseSd > 0 (deterministic for a given seed).
#pragma once

#include <string>
#include <vector>

namespace qurvex {
class TEngine;
}

namespace qurvex::testing {

struct SyntheticWell {
    std::string name;         // sample name
    std::string target;       // amplicon / target name
    double n0 = 1e-6;         // starting quantity (fluorescence units at cycle 0)
    double efficiency = 1.9;  // amplification per cycle (1 < E <= 2)
    double baseline = 1.0;    // constant background added to every point
    double plateau = 10.0;    // saturation level above baseline
    double noiseSd = 0.0;     // Gaussian noise sd added to every point
    bool amplifies = true;    // false: baseline + noise only
};

struct SyntheticRun {
    int ncycles = 45;
    double firstCycle = 1;
    std::vector<SyntheticWell> wells;
    unsigned seed = 1;
};

// Noise-free fluorescence of one well at cycle c (the model above; the
// baseline alone when the well does not amplify).
double syntheticFluorescence(const SyntheticWell& well, double cycle);

// The raw fluorescence rows the run produces, [well][cycle index 0..ncycles-1],
// noise included. Empty when the run has no wells or no cycles.
std::vector<std::vector<double>> syntheticRows(const SyntheticRun& run);

// Loads the run into the engine the way a reader does (counts,
// setarraylengths, names, targets, headercyc, rawcyc, rawfluor, npoints,
// chemistry 1, input type 1), without calling ProcessDataAfterRead.
// Cycle numbers are firstCycle, firstCycle + 1, ... An empty run gives
// nsamples = 0.
void loadSyntheticRun(TEngine& engine, const SyntheticRun& run);

// A plate of `wells` wells (96, 384, 1536 or any count >= 1) with `targets`
// targets (at least 1). Wells are assigned to targets in blocks; within a
// target the starting quantities form a ten-fold dilution series of six
// levels (1e-4 .. 1e-9), efficiencies are 1.80 + 0.04 * (target % 5),
// baselines 1.0 + 0.05 * (well % 7), plateaus 8 + (well % 5). Every 24th
// well (the last of each block of 24) does not amplify.
SyntheticRun makePlate(int wells, int targets, double noiseSd, unsigned seed);

}  // namespace qurvex::testing
