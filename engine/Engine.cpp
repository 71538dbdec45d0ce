// SPDX-License-Identifier: GPL-3.0-or-later
// Construction of the engine and the routines on the run state itself:
// sizing the arrays, the message pump, header and group look-ups.
#include "engine/Engine.h"

#include <algorithm>

namespace qurvex {

namespace {

// The view used when no window is connected: every callback does nothing.
IEngineView& silentview() {
    static IEngineView v;
    return v;
}

template <typename T>
void resizekeep(std::vector<T>& v, int n) {
    v.resize(static_cast<std::size_t>(n), T{});
}

}  // namespace

TEngine::TEngine() : view(&silentview()) { FillCqLimitTables(); }

TEngine::TEngine(IEngineView* v) : view(v != nullptr ? v : &silentview()) { FillCqLimitTables(); }

void TEngine::setview(IEngineView* v) { view = v != nullptr ? v : &silentview(); }

void TEngine::setarraylengths(int ncycles_, int nsamples_) {
    ncycles = std::max(0, ncycles_);
    nsamples = std::max(0, nsamples_);
    const int ns = nsamples + 1;
    const int nc = ncycles + 1;

    for (auto* v : {&sampname, &ampname, &sampleuse, &qualitychecks, &tissue}) resizekeep(*v, ns);
    for (auto* v : {&npoints, &nrawpoints, &woltype, &ninclu, &wolstart, &wolstop, &fstart, &fstop,
                    &fmaxdiff, &ampgroup})
        resizekeep(*v, ns);
    for (auto* v :
         {&bgarr, &bgslope, &defbgarr, &uplim, &lowlim, &sampftval, &ct, &slope, &intercept,
          &meancyc, &meanlogfluor, &rval, &indiveff, &indivn0, &sampmeaneff, &meann0, &ctshift})
        resizekeep(*v, ns);
    for (auto* v : {&skipped, &isdisplayed, &noamplif, &bgerror, &noplateau, &noisy, &effoutlier,
                    &exclmeaneff, &userexcluded, &manualbg, &shortloglin, &ctshifting, &cttoloweff,
                    &cttolown0, &non0, &usedforwol, &emptywol})
        resizekeep(*v, ns);
    for (auto* m : {&rawcyc, &rawfluor, &cyc, &fluor, &inputfluor}) {
        m->resize(static_cast<std::size_t>(ns));
        for (auto& row : *m) resizekeep(row, nc);
    }
    resizekeep(headercyc, nc);
    for (auto* v : {&gruplim, &grlowlim, &defuplim, &deflowlim, &ftval}) resizekeep(*v, ns);
}

void TEngine::pumpmessages() {
    constexpr auto kInterval = std::chrono::milliseconds(50);
    const auto now = std::chrono::steady_clock::now();
    if (now - lastprogress_ < kInterval) return;
    lastprogress_ = now;
    view->progress(samplenum);
}

void TEngine::warnonce(const std::string& text) {
    if (busy()) {
        // A command may place a group's window more than once (the baseline
        // step places the common window, and again after flagging samples
        // without plateau): the user hears of each group once.
        if (std::find(collectedwarnings_.begin(), collectedwarnings_.end(), text) ==
            collectedwarnings_.end())
            collectedwarnings_.push_back(text);
        return;
    }
    view->showmessage(TMessageKind::warning, text);
}

void TEngine::showcollectedwarnings() noexcept {
    if (collectedwarnings_.empty()) return;
    std::string text;
    for (const std::string& line : collectedwarnings_) {
        if (!text.empty()) text += '\n';
        text += line;
    }
    collectedwarnings_.clear();
    try {
        view->showmessage(TMessageKind::warning, text);
    } catch (...) {
        // A view that cannot show the message (closing, out of memory) loses
        // it; the command itself has ended.
    }
}

int TEngine::headerindex(double cycle) const {
    const int last = std::min(ncycles, static_cast<int>(headercyc.size()) - 1);
    for (int c = last; c >= 1; --c)
        if (headercyc[static_cast<std::size_t>(c)] == cycle) return c;
    return -1;
}

void TEngine::showprogress(int s) {
    samplenum = s;
    samplenumChange();
    pumpmessages();
}

int TEngine::lookupgroupofsample(int s) const {
    if (s < 1 || s >= static_cast<int>(ampname.size())) return -1;
    // Inside a window search the identifiers do not change: looked up once.
    if (fitcache.active()) {
        auto& groups = fitcache.groups;
        const auto i = static_cast<std::size_t>(s);
        if (i >= groups.size()) groups.resize(ampname.size(), -2);
        int& g = groups[i];
        if (g == -2) g = findgroupofsample(s);
        return g;
    }
    return findgroupofsample(s);
}

const std::vector<int>& TEngine::samplesingroup(int g) const {
    auto fill = [&](std::vector<int>& list) {
        list.clear();
        for (int s = 1; s <= nsamples; ++s)
            if (groupofsample(s) == g) list.push_back(s);
    };
    // Inside a window search the lists are made once per group.
    if (fitcache.active() && g >= 0) {
        auto& lists = fitcache.members;
        const auto i = static_cast<std::size_t>(g);
        if (i >= lists.size()) lists.resize(i + 1);
        if (!lists[i].known) {
            fill(lists[i].samples);
            lists[i].known = true;
        }
        return lists[i].samples;
    }
    fill(fitcache.scratchmembers);
    return fitcache.scratchmembers;
}

// Identifiers are compared without regard to case, as when the groups were
// numbered: the first identifier that matches is the group. Item 0 ("All")
// is no identifier, so a target named "all" still finds its own group.
int TEngine::findgroupofsample(int s) const {
    const auto& name = ampname[static_cast<std::size_t>(s)];
    for (std::size_t i = 1; i < ShowGroupCBItems.size(); ++i)
        if (sameidentifier(ShowGroupCBItems[i], name)) return static_cast<int>(i);
    return -1;
}

}  // namespace qurvex
