// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target over the whole reading logic: any bytes are opened as an
// archive (or, when they are no archive, taken as the document itself), the
// document is extracted, parsed and read into a run. The outcome must be a
// complete run or a refusal with a message; anything else, a crash, a leak or
// a sanitizer report is a finding.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "rdml/exchange/RdmlExtraction.h"
#include "rdml/exchange/RdmlReadRoad.h"
#include "zip/KAZip.h"

namespace {

struct FirstChoice : qurvex::IRdmlReadAsker {
    bool ConfirmBaselineCorrected(const std::string&, const std::string&) override { return true; }
    int ChooseXmlEntry(const std::vector<std::string>&) override { return 0; }
    void Message(qurvex::TRdmlMessageKind, const std::string&) override {}
};

void checkOutcome(const qurvex::TRdmlReadResult& r) {
    if (!r.ok) {
        if (r.message.empty()) __builtin_trap();
        return;
    }
    const auto& run = r.run;
    if (!run.sizeerror().empty()) __builtin_trap();
    for (int s = 1; s <= run.nsamples; ++s)
        for (int j = 1; j <= run.npoints[static_cast<std::size_t>(s)]; ++j)
            if (!std::isfinite(
                    run.rawfluor[static_cast<std::size_t>(s)][static_cast<std::size_t>(j)]))
                __builtin_trap();
    if (r.rdmlinput.rows() != run.nsamples + 1) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FirstChoice asker;
    qurvex::TRdmlReadResult result;
    std::string xml;
    qurvex::TKAZip zip;
    try {
        zip.LoadFromBuffer(std::vector<uint8_t>(data, data + size));
    } catch (const qurvex::EZipError&) {
        return 0;
    }
    if (zip.IsZipFile()) {
        auto extraction = qurvex::ExtractXMLFromArchive(zip, asker);
        if (!extraction.ok) return 0;
        xml = std::move(extraction.xml);
    } else {
        xml.assign(reinterpret_cast<const char*>(data), size);
    }
    qurvex::ReadRdmlDocument(xml, "fuzz.rdml", result, asker);
    checkOutcome(result);
    return 0;
}
