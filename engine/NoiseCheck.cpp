// SPDX-License-Identifier: GPL-3.0-or-later
// Noise check of a data set after the baseline step: in a window set W mean
// amplification steps under the mean end of the log-linear phases, a sample
// whose window starts at a point that is already above the expected start of
// the band, without a clean rise into it, is noisy.
#include <cmath>

#include "engine/Engine.h"

namespace qurvex {

// A sample is noisy when, with a = first log step into its window and b =
// last log step of its window, log10 F[ws-1] > L, not (F[ws-1] < F[ws] and
// 1.2 b > a), and the cycle step into the window is at most 1.2.
bool TEngine::CheckNoisiness() {
    BusyGuard guard(*this);
    FitScope search(fitcache);
    noisecheck.assign(static_cast<size_t>(nsamples) + 1, TNoiseCheck::unchecked);
    const int w = wolpoints;
    double u = GetMeanFluStop(0);
    bool allexcluded = u <= 0;
    if (!allexcluded) u = std::log10(u);
    double e = 1.0;
    if (!allexcluded) {
        ApplyLogWindow(0, w * GetLogStepStop(0), u);
        e = GetMeanEff(0);
        pumpmessages();
        if (e < 1.001) allexcluded = true;
    }
    bool found = false;
    if (!allexcluded) {
        const double f = w * std::log10(e);
        ApplyLogWindow(0, f, u);
        const double l = u - f + 0.0043;
        for (int s = 1; s <= nsamples; ++s) {
            if (skipped[s]) {
                noisecheck[s] = TNoiseCheck::excluded;
                continue;
            }
            const int ws = wolstart[s];
            const int we = wolstop[s];
            const auto& F = fluor[s];
            const auto& C = cyc[s];
            bool isnoisy = false;
            // The test needs the point before the window and a window of at least
            // one step inside the valid points.
            if (ws >= 2 && we >= 2 && ws <= npoints[s] && we <= npoints[s]) {
                const double a = std::log10(F[ws]) - std::log10(F[ws - 1]);
                const double b = std::log10(F[we]) - std::log10(F[we - 1]);
                isnoisy = std::log10(F[ws - 1]) > l && !(F[ws - 1] < F[ws] && 1.2 * b > a) &&
                          C[ws] - C[ws - 1] <= 1.2;
            }
            if (isnoisy) {
                noisecheck[s] = TNoiseCheck::noisy;
                noisy[s] = 1;
                skipped[s] = 1;
                found = true;
            } else {
                noisecheck[s] = TNoiseCheck::ok;
                noisy[s] = 0;
            }
        }
        view->tablechanged(TRunTable::noisecheck, 0);
        if (found) {
            defuplim[0] = u;
            deflowlim[0] = u - f;
            // Half the fluorescence the common upper edit shows.
            ftval[0] = ftvalfromupperedit(TLimitEdit::cuplimedit);
            AssignFtVal(1, nsamples);
        }
        Set_WoL(0);
    }
    if (allexcluded && !silentmode)
        view->showmessage(TMessageKind::warning, "all samples excluded");
    return found;
}

}  // namespace qurvex
