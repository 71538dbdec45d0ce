// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qurvex {

// Locale-free conversion between RDML element texts and values. Nothing here
// looks at the process or user locale: the decimal separator is an argument.
// Leading and trailing XML white space (blank, tab, CR, LF) is ignored, as the
// schema's number types collapse it.

// Outcome of one text-to-value conversion: `ok` false leaves `value` at zero and
// `error` holds a sentence for the user ("is not a whole number", ...).
template <typename T>
struct NumberParse {
    T value{};
    bool ok = false;
    std::string error;
};

// Which decimal separators a floating text may use. `documentOnly` accepts only
// the document's separator; `documentOrPoint` also accepts "." (the separator of
// the XML number types), whatever the document's separator is.
enum class SeparatorRule { documentOnly, documentOrPoint };

// "true"/"false"/"1"/"0"; anything else (also empty) fails.
NumberParse<bool> parseBoolean(std::string_view text);

// Optional sign then decimal digits; fails when empty, on any other character,
// or outside -2147483648..2147483647.
NumberParse<std::int32_t> parseInteger(std::string_view text);

// Decimal digits only (a sign of either kind fails); 0..4294967295.
NumberParse<std::uint32_t> parseCardinal(std::string_view text);

// [sign] digits [separator digits] [e|E [sign] digits], or INF, -INF, NaN.
// The value is rounded once to the nearest 32-bit float; a finite text beyond
// the 32-bit range fails. Empty text fails.
NumberParse<float> parseSingle(std::string_view text, char separator, SeparatorRule rule);

// As parseSingle, with 64-bit precision and range.
NumberParse<double> parseDouble(std::string_view text, char separator, SeparatorRule rule);

// The same conversions for the NUL-terminated text of an element, without
// allocating: true with `value` set when `text` converts (by exactly the rules
// above), false with `value` untouched when it does not; the parse function of
// the type then gives the reason. The common forms ("101.25", "-0.5e3" with at
// most 19 significant digits) are read in one pass; the others are passed to
// the general conversion.
bool readSingle(const char* text, char separator, SeparatorRule rule, float& value);
bool readDouble(const char* text, char separator, SeparatorRule rule, double& value);
bool readInteger(const char* text, std::int32_t& value);
bool readCardinal(const char* text, std::uint32_t& value);

// The 32-bit value widened exactly and written with at most 15 significant
// digits, no trailing zeros and "." (0.1f gives "0.100000001490116", -1 gives
// "-1"). Exponent form only below 1e-4 or from 1e15 on. NaN gives "NaN",
// infinities "INF" and "-INF".
std::string formatSingle(float value);

// The shortest text that reads back to the same 64-bit value, with ".".
std::string formatDouble(double value);

std::string formatBoolean(bool value);
std::string formatInteger(std::int32_t value);
std::string formatCardinal(std::uint32_t value);

}  // namespace qurvex
