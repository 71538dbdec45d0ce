// SPDX-License-Identifier: GPL-3.0-or-later
// The chemistry's Cq correction on output, against hand-worked values.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/CqCorrection.h"

namespace qurvex {
namespace {

struct CorrectionCase {
    int chemistry;
    double cq;
    double efficiency;
    double expected;
};

TEST(CqCorrection, FollowsTheChemistry) {
    const double e19 = -1.0 + std::log(1.9 / 0.9) / std::log(1.9);  // about +0.1642
    const CorrectionCase cases[] = {
        {3, 25.0, 1.9, -1.0},    {5, 25.0, 1.9, -1.0},   {6, 25.0, 2.0, 0.0}, {6, 25.0, 1.9, e19},
        {6, 25.0, 1.0005, -1.0}, {6, 25.0, 1.001, -1.0}, {1, 25.0, 1.9, 0.0}, {2, 25.0, 1.9, 0.0},
        {4, 25.0, 1.9, 0.0},     {7, 25.0, 1.9, 0.0},    {3, 0.0, 1.9, 0.0},  {6, 0.0099, 1.9, 0.0},
        {3, 0.01, 1.9, -1.0},
    };
    for (const auto& c : cases) {
        TRunState run;
        run.nsamples = 1;
        run.chemistry = c.chemistry;
        run.ct = {0.0, c.cq};
        run.sampmeaneff = {0.0, c.efficiency};
        EXPECT_NEAR(GetCtCorrection(run, 1), c.expected, 1e-12)
            << "chemistry " << c.chemistry << " Cq " << c.cq << " E " << c.efficiency;
    }
    EXPECT_NEAR(e19, 0.1642, 5e-5);
}

TEST(CqCorrection, SamplesOutsideTheRunGetNone) {
    TRunState run;
    run.nsamples = 1;
    run.chemistry = 3;
    run.ct = {25.0, 25.0};
    run.sampmeaneff = {2.0, 2.0};
    EXPECT_EQ(GetCtCorrection(run, 0), 0.0);
    EXPECT_EQ(GetCtCorrection(run, 2), 0.0);
    EXPECT_EQ(GetCtCorrection(run, 1), -1.0);
}

TEST(CqCorrection, RulesNeededForProbeChemistries) {
    for (int chem = 0; chem <= 8; ++chem)
        EXPECT_EQ(CqCorrNeeded(chem), chem == 3 || chem == 5 || chem == 6) << chem;
}

}  // namespace
}  // namespace qurvex
