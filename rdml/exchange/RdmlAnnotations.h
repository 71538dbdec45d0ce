// SPDX-License-Identifier: GPL-3.0-or-later
// Sample annotations of a read run: the distinct annotations, the two
// annotation grids (distinct samples with their annotations; annotations per
// reaction) and the numbering of annotation combinations. Plain data: the
// window shows the grids as they are.
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

// Numbers the distinct combinations of annotation values of `tissues`
// (columns 1.. before "ID", joined without separator, compared without regard
// to case): `unique` gets "ID" and the annotation headers, one numbered row
// per combination in order of first appearance; the "ID" column of `tissues`
// (appended when its last header is not "ID") gets each row's number.
void UniqueAnnotationsButtonClick(TTextGrid& tissues, TTextGrid& unique);

}  // namespace qurvex
