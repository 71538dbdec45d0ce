// SPDX-License-Identifier: GPL-3.0-or-later
// "Save to Excel": the results of the run into new Calc sheets. The save road
// is the spreadsheet layer's; this file gives it the window's choices and
// answers its questions through the prompter.
#include <QLineEdit>
#include <QListWidget>
#include <QTableWidget>

#include "mainwindow/GridTexts.h"
#include "mainwindow/Mainform.h"
#include "mainwindow/Prompter.h"
#include "mainwindow/PrompterDialogHooks.h"
#include "spreadsheet/ExcelExport.h"
#include "spreadsheet/Excelcom.h"

namespace qurvex {

namespace {

class TWindowSaveAsker final : public ISaveAsker {
public:
    explicit TWindowSaveAsker(IPrompter& prompter) : prompter_(prompter) {}
    void information(const QString& text) override {
        prompter_.message(TPromptKind::Information, QStringLiteral("Information"), text);
    }
    void error(const QString& text) override {
        prompter_.message(TPromptKind::Error, QStringLiteral("Error"), text);
    }
    bool askSaveRecord(TExcelcom& excel, TexcelsaveQVX& record) override {
        return excel.ExecuteSaveDialog(record);
    }

private:
    IPrompter& prompter_;
};

}  // namespace

TSaveChoices Tmainform::SaveChoices() const {
    TSaveChoices choices;
    for (int i = 0; i < OutputColumnsCLB->count() && i < kOutputColumnCount; ++i)
        choices.ticked[static_cast<std::size_t>(i)] =
            OutputColumnsCLB->item(i)->checkState() == Qt::Checked;
    // With one group every sample carries the target's name; without an edit
    // for it the name the run has is kept.
    if (const auto* target = Control<QLineEdit>("TargetnameEdit"))
        choices.targetname = target->text();
    else if (engine_->nsamples > 0 && engine_->ampname.size() > 1)
        choices.targetname = QString::fromStdString(engine_->ampname[1]);
    if (const auto* tissues = Control<QTableWidget>("TissueSampSG"))
        choices.tissuegrid = GridTexts(*tissues);
    return choices;
}

void Tmainform::SavetoExcel1Click() {
    if (RefuseWhileBusy() || RefuseWithoutRun()) return;
    TExcelcom excel;
    TWindowSaveAsker asker(Prompter());
    TSaveResult saved;
    {
        const TPrompterDialogHooks hooks(Prompter());
        saved = SavetoExcel(excel, *engine_, SaveChoices(), asker);
    }
    if (saved.outcome == TSaveOutcome::Refused) return;
    SaveRegistryButtonClick();
    // The save put the Cq with the group mean efficiency in place and offers
    // the efficiency outliers as a subset.
    FillSubsets();
    ShowRunAgain();
}

}  // namespace qurvex
