// SPDX-License-Identifier: GPL-3.0-or-later
#include "rdml/exchange/RdmlInputGrid.h"

#include <algorithm>
#include <charconv>

namespace qurvex {

std::string RdmlInputText(double value) {
    char text[40];
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 15);
    return std::string(text, end.ptr);
}

TRdmlInputGrid::TRdmlInputGrid(const TRunInput& run) {
    const int nsamples = std::max(run.nsamples, 0);
    cells.columns = run.ncycles + 4;
    cells.labels.reserve(static_cast<std::size_t>(nsamples) + 1);
    cells.labels.push_back({"reaction", "sample", "target"});
    cells.fluorescence.resize(static_cast<std::size_t>(nsamples));
    for (int i = 1; i <= nsamples; ++i) {
        const auto s = static_cast<std::size_t>(i);
        cells.labels.push_back({std::to_string(i), run.tissue[s], run.ampname[s]});
        const auto first = run.rawfluor[s].begin() + 1;
        cells.fluorescence[s - 1].assign(first, first + run.npoints[s]);
    }
    // Header cell j comes from the last reaction that has point j: walking
    // back from the last reaction, each one adds the cycles beyond those of
    // the reactions after it.
    for (int i = nsamples; i >= 1; --i) {
        const auto s = static_cast<std::size_t>(i);
        for (auto j = cells.headercycles.size(); j < static_cast<std::size_t>(run.npoints[s]); ++j)
            cells.headercycles.push_back(run.rawcyc[s][j + 1]);
    }
}

bool TRdmlInputGrid::TCells::number(int column, int row, double& value) const {
    if (column < 3 || column >= columns || row < 0 || row >= static_cast<int>(size())) return false;
    const auto j = static_cast<std::size_t>(column - 3);
    const std::vector<double>& values =
        row == 0 ? headercycles : fluorescence[static_cast<std::size_t>(row - 1)];
    if (j >= values.size()) return false;
    value = values[j];
    return true;
}

std::string TRdmlInputGrid::TCells::text(int column, int row) const {
    if (row < 0 || row >= static_cast<int>(size()) || column < 0) return {};
    if (column < 3) return labels[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
    double value = 0.0;
    return number(column, row, value) ? RdmlInputText(value) : std::string();
}

std::vector<std::string> TRdmlInputGrid::TCells::operator[](std::size_t row) const {
    std::vector<std::string> texts(static_cast<std::size_t>(std::max(columns, 0)));
    for (int c = 0; c < columns; ++c)
        texts[static_cast<std::size_t>(c)] = text(c, static_cast<int>(row));
    return texts;
}

}  // namespace qurvex
