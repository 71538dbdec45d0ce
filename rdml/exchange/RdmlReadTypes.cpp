// SPDX-License-Identifier: GPL-3.0-or-later
#include "rdml/exchange/RdmlReadTypes.h"

#include <algorithm>
#include <cassert>

namespace qurvex {

void TTextGrid::resize(int columns, int rows) {
    cells.assign(static_cast<std::size_t>(std::max(0, rows)),
                 std::vector<std::string>(static_cast<std::size_t>(std::max(0, columns))));
}

void TTextGrid::addcolumn() {
    for (auto& row : cells) row.emplace_back();
}

std::string& TTextGrid::cell(int column, int row) {
    assert(row >= 0 && row < rows() && column >= 0 && column < columns());
    return cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

const std::string& TTextGrid::cell(int column, int row) const {
    assert(row >= 0 && row < rows() && column >= 0 && column < columns());
    return cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

}  // namespace qurvex
