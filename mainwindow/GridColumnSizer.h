// SPDX-License-Identifier: GPL-3.0-or-later
// Keeps the columns of a table widget as wide as their widest text, the
// header's included, while the user can still drag a column border.
#pragma once

#include <QObject>
#include <QTimer>

class QTableWidget;

namespace qurvex {

class TGridColumnSizer : public QObject {
    Q_OBJECT
public:
    // Shows `grid`'s column header with borders the user can drag, and from
    // now on sizes its columns after every change of its cells: once, at the
    // next turn of the event loop, or when the grid is next shown if it is
    // hidden then. A width the user dragged holds until the next change.
    static void Attach(QTableWidget* grid);

    // Sizes every column of `grid` now to its widest text (cells and header)
    // plus the margins the cells draw; an empty column gets its header's width
    // (at least the header's minimum section size).
    static void SizeColumns(QTableWidget& grid);

    // The width a column needs to show `textWidth` pixels of text unelided.
    static int ColumnWidthFor(const QTableWidget& grid, int textWidth);

private:
    explicit TGridColumnSizer(QTableWidget* grid);
    bool eventFilter(QObject* watched, QEvent* event) override;
    void Changed();
    void SizeIfShown();

    QTableWidget* grid_;
    QTimer timer_;
    bool pending_ = false;
};

}  // namespace qurvex
