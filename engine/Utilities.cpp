// SPDX-License-Identifier: GPL-3.0-or-later
// Text utilities: identifier cleaning, column letters, rounded edit texts.
#include "engine/Utilities.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace qurvex {

std::string cleanident(std::string_view text) {
    auto isblank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    std::size_t b = 0;
    std::size_t e = text.size();
    while (b < e && isblank(text[b])) ++b;
    while (e > b && isblank(text[e - 1])) --e;
    std::string out(text.substr(b, e - b));
    for (char& c : out) {
        const bool keep =
            (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (!keep) c = '_';
    }
    return out;
}

// sum over k (from the right) of 26^k (upper(c) - 64), truncated after + 0.5.
int colnumber(std::string_view letters) {
    double sum = 0.0;
    double weight = 1.0;
    for (std::size_t i = letters.size(); i-- > 0;) {
        char c = letters[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        sum += weight * (static_cast<unsigned char>(c) - 64);
        weight *= 26.0;
    }
    return static_cast<int>(std::trunc(sum + 0.5));
}

namespace {

char foldcase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::string identifierkey(std::string_view text) {
    std::string key(text);
    for (char& c : key) c = foldcase(c);
    return key;
}

bool sameidentifier(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (foldcase(a[i]) != foldcase(b[i])) return false;
    return true;
}

namespace {

std::string formatrounded(double v, int decimals) {
    if (std::isinf(v)) return v > 0 ? "INF" : "-INF";
    // Fixed notation, correctly rounded, always with '.' whatever the C
    // locale (printf would follow LC_NUMERIC, which a window toolkit may set).
    // A negative count means 6 places, as for printf.
    const int places = decimals < 0 ? 6 : decimals;
    std::string s(static_cast<std::size_t>(places) + 330, '\0');
    const auto [end, ec] =
        std::to_chars(s.data(), s.data() + s.size(), v, std::chars_format::fixed, places);
    s.resize(ec == std::errc() ? static_cast<std::size_t>(end - s.data()) : 0);
    if (s.find('.') != std::string::npos) {
        while (!s.empty() && s.back() == '0') s.pop_back();
        if (!s.empty() && s.back() == '.') s.pop_back();
    }
    if (s == "-0") s = "0";
    return s;
}

}  // namespace

// The window search writes the same few limits over and over: the last
// texts are remembered with their value (bitwise) and decimals.
std::string roundedtext(double v, int decimals) {
    if (std::isnan(v)) return "NAN";
    struct Entry {
        std::uint64_t bits = 0;
        int decimals = -1;
        std::string text;
    };
    constexpr int kSlots = 8;
    thread_local Entry recent[kSlots];
    thread_local int next = 0;
    const auto bits = std::bit_cast<std::uint64_t>(v);
    for (const Entry& e : recent)
        if (e.decimals == decimals && e.bits == bits) return e.text;
    Entry& e = recent[next];
    next = (next + 1) % kSlots;
    e.bits = bits;
    e.decimals = decimals;
    e.text = formatrounded(v, decimals);
    return e.text;
}

namespace {

double parseshown(double v, int decimals) {
    const std::string text = roundedtext(v, decimals);
    double shown = 0.0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), shown);
    if (ec != std::errc() || ptr != text.data() + text.size() || !std::isfinite(shown))
        return std::numeric_limits<double>::quiet_NaN();
    return shown;
}

}  // namespace

// Remembered like roundedtext: the last values with their decimals (bitwise).
double shownvalue(double v, int decimals) {
    if (!std::isfinite(v)) return std::numeric_limits<double>::quiet_NaN();
    struct Entry {
        std::uint64_t bits = 0;
        int decimals = -1;
        double shown = 0.0;
    };
    constexpr int kSlots = 8;
    thread_local Entry recent[kSlots];
    thread_local int next = 0;
    const auto bits = std::bit_cast<std::uint64_t>(v);
    for (const Entry& e : recent)
        if (e.decimals == decimals && e.bits == bits) return e.shown;
    Entry& e = recent[next];
    next = (next + 1) % kSlots;
    e.bits = bits;
    e.decimals = decimals;
    e.shown = parseshown(v, decimals);
    return e.shown;
}

}  // namespace qurvex
