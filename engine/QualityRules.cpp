// SPDX-License-Identifier: GPL-3.0-or-later
// Quality rules outside the group statistics: the plateau check, user
// exclusion of a sample, and the efficiency-outlier subset display.
#include <algorithm>
#include <cmath>
#include <string>

#include "engine/Engine.h"

namespace qurvex {

namespace {

// A sample has no plateau when its last point lies less than this factor
// below the value its exponential phase extrapolates to.
constexpr double kPlateauFactor = 5.0;

}  // namespace

// expected = N0 * E^(cycle of the last valid point); no plateau when
// expected / observed < 5. Samples without a fit (no window, E <= 1.001, no
// points) cannot be judged and are left as they are.
void TEngine::AssignNoPlateau(int g) {
    bool anyflagged = false;
    for (int s = 1; s <= nsamples; ++s) {
        if (g != 0 && ampgroup[s] != g) continue;
        if (noamplif[s] || bgerror[s] || noplateau[s]) continue;
        if (emptywol[s] || !(indiveff[s] > 1.001) || npoints[s] < 1) continue;
        const int last = npoints[s];
        const double observed = fluor[s][last];
        const double expected = indivn0[s] * std::pow(indiveff[s], cyc[s][last]);
        if (observed > 0 && expected / observed < kPlateauFactor) {
            noplateau[s] = true;
            anyflagged = true;
        }
    }
    if (!anyflagged) return;
    Set_WoL(g);
    if (g >= 0 && g < static_cast<int>(ftval.size())) setftvaledit(ftval[g]);
}

void TEngine::AssignNoPlateauButtonClick() { AssignNoPlateau(0); }

void TEngine::MarkAsSkippedCBClick(bool checked) {
    const int s = samplenum;
    if (s < 1 || s > nsamples) return;
    skipped[s] = checked;
    userexcluded[s] = checked;
    samplenumChange();
}

void TEngine::ExcludeSkippedCBClick() { options.ExcludeSkippedCB = true; }

bool TEngine::useind_CBClick() const {
    return samplenum >= 1 && samplenum <= nsamples && woltype[samplenum] == 2;
}

void TEngine::assignnon0() {
    for (int s = 1; s <= nsamples; ++s)
        non0[s] = noamplif[s] || userexcluded[s] || (bgerror[s] && !manualbg[s]) ||
                  (effoutlier[s] && noplateau[s]);
}

void TEngine::DetermineEffOutliersButtonClick() {
    calc_mean_ButtonClick();
    auto it = std::find(ShowSetCBItems.begin(), ShowSetCBItems.end(), TSubset::effoutlier);
    if (it == ShowSetCBItems.end())
        it = ShowSetCBItems.insert(ShowSetCBItems.end(), TSubset::effoutlier);
    ShowSetCBItemIndex = static_cast<int>(it - ShowSetCBItems.begin());
    options.ToggleShowRG = 1;
    view->subsetschanged();
    view->stagechanged(TRunStage::subsetsoffered);
}

void TEngine::ToggleShowRGClick() {
    const TSubset wanted = options.ToggleShowRG == 1 ? TSubset::effoutlier : TSubset::all;
    const auto it = std::find(ShowSetCBItems.begin(), ShowSetCBItems.end(), wanted);
    if (it == ShowSetCBItems.end()) return;
    ShowSetCBItemIndex = static_cast<int>(it - ShowSetCBItems.begin());
    view->subsetschanged();
}

}  // namespace qurvex
