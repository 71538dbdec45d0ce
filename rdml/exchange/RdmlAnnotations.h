// SPDX-License-Identifier: GPL-3.0-or-later
// Sample annotations of a read run: the distinct annotations and the two
// annotation grids (distinct samples with their annotations; annotations per
// reaction). Plain data: the window shows the grids as they are. (Numbering
// the annotation combinations, UniqueAnnotationsButtonClick, lives with the
// RDML 1.1 preparation of the writers.)
#pragma once

#include <string>
#include <vector>

#include "engine/RunInput.h"
#include "rdml/exchange/RdmlReadTypes.h"

namespace qurvex {

// ntissues := number of distinct tissue[1..nsamples] (compared without regard
// to case; the first of several case variants stays), uniquetissues[1..] :=
// them in order of first appearance (index 0 empty). No samples: ntissues 0.
void FillTissSamples(TRunInput& run);

// The annotation table of documents without annotations: one row per
// distinct sample id of tissue[1..nsamples] holding only the id; sets
// `ntissues` and `annotationcount` (1).
cubedstringarray SampleIdTable(const TRunInput& run, int& ntissues, int& annotationcount);

// UniqueTissuesSG: "ID" and one column per annotation property (first those of
// the first sample, then each new property at the right), one row per sample
// of the table (ntissues rows) with its id and values.
TTextGrid UniqueTissuesGrid(const cubedstringarray& table, int annotationcount, int ntissues);

// TissueSampSG: column 0 "sample name" and the well labels, the annotation
// columns of `unique` with each reaction's values (from the row whose id is
// its tissue), and a last column "ID" holding the tissue.
TTextGrid TissueSamplesGrid(const TTextGrid& unique, const TRunInput& run);

}  // namespace qurvex
