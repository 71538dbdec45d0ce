// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace qurvex {

// Spreadsheet column letters of a 1-based column number (bijective base 26):
// 1 -> "A", 26 -> "Z", 27 -> "AA", 702 -> "ZZ", 703 -> "AAA". Numbers below 1 give "A".
QString ColumnToLetters(int column);

// Column number of spreadsheet letters, the inverse of ColumnToLetters, case-insensitive:
// sum over the letters from the right of (letter - 'A' + 1) * 26^position.
// "" gives 0. Characters other than letters, or a result beyond the int range, give -1
// (the caller refuses the text) instead of a meaningless column.
int LettersToColumn(const QString& letters);

}  // namespace qurvex
