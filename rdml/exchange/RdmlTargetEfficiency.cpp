// SPDX-License-Identifier: GPL-3.0-or-later
#include "rdml/exchange/RdmlTargetEfficiency.h"

namespace qurvex {

namespace {

// The group whose statistics are in force for the target of group g.
int targetMeanGroup(const TRunState& run, int g) {
    return !run.groupsdefined || run.commonwol ? 0 : g;
}

}  // namespace

std::optional<TTargetEfficiency> TargetEfficiencyInForce(const TRunState& run, int g) {
    const int h = targetMeanGroup(run, g);
    if (h < 0) return std::nullopt;
    const auto k = static_cast<std::size_t>(h);
    if (k >= run.groupstatistics.size() || run.groupstatistics[k].n < 1) return std::nullopt;
    if (k >= run.meaneff.size() || k >= run.meaneffse.size()) return std::nullopt;
    return TTargetEfficiency{run.meaneff[k], run.meaneffse[k]};
}

}  // namespace qurvex
