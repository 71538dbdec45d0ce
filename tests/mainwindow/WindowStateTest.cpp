// SPDX-License-Identifier: GPL-3.0-or-later
// What the window shows is what the engine holds, driven as a user does:
// the window and threshold choices after every command, the subset and the
// names after a new read, the name separator typed after a click, the
// exclusion workbooks listed on entering "User Settings", and one message
// for a window search over many groups or for the baseline step, each
// group named once.
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QTabBar>
#include <QTableWidget>
#include <QTimer>
#include <functional>

#include "mainwindow/ChartView.h"
#include "mainwindow/QtPrompter.h"
#include "spreadsheet/ReadExcelDialog.h"
#include "tests/engine/support/SyntheticRun.h"
#include "tests/mainwindow/WindowTest.h"

using namespace qurvex;
using qurvex::testing::NobodyPipe;
using qurvex::testing::showActive;
using qurvex::testing::SyntheticRun;
using qurvex::testing::TScopedCalcPipe;
using qurvex::testing::TWindowFixture;

namespace {

// A run taken over the way a reader does.
TEngine& read(Tmainform& w, const SyntheticRun& run) {
    TEngine& e = w.Engine();
    e.ResetInterfaceAfterRead();
    qurvex::testing::loadSyntheticRun(e, run);
    e.ProcessDataAfterRead();
    return e;
}

// Twelve wells named "A_1".."A_6", "B_7".."B_12".
SyntheticRun twoGroups() {
    SyntheticRun run = qurvex::testing::makePlate(12, 1, 0.0, 3);
    for (std::size_t i = 0; i < run.wells.size(); ++i)
        run.wells[i].name = std::string(i < 6 ? "A_" : "B_") + std::to_string(i + 1);
    return run;
}

void clickTab(Tmainform& w, QWidget* page) {
    QTabBar* bar = w.PageControl1->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {},
                      bar->tabRect(w.PageControl1->indexOf(page)).center());
}

// A click on the indicator of a radio button or check box (they take clicks
// on their indicator and caption only).
void clickRadio(QAbstractButton* b) {
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
}

void clickItem(TRadioGroup* group, int item) { clickRadio(group->Button(item)); }

// Groups from the part of the name before `separator`, as the user makes them.
void groupByFirstPart(Tmainform& w, const QString& separator) {
    Tmainform::SetTabVisible(w.AmpliGroupsTabSheet, true);
    w.PageControl1->setCurrentWidget(w.AmpliGroupsTabSheet);
    clickRadio(w.OtherNameOptionsRB);
    QTest::mouseClick(w.NameSepEdit, Qt::LeftButton);
    QTest::qWait(20);
    QTest::keyClicks(w.NameSepEdit, separator);
    QTest::mouseClick(w.GroupButton, Qt::LeftButton);
}

// Every sample's threshold is the one the threshold choice names.
bool thresholdsInForceAreShown(const Tmainform& w, const TEngine& e) {
    for (int s = 1; s <= e.nsamples; ++s) {
        const int g = w.ThresholdsRG->ItemIndex() == 1 ? e.groupofsample(s) : 0;
        if (g < 0 || e.sampftval[s] != e.ftval[static_cast<std::size_t>(g)]) return false;
    }
    return true;
}

QStringList warnings(const qurvex::testing::TScriptedPrompter& p) {
    return p.texts(TPromptKind::Warning);
}

}  // namespace

class WindowStateTest : public QObject {
    Q_OBJECT
private slots:
    void choices_windowAndThresholdShowWhatTheEngineHolds() {
        TWindowFixture f;
        Tmainform& w = showActive(f, {QStringLiteral("x")});
        TEngine& e = read(w, twoGroups());
        w.Determinebaselines1->trigger();
        groupByFirstPart(w, QStringLiteral("_"));
        QCOMPARE(e.ngroups, 2);
        // Groups of unequal thresholds, so that the two choices differ.
        e.ftval[1] = e.ftval[0] - 0.2;
        e.ftval[2] = e.ftval[0] + 0.2;
        auto agree = [&w, &e] {
            return w.CommonGroupWindowRG->ItemIndex() == e.options.CommonGroupWindowRG &&
                   w.ThresholdsRG->ItemIndex() == e.options.ThresholdsRG &&
                   thresholdsInForceAreShown(w, e);
        };
        for (const int window : {2, 1, 0, 2, 0, 1}) {
            clickItem(w.CommonGroupWindowRG, window);
            QVERIFY2(agree(), qPrintable(QStringLiteral("window %1").arg(window)));
            QCOMPARE(e.options.CommonGroupWindowRG, window);
            for (const int threshold : {1, 0, 1}) {
                clickItem(w.ThresholdsRG, threshold);
                QVERIFY2(agree(),
                         qPrintable(
                             QStringLiteral("window %1 threshold %2").arg(window).arg(threshold)));
            }
        }
        // The individual fit computes on the common threshold and says so;
        // group thresholds may be chosen afterwards, never with the common window.
        clickItem(w.CommonGroupWindowRG, 2);
        QCOMPARE(w.ThresholdsRG->ItemIndex(), 0);
        clickItem(w.ThresholdsRG, 1);
        QCOMPARE(e.options.ThresholdsRG, 1);
        QCOMPARE(e.sampftval[12], e.ftval[2]);
        clickItem(w.CommonGroupWindowRG, 0);
        clickItem(w.ThresholdsRG, 1);
        QCOMPARE(w.ThresholdsRG->ItemIndex(), 0);
        // A window search per group ends on the common threshold.
        clickItem(w.CommonGroupWindowRG, 1);
        QCOMPARE(w.ThresholdsRG->ItemIndex(), 1);
        QVERIFY(w.SetWolPerGroupButton->isEnabled());
        QTest::mouseClick(w.SetWolPerGroupButton, Qt::LeftButton);
        QCOMPARE(e.options.ThresholdsRG, 0);
        QVERIFY(agree());
        // "reset all to common window" (scratch page) puts the common window and
        // threshold in force, and the choices say so.
        clickItem(w.CommonGroupWindowRG, 1);
        QCOMPARE(w.ThresholdsRG->ItemIndex(), 1);
        QTest::mouseClick(w.Control<QPushButton>("reset_all_but"), Qt::LeftButton);
        for (int s = 1; s <= e.nsamples; ++s) QCOMPARE(e.woltype[s], 0);
        QCOMPARE(w.CommonGroupWindowRG->ItemIndex(), 0);
        QCOMPARE(w.ThresholdsRG->ItemIndex(), 0);
        QVERIFY(agree());
    }

    // While a long step runs, a click on a choice is refused and the
    // control goes back to what the engine holds.
    void choices_refusedWhileBusyShowTheChoiceInForce() {
        TWindowFixture f;
        Tmainform& w = showActive(f);
        TEngine& e = read(w, twoGroups());
        groupByFirstPart(w, QStringLiteral("_"));
        clickItem(w.CommonGroupWindowRG, 2);  // group thresholds may be chosen
        {
            TEngine::BusyGuard busy(e);
            clickItem(w.ThresholdsRG, 1);
            QCOMPARE(w.ThresholdsRG->ItemIndex(), 0);
            QCOMPARE(e.options.ThresholdsRG, 0);
            clickRadio(w.ManualGrpsRB);
            QVERIFY(w.PartXGroupRB->isChecked() && !w.ManualGrpsRB->isChecked());
            QCOMPARE(e.options.groupsource, TEngineOptions::PartXGroupRB);
            // The options a long step reads sample by sample do not change under it.
            w.FitOptions1->trigger();
            QVERIFY(w.rg_fitoptions->isVisible() && w.ExcludeOutlierCB->isVisible());
            clickItem(w.rg_fitoptions, 0);
            QCOMPARE(w.rg_fitoptions->ItemIndex(), 1);
            QCOMPARE(e.options.rg_fitoptions, 1);
            clickRadio(w.ExcludeOutlierCB);
            QVERIFY(w.ExcludeOutlierCB->isChecked() && e.options.ExcludeOutlierCB);
        }
        clickItem(w.rg_fitoptions, 0);
        QCOMPARE(e.options.rg_fitoptions, 0);
        // Entering the part edit chooses parts of the name, engine and button alike.
        clickRadio(w.AllOneGroupRB);
        QCOMPARE(e.options.groupsource, TEngineOptions::AllOneGroupRB);
        QVERIFY(!w.GroupButton->isEnabled());
        QTest::mouseClick(w.PartWantedEdit, Qt::LeftButton);
        QVERIFY(w.PartXGroupRB->isChecked());
        QCOMPARE(e.options.groupsource, TEngineOptions::PartXGroupRB);
        QVERIFY(w.GroupButton->isEnabled());
    }

    void newRead_subsetAllNamesGoneAndChartFull() {
        TWindowFixture f;
        Tmainform& w = showActive(f);
        TEngine& e = read(w, qurvex::testing::makePlate(48, 1, 0.08, 3));
        w.Determinebaselines1->trigger();
        QCOMPARE(w.ShowSetCB->currentText(), QStringLiteral("noisy samples"));
        groupByFirstPart(w, QStringLiteral("_"));
        QVERIFY(w.ShowGroupCB->count() > 1);
        QVERIFY(!w.GroupIdentEdit->text().isEmpty());
        w.TargetnameEdit->setText(QStringLiteral("GAPDH"));
        QTest::mouseClick(w.Control<QPushButton>("DetermineEffOutliersButton"), Qt::LeftButton);
        QCOMPARE(w.ToggleShowRG->ItemIndex(), 1);

        read(w, twoGroups());
        QCOMPARE(w.ShowSetCB->currentText(), QStringLiteral("all samples"));
        QCOMPARE(w.ShowGroupCB->count(), 1);
        QVERIFY(w.GroupIdentEdit->text().isEmpty());
        QCOMPARE(w.TargetnameEdit->text(), QStringLiteral("not_named"));
        QCOMPARE(w.ThresholdsRG->ItemIndex(), 0);
        QCOMPARE(w.ToggleShowRG->ItemIndex(), e.options.ToggleShowRG);
        QCOMPARE(w.ToggleShowRG->ItemIndex(), 0);
        w.Determinebaselines1->trigger();
        groupByFirstPart(w, QStringLiteral("_"));
        QCOMPARE(e.ngroups, 2);
        f.prompter.clear();
        QTest::mouseClick(w.SetWolPerGroupButton, Qt::LeftButton);
        QVERIFY(warnings(f.prompter).isEmpty());
        w.FlushCharts();
        for (int s = 1; s <= e.nsamples; ++s) QVERIFY(e.isdisplayed[s]);
        const TChartSeries* lines = w.allsampchart->Series(QStringLiteral("Ser_allsamplines"));
        QCOMPARE(static_cast<int>(lines->breaks.size()), e.nsamples);
    }

    void separator_typedAfterAClickOrTabIsTheOneUsed() {
        SyntheticRun run = qurvex::testing::makePlate(3, 1, 0.0, 2);
        const char* names[] = {"ab_1", "ab_2", "cd_1"};
        for (std::size_t i = 0; i < 3; ++i) run.wells[i].name = names[i];
        TWindowFixture f;
        Tmainform& w = showActive(f);
        TEngine& e = read(w, run);
        QCOMPARE(w.NameSepEdit->text(), QStringLiteral(" "));
        Tmainform::SetTabVisible(w.AmpliGroupsTabSheet, true);
        w.PageControl1->setCurrentWidget(w.AmpliGroupsTabSheet);
        clickRadio(w.OtherNameOptionsRB);
        QTest::mouseClick(w.NameSepEdit, Qt::LeftButton, {}, QPoint(25, 5));
        QTest::qWait(20);
        QCOMPARE(w.NameSepEdit->selectedText(), QStringLiteral(" "));
        // Only the click that entered the edit selects its text.
        QTest::mouseClick(w.NameSepEdit, Qt::LeftButton, {}, QPoint(25, 5));
        QTest::qWait(20);
        QVERIFY(!w.NameSepEdit->hasSelectedText());
        groupByFirstPart(w, QStringLiteral("_"));
        QCOMPARE(w.NameSepEdit->text(), QStringLiteral("_"));
        QCOMPARE(e.ngroups, 2);
        QCOMPARE(e.ampname[2], std::string("ab"));
        QCOMPARE(e.ampname[3], std::string("cd"));

        // By keyboard the text is selected too; a second click inside the edit
        // puts the caret before the separator, and the character typed is
        // still the one used.
        w.PartWantedEdit->setFocus(Qt::MouseFocusReason);
        w.NameSepEdit->setFocus(Qt::TabFocusReason);
        QVERIFY(w.NameSepEdit->hasSelectedText());
        QTest::mouseClick(w.NameSepEdit, Qt::LeftButton, {}, QPoint(1, 5));
        QTest::qWait(20);
        QVERIFY(!w.NameSepEdit->hasSelectedText());
        QCOMPARE(w.NameSepEdit->cursorPosition(), 0);
        QTest::keyClicks(w.NameSepEdit, QStringLiteral("b"));
        QCOMPARE(w.NameSepEdit->text(), QStringLiteral("b"));
        QTest::mouseClick(w.GroupButton, Qt::LeftButton);
        QCOMPARE(e.ampname[1], std::string("a"));
        QCOMPARE(e.ngroups, 2);
    }

    void userSettings_enteringListsTheExclusionWorkbooks() {
        const QString pipe = NobodyPipe("exclusions");
        const TScopedCalcPipe scopedPipe(pipe);
        TWindowFixture f;
        Tmainform& w = showActive(f);
        clickTab(w, w.TabSheetUserSettings);
        QCOMPARE(w.PageControl1->currentWidget(), w.TabSheetUserSettings);
        QVERIFY(f.prompter.messages.isEmpty());
        clickRadio(w.Control<QRadioButton>("ReadExcludeRB"));
        QVERIFY(w.Control<QRadioButton>("ReadExcludeRB")->isChecked());
        clickTab(w, w.TabSheetAllSamples);
        f.prompter.clear();
        // No Calc listens here: the attempt to list the workbooks says so.
        clickTab(w, w.TabSheetUserSettings);
        QCOMPARE(f.prompter.messages.size(), 1);
        QVERIFY(f.prompter.messages[0].text.startsWith(QStringLiteral("first start Excel")));
        QVERIFY(f.prompter.messages[0].text.contains(pipe));
    }

    void windowSearch_fortySingleWellsRaiseOneMessage() {
        SyntheticRun run = qurvex::testing::makePlate(40, 40, 0.0, 9);
        for (std::size_t i = 0; i < run.wells.size(); ++i)
            run.wells[i].name = "T" + std::to_string(i + 1) + "_x";
        for (const bool silent : {false, true}) {
            TWindowFixture f;
            Tmainform& w = showActive(f, silent ? QStringList{QStringLiteral("s")} : QStringList{});
            TEngine& e = read(w, run);
            w.Determinebaselines1->trigger();
            groupByFirstPart(w, QStringLiteral("_"));
            QCOMPARE(e.ngroups, 40);
            f.prompter.clear();
            QTest::mouseClick(w.SetWolPerGroupButton, Qt::LeftButton);
            if (silent) {
                QVERIFY(f.prompter.messages.isEmpty());
                continue;
            }
            QCOMPARE(f.prompter.messages.size(), 1);
            const QStringList lines = f.prompter.messages[0].text.split(QLatin1Char('\n'));
            int named = 0;
            for (const QString& line : lines) {
                QVERIFY2(line == QStringLiteral("group skipped") ||
                             line.startsWith(QStringLiteral("Amplicon group \"T")),
                         qPrintable(line));
                named += line.startsWith(QStringLiteral("Amplicon group")) ? 1 : 0;
            }
            QCOMPARE(named, 40);
            QVERIFY(lines.contains(
                QStringLiteral("Amplicon group \"T7\" has only one valid sample. Please check "
                               "your input.")));
        }
    }

    // "Determine Baselines" on one group whose noisy wells leave one valid
    // sample: the group's line once in the one message, each time it is chosen.
    void baselineStep_oneGroupWarnsOnceAboutIt() {
        TWindowFixture f;
        Tmainform& w = showActive(f, {});
        read(w, qurvex::testing::makePlate(8, 1, 0.3, 5));
        for (int time = 1; time <= 2; ++time) {
            f.prompter.clear();
            w.Determinebaselines1->trigger();
            QStringList texts;
            for (const auto& m : f.prompter.messages) texts << m.text;
            QCOMPARE(texts,
                     (QStringList{QStringLiteral("all samples excluded"),
                                  QStringLiteral("Amplicon group \"All\" has only one "
                                                 "valid sample. Please check your input.")}));
        }
    }

    // The one message of a search over hundreds of groups fits the screen:
    // its lines scroll, and OK closes it.
    void longMessage_scrollsInsideTheScreen() {
        QStringList lines;
        for (int g = 1; g <= 384; ++g)
            lines << QStringLiteral("group skipped")
                  << QStringLiteral(
                         "Amplicon group \"T%1\" has no valid samples. Please check "
                         "your input.")
                         .arg(g);
        for (const int count : {3, 768}) {
            const QString text = lines.mid(0, count).join(QLatin1Char('\n'));
            QString seen, kind;
            bool fits = false;
            std::function<void()> answer = [&] {
                QWidget* box = QApplication::activeModalWidget();
                if (box == nullptr) {
                    QTimer::singleShot(20, answer);
                    return;
                }
                kind = QString::fromLatin1(box->metaObject()->className());
                fits = box->frameGeometry().height() <= box->screen()->availableGeometry().height();
                if (auto* shown = box->findChild<QPlainTextEdit*>()) seen = shown->toPlainText();
                QTest::keyClick(box, Qt::Key_Return);
            };
            QTimer::singleShot(20, answer);
            TQtPrompter prompter;
            prompter.message(TPromptKind::Warning, QStringLiteral("Warning"), text);
            QVERIFY(fits);
            QCOMPARE(kind, count == 3 ? QStringLiteral("QMessageBox") : QStringLiteral("QDialog"));
            if (count > 3) QCOMPARE(seen, text);
        }
    }
};

QURVEX_WINDOW_TEST_MAIN(WindowStateTest)
#include "WindowStateTest.moc"
