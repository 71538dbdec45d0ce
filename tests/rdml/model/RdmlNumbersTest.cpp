// SPDX-License-Identifier: GPL-3.0-or-later
#include "rdml/model/RdmlNumbers.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <random>
#include <string>
#include <limits>

namespace qurvex {
namespace {

TEST(RdmlNumbers, FloatsReadWithTheDocumentSeparatorOnly)
{
    const auto point = SeparatorRule::documentOnly;
    EXPECT_FLOAT_EQ(parseSingle("12", '.', point).value, 12.0f);
    EXPECT_FLOAT_EQ(parseSingle("12.0", '.', point).value, 12.0f);
    EXPECT_FLOAT_EQ(parseSingle(" -1.5e2\n", '.', point).value, -150.0f);
    EXPECT_FLOAT_EQ(parseSingle("+.5", '.', point).value, 0.5f);
    EXPECT_FLOAT_EQ(parseSingle("5.", '.', point).value, 5.0f);
    EXPECT_FLOAT_EQ(parseSingle("1,5", ',', point).value, 1.5f);
    // The classic locale faults: "1,5" must not become 15, "1234.5" must not become 12345.
    EXPECT_FALSE(parseSingle("1,5", '.', point).ok);
    EXPECT_FALSE(parseSingle("1234.5", ',', point).ok);
    EXPECT_FALSE(parseSingle("1.234,5", ',', point).ok);
}

TEST(RdmlNumbers, GenericFloatsAlsoAcceptThePoint)
{
    const auto either = SeparatorRule::documentOrPoint;
    EXPECT_FLOAT_EQ(parseSingle("1.5", ',', either).value, 1.5f);
    EXPECT_FLOAT_EQ(parseSingle("1,5", ',', either).value, 1.5f);
    EXPECT_FALSE(parseSingle("1,5", '.', either).ok);
}

TEST(RdmlNumbers, BadFloatTextsFailWithAReason)
{
    for (const char* text : {"", "  ", "abc", "1.2.3", "1e", "e5", "--1", "1 2", "0x10", ".", "1.5f"}) {
        const auto parsed = parseSingle(text, '.', SeparatorRule::documentOrPoint);
        EXPECT_FALSE(parsed.ok) << text;
        EXPECT_FALSE(parsed.error.empty()) << text;
    }
}

TEST(RdmlNumbers, SingleRangeIsChecked)
{
    const auto rule = SeparatorRule::documentOnly;
    EXPECT_FALSE(parseSingle("1e39", '.', rule).ok);
    EXPECT_FALSE(parseSingle("-3.5e38", '.', rule).ok);
    EXPECT_TRUE(parseSingle("3.4e38", '.', rule).ok);
    EXPECT_TRUE(parseDouble("1e39", '.', rule).ok);
    EXPECT_FALSE(parseDouble("1e400", '.', rule).ok);
    // Values too small for the type read as zero rather than failing.
    const auto tiny = parseSingle("1e-50", '.', rule);
    ASSERT_TRUE(tiny.ok);
    EXPECT_EQ(tiny.value, 0.0f);
    EXPECT_TRUE(parseSingle("0.0000000000000000000000000000000000000000000000001", '.', rule).ok);
    EXPECT_TRUE(std::isinf(parseSingle("-INF", '.', rule).value));
    EXPECT_TRUE(std::isnan(parseSingle("NaN", '.', rule).value));
}

TEST(RdmlNumbers, SingleIsRoundedOnceTo32Bits)
{
    // 16777217 is not a float; the nearest (ties to even) is 16777216.
    EXPECT_EQ(parseSingle("16777217", '.', SeparatorRule::documentOnly).value, 16777216.0f);
    EXPECT_EQ(parseSingle("0.1", '.', SeparatorRule::documentOnly).value, 0.1f);
}

TEST(RdmlNumbers, IntegersAreRangeChecked)
{
    EXPECT_EQ(parseInteger("-2147483648").value, std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(parseInteger("+2147483647").value, 2147483647);
    EXPECT_EQ(parseInteger(" 42 ").value, 42);
    EXPECT_FALSE(parseInteger("2147483648").ok);
    EXPECT_FALSE(parseInteger("-2147483649").ok);
    EXPECT_FALSE(parseInteger("99999999999999999999").ok);
    EXPECT_FALSE(parseInteger("1.0").ok);
    EXPECT_FALSE(parseInteger("").ok);
    EXPECT_FALSE(parseInteger("-").ok);
}

TEST(RdmlNumbers, CardinalsRejectAnySign)
{
    EXPECT_EQ(parseCardinal("4294967295").value, 4294967295u);
    EXPECT_EQ(parseCardinal("0").value, 0u);
    EXPECT_FALSE(parseCardinal("4294967296").ok);
    EXPECT_FALSE(parseCardinal("-1").ok);
    EXPECT_FALSE(parseCardinal("+1").ok);
    EXPECT_FALSE(parseCardinal("A1").ok);
    EXPECT_FALSE(parseCardinal("").ok);
}

TEST(RdmlNumbers, BooleansFollowTheXmlSchema)
{
    EXPECT_TRUE(parseBoolean("true").value);
    EXPECT_TRUE(parseBoolean("1").value);
    EXPECT_FALSE(parseBoolean("false").value);
    EXPECT_TRUE(parseBoolean(" 0 ").ok);
    EXPECT_FALSE(parseBoolean("TRUE").ok);
    EXPECT_FALSE(parseBoolean("yes").ok);
    EXPECT_FALSE(parseBoolean("").ok);
}

TEST(RdmlNumbers, SinglesAreWrittenWith15SignificantDigits)
{
    // 0.1f is exactly 0.100000001490116119384765625.
    EXPECT_EQ(formatSingle(0.1f), "0.100000001490116");
    EXPECT_EQ(formatSingle(-1.0f), "-1");
    EXPECT_EQ(formatSingle(0.0f), "0");
    EXPECT_EQ(formatSingle(12.0f), "12");
    EXPECT_EQ(formatSingle(1.5f), "1.5");
    // 23.2f is exactly 23.2000007629394531250.
    EXPECT_EQ(formatSingle(23.2f), "23.2000007629395");
    EXPECT_EQ(formatSingle(668.43f), "668.429992675781");
    EXPECT_EQ(formatSingle(123456.0f), "123456");
    EXPECT_EQ(formatSingle(std::numeric_limits<float>::infinity()), "INF");
}

TEST(RdmlNumbers, WrittenTextsReadBackToTheSameSingle)
{
    for (float v : {0.1f, -1.0f, 1.0e-7f, 3.0e38f, 1.17549435e-38f, 668.43f, 0.00244379f, 33.56f}) {
        const auto back = parseSingle(formatSingle(v), '.', SeparatorRule::documentOnly);
        ASSERT_TRUE(back.ok) << formatSingle(v);
        EXPECT_EQ(back.value, v) << formatSingle(v);
    }
    for (double v : {0.1, 1e-300, 123456789.123456789}) {
        EXPECT_EQ(parseDouble(formatDouble(v), '.', SeparatorRule::documentOnly).value, v);
    }
}

TEST(RdmlNumbers, IntegersAndBooleansAreWrittenPlainly)
{
    EXPECT_EQ(formatInteger(-2147483647 - 1), "-2147483648");
    EXPECT_EQ(formatCardinal(4294967295u), "4294967295");
    EXPECT_EQ(formatBoolean(true), "true");
}

}  // namespace
}  // namespace qurvex

namespace qurvex {
namespace {

// Every plain decimal text reads to the float (and double) that an independent
// correctly rounding reader (std::from_chars) gives, also near the halfway
// points between two floats.
TEST(RdmlNumbers, PlainDecimalsAreCorrectlyRounded)
{
    std::mt19937_64 random(20261206);
    std::uniform_int_distribution<int> length(1, 17);
    std::uniform_int_distribution<int> digit(0, 9);
    for (int n = 0; n < 50000; ++n) {
        std::string text = n % 2 ? "-" : "";
        const int integerDigits = length(random) % 9;
        const int fractionDigits = length(random);
        for (int i = 0; i < integerDigits; ++i)
            text += static_cast<char>('0' + digit(random));
        if (integerDigits == 0)
            text += '0';
        text += '.';
        for (int i = 0; i < fractionDigits; ++i)
            text += static_cast<char>('0' + digit(random));
        float expectedSingle = 0;
        double expectedDouble = 0;
        std::from_chars(text.data(), text.data() + text.size(), expectedSingle);
        std::from_chars(text.data(), text.data() + text.size(), expectedDouble);
        ASSERT_EQ(parseSingle(text, '.', SeparatorRule::documentOnly).value, expectedSingle) << text;
        ASSERT_EQ(parseDouble(text, '.', SeparatorRule::documentOnly).value, expectedDouble) << text;
    }
    // Halfway cases of short texts: ties go to the even float.
    EXPECT_EQ(parseSingle("16777219", '.', SeparatorRule::documentOnly).value, 16777220.0f);
    EXPECT_EQ(parseSingle("16777217.0", '.', SeparatorRule::documentOnly).value, 16777216.0f);
    // Exactly halfway between the floats 1 and 1 + 2^-23 (ties to even: 1).
    EXPECT_EQ(parseSingle("1.00000005960464477539062500", '.', SeparatorRule::documentOnly).value, 1.0f);
    EXPECT_EQ(parseSingle("1.0000000596046448", '.', SeparatorRule::documentOnly).value, 1.00000011920928955f);
}

}  // namespace
}  // namespace qurvex
