// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QChar>
#include <QString>
#include <optional>

namespace qurvex {

// The whole text as a number written with `decimalSeparator` ("1,5" with ','), optional sign
// and exponent, surrounding blanks ignored; nothing else may follow ("12 liver" is refused).
// Empty text, text that is not a number, or a value beyond the double range give nullopt.
std::optional<double> StrictNumber(const QString& text, QChar decimalSeparator);

// The whole text as a decimal integer (optional sign, surrounding blanks ignored).
// Empty text, other characters, or a value outside the int range give nullopt.
std::optional<int> StrictInteger(const QString& text);

}  // namespace qurvex
