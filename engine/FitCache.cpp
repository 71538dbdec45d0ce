// SPDX-License-Identifier: GPL-3.0-or-later
// The power memory of the window search.
#include "engine/FitCache.h"

#include <cmath>

namespace qurvex {

// 10^x for an exponent not among the last kPowSlots; it takes the oldest slot.
double TFitCache::pow10miss(double x, std::uint64_t key) {
    const double v = std::pow(10.0, x);
    powkey_[pownext_] = key;
    powval_[pownext_] = v;
    powused_[pownext_] = true;
    pownext_ = (pownext_ + 1) % kPowSlots;
    return v;
}

}  // namespace qurvex
