// SPDX-License-Identifier: GPL-3.0-or-later
// Which samples are shown: the flagged subsets, the samples of one group,
// and the group windows every sample takes from its group code.
#include <algorithm>
#include <string>

#include "engine/Engine.h"

namespace qurvex {

bool TEngine::insubset(int s, TSubset k) const {
    switch (k) {
        case TSubset::all:
            return true;
        case TSubset::noamplification:
            return noamplif[s] != 0;
        case TSubset::baselineerror:
            return bgerror[s] != 0;
        case TSubset::noplateau:
            return noplateau[s] != 0;
        case TSubset::noisy:
            return noisy[s] != 0;
        case TSubset::userexcluded:
            return userexcluded[s] != 0;
        case TSubset::non0:
            return non0[s] != 0;
        case TSubset::n0:
            return non0[s] == 0;
        case TSubset::unflagged:
            return !skipped[s] && !cttoloweff[s] && !noplateau[s] && !effoutlier[s];
        case TSubset::cqtoolow:
            return cttoloweff[s] != 0;
        case TSubset::effoutlier:
            return effoutlier[s] != 0;
    }
    return true;
}

void TEngine::SetDisplayed(TSubset k) {
    if (k == TSubset::non0 || k == TSubset::n0) assignnon0();
    for (int s = 1; s <= nsamples; ++s)
        if (isdisplayed[s] && !insubset(s, k)) isdisplayed[s] = 0;
}

void TEngine::displaygroup(int g) {
    for (int s = 1; s <= nsamples; ++s) isdisplayed[s] = (g < 1 || groupofsample(s) == g) ? 1 : 0;
}

bool TEngine::ShowSetCBChange(int item, int g) {
    if (item >= 0 && item < static_cast<int>(ShowSetCBItems.size())) ShowSetCBItemIndex = item;
    const bool bygroup = groupsdefined && g >= 1;
    displaygroup(0);
    const bool listed =
        ShowSetCBItemIndex >= 0 && ShowSetCBItemIndex < static_cast<int>(ShowSetCBItems.size());
    SetDisplayed(listed ? ShowSetCBItems[static_cast<std::size_t>(ShowSetCBItemIndex)]
                        : TSubset::all);
    if (bygroup)
        for (int s = 1; s <= nsamples; ++s)
            if (groupofsample(s) != g) isdisplayed[s] = 0;
    const bool left = firstdisplayed() > 0;
    if (!left) displaygroup(bygroup ? g : 0);
    do_cascade(true, 1, 2);
    return left;
}

int TEngine::firstdisplayed() const {
    for (int s = 1; s <= nsamples; ++s)
        if (isdisplayed[s]) return s;
    return 0;
}

void TEngine::ResetAllToGrpWindow() {
    if (nsamples < 1 || !groupsdefined || busy()) return;
    {
        BusyGuard guard(*this);
        selectgroupwindows();
        view->pageneeded(TRunPage::individualsample);
        for (int s = 1; s <= nsamples; ++s) {
            samplenum = s;
            view->samplechanged(s);
            pumpmessages();
        }
    }
    samplenumChange();
}

bool TEngine::setgroupcode(int s, const std::string& text) {
    if (s < 1 || s > nsamples) return false;
    const auto code = WholeNumber(text);
    if (!code || *code < 1 || *code > ngroups) {
        view->showmessage(TMessageKind::warning, "\"" + text +
                                                     "\" is not a group number: give a whole "
                                                     "number from 1 to " +
                                                     std::to_string(ngroups) + ".");
        return false;
    }
    if (static_cast<int>(AmpliconGroupGridcode.size()) < nsamples + 1)
        AmpliconGroupGridcode.resize(nsamples + 1, -1);
    AmpliconGroupGridcode[s] = *code;
    fitcache.forgetgroups();
    return true;
}

void TEngine::setidentsdone(bool done) { identsdone = done; }

bool TEngine::setidentifiers(const std::vector<std::string>& names) {
    if (static_cast<int>(names.size()) != nsamples) return false;
    ampname.resize(static_cast<std::size_t>(nsamples) + 1);
    std::copy(names.begin(), names.end(), ampname.begin() + 1);
    fitcache.forgetgroups();
    GetAmpliconGroupNumbers();
    return true;
}

void TEngine::setidentifier(int s, const std::string& text) {
    if (s < 1 || s > nsamples) return;
    ampname[s] = text;
    fitcache.forgetgroups();
    GetAmpliconGroupNumbers();
}

}  // namespace qurvex
