// SPDX-License-Identifier: GPL-3.0-or-later
// The window search remembers phases, regressions, groups and whole refits
// (TFitCache). Remembering must never change a result: the whole road is run
// twice on the same plates, once with the memory and once with it switched
// off (every value derived afresh), and every field of the run state and
// every call the engine makes on its view must agree exactly, bit for bit.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/Engine.h"
#include "engine/RecordingView.h"
#include "tests/engine/support/SyntheticRun.h"

namespace qurvex {
namespace {

using testing::SyntheticRun;

// ---- exact comparison of run-state fields ----------------------------------

bool same(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}
bool same(const TRunState::TWoLSearchRow& a, const TRunState::TWoLSearchRow& b);
bool same(const TRunState::TWoLSearch& a, const TRunState::TWoLSearch& b);
bool same(const TRunState::TGroupStatistics& a, const TRunState::TGroupStatistics& b);
template <typename T>
bool same(const T& a, const T& b) {
    return a == b;
}
template <typename T>
bool same(const std::vector<T>& a, const std::vector<T>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!same(a[i], b[i])) return false;
    return true;
}
// Every listed member of a and b is the same.
template <typename S, typename... M>
bool samefields(const S& a, const S& b, M S::*... m) {
    return (same(a.*m, b.*m) && ...);
}
using Row = TRunState::TWoLSearchRow;
using Search = TRunState::TWoLSearch;
using Stats = TRunState::TGroupStatistics;
bool same(const Row& a, const Row& b) {
    return samefields(a, b, &Row::k, &Row::uplim, &Row::foldwidth, &Row::meaneff, &Row::cv);
}
bool same(const Search& a, const Search& b) {
    return samefields(a, b, &Search::group, &Search::skipped, &Search::rows, &Search::finalk,
                      &Search::best, &Search::bestuplim, &Search::bestfoldwidth, &Search::bestcv);
}
bool same(const Stats& a, const Stats& b) {
    return samefields(a, b, &Stats::n, &Stats::mean, &Stats::sd, &Stats::sem, &Stats::rse);
}

// Every result field of TRunState (the memories phasememo and fitcache are
// not results). Reports the first differing field by name.
void expectsamestate(const TRunState& a, const TRunState& b, const std::string& where) {
#define QX_SAME(field) EXPECT_TRUE(same(a.field, b.field)) << where << ": " #field " differs"
    QX_SAME(scratchmode);
    QX_SAME(expertmode);
    QX_SAME(silentmode);
    QX_SAME(rdmlenabled);
    QX_SAME(workshopmode);
    QX_SAME(usebaselinezw);
    QX_SAME(nsamples);
    QX_SAME(ncycles);
    QX_SAME(ngroups);
    QX_SAME(wolpoints);
    QX_SAME(logymin);
    QX_SAME(logymax);
    QX_SAME(deflogymin);
    QX_SAME(deflogymax);
    QX_SAME(maxcyc);
    QX_SAME(lastmeanx);
    QX_SAME(lastmeany);
    QX_SAME(meansdone);
    QX_SAME(baselinedone);
    QX_SAME(bgtrendset);
    QX_SAME(groupsdefined);
    QX_SAME(commonwol);
    QX_SAME(identsdone);
    QX_SAME(editlock);
    QX_SAME(ftchanged);
    QX_SAME(chemistry);
    QX_SAME(inputtype);
    QX_SAME(cqcorrneeded);
    QX_SAME(fromrdml);
    QX_SAME(tissuesdefined);
    QX_SAME(ntissues);
    QX_SAME(uniquetissues);
    QX_SAME(outcol);
    QX_SAME(sampname);
    QX_SAME(npoints);
    QX_SAME(nrawpoints);
    QX_SAME(bgarr);
    QX_SAME(bgslope);
    QX_SAME(defbgarr);
    QX_SAME(uplim);
    QX_SAME(lowlim);
    QX_SAME(sampftval);
    QX_SAME(woltype);
    QX_SAME(ct);
    QX_SAME(ninclu);
    QX_SAME(slope);
    QX_SAME(intercept);
    QX_SAME(meancyc);
    QX_SAME(meanlogfluor);
    QX_SAME(rval);
    QX_SAME(indiveff);
    QX_SAME(indivn0);
    QX_SAME(wolstart);
    QX_SAME(wolstop);
    QX_SAME(fstart);
    QX_SAME(fstop);
    QX_SAME(fmaxdiff);
    QX_SAME(skipped);
    QX_SAME(isdisplayed);
    QX_SAME(ampname);
    QX_SAME(ampgroup);
    QX_SAME(sampmeaneff);
    QX_SAME(meann0);
    QX_SAME(ctshift);
    QX_SAME(sampleuse);
    QX_SAME(qualitychecks);
    QX_SAME(tissue);
    QX_SAME(noamplif);
    QX_SAME(bgerror);
    QX_SAME(noplateau);
    QX_SAME(noisy);
    QX_SAME(effoutlier);
    QX_SAME(exclmeaneff);
    QX_SAME(userexcluded);
    QX_SAME(manualbg);
    QX_SAME(shortloglin);
    QX_SAME(ctshifting);
    QX_SAME(cttoloweff);
    QX_SAME(cttolown0);
    QX_SAME(non0);
    QX_SAME(usedforwol);
    QX_SAME(emptywol);
    QX_SAME(rawcyc);
    QX_SAME(rawfluor);
    QX_SAME(cyc);
    QX_SAME(fluor);
    QX_SAME(headercyc);
    QX_SAME(gruplim);
    QX_SAME(grlowlim);
    QX_SAME(defuplim);
    QX_SAME(deflowlim);
    QX_SAME(ftval);
    QX_SAME(meaneff);
    QX_SAME(meaneffse);
    QX_SAME(samplenum);
    QX_SAME(ShowGroupCBItems);
    QX_SAME(limitshown);
    QX_SAME(fluorshown);
    QX_SAME(ftvalshown);
    QX_SAME(wolsearch);
    QX_SAME(noisecheck);
    QX_SAME(ctshiftct);
    QX_SAME(groupidentifiers);
    QX_SAME(groupstatistics);
    QX_SAME(ShowSetCBItems);
    QX_SAME(ShowSetCBItemIndex);
    QX_SAME(meansshown);
    QX_SAME(AmpliconGroupGridcode);
    QX_SAME(AmpGroupNumEdit);
    QX_SAME(IndivAmpGroupEdit);
#undef QX_SAME
}

// ---- the road --------------------------------------------------------------

using Step = std::function<void(TEngine&)>;

// Runs the steps on two engines loaded with the same run, with and without
// the memory, comparing the whole state and the view calls after each step.
void expectsameroad(const SyntheticRun& run, const std::vector<std::pair<std::string, Step>>& steps,
                    const std::function<void(TEngine&)>& setup = {},
                    const std::function<void(const TEngine&)>& inspect = {}) {
    RecordingView fastview, slowview;
    TEngine fast(&fastview), slow(&slowview);
    slow.fitcache.enabled = false;
    for (TEngine* e : {&fast, &slow}) {
        testing::loadSyntheticRun(*e, run);
        e->fromrdml = true;
        e->silentmode = true;
        if (setup) setup(*e);
    }
    const bool failedbefore = ::testing::Test::HasFailure();
    for (const auto& [name, step] : steps) {
        step(fast);
        step(slow);
        expectsamestate(fast, slow, name);
        EXPECT_EQ(fastview.calls, slowview.calls) << name << ": view calls differ";
        EXPECT_EQ(fastview.messages, slowview.messages) << name << ": messages differ";
        if (::testing::Test::HasFailure() && !failedbefore)
            return;  // one step's differences suffice
        if (inspect) inspect(fast);
    }
}

std::vector<std::pair<std::string, Step>> wholeroad() {
    return {
        {"read", [](TEngine& e) { e.ProcessDataAfterRead(); }},
        {"baseline, groups and group windows", [](TEngine& e) { e.BaselineButtonPanelClick(); }},
        {"means", [](TEngine& e) { e.calc_mean_ButtonClick(); }},
        {"window width 6", [](TEngine& e) { e.SetWoLwidth("6"); }},
        {"window of sample 5's group again",
         [](TEngine& e) {
             e.samplenum = 5;
             e.RecalculateWoLButtonClick();
         }},
        {"common window", [](TEngine& e) { e.selectcommonwindow(); }},
        {"common window search", [](TEngine& e) { e.Set_WoL(0); }},
        {"means again", [](TEngine& e) { e.calc_mean_ButtonClick(); }},
    };
}

// Hand edits between searches: limits changed by hand and an individual fit.
std::vector<std::pair<std::string, Step>> withhandedits() {
    auto steps = wholeroad();
    steps.insert(steps.begin() + 3, {{"individual fit of sample 7",
                                      [](TEngine& e) {
                                          e.samplenum = 7;
                                          e.fitsampleButClick();
                                      }},
                                     {"group limit typed",
                                      [](TEngine& e) {
                                          e.samplenum = 30;
                                          e.cuplimeditChange(TLimitEdit::GrUpLimEdit, 0.5);
                                      }},
                                     {"baseline of sample 3 reset", [](TEngine& e) {
                                          e.samplenum = 3;
                                          e.bgarr[3] *= 1.01;
                                          e.ResetDefaultbaselineButtonClick();
                                      }}});
    return steps;
}

// Plates with one, four and many targets, the alternative and the strict
// baseline options, hand edits between searches, and strong noise (noisy
// samples, baseline errors and groups falling back on the common limits take
// the rarer branches of the search).
TEST(FitShortcuts, WholeRoadOnPlatesOptionsAndEdits) {
    auto noisy = testing::makePlate(96, 6, 0.08, 5);
    for (std::size_t w = 0; w < noisy.wells.size(); w += 7) noisy.wells[w].amplifies = false;
    const auto four = testing::makePlate(96, 4, 0.01, 21);
    const struct {
        std::string name;
        SyntheticRun run;
        std::function<void(TEngine&)> setup;
        std::vector<std::pair<std::string, Step>> steps;
    } cases[] = {
        {"1 target", testing::makePlate(96, 1, 0.005, 4), {}, wholeroad()},
        {"4 targets", testing::makePlate(96, 4, 0.005, 7), {}, wholeroad()},
        {"24 targets", testing::makePlate(96, 24, 0.005, 27), {}, wholeroad()},
        {"384 wells, 24 targets", testing::makePlate(384, 24, 0.005, 31), {}, wholeroad()},
        {"alternative baseline", four, [](TEngine& e) { e.usebaselinezw = true; }, wholeroad()},
        {"strictness 1", four, [](TEngine& e) { e.options.BaselineStrictnessRG = 1; }, wholeroad()},
        {"strictness 2", four, [](TEngine& e) { e.options.BaselineStrictnessRG = 2; }, wholeroad()},
        {"hand edits", testing::makePlate(96, 4, 0.005, 9), {}, withhandedits()},
        {"noisy plate", noisy, {}, wholeroad()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        int noisysamples = 0, bgerrors = 0;
        expectsameroad(c.run, c.steps, c.setup, [&](const TEngine& e) {
            noisysamples = bgerrors = 0;
            for (int s = 1; s <= e.nsamples; ++s) {
                noisysamples += e.noisy[s];
                bgerrors += e.bgerror[s];
            }
        });
        if (c.name == "noisy plate") {  // the plate does take those branches
            EXPECT_GT(noisysamples, 0);
            EXPECT_GT(bgerrors, 0);
        }
    }
}

// Inside one open search, any field a refit reads or writes is changed
// between two refits of all samples, as another routine might change it: the
// remembered refits must notice and give what a fresh refit gives.
TEST(FitShortcuts, EveryChangedInputBetweenRefitsIsNoticed) {
    const auto run = testing::makePlate(48, 2, 0.005, 13);
    const std::vector<std::pair<std::string, Step>> changes = {
        {"common upper limit", [](TEngine& e) { e.uplim[0] -= 0.3; }},
        {"common lower limit", [](TEngine& e) { e.lowlim[0] += 0.2; }},
        {"own limits of sample 4",
         [](TEngine& e) {
             e.woltype[4] = 2;
             e.uplim[4] = e.uplim[0] - 0.25;
             e.lowlim[4] = e.lowlim[0] - 0.1;
         }},
        {"start of sample 5", [](TEngine& e) { e.fstart[5] = e.fstop[5] - 1; }},
        {"window start of sample 6", [](TEngine& e) { e.wolstart[6] = 1; }},
        {"window end of sample 6", [](TEngine& e) { e.wolstop[6] = 2; }},
        {"threshold of sample 7", [](TEngine& e) { e.sampftval[7] += 0.1; }},
        {"flags of samples 8 and 9", [](TEngine& e) { e.noamplif[8] = e.bgerror[9] = 1; }},
        {"slope of sample 10 overwritten", [](TEngine& e) { e.slope[10] = 0.5; }},
        {"Cq of sample 10 overwritten", [](TEngine& e) { e.ct[10] = 3; }},
        {"efficiency of sample 10 overwritten", [](TEngine& e) { e.indiveff[10] = 7; }},
        {"phase end and window flag of sample 12 overwritten",
         [](TEngine& e) {
             e.emptywol[12] = 1;
             e.fstop[12] = 2;
         }},
        {"baseline of sample 11",
         [](TEngine& e) {
             e.bgarr[11] *= 1.02;
             e.recomputefluor(11, false);
         }},
        {"baseline error of sample 14 accepted by hand", [](TEngine& e) { e.manualbg[14] = 1; }},
    };
    for (const auto& [name, change] : changes) {
        SCOPED_TRACE(name);
        TEngine fast, slow;
        slow.fitcache.enabled = false;
        for (TEngine* e : {&fast, &slow}) {
            testing::loadSyntheticRun(*e, run);
            e->silentmode = true;
            e->ProcessDataAfterRead();
            e->BaselineButtonPanelClick();
            e->bgerror[14] = 1;
            e->manualbg[14] = 0;
            FitScope search(e->fitcache);
            e->do_cascade(true, 1, 1);
            e->do_cascade(true, 1, 1);  // remembered: every sample is settled
            change(*e);
            e->do_cascade(true, 1, 1);
            e->do_cascade(true, 1, 1);
        }
        expectsamestate(fast, slow, name);
        // Accepted by hand, the baseline-error sample is fitted again.
        if (fast.manualbg[14] && !fast.noamplif[14]) {
            EXPECT_NE(fast.indiveff[14], 1.0);
        }
    }
}

}  // namespace
}  // namespace qurvex
