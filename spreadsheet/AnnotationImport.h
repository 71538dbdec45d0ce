// SPDX-License-Identifier: GPL-3.0-or-later
// Per-sample information read from a worksheet the lab keeps: sample
// annotations under a header row, amplicon names, and exclusion codes. Only
// the rules live here (which range, which text, which cell matches); the
// window reads the block through TExcelcom.
#pragma once

#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "spreadsheet/CellBlock.h"

namespace qurvex {

// A range as the user typed it: column letters and 1-based rows.
struct TAnnotationRange {
    int firstCol = 0;
    int lastCol = 0;
    int firstRow = 0;
    int lastRow = 0;
    int columns() const { return lastCol - firstCol + 1; }
    int rows() const { return lastRow - firstRow + 1; }
};

// The range of the four edits, or the message that refuses it: a column
// that is not letters, a row that is not a positive whole number, a stop
// column before the start column or a stop row before the start row.
std::optional<TAnnotationRange> AnnotationRange(const QString& firstCol, const QString& lastCol,
                                                const QString& firstRow, const QString& lastRow,
                                                QString& refusal);

// The text of a cell as the annotation tables hold it: a number in its
// shortest form ("2", "2.5"), a text as it stands, an empty cell "".
QString AnnotationCellText(const TCellValue& cell);

// The block as texts, [column][row] from 0, `columns` x `rows` (cells the
// block lacks are empty texts).
std::vector<std::vector<std::string>> AnnotationColumns(const TCellBlock& block, int columns,
                                                        int rows);

// Whether an exclusion cell holds the code: a numeric cell matches a code
// that is the same number (the code read as a dialog field, FieldNumber in the
// process's notation: "0,5" and "0.5" under a decimal point, "S1" or "0 x"
// never); a text cell matches a code of exactly the same text; an empty (or
// error) cell never matches.
bool ExclusionMatches(const TCellValue& cell, const QString& code);

}  // namespace qurvex
