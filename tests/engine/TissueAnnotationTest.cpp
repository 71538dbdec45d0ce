// SPDX-License-Identifier: GPL-3.0-or-later
// Sample annotations: the numbered combinations, the distinct annotations,
// user exclusions and the ordinal suffix of a part number.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/Engine.h"
#include "engine/TissueAnnotation.h"
#include "tests/engine/support/SyntheticRun.h"

namespace qurvex {
namespace {

// A tissue table of sample names and the given annotation columns.
TCellColumns table(const std::vector<std::vector<std::string>>& rows) {
    TCellColumns t(rows.front().size() + 1);
    t[0].push_back("sample name");
    for (std::size_t c = 0; c < rows.front().size(); ++c)
        t[c + 1].push_back("h" + std::to_string(c));
    for (std::size_t r = 0; r < rows.size(); ++r) {
        t[0].push_back("s" + std::to_string(r + 1));
        for (std::size_t c = 0; c < rows[r].size(); ++c) t[c + 1].push_back(rows[r][c]);
    }
    return t;
}

std::vector<std::string> ids(const TCellColumns& t) {
    return {t.back().begin() + 1, t.back().end()};
}

TEST(TissueAnnotation, combinations_numberedInOrderOfFirstAppearance) {
    const struct {
        std::vector<std::vector<std::string>> rows;
        std::vector<std::string> ids;
    } cases[] = {
        {{{"p", "x"}, {"p", "y"}, {"p", "x"}}, {"1", "2", "1"}},
        // Joined these would be one text; as combinations they differ.
        {{{"ab", "c"}, {"a", "bc"}}, {"1", "2"}},
        {{{"Liver"}, {"liver"}, {"Heart"}}, {"1", "1", "2"}},
        // A value equal to the header is no match for the header row.
        {{{"h0"}, {"ID"}, {""}}, {"1", "2", "3"}},
    };
    for (const auto& c : cases) {
        TCellColumns t = table(c.rows), u;
        UniqueAnnotations(t, u);
        EXPECT_EQ(t.back()[0], "ID");
        EXPECT_EQ(ids(t), c.ids);
        ASSERT_EQ(u.size(), t.size() - 1);
        EXPECT_EQ(u[0][0], "ID");
        EXPECT_EQ(u[1][0], "h0");
        // The unique table holds each combination once, numbered 1..m.
        const std::size_t m = u[0].size() - 1;
        for (std::size_t r = 1; r <= m; ++r) EXPECT_EQ(u[0][r], std::to_string(r));
        EXPECT_EQ(std::to_string(m), *std::max_element(c.ids.begin(), c.ids.end()));
    }
    // The numbering again reuses the "ID" column.
    TCellColumns t = table({{"p", "x"}, {"q", "x"}}), u;
    UniqueAnnotations(t, u);
    UniqueAnnotations(t, u);
    EXPECT_EQ(t.size(), 4u);
    EXPECT_EQ(u[1][2], "q");
    EXPECT_EQ(u[2][2], "x");
}

TEST(TissueAnnotation, runAnnotations_distinctWithoutCaseAndRefusedWhenTheCountDiffers) {
    TEngine e;
    testing::loadSyntheticRun(e, testing::makePlate(3, 1, 0.0, 1));
    e.ProcessDataAfterRead();
    const auto before = e.tissue;
    EXPECT_FALSE(e.settissues({"a", "b"}));
    EXPECT_FALSE(e.tissuesdefined);
    EXPECT_EQ(e.tissue, before);
    EXPECT_TRUE(e.settissues({"Liver", "liver", "Heart"}));
    EXPECT_TRUE(e.tissuesdefined);
    EXPECT_EQ(e.ntissues, 2);
    EXPECT_EQ(e.uniquetissues, (std::vector<std::string>{"", "Liver", "Heart"}));
}

TEST(TissueAnnotation, exclusions_addFlagsAndKeepEarlierOnes) {
    TEngine e;
    testing::loadSyntheticRun(e, testing::makePlate(4, 1, 0.0, 1));
    e.ProcessDataAfterRead();
    e.userexcluded[2] = 1;
    int count = -1;
    EXPECT_FALSE(e.adduserexclusions({true, false}, count));
    EXPECT_EQ(e.userexcluded[1], 0);
    EXPECT_TRUE(e.adduserexclusions({true, false, false, true}, count));
    EXPECT_EQ(count, 2);
    EXPECT_TRUE(e.userexcluded[1] && e.userexcluded[2] && e.userexcluded[4]);
    EXPECT_TRUE(e.skipped[1] && e.skipped[4]);
    EXPECT_FALSE(e.userexcluded[3]);
}

TEST(TissueAnnotation, ordinalSuffix) {
    const std::pair<int, const char*> cases[] = {{1, "st"},  {2, "nd"},  {3, "rd"},   {4, "th"},
                                                 {11, "th"}, {12, "th"}, {13, "th"},  {21, "st"},
                                                 {22, "nd"}, {23, "rd"}, {111, "th"}, {0, "th"}};
    for (const auto& [n, suffix] : cases) EXPECT_EQ(TEngine::ordinalsuffix(n), suffix) << n;
}

}  // namespace
}  // namespace qurvex
