// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/ProgramIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace qurvex {

QPixmap ProgramPixmap(int size) {
    size = std::max(size, 16);
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1f, 0x4e, 0x8c));
    p.drawRoundedRect(QRectF(0, 0, size, size), size * 0.15, size * 0.15);
    // Logistic curve F(x) = 1 / (1 + exp(-k (x - x0))) across the square.
    QPainterPath curve;
    const double margin = size * 0.15, w = size - 2 * margin;
    for (int i = 0; i <= 40; ++i) {
        const double x = i / 40.0;
        const double f = 1.0 / (1.0 + std::exp(-12.0 * (x - 0.55)));
        const QPointF pt(margin + x * w, size - margin - f * w);
        if (i == 0)
            curve.moveTo(pt);
        else
            curve.lineTo(pt);
    }
    p.setPen(
        QPen(QColor(0x7f, 0xe0, 0x5a), std::max(2.0, size / 12.0), Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(curve);
    return pixmap;
}

QIcon ProgramIcon() {
    QIcon icon;
    for (int s : {16, 32, 48, 64, 128}) icon.addPixmap(ProgramPixmap(s));
    return icon;
}

}  // namespace qurvex
