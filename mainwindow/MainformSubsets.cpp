// SPDX-License-Identifier: GPL-3.0-or-later
// Which samples are shown: the flagged-subset filter, the show/hide page, and
// the guard that keeps the user on a page while identifiers are edited.
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>

#include "mainwindow/Mainform.h"
#include "mainwindow/Prompter.h"
#include "spreadsheet/RadioGroup.h"

namespace qurvex {

void Tmainform::ShowSetCBChange() {
    TEngine& e = *engine_;
    if (e.nsamples < 1) return;
    {
        const QSignalBlocker block(cb_show_hidden);
        cb_show_hidden->setChecked(false);
    }
    const int g = e.groupsdefined ? std::max(ShowGroupCB->currentIndex(), 0) : 0;
    if (!e.ShowSetCBChange(ShowSetCB->currentIndex(), g)) {
        QString text = QStringLiteral("No samples marked as \"%1\"").arg(ShowSetCB->currentText());
        if (g >= 1) text += QStringLiteral(" in group \"%1\"").arg(ShowGroupCB->currentText());
        Prompter().message(TPromptKind::Warning, QStringLiteral("Warning"), text);
    } else {
        e.selectsample(e.firstdisplayed());
    }
    plotallsamps();
    update_surveys();
    cb_pcr_axisClick();
}

void Tmainform::ApplySubsetWhenIdle() {
    if (engine_->nsamples < 1) return;
    if (!engine_->busy()) {
        ShowSetCBChange();
        return;
    }
    QTimer::singleShot(50, this, [this] { Guard([this] { ApplySubsetWhenIdle(); }); });
}

namespace {

// Moves the selected entries (or every entry) of one pair of lists to the
// end of the other pair; returns the sample numbers moved.
std::vector<int> moveEntries(QListWidget* names, QListWidget* numbers, QListWidget* toNames,
                             QListWidget* toNumbers, bool all) {
    std::vector<int> moved;
    for (int i = 0; i < names->count();) {
        if (!all && !names->item(i)->isSelected()) {
            ++i;
            continue;
        }
        toNames->addItem(names->takeItem(i));
        QListWidgetItem* number = numbers->takeItem(i);
        moved.push_back(number ? number->text().toInt() : 0);
        if (number) toNumbers->addItem(number);
    }
    return moved;
}

}  // namespace

static void showOrHide(Tmainform& w, TEngine& e, const std::vector<int>& samples, bool shown) {
    for (int s : samples) e.setdisplayed(s, shown);
    w.plotallsamps();
    w.update_surveys();
}

void Tmainform::doshowbutClick() {
    showOrHide(*this, *engine_,
               moveEntries(hiddennamesbox, hiddennrsbox, shownamesbox, shownrsbox, false), true);
}

void Tmainform::dohidebutClick() {
    showOrHide(*this, *engine_,
               moveEntries(shownamesbox, shownrsbox, hiddennamesbox, hiddennrsbox, false), false);
}

void Tmainform::doshowallbutClick() {
    showOrHide(*this, *engine_,
               moveEntries(hiddennamesbox, hiddennrsbox, shownamesbox, shownrsbox, true), true);
}

void Tmainform::dohideallbutClick() {
    showOrHide(*this, *engine_,
               moveEntries(shownamesbox, shownrsbox, hiddennamesbox, hiddennrsbox, true), false);
}

bool Tmainform::PageControl1Changing(QWidget* from) {
    if (engine_->workshopmode || engine_->identsdone) return true;
    if (from != AmpliGroupsTabSheet && from != TissueSampleTabSheet) return true;
    Prompter().message(TPromptKind::Warning, QStringLiteral("Warning"),
                       QStringLiteral("first finish editting identifiers"));
    return false;
}

void Tmainform::PageControl1Change() {
    QWidget* page = PageControl1->currentWidget();
    if (page == TabSheetshoworhide) fillboxesbutClick();
    if (page == AmpliGroupsTabSheet && !engine_->groupsdefined)
        ActivatePage(TabSheetSampleGrouping);
    SetTabVisible(TabSheetGroupsStats, true);
    if (page == TissueSampleTabSheet && ReadTissFromExcelRB->isChecked()) OneTissueRBClick();
    if (page == TabSheetUserSettings && Control<QRadioButton>("ReadExcludeRB")->isChecked())
        ReadExcludeRBClick();
}

}  // namespace qurvex
