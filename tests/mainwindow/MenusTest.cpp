// SPDX-License-Identifier: GPL-3.0-or-later
// Menus and small windows: the toggles of "&Options", commands refused
// without a run or while the engine is busy, the help documents, the help,
// about, disclaimer and noise windows, the error box for unhandled
// exceptions, and the mouse-wheel rewrite.
#include "mainwindow/AboutBox.h"
#include "mainwindow/DisclaimWindow.h"
#include "mainwindow/DocumentOpener.h"
#include "mainwindow/ExceptionGuard.h"
#include "mainwindow/HelpPages.h"
#include "mainwindow/NoiseWarningWindow.h"
#include "mainwindow/QurvexApplication.h"
#include "mainwindow/RadioGroup.h"
#include "mainwindow/WheelRewrite.h"
#include "tests/mainwindow/WindowFixture.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTextBrowser>
#include <QWheelEvent>
#include <stdexcept>

using namespace qurvex;
using qurvex::testing::TScriptedPrompter;
using qurvex::testing::TWindowFixture;

namespace {

// Loads a run of n samples with names "s1".. into the engine (no data points).
void loadNames(TEngine& e, int n) {
  e.setarraylengths(3, n);
  for (int s = 1; s <= n; ++s) {
    e.sampname[s] = QStringLiteral("s%1").arg(s).toStdString();
    e.isdisplayed[s] = 1;
  }
  e.samplenum = 1;
}

class Thrower : public QObject {
public:
  bool event(QEvent* e) override {
    if (e->type() == QEvent::User) throw std::runtime_error("handler failed: disk full");
    return QObject::event(e);
  }
};

class UrlCatcher : public QObject {
  Q_OBJECT
public:
  QList<QUrl> urls;
public slots:
  void open(const QUrl& url) { urls.append(url); }
};

QStringList texts(const QListWidget* list) {
  QStringList out;
  for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
  return out;
}

}  // namespace

class MenusTest : public QObject {
  Q_OBJECT
private slots:
  void fitAndSaveOptions_alwaysShowTheSameCheckState();
  void commonAndGroupWindowToggles();
  void individualToggle_showsBaselinePageOnlyAfterBaselines();
  void showHide_fillsListsAndReturnsToAllSamples();
  void optionsMenu_individualFitDisablesWidthItem();
  void displayWindowControls_followsRunState();
  void withoutRun_commandsSayAReadComesFirst();
  void whileBusy_commandsAndCloseAreRefused();
  void individualFitUnchecked_underIndividualFit_staysChecked();
  void chemistry_decidesCqTooLowOptions();
  void relaxBaselineCriteria_showsUserSettings();
  void noisyDataSet_showsNoisySubsetAndManualTools();
  void optionControls_reachTheEngine();
  void documents_missingFileIsReported_presentFileIsOpened();
  void helpWindow_pagesAndNavigation();
  void helpDocuments_areBuiltBesideTheProgram();
  void smallWindows_labelsAndResults();
  void exceptions_endInErrorBox();
  void wheel_overGridMovesSelection_elsewhereUntouched();
};

void MenusTest::fitAndSaveOptions_alwaysShowTheSameCheckState() {
  TWindowFixture f;
  Tmainform& w = f.createActive();
  w.FitOptions1->trigger();
  QVERIFY(w.FitOptions1->isChecked() && w.SaveOptions1->isChecked());
  QVERIFY(Tmainform::TabVisible(w.TabSheetOptions));
  QCOMPARE(w.PageControl1->currentWidget(), w.TabSheetOptions);
  w.SaveOptions1->trigger();
  QVERIFY(!w.FitOptions1->isChecked() && !w.SaveOptions1->isChecked());
  QVERIFY(!Tmainform::TabVisible(w.TabSheetOptions));
  QCOMPARE(w.PageControl1->currentWidget(), w.TabSheetAllSamples);
  w.SaveOptions1->trigger();
  QVERIFY(w.FitOptions1->isChecked() && w.SaveOptions1->isChecked());
}

void MenusTest::commonAndGroupWindowToggles() {
  TWindowFixture f;
  Tmainform& w = f.createActive();
  QVERIFY(w.CommonOrGroupPC->isHidden());
  w.Common1->trigger();
  QVERIFY(!w.CommonOrGroupPC->isHidden());
  QVERIFY(Tmainform::TabVisible(w.TabSheetCommonWindow));
  QCOMPARE(w.CommonOrGroupPC->currentWidget(), w.TabSheetCommonWindow);
  QVERIFY(!Tmainform::TabVisible(w.TabSheetGroupWindow));  // no groups yet
  w.Common1->trigger();
  QVERIFY(w.CommonOrGroupPC->isHidden());

  w.Engine().groupsdefined = true;
  w.AmpliconGroups1->trigger();
  QVERIFY(!w.CommonOrGroupPC->isHidden());
  QVERIFY(Tmainform::TabVisible(w.TabSheetGroupWindow));
  QVERIFY(!Tmainform::TabVisible(w.TabSheetCommonWindow));
  w.Common1->trigger();
  QVERIFY(Tmainform::TabVisible(w.TabSheetCommonWindow));
  QVERIFY(Tmainform::TabVisible(w.TabSheetGroupWindow));
  w.AmpliconGroups1->trigger();
  QVERIFY(!Tmainform::TabVisible(w.TabSheetGroupWindow));
  QVERIFY(!w.CommonOrGroupPC->isHidden());  // "&Common" still checked
}

void MenusTest::individualToggle_showsBaselinePageOnlyAfterBaselines() {
  TWindowFixture f;
  Tmainform& w = f.createActive();
  w.BaselineCorrection1->setChecked(true);
  w.Individual1->trigger();
  QVERIFY(!w.IndividualPC->isHidden());
  QCOMPARE(w.IndividualPC->currentWidget(), w.TabSheet_window);
  QVERIFY(!Tmainform::TabVisible(w.TabSheet_baseline));
  w.Individual1->trigger();
  QVERIFY(!Tmainform::TabVisible(w.TabSheet_window));
  QVERIFY(!w.IndividualPC->isHidden());  // manual baseline correction is checked
  w.Engine().baselinedone = true;
  w.Individual1->trigger();
  QVERIFY(Tmainform::TabVisible(w.TabSheet_baseline));
  w.BaselineCorrection1->setChecked(false);
  w.Individual1->trigger();
  QVERIFY(w.IndividualPC->isHidden());
}

void MenusTest::showHide_fillsListsAndReturnsToAllSamples() {
  TWindowFixture f;
  Tmainform& w = f.createActive();
  loadNames(w.Engine(), 3);
  w.Engine().isdisplayed[2] = 0;
  w.ShowHide1->trigger();
  QVERIFY(Tmainform::TabVisible(w.TabSheetshoworhide));
  QCOMPARE(w.PageControl1->currentWidget(), w.TabSheetshoworhide);
  QCOMPARE(texts(w.shownamesbox), (QStringList{"s1", "s3"}));
  QCOMPARE(texts(w.shownrsbox), (QStringList{"1", "3"}));
  QCOMPARE(texts(w.hiddennamesbox), QStringList{"s2"});
  w.ShowHide1->trigger();
  QVERIFY(!Tmainform::TabVisible(w.TabSheetshoworhide));
  QCOMPARE(w.PageControl1->currentWidget(), w.TabSheetAllSamples);
}

void MenusTest::optionsMenu_individualFitDisablesWidthItem() {
  TWindowFixture f;
  Tmainform& w = f.createActive();
  w.CommonGroupWindowRG->SetItemIndex(2);
  emit w.Options1->aboutToShow();
  QVERIFY(!w.SetWoLwidth1->isEnabled());
  w.CommonGroupWindowRG->SetItemIndex(1);
  emit w.Options1->aboutToShow();
  QVERIFY(w.SetWoLwidth1->isEnabled());
}

void MenusTest::displayWindowControls_followsRunState() {
  TWindowFixture f;
  Tmainform& w = f.createActive();
  emit w.DisplayWindowControls1->aboutToShow();
  QVERIFY(!w.AmpliconGroups1->isEnabled());
  QVERIFY(!w.BaselineCorrection1->isChecked());
  w.Engine().groupsdefined = true;
  w.Engine().baselinedone = true;
  emit w.DisplayWindowControls1->aboutToShow();
  QVERIFY(w.AmpliconGroups1->isEnabled());
  QVERIFY(w.BaselineCorrection1->isChecked());
}

void MenusTest::withoutRun_commandsSayAReadComesFirst() {
  TWindowFixture f;
  Tmainform& w = f.createActive();
  f.prompter.clear();
  for (QAction* a : {w.Determinebaselines1, w.SetBaselineCorrected1, w.SetWoLwidth1}) {
    QVERIFY2(a->isEnabled(), qPrintable(a->objectName()));
    a->trigger();
  }
  QCOMPARE(f.prompter.count(TPromptKind::Information), 3);
  QVERIFY(f.prompter.messages.first().text.contains(QStringLiteral("First read a run")));
  QVERIFY(f.prompter.textPrompts.isEmpty());
  QVERIFY(!w.Engine().baselinedone);
  QVERIFY(w.SetBaselineCorrected1->isEnabled());
  // The red panel is the same command.
  f.prompter.clear();
  QTest::mouseClick(w.BaselineButtonPanel, Qt::LeftButton);
  QCOMPARE(f.prompter.count(TPromptKind::Information), 1);
  // The individual-window box cannot change without a run.
  QTest::mouseClick(w.IndividualFitCB, Qt::LeftButton);
  QVERIFY(!w.IndividualFitCB->isChecked());
  QCOMPARE(f.prompter.count(TPromptKind::Error), 0);
}

void MenusTest::whileBusy_commandsAndCloseAreRefused() {
  TWindowFixture f;
  Tmainform& w = f.createActive();
  loadNames(w.Engine(), 2);
  w.show();
  f.prompter.clear();
  {
    TEngine::BusyGuard busy(w.Engine());
    w.SetWoLwidth1->trigger();
    w.eXit1->trigger();
    QVERIFY(w.isVisible());
  }
  QVERIFY(f.prompter.messages.isEmpty());
  QVERIFY(f.prompter.textPrompts.isEmpty());
  w.eXit1->trigger();
  QVERIFY(!w.isVisible());
}

void MenusTest::individualFitUnchecked_underIndividualFit_staysChecked() {
  TWindowFixture f;
  Tmainform& w = f.createActive();
  loadNames(w.Engine(), 2);
  w.CommonGroupWindowRG->SetItemIndex(2);
  w.IndividualFitCB->blockSignals(true);
  w.IndividualFitCB->setChecked(true);
  w.IndividualFitCB->blockSignals(false);
  const auto woltype = w.Engine().woltype;
  QTest::mouseClick(w.IndividualFitCB, Qt::LeftButton);
  QVERIFY(w.IndividualFitCB->isChecked());
  QCOMPARE(w.Engine().woltype, woltype);
}

void MenusTest::chemistry_decidesCqTooLowOptions() {
  TWindowFixture f;
  Tmainform& w = f.createActive();
  w.Engine().chemistry = 5;
  w.SetCqCorrNeeded();
  QVERIFY(w.Engine().cqcorrneeded);
  QVERIFY(!w.ExcludeTooLowCqCB->isHidden());
  QVERIFY(!w.CheckCqTooLowGB->isHidden());
  w.Engine().chemistry = 2;
  w.SetCqCorrNeeded();
  QVERIFY(!w.Engine().cqcorrneeded);
  QVERIFY(w.ExcludeTooLowCqCB->isHidden());
  QVERIFY(w.CheckCqTooLowGB->isHidden());
}

void MenusTest::relaxBaselineCriteria_showsUserSettings() {
  TWindowFixture f;
  Tmainform& w = f.createActive();
  QVERIFY(w.RelaxPanel->isHidden());
  w.RelaxBaselineCriteria1->trigger();
  QVERIFY(!w.RelaxPanel->isHidden());
  QCOMPARE(w.PageControl1->currentWidget(), w.TabSheetUserSettings);
}

void MenusTest::noisyDataSet_showsNoisySubsetAndManualTools() {
  TWindowFixture f;
  Tmainform& w = f.createActive();
  QVERIFY(!w.Handlingnoise1->isVisible());
  w.noisydatasetshown();
  QVERIFY(w.Handlingnoise1->isVisible());
  QVERIFY(!w.ShowSetCB->isHidden());
  QCOMPARE(w.ShowSetCB->currentText(), QStringLiteral("noisy samples"));
  QVERIFY(w.cb_pcr_axis->isChecked());
  QVERIFY(w.Common1->isChecked() && w.AmpliconGroups1->isChecked());
  QVERIFY(!w.CommonOrGroupPC->isHidden());
  QCOMPARE(w.CommonOrGroupPC->currentWidget(), w.TabSheetCommonWindow);
  QVERIFY(!w.IndividualPC->isHidden());
  QCOMPARE(w.IndividualPC->currentWidget(), w.TabSheet_baseline);
}

void MenusTest::optionControls_reachTheEngine() {
  TWindowFixture f;
  Tmainform& w = f.createActive();
  QTest::keyClicks(w.rreqedit, QStringLiteral("5"));
  QCOMPARE(w.rg_fitoptions->ItemIndex(), 2);
  QCOMPARE(w.Engine().options.rg_fitoptions, 2);
  QCOMPARE(w.Engine().options.rreqedit, 0.9995);
  QTest::keyClicks(w.minincludedit, QStringLiteral("5"));
  QCOMPARE(w.Engine().options.rg_fitoptions, 1);
  QCOMPARE(w.Engine().options.minincludedit, 45);
  w.ExcludeNoPlateauCB->setChecked(false);
  QVERIFY(!w.Engine().options.ExcludeNoPlateauCB);
  w.ExcludeSkippedCB->setChecked(false);  // never unticked
  QVERIFY(w.ExcludeSkippedCB->isChecked());
  QVERIFY(w.Engine().options.ExcludeSkippedCB);
  w.BaselineStrictnessRG->Button(2)->click();
  QCOMPARE(w.Engine().options.BaselineStrictnessRG, 2);
}

void MenusTest::documents_missingFileIsReported_presentFileIsOpened() {
  TWindowFixture f;
  Tmainform& w = f.createActive();
  UrlCatcher catcher;
  QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
  f.prompter.clear();
  w.OpenManualpdf1->trigger();
  QCOMPARE(f.prompter.count(TPromptKind::Warning), 1);
  QVERIFY(f.prompter.messages.first().text.contains(QStringLiteral("Qurvex_help.pdf")));
  QVERIFY(catcher.urls.isEmpty());

  QFile pdf(f.dir.filePath(QStringLiteral("Qurvex.pdf")));
  QVERIFY(pdf.open(QIODevice::WriteOnly));
  pdf.write("%PDF-1.4\n");
  pdf.close();
  f.prompter.clear();
  w.Faqs1->trigger();
  QVERIFY(f.prompter.messages.isEmpty());
  QCOMPARE(catcher.urls.size(), 1);
  QCOMPARE(catcher.urls.first().toLocalFile(), f.dir.filePath(QStringLiteral("Qurvex.pdf")));
  QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
}

void MenusTest::helpWindow_pagesAndNavigation() {
  TWindowFixture f;
  Tmainform& w = f.createActive();
  QString page, subpage;
  f.prompter.onModal = [&](QDialog& d) {
    auto* help = qobject_cast<Thelppages*>(&d);
    QVERIFY(help);
    page = help->CurrentPageCaption();
    subpage = help->CurrentSubpageCaption();
  };
  f.prompter.clear();
  w.Help2->trigger();
  QCOMPARE(f.prompter.modals, QStringList{"helppages"});
  QCOMPARE(page, QStringLiteral("Overview"));
  w.Handlingnoise1Click();
  QCOMPARE(page, QStringLiteral("Handling Noisy Sets"));

  Thelppages help(nullptr);
  QCOMPARE(help.MainHelpPageControl->tabText(0), QStringLiteral("Overview"));
  QTest::mouseClick(help.findChild<QPushButton*>("GoToBaselineButton"), Qt::LeftButton);
  QCOMPARE(help.CurrentPageCaption(), QStringLiteral("Menu Options"));
  QCOMPARE(help.CurrentSubpageCaption(), QStringLiteral("Baseline"));
  QTest::mouseClick(help.findChild<QPushButton*>("GoToMeanEffButton2"), Qt::LeftButton);
  QCOMPARE(help.CurrentPageCaption(), QStringLiteral("Mean Efficiency"));
  QVERIFY(!help.ShowPage(QStringLiteral("No such page")));
  QCOMPARE(help.CurrentPageCaption(), QStringLiteral("Mean Efficiency"));
  // Every page has text of its own.
  for (const THelpPage& p : HelpPageTable()) {
    auto* text = help.findChild<QTextBrowser*>(QStringLiteral("HelpText_%1").arg(QString::fromLatin1(p.resource)));
    QVERIFY2(text && text->toPlainText().size() > 40, p.resource);
  }
}

void MenusTest::helpDocuments_areBuiltBesideTheProgram() {
  TScriptedPrompter prompter;
  const TDocumentOpener opener(&prompter, QStringLiteral(QURVEX_PROGRAM_DIR));
  for (const char* name : {kManualDocument, kFaqDocument, kUpdateHistoryDocument}) {
    QFile pdf(opener.PathOf(QString::fromLatin1(name)));
    QVERIFY2(pdf.open(QIODevice::ReadOnly), name);
    QVERIFY(pdf.read(5) == "%PDF-");
    QVERIFY2(pdf.size() > 5000, name);
  }
  // The manual holds every help page, so it is the largest.
  QVERIFY(QFileInfo(opener.PathOf(QString::fromLatin1(kManualDocument))).size() >
          QFileInfo(opener.PathOf(QString::fromLatin1(kFaqDocument))).size());
}

void MenusTest::smallWindows_labelsAndResults() {
  TWindowFixture f;
  Tmainform& w = f.createActive();
  QString version, date;
  f.prompter.onModal = [&](QDialog& d) {
    if (auto* about = qobject_cast<TAboutBox*>(&d)) {
      version = about->Version->text();
      date = about->DateLabel->text();
    }
  };
  f.prompter.clear();
  w.About1->trigger();
  w.Disclaimer1->trigger();
  QCOMPARE(f.prompter.modals, (QStringList{"AboutBox", "disclaimwindow"}));
  QCOMPARE(version, QStringLiteral("2021.2"));
  QCOMPARE(date, QStringLiteral("(December 2021)"));

  QString memo;
  f.prompter.onModal = [&](QDialog& d) {
    if (auto* noise = qobject_cast<Tnoisewarningwindow*>(&d)) memo = noise->Memo1->toPlainText();
  };
  f.prompter.modalResults = {2};
  QCOMPARE(w.noisewarning({"3 noisy samples", "see help"}), 2);
  QCOMPARE(memo, QStringLiteral("3 noisy samples\nsee help"));

  // "visit Qurvex site" opens the installed manual; here it is missing.
  TScriptedPrompter quiet;
  TDocumentOpener opener(&quiet, f.dir.path());
  TAboutBox box(&opener);
  box.siteaddress = opener.ProgramSiteUrl();
  box.open();
  QTest::mouseClick(box.VisitSiteButton, Qt::LeftButton);
  QVERIFY(!box.isVisible());
  QCOMPARE(quiet.count(TPromptKind::Warning), 1);
  QVERIFY(quiet.messages.first().text.contains(QStringLiteral("Qurvex_help.pdf")));

  Tnoisewarningwindow noise;
  noise.open();
  QTest::mouseClick(noise.ShowHelpButton, Qt::LeftButton);
  QCOMPARE(noise.result(), 2);
  noise.open();
  QTest::mouseClick(noise.OKButton, Qt::LeftButton);
  QCOMPARE(noise.result(), 1);
  Tdisclaimwindow disclaimer;
  disclaimer.open();
  QTest::mouseClick(disclaimer.AgreeButton, Qt::LeftButton);
  QCOMPARE(disclaimer.result(), 1);
  QVERIFY(disclaimer.Memo1->toPlainText().contains(QStringLiteral("responsibility")));
}

void MenusTest::exceptions_endInErrorBox() {
  auto* app = static_cast<TQurvexApplication*>(QCoreApplication::instance());
  TScriptedPrompter prompter;
  app->setErrorPrompter(&prompter);
  Thrower thrower;
  QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
  QCoreApplication::processEvents();
  app->setErrorPrompter(nullptr);
  QCOMPARE(prompter.count(TPromptKind::Error), 1);
  QCOMPARE(prompter.messages.first().text, QStringLiteral("handler failed: disk full"));

  prompter.clear();
  QVERIFY(!runGuarded(&prompter, [] { throw 42; }));
  QCOMPARE(prompter.messages.first().text, QStringLiteral("unknown error"));
  QVERIFY(runGuarded(&prompter, [] {}));
}

void MenusTest::wheel_overGridMovesSelection_elsewhereUntouched() {
  QWidget top;
  auto* grid = new QTableWidget(6, 2, &top);
  auto* edit = new QLineEdit(&top);
  edit->move(0, 260);
  top.resize(300, 300);
  top.show();
  top.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&top));
  TWheelRewrite rewrite;
  qApp->installEventFilter(&rewrite);
  grid->setFocus();
  grid->setCurrentCell(3, 0);
  QTRY_COMPARE(QApplication::focusWidget(), grid);
  auto wheel = [&](int dy) {
    const QPointF pos(10, 10);
    QWheelEvent e(pos, grid->viewport()->mapToGlobal(pos), QPoint(), QPoint(0, dy), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    return QApplication::sendEvent(grid->viewport(), &e);
  };
  wheel(120);
  QCOMPARE(grid->currentRow(), 2);
  wheel(-120);
  wheel(-120);
  QCOMPARE(grid->currentRow(), 4);
  edit->setFocus();
  QTRY_COMPARE(QApplication::focusWidget(), edit);
  wheel(120);
  QCOMPARE(grid->currentRow(), 4);
  qApp->removeEventFilter(&rewrite);
}

int main(int argc, char** argv) {
  TQurvexApplication app(argc, argv);
  MenusTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "MenusTest.moc"
