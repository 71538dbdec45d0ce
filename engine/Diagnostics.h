// SPDX-License-Identifier: GPL-3.0-or-later
// Experiments on the run in memory that tabulate how the analysis reaches its
// results: a logged replay of one sample's baseline search, a runs test of
// every curve, the Cq under shifted baselines, the Cq as the threshold steps
// down the log-linear phase, the phase and window points of every sample, and
// the smallest positive raw value of the current sample.
//
// Every experiment leaves the run exactly as it found it (baselines, windows,
// thresholds, flags, results, the current sample), also when the user stops
// it or an error ends it; the window is asked to redraw at the end. Each is
// refused while the engine is busy or without samples; a refusal shows its
// message through the engine's view and returns it in `message`.
#pragma once

#include <optional>
#include <string>

#include "engine/DiagnosticGrid.h"
#include "engine/Engine.h"

namespace qurvex {

// What an experiment gives back: its table, or why it did not run.
struct TDiagnosticResult {
    bool done = false;     // false: refused, nothing ran (message says why)
    bool stopped = false;  // the user stopped it; the table holds what was done
    std::string message;   // the refusal, empty otherwise
    TDiagnosticGrid grid;
};

class TDiagnostics {
public:
    explicit TDiagnostics(TEngine& e) : e_(e) {}

    // A handler reached through the engine's message pump calls this to end
    // the experiment that runs after its current step (the replay of one
    // sample does not pump and always runs to its end).
    void requeststop() { stoprequested_ = true; }

    // Logged replay of the baseline search of sample s (10 columns):
    //  row 0: s, "ready" (column 1, once finished), the raw minimum (column 3);
    //  then the start search: the minimum's point and 0.99 x minimum, and per
    //  raw point k above it: k, baseline (0.99 x raw[k]), fstart, fstop, lower
    //  and upper half slope; it ends when the phase is shorter than 5 points,
    //  when F[fstop] / F[fstop-1] > 2 or at the last raw point;
    //  "end 0", "" , baseline; two empty rows;
    //  the descent (baseline x 0.99 while lower slope >= upper slope, down to
    //  0.95 x minimum, at most 1001 rounds): round, baseline, fstart, fstop,
    //  lower slope, upper slope;
    //  "end 1", "baselineerror" when the baseline fell below 0.95 x minimum
    //  (else empty), baseline;
    //  the refinement (steps of 0.5 % of the baseline until both slopes agree
    //  to 1e-4, at most 1001 rounds), logged like the descent.
    // A sample whose slope over all points (or over its steepest 10 points) is
    // under log10(5) per that many points counts as skipped: its phase is all
    // its points. s outside 1..nsamples is refused.
    TDiagnosticResult DisplayBaselineSteps(int s);

    // Runs up and down of the first differences of every sample corrected by
    // 0.99 x its minimum (10 columns, row s for sample s): s, runs, n (non-zero
    // differences), negatives, positives, expected = (2n - 1)/3,
    // sd = sqrt((16n - 29)/90), z = |runs - expected| / sd, p =
    // NormalUpperTail(z). A sample with fewer than 2 non-zero differences has
    // no test: its row holds s, runs, n, negatives, positives and in column 5
    // the text "fewer than 2 changes: no test".
    TDiagnosticResult RunsTest();

    // Cq of every sample at the baselines (1 + j/100) x its baseline,
    // j = -range..range (2 range + 2 columns): row 0 holds j in column
    // range + 1 + j, row s holds s and the Cq at each j (the Cq of the baseline
    // itself in column range + 1). range outside 0..99 is refused.
    TDiagnosticResult CtShift(int range);

    // Cq of every sample as the threshold of group g steps down from the
    // group's default upper limit by log10 of the group's mean efficiency,
    // while it stays above log10 of GetMaxFluStart(g) (nsamples + 2 columns):
    // row 0 "t-count", "threshold" and the sample names; row k: k, the
    // threshold, the Cq of each sample. With keepwolfixed the windows stay;
    // otherwise each step places the window of 4 steps under the threshold.
    // Refused for g outside 0..ngroups, for a mean efficiency at or below
    // 1.001 (no step down) and for a group without a start fluorescence.
    TDiagnosticResult CtDriftLogLin(int g, bool keepwolfixed);

    // Points of every sample as cycle columns (headerindex) of the run
    // (7 columns): row 0 "sample", "log-lin start??", "fstart", "fstop",
    // "pstart", "pstop"; row s: s, the start by the rule that allows jumps and
    // drooping points, fstart, fstop, window start, window stop (after the
    // window was placed between its limits), and in column 6 the sample's
    // last noise check ("excluded", "noisy", "OK"; empty before any). A point
    // outside the sample's valid points leaves its cell empty.
    TDiagnosticResult displayStartStop();

    // The smallest positive raw value of the current sample (samplenum);
    // nullopt when it has none or samplenum is not a sample. Changes nothing.
    std::optional<double> GetMinFlu() const;

private:
    // Refusal: shows the message and returns it.
    TDiagnosticResult refuse(const std::string& text);
    // Common refusals (busy, no samples); empty when the run can be used.
    std::string unusable() const;
    // Pumps the window's events; true when the user asked to stop.
    bool pumpandcheck();

    TEngine& e_;
    bool stoprequested_ = false;
};

}  // namespace qurvex
