// SPDX-License-Identifier: GPL-3.0-or-later
// Sample annotations: the distinct annotations of a run, the numbered
// annotation combinations, user exclusions and the ordinal suffix of a part
// number.
#include "engine/TissueAnnotation.h"

#include <algorithm>

#include "engine/Engine.h"

namespace qurvex {

namespace {

int rowcount(const TCellColumns& table) {
    return table.empty() ? 0 : static_cast<int>(table.front().size());
}

void appendcolumn(TCellColumns& table, const std::string& header) {
    table.emplace_back(static_cast<std::size_t>(std::max(rowcount(table), 1)));
    table.back()[0] = header;
}

// The case-folded texts of columns 1..last of row r: one key per column,
// so ("ab", "c") and ("a", "bc") stay apart.
std::vector<std::string> combination(const TCellColumns& table, int last, int r) {
    std::vector<std::string> key;
    for (int c = 1; c <= last; ++c) key.push_back(identifierkey(table[c][r]));
    return key;
}

}  // namespace

void UniqueAnnotations(TCellColumns& T, TCellColumns& U) {
    if (rowcount(T) == 0) appendcolumn(T, "");
    const int nc = static_cast<int>(T.size());
    const int A = (nc > 1 && T[nc - 1][0] == "ID") ? nc - 1 : nc;
    if (A == nc) appendcolumn(T, "ID");
    U.assign(static_cast<std::size_t>(A), std::vector<std::string>(1));
    U[0][0] = "ID";
    for (int c = 1; c < A; ++c) U[c][0] = T[c][0];
    std::vector<std::vector<std::string>> keys;
    for (int r = 1; r < rowcount(T); ++r) {
        const auto key = combination(T, A - 1, r);
        auto it = std::find(keys.begin(), keys.end(), key);
        if (it == keys.end()) {
            keys.push_back(key);
            U[0].push_back(std::to_string(keys.size()));
            for (int c = 1; c < A; ++c) U[c].push_back(T[c][r]);
            it = keys.end() - 1;
        }
        T[A][r] = std::to_string(it - keys.begin() + 1);
    }
}

void TEngine::FillTissSamples() {
    uniquetissues.assign(1, std::string());
    for (int s = 1; s <= nsamples && s < static_cast<int>(tissue.size()); ++s) {
        const bool known =
            std::any_of(uniquetissues.begin() + 1, uniquetissues.end(),
                        [&](const std::string& t) { return sameidentifier(t, tissue[s]); });
        if (!known) uniquetissues.push_back(tissue[s]);
    }
    ntissues = static_cast<int>(uniquetissues.size()) - 1;
}

bool TEngine::settissues(const std::vector<std::string>& annotations) {
    if (static_cast<int>(annotations.size()) != nsamples) return false;
    tissue.resize(static_cast<std::size_t>(nsamples) + 1);
    std::copy(annotations.begin(), annotations.end(), tissue.begin() + 1);
    tissuesdefined = true;
    FillTissSamples();
    return true;
}

bool TEngine::adduserexclusions(const std::vector<bool>& excluded, int& count) {
    count = 0;
    if (static_cast<int>(excluded.size()) != nsamples) return false;
    for (int s = 1; s <= nsamples; ++s) {
        if (!excluded[static_cast<std::size_t>(s - 1)]) continue;
        skipped[s] = 1;
        userexcluded[s] = 1;
        ++count;
    }
    do_cascade(true, 1, 1);
    return true;
}

std::string TEngine::ordinalsuffix(int n) {
    const int lasttwo = n % 100;
    if (lasttwo >= 11 && lasttwo <= 13) return "th";
    switch (n % 10) {
        case 1:
            return "st";
        case 2:
            return "nd";
        case 3:
            return "rd";
        default:
            return "th";
    }
}

}  // namespace qurvex
