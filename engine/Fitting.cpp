// SPDX-License-Identifier: GPL-3.0-or-later
// The log-linear regression of every sample inside its window, the refit of
// all or one sample, thresholds and Cq, and the individual best-window fit.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "engine/Engine.h"

namespace qurvex {

namespace {

std::size_t ix(int i) { return static_cast<std::size_t>(i); }

// Sums of a straight-line fit. The data are shifted by their first point
// before summing (Sxx, Syy and Sxy do not change under a shift), which keeps
// the centred sums accurate and makes them exactly 0 for constant data.
struct LineFit {
    int n = 0;
    double x0 = 0, y0 = 0;
    double sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;

    void add(double x, double y) {
        if (n == 0) {
            x0 = x;
            y0 = y;
        }
        const double dx = x - x0;
        const double dy = y - y0;
        ++n;
        sx += dx;
        sy += dy;
        sxx += dx * dx;
        syy += dy * dy;
        sxy += dx * dy;
    }
    double Sxx() const { return sxx - sx * sx / n; }
    double Syy() const { return syy - sy * sy / n; }
    double Sxy() const { return sxy - sx * sy / n; }
    double meanx() const { return x0 + sx / n; }
    double meany() const { return y0 + sy / n; }
};

// Cq = (threshold - mean log10 F) / slope + mean cycle; 0 when slope <= 0.
double cqat(double threshold, double slope, double meanlog, double meancycle) {
    return slope > 0.0 ? (threshold - meanlog) / slope + meancycle : 0.0;
}

// rcalc of sample s; logs, when given, holds log10 fluor[s][p] of the
// sample's valid points (the same values rcalc would compute).
double regression(TEngine& e, int s, int first, int last, double& slopeout, double& interceptout,
                  const double* logs) {
    slopeout = 0.0;
    interceptout = 0.0;
    e.lastmeanx = 0.0;
    e.lastmeany = 0.0;
    if (s < 1 || s > e.nsamples || first < 1 || last > e.npoints[ix(s)]) return 0.0;
    const auto& c = e.cyc[ix(s)];
    const auto& f = e.fluor[ix(s)];
    LineFit fit;
    for (int p = first; p <= last; ++p) {
        if (!(f[ix(p)] > 0.0)) return 0.0;
        fit.add(c[ix(p)], logs ? logs[p] : std::log10(f[ix(p)]));
    }
    if (fit.n == 0) return 0.0;
    const double sxx = fit.Sxx();
    const double syy = fit.Syy();
    if (!(sxx > 0.0) || !(syy > 0.0)) return 0.0;
    const double sxy = fit.Sxy();
    slopeout = sxy / sxx;
    interceptout = fit.meany() - slopeout * fit.meanx();
    e.lastmeanx = fit.meanx();
    e.lastmeany = fit.meany();
    return sxy / std::sqrt(sxx * syy);
}

}  // namespace

// r = Sxy / sqrt(Sxx Syy), slope = Sxy / Sxx, intercept = mean y - slope mean x; y = log10 F
double TEngine::rcalc(int s, int first, int last, double& slopeout, double& interceptout) {
    return regression(*this, s, first, last, slopeout, interceptout, nullptr);
}

// The same line on the raw scale: y = rawfluor on x = rawcyc
double TEngine::rrawcalc(int s, int first, int last, double& slopeout, double& interceptout) const {
    slopeout = 0.0;
    interceptout = 0.0;
    if (s < 1 || s > nsamples) return 0.0;
    const auto& c = rawcyc[ix(s)];
    const auto& f = rawfluor[ix(s)];
    const int top = std::min(nrawpoints[ix(s)], static_cast<int>(std::min(c.size(), f.size())) - 1);
    if (first < 1 || last > top) return 0.0;
    LineFit fit;
    for (int p = first; p <= last; ++p) fit.add(c[ix(p)], f[ix(p)]);
    if (fit.n == 0) return 0.0;
    const double sxx = fit.Sxx();
    const double syy = fit.Syy();
    if (!(syy > 0.0) || !(sxx > 0.0)) {
        interceptout = fit.meany();
        return 0.0;
    }
    const double sxy = fit.Sxy();
    slopeout = sxy / sxx;
    interceptout = fit.meany() - slopeout * fit.meanx();
    return sxy / std::sqrt(sxx * syy);
}

void TEngine::do_cascade(bool all, int s, int mode) {
    if (mode < 2) {
        if (!all) fitcache.lastrefitgroup = -1;
        const int from = all ? 1 : s;
        const int to = all ? nsamples : s;
        if (all && fitcache.active())
            refitall();
        else
            for (int k = std::max(from, 1); k <= std::min(to, nsamples); ++k) refitsample(k);
    }
    if (mode < 3) {
        view->resultschanged(samplenum);
    }
}

namespace {

template <typename T>
bool bitwiseequal(const T& a, const T& b) {
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

// Marks in `changed` the samples 1..n whose element of `now` differs
// (bitwise) from the copy; `from` 0 also compares element 0, whose change
// marks every sample. Sizes are checked by the caller.
template <typename T>
void markchanged(const std::vector<T>& now, const std::vector<T>& copy, int n,
                 std::vector<std::uint8_t>& changed, int from = 1) {
    const std::size_t bytes = static_cast<std::size_t>(n + 1 - from) * sizeof(T);
    if (std::memcmp(now.data() + from, copy.data() + from, bytes) == 0) return;
    if (from == 0 && std::memcmp(&now[0], &copy[0], sizeof(T)) != 0) {
        std::fill(changed.begin() + 1, changed.begin() + n + 1, std::uint8_t{1});
        return;
    }
    // Element by element as same-sized integers (bitwise, vectorizable).
    using Bits =
        std::conditional_t<sizeof(T) == 8, std::uint64_t,
                           std::conditional_t<sizeof(T) == 4, std::uint32_t, std::uint8_t>>;
    static_assert(sizeof(Bits) == sizeof(T));
    const T* a = now.data();
    const T* b = copy.data();
    std::uint8_t* out = changed.data();
    for (int k = 1; k <= n; ++k) {
        Bits x, y;
        std::memcpy(&x, a + k, sizeof x);
        std::memcpy(&y, b + k, sizeof y);
        out[k] |= static_cast<std::uint8_t>(x != y);
    }
}

}  // namespace

// Refit of every sample inside a window search. A sample whose fields all
// equal the copy taken after the previous refit of all samples, and whose
// refit then reproduced itself, would get exactly the same values again: it
// is left alone. Every other sample is refitted (refitsample).
void TEngine::refitall() {
    const int n = nsamples;
    TFitCache::Snapshot& c = fitcache.snapshot;
    const std::size_t size = ix(n) + 1;
    bool sized = true;
    for (std::size_t z :
         {npoints.size(),   woltype.size(),  fstart.size(),    wolstart.size(), wolstop.size(),
          fstop.size(),     fmaxdiff.size(), ninclu.size(),    uplim.size(),    lowlim.size(),
          sampftval.size(), slope.size(),    intercept.size(), meancyc.size(),  meanlogfluor.size(),
          ct.size(),        rval.size(),     indiveff.size(),  indivn0.size(),  noamplif.size(),
          bgerror.size(),   manualbg.size(), emptywol.size()})
        sized = sized && z >= size;
    if (!sized) {
        c.n = -1;
        fitcache.lastrefitgroup = -1;
        for (int k = 1; k <= n; ++k) refitsample(k);
        return;
    }
    if (refitsearchgroup()) return;
    fitcache.lastrefitgroup = fitcache.searchgroup;
    const bool compare = c.n == n;
    c.changed.assign(size, compare ? 0 : 1);
    // A new common limit changes every sample: nothing to compare.
    const bool commonchanged =
        compare && (!bitwiseequal(uplim[0], c.uplim[0]) || !bitwiseequal(lowlim[0], c.lowlim[0]));
    if (commonchanged) {
        std::fill(c.changed.begin() + 1, c.changed.end(), std::uint8_t{1});
    } else if (compare) {
        markchanged(npoints, c.npoints, n, c.changed);
        markchanged(woltype, c.woltype, n, c.changed);
        markchanged(fstart, c.fstart, n, c.changed);
        markchanged(wolstart, c.wolstart, n, c.changed);
        markchanged(wolstop, c.wolstop, n, c.changed);
        markchanged(fstop, c.fstop, n, c.changed);
        markchanged(fmaxdiff, c.fmaxdiff, n, c.changed);
        markchanged(ninclu, c.ninclu, n, c.changed);
        markchanged(uplim, c.uplim, n, c.changed, 0);
        markchanged(lowlim, c.lowlim, n, c.changed, 0);
        markchanged(sampftval, c.sampftval, n, c.changed);
        markchanged(slope, c.slope, n, c.changed);
        markchanged(intercept, c.intercept, n, c.changed);
        markchanged(meancyc, c.meancyc, n, c.changed);
        markchanged(meanlogfluor, c.meanlogfluor, n, c.changed);
        markchanged(ct, c.ct, n, c.changed);
        markchanged(rval, c.rval, n, c.changed);
        markchanged(indiveff, c.indiveff, n, c.changed);
        markchanged(indivn0, c.indivn0, n, c.changed);
        markchanged(noamplif, c.noamplif, n, c.changed);
        markchanged(bgerror, c.bgerror, n, c.changed);
        markchanged(manualbg, c.manualbg, n, c.changed);
        markchanged(emptywol, c.emptywol, n, c.changed);
    } else {
        c.n = n;
        for (auto* v : {&c.npoints, &c.woltype, &c.fstart, &c.wolstart, &c.wolstop, &c.fstop,
                        &c.fmaxdiff, &c.ninclu})
            v->assign(size, 0);
        for (auto* v : {&c.uplim, &c.lowlim, &c.sampftval, &c.slope, &c.intercept, &c.meancyc,
                        &c.meanlogfluor, &c.ct, &c.rval, &c.indiveff, &c.indivn0})
            v->assign(size, 0.0);
        for (auto* v : {&c.noamplif, &c.bgerror, &c.manualbg, &c.emptywol, &c.stable})
            v->assign(size, 0);
    }
    c.uplim[0] = uplim[0];
    c.lowlim[0] = lowlim[0];
    bool lastrefitted = false;
    for (int k = 1; k <= n; ++k) {
        const std::size_t i = ix(k);
        if (!c.changed[i] && c.stable[i]) continue;  // would be refitted to itself
        refitsample(k);
        keepsnapshot(k);
        lastrefitted = k == n;
    }
    // The last sample's regression is the last one made.
    if (n >= 1 && !lastrefitted) {
        lastmeanx = meancyc[ix(n)];
        lastmeany = meanlogfluor[ix(n)];
    }
}

void TEngine::keepsnapshot(int k) {
    TFitCache::Snapshot& c = fitcache.snapshot;
    const std::size_t i = ix(k);
    const TFitCache::Refit& m = fitcache.at(k).refit;
    c.stable[i] = m.known && m.stable;
    c.npoints[i] = npoints[i];
    c.woltype[i] = woltype[i];
    c.fstart[i] = fstart[i];
    c.wolstart[i] = wolstart[i];
    c.wolstop[i] = wolstop[i];
    c.fstop[i] = fstop[i];
    c.fmaxdiff[i] = fmaxdiff[i];
    c.ninclu[i] = ninclu[i];
    c.uplim[i] = uplim[i];
    c.lowlim[i] = lowlim[i];
    c.sampftval[i] = sampftval[i];
    c.slope[i] = slope[i];
    c.intercept[i] = intercept[i];
    c.meancyc[i] = meancyc[i];
    c.meanlogfluor[i] = meanlogfluor[i];
    c.ct[i] = ct[i];
    c.rval[i] = rval[i];
    c.indiveff[i] = indiveff[i];
    c.indivn0[i] = indivn0[i];
    c.noamplif[i] = noamplif[i];
    c.bgerror[i] = bgerror[i];
    c.manualbg[i] = manualbg[i];
    c.emptywol[i] = emptywol[i];
}

// Inside the search of group g, when the last refit of all samples ran in the
// same search and only g's limits were edited since, a sample outside g has
// the fields the copy holds; when its last refit was a fixed point it would
// be refitted to itself. So only g's samples are compared and refitted, in
// the order refitall uses, with the same rule for the last regression.
bool TEngine::refitsearchgroup() {
    const int g = fitcache.searchgroup;
    TFitCache::Snapshot& c = fitcache.snapshot;
    const int n = nsamples;
    if (g <= 0 || fitcache.lastrefitgroup != g || c.n != n) return false;
    if (!bitwiseequal(uplim[0], c.uplim[0]) || !bitwiseequal(lowlim[0], c.lowlim[0])) return false;
    const std::vector<int>& members = samplesingroup(g);
    // Every unstable sample must be one of g's.
    const auto unstable = std::count(c.stable.begin() + 1, c.stable.begin() + n + 1, 0);
    long unstablemembers = 0;
    for (const int k : members) unstablemembers += c.stable[ix(k)] ? 0 : 1;
    if (unstable != unstablemembers) return false;
    bool lastrefitted = false;
    for (const int k : members) {
        const std::size_t i = ix(k);
        const bool same =
            c.stable[i] && bitwiseequal(npoints[i], c.npoints[i]) &&
            bitwiseequal(woltype[i], c.woltype[i]) && bitwiseequal(fstart[i], c.fstart[i]) &&
            bitwiseequal(wolstart[i], c.wolstart[i]) && bitwiseequal(wolstop[i], c.wolstop[i]) &&
            bitwiseequal(fstop[i], c.fstop[i]) && bitwiseequal(fmaxdiff[i], c.fmaxdiff[i]) &&
            bitwiseequal(ninclu[i], c.ninclu[i]) && bitwiseequal(uplim[i], c.uplim[i]) &&
            bitwiseequal(lowlim[i], c.lowlim[i]) && bitwiseequal(sampftval[i], c.sampftval[i]) &&
            bitwiseequal(slope[i], c.slope[i]) && bitwiseequal(intercept[i], c.intercept[i]) &&
            bitwiseequal(meancyc[i], c.meancyc[i]) &&
            bitwiseequal(meanlogfluor[i], c.meanlogfluor[i]) && bitwiseequal(ct[i], c.ct[i]) &&
            bitwiseequal(rval[i], c.rval[i]) && bitwiseequal(indiveff[i], c.indiveff[i]) &&
            bitwiseequal(indivn0[i], c.indivn0[i]) && bitwiseequal(noamplif[i], c.noamplif[i]) &&
            bitwiseequal(bgerror[i], c.bgerror[i]) && bitwiseequal(manualbg[i], c.manualbg[i]) &&
            bitwiseequal(emptywol[i], c.emptywol[i]);
        if (same) continue;
        refitsample(k);
        keepsnapshot(k);
        lastrefitted = k == n;
    }
    if (n >= 1 && !lastrefitted) {
        lastmeanx = meancyc[ix(n)];
        lastmeany = meanlogfluor[ix(n)];
    }
    return true;
}

// One sample of do_cascade. Inside a window search the refit is remembered
// with the state it started from; the same state gives the same refit.
void TEngine::refitsample(int k) {
    const std::size_t i = ix(k);
    const bool remember = fitcache.active();
    // The state the refit starts from (read only when remembering).
    int npointsin = 0, woltypein = 0, fstartin = 0, wolstartin = 0, wolstopin = 0;
    double upin = 0, lowin = 0, ftvalin = 0;
    std::uint8_t noamplifin = 0, bgerrorin = 0, manualbgin = 0;
    if (remember) {
        const bool own = woltype[i] == 1 || woltype[i] == 2;
        npointsin = npoints[i];
        woltypein = woltype[i];
        fstartin = fstart[i];
        wolstartin = wolstart[i];
        wolstopin = wolstop[i];
        upin = own ? uplim[i] : uplim[0];
        lowin = own ? lowlim[i] : lowlim[0];
        ftvalin = sampftval[i];
        noamplifin = noamplif[i];
        bgerrorin = bgerror[i];
        manualbgin = manualbg[i];
        const TFitCache::Refit& m = fitcache.at(k).refit;
        if (m.known && m.npoints == npointsin && m.woltype == woltypein && m.up == upin &&
            m.low == lowin && m.fstartin == fstartin && m.wolstartin == wolstartin &&
            m.wolstopin == wolstopin && m.sampftval == ftvalin && m.noamplif == noamplifin &&
            m.bgerror == bgerrorin && m.manualbg == manualbgin) {
            fstop[i] = m.fstop;
            fmaxdiff[i] = m.fmaxdiff;
            fstart[i] = m.fstart;
            emptywol[i] = m.emptywol;
            wolstart[i] = m.wolstart;
            wolstop[i] = m.wolstop;
            ninclu[i] = m.ninclu;
            slope[i] = m.slope;
            intercept[i] = m.intercept;
            meancyc[i] = lastmeanx = m.meancyc;
            meanlogfluor[i] = lastmeany = m.meanlogfluor;
            ct[i] = m.ct;
            rval[i] = m.rval;
            indiveff[i] = m.indiveff;
            indivn0[i] = m.indivn0;
            return;
        }
    }

    FindPointAtLimit(k, "both");
    double sl = 0.0;
    double ic = 0.0;
    TFitCache::Regression* reg =
        remember ? &fitcache.regressionslot(k, wolstart[i], wolstop[i]) : nullptr;
    double r = 0.0;
    if (reg && reg->known && reg->first == wolstart[i] && reg->last == wolstop[i]) {
        r = reg->r;
        sl = reg->slope;
        ic = reg->intercept;
        lastmeanx = reg->meanx;
        lastmeany = reg->meany;
    } else {
        const double* logs = nullptr;
        if (reg) {
            TFitCache::Sample& e = fitcache.at(k);
            const auto& f = fluor[i];
            const int n = std::min(npoints[i], static_cast<int>(f.size()) - 1);
            if (!e.logknown || e.logn != n) {
                e.logf.resize(f.size());
                for (int p = 1; p <= n; ++p)
                    e.logf[ix(p)] = f[ix(p)] > 0.0 ? std::log10(f[ix(p)]) : 0.0;
                e.logknown = true;
                e.logn = n;
            }
            logs = e.logf.data();
        }
        r = regression(*this, k, wolstart[i], wolstop[i], sl, ic, logs);
        if (reg)
            *reg = {true, wolstart[i], wolstop[i], r, sl, ic, lastmeanx, lastmeany, false, 0, 0};
    }
    ninclu[i] = emptywol[i] ? 0 : wolstop[i] - wolstart[i] + 1;
    slope[i] = sl;
    intercept[i] = ic;
    meancyc[i] = lastmeanx;
    meanlogfluor[i] = lastmeany;
    ct[i] = cqat(sampftval[i], slope[i], meanlogfluor[i], meancyc[i]);
    // A sample without amplification, with a baseline error (unless its
    // baseline was then set or accepted by hand) or with too few points for a
    // line reports no fit.
    if (noamplif[i] || (bgerror[i] && !manualbg[i]) || npoints[i] < 3) {
        slope[i] = 0.0;
        ct[i] = 0.0;
        ninclu[i] = 0;
        rval[i] = 0.0;
        indiveff[i] = 1.0;
        indivn0[i] = -999.0;
    } else {
        rval[i] = r;
        if (reg && reg->powknown) {
            indiveff[i] = reg->eff;
            indivn0[i] = reg->n0;
        } else {
            indiveff[i] = std::pow(10.0, slope[i]);
            indivn0[i] = std::pow(10.0, intercept[i]);
            if (reg) {
                reg->powknown = true;
                reg->eff = indiveff[i];
                reg->n0 = indivn0[i];
            }
        }
    }
    if (remember) {
        TFitCache::Refit& m = fitcache.at(k).refit;
        m.known = true;
        m.npoints = npointsin;
        m.woltype = woltypein;
        m.fstartin = fstartin;
        m.wolstartin = wolstartin;
        m.wolstopin = wolstopin;
        m.up = upin;
        m.low = lowin;
        m.sampftval = ftvalin;
        m.noamplif = noamplifin;
        m.bgerror = bgerrorin;
        m.manualbg = manualbgin;
        m.fstop = fstop[i];
        m.fmaxdiff = fmaxdiff[i];
        m.fstart = fstart[i];
        m.emptywol = emptywol[i];
        m.wolstart = wolstart[i];
        m.wolstop = wolstop[i];
        m.ninclu = ninclu[i];
        m.slope = slope[i];
        m.intercept = intercept[i];
        m.meancyc = meancyc[i];
        m.meanlogfluor = meanlogfluor[i];
        m.ct = ct[i];
        m.rval = rval[i];
        m.indiveff = indiveff[i];
        m.indivn0 = indivn0[i];
        m.stable = fstart[i] == fstartin && wolstart[i] == wolstartin && wolstop[i] == wolstopin;
    }
}

void TEngine::assignsampftval(int s) {
    if (options.ThresholdsRG == 0) {
        sampftval[ix(s)] = ftval[0];
    } else {
        const int g = groupofsample(s);
        if (g >= 0 && ix(g) < ftval.size()) sampftval[ix(s)] = ftval[ix(g)];
    }
}

void TEngine::AssignFtVal(int first, int last) {
    first = std::max(first, 1);
    last = std::min(last, nsamples);
    for (int s = first; s <= last; ++s) assignsampftval(s);
    for (int s = 1; s <= nsamples; ++s)
        ct[ix(s)] = cqat(sampftval[ix(s)], slope[ix(s)], meanlogfluor[ix(s)], meancyc[ix(s)]);
}

void TEngine::AssignFtValOf(const std::vector<int>& samples) {
    for (const int s : samples) {
        if (s < 1 || s > nsamples) continue;
        assignsampftval(s);
        ct[ix(s)] = cqat(sampftval[ix(s)], slope[ix(s)], meanlogfluor[ix(s)], meancyc[ix(s)]);
    }
}

void TEngine::fitsample(int s) {
    if (s < 1 || s > nsamples) return;
    const std::size_t i = ix(s);
    const int np = npoints[i];
    int option = options.rg_fitoptions + 1;
    int minsize = 3;
    int maxsize = 15;
    const double rreq = options.rreqedit;
    if (option == 2) {
        minsize = options.minincludedit;
        maxsize = options.nmaxedit;
    }
    double bestr = 0.0;
    int bestsize = 2;
    int bestfirst = 1;
    int bestlast = np;
    double sl = 0.0;
    double ic = 0.0;

    if (option >= 1 && option <= 3 && np >= 5 && np >= minsize) {
        // Steepest 5-point slope: candidate windows must lie in the steep part.
        double steepest = 0.0;
        for (int f = 1; f <= np - 4; ++f) {
            rcalc(s, f, f + 4, sl, ic);
            if (sl > steepest) steepest = sl;
        }
        view->setbusycursor(true);
        // A window of fewer than 2 points has no slope and one of npoints or more
        // would hold the last point: neither can be chosen, so the sizes tried
        // are bounded to 2..npoints-1 (which also keeps any edit value in range).
        for (int n = std::max(minsize, 2); n <= std::min(maxsize, np - 1); ++n) {
            for (int f = 1; f <= std::max(np - n, 1); ++f) {
                const int last = f + n - 1;
                if (last >= np) continue;  // the last valid point never enters a window
                const double r = rcalc(s, f, last, sl, ic);
                if (!(std::fabs(sl - steepest) < 0.7 * steepest)) continue;
                if (option != 3) {
                    if (r > bestr) {
                        bestr = r;
                        bestfirst = f;
                        bestlast = last;
                    }
                } else if (n >= bestsize) {
                    if (r <= rreq) {
                        if (r > bestr) {
                            bestr = r;
                            bestsize = n;
                            bestfirst = f;
                            bestlast = last;
                        }
                    } else if (n > bestsize || r > bestr) {
                        bestr = r;
                        bestsize = n;
                        bestfirst = f;
                        bestlast = last;
                    }
                }
            }
        }
    } else {
        option = 0;
    }
    view->setbusycursor(false);

    double r = 0.0;
    if (option == 0) {
        sl = ic = 0.0;
        lastmeanx = lastmeany = 0.0;
    } else {
        r = rcalc(s, bestfirst, bestlast, sl, ic);
    }
    ninclu[i] = bestlast - bestfirst + 1;
    slope[i] = sl;
    intercept[i] = ic;
    meancyc[i] = lastmeanx;
    meanlogfluor[i] = lastmeany;
    ct[i] = cqat(sampftval[i], sl, lastmeany, lastmeanx);
    rval[i] = r;
    indiveff[i] = std::pow(10.0, sl);
    indivn0[i] = std::pow(10.0, ic);
    wolstart[i] = bestfirst;
    wolstop[i] = bestlast;
    // Limits just outside the window's outer points (kept when such a point
    // does not exist).
    const auto& f = fluor[i];
    if (bestfirst >= 0 && ix(bestfirst) < f.size() && f[ix(bestfirst)] > 0.0)
        lowlim[i] = std::log10(f[ix(bestfirst)]) - 0.01;
    if (bestlast >= 0 && ix(bestlast) < f.size() && f[ix(bestlast)] > 0.0)
        uplim[i] = std::log10(f[ix(bestlast)]) + 0.01;
    woltype[i] = 2;
}

void TEngine::fitsampleButClick() {
    if (samplenum < 1 || samplenum > nsamples) return;
    const int s = samplenum;
    fitsample(s);
    woltype[ix(s)] = 2;
    const bool lock = editlock;
    editlock = true;
    setlimitedit(TLimitEdit::iuplimedit, uplim[ix(s)]);
    setlimitedit(TLimitEdit::ilowlimedit, lowlim[ix(s)]);
    editlock = lock;
    do_cascade(false, s, 2);
}

void TEngine::fitallbutClick() {
    if (nsamples < 1) return;
    BusyGuard guard(*this);
    view->stagechanged(TRunStage::individualfitdone);
    for (int s = 1; s <= nsamples; ++s) {
        fitsample(s);
        woltype[ix(s)] = 2;
        showprogress(s);
    }
    options.CommonGroupWindowRG = 2;
    options.ThresholdsRG = 0;
    view->stagechanged(TRunStage::windowchoicechanged);
    AssignFtVal(1, nsamples);
    setftvaledit(sampftval[ix(samplenum)]);
    ctcalcButtonClick(ftvalshown);
    samplenumChange();
}

}  // namespace qurvex
