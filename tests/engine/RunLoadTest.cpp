// SPDX-License-Identifier: GPL-3.0-or-later
// Taking over a completed run: everything is copied, and a run whose sizes
// break the index conventions is refused without touching the run in memory.
#include <gtest/gtest.h>

#include "engine/Engine.h"
#include "engine/RunInput.h"

namespace qurvex {
namespace {

TRunInput tworows() {
    TRunInput in;
    in.size(3, 2);
    in.sampname = {"", "A1", "A2"};
    in.ampname = {"", "actb", ""};
    in.npoints = {0, 3, 2};
    for (int c = 1; c <= 3; ++c) {
        in.headercyc[c] = c;
        in.rawcyc[1][c] = in.rawcyc[2][c] = c;
        in.rawfluor[1][c] = 0.5 * c;
        in.rawfluor[2][c] = 2.0 * c;
    }
    in.baselinecorrected = true;
    in.chemistry = 3;
    return in;
}

TEST(RunLoad, CopiesTheRunAndItsProvenance) {
    TEngine e;
    ASSERT_TRUE(e.loadrun(tworows()));
    EXPECT_EQ(e.nsamples, 2);
    EXPECT_EQ(e.ncycles, 3);
    EXPECT_EQ(e.sampname[2], "A2");
    EXPECT_EQ(e.tissue[1], "undefined");
    EXPECT_EQ(e.npoints[2], 2);
    EXPECT_DOUBLE_EQ(e.rawfluor[2][3], 6.0);
    EXPECT_TRUE(e.baselinedone);
    EXPECT_EQ(e.chemistry, 3);
    EXPECT_EQ(e.fluor[1].size(), 4u);  // every matrix sized for the counts
}

TEST(RunLoad, RefusesSizesThatBreakTheConventions) {
    TEngine e;
    ASSERT_TRUE(e.loadrun(tworows()));
    auto shortrow = tworows();
    shortrow.rawfluor[2].pop_back();
    auto toomanypoints = tworows();
    toomanypoints.npoints[1] = 4;
    auto nonames = tworows();
    nonames.sampname.clear();
    for (const auto& bad : {shortrow, toomanypoints, nonames}) {
        EXPECT_FALSE(bad.sizeerror().empty());
        EXPECT_FALSE(e.loadrun(bad));
        EXPECT_EQ(e.sampname[1], "A1");  // the previous run stays
        EXPECT_EQ(e.npoints[1], 3);
    }
}

}  // namespace
}  // namespace qurvex
