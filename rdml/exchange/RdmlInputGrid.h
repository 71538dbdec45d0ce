// SPDX-License-Identifier: GPL-3.0-or-later
// The input grid of an RDML read (RdmlInSG): what the file gave, one row per
// reaction. The numbers stay numbers until a cell is asked for, so a read
// spends no time writing texts the window never shows.
#pragma once

#include <string>
#include <vector>

#include "engine/RunInput.h"

namespace qurvex {

// A number as the input grid shows it: general format, at most 15
// significant digits, "." ("10.5", "0.100000001490116", "1e+20").
std::string RdmlInputText(double value);

// ncycles + 4 columns, nsamples + 1 rows. Row 0: "reaction", "sample",
// "target", then in column j + 3 the cycle of point j + 1 of the last
// reaction that has that point. Row i: i, tissue[i], ampname[i], then the raw
// fluorescence of its points (as lifted by the read). Every other cell is
// empty; the last column always is.
class TRdmlInputGrid {
public:
    TRdmlInputGrid() = default;
    // The grid of a run read (npoints, rawcyc and rawfluor as filled).
    explicit TRdmlInputGrid(const TRunInput& run);

    int rows() const { return static_cast<int>(cells.size()); }
    int columns() const { return cells.columns; }
    // The text of cell (column, row); "" outside the grid.
    std::string cell(int column, int row) const { return cells.text(column, row); }
    // True, with the number in `value`, when the cell holds a number (a
    // cycle of the header row or a fluorescence value).
    bool number(int column, int row, double& value) const {
        return cells.number(column, row, value);
    }

    // The content; cells[r] gives the texts of row r, one per column, as a
    // text grid's row (each number written as RdmlInputText writes it).
    struct TCells {
        std::vector<std::vector<std::string>> labels;   // per row: the first three cells
        std::vector<double> headercycles;               // row 0 from column 3 on
        std::vector<std::vector<double>> fluorescence;  // row i from column 3 on, at i - 1
        int columns = 0;

        std::size_t size() const { return labels.size(); }
        std::vector<std::string> operator[](std::size_t row) const;
        std::string text(int column, int row) const;
        bool number(int column, int row, double& value) const;
    } cells;
};

}  // namespace qurvex
