// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Small blocks in the arrangement of every layout, worked out by hand from the layouts'
// descriptions, shared by the cut tests and the import tests against Calc.

#include <QString>
#include <cstdlib>
#include <deque>
#include <string>
#include <vector>

#include "spreadsheet/CellBlock.h"

namespace qurvex::test {

// "" empty, "#..." an error value, "'..." a text as written, a whole number text a number,
// anything else a text.
inline TCellValue C(const std::string& s) {
    if (s.empty()) return TCellValue::Empty();
    if (s[0] == '#') return TCellValue::Error(QString::fromStdString(s));
    if (s[0] == '\'') return TCellValue::Text(QString::fromStdString(s.substr(1)));
    char* end = nullptr;
    const double v = std::strtod(s.c_str(), &end);
    if (*end == '\0') return TCellValue::Number(v);
    return TCellValue::Text(QString::fromStdString(s));
}

inline TCellBlock B(const std::vector<std::vector<std::string>>& rows) {
    TCellBlock b;
    for (const auto& r : rows) {
        b.emplace_back();
        for (const auto& s : r) b.back().push_back(C(s));
    }
    return b;
}

struct TLayoutCase {
    int layout;
    TCellBlock block;
    std::vector<std::string> names;  // samples 1..S
    int ncycles;
    std::vector<int> npoints;       // samples 1..S
    std::vector<double> cyc1;       // cycles of sample 1
    std::vector<double> fluorLast;  // values of the last sample
    std::deque<QString> answers = {};
    bool baselinecorrected = false;
};

// Two samples of three cycles in each layout's own arrangement.
inline std::vector<TLayoutCase> LayoutCases() {
    return {
        {0,
         B({{"s 1", "", "s2", ""},
            {"x", "x", "x", "x"},
            {"1", "10", "1", "4"},
            {"2", "0", "2", "5"},
            {"3", "12", "3", "6"}}),
         {"s_1", "s2"},
         3,
         {1, 3},
         {1},  // two values differ from 0: two points count, and the trailing 0 goes
         {4, 5, 6}},
        {1,
         B({{"Well", "Name", "c1", "c2", "c3"},
            {"A1", "gene x", "1", "2", "3"},
            {"A2", "gene y", "4", "5", "6"}}),
         {"A1_gene_x", "A2_gene_y"},
         3,
         {3, 3},
         {1, 2, 3},
         {4, 5, 6}},
        {2,
         B({{"a", "b", "c", "S1", "S2"},
            {"", "", "", "1", "4"},
            {"", "", "", "2", "5"},
            {"", "", "", "3", "6"}}),
         {"S1", "S2"},
         3,
         {3, 3},
         {1, 2, 3},
         {4, 5, 6}},
        {3,
         B({{"x", "x", "x"},
            {"Cycle", "s1", "s2"},
            {"5", "1", "4"},
            {"6", "2", "5"},
            {"7", "3", "6"}}),
         {"s1", "s2"},
         3,
         {3, 3},
         {5, 6, 7},
         {4, 5, 6}},
        {5,
         B({{"h", "", ""},
            {"h", "", ""},
            {"s1", "", ""},
            {"", "1", "7"},
            {"", "2", "8"},
            {"", "3", "9"},
            {"s2", "", ""},
            {"", "1", "4"},
            {"", "2", "5"},
            {"", "3", "6"}}),
         {"s1", "s2"},
         3,
         {3, 3},
         {1, 2, 3},
         {4, 5, 6}},
        {6,
         B({{"Well", " CYCLE ", "Target Name", " Rn "},
            {"A1", "1", "actb", "7"},
            {"A1", "2", "actb", "8"},
            {"A1", "3", "actb", "9"},
            {"B1", "1", "gapdh", "4"},
            {"B1", "2", "gapdh", "5"},
            {"B1", "3", "gapdh", "6"}}),
         {"A1_actb", "B1_gapdh"},
         3,
         {3, 3},
         {1, 2, 3},
         {4, 5, 6}},
        {7,
         B({{"Cycle", "", "A1 x", "", "A2"},
            {"", "1", "7", "1", "4"},
            {"", "2", "8", "2", "5"},
            {"", "3", "9", "3", "6"}}),
         {"A1_x", "A2"},
         3,
         {3, 3},
         {1, 2, 3},
         {4, 5, 6},
         {QString()}},
        {8,
         B({{"No", "Name", "1", "2", "3"},
            {"1", "std", "7", "8", "9"},
            {"2", "ntc", "4", "5", "6"}}),
         {"1_std", "2_ntc"},
         3,
         {3, 3},
         {1, 2, 3},
         {4, 5, 6}},
        {9,
         B({{"a", "b", "c", "d", "e", "f", "1", "2", "3"},
            {"A1", "s", "t", "u", "v", "w", "7", "8", "9"},
            {"A2", "s", "t", "u", "v", "w", "4", "5", "6"}}),
         {"A1_s_t_u_v_w", "A2_s_t_u_v_w"},
         3,
         {3, 3},
         {1, 2, 3},
         {4, 5, 6}},
        {11,
         B({{"Well", "x", "Sample", "Cq", "1", "2", "3"},
            {"A1", "x", "s1", "20.5", "7", "8", "9"},
            {"A2", "x", "s2", "22", "4", "5", "6"}}),
         {"A1_s1", "A2_s2"},
         4,
         {4, 4},
         {1, 2, 3, 4},
         {22, 4, 5, 6}},
        {14,
         B({{"", "Cycle", "A1", "A2"},
            {"", "1", "7", "4"},
            {"", "2", "8", "5"},
            {"", "3", "9", "6"}}),
         {"A1", "A2"},
         3,
         {3, 3},
         {1, 2, 3},
         {4, 5, 6}},
        {15,
         B({{"", "", "", "", "", ""},
            {"A1", "1", "7", "A2", "1", "4"},
            {"", "2", "8", "", "2", "5"},
            {"", "3", "9", "", "3", "6"}}),
         {"A1", "A2"},
         3,
         {3, 3},
         {1, 2, 3},
         {4, 5, 6}},
        {16,
         B({{"Well", "Well Position", "Cycle", "Target Name", "Rn", "Delta Rn"},
            {"1", "A1", "1", "RNase P", "7", "0.1"},
            {"1", "A1", "2", "RNase P", "8", "0.2"},
            {"1", "A1", "3", "RNase P", "9", "0.3"},
            {"2", "A2", "1", "RNase P", "4", "0.4"},
            {"2", "A2", "2", "RNase P", "5", "0.5"},
            {"2", "A2", "3", "RNase P", "6", "0.6"}}),
         {"A1_RNase_P", "A2_RNase_P"},
         3,
         {3, 3},
         {1, 2, 3},
         {4, 5, 6}},
        {17,
         B({{"Fluorescence\\Cycle", "1", "2", "3"}, {"1", "7", "8", "9"}, {"A 2", "4", "5", "6"}}),
         {"1", "A 2"},
         3,
         {3, 3},
         {1, 2, 3},
         {4, 5, 6}},
        {18,
         B({{"s0", "7", "7", "7"},
            {"FAM", "1", "2", "3"},
            {"A1", "7", "9", "8"},
            {"A 2", "4", "6", "5"}}),
         {"s0_", "A1_FAM", "A_2_FAM"},
         3,
         {3, 3, 3},
         {1, 2, 3},
         {4, 6, 5}},
        {20,
         B({{"Cycle", "1", "2"}, {"1", "7", "4"}, {"2", "8", "5"}, {"3", "9", "6"}}),
         {"1", "2"},
         3,
         {3, 3},
         {1, 2, 3},
         {4, 5, 6}},
        {21,
         B({{"s 1", "Cycles", ""},
            {"", "1", "7"},
            {"", "2", "8"},
            {"", "3", "9"},
            {"", "", ""},
            {"s 2", "Cycles", ""},
            {"", "1", "4"},
            {"", "2", "5"},
            {"", "3", "6"}}),
         {"s 1", "s 2"},
         3,
         {3, 3},
         {1, 2, 3},
         {4, 5, 6}},
    };
}

}  // namespace qurvex::test
