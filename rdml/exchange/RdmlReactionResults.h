// SPDX-License-Identifier: GPL-3.0-or-later
// The per-reaction results every RDML writer puts into a document: the Cq
// with the group mean efficiency, the exclusion rule and its texts, the dye
// id of the chemistry, and the date texts.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

#include "engine/MeanEfficiencyCq.h"
#include "engine/RunState.h"
#include "rdml/exchange/RdmlWriteChoices.h"
#include "rdml/model/RDML_v1_2_CR.h"

namespace qurvex {

// The Cq with the group mean efficiency (ApplyMeanEfficiencyCq) comes from
// engine/MeanEfficiencyCq.h.

// non0[i] := noamplif or userexcluded or (bgerror and not manualbg) or
// (effoutlier and noplateau), for every sample.
void ApplyExclusionRule(TRunState& run);

// The excl text of an excluded sample: "no_amplif" when noamplif; otherwise
// the last that holds of "skipped_by_user" (userexcluded), "baseline_error"
// (bgerror, whatever manualbg) and "eff_outlier_and_no_plateau" (effoutlier
// and noplateau). "" when none holds.
std::string ExclusionText(const TRunState& run, int sample);

// Whether `text` is one of the four texts ExclusionText writes.
bool IsQurvexExclusionText(std::string_view text);

// The dye id of a chemistry 1..7; "" for any other value.
std::string RdmlDyeId(int chemistry);

// "2026-12-07T14:05:09": xs:dateTime text, always with ":" in the time.
std::string RdmlDateTimeText(const std::tm& when);
// "2026-12-07".
std::string RdmlDateText(const std::tm& when);
// The choices' time, or the local time now.
std::tm RdmlWriteTime(const TRdmlWriteChoices& choices);

// What the reading added to the raw values of `sample` (0 when nothing).
double SampleLift(const TRdmlWriteChoices& choices, int sample);

// cq, excl, bgFluor and quantFluor of sample i into `data`: cq := ct +
// GetCtCorrection when not non0[i], else -1 and excl := ExclusionText;
// bgFluor := bgarr[i] - lift; quantFluor := 10^sampftval[i]. Each goes to its
// schema position. An existing excl is not touched when the sample is
// included.
void WriteReactionResults(RDML_v1_2_CR::TXMLDataType& data, const TRunState& run, int sample,
                          double lift);

}  // namespace qurvex
