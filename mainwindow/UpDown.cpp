// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/UpDown.h"

#include <QToolButton>
#include <QVBoxLayout>

namespace qurvex {

TUpDown::TUpDown(QWidget* parent)
    : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this)) {
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {up_, down_}) {
        b->setAutoRepeat(true);
        b->setFixedSize(18, 12);
        b->setFocusPolicy(Qt::NoFocus);
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(up_);
    layout->addWidget(down_);
    connect(up_, &QToolButton::clicked, this, [this] { press(TUDBtnType::btNext); });
    connect(down_, &QToolButton::clicked, this, [this] { press(TUDBtnType::btPrev); });
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void TUpDown::SetRange(int min, int max) {
    min_ = min;
    max_ = max;
}

void TUpDown::press(TUDBtnType button) {
    const int step = button == TUDBtnType::btNext ? increment_ : -increment_;
    int next = position_ + step;
    if (next > max_) next = wrap_ ? min_ : max_;
    if (next < min_) next = wrap_ ? max_ : min_;
    position_ = next;
    emit Click(button);
}

}  // namespace qurvex
