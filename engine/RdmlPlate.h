// SPDX-License-Identifier: GPL-3.0-or-later
// Where the reactions of a run read from an RDML file sit on the instrument's
// plate: each reaction's id and the run's pcrFormat, so that a new document
// written from the run puts every reaction back into its own well.
// Part of the run as read (TRunData, TRunInput).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace qurvex {

struct TRdmlPlate {
    // The react id of each sample (1..nsamples; element 0 unused). Empty when
    // no plate is kept: a spreadsheet read, or ids that do not fit a format.
    std::vector<int> reactid;
    int rows = 0;
    int columns = 0;
    std::string rowlabel;     // "ABC", "123" or "A1a1"
    std::string columnlabel;  // the same
    // Whether a plate is kept for a run of `nsamples` samples.
    bool holds(int nsamples) const {
        return nsamples >= 0 && reactid.size() == static_cast<std::size_t>(nsamples) + 1 &&
               rows > 0 && columns > 0;
    }
};

}  // namespace qurvex
