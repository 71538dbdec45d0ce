// SPDX-License-Identifier: GPL-3.0-or-later
// Placement of each sample's window of linearity between its two limits,
// and the engine side of the limit and threshold edits: a limit is applied
// as the window's edit would apply it (3 decimals, clamped to the axes).
#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

#include "engine/Engine.h"

namespace qurvex {

namespace {

std::size_t ix(int i) { return static_cast<std::size_t>(i); }
std::size_t ix(TLimitEdit e) { return static_cast<std::size_t>(e); }

bool isupper(TLimitEdit e) {
    return e == TLimitEdit::cuplimedit || e == TLimitEdit::GrUpLimEdit ||
           e == TLimitEdit::iuplimedit;
}

}  // namespace

void TEngine::FindPointAtLimit(int s, std::string_view which) {
    if (s < 1 || s > nsamples) return;
    const std::size_t i = ix(s);
    const int n = npoints[i];
    const auto& F = fluor[i];
    // Too few points for a log-linear phase or a window: phase and empty
    // window on the valid points (point 0, the placeholder, when there is none).
    if (n < 3) {
        emptywol[i] = 1;
        fstop[i] = wolstart[i] = wolstop[i] = std::max(n, 0);
        fstart[i] = std::min(std::max(n, 0), 1);
        return;
    }
    const bool own = woltype[i] == 1 || woltype[i] == 2;
    const double U = fitcache.pow10(own ? uplim[i] : uplim[0]);
    const double L = fitcache.pow10(own ? lowlim[i] : lowlim[0]);

    // Highest point from the end down to the current start (a later point
    // wins a tie).
    const int imax = highestpoint(s, std::clamp(fstart[i], 1, n));

    placementphase(s);
    const int st = std::clamp(fstart[i], 1, n);

    const bool belowphase = F[ix(st)] > U;   // window lies below the log-linear phase
    const bool abovedata = F[ix(imax)] < L;  // window lies above the data
    if (belowphase || abovedata) {
        emptywol[i] = 1;
        wolstart[i] = wolstop[i] = abovedata ? imax : st;
        return;
    }
    emptywol[i] = 0;

    // Each end goes to the lowest crossing of its limit (p - 1 below the upper
    // limit, p above the lower one); without a crossing it is left where it is.
    if (which == "stop" || which == "both") {
        if (F[ix(imax)] >= U) {
            for (int p = st + 1; p <= imax; ++p)
                if (F[ix(p)] > U && F[ix(p - 1)] < U) {
                    wolstop[i] = p - 1;
                    break;
                }
        } else {
            wolstop[i] = imax;
        }
    }
    if (which == "start" || which == "both") {
        if (F[ix(st)] <= L) {
            for (int p = st; p <= imax - 1; ++p)
                if (F[ix(p + 1)] > L && F[ix(p)] < L) {
                    wolstart[i] = p + 1;
                    break;
                }
        } else {
            wolstart[i] = st;
        }
    }
}

void TEngine::setlimitedit(TLimitEdit edit, double v) {
    limitshown[ix(edit)] = shownvalue(v, 3);
    fluorshown[ix(edit)] = shownvalue(fitcache.pow10(std::round(v * 1000.0) / 1000.0), 3);
    view->limitschanged(edit);
}

void TEngine::applylimitedit(TLimitEdit edit, double v) {
    setlimitedit(edit, v);
    if (std::isnan(limitshown[ix(edit)])) {
        view->showmessage(TMessageKind::error,
                          "'" + roundedtext(v, 3) + "' is not a valid floating point value");
        return;
    }
    cuplimeditChange(edit, limitshown[ix(edit)]);
}

void TEngine::setftvaledit(double v) {
    ftvalshown = shownvalue(v, 3);
    view->thresholdchanged();
}

void TEngine::beginlimitedit() { editlock = true; }

void TEngine::endlimitedit() { editlock = false; }

void TEngine::applylimitpair(TLimitEdit low, double lowvalue, TLimitEdit up, double upvalue) {
    editlock = true;
    cuplimeditChange(low, lowvalue);
    editlock = false;
    cuplimeditChange(up, upvalue);
}

void TEngine::cuplimeditChange(TLimitEdit sender, double v) {
    if (!std::isfinite(v)) return;
    // Only an edit of the searched group's limits keeps the other samples as
    // the last refit of all left them.
    if (sender != TLimitEdit::GrUpLimEdit && sender != TLimitEdit::GrLowLimEdit)
        fitcache.lastrefitgroup = -1;
    if (v > logymax || v < logymin) v = v > logymax ? logymax : logymin;
    limitshown[ix(sender)] = v;
    view->limitschanged(sender);

    const int cur = samplenum;
    const bool curvalid = cur >= 1 && cur <= nsamples;
    const bool individual = sender == TLimitEdit::iuplimedit || sender == TLimitEdit::ilowlimedit;
    if (individual && !curvalid) return;
    if (individual) woltype[ix(cur)] = 2;

    const bool upper = isupper(sender);
    const std::string_view which = upper ? "stop" : "start";
    auto showfluor = [&](TLimitEdit e) {
        fluorshown[ix(e)] = shownvalue(std::pow(10.0, v), 3);
        view->limitschanged(e);
    };
    // The current sample's individual edit follows the level it uses.
    auto followindividual = [&](bool uses) {
        if (!curvalid || !uses) return;
        const TLimitEdit ie = upper ? TLimitEdit::iuplimedit : TLimitEdit::ilowlimedit;
        limitshown[ix(ie)] = v;
        fluorshown[ix(ie)] = shownvalue(std::pow(10.0, v), 3);
        view->limitschanged(ie);
    };

    switch (sender) {
        case TLimitEdit::cuplimedit:
        case TLimitEdit::clowlimedit: {
            showfluor(sender);
            if (upper) {
                uplim[0] = v;
                double variance = 0.0;
                ftval[0] = v - std::log10(GetMeanEff(0, variance));
            } else {
                lowlim[0] = v;
            }
            for (int s = 1; s <= nsamples; ++s) {
                if (woltype[ix(s)] != 0) continue;
                (upper ? uplim : lowlim)[ix(s)] = v;
                FindPointAtLimit(s, which);
            }
            followindividual(curvalid && woltype[ix(cur)] == 0);
            break;
        }
        case TLimitEdit::GrUpLimEdit:
        case TLimitEdit::GrLowLimEdit: {
            // Only a listed group (1..): a sample whose identifier is not in the
            // group list (identifiers edited, list not refilled) changes nothing.
            const int g = curvalid ? groupofsample(cur) : -1;
            if (g < 1 || ix(g) >= gruplim.size()) return;
            if (g != fitcache.searchgroup) fitcache.lastrefitgroup = -1;
            showfluor(sender);
            if (upper) {
                gruplim[ix(g)] = v;
                double variance = 0.0;
                ftval[ix(g)] = v - std::log10(GetMeanEff(g, variance));
            } else {
                grlowlim[ix(g)] = v;
            }
            for (const int s : samplesingroup(g)) {
                if (woltype[ix(s)] != 1) continue;
                (upper ? uplim : lowlim)[ix(s)] = v;
                FindPointAtLimit(s, which);
            }
            followindividual(woltype[ix(cur)] == 1);
            break;
        }
        case TLimitEdit::iuplimedit:
        case TLimitEdit::ilowlimedit:
            showfluor(sender);
            (upper ? uplim : lowlim)[ix(cur)] = v;
            FindPointAtLimit(cur, which);
            break;
    }

    if (!individual) {
        // In a group's search the other samples keep the thresholds and Cq
        // the previous edit of the group gave them.
        const int g = fitcache.searchgroup;
        if (g > 0 && fitcache.lastrefitgroup == g)
            AssignFtValOf(samplesingroup(g));
        else
            AssignFtVal(1, nsamples);
        samplenumChange();
        pumpmessages();
    }
    if (!editlock) {
        if (individual)
            do_cascade(false, cur, 1);
        else
            do_cascade(true, 1, 1);
    }
}

void TEngine::samplenumChange() {
    if (nsamples < 1) return;
    samplenum = std::clamp(samplenum, 1, nsamples);
    const int s = samplenum;
    setlimitedit(TLimitEdit::iuplimedit, uplim[ix(s)]);
    setlimitedit(TLimitEdit::ilowlimedit, lowlim[ix(s)]);
    view->samplechanged(s);
    editlock = false;
    do_cascade(false, s, 2);
    SetAmpGroupNumEditsamples(ampgroup[ix(s)]);
}

void TEngine::SetAmpGroupNumEditsamples(int g) {
    if (g == AmpGroupNumEdit || g < 0 || ix(g) >= gruplim.size() || ix(g) >= grlowlim.size())
        return;
    AmpGroupNumEdit = g;
    setlimitedit(TLimitEdit::GrUpLimEdit, gruplim[ix(g)]);
    setlimitedit(TLimitEdit::GrLowLimEdit, grlowlim[ix(g)]);
    IndivAmpGroupEdit = g;
    view->groupshownchanged();
}

void TEngine::ctcalcButtonClick(double v) {
    if (!std::isfinite(v)) {
        view->showmessage(TMessageKind::error,
                          "'" + roundedtext(v, 3) + "' is not a valid floating point value");
        return;
    }
    if (nsamples < 1) return;
    samplenum = std::clamp(samplenum, 1, nsamples);
    const int s = samplenum;
    int g = 0;
    if ((options.CommonGroupWindowRG == 1 || options.CommonGroupWindowRG == 2) &&
        options.ThresholdsRG == 1) {
        g = groupofsample(s);
        // Group thresholds for a sample whose identifier is not in the group
        // list: no group threshold can be set, and the common one stays.
        if (g < 1 || ix(g) >= ftval.size()) {
            view->showmessage(TMessageKind::warning,
                              "the amplicon group of this sample is not in the group list: "
                              "no threshold was changed");
            return;
        }
    }
    ftval[ix(g)] = v;
    AssignFtVal(1, nsamples);
    setftvaledit(sampftval[ix(s)]);
    view->stagechanged(TRunStage::thresholdapplied);
    ftchanged = false;
    samplenumChange();
    view->resultschanged(s);
}

// log10(F_shown / 2), F_shown = the upper edit's fluorescence (10^limit, 3 decimals)
double TEngine::ftvalfromupperedit(TLimitEdit upperedit) const {
    double shown = fluorshown[ix(upperedit)];
    if (!(shown > 0.0)) {
        const double limit = limitshown[ix(upperedit)];
        if (std::isnan(limit)) return 0.0;
        shown = std::pow(10.0, limit);
    }
    return std::log10(0.5 * shown);
}

}  // namespace qurvex
