// SPDX-License-Identifier: GPL-3.0-or-later
// Limits below which a Cq is too low for a reliable efficiency or N0. The
// limits depend on the sample's efficiency, on the error the user accepts
// and, through an offset, on the chemistry and the kind of input.
#include <algorithm>
#include <cmath>

#include "engine/Engine.h"

namespace qurvex {

namespace {

// [efficiency row][accepted error]: column 0 for an efficiency error of
// 0.01, column 1 for 0.001.
constexpr int kMinCtEff[11][2] = {{28, 40}, {28, 40}, {19, 32}, {16, 24}, {14, 20}, {12, 18},
                                  {11, 16}, {11, 15}, {10, 14}, {10, 13}, {9, 13}};
// [efficiency row][accepted bias]: column 0 for an N0 bias of 5 %, column 1
// for 1 %.
constexpr int kMinCtN0[11][2] = {{40, 40}, {40, 40}, {27, 38}, {19, 27}, {16, 21}, {13, 18},
                                 {12, 16}, {11, 15}, {10, 13}, {9, 12},  {9, 12}};

}  // namespace

void TEngine::FillCqLimitTables() {
    for (int row = 0; row < 11; ++row)
        for (int col = 0; col < 2; ++col) {
            mincteff[row][col] = kMinCtEff[row][col];
            minctn0[row][col] = kMinCtN0[row][col];
        }
}

// row = Trunc(10 E - 9), kept within 0..10: E 1.0 -> 1, 1.85 -> 9, >= 1.9 -> 10.
int TEngine::CqLimitRow(double efficiency) {
    const double row = std::trunc(10.0 * efficiency - 9.0);
    if (!(row > 0.0)) return 0;  // also NaN
    return row >= 10.0 ? 10 : static_cast<int>(row);
}

// 1 for a labelled reverse primer on ds-DNA, 4 for a DNA-zyme probe on
// ds-DNA, 6 for a DNA-zyme probe on ss-cDNA, 0 otherwise.
int TEngine::CqLimitOffset() const {
    if (chemistry == 5 && inputtype == 2) return 1;
    if (chemistry == 6 && inputtype == 2) return 4;
    if (chemistry == 6 && inputtype == 1) return 6;
    return 0;
}

}  // namespace qurvex
