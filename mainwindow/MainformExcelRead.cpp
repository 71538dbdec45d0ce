// SPDX-License-Identifier: GPL-3.0-or-later
// "Read from Excel": a run from an instrument export open in the user's Calc.
// The read itself (dialog, transfer, cut) is the spreadsheet layer's; this
// file answers its questions, locks the window while it runs and takes a
// successful read over into the engine.
#include <QListWidget>
#include <QTableWidget>

#include "mainwindow/Mainform.h"
#include "mainwindow/Prompter.h"
#include "mainwindow/PrompterDialogHooks.h"
#include "spreadsheet/ExcelImport.h"
#include "spreadsheet/Excelcom.h"

namespace qurvex {

namespace {

// The read's questions through the window's prompter; the start of the read
// locks the window and shows the hourglass.
class TWindowImportAsker final : public TImportAsker {
public:
    explicit TWindowImportAsker(Tmainform& form) : form_(form) {}

    QString InputBox(const QString& caption, const QString& prompt,
                     const QString& defaultText) override {
        return form_.Prompter().askText(caption, prompt, defaultText).value_or(defaultText);
    }
    bool AskYesNo(const QString& caption, const QString& text) override {
        return form_.Prompter().askYesNo(caption, text);
    }
    void ReadStarts() override {
        if (started_) return;
        started_ = true;
        form_.EnableInterface(false);
        form_.setbusycursor(true);
        form_.repaint();
    }
    bool started() const { return started_; }

private:
    Tmainform& form_;
    bool started_ = false;
};

void ShowNotice(IPrompter& prompter, const TImportNotice& notice) {
    if (notice.kind == TNoticeKind::Warning)
        prompter.message(TPromptKind::Warning, QStringLiteral("Warning"), notice.text);
    else
        prompter.message(TPromptKind::Information, QStringLiteral("Information"), notice.text);
}

// Column 1 rows 1..4: the block columns found; column 2: cycles, wells,
// samples (as far as the cut came).
void ShowColumnSurvey(QTableWidget* grid, const TColumnSurvey& survey) {
    if (grid == nullptr) return;
    grid->clearContents();
    grid->setColumnCount(std::max(grid->columnCount(), 3));
    grid->setRowCount(std::max(grid->rowCount(), 5));
    auto put = [grid](int col, int row, const QString& text) {
        grid->setItem(row, col, new QTableWidgetItem(text));
    };
    for (int i = 0; i < 4; ++i)
        put(1, i + 1, QString::number(survey.columns[static_cast<size_t>(i)]));
    put(2, 1, QString::number(survey.ncycles));
    put(2, 2, QString::number(survey.nwells));
    if (survey.nsamples) put(2, 3, QString::number(*survey.nsamples));
}

}  // namespace

void Tmainform::ReadExcel1Click() {
    if (RefuseWhileBusy()) return;
    TExcelcom Excel1;
    TexcelreadQVX record;
    TWindowImportAsker asker(*this);
    TExcelImport read;
    {
        const TPrompterDialogHooks hooks(Prompter());
        try {
            read = ReadExcelImport(Excel1, record, asker);
        } catch (...) {
            // Whatever ends the read, the window is usable again.
            EndExcelRead(asker.started());
            throw;
        }
    }
    if (read.StringGrid7) ShowColumnSurvey(Control<QTableWidget>("StringGrid7"), *read.StringGrid7);
    if (read.outcome == TExcelImport::TOutcome::Read)
        TakeOverExcelRun(read);
    else
        for (const TImportNotice& notice : read.notices) ShowNotice(Prompter(), notice);
    if (!read.message.text.isEmpty()) {
        if (read.outcome == TExcelImport::TOutcome::Failed)
            Prompter().message(TPromptKind::Error, QStringLiteral("Error"), read.message.text);
        else
            ShowNotice(Prompter(), read.message);
    }
    EndExcelRead(asker.started());
}

void Tmainform::EndExcelRead(bool started) {
    EnableInterface(true);
    if (started) setbusycursor(false);
}

void Tmainform::TakeOverExcelRun(const TExcelImport& read) {
    // A run that does not fit together is refused before anything of the
    // previous run is touched.
    if (!read.run.sizeerror().empty()) {
        Prompter().message(TPromptKind::Error, QStringLiteral("Error"),
                           QStringLiteral("The run read does not fit together; it was not taken "
                                          "over."));
        return;
    }
    engine_->setcqcorrneeded(read.cqcorrneeded);
    if (read.untickTargetSeq && OutputColumnsCLB->count() > 12) {
        const QSignalBlocker block(OutputColumnsCLB);
        OutputColumnsCLB->item(12)->setCheckState(Qt::Unchecked);
    }
    if (auto* panel = Control<QWidget>("ProbeTargetPanel")) panel->hide();
    for (const TImportNotice& notice : read.notices) ShowNotice(Prompter(), notice);
    const bool corrected = read.run.baselinecorrected;
    if (!corrected) BaselineButtonPanel->setStyleSheet(QStringLiteral("background-color: red;"));
    SetTabVisible(AmpliGroupsTabSheet, corrected || engine_->workshopmode);
    SetTabVisible(TissueSampleTabSheet, corrected);
    SetBaselineCorrected1->setEnabled(!corrected);
    engine_->ResetInterfaceAfterRead();
    engine_->loadrun(read.run);
    engine_->ProcessDataAfterRead();
    engine_->ExtraExcelProcessing();
}

}  // namespace qurvex
