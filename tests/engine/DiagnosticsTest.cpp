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
    if (const auto* d = std::get_if<double>(&c)) return *d;
    if (const auto* i = std::get_if<long long>(&c)) return static_cast<double>(*i);
    ADD_FAILURE() << "cell (" << col << ", " << row << ") holds no number";
    return NAN;
}
std::string text(const TDiagnosticGrid& g, int col, int row) {
    const auto* t = std::get_if<std::string>(&g.at(col, row));
    return t != nullptr ? *t : std::string("(no text)");
}

// The bytes of a vector's values: equal bytes, bit-identical values.
template <typename T>
std::string bytes(const std::vector<T>& v) {
    return {reinterpret_cast<const char*>(v.data()), v.size() * sizeof(T)};
}
// The fields an experiment changes while it runs are back, bit for bit.
void expectunchanged(const TRunState& a, const TRunState& b) {
    using Reals = std::vector<double> TRunState::*;
    using Counts = std::vector<int> TRunState::*;
    using Flags = boolarray TRunState::*;
    for (Reals m : std::initializer_list<Reals>{
             &TRunState::bgarr, &TRunState::defbgarr, &TRunState::bgslope, &TRunState::ct,
             &TRunState::slope, &TRunState::intercept, &TRunState::indiveff, &TRunState::indivn0,
             &TRunState::sampftval, &TRunState::uplim, &TRunState::lowlim, &TRunState::ftval,
             &TRunState::defuplim, &TRunState::gruplim, &TRunState::rval, &TRunState::meancyc})
        EXPECT_EQ(bytes(a.*m), bytes(b.*m));
    for (int s = 0; s <= a.nsamples; ++s) {
        EXPECT_EQ(bytes(a.fluor[s]), bytes(b.fluor[s]));
        EXPECT_EQ(bytes(a.cyc[s]), bytes(b.cyc[s]));
    }
    for (Counts m : std::initializer_list<Counts>{&TRunState::npoints, &TRunState::fstart,
                                                  &TRunState::fstop, &TRunState::wolstart,
                                                  &TRunState::wolstop, &TRunState::woltype})
        EXPECT_EQ(a.*m, b.*m);
    for (Flags m : std::initializer_list<Flags>{&TRunState::skipped, &TRunState::noamplif,
                                                &TRunState::bgerror, &TRunState::usedforwol,
                                                &TRunState::emptywol})
        EXPECT_EQ(a.*m, b.*m);
    EXPECT_EQ(a.samplenum, b.samplenum);
    EXPECT_EQ(bytes(std::vector(a.limitshown.begin(), a.limitshown.end())),
              bytes(std::vector(b.limitshown.begin(), b.limitshown.end())));
    EXPECT_EQ(bytes(std::vector{a.logymin, a.logymax}), bytes(std::vector{b.logymin, b.logymax}));
}

// A run of six noise-free dilutions after the baseline step.
struct Analysed {
    RecordingView view;
    TEngine e{&view};
    TDiagnostics d{e};
    TRunState before;
    explicit Analysed(const SyntheticRun& run = dilutionseries()) {
        EXPECT_TRUE(analyse(e, run));
        e.samplenum = 2;
        before = e;
    }
};

TEST(Diagnostics, grid_growsToHoldACellAndIsEmptyOutside) {
    TDiagnosticGrid g(2, 1);
    g.set(4, 2, 1.5);
    g.set(-1, 0, 2.0);
    g.set(0, -1, 2.0);
    EXPECT_EQ(g.ColCount(), 5);
    EXPECT_EQ(g.RowCount(), 3);
    EXPECT_EQ(g.at(4, 2), TGridCell(1.5));
    for (auto [c, r] : {std::pair{5, 0}, {0, 3}, {-1, 0}, {0, -1}, {1, 1}})
        EXPECT_EQ(g.at(c, r), TGridCell{});
}

TEST(Diagnostics, runsTest_countsRunsAndSkipsSamplesWithoutChanges) {
    TEngine e;
    prepared(e, {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {1, 3, 2, 4, 3, 5}, {5, 5, 5, 5}});
    const TRunState before = e;
    TDiagnostics d(e);
    const auto r = d.RunsTest();
    ASSERT_TRUE(r.done);
    // Rising: 9 positive steps, one run; E = 17/3, sd = sqrt(115/90).
    const double z = (17.0 / 3 - 1) / std::sqrt(115.0 / 90);
    EXPECT_EQ(num(r.grid, 1, 1), 1);
    EXPECT_EQ(num(r.grid, 2, 1), 9);
    EXPECT_EQ(num(r.grid, 3, 1), 0);
    EXPECT_EQ(num(r.grid, 4, 1), 9);
    EXPECT_NEAR(num(r.grid, 7, 1), z, 1e-12);
    EXPECT_NEAR(num(r.grid, 8, 1), 0.5 * std::erfc(z / std::sqrt(2.0)), 1e-6);
    // Zig-zag: every step turns.
    EXPECT_EQ(num(r.grid, 1, 2), 5);
    EXPECT_EQ(num(r.grid, 3, 2), 2);
    // Flat: no differences, no test (no division by zero, no root of -29/90).
    EXPECT_EQ(num(r.grid, 2, 3), 0);
    EXPECT_EQ(text(r.grid, 5, 3), "fewer than 2 changes: no test");
    EXPECT_EQ(r.grid.RowCount(), 4);
    expectunchanged(e, before);
}

TEST(Diagnostics, ctShift_fillsTwoRPlusOneCqsAroundTheUnshiftedOne) {
    Analysed a;
    const auto r = a.d.CtShift(5);
    ASSERT_TRUE(r.done);
    EXPECT_EQ(r.grid.ColCount(), 12);
    EXPECT_EQ(r.grid.RowCount(), a.e.nsamples + 1);
    for (int j = -5; j <= 5; ++j) EXPECT_EQ(num(r.grid, 6 + j, 0), j);
    for (int s = 1; s <= a.e.nsamples; ++s) {
        EXPECT_EQ(num(r.grid, 0, s), s);
        EXPECT_EQ(num(r.grid, 6, s), a.before.ct[s]) << s;
        for (int c = 1; c <= 11; ++c) EXPECT_TRUE(std::isfinite(num(r.grid, c, s))) << s;
    }
    expectunchanged(a.e, a.before);
    EXPECT_FALSE(a.e.busy());
    EXPECT_FALSE(a.d.CtShift(100).done);
    EXPECT_FALSE(a.d.CtShift(-1).done);
}

// Stopped by the user, or ended by an error from the window: the run is
// restored either way and the engine is free again.
TEST(Diagnostics, ctShift_stopOrErrorStillRestoresTheRun) {
    for (bool fail : {false, true}) {
        struct StoppingView : RecordingView {
            TDiagnostics* d = nullptr;
            bool fail = false;
            int pumps = 0;
            void progress(int) override {
                if (d == nullptr || ++pumps != 1) return;
                if (fail) throw std::runtime_error("window gone");
                d->requeststop();
            }
        } view;
        TEngine e(&view);
        ASSERT_TRUE(analyse(e, dilutionseries()));
        const TRunState before = e;
        TDiagnostics d(e);
        view.d = &d;
        view.fail = fail;
        // Progress reaches the window at most every 50 ms: let the first one through.
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
        if (fail) {
            EXPECT_THROW(d.CtShift(5), std::runtime_error);
        } else {
            const auto r = d.CtShift(5);
            EXPECT_TRUE(r.done && r.stopped);
            EXPECT_EQ(r.grid.at(3, 1), TGridCell{});  // nothing after the stop
        }
        expectunchanged(e, before);
        EXPECT_FALSE(e.busy());
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
        EXPECT_EQ(text(r.grid, 0, 0), "t-count");
        EXPECT_EQ(text(r.grid, 1, 0), "trheshold");
        EXPECT_EQ(text(r.grid, 2, 0), a.e.sampname[1]);
        const int rows = r.grid.RowCount() - 1;
        ASSERT_GE(rows, 2);
        EXPECT_EQ(num(r.grid, 1, 1), a.before.defuplim[0]);
        for (int k = 1; k <= rows; ++k) {
            EXPECT_EQ(num(r.grid, 0, k), k);
            EXPECT_GT(num(r.grid, 1, k), lowest);
            if (k > 1) {
                EXPECT_NEAR(num(r.grid, 1, k - 1) - num(r.grid, 1, k), step, 1e-12);
            }
        }
        EXPECT_LE(num(r.grid, 1, rows) - step, lowest);
        // In a fixed window one step of log10(E) is one cycle earlier.
        if (keep)
            for (int k = 2; k <= rows; ++k)
                EXPECT_NEAR(num(r.grid, 2, k - 1) - num(r.grid, 2, k), step / a.before.slope[1],
                            1e-9);
        expectunchanged(a.e, a.before);
    }
}

TEST(Diagnostics, ctDrift_withoutAmplificationIsRefusedInsteadOfLoopingForever) {
    SyntheticRun run;
    for (int i = 0; i < 3; ++i) {
        SyntheticWell flat;
        flat.amplifies = false;
        flat.noiseSd = 0.01;
        run.wells.push_back(flat);
    }
    RecordingView view;
    TEngine e(&view);
    analyse(e, run);
    const TRunState before = e;
    TDiagnostics d(e);
    const auto r = d.CtDriftLogLin(0, true);
    EXPECT_FALSE(r.done);
    EXPECT_NE(r.message.find("1.001"), std::string::npos);
    EXPECT_TRUE(hasmessage(view, r.message));
    EXPECT_FALSE(d.CtDriftLogLin(e.ngroups + 1, true).done);
    expectunchanged(e, before);
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
        const auto* t = std::get_if<std::string>(&g.at(0, row));
        if (t != nullptr && *t == "end 0") end0 = row;
        if (t != nullptr && *t == "end 1") end1 = row;
    }
    ASSERT_GT(end0, 2);
    ASSERT_GT(end1, end0 + 3);
    EXPECT_EQ(num(g, 0, end0 + 3), 1);      // the descent counts its rounds from 1
    EXPECT_EQ(g.at(1, end1), TGridCell{});  // the determined baseline is no error
    // The refinement ends where the slopes agree.
    const int last = g.RowCount() - 1;
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
        EXPECT_EQ(num(g, 4, row), sl) << row;
        EXPECT_EQ(num(g, 5, row), su) << row;
    }
    // The refinement from the baseline at "end 1" is the baseline step's own.
    {
        TRunRestore back(a.e);
        a.e.bgarr[3] = num(g, 2, end1);
        double su = 0;
        a.e.refinebaseline(3, false, su);
        EXPECT_EQ(a.e.defbgarr[3], num(g, 1, last));
    }
    // The window redraws the restored run, its current sample included.
    const auto& calls = a.view.calls;
    EXPECT_EQ(calls[calls.size() - 3], "results 2");
    EXPECT_FALSE(a.d.DisplayBaselineSteps(0).done);
    EXPECT_FALSE(a.d.DisplayBaselineSteps(a.e.nsamples + 1).done);
}

// A step from the minimum up to a flat level: every baseline under the
// level leaves a long, even phase, so only the last raw point ends the start
// search.
TEST(Diagnostics, baselineSteps_startSearchEndsAtTheLastRawPoint) {
    TEngine e;
    std::vector<double> shorter(12, 100.0), longer(20, 100.0);
    shorter[0] = longer[0] = 1.0;
    prepared(e, {shorter, longer});
    TDiagnostics d(e);
    const auto r = d.DisplayBaselineSteps(1);
    ASSERT_TRUE(r.done);
    EXPECT_EQ(num(r.grid, 0, 2), 1);  // the minimum's point
    for (int k = 2; k <= 12; ++k) {
        EXPECT_EQ(num(r.grid, 0, 1 + k), k);
        EXPECT_EQ(num(r.grid, 1, 1 + k), 99.0);  // 0.99 x raw[k]
    }
    EXPECT_EQ(text(r.grid, 0, 14), "end 0");
}

TEST(Diagnostics, startStop_givesPointsAsCycleColumns) {
    Analysed a;
    const auto r = a.d.displayStartStop();
    ASSERT_TRUE(r.done);
    EXPECT_EQ(text(r.grid, 1, 0), "log-lin start??");
    EXPECT_EQ(text(r.grid, 5, 0), "pstop");
    for (int s = 1; s <= a.e.nsamples; ++s) {
        // Cycles 1..45 in columns 1..45: a point's cycle column is its cycle.
        const auto& c = a.before.cyc[s];
        EXPECT_EQ(num(r.grid, 2, s), c[a.before.fstart[s]]);
        EXPECT_EQ(num(r.grid, 3, s), c[a.before.fstop[s]]);
        EXPECT_EQ(num(r.grid, 4, s), c[a.before.wolstart[s]]);
        EXPECT_EQ(num(r.grid, 5, s), c[a.before.wolstop[s]]);
        EXPECT_LE(num(r.grid, 1, s), num(r.grid, 2, s));
        const char* verdicts[] = {"", "excluded", "noisy", "OK"};
        EXPECT_EQ(text(r.grid, 6, s), verdicts[static_cast<int>(a.before.noisecheck[s])]);
    }
    expectunchanged(a.e, a.before);
}

TEST(Diagnostics, getMinFlu_smallestPositiveRawValue) {
    struct Case {
        std::vector<double> raw;
        std::optional<double> expected;
    };
    for (const Case& c : {Case{{3, 2, 5}, 2.0}, Case{{-1, 4, 2.5}, 2.5}, Case{{0, -2}, {}}}) {
        TEngine e;
        loadrows(e, {c.raw});
        e.nrawpoints[1] = static_cast<int>(c.raw.size());
        e.samplenum = 1;
        EXPECT_EQ(TDiagnostics(e).GetMinFlu(), c.expected);
    }
}

}  // namespace
}  // namespace qurvex
