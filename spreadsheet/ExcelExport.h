// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Saving the results of an analysed run to Calc: the save dialog, the mean-efficiency Cq, the
// code strings, and one or two new sheets written with one block call each.

#include <QString>
#include <QStringList>

#include "engine/MeanEfficiencyCq.h"
#include "spreadsheet/ExcelSaveRecord.h"
#include "spreadsheet/ResultSheets.h"

namespace qurvex {

class TEngine;
class TExcelcom;

// How a save talks to the user. The main window supplies its message boxes and runs the dialog
// through TExcelcom::ExecuteSaveDialog; tests put in scripted answers.
class ISaveAsker {
public:
    virtual ~ISaveAsker() = default;
    virtual void information(const QString& text) = 0;
    virtual void error(const QString& text) = 0;
    // Shows the save dialog preset from `record`; true after OK (the record then holds the
    // answers), false after a cancel (the record unchanged).
    virtual bool askSaveRecord(TExcelcom& excel, TexcelsaveQVX& record) = 0;
};

enum class TSaveOutcome {
    Refused,    // a workshop baseline trend is applied: nothing done
    Cancelled,  // the dialog was cancelled: nothing written
    Saved,      // every sheet written
    Failed,     // Calc failed: `written` lists what is there, the user was told
};

struct TSaveResult {
    TSaveOutcome outcome = TSaveOutcome::Cancelled;
    QStringList written;  // names of the sheets written completely, in order
    QString message;      // the failure message shown to the user ("" otherwise)
};

// The Cq with the group mean efficiency (ApplyMeanEfficiencyCq) comes from
// engine/MeanEfficiencyCq.h.

// The whole save: refuses while a workshop baseline trend is applied; otherwise computes the
// group means (calc_mean_ButtonClick), replaces each Cq by the mean-efficiency Cq, asks the
// dialog, rebuilds non0, sampleuse and qualitychecks (and, with one group, ampname := the
// target's name; outcol := the complete sheet's columns), and writes the sheets into the
// chosen or a new workbook at the chosen place. `choices.outputchoice` is taken from the
// dialog; an empty `choices.datetext` becomes today's date in the locale's short format.
//
// A Calc failure while a sheet is added or written ends the save: a sheet this save added but
// could not fill is removed again, and the message (also in the result) names the sheets that
// were and were not written. The caller stores the registry settings afterwards unless the
// save was refused.
TSaveResult SavetoExcel(TExcelcom& excel, TEngine& engine, TSaveChoices choices, ISaveAsker& asker);

// Writes one built sheet at A1 of the active sheet (inside an open connection): values, then
// with `format` the column formats, widths and centring.
void WriteResultSheet(TExcelcom& excel, const TResultSheet& sheet, bool format);

}  // namespace qurvex
