// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/WheelRewrite.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTextEdit>
#include <QWheelEvent>

namespace qurvex {

namespace {

bool isMemoOrGrid(const QWidget* w) {
    return qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QTextEdit*>(w) ||
           qobject_cast<const QTableWidget*>(w);
}

}  // namespace

bool TWheelRewrite::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Wheel) return QObject::eventFilter(watched, event);
    QWidget* focus = QApplication::focusWidget();
    if (!focus || !isMemoOrGrid(focus)) return QObject::eventFilter(watched, event);
    const auto* wheel = static_cast<QWheelEvent*>(event);
    const int key = wheel->angleDelta().y() >= 0 ? Qt::Key_Up : Qt::Key_Down;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(focus, &press);
    return true;
}

}  // namespace qurvex
