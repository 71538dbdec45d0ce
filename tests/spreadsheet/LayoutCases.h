// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Small blocks in the arrangement of every layout, worked out by hand from the layouts'
// descriptions, shared by the cut tests and the import tests against Calc.

#include <QStringList>
#include <deque>
#include <string>
#include <vector>

#include "spreadsheet/CellBlock.h"

namespace qurvex::test {

// One cell: "" empty, "#..." an error value, "'..." a text as written, a whole number text
// a number, anything else a text.
inline TCellValue C(const QString& s) {
    bool number = false;
    const double v = s.toDouble(&number);
    if (s.isEmpty()) return TCellValue::Empty();
    if (s.startsWith(QLatin1Char('#'))) return TCellValue::Error(s);
    if (s.startsWith(QLatin1Char('\''))) return TCellValue::Text(s.mid(1));
    return number ? TCellValue::Number(v) : TCellValue::Text(s);
}

// A block written as rows separated by ';', cells by '|'.
inline TCellBlock B(const char* text) {
    TCellBlock b;
    for (const QString& row : QString::fromUtf8(text).split(QLatin1Char(';'))) {
        b.emplace_back();
        for (const QString& cell : row.split(QLatin1Char('|'))) b.back().push_back(C(cell));
    }
    return b;
}

// A list written with ',' between the items.
template <class T>
std::vector<T> L(const char* text) {
    std::vector<T> out;
    for (const QString& s : QString::fromUtf8(text).split(QLatin1Char(','))) {
        if constexpr (std::is_same_v<T, std::string>)
            out.push_back(s.toStdString());
        else
            out.push_back(static_cast<T>(s.toDouble()));
    }
    return out;
}

struct TLayoutCase {
    int layout;
    const char* block;
    const char* names;  // samples 1..S
    int ncycles;
    const char* npoints;    // samples 1..S
    const char* cyc1;       // cycles of sample 1
    const char* fluorLast;  // values of the last sample
    std::deque<QString> answers = {};
};

// Two samples of three cycles (layout 18: three samples) in each layout's own arrangement.
inline const std::vector<TLayoutCase>& LayoutCases() {
    static const std::vector<TLayoutCase> cases{
        // two values differ from 0: two points count, and the trailing 0 goes
        {0, "s 1||s2|;x|x|x|x;1|10|1|4;2|0|2|5;3|12|3|6", "s_1,s2", 3, "1,3", "1", "4,5,6"},
        {1, "W|N|1|2|3;A1|gene x|1|2|3;A2|gene y|4|5|6", "A1_gene_x,A2_gene_y", 3, "3,3", "1,2,3",
         "4,5,6"},
        {2, "a|b|c|S1|S2;|||1|4;|||2|5;|||3|6", "S1,S2", 3, "3,3", "1,2,3", "4,5,6"},
        {3, "x|x|x;Cycle|s1|s2;5|1|4;6|2|5;7|3|6", "s1,s2", 3, "3,3", "5,6,7", "4,5,6"},
        {5, "h||;h||;s1||;|1|7;|2|8;|3|9;s2||;|1|4;|2|5;|3|6", "s1,s2", 3, "3,3", "1,2,3", "4,5,6"},
        {6,
         "Well| CYCLE |Target Name| Rn ;A1|1|actb|7;A1|2|actb|8;A1|3|actb|9;B1|1|gapdh|4;"
         "B1|2|gapdh|5;B1|3|gapdh|6",
         "A1_actb,B1_gapdh", 3, "3,3", "1,2,3", "4,5,6"},
        {7,
         "Cycle||A1 x||A2;|1|7|1|4;|2|8|2|5;|3|9|3|6",
         "A1_x,A2",
         3,
         "3,3",
         "1,2,3",
         "4,5,6",
         {QString()}},
        {8, "No|Name|1|2|3;1|std|7|8|9;2|ntc|4|5|6", "1_std,2_ntc", 3, "3,3", "1,2,3", "4,5,6"},
        {9, "a|b|c|d|e|f|1|2|3;A1|s|t|u|v|w|7|8|9;A2|s|t|u|v|w|4|5|6", "A1_s_t_u_v_w,A2_s_t_u_v_w",
         3, "3,3", "1,2,3", "4,5,6"},
        // the values begin in column 4, the one that is checked for a number
        {11, "Well|x|Sample|Cq|1|2|3;A1|x|s1|20.5|7|8|9;A2|x|s2|22|4|5|6", "A1_s1,A2_s2", 4, "4,4",
         "1,2,3,4", "22,4,5,6"},
        {14, "|Cycle|A1|A2;|1|7|4;|2|8|5;|3|9|6", "A1,A2", 3, "3,3", "1,2,3", "4,5,6"},
        {15, "|||||;A1|1|7|A2|1|4;|2|8||2|5;|3|9||3|6", "A1,A2", 3, "3,3", "1,2,3", "4,5,6"},
        {16,
         "Well|Well Position|Cycle|Target Name|Rn|Delta Rn;1|A1|1|RNase P|7|0.1;"
         "1|A1|2|RNase P|8|0.2;1|A1|3|RNase P|9|0.3;2|A2|1|RNase P|4|0.4;2|A2|2|RNase P|5|0.5;"
         "2|A2|3|RNase P|6|0.6",
         "A1_RNase_P,A2_RNase_P", 3, "3,3", "1,2,3", "4,5,6"},
        {17, "Fluorescence\\Cycle|1|2|3;1|7|8|9;A 2|4|5|6", "1,A 2", 3, "3,3", "1,2,3", "4,5,6"},
        {18, "s0|7|7|7;FAM|1|2|3;A1|7|9|8;A 2|4|6|5", "s0_,A1_FAM,A_2_FAM", 3, "3,3,3", "1,2,3",
         "4,6,5"},
        {20, "Cycle|1|2;1|7|4;2|8|5;3|9|6", "1,2", 3, "3,3", "1,2,3", "4,5,6"},
        {21, "s 1|Cycles|;|1|7;|2|8;|3|9;||;s 2|Cycles|;|1|4;|2|5;|3|6;||", "s 1,s 2", 3, "3,3",
         "1,2,3", "4,5,6"},
    };
    return cases;
}

}  // namespace qurvex::test
