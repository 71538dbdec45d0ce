// SPDX-License-Identifier: GPL-3.0-or-later
// The window's side of the engine's notices: for each typed notice, the
// controls it touches. The engine names no control; this file is the one
// place that decides what a step of the run shows, offers or withholds.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTableWidget>
#include <algorithm>

#include "mainwindow/Mainform.h"
#include "mainwindow/Prompter.h"
#include "mainwindow/UpDown.h"
#include "spreadsheet/RadioGroup.h"

namespace qurvex {

namespace {

void setCell(QTableWidget* grid, int row, int col, const QString& text) {
    if (row >= grid->rowCount()) grid->setRowCount(row + 1);
    if (col >= grid->columnCount()) grid->setColumnCount(col + 1);
    auto* item = grid->item(row, col);
    if (item == nullptr) {
        grid->setItem(row, col, new QTableWidgetItem(text));
    } else if (item->text() != text) {
        item->setText(text);
    }
}

// A grid emptied of every cell, its size kept.
void cleargrid(QTableWidget* grid) { grid->clearContents(); }

QString subsetText(TRunState::TSubset s) {
    using S = TRunState::TSubset;
    switch (s) {
        case S::all:
            return QStringLiteral("all samples");
        case S::noamplification:
            return QStringLiteral("no amplification");
        case S::baselineerror:
            return QStringLiteral("baseline error");
        case S::noplateau:
            return QStringLiteral("no plateau");
        case S::noisy:
            return QStringLiteral("noisy samples");
        case S::userexcluded:
            return QStringLiteral("excluded by user");
        case S::non0:
            return QStringLiteral("no target quantity calculated");
        case S::n0:
            return QStringLiteral("target quantity calculated");
        case S::unflagged:
            return QStringLiteral("unflagged samples");
        case S::cqtoolow:
            return QStringLiteral("Cq too low");
        case S::effoutlier:
            return QStringLiteral("efficiency outlier");
    }
    return {};
}

// A number as a table cell shows it: up to 15 significant digits.
QString cellNumber(double v) { return QString::number(v, 'g', 15); }

}  // namespace

// ---- progress and the user's attention

void Tmainform::progress(int) { pumpmessages(); }

void Tmainform::pumpmessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void Tmainform::setbusycursor(bool busy) {
    if (busy) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        ++busyCursorDepth_;
    } else if (busyCursorDepth_ > 0) {
        QGuiApplication::restoreOverrideCursor();
        --busyCursorDepth_;
    }
}

void Tmainform::showmessage(TMessageKind kind, const std::string& text) {
    const QString t = QString::fromStdString(text);
    switch (kind) {
        case TMessageKind::warning:
            Prompter().message(TPromptKind::Warning, QStringLiteral("Warning"), t);
            break;
        case TMessageKind::error:
            Prompter().message(TPromptKind::Error, QStringLiteral("Error"), t);
            break;
        case TMessageKind::information:
            Prompter().message(TPromptKind::Information, QStringLiteral("Information"), t);
            break;
    }
}

bool Tmainform::confirm(const std::string& text) {
    return Prompter().askYesNo(QStringLiteral("Confirm"), QString::fromStdString(text));
}

void Tmainform::beep() { QApplication::beep(); }

bool Tmainform::inputbox(const std::string& caption, const std::string& prompt,
                         std::string& value) {
    const auto answer =
        Prompter().askText(QString::fromStdString(caption), QString::fromStdString(prompt),
                           QString::fromStdString(value));
    if (!answer) return false;
    value = answer->toStdString();
    return true;
}

void Tmainform::helpneeded(THelpTopic) { Handlingnoise1Click(); }

// ---- steps of the run

void Tmainform::stagechanged(TRunStage stage) {
    const TEngine& e = *engine_;
    switch (stage) {
        case TRunStage::runreset:
            for (QTableWidget* g : {inputgrid, SampleGrid, validdataSG, AmpliconGroupGrid})
                cleargrid(g);
            FillSubsets();
            SetTabVisible(TabSheet_baseline, false);
            rawdataCB->setVisible(false);
            CommonOrGroupPC->setVisible(false);
            IndividualPC->setVisible(false);
            for (QAction* a : {BaselineCorrection1, Common1, AmpliconGroups1, Individual1})
                a->setChecked(false);
            ShowWindowChoice();
            ActivatePage(TabSheetThreshold);
            PageControl1->setCurrentWidget(TabSheetAllSamples);
            SetWolPerGroupButton->setEnabled(false);
            ShowGroupUD->setEnabled(false);
            ShowGroupCB->setEnabled(false);
            {
                const QSignalBlocker b1(rg_fitoptions), b2(ToggleShowRG);
                rg_fitoptions->SetItemIndex(e.options.rg_fitoptions);
                ToggleShowRG->SetItemIndex(e.options.ToggleShowRG);
            }
            BrowseGroupsPanel->setVisible(false);
            {
                const QSignalBlocker block(numgroupsEdit);
                numgroupsEdit->setText(QStringLiteral("1"));
            }
            ShowGroupSource();
            FillMeansGrid();
            ForgetPreviousRunNames();
            break;
        case TRunStage::baselinewaiting:
            BaselineButtonPanel->setStyleSheet(QStringLiteral("background-color: red;"));
            BaselineButtonPanel->setFocus();
            break;
        case TRunStage::baselinecorrected: {
            BaselineButtonPanel->setStyleSheet(QString());
            QFont plain = BaselineButtonLabel->font();
            plain.setBold(false);
            BaselineButtonLabel->setFont(plain);
            BaselineButtonLabel->setStyleSheet(QString());
            break;
        }
        case TRunStage::baselinestepstarted:
            for (QWidget* w : std::initializer_list<QWidget*>{rawdataCB, indivBaselineButton,
                                                              bgedit, bgUpDown, rg_bgstep})
                w->setVisible(true);
            SetTabVisible(TabSheet_baseline, true);
            break;
        case TRunStage::baselinestepdone:
            SetBaselineCorrected1->setEnabled(false);
            break;
        case TRunStage::annotationsneeded:
            SetTabVisible(AmpliGroupsTabSheet, true);
            SetTabVisible(TissueSampleTabSheet, true);
            break;
        case TRunStage::thresholdapplied:
            ctcalcButton->setVisible(false);
            break;
        case TRunStage::individualfitdone:
            SetTabVisible(TabSheetIndivSample, true);
            break;
        case TRunStage::windowsset:
            ApplyGroupButton->setEnabled(false);
            applyindivbut->setEnabled(false);
            break;
        case TRunStage::windowspergroupset:
            SetWolPerGroupButton->setEnabled(false);
            break;
        case TRunStage::windowsafterreadset:
            SetWolAfterReadButton->setEnabled(false);
            break;
        case TRunStage::groupsdefined:
            SetTabVisible(TabSheetGroupWindow, true);
            SetWolPerGroupButton->setEnabled(true);
            break;
        case TRunStage::groupsourcechanged:
            ShowGroupSource();
            break;
        case TRunStage::commonwindowchosen:
            SetTabVisible(TabSheetCommonWindow, true);
            break;
        case TRunStage::windowchoicechanged:
            ShowWindowChoice();
            break;
        case TRunStage::groupcountchanged:
            FillGroupGrid();
            numgroupsEditChange();
            break;
        case TRunStage::subsetsoffered:
            subsetDisplayLabel->setVisible(true);
            ShowSetCB->setVisible(true);
            ToggleShowRG->setVisible(true);
            {
                const QSignalBlocker block(ToggleShowRG);
                ToggleShowRG->SetItemIndex(e.options.ToggleShowRG);
            }
            break;
        case TRunStage::noisydataset:
            noisydatasetshown();
            break;
    }
}

// No control keeps a target, sample or group name of the previous run: the
// reader writes the new run's names after this.
void Tmainform::ForgetPreviousRunNames() {
    {
        const QSignalBlocker block(ShowGroupCB);
        ShowGroupCB->clear();
        for (const std::string& item : engine_->ShowGroupCBItems)
            ShowGroupCB->addItem(QString::fromStdString(item));
        ShowGroupCB->setCurrentIndex(0);
    }
    GroupIdentEdit->clear();
    if (TargetnameEdit) TargetnameEdit->setText(QStringLiteral("not_named"));
    for (QListWidget* list : {TargetsLB, TissueLB})
        if (list) list->clear();
    if (RdmlInSG) RdmlInSG->clearContents();
}

void Tmainform::ShowWindowChoice() {
    const TEngine& e = *engine_;
    const QSignalBlocker b1(CommonGroupWindowRG), b2(ThresholdsRG);
    CommonGroupWindowRG->SetItemIndex(e.options.CommonGroupWindowRG);
    ThresholdsRG->SetItemIndex(e.options.ThresholdsRG);
}

void Tmainform::pageneeded(TRunPage page) {
    switch (page) {
        case TRunPage::individualsample:
            ActivatePage(TabSheetIndivSample);
            break;
        case TRunPage::efficiencies:
            ActivatePage(TabSheetPCREffs);
            break;
        case TRunPage::tissuepersample:
            if (auto* w = Control<QWidget>("TabSheetTissPerSamp")) ActivatePage(w);
            break;
    }
}

// ---- tables

void Tmainform::tablechanged(TRunTable table, int row) {
    switch (table) {
        case TRunTable::data:
            FillDataGrids();
            FillTissueGrid();
            break;
        case TRunTable::validrow:
            FillValidDataRow(row);
            break;
        case TRunTable::groups:
            FillGroupGrid();
            break;
        case TRunTable::means:
            FillMeansGrid();
            break;
        case TRunTable::wolsearch:
            ShowWolSearch();  // StringGrid1 of the scratch page
            break;
        case TRunTable::noisecheck:
        case TRunTable::ctshift:
        case TRunTable::sampledata:
            // Shown by the diagnostic tabs, which read the typed results.
            break;
    }
}

// Input and valid-data grids: rows 0 and 1 titles and cycle headers, row
// s + 1 sample s with each value in the column of its cycle. The input grid
// shows every value read (inputfluor, beside the cycle it was read at), the
// valid-data grid only the points left after the unusable ones were dropped.
void Tmainform::FillDataGrids() {
    const TEngine& e = *engine_;
    for (QTableWidget* g : {inputgrid, validdataSG}) {
        g->clearContents();
        g->setColumnCount(e.ncycles + 2);
        g->setRowCount(e.nsamples + 2);
        setCell(g, 0, 0, QString::fromStdString(e.runid));
        setCell(g, 0, 1, QStringLiteral("sample v"));
        setCell(g, 0, 2, QStringLiteral("cycle >"));
        setCell(g, 1, 0, QStringLiteral("no."));
        setCell(g, 1, 1, QStringLiteral("name"));
        for (int c = 1; c <= e.ncycles; ++c) setCell(g, 1, c + 1, cellNumber(e.headercyc[c]));
        for (int s = 1; s <= e.nsamples; ++s) {
            setCell(g, s + 1, 0, QString::number(s));
            setCell(g, s + 1, 1, QString::fromStdString(e.sampname[s]));
        }
    }
    for (int s = 1; s <= e.nsamples; ++s) {
        const auto& input = e.inputfluor[s];
        const int n = std::min(e.nrawpoints[s], static_cast<int>(input.size()) - 1);
        for (int p = 1; p <= n; ++p) {
            const int c = e.headerindex(e.rawcyc[s][p]);
            if (c >= 1) setCell(inputgrid, s + 1, c + 1, cellNumber(input[p]));
        }
        FillValidDataRow(s);
    }
    FillGroupGrid();
}

void Tmainform::FillValidDataRow(int s) {
    const TEngine& e = *engine_;
    if (s < 1 || s > e.nsamples || validdataSG->rowCount() < s + 2) return;
    for (int c = 2; c < validdataSG->columnCount(); ++c)
        if (auto* item = validdataSG->item(s + 1, c)) item->setText(QString());
    for (int p = 1; p <= e.npoints[s]; ++p) {
        const int c = e.headerindex(e.cyc[s][p]);
        if (c >= 1) setCell(validdataSG, s + 1, c + 1, cellNumber(e.fluor[s][p]));
    }
}

// Amplicon-group grid: sample name, identifier, group code.
void Tmainform::FillGroupGrid() {
    const TEngine& e = *engine_;
    // The program's own texts are no edits of the user: in edit mode each
    // would run the edit handler, which refills the grid again. The cells
    // are rewritten in place, only where their text differs, so that the
    // current cell, the focus and an editor the user has opened stay.
    const QSignalBlocker quiet(AmpliconGroupGrid);
    AmpliconGroupGrid->setRowCount(e.nsamples + 1);
    setCell(AmpliconGroupGrid, 0, 0, QStringLiteral("sample name"));
    setCell(AmpliconGroupGrid, 0, 1, QStringLiteral("identifier"));
    setCell(AmpliconGroupGrid, 0, 2, QStringLiteral("group code"));
    for (int s = 1; s <= e.nsamples; ++s) {
        setCell(AmpliconGroupGrid, s, 0, QString::fromStdString(e.sampname[s]));
        setCell(AmpliconGroupGrid, s, 1, QString::fromStdString(e.ampname[s]));
        const bool coded =
            s < static_cast<int>(e.AmpliconGroupGridcode.size()) && e.AmpliconGroupGridcode[s] >= 0;
        setCell(AmpliconGroupGrid, s, 2,
                coded ? QString::number(e.AmpliconGroupGridcode[s]) : QString());
    }
    const QSignalBlocker block(numgroupsEdit);
    numgroupsEdit->setText(QString::number(e.ngroups));
}

// Means grid: row 1 "one group", row g + 1 group g; columns 2..6 the
// statistics while they hold for the windows in force.
void Tmainform::FillMeansGrid() {
    const TEngine& e = *engine_;
    const int rows = e.groupsdefined ? e.ngroups + 2 : 2;
    means_Grid->clearContents();
    means_Grid->setRowCount(rows);
    static const char* const titles[] = {"n included", "mean Efficiency", "St Dev", "SEM", "RSE"};
    for (int c = 2; c <= 6; ++c) setCell(means_Grid, 0, c, QString::fromLatin1(titles[c - 2]));
    setCell(means_Grid, 1, 1, QStringLiteral("one group"));
    for (int g = 1; g + 1 < rows; ++g) {
        setCell(means_Grid, g + 1, 0, QString::number(g));
        if (g < static_cast<int>(e.groupidentifiers.size()))
            setCell(means_Grid, g + 1, 1, QString::fromStdString(e.groupidentifiers[g]));
    }
    if (!e.meansshown) return;
    for (int g = 0; g + 1 < rows && g < static_cast<int>(e.groupstatistics.size()); ++g) {
        const auto& st = e.groupstatistics[g];
        setCell(means_Grid, g + 1, 2, QString::number(st.n));
        if (st.n > 0) setCell(means_Grid, g + 1, 3, cellNumber(st.mean));
        if (st.n > 1) {
            setCell(means_Grid, g + 1, 4, cellNumber(st.sd));
            setCell(means_Grid, g + 1, 5, cellNumber(st.sem));
            setCell(means_Grid, g + 1, 6, cellNumber(st.rse));
        }
    }
}

void Tmainform::FillSubsets() {
    const TEngine& e = *engine_;
    const QSignalBlocker block(ShowSetCB);
    ShowSetCB->clear();
    for (const auto s : e.ShowSetCBItems) ShowSetCB->addItem(subsetText(s));
    ShowSetCB->setCurrentIndex(e.ShowSetCBItemIndex);
}

void Tmainform::subsetschanged() {
    FillSubsets();
    ApplySubsetWhenIdle();
}

// ---- results, limits and the current sample

void Tmainform::resultschanged(int s) {
    pendingSample_ = s;
    RequestCharts(kAllSamples | kSample | kSurveys | kPointers);
}

void Tmainform::limitschanged(TLimitEdit edit) { limiteditchanged(edit); }

void Tmainform::thresholdchanged() { ftvaleditchanged(); }

void Tmainform::samplechanged(int s) { samplenumChange(s); }

void Tmainform::groupshownchanged() { AmpGroupNumEditchanged(); }

}  // namespace qurvex
