// SPDX-License-Identifier: GPL-3.0-or-later
#include "rdml/exchange/RdmlTextProbes.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "rdml/model/XMLNode.h"

namespace qurvex {

namespace {

bool blankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::vector<std::string> words(const std::string& line) {
    std::vector<std::string> list;
    splitdelimited(' ', line, list);
    return list;
}

// The text between the first "<fluor>" and the first "</fluor>" of `line`.
std::string fluorValue(const std::string& line) {
    const auto open = line.find("<fluor>");
    if (open == std::string::npos) return {};
    const auto start = open + std::strlen("<fluor>");
    const auto close = line.find("</fluor>");
    if (close == std::string::npos || close < start) return {};
    return line.substr(start, close - start);
}

}  // namespace

void splitdelimited(char delimiter, const std::string& text, std::vector<std::string>& list) {
    list.clear();
    std::size_t pos = 0;
    const std::size_t n = text.size();
    auto skipBlanks = [&] {
        while (pos < n && blankOrControl(text[pos])) ++pos;
    };
    skipBlanks();
    while (pos < n) {
        std::string token;
        if (text[pos] == '"') {
            ++pos;
            while (pos < n) {
                if (text[pos] == '"') {
                    if (pos + 1 < n && text[pos + 1] == '"') {
                        token += '"';
                        pos += 2;
                        continue;
                    }
                    ++pos;
                    break;
                }
                token += text[pos++];
            }
        } else {
            while (pos < n && !blankOrControl(text[pos]) && text[pos] != delimiter)
                token += text[pos++];
        }
        list.push_back(token);
        skipBlanks();
        if (pos < n && text[pos] == delimiter) {
            ++pos;
            skipBlanks();
        }
    }
}

std::vector<std::string> SplitTextLines(std::string_view text, std::size_t maxlines) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size() && lines.size() < maxlines) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
    }
    return lines;
}

std::vector<std::string> ReadTextLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("Cannot open file " + path);
    const std::string all{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return SplitTextLines(all);
}

std::string GetRDMLversion(const std::string& xmlfile) {
    const auto lines = ReadTextLines(xmlfile);
    std::vector<std::string> list;
    const std::size_t tried = std::min<std::size_t>(lines.size(), 11);
    for (std::size_t i = 0; i < tried; ++i) {
        list = words(lines[i]);
        if (std::any_of(list.begin(), list.end(),
                        [](const std::string& w) { return lower(w) == "<rdml"; }))
            break;
    }
    std::string version = "not found";
    const std::size_t nwords = std::min<std::size_t>(list.size(), 11);
    for (std::size_t w = 0; w < nwords; ++w) {
        const auto at = list[w].find("version");
        if (at == std::string::npos) continue;
        version = at + 9 <= list[w].size() ? list[w].substr(at + 9, 3) : std::string();
        break;
    }
    return version;
}

std::string FirstFluorText(const std::string& xmlfile, int maxlines) {
    const auto lines = ReadTextLines(xmlfile);
    if (lines.size() == 1) return fluorValue(lines[0]);
    const std::size_t tried = std::min<std::size_t>(lines.size(), std::max(0, maxlines));
    for (std::size_t i = 0; i < tried; ++i)
        if (lines[i].find("<fluor>") != std::string::npos) return fluorValue(lines[i]);
    return {};
}

char GetInputSeparator(const std::string& xmlfile) {
    return FirstFluorText(xmlfile, 10001).find('.') != std::string::npos ? '.' : ',';
}

std::string GetRDMLcreator(const std::string& xmlfile) {
    const auto lines = ReadTextLines(xmlfile);
    return GetRDMLcreatorOfText(lines);
}

std::string GetRDMLcreatorOfText(const std::vector<std::string>& lines) {
    const std::size_t tried = std::min<std::size_t>(lines.size(), 11);
    for (std::size_t i = 0; i < tried; ++i)
        for (const auto& w : words(lines[i]))
            if (lower(w) == "qurvex") return "Qurvex";
    return "not found";
}

std::string DocumentVersion(RdmlDocument& document) {
    return document.BindRoot().attribute("version").value();
}

char DocumentSeparator(RdmlDocument& document) {
    const pugi::xml_node fluor = document.Dom().find_node([](pugi::xml_node node) {
        return node.type() == pugi::node_element &&
               std::strcmp(detail::localName(node.name()), "fluor") == 0 &&
               std::strcmp(detail::localName(node.parent().name()), "adp") == 0;
    });
    const std::string text = fluor.child_value();
    const bool comma = text.find(',') != std::string::npos;
    const bool point = text.find('.') != std::string::npos;
    return comma && !point ? ',' : '.';
}

}  // namespace qurvex
