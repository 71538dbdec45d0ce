// SPDX-License-Identifier: GPL-3.0-or-later
#include "rdml/exchange/RdmlReadRoad.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "engine/Engine.h"
#include "rdml/exchange/RdmlAnnotations.h"
#include "rdml/exchange/RdmlExtraction.h"
#include "rdml/exchange/RdmlRunReaders.h"
#include "rdml/exchange/RdmlTextProbes.h"
#include "rdml/model/RdmlError.h"

namespace qurvex {

const char* const kBaselineText =
    "You are advised to import raw data and use Qurvex to determine the baseline values (see: "
    "the baseline method, described under -Baseline-corrected data- on the -Read RDML- page of "
    "the Help and of the manual Qurvex_help.pdf). Do you want to continue?";

namespace {
bool refuse(TRdmlReadResult& result, IRdmlReadAsker& asker, TRdmlMessageKind kind,
            const std::string& text) {
    result.ok = false;
    result.message = text;
    asker.Message(kind, text);
    return false;
}

// "Import RDML data failed" with the file and the reason. A file without any
// amplification curve is refused as a warning: nothing in it can be analysed.
bool importFailed(TRdmlReadResult& result, IRdmlReadAsker& asker, const std::string& filename,
                  const std::string& why) {
    const TRdmlMessageKind kind =
        why == kNoAmplificationCurves ? TRdmlMessageKind::warning : TRdmlMessageKind::information;
    return refuse(result, asker, kind,
                  std::string(kImportFailed) + "\nFile: " + filename + "\n" + why);
}

// The input grid and the lists of distinct samples and targets.
void fillInputGrid(TRdmlReadResult& result) {
    const TRunInput& run = result.run;
    result.rdmlinput = TRdmlInputGrid(run);
    auto addOnce = [](std::vector<std::string>& list, const std::string& id) {
        if (std::find(list.begin(), list.end(), id) == list.end()) list.push_back(id);
    };
    for (int i = 1; i <= run.nsamples; ++i) {
        const auto s = static_cast<std::size_t>(i);
        addOnce(result.tissuelist, run.tissue[s]);
        addOnce(result.targetlist, run.ampname[s]);
    }
    if (result.targetlist.size() == 1) result.targetname = result.targetlist[0];
}

void fillHeaderCycles(TRunInput& run) {
    int longest = 0;
    for (int s = 1; s <= run.nsamples; ++s)
        if (run.npoints[static_cast<std::size_t>(s)] >
            run.npoints[static_cast<std::size_t>(longest)])
            longest = s;
    const auto l = static_cast<std::size_t>(longest);
    for (int j = 1; j <= run.npoints[l]; ++j)
        run.headercyc[static_cast<std::size_t>(j)] = run.rawcyc[l][static_cast<std::size_t>(j)];
}

std::string notReadNotice(const std::vector<std::string>& parts) {
    std::string text =
        "Only the first run of the first experiment, and the first target of each reaction, "
        "were read. Not read: ";
    for (std::size_t i = 0; i < parts.size(); ++i) text += (i ? ", " : "") + parts[i];
    return text + ".";
}

}  // namespace

std::vector<double> LiftNegativeFluorescence(TRunInput& run) {
    std::vector<double> lifts(static_cast<std::size_t>(std::max(run.nsamples, 0)) + 1, 0.0);
    for (int s = 1; s <= run.nsamples; ++s) {
        const auto i = static_cast<std::size_t>(s);
        double m = 0.0;
        for (int j = 1; j <= run.npoints[i]; ++j)
            m = std::min(m, run.rawfluor[i][static_cast<std::size_t>(j)]);
        if (m >= 0.0) continue;
        const double lift = -m + std::pow(10.0, -(TEngine::FindNdecim(-m) + 1));
        for (int j = 1; j <= run.npoints[i]; ++j)
            run.rawfluor[i][static_cast<std::size_t>(j)] += lift;
        lifts[i] = lift;
    }
    return lifts;
}

bool ReadRdmlDocument(std::string_view xml, const std::string& filename, TRdmlReadResult& result,
                      IRdmlReadAsker& asker) {
    RdmlDocument document;
    try {
        document = RdmlDocument::LoadFromBytes(xml);
        result.version = DocumentVersion(document);
    } catch (const std::exception& e) {
        return importFailed(result, asker, filename, e.what());
    }
    result.separator = DocumentSeparator(document);
    result.run.rdmlsep = result.separator;
    result.run.rdmldotsep = result.separator == '.';
    document.SetOptions(RdmlReadOptions{result.separator});

    TRdmlBinding binding;
    if (!RdmlBindingOf(result.version, binding))
        return importFailed(result, asker, filename,
                            "RDML version \"" + result.version + "\" cannot be read.");
    result.run.rdml12input = binding == TRdmlBinding::v1_2;

    int nsamples = 0;
    int ncycles = 0;
    std::string error;
    asker.ReaderOpened(RdmlReaderCaption(binding), 0);
    if (!readRDMLlengths(binding, document, nsamples, ncycles, error)) {
        asker.ReaderClosed();
        return importFailed(result, asker, filename, error);
    }
    asker.ReaderOpened(RdmlReaderCaption(binding), nsamples);
    result.run.size(ncycles, nsamples);
    TRdmlRunExtras extras;
    const bool read = readRDMLdata(
        binding, document, result.run.ownrdml, result.run, extras,
        [&](int position) {
            asker.ReaderStep(position);
            asker.Pump();
        },
        error);
    asker.ReaderClosed();
    if (!read) return importFailed(result, asker, filename, error);

    TRunInput& run = result.run;
    if (binding != TRdmlBinding::v1_2)
        extras.annotations = SampleIdTable(run, extras.ntissues, extras.annotationcount);
    run.ntissues = extras.ntissues;
    result.annotations = std::move(extras.annotations);
    result.annotationcount = extras.annotationcount;
    result.defbgarr = std::move(extras.defbgarr);
    result.uniquetissues =
        UniqueTissuesGrid(result.annotations, result.annotationcount, run.ntissues);
    result.tissuesamples = TissueSamplesGrid(result.uniquetissues, run);
    asker.Pump();

    result.lift = LiftNegativeFluorescence(run);
    fillInputGrid(result);
    FillTissSamples(run);
    run.tissuesdefined = true;
    fillHeaderCycles(run);
    if (!extras.notread.empty()) result.notices.push_back(notReadNotice(extras.notread));
    result.ok = true;
    return true;
}

TRdmlReadResult ReadfromRDML(const TRdmlReadRequest& request, IRdmlReadAsker& asker) {
    TRdmlReadResult result;
    asker.Pump();
    if (request.rdmlfile.empty()) {
        refuse(result, asker, TRdmlMessageKind::warning, kNoFileName);
        return result;
    }
    TRunInput& run = result.run;
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(request.rdmlfile, ec);
    run.rdmlfilename = ec ? request.rdmlfile : absolute.string();
    run.expid = "---";
    run.runid = "---";
    if (request.baselinecorrected &&
        !asker.ConfirmBaselineCorrected(kBaselineTitle, kBaselineText)) {
        result.cancelled = true;
        return result;
    }
    run.baselinecorrected = request.baselinecorrected;
    run.chemistry = request.chemistry;
    run.inputtype = request.substrate;
    run.fromrdml = true;
    run.ownrdml = false;

    const TRdmlExtraction extraction = ExtractXMLFromRdml(request.rdmlfile, asker);
    if (!extraction.ok) {
        if (extraction.message.empty())
            result.cancelled = true;
        else
            refuse(result, asker, extraction.kind,
                   extraction.message + "\nFile: " + run.rdmlfilename);
        return result;
    }
    if (!ReadRdmlDocument(extraction.xml, run.rdmlfilename, result, asker)) return result;
    try {
        const std::string folder =
            request.workfolder.empty() ? RdmlWorkFolder() : request.workfolder;
        run.rdmlxmlfile = WriteWorkingDocument(folder, extraction.xml);
        result.creator = GetRDMLcreatorOfText(SplitTextLines(extraction.xml, 11));
    } catch (const std::exception& e) {
        importFailed(result, asker, run.rdmlfilename, e.what());
        return result;
    }
    for (const auto& notice : result.notices) asker.Message(TRdmlMessageKind::information, notice);
    return result;
}

}  // namespace qurvex
