// SPDX-License-Identifier: GPL-3.0-or-later
#include "rdml/model/RdmlNumbers.h"

#include <bit>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>
#include <type_traits>

namespace qurvex {

namespace {

bool isXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isXmlSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && isXmlSpace(text.back())) text.remove_suffix(1);
    return text;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool allDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if (!isDigit(c)) return false;
    return true;
}

template <typename T>
NumberParse<T> failure(std::string error) {
    NumberParse<T> result;
    result.error = std::move(error);
    return result;
}

template <typename T>
NumberParse<T> success(T value) {
    NumberParse<T> result;
    result.value = value;
    result.ok = true;
    return result;
}

std::string separatorName(char separator) { return std::string("\"") + separator + "\""; }

// Checks the shape of a decimal floating text and rewrites it with "." so that
// std::from_chars (always locale-free) can read it. Empty result: bad shape.
std::string canonicalFloat(std::string_view text, char separator, SeparatorRule rule) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') out.push_back('-');
        ++i;
    }
    std::size_t mantissaDigits = 0;
    while (i < text.size() && isDigit(text[i])) {
        out.push_back(text[i++]);
        ++mantissaDigits;
    }
    if (i < text.size()) {
        const char c = text[i];
        const bool separatorOk =
            c == separator || (rule == SeparatorRule::documentOrPoint && c == '.');
        if (separatorOk) {
            out.push_back('.');
            ++i;
            while (i < text.size() && isDigit(text[i])) {
                out.push_back(text[i++]);
                ++mantissaDigits;
            }
        }
    }
    if (mantissaDigits == 0) return {};
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        out.push_back('e');
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) out.push_back(text[i++]);
        std::size_t exponentDigits = 0;
        while (i < text.size() && isDigit(text[i])) {
            out.push_back(text[i++]);
            ++exponentDigits;
        }
        if (exponentDigits == 0) return {};
    }
    if (i != text.size()) return {};
    return out;
}

// Decimal exponent of the leading non-zero digit of a canonical text
// ("0.05" gives -2, "12e3" gives 4); only its sign is used.
long decimalMagnitude(const std::string& canonical) {
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
        if (!isDigit(c)) continue;
        if (!afterPoint) ++digitsBeforePoint;
        if (c != '0' && firstNonZero < 0) firstNonZero = digitIndex;
        ++digitIndex;
    }
    long exponent = 0;
    if (i < canonical.size()) {
        const char* first = canonical.data() + i + 1;
        if (*first == '+') ++first;
        const auto [end, ec] =
            std::from_chars(first, canonical.data() + canonical.size(), exponent);
        if (ec != std::errc()) exponent = (*first == '-') ? -100000 : 100000;
    }
    return digitsBeforePoint - firstNonZero - 1 + exponent;
}

template <typename T>
NumberParse<T> parseFloating(std::string_view raw, char separator, SeparatorRule rule,
                             const char* typeName) {
    const std::string_view text = trimmed(raw);
    if (text.empty()) return failure<T>("empty text where a number belongs");
    if (text == "INF" || text == "+INF") return success(std::numeric_limits<T>::infinity());
    if (text == "-INF") return success(-std::numeric_limits<T>::infinity());
    if (text == "NaN") return success(std::numeric_limits<T>::quiet_NaN());
    // Fast road for the common form "12.5" / "-0.25e3": from_chars reads it as
    // it stands when it starts with a digit and "." is an accepted separator.
    const bool pointAccepted = separator == '.' || rule == SeparatorRule::documentOrPoint;
    const std::size_t first = text.front() == '-' ? 1 : 0;
    if (pointAccepted && first < text.size() && isDigit(text[first])) {
        T value{};
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (ec == std::errc() && end == text.data() + text.size()) return success(value);
    }
    const std::string canonical = canonicalFloat(text, separator, rule);
    if (canonical.empty()) {
        std::string why = "is not a number with the decimal separator " + separatorName(separator);
        if (rule == SeparatorRule::documentOrPoint && separator != '.') why += " or \".\"";
        return failure<T>(why);
    }
    T value{};
    const auto [end, ec] =
        std::from_chars(canonical.data(), canonical.data() + canonical.size(), value);
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

// The characters of a text, with '\0' read past its end: a string_view, or a
// NUL-terminated string that is never read beyond its terminator.
struct SizedText {
    std::string_view text;
    char operator[](std::size_t i) const { return i < text.size() ? text[i] : '\0'; }
    bool endsAt(std::size_t i) const { return i == text.size(); }
    std::string_view view() const { return text; }
};

struct TerminatedText {
    const char* text;
    char operator[](std::size_t i) const { return text[i]; }
    bool endsAt(std::size_t i) const { return text[i] == '\0'; }
    std::string_view view() const { return text; }
};

template <typename Text>
bool onlySpacesFrom(Text t, std::size_t i) {
    while (isXmlSpace(t[i])) ++i;
    return t.endsAt(i);
}

// True when `word` stands at i followed by nothing but white space.
template <typename Text>
bool wordAt(Text t, std::size_t i, const char* word) {
    for (; *word != '\0'; ++word, ++i)
        if (t[i] != *word) return false;
    return onlySpacesFrom(t, i);
}

// A decimal text taken apart: value = (-1)^negative * digits * 10^exponent.
// `exact` is false when the text has more than 19 significant digits or an
// exponent beyond +-100000 (digits and exponent then only approximate it).
struct DecimalText {
    bool negative = false;
    std::uint64_t digits = 0;
    long exponent = 0;
    bool exact = true;
};

enum class FloatShape { bad, decimal, infinity, negativeInfinity, notANumber };

// Checks a floating text against [sign] digits [separator digits] [e|E [sign]
// digits] (at least one mantissa digit), or INF, +INF, -INF, NaN, with XML
// white space around it, and takes a decimal apart on the way.
template <typename Text>
FloatShape scanFloat(Text t, char separator, SeparatorRule rule, DecimalText& d) {
    std::size_t i = 0;
    while (isXmlSpace(t[i])) ++i;
    const bool signed_ = t[i] == '+' || t[i] == '-';
    if (signed_) {
        d.negative = t[i] == '-';
        ++i;
    }
    if (t[i] == 'I')
        return wordAt(t, i, "INF")
                   ? (d.negative ? FloatShape::negativeInfinity : FloatShape::infinity)
                   : FloatShape::bad;
    if (t[i] == 'N')
        return !signed_ && wordAt(t, i, "NaN") ? FloatShape::notANumber : FloatShape::bad;
    // Digits go into one integer (in registers) up to 19 significant ones;
    // zeros before the first significant digit only move the exponent.
    std::uint64_t digits = 0;
    long exponent = 0;
    int room = 19;
    const std::size_t integerStart = i;
    while (t[i] == '0') ++i;
    for (; isDigit(t[i]); ++i) {
        if (room == 0) {
            d.exact = false;
            continue;
        }
        digits = digits * 10 + static_cast<std::uint64_t>(t[i] - '0');
        --room;
    }
    std::size_t mantissaDigits = i - integerStart;
    const char c = t[i];
    if (c != '\0' && (c == separator || (rule == SeparatorRule::documentOrPoint && c == '.'))) {
        ++i;
        const std::size_t fractionStart = i;
        if (digits == 0)
            while (t[i] == '0') ++i;
        for (; isDigit(t[i]); ++i) {
            if (room == 0) {
                d.exact = false;
                continue;
            }
            digits = digits * 10 + static_cast<std::uint64_t>(t[i] - '0');
            --room;
        }
        mantissaDigits += i - fractionStart;
        exponent = -static_cast<long>(i - fractionStart);
    }
    d.digits = digits;
    d.exponent = exponent;
    if (mantissaDigits == 0) return FloatShape::bad;
    if (t[i] == 'e' || t[i] == 'E') {
        ++i;
        bool negativeExponent = false;
        if (t[i] == '+' || t[i] == '-') negativeExponent = t[i++] == '-';
        int exponentDigits = 0;
        long written = 0;
        while (isDigit(t[i])) {
            if (written <= 100000) written = written * 10 + (t[i] - '0');
            ++i;
            ++exponentDigits;
        }
        if (exponentDigits == 0) return FloatShape::bad;
        if (written > 100000) d.exact = false;
        d.exponent += negativeExponent ? -written : written;
    }
    return onlySpacesFrom(t, i) ? FloatShape::decimal : FloatShape::bad;
}

// The correctly rounded value of an exact decimal of at most 2^53 digits and
// a power of ten within 10^+-22, where both are exact doubles and one IEEE
// multiplication or division rounds once: x = digits * 10^e or digits / 10^-e.
// A float is rounded a second time from that double, which gives the same
// float unless the double lies exactly halfway between two floats; that case,
// values outside the normal float range and all other decimals return false.
template <typename T>
inline bool exactDecimalValue(const DecimalText& d, T& value) {
#if defined(FLT_EVAL_METHOD) && FLT_EVAL_METHOD == 0
    static constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                              1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    if (!d.exact) return false;
    if (d.digits == 0) {
        value = d.negative ? -T(0) : T(0);
        return true;
    }
    if (d.digits > (std::uint64_t(1) << 53) || d.exponent < -22 || d.exponent > 22) return false;
    double x = static_cast<double>(d.digits);
    x = d.exponent < 0 ? x / kPowersOfTen[-d.exponent] : x * kPowersOfTen[d.exponent];
    if constexpr (std::is_same_v<T, float>) {
        if (x < FLT_MIN || x > FLT_MAX) return false;
        // The 29 low bits of the double's fraction are those a float drops;
        // exactly 1000...0 there is a point halfway between two floats.
        if ((std::bit_cast<std::uint64_t>(x) & 0x1FFFFFFFu) == 0x10000000u) return false;
    }
    value = static_cast<T>(x);
    if (d.negative) value = -value;
    return true;
#else
    (void)d;
    (void)value;
    return false;
#endif
}

// The usual element text, "-123.456" ("-" optional, at most 19 digits, an
// accepted separator, nothing around it), in one tight loop: true with `value`
// set; false for every other form, and for values exactDecimalValue leaves.
template <typename T, typename Text>
bool readPlainDecimal(Text t, char separator, SeparatorRule rule, T& value) {
    const bool negative = t[0] == '-';
    std::size_t i = negative ? 1 : 0;
    const std::size_t start = i;
    std::uint64_t digits = 0;
    while (isDigit(t[i])) digits = digits * 10 + static_cast<std::uint64_t>(t[i++] - '0');
    std::size_t count = i - start;
    long exponent = 0;
    const char c = t[i];
    if (c != '\0' && (c == separator || (rule == SeparatorRule::documentOrPoint && c == '.'))) {
        const std::size_t fractionStart = ++i;
        while (isDigit(t[i])) digits = digits * 10 + static_cast<std::uint64_t>(t[i++] - '0');
        count += i - fractionStart;
        exponent = -static_cast<long>(i - fractionStart);
    }
    if (count == 0 || count > 19 || !t.endsAt(i)) return false;
    DecimalText d;
    d.negative = negative;
    d.digits = digits;
    d.exponent = exponent;
    return exactDecimalValue(d, value);
}

template <typename T, typename Text>
bool readFloating(Text t, char separator, SeparatorRule rule, T& value, const char* typeName) {
    if (readPlainDecimal(t, separator, rule, value)) return true;
    DecimalText d;
    switch (scanFloat(t, separator, rule, d)) {
        case FloatShape::bad:
            return false;
        case FloatShape::infinity:
            value = std::numeric_limits<T>::infinity();
            return true;
        case FloatShape::negativeInfinity:
            value = -std::numeric_limits<T>::infinity();
            return true;
        case FloatShape::notANumber:
            value = std::numeric_limits<T>::quiet_NaN();
            return true;
        case FloatShape::decimal:
            if (exactDecimalValue(d, value)) return true;
            break;
    }
    const NumberParse<T> general = parseFloating<T>(t.view(), separator, rule, typeName);
    if (general.ok) value = general.value;
    return general.ok;
}

template <typename Text>
bool readCardinalText(Text t, std::uint32_t& value) {
    std::size_t i = 0;
    while (isXmlSpace(t[i])) ++i;
    if (!isDigit(t[i])) return false;
    std::uint64_t v = 0;
    for (; isDigit(t[i]); ++i) {
        v = v * 10 + static_cast<std::uint64_t>(t[i] - '0');
        if (v > std::numeric_limits<std::uint32_t>::max()) return false;
    }
    if (!onlySpacesFrom(t, i)) return false;
    value = static_cast<std::uint32_t>(v);
    return true;
}

template <typename Text>
bool readIntegerText(Text t, std::int32_t& value) {
    std::size_t i = 0;
    while (isXmlSpace(t[i])) ++i;
    bool negative = false;
    if (t[i] == '+' || t[i] == '-') negative = t[i++] == '-';
    if (!isDigit(t[i])) return false;
    std::int64_t magnitude = 0;
    for (; isDigit(t[i]); ++i) {
        magnitude = magnitude * 10 + (t[i] - '0');
        if (magnitude > 2147483648LL) return false;
    }
    if (!onlySpacesFrom(t, i) || (!negative && magnitude > 2147483647LL)) return false;
    value = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
    return true;
}

}  // namespace

bool readSingle(const char* text, char separator, SeparatorRule rule, float& value) {
    return readFloating(TerminatedText{text}, separator, rule, value, "32-bit float");
}

bool readDouble(const char* text, char separator, SeparatorRule rule, double& value) {
    return readFloating(TerminatedText{text}, separator, rule, value, "64-bit float");
}

bool readInteger(const char* text, std::int32_t& value) {
    return readIntegerText(TerminatedText{text}, value);
}

bool readCardinal(const char* text, std::uint32_t& value) {
    return readCardinalText(TerminatedText{text}, value);
}

NumberParse<bool> parseBoolean(std::string_view raw) {
    const std::string_view text = trimmed(raw);
    if (text == "true" || text == "1") return success(true);
    if (text == "false" || text == "0") return success(false);
    return failure<bool>("is not a Boolean (true, false, 1 or 0)");
}

NumberParse<std::int32_t> parseInteger(std::string_view raw) {
    std::int32_t read = 0;
    if (readIntegerText(SizedText{raw}, read)) return success(read);
    std::string_view text = trimmed(raw);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (!allDigits(text)) return failure<std::int32_t>("is not a whole number");
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

NumberParse<std::uint32_t> parseCardinal(std::string_view raw) {
    std::uint32_t read = 0;
    if (readCardinalText(SizedText{raw}, read)) return success(read);
    const std::string_view text = trimmed(raw);
    if (!text.empty() && (text.front() == '+' || text.front() == '-'))
        return failure<std::uint32_t>("is not an unsigned whole number (no sign allowed)");
    if (!allDigits(text)) return failure<std::uint32_t>("is not an unsigned whole number");
    std::uint64_t value = 0;
    for (char c : text) {
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value > std::numeric_limits<std::uint32_t>::max())
            return failure<std::uint32_t>("is outside the range of an unsigned 32-bit integer");
    }
    return success(static_cast<std::uint32_t>(value));
}

NumberParse<float> parseSingle(std::string_view text, char separator, SeparatorRule rule) {
    float read = 0;
    if (readFloating(SizedText{text}, separator, rule, read, "32-bit float")) return success(read);
    return parseFloating<float>(text, separator, rule, "32-bit float");
}

NumberParse<double> parseDouble(std::string_view text, char separator, SeparatorRule rule) {
    double read = 0;
    if (readFloating(SizedText{text}, separator, rule, read, "64-bit float")) return success(read);
    return parseFloating<double>(text, separator, rule, "64-bit float");
}

std::string formatSingle(float value) {
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
    const double widened = value;
    char buffer[64];
    // %.15g semantics: 15 significant digits, trailing zeros dropped, exponent
    // form only for exponents below -4 or from 15 on.
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, widened, std::chars_format::general, 15);
    if (ec != std::errc()) return "NaN";
    return std::string(buffer, end);
}

std::string formatDouble(double value) {
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (ec != std::errc()) return "NaN";
    return std::string(buffer, end);
}

std::string formatBoolean(bool value) { return value ? "true" : "false"; }

std::string formatInteger(std::int32_t value) { return std::to_string(value); }

std::string formatCardinal(std::uint32_t value) { return std::to_string(value); }

}  // namespace qurvex
