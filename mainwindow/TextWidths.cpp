// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/TextWidths.h"

#include <QHash>
#include <cmath>

namespace qurvex {

namespace {

const QString kNumberCharacters = QStringLiteral("0123456789.,-+eE");

// The advances of the number characters in `font`, in 1/64 pixel, or all -1
// when a pair of them is set narrower or wider than its two advances (kerning)
// or a character alone differs from its advance in a text.
std::array<int, 128> numberAdvances(const QFont& font) {
    std::array<int, 128> none;
    none.fill(-1);
    std::array<int, 128> advances = none;
    const QFontMetricsF metrics(font);
    for (const QChar a : kNumberCharacters) {
        const qreal alone = metrics.horizontalAdvance(a);
        if (metrics.horizontalAdvance(QString(a)) != alone) return none;
        advances[a.unicode()] = static_cast<int>(std::lround(alone * 64));
        for (const QChar b : kNumberCharacters)
            if (metrics.horizontalAdvance(QString(a) + b) != alone + metrics.horizontalAdvance(b))
                return none;
    }
    return advances;
}

}  // namespace

TTextWidths::TTextWidths(const QFont& font) : metrics_(font) {
    // Checked once per font of the process (the grids use one or two).
    static QHash<QString, std::array<int, 128>> known;
    auto it = known.constFind(font.key());
    if (it == known.constEnd()) it = known.insert(font.key(), numberAdvances(font));
    advance64_ = *it;
}

int TTextWidths::Width(const QString& text) const {
    int sum64 = 0;
    for (const QChar ch : text) {
        const int advance = ch.unicode() < 128 ? advance64_[ch.unicode()] : -1;
        if (advance < 0) return static_cast<int>(std::ceil(metrics_.horizontalAdvance(text)));
        sum64 += advance;
    }
    return (sum64 + 63) >> 6;
}

}  // namespace qurvex
