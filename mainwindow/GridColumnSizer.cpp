// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/GridColumnSizer.h"

#include <QEvent>
#include <QHeaderView>
#include <QStyle>
#include <QTableWidget>
#include <algorithm>
#include <vector>

#include "mainwindow/TextWidths.h"

namespace qurvex {

void TGridColumnSizer::Attach(QTableWidget* grid) {
    if (!grid || grid->findChild<TGridColumnSizer*>(QString(), Qt::FindDirectChildrenOnly)) return;
    new TGridColumnSizer(grid);
}

TGridColumnSizer::TGridColumnSizer(QTableWidget* grid) : QObject(grid), grid_(grid) {
    QHeaderView* header = grid->horizontalHeader();
    header->setVisible(true);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setHighlightSections(false);
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &TGridColumnSizer::SizeIfShown);
    QAbstractItemModel* model = grid->model();
    connect(model, &QAbstractItemModel::dataChanged, this, &TGridColumnSizer::Changed);
    connect(model, &QAbstractItemModel::modelReset, this, &TGridColumnSizer::Changed);
    connect(model, &QAbstractItemModel::rowsInserted, this, &TGridColumnSizer::Changed);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &TGridColumnSizer::Changed);
    connect(model, &QAbstractItemModel::columnsInserted, this, &TGridColumnSizer::Changed);
    grid->installEventFilter(this);
    pending_ = true;
    timer_.start(0);
}

void TGridColumnSizer::Changed() {
    pending_ = true;
    lastChange_.restart();
    if (!timer_.isActive()) timer_.start(kQuietMs);
}

void TGridColumnSizer::SizeIfShown() {
    if (!pending_ || !grid_->isVisible()) return;
    // A grid filled row by row during a long step is sized once, when it
    // has stopped changing.
    const qint64 quiet = lastChange_.isValid() ? lastChange_.elapsed() : kQuietMs;
    if (quiet < kQuietMs) {
        timer_.start(static_cast<int>(kQuietMs - quiet));
        return;
    }
    pending_ = false;
    SizeColumns(*grid_);
}

bool TGridColumnSizer::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grid_ && event->type() == QEvent::Show && pending_) timer_.start(0);
    return false;
}

int TGridColumnSizer::ColumnWidthFor(const QTableWidget& grid, int textWidth) {
    // A cell draws its text inside a margin on either side, and the grid
    // line takes a pixel of the column.
    const int margin = grid.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &grid) + 1;
    return textWidth + 2 * margin + (grid.showGrid() ? 1 : 0);
}

void TGridColumnSizer::SizeColumns(QTableWidget& grid) {
    const int columns = grid.columnCount();
    const int rows = grid.rowCount();
    const TTextWidths measure(grid.font());
    std::vector<int> widths(static_cast<std::size_t>(columns), 0);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            if (const QTableWidgetItem* item = grid.item(r, c)) {
                int& width = widths[static_cast<std::size_t>(c)];
                width = std::max(width, measure.Width(item->text()));
            }
    QHeaderView* header = grid.horizontalHeader();
    for (int c = 0; c < columns; ++c) {
        const int cells = widths[static_cast<std::size_t>(c)];
        const int content = cells > 0 ? ColumnWidthFor(grid, cells) : 0;
        const int title = header->isHidden() ? 0 : header->sectionSizeHint(c);
        header->resizeSection(c, std::max({content, title, header->minimumSectionSize()}));
    }
}

}  // namespace qurvex
