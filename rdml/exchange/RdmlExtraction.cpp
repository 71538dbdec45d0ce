// SPDX-License-Identifier: GPL-3.0-or-later
#include "rdml/exchange/RdmlExtraction.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <random>
#include <set>
#include <stdexcept>

namespace qurvex {

namespace fs = std::filesystem;

namespace {

std::string upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

bool hasXmlExtension(const std::string& name) {
    return name.size() >= 4 && upper(name.substr(name.size() - 4)) == ".XML";
}

TRdmlExtraction failure(std::string message, TRdmlMessageKind kind) {
    TRdmlExtraction r;
    r.message = std::move(message);
    r.kind = kind;
    return r;
}

TRdmlExtraction extractEntry(TKAZip& zip, const TKAZipEntriesEntry& entry) {
    TRdmlExtraction r;
    try {
        const auto bytes = zip.Entries().ExtractToBuffer(entry);
        r.xml.assign(bytes.begin(), bytes.end());
    } catch (const EZipError& e) {
        return failure(std::string(kCannotExtract) + "\n(" + e.what() + ")",
                       TRdmlMessageKind::information);
    }
    r.ok = true;
    r.entry = entry.FileName();
    return r;
}

struct WorkState {
    std::mutex lock;
    std::string folder;
    std::set<std::string> written;
    unsigned counter = 0;
};

WorkState& work() {
    static WorkState state;
    return state;
}

}  // namespace

bool IsJunkEntry(const std::string& name) {
    if (name.rfind("__MACOSX/", 0) == 0 || name.find("/__MACOSX/") != std::string::npos)
        return true;
    const auto slash = name.find_last_of('/');
    const std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
    return base.empty() || base.rfind("._", 0) == 0;
}

bool IsXmlDocumentEntry(const std::string& name) {
    return !IsJunkEntry(name) && hasXmlExtension(name);
}

TRdmlExtraction ExtractXMLFromArchive(TKAZip& zip, IRdmlReadAsker& asker) {
    const auto& entries = zip.Entries();
    const int named = entries.IndexOfEntry("rdml_data.xml");
    if (named >= 0) return extractEntry(zip, entries[named]);

    std::vector<int> real;
    for (int i = 0; i < entries.Count(); ++i) {
        if (!IsJunkEntry(entries[i].FileName())) real.push_back(i);
    }
    if (real.size() == 1) {
        if (!IsXmlDocumentEntry(entries[real[0]].FileName()))
            return failure(kNoXmlInArchive, TRdmlMessageKind::warning);
        return extractEntry(zip, entries[real[0]]);
    }
    std::vector<int> xml;
    std::vector<std::string> names;
    for (int i : real)
        if (IsXmlDocumentEntry(entries[i].FileName())) {
            xml.push_back(i);
            names.push_back(entries[i].FileName());
        }
    if (xml.empty()) return failure(kNoXmlInArchive, TRdmlMessageKind::warning);
    const int choice = asker.ChooseXmlEntry(names);
    if (choice < 0 || choice >= static_cast<int>(xml.size())) return failure({}, {});
    return extractEntry(zip, entries[xml[static_cast<std::size_t>(choice)]]);
}

TRdmlExtraction ExtractXMLFromRdml(const std::string& filename, IRdmlReadAsker& asker) {
    TKAZip zip;
    try {
        zip.OpenArchive(filename);
    } catch (const EZipError& e) {
        return failure(e.what(), TRdmlMessageKind::warning);
    }
    if (!zip.IsZipFile()) return failure(kNoXmlInArchive, TRdmlMessageKind::warning);
    auto result = ExtractXMLFromArchive(zip, asker);
    zip.CloseArchive();
    return result;
}

std::string RdmlWorkFolder() {
    auto& w = work();
    std::lock_guard<std::mutex> guard(w.lock);
    if (!w.folder.empty()) return w.folder;
    std::random_device device;
    for (int attempt = 0; attempt < 16; ++attempt) {
        const fs::path folder =
            fs::temp_directory_path() /
            ("qurvex-" + std::to_string(::getpid()) + "-" + std::to_string(device()));
        std::error_code ec;
        if (fs::create_directory(folder, ec)) {
            fs::permissions(folder, fs::perms::owner_all, ec);
            w.folder = folder.string();
            return w.folder;
        }
    }
    throw std::runtime_error("Cannot create a working folder in " +
                             fs::temp_directory_path().string());
}

std::string WriteWorkingDocument(const std::string& folder, const std::string& xml) {
    auto& w = work();
    std::string path;
    {
        std::lock_guard<std::mutex> guard(w.lock);
        do {
            path = (fs::absolute(folder) / ("rdml_data-" + std::to_string(++w.counter) + ".xml"))
                       .string();
        } while (fs::exists(path));
    }
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(xml.data(), static_cast<std::streamsize>(xml.size()));
        out.close();
        if (!out) {
            std::error_code ec;
            fs::remove(path, ec);
            throw std::runtime_error("Cannot write the working document " + path);
        }
    }
    std::lock_guard<std::mutex> guard(w.lock);
    w.written.insert(path);
    return path;
}

bool DiscardWorkingDocument(const std::string& path) {
    auto& w = work();
    std::lock_guard<std::mutex> guard(w.lock);
    if (w.written.erase(path) == 0) return false;
    std::error_code ec;
    return fs::remove(path, ec);
}

void RemoveRdmlWorkFolder() {
    auto& w = work();
    std::lock_guard<std::mutex> guard(w.lock);
    std::error_code ec;
    for (const auto& path : w.written) fs::remove(path, ec);
    w.written.clear();
    if (!w.folder.empty()) fs::remove_all(w.folder, ec);
    w.folder.clear();
}

}  // namespace qurvex
