// SPDX-License-Identifier: GPL-3.0-or-later
// The Cq-too-low limits by efficiency, accepted error, chemistry and input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/Engine.h"

namespace qurvex {
namespace {

TEST(CqTooLowTables, FilledAtStartUpRowsAndOffsets) {
    const TEngine e;
    EXPECT_EQ(e.mincteff[0][0], 28);
    EXPECT_EQ(e.mincteff[2][1], 32);
    EXPECT_EQ(e.mincteff[10][1], 13);
    EXPECT_EQ(e.minctn0[2][1], 38);
    EXPECT_EQ(e.minctn0[9][0], 9);
    EXPECT_EQ(e.minctn0[10][1], 12);
    const struct {
        double eff;
        int row;
    } rows[] = {{0.5, 0},  {0.95, 0}, {1.0, 1},
                {1.45, 5}, {1.85, 9}, {1.9, 10},
                {2.0, 10}, {3.0, 10}, {std::numeric_limits<double>::quiet_NaN(), 0}};
    for (const auto& r : rows) EXPECT_EQ(TEngine::CqLimitRow(r.eff), r.row) << r.eff;
    TEngine o;
    for (int chem = 1; chem <= 7; ++chem)
        for (int input = 1; input <= 2; ++input) {
            o.chemistry = chem;
            o.inputtype = input;
            const int expected = chem == 5 && input == 2   ? 1
                                 : chem == 6 && input == 2 ? 4
                                 : chem == 6 && input == 1 ? 6
                                                           : 0;
            EXPECT_EQ(o.CqLimitOffset(), expected) << chem << " " << input;
        }
}

// One sample of efficiency eff at Cq ct; its flags after the means.
struct Flags {
    bool eff, n0, excluded;
    long items;  // "Cq too low" entries in the subset list
};
Flags flagsfor(int chem, int input, double eff, double ct, int errcol = 1, int biascol = 1,
               bool exclude = true) {
    TEngine e;
    e.setarraylengths(40, 1);
    e.FillCqLimitTables();
    e.chemistry = chem;
    e.inputtype = input;
    e.cqcorrneeded = chem == 3 || chem == 5 || chem == 6;
    e.options.AcceptErrorEffRG = errcol;
    e.options.AcceptBiasN0RG = biascol;
    e.options.ExcludeTooLowCqCB = exclude;
    e.ampgroup[1] = 1;
    e.indiveff[1] = eff;
    e.ct[1] = ct;
    e.calc_mean_ButtonClick();
    e.calc_mean_ButtonClick();
    return {
        e.cttoloweff[1] != 0, e.cttolown0[1] != 0, e.exclmeaneff[1] != 0,
        std::count(e.ShowSetCBItems.begin(), e.ShowSetCBItems.end(), TRunState::TSubset::cqtoolow)};
}

TEST(CqTooLowRules, LimitsFollowTheAcceptedErrorChemistryAndInput) {
    const struct {
        int chem, input;
        double eff, ct;
        int errcol, biascol;
        bool effflag, n0flag;
    } cases[] = {
        // DNA-zyme on cDNA: 6 more. Row 9 (E 1.85): 13 cycles for an error of
        // 0.001, 12 for a 1 % bias.
        {6, 1, 1.85, 18.99, 1, 1, true, false},
        {6, 1, 1.85, 19.0, 1, 1, false, false},
        {6, 1, 1.85, 17.99, 1, 1, true, true},
        {6, 1, 1.85, 18.0, 1, 1, true, false},
        // Row 10 (E >= 1.9): 9 / 13 for the efficiency, 9 / 12 for N0.
        {3, 1, 1.95, 12.9, 1, 1, true, false},
        {3, 1, 1.95, 12.9, 0, 1, false, false},
        {3, 1, 1.95, 8.9, 0, 1, true, true},
        {3, 1, 1.95, 11.9, 1, 1, true, true},
        {3, 1, 1.95, 11.9, 1, 0, true, false},
        // Reverse primer: 1 cycle more on ds-DNA only.
        {5, 2, 1.95, 13.5, 1, 1, true, false},
        {5, 1, 1.95, 13.5, 1, 1, false, false},
        // DNA-zyme on ds-DNA: 4 more. Row 2 (E 1.15): 32 + 4, 38 + 4.
        {6, 2, 1.15, 35.9, 1, 1, true, true},
        {6, 2, 1.15, 36.0, 1, 1, false, true},
        {6, 2, 1.15, 41.9, 1, 1, false, true},
        {6, 2, 1.15, 42.0, 1, 1, false, false},
        {6, 1, 1.85, 0.0, 1, 1, false, false},  // Cq 0 never flags
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "chemistry " << c.chem << " input " << c.input << " E " << c.eff << " Cq "
                     << c.ct << " columns " << c.errcol << c.biascol);
        const Flags f = flagsfor(c.chem, c.input, c.eff, c.ct, c.errcol, c.biascol);
        EXPECT_EQ(f.eff, c.effflag);
        EXPECT_EQ(f.n0, c.n0flag);
        EXPECT_EQ(f.excluded, c.effflag);
    }
    // Chemistries without a Cq correction never flag.
    for (int chem : {1, 2, 4, 7})
        for (int input : {1, 2}) {
            const Flags f = flagsfor(chem, input, 1.95, 2.0);
            EXPECT_FALSE(f.eff || f.n0) << chem;
        }
    const Flags kept = flagsfor(3, 1, 1.9, 5, 1, 1, false);  // exclusion switched off
    EXPECT_TRUE(kept.eff);
    EXPECT_FALSE(kept.excluded);
    EXPECT_EQ(kept.items, 1);  // added once over two runs of the means
}

}  // namespace
}  // namespace qurvex
