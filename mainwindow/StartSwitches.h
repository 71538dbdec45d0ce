// SPDX-License-Identifier: GPL-3.0-or-later
// The command-line switches of the program.
#pragma once

#include <QStringList>

namespace qurvex {

struct TStartSwitches {
    bool scratchmode = false;    // "x": diagnostic pages
    bool expertmode = false;     // "m": expert panel
    bool silentmode = false;     // "s": fewer engine notices
    bool workshopmode = false;   // "w": workshop, grouping and annotation tabs
    bool usebaselinezw = false;  // "j" + at least one more character: alternative baseline
    int wolpoints = 4;           // second character 3..9: width of the window of linearity
};

// Reads the parameters (without the program name) from the first to the last.
// Each is lower-cased and compared whole: "s", "x", "m", "w" set their flag;
// a parameter of two or more characters starting with "j" selects the
// alternative baseline, and one whose second character is a digit 3..9 sets
// the window width (a later one wins). Anything else, a lone "j" and a
// prefixed switch such as "-x" do nothing. No parameters give the defaults.
TStartSwitches ParseStartSwitches(const QStringList& parameters);

}  // namespace qurvex
