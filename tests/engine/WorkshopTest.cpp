// SPDX-License-Identifier: GPL-3.0-or-later
// The workshop's baseline trend, its refusals and reset, its table and the
// plateau level.
#include <gtest/gtest.h>

#include <cmath>

#include "CoreTestHelpers.h"
#include "engine/Workshop.h"

namespace qurvex {
namespace {

using namespace coretest;

// Dilutions on a baseline that drifts by `drift` per cycle, with a little
// noise, after the baseline step.
void analysedrift(TEngine& e, double drift, double noise) {
    SyntheticRun run = dilutionseries(1.9, 2.0);
    for (auto& w : run.wells) {
        w.noiseSd = noise;
        w.n0 *= 1e-3;  // flat over the first ten cycles
    }
    testing::loadSyntheticRun(e, run);
    for (int s = 1; s <= e.nsamples; ++s)
        for (int p = 1; p <= e.npoints[s]; ++p) e.rawfluor[s][p] += drift * e.rawcyc[s][p];
    e.ProcessDataAfterRead();
    ASSERT_TRUE(e.BaselineButtonPanelClick());
}

TEST(Workshop, trend_recoversTheBaselineSlopeAndResetReturns) {
    TEngine e;
    analysedrift(e, 0.01, 0.002);
    const std::vector<double> determined = e.defbgarr;
    TWorkshop w(e);
    ASSERT_TRUE(w.BaselineTrend("3", "10"));
    EXPECT_TRUE(e.bgtrendset);
    for (int s = 1; s <= e.nsamples; ++s) {
        // Least squares over 8 points of sd 0.002: slope sd ~ 0.0003.
        EXPECT_NEAR(e.bgslope[s], 0.01, 0.0015) << s;
        EXPECT_NEAR(e.bgarr[s], 2.0, 0.01) << s;
        // The last valid point is the trend subtracted from its raw point.
        const double c = e.cyc[s][e.npoints[s]];
        EXPECT_NEAR(e.fluor[s][e.npoints[s]],
                    e.rawfluor[s][static_cast<int>(c)] - e.bgarr[s] - e.bgslope[s] * c, 1e-12);
        EXPECT_GT(e.indiveff[s], 1.7) << s;
    }
    ASSERT_TRUE(w.ResetDefbgarr());
    EXPECT_FALSE(e.bgtrendset);
    EXPECT_EQ(e.bgarr, determined);
    for (int s = 1; s <= e.nsamples; ++s) EXPECT_EQ(e.bgslope[s], 0.0);
}

TEST(Workshop, trend_refusesBeforeTheBaselineStepAndOutOfRange) {
    RecordingView view;
    TEngine e(&view);
    readrun(e, dilutionseries());
    TWorkshop w(e);
    std::string message;
    EXPECT_FALSE(w.BaselineTrend("3", "10", &message));
    EXPECT_EQ(message, "First determine Qurvex baseline by pressing the red button");
    EXPECT_EQ(view.count("message information"), 1);
    ASSERT_TRUE(e.BaselineButtonPanelClick());
    const std::vector<double> bg = e.bgarr, ct = e.ct;
    for (const auto& [b, end] : std::vector<std::pair<const char*, const char*>>{{"0", "10"},
                                                                                 {"10", "3"},
                                                                                 {"5", "5"},
                                                                                 {"3", "46"},
                                                                                 {"3.5", "10"},
                                                                                 {"3", "1e1"},
                                                                                 {"", "10"},
                                                                                 {"three", "10"},
                                                                                 {"3", "10x"},
                                                                                 {"-3", "10"}}) {
        message.clear();
        EXPECT_FALSE(w.BaselineTrend(b, end, &message)) << b << ".." << end;
        EXPECT_NE(message.find("<= 45"), std::string::npos) << message;
    }
    EXPECT_FALSE(e.bgtrendset);
    EXPECT_EQ(e.bgarr, bg);
    EXPECT_EQ(e.ct, ct);
    EXPECT_TRUE(w.BaselineTrend(" 1 ", "45"));
    // The shortest sample bounds the end, wherever it is in the run.
    e.nrawpoints[e.nsamples] = 20;
    EXPECT_FALSE(w.BaselineTrend("3", "21", &message));
    EXPECT_NE(message.find("<= 20"), std::string::npos) << message;
}

TEST(Workshop, grid_titlesRowsAndPlateau) {
    TEngine e;
    ASSERT_TRUE(analyse(e, dilutionseries()));
    e.noplateau[2] = 1;
    TWorkshop w(e);
    const auto g = w.FillGrid("Tissue");
    ASSERT_EQ(g.ColCount(), 11);
    ASSERT_EQ(g.RowCount(), e.nsamples + 1);
    EXPECT_EQ(g.at(3, 0), TGridCell(std::string("Tissue")));
    EXPECT_EQ(g.at(7, 0), TGridCell(std::string("Nq")));
    EXPECT_EQ(g.at(10, 0), TGridCell(std::string("N0_indiv")));
    EXPECT_EQ(g.at(0, 4), TGridCell(4LL));
    EXPECT_EQ(g.at(1, 4), TGridCell(e.sampname[4]));
    EXPECT_EQ(g.at(2, 4), TGridCell(e.ampname[4]));
    EXPECT_EQ(g.at(8, 4), TGridCell(e.ct[4]));
    EXPECT_EQ(g.at(6, 2), TGridCell(-999.0));
    // A noise-free curve ends on its plateau, far after fstop: the mean of
    // the last four points.
    const int s = 1, n = e.npoints[s];
    ASSERT_LT(e.fstop[s] + 2, n - 3);
    const auto& F = e.fluor[s];
    EXPECT_DOUBLE_EQ(w.GetPlateau(s), (F[n - 3] + F[n - 2] + F[n - 1] + F[n]) / 4);
    // Only the points more than 2 after fstop count.
    e.fstop[s] = n - 4;
    EXPECT_DOUBLE_EQ(w.GetPlateau(s), (F[n - 1] + F[n]) / 2);
    e.fstop[s] = n - 2;
    EXPECT_EQ(w.GetPlateau(s), -999);
    EXPECT_EQ(w.GetPlateau(0), -999);
    EXPECT_EQ(w.GetPlateau(e.nsamples + 1), -999);
    TEngine empty;
    EXPECT_FALSE(TWorkshop(empty).ResetDefbgarr());
}

}  // namespace
}  // namespace qurvex
