// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QChar>
#include <QString>
#include <optional>

namespace qurvex {

// The whole text as a number written with `decimalSeparator` ("1,5" with ','): optional sign,
// ASCII digits with at most one separator, optional exponent "e"/"E"; surrounding blanks are
// ignored and nothing else may stand in the text ("12 liver", "S1", "1S5", "nan" and "1,234.5"
// are refused). Empty text, a value beyond the double range, or a separator that is a letter,
// digit, sign or blank give nullopt.
std::optional<double> StrictNumber(const QString& text, QChar decimalSeparator);

// The whole text as a decimal integer (optional sign, surrounding blanks ignored).
// Empty text, other characters, or a value outside the int range give nullopt.
std::optional<int> StrictInteger(const QString& text);

}  // namespace qurvex
