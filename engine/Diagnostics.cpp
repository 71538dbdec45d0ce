// SPDX-License-Identifier: GPL-3.0-or-later
// The engine experiments of TDiagnostics (see Diagnostics.h).
#include "engine/Diagnostics.h"

#include <cmath>

#include "engine/RunRestore.h"

namespace qurvex {

namespace {

// The noise check's verdict as the start/stop grid shows it in its last column.
const char* noisecheckText(TBaselineState::TNoiseCheck c) {
    switch (c) {
        case TBaselineState::TNoiseCheck::excluded:
            return "excluded";
        case TBaselineState::TNoiseCheck::noisy:
            return "noisy";
        case TBaselineState::TNoiseCheck::ok:
            return "OK";
        case TBaselineState::TNoiseCheck::unchecked:
            break;
    }
    return "";
}

// Rounds of the descent and of the refinement: at most this many + 1.
constexpr int kMaxRounds = 1000;

long long whole(int v) { return static_cast<long long>(v); }

// Smallest raw value of sample s (a strictly smaller one replaces) and its
// point; 0 and point 0 for a sample without raw points.
void rawmin(const TEngine& e, int s, double& minvalue, int& minpoint) {
    minvalue = 0.0;
    minpoint = 0;
    for (int p = 1; p <= e.nrawpoints[s]; ++p)
        if (p == 1 || e.rawfluor[s][p] < minvalue) {
            minvalue = e.rawfluor[s][p];
            minpoint = p;
        }
}

// fluor := raw - baseline for the raw points, then the valid points again
// (quietly: the window redraws once the run is restored).
void setbaseline(TEngine& e, int s, double baseline) {
    e.bgarr[s] = baseline;
    e.recomputefluor(s, false);
}

// The log-linear phase of sample s at its current points, then both half
// slopes of it.
void phaseslopes(TEngine& e, int s, double& sl, double& su) {
    e.findfstop(s);
    e.findfstart(s);
    double r = 0, p = 0;
    e.ttestslopes(s, sl, r, p, su);
}

// One logged round: label (round or point), baseline, fstart, fstop, lower
// and upper half slope.
void logrow(TEngine& e, TDiagnosticGrid& g, int s, TGridCell label, double sl, double su) {
    const int row = g.appendrow();
    g.set(0, row, std::move(label));
    g.set(1, row, e.bgarr[s]);
    g.set(2, row, whole(e.fstart[s]));
    g.set(3, row, whole(e.fstop[s]));
    g.set(4, row, sl);
    g.set(5, row, su);
}

// Cycle column of point p of sample s; empty outside its valid points.
TGridCell cyclecolumn(const TEngine& e, int s, int p) {
    if (p < 1 || p > e.npoints[s]) return {};
    return whole(e.headerindex(e.cyc[s][p]));
}

// What an experiment holds while it runs: the engine busy, and a copy of the
// run that is put back however the experiment ends. A stop asked for before
// it started does not count.
struct TExperimentScope {
    TExperimentScope(TEngine& e, bool& stoprequested) : busy(e), restore(e) {
        stoprequested = false;
    }
    TEngine::BusyGuard busy;
    TRunRestore restore;
};

}  // namespace

TDiagnosticResult TDiagnostics::refuse(const std::string& text) {
    e_.view->showmessage(TMessageKind::warning, text);
    TDiagnosticResult r;
    r.message = text;
    return r;
}

std::string TDiagnostics::unusable() const {
    if (e_.busy()) return "Another operation is still running.";
    if (e_.nsamples < 1) return "There are no samples to examine.";
    return {};
}

bool TDiagnostics::pumpandcheck() {
    e_.pumpmessages();
    return stoprequested_;
}

TDiagnosticResult TDiagnostics::DisplayBaselineSteps(int s) {
    if (auto why = unusable(); !why.empty()) return refuse(why);
    if (s < 1 || s > e_.nsamples)
        return refuse("Sample number " + std::to_string(s) + " is not between 1 and " +
                      std::to_string(e_.nsamples) + ".");
    const TExperimentScope scope(e_, stoprequested_);
    TDiagnosticResult result;
    result.done = true;
    auto& g = result.grid;
    g.resize(10, 2);
    g.set(0, 0, whole(s));

    // Start from just under the minimum.
    double minv = 0;
    int minpoint = 0;
    rawmin(e_, s, minv, minpoint);
    g.set(3, 0, minv);
    setbaseline(e_, s, 0.99 * minv);

    // Too flat over all points, or over its steepest 10 points: skipped.
    const int n = e_.npoints[s];
    double sl = 0, ic = 0;
    e_.rcalc(s, 1, n, sl, ic);
    bool skipped = n < 1 || sl < std::log10(5.0) / n;
    if (!skipped) {
        double steepest = -1e300;
        for (int p = 1; p + 9 <= n; ++p) {
            double s10 = 0, i10 = 0;
            e_.rcalc(s, p, p + 9, s10, i10);
            if (s10 > steepest) steepest = s10;
        }
        skipped = steepest < std::log10(5.0) / 10;
    }
    e_.skipped[s] = skipped ? 1 : 0;
    if (skipped) {
        e_.fstart[s] = 1;
        e_.fstop[s] = n;
    } else {
        e_.fstart[s] = e_.findfstart(s);
        e_.fstop[s] = e_.findfstop(s);
    }

    // Start search: the baseline under each raw point above the minimum's
    // until the phase ends in a step of more than 2x (or is too short). The
    // search ends at the last raw point.
    int row = g.appendrow();
    g.set(0, row, whole(minpoint));
    g.set(1, row, e_.bgarr[s]);
    double su = 0;
    for (int k = minpoint + 1; k <= e_.nrawpoints[s]; ++k) {
        setbaseline(e_, s, 0.99 * e_.rawfluor[s][k]);
        phaseslopes(e_, s, sl, su);
        logrow(e_, g, s, whole(k), sl, su);
        const int stop = e_.fstop[s];
        if (stop - e_.fstart[s] < 5) break;
        const double q = e_.fluor[s][stop] / e_.fluor[s][stop - 1];
        if (!(q <= 2)) break;
    }
    row = g.appendrow();
    g.set(0, row, std::string("end 0"));
    g.set(2, row, e_.bgarr[s]);
    g.appendrow();
    g.appendrow();

    // Descent: 1 % lower while the lower half rises at least as fast.
    int count = 0;
    do {
        ++count;
        phaseslopes(e_, s, sl, su);
        e_.defbgarr[s] = e_.bgarr[s];
        logrow(e_, g, s, whole(count), sl, su);
        if (sl < su) break;
        setbaseline(e_, s, 0.99 * e_.bgarr[s]);
    } while (e_.bgarr[s] >= 0.95 * minv && count <= kMaxRounds);
    row = g.appendrow();
    g.set(0, row, std::string("end 1"));
    if (e_.bgarr[s] < 0.95 * minv) g.set(1, row, std::string("baselineerror"));
    g.set(2, row, e_.bgarr[s]);

    // Refinement: steps of 0.5 % until both slopes agree.
    const double step = 0.005 * e_.bgarr[s];
    double factor = 1.0, absd = 10.0;
    int same = 0, direction = 0;
    bool turned = false;
    count = 0;
    do {
        ++count;
        ++same;
        if (same > 10 && !turned) {
            factor *= 2;
            same = 0;
        }
        const int previousdirection = direction;
        const double previousabsd = absd;
        e_.defbgarr[s] = e_.bgarr[s];
        setbaseline(e_, s, e_.bgarr[s]);
        phaseslopes(e_, s, sl, su);
        logrow(e_, g, s, whole(count), sl, su);
        absd = std::fabs(sl - su);
        direction = sl - su > 0 ? 1 : -1;
        if (sl >= su) {
            e_.bgarr[s] -= 2 * factor * step;
            factor /= 2;
            turned = true;
        } else {
            e_.bgarr[s] += factor * step;
        }
        if (std::fabs(absd - previousabsd) < 1e-5 && direction == previousdirection && turned)
            break;
    } while (absd >= 1e-4 && count <= kMaxRounds);

    e_.do_cascade(false, s, 1);
    e_.resetaxes();
    g.set(1, 0, std::string("ready"));
    return result;
}

TDiagnosticResult TDiagnostics::RunsTest() {
    if (auto why = unusable(); !why.empty()) return refuse(why);
    const TExperimentScope scope(e_, stoprequested_);
    TDiagnosticResult result;
    result.done = true;
    auto& g = result.grid;
    g.resize(10, e_.nsamples + 1);
    for (int s = 1; s <= e_.nsamples; ++s) {
        g.set(0, s, whole(s));
        double minv = 0;
        int minpoint = 0;
        rawmin(e_, s, minv, minpoint);
        setbaseline(e_, s, 0.99 * minv);
        const auto& F = e_.fluor[s];
        int n = 0, negatives = 0, positives = 0, runs = 0, previous = 0;
        for (int p = 2; p <= e_.npoints[s]; ++p) {
            const double d = F[p] - F[p - 1];
            if (d == 0) continue;
            const int sign = d > 0 ? 1 : -1;
            ++n;
            (sign > 0 ? positives : negatives) += 1;
            if (sign != previous) ++runs;
            previous = sign;
        }
        g.set(1, s, whole(runs));
        g.set(2, s, whole(n));
        g.set(3, s, whole(negatives));
        g.set(4, s, whole(positives));
        if (n < 2) {
            // (16n - 29)/90 is negative below 2 differences: no test.
            g.set(5, s, std::string("fewer than 2 changes: no test"));
        } else {
            // Expected runs and their sd for n random signs (Wald-Wolfowitz
            // up-and-down runs): E = (2n - 1)/3, var = (16n - 29)/90.
            const double expected = (2.0 * n - 1) / 3;
            const double sd = std::sqrt((16.0 * n - 29) / 90);
            const double z = std::fabs(runs - expected) / sd;
            g.set(5, s, expected);
            g.set(6, s, sd);
            g.set(7, s, z);
            g.set(8, s, static_cast<double>(e_.Stattool1.NormalUpperTail(z)));
        }
        if (pumpandcheck()) {
            result.stopped = true;
            break;
        }
    }
    return result;
}

TDiagnosticResult TDiagnostics::CtShift(int range) {
    if (auto why = unusable(); !why.empty()) return refuse(why);
    if (range < 0 || range > 99)
        return refuse("The shift range must be a whole number from 0 to 99.");
    const TExperimentScope scope(e_, stoprequested_);
    TDiagnosticResult result;
    result.done = true;
    auto& g = result.grid;
    g.resize(2 * range + 2, e_.nsamples + 1);
    for (int j = -range; j <= range; ++j) g.set(range + 1 + j, 0, whole(j));
    for (int s = 1; s <= e_.nsamples && !result.stopped; ++s) {
        g.set(0, s, whole(s));
        e_.samplenum = s;
        result.stopped = pumpandcheck();
        const double b = e_.bgarr[s];
        for (int j = -range; j <= range && !result.stopped; ++j) {
            setbaseline(e_, s, (1 + j / 100.0) * b);
            e_.findfstop(s);
            e_.findfstart(s);
            e_.do_cascade(false, s, 1);
            result.stopped = pumpandcheck();
            g.set(range + 1 + j, s, e_.ct[s]);
        }
    }
    return result;
}

TDiagnosticResult TDiagnostics::CtDriftLogLin(int g, bool keepwolfixed) {
    if (auto why = unusable(); !why.empty()) return refuse(why);
    if (g < 0 || g > e_.ngroups || g >= static_cast<int>(e_.defuplim.size()))
        return refuse("Group " + std::to_string(g) + " is not between 0 and " +
                      std::to_string(e_.ngroups) + ".");
    const TExperimentScope scope(e_, stoprequested_);
    const double eff = e_.GetMeanEff(g);
    // The threshold steps down by log10 of the mean efficiency: without
    // amplification (E <= 1.001) it would never get down.
    if (!(eff > 1.001))
        return refuse("The mean efficiency of group " + std::to_string(g) +
                      " is 1.001 or less: the threshold cannot step through its log-linear "
                      "phase.");
    const double maxstart = e_.GetMaxFluStart(g);
    if (!(maxstart > 0))
        return refuse("Group " + std::to_string(g) + " has no sample with a log-linear phase.");
    const double step = std::log10(eff);
    const double lowest = std::log10(maxstart);

    TDiagnosticResult result;
    result.done = true;
    auto& grid = result.grid;
    grid.resize(e_.nsamples + 2, 2);
    grid.set(0, 0, std::string("t-count"));
    grid.set(1, 0, std::string("threshold"));
    for (int s = 1; s <= e_.nsamples; ++s) grid.set(s + 1, 0, e_.sampname[s]);
    int count = 0;
    for (double thr = e_.defuplim[g]; thr > lowest; thr -= step) {
        ++count;
        e_.ftval[g] = thr;
        if (!keepwolfixed) {
            e_.ApplyLogWindow(g, 4 * step, thr);
            e_.ftval[g] = thr;
        }
        e_.AssignFtVal(1, e_.nsamples);
        grid.set(0, count, whole(count));
        grid.set(1, count, thr);
        for (int s = 1; s <= e_.nsamples; ++s) grid.set(s + 1, count, e_.ct[s]);
        if (pumpandcheck()) {
            result.stopped = true;
            break;
        }
    }
    return result;
}

TDiagnosticResult TDiagnostics::displayStartStop() {
    if (auto why = unusable(); !why.empty()) return refuse(why);
    const TExperimentScope scope(e_, stoprequested_);
    TDiagnosticResult result;
    result.done = true;
    auto& g = result.grid;
    g.resize(7, e_.nsamples + 1);
    const char* const titles[] = {"sample", "log-lin start??", "fstart",
                                  "fstop",  "pstart",          "pstop"};
    for (int c = 0; c < 6; ++c) g.set(c, 0, std::string(titles[c]));
    for (int s = 1; s <= e_.nsamples; ++s) {
        e_.findfstop(s);
        e_.findfstart(s);
        e_.FindPointAtLimit(s, "both");
        g.set(0, s, whole(s));
        g.set(2, s, cyclecolumn(e_, s, e_.fstart[s]));
        e_.fstart[s] = e_.findloglinstart(s);
        g.set(1, s, cyclecolumn(e_, s, e_.fstart[s]));
        e_.fstart[s] = e_.findfstart(s);
        g.set(3, s, cyclecolumn(e_, s, e_.fstop[s]));
        g.set(4, s, cyclecolumn(e_, s, e_.wolstart[s]));
        g.set(5, s, cyclecolumn(e_, s, e_.wolstop[s]));
        if (static_cast<std::size_t>(s) < e_.noisecheck.size()) {
            const char* verdict = noisecheckText(e_.noisecheck[s]);
            if (*verdict != '\0') g.set(6, s, std::string(verdict));
        }
    }
    return result;
}

std::optional<double> TDiagnostics::GetMinFlu() const {
    const int s = e_.samplenum;
    if (s < 1 || s > e_.nsamples) return std::nullopt;
    std::optional<double> m;
    for (int p = 1; p <= e_.nrawpoints[s]; ++p) {
        const double v = e_.rawfluor[s][p];
        if (v > 0 && (!m || v < *m)) m = v;
    }
    return m;
}

}  // namespace qurvex
