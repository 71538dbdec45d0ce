// SPDX-License-Identifier: GPL-3.0-or-later
// The chemistry's Cq correction: cycles added to a sample's Cq when results
// are written out (spreadsheet and RDML). The stored ct is never changed.
#pragma once

#include "engine/RunState.h"

namespace qurvex {

// Cycles added to ct[sample] on output:
//   base  = -1 for chemistry 3, 5 and 6 (hybridization probe, labelled
//           reverse primer, DNA-zyme probe), else 0;
//   extra = log(1 / (1 - 1/E)) / log(E) for chemistry 6 with
//           E = sampmeaneff[sample] > 1.001, else 0 (extra = 1 at E = 2);
//   result = 0 when ct[sample] < 0.01 (no Cq), else base + extra.
// Chemistry 6 at E = 1.9 gives -1 + ln(1.9/0.9)/ln(1.9) = +0.1642. A sample
// outside 1..nsamples, or a ct or E that is NaN, gives 0.
double GetCtCorrection(const TRunState& run, int sample);

// Whether the chemistry enables the Cq-too-low rules (chemistry 3, 5 or 6);
// what cqcorrneeded is set to when a run is read.
bool CqCorrNeeded(int chemistry);

}  // namespace qurvex
