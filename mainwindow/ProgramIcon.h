// SPDX-License-Identifier: GPL-3.0-or-later
// The program's icon: an amplification curve rising to its plateau.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace qurvex {

// Drawn at `size` pixels square (at least 16).
QPixmap ProgramPixmap(int size);
QIcon ProgramIcon();

}  // namespace qurvex
