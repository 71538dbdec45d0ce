// SPDX-License-Identifier: GPL-3.0-or-later
#include "rdml/exchange/RdmlRunReaders.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <optional>
#include <string_view>

#include "rdml/model/RDML_v1_0_REC.h"
#include "rdml/model/RDML_v1_1_PR.h"
#include "rdml/model/RDML_v1_2_CR.h"
#include "rdml/model/RdmlError.h"

namespace qurvex {

namespace {

struct Binding10 {
    static auto root(RdmlDocument& d) { return RDML_v1_0_REC::GetRdml(d); }
    static constexpr bool numericReactId = false;
    static constexpr bool storedBackground = false;
    static constexpr bool annotations = false;
};
struct Binding11 {
    static auto root(RdmlDocument& d) { return RDML_v1_1_PR::GetRdml(d); }
    static constexpr bool numericReactId = true;
    static constexpr bool storedBackground = true;
    static constexpr bool annotations = false;
};
struct Binding12 {
    static auto root(RdmlDocument& d) { return RDML_v1_2_CR::GetRdml(d); }
    static constexpr bool numericReactId = true;
    static constexpr bool storedBackground = true;
    static constexpr bool annotations = true;
};

bool sameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

// The `id` of a reference child (sample of a react, tar of a data element),
// "" when the reference is absent; never creates the child.
template <typename Element, typename Getter>
std::string referenceId(Element& element, const char* child, Getter get) {
    if (!element.HasChild(child)) return {};
    return get(element).Get_Id();
}

template <typename B>
auto firstRun(RdmlDocument& document, std::string& error) {
    auto root = B::root(document);
    auto experiments = root.Get_Experiment();
    using Run = decltype(experiments.Items(0).Get_Run().Items(0));
    if (experiments.Count() == 0) {
        error = "The document holds no experiment.";
        return std::optional<Run>{};
    }
    auto runs = experiments.Items(0).Get_Run();
    if (runs.Count() == 0) {
        error = "The first experiment holds no run (" + experiments.Items(0).Path() + ").";
        return std::optional<Run>{};
    }
    return std::optional<Run>{runs.Items(0)};
}

// The refusal of a run whose first reaction holds no amplification points:
// every reaction is read with the point count of the first, so none would
// have a curve. A run of Cq values only (no adp anywhere) says so.
template <typename Reacts>
bool refuseWithoutPoints(Reacts& reacts, std::string& error) {
    for (int r = 0; r < reacts.Count(); ++r) {
        auto datas = reacts.Items(r).Get_Data();
        for (int d = 0; d < datas.Count(); ++d)
            if (datas.Items(d).Get_Adp().Count() > 0) {
                error = "The first reaction holds no amplification points (" +
                        reacts.Items(0).Path() +
                        "); every reaction is read with as many points as the first.";
                return false;
            }
    }
    error = kNoAmplificationCurves;
    return false;
}

template <typename B>
bool lengths(RdmlDocument& document, int& nsamples, int& ncycles, std::string& error) {
    auto run = firstRun<B>(document, error);
    if (!run) return false;
    auto reacts = run->Get_React();
    if (reacts.Count() == 0) {
        error = "The first run holds no reaction (" + run->Path() + ").";
        return false;
    }
    auto data = reacts.Items(0).Get_Data();
    if (data.Count() == 0) {
        error = "The first reaction holds no data (" + reacts.Items(0).Path() + ").";
        return false;
    }
    nsamples = reacts.Count();
    ncycles = data.Items(0).Get_Adp().Count();
    if (ncycles == 0) return refuseWithoutPoints(reacts, error);
    return true;
}

template <typename B>
void readAnnotations(RdmlDocument& document, TRdmlRunExtras& extras) {
    auto samples = B::root(document).Get_Sample();
    const int n = samples.Count();
    int largest = 1;
    for (int s = 0; s < n; ++s)
        largest = std::max(largest, samples.Items(s).Get_Annotation().Count());
    extras.ntissues = n;
    extras.annotationcount = largest;
    extras.annotations.assign(static_cast<std::size_t>(n),
                              std::vector<std::vector<std::string>>(
                                  static_cast<std::size_t>(largest), std::vector<std::string>(3)));
    for (int s = 0; s < n; ++s) {
        auto sample = samples.Items(s);
        auto& table = extras.annotations[static_cast<std::size_t>(s)];
        table[0][0] = sample.Get_Id();
        auto list = sample.Get_Annotation();
        for (int a = 0; a < list.Count(); ++a) {
            table[static_cast<std::size_t>(a)][1] = list.Items(a).Get_Property();
            table[static_cast<std::size_t>(a)][2] = list.Items(a).Get_Value();
        }
    }
}

template <typename Adp>
bool noPointValue(const Adp& adp, const char* missing, std::string& error) {
    error = std::string("An amplification point has no ") + missing + " (" + adp.Path() + ").";
    return false;
}

// What the document holds beyond the first run and the first data elements.
template <typename B>
void noteUnread(RdmlDocument& document, int multiplexReacts, TRdmlRunExtras& extras) {
    auto experiments = B::root(document).Get_Experiment();
    int moreRuns = experiments.Items(0).Get_Run().Count() - 1;
    for (int e = 1; e < experiments.Count(); ++e)
        moreRuns += experiments.Items(e).Get_Run().Count();
    if (experiments.Count() > 1)
        extras.notread.push_back(std::to_string(experiments.Count() - 1) +
                                 " further experiment(s)");
    if (moreRuns > 0) extras.notread.push_back(std::to_string(moreRuns) + " further run(s)");
    if (multiplexReacts > 0)
        extras.notread.push_back("the further targets of " + std::to_string(multiplexReacts) +
                                 " multiplex reaction(s)");
}

bool isLabel(const std::string& label) {
    return label == "ABC" || label == "123" || label == "A1a1";
}

// The plate of the run when its pcrFormat has rows and columns and valid
// labels, and the react ids (plate.reactid, filled by the caller) are
// distinct and each within 1..rows x columns; else no plate (cleared).
template <typename Run>
void keepPlateIfFits(Run& run, TRdmlPlate& plate) {
    bool fits = run.HasChild("pcrFormat");
    try {
        if (fits) {
            auto format = run.Get_PcrFormat();
            plate.rows = format.Get_Rows();
            plate.columns = format.Get_Columns();
            plate.rowlabel = format.Get_RowLabel();
            plate.columnlabel = format.Get_ColumnLabel();
        }
    } catch (const RdmlError&) {
        fits = false;  // a format that does not read keeps no plate, and no read fails for it
    }
    fits = fits && plate.rows > 0 && plate.columns > 0 && isLabel(plate.rowlabel) &&
           isLabel(plate.columnlabel);
    const long long wells = static_cast<long long>(plate.rows) * plate.columns;
    std::vector<int> sorted(plate.reactid.begin() + 1, plate.reactid.end());
    std::sort(sorted.begin(), sorted.end());
    fits = fits && !sorted.empty() && sorted.front() >= 1 && sorted.back() <= wells &&
           std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end();
    if (!fits) plate = TRdmlPlate{};
}

template <typename B>
bool data(RdmlDocument& document, bool ownrdml, TRunInput& run, TRdmlRunExtras& extras,
          const std::function<void(int)>& progress, std::string& error) {
    auto first = firstRun<B>(document, error);
    if (!first) return false;
    auto experiment = B::root(document).Get_Experiment().Items(0);
    auto reacts = first->Get_React();
    const int count = std::min(reacts.Count(), run.nsamples);
    if (count == 0 || reacts.Items(0).Get_Data().Count() == 0) {
        error = "The first run holds no reaction with data (" + first->Path() + ").";
        return false;
    }
    const int firstPoints = reacts.Items(0).Get_Data().Items(0).Get_Adp().Count();
    if (firstPoints == 0) return refuseWithoutPoints(reacts, error);
    const int points = std::min(firstPoints, run.ncycles);
    run.rdmlexpid = experiment.Get_Id();
    run.rdmlrunid = first->Get_Id();
    run.rdmlrundate = first->Get_RunDate();
    if constexpr (B::annotations) readAnnotations<B>(document, extras);
    extras.defbgarr.assign(static_cast<std::size_t>(run.nsamples + 1), 0.0);

    std::vector<std::string> targets;
    int multiplex = 0;
    run.rdmlplate = TRdmlPlate{};
    if constexpr (B::numericReactId)
        run.rdmlplate.reactid.assign(static_cast<std::size_t>(count) + 1, 0);
    for (int r = 0; r < count; ++r) {
        const auto i = static_cast<std::size_t>(r + 1);
        auto react = reacts.Items(r);
        auto datas = react.Get_Data();
        if (datas.Count() == 0) {
            error = "A reaction holds no data (" + react.Path() + ").";
            return false;
        }
        if (datas.Count() > 1) ++multiplex;
        auto d = datas.Items(0);
        const std::string sample =
            referenceId(react, "sample", [](auto& x) { return x.Get_Sample(); });
        const std::string target = referenceId(d, "tar", [](auto& x) { return x.Get_Tar(); });
        run.tissue[i] = sample;
        run.ampname[i] = target;
        auto known = std::find_if(targets.begin(), targets.end(),
                                  [&](const std::string& t) { return sameText(t, target); });
        if (known == targets.end()) known = targets.insert(targets.end(), target);
        run.ampgroup[i] = static_cast<int>(known - targets.begin()) + 1;

        if (!react.HasAttribute("id")) {
            error = "A reaction has no id (" + react.Path() + ").";
            return false;
        }
        std::string id;
        if constexpr (B::numericReactId) {
            const auto number = react.Get_Id();
            run.rdmlplate.reactid[i] = number <= 0x7fffffffu ? static_cast<int>(number) : 0;
            id = std::to_string(number);
        } else {
            id = react.Get_Id();
        }
        run.sampname[i] = id + " " + StripBlanks(sample) + " " + StripBlanks(target);
        if constexpr (B::storedBackground)
            if (ownrdml) extras.defbgarr[i] = d.Get_BgFluor();

        auto adps = d.Get_Adp();
        if (adps.Count() < points) {
            error =
                "A reaction holds fewer amplification points than the first (" + d.Path() + ").";
            return false;
        }
        int kept = 0;
        for (int j = 0; j < points; ++j) {
            auto adp = adps.Items(j);
            // A missing value reads as 0, so only a 0 needs a second look.
            const double cyc = adp.Get_Cyc();
            if (cyc == 0 && !adp.HasChild("cyc")) return noPointValue(adp, "cyc", error);
            const double fluor = adp.Get_Fluor();
            if (fluor == 0 && !adp.HasChild("fluor")) return noPointValue(adp, "fluor", error);
            if (!std::isfinite(cyc) || !std::isfinite(fluor)) continue;
            ++kept;
            run.rawcyc[i][static_cast<std::size_t>(kept)] = cyc;
            run.rawfluor[i][static_cast<std::size_t>(kept)] = fluor;
        }
        run.npoints[i] = kept;
        if (progress) progress(r + 1);
    }
    if constexpr (B::numericReactId) {
        if (count == run.nsamples)
            keepPlateIfFits(*first, run.rdmlplate);
        else
            run.rdmlplate = TRdmlPlate{};
    }
    noteUnread<B>(document, multiplex, extras);
    return true;
}

template <typename F>
bool guarded(F&& f, std::string& error) {
    try {
        return f();
    } catch (const RdmlError& e) {
        error = e.what();
    } catch (const std::exception& e) {
        error = e.what();
    }
    return false;
}

}  // namespace

const char* const kNoAmplificationCurves =
    "The file holds no amplification curves: its reactions carry no amplification points "
    "(adp), only results such as Cq values.";

bool RdmlBindingOf(const std::string& version, TRdmlBinding& binding) {
    if (version == "1.0")
        binding = TRdmlBinding::v1_0;
    else if (version == "1.1")
        binding = TRdmlBinding::v1_1;
    else if (version == "1.2" || version == "1.3")
        binding = TRdmlBinding::v1_2;
    else
        return false;
    return true;
}

std::string RdmlReaderCaption(TRdmlBinding binding) {
    switch (binding) {
        case TRdmlBinding::v1_0:
            return "Reading from RDML 1.0";
        case TRdmlBinding::v1_1:
            return "Reading from RDML 1.1";
        case TRdmlBinding::v1_2:
            break;
    }
    return "Reading from RDML 1.2";
}

std::string StripBlanks(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != ' ') out += c;
    return out;
}

bool readRDMLlengths(TRdmlBinding binding, RdmlDocument& document, int& nsamples, int& ncycles,
                     std::string& error) {
    return guarded(
        [&] {
            switch (binding) {
                case TRdmlBinding::v1_0:
                    return lengths<Binding10>(document, nsamples, ncycles, error);
                case TRdmlBinding::v1_1:
                    return lengths<Binding11>(document, nsamples, ncycles, error);
                case TRdmlBinding::v1_2:
                    break;
            }
            return lengths<Binding12>(document, nsamples, ncycles, error);
        },
        error);
}

bool readRDMLdata(TRdmlBinding binding, RdmlDocument& document, bool ownrdml, TRunInput& run,
                  TRdmlRunExtras& extras, const std::function<void(int)>& progress,
                  std::string& error) {
    return guarded(
        [&] {
            switch (binding) {
                case TRdmlBinding::v1_0:
                    return data<Binding10>(document, ownrdml, run, extras, progress, error);
                case TRdmlBinding::v1_1:
                    return data<Binding11>(document, ownrdml, run, extras, progress, error);
                case TRdmlBinding::v1_2:
                    break;
            }
            return data<Binding12>(document, ownrdml, run, extras, progress, error);
        },
        error);
}

}  // namespace qurvex
