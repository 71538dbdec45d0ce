// SPDX-License-Identifier: GPL-3.0-or-later
// The engine experiments of the diagnostic tables on runs with known answers,
// and the promise that every one leaves the run exactly as it found it.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <stdexcept>
#include <thread>

#include "CoreTestHelpers.h"
#include "engine/Diagnostics.h"
#include "engine/RunRestore.h"

namespace qurvex {
namespace {

using namespace coretest;

double num(const TDiagnosticGrid& g, int col, int row) {
    const auto& c = g.at(col, row);
    if (const auto* i = std::get_if<long long>(&c)) return static_cast<double>(*i);
    return std::holds_alternative<double>(c) ? std::get<double>(c) : NAN;
}
std::string text(const TDiagnosticGrid& g, int col, int row) {
    const auto* t = std::get_if<std::string>(&g.at(col, row));
    return t != nullptr ? *t : "(no text)";
}

// The bytes of a vector's values: equal bytes, bit-identical values.
template <typename T>
std::string bytes(const std::vector<T>& v) {
    return {reinterpret_cast<const char*>(v.data()), v.size() * sizeof(T)};
}
// The fields an experiment changes while it runs are back, bit for bit.
void expectunchanged(const TRunState& a, const TRunState& b) {
    using R = TRunState;
    using Reals = std::vector<double> R::*;
    using Counts = std::vector<int> R::*;
    using Flags = boolarray R::*;
    for (Reals m : std::initializer_list<Reals>{&R::bgarr, &R::defbgarr, &R::bgslope, &R::ct,
                                                &R::slope, &R::intercept, &R::indiveff, &R::indivn0,
                                                &R::sampftval, &R::uplim, &R::lowlim, &R::ftval,
                                                &R::defuplim, &R::gruplim, &R::rval, &R::meancyc})
        EXPECT_EQ(bytes(a.*m), bytes(b.*m));
    for (int s = 0; s <= a.nsamples; ++s)
        EXPECT_EQ(bytes(a.fluor[s]) + bytes(a.cyc[s]), bytes(b.fluor[s]) + bytes(b.cyc[s]));
    for (Counts m : std::initializer_list<Counts>{&R::npoints, &R::fstart, &R::fstop, &R::wolstart,
                                                  &R::wolstop, &R::woltype})
        EXPECT_EQ(a.*m, b.*m);
    for (Flags m : std::initializer_list<Flags>{&R::skipped, &R::noamplif, &R::bgerror,
                                                &R::usedforwol, &R::emptywol})
        EXPECT_EQ(a.*m, b.*m);
    EXPECT_EQ(a.samplenum, b.samplenum);
    EXPECT_EQ(bytes(std::vector(a.limitshown.begin(), a.limitshown.end())),
              bytes(std::vector(b.limitshown.begin(), b.limitshown.end())));
    EXPECT_EQ(bytes(std::vector{a.logymin, a.logymax}), bytes(std::vector{b.logymin, b.logymax}));
}

// A run of six noise-free dilutions after the baseline step; the view can
// stop the experiment or fail at the first progress it is shown.
struct Analysed {
    struct View : RecordingView {
        TDiagnostics* d = nullptr;
        int mode = 0, pumps = 0;  // 0 runs through, 1 stops, 2 throws
        void progress(int) override {
            if (mode == 0 || ++pumps != 1) return;
            if (mode == 2) throw std::runtime_error("window gone");
            d->requeststop();
        }
    } view;
    TEngine e{&view};
    TDiagnostics d{e};
    TRunState before;
    explicit Analysed(const SyntheticRun& run = dilutionseries()) {
        EXPECT_TRUE(analyse(e, run));
        e.samplenum = 2;
        before = e;
        view.d = &d;
    }
};

TEST(Diagnostics, gridAndMinFlu_smallCases) {
    EXPECT_EQ(TDiagnosticGrid().ColCount(), 0);
    TDiagnosticGrid g(2, 1);
    for (auto [c, r] : {std::pair{4, 2}, {-1, 0}, {0, -1}}) g.set(c, r, 1.5);
    EXPECT_EQ(std::pair(g.ColCount(), g.RowCount()), std::pair(5, 3));
    EXPECT_EQ(g.at(4, 2), TGridCell(1.5));
    for (auto [c, r] : {std::pair{5, 0}, {0, 3}, {-1, 0}, {0, -1}, {1, 1}})
        EXPECT_EQ(g.at(c, r), TGridCell{});
    using Raw = std::vector<double>;
    for (auto [raw, min] : {std::pair<Raw, std::optional<double>>{{3, 2, 5}, 2.0},
                            {{-1, 4, 2.5}, 2.5},
                            {{0, -2}, {}}}) {
        TEngine e;
        loadrows(e, {raw});
        e.nrawpoints[1] = static_cast<int>(raw.size());
        e.samplenum = 1;
        EXPECT_EQ(TDiagnostics(e).GetMinFlu(), min);
    }
}

TEST(Diagnostics, runsTest_countsRunsAndSkipsSamplesWithoutChanges) {
    TEngine e;
    prepared(e, {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {1, 3, 2, 4, 3, 5}, {5, 5, 5, 5}});
    const TRunState before = e;
    const auto r = TDiagnostics(e).RunsTest();
    ASSERT_TRUE(r.done);
    // Rising: 9 positive steps, one run; E = 17/3, sd = sqrt(115/90). Zig-zag:
    // every step turns. Flat: no differences, no test (no root of -29/90).
    const double z = (17.0 / 3 - 1) / std::sqrt(115.0 / 90);
    for (auto [col, row, v] : {std::tuple{1, 1, 1.0},
                               {2, 1, 9.0},
                               {3, 1, 0.0},
                               {4, 1, 9.0},
                               {1, 2, 5.0},
                               {3, 2, 2.0},
                               {2, 3, 0.0}})
        EXPECT_EQ(num(r.grid, col, row), v) << col << "," << row;
    EXPECT_NEAR(num(r.grid, 7, 1), z, 1e-12);
    EXPECT_NEAR(num(r.grid, 8, 1), 0.5 * std::erfc(z / std::sqrt(2.0)), 1e-6);
    EXPECT_EQ(text(r.grid, 5, 3), "fewer than 2 changes: no test");
    EXPECT_EQ(r.grid.RowCount(), 4);
    expectunchanged(e, before);
}

// Run through, stopped by the user, or ended by an error from the window: the
// run is restored every time and the engine is free again.
TEST(Diagnostics, ctShift_cqsAroundTheUnshiftedOne_restoredAfterStopOrError) {
    for (int mode : {0, 1, 2}) {
        Analysed a;
        a.view.mode = mode;
        // Progress reaches the window at most every 50 ms: let the first one through.
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
        if (mode == 2) {
            EXPECT_THROW(a.d.CtShift(5), std::runtime_error);
        } else {
            const auto r = a.d.CtShift(5);
            ASSERT_TRUE(r.done);
            EXPECT_EQ(r.stopped, mode == 1);
            EXPECT_EQ(std::pair(r.grid.ColCount(), r.grid.RowCount()), std::pair(12, 7));
            if (mode == 1) {
                EXPECT_EQ(r.grid.at(3, 1), TGridCell{});
            }  // nothing after the stop
            for (int j = -5; j <= 5; ++j) EXPECT_EQ(num(r.grid, 6 + j, 0), j);
            for (int s = 1; s <= a.e.nsamples && mode == 0; ++s) {
                EXPECT_EQ(num(r.grid, 0, s), s);
                EXPECT_EQ(num(r.grid, 6, s), a.before.ct[s]) << s;
                for (int c = 1; c <= 11; ++c) EXPECT_TRUE(std::isfinite(num(r.grid, c, s))) << s;
            }
        }
        expectunchanged(a.e, a.before);
        EXPECT_FALSE(a.e.busy());
        EXPECT_FALSE(a.d.CtShift(100).done || a.d.CtShift(-1).done);
    }
}

TEST(Diagnostics, ctDrift_oneRowPerLog10StepOfTheMeanEfficiency) {
    for (bool keep : {true, false}) {
        Analysed a;
        const double step = std::log10(a.e.GetMeanEff(0));
        const double lowest = std::log10(a.e.GetMaxFluStart(0));
        a.before = a.e;
        const auto r = a.d.CtDriftLogLin(0, keep);
        ASSERT_TRUE(r.done);
        EXPECT_EQ(text(r.grid, 0, 0) + text(r.grid, 1, 0), "t-countthreshold");
        EXPECT_EQ(text(r.grid, 2, 0), a.e.sampname[1]);
        const int rows = r.grid.RowCount() - 1;
        ASSERT_GE(rows, 2);
        EXPECT_EQ(num(r.grid, 1, 1), a.before.defuplim[0]);
        for (int k = 1; k <= rows; ++k) {
            EXPECT_EQ(num(r.grid, 0, k), k);
            EXPECT_GT(num(r.grid, 1, k), lowest);
            if (k == 1) continue;
            EXPECT_NEAR(num(r.grid, 1, k - 1) - num(r.grid, 1, k), step, 1e-12);
            // In a fixed window one step of log10(E) is one cycle earlier.
            if (keep) {
                EXPECT_NEAR(num(r.grid, 2, k - 1) - num(r.grid, 2, k), step / a.before.slope[1],
                            1e-9);
            }
        }
        EXPECT_LE(num(r.grid, 1, rows) - step, lowest);
        expectunchanged(a.e, a.before);
    }
    // Without amplification there is no step down: refused, not looping.
    SyntheticRun run;
    run.wells.assign(3, SyntheticWell{});
    for (auto& w : run.wells) w.amplifies = false, w.noiseSd = 0.01;
    Analysed a(run);
    const auto r = a.d.CtDriftLogLin(0, true);
    EXPECT_FALSE(r.done);
    EXPECT_NE(r.message.find("1.001"), std::string::npos);
    EXPECT_TRUE(hasmessage(a.view, r.message));
    EXPECT_FALSE(a.d.CtDriftLogLin(a.e.ngroups + 1, true).done);
    expectunchanged(a.e, a.before);
}

TEST(Diagnostics, baselineSteps_replaysTheSearchAndRestoresTheSample) {
    Analysed a;
    const auto r = a.d.DisplayBaselineSteps(3);
    ASSERT_TRUE(r.done);
    const auto& g = r.grid;
    EXPECT_EQ(num(g, 0, 0), 3);
    EXPECT_EQ(text(g, 1, 0), "ready");
    int end0 = -1, end1 = -1;
    for (int row = 0; row < g.RowCount(); ++row) {
        if (text(g, 0, row) == "end 0") end0 = row;
        if (text(g, 0, row) == "end 1") end1 = row;
    }
    ASSERT_GT(end0, 2);
    ASSERT_GT(end1, end0 + 3);
    EXPECT_EQ(num(g, 0, end0 + 3), 1);      // the descent counts its rounds from 1
    EXPECT_EQ(g.at(1, end1), TGridCell{});  // the determined baseline is no error
    const int last = g.RowCount() - 1;      // the refinement ends where the slopes agree
    EXPECT_LT(std::fabs(num(g, 4, last) - num(g, 5, last)), 1e-3);
    expectunchanged(a.e, a.before);
    // Every logged round is what the phase routines give at its baseline.
    for (int row = 3; row < g.RowCount(); ++row) {
        if (std::holds_alternative<std::monostate>(g.at(5, row))) continue;
        TRunRestore back(a.e);
        a.e.bgarr[3] = num(g, 1, row);
        a.e.recomputefluor(3, false);
        double sl = 0, r = 0, p = 0, su = 0;
        EXPECT_EQ(num(g, 3, row), a.e.findfstop(3)) << row;
        EXPECT_EQ(num(g, 2, row), a.e.findfstart(3)) << row;
        a.e.ttestslopes(3, sl, r, p, su);
        EXPECT_EQ(std::pair(num(g, 4, row), num(g, 5, row)), std::pair(sl, su)) << row;
        // The start search ends on a short or jumping phase, or at the last raw point.
        const int start = a.e.findfstart(3), stop = a.e.findfstop(3);
        const bool ends = stop - start < 5 || a.e.fluor[3][stop] / a.e.fluor[3][stop - 1] > 2 ||
                          num(g, 0, row) == a.e.nrawpoints[3];
        if (row < end0) {
            EXPECT_EQ(ends, row == end0 - 1) << row;
        }
    }
    {  // The refinement from the baseline at "end 1" is the baseline step's own.
        TRunRestore back(a.e);
        a.e.bgarr[3] = num(g, 2, end1);
        double su = 0;
        a.e.refinebaseline(3, false, su);
        EXPECT_EQ(a.e.defbgarr[3], num(g, 1, last));
    }
    // The window redraws the restored run, its current sample included.
    EXPECT_EQ(a.view.calls[a.view.calls.size() - 3], "results 2");
    EXPECT_FALSE(a.d.DisplayBaselineSteps(0).done);
    EXPECT_FALSE(a.d.DisplayBaselineSteps(a.e.nsamples + 1).done);
}

// A step from the minimum up to a flat level: every baseline under the level
// leaves a long, even phase, so only the last raw point ends the start search.
TEST(Diagnostics, baselineSteps_startSearchEndsAtTheLastRawPoint) {
    TEngine e;
    std::vector<double> shorter(12, 100.0), longer(20, 100.0);
    shorter[0] = longer[0] = 1.0;
    prepared(e, {shorter, longer});
    const auto r = TDiagnostics(e).DisplayBaselineSteps(1);
    ASSERT_TRUE(r.done);
    EXPECT_EQ(num(r.grid, 0, 2), 1);  // the minimum's point
    for (int k = 2; k <= 12; ++k)     // baselines 0.99 x raw[k]
        EXPECT_EQ(std::pair(num(r.grid, 0, 1 + k), num(r.grid, 1, 1 + k)),
                  std::pair(k + 0.0, 99.0));
    EXPECT_EQ(text(r.grid, 0, 14), "end 0");
}

TEST(Diagnostics, startStop_givesPointsAsCycleColumns) {
    Analysed a;
    const auto r = a.d.displayStartStop();
    ASSERT_TRUE(r.done);
    EXPECT_EQ(text(r.grid, 1, 0) + text(r.grid, 5, 0), "log-lin start??pstop");
    for (int s = 1; s <= a.e.nsamples; ++s) {
        // Cycles 1..45 in columns 1..45: a point's cycle column is its cycle.
        const auto& c = a.before.cyc[s];
        const TRunState& b = a.before;
        for (auto [col, p] :
             {std::pair{2, b.fstart[s]}, {3, b.fstop[s]}, {4, b.wolstart[s]}, {5, b.wolstop[s]}})
            EXPECT_EQ(num(r.grid, col, s), c[p]) << col;
        EXPECT_LE(num(r.grid, 1, s), num(r.grid, 2, s));
        const char* verdicts[] = {"", "excluded", "noisy", "OK"};
        EXPECT_EQ(text(r.grid, 6, s), verdicts[static_cast<int>(b.noisecheck[s])]);
    }
    expectunchanged(a.e, a.before);
}

}  // namespace
}  // namespace qurvex
