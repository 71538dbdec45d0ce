// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up: the command-line switches, the creation steps, the activation
// steps (once after the first show) and the interface lock of a read.
#include <QChart>
#include <QChartView>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTimer>
#include <QValueAxis>

#include "mainwindow/StartSwitches.h"
#include "mainwindow/UpDown.h"
#include "tests/mainwindow/WindowTest.h"

using namespace qurvex;
using qurvex::testing::TWindowFixture;

namespace {
// `set` names the modes a row turns on: x scratch, m expert, s silent,
// w workshop, z baseline of the "zw" kind.
void row(const char* name, const QStringList& params, const char* set, int wolpoints) {
    QTest::newRow(name) << params << QString::fromLatin1(set) << wolpoints;
}
}  // namespace

class StartTest : public QObject {
    Q_OBJECT
private slots:
    void switches_table_data() {
        QTest::addColumn<QStringList>("params");
        QTest::addColumn<QString>("set");
        QTest::addColumn<int>("wolpoints");
        row("none", {}, "", 4);
        row("x", {"x"}, "x", 4);
        row("X", {"X"}, "x", 4);
        row("-x", {"-x"}, "", 4);
        row("/w", {"/w"}, "", 4);
        row("j", {"j"}, "", 4);
        row("J9", {"J9"}, "z", 9);
        row("n6", {"n6"}, "", 6);
        row("j2", {"j2"}, "z", 4);
        row("x7", {"x7"}, "", 7);
        row("xa", {"xa"}, "", 4);
        row("s", {"s"}, "s", 4);
        row("m", {"m"}, "m", 4);
        row("w", {"w"}, "w", 4);
        row("later width wins", {"j5", "n3"}, "z", 3);
        row("x w S", {"x", "w", "S"}, "xsw", 4);
    }

    void switches_table() {
        QFETCH(QStringList, params);
        QFETCH(QString, set);
        const TStartSwitches s = ParseStartSwitches(params);
        QCOMPARE(s.scratchmode, set.contains('x'));
        QCOMPARE(s.expertmode, set.contains('m'));
        QCOMPARE(s.silentmode, set.contains('s'));
        QCOMPARE(s.workshopmode, set.contains('w'));
        QCOMPARE(s.usebaselinezw, set.contains('z'));
        QTEST(s.wolpoints, "wolpoints");

        // The window takes the same values into the run state.
        TWindowFixture f;
        Tmainform& w = f.create(params);
        QCOMPARE(w.Engine().scratchmode, s.scratchmode);
        QCOMPARE(w.Engine().usebaselinezw, s.usebaselinezw);
        QCOMPARE(w.Engine().wolpoints, s.wolpoints);
        QVERIFY(w.Engine().rdmlenabled);
    }

    void create_optionalPagesFollowTheSwitches() {
        for (const bool on : {true, false}) {
            TWindowFixture f;
            Tmainform& w = f.create(on ? QStringList{"x", "w", "M"} : QStringList{});
            for (QWidget* page : {w.TabSheetScratch, w.TabSheetGroupsStats, w.TabSheetWorkshop,
                                  w.AmpliGroupsTabSheet, w.TissueSampleTabSheet})
                QVERIFY2(Tmainform::TabVisible(page) == on, qPrintable(page->objectName()));
            for (QWidget* page :
                 {w.TabSheetshoworhide, w.TabSheetOptions, w.TabSheetCheckRDMLVersion})
                QVERIFY2(!Tmainform::TabVisible(page), qPrintable(page->objectName()));
            for (QWidget* page : {w.TabSheetAllSamples, w.TabSheetIndivSample, w.TabSheetData})
                QVERIFY2(Tmainform::TabVisible(page), qPrintable(page->objectName()));
            QCOMPARE(w.inputgridPanel->isHidden(), !on);
            QCOMPARE(w.ExpertPanel->isHidden(), !on);
            if (on) {
                QVERIFY(w.RelaxCtShiftRG->isVisibleTo(w.ExpertPanel));
                continue;
            }
            QVERIFY(!w.Handlingnoise1->isVisible());
            QVERIFY(w.ReadfromRDML1->isVisible() && w.SavetoRDML2->isVisible());
            QVERIFY(!w.ShowGroupUD->isEnabled() && !w.ShowGroupCB->isEnabled());
            QCOMPARE(w.Engine().inputsheetname, std::string("Input"));
            // Controls are found by their names.
            QVERIFY(w.Control<QPushButton>("applycommonbut") == w.applycommonbut);
            QVERIFY(w.Control<QWidget>("TabSheetThreshold") != nullptr);
        }
    }

    void create_decimalComma_recordsComma() {
        const QLocale saved;
        for (const auto& [locale, separator] :
             {std::pair{QLocale(QLocale::German, QLocale::Germany), ','},
              std::pair{QLocale::c(), '.'}}) {
            QLocale::setDefault(locale);
            TWindowFixture f;
            const char recorded = f.create().Engine().decsep;
            QLocale::setDefault(saved);
            QCOMPARE(recorded, separator);
        }
    }

    void activate_firstShowSetsStartValuesOnceOnly() {
        TWindowFixture f;
        Tmainform& w = f.create();
        w.PageControl1->setCurrentWidget(w.TabSheetData);
        w.rg_fitoptions->SetItemIndex(2);
        w.applycommonbut->setEnabled(true);
        w.Engine().startdrag(3, 0);
        w.Engine().beginlimitedit();
        QSignalSpy spy(&w, &Tmainform::activated);
        w.show();
        QVERIFY(spy.wait(5000));
        QCOMPARE(w.ActivationCount(), 1);
        QCOMPARE(w.Engine().options.rg_fitoptions, 1);
        QCOMPARE(w.PageControl1->currentWidget(), w.TabSheetAllSamples);
        QCOMPARE(w.PageControl2->currentWidget(), w.TabSheetPCREffs);
        QVERIFY(!w.applycommonbut->isEnabled() && !w.applyindivbut->isEnabled());
        QVERIFY(w.ctcalcButton->isHidden());
        QCOMPARE(w.Engine().dragline, 0);
        QVERIFY(!w.Engine().editlock);
        for (QChartView* view : {w.allsampchart, w.samplechart}) {
            auto* axis = qobject_cast<QValueAxis*>(view->chart()->axes(Qt::Vertical).first());
            QVERIFY(axis);
            QCOMPARE(axis->min(), -2.0);
            QCOMPARE(axis->max(), 2.0);
        }
        // The user goes to another page; a real modal message box comes and goes.
        w.PageControl1->setCurrentWidget(w.TabSheetIndivSample);
        QTimer::singleShot(50, [] {
            if (QWidget* box = QApplication::activeModalWidget()) box->close();
        });
        QMessageBox::information(&w, QStringLiteral("title"), QStringLiteral("text"));
        w.activateWindow();
        w.hide();
        w.show();
        QTest::qWait(50);
        QCOMPARE(w.ActivationCount(), 1);
        QCOMPARE(w.PageControl1->currentWidget(), w.TabSheetIndivSample);
    }

    void enableInterface_locksEditsButtonsAndUpDownsOnly() {
        TWindowFixture f;
        Tmainform& w = f.createActive();
        QDialog progress(&w);  // a window the main window opened keeps its buttons
        auto* stop = new QPushButton(QStringLiteral("stop"), &progress);
        w.EnableInterface(false);
        QVERIFY(stop->isEnabled());
        const QList<QWidget*> locked{w.cuplimedit, w.samplenum, w.showallBut, w.sampUD};
        for (QWidget* control : locked)
            QVERIFY2(!control->isEnabled(), qPrintable(control->objectName()));
        for (QWidget* control :
             QList<QWidget*>{w.ShowSetCB, w.cb_isdisplayed, w.CommonGroupWindowRG})
            QVERIFY2(control->isEnabled(), qPrintable(control->objectName()));
        QVERIFY(w.About1->isEnabled() && w.SetWoLwidth1->isEnabled());
        w.EnableInterface(true);
        for (QWidget* control : locked)
            QVERIFY2(control->isEnabled(), qPrintable(control->objectName()));
        QVERIFY(!w.ShowGroupUD->isEnabled());  // stays off without groups
    }

    void cursors_hourglassNestsAndDragCursorRestores() {
        TWindowFixture f;
        Tmainform& w = f.create();
        QVERIFY(!QGuiApplication::overrideCursor());
        w.setbusycursor(true);
        w.setbusycursor(true);
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        w.setbusycursor(false);
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        w.setbusycursor(false);
        w.setbusycursor(false);  // one too many: ignored
        QVERIFY(!QGuiApplication::overrideCursor());
        w.SetDragCursor(true);
        w.SetDragCursor(true);
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::SizeVerCursor);
        w.SetDragCursor(false);
        QVERIFY(!QGuiApplication::overrideCursor());
        w.setbusycursor(true);  // a window that goes away gives the cursor back
        f.window.reset();
        QVERIFY(!QGuiApplication::overrideCursor());
    }
};

QURVEX_WINDOW_TEST_MAIN(StartTest)

#include "StartTest.moc"
