// SPDX-License-Identifier: GPL-3.0-or-later
// Short-lived memory of the baseline step and the window search. Placing a
// window tries dozens of limits on every sample; between two limits most
// samples keep their points, their limits and thus their fit. While a
// FitScope is open the engine remembers per sample what it last derived
// from its points (the log-linear phase, the highest point, log10 of the
// points, regressions of recent windows, the group it belongs to, the whole
// refit with the state it started from, and a copy of every field a refit
// reads or writes after the last refit of all samples) and hands it back
// instead of deriving it again. Results never differ: a memory is used only
// when every input it was derived from is unchanged.
//
// What a scope trusts without comparing: the points of a sample (fluor,
// cyc) and the cycle headers do not change unless cleanupfluor runs on the
// sample (which forgets that sample), and the group identifiers (ampname,
// ShowGroupCBItems) do not change unless the grouping routines run (which
// forget the groups). So window callbacks reached during a busy operation
// (pumpmessages, plots) must not write points or identifiers directly. Every
// other input (limits, window type, window ends, threshold, flags, point
// count, and every result a refit writes) is compared on each use. Outside
// a scope nothing is remembered but a few powers of ten (pow10, pure).
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

namespace qurvex {

struct TFitCache {
    // Debug switch: false makes every routine derive everything afresh (the
    // reference path of the tests).
    bool enabled = true;
    int depth = 0;  // open scopes

    bool active() const { return enabled && depth > 0; }

    // Log-linear phase as window placement uses it (strictness 0).
    struct Phase {
        bool known = false;
        int fstop = 0, fmaxdiff = 0, fstart = 0;
        // Highest point from the end down to point highestfrom (-1: none yet).
        int highestfrom = -1, highest = 0;
    };
    // Regression of log10 fluor on cycle over points first..last.
    struct Regression {
        bool known = false;
        int first = 0, last = 0;
        double r = 0, slope = 0, intercept = 0, meanx = 0, meany = 0;
        bool powknown = false;
        double eff = 0, n0 = 0;  // 10^slope, 10^intercept
    };
    // One refit of do_cascade: the state it started from and what it wrote.
    struct Refit {
        bool known = false;
        // inputs
        int npoints = 0, woltype = 0, fstartin = 0, wolstartin = 0, wolstopin = 0;
        double up = 0, low = 0, sampftval = 0;
        std::uint8_t noamplif = 0, bgerror = 0, manualbg = 0;
        // outputs
        int fstop = 0, fmaxdiff = 0, fstart = 0, wolstart = 0, wolstop = 0, ninclu = 0;
        std::uint8_t emptywol = 0;
        // The refit left the window ends and the start where it found them, so
        // refitting its own result gives the same result.
        bool stable = false;
        double slope = 0, intercept = 0, meancyc = 0, meanlogfluor = 0, ct = 0, rval = 0,
               indiveff = 0, indivn0 = 0;
    };
    struct Sample {
        Phase phase;
        Refit refit;
        // log10 fluor[s][p] for p = 1..npoints (element 0 unused) when logknown.
        bool logknown = false;
        int logn = 0;
        std::vector<double> logf;
    };
    std::vector<Sample> samples;
    // Regressions of recent windows, kRegressionSlots per sample, placed by
    // window (direct-mapped).
    static constexpr int kRegressionSlots = 16;
    std::vector<Regression> regressions;
    Regression& regressionslot(int s, int first, int last) {
        const auto base = static_cast<std::size_t>(s) * kRegressionSlots;
        if (base + kRegressionSlots > regressions.size())
            regressions.resize(base + kRegressionSlots);
        return regressions[base + static_cast<unsigned>(first * 5 + last) % kRegressionSlots];
    }

    // Copy of the per-sample fields a refit reads or writes, taken after the
    // last refit of all samples (valid when n >= 0). A sample equal to its copy
    // whose last refit was a fixed point (refit.stable) would be refitted to
    // exactly the same values.
    struct Snapshot {
        int n = -1;
        std::vector<int> npoints, woltype, fstart, wolstart, wolstop, fstop, fmaxdiff, ninclu;
        std::vector<double> uplim, lowlim, sampftval, slope, intercept, meancyc, meanlogfluor, ct,
            rval, indiveff, indivn0;
        std::vector<std::uint8_t> noamplif, bgerror, manualbg, emptywol;
        // The sample's last refit was a fixed point (its refit.stable).
        std::vector<std::uint8_t> stable;
        std::vector<std::uint8_t> changed;  // scratch: samples differing from the copy
    };
    Snapshot snapshot;

    // Entry of sample s, growing the table on demand.
    Sample& at(int s) {
        const auto i = static_cast<std::size_t>(s);
        if (i >= samples.size()) samples.resize(i + 1);
        return samples[i];
    }
    // The points of sample s changed: forget all derived from them.
    void forgetsample(int s) {
        const auto i = static_cast<std::size_t>(s);
        if (i < samples.size()) {
            Sample& e = samples[i];
            e.phase = Phase{};
            e.refit.known = e.refit.stable = false;
            e.logknown = false;  // the row keeps its memory for the next points
        }
        const std::size_t base = i * kRegressionSlots;
        for (std::size_t r = base; r < base + kRegressionSlots && r < regressions.size(); ++r)
            regressions[r].known = false;
        if (i < snapshot.stable.size()) snapshot.stable[i] = 0;
    }
    // Group number of each sample (groupofsample); -2: not looked up.
    std::vector<int> groups;
    // Samples of each group (samplesingroup), made on first use.
    struct Members {
        bool known = false;
        std::vector<int> samples;
    };
    std::vector<Members> members;
    std::vector<int> scratchmembers;  // samplesingroup outside a scope

    // Group whose window search is running (0: none). Inside such a search
    // nothing but the limit edits of that group happens between two refits
    // of all samples, and such an edit changes the inputs of the group's own
    // samples only (their limits and thresholds).
    int searchgroup = 0;
    // searchgroup under which the last refit of all samples ran; -1 when a
    // refit or an edit of anything else came after it.
    int lastrefitgroup = -1;
    // The group identifiers changed.
    void forgetgroups() {
        groups.clear();
        members.clear();
    }
    void forgetall() {
        samples.clear();
        regressions.clear();
        groups.clear();
        members.clear();
        headersrising = -1;
        snapshot.n = -1;
        lastrefitgroup = -1;
    }
    // Whether the cycle headers rise strictly: -1 not yet known, 0 no, 1 yes.
    int headersrising = -1;

    // 10^x, remembering the last few exponents (bitwise equal exponents give
    // the same power).
    double pow10(double x) {
        std::uint64_t key;
        std::memcpy(&key, &x, sizeof key);
        for (int k = 0; k < kPowSlots; ++k)
            if (powused_[k] && powkey_[k] == key) return powval_[k];
        return pow10miss(x, key);
    }
    double pow10miss(double x, std::uint64_t key);

private:
    static constexpr int kPowSlots = 4;
    std::uint64_t powkey_[kPowSlots] = {};
    double powval_[kPowSlots] = {};
    bool powused_[kPowSlots] = {};
    int pownext_ = 0;
};

// Opens the memory of the window search for its lifetime (nests; the
// outermost scope starts and ends with an empty memory).
class FitScope {
public:
    explicit FitScope(TFitCache& c) : c_(c) {
        if (c_.depth++ == 0) c_.forgetall();
    }
    ~FitScope() {
        if (--c_.depth == 0) c_.forgetall();
    }
    FitScope(const FitScope&) = delete;
    FitScope& operator=(const FitScope&) = delete;

private:
    TFitCache& c_;
};

// Marks the window search of group g (> 0) for its lifetime; see
// TFitCache::searchgroup.
class GroupSearchScope {
public:
    GroupSearchScope(TFitCache& c, int g) : c_(c) {
        c_.searchgroup = g;
        c_.lastrefitgroup = -1;
    }
    ~GroupSearchScope() {
        c_.searchgroup = 0;
        c_.lastrefitgroup = -1;
    }
    GroupSearchScope(const GroupSearchScope&) = delete;
    GroupSearchScope& operator=(const GroupSearchScope&) = delete;

private:
    TFitCache& c_;
};

}  // namespace qurvex
