// SPDX-License-Identifier: GPL-3.0-or-later
// Group means: exclusions, the median outlier test, Cq-too-low rules, mean
// efficiency with its standard error, and N0. Values are worked out by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/Engine.h"

namespace qurvex {
namespace {

// A run of fitted samples: efficiencies and groups given, every Cq 20 and
// every threshold log10 1 = 0, as a run looks after its windows are set.
void loadfits(TEngine& e, const std::vector<double>& effs, const std::vector<int>& groups) {
    const int n = static_cast<int>(effs.size());
    e.setarraylengths(40, n);
    e.FillCqLimitTables();
    e.ngroups = 0;
    for (int s = 1; s <= n; ++s) {
        e.indiveff[s] = effs[s - 1];
        e.ampgroup[s] = groups.empty() ? 1 : groups[s - 1];
        e.ngroups = std::max(e.ngroups, e.ampgroup[s]);
        e.ct[s] = 20.0;
        e.sampftval[s] = 0.0;
    }
}

TEST(GroupMeansOutliers, MedianOfFourAndSecondPass) {
    TEngine e;
    loadfits(e, {1.80, 1.90, 1.92, 1.95}, {});
    e.calc_mean_ButtonClick();
    // Median 1.91; 1.80 < 1.91 - 0.05. Second median 1.92 keeps it out.
    EXPECT_TRUE(e.effoutlier[1]);
    EXPECT_FALSE(e.effoutlier[2] || e.effoutlier[3] || e.effoutlier[4]);
    EXPECT_TRUE(e.exclmeaneff[1]);
    EXPECT_NEAR(e.meaneff[1], 1.9233333333333333, 1e-12);
    EXPECT_NEAR(e.meaneffse[1], 0.014529663145135591, 1e-12);
    EXPECT_NEAR(e.groupstatistics[1].sd, 0.025166114784235853, 1e-12);
    EXPECT_NEAR(e.groupstatistics[1].rse, 0.007554417579793202, 1e-12);
    EXPECT_EQ(e.groupstatistics[1].n, 3);
    EXPECT_DOUBLE_EQ(e.sampmeaneff[1], e.meaneff[1]);
    EXPECT_TRUE(e.meansdone);
}

TEST(GroupMeansOutliers, OutlierRuleCanBeSwitchedOffAndWidened) {
    TEngine e;
    loadfits(e, {1.80, 1.90, 1.92, 1.95}, {});
    e.options.ExcludeOutlierCB = false;
    e.calc_mean_ButtonClick();
    EXPECT_TRUE(e.effoutlier[1]);
    EXPECT_FALSE(e.exclmeaneff[1]);
    EXPECT_NEAR(e.meaneff[1], (1.80 + 1.90 + 1.92 + 1.95) / 4, 1e-12);

    e.options.ExcludeOutlierCB = true;
    e.options.IncluPercEdit = "15";
    e.calc_mean_ButtonClick();
    EXPECT_FALSE(e.effoutlier[1]);
}

TEST(GroupMeansOutliers, UnusablePercentageCountsAsFive) {
    TEngine e;
    for (const char* text : {"", "abc", " ", "+", "1e999"}) {
        e.options.IncluPercEdit = text;
        EXPECT_DOUBLE_EQ(e.InclusionTolerance(), 0.05) << text;
    }
    e.options.IncluPercEdit = "10";
    EXPECT_DOUBLE_EQ(e.InclusionTolerance(), 0.1);
    // A negative percentage is a number: it is taken as it stands.
    e.options.IncluPercEdit = "-3";
    EXPECT_DOUBLE_EQ(e.InclusionTolerance(), -0.03);
    loadfits(e, {1.80, 1.90, 1.92, 1.95}, {});
    e.options.IncluPercEdit = "";
    e.calc_mean_ButtonClick();
    EXPECT_TRUE(e.effoutlier[1]);
}

TEST(GroupMeansOutliers, SecondPassWithoutSamplesMarksNone) {
    TEngine e;
    // Median 1.7: both lie 0.2 away, so the first pass leaves nothing.
    loadfits(e, {1.5, 1.9}, {});
    e.calc_mean_ButtonClick();
    EXPECT_FALSE(e.effoutlier[1]);
    EXPECT_FALSE(e.effoutlier[2]);
    EXPECT_NEAR(e.meaneff[1], 1.7, 1e-12);
}

TEST(GroupMeansOutliers, GroupWithoutContributorsHasNoOutliers) {
    TEngine e;
    loadfits(e, {1.9, 1.5}, {});
    e.skipped[1] = e.skipped[2] = true;
    e.calc_mean_ButtonClick();
    EXPECT_FALSE(e.effoutlier[1] || e.effoutlier[2]);
    EXPECT_DOUBLE_EQ(e.meaneff[1], 1.0);
    EXPECT_DOUBLE_EQ(e.meaneffse[1], 0.0);
}

TEST(GroupMeansOutliers, PooledTestDoesNotDecideWithinGroups) {
    TEngine e;
    // Alone, group 1 (median 1.80) has no outlier at 10 %. Pooled with group 2
    // the median is 1.945 and the four lowest lie outside; they must not be
    // left out of group 1's own second median.
    loadfits(e, {1.71, 1.78, 1.80, 1.82, 1.89, 2.0, 2.0, 2.0, 2.0, 2.0},
             {1, 1, 1, 1, 1, 2, 2, 2, 2, 2});
    e.options.IncluPercEdit = "10";
    e.calc_mean_ButtonClick();
    for (int s = 1; s <= 10; ++s) EXPECT_FALSE(e.effoutlier[s]) << s;
    EXPECT_NEAR(e.meaneff[1], (1.71 + 1.78 + 1.80 + 1.82 + 1.89) / 5, 1e-12);
    EXPECT_DOUBLE_EQ(e.meaneff[2], 2.0);
}

TEST(GroupMeansOutliers, PlantedOutlierPerGroup) {
    TEngine e;
    loadfits(e, {1.80, 1.81, 1.70, 1.80, 1.95, 1.94, 1.95, 1.80}, {1, 1, 1, 1, 2, 2, 2, 2});
    e.calc_mean_ButtonClick();
    EXPECT_EQ(std::vector<uint8_t>(e.effoutlier.begin() + 1, e.effoutlier.end()),
              (std::vector<uint8_t>{0, 0, 1, 0, 0, 0, 0, 1}));
    EXPECT_NEAR(e.meaneff[1], (1.80 + 1.81 + 1.80) / 3, 1e-12);
    EXPECT_NEAR(e.meaneff[2], (1.95 + 1.94 + 1.95) / 3, 1e-12);
}

TEST(GroupMeansExclusions, SkippedNoPlateauAndLowEfficiency) {
    TEngine e;
    loadfits(e, {1.90, 1.91, 1.92, 1.0005, 1.93}, {});
    e.skipped[1] = true;
    e.noplateau[2] = true;
    e.options.ExcludeSkippedCB = false;  // cannot be unticked
    e.calc_mean_ButtonClick();
    EXPECT_EQ(std::vector<uint8_t>(e.exclmeaneff.begin() + 1, e.exclmeaneff.end()),
              (std::vector<uint8_t>{1, 1, 0, 1, 0}));
    EXPECT_NEAR(e.meaneff[1], (1.92 + 1.93) / 2, 1e-12);
    EXPECT_TRUE(e.options.ExcludeSkippedCB);

    e.options.ExcludeNoPlateauCB = false;
    e.calc_mean_ButtonClick();
    EXPECT_FALSE(e.exclmeaneff[2]);

    e.ExcludeSkippedCBClick();
    EXPECT_TRUE(e.options.ExcludeSkippedCB);
}

TEST(GroupMeansGroups, EmptyGroupAndGroupZero) {
    TEngine e;
    loadfits(e, {1.90, 1.92, 1.80, 1.82}, {1, 1, 3, 3});
    e.groupsdefined = true;
    e.calc_mean_ButtonClick();
    ASSERT_EQ(e.meaneff.size(), 4u);
    EXPECT_DOUBLE_EQ(e.meaneff[2], 1.0);
    EXPECT_DOUBLE_EQ(e.meaneffse[2], 0.0);
    EXPECT_NEAR(e.meaneff[1], 1.91, 1e-12);
    EXPECT_NEAR(e.meaneff[3], 1.81, 1e-12);
    EXPECT_NEAR(e.sampmeaneff[3], 1.81, 1e-12);
    // Group 0 pools every contributing sample (its median 1.86 keeps all four).
    EXPECT_NEAR(e.meaneff[0], 1.86, 1e-12);
    // A one-sample group has a mean but no standard error.
    loadfits(e, {1.90}, {});
    e.calc_mean_ButtonClick();
    EXPECT_DOUBLE_EQ(e.meaneff[1], 1.90);
    EXPECT_DOUBLE_EQ(e.meaneffse[1], 0.0);
}

TEST(GroupMeansGroups, EmptyRunGivesNeutralMeans) {
    TEngine e;
    e.setarraylengths(0, 0);
    e.calc_mean_ButtonClick();
    ASSERT_EQ(e.meaneff.size(), 2u);  // ngroups is 1 before any grouping
    EXPECT_DOUBLE_EQ(e.meaneff[1], 1.0);
    EXPECT_DOUBLE_EQ(e.meaneffse[0], 0.0);
    EXPECT_EQ(e.means_Grid[2][1], "0");
    EXPECT_TRUE(e.meansdone);
}

TEST(GroupMeansGroups, IdenticalEfficienciesHaveZeroError) {
    TEngine e;
    loadfits(e, {1.9, 1.9, 1.9, 1.9, 1.9, 1.9, 1.9}, {});
    e.calc_mean_ButtonClick();
    // In doubles sum e^2 - (sum e)^2 / 7 comes out as -3.55e-15 here
    // (Python, IEEE doubles): the standard deviation is 0, never a NaN.
    EXPECT_EQ(e.meaneffse[1], 0.0);
    EXPECT_EQ(e.groupstatistics[1].sd, 0.0);
    EXPECT_EQ(e.groupstatistics[1].rse, 0.0);
    EXPECT_EQ(e.means_Grid[4][1], "0");
}

TEST(GroupMeansGrid, StandardDeviationFromTheSumsOfEfficiencies) {
    TEngine e;
    // SD = sqrt((sum e^2 - (sum e)^2 / n) / (n - 1)) for 1.90, 1.91, 1.92:
    // 0.01 exactly on paper; in doubles (Python, same order of summation)
    // 0.0100000000000328, and the grid shows 15 significant digits.
    loadfits(e, {1.90, 1.91, 1.92}, {});
    e.calc_mean_ButtonClick();
    EXPECT_EQ(e.means_Grid[4][1], "0.0100000000000328");
    EXPECT_EQ(e.means_Grid[5][1], "0.00577350269191517");
}

TEST(GroupMeansGrid, TitlesRowsAndStatistics) {
    TEngine e;
    loadfits(e, {1.90, 1.92, 1.80, 1.82, 1.81}, {1, 1, 2, 2, 2});
    e.ampname = {"", "a", "a", "b", "b", "b"};
    e.GetAmpliconGroupNumbers();
    e.groupsdefined = true;
    e.calc_mean_ButtonClick();
    const auto& g = e.means_Grid;
    ASSERT_EQ(g.size(), 7u);
    ASSERT_EQ(g[0].size(), 4u);
    EXPECT_EQ(g[2][0], "n included");
    EXPECT_EQ(g[3][0], "mean Efficiency");
    EXPECT_EQ(g[4][0], "St Dev");
    EXPECT_EQ(g[5][0], "SEM");
    EXPECT_EQ(g[6][0], "RSE");
    EXPECT_EQ(g[1][1], "one group");
    EXPECT_EQ(g[1][2], "a");
    EXPECT_EQ(g[1][3], "b");
    EXPECT_EQ(g[0][2], "1");
    EXPECT_EQ(g[0][3], "2");
    EXPECT_EQ(g[2][1], "5");
    EXPECT_EQ(g[2][3], "3");
    EXPECT_DOUBLE_EQ(std::stod(g[3][3]), 1.81);
    EXPECT_NEAR(std::stod(g[4][3]), 0.01, 1e-12);
    EXPECT_NEAR(std::stod(g[5][3]), 0.01 / std::sqrt(3.0), 1e-12);
    EXPECT_NEAR(std::stod(g[6][3]), 0.01 / std::sqrt(3.0) / 1.81, 1e-12);

    e.groupsdefined = false;
    e.calc_mean_ButtonClick();
    EXPECT_EQ(e.means_Grid[0].size(), 2u);
    EXPECT_EQ(e.means_Grid[2][1], "5");
}

TEST(GroupMeansN0, ThresholdOverMeanEfficiencyToTheCq) {
    TEngine e;
    loadfits(e, {2.0, 2.0, 2.0, 1.0, 2.0}, {});
    e.ct = {0, 10.0, 0.0, 80.0, 10.0, 10.0};
    e.sampftval = {0, std::log10(5.0), 0, 0, 0, 0};
    e.calc_mean_ButtonClick();
    EXPECT_NEAR(e.meann0[1], 5.0 / 1024.0, 1e-15);
    EXPECT_EQ(e.meann0[2], -999.0);  // Cq 0
    EXPECT_EQ(e.meann0[3], -999.0);  // Cq not below 2 x 40 cycles
    EXPECT_EQ(e.meann0[4], -999.0);  // not fitted (efficiency exactly 1)
    EXPECT_NEAR(e.meann0[5], 1.0 / 1024.0, 1e-15);
    // A group whose mean cannot be formed reports no N0.
    loadfits(e, {1.0005, 1.0005}, {});
    e.calc_mean_ButtonClick();
    EXPECT_EQ(e.meann0[1], -999.0);
}

TEST(GroupMeansReducedRun, WritesTheTestGridWithoutTheLowEfficiencyRule) {
    TEngine e;
    loadfits(e, {1.9, 1.0005, 1.92}, {});
    e.sampname = {"", "x", "y", "z"};
    e.options.ExcludeOutlierCB = false;
    e.WriteSampleDataButtonClick();
    EXPECT_FALSE(e.exclmeaneff[2]);
    EXPECT_TRUE(e.effoutlier[2]);  // one pass: median 1.9
    EXPECT_NEAR(e.meaneff[1], (1.9 + 1.0005 + 1.92) / 3, 1e-12);
    EXPECT_TRUE(e.meansdone);
    e.options.ExcludeOutlierCB = true;
    e.WriteSampleDataButtonClick();
    EXPECT_TRUE(e.exclmeaneff[2]);
    EXPECT_NEAR(e.meaneff[1], 1.91, 1e-12);
    const auto& g = e.StringGridTest;
    ASSERT_EQ(g.size(), 6u);
    ASSERT_EQ(g[0].size(), 4u);
    EXPECT_EQ(g[0][0], "nr");
    EXPECT_EQ(g[5][0], "reserve");
    EXPECT_EQ(g[0][2], "2");
    EXPECT_EQ(g[1][2], "y");
    EXPECT_DOUBLE_EQ(std::stod(g[2][3]), 1.92);
    EXPECT_NEAR(std::stod(g[3][3]), 1.91, 1e-12);
    EXPECT_DOUBLE_EQ(std::stod(g[4][1]), 20.0);
    EXPECT_EQ(g[5][1], "");
}

}  // namespace
}  // namespace qurvex
