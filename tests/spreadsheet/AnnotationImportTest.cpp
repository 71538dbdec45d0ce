// SPDX-License-Identifier: GPL-3.0-or-later
// Worksheet rules for annotations, amplicon names and exclusions: the range
// the edits give, the text of a cell, and which exclusion cell matches a code.
#include <gtest/gtest.h>

#include "spreadsheet/AnnotationImport.h"

namespace qurvex {
namespace {

TEST(AnnotationImport, range_refusesReversedAndMalformedRanges) {
    const struct {
        const char *c1, *c2, *r1, *r2;
        bool accepted;
    } cases[] = {
        {"B", "C", "5", "29", true},  {"b", "b", "1", "1", true},   {"C", "B", "5", "29", false},
        {"B", "C", "29", "5", false}, {"", "C", "5", "29", false},  {"B1", "C", "5", "29", false},
        {"B", "C", "x", "29", false}, {"B", "C", "0", "29", false},
    };
    for (const auto& c : cases) {
        QString refusal;
        const auto r =
            AnnotationRange(QString::fromLatin1(c.c1), QString::fromLatin1(c.c2),
                            QString::fromLatin1(c.r1), QString::fromLatin1(c.r2), refusal);
        EXPECT_EQ(r.has_value(), c.accepted) << c.c1 << c.c2 << c.r1 << c.r2;
        EXPECT_EQ(refusal.isEmpty(), c.accepted);
    }
    QString refusal;
    const auto r = AnnotationRange(QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("5"),
                                   QStringLiteral("29"), refusal);
    EXPECT_EQ(r->columns(), 2);
    EXPECT_EQ(r->rows(), 25);
}

TEST(AnnotationImport, exclusionCode_numbersAsNumbersTextsExactlyEmptyNever) {
    using V = TCellValue;
    const struct {
        V cell;
        const char* code;
        bool match;
    } cases[] = {
        {V::Number(0), "0", true},
        {V::Number(1), "0", false},
        {V::Number(0), "0.0", true},
        {V::Number(2.5), "2.5", true},
        {V::Number(0), "x", false},
        {V::Text(QStringLiteral("x")), "x", true},
        {V::Text(QStringLiteral("X")), "x", false},
        {V::Text(QStringLiteral("0")), "0", true},
        {V::Text(QStringLiteral("0 ")), "0", false},
        {V::Empty(), "", false},
        {V::Empty(), "0", false},
        {V::Error(QStringLiteral("#N/A")), "#N/A", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExclusionMatches(c.cell, QString::fromLatin1(c.code)), c.match)
            << c.code << " " << c.cell.text.toStdString() << c.cell.number;
}

TEST(AnnotationImport, columns_cellTextsAndAOneCellBlock) {
    const TCellBlock block{{TCellValue::Text(QStringLiteral("tissue")), TCellValue::Number(2)},
                           {TCellValue::Number(2.5), TCellValue::Empty()}};
    const auto cells = AnnotationColumns(block, 2, 3);
    ASSERT_EQ(cells.size(), 2u);
    EXPECT_EQ(cells[0], (std::vector<std::string>{"tissue", "2.5", ""}));
    EXPECT_EQ(cells[1], (std::vector<std::string>{"2", "", ""}));
    const auto one = AnnotationColumns({{TCellValue::Text(QStringLiteral("liver"))}}, 1, 1);
    EXPECT_EQ(one, (std::vector<std::vector<std::string>>{{"liver"}}));
}

}  // namespace
}  // namespace qurvex
