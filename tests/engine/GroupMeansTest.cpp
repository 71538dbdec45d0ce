// SPDX-License-Identifier: GPL-3.0-or-later
// Group means: exclusions, the median outlier test, mean efficiency with its
// standard error, N0 and the grids. Values are worked out by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "CoreTestHelpers.h"

namespace qurvex {
namespace {

using coretest::flags;

// A run of fitted samples: efficiencies and groups given, every Cq 20 and
// every threshold log10 1 = 0, as a run looks after its windows are set.
void loadfits(TEngine& e, const std::vector<double>& effs, const std::vector<int>& groups = {}) {
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
    loadfits(e, {1.80, 1.90, 1.92, 1.95});
    e.calc_mean_ButtonClick();
    // Median 1.91; 1.80 < 1.91 - 0.05. Second median 1.92 keeps it out.
    EXPECT_EQ(flags(e.effoutlier), (std::vector<int>{1, 0, 0, 0}));
    EXPECT_TRUE(e.exclmeaneff[1]);
    EXPECT_NEAR(e.meaneff[1], 1.9233333333333333, 1e-12);
    EXPECT_NEAR(e.meaneffse[1], 0.014529663145135591, 1e-12);
    EXPECT_NEAR(e.groupstatistics[1].sd, 0.025166114784235853, 1e-12);
    EXPECT_NEAR(e.groupstatistics[1].rse, 0.007554417579793202, 1e-12);
    EXPECT_EQ(e.groupstatistics[1].n, 3);
    EXPECT_DOUBLE_EQ(e.sampmeaneff[1], e.meaneff[1]);
    // Switched off: marked but kept; widened to 15 %: not an outlier.
    e.options.ExcludeOutlierCB = false;
    e.calc_mean_ButtonClick();
    EXPECT_TRUE(e.effoutlier[1]);
    EXPECT_FALSE(e.exclmeaneff[1]);
    EXPECT_NEAR(e.meaneff[1], (1.80 + 1.90 + 1.92 + 1.95) / 4, 1e-12);
    e.options.ExcludeOutlierCB = true;
    e.options.IncluPercEdit = 15;
    e.calc_mean_ButtonClick();
    EXPECT_FALSE(e.effoutlier[1]);
}

TEST(GroupMeansOutliers, UnusablePercentageCountsAsFive) {
    TEngine e;
    const struct {
        const char* text;
        double tol;
    } cases[] = {
        {"", 0.05},      {"abc", 0.05}, {" ", 0.05},  {"+", 0.05},
        {"1e999", 0.05}, {"10", 0.1},   {"-3", -0.03}};  // a negative percentage is a number
    for (const auto& c : cases) {
        e.options.IncluPercEdit = TEngine::InclusionPercent(c.text);
        EXPECT_DOUBLE_EQ(e.InclusionTolerance(), c.tol) << c.text;
    }
}

TEST(GroupMeansOutliers, EmptySecondMedianPooledAndPlantedCases) {
    const struct {
        const char* name;
        std::vector<double> effs;
        std::vector<int> groups;
        bool skipall;
        std::vector<int> outliers;
        double mean1, mean2;
    } cases[] = {
        // Median 1.7: both lie 0.2 away, so the second median has no samples.
        {"second median empty", {1.5, 1.9}, {}, false, {0, 0}, 1.7, 0},
        {"no contributors", {1.9, 1.5}, {}, true, {0, 0}, 1.0, 0},
        // Alone, group 1 (median 1.80) has no outlier at 10 %; pooled with
        // group 2 the median is 1.945 and its four lowest would be.
        {"pooled test does not decide within groups",
         {1.71, 1.78, 1.80, 1.82, 1.89, 2.0, 2.0, 2.0, 2.0, 2.0},
         {1, 1, 1, 1, 1, 2, 2, 2, 2, 2},
         false,
         {0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
         (1.71 + 1.78 + 1.80 + 1.82 + 1.89) / 5,
         2.0},
        {"planted outlier per group",
         {1.80, 1.81, 1.70, 1.80, 1.95, 1.94, 1.95, 1.80},
         {1, 1, 1, 1, 2, 2, 2, 2},
         false,
         {0, 0, 1, 0, 0, 0, 0, 1},
         (1.80 + 1.81 + 1.80) / 3,
         (1.95 + 1.94 + 1.95) / 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TEngine e;
        loadfits(e, c.effs, c.groups);
        e.options.IncluPercEdit = c.groups.size() == 10 ? 10 : 5;
        if (c.skipall) e.skipped.assign(e.skipped.size(), 1);
        e.calc_mean_ButtonClick();
        EXPECT_EQ(flags(e.effoutlier), c.outliers);
        EXPECT_NEAR(e.meaneff[1], c.mean1, 1e-12);
        if (c.skipall) {
            EXPECT_DOUBLE_EQ(e.meaneffse[1], 0.0);
        }
        if (e.ngroups > 1) {
            EXPECT_NEAR(e.meaneff[2], c.mean2, 1e-12);
        }
    }
}

TEST(GroupMeansExclusions, SkippedNoPlateauAndLowEfficiency) {
    TEngine e;
    loadfits(e, {1.90, 1.91, 1.92, 1.0005, 1.93});
    e.skipped[1] = true;
    e.noplateau[2] = true;
    e.options.ExcludeSkippedCB = false;  // cannot be unticked
    e.calc_mean_ButtonClick();
    EXPECT_EQ(flags(e.exclmeaneff), (std::vector<int>{1, 1, 0, 1, 0}));
    EXPECT_NEAR(e.meaneff[1], (1.92 + 1.93) / 2, 1e-12);
    EXPECT_TRUE(e.options.ExcludeSkippedCB);
    e.options.ExcludeNoPlateauCB = false;
    e.calc_mean_ButtonClick();
    EXPECT_FALSE(e.exclmeaneff[2]);
}

TEST(GroupMeansGroups, EmptyGroupGroupZeroOneSampleAndEmptyRun) {
    TEngine e;
    loadfits(e, {1.90, 1.92, 1.80, 1.82}, {1, 1, 3, 3});
    e.groupsdefined = true;
    e.calc_mean_ButtonClick();
    ASSERT_EQ(e.meaneff.size(), 4u);
    EXPECT_DOUBLE_EQ(e.meaneff[2], 1.0);
    EXPECT_DOUBLE_EQ(e.meaneffse[2], 0.0);
    EXPECT_NEAR(e.meaneff[1], 1.91, 1e-12);
    EXPECT_NEAR(e.sampmeaneff[3], 1.81, 1e-12);
    EXPECT_NEAR(e.meaneff[0], 1.86, 1e-12);  // group 0 pools every contributing sample
    loadfits(e, {1.90});                     // one sample: a mean but no standard error
    e.calc_mean_ButtonClick();
    EXPECT_DOUBLE_EQ(e.meaneff[1], 1.90);
    EXPECT_DOUBLE_EQ(e.meaneffse[1], 0.0);
    TEngine empty;
    empty.setarraylengths(0, 0);
    empty.calc_mean_ButtonClick();
    ASSERT_EQ(empty.meaneff.size(), 2u);  // ngroups is 1 before any grouping
    EXPECT_DOUBLE_EQ(empty.meaneff[1], 1.0);
    EXPECT_EQ(empty.groupstatistics[0].n, 0);
    EXPECT_TRUE(empty.meansshown);
    EXPECT_TRUE(empty.meansdone);
}

// SD = sqrt((sum e^2 - (sum e)^2 / n) / (n - 1)), from the sums as they come
// out in doubles (Python, same order of summation): for 1.90, 1.91, 1.92
// 0.0100000000000328 (0.01 on paper); for seven times 1.9 the sums give
// -3.55e-15 under the root, which must be a standard deviation of 0.
TEST(GroupMeansGrid, StandardDeviationFromTheSumsOfEfficiencies) {
    TEngine e;
    loadfits(e, {1.90, 1.91, 1.92});
    e.calc_mean_ButtonClick();
    EXPECT_NEAR(e.groupstatistics[0].sd, 0.0100000000000328, 1e-16);
    EXPECT_NEAR(e.groupstatistics[0].sem, 0.00577350269191517, 1e-16);
    loadfits(e, std::vector<double>(7, 1.9));
    e.calc_mean_ButtonClick();
    EXPECT_EQ(e.meaneffse[1], 0.0);
    EXPECT_EQ(e.groupstatistics[1].sd, 0.0);
    EXPECT_EQ(e.groupstatistics[1].rse, 0.0);
}

TEST(GroupMeansGrid, TitlesRowsAndStatistics) {
    TEngine e;
    loadfits(e, {1.90, 1.92, 1.80, 1.82, 1.81}, {1, 1, 2, 2, 2});
    e.ampname = {"", "a", "a", "b", "b", "b"};
    e.GetAmpliconGroupNumbers();
    e.groupsdefined = true;
    e.calc_mean_ButtonClick();
    EXPECT_EQ(e.groupidentifiers, (std::vector<std::string>{"", "a", "b"}));
    const auto& g = e.groupstatistics;
    ASSERT_EQ(g.size(), 3u);
    EXPECT_EQ(g[0].n, 5);
    EXPECT_EQ(g[2].n, 3);
    EXPECT_DOUBLE_EQ(g[2].mean, 1.81);
    EXPECT_NEAR(g[2].sd, 0.01, 1e-12);
    EXPECT_NEAR(g[2].sem, 0.01 / std::sqrt(3.0), 1e-12);
    EXPECT_NEAR(g[2].rse, 0.01 / std::sqrt(3.0) / 1.81, 1e-12);
}

TEST(GroupMeansN0, ThresholdOverMeanEfficiencyToTheCq) {
    TEngine e;
    loadfits(e, {2.0, 2.0, 2.0, 1.0, 2.0});
    e.ct = {0, 10.0, 0.0, 80.0, 10.0, 10.0};
    e.sampftval = {0, std::log10(5.0), 0, 0, 0, 0};
    e.calc_mean_ButtonClick();
    EXPECT_NEAR(e.meann0[1], 5.0 / 1024.0, 1e-15);
    EXPECT_EQ(e.meann0[2], -999.0);  // Cq 0
    EXPECT_EQ(e.meann0[3], -999.0);  // Cq not below 2 x 40 cycles
    EXPECT_EQ(e.meann0[4], -999.0);  // not fitted (efficiency exactly 1)
    EXPECT_NEAR(e.meann0[5], 1.0 / 1024.0, 1e-15);
    loadfits(e, {1.0005, 1.0005});  // no mean can be formed: no N0
    e.calc_mean_ButtonClick();
    EXPECT_EQ(e.meann0[1], -999.0);
}

TEST(GroupMeansReducedRun, WritesTheTestGridWithoutTheLowEfficiencyRule) {
    TEngine e;
    loadfits(e, {1.9, 1.0005, 1.92});
    e.sampname = {"", "x", "y", "z"};
    e.options.ExcludeOutlierCB = false;
    e.WriteSampleDataButtonClick();
    EXPECT_FALSE(e.exclmeaneff[2]);
    EXPECT_TRUE(e.effoutlier[2]);  // one pass: median 1.9
    EXPECT_NEAR(e.meaneff[1], (1.9 + 1.0005 + 1.92) / 3, 1e-12);
    e.options.ExcludeOutlierCB = true;
    e.WriteSampleDataButtonClick();
    EXPECT_TRUE(e.exclmeaneff[2]);
    EXPECT_NEAR(e.meaneff[1], 1.91, 1e-12);
    const auto& g = e.sampledata;
    ASSERT_EQ(g.size(), 4u);
    EXPECT_EQ(g[2].name, "y");
    EXPECT_EQ(g[3].indiveff, 1.92);
    EXPECT_NEAR(g[3].meaneff, 1.91, 1e-12);
    EXPECT_EQ(g[1].ct, 20.0);
}

}  // namespace
}  // namespace qurvex
