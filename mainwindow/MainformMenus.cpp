// SPDX-License-Identifier: GPL-3.0-or-later
// The main menu's handlers, the option and page toggles, the small windows
// opened from the menus, and the wiring of the window's controls.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTimer>
#include <utility>

#include "mainwindow/AboutBox.h"
#include "mainwindow/ClickPanel.h"
#include "mainwindow/DisclaimWindow.h"
#include "mainwindow/DocumentOpener.h"
#include "mainwindow/HelpPages.h"
#include "mainwindow/Mainform.h"
#include "mainwindow/NoiseWarningWindow.h"
#include "mainwindow/Prompter.h"
#include "mainwindow/UpDown.h"
#include "spreadsheet/RadioGroup.h"

namespace qurvex {

namespace {

const QString kVersion = QStringLiteral("2021.2");
const QString kVersionDate = QStringLiteral("(December 2021)");

// Output columns that every spreadsheet output holds, and the separator item
// that is never an output column.
bool isFixedOutputColumn(const QString& name) {
    static const QStringList fixed{QStringLiteral("sample number"),
                                   QStringLiteral("sample name"),
                                   QStringLiteral("Cq-threshold"),
                                   QStringLiteral("Cq"),
                                   QStringLiteral("mean PCR efficiency"),
                                   QStringLiteral("N0 based on mean eff"),
                                   QStringLiteral("Sample Use"),
                                   QStringLiteral("Quality Label"),
                                   QStringLiteral("Legend")};
    return fixed.contains(name);
}

}  // namespace

int Tmainform::CurrentSample() const {
    const TEngine& e = *engine_;
    if (e.nsamples < 1) return 0;
    if (e.samplenum < 1) return 1;
    return e.samplenum > e.nsamples ? e.nsamples : e.samplenum;
}

// ---- help menu and small windows

void Tmainform::Disclaimer1Click() {
    Tdisclaimwindow window(this);
    Prompter().runModal(window);
}

void Tmainform::About1Click() {
    TAboutBox about(documents_.get(), this);
    about.Version->setText(kVersion);
    about.DateLabel->setText(kVersionDate);
    about.siteaddress = documents_->ProgramSiteUrl();
    Prompter().runModal(about);
}

void Tmainform::ShowHelpPage(const QString& page, const QString& subpage) {
    Thelppages help(documents_.get(), this);
    help.siteaddress = documents_->ProgramSiteUrl();
    help.ShowPage(page, subpage);
    Prompter().runModal(help);
}

void Tmainform::Help2Click() { ShowHelpPage(QStringLiteral("Overview")); }

void Tmainform::Handlingnoise1Click() { ShowHelpPage(QStringLiteral("Handling Noisy Sets")); }

void Tmainform::OpenManualpdf1Click() {
    documents_->OpenDocument(QString::fromLatin1(kManualDocument));
}

void Tmainform::Faqs1Click() { documents_->OpenDocument(QString::fromLatin1(kFaqDocument)); }

int Tmainform::noisewarning(const std::vector<std::string>& lines) {
    Tnoisewarningwindow window(this);
    QStringList text;
    for (const std::string& line : lines) text << QString::fromStdString(line);
    window.Memo1->setPlainText(text.join(QLatin1Char('\n')));
    return Prompter().runModal(window);
}

void Tmainform::noisydatasetshown() {
    subsetDisplayLabel->setVisible(true);
    ShowSetCB->setVisible(true);
    FillSubsets();
    cb_pcr_axis->setChecked(true);
    Common1->setChecked(true);
    Common1Click();
    AmpliconGroups1->setChecked(true);
    AmpliconGroups1Click();
    ActivatePage(TabSheetCommonWindow);
    BaselineCorrection1->setChecked(false);
    BaselineCorrection1Click();
    ActivatePage(TabSheet_baseline);
    Handlingnoise1->setVisible(true);
}

// ---- options menu

void Tmainform::Options1Click() { SetWoLwidth1->setEnabled(CommonGroupWindowRG->ItemIndex() != 2); }

void Tmainform::DisplayWindowControls1Click() {
    BaselineCorrection1->setChecked(engine_->baselinedone);
    AmpliconGroups1->setEnabled(engine_->groupsdefined);
}

void Tmainform::Common1Click() {
    if (Common1->isChecked()) {
        CommonOrGroupPC->setVisible(true);
        SetTabVisible(TabSheetCommonWindow, true);
        ActivatePage(TabSheetCommonWindow);
        SetTabVisible(TabSheetGroupWindow, engine_->groupsdefined && AmpliconGroups1->isChecked());
    } else {
        SetTabVisible(TabSheetCommonWindow, false);
        if (!AmpliconGroups1->isChecked()) CommonOrGroupPC->setVisible(false);
    }
}

void Tmainform::AmpliconGroups1Click() {
    if (AmpliconGroups1->isChecked()) {
        CommonOrGroupPC->setVisible(true);
        // Group windows exist only once groups are defined.
        SetTabVisible(TabSheetGroupWindow, engine_->groupsdefined);
        if (engine_->groupsdefined) ActivatePage(TabSheetGroupWindow);
        SetTabVisible(TabSheetCommonWindow, Common1->isChecked());
    } else {
        SetTabVisible(TabSheetGroupWindow, false);
        if (!Common1->isChecked()) CommonOrGroupPC->setVisible(false);
    }
}

void Tmainform::Individual1Click() {
    if (Individual1->isChecked()) {
        IndividualPC->setVisible(true);
        SetTabVisible(TabSheet_window, true);
        ActivatePage(TabSheet_window);
        SetTabVisible(TabSheet_baseline, engine_->baselinedone && BaselineCorrection1->isChecked());
    } else {
        SetTabVisible(TabSheet_window, false);
        if (!BaselineCorrection1->isChecked()) IndividualPC->setVisible(false);
    }
}

void Tmainform::ReturnToAllSamples() { PageControl1->setCurrentWidget(TabSheetAllSamples); }

void Tmainform::FitOptions1Click() {
    const bool on = FitOptions1->isChecked();
    SaveOptions1->setChecked(on);
    SetTabVisible(TabSheetOptions, on);
    if (on)
        ActivatePage(TabSheetOptions);
    else
        ReturnToAllSamples();
}

void Tmainform::SaveOptions1Click() {
    const bool on = SaveOptions1->isChecked();
    FitOptions1->setChecked(on);
    SetTabVisible(TabSheetOptions, on);
    if (on)
        ActivatePage(TabSheetOptions);
    else
        ReturnToAllSamples();
}

void Tmainform::ShowHide1Click() {
    if (ShowHide1->isChecked()) {
        SetTabVisible(TabSheetshoworhide, true);
        ActivatePage(TabSheetshoworhide);
        fillboxesbutClick();
    } else {
        SetTabVisible(TabSheetshoworhide, false);
        ReturnToAllSamples();
    }
}

void Tmainform::RelaxBaselineCriteria1Click() {
    RelaxPanel->setVisible(true);
    SetTabVisible(TabSheetUserSettings, true);
    ActivatePage(TabSheetUserSettings);
}

void Tmainform::DisplayMarkedSubsets1Click() {
    subsetDisplayLabel->setVisible(DisplayMarkedSubsets1->isChecked());
    ShowSetCB->setVisible(DisplayMarkedSubsets1->isChecked());
}

void Tmainform::HighlightUncheckedsamples1Click() { update_surveys(); }

void Tmainform::SetWoLwidth1Click() {
    if (RefuseWhileBusy() || RefuseWithoutRun()) return;
    engine_->SetWoLwidth1Click();
}

void Tmainform::Determinebaselines1Click() {
    if (RefuseWhileBusy() || RefuseWithoutRun()) return;
    engine_->BaselineButtonPanelClick();
}

void Tmainform::SetBaselineCorrected1Click() {
    if (RefuseWhileBusy() || RefuseWithoutRun()) return;
    engine_->SetBaselineCorrected1Click();
}

void Tmainform::BaselineCorrection1Click() {
    BaselineCorrection1->setChecked(true);
    IndividualPC->setVisible(true);
    SetTabVisible(TabSheet_baseline, true);
    ActivatePage(TabSheet_baseline);
    SetTabVisible(TabSheet_window, Individual1->isChecked());
}

// ---- check boxes and edits of this window's options

void Tmainform::IndividualFitCBClick() {
    if (engine_->nsamples < 1 || RefuseWhileBusy()) {
        const QSignalBlocker block(IndividualFitCB);
        IndividualFitCB->setChecked(!IndividualFitCB->isChecked());
        return;
    }
    if (IndividualFitCB->isChecked()) {
        engine_->fitsampleButClick();
        return;
    }
    switch (CommonGroupWindowRG->ItemIndex()) {
        case 0:
            reset_samp_ButClick();
            break;
        case 1:
            ResetSampToGrpWindow(CurrentSample());
            break;
        default: {
            const QSignalBlocker block(IndividualFitCB);
            IndividualFitCB->setChecked(true);
            break;
        }
    }
}

void Tmainform::reset_samp_ButClick() { engine_->reset_samp_ButClick(CurrentSample()); }

void Tmainform::ResetSampToGrpWindow(int s) { engine_->ResetSampToGrpWindow(s); }

void Tmainform::rreqeditChange() {
    rg_fitoptions->SetItemIndex(2);
    PushOptions();
}

void Tmainform::minincludeditChange() {
    rg_fitoptions->SetItemIndex(1);
    PushOptions();
}

void Tmainform::PartWantedEditEnter() { ChoosePartXGroupSource(); }

// Shows the panel of the three other sources to choose from. Groups read from a worksheet stay
// in force until one of them is chosen, and "read from Excel " stays the checked one meanwhile:
// "other options" is checked only while one of the three is the source.
void Tmainform::OtherNameOptionsRBClick() {
    OtherNameOptionsRB->setChecked(engine_->options.groupsource != TEngineOptions::ExcelGroupRB);
    OtherGroupOptionsPanel->setVisible(true);
    AmpliconFromExcelPanel->setVisible(false);
}

void Tmainform::OtherTisseuAnnotOptionsRBClick() {
    OtherTissueAnnotOptionsPanel->setVisible(true);
    ReadTissuesPanel->setVisible(false);
}

void Tmainform::SetCqCorrNeeded() {
    engine_->SetCqCorrNeeded();
    ExcludeTooLowCqCB->setVisible(engine_->cqcorrneeded);
    CheckCqTooLowGB->setVisible(engine_->cqcorrneeded);
}

void Tmainform::ExcludeSkippedCBClick() {
    // Samples without amplification never count in a mean efficiency.
    if (!ExcludeSkippedCB->isChecked()) {
        const QSignalBlocker block(ExcludeSkippedCB);
        ExcludeSkippedCB->setChecked(true);
    }
    PushOptions();
}

void Tmainform::OutputColumnsCLBClickCheck() {
    const QSignalBlocker block(OutputColumnsCLB);
    bool anyUnticked = false;
    for (int i = 0; i < OutputColumnsCLB->count(); ++i) {
        QListWidgetItem* it = OutputColumnsCLB->item(i);
        if (isFixedOutputColumn(it->text())) it->setCheckState(Qt::Checked);
        if (it->text() == QLatin1String("-----------------------------"))
            it->setCheckState(Qt::Unchecked);
        if (it->checkState() != Qt::Checked) anyUnticked = true;
    }
    if (anyUnticked) {
        const QSignalBlocker blockAll(allOutputCB);
        allOutputCB->setChecked(false);
    }
}

void Tmainform::allOutputCBClick() {
    if (!allOutputCB->isChecked()) return;
    const QSignalBlocker block(OutputColumnsCLB);
    for (int i = 0; i < OutputColumnsCLB->count(); ++i)
        OutputColumnsCLB->item(i)->setCheckState(Qt::Checked);
}

void Tmainform::fillboxesbutClick() {
    for (QListWidget* l : {shownamesbox, shownrsbox, hiddennamesbox, hiddennrsbox}) l->clear();
    const TEngine& e = *engine_;
    for (int s = 1; s <= e.nsamples; ++s) {
        const bool shown = s < static_cast<int>(e.isdisplayed.size()) && e.isdisplayed[s];
        const QString name = s < static_cast<int>(e.sampname.size())
                                 ? QString::fromStdString(e.sampname[s])
                                 : QString();
        (shown ? shownamesbox : hiddennamesbox)->addItem(name);
        (shown ? shownrsbox : hiddennrsbox)->addItem(QString::number(s));
    }
}

// ---- wiring

bool Tmainform::eventFilter(QObject* watched, QEvent* event) {
    if (watched == PartWantedEdit && event->type() == QEvent::FocusIn)
        Guard([this] { PartWantedEditEnter(); });
    if (watched == NameSepEdit && event->type() == QEvent::FocusIn) {
        Guard([this] { NameSepEditEnter(); });
        // A click puts the caret where it falls, which clears the selection:
        // the text is selected again once the click is over.
        selectSeparatorOnRelease_ =
            static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason;
    }
    if (watched == NameSepEdit && event->type() == QEvent::FocusOut)
        selectSeparatorOnRelease_ = false;
    if (watched == NameSepEdit && event->type() == QEvent::MouseButtonRelease &&
        selectSeparatorOnRelease_) {
        selectSeparatorOnRelease_ = false;
        QTimer::singleShot(0, NameSepEdit, [this] { NameSepEdit->selectAll(); });
    }
    // Limit and fluorescence edits: entering one holds the recalculation until
    // "apply"; leaving a fluorescence edit that was typed in applies it.
    const bool in = event->type() == QEvent::FocusIn, out = event->type() == QEvent::FocusOut;
    if (in || out) {
        bool ok = false;
        if (int i = watched->property("qurvexLimit").toInt(&ok); ok) {
            const auto edit = static_cast<TLimitEdit>(i);
            Guard([this, edit, in] { in ? cuplimeditEnter(edit) : cuplimeditExit(edit); });
        } else if (int j = watched->property("qurvexFluor").toInt(&ok); ok) {
            const auto edit = static_cast<TLimitEdit>(j);
            auto* fe = qobject_cast<QLineEdit*>(watched);
            Guard([this, edit, in, fe] {
                if (in) {
                    cuplimeditEnter(edit);
                } else {
                    cuplimeditExit(edit);
                    if (fe && fe->isModified()) {
                        fe->setModified(false);
                        cupfluoreditChange(edit);
                    }
                }
            });
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void Tmainform::ConnectHandlers() {
    auto onAction = [this](QAction* action, void (Tmainform::*handler)()) {
        connect(action, &QAction::triggered, this,
                [this, handler] { Guard([this, handler] { (this->*handler)(); }); });
    };
    onAction(eXit1, &Tmainform::eXit1Click);
    onAction(SetWoLwidth1, &Tmainform::SetWoLwidth1Click);
    onAction(Common1, &Tmainform::Common1Click);
    onAction(AmpliconGroups1, &Tmainform::AmpliconGroups1Click);
    onAction(Individual1, &Tmainform::Individual1Click);
    onAction(FitOptions1, &Tmainform::FitOptions1Click);
    onAction(SaveOptions1, &Tmainform::SaveOptions1Click);
    onAction(DisplayMarkedSubsets1, &Tmainform::DisplayMarkedSubsets1Click);
    onAction(HighlightUncheckedsamples1, &Tmainform::HighlightUncheckedsamples1Click);
    onAction(ShowHide1, &Tmainform::ShowHide1Click);
    onAction(Determinebaselines1, &Tmainform::Determinebaselines1Click);
    onAction(SetBaselineCorrected1, &Tmainform::SetBaselineCorrected1Click);
    onAction(BaselineCorrection1, &Tmainform::BaselineCorrection1Click);
    onAction(RelaxBaselineCriteria1, &Tmainform::RelaxBaselineCriteria1Click);
    onAction(Help2, &Tmainform::Help2Click);
    onAction(OpenManualpdf1, &Tmainform::OpenManualpdf1Click);
    onAction(Faqs1, &Tmainform::Faqs1Click);
    onAction(Handlingnoise1, &Tmainform::Handlingnoise1Click);
    onAction(Disclaimer1, &Tmainform::Disclaimer1Click);
    onAction(About1, &Tmainform::About1Click);
    connect(Options1, &QMenu::aboutToShow, this, [this] { Guard([this] { Options1Click(); }); });
    connect(DisplayWindowControls1, &QMenu::aboutToShow, this,
            [this] { Guard([this] { DisplayWindowControls1Click(); }); });

    auto onClick = [this](QAbstractButton* b, void (Tmainform::*handler)()) {
        connect(b, &QAbstractButton::clicked, this,
                [this, handler] { Guard([this, handler] { (this->*handler)(); }); });
    };
    onClick(IndividualFitCB, &Tmainform::IndividualFitCBClick);
    onClick(OtherNameOptionsRB, &Tmainform::OtherNameOptionsRBClick);
    onClick(OtherTisseuAnnotOptionsRB, &Tmainform::OtherTisseuAnnotOptionsRBClick);
    onClick(ReadRegistryButton, &Tmainform::ReadRegistryButtonClick);
    onClick(SaveRegistryButton, &Tmainform::SaveRegistryButtonClick);
    onClick(allOutputCB, &Tmainform::allOutputCBClick);
    onClick(fillboxesbut, &Tmainform::fillboxesbutClick);
    connect(ExcludeSkippedCB, &QCheckBox::toggled, this,
            [this] { Guard([this] { ExcludeSkippedCBClick(); }); });
    connect(OutputColumnsCLB, &QListWidget::itemChanged, this,
            [this] { Guard([this] { OutputColumnsCLBClickCheck(); }); });
    connect(static_cast<TClickPanel*>(BaselineButtonPanel), &TClickPanel::clicked, this,
            [this] { Guard([this] { Determinebaselines1Click(); }); });
    connect(rreqedit, &QLineEdit::textEdited, this,
            [this] { Guard([this] { rreqeditChange(); }); });
    connect(minincludedit, &QLineEdit::textEdited, this,
            [this] { Guard([this] { minincludeditChange(); }); });
    connect(FrontBackRG, &TRadioGroup::Click, this,
            [this] { Guard([this] { PartWantedEditEnter(); }); });
    PartWantedEdit->installEventFilter(this);

    // Option controls the engine reads (ThresholdsRG through its own handler,
    // which may refuse the choice). While a long step runs, which reads them
    // sample by sample, a change is refused: the control shows the option in
    // force again.
    using O = TEngineOptions;
    const std::pair<TRadioGroup*, int O::*> groups[] = {
        {rg_fitoptions, &O::rg_fitoptions},       {BaselineStrictnessRG, &O::BaselineStrictnessRG},
        {RelaxCtShiftRG, &O::RelaxCtShiftRG},     {RelaxLogLinLengthRG, &O::RelaxLogLinLengthRG},
        {AcceptErrorEffRG, &O::AcceptErrorEffRG}, {AcceptBiasN0RG, &O::AcceptBiasN0RG}};
    for (const auto& [group, field] : groups)
        connect(group, &TRadioGroup::Click, this, [this, g = group, f = field] {
            if (!RefuseWhileBusy()) return PushOptions();
            const QSignalBlocker block(g);
            g->SetItemIndex(engine_->options.*f);
        });
    const std::pair<QCheckBox*, bool O::*> boxes[] = {{ExcludeNoPlateauCB, &O::ExcludeNoPlateauCB},
                                                      {ExcludeOutlierCB, &O::ExcludeOutlierCB},
                                                      {ExcludeTooLowCqCB, &O::ExcludeTooLowCqCB}};
    for (const auto& [box, field] : boxes)
        connect(box, &QCheckBox::toggled, this, [this, c = box, f = field] {
            if (!RefuseWhileBusy()) return PushOptions();
            const QSignalBlocker block(c);
            c->setChecked(engine_->options.*f);
        });
    for (QLineEdit* e : {IncluPercEdit, nmaxedit})
        connect(e, &QLineEdit::textChanged, this, [this] { PushOptions(); });
}

}  // namespace qurvex
