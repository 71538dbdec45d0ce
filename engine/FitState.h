// SPDX-License-Identifier: GPL-3.0-or-later
// Placement and fitting: axes, the limits of every level and the values
// shown for them, each sample's window, regression, Cq and efficiency, and
// the memories of the window search.
// Part of the run state (TRunState, RunState.h).
#pragma once

#include <array>
#include <limits>
#include <string>
#include <vector>

#include "engine/FitCache.h"
#include "engine/RunTypes.h"

namespace qurvex {

struct TFitState {
    int wolpoints = 4;
    double logymin = -2.0;
    double logymax = 2.0;
    double deflogymin = -2.0;
    double deflogymax = 2.0;
    double maxcyc = 0.0;
    double lastmeanx = 0.0;
    double lastmeany = 0.0;
    bool editlock = false;
    bool ftchanged = false;
    bool dragupper = false;
    bool dragging = false;
    int dragline = 0;
    int dragseries = 0;
    std::vector<double> uplim;
    std::vector<double> lowlim;
    std::vector<double> sampftval;
    std::vector<int> woltype;
    std::vector<double> ct;
    std::vector<int> ninclu;
    std::vector<double> slope;
    std::vector<double> intercept;
    std::vector<double> meancyc;
    std::vector<double> meanlogfluor;
    std::vector<double> rval;
    std::vector<double> indiveff;
    std::vector<double> indivn0;
    std::vector<int> wolstart;
    std::vector<int> wolstop;
    std::vector<int> fstart;
    std::vector<int> fstop;
    std::vector<int> fmaxdiff;
    boolarray skipped;
    boolarray usedforwol;
    boolarray emptywol;

    // The value shown for each of the six limits (log10, rounded to 3
    // decimals, or the axis bound it was clamped to), indexed by TLimitEdit,
    // and the fluorescence shown beside it (10^limit rounded to 3 decimals).
    // NaN before any value.
    static constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();

    std::array<double, 6> limitshown{kNoValue, kNoValue, kNoValue, kNoValue, kNoValue, kNoValue};
    std::array<double, 6> fluorshown{kNoValue, kNoValue, kNoValue, kNoValue, kNoValue, kNoValue};

    // The threshold shown (log10, rounded to 3 decimals); NaN before any.
    double ftvalshown = kNoValue;

    // The last log-linear phase found per sample together with the points it
    // was found from: findfstop and findfstart give it back at once while the
    // sample's points (fluor, cyc, npoints), the cycle headers, fstop and the
    // option are unchanged. Window placement recomputes the phase of every
    // sample for every limit it tries, mostly on unchanged points.
    struct TPhaseMemo {
        int n = -1;  // npoints when taken; -1 empty
        std::vector<double> f, c;
        bool stopknown = false;
        int fstop = 0, fmaxdiff = 0;
        bool startknown = false;
        int startoption = 0, startfrom = 0, fstart = 0;
    };

    std::vector<TPhaseMemo> phasememo;
    std::vector<double> phasememoheader;

    // Memory of the window search (see FitCache.h); never part of a result.
    mutable TFitCache fitcache;
};

}  // namespace qurvex
