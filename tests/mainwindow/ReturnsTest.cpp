// SPDX-License-Identifier: GPL-3.0-or-later
// User actions that once never returned, each driven as the user does: the
// switch between log and linear axis (a handful of ticks at every step of
// every chart, whatever the range), typing into the group grid (one run of
// the edit handler per edit, a refused code shown once) and "Save to Excel"
// or the read dialog without an office (told once, not at every return of
// the focus).
#include <QAbstractItemView>
#include <QSignalSpy>
#include <QTabBar>
#include <QTableWidget>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <limits>

#include "mainwindow/ChartView.h"
#include "spreadsheet/Excelcom.h"
#include "spreadsheet/RadioGroup.h"
#include "spreadsheet/ReadExcelDialog.h"
#include "tests/engine/support/SyntheticRun.h"
#include "tests/mainwindow/WindowTest.h"

using namespace qurvex;
using qurvex::testing::NobodyPipe;
using qurvex::testing::TScopedCalcPipe;
using qurvex::testing::TWindowFixture;

namespace {

// The ticks Qt lays out for the axis as it stands.
double ticksOf(const QValueAxis* a) {
    if (a->tickType() == QValueAxis::TicksFixed) return a->tickCount();
    const double n = (a->max() - a->min()) / a->tickInterval();
    return std::isfinite(n) ? n + 1.0 : std::numeric_limits<double>::infinity();
}

// The most ticks any axis of the watched charts had at any of its changes
// (each change is laid out by Qt at once).
class TTickWatch {
public:
    void watch(TChartView* chart) {
        for (QValueAxis* a : {chart->AxisX(), chart->AxisY()}) {
            auto note = [this, a] { most = std::max(most, ticksOf(a)); };
            QObject::connect(a, &QValueAxis::rangeChanged, a, note);
            QObject::connect(a, &QValueAxis::tickCountChanged, a, note);
            QObject::connect(a, &QValueAxis::tickIntervalChanged, a, note);
            QObject::connect(a, &QValueAxis::tickAnchorChanged, a, note);
            QObject::connect(a, &QValueAxis::tickTypeChanged, a, note);
        }
    }
    double most = 0.0;
};

QList<TChartView*> charts(Tmainform& w) {
    return {w.allsampchart, w.samplechart, w.PCR_eff_Chart, w.Correl_Chart, w.npoints_Chart};
}

TEngine& loadPlate(Tmainform& w, int wells, int targets) {
    TEngine& e = w.Engine();
    qurvex::testing::loadSyntheticRun(e, qurvex::testing::makePlate(wells, targets, 0.0, 5));
    e.ProcessDataAfterRead();
    w.FlushCharts();
    return e;
}

QStringList warnings(const qurvex::testing::TScriptedPrompter& p) {
    return p.texts(TPromptKind::Warning);
}

// Clicks the cell as the user does (a second click when the first one only
// selects it), types `text` into its editor and presses Enter.
void typeIntoCell(QTableWidget* grid, int row, int col, const QString& text) {
    QTableWidgetItem* item = grid->item(row, col);
    QVERIFY(item);
    grid->scrollToItem(item);
    const QPoint at = grid->visualItemRect(item).center();
    auto editorOf = [grid] {
        QLineEdit* editor = nullptr;
        for (QLineEdit* e : grid->viewport()->findChildren<QLineEdit*>())
            if (e->isVisible()) editor = e;
        return editor;
    };
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
    if (!editorOf()) QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
    QLineEdit* editor = editorOf();
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
}

}  // namespace

class ReturnsTest : public QObject {
    Q_OBJECT
private slots:
    // The chart alone, from every kind of previous axis to every kind of
    // range, with meaningless inputs among them.
    void chartAxis_fewTicksAtEveryStepWhateverTheRange() {
        TChartView chart(QStringLiteral("Cycles"), QStringLiteral("Log(Fluorescence)"), -2, 2);
        chart.resize(400, 300);
        chart.show();
        TTickWatch watch;
        watch.watch(&chart);
        const double inf = std::numeric_limits<double>::infinity();
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double ranges[][3] = {
            {-2, 2, 0},  {-2.3, 1.72, 0},     {0, 5253.86, 0}, {-2, 1.72, 0.01},  {0, 1e-3, 0},
            {0, 1e6, 0}, {0, 1e6, 0.5},       {-3, 6, 0},      {0.995, 1, 0.001}, {1, 2.5, 0.3},
            {5, 5, 0},   {1e20, 1e20 + 1, 0}, {nan, nan, 0},   {-inf, inf, 0},    {0, inf, 1},
            {3, -3, -1}, {0, 1, nan},         {0, 1, 1e-300},  {-1e308, 1e308, 0}};
        for (const auto& from : ranges)
            for (const auto& to : ranges) {
                chart.SetYAxis(from[0], from[1], from[2]);
                chart.SetYAxis(to[0], to[1], to[2]);
                QVERIFY2(watch.most <= 22.0, qPrintable(QStringLiteral("%1..%2 by %3: %4 ticks")
                                                            .arg(to[0])
                                                            .arg(to[1])
                                                            .arg(to[2])
                                                            .arg(watch.most)));
                QVERIFY(std::isfinite(chart.AxisY()->min()) && std::isfinite(chart.AxisY()->max()));
                QVERIFY(chart.AxisY()->max() > chart.AxisY()->min());
            }
        for (const double max : {nan, inf, 0.0, -4.0, 1e9}) {
            chart.SetXRange(0.0, max);
            chart.SetCountAxis(max);
        }
        QVERIFY(watch.most <= 22.0);

        // Left to the chart, a range gets a handful of ticks; whole steps put
        // a label on both ends.
        for (const double max : {1e-3, 0.7, 4.0, 5253.86, 1e6}) {
            chart.SetYAxis(0.0, max);
            QVERIFY2(ticksOf(chart.AxisY()) <= 9.0, qPrintable(QString::number(max)));
        }
        chart.SetYAxis(1.0, 2.5, 0.3);
        QCOMPARE(chart.AxisY()->tickType(), QValueAxis::TicksFixed);
        QCOMPARE(chart.AxisY()->tickCount(), 6);
        chart.SetCountAxis(40.0);
        QCOMPARE(chart.AxisY()->min(), 0.0);
        QVERIFY(chart.AxisY()->max() >= 40.0 && ticksOf(chart.AxisY()) <= 9.0);
    }

    // Baseline-corrected data, then "Log axis" off and on again through the
    // check boxes and the menu item, over linear ranges from 1e-3 to 1e6.
    void logLinearSwitch_instantOnEveryChart() {
        TWindowFixture f;
        Tmainform& w = f.create();
        QSignalSpy activated(&w, &Tmainform::activated);
        w.resize(1100, 800);
        w.show();
        QVERIFY(activated.wait(5000));
        TEngine& e = loadPlate(w, 24, 2);
        w.SetBaselineCorrected1->trigger();
        w.FlushCharts();
        TTickWatch watch;
        for (TChartView* c : charts(w)) watch.watch(c);
        // A log minimum far down, so that every maximum below lies above it.
        f.prompter.textAnswers = {QStringLiteral("-4")};
        w.MinFluor1->trigger();
        QCOMPARE(e.logymin, -4.0);
        for (int k = -3; k <= 6; ++k) {
            f.prompter.textAnswers = {QString::number(k + 0.7)};
            w.MaxFluor1->trigger();
            QCOMPARE(e.logymax, k + 0.7);
            w.logyaxis->click();  // to linear
            QVERIFY(!w.logYaxisall->isChecked() && !w.Logaxis1->isChecked());
            QCOMPARE(w.samplechart->AxisY()->max(), std::pow(10.0, k + 0.7));
            w.logYaxisall->click();  // back to log
            QVERIFY(w.logyaxis->isChecked());
            w.Logaxis1->trigger();  // to linear through the menu
            QVERIFY(!w.logyaxis->isChecked());
            w.Logaxis1->trigger();
            QCOMPARE(w.allsampchart->AxisY()->min(), -4.0);
        }
        // As random use found it too: the largest maximum a linear axis takes.
        w.logyaxis->click();
        f.prompter.textAnswers = {QStringLiteral("1e308")};
        w.MaxFluor1->trigger();
        QCOMPARE(e.logymax, 308.0);
        w.logyaxis->click();
        w.logyaxis->click();
        w.FlushCharts();
        QVERIFY2(watch.most <= 22.0, qPrintable(QString::number(watch.most)));
        QCOMPARE(f.prompter.count(TPromptKind::Error), 0);
    }

    // Typing into the grid, each edit handled once: an identifier makes a
    // new group, a refused code warns once and leaves the grid as it was.
    void groupGrid_typedEditsHandledOnce() {
        TWindowFixture f;
        Tmainform& w = f.create();
        QSignalSpy activated(&w, &Tmainform::activated);
        w.show();
        QVERIFY(activated.wait(5000));
        TEngine& e = loadPlate(w, 12, 1);
        w.Determinebaselines1->trigger();
        QTabBar* tabs = w.PageControl1->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {},
                          tabs->tabRect(w.PageControl1->indexOf(w.AmpliGroupsTabSheet)).center());
        QCOMPARE(w.PageControl1->currentWidget(), w.AmpliGroupsTabSheet);
        w.ManualGrpsRB->click();
        w.EditGroupsButton->click();
        QCOMPARE(w.EditGroupsButton->text(), QStringLiteral("Apply Groups"));
        f.prompter.clear();
        const int groupsBefore = e.ngroups;

        typeIntoCell(w.AmpliconGroupGrid, 4, 1, QStringLiteral("C"));
        QTRY_COMPARE(e.ampname[4], std::string("C"));
        QTest::qWait(100);  // nothing more is queued
        QCOMPARE(e.ngroups, groupsBefore + 1);
        QCOMPARE(w.AmpliconGroupGrid->item(4, 1)->text(), QStringLiteral("C"));

        const QString code = w.AmpliconGroupGrid->item(3, 2)->text();
        typeIntoCell(w.AmpliconGroupGrid, 3, 2, QStringLiteral("two"));
        QTRY_COMPARE(warnings(f.prompter).size(), 1);
        QTest::qWait(100);
        QCOMPARE(warnings(f.prompter).size(), 1);
        QCOMPARE(w.AmpliconGroupGrid->item(3, 2)->text(), code);

        // A code in range is taken; nothing else is queued behind it.
        f.prompter.clear();
        typeIntoCell(w.AmpliconGroupGrid, 5, 2, QString::number(e.ngroups));
        QTRY_COMPARE(e.AmpliconGroupGridcode[5], e.ngroups);
        QTest::qWait(100);
        QVERIFY(f.prompter.messages.isEmpty());

        // The grid filled by the program is no edit of the user.
        w.OtherNameOptionsRB->click();
        w.PartXGroupRB->click();
        QVERIFY(w.GroupButton->isEnabled());
        w.GroupButton->click();
        QTest::qWait(100);
        for (int s = 1; s <= e.nsamples; ++s)
            QCOMPARE(w.AmpliconGroupGrid->item(s, 1)->text(), QString::fromStdString(e.ampname[s]));
        QVERIFY(warnings(f.prompter).isEmpty());
    }

    // "Save to Excel" with no office listening: the save dialog tells so
    // once, also when each closed error box gives the focus back to it.
    void saveToExcelWithoutOffice_toldOnce() {
        const TScopedCalcPipe scopedPipe(NobodyPipe("returns"));
        TWindowFixture f;
        Tmainform& w = f.createActive();
        loadPlate(w, 12, 1);
        // As it was found: a threshold typed with a word in it, then the save.
        w.ftvaledit->selectAll();
        QTest::keyClicks(w.ftvaledit, QStringLiteral("12 liver"));
        QTest::keyClick(w.ftvaledit, Qt::Key_Return);
        f.prompter.clear();
        f.prompter.onModal = [](QDialog& dialog) {
            dialog.show();
            for (int box = 0; box < 3; ++box) {
                QEvent on(QEvent::WindowActivate);
                QApplication::sendEvent(&dialog, &on);
            }
            dialog.hide();
        };
        f.prompter.modalResults = {2};
        w.SavetoExcel1->trigger();
        QCOMPARE(f.prompter.modals, QStringList{QStringLiteral("TsaveexcelQVXcomform")});
        QCOMPARE(f.prompter.count(TPromptKind::Error), 1);
        // The read dialog refuses before it shows.
        f.prompter.clear();
        w.ReadExcel1->trigger();
        QVERIFY(f.prompter.modals.isEmpty());
        QCOMPARE(f.prompter.count(TPromptKind::Error), 1);
    }

    // A scoped test pipe gives back what it found: a pipe that was not set is
    // unset again (an empty value would name the default pipe, the user's).
    void scopedCalcPipe_givesBackWhatItFound() {
        const QByteArray own = qgetenv("QURVEX_CALC_PIPE");
        qunsetenv("QURVEX_CALC_PIPE");
        {
            const TScopedCalcPipe scopedPipe(NobodyPipe("unset"));
            QCOMPARE(qgetenv("QURVEX_CALC_PIPE"), NobodyPipe("unset").toUtf8());
        }
        const bool leftUnset = !qEnvironmentVariableIsSet("QURVEX_CALC_PIPE");
        qputenv("QURVEX_CALC_PIPE", own);
        QVERIFY(leftUnset);
        { const TScopedCalcPipe scopedPipe(NobodyPipe("set")); }
        QCOMPARE(qgetenv("QURVEX_CALC_PIPE"), own);
    }

    // The read dialog in spreadsheet mode tells a missing office once, also
    // when each closed error box gives the focus back to it.
    void readDialogWithoutOffice_toldOnce() {
        TExcelcom excel(QStringLiteral("qurvex-returns-test-nobody-") +
                        QString::number(QCoreApplication::applicationPid()));
        const TDialogHooks saved = DialogHooks();
        int errors = 0;
        DialogHooks().showError = [&errors](const QString&) { ++errors; };
        {
            TreadexcelQVXcomform dialog(excel);
            dialog.RdmlOrExcelRG->SetItemIndex(1);
            dialog.show();
            for (int box = 0; box < 3; ++box) {
                QEvent on(QEvent::WindowActivate);
                QApplication::sendEvent(&dialog, &on);
            }
        }
        DialogHooks() = saved;
        QCOMPARE(errors, 1);
    }
};

QURVEX_WINDOW_TEST_MAIN(ReturnsTest)
#include "ReturnsTest.moc"
