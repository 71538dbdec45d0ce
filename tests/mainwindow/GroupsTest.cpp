// SPDX-License-Identifier: GPL-3.0-or-later
// Group windows, subsets, show/hide, output columns and the page guard on a
// synthetic run of two groups (identifiers "A" for samples 1..6, "B" for
// 7..12), driven through the window's controls.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>

#include "spreadsheet/RadioGroup.h"
#include "tests/engine/support/SyntheticRun.h"
#include "tests/mainwindow/WindowTest.h"

using namespace qurvex;
using qurvex::testing::showActive;
using qurvex::testing::TWindowFixture;

namespace {

TEngine& loadRun(Tmainform& w, bool grouped) {
    TEngine& e = w.Engine();
    qurvex::testing::loadSyntheticRun(e, qurvex::testing::makePlate(12, 1, 0.0, 3));
    e.ProcessDataAfterRead();
    if (grouped) {
        std::vector<std::string> names(12, "A");
        for (int i = 6; i < 12; ++i) names[static_cast<std::size_t>(i)] = "B";
        e.setidentifiers(names);
        e.numgroupsEditChange();
    }
    return e;
}

QStringList texts(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
    return out;
}

QStringList warnings(const qurvex::testing::TScriptedPrompter& p) {
    return p.texts(TPromptKind::Warning);
}

// A click of the user on the tab of `page`.
void clickTab(Tmainform& w, QWidget* page) {
    QTabBar* bar = w.PageControl1->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {},
                      bar->tabRect(w.PageControl1->indexOf(page)).center());
}

void chooseWindow(Tmainform& w, int item) {
    w.CommonGroupWindowRG->SetItemIndex(item);
    w.CommonGroupWindowRGClick();
}

// The events the program posts (an edit is handled once its editor has
// closed, and that handling posts again) handled, as in a user's pause
// between two keys.
void settle() {
    for (int pass = 0; pass < 4; ++pass) QCoreApplication::processEvents();
}

// Keys typed as a user types them: each to the control that has the focus.
void typeKeys(const QString& text) {
    for (const QChar c : text) {
        QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
        settle();
    }
}
void pressKey(Qt::Key key) {
    QTest::keyClick(QApplication::focusWidget(), key);
    settle();
}

// A click on the indicator of a radio button.
void clickRadio(QAbstractButton* b) {
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
}

QStringList column(const QTableWidget* grid, int col, int rows) {
    QStringList out;
    for (int r = 1; r <= rows; ++r) out << grid->item(r, col)->text();
    return out;
}

}  // namespace

class GroupsTest : public QObject {
    Q_OBJECT
private slots:
    void windowChoice_eachLevelAndTheNoGroupsWarning() {
        TWindowFixture f;
        Tmainform& w = f.createActive();
        TEngine& e = loadRun(w, false);
        chooseWindow(w, 1);
        QCOMPARE(warnings(f.prompter), QStringList{QStringLiteral("there are no groups defined")});
        QCOMPARE(w.CommonGroupWindowRG->ItemIndex(), 0);
        QCOMPARE(e.woltype[5], 0);

        TWindowFixture g;
        Tmainform& v = g.createActive();
        TEngine& d = loadRun(v, true);
        QVERIFY(v.BrowseGroupsPanel->isVisibleTo(&v));
        QCOMPARE(v.ShowGroupCB->count(), 3);
        chooseWindow(v, 1);
        QCOMPARE(v.ThresholdsRG->ItemIndex(), 1);
        for (int s = 1; s <= d.nsamples; ++s) QCOMPARE(d.woltype[s], 1);
        QCOMPARE(d.ampgroup[9], 2);
        chooseWindow(v, 0);
        QCOMPARE(v.ThresholdsRG->ItemIndex(), 0);
        for (int s = 1; s <= d.nsamples; ++s) QCOMPARE(d.woltype[s], 0);
        chooseWindow(v, 2);
        // The individual fit computes every Cq on the common threshold.
        QCOMPARE(v.ThresholdsRG->ItemIndex(), 0);
        QCOMPARE(d.options.ThresholdsRG, 0);
        QVERIFY(warnings(g.prompter).isEmpty());
    }

    void subsetWithGroup_warnsWithBothNamesAndShowsTheGroupAgain() {
        TWindowFixture f;
        Tmainform& w = f.createActive();
        TEngine& e = loadRun(w, true);
        for (int s = 1; s <= e.nsamples; ++s) e.noplateau[s] = s == 2;
        w.ShowGroupCB->setCurrentIndex(2);
        w.ShowGroupCBChange();
        w.ShowSetCB->setCurrentIndex(3);
        f.prompter.clear();
        w.ShowSetCBChange();
        QCOMPARE(warnings(f.prompter),
                 QStringList{QStringLiteral("No samples marked as \"no plateau\" in group \"B\"")});
        for (int s = 1; s <= e.nsamples; ++s) QCOMPARE(e.isdisplayed[s] != 0, s >= 7);
        w.ShowGroupCB->setCurrentIndex(1);
        w.ShowSetCBChange();
        for (int s = 1; s <= e.nsamples; ++s) QCOMPARE(e.isdisplayed[s] != 0, s == 2);
        QCOMPARE(e.samplenum, 2);
    }

    void engineSubset_theFilterFollows() {
        TWindowFixture f;
        Tmainform& w = f.createActive();
        TEngine& e = loadRun(w, false);
        f.prompter.clear();
        e.DetermineEffOutliersButtonClick();
        QCOMPARE(w.ShowSetCB->currentText(), QStringLiteral("efficiency outlier"));
        bool any = false;
        for (int s = 1; s <= e.nsamples; ++s) any = any || e.effoutlier[s];
        for (int s = 1; s <= e.nsamples; ++s)
            QCOMPARE(e.isdisplayed[s] != 0, !any || e.effoutlier[s] != 0);
        QCOMPARE(warnings(f.prompter)
                     .contains(QStringLiteral("No samples marked as \"efficiency outlier\"")),
                 !any);
    }

    void showHide_hideAllThenShowAllRestoresSampleOrder() {
        TWindowFixture f;
        Tmainform& w = f.createActive();
        TEngine& e = loadRun(w, false);
        w.fillboxesbutClick();
        const QStringList order = texts(w.shownrsbox);
        QCOMPARE(order.size(), 12);
        w.shownamesbox->item(3)->setSelected(true);
        w.dohidebut->click();
        QCOMPARE(texts(w.hiddennrsbox), QStringList{QStringLiteral("4")});
        QCOMPARE(e.isdisplayed[4], 0);
        w.doshowbut->click();  // nothing selected: nothing moves
        w.hiddennamesbox->item(0)->setSelected(true);
        w.doshowbut->click();
        QCOMPARE(e.isdisplayed[4], 1);
        w.fillboxesbutClick();
        w.dohideallbut->click();
        QVERIFY(texts(w.shownrsbox).isEmpty());
        for (int s = 1; s <= e.nsamples; ++s) QCOMPARE(e.isdisplayed[s], 0);
        w.doshowallbut->click();
        QCOMPARE(texts(w.shownrsbox), order);
        QCOMPARE(texts(w.hiddennamesbox), QStringList{});
    }

    void outputColumns_forcedItemsStayTicked() {
        TWindowFixture f;
        Tmainform& w = f.createActive();
        w.allOutputCB->setChecked(true);
        auto item = [&w](const QString& text) {
            return w.OutputColumnsCLB->findItems(text, Qt::MatchExactly).value(0);
        };
        item(QStringLiteral("Cq"))->setCheckState(Qt::Unchecked);
        QCOMPARE(item(QStringLiteral("Cq"))->checkState(), Qt::Checked);
        QVERIFY(!w.allOutputCB->isChecked());
        w.allOutputCB->click();
        for (int i = 0; i < w.OutputColumnsCLB->count(); ++i)
            if (!w.OutputColumnsCLB->item(i)->text().startsWith(QLatin1Char('-')))
                QCOMPARE(w.OutputColumnsCLB->item(i)->checkState(), Qt::Checked);
    }

    void pageGuard_refusedWhileEditingUnlessWorkshop() {
        for (const bool workshop : {false, true}) {
            TWindowFixture f;
            // Shown, so that the tab bar takes clicks; the first show activates.
            Tmainform& w = f.create(workshop ? QStringList{QStringLiteral("w")} : QStringList{});
            QSignalSpy activated(&w, &Tmainform::activated);
            w.show();
            QVERIFY(activated.wait(5000));
            loadRun(w, true);
            Tmainform::SetTabVisible(w.AmpliGroupsTabSheet, true);
            w.PageControl1->setCurrentWidget(w.AmpliGroupsTabSheet);
            w.EditGroupsButton->setEnabled(true);
            w.EditGroupsButton->click();
            QCOMPARE(w.EditGroupsButton->text(), QStringLiteral("Apply Groups"));
            f.prompter.clear();
            clickTab(w, w.TabSheetAllSamples);
            QCOMPARE(w.PageControl1->currentWidget(),
                     workshop ? w.TabSheetAllSamples : w.AmpliGroupsTabSheet);
            QCOMPARE(warnings(f.prompter),
                     workshop ? QStringList{}
                              : QStringList{QStringLiteral("first finish editting identifiers")});
            w.PageControl1->setCurrentWidget(w.AmpliGroupsTabSheet);
            w.EditGroupsButton->click();
            QCOMPARE(w.EditGroupsButton->text(), QStringLiteral("Edit Identifiers"));
            clickTab(w, w.TabSheetAllSamples);
            QCOMPARE(w.PageControl1->currentWidget(), w.TabSheetAllSamples);
        }
    }

    void annotations_extractedFromNamesOrOneForAll() {
        TWindowFixture f;
        Tmainform& w = f.createActive();
        TEngine& e = loadRun(w, false);
        for (int s = 1; s <= e.nsamples; ++s)
            e.sampname[s] = (s % 2 ? "liver_A " : "heart_B ") + std::to_string(s);
        w.Control<QLineEdit>("TissSepEdit")->setText(QStringLiteral("_"));
        w.Control<QLineEdit>("PartEdit")->clear();
        QTest::keyClicks(w.Control<QLineEdit>("PartEdit"), QStringLiteral("22x"));
        QCOMPARE(w.Control<QLineEdit>("PartEdit")->text(), QStringLiteral("22"));
        QCOMPARE(w.Control<QLabel>("partLabel")->text(), QStringLiteral("nd"));
        w.Control<QLineEdit>("PartEdit")->setText(QStringLiteral("2"));
        w.Control<TRadioGroup>("TissPartRG")->SetItemIndex(1);
        w.ExtractTissuesButtonClick();
        QCOMPARE(e.tissue[3], std::string("A"));
        QCOMPARE(e.ntissues, 2);
        QVERIFY(e.tissuesdefined);
        w.Control<QLineEdit>("OneTissueEdit")->setText(QStringLiteral("blood"));
        w.SetOneTissueButtonClick();
        QCOMPARE(e.tissue[4], std::string("blood"));
        QCOMPARE(e.ntissues, 1);
    }

    void groupGrid_nonNumberCodeRefusedAtTheEdit() {
        TWindowFixture f;
        Tmainform& w = f.createActive();
        TEngine& e = loadRun(w, true);
        f.prompter.clear();
        w.AmpliconGroupGridSetEditText(2, 3, QStringLiteral("two"));
        QCOMPARE(warnings(f.prompter).size(), 1);
        QCOMPARE(w.AmpliconGroupGrid->item(3, 2)->text(), QStringLiteral("1"));
        w.AmpliconGroupGridSetEditText(2, 3, QStringLiteral("2"));
        QCOMPARE(e.AmpliconGroupGridcode[3], 2);
        chooseWindow(w, 1);
        QCOMPARE(e.ampgroup[3], 2);
        w.AmpliconGroupGridSetEditText(1, 4, QStringLiteral("C"));
        QCOMPARE(e.ngroups, 3);
    }

    // Identifiers typed down the group grid with the keyboard alone, as in
    // a spreadsheet: each is kept, Down and Enter go on to the next cell.
    void groupGrid_identifiersTypedDownTheColumnAreAllKept() {
        TWindowFixture f;
        Tmainform& w = showActive(f);
        TEngine& e = loadRun(w, false);
        Tmainform::SetTabVisible(w.AmpliGroupsTabSheet, true);
        w.PageControl1->setCurrentWidget(w.AmpliGroupsTabSheet);
        clickRadio(w.ManualGrpsRB);
        QTest::mouseClick(w.EditGroupsButton, Qt::LeftButton);
        QTableWidget* grid = w.AmpliconGroupGrid;
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualItemRect(grid->item(1, 1)).center());
        settle();
        const QStringList typed{QStringLiteral("GAPDH"), QStringLiteral("actb"),
                                QStringLiteral("ACTB"), QStringLiteral("18S")};
        for (int i = 0; i < typed.size(); ++i) {
            typeKeys(typed[i]);
            pressKey(i + 1 < typed.size() ? Qt::Key_Down : Qt::Key_Return);
        }
        QCOMPARE(column(grid, 1, 5), typed + QStringList{QStringLiteral("target_1")});
        for (int s = 1; s <= 4; ++s) QCOMPARE(QString::fromStdString(e.ampname[s]), typed[s - 1]);
        // The spelling first met names the group; ACTB joins actb.
        QCOMPARE(column(grid, 2, 5), (QStringList{"1", "2", "2", "3", "4"}));
        QCOMPARE(e.ngroups, 4);
        QCOMPARE(grid->currentRow(), 5);
        QCOMPARE(grid->currentColumn(), 1);
        QVERIFY(grid->hasFocus());

        // Enter on a cell not being edited goes down as well; a code that is
        // no group number is refused once and the grid keeps the code in force.
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualItemRect(grid->item(7, 2)).center());
        pressKey(Qt::Key_Return);
        QCOMPARE(grid->currentRow(), 8);
        f.prompter.clear();
        typeKeys(QStringLiteral("two"));
        pressKey(Qt::Key_Down);
        QCOMPARE(warnings(f.prompter).size(), 1);
        QCOMPARE(grid->item(8, 2)->text(), QStringLiteral("4"));
        QCOMPARE(grid->currentRow(), 9);
        typeKeys(QStringLiteral("1"));
        pressKey(Qt::Key_Return);
        QCOMPARE(e.AmpliconGroupGridcode[9], 1);
        QCOMPARE(warnings(f.prompter).size(), 1);

        // Enter goes on to the last row and stays there.
        grid->setCurrentCell(e.nsamples - 1, 1);
        typeKeys(QStringLiteral("B2M"));
        pressKey(Qt::Key_Return);
        QCOMPARE(grid->currentRow(), e.nsamples);
        typeKeys(QStringLiteral("B2M"));
        pressKey(Qt::Key_Return);
        pressKey(Qt::Key_Return);
        QCOMPARE(grid->currentRow(), e.nsamples);
        QCOMPARE(grid->currentColumn(), 1);
        QCOMPARE(e.ampname[e.nsamples], std::string("B2M"));
        QCOMPARE(e.ampgroup[e.nsamples - 1], e.ampgroup[e.nsamples]);
    }
};

QURVEX_WINDOW_TEST_MAIN(GroupsTest)
#include "GroupsTest.moc"
