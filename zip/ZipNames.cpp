// SPDX-License-Identifier: GPL-3.0-or-later
#include "zip/ZipNames.h"

#include <algorithm>

namespace qurvex {

namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Cuts everything up to and including the next "/" (one component).
void CutThroughSlash(std::string& s) {
    const auto pos = s.find('/');
    s.erase(0, pos == std::string::npos ? s.size() : pos + 1);
}

}  // namespace

std::string ToZipName(const std::string& path) {
    std::string s = path;
    std::replace(s.begin(), s.end(), '\\', '/');
    const auto drive = s.find(":/");
    if (drive != std::string::npos) s.erase(0, drive + 2);
    if (s.rfind("//", 0) == 0) {
        s.erase(0, 2);
        CutThroughSlash(s);  // server
        CutThroughSlash(s);  // share
    }
    const auto first = s.find_first_not_of('/');
    s.erase(0, first == std::string::npos ? s.size() : first);
    return s;
}

bool SameZipName(const std::string& a, const std::string& b) {
    const std::string x = ToZipName(a);
    const std::string y = ToZipName(b);
    return x.size() == y.size() && std::equal(x.begin(), x.end(), y.begin(), [](char p, char q) {
               return LowerAscii(p) == LowerAscii(q);
           });
}

bool IsSafeEntryPath(const std::string& name) {
    if (name.empty() || name.find('\0') != std::string::npos) return false;
    if (name[0] == '/' || name[0] == '\\') return false;
    std::string s = name;
    std::replace(s.begin(), s.end(), '\\', '/');
    const std::string firstComponent = s.substr(0, s.find('/'));
    if (firstComponent.find(':') != std::string::npos) return false;
    std::size_t start = 0;
    while (start <= s.size()) {
        const auto end = std::min(s.find('/', start), s.size());
        if (s.compare(start, end - start, "..") == 0) return false;
        start = end + 1;
    }
    return true;
}

std::string ZipNameExtension(const std::string& name) {
    std::string s = name;
    std::replace(s.begin(), s.end(), '\\', '/');
    const auto slash = s.rfind('/');
    const auto dot = s.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    return s.substr(dot);
}

}  // namespace qurvex
