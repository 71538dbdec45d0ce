// SPDX-License-Identifier: GPL-3.0-or-later
// The alternative baseline routine: the baseline approached from below
// (raised by 1 % from half the mean of the first three raw points until the
// lower half of the log-linear phase rises faster than the upper half), and
// the log-linear phase taken as the W + 1 points before its end.
#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/Engine.h"

namespace qurvex {

namespace {

constexpr int kMaxRounds = 1000;

}  // namespace

// Raises bgarr[s] by 1 % per round while the lower half of the phase
// fstop - W - 1 .. fstop rises no faster than the upper half (Sl <= Su).
// True when it turned (Sl > Su) within 1001 rounds; defbgarr[s] holds the
// baseline of the last round.
bool TEngine::ascendbaseline(int s) {
    double sl = 0, su = 0;
    for (int count = 1; count <= kMaxRounds + 1; ++count) {
        slopedifference(s, true, sl, su);
        defbgarr[s] = bgarr[s];
        if (sl > su) return true;
        bgarr[s] *= 1.01;
        recomputefluor(s, false);
    }
    return false;
}

bool TEngine::baselineZWButtonClick() {
    if (busy() || nsamples < 1) return false;
    BusyGuard guard(*this);
    FitScope search(fitcache);
    baselinereset();

    // Phase 1: screening; the phase starts W + 1 points before its end.
    std::vector<double> minvalue(static_cast<size_t>(nsamples) + 1, 0.0);
    for (int s = 1; s <= nsamples; ++s) {
        int minpoint = 0;
        rawminimum(s, minvalue[s], minpoint);
        screensample(s, minvalue[s], minpoint, true);
        showprogress(s);
    }

    // Phase 2.
    firstcommonwindow();

    // Phase 3: ascent from half the mean of the first three raw points.
    for (int s = 1; s <= nsamples; ++s) {
        if (noamplif[s]) continue;
        const int nfirst = std::min(3, nrawpoints[s]);
        double m = 0;
        for (int p = 1; p <= nfirst; ++p) m += rawfluor[s][p];
        if (nfirst > 0) m /= nfirst;
        bgarr[s] = 0.5 * m;
        recomputefluor(s, false);
        findphase(s, true);
        // An ascent that never turns has found no baseline.
        if (!ascendbaseline(s)) bgerror[s] = 1;
        double su = 0;
        refinebaseline(s, true, su);
        closerefinement(s, su);
    }

    // Phases 4 and 5.
    finalbaselines(minvalue, true);
    baselinethreshold();

    // Phase 6: no Cq-shift test. Phase 7: user exclusions not applied.
    for (int s = 1; s <= nsamples; ++s) ctshifting[s] = 0;
    const double mm = GetMeanMax(0);
    uplim[0] = std::log10(0.1 * mm);
    lowlim[0] = std::log10(0.1 * mm / 16);

    // Phase 8: no noise check.
    for (int s = 1; s <= nsamples; ++s) noisy[s] = 0;
    Set_WoL(0);
    setftvaledit(ftval[0]);
    AssignNoPlateau(0);
    samplenum = 1;
    samplenumChange();
    view->pageneeded(TRunPage::individualsample);
    view->setbusycursor(false);
    return true;
}

}  // namespace qurvex
