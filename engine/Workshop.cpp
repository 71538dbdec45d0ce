// SPDX-License-Identifier: GPL-3.0-or-later
// The baseline trend, its reset, the workshop table and the plateau level.
#include "engine/Workshop.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace qurvex {

namespace {

// The whole text (blanks around it ignored) as a decimal integer.
std::optional<int> wholenumber(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return std::nullopt;
    const auto last = text.find_last_not_of(" \t");
    const char* b = text.data() + first;
    const char* e = text.data() + last + 1;
    if (*b == '+') ++b;
    int v = 0;
    const auto [end, ec] = std::from_chars(b, e, v);
    if (ec != std::errc() || end != e) return std::nullopt;
    return v;
}

long long whole(int v) { return static_cast<long long>(v); }

}  // namespace

bool TWorkshop::refuse(TMessageKind kind, const std::string& text, std::string* message) {
    e_.view->showmessage(kind, text);
    if (message != nullptr) *message = text;
    return false;
}

bool TWorkshop::BaselineTrend(const std::string& begintext, const std::string& endtext,
                              std::string* message) {
    if (!e_.baselinedone)
        return refuse(TMessageKind::information,
                      "First determine Qurvex baseline by pressing the red button", message);
    if (e_.busy())
        return refuse(TMessageKind::warning, "Another operation is still running.", message);
    if (e_.nsamples < 1) return refuse(TMessageKind::warning, "There are no samples.", message);
    int fewest = e_.nrawpoints[1];
    for (int s = 2; s <= e_.nsamples; ++s) fewest = std::min(fewest, e_.nrawpoints[s]);
    const auto b = wholenumber(begintext);
    const auto e = wholenumber(endtext);
    if (!b || !e || *b < 1 || *b >= *e || *e > fewest)
        return refuse(TMessageKind::warning,
                      "Begin and end cycle must be whole numbers with 1 <= begin < end <= " +
                          std::to_string(fewest) + " (the fewest points of a sample).",
                      message);

    TEngine::BusyGuard busy(e_);
    for (int s = 1; s <= e_.nsamples; ++s) {
        double sl = 0, ic = 0;
        e_.rrawcalc(s, *b, *e, sl, ic);
        e_.bgarr[s] = ic;
        e_.bgslope[s] = sl;
    }
    for (int s = 1; s <= e_.nsamples; ++s) {
        const auto& rc = e_.rawcyc[s];
        const auto& rf = e_.rawfluor[s];
        for (int p = 1; p <= e_.nrawpoints[s]; ++p) {
            e_.cyc[s][p] = rc[p];
            e_.fluor[s][p] = rf[p] - (e_.bgslope[s] * rc[p] + e_.bgarr[s]);
        }
        e_.cleanupfluor(s, false);
    }
    e_.do_cascade(true, 1, 1);
    e_.bgtrendset = true;
    return true;
}

bool TWorkshop::ResetDefbgarr() {
    if (e_.busy() || e_.nsamples < 1) return false;
    TEngine::BusyGuard busy(e_);
    for (int s = 1; s <= e_.nsamples; ++s) {
        e_.bgarr[s] = e_.defbgarr[s];
        e_.bgslope[s] = 0;
        for (int p = 1; p <= e_.nrawpoints[s]; ++p) e_.cyc[s][p] = e_.rawcyc[s][p];
        e_.recomputefluor(s, false);
    }
    e_.do_cascade(true, 1, 1);
    e_.bgtrendset = false;
    return true;
}

TDiagnosticGrid TWorkshop::FillGrid(const std::string& annotationtitle) const {
    TDiagnosticGrid g(11, e_.nsamples + 1);
    const char* const titles[] = {
        "Nr",      "Sample_Name", "Amplicon", "",          "Baseline_constant", "Baseline_slope",
        "Plateau", "Nq",          "Cq",       "Eff_Indiv", "N0_indiv"};
    for (int c = 0; c < 11; ++c) g.set(c, 0, std::string(titles[c]));
    g.set(3, 0, annotationtitle);
    for (int s = 1; s <= e_.nsamples; ++s) {
        g.set(0, s, whole(s));
        g.set(1, s, e_.sampname[s]);
        g.set(2, s, e_.ampname[s]);
        g.set(3, s, e_.tissue[s]);
        g.set(4, s, e_.bgarr[s]);
        g.set(5, s, e_.bgslope[s]);
        g.set(6, s, GetPlateau(s));
        g.set(7, s, e_.sampftval[s]);
        g.set(8, s, e_.ct[s]);
        g.set(9, s, e_.indiveff[s]);
        g.set(10, s, e_.indivn0[s]);
    }
    return g;
}

double TWorkshop::GetPlateau(int s) const {
    if (s < 1 || s > e_.nsamples || e_.noplateau[s] || e_.noamplif[s]) return -999;
    const int n = e_.npoints[s];
    double sum = 0;
    int count = 0;
    for (int p = std::max(1, n - 3); p <= n; ++p)
        if (p > e_.fstop[s] + 2) {
            sum += e_.fluor[s][p];
            ++count;
        }
    return count > 0 ? sum / count : -999;
}

}  // namespace qurvex
