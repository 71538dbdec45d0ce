// SPDX-License-Identifier: GPL-3.0-or-later
// A table of typed cells that an engine experiment fills for the window to
// show: each cell is empty, a whole number, a real number or a text. The
// window turns numbers into texts as it shows them; the engine never formats.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <variant>
#include <vector>

namespace qurvex {

using TGridCell = std::variant<std::monostate, long long, double, std::string>;

class TDiagnosticGrid {
public:
    TDiagnosticGrid() = default;
    // An empty table of `cols` columns and `rows` rows (negative counts as 0).
    TDiagnosticGrid(int cols, int rows) { resize(cols, rows); }

    int ColCount() const { return cols_; }
    int RowCount() const { return static_cast<int>(cells_.size()); }

    // Sets a cell, counted from 0; the table grows to hold it (never shrinks).
    // A negative column or row is ignored.
    void set(int col, int row, TGridCell value) {
        if (col < 0 || row < 0) return;
        resize(std::max(cols_, col + 1), std::max(RowCount(), row + 1));
        cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)] = std::move(value);
    }
    // A cell, counted from 0; an empty cell outside the table.
    const TGridCell& at(int col, int row) const {
        static const TGridCell empty;
        if (col < 0 || row < 0 || col >= cols_ || row >= RowCount()) return empty;
        return cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
    }
    // Adds an empty row at the end and returns its number.
    int appendrow() {
        resize(cols_, RowCount() + 1);
        return RowCount() - 1;
    }
    // Resizes to `cols` x `rows`, keeping the cells the new size covers.
    void resize(int cols, int rows) {
        cols_ = std::max(cols, 0);
        cells_.resize(static_cast<std::size_t>(std::max(rows, 0)));
        for (auto& r : cells_) r.resize(static_cast<std::size_t>(cols_));
    }
    // Rows of cells, [row][column].
    const std::vector<std::vector<TGridCell>>& rows() const { return cells_; }

private:
    int cols_ = 0;
    std::vector<std::vector<TGridCell>> cells_;
};

}  // namespace qurvex
