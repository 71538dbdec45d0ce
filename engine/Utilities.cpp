// SPDX-License-Identifier: GPL-3.0-or-later
// Text utilities: identifier cleaning, column letters, rounded edit texts.
#include "engine/Utilities.h"

#include <cmath>
#include <cstdio>

namespace qurvex {

std::string cleanident(std::string_view text) {
  auto isblank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  std::size_t b = 0;
  std::size_t e = text.size();
  while (b < e && isblank(text[b])) ++b;
  while (e > b && isblank(text[e - 1])) --e;
  std::string out(text.substr(b, e - b));
  for (char& c : out) {
    const bool keep = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
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

std::string roundedtext(double v, int decimals) {
  if (std::isnan(v)) return "NAN";
  if (std::isinf(v)) return v > 0 ? "INF" : "-INF";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  std::string s(buf);
  if (s.find('.') != std::string::npos) {
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
  }
  if (s == "-0") s = "0";
  return s;
}

}  // namespace qurvex
