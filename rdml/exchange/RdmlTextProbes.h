// SPDX-License-Identifier: GPL-3.0-or-later
// Looks at an RDML document before and beside the XML reader: which version it
// declares, which decimal separator its numbers use, whether this program
// wrote it. The text probes read the file line by line and split lines at
// blanks (they back the developer's check page); the read itself takes the
// version and the separator from the parsed document, which also copes with
// one-line documents, prefixed elements and whole-number values.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "rdml/model/RdmlDocument.h"

namespace qurvex {

// Splits `text` into `list` (cleared first) by the delimited-text rule:
// leading blanks and control characters are skipped; a token that begins with
// a double quote runs to its closing quote (quotes removed, a doubled quote
// stands for one); any other token runs up to the next blank, control
// character or delimiter; one delimiter after a token ends it. With a blank as
// delimiter a line splits into its blank-separated words. Empty text gives an
// empty list.
void splitdelimited(char delimiter, const std::string& text, std::vector<std::string>& list);

// The lines of a text (CR, LF or CRLF ends), at most `maxlines` of them.
std::vector<std::string> SplitTextLines(std::string_view text,
                                        std::size_t maxlines = std::string_view::npos);
// The lines of a file. Throws std::runtime_error naming the file when it
// cannot be opened.
std::vector<std::string> ReadTextLines(const std::string& path);

// Version text declared in the first 11 lines: the 3 characters behind
// `version="` in the first word containing "version" of the line holding the
// word "<rdml" (or of the last line tried). "not found" when there is none.
std::string GetRDMLversion(const std::string& xmlfile);

// The first fluorescence text: the text between the first "<fluor>" and
// "</fluor>" of the only line of a one-line file, else of the first line among
// the first `maxlines` holding "<fluor>"; empty when none.
std::string FirstFluorText(const std::string& xmlfile, int maxlines);
// "." when FirstFluorText (over 10001 lines) contains ".", else ",".
char GetInputSeparator(const std::string& xmlfile);

// "Qurvex" when one of the first 11 lines holds that word (any case), else
// "not found".
std::string GetRDMLcreator(const std::string& xmlfile);
// The same over lines already read.
std::string GetRDMLcreatorOfText(const std::vector<std::string>& lines);

// The `version` attribute of the parsed root element ("" when it has none).
std::string DocumentVersion(RdmlDocument& document);
// The decimal separator of a parsed document: "," when the text of the first
// fluorescence element of an amplification point contains "," and no ".";
// "." otherwise (also for whole numbers and for a document without points).
char DocumentSeparator(RdmlDocument& document);

}  // namespace qurvex
