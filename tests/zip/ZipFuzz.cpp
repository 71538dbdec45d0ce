// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer targets. zip_fuzz opens any bytes as an archive, lists it, extracts
// every entry, then removes an entry and adds one (the in-memory rewrite) and
// extracts again. Built with QURVEX_FUZZ_TO_FOLDER (zip_folder_fuzz) it instead
// extracts every entry by name into a temporary folder, as "extract all" does.
// Only EZipError may come out of the component; anything else, a crash, a leak,
// a sanitizer report or a file outside the folder is a finding.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "zip/KAZip.h"
#include "zip/ZipNames.h"

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

// Extracts every entry into <root>/out; every file written must lie there, and
// a file entry that extracted must have its declared size.
void ExtractAllToFolder(qurvex::TKAZip& zip) {
    namespace fs = std::filesystem;
    static const struct Root {
        fs::path path;
        Root() {
            std::string pattern = (fs::temp_directory_path() / "qurvex-zipfuzz-XXXXXX").string();
            if (!mkdtemp(pattern.data())) __builtin_trap();
            path = pattern;
        }
        ~Root() { fs::remove_all(path); }
    } temp;
    const fs::path& root = temp.path;
    const fs::path out = root / "out";
    zip.OverwriteAction = qurvex::TOverwriteAction::oaOverwriteAll;
    for (const std::string& name : zip.FileNames()) {
        try {
            zip.ExtractToFolder(name, out.string());
        } catch (const qurvex::EZipError&) {
            continue;
        }
        const auto& entry = zip.Entries()[zip.Entries().IndexOfEntry(name)];
        const fs::path written = out / qurvex::ToZipName(name);
        std::error_code ec;
        if (!entry.Folder && fs::file_size(written, ec) != entry.SizeUncompressed())
            __builtin_trap();
    }
    for (const auto& e : fs::directory_iterator(root))
        if (e.path() != out) __builtin_trap();
    fs::remove_all(out);
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
