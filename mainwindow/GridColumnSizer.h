// SPDX-License-Identifier: GPL-3.0-or-later
// Keeps the columns of a table widget as wide as their widest text, the
// header's included, while the user can still drag a column border.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QTableWidget;

namespace qurvex {

class TGridColumnSizer : public QObject {
    Q_OBJECT
public:
    // Quiet time after the last change of a grid's cells before it is sized.
    static constexpr int kQuietMs = 100;

    // Shows `grid`'s column header with borders the user can drag, and from
    // now on sizes its columns after every change of its cells: once the
    // cells have not changed for kQuietMs, or when the grid is next shown if
    // it is hidden then. A width the user dragged holds until the next change.
    static void Attach(QTableWidget* grid);

    // Sizes every column of `grid` now to its widest text (cells, in the
    // grid's font, and header) plus the margins the cells draw; an empty
    // column gets its header's width (at least the header's minimum section
    // size).
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
    QElapsedTimer lastChange_;
    bool pending_ = false;
};

}  // namespace qurvex
