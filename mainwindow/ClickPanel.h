// SPDX-License-Identifier: GPL-3.0-or-later
// A coloured panel that acts as a big button (the "Determine Baselines" panel).
#pragma once

#include <QFrame>

namespace qurvex {

class TClickPanel : public QFrame {
    Q_OBJECT
public:
    explicit TClickPanel(QWidget* parent = nullptr) : QFrame(parent) {
        setCursor(Qt::PointingHandCursor);
    }
signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace qurvex
