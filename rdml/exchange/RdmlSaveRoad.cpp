// SPDX-License-Identifier: GPL-3.0-or-later
#include "rdml/exchange/RdmlSaveRoad.h"

#include <exception>
#include <filesystem>

#include "rdml/exchange/Rdml11Preparation.h"
#include "rdml/exchange/RdmlAddResults.h"
#include "rdml/exchange/RdmlArchiveWriter.h"
#include "rdml/exchange/RdmlDocumentWriter.h"
#include "rdml/exchange/RdmlReactionResults.h"

namespace qurvex {

namespace fs = std::filesystem;

namespace {

constexpr const char* kTissueQuestion =
    "You did not identify the tissue samples. Continue with sample names?";
constexpr const char* kOldVersionText =
    "Your input file was in an old version of RDML. Reaction info, cycle data and analysis "
    "results will now be saved in the chosen RDML format. Continue saving results?";
constexpr const char* kCommasText =
    "Your input file contained decimal commas. Reaction info, cycle data and analysis results "
    "will now be saved in RDML 1.2 format with decimal points. Continue saving results?";
constexpr const char* kOldAndCommasText =
    "Your input file was in an old version of RDML and contained decimal commas. Reaction info, "
    "cycle data and analysis results will now be saved in the chosen RDML format with decimal "
    "points. Continue saving results?";
constexpr const char* kRdml11Text =
    "You chose to save to an old version of RDML. Tissue annotation information is partly "
    "lost. Continue saving results to RDML 1.1?";

// Group means, the Cq with the group mean efficiency, and the exclusion rule.
void completeResults(TEngine& engine) {
    engine.calc_mean_ButtonClick();
    ApplyMeanEfficiencyCq(engine);
}

// Proposed folder and name of the save dialog for a new document.
std::pair<std::string, std::string> proposal(const TRunState& run,
                                             const TRdmlWriteChoices& choices) {
    if (run.fromrdml) {
        const fs::path input(run.rdmlfilename);
        return {input.parent_path().string(), "Results_" + input.filename().string()};
    }
    if (choices.activeworkbook.empty()) return {"", "Results.rdml"};
    fs::path book(choices.activeworkbook);
    const std::string folder = book.parent_path().string();
    return {folder, book.replace_extension(".rdml").filename().string()};
}

TRdmlSaveOutcome failed(IRdmlSaveAsker& asker, const std::string& why) {
    asker.ShowMessage("The results were not saved to RDML. " + why);
    return TRdmlSaveOutcome::Failed;
}

TRdmlSaveOutcome saveNewDocument(TEngine& engine, TRdmlWriteChoices& choices, IRdmlSaveAsker& asker,
                                 TRdmlVersion version) {
    std::string xml;
    try {
        xml = BuildNewRdml(engine, choices, version).SaveToString();
    } catch (const std::exception& e) {
        return failed(asker, e.what());
    }
    const auto [folder, name] = proposal(engine, choices);
    const std::optional<std::string> chosen = asker.ChooseSaveFile(folder, name);
    if (!chosen) return TRdmlSaveOutcome::Cancelled;
    try {
        AddXMLToRDML(*chosen, xml);
    } catch (const std::exception& e) {
        return failed(asker, e.what());
    }
    return TRdmlSaveOutcome::Saved;
}

// The confirmation text for a run read from an RDML file that cannot take
// the results in place; "" when none is needed.
const char* confirmationText(const TRunState& run) {
    if (!run.fromrdml) return "";
    if (!run.rdml12input && !run.rdmldotsep) return kOldAndCommasText;
    if (!run.rdml12input) return kOldVersionText;
    if (!run.rdmldotsep) return kCommasText;
    return "";
}

}  // namespace

TRdmlSaveOutcome SavetoRDML2Click(TEngine& engine, int tag, TRdmlWriteChoices& choices,
                                  IRdmlSaveAsker& asker) {
    if (!engine.tissuesdefined && !asker.AskYesNo(kTissueQuestion))
        return TRdmlSaveOutcome::ShowTissuePage;
    completeResults(engine);
    ApplyExclusionRule(engine);
    engine.savetocurrentrdml = engine.fromrdml && engine.rdml12input && engine.rdmldotsep;
    if (engine.savetocurrentrdml) return SaveResultsToCurrentRDML(engine, choices, asker);
    const std::string confirmation = confirmationText(engine);
    if (!confirmation.empty() && !asker.AskYesNo(confirmation)) return TRdmlSaveOutcome::Declined;
    return saveNewDocument(engine, choices, asker,
                           tag == 13 ? TRdmlVersion::v1_3 : TRdmlVersion::v1_2);
}

TRdmlSaveOutcome SavetoRDML111Click(TEngine& engine, TRdmlWriteChoices& choices,
                                    IRdmlSaveAsker& asker) {
    if (!asker.AskYesNo(kRdml11Text)) return TRdmlSaveOutcome::Declined;
    if (!engine.tissuesdefined && !asker.AskYesNo(kTissueQuestion))
        return TRdmlSaveOutcome::ShowTissuePage;
    completeResults(engine);
    PrepareForRDML11ButtonClick(choices.TissueSampSG, choices.UniqueTissuesSG, engine.tissue);
    ApplyExclusionRule(engine);
    return saveNewDocument(engine, choices, asker, TRdmlVersion::v1_1);
}

TRdmlSaveOutcome SaveResultsToCurrentRDML(TRunState& run, const TRdmlWriteChoices& choices,
                                          IRdmlSaveAsker& asker) {
    RdmlDocument document;
    std::string xml;
    try {
        document = RdmlDocument::LoadFromFile(run.rdmlxmlfile);
        AddResultsToRdml(document, run, choices);
        xml = document.SaveToString();
    } catch (const std::exception& e) {
        return failed(asker, e.what());
    }
    const fs::path input(run.rdmlfilename);
    const std::optional<std::string> chosen =
        asker.ChooseSaveFile(input.parent_path().string(), input.filename().string());
    try {
        if (chosen) AddXMLToRDML(*chosen, xml);
        document.SaveToFile(run.rdmlxmlfile);
    } catch (const std::exception& e) {
        return failed(asker, e.what());
    }
    return chosen ? TRdmlSaveOutcome::Saved : TRdmlSaveOutcome::Cancelled;
}

}  // namespace qurvex
