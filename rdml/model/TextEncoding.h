// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <pugixml.hpp>
#include <string_view>

namespace qurvex {

// The encoding in which the bytes of an XML document must be decoded.
// Byte-order marks decide first (UTF-8, UTF-16 and UTF-32 in either byte
// order); without a mark, a document that starts with "<" in UTF-16/UTF-32 is
// taken as such; otherwise the encoding declared in "<?xml ... encoding=...?>"
// decides: none, UTF-8 or US-ASCII give UTF-8, ISO-8859-1 (latin1) gives
// latin1. Throws RdmlError for any other declared encoding, and for UTF-8 text
// that holds an invalid byte sequence (with its byte offset).
pugi::xml_encoding detectXmlEncoding(std::string_view bytes);

// Offset of the first byte that does not belong to a valid UTF-8 sequence
// (overlong forms, surrogates and values above U+10FFFF are invalid), or
// bytes.size() when all are valid.
std::size_t firstInvalidUtf8(std::string_view bytes);

}  // namespace qurvex
