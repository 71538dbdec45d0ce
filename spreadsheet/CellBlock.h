// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <vector>

namespace qurvex {

// One cell of a block read from or written to the spreadsheet.
struct TCellValue {
    enum class Kind { Empty, Number, Text, Error };
    Kind kind = Kind::Empty;
    double number = 0.0;  // Kind::Number only
    QString text;         // Kind::Text; for Kind::Error the error's display text ("#DIV/0!")

    static TCellValue Empty() { return {}; }
    static TCellValue Number(double v) { return {Kind::Number, v, {}}; }
    static TCellValue Text(const QString& t) { return {Kind::Text, 0.0, t}; }
    static TCellValue Error(const QString& t) { return {Kind::Error, 0.0, t}; }
    bool operator==(const TCellValue&) const = default;
};

// A rectangular block of cells, indexed [row][column] from 0 in the order of the range.
using TCellBlock = std::vector<std::vector<TCellValue>>;

}  // namespace qurvex
