// SPDX-License-Identifier: GPL-3.0-or-later
// Data preparation after every read: per-sample defaults, corrected points,
// dropping of unusable points, chart axes, the first common window and
// threshold, and a first fit of every sample.
#include <algorithm>
#include <cmath>

#include "engine/Engine.h"

namespace qurvex {

namespace {

// Corrected fluorescence at or below this is not a usable point.
constexpr double kMinValidFluor = 1e-8;
// Placeholder held in point 0 of every fluor row.
constexpr double kPointZeroFluor = 1e-5;
// A sample needs this many valid points for a regression and a window.
constexpr int kMinPointsForFit = 3;

std::size_t ix(int i) { return static_cast<std::size_t>(i); }

}  // namespace

void TEngine::ResetInterfaceAfterRead() {
    dragging = false;
    dragline = 0;
    const auto outlier =
        std::find(ShowSetCBItems.begin(), ShowSetCBItems.end(), TSubset::effoutlier);
    if (outlier != ShowSetCBItems.end()) ShowSetCBItems.erase(outlier);
    // A new run shows all its samples: a subset chosen for the previous run
    // (the noisy samples of its noise check, say) would hide them.
    ShowSetCBItemIndex = 0;
    options.ToggleShowRG = 0;
    // Nor does it keep the previous run's group names.
    ShowGroupCBItems.assign(1, "All");
    fitcache.forgetgroups();
    meansdone = false;
    groupidentifiers.clear();
    meansshown = false;
    groupstatistics.clear();
    AmpliconGroupGridcode.clear();
    options.groupsource = TEngineOptions::AllOneGroupRB;
    options.CommonGroupWindowRG = 0;
    options.ThresholdsRG = 0;
    options.rg_fitoptions = 1;
    groupsdefined = false;
    commonwol = false;
    tissuesdefined = false;
    ntissues = 1;
    identsdone = true;
    ngroups = 1;
    view->stagechanged(TRunStage::runreset);
}

void TEngine::ExtraExcelProcessing() {
    for (int s = 1; s <= nsamples; ++s) {
        ampname[ix(s)] = "not_named";
        ampgroup[ix(s)] = 0;
        tissue[ix(s)] = "undefined";
    }
    fitcache.forgetgroups();
}

void TEngine::ExtraRDMLProcessing() {
    // The targets' group numbers are the grid's group codes.
    AmpliconGroupGridcode.assign(ampgroup.begin(), ampgroup.end());
    view->tablechanged(TRunTable::data, 0);
}

// min(0, min_p rawfluor[s][p])
double TEngine::FindMinNeg(int s) const {
    if (s < 1 || s > nsamples || ix(s) >= rawfluor.size()) return 0.0;
    const auto& row = rawfluor[ix(s)];
    const int n = std::min(npoints[ix(s)], static_cast<int>(row.size()) - 1);
    double m = 0.0;
    for (int p = 1; p <= n; ++p) m = std::min(m, row[ix(p)]);
    return m;
}

// smallest n with 10^n x > 1, for 0 < x < 1 (at most 11)
int TEngine::FindNdecim(double x) {
    if (x >= 1.0) return 1;
    double y = x;
    int n = 0;
    do {
        y *= 10.0;
        ++n;
    } while (!(y > 1.0) && n < 11);
    return n;
}

void TEngine::cleanupfluor(int s, bool showrow) {
    if (s < 1 || s > nsamples) return;
    auto& c = cyc[ix(s)];
    auto& f = fluor[ix(s)];
    const auto& rc = rawcyc[ix(s)];
    // A row never holds more points than it has room for.
    const int room = static_cast<int>(std::min({c.size(), f.size(), rc.size()})) - 1;
    int n = std::clamp(nrawpoints[ix(s)], 0, std::max(room, 0));
    for (int p = 1; p <= n; ++p) c[ix(p)] = rc[ix(p)];
    // Unusable: at or below the limit, or not a finite number at all.
    auto unusable = [&](int q) { return !(f[ix(q)] > kMinValidFluor) || !std::isfinite(f[ix(q)]); };
    // Unusable points before the last one leave and the later ones move up,
    // in one pass; the places freed at the end hold the last point, as when
    // the points were taken out one at a time. The last point leaves when it
    // is unusable.
    if (n > 0) {
        int kept = 0;
        for (int p = 1; p < n; ++p) {
            if (unusable(p)) continue;
            ++kept;
            if (kept != p) {
                c[ix(kept)] = c[ix(p)];
                f[ix(kept)] = f[ix(p)];
            }
        }
        const double lastc = c[ix(n)], lastf = f[ix(n)];
        for (int q = kept + 1; q <= n; ++q) {
            c[ix(q)] = lastc;
            f[ix(q)] = lastf;
        }
        n = kept + 1;
    }
    if (n > 0 && unusable(n)) --n;
    npoints[ix(s)] = n;
    fitcache.forgetsample(s);  // new points: nothing derived from the old ones holds
    if (showrow) view->tablechanged(TRunTable::validrow, s);
}

void TEngine::resetaxes() {
    double lowest = 10.0;
    double highest = -10.0;
    double largestcycle = 0.0;
    bool anypoint = false;
    for (int s = 1; s <= nsamples; ++s) {
        const auto& f = fluor[ix(s)];
        const auto& c = cyc[ix(s)];
        const int n = std::min(npoints[ix(s)], static_cast<int>(f.size()) - 1);
        for (int p = 1; p <= n; ++p) {
            if (!(f[ix(p)] > 0.0)) continue;
            const double y = std::log10(f[ix(p)]);
            lowest = std::min(lowest, y);
            highest = std::max(highest, y);
            largestcycle = std::max(largestcycle, c[ix(p)]);
            anypoint = true;
        }
    }
    if (anypoint) {
        logymax = highest;
        logymin = std::max(lowest, logymax - 5.0);
    } else {
        // Nothing to show: keep a sensible default range instead of 10..-10.
        logymax = 2.0;
        logymin = -2.0;
    }
    deflogymax = logymax;
    deflogymin = logymin;
    maxcyc = largestcycle;
    view->axeschanged();
}

void TEngine::ProcessDataAfterRead() {
    BusyGuard guard(*this);
    setarraylengths(ncycles, nsamples);  // makes every array agree with the counts
    for (int s = 1; s <= nsamples; ++s) {
        const std::size_t i = ix(s);
        auto& f = fluor[i];
        auto& c = cyc[i];
        const int room = static_cast<int>(std::min(rawfluor[i].size(), f.size())) - 1;
        npoints[i] = std::clamp(npoints[i], 0, std::max(room, 0));
        nrawpoints[i] = npoints[i];
        if (!ownrdml) {
            bgarr[i] = 0.0;
            defbgarr[i] = 0.0;
        }
        bgslope[i] = 0.0;
        ctshift[i] = 0.0;
        for (auto* flag :
             {&skipped, &userexcluded, &shortloglin, &bgerror, &manualbg, &ctshifting, &noamplif,
              &noisy, &cttoloweff, &cttolown0, &non0, &noplateau, &effoutlier, &exclmeaneff})
            (*flag)[i] = 0;
        usedforwol[i] = 1;
        isdisplayed[i] = 1;
        sampleuse[i] = "1 2 3";
        qualitychecks[i] = "- - - - - - - - - - - - - -";
        fstop[i] = fmaxdiff[i] = wolstop[i] = npoints[i];
        fstart[i] = wolstart[i] = 1;
        auto& input = inputfluor[i];
        std::fill(input.begin(), input.end(), 0.0);
        for (int p = 1; p <= npoints[i]; ++p) {
            c[ix(p)] = rawcyc[i][ix(p)];
            f[ix(p)] = rawfluor[i][ix(p)] - bgarr[i];
            input[ix(p)] = f[ix(p)];
        }
        if (c.size() > 1) c[0] = c[1] - 1.0;
        if (!f.empty()) f[0] = kPointZeroFluor;
        indiveff[i] = 2.0;
        sampmeaneff[i] = 2.0;
        meann0[i] = 0.0;
        meancyc[i] = 1.0;
        meanlogfluor[i] = 1.0;
    }

    for (int s = 1; s <= nsamples; ++s) {
        cleanupfluor(s, true);
        // Too few points for a line: not amplified, and left out of the window
        // setting and the means.
        if (npoints[ix(s)] < kMinPointsForFit) noamplif[ix(s)] = skipped[ix(s)] = 1;
    }
    view->tablechanged(TRunTable::data, 0);
    resetaxes();

    // First common window: from the mean plateau down to the axis minimum.
    double meanmax = nsamples > 0 ? GetMeanMax(0) : 0.0;
    if (!(meanmax > 0.0) || !std::isfinite(meanmax)) meanmax = std::pow(10.0, logymax);
    uplim[0] = std::log10(meanmax);
    lowlim[0] = logymin;
    defuplim[0] = uplim[0];
    deflowlim[0] = lowlim[0];
    for (int s = 1; s <= nsamples; ++s) {
        const std::size_t i = ix(s);
        woltype[i] = 0;
        uplim[i] = gruplim[i] = defuplim[i] = uplim[0];
        lowlim[i] = grlowlim[i] = deflowlim[i] = lowlim[0];
        FindPointAtLimit(s, "both");
        isdisplayed[i] = 1;
    }
    {
        const bool lock = editlock;
        editlock = true;
        setlimitedit(TLimitEdit::cuplimedit, uplim[0]);
        setlimitedit(TLimitEdit::clowlimedit, lowlim[0]);
        editlock = lock;
    }

    // Threshold at half the fluorescence of the upper limit.
    ftval[0] = std::log10(std::pow(10.0, uplim[0]) / 2.0);
    for (int s = 1; s <= nsamples; ++s) ftval[ix(s)] = ftval[0];
    setftvaledit(ftval[0]);
    ftchanged = true;
    if (nsamples > 0) {
        samplenum = std::clamp(samplenum, 1, nsamples);
        ctcalcButtonClick(ftvalshown);
        do_cascade(true, 1, 1);
        AssignFtVal(1, nsamples);
    }
    view->stagechanged(TRunStage::thresholdapplied);

    if (baselinedone && nsamples > 0) {
        view->stagechanged(TRunStage::baselinecorrected);
        for (int s = 1; s <= nsamples; ++s) findfstop(s);
        for (int s = 1; s <= nsamples; ++s) findfstart(s);
        Set_WoL(0);
        do_cascade(true, 1, 1);
    } else {
        view->stagechanged(TRunStage::baselinewaiting);
    }
    bgtrendset = false;
}

}  // namespace qurvex
