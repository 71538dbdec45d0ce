// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Helpers of the RDML writing tests: analysed runs (synthetic, or filled from
// a document through the model), temporary folders, the outside checks
// (xmllint against the version's schema, unzip, Python's zipfile) and a
// scripted asker.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <deque>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/Engine.h"
#include "rdml/exchange/RdmlDocumentWriter.h"
#include "rdml/exchange/RdmlSaveRoad.h"
#include "rdml/model/RDML_v1_2_CR.h"
#include "tests/engine/support/SyntheticRun.h"
#include "tests/rdml/model/RdmlTestSupport.h"

namespace qurvex::test {

// A fresh folder below the system temporary folder, removed (permissions
// restored first) when the object goes.
class TTempFolder {
public:
    TTempFolder() { std::filesystem::create_directories(path_); }
    ~TTempFolder() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_ = freshTempPath("write");
};

// 2026-12-07 14:05:09.
inline std::tm fixedTime() {
    std::tm t{};
    t.tm_year = 126, t.tm_mon = 11, t.tm_mday = 7, t.tm_hour = 14, t.tm_min = 5, t.tm_sec = 9;
    return t;
}

// Accepted by xmllint against the schema of `version`; else xmllint's report.
inline ::testing::AssertionResult schemaValid(const std::string& xml, TRdmlVersion version) {
    std::string report;
    const char* v = version == TRdmlVersion::v1_1   ? "1_1"
                    : version == TRdmlVersion::v1_2 ? "1_2"
                                                    : "1_3";
    if (validatesAgainst(xml, std::string("RDML_v") + v + "_REC.xsd", &report))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << report;
}

// Entry names Python's zipfile lists (after its CRC test of every entry);
// nullopt when Python refuses the archive.
inline std::optional<std::vector<std::string>> pythonZipNames(const std::string& archive) {
    const std::string command =
        "python3 -c 'import sys, zipfile\nz = zipfile.ZipFile(sys.argv[1])\nassert z.testzip() is "
        "None\nprint(\"\\n\".join(sorted(z.namelist())))' '" +
        archive + "' 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    std::vector<std::string> names;
    std::string line;
    for (int c; (c = std::fgetc(pipe)) != EOF;)
        c == '\n' ? (names.push_back(line), line.clear()) : line.push_back(static_cast<char>(c));
    if (pclose(pipe) != 0) return std::nullopt;
    return names;
}

// A synthetic plate, read and analysed as the engine does after a read; with
// groups, ampname gives `targets` groups with their own windows.
inline void analyseSyntheticRun(TEngine& engine, int wells, int targets, bool groups) {
    testing::loadSyntheticRun(engine, testing::makePlate(wells, targets, 0.002, 7));
    engine.ProcessDataAfterRead();
    engine.BaselineButtonPanelClick();
    if (groups) engine.GetAmpliconGroupNumbers(), engine.numgroupsEditChange();
    engine.calc_mean_ButtonClick();
}

// Extracts the archive's document to `xmlPath` and loads its first run into
// the engine as an RDML 1.2/1.3 read with decimal points (sample ids as
// tissue, target ids as ampname and groups, raw points from adp), analysed.
inline void analyseDocumentRun(TEngine& engine, const std::string& archive,
                               const std::string& xmlPath) {
    writeFile(xmlPath, archiveEntry(archive));
    RdmlDocument document = RdmlDocument::LoadFromFile(xmlPath);
    auto reacts =
        RDML_v1_2_CR::GetRdml(document).Get_Experiment().Items(0).Get_Run().Items(0).Get_React();
    const int n = reacts.Count();
    int ncycles = 0;
    for (int i = 0; i < n; ++i)
        ncycles = std::max(ncycles, reacts[i].Get_Data().Items(0).Get_Adp().Count());
    TRunInput in;
    in.size(ncycles, n);
    std::vector<std::string> tissues = {""};
    for (int i = 1; i <= n; ++i) {
        auto data = reacts[i - 1].Get_Data().Items(0);
        in.sampname[i] = in.tissue[i] = reacts[i - 1].Get_Sample().Get_Id();
        in.ampname[i] = data.Get_Tar().Get_Id();
        auto adps = data.Get_Adp();
        in.npoints[i] = adps.Count();
        for (int j = 1; j <= adps.Count(); ++j) {
            in.headercyc[j] = in.rawcyc[i][j] = adps[j - 1].Get_Cyc();
            in.rawfluor[i][j] = adps[j - 1].Get_Fluor();
        }
        if (std::find(tissues.begin(), tissues.end(), in.tissue[i]) == tissues.end())
            tissues.push_back(in.tissue[i]);
    }
    in.fromrdml = in.rdml12input = in.rdmldotsep = true;
    in.rdmlfilename = archive;
    in.rdmlxmlfile = xmlPath;
    if (!engine.loadrun(in)) throw std::runtime_error("run refused: " + in.sizeerror());
    engine.tissuesdefined = true;
    engine.uniquetissues = tissues;
    engine.ntissues = static_cast<int>(tissues.size()) - 1;
    engine.ProcessDataAfterRead();
    engine.BaselineButtonPanelClick();
    engine.GetAmpliconGroupNumbers();
    engine.numgroupsEditChange();
    engine.calc_mean_ButtonClick();
}

class TScriptedAsker : public IRdmlSaveAsker {
public:
    std::deque<bool> answers;  // answers to AskYesNo, in order (missing: Yes)
    std::optional<std::string> file;
    std::vector<std::string> questions, messages;
    std::string proposedFolder, proposedName;
    bool dialogShown = false;

    bool AskYesNo(const std::string& text) override {
        questions.push_back(text);
        const bool answer = answers.empty() || answers.front();
        if (!answers.empty()) answers.pop_front();
        return answer;
    }
    std::optional<std::string> ChooseSaveFile(const std::string& folder,
                                              const std::string& name) override {
        dialogShown = true;
        proposedFolder = folder;
        proposedName = name;
        return file;
    }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
};

}  // namespace qurvex::test
