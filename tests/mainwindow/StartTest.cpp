// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up: the command-line switches, the creation steps, the activation
// steps (once after the first show) and the interface lock of a read.
#include "mainwindow/QurvexApplication.h"
#include "mainwindow/RadioGroup.h"
#include "mainwindow/StartSwitches.h"
#include "mainwindow/UpDown.h"
#include "tests/mainwindow/WindowFixture.h"

#include <QAction>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QValueAxis>

using namespace qurvex;
using qurvex::testing::TWindowFixture;

class StartTest : public QObject {
  Q_OBJECT
private slots:
  void switches_table_data();
  void switches_table();
  void create_withoutSwitches_hidesOptionalTabs();
  void create_scratchAndWorkshop_showBothSets();
  void create_expert_showsExpertPanel();
  void create_decimalComma_recordsComma();
  void activate_firstShow_runsOnceOnly();
  void activate_setsStartValues();
  void enableInterface_locksEditsButtonsAndUpDownsOnly();
  void cursors_hourglassNestsAndDragCursorRestores();
};

void StartTest::switches_table_data() {
  QTest::addColumn<QStringList>("params");
  QTest::addColumn<bool>("scratch");
  QTest::addColumn<bool>("expert");
  QTest::addColumn<bool>("silent");
  QTest::addColumn<bool>("workshop");
  QTest::addColumn<bool>("zw");
  QTest::addColumn<int>("wolpoints");
  QTest::newRow("none") << QStringList{} << false << false << false << false << false << 4;
  QTest::newRow("x") << QStringList{"x"} << true << false << false << false << false << 4;
  QTest::newRow("X") << QStringList{"X"} << true << false << false << false << false << 4;
  QTest::newRow("-x") << QStringList{"-x"} << false << false << false << false << false << 4;
  QTest::newRow("/w") << QStringList{"/w"} << false << false << false << false << false << 4;
  QTest::newRow("j") << QStringList{"j"} << false << false << false << false << false << 4;
  QTest::newRow("J9") << QStringList{"J9"} << false << false << false << false << true << 9;
  QTest::newRow("n6") << QStringList{"n6"} << false << false << false << false << false << 6;
  QTest::newRow("j2") << QStringList{"j2"} << false << false << false << false << true << 4;
  QTest::newRow("x7") << QStringList{"x7"} << false << false << false << false << false << 7;
  QTest::newRow("xa") << QStringList{"xa"} << false << false << false << false << false << 4;
  QTest::newRow("s") << QStringList{"s"} << false << false << true << false << false << 4;
  QTest::newRow("m") << QStringList{"m"} << false << true << false << false << false << 4;
  QTest::newRow("w") << QStringList{"w"} << false << false << false << true << false << 4;
  QTest::newRow("later width wins") << QStringList{"j5", "n3"} << false << false << false << false << true << 3;
  QTest::newRow("x w S") << QStringList{"x", "w", "S"} << true << false << true << true << false << 4;
}

void StartTest::switches_table() {
  QFETCH(QStringList, params);
  const TStartSwitches s = ParseStartSwitches(params);
  QTEST(s.scratchmode, "scratch");
  QTEST(s.expertmode, "expert");
  QTEST(s.silentmode, "silent");
  QTEST(s.workshopmode, "workshop");
  QTEST(s.usebaselinezw, "zw");
  QTEST(s.wolpoints, "wolpoints");

  // The window takes the same values into the run state.
  TWindowFixture f;
  Tmainform& w = f.create(params);
  QCOMPARE(w.Engine().scratchmode, s.scratchmode);
  QCOMPARE(w.Engine().usebaselinezw, s.usebaselinezw);
  QCOMPARE(w.Engine().wolpoints, s.wolpoints);
  QVERIFY(w.Engine().rdmlenabled);
}

void StartTest::create_withoutSwitches_hidesOptionalTabs() {
  TWindowFixture f;
  Tmainform& w = f.create();
  for (QWidget* page : {w.TabSheetScratch, w.TabSheetshoworhide, w.TabSheetOptions, w.TabSheetCheckRDMLVersion,
                        w.TissueSampleTabSheet, w.AmpliGroupsTabSheet, w.TabSheetWorkshop, w.TabSheetGroupsStats})
    QVERIFY2(!Tmainform::TabVisible(page), qPrintable(page->objectName()));
  for (QWidget* page : {w.TabSheetAllSamples, w.TabSheetIndivSample, w.TabSheetData})
    QVERIFY2(Tmainform::TabVisible(page), qPrintable(page->objectName()));
  QVERIFY(!w.Handlingnoise1->isVisible());
  QVERIFY(w.ReadfromRDML1->isVisible());
  QVERIFY(w.SavetoRDML2->isVisible());
  QVERIFY(w.ExpertPanel->isHidden());
  QVERIFY(w.inputgridPanel->isHidden());
  QVERIFY(!w.ShowGroupUD->isEnabled());
  QVERIFY(!w.ShowGroupCB->isEnabled());
  QCOMPARE(w.Engine().wolpoints, 4);
  QCOMPARE(w.Engine().inputsheetname, std::string("Input"));
  // The Cq-too-low tables are filled at creation.
  int sum = 0;
  for (const auto& row : w.Engine().mincteff) sum += row[0] + row[1];
  QVERIFY(sum > 0);
  // Every control carries its name.
  QVERIFY(w.Control<QPushButton>("applycommonbut") == w.applycommonbut);
  QVERIFY(w.Control<QChartView>("allsampchart") != nullptr);
  QVERIFY(w.Control<QWidget>("TabSheetThreshold") != nullptr);
}

void StartTest::create_scratchAndWorkshop_showBothSets() {
  TWindowFixture f;
  Tmainform& w = f.create({"x", "w"});
  for (QWidget* page : {w.TabSheetScratch, w.TabSheetGroupsStats, w.TabSheetWorkshop, w.AmpliGroupsTabSheet,
                        w.TissueSampleTabSheet})
    QVERIFY2(Tmainform::TabVisible(page), qPrintable(page->objectName()));
  QVERIFY(!w.inputgridPanel->isHidden());
  QVERIFY(!Tmainform::TabVisible(w.TabSheetshoworhide));
  QVERIFY(!Tmainform::TabVisible(w.TabSheetCheckRDMLVersion));
}

void StartTest::create_expert_showsExpertPanel() {
  TWindowFixture f;
  Tmainform& w = f.create({"M"});
  QVERIFY(!w.ExpertPanel->isHidden());
  QVERIFY(w.RelaxCtShiftRG->isVisibleTo(w.ExpertPanel));
}

void StartTest::create_decimalComma_recordsComma() {
  const QLocale saved;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  TWindowFixture f;
  Tmainform& w = f.create();
  QLocale::setDefault(saved);
  QCOMPARE(w.Engine().decsep, ',');
  TWindowFixture g;
  QLocale::setDefault(QLocale::c());
  Tmainform& v = g.create();
  QLocale::setDefault(saved);
  QCOMPARE(v.Engine().decsep, '.');
}

void StartTest::activate_firstShow_runsOnceOnly() {
  TWindowFixture f;
  Tmainform& w = f.create();
  QSignalSpy spy(&w, &Tmainform::activated);
  w.show();
  QVERIFY(spy.wait(5000));
  QCOMPARE(w.ActivationCount(), 1);
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

void StartTest::activate_setsStartValues() {
  TWindowFixture f;
  Tmainform& w = f.create();
  w.PageControl1->setCurrentWidget(w.TabSheetData);
  w.rg_fitoptions->SetItemIndex(2);
  w.applycommonbut->setEnabled(true);
  w.Engine().dragline = 3;
  w.Engine().editlock = true;
  w.FormActivate();
  QCOMPARE(w.rg_fitoptions->ItemIndex(), 1);
  QCOMPARE(w.Engine().options.rg_fitoptions, 1);
  QCOMPARE(w.PageControl1->currentWidget(), w.TabSheetAllSamples);
  QCOMPARE(w.PageControl2->currentWidget(), w.TabSheetPCREffs);
  QCOMPARE(w.PageControldata->currentWidget(), w.TabSheetInputData);
  QVERIFY(!w.applycommonbut->isEnabled());
  QVERIFY(!w.applyindivbut->isEnabled());
  QVERIFY(!w.GroupButton->isEnabled());
  QVERIFY(!w.EditGroupsButton->isEnabled());
  QVERIFY(w.AllOneGroupRB->isChecked());
  QVERIFY(w.ctcalcButton->isHidden());
  QVERIFY(!Tmainform::TabVisible(w.TabSheet_baseline));
  QCOMPARE(w.Engine().dragline, 0);
  QVERIFY(w.Engine().dragupper);
  QVERIFY(!w.Engine().editlock);
  QVERIFY(w.Engine().identsdone);
  QCOMPARE(w.Engine().logymin, -2.0);
  QCOMPARE(w.Engine().logymax, 2.0);
  for (QChartView* view : {w.allsampchart, w.samplechart}) {
    auto* axis = qobject_cast<QValueAxis*>(view->chart()->axes(Qt::Vertical).first());
    QVERIFY(axis);
    QCOMPARE(axis->min(), -2.0);
    QCOMPARE(axis->max(), 2.0);
  }
}

void StartTest::enableInterface_locksEditsButtonsAndUpDownsOnly() {
  TWindowFixture f;
  Tmainform& w = f.createActive();
  QDialog progress(&w);  // a window the main window opened keeps its buttons
  auto* stop = new QPushButton(QStringLiteral("stop"), &progress);
  w.EnableInterface(false);
  QVERIFY(stop->isEnabled());
  QVERIFY(!w.cuplimedit->isEnabled());
  QVERIFY(!w.samplenum->isEnabled());
  QVERIFY(!w.showallBut->isEnabled());
  QVERIFY(!w.sampUD->isEnabled());
  QVERIFY(w.ShowSetCB->isEnabled());
  QVERIFY(w.cb_isdisplayed->isEnabled());
  QVERIFY(w.CommonGroupWindowRG->isEnabled());
  QVERIFY(w.About1->isEnabled());
  QVERIFY(w.SetWoLwidth1->isEnabled());
  w.EnableInterface(true);
  QVERIFY(w.cuplimedit->isEnabled());
  QVERIFY(w.showallBut->isEnabled());
  QVERIFY(w.sampUD->isEnabled());
  QVERIFY(!w.ShowGroupUD->isEnabled());
}

void StartTest::cursors_hourglassNestsAndDragCursorRestores() {
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

int main(int argc, char** argv) {
  TQurvexApplication app(argc, argv);
  StartTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "StartTest.moc"
