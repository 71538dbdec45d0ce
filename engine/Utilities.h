// SPDX-License-Identifier: GPL-3.0-or-later
// Small text utilities shared by the engine and the exchange layers.
#pragma once

#include <string>
#include <string_view>

namespace qurvex {

// Trims leading and trailing blanks and control characters (<= ' '); every
// remaining character outside 0-9, A-Z, a-z becomes '_' (a multi-byte UTF-8
// character gives one '_' per byte). Empty (or all-blank) text gives "".
std::string cleanident(std::string_view text);

// Spreadsheet column letters to number: A = 1, Z = 26, AA = 27, ZZ = 702;
// case-insensitive. Empty text gives 0. Characters other than letters are
// not checked (they count with their code - 64, as the formula says).
int colnumber(std::string_view letters);

// v rounded to `decimals` places and written with '.' and without trailing
// zeros ("2.5", "-1.25", "3"): the text an edit shows. NaN gives "NAN".
std::string roundedtext(double v, int decimals);

// The number an edit showing roundedtext(v, decimals) holds: v rounded to
// `decimals` places in decimal (not binary) arithmetic. NaN for NaN or an
// infinite v.
double shownvalue(double v, int decimals);

// Amplicon identifiers are compared without regard to case: A-Z fold to
// a-z, every other byte stays (whatever the C locale). "ACTB" and "actb" give
// the same key; empty text gives "".
std::string identifierkey(std::string_view text);
// Whether two identifiers are the same under that folding.
bool sameidentifier(std::string_view a, std::string_view b);

}  // namespace qurvex
