// SPDX-License-Identifier: GPL-3.0-or-later
// Between the window's table widgets and cell texts: a table's texts for a
// spreadsheet export, and an engine table shown in a table widget.
#pragma once

#include <QString>

#include "engine/DiagnosticGrid.h"
#include "spreadsheet/GridExport.h"

class QTableWidget;

namespace qurvex {

// Every cell's text, [row][column], the title rows included.
TTextGrid GridTexts(const QTableWidget& grid);

// A typed cell as the window shows it: whole numbers as they are, real
// numbers with up to 10 significant digits and the process's decimal
// separator (so that the grid export reads them back as numbers).
QString CellText(const TGridCell& cell);

// Empties `grid` and shows `table` in it, sized to the table.
void ShowDiagnosticGrid(QTableWidget& grid, const TDiagnosticGrid& table);

}  // namespace qurvex
