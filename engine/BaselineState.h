// SPDX-License-Identifier: GPL-3.0-or-later
// Baselines and their quality flags, the noise check, the Cq-shift test and
// the search table of the last window search.
// Part of the run state (TRunState, RunState.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/RunTypes.h"

namespace qurvex {

struct TBaselineState {
    bool baselinedone = false;
    bool bgtrendset = false;
    std::vector<double> bgarr;
    std::vector<double> bgslope;
    std::vector<double> defbgarr;
    std::vector<double> ctshift;

    // quality flags
    boolarray noamplif;
    boolarray bgerror;
    boolarray noplateau;
    boolarray noisy;
    boolarray manualbg;
    boolarray shortloglin;
    boolarray ctshifting;

    // One evaluated position of the window search of Set_WoL: position k, the
    // upper limit, the band width (log10), the mean efficiency and the
    // coefficient of variation of the efficiencies there.
    struct TWoLSearchRow {
        int k = 0;
        double uplim = 0.0;
        double foldwidth = 0.0;
        double meaneff = 0.0;
        double cv = 0.0;
    };

    // The search table of the last Set_WoL ("StringGrid1"): evaluated rows in
    // order, and the chosen position ("min smooth var": best, its upper limit,
    // width and cv). group is -1 before any search; skipped when the group had
    // no usable samples (rows then empty).
    struct TWoLSearch {
        int group = -1;
        bool skipped = false;
        std::vector<TWoLSearchRow> rows;
        int finalk = 0;  // k at which the search ended (closing row at k + 3)
        int best = 0;
        double bestuplim = 0.0;
        double bestfoldwidth = 0.0;
        double bestcv = 0.0;
    };

    TWoLSearch wolsearch;

    // Result of the last noise check per sample; unchecked before a check.
    // nsamples + 1.
    enum class TNoiseCheck : std::uint8_t { unchecked, excluded, noisy, ok };
    std::vector<TNoiseCheck> noisecheck;

    // Cq at the determined baseline after the Cq-shift test of the baseline
    // step ("StringGrid6" column 5), per sample; 0 when not tested.
    std::vector<double> ctshiftct;
};

}  // namespace qurvex
