// SPDX-License-Identifier: GPL-3.0-or-later
// The Cq-too-low limits by efficiency, accepted error, chemistry and input.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/Engine.h"

namespace qurvex {
namespace {

TEST(CqTooLowTables, FilledAtStartUp) {
    const TEngine e;
    EXPECT_EQ(e.mincteff[0][0], 28);
    EXPECT_EQ(e.mincteff[2][1], 32);
    EXPECT_EQ(e.mincteff[10][1], 13);
    EXPECT_EQ(e.minctn0[2][1], 38);
    EXPECT_EQ(e.minctn0[9][0], 9);
    EXPECT_EQ(e.minctn0[10][1], 12);
}

TEST(CqTooLowTables, RowFromEfficiency) {
    EXPECT_EQ(TEngine::CqLimitRow(0.5), 0);
    EXPECT_EQ(TEngine::CqLimitRow(0.95), 0);
    EXPECT_EQ(TEngine::CqLimitRow(1.0), 1);
    EXPECT_EQ(TEngine::CqLimitRow(1.45), 5);
    EXPECT_EQ(TEngine::CqLimitRow(1.85), 9);
    EXPECT_EQ(TEngine::CqLimitRow(1.9), 10);
    EXPECT_EQ(TEngine::CqLimitRow(2.0), 10);
    EXPECT_EQ(TEngine::CqLimitRow(3.0), 10);
    EXPECT_EQ(TEngine::CqLimitRow(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(CqTooLowTables, OffsetByChemistryAndInput) {
    TEngine e;
    for (int chem = 1; chem <= 7; ++chem)
        for (int input = 1; input <= 2; ++input) {
            e.chemistry = chem;
            e.inputtype = input;
            const int expected = chem == 5 && input == 2   ? 1
                                 : chem == 6 && input == 2 ? 4
                                 : chem == 6 && input == 1 ? 6
                                                           : 0;
            EXPECT_EQ(e.CqLimitOffset(), expected) << chem << " " << input;
        }
}

// One sample of efficiency eff at Cq ct, flags read after the means.
struct Flags {
    bool eff;
    bool n0;
    bool excluded;
};
Flags flagsfor(int chem, int input, double eff, double ct, int errcol = 1, int biascol = 1) {
    TEngine e;
    e.setarraylengths(40, 1);
    e.FillCqLimitTables();
    e.chemistry = chem;
    e.inputtype = input;
    e.cqcorrneeded = chem == 3 || chem == 5 || chem == 6;
    e.options.AcceptErrorEffRG = errcol;
    e.options.AcceptBiasN0RG = biascol;
    e.ampgroup[1] = 1;
    e.indiveff[1] = eff;
    e.ct[1] = ct;
    e.calc_mean_ButtonClick();
    return {e.cttoloweff[1] != 0, e.cttolown0[1] != 0, e.exclmeaneff[1] != 0};
}

TEST(CqTooLowRules, DnaZymeOnCdnaAddsSixCycles) {
    // Efficiency 1.85 is row 9: 13 cycles for an error of 0.001, 12 for a 1 % bias.
    EXPECT_TRUE(flagsfor(6, 1, 1.85, 18.99).eff);
    EXPECT_FALSE(flagsfor(6, 1, 1.85, 19.0).eff);
    EXPECT_TRUE(flagsfor(6, 1, 1.85, 17.99).n0);
    EXPECT_FALSE(flagsfor(6, 1, 1.85, 18.0).n0);
    EXPECT_TRUE(flagsfor(6, 1, 1.85, 18.5).excluded);
}

TEST(CqTooLowRules, LimitsFollowTheAcceptedErrorAndChemistry) {
    // Row 10 (E >= 1.9): 9 / 13 for the efficiency, 9 / 12 for N0.
    EXPECT_TRUE(flagsfor(3, 1, 1.95, 12.9).eff);
    EXPECT_FALSE(flagsfor(3, 1, 1.95, 12.9, 0).eff);
    EXPECT_TRUE(flagsfor(3, 1, 1.95, 8.9, 0).eff);
    EXPECT_TRUE(flagsfor(3, 1, 1.95, 11.9).n0);
    EXPECT_FALSE(flagsfor(3, 1, 1.95, 11.9, 1, 0).n0);
    // Reverse primer: 1 cycle more on ds-DNA only.
    EXPECT_TRUE(flagsfor(5, 2, 1.95, 13.5).eff);
    EXPECT_FALSE(flagsfor(5, 1, 1.95, 13.5).eff);
    // DNA-zyme on ds-DNA: 4 more. Row 2 (E 1.15): 32 + 4, 38 + 4.
    EXPECT_TRUE(flagsfor(6, 2, 1.15, 35.9).eff);
    EXPECT_FALSE(flagsfor(6, 2, 1.15, 36.0).eff);
    EXPECT_TRUE(flagsfor(6, 2, 1.15, 41.9).n0);
    EXPECT_FALSE(flagsfor(6, 2, 1.15, 42.0).n0);
    // Chemistries without a Cq correction never flag.
    for (int chem : {1, 2, 4, 7})
        for (int input : {1, 2}) {
            const Flags f = flagsfor(chem, input, 1.95, 2.0);
            EXPECT_FALSE(f.eff || f.n0) << chem;
        }
}

TEST(CqTooLowRules, ZeroCqNeverFlagsAndExclusionCanBeOff) {
    const Flags f = flagsfor(6, 1, 1.85, 0.0);
    EXPECT_FALSE(f.eff || f.n0);
    TEngine e;
    e.setarraylengths(40, 1);
    e.FillCqLimitTables();
    e.chemistry = 3;
    e.cqcorrneeded = true;
    e.options.ExcludeTooLowCqCB = false;
    e.ampgroup[1] = 1;
    e.indiveff[1] = 1.9;
    e.ct[1] = 5;
    e.calc_mean_ButtonClick();
    EXPECT_TRUE(e.cttoloweff[1]);
    EXPECT_FALSE(e.exclmeaneff[1]);
    EXPECT_EQ(std::count(e.ShowSetCBItems.begin(), e.ShowSetCBItems.end(), "Cq too low"), 1);
    e.calc_mean_ButtonClick();
    EXPECT_EQ(std::count(e.ShowSetCBItems.begin(), e.ShowSetCBItems.end(), "Cq too low"), 1);
}

}  // namespace
}  // namespace qurvex
