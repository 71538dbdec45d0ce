// SPDX-License-Identifier: GPL-3.0-or-later
// The grouping sources of the "Amplicon Groups" page against a private
// office: the four sources one choice across their two panels, and the
// identifiers read from a worksheet column through "Read Amplicons".
#include <QApplication>
#include <QSignalSpy>
#include <QTableWidget>

#include "spreadsheet/Excelcom.h"
#include "tests/engine/support/SyntheticRun.h"
#include "tests/mainwindow/WindowTest.h"
#include "tests/spreadsheet/CalcTestSupport.h"

using namespace qurvex;
using qurvex::testing::showActive;
using qurvex::testing::TWindowFixture;

namespace {

// A run taken over the way a reader does.
TEngine& loadRun(Tmainform& w, int wells) {
    TEngine& e = w.Engine();
    e.ResetInterfaceAfterRead();
    qurvex::testing::loadSyntheticRun(e, qurvex::testing::makePlate(wells, 1, 0.0, 7));
    e.ProcessDataAfterRead();
    Tmainform::SetTabVisible(w.AmpliGroupsTabSheet, true);
    w.PageControl1->setCurrentWidget(w.AmpliGroupsTabSheet);
    return e;
}

// A click on the indicator of a radio button.
void clickRadio(QAbstractButton* b) {
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
}

QLineEdit* edit(Tmainform& w, const char* name) { return w.Control<QLineEdit>(name); }
QComboBox* combo(Tmainform& w, const char* name) { return w.Control<QComboBox>(name); }

struct TSource {
    const char* caption;
    QRadioButton* Tmainform::*button;
    TEngineOptions::TGroupSource kind;
};

const TSource kSources[] = {
    {"all samples one group", &Tmainform::AllOneGroupRB, TEngineOptions::AllOneGroupRB},
    {"type identifiers", &Tmainform::ManualGrpsRB, TEngineOptions::ManualGrpsRB},
    {"base groups on", &Tmainform::PartXGroupRB, TEngineOptions::PartXGroupRB},
    {"read from Excel", &Tmainform::ExcelGroupRB, TEngineOptions::ExcelGroupRB}};

// Chooses a source as a user does: "other options" first when its button
// is in the hidden panel.
void choose(Tmainform& w, const TSource& source) {
    QRadioButton* b = w.*source.button;
    if (!b->isVisible()) clickRadio(w.OtherNameOptionsRB);
    QVERIFY2(b->isVisible(), source.caption);
    clickRadio(b);
}

// The buttons tell the source in force: its button is the one checked of
// the four, and "other options" is checked only with one of the three in
// its panel (never together with "read from Excel ").
void verifySourceShown(Tmainform& w, const TSource& source, const QByteArray& where) {
    int checked = 0;
    for (const TSource& s : kSources) checked += (w.*s.button)->isChecked() ? 1 : 0;
    QVERIFY2(checked == 1, where);
    QVERIFY2((w.*source.button)->isChecked(), where);
    QVERIFY2(w.Engine().options.groupsource == source.kind, where);
    QVERIFY2(w.OtherNameOptionsRB->isChecked() == (source.kind != TEngineOptions::ExcelGroupRB),
             where);
}

// One source checked, the engine's, and the panel of its button shown.
void verifyChosen(Tmainform& w, const TSource& source, const char* from) {
    const QByteArray where = QByteArray(from) + " -> " + source.caption;
    verifySourceShown(w, source, where);
    if (QTest::currentTestFailed()) return;
    const bool excel = source.kind == TEngineOptions::ExcelGroupRB;
    // Shown on its page (an activation brings another page to the front).
    QWidget* page = w.TabSheetSampleGrouping;
    QVERIFY2(w.AmpliconFromExcelPanel->isVisibleTo(page) == excel, where);
    QVERIFY2(w.OtherGroupOptionsPanel->isVisibleTo(page) == !excel, where);
    QVERIFY2(w.EditGroupsButton->isEnabled() == (source.kind == TEngineOptions::ManualGrpsRB),
             where);
    QVERIFY2(w.GroupButton->isEnabled() == (source.kind == TEngineOptions::PartXGroupRB), where);
    if (excel) {
        // The open workbooks are listed and the column edit takes the typing.
        QVERIFY2(combo(w, "books_CB2")->count() >= 1, where);
        QVERIFY2(!combo(w, "Sheets_CB2")->currentText().isEmpty(), where);
        QVERIFY2(QApplication::focusWidget() == edit(w, "AmplicolEdit"), where);
    }
}

// "other options": the panel of the three sources shown, the source in force
// unchanged and still told by the buttons.
void verifyOtherOptions(Tmainform& w, const TSource& inForce, const char* from) {
    const QByteArray where = QByteArray(from) + " -> other options";
    verifySourceShown(w, inForce, where);
    QWidget* page = w.TabSheetSampleGrouping;
    QVERIFY2(w.OtherGroupOptionsPanel->isVisibleTo(page), where);
    QVERIFY2(!w.AmpliconFromExcelPanel->isVisibleTo(page), where);
}

TCellValue text(const char* t) { return TCellValue::Text(QString::fromLatin1(t)); }

}  // namespace

class GroupSourcesOfficeTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY2(test::WaitForOffice(60.0), "the test office did not accept within 60 s");
    }
    void init() {
        test::CloseAllDocuments();
        TExcelcom().NewWorkbook();
    }
    void cleanup() { test::CloseAllDocuments(); }

    void sources_eachChosenFromEachOtherIsTheOneInForce() {
        TWindowFixture f;
        Tmainform& w = showActive(f);
        loadRun(w, 4);
        verifyChosen(w, kSources[0], "start");
        // The four sources and "other options" (nullptr), each clicked after
        // each other one, as a user goes from one to the next.
        const TSource* clicks[] = {&kSources[0], &kSources[1], &kSources[2], &kSources[3], nullptr};
        const TSource* inForce = &kSources[0];
        const auto click = [&](const TSource* next, const char* from) {
            if (next == nullptr) {
                clickRadio(w.OtherNameOptionsRB);
                verifyOtherOptions(w, *inForce, from);
                return;
            }
            choose(w, *next);
            inForce = next;
            verifyChosen(w, *next, from);
        };
        for (const TSource* from : clicks)
            for (const TSource* to : clicks) {
                if (from == to) continue;
                click(from, "a source");
                click(to, from ? from->caption : "other options");
                if (QTest::currentTestFailed()) return;
            }
        QVERIFY(f.prompter.messages.isEmpty());

        // "other options" twice over the worksheet source: the worksheet
        // stays the source until another is chosen, and its button says so.
        choose(w, kSources[3]);
        clickRadio(w.OtherNameOptionsRB);
        verifyOtherOptions(w, kSources[3], "read from Excel");
        clickRadio(w.OtherNameOptionsRB);
        verifyOtherOptions(w, kSources[3], "other options");
        choose(w, kSources[1]);
        verifyChosen(w, kSources[1], "other options");

        // A new read and a new activation of the window start again from
        // "all samples one group", its panel shown.
        choose(w, kSources[3]);
        loadRun(w, 4);
        verifyChosen(w, kSources[0], "a new read");
        choose(w, kSources[3]);
        w.FormActivate();
        verifyChosen(w, kSources[0], "an activation");
    }

    // A column of identifiers on the second sheet of a workbook becomes
    // the groups: sheet chosen in the list, range typed, "Read Amplicons".
    void readAmplicons_aWorksheetColumnBecomesTheGroups() {
        const char* ids[] = {"GAPDH", "GAPDH", "ACTB", "actb", "18S", "18S"};
        {
            TExcelcom excel;
            excel.AttachExcel();
            const QString first = excel.ActiveSheetName();
            excel.AddSheetLast(QStringLiteral("Targets"));
            TCellBlock block;
            for (const char* id : ids) block.push_back({text(id)});
            block.push_back({TCellValue::Number(7)});
            excel.WriteValueToRange(3, 3, 2, 8, block);
            excel.SelectSheet(first);
            excel.DetachExcel();
        }
        TWindowFixture f;
        Tmainform& w = showActive(f);
        TEngine& e = loadRun(w, 7);
        choose(w, kSources[3]);
        QComboBox* sheets = combo(w, "Sheets_CB2");
        QCOMPARE(sheets->count(), 2);
        QTest::keyClick(sheets, Qt::Key_Down);
        QCOMPARE(sheets->currentText(), QStringLiteral("Targets"));
        QCOMPARE(QApplication::focusWidget(), edit(w, "AmplicolEdit"));
        QTest::keyClicks(edit(w, "AmplicolEdit"), QStringLiteral("c"));
        QTest::keyClicks(edit(w, "AmpliStartRowEdit"), QStringLiteral("2"));
        QCOMPARE(edit(w, "AmplicolEdit")->text(), QStringLiteral("C"));
        QCOMPARE(edit(w, "AmpliStopRowEdit")->text(), QStringLiteral("8"));
        QTest::mouseClick(w.Control<QPushButton>("ReadAmpliconsButton"), Qt::LeftButton);

        QVERIFY(f.prompter.messages.isEmpty());
        const QStringList expected{"GAPDH", "GAPDH", "ACTB", "actb", "18S", "18S", "7"};
        const QStringList codes{"1", "1", "2", "2", "3", "3", "4"};
        for (int s = 1; s <= e.nsamples; ++s) {
            QCOMPARE(QString::fromStdString(e.ampname[s]), expected[s - 1]);
            QCOMPARE(w.AmpliconGroupGrid->item(s, 1)->text(), expected[s - 1]);
            QCOMPARE(w.AmpliconGroupGrid->item(s, 2)->text(), codes[s - 1]);
        }
        QCOMPARE(e.ngroups, 4);
        QVERIFY(e.groupsdefined);
        QVERIFY(!e.identsdone);
        QCOMPARE(w.ShowGroupCB->count(), 5);
        QVERIFY(w.SetWolAfterReadButton->isEnabled());
        QCOMPARE(w.CommonOrGroupPC->currentWidget(), w.TabSheetGroupWindow);
        QCOMPARE(e.options.groupsource, TEngineOptions::ExcelGroupRB);
        QVERIFY(w.ExcelGroupRB->isChecked() && w.AmpliconFromExcelPanel->isVisible());

        // A look at the other sources leaves the groups read in force, and
        // the buttons say so; back to the worksheet panel with its button.
        clickRadio(w.OtherNameOptionsRB);
        verifyOtherOptions(w, kSources[3], "groups read");
        QCOMPARE(e.ngroups, 4);
        QCOMPARE(w.AmpliconGroupGrid->item(3, 1)->text(), QStringLiteral("ACTB"));
        clickRadio(w.ExcelGroupRB);
        QVERIFY(w.AmpliconFromExcelPanel->isVisible() && !w.OtherGroupOptionsPanel->isVisible());
        verifySourceShown(w, kSources[3], "back to the worksheet");
        QVERIFY(f.prompter.messages.isEmpty());
    }
};

QURVEX_WINDOW_TEST_MAIN(GroupSourcesOfficeTest)
#include "GroupSourcesOfficeTest.moc"
