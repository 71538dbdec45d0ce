// SPDX-License-Identifier: GPL-3.0-or-later
#include "spreadsheet/ColumnLetters.h"

#include <limits>

namespace qurvex {

QString ColumnToLetters(int column) {
    long long n = column < 1 ? 1 : column;
    QString letters;
    while (n > 0) {
        const long long r = n % 26;
        if (r == 0) {
            letters.prepend(QLatin1Char('Z'));
            n = (n - 1) / 26;
        } else {
            letters.prepend(QLatin1Char(static_cast<char>('A' + r - 1)));
            n /= 26;
        }
    }
    return letters;
}

int LettersToColumn(const QString& letters) {
    long long sum = 0;
    for (const QChar c : letters.toUpper()) {
        if (c < QLatin1Char('A') || c > QLatin1Char('Z')) return -1;
        sum = sum * 26 + (c.unicode() - 'A' + 1);
        if (sum > std::numeric_limits<int>::max()) return -1;
    }
    return static_cast<int>(sum);
}

}  // namespace qurvex
