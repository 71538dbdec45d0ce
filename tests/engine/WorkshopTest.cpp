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

TEST(Workshop, trend_recoversTheBaselineSlopeAndResetReturns) {
    // Dilutions, flat over the first ten cycles, on a baseline drifting by
    // 0.01 per cycle with noise of sd 0.002, after the baseline step.
    TEngine e;
    SyntheticRun run = dilutionseries(1.9, 2.0);
    for (auto& w : run.wells) w.noiseSd = 0.002, w.n0 *= 1e-3;
    testing::loadSyntheticRun(e, run);
    for (int s = 1; s <= e.nsamples; ++s)
        for (int p = 1; p <= e.npoints[s]; ++p) e.rawfluor[s][p] += 0.01 * e.rawcyc[s][p];
    e.ProcessDataAfterRead();
    ASSERT_TRUE(e.BaselineButtonPanelClick());
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
    EXPECT_EQ(e.bgslope, std::vector<double>(e.bgslope.size(), 0.0));
    TEngine empty;
    EXPECT_FALSE(TWorkshop(empty).ResetDefbgarr());
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
    for (auto [b, end] : {std::pair{"0", "10"},
                          {"10", "3"},
                          {"5", "5"},
                          {"3", "46"},
                          {"3.5", "10"},
                          {"3", "1e1"},
                          {"", "10"},
                          {"three", "10"},
                          {"3", "10x"},
                          {"-3", "10"}}) {
        EXPECT_FALSE(w.BaselineTrend(b, end, &message)) << b << ".." << end;
        EXPECT_NE(message.find("<= 45"), std::string::npos) << message;
    }
    EXPECT_FALSE(e.bgtrendset);
    EXPECT_EQ(std::pair(e.bgarr, e.ct), std::pair(bg, ct));
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
    ASSERT_EQ(std::pair(g.ColCount(), g.RowCount()), std::pair(11, e.nsamples + 1));
    const std::string title[] = {"Tissue", "Nq", "N0_indiv"};
    for (auto [col, row, cell] : {std::tuple<int, int, TGridCell>{3, 0, title[0]},
                                  {7, 0, title[1]},
                                  {10, 0, title[2]},
                                  {0, 4, 4LL},
                                  {1, 4, e.sampname[4]},
                                  {2, 4, e.ampname[4]},
                                  {8, 4, e.ct[4]},
                                  {9, 4, e.indiveff[4]},
                                  {6, 2, -999.0}})
        EXPECT_EQ(g.at(col, row), cell) << col << "," << row;
    // A noise-free curve ends on its plateau, far after fstop: the mean of the
    // last four points; only the points more than 2 after fstop count.
    const int s = 1, n = e.npoints[s];
    ASSERT_LT(e.fstop[s] + 2, n - 3);
    const auto& F = e.fluor[s];
    EXPECT_DOUBLE_EQ(w.GetPlateau(s), (F[n - 3] + F[n - 2] + F[n - 1] + F[n]) / 4);
    e.fstop[s] = n - 4;
    EXPECT_DOUBLE_EQ(w.GetPlateau(s), (F[n - 1] + F[n]) / 2);
    e.fstop[s] = n - 2;
    for (int bad : {s, 0, e.nsamples + 1}) EXPECT_EQ(w.GetPlateau(bad), -999);
}

}  // namespace
}  // namespace qurvex
