// SPDX-License-Identifier: GPL-3.0-or-later
#include "spreadsheet/StrictNumber.h"

#include <QRegularExpression>
#include <cmath>

namespace qurvex {

std::optional<double> StrictNumber(const QString& text, QChar decimalSeparator) {
    const QString t = text.trimmed();
    // digits with at most one separator, at least one digit, then an optional exponent
    static const QRegularExpression shape(
        QStringLiteral("^[+-]?([0-9]+(S[0-9]*)?|S[0-9]+)([eE][+-]?[0-9]+)?$"));
    QString normalised = t;
    normalised.replace(decimalSeparator, QLatin1Char('S'));
    if (!shape.match(normalised).hasMatch()) return std::nullopt;
    normalised.replace(QLatin1Char('S'), QLatin1Char('.'));
    bool ok = false;
    const double v = normalised.toDouble(&ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::optional<int> StrictInteger(const QString& text) {
    const QString t = text.trimmed();
    static const QRegularExpression shape(QStringLiteral("^[+-]?[0-9]+$"));
    if (!shape.match(t).hasMatch()) return std::nullopt;
    bool ok = false;
    const int v = t.toInt(&ok);
    if (!ok) return std::nullopt;
    return v;
}

}  // namespace qurvex
