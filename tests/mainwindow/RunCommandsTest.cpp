// SPDX-License-Identifier: GPL-3.0-or-later
// Menu commands on a run in memory (a synthetic plate loaded the way a reader
// loads one): determine baselines, set baseline-corrected, window width and
// the individual-window box reach the engine and leave the window consistent.
#include "mainwindow/QurvexApplication.h"
#include "mainwindow/RadioGroup.h"
#include "tests/engine/support/SyntheticRun.h"
#include "tests/mainwindow/WindowFixture.h"

#include <QAction>
#include <QCheckBox>
#include <QTest>

using namespace qurvex;
using qurvex::testing::TWindowFixture;

namespace {

// Six amplifying wells of one target, two dilutions apart, without noise.
void loadPlate(TEngine& e) {
  qurvex::testing::SyntheticRun run;
  run.ncycles = 40;
  for (int i = 0; i < 6; ++i) {
    qurvex::testing::SyntheticWell well;
    well.name = "well" + std::to_string(i + 1);
    well.target = "gapdh";
    well.n0 = 1e-6 / (1 << (2 * (i % 3)));
    well.efficiency = 1.9;
    run.wells.push_back(well);
  }
  qurvex::testing::loadSyntheticRun(e, run);
  e.ProcessDataAfterRead();
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
  void setBaselineCorrected_marksRunAndShowsGroupingTabs();
  void determineBaselines_runsWithoutErrors();
  void setWoLWidth_acceptsAWholeNumberAndRefusesText();
  void individualFitBox_switchesBetweenOwnAndCommonWindow();
};

void RunCommandsTest::setBaselineCorrected_marksRunAndShowsGroupingTabs() {
  TWindowFixture f;
  Tmainform& w = f.createActive();
  loadPlate(w.Engine());
  f.prompter.clear();
  w.SetBaselineCorrected1->trigger();
  QVERIFY2(errors(f.prompter).isEmpty(), qPrintable(errors(f.prompter)));
  QVERIFY(w.Engine().baselinedone);
  QVERIFY(!w.SetBaselineCorrected1->isEnabled());
  QVERIFY(Tmainform::TabVisible(w.AmpliGroupsTabSheet));
  QVERIFY(Tmainform::TabVisible(w.TissueSampleTabSheet));
  QVERIFY(!w.Engine().busy());
  QVERIFY(!QGuiApplication::overrideCursor());
}

void RunCommandsTest::determineBaselines_runsWithoutErrors() {
  TWindowFixture f;
  Tmainform& w = f.createActive();
  loadPlate(w.Engine());
  f.prompter.clear();
  w.Determinebaselines1->trigger();
  QVERIFY2(errors(f.prompter).isEmpty(), qPrintable(errors(f.prompter)));
  QVERIFY(w.Engine().baselinedone);
  QVERIFY(!w.Engine().busy());
  QVERIFY(!QGuiApplication::overrideCursor());
}

void RunCommandsTest::setWoLWidth_acceptsAWholeNumberAndRefusesText() {
  TWindowFixture f;
  Tmainform& w = f.createActive();
  loadPlate(w.Engine());
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

void RunCommandsTest::individualFitBox_switchesBetweenOwnAndCommonWindow() {
  TWindowFixture f;
  Tmainform& w = f.createActive();
  loadPlate(w.Engine());
  w.Engine().samplenum = 2;
  QTest::mouseClick(w.IndividualFitCB, Qt::LeftButton);
  QVERIFY2(errors(f.prompter).isEmpty(), qPrintable(errors(f.prompter)));
  QCOMPARE(w.Engine().woltype[2], 2);
  QTest::mouseClick(w.IndividualFitCB, Qt::LeftButton);
  QCOMPARE(w.Engine().woltype[2], 0);
  QCOMPARE(w.Engine().uplim[2], w.Engine().uplim[0]);
  QCOMPARE(w.Engine().lowlim[2], w.Engine().lowlim[0]);
}

int main(int argc, char** argv) {
  TQurvexApplication app(argc, argv);
  RunCommandsTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "RunCommandsTest.moc"
