// SPDX-License-Identifier: GPL-3.0-or-later
// Locale-free number texts. Every case is read both by the one-pass reader of
// element texts and by the general conversion, which must agree; random texts
// are compared bit for bit with std::from_chars as an independent reader.
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

#include "rdml/model/RdmlNumbers.h"
#include "rdml/model/TextEncoding.h"

namespace qurvex {
namespace {

constexpr auto kOnly = SeparatorRule::documentOnly;
constexpr auto kEither = SeparatorRule::documentOrPoint;

struct FloatRow {
    const char* text;
    char separator;
    SeparatorRule rule;
    bool ok;
    float value;
};

const FloatRow kFloatRows[] = {
    {" \t-1.5e2\r\n", '.', kOnly, true, -150.0f},
    {"+.5", '.', kOnly, true, 0.5f},
    {"1,5", ',', kOnly, true, 1.5f},
    {"1.5", ',', kOnly, false, 0},
    {"1.5", ',', kEither, true, 1.5f},
    // The classic locale faults: "1,5" must not become 15, "1234.5" not 12345.
    {"1,5", '.', kEither, false, 0},
    {"1234.5", ',', kOnly, false, 0},
    {"1.234,5", ',', kEither, false, 0},
    // Range of a 32-bit float: beyond fails, below reads as zero.
    {"3.4e38", '.', kOnly, true, 3.4e38f},
    {"1e39", '.', kOnly, false, 0},
    {"-3.5e38", '.', kOnly, false, 0},
    {"1e-50", '.', kOnly, true, 0.0f},
    // Rounded once to 32 bits, ties to even: 2^24 + 1 and 2^24 + 3 lie halfway.
    {"16777217", '.', kOnly, true, 16777216.0f},
    {"16777219.0", '.', kOnly, true, 16777220.0f},
    {"16777217.000001", '.', kOnly, true, 16777218.0f},
    {"1.000000059604644775390625", '.', kOnly, true, 1.0f},
    // 8 + 3 * 2^-21 lies halfway between two floats; the first text is 6.1e-16
    // below it, closer to it than to any other double, yet must round down.
    {"8.000001430511474", '.', kOnly, true, 8.00000095367431640625f},
    {"8.000001430511475", '.', kOnly, true, 8.0000019073486328125f},
};

TEST(RdmlNumbers, FloatTextsReadAlikeOnBothRoads) {
    for (const FloatRow& row : kFloatRows) {
        SCOPED_TRACE(std::string("\"") + row.text + "\" with '" + row.separator + "'");
        const NumberParse<float> parsed = parseSingle(row.text, row.separator, row.rule);
        EXPECT_EQ(parsed.ok, row.ok);
        float fast = 99.0f;
        EXPECT_EQ(readSingle(row.text, row.separator, row.rule, fast), row.ok);
        EXPECT_EQ(parsed.ok ? parsed.value : 99.0f, row.ok ? row.value : 99.0f);
        EXPECT_EQ(fast, row.ok ? row.value : 99.0f) << "a failed read must leave the value";
        EXPECT_EQ(parsed.error.empty(), row.ok);
    }
    for (const char* bad : {"", "  ", "-", ".", "abc", "1.2.3", "1e", "1e+", "e5", "--1", "1 2",
                            "0x10", "1.5f", "inf", "+NaN", "INFINITY"}) {
        float fast = 0;
        EXPECT_FALSE(parseSingle(bad, '.', kEither).ok) << bad;
        EXPECT_FALSE(readSingle(bad, '.', kEither, fast)) << bad;
    }
    float value = 0;
    EXPECT_TRUE(readSingle(" -INF ", '.', kOnly, value) && std::isinf(value) && value < 0);
    EXPECT_TRUE(readSingle("INF", '.', kOnly, value) && std::isinf(value) && value > 0);
    double wide = 0;
    EXPECT_TRUE(readDouble("1234.5", '.', kOnly, wide) && wide == 1234.5);
    EXPECT_TRUE(readSingle("NaN", '.', kOnly, value) && std::isnan(value));
    EXPECT_TRUE(readSingle("-0", '.', kOnly, value) && value == 0.0f && std::signbit(value));
    EXPECT_TRUE(parseDouble("1e39", '.', kOnly).ok);
    EXPECT_FALSE(parseDouble("1e400", '.', kOnly).ok);
}

struct WholeRow {
    const char* text;
    bool ok;
    std::int64_t value;
};

// Both roads (parse, one-pass read) over a table; a failed read leaves the value.
template <typename T, typename Parse, typename Read>
void expectWholeNumbers(std::initializer_list<WholeRow> rows, Parse parse, Read read) {
    for (const WholeRow& row : rows) {
        T fast = 7;
        const NumberParse<T> parsed = parse(row.text);
        EXPECT_EQ(read(row.text, fast), row.ok) << row.text;
        EXPECT_EQ(parsed.ok, row.ok) << row.text;
        EXPECT_EQ(fast, row.ok ? row.value : 7) << row.text;
        EXPECT_EQ(parsed.ok ? parsed.value : 7, row.ok ? row.value : 7) << row.text;
    }
}

TEST(RdmlNumbers, WholeNumbersAreRangeAndSignChecked) {
    expectWholeNumbers<std::int32_t>({{"-2147483648", true, -2147483648LL},
                                      {"+2147483647", true, 2147483647},
                                      {" 42 ", true, 42},
                                      {"2147483648", false, 0},
                                      {"-2147483649", false, 0},
                                      {"99999999999999999999", false, 0},
                                      {"1.0", false, 0},
                                      {"1e3", false, 0},
                                      {"0x1", false, 0},
                                      {"", false, 0},
                                      {"-", false, 0}},
                                     parseInteger, readInteger);
    expectWholeNumbers<std::uint32_t>({{" 4294967295\n", true, 4294967295LL},
                                       {"0", true, 0},
                                       {"4294967296", false, 0},
                                       {"-1", false, 0},
                                       {"-0", false, 0},
                                       {"+1", false, 0},
                                       {"A1", false, 0},
                                       {"1 2", false, 0},
                                       {" ", false, 0}},
                                      parseCardinal, readCardinal);
    // Booleans follow the XML schema: true, false, 1, 0 only.
    EXPECT_TRUE(parseBoolean("true").value && parseBoolean("1").value);
    EXPECT_FALSE(parseBoolean("false").value || parseBoolean(" 0 ").value);
    EXPECT_TRUE(parseBoolean(" 0 ").ok);
    for (const char* bad : {"TRUE", "yes", ""}) EXPECT_FALSE(parseBoolean(bad).ok) << bad;
}

TEST(RdmlNumbers, WrittenTextsUse15DigitsAndReadBackExactly) {
    // 0.1f is exactly 0.100000001490116119384765625, 23.2f is 23.2000007629394531250.
    const std::pair<float, const char*> rows[] = {{0.1f, "0.100000001490116"},
                                                  {-1.0f, "-1"},
                                                  {0.0f, "0"},
                                                  {12.0f, "12"},
                                                  {1.5f, "1.5"},
                                                  {23.2f, "23.2000007629395"},
                                                  {668.43f, "668.429992675781"},
                                                  {123456.0f, "123456"},
                                                  {std::numeric_limits<float>::infinity(), "INF"}};
    for (const auto& [value, text] : rows) EXPECT_EQ(formatSingle(value), text);
    for (float v : {0.1f, -1.0f, 1.0e-7f, 3.0e38f, 1.17549435e-38f, 668.43f, 0.00244379f, 33.56f}) {
        const auto back = parseSingle(formatSingle(v), '.', kOnly);
        EXPECT_TRUE(back.ok && back.value == v) << formatSingle(v);
    }
    for (double v : {0.1, 1e-300, 123456789.123456789})
        EXPECT_EQ(parseDouble(formatDouble(v), '.', kOnly).value, v);
    EXPECT_EQ(formatInteger(-2147483647 - 1), "-2147483648");
    EXPECT_EQ(formatCardinal(4294967295u), "4294967295");
    EXPECT_EQ(formatBoolean(true), "true");
}

// Bits, so that -0 and 0 differ.
template <typename T>
auto bitsOf(T value) {
    return std::bit_cast<std::conditional_t<sizeof(T) == 4, std::uint32_t, std::uint64_t>>(value);
}

// `ok`/`value` of our reader against std::from_chars on the same text.
template <typename T>
void expectLikeFromChars(const std::string& text, bool ok, T value) {
    T expected{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), expected);
    if (ec == std::errc::result_out_of_range) {
        // Beyond the type's range fails; below it reads as zero.
        EXPECT_TRUE(!ok || value == T(0)) << text;
        return;
    }
    ASSERT_TRUE(ec == std::errc() && end == text.data() + text.size() && ok) << text;
    EXPECT_EQ(bitsOf(value), bitsOf(expected)) << text;
}

TEST(RdmlNumbers, RandomDecimalsMatchTheStandardConversionBitForBit) {
    std::mt19937_64 random(20261206);
    std::uniform_int_distribution<int> digitCount(1, 24), digit(0, 9), coin(0, 3),
        exponent(-45, 40);
    for (int k = 0; k < 200000 && !testing::Test::HasFailure(); ++k) {
        // 1 to 24 digits, a point anywhere or none, an exponent or none.
        std::string text = coin(random) == 0 ? "-" : "";
        const int n = digitCount(random);
        const int point = std::uniform_int_distribution<int>(-1, n)(random);
        for (int i = 0; i < n; ++i)
            text +=
                (i == point ? "." : "") + std::string(1, static_cast<char>('0' + digit(random)));
        if (point == n) text += '.';
        if (coin(random) == 0) text += "e" + std::to_string(exponent(random));
        float single = -7.0f;
        double wide = -7.0;
        const bool singleOk = readSingle(text.c_str(), '.', kOnly, single);
        const bool wideOk = readDouble(text.c_str(), '.', kOnly, wide);
        expectLikeFromChars(text, singleOk, single);
        expectLikeFromChars(text, wideOk, wide);
        const NumberParse<float> parsed = parseSingle(text, '.', kOnly);
        const NumberParse<double> parsedWide = parseDouble(text, '.', kOnly);
        expectLikeFromChars(text, parsed.ok, parsed.value);
        expectLikeFromChars(text, parsedWide.ok, parsedWide.value);
        ASSERT_EQ(parsed.ok, singleOk) << text;
    }
}

TEST(RdmlNumbers, Utf8CheckFindsABadByteAtEveryOffset) {
    const std::string ascii(200, 'a');
    EXPECT_EQ(firstInvalidUtf8(ascii), ascii.size());
    for (std::size_t at = 0; at + 1 < ascii.size(); ++at) {
        std::string text = ascii;
        text[at] = '\xFF';
        ASSERT_EQ(firstInvalidUtf8(text), at);
        text.replace(at, 2, "\xC3\xA9");
        ASSERT_EQ(firstInvalidUtf8(text), text.size()) << at;
    }
}

}  // namespace
}  // namespace qurvex
