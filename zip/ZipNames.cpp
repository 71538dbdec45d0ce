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

bool IsUtf8Name(const std::string& name) {
    bool nonAscii = false;
    for (std::size_t i = 0; i < name.size();) {
        const auto byte = [&](std::size_t k) {
            return i + k < name.size() ? unsigned{static_cast<unsigned char>(name[i + k])} : 0u;
        };
        const unsigned lead = byte(0);
        // Length and the allowed range of the second byte (no overlong forms,
        // no surrogates, nothing above U+10FFFF); further bytes are 80..BF.
        std::size_t length = 1;
        unsigned low = 0x80, high = 0xbf;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xc2 && lead <= 0xdf) {
            length = 2;
        } else if (lead >= 0xe0 && lead <= 0xef) {
            length = 3;
            low = lead == 0xe0 ? 0xa0 : 0x80;
            high = lead == 0xed ? 0x9f : 0xbf;
        } else if (lead >= 0xf0 && lead <= 0xf4) {
            length = 4;
            low = lead == 0xf0 ? 0x90 : 0x80;
            high = lead == 0xf4 ? 0x8f : 0xbf;
        } else {
            return false;
        }
        if (byte(1) < low || byte(1) > high) return false;
        for (std::size_t k = 2; k < length; ++k) {
            if ((byte(k) & 0xc0) != 0x80) return false;
        }
        nonAscii = true;
        i += length;
    }
    return nonAscii;
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
