// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/ClickPanel.h"

#include <QMouseEvent>

namespace qurvex {

void TClickPanel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
        isEnabled())
        emit clicked();
    QFrame::mouseReleaseEvent(event);
}

}  // namespace qurvex
