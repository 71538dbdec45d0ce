// SPDX-License-Identifier: GPL-3.0-or-later
// The small text utilities and header lookup.
#include <gtest/gtest.h>

#include "engine/Engine.h"

namespace qurvex {
namespace {

TEST(Utilities, TextConversions) {
    const struct {
        const char* in;
        const char* want;
    } idents[] = {{"  my sample-1 \t", "my_sample_1"},
                  {"", ""},
                  {"   ", ""},
                  {"A.b/c", "A_b_c"},
                  {"Zz09", "Zz09"}};
    for (const auto& c : idents) EXPECT_EQ(cleanident(c.in), c.want) << c.in;
    const struct {
        const char* in;
        int want;
    } cols[] = {{"a", 1}, {"Z", 26}, {"AA", 27}, {"AZ", 52}, {"ZZ", 702}, {"xfd", 16384}, {"", 0}};
    for (const auto& c : cols) EXPECT_EQ(colnumber(c.in), c.want) << c.in;
    const struct {
        double v;
        const char* want;
    } rounded[] = {{2.5, "2.5"}, {1.23456, "1.235"}, {-0.0004, "0"}, {3.0, "3"}, {-1.25, "-1.25"}};
    for (const auto& c : rounded) EXPECT_EQ(roundedtext(c.v, 3), c.want) << c.v;
}

TEST(RunState, ResizingKeepsValuesAndHeaderindexFindsTheLastColumn) {
    TEngine e;
    e.setarraylengths(40, 96);
    e.sampname[3] = "kept";
    e.fluor[3][5] = 7.0;
    e.setarraylengths(50, 10);
    EXPECT_EQ(e.sampname[3], "kept");
    EXPECT_EQ(e.fluor[3][5], 7.0);
    EXPECT_EQ(e.fluor[3].size(), 51u);
    e.setarraylengths(-1, -5);
    EXPECT_EQ(e.nsamples, 0);
    EXPECT_EQ(e.sampname.size(), 1u);
    e.setarraylengths(4, 2);
    e.headercyc = {0, 1, 2, 2, 4};
    EXPECT_EQ(e.headerindex(1), 1);
    EXPECT_EQ(e.headerindex(2), 3);
    EXPECT_EQ(e.headerindex(3), -1);
}

}  // namespace
}  // namespace qurvex
