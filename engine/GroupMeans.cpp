// SPDX-License-Identifier: GPL-3.0-or-later
// Group statistics before a save: which samples make each group's mean
// efficiency, the efficiency outliers around the group median, the Cq-too-low
// flags, the mean efficiency with its standard error, and N0 per sample.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "engine/Engine.h"

namespace qurvex {

namespace {

constexpr double kNoN0 = -999.0;
constexpr double kDefaultInclusionPercent = 5.0;

// A number as the means table shows it (up to 15 significant digits): the
// relative error is taken from the SEM at that precision.
std::string gridnumber(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15g", v);
    return buf;
}

double cellvalue(const std::string& text) {
    double v = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), v);
    return v;
}

// Median of values sorted ascending, with i = Trunc(n/2 + 0.6) counted from 1:
// the mean of values i and i+1 for even n, value i for odd n. None for n = 0.
std::optional<double> sortedmedian(const std::vector<double>& sorted) {
    const std::size_t n = sorted.size();
    if (n == 0) return std::nullopt;
    const std::size_t i = static_cast<std::size_t>(static_cast<double>(n) / 2.0 + 0.6);
    if (n % 2 == 0) return (sorted[i - 1] + sorted[i]) / 2.0;
    return sorted[i - 1];
}

}  // namespace

double TEngine::InclusionPercent(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    double v = 0.0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (!text.empty() && ec == std::errc() && ptr == text.data() + text.size() && std::isfinite(v))
        return v;
    return std::numeric_limits<double>::quiet_NaN();
}

double TEngine::InclusionTolerance() const {
    const double v = options.IncluPercEdit;
    return (std::isfinite(v) ? v : kDefaultInclusionPercent) / 100.0;
}

// The samples of every group: members[0] is every sample, members[g] those
// with ampgroup g (1..ngroups).
static std::vector<std::vector<int>> groupmembers(const TEngine& e) {
    std::vector<std::vector<int>> members(static_cast<std::size_t>(std::max(e.ngroups, 0) + 1));
    for (int s = 1; s <= e.nsamples; ++s) {
        members[0].push_back(s);
        const int g = e.ampgroup[s];
        if (g >= 1 && g <= e.ngroups) members[static_cast<std::size_t>(g)].push_back(s);
    }
    return members;
}

// Median of the efficiencies of the group's samples that are neither excluded
// from the mean nor (when skipoutliers) already outliers.
static std::optional<double> groupmedian(const TEngine& e, const std::vector<int>& members,
                                         bool skipoutliers) {
    std::vector<double> values;
    values.reserve(members.size());
    for (int s : members)
        if (!e.exclmeaneff[s] && !(skipoutliers && e.effoutlier[s]) && std::isfinite(e.indiveff[s]))
            values.push_back(e.indiveff[s]);
    std::sort(values.begin(), values.end());
    return sortedmedian(values);
}

// Marks the group's samples whose efficiency lies more than d from the
// median; with no median none is marked.
static void markoutliers(TEngine& e, const std::vector<int>& members, std::optional<double> median,
                         double d) {
    for (int s : members) {
        e.effoutlier[s] = false;
        if (median && (e.indiveff[s] < *median - d || e.indiveff[s] > *median + d))
            e.effoutlier[s] = true;
    }
}

// Outlier test of one group: a first median over the contributing samples,
// then a second median without the first pass's outliers, which decides.
// Each group decides for its own samples only: the pooled test of group 0
// does not carry into the groups' second medians.
static void findoutliers(TEngine& e, const std::vector<int>& members, double d, bool twopasses) {
    markoutliers(e, members, groupmedian(e, members, false), d);
    if (twopasses) markoutliers(e, members, groupmedian(e, members, true), d);
}

// Every group's outliers (one or two median passes); with ExcludeOutlierCB
// they are left out of the means. The means are then taken as done.
static void markeffoutliers(TEngine& e, const std::vector<std::vector<int>>& members, double d,
                            bool twopasses) {
    for (int s = 1; s <= e.nsamples; ++s) e.effoutlier[s] = false;
    for (const auto& group : members) findoutliers(e, group, d, twopasses);
    if (e.options.ExcludeOutlierCB)
        for (int s = 1; s <= e.nsamples; ++s)
            if (e.effoutlier[s]) e.exclmeaneff[s] = true;
    e.meansdone = true;
}

// Mean and standard deviation of the efficiencies of the group's samples
// without exclmeaneff, from the sums in one pass:
// SD = sqrt((sum e^2 - (sum e)^2 / n) / (n - 1)), SEM = SD / sqrt(n). Equal
// efficiencies can leave a difference of sums a rounding error below 0: SD 0.
static TRunState::TGroupStatistics statisticsof(const TEngine& e, const std::vector<int>& members) {
    TRunState::TGroupStatistics st;
    double sum = 0.0;
    double sumsq = 0.0;
    for (int s : members)
        if (!e.exclmeaneff[s]) {
            ++st.n;
            sum += e.indiveff[s];
            sumsq += e.indiveff[s] * e.indiveff[s];
        }
    if (st.n == 0) return st;
    st.mean = sum / st.n;
    if (st.n < 2) return st;
    const double squares = std::max(sumsq - sum * sum / st.n, 0.0);
    st.sd = std::sqrt(squares / (st.n - 1));
    st.sem = st.sd / std::sqrt(static_cast<double>(st.n));
    // The relative error is taken from the SEM as its cell shows it.
    st.rse = cellvalue(gridnumber(st.sem)) / st.mean;
    return st;
}

void TEngine::calc_mean_ButtonClick() {
    BusyGuard guard(*this);
    if (cqcorrneeded && std::find(ShowSetCBItems.begin(), ShowSetCBItems.end(),
                                  TSubset::cqtoolow) == ShowSetCBItems.end()) {
        ShowSetCBItems.push_back(TSubset::cqtoolow);
        view->subsetschanged();
    }
    const double d = InclusionTolerance();
    const auto members = groupmembers(*this);

    // Exclusions from the mean efficiency.
    options.ExcludeSkippedCB = true;
    for (int s = 1; s <= nsamples; ++s)
        exclmeaneff[s] = (options.ExcludeSkippedCB && skipped[s]) || indiveff[s] < 1.001 ||
                         (options.ExcludeNoPlateauCB && noplateau[s]);

    // Cq too low for a reliable efficiency or N0.
    const int errcol = std::clamp(options.AcceptErrorEffRG, 0, 1);
    const int biascol = std::clamp(options.AcceptBiasN0RG, 0, 1);
    const int offset = CqLimitOffset();
    for (int s = 1; s <= nsamples; ++s) {
        cttoloweff[s] = false;
        cttolown0[s] = false;
        if (cqcorrneeded && ct[s] > 0) {
            const int row = CqLimitRow(indiveff[s]);
            cttoloweff[s] = ct[s] < mincteff[row][errcol] + offset;
            cttolown0[s] = ct[s] < minctn0[row][biascol] + offset;
        }
        if (cqcorrneeded && options.ExcludeTooLowCqCB && cttoloweff[s]) exclmeaneff[s] = true;
    }

    // Efficiency outliers, group 0 (all samples) first.
    markeffoutliers(*this, members, d, true);

    // Mean efficiency per group; every sample takes its group's mean.
    meaneff.assign(static_cast<std::size_t>(ngroups + 1), 1.0);
    meaneffse.assign(static_cast<std::size_t>(ngroups + 1), 0.0);
    groupstatistics.assign(static_cast<std::size_t>(ngroups + 1), TGroupStatistics{});
    for (int g = 0; g <= ngroups; ++g) {
        const TGroupStatistics st = statisticsof(*this, members[g]);
        groupstatistics[g] = st;
        meaneff[g] = st.mean;
        meaneffse[g] = st.sem;
        for (int s : members[g]) sampmeaneff[s] = st.mean;
    }
    fillmeansgrid();

    // N0 = threshold / Emean^Cq.
    for (int s = 1; s <= nsamples; ++s) {
        const bool computable =
            sampmeaneff[s] > 1.001 && ct[s] > 0 && ct[s] < 2.0 * ncycles && indiveff[s] != 1.0;
        meann0[s] =
            computable ? std::pow(10.0, sampftval[s]) / std::pow(sampmeaneff[s], ct[s]) : kNoN0;
    }
}

void TEngine::fillmeansgrid() {
    meansshown = true;
    view->tablechanged(TRunTable::means, 0);
}

void TEngine::WriteSampleDataButtonClick() {
    const double d = InclusionTolerance();
    const auto members = groupmembers(*this);
    options.ExcludeSkippedCB = true;
    for (int s = 1; s <= nsamples; ++s)
        exclmeaneff[s] = (options.ExcludeSkippedCB && skipped[s]) ||
                         (options.ExcludeNoPlateauCB && noplateau[s]);
    markeffoutliers(*this, members, d, false);
    meaneff.assign(static_cast<std::size_t>(ngroups + 1), 1.0);
    meaneffse.assign(static_cast<std::size_t>(ngroups + 1), 0.0);
    for (int g = 0; g <= ngroups; ++g) {
        meaneff[g] = statisticsof(*this, members[g]).mean;
        for (int s : members[g]) sampmeaneff[s] = meaneff[g];
    }

    sampledata.assign(static_cast<std::size_t>(nsamples) + 1, TSampleDataRow{});
    for (int s = 1; s <= nsamples; ++s)
        sampledata[s] = {sampname[s], indiveff[s], sampmeaneff[s], ct[s]};
    view->tablechanged(TRunTable::sampledata, 0);
}

}  // namespace qurvex
