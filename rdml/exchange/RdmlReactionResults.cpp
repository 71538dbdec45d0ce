// SPDX-License-Identifier: GPL-3.0-or-later
#include "rdml/exchange/RdmlReactionResults.h"

#include <array>
#include <cmath>
#include <cstdio>

#include "engine/CqCorrection.h"

namespace qurvex {

namespace {

bool flag(const boolarray& flags, int i) {
    return i >= 0 && static_cast<std::size_t>(i) < flags.size() && flags[i] != 0;
}

double value(const std::vector<double>& values, int i) {
    return i >= 0 && static_cast<std::size_t>(i) < values.size() ? values[i] : 0.0;
}

constexpr std::array<const char*, 4> kExclusionTexts = {
    "no_amplif", "skipped_by_user", "baseline_error", "eff_outlier_and_no_plateau"};

}  // namespace

void ApplyExclusionRule(TRunState& run) {
    if (run.non0.size() < static_cast<std::size_t>(run.nsamples) + 1)
        run.non0.resize(run.nsamples + 1);
    for (int i = 1; i <= run.nsamples; ++i) {
        const bool excluded = flag(run.noamplif, i) || flag(run.userexcluded, i) ||
                              (flag(run.bgerror, i) && !flag(run.manualbg, i)) ||
                              (flag(run.effoutlier, i) && flag(run.noplateau, i));
        run.non0[i] = excluded ? 1 : 0;
    }
}

std::string ExclusionText(const TRunState& run, int i) {
    if (flag(run.noamplif, i)) return kExclusionTexts[0];
    std::string text;
    if (flag(run.userexcluded, i)) text = kExclusionTexts[1];
    if (flag(run.bgerror, i)) text = kExclusionTexts[2];
    if (flag(run.effoutlier, i) && flag(run.noplateau, i)) text = kExclusionTexts[3];
    return text;
}

bool IsQurvexExclusionText(std::string_view text) {
    for (const char* t : kExclusionTexts)
        if (text == t) return true;
    return false;
}

std::string RdmlDyeId(int chemistry) {
    static constexpr std::array<const char*, 7> kDyes = {
        "non-saturating DNA binding dye", "hydrolysis probe",        "hybridization probe",
        "labelled forward primer",        "labelled reverse primer", "DNA-zyme probe",
        "saturating DNA binding dye"};
    if (chemistry < 1 || chemistry > 7) return "";
    return kDyes[chemistry - 1];
}

std::string RdmlDateTimeText(const std::tm& when) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", when.tm_year + 1900,
                  when.tm_mon + 1, when.tm_mday, when.tm_hour, when.tm_min, when.tm_sec);
    return text;
}

std::string RdmlDateText(const std::tm& when) { return RdmlDateTimeText(when).substr(0, 10); }

std::tm RdmlWriteTime(const TRdmlWriteChoices& choices) {
    if (choices.now) return *choices.now;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

double SampleLift(const TRdmlWriteChoices& choices, int sample) {
    return value(choices.lift, sample);
}

void WriteReactionResults(RDML_v1_2_CR::TXMLDataType& data, const TRunState& run, int i,
                          double lift) {
    if (!flag(run.non0, i)) {
        data.Set_Cq(static_cast<float>(value(run.ct, i) + GetCtCorrection(run, i)));
    } else {
        data.Set_Cq(-1.0f);
        data.Set_Excl(ExclusionText(run, i));
    }
    data.Set_BgFluor(static_cast<float>(value(run.bgarr, i) - lift));
    data.Set_QuantFluor(static_cast<float>(std::pow(10.0, value(run.sampftval, i))));
}

}  // namespace qurvex
