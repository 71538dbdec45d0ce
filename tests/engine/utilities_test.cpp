// SPDX-License-Identifier: GPL-3.0-or-later
// Run-state sizing and the small text utilities.
#include <gtest/gtest.h>

#include "engine/Engine.h"

namespace qurvex {
namespace {

TEST(Utilities, CleanidentTrimsAndReplaces) {
  EXPECT_EQ(cleanident("  my sample-1 \t"), "my_sample_1");
  EXPECT_EQ(cleanident(""), "");
  EXPECT_EQ(cleanident("   "), "");
  EXPECT_EQ(cleanident("A.b/c"), "A_b_c");
  EXPECT_EQ(cleanident("Zz09"), "Zz09");
}

TEST(Utilities, ColnumberOfLetters) {
  EXPECT_EQ(colnumber("a"), 1);
  EXPECT_EQ(colnumber("Z"), 26);
  EXPECT_EQ(colnumber("AA"), 27);
  EXPECT_EQ(colnumber("AZ"), 52);
  EXPECT_EQ(colnumber("ZZ"), 702);
  EXPECT_EQ(colnumber("xfd"), 16384);
  EXPECT_EQ(colnumber(""), 0);
}

TEST(Utilities, RoundedtextAsAnEditShowsIt) {
  EXPECT_EQ(roundedtext(2.5, 3), "2.5");
  EXPECT_EQ(roundedtext(1.23456, 3), "1.235");
  EXPECT_EQ(roundedtext(-0.0004, 3), "0");
  EXPECT_EQ(roundedtext(3.0, 3), "3");
  EXPECT_EQ(roundedtext(-1.25, 3), "-1.25");
}

TEST(RunState, SetarraylengthsSizesAndKeeps) {
  TEngine e;
  e.setarraylengths(40, 96);
  EXPECT_EQ(e.ncycles, 40);
  EXPECT_EQ(e.nsamples, 96);
  ASSERT_EQ(e.fluor.size(), 97u);
  for (const auto& row : e.fluor) EXPECT_EQ(row.size(), 41u);
  EXPECT_EQ(e.rawcyc.size(), 97u);
  EXPECT_EQ(e.rawcyc[96].size(), 41u);
  EXPECT_EQ(e.sampname.size(), 97u);
  EXPECT_EQ(e.tissue.size(), 97u);
  EXPECT_EQ(e.emptywol.size(), 97u);
  EXPECT_EQ(e.ftval.size(), 97u);
  EXPECT_EQ(e.headercyc.size(), 41u);
  EXPECT_TRUE(e.meaneff.empty());

  e.sampname[3] = "kept";
  e.fluor[3][5] = 7.0;
  e.bgerror[3] = 1;
  e.setarraylengths(50, 10);
  EXPECT_EQ(e.sampname[3], "kept");
  EXPECT_EQ(e.fluor[3][5], 7.0);
  EXPECT_TRUE(e.bgerror[3]);
  EXPECT_EQ(e.fluor[3].size(), 51u);
  EXPECT_EQ(e.fluor[3][50], 0.0);
  EXPECT_EQ(e.uplim.size(), 11u);

  e.setarraylengths(-1, -5);
  EXPECT_EQ(e.nsamples, 0);
  EXPECT_EQ(e.sampname.size(), 1u);
}

TEST(RunState, HeaderindexAndGroupOfSample) {
  TEngine e;
  e.setarraylengths(4, 2);
  e.headercyc = {0, 1, 2, 2, 4};
  EXPECT_EQ(e.headerindex(1), 1);
  EXPECT_EQ(e.headerindex(2), 3);  // the last matching column
  EXPECT_EQ(e.headerindex(3), -1);
  e.ShowGroupCBItems = {"All", "GAPDH", "ACTB"};
  e.ampname[1] = "ACTB";
  e.ampname[2] = "other";
  EXPECT_EQ(e.groupofsample(1), 2);
  EXPECT_EQ(e.groupofsample(2), -1);
  EXPECT_EQ(e.groupofsample(3), -1);
}

}  // namespace
}  // namespace qurvex
