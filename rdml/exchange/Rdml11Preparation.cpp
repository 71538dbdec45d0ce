// SPDX-License-Identifier: GPL-3.0-or-later
#include "rdml/exchange/Rdml11Preparation.h"

#include <string>

#include "engine/TissueAnnotation.h"

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

}  // namespace

// The numbering itself belongs to the run's annotations (engine).
void UniqueAnnotationsButtonClick(TGridCells& T, TGridCells& U) { UniqueAnnotations(T, U); }

void PrepareForRDML11ButtonClick(TGridCells& T, TGridCells& U,
                                 const std::vector<std::string>& tissue) {
    appendColumn(T, "");
    const int nc = static_cast<int>(T.size());
    for (int r = 1; r < rows(T); ++r) {
        std::string text = joined(T, 1, nc - 3, r, "_");
        if (joined(T, 1, nc - 3, r, "").empty()) {
            // No annotation: the sample keeps its own id, else its name.
            const auto i = static_cast<std::size_t>(r);
            text = i < tissue.size() && !tissue[i].empty() ? tissue[i] : T[0][r];
        }
        T[nc - 1][r] = text;
    }
    UniqueAnnotationsButtonClick(T, U);
    appendColumn(U, "");
    const int uc = static_cast<int>(U.size());
    for (int r = 1; r < rows(U); ++r) U[uc - 1][r] = joined(U, 1, uc - 2, r, "_");
}

}  // namespace qurvex
