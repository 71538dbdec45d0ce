// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Helpers of the RDML reading tests: a scripted asker, documents built from
// a few reactions, archives built in a temporary folder.

#include <filesystem>
#include <string>
#include <vector>

#include "rdml/exchange/RdmlReadTypes.h"
#include "tests/rdml/model/RdmlTestSupport.h"

namespace qurvex::test {

// Answers as scripted and records what it was asked and shown.
struct ScriptedAsker : IRdmlReadAsker {
    bool baselineAnswer = true;
    int choice = 0;
    int baselineQuestions = 0;
    std::vector<std::vector<std::string>> offered;
    std::vector<std::string> messages;
    std::vector<TRdmlMessageKind> kinds;
    std::vector<std::string> captions;
    int lastStep = 0;
    int closed = 0;

    bool ConfirmBaselineCorrected(const std::string&, const std::string&) override {
        ++baselineQuestions;
        return baselineAnswer;
    }
    int ChooseXmlEntry(const std::vector<std::string>& names) override {
        offered.push_back(names);
        return choice;
    }
    void Message(TRdmlMessageKind kind, const std::string& text) override {
        kinds.push_back(kind);
        messages.push_back(text);
    }
    void ReaderOpened(const std::string& caption, int) override { captions.push_back(caption); }
    void ReaderStep(int position) override { lastStep = position; }
    void ReaderClosed() override { ++closed; }
};

// testData and sharedData come from the model tests' support.

// A fresh empty folder below the system temporary folder.
std::filesystem::path freshFolder(const std::string& name);

// An archive at `path` holding the given entries (name, bytes).
void writeArchive(const std::filesystem::path& path,
                  const std::vector<std::pair<std::string, std::string>>& entries);

void writeText(const std::filesystem::path& path, const std::string& text);
std::string readText(const std::filesystem::path& path);

// An RDML document of the given version with one experiment and run whose
// reacts are given as inner XML (`<react id="1">...</react>` ...); `samples`
// goes before the experiment.
std::string rdmlDocument(const std::string& version, const std::string& reacts,
                         const std::string& samples = {});
// One react: id, sample, target and its points as (cyc, fluor) texts.
std::string react(const std::string& id, const std::string& sample, const std::string& target,
                  const std::vector<std::pair<std::string, std::string>>& points);

}  // namespace qurvex::test
