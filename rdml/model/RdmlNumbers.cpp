// SPDX-License-Identifier: GPL-3.0-or-later
#include "rdml/model/RdmlNumbers.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace qurvex {

namespace {

bool isXmlSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isXmlSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isXmlSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool allDigits(std::string_view text)
{
    if (text.empty())
        return false;
    for (char c : text)
        if (!isDigit(c))
            return false;
    return true;
}

template <typename T>
NumberParse<T> failure(std::string error)
{
    NumberParse<T> result;
    result.error = std::move(error);
    return result;
}

template <typename T>
NumberParse<T> success(T value)
{
    NumberParse<T> result;
    result.value = value;
    result.ok = true;
    return result;
}

std::string separatorName(char separator)
{
    return std::string("\"") + separator + "\"";
}

// Checks the shape of a decimal floating text and rewrites it with "." so that
// std::from_chars (always locale-free) can read it. Empty result: bad shape.
std::string canonicalFloat(std::string_view text, char separator, SeparatorRule rule)
{
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-')
            out.push_back('-');
        ++i;
    }
    std::size_t mantissaDigits = 0;
    while (i < text.size() && isDigit(text[i])) {
        out.push_back(text[i++]);
        ++mantissaDigits;
    }
    if (i < text.size()) {
        const char c = text[i];
        const bool separatorOk = c == separator || (rule == SeparatorRule::documentOrPoint && c == '.');
        if (separatorOk) {
            out.push_back('.');
            ++i;
            while (i < text.size() && isDigit(text[i])) {
                out.push_back(text[i++]);
                ++mantissaDigits;
            }
        }
    }
    if (mantissaDigits == 0)
        return {};
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        out.push_back('e');
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            out.push_back(text[i++]);
        std::size_t exponentDigits = 0;
        while (i < text.size() && isDigit(text[i])) {
            out.push_back(text[i++]);
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return {};
    }
    if (i != text.size())
        return {};
    return out;
}

// Decimal exponent of the leading non-zero digit of a canonical text
// ("0.05" gives -2, "12e3" gives 4); only its sign is used.
long decimalMagnitude(const std::string& canonical)
{
    long digitsBeforePoint = 0;
    long firstNonZero = -1;
    long digitIndex = 0;
    bool afterPoint = false;
    std::size_t i = 0;
    for (; i < canonical.size() && canonical[i] != 'e'; ++i) {
        const char c = canonical[i];
        if (c == '.') {
            afterPoint = true;
            continue;
        }
        if (!isDigit(c))
            continue;
        if (!afterPoint)
            ++digitsBeforePoint;
        if (c != '0' && firstNonZero < 0)
            firstNonZero = digitIndex;
        ++digitIndex;
    }
    long exponent = 0;
    if (i < canonical.size()) {
        const char* first = canonical.data() + i + 1;
        if (*first == '+')
            ++first;
        const auto [end, ec] = std::from_chars(first, canonical.data() + canonical.size(), exponent);
        if (ec != std::errc())
            exponent = (*first == '-') ? -100000 : 100000;
    }
    return digitsBeforePoint - firstNonZero - 1 + exponent;
}

template <typename T>
NumberParse<T> parseFloating(std::string_view raw, char separator, SeparatorRule rule, const char* typeName)
{
    const std::string_view text = trimmed(raw);
    if (text.empty())
        return failure<T>("empty text where a number belongs");
    if (text == "INF" || text == "+INF")
        return success(std::numeric_limits<T>::infinity());
    if (text == "-INF")
        return success(-std::numeric_limits<T>::infinity());
    if (text == "NaN")
        return success(std::numeric_limits<T>::quiet_NaN());
    // Fast road for the common form "12.5" / "-0.25e3": from_chars reads it as
    // it stands when it starts with a digit and "." is an accepted separator.
    const bool pointAccepted = separator == '.' || rule == SeparatorRule::documentOrPoint;
    const std::size_t first = text.front() == '-' ? 1 : 0;
    if (pointAccepted && first < text.size() && isDigit(text[first])) {
        T value{};
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (ec == std::errc() && end == text.data() + text.size())
            return success(value);
    }
    const std::string canonical = canonicalFloat(text, separator, rule);
    if (canonical.empty()) {
        std::string why = "is not a number with the decimal separator " + separatorName(separator);
        if (rule == SeparatorRule::documentOrPoint && separator != '.')
            why += " or \".\"";
        return failure<T>(why);
    }
    T value{};
    const auto [end, ec] = std::from_chars(canonical.data(), canonical.data() + canonical.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // from_chars also reports underflow this way; a tiny value reads as zero.
        if (decimalMagnitude(canonical) < 0)
            return success(canonical.front() == '-' ? -T(0) : T(0));
        return failure<T>(std::string("is outside the range of a ") + typeName);
    }
    if (ec != std::errc() || end != canonical.data() + canonical.size())
        return failure<T>("is not a number");
    return success(value);
}

}  // namespace

NumberParse<bool> parseBoolean(std::string_view raw)
{
    const std::string_view text = trimmed(raw);
    if (text == "true" || text == "1")
        return success(true);
    if (text == "false" || text == "0")
        return success(false);
    return failure<bool>("is not a Boolean (true, false, 1 or 0)");
}

NumberParse<std::int32_t> parseInteger(std::string_view raw)
{
    std::string_view text = trimmed(raw);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (!allDigits(text))
        return failure<std::int32_t>("is not a whole number");
    std::int64_t magnitude = 0;
    for (char c : text) {
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > 2147483648LL)
            return failure<std::int32_t>("is outside the range of a 32-bit integer");
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<std::int32_t>::max())
        return failure<std::int32_t>("is outside the range of a 32-bit integer");
    return success(static_cast<std::int32_t>(value));
}

NumberParse<std::uint32_t> parseCardinal(std::string_view raw)
{
    const std::string_view text = trimmed(raw);
    if (!text.empty() && (text.front() == '+' || text.front() == '-'))
        return failure<std::uint32_t>("is not an unsigned whole number (no sign allowed)");
    if (!allDigits(text))
        return failure<std::uint32_t>("is not an unsigned whole number");
    std::uint64_t value = 0;
    for (char c : text) {
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value > std::numeric_limits<std::uint32_t>::max())
            return failure<std::uint32_t>("is outside the range of an unsigned 32-bit integer");
    }
    return success(static_cast<std::uint32_t>(value));
}

NumberParse<float> parseSingle(std::string_view text, char separator, SeparatorRule rule)
{
    return parseFloating<float>(text, separator, rule, "32-bit float");
}

NumberParse<double> parseDouble(std::string_view text, char separator, SeparatorRule rule)
{
    return parseFloating<double>(text, separator, rule, "64-bit float");
}

std::string formatSingle(float value)
{
    if (std::isnan(value))
        return "NaN";
    if (std::isinf(value))
        return value > 0 ? "INF" : "-INF";
    const double widened = value;
    char buffer[64];
    // %.15g semantics: 15 significant digits, trailing zeros dropped, exponent
    // form only for exponents below -4 or from 15 on.
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, widened, std::chars_format::general, 15);
    if (ec != std::errc())
        return "NaN";
    return std::string(buffer, end);
}

std::string formatDouble(double value)
{
    if (std::isnan(value))
        return "NaN";
    if (std::isinf(value))
        return value > 0 ? "INF" : "-INF";
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (ec != std::errc())
        return "NaN";
    return std::string(buffer, end);
}

std::string formatBoolean(bool value)
{
    return value ? "true" : "false";
}

std::string formatInteger(std::int32_t value)
{
    return std::to_string(value);
}

std::string formatCardinal(std::uint32_t value)
{
    return std::to_string(value);
}

}  // namespace qurvex
