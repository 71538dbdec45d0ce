// SPDX-License-Identifier: GPL-3.0-or-later
// Widths of texts in one font, fast for the numbers that fill the grids.
#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QString>
#include <array>

namespace qurvex {

// The whole pixels a text needs to be drawn uncut: its advance in the font
// (QFontMetricsF::horizontalAdvance), rounded up. A number as the grids write
// it (digits, ".", ",", "-", "+", "e", "E") is summed from its characters'
// advances when the font sets these characters without kerning between them
// (checked once per font); every other text, and every text in a font that
// kerns them, is measured by the font. An empty text is 0 wide.
class TTextWidths {
public:
    explicit TTextWidths(const QFont& font);
    int Width(const QString& text) const;

private:
    QFontMetricsF metrics_;
    // Advances of the number characters in 1/64 pixel, -1 for other characters;
    // all -1 when the font kerns them.
    std::array<int, 128> advance64_{};
};

}  // namespace qurvex
