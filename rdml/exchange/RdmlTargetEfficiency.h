// SPDX-License-Identifier: GPL-3.0-or-later
// The mean efficiency that a target's reactions were analysed with, as every
// RDML writer puts it on the target.
#pragma once

#include <optional>

#include "engine/RunState.h"

namespace qurvex {

// Both values come from the group statistics, never from a default.
struct TTargetEfficiency {
    double mean;  // amplificationEfficiency
    double se;    // amplificationEfficiencySE (0 for a single efficiency)
};

// The mean efficiency and SE in force for the target of group g, as the last
// group statistics (calc_mean_ButtonClick) computed them: those of group 0
// (all samples, the "one group" row of the means) when the run has no groups
// or the common window is chosen (commonwol; it is kept by an individual fit
// that follows it), else those of g itself (group windows, and an individual
// fit after them). Nothing when those statistics hold no efficiency for that
// group (no sample contributed, or they were not computed): its meaneff is
// then only the placeholder 1.0, and no writer may put it on a target.
std::optional<TTargetEfficiency> TargetEfficiencyInForce(const TRunState& run, int g);

}  // namespace qurvex
