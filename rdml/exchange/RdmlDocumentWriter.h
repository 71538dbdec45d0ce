// SPDX-License-Identifier: GPL-3.0-or-later
// A new RDML document from the run state: every version Qurvex writes is
// built on the RDML 1.2 model, whose schema-order placement keeps the
// elements where each version's schema wants them.
#pragma once

#include "engine/RunState.h"
#include "rdml/exchange/RdmlWriteChoices.h"
#include "rdml/model/RdmlDocument.h"

namespace qurvex {

enum class TRdmlVersion { v1_1, v1_2, v1_3 };

// "1.1", "1.2" or "1.3".
const char* RdmlVersionText(TRdmlVersion version);

// Builds the document of a run whose Cq, non0 and group means are final
// (ApplyMeanEfficiencyCq, ApplyExclusionRule). Written into the run: ntissues
// (when tissuesdefined: UniqueTissuesSG row count - 1) and, without groups,
// ampname[i] := the single target's id.
//
// Versions 1.2 and 1.3 give a sample one annotation element per property it
// has a value for in UniqueTissuesSG, so a sample without annotations has no
// annotation element.
//
// Each target carries the mean efficiency and SE in force for it
// (TargetEfficiencyInForce); a target without one carries neither (nor the
// method).
//
// Version 1.1 leaves out what RDML 1.1 lacks (annotations, efficiency SE and
// method, background and Cq methods) and takes sample ids from the joined
// annotation column that PrepareForRDML11ButtonClick added to the grids.
//
// Every id written is non-empty and unique, and every reference resolves:
// samples with the same name share one element; a reference that names an id
// only when both are cleaned takes the document's spelling; a reference
// without an element gets one (sample type "unkn", target type "toi"). An
// empty sample name gives "sample_<i>", an empty target name "not_named",
// empty experiment and run ids "experiment_1" and "run_1".
// A run read from an RDML file whose react ids fit its pcrFormat
// (run.rdmlplate) keeps those ids and that format; any other run has its
// reactions numbered 1..nsamples on an nsamples x 1 format.
// Raw fluorescence and bgFluor are lowered by the choices' lift.
// Throws RdmlError on a model error (nothing is written anywhere).
RdmlDocument BuildNewRdml(TRunState& run, const TRdmlWriteChoices& choices, TRdmlVersion version);

}  // namespace qurvex
