// SPDX-License-Identifier: GPL-3.0-or-later
// The Cq that goes into saved results: each sample's Cq recomputed with the
// mean efficiency of its group, so that the saved Cq and the group's mean
// efficiency agree. Every save road (spreadsheet, RDML) uses this one rule.
#pragma once

#include "engine/RunState.h"

namespace qurvex {

// For every sample k in 1..nsamples: ct[k] := meancyc[k] + (sampftval[k] -
// meanlogfluor[k]) / log10(sampmeaneff[k]) when ct[k] > 0 and
// sampmeaneff[k] > 1.001 (both strict), else 0. A sample with meancyc 10,
// meanlogfluor -1, sampftval -0.7 and sampmeaneff 2 gets
// 10 + 0.3 / log10(2) = 10.9966. Run after the group means. Arrays shorter
// than nsamples + 1 count as zero there; nothing is written past ct's end.
void ApplyMeanEfficiencyCq(TRunState& run);

}  // namespace qurvex
