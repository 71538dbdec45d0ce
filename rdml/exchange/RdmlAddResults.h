// SPDX-License-Identifier: GPL-3.0-or-later
// Results added into the RDML 1.2/1.3 document that was read, leaving every
// other node of it where it was.
#pragma once

#include "engine/RunState.h"
#include "rdml/exchange/RdmlWriteChoices.h"
#include "rdml/model/RdmlDocument.h"

namespace qurvex {

// The id of the documentation element each results save appends; a later
// save appends " (2)", " (3)" ... so that documentation ids stay unique.
inline constexpr const char* kRdmlResultsDocumentationId = "RDML: results by Qurvex";

// Writes the results of the run into `document` (bound as RDML 1.2/1.3):
//  - dateUpdated := now; a new documentation element "Qurvex output added:
//    <date>";
//  - per group g (names in means_Grid column 1): the target of that id gets
//    amplificationEfficiency and amplificationEfficiencySE := the mean and SE
//    in force for it (TargetEfficiencyInForce: the run's mean under the common
//    window, the group's own under group windows), and keeps its own values
//    when none is; a group without a target gets a new target ("toi", the
//    first dye's id; a document without a dye gets the dye of the chemistry);
//  - every uniquetissues[t] without a sample gets a sample ("unkn");
//  - per sample i, on its react (choices.reactrefs, else react i-1, data 0 of
//    the first run of the first experiment): the sample reference := tissue[i]
//    and tar := ampname[i] (each left as it was when empty), cq, excl,
//    bgFluor (lowered by the lift) and quantFluor.
// Ids are found as the document spells them, else as the same id once both
// sides are cleaned; every reference written resolves to an element. An excl
// that a previous results save wrote (one of Qurvex's texts, in a document
// carrying Qurvex's results documentation) is removed from a reaction that is
// now included; other excl texts stay.
// Throws RdmlError on a model error (a react that is not there, a number text
// that does not convert); `document` may then be partly changed, so callers
// work on a copy they can drop.
void AddResultsToRdml(RdmlDocument& document, TRunState& run, const TRdmlWriteChoices& choices);

}  // namespace qurvex
