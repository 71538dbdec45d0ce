// SPDX-License-Identifier: GPL-3.0-or-later
// Copying a table the window shows into a new sheet of the active Calc
// document, cell for cell and in one block: numbers arrive as numbers, every
// other text as text.
#pragma once

#include <QChar>
#include <QString>
#include <QStringList>
#include <vector>

#include "spreadsheet/CellBlock.h"

namespace qurvex {

class TExcelcom;

// The cell texts of a grid, [row][column] from 0, headings included. Rows
// may differ in length; the grid is as wide as its longest row.
using TTextGrid = std::vector<QStringList>;

// The value a cell text stands for. A grid's texts are Qurvex's own, its
// numbers written in one notation, `decimalSeparator`'s: the whole text
// (blanks around it ignored) must be a decimal integer, or a number written
// with `decimalSeparator` (optional sign and exponent): then a number;
// anything else, the empty text included, stays the text itself ("12 liver",
// "S1", "1S5", "0x1F", "1e", "1,234.5", "12.5" under a decimal comma, "1,5"
// under a decimal point). Never fails.
TCellValue CellToVariant(const QString& text, QChar decimalSeparator);
// The same with the decimal separator in force for the process
// (QLocale().decimalPoint()).
TCellValue CellToVariant(const QString& text);

// Adds a sheet with Calc's default name before the active sheet and writes
// the grid into it from A1, with the number format 0.000 (three decimals
// shown, integers included), over the grid's columns and rows and one more of
// each, as one block. Returns the new sheet's name. Calc's failures (none
// running, no document open) come as EExcelError; the connection is closed
// on every way out.
QString exportstringgrid(TExcelcom& excel, const TTextGrid& grid, QChar decimalSeparator = QChar());

// `wanted` when no sheet of `existing` has that name (compared without
// regard to case); else the first 21 characters of `wanted` + "_" + n for the
// first n = 1, 2, ... that is free.
QString FreeSheetName(const QString& wanted, const QStringList& existing);

// What the workshop export did: the sheets of the active document before it
// (for the sheet list) and the name it wrote to.
struct TWorkshopExport {
    QStringList sheets;
    QString sheetname;
};

// The workshop table into a new sheet named FreeSheetName(wanted, the
// document's sheets), added before the active sheet, from A1 as one block of
// values (no number format: slopes and N0 keep their digits). Failures as
// for exportstringgrid; an invalid sheet name is refused by Calc.
TWorkshopExport exportworkshopgrid(TExcelcom& excel, const TTextGrid& grid, const QString& wanted,
                                   QChar decimalSeparator = QChar());

}  // namespace qurvex
