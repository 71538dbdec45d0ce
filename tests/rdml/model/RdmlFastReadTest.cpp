// SPDX-License-Identifier: GPL-3.0-or-later
// The one-pass readers of element texts and the item lists of list views:
// both are shortcuts, so each is checked against an independent road (the
// standard library's conversion, a fresh view, a hand-planted byte).
#include "rdml/model/RDML_v1_2_CR.h"
#include "rdml/model/RdmlError.h"
#include "rdml/model/RdmlNumbers.h"
#include "rdml/model/TextEncoding.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <type_traits>

namespace qurvex {
namespace {

// Random decimal texts of every shape the readers take apart: 1 to 24 digits,
// a point anywhere (or none), an exponent or none.
std::string randomDecimal(std::mt19937_64& random)
{
    std::uniform_int_distribution<int> digitCount(1, 24);
    std::uniform_int_distribution<int> digit(0, 9);
    std::uniform_int_distribution<int> coin(0, 3);
    std::uniform_int_distribution<int> exponent(-45, 40);
    std::string text;
    if (coin(random) == 0)
        text += '-';
    const int n = digitCount(random);
    std::uniform_int_distribution<int> pointAt(-1, n);
    const int point = pointAt(random);
    for (int i = 0; i < n; ++i) {
        if (i == point)
            text += '.';
        text += static_cast<char>('0' + digit(random));
    }
    if (point == n)
        text += '.';
    if (coin(random) == 0)
        text += "e" + std::to_string(exponent(random));
    return text;
}

// The bits of a float or double, so that -0 and 0 (and NaN payloads) differ.
template <typename T>
auto bitsOf(T value)
{
    using Bits = std::conditional_t<sizeof(T) == 4, std::uint32_t, std::uint64_t>;
    return std::bit_cast<Bits>(value);
}

template <typename T>
void expectSameAsFromChars(const std::string& text, bool ok, T value)
{
    T expected{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), expected);
    if (ec == std::errc::result_out_of_range) {
        // Beyond the type's range fails; below it reads as zero.
        if (ok) {
            EXPECT_EQ(value, T(0)) << text;
        }
        return;
    }
    ASSERT_EQ(ec, std::errc()) << text;
    ASSERT_EQ(end, text.data() + text.size()) << text;
    ASSERT_TRUE(ok) << text;
    EXPECT_EQ(bitsOf(value), bitsOf(expected)) << text;
}

TEST(RdmlFastRead, FloatsMatchTheStandardConversionBitForBit)
{
    std::mt19937_64 random(20261206);
    for (int k = 0; k < 200000; ++k) {
        const std::string text = randomDecimal(random);
        float single = -7.0f;
        const bool singleOk = readSingle(text.c_str(), '.', SeparatorRule::documentOnly, single);
        expectSameAsFromChars(text, singleOk, single);
        double wide = -7.0;
        const bool wideOk = readDouble(text.c_str(), '.', SeparatorRule::documentOnly, wide);
        expectSameAsFromChars(text, wideOk, wide);
        // The string_view road agrees with the C-string road.
        const NumberParse<float> parsed = parseSingle(text, '.', SeparatorRule::documentOnly);
        ASSERT_EQ(parsed.ok, singleOk) << text;
        if (singleOk) {
            EXPECT_EQ(bitsOf(parsed.value), bitsOf(single)) << text;
        }
        if (testing::Test::HasFailure())
            return;
    }
}

TEST(RdmlFastRead, FloatsHalfwayBetweenTwoFloatsRoundOnceToEven)
{
    // 2^24 + 1 and 2^24 + 3 lie exactly between two floats: ties go to the
    // even neighbour. A hair above the first goes up.
    float value = 0;
    ASSERT_TRUE(readSingle("16777217", '.', SeparatorRule::documentOnly, value));
    EXPECT_EQ(value, 16777216.0f);
    ASSERT_TRUE(readSingle("16777219.0", '.', SeparatorRule::documentOnly, value));
    EXPECT_EQ(value, 16777220.0f);
    ASSERT_TRUE(readSingle("16777217.000001", '.', SeparatorRule::documentOnly, value));
    EXPECT_EQ(value, 16777218.0f);
    // 1 + 2^-24 (exactly halfway between 1 and the next float) goes to 1.
    ASSERT_TRUE(readSingle("1.000000059604644775390625", '.', SeparatorRule::documentOnly, value));
    EXPECT_EQ(value, 1.0f);
    // 8 + 3 * 2^-21 lies halfway between 8 + 2^-20 (odd last bit) and
    // 8 + 2^-19 (even). 8.000001430511474 is 6.1e-16 below it: closer to that
    // point than to any other double, yet a float below it rounds down.
    ASSERT_TRUE(readSingle("8.000001430511474", '.', SeparatorRule::documentOnly, value));
    EXPECT_EQ(value, 8.00000095367431640625f);
    ASSERT_TRUE(readSingle("8.000001430511475", '.', SeparatorRule::documentOnly, value));
    EXPECT_EQ(value, 8.0000019073486328125f);
    ASSERT_TRUE(readSingle("-0", '.', SeparatorRule::documentOnly, value));
    EXPECT_TRUE(value == 0.0f && std::signbit(value));
}

TEST(RdmlFastRead, ElementTextReadersKeepTheSeparatorAndShapeRules)
{
    float value = 99.0f;
    // The document's separator only, or also "." where the rule allows it.
    EXPECT_TRUE(readSingle("1,5", ',', SeparatorRule::documentOnly, value));
    EXPECT_EQ(value, 1.5f);
    EXPECT_FALSE(readSingle("1.5", ',', SeparatorRule::documentOnly, value));
    EXPECT_TRUE(readSingle("1.5", ',', SeparatorRule::documentOrPoint, value));
    EXPECT_FALSE(readSingle("1,5", '.', SeparatorRule::documentOrPoint, value));
    EXPECT_FALSE(readSingle("1.234,5", ',', SeparatorRule::documentOrPoint, value));
    // White space around the number, signs, special values.
    EXPECT_TRUE(readSingle(" \t-2.5e1\r\n", '.', SeparatorRule::documentOnly, value));
    EXPECT_EQ(value, -25.0f);
    EXPECT_TRUE(readSingle("+.5", '.', SeparatorRule::documentOnly, value));
    EXPECT_EQ(value, 0.5f);
    EXPECT_TRUE(readSingle(" -INF ", '.', SeparatorRule::documentOnly, value));
    EXPECT_TRUE(std::isinf(value) && value < 0);
    EXPECT_TRUE(readSingle("NaN", '.', SeparatorRule::documentOnly, value));
    EXPECT_TRUE(std::isnan(value));
    // A failure leaves the value untouched.
    value = 99.0f;
    for (const char* bad : {"", " ", "-", ".", "1e", "1e+", "--1", "1 2", "0x10", "1.5f", "inf", "+NaN", "INFINITY",
                            "1e39", "-3.5e38", "12345678901234567890123e30"}) {
        EXPECT_FALSE(readSingle(bad, '.', SeparatorRule::documentOrPoint, value)) << bad;
        EXPECT_EQ(value, 99.0f) << bad;
    }
    EXPECT_TRUE(readSingle("1e-50", '.', SeparatorRule::documentOnly, value));
    EXPECT_EQ(value, 0.0f);
}

TEST(RdmlFastRead, WholeNumberReadersKeepRangeAndSignRules)
{
    std::uint32_t cardinal = 7;
    EXPECT_TRUE(readCardinal(" 4294967295\n", cardinal));
    EXPECT_EQ(cardinal, 4294967295u);
    for (const char* bad : {"4294967296", "+1", "-0", "", " ", "1.0", "1 2", "99999999999999999999"})
        EXPECT_FALSE(readCardinal(bad, cardinal)) << bad;
    EXPECT_EQ(cardinal, 4294967295u);
    std::int32_t integer = 7;
    EXPECT_TRUE(readInteger("-2147483648", integer));
    EXPECT_EQ(integer, -2147483647 - 1);
    EXPECT_TRUE(readInteger("+2147483647", integer));
    EXPECT_EQ(integer, 2147483647);
    for (const char* bad : {"2147483648", "-2147483649", "-", "", "1e3", "0x1"})
        EXPECT_FALSE(readInteger(bad, integer)) << bad;
}

TEST(RdmlFastRead, Utf8CheckFindsABadByteAtEveryOffset)
{
    const std::string ascii(200, 'a');
    EXPECT_EQ(firstInvalidUtf8(ascii), ascii.size());
    for (std::size_t at = 0; at < ascii.size(); ++at) {
        std::string text = ascii;
        text[at] = '\xFF';
        ASSERT_EQ(firstInvalidUtf8(text), at);
        // A valid two-byte sequence in the same place passes.
        text[at] = '\xC3';
        if (at + 1 < text.size()) {
            text[at + 1] = '\xA9';
            ASSERT_EQ(firstInvalidUtf8(text), text.size()) << at;
        }
    }
}

using namespace RDML_v1_2_CR;

TXMLDpAmpCurveTypeList pointsOf(RdmlDocument& document)
{
    return GetRdml(document).Get_Experiment().Items(0).Get_Run().Items(0).Get_React().Items(0).Get_Data().Items(0)
        .Get_Adp();
}

TEST(RdmlFastRead, ListViewsSeeEveryChangeMadeThroughAnyView)
{
    RdmlDocument document = RdmlDocument::LoadFromBytes(
        "<rdml xmlns=\"http://www.rdml.org\" version=\"1.2\"><experiment id=\"e\"><run id=\"r\"><react id=\"1\">"
        "<sample id=\"s\"/><data><tar id=\"t\"/>"
        "<adp><cyc>1</cyc><fluor>10</fluor></adp><!-- note --><adp><cyc>2</cyc><fluor>20</fluor></adp>"
        "<adp><cyc>3</cyc><fluor>30</fluor></adp></data></react></run></experiment></rdml>");
    TXMLDpAmpCurveTypeList reader = pointsOf(document);
    ASSERT_EQ(reader.Count(), 3);
    EXPECT_EQ(reader.Items(2).Get_Cyc(), 3u);
    const TXMLDpAmpCurveTypeList copy = reader;

    // Changes through another view of the same list.
    TXMLDpAmpCurveTypeList writer = pointsOf(document);
    writer.Insert(1).Set_Cyc(15);
    ASSERT_EQ(reader.Count(), 4);
    EXPECT_EQ(reader.Items(1).Get_Cyc(), 15u);
    EXPECT_EQ(reader.Items(2).Get_Cyc(), 2u);
    writer.Delete(0);
    ASSERT_EQ(reader.Count(), 3);
    EXPECT_EQ(reader.Items(0).Get_Cyc(), 15u);
    writer.Add().Set_Cyc(4);
    EXPECT_EQ(reader.Items(3).Get_Cyc(), 4u);
    EXPECT_EQ(copy.Count(), 4);
    EXPECT_EQ(copy.Items(3).Get_Cyc(), 4u);
    EXPECT_EQ(writer.Remove(reader.Nodes(1)), 1);
    EXPECT_EQ(copy.Count(), 3);
    EXPECT_THROW(reader.Items(3), RdmlError);
    writer.Clear();
    EXPECT_EQ(reader.Count(), 0);
    EXPECT_THROW(copy.Items(0), RdmlError);

    // Items read before Count(), and out of order, give the same nodes.
    TXMLDpAmpCurveTypeList fresh = pointsOf(document);
    for (int i = 0; i < 3; ++i)
        fresh.Add().Set_Cyc(static_cast<std::uint32_t>(10 + i));
    TXMLDpAmpCurveTypeList again = pointsOf(document);
    EXPECT_EQ(again.Items(2).Get_Cyc(), 12u);
    EXPECT_EQ(again.Items(0).Get_Cyc(), 10u);
    EXPECT_EQ(again.Count(), 3);
    EXPECT_THROW(again.Items(-1), RdmlError);
}

}  // namespace
}  // namespace qurvex
