// SPDX-License-Identifier: GPL-3.0-or-later
// A baseline set by hand for one sample (dragging its baseline line, or
// accepting the determined one with "ignore error").
#include <algorithm>
#include <cmath>

#include "engine/Engine.h"

namespace qurvex {

namespace {

// Fewest valid points with which the log-linear phase search still works.
constexpr int kMinValidPoints = 5;

}  // namespace

int TEngine::validpointsabove(int s, double baseline) const {
    if (s < 1 || s > nsamples || !std::isfinite(baseline)) return 0;
    const auto& R = rawfluor[static_cast<std::size_t>(s)];
    const int n = std::min(nrawpoints[static_cast<std::size_t>(s)], static_cast<int>(R.size()) - 1);
    int valid = 0;
    for (int p = 1; p <= n; ++p) {
        const double f = R[static_cast<std::size_t>(p)] - baseline;
        if (std::isfinite(f) && f > 1e-8) ++valid;
    }
    return valid;
}

bool TEngine::ApplyManualBaseline(int s, double baseline) {
    if (s < 1 || s > nsamples) return false;
    if (!std::isfinite(baseline)) {
        view->showmessage(TMessageKind::error, "the baseline is not a valid number");
        return false;
    }
    if (validpointsabove(s, baseline) < kMinValidPoints) {
        view->showmessage(TMessageKind::warning,
                          "this baseline leaves fewer than 5 valid points: it was not applied");
        return false;
    }
    const std::size_t i = static_cast<std::size_t>(s);
    bgarr[i] = baseline;
    recomputefluor(s, true);
    findfstop(s);
    findfstart(s);
    resetaxes();

    switch (woltype[i]) {
        case 1: {
            const int g = ampgroup[i];
            if (g >= 0 && g < static_cast<int>(gruplim.size())) {
                uplim[i] = gruplim[static_cast<std::size_t>(g)];
                lowlim[i] = grlowlim[static_cast<std::size_t>(g)];
            }
            break;
        }
        case 2:
            fitsample(s);
            break;
        default: {
            uplim[i] = uplim[0];
            lowlim[i] = lowlim[0];
            woltype[i] = 0;
            const bool lock = editlock;
            editlock = true;
            setlimitedit(TLimitEdit::iuplimedit, uplim[i]);
            setlimitedit(TLimitEdit::ilowlimedit, lowlim[i]);
            editlock = lock;
            break;
        }
    }
    FindPointAtLimit(s, "both");

    manualbg[i] = 1;
    skipped[i] = noamplif[i];
    // Short log-linear phase: less than 20-fold rise from its start to its end.
    const int n = npoints[i];
    const int a = std::clamp(fstart[i], 1, n), b = std::clamp(fstop[i], 1, n);
    const auto& F = fluor[i];
    shortloglin[i] = F[static_cast<std::size_t>(a)] > 0.0 &&
                     F[static_cast<std::size_t>(b)] / F[static_cast<std::size_t>(a)] < 20.0;
    // The window stays within the valid points.
    wolstart[i] = std::clamp(wolstart[i], 1, n);
    wolstop[i] = std::clamp(wolstop[i], wolstart[i], n);
    do_cascade(false, s, 1);
    return true;
}

}  // namespace qurvex
