// SPDX-License-Identifier: GPL-3.0-or-later
// Column letters and the strict reading of numbers typed or found as text.
#include <gtest/gtest.h>

#include "spreadsheet/ColumnLetters.h"
#include "spreadsheet/StrictNumber.h"

using namespace qurvex;

TEST(ColumnLetters, bijectiveBase26BothWays) {
    const std::pair<int, const char*> pairs[] = {
        {1, "A"}, {26, "Z"}, {27, "AA"}, {52, "AZ"}, {702, "ZZ"}, {703, "AAA"}, {16384, "XFD"}};
    for (auto [n, letters] : pairs) {
        EXPECT_EQ(ColumnToLetters(n), QString::fromLatin1(letters)) << n;
        EXPECT_EQ(LettersToColumn(QString::fromLatin1(letters).toLower()), n) << letters;
    }
    EXPECT_EQ(ColumnToLetters(0), QStringLiteral("A"));
    EXPECT_EQ(ColumnToLetters(-5), QStringLiteral("A"));
    EXPECT_EQ(LettersToColumn(QString()), 0);
    EXPECT_EQ(LettersToColumn(QStringLiteral("A1")), -1);
    EXPECT_EQ(LettersToColumn(QStringLiteral("ZZZZZZZZ")), -1);  // beyond int
    for (int n : {25, 51, 53, 676, 18278, 18279})
        EXPECT_EQ(LettersToColumn(ColumnToLetters(n)), n) << n;
}

TEST(StrictNumber, wholeTextOnly) {
    const std::tuple<const char*, char, double> accepted[] = {
        {"12", '.', 12.0}, {" -1.5e3 ", '.', -1500.0}, {"1,25", ',', 1.25}, {".5", '.', 0.5}};
    for (auto [text, sep, value] : accepted)
        EXPECT_EQ(StrictNumber(QString::fromLatin1(text), QLatin1Char(sep)), value) << text;
    const std::pair<const char*, char> refused[] = {
        {"12 liver", '.'}, {"1.25", ','} /* wrong separator */,
        {"1,000.5", '.'},  {"", '.'},
        {".", '.'},        {"nan", '.'},
        {"1e999", '.'}};
    for (auto [text, sep] : refused)
        EXPECT_FALSE(StrictNumber(QString::fromLatin1(text), QLatin1Char(sep))) << text;
}

TEST(StrictNumber, integers) {
    EXPECT_EQ(StrictInteger(QStringLiteral("384")), 384);
    EXPECT_EQ(StrictInteger(QStringLiteral("-2147483648")), -2147483648LL);
    for (const char* text : {"2147483648", "12a", "1.0", ""})
        EXPECT_FALSE(StrictInteger(QString::fromLatin1(text))) << text;
}
