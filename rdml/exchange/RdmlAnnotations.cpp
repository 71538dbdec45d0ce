// SPDX-License-Identifier: GPL-3.0-or-later
#include "rdml/exchange/RdmlAnnotations.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace qurvex {

namespace {

bool sameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

// Distinct texts of tissue[1..nsamples], first case variant kept.
std::vector<std::string> distinctTissues(const TRunInput& run) {
    std::vector<std::string> list;
    for (int s = 1; s <= run.nsamples; ++s) {
        const auto& t = run.tissue[static_cast<std::size_t>(s)];
        if (std::none_of(list.begin(), list.end(),
                         [&](const std::string& e) { return sameText(e, t); }))
            list.push_back(t);
    }
    return list;
}

}  // namespace

void FillTissSamples(TRunInput& run) {
    const auto list = distinctTissues(run);
    run.ntissues = static_cast<int>(list.size());
    run.uniquetissues.assign(1, std::string());
    run.uniquetissues.insert(run.uniquetissues.end(), list.begin(), list.end());
}

cubedstringarray SampleIdTable(const TRunInput& run, int& ntissues, int& annotationcount) {
    const auto list = distinctTissues(run);
    cubedstringarray table;
    for (const auto& id : list) table.push_back({{id, std::string(), std::string()}});
    ntissues = static_cast<int>(list.size());
    annotationcount = 1;
    return table;
}

TTextGrid UniqueTissuesGrid(const cubedstringarray& table, int annotationcount, int ntissues) {
    TTextGrid grid;
    const int rows = std::max(0, std::min(ntissues, static_cast<int>(table.size())));
    grid.resize(std::max(1, annotationcount) + 1, rows + 1);
    grid.cell(0, 0) = "ID";
    if (!table.empty())
        for (int a = 0; a < annotationcount && a < static_cast<int>(table[0].size()); ++a)
            grid.cell(a + 1, 0) = table[0][static_cast<std::size_t>(a)][1];
    for (int r = 1; r <= rows; ++r) {
        const auto& sample = table[static_cast<std::size_t>(r - 1)];
        grid.cell(0, r) = sample.empty() ? std::string() : sample[0][0];
        for (const auto& annotation : sample) {
            const std::string& property = annotation[1];
            if (property.empty() && annotation[2].empty()) continue;
            int column = 1;
            while (column < grid.columns() && grid.cell(column, 0) != property) ++column;
            if (column == grid.columns()) {
                grid.addcolumn();
                grid.cell(column, 0) = property;
            }
            grid.cell(column, r) = annotation[2];
        }
    }
    return grid;
}

TTextGrid TissueSamplesGrid(const TTextGrid& unique, const TRunInput& run) {
    TTextGrid grid;
    const int uc = unique.columns();
    grid.resize(uc + 1, run.nsamples + 1);
    grid.cell(0, 0) = "sample name";
    for (int c = 1; c < uc; ++c) grid.cell(c, 0) = unique.cell(c, 0);
    grid.cell(uc, 0) = "ID";
    for (int i = 1; i <= run.nsamples; ++i) {
        const auto& tissue = run.tissue[static_cast<std::size_t>(i)];
        grid.cell(0, i) = run.sampname[static_cast<std::size_t>(i)];
        for (int r = 1; r < unique.rows(); ++r)
            if (unique.cell(0, r) == tissue) {
                for (int c = 1; c < uc; ++c) grid.cell(c, i) = unique.cell(c, r);
                break;
            }
        grid.cell(uc, i) = tissue;
    }
    return grid;
}

}  // namespace qurvex
