// SPDX-License-Identifier: GPL-3.0-or-later
// Column letters and the strict reading of numbers typed or found as text.
#include "spreadsheet/ColumnLetters.h"
#include "spreadsheet/StrictNumber.h"

#include <gtest/gtest.h>

using namespace qurvex;

TEST(ColumnLetters, ColumnToLetters_bijectiveBase26) {
  EXPECT_EQ(ColumnToLetters(0), QStringLiteral("A"));
  EXPECT_EQ(ColumnToLetters(-5), QStringLiteral("A"));
  EXPECT_EQ(ColumnToLetters(1), QStringLiteral("A"));
  EXPECT_EQ(ColumnToLetters(26), QStringLiteral("Z"));
  EXPECT_EQ(ColumnToLetters(27), QStringLiteral("AA"));
  EXPECT_EQ(ColumnToLetters(52), QStringLiteral("AZ"));
  EXPECT_EQ(ColumnToLetters(702), QStringLiteral("ZZ"));
  EXPECT_EQ(ColumnToLetters(703), QStringLiteral("AAA"));
  EXPECT_EQ(ColumnToLetters(16384), QStringLiteral("XFD"));
}

TEST(ColumnLetters, LettersToColumn_inverseAndRefusals) {
  EXPECT_EQ(LettersToColumn(QStringLiteral("ab")), 28);
  EXPECT_EQ(LettersToColumn(QStringLiteral("AC")), 29);
  EXPECT_EQ(LettersToColumn(QString()), 0);
  EXPECT_EQ(LettersToColumn(QStringLiteral("A1")), -1);
  EXPECT_EQ(LettersToColumn(QStringLiteral("ZZZZZZZZ")), -1);  // beyond int
  for (int n : {1, 25, 26, 27, 51, 52, 53, 676, 702, 703, 18278, 18279})
    EXPECT_EQ(LettersToColumn(ColumnToLetters(n)), n) << n;
}

TEST(StrictNumber, wholeTextOnly) {
  EXPECT_EQ(StrictNumber(QStringLiteral("12"), QLatin1Char('.')), 12.0);
  EXPECT_EQ(StrictNumber(QStringLiteral(" -1.5e3 "), QLatin1Char('.')), -1500.0);
  EXPECT_EQ(StrictNumber(QStringLiteral("1,25"), QLatin1Char(',')), 1.25);
  EXPECT_EQ(StrictNumber(QStringLiteral(".5"), QLatin1Char('.')), 0.5);
  EXPECT_FALSE(StrictNumber(QStringLiteral("12 liver"), QLatin1Char('.')));
  EXPECT_FALSE(StrictNumber(QStringLiteral("1.25"), QLatin1Char(',')));  // wrong separator
  EXPECT_FALSE(StrictNumber(QStringLiteral("1,000.5"), QLatin1Char('.')));
  EXPECT_FALSE(StrictNumber(QString(), QLatin1Char('.')));
  EXPECT_FALSE(StrictNumber(QStringLiteral("."), QLatin1Char('.')));
  EXPECT_FALSE(StrictNumber(QStringLiteral("nan"), QLatin1Char('.')));
  EXPECT_FALSE(StrictNumber(QStringLiteral("1e999"), QLatin1Char('.')));
}

TEST(StrictNumber, integers) {
  EXPECT_EQ(StrictInteger(QStringLiteral("384")), 384);
  EXPECT_EQ(StrictInteger(QStringLiteral("-2147483648")), -2147483648LL);
  EXPECT_FALSE(StrictInteger(QStringLiteral("2147483648")));
  EXPECT_FALSE(StrictInteger(QStringLiteral("12a")));
  EXPECT_FALSE(StrictInteger(QStringLiteral("1.0")));
  EXPECT_FALSE(StrictInteger(QString()));
}
