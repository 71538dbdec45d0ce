// SPDX-License-Identifier: GPL-3.0-or-later
// What the window hands to the RDML writers besides the run state: the texts
// of its controls, the two tissue grids, and what the read road recorded about
// the document that was read.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace qurvex {

// Cells of a string grid as the window shows them, indexed [column][row];
// every column has the same number of rows.
using TGridCells = std::vector<std::vector<std::string>>;

// Where the results of one sample go in the document that was read: react
// `react` (from 0) of the first run of the first experiment, its data item
// `data` (from 0).
struct TRdmlReactRef {
    int react = 0;
    int data = 0;
};

struct TRdmlWriteChoices {
    // Text of the single-target edit; the target of a run without groups.
    std::string TargetnameEdit = "not_named";
    // The tissue grids: TissueSampSG (column 0 sample name, annotation
    // columns, last the "ID" column with each sample's tissue ID, row 0 the
    // headers) and UniqueTissuesSG (column 0 the tissue ID, then the
    // annotation columns). The 1.1 writer adds columns to both.
    TGridCells TissueSampSG;
    TGridCells UniqueTissuesSG;
    // Full file name of the spreadsheet's active workbook when the run came
    // from a spreadsheet; "" when there is none.
    std::string activeworkbook;
    // Per sample (index 1..nsamples), what the reading added to every raw
    // fluorescence value to lift negative values; empty or a short vector
    // means nothing was added. Written values are lowered by it again, so the
    // document keeps the instrument's values.
    std::vector<double> lift;
    // Per sample (index 1..nsamples), the react and data item of the
    // document read that hold it; empty means sample i is react i-1, data 0.
    std::vector<TRdmlReactRef> reactrefs;
    // The local time written as dateMade / dateUpdated; now when unset.
    std::optional<std::tm> now;
};

}  // namespace qurvex
