// SPDX-License-Identifier: GPL-3.0-or-later
// The one application object of a window benchmark, on the offscreen
// platform; made on first use.
#pragma once

#include <QApplication>

namespace qurvex::bench {

inline QApplication& OffscreenApplication() {
    static int argc = 1;
    static char name[] = "qurvex_window_bench";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication a(argc, argv);
    return a;
}

}  // namespace qurvex::bench
