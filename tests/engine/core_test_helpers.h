// SPDX-License-Identifier: GPL-3.0-or-later
// Small hand-made runs for the engine's core tests.
#pragma once

#include <cmath>
#include <vector>

#include "engine/Engine.h"

namespace qurvex::coretest {

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
                     e.indiveff[s], e.indivn0[s], e.meancyc[s], e.meanlogfluor[s], e.sampftval[s],
                     e.ftval[s]})
      if (!std::isfinite(v)) return false;
  return std::isfinite(e.logymin) && std::isfinite(e.logymax);
}

}  // namespace qurvex::coretest
