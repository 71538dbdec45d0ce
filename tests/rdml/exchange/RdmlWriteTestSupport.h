// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Helpers of the RDML writing tests: analysed runs (synthetic, or filled from
// a document through the model), temporary folders, the outside checks
// (xmllint against the version's schema, Python's zipfile) and a scripted
// asker.

#include <ctime>
#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "engine/Engine.h"
#include "rdml/exchange/RdmlDocumentWriter.h"
#include "rdml/exchange/RdmlSaveRoad.h"

namespace qurvex::test {

// A fresh folder below the system temporary folder, removed (permissions
// restored first) when the object goes.
class TTempFolder {
public:
    TTempFolder();
    ~TTempFolder();
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

std::string readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const std::string& bytes);

// The shared RDML file (GPL-2.0 data, read where it lies); "" when the shared
// data folder is absent.
std::string sharedRdml(const std::string& name);

// 2026-12-07 14:05:09.
std::tm fixedTime();

// True when xmllint accepts the document against the schema of `version`;
// `report` gets xmllint's messages.
bool schemaValid(const std::string& xml, TRdmlVersion version, std::string* report);
// Entry names Python's zipfile lists (after its CRC test of every entry);
// nullopt when Python refuses the archive.
std::optional<std::vector<std::string>> pythonZipNames(const std::string& archive);
// Bytes of the archive's entry "rdml_data.xml" (through TKAZip).
std::string documentEntry(const std::string& archive);

// A synthetic plate, read and analysed as the engine does after a read; with
// groups, ampname gives `targets` groups with their own windows.
void analyseSyntheticRun(TEngine& engine, int wells, int targets, bool groups);

// Extracts the archive's document to `xmlPath` and loads its first run into
// the engine as an RDML 1.2/1.3 read with decimal points (sample ids as
// tissue, target ids as ampname and groups, raw points from adp), analysed.
void analyseDocumentRun(TEngine& engine, const std::string& archive, const std::string& xmlPath);

class TScriptedAsker : public IRdmlSaveAsker {
public:
    std::deque<bool> answers;  // answers to AskYesNo, in order (missing: Yes)
    std::optional<std::string> file;
    std::vector<std::string> questions;
    std::vector<std::string> messages;
    std::string proposedFolder, proposedName;
    bool dialogShown = false;

    bool AskYesNo(const std::string& text) override;
    std::optional<std::string> ChooseSaveFile(const std::string& folder,
                                              const std::string& name) override;
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
};

}  // namespace qurvex::test
