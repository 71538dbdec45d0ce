// SPDX-License-Identifier: GPL-3.0-or-later
#include "rdml/exchange/Rdml11Preparation.h"

#include <string>

#include "engine/Utilities.h"

namespace qurvex {

namespace {

int rows(const TGridCells& grid) {
    return grid.empty() ? 0 : static_cast<int>(grid.front().size());
}

void appendColumn(TGridCells& grid, const std::string& header) {
    const int n = grid.empty() ? 1 : rows(grid);
    grid.emplace_back(static_cast<std::size_t>(n));
    grid.back()[0] = header;
}

void appendRow(TGridCells& grid) {
    for (auto& column : grid) column.emplace_back();
}

// Cells of columns first..last of row r joined by `separator`.
std::string joined(const TGridCells& grid, int first, int last, int r,
                   const std::string& separator) {
    std::string text;
    for (int c = first; c <= last; ++c) {
        if (c > first) text += separator;
        text += grid[c][r];
    }
    return text;
}

// The UniqueTissuesSG row (1..) whose column 0 equals key without regard to
// case; row 0 (the header) counts too. -1 when none.
int uniqueRow(const TGridCells& unique, const std::string& key) {
    for (int r = 0; r < rows(unique); ++r)
        if (sameidentifier(unique[0][r], key)) return r;
    return -1;
}

}  // namespace

void UniqueAnnotationsButtonClick(TGridCells& T, TGridCells& U) {
    if (rows(T) == 0) appendColumn(T, "");
    const int nc = static_cast<int>(T.size());
    const int Rn = rows(T);
    int A = nc;
    if (nc > 1 && T[nc - 1][0] == "ID")
        A = nc - 1;
    else
        appendColumn(T, "ID");
    U.assign(static_cast<std::size_t>(A), std::vector<std::string>(2));
    U[0][0] = "ID";
    for (int c = 1; c < A; ++c) U[c][0] = T[c][0];
    std::vector<std::string> keys(static_cast<std::size_t>(Rn));
    for (int r = 1; r < Rn; ++r) {
        keys[r] = joined(T, 1, A - 1, r, "");
        T[A][r] = keys[r];
        if (uniqueRow(U, keys[r]) >= 0) continue;
        const int last = rows(U) - 1;
        U[0][last] = keys[r];
        for (int c = 1; c < A; ++c) U[c][last] = T[c][r];
        appendRow(U);
    }
    for (int r = 1; r < Rn; ++r) T[A][r] = std::to_string(uniqueRow(U, keys[r]));
    for (auto& column : U) column.pop_back();
    for (int r = 1; r < rows(U); ++r) U[0][r] = std::to_string(r);
}

void PrepareForRDML11ButtonClick(TGridCells& T, TGridCells& U) {
    appendColumn(T, "");
    const int nc = static_cast<int>(T.size());
    for (int r = 1; r < rows(T); ++r) {
        std::string text = joined(T, 1, nc - 3, r, "_");
        if (joined(T, 1, nc - 3, r, "").empty()) text = T[0][r];
        T[nc - 1][r] = text;
    }
    UniqueAnnotationsButtonClick(T, U);
    appendColumn(U, "");
    const int uc = static_cast<int>(U.size());
    for (int r = 1; r < rows(U); ++r) U[uc - 1][r] = joined(U, 1, uc - 2, r, "_");
}

}  // namespace qurvex
