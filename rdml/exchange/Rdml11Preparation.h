// SPDX-License-Identifier: GPL-3.0-or-later
// RDML 1.1 has no sample annotations: before a 1.1 document is written, each
// sample's annotation values are joined with "_" into one text that becomes
// its sample id. The tissue grids keep the columns added here.
#pragma once

#include <string>
#include <vector>

#include "rdml/exchange/RdmlWriteChoices.h"

namespace qurvex {

// Numbers the distinct annotation combinations of TissueSampSG into
// UniqueTissuesSG (both [column][row], row 0 the headers). The last column of
// TissueSampSG is its "ID" column when so headed; otherwise one is appended.
// Each distinct combination (the annotation texts of a row, column by
// column, compared without regard to case) becomes one row of
// UniqueTissuesSG, in order of first appearance, numbered 1..m in column 0; every sample row's
// "ID" cell gets the number of its combination. A grid without rows is given
// a header row first.
void UniqueAnnotationsButtonClick(TGridCells& TissueSampSG, TGridCells& UniqueTissuesSG);

// Appends to TissueSampSG a column with each row's annotation values joined
// by "_", renumbers the combinations (UniqueAnnotationsButtonClick), and
// appends to UniqueTissuesSG the join of its annotation columns. Afterwards
// the column before the last of each grid holds the joined annotation text:
// "liver" and "male" give "liver_male". Row r (sample r) without annotation
// text keeps its sample id tissue[r] ("gDNA", as the document read calls
// it); when that is empty or missing, its sample name from column 0, so no
// sample id is ever empty.
void PrepareForRDML11ButtonClick(TGridCells& TissueSampSG, TGridCells& UniqueTissuesSG,
                                 const std::vector<std::string>& tissue = {});

}  // namespace qurvex
