// SPDX-License-Identifier: GPL-3.0-or-later
// Small hand-made and synthetic runs shared by the engine's tests.
#pragma once

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "engine/Engine.h"
#include "engine/RecordingView.h"
#include "tests/engine/support/SyntheticRun.h"

namespace qurvex::coretest {

using testing::SyntheticRun;
using testing::SyntheticWell;

// Loads rows of raw fluorescence (one row per sample, cycles 1, 2, ...) the
// way a reader does; rows may be shorter than the longest (npoints follows).
inline void loadrows(TEngine& e, const std::vector<std::vector<double>>& rows) {
    int ncycles = 0;
    for (const auto& r : rows) ncycles = std::max(ncycles, static_cast<int>(r.size()));
    const int nsamples = static_cast<int>(rows.size());
    e.setarraylengths(ncycles, nsamples);
    for (int c = 1; c <= ncycles; ++c) e.headercyc[c] = c;
    for (int s = 1; s <= nsamples; ++s) {
        const auto& r = rows[static_cast<std::size_t>(s - 1)];
        e.sampname[s] = std::string("s").append(std::to_string(s));
        e.ampname[s] = "not_named";
        e.npoints[s] = static_cast<int>(r.size());
        for (int p = 1; p <= e.npoints[s]; ++p) {
            e.rawcyc[s][p] = p;
            e.rawfluor[s][p] = r[static_cast<std::size_t>(p - 1)];
        }
    }
}

// loadrows followed by the preparation a read ends with.
inline TEngine& prepared(TEngine& e, const std::vector<std::vector<double>>& rows) {
    loadrows(e, rows);
    e.ProcessDataAfterRead();
    return e;
}

// F(c) = a * eff^c for c = 1..n: log10 F is exactly linear in c with slope
// log10(eff) and intercept log10(a).
inline std::vector<double> exponential(double a, double eff, int n) {
    std::vector<double> r;
    for (int c = 1; c <= n; ++c) r.push_back(a * std::pow(eff, c));
    return r;
}

// True when every per-sample result of the run is a finite number.
inline bool allfinite(const TEngine& e) {
    for (int s = 0; s <= e.nsamples; ++s)
        for (double v : {e.uplim[s], e.lowlim[s], e.slope[s], e.intercept[s], e.rval[s], e.ct[s],
                         e.indiveff[s], e.indivn0[s], e.meancyc[s], e.meanlogfluor[s],
                         e.sampftval[s], e.ftval[s]})
            if (!std::isfinite(v)) return false;
    return std::isfinite(e.logymin) && std::isfinite(e.logymax);
}

inline bool hasmessage(const RecordingView& v, const std::string& text) {
    return std::find(v.messages.begin(), v.messages.end(), text) != v.messages.end();
}

// A ten-fold dilution series of six noise-free wells (n0 1e-4 .. 1e-9),
// plateau 10, 45 cycles.
inline SyntheticRun dilutionseries(double efficiency = 1.9, double baseline = 1.0) {
    SyntheticRun run;
    double n0 = 1e-4;
    for (int i = 0; i < 6; ++i, n0 /= 10) {
        SyntheticWell w;
        w.name = "dil" + std::to_string(i + 1);
        w.target = "gene";
        w.n0 = n0;
        w.efficiency = efficiency;
        w.baseline = baseline;
        run.wells.push_back(w);
    }
    return run;
}

// Reads the run as a reader would; `corrected` declares it baseline-corrected.
inline void readrun(TEngine& e, const SyntheticRun& run, bool corrected = false) {
    testing::loadSyntheticRun(e, run);
    e.baselinedone = corrected;
    e.ProcessDataAfterRead();
}

// Reads the run and runs the baseline step; false when the step refused.
inline bool analyse(TEngine& e, const SyntheticRun& run) {
    readrun(e, run);
    return e.BaselineButtonPanelClick();
}

inline double limitshown(const TEngine& e, TLimitEdit edit) {
    return e.limitshown[static_cast<std::size_t>(edit)];
}
inline double fluorshown(const TEngine& e, TLimitEdit edit) {
    return e.fluorshown[static_cast<std::size_t>(edit)];
}

// The flags of samples 1..n as a 0/1 vector.
template <typename T>
std::vector<int> flags(const std::vector<T>& v) {
    std::vector<int> r;
    for (std::size_t i = 1; i < v.size(); ++i) r.push_back(v[i] != 0);
    return r;
}

}  // namespace qurvex::coretest
