// SPDX-License-Identifier: GPL-3.0-or-later
// The RDML save commands of the File menu without their window: questions,
// confirmations, which road (a new document or results added into the
// document that was read), and the writing. The window supplies the answers
// and the file name through IRdmlSaveAsker.
#pragma once

#include <optional>
#include <string>

#include "engine/Engine.h"
#include "rdml/exchange/RdmlWriteChoices.h"

namespace qurvex {

class IRdmlSaveAsker {
public:
    virtual ~IRdmlSaveAsker() = default;
    // A warning or confirmation with the buttons Yes and No; true for Yes.
    virtual bool AskYesNo(const std::string& text) = 0;
    // The save dialog (filter "RDML files (*.rdml)|*.rdml", default extension
    // ".rdml", asks before overwriting), opened on `folder` with `name`
    // proposed. The chosen absolute file name, or nothing when cancelled.
    virtual std::optional<std::string> ChooseSaveFile(const std::string& folder,
                                                      const std::string& name) = 0;
    // A message the user must read (a save that failed, with its reason).
    virtual void ShowMessage(const std::string& text) = 0;
};

enum class TRdmlSaveOutcome {
    ShowTissuePage,  // the user chose to name the tissue samples first
    Declined,        // No to a confirmation: nothing written
    Cancelled,       // save dialog cancelled: no archive written
    Saved,           // the archive was written
    Failed,          // the save failed; the message was shown, files untouched
};

// "&Save to RDML 1.3" (tag 13) and "S&ave to RDML 1.2" (tag 12; any other tag
// too). Asks about unnamed tissue samples, completes the group means
// (calc_mean_ButtonClick), replaces every ct by the Cq with the group mean
// efficiency and sets non0. A run read from an RDML 1.2/1.3 file with decimal
// points then has its results added into the document that was read
// (SaveResultsToCurrentRDML); any other run is confirmed when it came from an
// older or comma-separated RDML file, built as a new document and saved into
// the chosen archive.
TRdmlSaveOutcome SavetoRDML2Click(TEngine& engine, int tag, TRdmlWriteChoices& choices,
                                  IRdmlSaveAsker& asker);

// "Sa&ve to RDML 1.1": confirms the loss of annotation detail, asks about
// unnamed tissue samples, computes as above, joins the annotations into
// sample ids (PrepareForRDML11ButtonClick, the grids keep the new columns)
// and saves a new RDML 1.1 document. Never adds into the document read.
TRdmlSaveOutcome SavetoRDML111Click(TEngine& engine, TRdmlWriteChoices& choices,
                                    IRdmlSaveAsker& asker);

// Adds the results into the working document rdmlxmlfile and saves it into
// the chosen archive (proposed: rdmlfilename). Cancelled: the working
// document takes the results all the same and no archive is written. The
// working document is rewritten only after the archive was; on any failure
// both stay as they were.
TRdmlSaveOutcome SaveResultsToCurrentRDML(TRunState& run, const TRdmlWriteChoices& choices,
                                          IRdmlSaveAsker& asker);

}  // namespace qurvex
