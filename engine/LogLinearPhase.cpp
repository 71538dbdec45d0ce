// SPDX-License-Identifier: GPL-3.0-or-later
// Detection of the log-linear (exponential) phase of a sample and the
// comparison of the slopes of its two halves.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/Engine.h"

namespace qurvex {

namespace {

// Sums of a straight-line fit of y = log10 F on x = cycle.
struct LineSums {
    int n = 0;
    double sxx = 0, syy = 0, sxy = 0;
    double slope() const { return sxx > 0 ? sxy / sxx : 0.0; }
    // Residual sum of squares Syy - Sxy^2/Sxx (Syy when Sxx is 0).
    double rss() const { return sxx > 0 ? syy - sxy * sxy / sxx : syy; }
};

LineSums logsums(const std::vector<double>& x, const std::vector<double>& f, int first, int last) {
    LineSums r;
    double sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
    for (int p = first; p <= last; ++p) {
        const double xv = x[static_cast<size_t>(p)];
        const double yv = std::log10(f[static_cast<size_t>(p)]);
        sx += xv;
        sy += yv;
        sxx += xv * xv;
        syy += yv * yv;
        sxy += xv * yv;
        ++r.n;
    }
    if (r.n > 0) {
        r.sxx = sxx - sx * sx / r.n;
        r.syy = syy - sy * sy / r.n;
        r.sxy = sxy - sx * sy / r.n;
    }
    return r;
}

}  // namespace

// True when the memo of sample s was taken from its present points; a change
// of the cycle headers empties every memo.
bool TEngine::phasememovalid(int s) {
    if (phasememo.size() != fluor.size()) phasememo.assign(fluor.size(), TPhaseMemo{});
    if (phasememoheader.size() != headercyc.size() ||
        std::memcmp(phasememoheader.data(), headercyc.data(), headercyc.size() * sizeof(double)) !=
            0) {
        phasememoheader = headercyc;
        for (auto& m : phasememo) m.n = -1;
    }
    const auto& m = phasememo[static_cast<size_t>(s)];
    const int n = npoints[static_cast<size_t>(s)];
    if (m.n != n || n <= 0) return m.n == n && n == 0;
    // Bitwise equality: the same bits give the same phase.
    const size_t size = static_cast<size_t>(n) * sizeof(double);
    return std::memcmp(fluor[static_cast<size_t>(s)].data() + 1, m.f.data(), size) == 0 &&
           std::memcmp(cyc[static_cast<size_t>(s)].data() + 1, m.c.data(), size) == 0;
}

// Starts a new memo of sample s from its present points.
TRunState::TPhaseMemo& TEngine::phasememotake(int s) {
    auto& m = phasememo[static_cast<size_t>(s)];
    const int n = std::max(0, npoints[static_cast<size_t>(s)]);
    const auto& F = fluor[static_cast<size_t>(s)];
    const auto& C = cyc[static_cast<size_t>(s)];
    m.n = n;
    m.f.assign(F.begin() + 1, F.begin() + 1 + n);
    m.c.assign(C.begin() + 1, C.begin() + 1 + n);
    m.stopknown = m.startknown = false;
    return m;
}

int TEngine::findfstop(int s) {
    const bool valid = phasememovalid(s);
    auto& memo = phasememo[static_cast<size_t>(s)];
    if (valid && memo.stopknown) {
        fmaxdiff[static_cast<size_t>(s)] = memo.fmaxdiff;
        fstop[static_cast<size_t>(s)] = memo.fstop;
        return memo.fstop;
    }
    const int result = findfstopcompute(s);
    auto& m = valid ? memo : phasememotake(s);
    m.stopknown = true;
    m.fstop = result;
    m.fmaxdiff = fmaxdiff[static_cast<size_t>(s)];
    return result;
}

int TEngine::findfstartoption(int s, int option) {
    const bool valid = phasememovalid(s);
    auto& memo = phasememo[static_cast<size_t>(s)];
    const int from = fstop[static_cast<size_t>(s)];
    if (valid && memo.startknown && memo.startoption == option && memo.startfrom == from) {
        fstart[static_cast<size_t>(s)] = memo.fstart;
        return memo.fstart;
    }
    const int result = findfstartcompute(s, option);
    auto& m = valid ? memo : phasememotake(s);
    m.startknown = true;
    m.startoption = option;
    m.startfrom = from;
    m.fstart = result;
    return result;
}

// Curvature c(p) = ((d2 - d1) + (d3 - d2) + (d4 - d3)) / 3 with d1..d4 the
// rises into p-1, p, p+1, p+2; the end of the log-linear phase is where the
// rise accelerates most, searched up to just past the largest rise.
int TEngine::findfstopcompute(int s) {
    const auto& F = fluor[static_cast<size_t>(s)];
    const int n = npoints[static_cast<size_t>(s)];
    int maxdiffpoint = n;
    double maxdiff = 0.0;
    for (int p = 2; p <= n; ++p) {
        const double d = F[p] - F[p - 1];
        if (d > maxdiff) {
            maxdiff = d;
            maxdiffpoint = p;
        }
    }
    fmaxdiff[static_cast<size_t>(s)] = maxdiffpoint;
    const int m = maxdiffpoint;
    int lastp;
    if (n >= m + 2)
        lastp = (F[m + 1] > F[m] && F[m + 2] > F[m + 1]) ? m + 2 : m;
    else
        lastp = n;
    // The curvature at p needs points p-2..p+2: p runs only while p + 2 <= n.
    int result = n;
    double best = 0.0;
    for (int p = 3; p <= lastp && p + 2 <= n; ++p) {
        const double d1 = F[p - 1] - F[p - 2];
        const double d2 = F[p] - F[p - 1];
        const double d3 = F[p + 1] - F[p];
        const double d4 = F[p + 2] - F[p + 1];
        const double c = ((d2 - d1) + (d3 - d2) + (d4 - d3)) / 3.0;
        if (c - best > 1e-12) {
            result = p;
            best = c;
        }
    }
    if (result >= n - 2) result = n;
    fstop[static_cast<size_t>(s)] = result;
    return result;
}

int TEngine::findfstart(int s) { return findfstartoption(s, options.BaselineStrictnessRG); }

// Inside a window search the phase of a sample whose points have not
// changed is remembered (cleanupfluor forgets it).
void TEngine::placementphase(int s) {
    const size_t i = static_cast<size_t>(s);
    if (fitcache.active()) {
        const TFitCache::Phase& m = fitcache.at(s).phase;
        if (m.known) {
            fstop[i] = m.fstop;
            fmaxdiff[i] = m.fmaxdiff;
            fstart[i] = m.fstart;
            return;
        }
    }
    findfstop(s);
    findfstartoption(s, 0);
    if (fitcache.active()) {
        TFitCache::Phase& m = fitcache.at(s).phase;
        m.known = true;
        m.fstop = fstop[i];
        m.fmaxdiff = fmaxdiff[i];
        m.fstart = fstart[i];
    }
}

int TEngine::highestpoint(int s, int from) {
    TFitCache::Phase* m = fitcache.active() ? &fitcache.at(s).phase : nullptr;
    if (m && m->highestfrom == from) return m->highest;
    const auto& F = fluor[static_cast<size_t>(s)];
    int imax = npoints[static_cast<size_t>(s)];
    for (int p = imax; p >= from; --p)
        if (F[p] > F[imax]) imax = p;
    if (m) {
        m->highestfrom = from;
        m->highest = imax;
    }
    return imax;
}

int TEngine::findloglinstart(int s) { return findfstartoption(s, 2); }

// Walks down from fstop to the first break of the phase: a gap in the cycle
// numbers before p (always), a point lower than its predecessor (option 0).
// Options 0 and 1 then drop a first step steeper than 1.1 x the last one.
// Point 1 is always a valid start, so the walk never looks before it.
int TEngine::findfstartcompute(int s, int option) {
    const auto& F = fluor[static_cast<size_t>(s)];
    const auto& C = cyc[static_cast<size_t>(s)];
    const int n = npoints[static_cast<size_t>(s)];
    int stop = fstop[static_cast<size_t>(s)];
    if (stop > n) stop = n;
    // Column of a cycle among the headers. Headers normally rise strictly:
    // then a binary search finds the one column holding the cycle; otherwise
    // headerindex searches them all.
    const int nh = std::min(ncycles, static_cast<int>(headercyc.size()) - 1);
    bool rising = true;
    if (fitcache.active() && fitcache.headersrising >= 0) {
        rising = fitcache.headersrising == 1;
    } else {
        for (int c = 2; c <= nh && rising; ++c) rising = headercyc[c] > headercyc[c - 1];
        if (fitcache.active()) fitcache.headersrising = rising ? 1 : 0;
    }
    // Walking down, the next column is mostly the one below the last: with
    // rising headers a column holding the cycle is the only one, so a hit
    // there is what the search would find.
    int hint = -1;
    auto column = [&](double cycle) {
        if (!rising) return headerindex(cycle);
        if (hint >= 2 && hint - 1 <= nh && headercyc[hint - 1] == cycle) return --hint;
        const auto first = headercyc.begin() + 1;
        const auto last = headercyc.begin() + 1 + nh;
        const auto it = std::lower_bound(first, last, cycle);
        const int found =
            (it != last && *it == cycle) ? static_cast<int>(it - headercyc.begin()) : -1;
        if (found >= 1) hint = found;
        return found;
    };
    int start = 1;
    int above = stop - 1 >= 2 ? column(C[stop - 1]) : 0;
    for (int p = stop - 1; p >= 2; --p) {
        const int below = column(C[p - 1]);
        const bool gap = above - below > 1;
        above = below;
        const bool drop = option == 0 && F[p] < F[p - 1];
        if (gap || drop) {
            start = p;
            break;
        }
    }
    if (option < 2 && stop >= 2 && start + 1 <= stop) {
        const double first = std::log10(F[start + 1]) - std::log10(F[start]);
        const double last = std::log10(F[stop]) - std::log10(F[stop - 1]);
        if (first > 1.1 * last) start = start + 1;
    }
    fstart[static_cast<size_t>(s)] = start;
    return start;
}

namespace {

// The two halves of the phase first..last (clamped to the valid points):
// a := first, b := last; a + 1, b - 1 until b - a <= 1; lower half
// first..a, upper half b..last (one point shared when the count is odd). A
// phase of one point gives the halves first..first+1 and last-1..last; the
// halves never leave the valid points 1..npoints.
struct Halves {
    int first = 0, last = -1;
    LineSums lower, upper;
};

Halves splithalves(const TEngine& e, int s) {
    Halves h;
    const int n = e.npoints[static_cast<size_t>(s)];
    h.first = std::max(1, e.fstart[static_cast<size_t>(s)]);
    h.last = std::min(n, e.fstop[static_cast<size_t>(s)]);
    if (h.last < h.first) return h;
    int a = h.first, b = h.last;
    do {
        ++a;
        --b;
    } while (b - a > 1);
    a = std::min(a, n);
    b = std::max(b, 1);
    const auto& X = e.cyc[static_cast<size_t>(s)];
    const auto& F = e.fluor[static_cast<size_t>(s)];
    h.lower = logsums(X, F, h.first, a);
    h.upper = logsums(X, F, b, h.last);
    return h;
}

}  // namespace

void TEngine::halfslopes(int s, double& lowerslope, double& upperslope) {
    const Halves h = splithalves(*this, s);
    lowerslope = h.lower.slope();
    upperslope = h.upper.slope();
}

// t = |Sl - Su| / sqrt((1/SxxL + 1/SxxU) s^2),
// s^2 = (RSS_L + RSS_U) / (nL + nU - 3); p = P(|T| >= t).
void TEngine::ttestslopes(int s, double& lowerslope, double& r, double& p, double& upperslope) {
    const Halves h = splithalves(*this, s);
    lowerslope = h.lower.slope();
    upperslope = h.upper.slope();
    r = p = 0.0;
    if (h.last < h.first) return;
    const int df = h.lower.n + h.upper.n - 3;
    double t = 100.0;
    if (df > 0 && h.lower.sxx > 0 && h.upper.sxx > 0) {
        const double s2 = (h.lower.rss() + h.upper.rss()) / df;
        const double v = (1.0 / h.lower.sxx + 1.0 / h.upper.sxx) * s2;
        if (v > 0) t = std::fabs(lowerslope - upperslope) / std::sqrt(v);
        p = Stattool1.StudentTProb(df, t);
    }
    double sl = 0, ic = 0;
    r = rcalc(s, h.first, h.last, sl, ic);
}

}  // namespace qurvex
