// SPDX-License-Identifier: GPL-3.0-or-later
#include "spreadsheet/ExcelExport.h"

#include <QDate>
#include <QLocale>
#include <algorithm>
#include <cmath>
#include <com/sun/star/container/XNameContainer.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheets.hpp>

#include "engine/Engine.h"
#include "engine/MeanEfficiencyCq.h"
#include "spreadsheet/Excelcom.h"
#include "spreadsheet/UnoSupport.h"

namespace qurvex {

namespace {

enum TPlace : int { kFirst = 0, kNearInput = 1, kLast = 2 };

// Removes a sheet of the active workbook; false when that is not possible (Calc gone).
bool removeSheet(const QString& pipe, const QString& name) {
    try {
        auto desktop = connectDesktop(pipe);
        css::uno::Reference<css::sheet::XSpreadsheetDocument> doc(desktop->getCurrentComponent(),
                                                                  css::uno::UNO_QUERY_THROW);
        auto sheets = doc->getSheets();
        if (!sheets->hasByName(toU(name))) return true;
        sheets->removeByName(toU(name));
        return true;
    } catch (const css::uno::Exception&) {
        return false;
    }
}

// Adds the sheet at the chosen place; near the input sheet falls back to the end when the
// input sheet is not in the chosen workbook (another book, an RDML run, renamed or deleted).
QString addSheet(TExcelcom& excel, const TRunState& run, const QString& name, int place,
                 const QStringList& existing) {
    if (place == kFirst) return excel.AddSheetFirst(name);
    const QString input = QString::fromStdString(run.inputsheetname);
    if (place == kNearInput && !run.fromrdml && !input.isEmpty() && existing.contains(input)) {
        excel.SelectSheet(input);
        return excel.AddSheet(name);
    }
    return excel.AddSheetLast(name);
}

QString failureMessage(const QString& error, const QStringList& written,
                       const QStringList& notWritten, const QString& leftOver) {
    QString text = QStringLiteral("Saving the results to Calc failed: %1\n").arg(error);
    text += written.isEmpty() ? QStringLiteral("No sheet was written.")
                              : QStringLiteral("Written: %1.").arg(written.join(", "));
    if (!notWritten.isEmpty())
        text += QStringLiteral("\nNot written: %1.").arg(notWritten.join(", "));
    if (!leftOver.isEmpty())
        text += QStringLiteral("\nThe sheet \"%1\" is incomplete and could not be removed.")
                    .arg(leftOver);
    return text;
}

}  // namespace

void WriteResultSheet(TExcelcom& excel, const TResultSheet& sheet, bool format) {
    const int columns = std::max(sheet.columns, 1);
    if (format)
        excel.WriteArrayToRange(1, columns, 1, sheet.Rows(), sheet.cells);
    else
        excel.WriteValueToRange(1, columns, 1, sheet.Rows(), sheet.cells);
    if (!format) return;
    for (const TColumnFormat& f : sheet.formats)
        excel.FormatRange(f.column, f.column, 1, sheet.formatrows, f.keyword);
    if (sheet.autofitfirst > 0) excel.AutofitColumns(sheet.autofitfirst, sheet.autofitlast);
    for (int column : sheet.centercolumns) excel.CenterColumn(column);
}

TSaveResult SavetoExcel(TExcelcom& excel, TEngine& engine, TSaveChoices choices,
                        ISaveAsker& asker) {
    TSaveResult result;
    if (engine.workshopmode && engine.bgtrendset) {
        asker.information(QStringLiteral("Baseline trend is set. Saving results is not possible"));
        result.outcome = TSaveOutcome::Refused;
        return result;
    }
    // The window refuses other long commands while the save runs (events pass during it).
    const TEngine::BusyGuard busy(engine);
    engine.calc_mean_ButtonClick();
    ApplyMeanEfficiencyCq(engine);
    const auto outlier = TRunState::TSubset::effoutlier;
    if (std::find(engine.ShowSetCBItems.begin(), engine.ShowSetCBItems.end(), outlier) ==
        engine.ShowSetCBItems.end())
        engine.ShowSetCBItems.push_back(outlier);

    TexcelsaveQVX record;
    record.checkcaption = QStringLiteral("use name of input sheet");
    record.useinputname = true;
    record.warningcaption = QStringLiteral("NAME MAY BE TRIMMED TO 21 CHARACTERS");
    record.sheet = DefaultSheetBase(engine);
    record.outputchoice = kCompact;
    record.outputplace = kLast;
    record.formatoutput = true;
    if (!asker.askSaveRecord(excel, record)) return result;  // Cancelled

    choices.outputchoice = record.outputchoice;
    if (choices.datetext.isEmpty())
        choices.datetext = QLocale().toString(QDate::currentDate(), QLocale::ShortFormat);

    const TSampleCodes codes = BuildSampleCodes(engine);
    engine.non0 = codes.non0;
    engine.sampleuse = codes.sampleuse;
    engine.qualitychecks = codes.qualitychecks;
    if (engine.ngroups == 1)
        std::fill(engine.ampname.begin() + std::min<size_t>(1, engine.ampname.size()),
                  engine.ampname.end(), choices.targetname.toStdString());
    engine.outcol = OutputColumnNumbers(choices.outputchoice, choices.ticked,
                                        AnnotationColumnCount(choices.tissuegrid));
    const std::vector<TResultSheet> sheets =
        BuildResultSheets(engine, engine.options, choices, codes);
    engine.pumpmessages();

    QStringList notWritten;
    for (const TResultSheet& s : sheets) notWritten << record.sheet.left(23) + s.suffix;
    QString adding;  // the sheet added and not yet written
    try {
        int place = record.outputplace;
        if (record.book == kNewBook) {
            excel.NewWorkbook();
            if (place == kNearInput) place = kLast;
        } else {
            excel.SelectWorkbook(record.book);
        }
        for (const TResultSheet& s : sheets) {
            QStringList existing;
            int active = -1;
            excel.ListSheets(existing, active);
            const QString name = OutputSheetName(record.sheet, s.suffix, existing);
            adding = addSheet(excel, engine, name, place, existing);
            excel.AttachExcel();
            WriteResultSheet(excel, s, record.formatoutput);
            excel.DetachExcel();
            result.written << adding;
            notWritten.removeFirst();
            adding.clear();
        }
    } catch (const std::exception& e) {
        excel.DetachExcel();
        QString leftOver;
        if (!adding.isEmpty() && !removeSheet(excel.PipeName(), adding)) leftOver = adding;
        result.outcome = TSaveOutcome::Failed;
        result.message =
            failureMessage(QString::fromStdString(e.what()), result.written, notWritten, leftOver);
        asker.error(result.message);
        return result;
    }
    result.outcome = TSaveOutcome::Saved;
    return result;
}

}  // namespace qurvex
