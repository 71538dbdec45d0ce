// SPDX-License-Identifier: GPL-3.0-or-later
// Menu commands on a run in memory (a synthetic plate loaded the way a reader
// loads one): determine baselines, set baseline-corrected, window width and
// the individual-window box reach the engine and leave the window consistent.
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
};

QURVEX_WINDOW_TEST_MAIN(RunCommandsTest)

#include "RunCommandsTest.moc"
