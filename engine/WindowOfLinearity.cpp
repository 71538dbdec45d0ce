// SPDX-License-Identifier: GPL-3.0-or-later
// The window of linearity: a band on the log10 fluorescence axis, common or
// per amplicon group, from which every sample's regression takes its points,
// and the statistics of a group that place it.
#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>

#include "engine/Engine.h"

namespace qurvex {

namespace {

double round3(double v) { return std::round(v * 1000.0) / 1000.0; }

// Search positions of Set_WoL: k = 0..60.
constexpr int kPositions = 61;

}  // namespace

// A sample belongs to group g when ampgroup[s] = g; every sample belongs to 0.
static bool ingroup(const TEngine& e, int s, int g) { return g == 0 || e.ampgroup[s] == g; }

// E = mean of indiveff over the usable samples; variance
// V = (sum e^2 - (sum e)^2 / n) / (n - 1).
double TEngine::GetMeanEff(int g, double& variance) {
    double sum = 0, sumsq = 0;
    int n = 0;
    for (int s = 1; s <= nsamples; ++s) {
        if (!ingroup(*this, s, g)) continue;
        usedforwol[s] = 0;
        if (skipped[s] || noplateau[s] || shortloglin[s] || !(indiveff[s] > 1.0)) continue;
        usedforwol[s] = 1;
        sum += indiveff[s];
        sumsq += indiveff[s] * indiveff[s];
        ++n;
    }
    if (n < 2) {
        variance = 100.0;
        return 1.0;
    }
    variance = (sumsq - sum * sum / n) / (n - 1);
    return sum / n;
}

double TEngine::GetMeanEff(int g) {
    double v = 0;
    return GetMeanEff(g, v);
}

double TEngine::GetMeanMax(int g) {
    double sum = 0;
    int n = 0;
    for (int s = 1; s <= nsamples; ++s) {
        if (!ingroup(*this, s, g) || skipped[s] || noplateau[s]) continue;
        const int np = npoints[s];
        double largest = 0;
        for (int p = std::max(1, np - 10); p <= np; ++p) largest = std::max(largest, fluor[s][p]);
        sum += largest;
        ++n;
    }
    return n > 0 ? sum / n : std::pow(10.0, logymax);
}

double TEngine::GetMeanFluStop(int g) {
    double sum = 0, highest = 1e-7;
    int n = 0;
    for (int s = 1; s <= nsamples; ++s) {
        if (!ingroup(*this, s, g) || skipped[s]) continue;
        const int np = npoints[s];
        if (!noplateau[s]) {
            if (fstop[s] >= 1 && fstop[s] <= np) {
                sum += fluor[s][fstop[s]];
                ++n;
            }
        } else {
            for (int p = 1; p <= np; ++p) highest = std::max(highest, fluor[s][p]);
        }
    }
    return n > 0 ? sum / n : highest;
}

double TEngine::GetMaxFluStart(int g) {
    double largest = -10;
    for (int s = 1; s <= nsamples; ++s) {
        if (!ingroup(*this, s, g) || skipped[s]) continue;
        const int st = findfstart(s);
        if (st >= 1 && st <= npoints[s]) largest = std::max(largest, fluor[s][st]);
    }
    return 0.999 * largest;
}

// Mean of log10 F[fstop] - log10 F[fstop - 1] over the samples with plateau.
double TEngine::GetLogStepStop(int g) {
    double sum = 0;
    int n = 0;
    for (int s = 1; s <= nsamples; ++s) {
        if (!ingroup(*this, s, g) || skipped[s] || noplateau[s]) continue;
        const int stop = fstop[s];
        if (stop < 2 || stop > npoints[s]) continue;
        sum += std::log10(fluor[s][stop]) - std::log10(fluor[s][stop - 1]);
        ++n;
    }
    return n > 0 ? sum / n : std::log10(1.8);
}

// Points the group edits at group g: g's limits in the edits and the first
// sample of g current. False when no sample lists g's identifier.
bool TEngine::SetAmpGroupNumEditgroups(int g) {
    const std::vector<int>& members = samplesingroup(g);
    if (members.empty()) return false;
    const int first = members.front();
    AmpGroupNumEdit = g;
    setlimitedit(TLimitEdit::GrUpLimEdit, gruplim[g]);
    setlimitedit(TLimitEdit::GrLowLimEdit, grlowlim[g]);
    view->groupshownchanged();
    samplenum = first;
    samplenumChange();
    return true;
}

// Upper limit `upper`, lower limit upper - foldwidth, both rounded to 3
// decimals, applied through the limit edits of the common window (g = 0) or
// of group g. The upper edit is applied with editlock set (limits and points
// only), the lower one refits every sample once.
void TEngine::ApplyLogWindow(int g, double foldwidth, double upper) {
    const double up = round3(upper);
    const double low = round3(upper - foldwidth);
    TLimitEdit upedit = TLimitEdit::cuplimedit, lowedit = TLimitEdit::clowlimedit;
    if (g > 0) {
        if (g >= static_cast<int>(gruplim.size())) return;
        if (!SetAmpGroupNumEditgroups(g)) {
            // No sample carries the group: keep its limits, there is nothing to fit.
            gruplim[g] = up;
            grlowlim[g] = low;
            return;
        }
        upedit = TLimitEdit::GrUpLimEdit;
        lowedit = TLimitEdit::GrLowLimEdit;
    }
    const bool lock = editlock;
    editlock = true;
    applylimitedit(upedit, up);
    editlock = false;
    applylimitedit(lowedit, low);
    editlock = lock;
}

void TEngine::Set_WoL(int g) {
    if (g < 0 || g > ngroups || g >= static_cast<int>(ftval.size()) || nsamples < 1) return;
    BusyGuard guard(*this);
    FitScope search(fitcache);
    // 1. Search table and group means emptied.
    wolsearch = TWoLSearch{};
    wolsearch.group = g;
    meansshown = false;
    view->tablechanged(TRunTable::means, 0);
    view->pageneeded(TRunPage::individualsample);
    int first = 0;
    for (int s = 1; s <= nsamples && first == 0; ++s)
        if (ingroup(*this, s, g)) first = s;
    samplenum = (first == 0 || first == nsamples) ? 1 : first;
    samplenumChange();
    pumpmessages();
    view->setbusycursor(true);
    const int w = wolpoints;
    // Until the window is chosen only this group's limits are edited.
    std::optional<GroupSearchScope> onlythisgroup;
    if (g > 0) onlythisgroup.emplace(fitcache, g);

    // 2, 3. Band under the mean end of the log-linear phases.
    const double meanstop = GetMeanFluStop(g);
    const double maxstart = GetMaxFluStart(g);
    bool skipgroup = meanstop <= 0 || maxstart <= 0;
    double u = 0, l = 0;
    if (!skipgroup) {
        u = std::log10(meanstop);
        l = std::log10(maxstart);
    } else if (!silentmode) {
        warnonce("group skipped");
    }
    double e = 1.0, v = 0;
    if (!skipgroup) {
        ApplyLogWindow(g, w * GetLogStepStop(g), u);
        e = GetMeanEff(g, v);
        pumpmessages();
        if (e < 1.001) skipgroup = true;
    }

    if (skipgroup) {
        // 4. The group falls back on the common limits.
        wolsearch.skipped = true;
        if (g == 0) {
            ApplyLogWindow(0, uplim[0] - lowlim[0], uplim[0]);
        } else {
            ApplyLogWindow(g, uplim[0] - lowlim[0], uplim[0]);
        }
        if (!silentmode) {
            const std::string name = g < static_cast<int>(ShowGroupCBItems.size())
                                         ? ShowGroupCBItems[static_cast<size_t>(g)]
                                         : std::to_string(g);
            const bool onevalid = meanstop > 0 && maxstart >= 0;
            warnonce("Amplicon group \"" + name + "\"" +
                     (onevalid ? " has only one valid sample. Please check your input."
                               : " has no valid samples. Please check your input."));
        }
        onlythisgroup.reset();
        for (int s = 1; s <= nsamples; ++s)
            if (ingroup(*this, s, g)) woltype[s] = 0;
    } else {
        // 5. Slide the band down in steps of 0.2 log10(E).
        std::array<double, kPositions> cv{}, upk{}, fk{};
        double f = w * std::log10(e);
        double maxv = 0;
        int maxk = -1;
        double previousup = u + 2;
        int k = 0;
        for (;; ++k) {
            const double up = u - k * 0.2 * std::log10(e);
            if (up < previousup) {
                ApplyLogWindow(g, f, up);
                e = GetMeanEff(g, v);
                f = std::max(w * std::log10(e), 0.5);
                ApplyLogWindow(g, f, up);
                pumpmessages();
                e = GetMeanEff(g, v);
                cv[k] = v > 0 ? std::sqrt(v) / e : 0.0;
                if (v > maxv) {
                    maxv = v;
                    maxk = k;
                }
                upk[k] = up;
                fk[k] = f;
                wolsearch.rows.push_back({k, up, f, e, cv[k]});
                previousup = up;
            } else {
                v = 0;
            }
            if (up - f / (w / 2.0) < l || k == kPositions - 1 || v < 1e-11) {
                if (v < 1e-11) k = k - 1;
                break;
            }
        }
        // 6. Choice: smallest cv, smoothed over three positions from five on.
        int firstzero = kPositions;  // all positions evaluated: none is below
        for (int j = 0; j < kPositions; ++j)
            if (cv[j] < 1e-6) {
                firstzero = j;
                break;
            }
        const int last = firstzero - 1;
        int best = 0;
        double smallest = cv[0];
        if (last >= 1 && last <= 3) {
            for (int i = 0; i <= last; ++i)
                if (cv[i] < smallest) {
                    smallest = cv[i];
                    best = i;
                }
        } else if (last >= 4) {
            for (int c = 1;; ++c) {
                const double m = (cv[c - 1] + cv[c] + cv[c + 1]) / 3.0;
                if (m < smallest) {
                    smallest = m;
                    best = c;
                }
                if (!(c < last - 1 && c <= maxk)) break;
            }
        }
        wolsearch.finalk = k;
        wolsearch.best = best;
        wolsearch.bestuplim = upk[best];
        wolsearch.bestfoldwidth = fk[best];
        wolsearch.bestcv = cv[best];
        // 7.
        ApplyLogWindow(g, fk[best], upk[best]);
    }
    onlythisgroup.reset();
    view->tablechanged(TRunTable::wolsearch, 0);

    // 8. Defaults.
    const double upper = g == 0 ? uplim[0] : gruplim[g];
    defuplim[g] = upper;
    deflowlim[g] = g == 0 ? lowlim[0] : grlowlim[g];
    // 9. Threshold: half the fluorescence the upper edit shows for the limit
    // in force (10^limit to 3 decimals; a limit clamped to the axis keeps all
    // its decimals). When the edit does not show this group's limit (a group
    // without samples), the same text is made from the limit.
    const TLimitEdit upedit = g == 0 ? TLimitEdit::cuplimedit : TLimitEdit::GrUpLimEdit;
    const bool editshows =
        limitshown[static_cast<size_t>(upedit)] == upper && (g == 0 || AmpGroupNumEdit == g);
    if (editshows) {
        ftval[g] = ftvalfromupperedit(upedit);
    } else {
        const double shown = round3(std::pow(10.0, upper));
        ftval[g] = std::log10(0.5 * (shown > 0 ? shown : std::pow(10.0, upper)));
    }
    if (g > 0) {
        double sum = 0;
        for (int i = 1; i <= ngroups; ++i) sum += ftval[i];
        ftval[0] = sum / ngroups;
    }
    // 10.
    options.ThresholdsRG = 0;
    view->stagechanged(TRunStage::windowchoicechanged);
    AssignFtVal(1, nsamples);
    view->setbusycursor(false);
    view->stagechanged(TRunStage::windowsset);
}

void TEngine::Set_WoL_ButtonClick() {
    if (busy()) return;
    const std::optional<int> g = options.setwolgroupEdit;
    if (!g || *g < 0 || *g > ngroups) {
        view->showmessage(TMessageKind::error, "'" + (g ? std::to_string(*g) : std::string()) +
                                                   "' is not a valid group number");
        return;
    }
    Set_WoL(*g);
}

// noplateau := noamplif or bgerror or fstop = npoints, for group g.
void TEngine::derivenoplateau(int g) {
    for (int s = 1; s <= nsamples; ++s)
        if (ingroup(*this, s, g))
            noplateau[s] = noamplif[s] || bgerror[s] || fstop[s] == npoints[s];
}

void TEngine::SetWolPerGroupButtonClick() {
    if (nsamples < 1) return;
    BusyGuard guard(*this);
    FitScope search(fitcache);
    identsdone = true;
    if (ngroups != 1) {
        for (int g = 1; g <= ngroups && g < static_cast<int>(gruplim.size()); ++g) {
            gruplim[g] = uplim[0];
            grlowlim[g] = lowlim[0];
            ftval[g] = ftval[0];
        }
        selectgroupwindows();
        derivenoplateau(0);
        for (int g = 1; g <= ngroups; ++g) {
            Set_WoL(g);
            AssignNoPlateau(g);
        }
        samplenum = 1;
        samplenumChange();
    } else {
        derivenoplateau(0);
        Set_WoL(0);
        AssignNoPlateau(0);
    }
    view->stagechanged(TRunStage::windowspergroupset);
}

void TEngine::SetWolAfterReadButtonClick() {
    SetWolPerGroupButtonClick();
    view->stagechanged(TRunStage::windowsafterreadset);
}

// Engine side of choosing "amplicon group" windows: with groups defined every
// sample gets its group back from the group codes of the grouping grid (the
// common window set ampgroup to 0; a sample without a code keeps its
// ampgroup), takes its group's limits (woltype 1) and is refitted; without
// groups the warning "there are no groups defined" and the common window.
void TEngine::selectgroupwindows() {
    options.CommonGroupWindowRG = 1;
    options.ThresholdsRG = 1;
    if (groupsdefined) {
        bool regrouped = false;
        for (int s = 1; s <= nsamples; ++s) {
            if (s < static_cast<int>(AmpliconGroupGridcode.size()) &&
                AmpliconGroupGridcode[s] >= 0 && ampgroup[s] != AmpliconGroupGridcode[s]) {
                ampgroup[s] = AmpliconGroupGridcode[s];
                regrouped = true;
            }
        }
        if (regrouped) fitcache.forgetgroups();
        for (int s = 1; s <= nsamples; ++s) {
            const int g = ampgroup[s];
            if (g >= 0 && g < static_cast<int>(gruplim.size())) {
                uplim[s] = gruplim[g];
                lowlim[s] = grlowlim[g];
            }
            woltype[s] = 1;
        }
        commonwol = false;
    } else {
        view->showmessage(TMessageKind::warning, "there are no groups defined");
        options.CommonGroupWindowRG = 0;
        options.ThresholdsRG = 0;
        for (int s = 1; s <= nsamples; ++s) {
            uplim[s] = uplim[0];
            lowlim[s] = lowlim[0];
            woltype[s] = 0;
        }
    }
    view->stagechanged(TRunStage::windowchoicechanged);
    do_cascade(true, 1, 1);
    AssignFtVal(1, nsamples);
    pumpmessages();
}

void TEngine::RecalculateWoLButtonClick() {
    if (busy() || samplenum < 1 || samplenum > nsamples) return;
    const int g = ampgroup[samplenum];
    if (g < 0 || g > ngroups) return;
    BusyGuard guard(*this);
    derivenoplateau(g);
    Set_WoL(g);
    AssignNoPlateau(g);
    ShowSetCBItemIndex = 0;
    view->subsetschanged();
}

bool TEngine::SetWoLwidth1Click() {
    if (busy()) return false;
    std::string value = std::to_string(wolpoints);
    if (!view->inputbox("number of points to include in Window of Linearity",
                        "give number of points: ", value))
        return false;
    return SetWoLwidth(value);
}

bool TEngine::SetWoLwidth(const std::string& text) {
    if (busy()) return false;
    size_t b = 0, e = text.size();
    while (b < e && std::isspace(static_cast<unsigned char>(text[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(text[e - 1]))) --e;
    int w = 0;
    const char* first = text.data() + b;
    const char* end = text.data() + e;
    if (b < e && *first == '+') ++first;
    const auto [ptr, ec] = std::from_chars(first, end, w);
    if (b == e || ec != std::errc() || ptr != end) {
        view->showmessage(TMessageKind::error, "'" + text + "' is not a valid integer value");
        return false;
    }
    if (w < 2 || w > 15) {
        view->showmessage(TMessageKind::error, "The window of linearity takes 2 to 15 points; " +
                                                   std::to_string(wolpoints) + " points are kept.");
        return false;
    }
    wolpoints = w;
    SetWolPerGroupButtonClick();
    return true;
}

}  // namespace qurvex
