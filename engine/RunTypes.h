// SPDX-License-Identifier: GPL-3.0-or-later
// Types shared by the parts of the run state.
#pragma once

#include <cstdint>
#include <vector>

namespace qurvex {

// [sample][point] matrix of 8-byte floats; the type in which readers hand over
// cycles and raw fluorescence.
using doublearray = std::vector<std::vector<double>>;
// Boolean per sample. Not std::vector<bool>: elements must be addressable.
using boolarray = std::vector<std::uint8_t>;

// The six window limits a user sets (log10): upper and lower limit of the
// common, group and individual level. A limit set by value is rounded to 3
// decimals and clamped to the axis range before it is applied.
enum class TLimitEdit : int {
    cuplimedit = 0,    // common, upper
    clowlimedit = 1,   // common, lower
    GrUpLimEdit = 2,   // amplicon group, upper
    GrLowLimEdit = 3,  // amplicon group, lower
    iuplimedit = 4,    // individual, upper
    ilowlimedit = 5,   // individual, lower
};

// Items of the output-column list: one spreadsheet column per item.
inline constexpr int kOutputColumnCount = 19;

}  // namespace qurvex
