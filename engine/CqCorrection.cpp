// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/CqCorrection.h"

#include <cmath>

namespace qurvex {

bool CqCorrNeeded(int chemistry) { return chemistry == 3 || chemistry == 5 || chemistry == 6; }

double GetCtCorrection(const TRunState& run, int sample) {
    if (sample < 1 || sample > run.nsamples) return 0.0;
    const auto k = static_cast<std::size_t>(sample);
    if (k >= run.ct.size() || k >= run.sampmeaneff.size()) return 0.0;
    const double cq = run.ct[k];
    if (!(cq >= 0.01)) return 0.0;
    const double base = CqCorrNeeded(run.chemistry) ? -1.0 : 0.0;
    double extra = 0.0;
    const double e = run.sampmeaneff[k];
    if (run.chemistry == 6 && e > 1.001 && std::isfinite(e))
        extra = std::log(1.0 / (1.0 - 1.0 / e)) / std::log(e);
    return base + extra;
}

}  // namespace qurvex
