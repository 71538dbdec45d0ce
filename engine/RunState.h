// SPDX-License-Identifier: GPL-3.0-or-later
// The analysis state of one run: every per-run, per-sample, per-point and
// per-group field the engine and the main window share, in four parts by
// concern. Fields keep their names; code reads them as run.field.
#pragma once

#include "engine/BaselineState.h"
#include "engine/FitState.h"
#include "engine/GroupState.h"
#include "engine/RunData.h"
#include "engine/RunTypes.h"

namespace qurvex {

// Index conventions:
//  - per-sample arrays have nsamples+1 elements, used from 1; element 0 of
//    uplim/lowlim holds the common window;
//  - per-point matrices have nsamples+1 rows of ncycles+1 elements, points
//    used from 1; point 0 of a fluor row holds the placeholder 1e-5;
//  - per-group arrays are indexed by group number, 0 = common window;
//  - limits, thresholds and axis bounds are log10 of fluorescence.
struct TRunState : TRunData, TFitState, TBaselineState, TGroupState {};

}  // namespace qurvex
