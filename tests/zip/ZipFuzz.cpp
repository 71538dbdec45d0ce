// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer targets. zip_fuzz opens any bytes as an archive, lists it, extracts
// every entry, then removes an entry and adds one (the in-memory rewrite) and
// extracts again. Built with QURVEX_FUZZ_TO_FOLDER (zip_folder_fuzz) it instead
// extracts every entry by name into a temporary folder, as "extract all" does.
// Only EZipError may come out of the component; anything else, a crash, a leak,
// a sanitizer report or a file outside the folder is a finding.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "zip/KAZip.h"
#include "zip/ZipNames.h"

namespace {

void ExtractAll(qurvex::TKAZip& zip) {
    const auto& entries = zip.Entries();
    for (int i = 0; i < entries.Count(); ++i) {
        const auto& entry = entries[i];
        try {
            const std::vector<uint8_t> data = zip.Entries().ExtractToBuffer(entry);
            if (data.size() != entry.SizeUncompressed()) __builtin_trap();
        } catch (const qurvex::EZipError&) {
        }
    }
}

// Extracts every entry into <root>/out: every file written must lie there, and
// a file entry that extracted must have its declared size.
void ExtractAllToFolder(qurvex::TKAZip& zip) {
    namespace fs = std::filesystem;
    const fs::path root =
        fs::temp_directory_path() / ("qurvex-zipfuzz-" + std::to_string(getpid()));
    const fs::path out = root / "out";
    zip.OverwriteAction = qurvex::TOverwriteAction::oaOverwriteAll;
    for (const std::string& name : zip.FileNames()) {
        try {
            zip.ExtractToFolder(name, out.string());
        } catch (const qurvex::EZipError&) {
            continue;
        }
        const auto& entry = zip.Entries()[zip.Entries().IndexOfEntry(name)];
        std::string path = (out / qurvex::ToZipName(name)).string();
        if (path.back() == '/') path.pop_back();  // a "\" ending a file's name
        std::error_code ec;
        if (!entry.Folder && fs::file_size(path, ec) != entry.SizeUncompressed()) __builtin_trap();
    }
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(root, ec))
        if (e.path() != out) __builtin_trap();
    fs::remove_all(root);
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
#ifdef QURVEX_FUZZ_TO_FOLDER
    ExtractAllToFolder(zip);
    return 0;
#endif
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
