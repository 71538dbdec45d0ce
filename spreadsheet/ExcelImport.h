// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading a run from an instrument export open in the user's Calc: the read dialog, the
// baseline question, one block transfer, the cut by the chosen layout. Nothing in the engine
// or the window changes here; the caller takes the run over only when the read succeeded.

#include <optional>
#include <vector>

#include "engine/RunInput.h"
#include "spreadsheet/ExcelReadRecord.h"
#include "spreadsheet/InstrumentLayouts.h"

namespace qurvex {

class TExcelcom;

struct TExcelImport {
    enum class TOutcome {
        Failed,      // Calc is not running, or an automation call failed: `message`
        Cancelled,   // the read dialog was cancelled
        RdmlChosen,  // the dialog named an RDML file: nothing is read
        Declined,    // the user did not want to go on with baseline-corrected data
        Refused,     // the block does not fit the layout or holds bad data: `message`
        Read,        // `run` is complete
    };
    TOutcome outcome = TOutcome::Failed;
    // Failed: the automation error's text (for the exception box). Refused: the refusal.
    TImportNotice message;
    // Shown in order, before `message` when there is one.
    std::vector<TImportNotice> notices;
    TRunInput run;
    // Layouts 6 and 16: the diagnostics grid StringGrid7, as far as the cut came.
    std::optional<TColumnSurvey> StringGrid7;
    // Read only: what cqcorrneeded becomes (CqCorrNeeded of the chemistry).
    bool cqcorrneeded = false;
    // Read only (always true then): untick the "Target_Seq" item of the output columns
    // (item 12) and hide ProbeTargetPanel.
    bool untickTargetSeq = false;
};

// The caption and text of the Yes/No question before baseline-corrected data are read.
QString BaselineCorrectedCaption();
QString BaselineCorrectedQuestion();

// The road of a spreadsheet read, through `Excel1`: IsExcelRunning, ExecuteReadDialog (record
// .fromexcel := true first), asker.ReadStarts, the RDML-file check, the baseline question
// (not asked for layout 16), SelectWorkbook, SelectSheet, AttachExcel, ReadRange of the whole
// block in one call, the workbook's DecimalSeparator, DetachExcel, then the cut (text numbers
// in the workbook's notation, or all in decimal commas). The connection is detached whatever ends
// the read, exceptions included; automation errors come back as Failed, never as exceptions.
//
// On Read the window, in this order: sets cqcorrneeded; unticks the "Target_Seq" output column
// and hides ProbeTargetPanel; shows the notices; sets the baseline panel and tabs from
// run.baselinecorrected (red panel, AmpliGroupsTabSheet visible as workshopmode and
// TissueSampleTabSheet hidden, SetBaselineCorrected1 enabled when not declared; both tabs
// visible and SetBaselineCorrected1 disabled when declared); then ResetInterfaceAfterRead,
// loadrun(run), ProcessDataAfterRead, ExtraExcelProcessing. On every outcome it shows the
// notices and the message, re-enables its controls (EnableInterface(True)) and restores the
// cursor; on every outcome but Read the run in memory stays as it was.
TExcelImport ReadExcelImport(TExcelcom& Excel1, TexcelreadQVX& record, TImportAsker& asker);

}  // namespace qurvex
