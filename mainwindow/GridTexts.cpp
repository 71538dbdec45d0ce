// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/GridTexts.h"

#include <QLocale>
#include <QTableWidget>

namespace qurvex {

TTextGrid GridTexts(const QTableWidget& grid) {
    TTextGrid texts(static_cast<std::size_t>(grid.rowCount()));
    for (int r = 0; r < grid.rowCount(); ++r)
        for (int c = 0; c < grid.columnCount(); ++c) {
            const QTableWidgetItem* item = grid.item(r, c);
            texts[static_cast<std::size_t>(r)].append(item ? item->text() : QString());
        }
    return texts;
}

QString CellText(const TGridCell& cell) {
    if (const auto* i = std::get_if<long long>(&cell)) return QString::number(*i);
    if (const auto* d = std::get_if<double>(&cell)) {
        QString text = QString::number(*d, 'g', 10);
        return text.replace(QLatin1Char('.'), QLocale().decimalPoint());
    }
    if (const auto* s = std::get_if<std::string>(&cell)) return QString::fromStdString(*s);
    return {};
}

void ShowDiagnosticGrid(QTableWidget& grid, const TDiagnosticGrid& table) {
    grid.clearContents();
    grid.setColumnCount(table.ColCount());
    grid.setRowCount(table.RowCount());
    for (int r = 0; r < table.RowCount(); ++r)
        for (int c = 0; c < table.ColCount(); ++c)
            if (!std::holds_alternative<std::monostate>(table.at(c, r)))
                grid.setItem(r, c, new QTableWidgetItem(CellText(table.at(c, r))));
}

}  // namespace qurvex
