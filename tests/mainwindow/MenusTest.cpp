// SPDX-License-Identifier: GPL-3.0-or-later
// Menus and small windows: the toggles of "&Options", commands refused
// without a run or while the engine is busy, the help documents, the help,
// about, disclaimer and noise windows, the error box for unhandled
// exceptions, and the mouse-wheel rewrite.
#include <QDesktopServices>
#include <QFile>
#include <QGroupBox>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTextBrowser>
#include <QWheelEvent>
#include <stdexcept>

#include "mainwindow/DisclaimWindow.h"
#include "mainwindow/DocumentOpener.h"
#include "mainwindow/ExceptionGuard.h"
#include "mainwindow/HelpPages.h"
#include "mainwindow/NoiseWarningWindow.h"
#include "mainwindow/WheelRewrite.h"
#include "tests/mainwindow/WindowTest.h"

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
    void optionsToggles_showAndHidePages() {
        TWindowFixture f;
        Tmainform& w = f.createActive();
        // "Fit options" and "Save options" are one page and always agree.
        w.FitOptions1->trigger();
        QVERIFY(w.FitOptions1->isChecked() && w.SaveOptions1->isChecked());
        QCOMPARE(w.PageControl1->currentWidget(), w.TabSheetOptions);
        w.SaveOptions1->trigger();
        QVERIFY(!w.FitOptions1->isChecked() && !w.SaveOptions1->isChecked());
        QVERIFY(!Tmainform::TabVisible(w.TabSheetOptions));
        QCOMPARE(w.PageControl1->currentWidget(), w.TabSheetAllSamples);

        // Common and group window pages; the group page only once groups exist.
        QVERIFY(w.CommonOrGroupPC->isHidden());
        w.Common1->trigger();
        QCOMPARE(w.CommonOrGroupPC->currentWidget(), w.TabSheetCommonWindow);
        QVERIFY(!w.CommonOrGroupPC->isHidden() && !Tmainform::TabVisible(w.TabSheetGroupWindow));
        w.Common1->trigger();
        QVERIFY(w.CommonOrGroupPC->isHidden());
        w.Engine().groupsdefined = true;
        w.AmpliconGroups1->trigger();
        QVERIFY(Tmainform::TabVisible(w.TabSheetGroupWindow) &&
                !Tmainform::TabVisible(w.TabSheetCommonWindow));
        w.Common1->trigger();
        QVERIFY(Tmainform::TabVisible(w.TabSheetCommonWindow) &&
                Tmainform::TabVisible(w.TabSheetGroupWindow));
        w.AmpliconGroups1->trigger();
        QVERIFY(!Tmainform::TabVisible(w.TabSheetGroupWindow));
        QVERIFY(!w.CommonOrGroupPC->isHidden());  // "&Common" still checked

        // Individual window; the baseline page only after baselines, and the
        // panel stays while manual baseline correction is checked.
        w.BaselineCorrection1->setChecked(true);
        w.Individual1->trigger();
        QCOMPARE(w.IndividualPC->currentWidget(), w.TabSheet_window);
        QVERIFY(!Tmainform::TabVisible(w.TabSheet_baseline));
        w.Individual1->trigger();
        QVERIFY(!Tmainform::TabVisible(w.TabSheet_window) && !w.IndividualPC->isHidden());
        w.Engine().baselinedone = true;
        w.Individual1->trigger();
        QVERIFY(Tmainform::TabVisible(w.TabSheet_baseline));
        w.BaselineCorrection1->setChecked(false);
        w.Individual1->trigger();
        QVERIFY(w.IndividualPC->isHidden());

        // Show/hide fills the lists of shown and hidden samples.
        loadNames(w.Engine(), 3);
        w.Engine().isdisplayed[2] = 0;
        w.ShowHide1->trigger();
        QCOMPARE(w.PageControl1->currentWidget(), w.TabSheetshoworhide);
        QCOMPARE(texts(w.shownamesbox), (QStringList{"s1", "s3"}));
        QCOMPARE(texts(w.shownrsbox), (QStringList{"1", "3"}));
        QCOMPARE(texts(w.hiddennamesbox), QStringList{"s2"});
        w.ShowHide1->trigger();
        QCOMPARE(w.PageControl1->currentWidget(), w.TabSheetAllSamples);
    }

    void optionsPanels_followRunStateAndChemistry() {
        TWindowFixture f;
        Tmainform& w = f.createActive();
        TEngine& e = w.Engine();
        w.CommonGroupWindowRG->SetItemIndex(2);  // individual windows have no width
        emit w.Options1->aboutToShow();
        QVERIFY(!w.SetWoLwidth1->isEnabled());
        w.CommonGroupWindowRG->SetItemIndex(1);
        emit w.Options1->aboutToShow();
        QVERIFY(w.SetWoLwidth1->isEnabled());
        emit w.DisplayWindowControls1->aboutToShow();
        QVERIFY(!w.AmpliconGroups1->isEnabled() && !w.BaselineCorrection1->isChecked());
        e.groupsdefined = true;
        e.baselinedone = true;
        emit w.DisplayWindowControls1->aboutToShow();
        QVERIFY(w.AmpliconGroups1->isEnabled() && w.BaselineCorrection1->isChecked());

        // The chemistry decides whether the Cq-too-low options apply.
        for (const auto& [chemistry, needed] : {std::pair{5, true}, std::pair{2, false}}) {
            e.chemistry = chemistry;
            w.SetCqCorrNeeded();
            QCOMPARE(e.cqcorrneeded, needed);
            QCOMPARE(w.ExcludeTooLowCqCB->isHidden(), !needed);
            QCOMPARE(w.CheckCqTooLowGB->isHidden(), !needed);
        }

        QVERIFY(w.RelaxPanel->isHidden());
        w.RelaxBaselineCriteria1->trigger();
        QVERIFY(!w.RelaxPanel->isHidden());
        QCOMPARE(w.PageControl1->currentWidget(), w.TabSheetUserSettings);

        // A noisy data set: the noisy subset, the help item and the manual tools.
        QVERIFY(!w.Handlingnoise1->isVisible());
        w.Engine().ShowSetCBItemIndex = 4;  // the engine shows the noisy samples
        w.stagechanged(TRunStage::noisydataset);
        QVERIFY(w.Handlingnoise1->isVisible());
        QCOMPARE(w.ShowSetCB->currentText(), QStringLiteral("noisy samples"));
        QVERIFY(w.Common1->isChecked() && w.AmpliconGroups1->isChecked());
        QCOMPARE(w.IndividualPC->currentWidget(), w.TabSheet_baseline);
        QVERIFY(!w.IndividualPC->isHidden());
    }

    void optionControls_reachTheEngine() {
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
        QVERIFY(w.ExcludeSkippedCB->isChecked() && w.Engine().options.ExcludeSkippedCB);
        w.BaselineStrictnessRG->Button(2)->click();
        QCOMPARE(w.Engine().options.BaselineStrictnessRG, 2);
    }

    void withoutRunOrWhileBusy_commandsAreRefused() {
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

        // With a run, while the engine is busy: commands and closing do nothing.
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
        // Under individual windows the individual-window box cannot be unticked.
        w.CommonGroupWindowRG->SetItemIndex(2);
        w.IndividualFitCB->blockSignals(true);
        w.IndividualFitCB->setChecked(true);
        w.IndividualFitCB->blockSignals(false);
        const auto woltype = w.Engine().woltype;
        QTest::mouseClick(w.IndividualFitCB, Qt::LeftButton);
        QVERIFY(w.IndividualFitCB->isChecked());
        QCOMPARE(w.Engine().woltype, woltype);
        w.eXit1->trigger();
        QVERIFY(!w.isVisible());
    }

    void documents_missingFileIsReported_presentFileIsOpened() {
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

    void helpWindow_pagesAndNavigation() {
        TWindowFixture f;
        Tmainform& w = f.createActive();
        QString page;
        f.prompter.onModal = [&](QDialog& d) {
            auto* help = qobject_cast<Thelppages*>(&d);
            QVERIFY(help);
            page = help->CurrentPageCaption();
        };
        f.prompter.clear();
        w.Help2->trigger();
        QCOMPARE(f.prompter.modals, QStringList{"helppages"});
        QCOMPARE(page, QStringLiteral("Overview"));
        w.Handlingnoise1Click();
        QCOMPARE(page, QStringLiteral("Handling Noisy Sets"));

        Thelppages help(nullptr);
        QTest::mouseClick(help.findChild<QPushButton*>("GoToBaselineButton"), Qt::LeftButton);
        QCOMPARE(help.CurrentPageCaption(), QStringLiteral("Menu Options"));
        QCOMPARE(help.CurrentSubpageCaption(), QStringLiteral("Baseline"));
        QVERIFY(!help.ShowPage(QStringLiteral("No such page")));
        QCOMPARE(help.CurrentPageCaption(), QStringLiteral("Menu Options"));
        // Every page has text of its own.
        for (const THelpPage& p : HelpPageTable()) {
            auto* text = help.findChild<QTextBrowser*>(
                QStringLiteral("HelpText_%1").arg(QString::fromLatin1(p.resource)));
            QVERIFY2(text && text->toPlainText().size() > 40, p.resource);
        }
    }

    void helpDocuments_areBuiltBesideTheProgram() {
        TScriptedPrompter prompter;
        const TDocumentOpener opener(&prompter, QStringLiteral(QURVEX_PROGRAM_DIR));
        for (const char* name : {kManualDocument, kFaqDocument, kUpdateHistoryDocument}) {
            QFile pdf(opener.PathOf(QString::fromLatin1(name)));
            QVERIFY2(pdf.open(QIODevice::ReadOnly), name);
            QVERIFY(pdf.read(5) == "%PDF-");
            QVERIFY2(pdf.size() > 5000, name);
        }
    }

    void smallWindows_noiseAndDisclaimerResults() {
        TWindowFixture f;
        Tmainform& w = f.createActive();
        QString memo;
        f.prompter.onModal = [&](QDialog& d) {
            if (auto* noise = qobject_cast<Tnoisewarningwindow*>(&d))
                memo = noise->Memo1->toPlainText();
        };
        f.prompter.clear();
        w.About1->trigger();
        w.Disclaimer1->trigger();
        QCOMPARE(f.prompter.modals, (QStringList{"AboutBox", "disclaimwindow"}));
        f.prompter.modalResults = {2};
        QCOMPARE(w.noisewarning({"3 noisy samples", "see help"}), 2);
        QCOMPARE(memo, QStringLiteral("3 noisy samples\nsee help"));

        // The buttons' results: 2 asks for the help, 1 goes on.
        Tnoisewarningwindow noise;
        for (const auto& [button, result] :
             {std::pair{noise.ShowHelpButton, 2}, std::pair{noise.OKButton, 1}}) {
            noise.open();
            QTest::mouseClick(button, Qt::LeftButton);
            QCOMPARE(noise.result(), result);
        }
        Tdisclaimwindow disclaimer;
        disclaimer.open();
        QTest::mouseClick(disclaimer.AgreeButton, Qt::LeftButton);
        QCOMPARE(disclaimer.result(), 1);
    }

    void exceptions_endInErrorBox() {
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

    void wheel_overGridMovesSelection_elsewhereUntouched() {
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
            QWheelEvent e(pos, grid->viewport()->mapToGlobal(pos), QPoint(), QPoint(0, dy),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
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
};

QURVEX_WINDOW_TEST_MAIN(MenusTest)

#include "MenusTest.moc"
