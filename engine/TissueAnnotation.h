// SPDX-License-Identifier: GPL-3.0-or-later
// The numbering of sample annotation combinations on the two tissue tables.
#pragma once

#include <string>
#include <vector>

namespace qurvex {

// A table of texts, [column][row], row 0 the headers.
using TCellColumns = std::vector<std::vector<std::string>>;

// Numbers the distinct annotation combinations of `samples` into `unique`.
// The last column of `samples` is its "ID" column when so headed; otherwise
// one is appended. Two rows share a number when every annotation column
// holds the same text without regard to case; the header row takes no part.
// `unique` gets column 0 "ID" with the numbers 1..m and the annotation
// headers and values of each combination, in order of first appearance;
// every sample row's "ID" cell gets the number of its combination. A table
// without rows is given a header row first.
void UniqueAnnotations(TCellColumns& samples, TCellColumns& unique);

}  // namespace qurvex
