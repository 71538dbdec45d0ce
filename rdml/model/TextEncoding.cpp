// SPDX-License-Identifier: GPL-3.0-or-later
#include "rdml/model/TextEncoding.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <string>

#include "rdml/model/RdmlError.h"

namespace qurvex {

namespace {

bool startsWith(std::string_view bytes, std::initializer_list<unsigned char> prefix) {
    if (bytes.size() < prefix.size()) return false;
    std::size_t i = 0;
    for (unsigned char c : prefix)
        if (static_cast<unsigned char>(bytes[i++]) != c) return false;
    return true;
}

// The value of encoding="..." in a leading XML declaration, lower-cased; empty
// when there is no declaration or no encoding in it.
std::string declaredEncoding(std::string_view bytes) {
    if (bytes.substr(0, 5) != "<?xml") return {};
    const std::size_t end = bytes.find("?>");
    const std::string_view declaration = bytes.substr(0, end);
    std::size_t at = declaration.find("encoding");
    if (at == std::string_view::npos) return {};
    at += 8;
    while (at < declaration.size() && std::isspace(static_cast<unsigned char>(declaration[at])))
        ++at;
    if (at >= declaration.size() || declaration[at] != '=') return {};
    ++at;
    while (at < declaration.size() && std::isspace(static_cast<unsigned char>(declaration[at])))
        ++at;
    if (at >= declaration.size() || (declaration[at] != '"' && declaration[at] != '\'')) return {};
    const char quote = declaration[at++];
    const std::size_t close = declaration.find(quote, at);
    if (close == std::string_view::npos) return {};
    std::string name(declaration.substr(at, close - at));
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return name;
}

bool isLatin1Name(const std::string& name) {
    return name == "iso-8859-1" || name == "iso_8859-1" || name == "latin1" || name == "latin-1" ||
           name == "l1" || name == "iso-ir-100" || name == "cp819" || name == "ibm819" ||
           name == "iso_8859-1:1987";
}

bool isUtf8Name(const std::string& name) {
    return name.empty() || name == "utf-8" || name == "utf8" || name == "us-ascii" ||
           name == "ascii";
}

pugi::xml_encoding requireValidUtf8(std::string_view bytes, std::size_t skipped) {
    const std::size_t bad = firstInvalidUtf8(bytes.substr(skipped));
    if (bad + skipped < bytes.size())
        throw RdmlError("The document is not valid UTF-8: invalid byte sequence at byte offset " +
                        std::to_string(bad + skipped));
    return pugi::encoding_utf8;
}

unsigned unitAt(const unsigned char* b, std::size_t i, std::size_t width, bool bigEndian) {
    unsigned value = 0;
    for (std::size_t k = 0; k < width; ++k) {
        const unsigned byte = b[i + (bigEndian ? k : width - 1 - k)];
        value = (value << 8) | byte;
    }
    return value;
}

// Refuses UTF-16 with unpaired surrogates and UTF-32 outside the code space,
// which a decoder would otherwise turn silently into other characters.
pugi::xml_encoding requireValidWide(std::string_view bytes, pugi::xml_encoding encoding) {
    const bool wide32 = encoding == pugi::encoding_utf32_be || encoding == pugi::encoding_utf32_le;
    const bool bigEndian =
        encoding == pugi::encoding_utf16_be || encoding == pugi::encoding_utf32_be;
    const std::size_t width = wide32 ? 4 : 2;
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    const char* name = wide32 ? "UTF-32" : "UTF-16";
    auto refuse = [&](std::size_t at) {
        throw RdmlError(std::string("The document is not valid ") + name +
                        ": invalid code unit at byte offset " + std::to_string(at));
    };
    if (n % width != 0) refuse(n - n % width);
    for (std::size_t i = 0; i < n; i += width) {
        const unsigned unit = unitAt(b, i, width, bigEndian);
        if (wide32) {
            if (unit > 0x10FFFF || (unit >= 0xD800 && unit <= 0xDFFF)) refuse(i);
            continue;
        }
        if (unit >= 0xDC00 && unit <= 0xDFFF) refuse(i);
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (i + 2 >= n) refuse(i);
            const unsigned low = unitAt(b, i + 2, 2, bigEndian);
            if (low < 0xDC00 || low > 0xDFFF) refuse(i);
            i += 2;
        }
    }
    return encoding;
}

}  // namespace

std::size_t firstInvalidUtf8(std::string_view bytes) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
        // Plain ASCII runs, 32 and then eight bytes at a time.
        while (i + 32 <= n) {
            std::uint64_t words[4];
            std::memcpy(words, b + i, 32);
            if (((words[0] | words[1] | words[2] | words[3]) & 0x8080808080808080ULL) != 0) break;
            i += 32;
        }
        while (i + 8 <= n) {
            std::uint64_t word;
            std::memcpy(&word, b + i, 8);
            if ((word & 0x8080808080808080ULL) != 0) break;
            i += 8;
        }
        if (i >= n) break;
        const unsigned char c = b[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        std::size_t length = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            if (c == 0xE0) low = 0xA0;   // no overlong forms
            if (c == 0xED) high = 0x9F;  // no surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            if (c == 0xF0) low = 0x90;
            if (c == 0xF4) high = 0x8F;  // nothing above U+10FFFF
        } else {
            return i;
        }
        if (i + length > n) return i;
        if (b[i + 1] < low || b[i + 1] > high) return i;
        for (std::size_t k = 2; k < length; ++k)
            if (b[i + k] < 0x80 || b[i + k] > 0xBF) return i;
        i += length;
    }
    return n;
}

pugi::xml_encoding detectXmlEncoding(std::string_view bytes) {
    if (startsWith(bytes, {0xEF, 0xBB, 0xBF})) return requireValidUtf8(bytes, 3);
    if (startsWith(bytes, {0x00, 0x00, 0xFE, 0xFF}) || startsWith(bytes, {0x00, 0x00, 0x00, 0x3C}))
        return requireValidWide(bytes, pugi::encoding_utf32_be);
    if (startsWith(bytes, {0xFF, 0xFE, 0x00, 0x00}) || startsWith(bytes, {0x3C, 0x00, 0x00, 0x00}))
        return requireValidWide(bytes, pugi::encoding_utf32_le);
    if (startsWith(bytes, {0xFE, 0xFF}) || startsWith(bytes, {0x00, 0x3C}))
        return requireValidWide(bytes, pugi::encoding_utf16_be);
    if (startsWith(bytes, {0xFF, 0xFE}) || startsWith(bytes, {0x3C, 0x00}))
        return requireValidWide(bytes, pugi::encoding_utf16_le);
    const std::string name = declaredEncoding(bytes);
    if (isUtf8Name(name)) return requireValidUtf8(bytes, 0);
    if (isLatin1Name(name)) return pugi::encoding_latin1;
    if (name.rfind("utf-16", 0) == 0 || name.rfind("utf-32", 0) == 0)
        throw RdmlError("The document declares the encoding \"" + name +
                        "\" but its bytes are not in that encoding (no byte-order mark, no 16- or "
                        "32-bit \"<\")");
    throw RdmlError(
        "The document is encoded in \"" + name +
        "\", which cannot be read; RDML documents must be in UTF-8, UTF-16 or ISO-8859-1");
}

}  // namespace qurvex
