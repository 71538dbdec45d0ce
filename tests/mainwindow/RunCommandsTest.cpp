// SPDX-License-Identifier: GPL-3.0-or-later
// Menu commands on a run in memory (a synthetic plate loaded the way a reader
// loads one): determine baselines, set baseline-corrected, window width and
// the individual-window box reach the engine and leave the window consistent.
#include <QTableWidget>
#include <QTemporaryDir>
#include <QValueAxis>

#include "mainwindow/ChartView.h"
#include "mainwindow/DocumentOpener.h"
#include "mainwindow/UpDown.h"
#include "tests/engine/support/SyntheticRun.h"
#include "tests/mainwindow/WindowTest.h"

using namespace qurvex;
using qurvex::testing::TWindowFixture;

namespace {

// Six wells of one target in a dilution series, without noise.
TEngine& loadPlate(Tmainform& w) {
    TEngine& e = w.Engine();
    qurvex::testing::loadSyntheticRun(e, qurvex::testing::makePlate(6, 1, 0.0, 1));
    e.ProcessDataAfterRead();
    return e;
}

// Whether a signal of the control has a receiver. (Disconnecting is the
// public way to ask; the window is thrown away after the check.)
bool connected(QObject* o, const char* signal) {
    return QObject::disconnect(o, signal, nullptr, nullptr);
}

QString errors(const qurvex::testing::TScriptedPrompter& p) {
    QStringList out;
    for (const auto& m : p.messages)
        if (m.kind == TPromptKind::Error) out << m.text;
    return out.join(QStringLiteral(" | "));
}

}  // namespace

class RunCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void baselineCommands_markRunWithoutErrors() {
        // "set baseline-corrected" also shows the grouping pages.
        for (const bool corrected : {false, true}) {
            TWindowFixture f;
            Tmainform& w = f.createActive();
            TEngine& e = loadPlate(w);
            f.prompter.clear();
            (corrected ? w.SetBaselineCorrected1 : w.Determinebaselines1)->trigger();
            QVERIFY2(errors(f.prompter).isEmpty(), qPrintable(errors(f.prompter)));
            QVERIFY(e.baselinedone);
            QVERIFY(!e.busy());
            QVERIFY(!QGuiApplication::overrideCursor());
            if (!corrected) continue;
            QVERIFY(!w.SetBaselineCorrected1->isEnabled());
            QVERIFY(Tmainform::TabVisible(w.AmpliGroupsTabSheet) &&
                    Tmainform::TabVisible(w.TissueSampleTabSheet));
        }
    }

    void setWoLWidth_acceptsAWholeNumberAndRefusesText() {
        TWindowFixture f;
        Tmainform& w = f.createActive();
        loadPlate(w);
        f.prompter.clear();
        f.prompter.textAnswers = {QStringLiteral("6")};
        w.SetWoLwidth1->trigger();
        QCOMPARE(f.prompter.textPrompts, QStringList{QStringLiteral("give number of points: ")});
        QCOMPARE(w.Engine().wolpoints, 6);
        f.prompter.textAnswers = {QStringLiteral("six")};
        w.SetWoLwidth1->trigger();
        QCOMPARE(w.Engine().wolpoints, 6);
        QCOMPARE(f.prompter.count(TPromptKind::Error), 1);
        w.SetWoLwidth1->trigger();  // cancelled
        QCOMPARE(w.Engine().wolpoints, 6);
    }

    void individualFitBox_switchesBetweenOwnAndCommonWindow() {
        TWindowFixture f;
        Tmainform& w = f.createActive();
        loadPlate(w);
        w.Engine().samplenum = 2;
        QTest::mouseClick(w.IndividualFitCB, Qt::LeftButton);
        QVERIFY2(errors(f.prompter).isEmpty(), qPrintable(errors(f.prompter)));
        QCOMPARE(w.Engine().woltype[2], 2);
        QTest::mouseClick(w.IndividualFitCB, Qt::LeftButton);
        QCOMPARE(w.Engine().woltype[2], 0);
        QCOMPARE(w.Engine().uplim[2], w.Engine().uplim[0]);
        QCOMPARE(w.Engine().lowlim[2], w.Engine().lowlim[0]);
    }

    // Every control of the analysis that starts a command is connected.
    void runControls_everyNamedControlIsConnected() {
        TWindowFixture f;
        Tmainform& w = f.createActive();
        const struct {
            const char* name;
            const char* signal;
        } controls[] = {
            {"MarkAsSkippedCB", SIGNAL(clicked(bool))},
            {"ResetDefaultbaselineButton", SIGNAL(clicked(bool))},
            {"calc_mean_Button", SIGNAL(clicked(bool))},
            {"CalcMeansButton2", SIGNAL(clicked(bool))},
            {"DetermineEffOutliersButton", SIGNAL(clicked(bool))},
            {"ToggleShowRG", SIGNAL(Click())},
            {"WriteSampleDataButton", SIGNAL(clicked(bool))},
            {"AssignNoPlateauButton", SIGNAL(clicked(bool))},
            {"RecalculateWoLButton", SIGNAL(clicked(bool))},
            {"Set_WoL_Button", SIGNAL(clicked(bool))},
            {"SetWolPerGroupButton", SIGNAL(clicked(bool))},
            {"SetWolAfterReadButton", SIGNAL(clicked(bool))},
            {"GroupButton", SIGNAL(clicked(bool))},
            {"AllOneGroupRB", SIGNAL(clicked(bool))},
            {"ManualGrpsRB", SIGNAL(clicked(bool))},
            {"PartXGroupRB", SIGNAL(clicked(bool))},
            {"ExcelGroupRB", SIGNAL(clicked(bool))},
            {"PartWantedEdit", SIGNAL(textEdited(QString))},
            {"IncluPercEdit", SIGNAL(textEdited(QString))},
            {"CommonGroupWindowRG", SIGNAL(Click())},
        };
        for (const auto& c : controls) {
            QObject* o = w.findChild<QObject*>(QString::fromLatin1(c.name));
            QVERIFY2(o, c.name);
            QVERIFY2(connected(o, c.signal), c.name);
        }
    }

    // The user's exclusion reaches the engine and survives a sample change;
    // the keystroke filters keep digits only.
    void runControls_exclusionAndFiltersTakeEffect() {
        TWindowFixture f;
        Tmainform& w = f.createActive();
        TEngine& e = loadPlate(w);
        e.selectsample(2);
        QTest::mouseClick(w.MarkAsSkippedCB, Qt::LeftButton);
        QVERIFY(e.userexcluded[2] && e.skipped[2]);
        e.selectsample(3);
        e.selectsample(2);
        QVERIFY(w.MarkAsSkippedCB->isChecked());
        w.PartWantedEdit->clear();
        QTest::keyClicks(w.PartWantedEdit, QStringLiteral("12a"));
        QCOMPARE(w.PartWantedEdit->text(), QStringLiteral("12"));
        QCOMPARE(w.rankLabel->text(), QStringLiteral("th"));
        QCOMPARE(e.options.PartWantedEdit, std::optional<int>(12));
        w.IncluPercEdit->clear();
        QTest::keyClicks(w.IncluPercEdit, QStringLiteral("7x"));
        QCOMPARE(e.options.IncluPercEdit, 7.0);
    }

    // Data grids filled, the baseline panel no longer red after the step,
    // "amplicon group" refused without groups, and the means grid follows.
    void notices_gridsPanelAndWindowChoice() {
        TWindowFixture f;
        Tmainform& w = f.createActive();
        TEngine& e = loadPlate(w);
        QCOMPARE(w.inputgrid->rowCount(), e.nsamples + 2);
        QCOMPARE(w.inputgrid->item(2, 1)->text(), QString::fromStdString(e.sampname[1]));
        QVERIFY(w.validdataSG->item(2, 2) != nullptr);
        QVERIFY(w.BaselineButtonPanel->styleSheet().contains(QStringLiteral("red")));
        w.Determinebaselines1->trigger();
        QVERIFY(w.BaselineButtonPanel->styleSheet().isEmpty());
        f.prompter.clear();
        w.CommonGroupWindowRG->SetItemIndex(1);
        emit w.CommonGroupWindowRG->Click();
        QCOMPARE(w.CommonGroupWindowRG->ItemIndex(), e.options.CommonGroupWindowRG);
        QCOMPARE(f.prompter.count(TPromptKind::Warning), 1);
        QTest::mouseClick(w.Control<QPushButton>("calc_mean_Button"), Qt::LeftButton);
        QCOMPARE(w.means_Grid->item(1, 2)->text(), QString::number(e.groupstatistics[0].n));
    }

    // "reset default" gives the determined baseline back.
    void resetDefaultButton_restoresTheDeterminedBaseline() {
        TWindowFixture f;
        Tmainform& w = f.createActive();
        TEngine& e = loadPlate(w);
        w.Determinebaselines1->trigger();
        e.selectsample(2);
        QVERIFY(e.ApplyManualBaseline(2, e.bgarr[2] * 1.01));
        QTest::mouseClick(w.ResetDefaultbaselineButton, Qt::LeftButton);
        QCOMPARE(e.bgarr[2], e.defbgarr[2]);
        QVERIFY(!e.manualbg[2]);
    }

    // The efficiency axis keeps its top label; the point-count axis has
    // whole-number ticks.
    void axes_efficiencyTopLabelAndWholeCounts() {
        TWindowFixture f;
        Tmainform& w = f.createActive();
        loadPlate(w);
        QValueAxis* eff = w.PCR_eff_Chart->AxisY();
        QCOMPARE(eff->tickType(), QValueAxis::TicksFixed);
        QCOMPARE(eff->tickCount(), 11);
        QCOMPARE(eff->max(), 2.0);
        QValueAxis* count = w.npoints_Chart->AxisY();
        QCOMPARE(count->tickType(), QValueAxis::TicksDynamic);
        QCOMPARE(count->tickInterval(), std::round(count->tickInterval()));
        QCOMPARE(count->labelFormat(), QStringLiteral("%d"));
    }

    // A document the desktop cannot open is reported with its path.
    void documents_withoutDesktopHandlerTheUserIsTold() {
        TWindowFixture f;
        Tmainform& w = f.createActive();
        QTemporaryDir dir;
        QFile file(dir.filePath(QString::fromLatin1(kManualDocument)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        TDocumentOpener opener(&w.Prompter(), dir.path());
        opener.SetOpener([](const QUrl&) { return false; });
        f.prompter.clear();
        QVERIFY(!opener.OpenDocument(QString::fromLatin1(kManualDocument)));
        QCOMPARE(f.prompter.count(TPromptKind::Warning), 1);
        QVERIFY(
            f.prompter.messages.back().text.contains(QDir::toNativeSeparators(file.fileName())));
    }

    // After a pause, one limit change draws each chart once: not the
    // unfitted state at the first event pump and then the result.
    void redraw_oneUserActionDrawsOnceAfterAPause() {
        TWindowFixture f;
        Tmainform& w = f.createActive();
        loadPlate(w);
        w.FlushCharts();
        QTest::qWait(300);
        const int before = w.ChartDraws(w.allsampchart);
        emit w.cupUD->Click(TUpDown::TUDBtnType::btPrev);
        QTest::qWait(20);
        QCOMPARE(w.ChartDraws(w.allsampchart), before + 1);
    }
};

QURVEX_WINDOW_TEST_MAIN(RunCommandsTest)

#include "RunCommandsTest.moc"
