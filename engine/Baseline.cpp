// SPDX-License-Identifier: GPL-3.0-or-later
// The default baseline step: per sample one constant background, lowered
// until the lower half of the log-linear phase rises no faster than the upper
// half, then refined by a step search until both slopes agree.
#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/Engine.h"

namespace qurvex {

namespace {

// Criterion of both loops of the iterative baseline: at most this many rounds.
constexpr int kMaxRounds = 1000;

}  // namespace

void TEngine::recomputefluor(int s, bool showrow) {
    const int nraw = nrawpoints[s];
    auto& F = fluor[s];
    const auto& R = rawfluor[s];
    const double bg = bgarr[s];
    for (int p = 1; p <= nraw; ++p) F[p] = R[p] - bg;
    cleanupfluor(s, showrow);
}

bool TEngine::BaselineButtonPanelClick() {
    if (busy() || nsamples < 1) return false;
    const bool done = usebaselinezw ? baselineZWButtonClick() : baselineButtonClick();
    if (!done) return false;
    BusyGuard guard(*this);
    if (scratchmode) view->beep();
    if (fromrdml) {
        GetAmpliconGroupNumbers();
        numgroupsEditChange();
        SetWolPerGroupButtonClick();
        samplenum = 1;
        samplenumChange();
    }
    if (!fromrdml || scratchmode) {
        view->stagechanged(TRunStage::annotationsneeded);
        view->pageneeded(TRunPage::tissuepersample);
    }
    return true;
}

// Phase 0 of both baseline routines: raw data back, flags of the step cleared.
void TEngine::baselinereset() {
    view->setbusycursor(true);
    view->stagechanged(TRunStage::baselinecorrected);
    for (int s = 1; s <= nsamples; ++s) {
        const int nraw = nrawpoints[s];
        for (int p = 1; p <= nraw; ++p) fluor[s][p] = rawfluor[s][p];
        cleanupfluor(s, false);
        bgerror[s] = noplateau[s] = shortloglin[s] = noamplif[s] = skipped[s] = ctshifting[s] =
            noisy[s] = 0;
        woltype[s] = 0;
    }
    view->stagechanged(TRunStage::baselinestepstarted);
    view->pageneeded(TRunPage::individualsample);
    view->pageneeded(TRunPage::efficiencies);
}

// Smallest raw value of sample s (a strictly smaller one replaces) and its
// point; 0 and point 0 for a sample without raw points.
void TEngine::rawminimum(int s, double& minvalue, int& minpoint) const {
    minvalue = 0.0;
    minpoint = 0;
    const int nraw = nrawpoints[s];
    for (int p = 1; p <= nraw; ++p) {
        if (p == 1 || rawfluor[s][p] < minvalue) {
            minvalue = rawfluor[s][p];
            minpoint = p;
        }
    }
}

// True when the last three points of the log-linear phase rise strictly.
// A phase ending before point 3 has no such three points: false.
bool TEngine::risingatfstop(int s) const {
    const int stop = fstop[s];
    if (stop < 3 || stop > npoints[s]) return false;
    const auto& F = fluor[s];
    return F[stop] > F[stop - 1] && F[stop - 1] > F[stop - 2];
}

// Phase 1 for one sample (both routines): no-amplification screening on the
// data lifted to 1 % of their minimum. Returns nothing; sets the flags.
// A sample without amplification is skipped with the whole row as its
// phase; any other sample gets its log-linear phase (with zwstart the phase
// starts W + 1 points before its end, at least at point 1).
void TEngine::phaseorskip(int s, bool zwstart) {
    if (noamplif[s]) {
        skipped[s] = 1;
        fstart[s] = 1;
        fstop[s] = npoints[s];
        return;
    }
    skipped[s] = 0;
    findfstop(s);
    if (zwstart)
        fstart[s] = std::max(1, fstop[s] - wolpoints - 1);
    else
        findfstart(s);
}

// The end of one sample's refinement: a phase that amplifies less than 20-fold
// (10-fold relaxed) is short; the efficiency is 10^(upper slope); the sample
// is shown.
void TEngine::closerefinement(int s, double upperslope) {
    const auto& F = fluor[s];
    const double limit = options.RelaxLogLinLengthRG == 1 ? 10.0 : 20.0;
    shortloglin[s] =
        npoints[s] >= 1 && fstop[s] >= 1 && fstart[s] >= 1 && F[fstop[s]] / F[fstart[s]] < limit;
    indiveff[s] = std::pow(10.0, upperslope);
    showprogress(s);
}

// With zwstart the log-linear phase starts W + 1 points before its end.
void TEngine::screensample(int s, double minvalue, int minpoint, bool zwstart) {
    double sl = 0, ic = 0;
    int n = npoints[s];
    rcalc(s, 1, n, sl, ic);
    if (sl < 0) noamplif[s] = 1;
    bgarr[s] = 0.99 * minvalue;
    defbgarr[s] = bgarr[s];
    recomputefluor(s, false);
    n = npoints[s];
    rcalc(s, 1, n, sl, ic);
    if (n < 2 || sl < std::log10(7.0) / n) noamplif[s] = 1;
    // Late rise: a curve flat over its first 10 points must end at least 7x
    // above their mean (the minimum left out). Needs 10 points.
    const auto& F = fluor[s];
    if (n >= 10 && ((F[9] + F[10]) / 2) / ((F[1] + F[2]) / 2) < 1.2) {
        double sum = 0;
        int count = 0;
        for (int p = 1; p <= 10; ++p) {
            if (p == minpoint) continue;
            sum += F[p];
            ++count;
        }
        const double mean = sum / count;
        if (F[n] / mean < 7) noamplif[s] = 1;
    }
    phaseorskip(s, zwstart);
    if (zwstart) noplateau[s] = noamplif[s] || bgerror[s] || fstop[s] == n;
    if (!risingatfstop(s)) {
        noamplif[s] = 1;
        skipped[s] = 1;
    }
    if (!zwstart) noplateau[s] = noamplif[s] || bgerror[s] || fstop[s] == n;
}

// Phase 2: a first common window one decade under the mean plateau, 16-fold
// wide, and a fit of every sample in it.
void TEngine::firstcommonwindow() {
    resetaxes();
    const double m = GetMeanMax(0);
    uplim[0] = std::log10(0.1 * m);
    lowlim[0] = std::log10(0.1 * m / 16);
    for (int s = 1; s <= nsamples; ++s) {
        uplim[s] = uplim[0];
        lowlim[s] = lowlim[0];
    }
    do_cascade(true, 1, 1);
    pumpmessages();
}

// Log-linear phase of sample s after its baseline changed. The points are
// new, so the phase is searched without consulting the memo.
void TEngine::findphase(int s, bool zwstart) {
    findfstopcompute(s);
    if (zwstart)
        fstart[s] = std::max(1, fstop[s] - wolpoints - 1);
    else
        findfstartcompute(s, options.BaselineStrictnessRG);
}

// Slopes of both halves at the current baseline, d = Sl - Su.
double TEngine::slopedifference(int s, bool zwstart, double& sl, double& su) {
    findphase(s, zwstart);
    halfslopes(s, sl, su);
    return sl - su;
}

// Refinement of the baseline (both routines): steps of 0.5 % of the baseline,
// up while Sl < Su, back by two steps with the step halved when Sl >= Su; the
// step doubles after 10 rounds in one direction before the first turn. Ends
// when |d| < 1e-4, when |d| no longer changes (< 1e-5) in the same direction
// after a turn, or after 1001 rounds. Returns the last |d|; defbgarr[s] holds
// the baseline of the last round and fluor is computed with it.
double TEngine::refinebaseline(int s, bool zwstart, double& upperslope) {
    const double step = 0.005 * bgarr[s];
    double factor = 1.0;
    int count = 0, same = 0;
    double absd = 10.0;
    int direction = 0;  // 0 start, 1 pos, -1 neg
    bool turned = false;
    double sl = 0, su = 0;
    do {
        ++count;
        ++same;
        if (same > 10 && !turned) {
            factor *= 2;
            same = 0;
        }
        const int previousdirection = direction;
        const double previousabsd = absd;
        defbgarr[s] = bgarr[s];
        recomputefluor(s, false);
        const double d = slopedifference(s, zwstart, sl, su);
        absd = std::fabs(d);
        direction = d > 0 ? 1 : -1;
        if (sl >= su) {
            bgarr[s] -= 2 * factor * step;
            factor /= 2;
            turned = true;
        } else {
            bgarr[s] += factor * step;
        }
        if (std::fabs(absd - previousabsd) < 1e-5 && direction == previousdirection && turned)
            break;
    } while (absd >= 1e-4 && count <= kMaxRounds);
    upperslope = su;
    return absd;
}

bool TEngine::baselineButtonClick() {
    if (busy() || nsamples < 1) return false;
    BusyGuard guard(*this);
    FitScope search(fitcache);
    baselinereset();

    // Phase 1: screening.
    std::vector<double> minvalue(static_cast<size_t>(nsamples) + 1, 0.0);
    std::vector<int> minpoint(static_cast<size_t>(nsamples) + 1, 0);
    for (int s = 1; s <= nsamples; ++s) {
        rawminimum(s, minvalue[s], minpoint[s]);
        screensample(s, minvalue[s], minpoint[s], false);
        showprogress(s);
    }

    // Phase 2: first common window.
    firstcommonwindow();

    // Phase 3: iterative baseline.
    for (int s = 1; s <= nsamples; ++s) {
        if (noamplif[s]) continue;
        const double minv = minvalue[s];
        const int start = std::clamp(fstop[s] - 5, 1, std::max(1, nrawpoints[s]));
        bgarr[s] = 0.99 * rawfluor[s][start];
        recomputefluor(s, false);
        findphase(s, false);
        // Descent: lower the baseline by 1 % while the lower half rises at least
        // as fast as the upper half.
        int count = 0;
        bool reached = false;
        double sl = 0, su = 0;
        do {
            ++count;
            slopedifference(s, false, sl, su);
            defbgarr[s] = bgarr[s];
            if (sl >= su) {
                bgarr[s] *= 0.99;
                recomputefluor(s, false);
            } else {
                reached = true;
                break;
            }
        } while (bgarr[s] >= 0.95 * minv && count <= kMaxRounds);
        // Out of rounds before the slopes crossed and before the minimum was
        // passed: the baseline is not determined.
        if (bgarr[s] < 0.95 * minv || (!reached && count > kMaxRounds)) bgerror[s] = 1;
        const double absd = refinebaseline(s, false, su);
        // Slopes that agree with a baseline near the minimum clear the error.
        if (absd < 1e-4 && defbgarr[s] > 0.9 * minv) bgerror[s] = 0;
        closerefinement(s, su);
    }

    finalbaselines(minvalue, false);
    baselinethreshold();

    // Phase 6: Cq shift of samples with a short log-linear phase.
    ctshiftct.assign(static_cast<size_t>(nsamples) + 1, 0.0);
    const double x = options.RelaxCtShiftRG == 1 ? 0.02 : 0.05;
    for (int s = 1; s <= nsamples; ++s) {
        if (!shortloglin[s] || noamplif[s]) continue;
        const double bg = defbgarr[s];
        auto refitat = [&](double baseline) {
            bgarr[s] = baseline;
            recomputefluor(s, true);
            if (npoints[s] > 0) {
                findphase(s, false);
                do_cascade(false, s, 1);
                pumpmessages();
            }
            return ct[s];
        };
        refitat(bg);
        const double cqplus = refitat((1 + x) * bg);
        const double cqminus = refitat((1 - x) * bg);
        ctshiftct[s] = refitat(bg);
        view->tablechanged(TRunTable::ctshift, s);
        pumpmessages();
        ctshift[s] = std::fabs(cqplus - cqminus);
        if (ctshift[s] > 1.0) {
            ctshifting[s] = bgerror[s] = skipped[s] = 1;
        } else if (!bgerror[s]) {
            skipped[s] = 0;
        }
    }

    // Phase 7: user exclusions; a common window under the mean plateau.
    for (int s = 1; s <= nsamples; ++s)
        if (userexcluded[s]) skipped[s] = 1;
    const double m = GetMeanMax(0);
    uplim[0] = std::log10(0.1 * m);
    lowlim[0] = std::log10(0.1 * m / 16);

    // Phase 8: noise check, else the common window of linearity.
    if (CheckNoisiness()) {
        // The noisy samples are shown as the subset on display.
        const auto item = std::find(ShowSetCBItems.begin(), ShowSetCBItems.end(), TSubset::noisy);
        if (item != ShowSetCBItems.end()) {
            ShowSetCBItemIndex = static_cast<int>(item - ShowSetCBItems.begin());
            view->subsetschanged();
        }
        view->stagechanged(TRunStage::noisydataset);
        int bgerrors = 0, noisycount = 0;
        for (int s = 1; s <= nsamples; ++s) {
            bgerrors += bgerror[s] ? 1 : 0;
            noisycount += noisy[s] ? 1 : 0;
        }
        const std::string ns = std::to_string(nsamples);
        const std::vector<std::string> lines = {
            "Data set is too noisy for automatic processing. ",
            " ",
            "The program found " + std::to_string(noisycount) + "/" + ns + " noisy samples and " +
                std::to_string(bgerrors) + "/" + ns + " samples with baseline errors.",
            "The noisy samples are displayed below.",
            "In noisy datasets, estimated baselines cannot be trusted.",
            " ",
            "Please continue manually.",
            " ",
            "See menu: \"Help - handling Noise\" for help on how to proceed."};
        if (view->noisewarning(lines) == 2) view->helpneeded(THelpTopic::handlingnoise);
    } else {
        Set_WoL(0);
        setftvaledit(ftval[0]);
        AssignNoPlateau(0);
        samplenum = 1;
        samplenumChange();
    }
    view->pageneeded(TRunPage::individualsample);
    view->setbusycursor(false);
    return true;
}

// Phase 4 (both routines): the determined baseline of every sample.
void TEngine::finalbaselines(const std::vector<double>& minvalue, bool zwstart) {
    for (int s = 1; s <= nsamples; ++s) {
        if (noamplif[s]) {
            skipped[s] = 1;
            defbgarr[s] = 0.99 * minvalue[s];
        }
        if (bgerror[s]) skipped[s] = 1;
        bgarr[s] = defbgarr[s];
    }
    for (int s = 1; s <= nsamples; ++s) {
        recomputefluor(s, true);
        if (noamplif[s]) {
            fstart[s] = 1;
            fstop[s] = npoints[s];
        } else {
            findphase(s, zwstart);
        }
    }
    resetaxes();
}

// Phase 5 (both routines): baselines done; threshold one mean amplification
// step under the upper limit: ftval = uplim[0] - log10(E).
void TEngine::baselinethreshold() {
    baselinedone = true;
    bgtrendset = false;
    view->stagechanged(TRunStage::baselinestepdone);
    ftval[0] = uplim[0] - std::log10(GetMeanEff(0));
    setftvaledit(ftval[0]);
    for (int s = 1; s <= nsamples; ++s) sampftval[s] = ftval[0];
}

void TEngine::SetWindow() {
    if (busy() || nsamples < 1) return;
    BusyGuard guard(*this);
    for (int s = 1; s <= nsamples; ++s) {
        const int n = npoints[s];
        double sl = 0, ic = 0;
        rcalc(s, 1, n, sl, ic);
        if (sl < 0 || n < 1 || sl < std::log10(5.0) / n) noamplif[s] = 1;
        phaseorskip(s, false);
        noplateau[s] = noamplif[s] || bgerror[s] || fstop[s] == n;
    }
    Set_WoL(0);
    AssignNoPlateau(0);
    setftvaledit(ftval[0]);
    view->pageneeded(TRunPage::individualsample);
}

void TEngine::ResetDefaultbaselineButtonClick() {
    const int s = samplenum;
    if (busy() || s < 1 || s > nsamples) return;
    BusyGuard guard(*this);
    // The baseline set by hand is given up before the refit: a sample with a
    // baseline error is then fitted (or skipped) as the error says.
    manualbg[s] = 0;
    if (bgerror[s]) skipped[s] = 1;
    bgarr[s] = defbgarr[s];
    recomputefluor(s, true);
    findfstop(s);
    findfstart(s);
    resetaxes();
    switch (woltype[s]) {
        case 1: {
            const int g = ampgroup[s];
            if (g >= 0 && g < static_cast<int>(gruplim.size())) {
                uplim[s] = gruplim[g];
                lowlim[s] = grlowlim[g];
            }
            do_cascade(false, s, 1);
            break;
        }
        case 2:
            fitsample(s);
            do_cascade(false, s, 2);
            break;
        default:
            uplim[s] = uplim[0];
            lowlim[s] = lowlim[0];
            FindPointAtLimit(s, "both");
            do_cascade(false, s, 1);
            break;
    }
    const auto& F = fluor[s];
    shortloglin[s] =
        npoints[s] >= 1 && fstop[s] >= 1 && fstart[s] >= 1 && F[fstop[s]] / F[fstart[s]] < 20;
    samplenumChange();
}

}  // namespace qurvex
