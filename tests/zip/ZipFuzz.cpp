// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: open any bytes as an archive, list it, extract every entry,
// then remove an entry and add one (the in-memory rewrite) and extract again.
// Only EZipError may come out of the component; anything else, a crash, a leak
// or a sanitizer report is a finding.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "zip/KAZip.h"

namespace {

void ExtractAll(qurvex::TKAZip& zip) {
    const auto& entries = zip.Entries();
    for (int i = 0; i < entries.Count(); ++i) {
        const auto& entry = entries[i];
        (void)entries.IndexOfEntry(entry.FileName());
        try {
            const std::vector<uint8_t> data = zip.Entries().ExtractToBuffer(entry);
            if (data.size() != entry.SizeUncompressed()) __builtin_trap();
        } catch (const qurvex::EZipError&) {
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    qurvex::TKAZip zip;
    try {
        zip.LoadFromBuffer(std::vector<uint8_t>(data, data + size));
    } catch (const qurvex::EZipError&) {
        return 0;
    }
    if (!zip.IsZipFile()) return 0;
    (void)zip.Comment();
    (void)zip.FileNames();
    ExtractAll(zip);
    if (zip.Damaged()) return 0;
    try {
        if (zip.Entries().Count() > 0) zip.Entries().RemoveEntry(0);
        const uint8_t added[] = {'r', 'd', 'm', 'l'};
        zip.AddBuffer("rdml_data.xml", added);
        if (zip.ExtractToBuffer("rdml_data.xml").size() != sizeof added) __builtin_trap();
    } catch (const qurvex::EZipError&) {
        return 0;
    }
    ExtractAll(zip);
    return 0;
}
