// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/MeanEfficiencyCq.h"

#include <cmath>
#include <cstddef>
#include <vector>

namespace qurvex {

namespace {

double at(const std::vector<double>& values, int k) {
    return static_cast<std::size_t>(k) < values.size() ? values[static_cast<std::size_t>(k)] : 0.0;
}

}  // namespace

void ApplyMeanEfficiencyCq(TRunState& run) {
    for (int k = 1; k <= run.nsamples && static_cast<std::size_t>(k) < run.ct.size(); ++k) {
        const double eff = at(run.sampmeaneff, k);
        if (run.ct[k] > 0.0 && eff > 1.001)
            run.ct[k] = at(run.meancyc, k) +
                        (at(run.sampftval, k) - at(run.meanlogfluor, k)) / std::log10(eff);
        else
            run.ct[k] = 0.0;
    }
}

}  // namespace qurvex
