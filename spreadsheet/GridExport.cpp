// SPDX-License-Identifier: GPL-3.0-or-later
#include "spreadsheet/GridExport.h"

#include <QLocale>
#include <algorithm>

#include "spreadsheet/Excelcom.h"
#include "spreadsheet/StrictNumber.h"

namespace qurvex {

namespace {

QChar processseparator() {
    const QString point = QLocale().decimalPoint();
    return point.isEmpty() ? QLatin1Char('.') : point.front();
}

int widthof(const TTextGrid& grid) {
    int cols = 0;
    for (const auto& row : grid) cols = std::max(cols, static_cast<int>(row.size()));
    return cols;
}

// The grid as values, padded to a rectangle of `rows` x `cols` with empty cells.
TCellBlock toblock(const TTextGrid& grid, int rows, int cols, QChar separator) {
    TCellBlock block(static_cast<std::size_t>(rows),
                     std::vector<TCellValue>(static_cast<std::size_t>(cols)));
    for (std::size_t r = 0; r < grid.size(); ++r)
        for (qsizetype c = 0; c < grid[r].size(); ++c)
            block[r][static_cast<std::size_t>(c)] = CellToVariant(grid[r][c], separator);
    return block;
}

// Ends the connection on every way out of a block write.
class DetachGuard {
public:
    explicit DetachGuard(TExcelcom& excel) : excel_(excel) {}
    ~DetachGuard() { excel_.DetachExcel(); }
    DetachGuard(const DetachGuard&) = delete;
    DetachGuard& operator=(const DetachGuard&) = delete;

private:
    TExcelcom& excel_;
};

}  // namespace

TCellValue CellToVariant(const QString& text, QChar decimalSeparator) {
    if (const auto i = StrictInteger(text)) return TCellValue::Number(*i);
    if (const auto d = StrictNumber(text, decimalSeparator)) return TCellValue::Number(*d);
    return TCellValue::Text(text);
}

TCellValue CellToVariant(const QString& text) { return CellToVariant(text, processseparator()); }

QString exportstringgrid(TExcelcom& excel, const TTextGrid& grid, QChar decimalSeparator) {
    const QChar separator = decimalSeparator.isNull() ? processseparator() : decimalSeparator;
    // One more row and column than the grid, as the block has always been.
    const int rows = static_cast<int>(grid.size()) + 1;
    const int cols = widthof(grid) + 1;
    const TCellBlock block = toblock(grid, rows, cols, separator);
    const QString name = excel.AddSheet(QString());
    excel.AttachExcel();
    DetachGuard detach(excel);
    excel.WriteArrayToRange(1, cols, 1, rows, block);
    return name;
}

QString FreeSheetName(const QString& wanted, const QStringList& existing) {
    auto taken = [&](const QString& name) { return existing.contains(name, Qt::CaseInsensitive); };
    if (!taken(wanted)) return wanted;
    const QString stem = wanted.left(21) + QLatin1Char('_');
    for (int n = 1;; ++n)
        if (const QString name = stem + QString::number(n); !taken(name)) return name;
}

TWorkshopExport exportworkshopgrid(TExcelcom& excel, const TTextGrid& grid, const QString& wanted,
                                   QChar decimalSeparator) {
    const QChar separator = decimalSeparator.isNull() ? processseparator() : decimalSeparator;
    TWorkshopExport result;
    int selected = -1;
    excel.ListSheets(result.sheets, selected);
    result.sheetname = excel.AddSheet(FreeSheetName(wanted, result.sheets));
    const int rows = std::max(static_cast<int>(grid.size()), 1);
    const int cols = std::max(widthof(grid), 1);
    const TCellBlock block = toblock(grid, rows, cols, separator);
    excel.AttachExcel();
    DetachGuard detach(excel);
    excel.WriteValueToRange(1, cols, 1, rows, block);
    return result;
}

}  // namespace qurvex
