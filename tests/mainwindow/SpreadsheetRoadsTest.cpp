// SPDX-License-Identifier: GPL-3.0-or-later
// The spreadsheet roads and the scratch and workshop tabs as the window
// wires them: menu items and buttons reach their handlers, a diagnostic tab
// fills its grid and leaves the run as it was, and a save is refused while a
// workshop baseline trend is in force.
#include <QFile>
#include <QTableWidget>

#include "tests/engine/support/SyntheticRun.h"
#include "tests/mainwindow/WindowTest.h"

using namespace qurvex;
using qurvex::testing::TWindowFixture;

namespace {

TEngine& loadPlate(Tmainform& w) {
    TEngine& e = w.Engine();
    qurvex::testing::loadSyntheticRun(e, qurvex::testing::makePlate(6, 1, 0.0, 1));
    e.ProcessDataAfterRead();
    return e;
}

bool connected(QObject* o, const char* signal) {
    return QObject::disconnect(o, signal, nullptr, nullptr);
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString cell(const QTableWidget* g, int row, int col) {
    const QTableWidgetItem* item = g->item(row, col);
    return item ? item->text() : QString();
}

}  // namespace

class SpreadsheetRoadsTest : public QObject {
    Q_OBJECT
private slots:
    void spreadsheetRoads_everyControl_isWired() {
        TWindowFixture f;
        Tmainform& w = f.createActive({QStringLiteral("x"), QStringLiteral("w")});
        for (QAction* a : {w.ReadExcel1, w.SavetoExcel1}) {
            QVERIFY2(a->isEnabled(), qPrintable(a->objectName()));
            QVERIFY2(connected(a, SIGNAL(triggered(bool))), qPrintable(a->objectName()));
        }
        QStringList buttons{
            "DisplayBaselineStepsButton", "RunsTestButton",          "CtShiftButton",
            "CtDriftLogLinButton",        "displayStartStopButton2", "GetMinFluButton",
            "BaselineTrendButton",        "FillGridButton",          "WorkshopGridtoExcelButton",
            "ResetDefbgarrButton"};
        for (const auto& [button, grid] : Tmainform::GridExportButtons()) {
            QVERIFY2(w.Control<QTableWidget>(grid), grid);
            buttons << QString::fromLatin1(button);
        }
        for (const QString& name : buttons) {
            auto* b = w.findChild<QAbstractButton*>(name);
            QVERIFY2(b && connected(b, SIGNAL(clicked(bool))), qPrintable(name));
        }
        for (const char* name : {"UniqueTissuesToExcelButton", "TissuesToExcelButton",
                                 "AmpliconGroupsToExcelButton", "SaveRdmlInputGridButton"}) {
            auto* b = w.findChild<QAbstractButton*>(QString::fromLatin1(name));
            QVERIFY2(b && connected(b, SIGNAL(clicked(bool))), name);
        }
    }

    void diagnostics_runsTest_fillsGridAndKeepsRun() {
        TWindowFixture f;
        Tmainform& w = f.createActive({QStringLiteral("x")});
        TEngine& e = loadPlate(w);
        w.Determinebaselines1->trigger();
        const auto bgarr = e.bgarr;
        const auto ct = e.ct;
        f.prompter.clear();
        w.Control<QPushButton>("RunsTestButton")->click();
        QCOMPARE(f.prompter.messages.size(), 0);
        const auto* grid = w.Control<QTableWidget>("StringGrid2");
        QCOMPARE(grid->rowCount(), e.nsamples + 1);
        for (int s = 1; s <= e.nsamples; ++s) {
            QCOMPARE(cell(grid, s, 0), QString::number(s));
            QVERIFY(!cell(grid, s, 1).isEmpty());  // the runs
        }
        QVERIFY(e.bgarr == bgarr);
        QVERIFY(e.ct == ct);
        // The window search shows its table when it is complete.
        w.Control<QPushButton>("Set_WoL_Button")->click();
        const auto* search = w.Control<QTableWidget>("StringGrid1");
        QCOMPARE(cell(search, 0, 1), QStringLiteral("k"));
        QCOMPARE(cell(search, e.wolsearch.finalk + 3, 0), QStringLiteral("min smooth var"));
        // A refused experiment was told by the engine; a bad number by the window.
        e.nsamples = 0;
        f.prompter.clear();
        w.Control<QPushButton>("RunsTestButton")->click();
        w.Control<QLineEdit>("shiftRangeEdit")->setText(QStringLiteral("five"));
        w.Control<QPushButton>("CtShiftButton")->click();
        QCOMPARE(f.prompter.messages.size(), 2);
        QCOMPARE(f.prompter.count(TPromptKind::Error), 1);
    }

    // "step through log-lin phase" titles its grid "t-count", "threshold" and
    // the sample names.
    void diagnostics_ctDrift_gridTitles() {
        TWindowFixture f;
        Tmainform& w = f.createActive({QStringLiteral("x")});
        TEngine& e = loadPlate(w);
        w.Determinebaselines1->trigger();
        w.Control<QPushButton>("CtDriftLogLinButton")->click();
        const auto* grid = w.Control<QTableWidget>("StringGrid5");
        QCOMPARE(cell(grid, 0, 0), QStringLiteral("t-count"));
        QCOMPARE(cell(grid, 0, 1), QStringLiteral("threshold"));
        QCOMPARE(cell(grid, 0, 2), QString::fromStdString(e.sampname[1]));
    }

    void save_whileTrendSet_refusedUntilReset() {
        TWindowFixture f;
        Tmainform& w = f.createActive({QStringLiteral("w")});
        TEngine& e = loadPlate(w);
        w.Determinebaselines1->trigger();
        w.Control<QPushButton>("FillGridButton")->click();
        const auto* grid = w.Control<QTableWidget>("WorkshopSG");
        QCOMPARE(cell(grid, 0, 4), QStringLiteral("Baseline_constant"));
        const QString constant = cell(grid, 1, 4);
        w.Control<QPushButton>("BaselineTrendButton")->click();
        QVERIFY(e.bgtrendset);
        QVERIFY(cell(grid, 1, 4) != constant);  // the filled grid follows the trend
        f.prompter.clear();
        const QByteArray settings = readFile(f.iniFile);
        w.SavetoExcel1->trigger();
        QCOMPARE(readFile(f.iniFile), settings);  // not even the settings are stored
        QCOMPARE(f.prompter.messages.size(), 1);
        QCOMPARE(f.prompter.messages[0].text,
                 QStringLiteral("Baseline trend is set. Saving results is not possible"));
        w.Control<QPushButton>("ResetDefbgarrButton")->click();
        QVERIFY(!e.bgtrendset);
        QCOMPARE(cell(grid, 1, 4), constant);
    }
};

QURVEX_WINDOW_TEST_MAIN(SpreadsheetRoadsTest)
#include "SpreadsheetRoadsTest.moc"
