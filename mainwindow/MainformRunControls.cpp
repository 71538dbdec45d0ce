// SPDX-License-Identifier: GPL-3.0-or-later
// The controls of the run's analysis that start an engine command: sample
// exclusion, the baseline reset, group means and outliers, window searches,
// grouping and their edits' keystroke filters.
#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <algorithm>
#include <utility>

#include "mainwindow/Mainform.h"
#include "mainwindow/Prompter.h"
#include "spreadsheet/RadioGroup.h"

namespace qurvex {

// The window choice. "amplicon group" needs groups: without them the
// warning, and the common window stays in force.
void Tmainform::CommonGroupWindowRGClick() {
    if (RefuseWhileBusy()) {
        ShowWindowChoice();
        return;
    }
    TEngine& e = *engine_;
    const int choice = CommonGroupWindowRG->ItemIndex();
    if (choice == 1 && !e.groupsdefined) {
        Prompter().message(TPromptKind::Warning, QStringLiteral("Warning"),
                           QStringLiteral("there are no groups defined"));
        const QSignalBlocker block(CommonGroupWindowRG);
        CommonGroupWindowRG->SetItemIndex(0);
    }
    switch (CommonGroupWindowRG->ItemIndex()) {
        case 0:
            ActivatePage(TabSheetCommonWindow);
            ThresholdsRG->SetItemIndex(0);
            PushOptions();
            if (e.nsamples > 0) e.selectcommonwindow();
            break;
        case 1:
            ThresholdsRG->SetItemIndex(1);
            PushOptions();
            SetTabVisible(TabSheetGroupWindow, true);
            ActivatePage(TabSheetGroupWindow);
            ResetAllToGrpWindow();
            break;
        default:
            ThresholdsRG->SetItemIndex(e.groupsdefined ? 1 : 0);
            PushOptions();
            if (e.nsamples > 0) e.fitallbutClick();
            break;
    }
    // The engine has the last word on the window and the threshold in force
    // (the individual fit computes every Cq on the common threshold).
    ShowWindowChoice();
}

void Tmainform::PartWantedEditChange(const QString& text) {
    std::string rank;
    const std::string kept = TEngine::PartWantedEditChange(text.toStdString(), rank);
    if (kept != text.toStdString()) {
        SetEditText(PartWantedEdit, QString::fromStdString(kept));
        PartWantedEdit->setCursorPosition(PartWantedEdit->text().size());
    }
    rankLabel->setText(QString::fromStdString(rank));
    PushOptions();
}

void Tmainform::IncluPercEditChange(const QString& text) {
    const std::string kept = TEngine::col_rowinChange(text.toStdString(), 0);
    if (kept != text.toStdString()) {
        SetEditText(IncluPercEdit, QString::fromStdString(kept));
        IncluPercEdit->setCursorPosition(IncluPercEdit->text().size());
    }
    PushOptions();
}

void Tmainform::NameSepEditEnter() {
    ChoosePartXGroupSource();
    NameSepEdit->selectAll();
}

void Tmainform::ChoosePartXGroupSource() {
    if (RefuseWhileBusy() || engine_->options.groupsource == TEngineOptions::PartXGroupRB) return;
    PushOptions();
    engine_->NameSepEditEnter();
}

void Tmainform::ShowGroupSource() {
    const auto source = engine_->options.groupsource;
    const std::pair<QRadioButton*, TEngineOptions::TGroupSource> buttons[] = {
        {AllOneGroupRB, TEngineOptions::AllOneGroupRB},
        {ManualGrpsRB, TEngineOptions::ManualGrpsRB},
        {PartXGroupRB, TEngineOptions::PartXGroupRB},
        {ExcelGroupRB, TEngineOptions::ExcelGroupRB}};
    for (const auto& [button, kind] : buttons) {
        const QSignalBlocker block(button);
        if (kind == source) button->setChecked(true);
    }
    // The worksheet source shows its panel in place of the other three's.
    const bool excel = source == TEngineOptions::ExcelGroupRB;
    AmpliconFromExcelPanel->setVisible(excel);
    OtherGroupOptionsPanel->setVisible(!excel);
    OtherNameOptionsRB->setChecked(!excel);
    GroupButton->setEnabled(source == TEngineOptions::PartXGroupRB);
    EditGroupsButton->setEnabled(source == TEngineOptions::ManualGrpsRB);
    if (excel) SetWolAfterReadButton->setEnabled(false);
}

void Tmainform::NameSepEditChange(const QString& text) {
    if (text.size() > 1) {
        const int typed =
            std::clamp(NameSepEdit->cursorPosition() - 1, 0, static_cast<int>(text.size()) - 1);
        SetEditText(NameSepEdit, text.mid(typed, 1));
        NameSepEdit->setCursorPosition(1);
    }
    PushOptions();
}

void Tmainform::ConnectRunControls() {
    // A command that needs a run and refuses while another one runs.
    auto command = [this](const char* name, std::function<void(TEngine&)> run) {
        auto* b = Control<QAbstractButton>(name);
        if (b == nullptr) return;
        connect(b, &QAbstractButton::clicked, this, [this, run] {
            Guard([this, run] {
                if (RefuseWhileBusy() || RefuseWithoutRun()) return;
                PushOptions();
                run(*engine_);
            });
        });
    };
    command("calc_mean_Button", [](TEngine& e) { e.calc_mean_ButtonClick(); });
    command("CalcMeansButton2", [](TEngine& e) { e.calc_mean_ButtonClick(); });
    command("DetermineEffOutliersButton", [](TEngine& e) { e.DetermineEffOutliersButtonClick(); });
    command("WriteSampleDataButton", [](TEngine& e) { e.WriteSampleDataButtonClick(); });
    command("AssignNoPlateauButton", [](TEngine& e) { e.AssignNoPlateauButtonClick(); });
    command("RecalculateWoLButton", [](TEngine& e) { e.RecalculateWoLButtonClick(); });
    command("Set_WoL_Button", [](TEngine& e) { e.Set_WoL_ButtonClick(); });
    command("SetWolPerGroupButton", [](TEngine& e) { e.SetWolPerGroupButtonClick(); });
    command("SetWolAfterReadButton", [](TEngine& e) { e.SetWolAfterReadButtonClick(); });
    command("GroupButton", [this](TEngine& e) {
        if (e.options.groupsource == TEngineOptions::PartXGroupRB && !e.options.PartWantedEdit) {
            Prompter().message(
                TPromptKind::Error, QStringLiteral("Error"),
                QStringLiteral("'%1' is not a valid part number.").arg(PartWantedEdit->text()));
            return;
        }
        e.GroupButtonClick();
    });
    command("ResetDefaultbaselineButton", [](TEngine& e) { e.ResetDefaultbaselineButtonClick(); });
    connect(MarkAsSkippedCB, &QCheckBox::clicked, this, [this](bool checked) {
        Guard([this, checked] {
            if (RefuseWhileBusy() || engine_->nsamples < 1) {
                const QSignalBlocker block(MarkAsSkippedCB);
                MarkAsSkippedCB->setChecked(!checked);
                return;
            }
            engine_->MarkAsSkippedCBClick(checked);
        });
    });
    connect(ToggleShowRG, &TRadioGroup::Click, this, [this] {
        Guard([this] {
            if (RefuseWhileBusy()) {
                const QSignalBlocker block(ToggleShowRG);
                ToggleShowRG->SetItemIndex(engine_->options.ToggleShowRG);
                return;
            }
            PushOptions();
            engine_->ToggleShowRGClick();
        });
    });
    for (QRadioButton* rb : {AllOneGroupRB, ManualGrpsRB, PartXGroupRB, ExcelGroupRB})
        connect(rb, &QRadioButton::clicked, this, [this] {
            Guard([this] {
                if (RefuseWhileBusy()) {
                    ShowGroupSource();
                    return;
                }
                PushOptions();
                engine_->AllOneGroupRBClick();
            });
        });
    connect(CommonGroupWindowRG, &TRadioGroup::Click, this,
            [this] { Guard([this] { CommonGroupWindowRGClick(); }); });
    connect(PartWantedEdit, &QLineEdit::textEdited, this,
            [this](const QString& t) { Guard([this, t] { PartWantedEditChange(t); }); });
    connect(IncluPercEdit, &QLineEdit::textEdited, this,
            [this](const QString& t) { Guard([this, t] { IncluPercEditChange(t); }); });
    connect(NameSepEdit, &QLineEdit::textEdited, this,
            [this](const QString& t) { Guard([this, t] { NameSepEditChange(t); }); });
    NameSepEdit->installEventFilter(this);
    ConnectGroupsAndSubsets();
    ConnectAnnotations();
}

}  // namespace qurvex
