// SPDX-License-Identifier: GPL-3.0-or-later
// The program's start: the application object, the error boxes, the wheel
// rewrite, the main window (the only window created at start) and the
// message loop.
#pragma once

namespace qurvex {

// Returns the exit code of the message loop.
int RunProgram(int argc, char** argv);

}  // namespace qurvex
