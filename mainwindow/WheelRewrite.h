// SPDX-License-Identifier: GPL-3.0-or-later
// Turns the mouse wheel into arrow keys for memos and string grids: while the
// focused control is a memo or a grid, each wheel step becomes an up-arrow
// (wheel turned forward) or down-arrow key press sent to that control, so a
// grid's selection moves one row per step as with the arrow keys. Wheel
// events anywhere else are left alone.
#pragma once

#include <QObject>

namespace qurvex {

class TWheelRewrite : public QObject {
public:
    explicit TWheelRewrite(QObject* parent = nullptr) : QObject(parent) {}
    // Install with QCoreApplication::instance()->installEventFilter(...).
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace qurvex
