// SPDX-License-Identifier: GPL-3.0-or-later
// Amplicon groups: identifiers from parts of sample names or typed in,
// numbering of the groups in order of first appearance, and the small
// keystroke rules of the grouping tab's edits.
#include <algorithm>
#include <charconv>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/Engine.h"

namespace qurvex {

namespace {

// Longest part of a name that is split into parts.
constexpr std::size_t kMaxNameLength = 128;

bool isdigitchar(char c) { return c >= '0' && c <= '9'; }
bool isletterchar(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Whole number in text (blanks around it allowed, optional sign); nullopt
// for anything else, empty text included.
std::optional<int> parseinteger(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    int value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

}  // namespace

std::optional<int> TEngine::WholeNumber(std::string_view text) { return parseinteger(text); }

std::optional<std::string> TEngine::extractpart(std::string_view name, int part, char separator,
                                                bool fromback) {
    if (part < 1) return std::nullopt;
    if (name.size() > kMaxNameLength)
        name =
            fromback ? name.substr(name.size() - kMaxNameLength) : name.substr(0, kMaxNameLength);
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t stop = name.find(separator, start);
        if (stop == std::string_view::npos) stop = name.size();
        if (stop > start) parts.push_back(name.substr(start, stop - start));
        start = stop + 1;
    }
    if (static_cast<std::size_t>(part) > parts.size()) return std::nullopt;
    const std::size_t index = fromback ? parts.size() - static_cast<std::size_t>(part)
                                       : static_cast<std::size_t>(part) - 1;
    return std::string(parts[index]);
}

void TEngine::GetAmpliconGroupNumbers() {
    // Identifiers in order of first appearance; the key is the case-folded
    // text, so "ACTB" joins the group that "actb" opened.
    std::vector<std::string> identifiers;
    std::unordered_map<std::string, int> groupofkey;
    if (static_cast<int>(ampgroup.size()) < nsamples + 1) ampgroup.resize(nsamples + 1, 0);
    if (static_cast<int>(ampname.size()) < nsamples + 1) ampname.resize(nsamples + 1);
    for (int s = 1; s <= nsamples; ++s) {
        const auto [it, added] = groupofkey.try_emplace(identifierkey(ampname[s]),
                                                        static_cast<int>(identifiers.size()) + 1);
        if (added) identifiers.push_back(ampname[s]);
        ampgroup[s] = it->second;
    }
    ngroups = static_cast<int>(identifiers.size());
    // The group codes as the grid's column 2 shows them.
    AmpliconGroupGridcode.assign(ampgroup.begin(), ampgroup.begin() + nsamples + 1);

    groupidentifiers.assign(1, std::string());
    groupidentifiers.insert(groupidentifiers.end(), identifiers.begin(), identifiers.end());
    view->tablechanged(TRunTable::groups, 0);
}

bool TEngine::GroupButtonClick() {
    const char separator = options.NameSepEdit;
    const bool bypart = options.groupsource == TEngineOptions::PartXGroupRB;
    std::vector<std::string> newnames;
    if (bypart) {
        // Every name is split before any identifier changes, so a name with too
        // few parts leaves all identifiers as they were.
        const auto part = options.PartWantedEdit;
        if (!part) {
            view->showmessage(TMessageKind::error, "the part number is not a whole number.");
            return false;
        }
        const bool fromback = options.FrontBackRG == 1;
        newnames.resize(nsamples + 1);
        for (int s = 1; s <= nsamples; ++s) {
            auto piece = extractpart(sampname[s], *part, separator, fromback);
            if (!piece) {
                view->showmessage(TMessageKind::error,
                                  "The name of sample " + std::to_string(s) + " (\"" + sampname[s] +
                                      "\") has no part " + std::to_string(*part) +
                                      ". The identifiers are unchanged.");
                return false;
            }
            newnames[s] = std::move(*piece);
        }
    }
    if (options.groupsource == TEngineOptions::AllOneGroupRB)
        std::fill(ampgroup.begin(), ampgroup.end(), 0);
    if (bypart) {
        for (int s = 1; s <= nsamples; ++s) ampname[s] = std::move(newnames[s]);
        fitcache.forgetgroups();
    }
    // Typed identifiers (ManualGrpsRB) and identifiers read from a worksheet
    // are already in ampname: it is the identifier column of the grid.
    GetAmpliconGroupNumbers();
    numgroupsEditChange();
    view->stagechanged(TRunStage::groupsdefined);
    identsdone = false;
    return true;
}

void TEngine::AllOneGroupRBClick() {
    const auto source = options.groupsource;
    if (source == TEngineOptions::AllOneGroupRB) {
        selectcommonwindow();
        identsdone = true;
    } else if (groupsdefined) {
        commonwol = false;
    }
    view->stagechanged(TRunStage::groupsourcechanged);
}

void TEngine::selectcommonwindow() {
    options.CommonGroupWindowRG = 0;
    options.ThresholdsRG = 0;
    view->stagechanged(TRunStage::windowchoicechanged);
    for (int s = 1; s <= nsamples; ++s) {
        uplim[s] = uplim[0];
        lowlim[s] = lowlim[0];
        woltype[s] = 0;
        ampgroup[s] = 0;
    }
    if (groupsdefined) commonwol = true;
    do_cascade(true, 1, 1);
    AssignFtVal(1, nsamples);
    pumpmessages();
    view->stagechanged(TRunStage::commonwindowchosen);
    samplenumChange();
}

void TEngine::numgroupsEditChange() {
    groupsdefined = true;
    commonwol = false;
    ShowGroupCBItems.assign(1, "All");
    for (int g = 1; g <= ngroups; ++g) {
        const bool listed = static_cast<int>(groupidentifiers.size()) > g;
        ShowGroupCBItems.push_back(listed ? groupidentifiers[g] : std::string());
    }
    fitcache.forgetgroups();
    view->stagechanged(TRunStage::groupcountchanged);
}

void TEngine::NameSepEditEnter() {
    options.groupsource = TEngineOptions::PartXGroupRB;
    AllOneGroupRBClick();
}

std::string TEngine::PartWantedEditChange(std::string_view text, std::string& ranklabel) {
    std::string out(text);
    if (!out.empty() && !isdigitchar(out.back())) out.pop_back();
    const int number = out.empty() ? 0 : parseinteger(out).value_or(0);
    switch (number) {
        case 1:
            ranklabel = "st";
            break;
        case 2:
            ranklabel = "nd";
            break;
        case 3:
            ranklabel = "rd";
            break;
        default:
            ranklabel = "th";
            break;
    }
    return out;
}

std::string TEngine::col_rowinChange(std::string_view text, int tag) {
    std::string out(text);
    if (!out.empty() && !isdigitchar(out.back()) && !(tag == 1 && isletterchar(out.back())))
        out.pop_back();
    return out;
}

}  // namespace qurvex
