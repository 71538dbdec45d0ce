// SPDX-License-Identifier: GPL-3.0-or-later
#include "spreadsheet/StrictNumber.h"

#include <cmath>

namespace qurvex {

namespace {

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// Moves `i` past the ASCII digits from there on; how many there were.
int skipDigits(const QString& t, qsizetype& i) {
    const qsizetype from = i;
    while (i < t.size() && isDigit(t[i])) ++i;
    return static_cast<int>(i - from);
}

void skipSign(const QString& t, qsizetype& i) {
    if (i < t.size() && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) ++i;
}

}  // namespace

std::optional<double> StrictNumber(const QString& text, QChar decimalSeparator) {
    // A letter, digit, sign or blank cannot mark decimals: "1S5" is no number.
    if (decimalSeparator.isLetterOrNumber() || decimalSeparator.isSpace() ||
        decimalSeparator == QLatin1Char('+') || decimalSeparator == QLatin1Char('-'))
        return std::nullopt;
    QString t = text.trimmed();
    qsizetype i = 0;
    skipSign(t, i);
    int digits = skipDigits(t, i);
    if (i < t.size() && t[i] == decimalSeparator) {
        t[i] = QLatin1Char('.');
        ++i;
        digits += skipDigits(t, i);
    }
    if (digits == 0) return std::nullopt;
    if (i < t.size() && (t[i] == QLatin1Char('e') || t[i] == QLatin1Char('E'))) {
        ++i;
        skipSign(t, i);
        if (skipDigits(t, i) == 0) return std::nullopt;
    }
    if (i != t.size()) return std::nullopt;
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::optional<int> StrictInteger(const QString& text) {
    const QString t = text.trimmed();
    qsizetype i = 0;
    skipSign(t, i);
    if (skipDigits(t, i) == 0 || i != t.size()) return std::nullopt;
    bool ok = false;
    const int v = t.toInt(&ok);
    if (!ok) return std::nullopt;
    return v;
}

}  // namespace qurvex
