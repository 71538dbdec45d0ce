// SPDX-License-Identifier: GPL-3.0-or-later
// Commands a spreadsheet read gives the engine besides taking over the run.
#include "engine/Engine.h"

namespace qurvex {

void TEngine::setcqcorrneeded(bool needed) { cqcorrneeded = needed; }

}  // namespace qurvex
