// SPDX-License-Identifier: GPL-3.0-or-later
// Log-linear phase: end (largest curvature), start under the three
// strictness options, and the slope comparison of its two halves.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "engine/Engine.h"

namespace qurvex {
namespace {

// One sample whose corrected points are `f` at cycles `c` (default 1..n;
// missing cycles are gaps). The row is exactly as long as the run needs, so
// a read past it is caught.
void loadone(TEngine& e, const std::vector<double>& f, std::vector<double> c = {}) {
    for (std::size_t i = c.size(); i < f.size(); ++i) c.push_back(static_cast<double>(i + 1));
    const int ncycles = c.empty() ? 0 : static_cast<int>(c.back());
    e.setarraylengths(ncycles, 1);
    for (int k = 1; k <= ncycles; ++k) e.headercyc[k] = k;
    const int n = static_cast<int>(f.size());
    e.npoints[1] = e.nrawpoints[1] = n;
    for (int p = 1; p <= n; ++p) {
        e.cyc[1][p] = e.rawcyc[1][p] = c[p - 1];
        e.fluor[1][p] = e.rawfluor[1][p] = f[p - 1];
    }
    e.fluor[1][0] = 1e-5;
    e.cyc[1][0] = n > 0 ? c[0] - 1 : 0;
}

std::vector<double> powers(const std::vector<double>& log10f) {
    std::vector<double> f;
    for (double y : log10f) f.push_back(std::pow(10.0, y));
    return f;
}

TEST(LogLinearPhase, EndIsTheLargestCurvatureBeforeTheLargestRise) {
    const struct {
        std::vector<double> f;
        int fstop, fmaxdiff;
    } cases[] = {
        // Rises 0 0 1 2 4 8 14 10 2 1: largest at point 8; curvature
        // (d(p+2) - d(p-1)) / 3 is 2/3, 4/3, 7/3, 4, 2, ...: largest at point 6.
        {{1, 1, 1, 2, 4, 8, 16, 30, 40, 42, 43}, 6, 8},
        {{2, 4, 8, 16, 32, 64, 128, 256, 512, 1024}, 10, 10},  // still rising
        {{3, 3, 3, 3, 3, 3, 3}, 7, 7},                         // flat
    };
    for (const auto& c : cases) {
        TEngine e;
        loadone(e, c.f);
        EXPECT_EQ(e.findfstop(1), c.fstop) << c.f.size();
        EXPECT_EQ(e.fmaxdiff[1], c.fmaxdiff) << c.f.size();
    }
    for (int n = 0; n <= 4; ++n) {  // few points stay inside the row
        TEngine e;
        std::vector<double> f;
        for (int p = 1; p <= n; ++p) f.push_back(std::pow(2.0, p));
        loadone(e, f);
        EXPECT_EQ(e.findfstop(1), n) << n << " points";
    }
}

TEST(LogLinearPhase, StartUnderEachStrictnessOption) {
    const struct {
        const char* name;
        std::vector<double> f, c;
        int fstop, start[3];
    } cases[] = {
        {"falling point stops the strict walk", {1, 2, 4, 3, 6, 12, 24, 48}, {}, 8, {4, 1, 1}},
        // first step log10 10 = 1 > 1.1 x last step log10 2
        {"steep first step", {1, 10, 20, 40, 80}, {}, 5, {2, 2, 1}},
        {"gap at cycle 4", {1, 2, 4, 8, 16, 32, 64}, {1, 2, 3, 5, 6, 7, 8}, 7, {4, 4, 4}},
    };
    for (const auto& c : cases) {
        TEngine e;
        loadone(e, c.f, c.c);
        e.fstop[1] = c.fstop;
        for (int option = 0; option <= 2; ++option)
            EXPECT_EQ(e.findfstartoption(1, option), c.start[option])
                << c.name << " option " << option;
    }
}

TEST(LogLinearPhase, PhaseEndingAtPoint0To2NeverReadsBeforePoint1) {
    TEngine e;
    loadone(e, {5, 7});
    for (int stop = 0; stop <= 2; ++stop) {
        e.fstop[1] = stop;
        for (int option = 0; option <= 2; ++option) EXPECT_EQ(e.findfstartoption(1, option), 1);
    }
    loadone(e, {});
    e.fstop[1] = 0;
    EXPECT_EQ(e.findfstart(1), 1);
}

// The halves of the phase and the Student t of their slope difference.
struct Halves {
    double sl = 9, r = 9, p = 9, su = 9;
};
Halves halves(TEngine& e, int fstart, int fstop) {
    Halves h;
    e.fstart[1] = fstart;
    e.fstop[1] = fstop;
    e.ttestslopes(1, h.sl, h.r, h.p, h.su);
    return h;
}

TEST(LogLinearPhaseTtest, ExactAndNoisyHalves) {
    TEngine e;
    // log10 F = 0.3 c for c = 1..4, then 0.2 per cycle: t = 100 with 5 df.
    loadone(e, powers({0.3, 0.6, 0.9, 1.2, 1.4, 1.6, 1.8, 2.0}));
    Halves h = halves(e, 1, 8);
    EXPECT_NEAR(h.sl, 0.3, 1e-12);
    EXPECT_NEAR(h.su, 0.2, 1e-12);
    EXPECT_LT(h.p, 1e-6);
    double slope = 0, intercept = 0;
    EXPECT_DOUBLE_EQ(h.r, e.rcalc(1, 1, 8, slope, intercept));
    // By hand: Sl = 0.305, Su = 0.201, SxxL = SxxU = 5, RSS_L = 0.00135,
    // RSS_U = 0.00147, df = 5, t = 0.104 / sqrt(0.4 x 0.00282 / 5) = 6.9241;
    // two-tailed p by Simpson integration of the t density: 0.000964.
    loadone(e, powers({0, 0.32, 0.58, 0.93, 1.1, 1.33, 1.48, 1.72}));
    h = halves(e, 1, 8);
    EXPECT_NEAR(h.sl, 0.305, 1e-9);
    EXPECT_NEAR(h.su, 0.201, 1e-9);
    EXPECT_NEAR(h.p, 0.000964, 0.000005);
}

TEST(LogLinearPhaseTtest, ShortPhasesKeepTheirHalvesInsideThePoints) {
    TEngine e;
    loadone(e, {1, 10, 1000});
    // fstart = fstop = 2: lower half 2..3 (log10 F 1 -> 3), upper half 1..2
    // (0 -> 1); df = 1, exact lines, so t = 100 and p = (2/pi) atan(1/100).
    Halves h = halves(e, 2, 2);
    EXPECT_NEAR(h.sl, 2.0, 1e-12);
    EXPECT_NEAR(h.su, 1.0, 1e-12);
    EXPECT_NEAR(h.p, 2.0 / std::numbers::pi * std::atan(0.01), 1e-6);
    e.halfslopes(1, h.sl, h.su);
    EXPECT_NEAR(h.sl, 2.0, 1e-12);
    EXPECT_NEAR(h.su, 1.0, 1e-12);
    // At point 1 the upper half would reach point 0: it stops at point 1.
    h = halves(e, 1, 1);
    EXPECT_NEAR(h.sl, 1.0, 1e-12);
    EXPECT_EQ(h.su, 0.0);
    EXPECT_EQ(h.p, 0.0);  // df = 0
    loadone(e, {1, 2, 4});
    EXPECT_EQ(halves(e, 3, 7).p, 0.0);  // beyond the valid points: clamped to 3..3
    h = halves(e, 1, 3);                // halves 1..2 and 2..3
    EXPECT_NEAR(h.sl, std::log10(2.0), 1e-12);
    EXPECT_NEAR(h.su, std::log10(2.0), 1e-12);
}

}  // namespace
}  // namespace qurvex
