// SPDX-License-Identifier: GPL-3.0-or-later
// The window at the size it opens with, as a user sees it: every grid shows
// its texts whole after an analysis with group means, every tab of every
// page control can be clicked, and a grid's column border can be dragged;
// and the help on reading from Calc covers every layout the read window offers,
// the help on the interface every tab a start switch shows.
#include <QFontMetricsF>
#include <QHeaderView>
#include <QStyle>
#include <QTabBar>
#include <QTableWidget>
#include <QTextBrowser>
#include <QToolButton>
#include <cmath>
#include <cstdlib>

#include "mainwindow/GridColumnSizer.h"
#include "mainwindow/HelpPages.h"
#include "mainwindow/TextWidths.h"
#include "spreadsheet/ReadExcelDialog.h"
#include "tests/engine/support/SyntheticRun.h"
#include "tests/mainwindow/WindowTest.h"

using namespace qurvex;
using qurvex::testing::TWindowFixture;

namespace {

const QSize kOpeningSize(1280, 860);

// A window with the diagnostic and workshop pages, shown at its opening size.
Tmainform& openWindow(TWindowFixture& f) {
    Tmainform& w = f.createActive({QStringLiteral("x"), QStringLiteral("w")});
    w.show();
    if (!QTest::qWaitForWindowExposed(&w)) qWarning("window not exposed");
    return w;
}

void click(QWidget* button) { QTest::mouseClick(button, Qt::LeftButton); }

// Lets the grids that changed settle and size their columns.
void settle() { QTest::qWait(TGridColumnSizer::kQuietMs + 50); }

// A 24-well run of two targets with long names, its baselines set, grouped
// by target, and its group means calculated by the button.
void analyse(Tmainform& w) {
    auto plate = qurvex::testing::makePlate(24, 2, 0.002, 5);
    for (std::size_t i = 0; i < plate.wells.size(); ++i)
        plate.wells[i].name = "liver_biopsy_patient_" + std::to_string(1000 + i) + "_rep_A";
    TEngine& e = w.Engine();
    qurvex::testing::loadSyntheticRun(e, plate);
    e.ProcessDataAfterRead();
    w.Determinebaselines1->trigger();
    std::vector<std::string> ids;
    for (int s = 1; s <= e.nsamples; ++s) ids.push_back(e.ampname[s]);
    e.setidentifiers(ids);
    e.numgroupsEditChange();
    w.SetTabVisible(w.TabSheetGroupsStats, true);
    w.ActivatePage(w.TabSheetGroupsStats);
    click(w.findChild<QPushButton*>(QStringLiteral("calc_mean_Button")));
    for (const char* name : {"FillGridButton", "displayStartStopButton2", "RunsTestButton"})
        click(w.findChild<QPushButton*>(QString::fromLatin1(name)));
    settle();
}

// Brings every page that holds `widget` to the front, tabs made visible.
void bringForward(Tmainform& w, QWidget* widget) {
    for (QTabWidget* tabs : w.findChildren<QTabWidget*>())
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->widget(i)->isAncestorOf(widget)) {
                tabs->setTabVisible(i, true);
                tabs->setCurrentIndex(i);
            }
}

// "row,column: text" for every cell text (row -1: the header) that does not
// fit the room its column gives it: a cell draws its text inside a margin on
// either side and shortens it when its width, to the fraction of a pixel, is
// more than the room left.
QStringList cutTexts(const QTableWidget& grid) {
    QStringList cut;
    const QFontMetricsF fm(grid.font());
    const int margin = grid.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &grid) + 1;
    const int line = grid.showGrid() ? 1 : 0;
    for (int r = 0; r < grid.rowCount(); ++r)
        for (int c = 0; c < grid.columnCount(); ++c) {
            const QTableWidgetItem* item = grid.item(r, c);
            if (item &&
                fm.horizontalAdvance(item->text()) > grid.columnWidth(c) - line - 2 * margin)
                cut << QStringLiteral("%1,%2: %3").arg(r).arg(c).arg(item->text());
        }
    const QHeaderView* header = grid.horizontalHeader();
    const QFontMetricsF hfm(header->font());
    const int hmargin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    for (int c = 0; c < grid.columnCount() && header->isVisible(); ++c) {
        const QString title = grid.model()->headerData(c, Qt::Horizontal).toString();
        if (hfm.horizontalAdvance(title) + 2 * hmargin > header->sectionSize(c))
            cut << QStringLiteral("-1,%1: %2").arg(c).arg(title);
    }
    return cut;
}

// The part of `bar` where tabs show: without the scroll arrows, if any.
QRect tabArea(const QTabBar* bar) {
    QRect area = bar->rect();
    for (const QToolButton* arrow : bar->findChildren<QToolButton*>())
        if (arrow->isVisible()) {
            if (arrow->geometry().left() > area.center().x())
                area.setRight(std::min(area.right(), arrow->geometry().left() - 1));
            else
                area.setLeft(std::max(area.left(), arrow->geometry().right() + 1));
        }
    return area;
}

// Shows tab `i` whole, as a user would: with the scroll arrows when the row
// has them (a few clicks on each). False when the tab cannot be brought into view.
bool bringIntoView(QTabBar* bar, int i) {
    for (int click = 0; click <= 2 * bar->count(); ++click) {
        if (tabArea(bar).contains(bar->tabRect(i))) return true;
        QToolButton* towards = nullptr;
        for (QToolButton* arrow : bar->findChildren<QToolButton*>()) {
            const bool right = arrow->arrowType() == Qt::RightArrow;
            if (arrow->isVisible() && arrow->isEnabled() &&
                right == (bar->tabRect(i).right() > tabArea(bar).right()))
                towards = arrow;
        }
        if (!towards) return false;
        QTest::mouseClick(towards, Qt::LeftButton);
    }
    return false;
}

bool hasText(const QTableWidget& grid) {
    for (int r = 0; r < grid.rowCount(); ++r)
        for (int c = 0; c < grid.columnCount(); ++c)
            if (grid.item(r, c) && !grid.item(r, c)->text().isEmpty()) return true;
    return false;
}

}  // namespace

class LayoutTest : public QObject {
    Q_OBJECT
private slots:
    void grids_noTextCutAfterAnAnalysisWithGroupMeans() {
        TWindowFixture f;
        Tmainform& w = openWindow(f);
        analyse(w);
        QVERIFY(!w.means_Grid->item(2, 3)->text().isEmpty());
        QStringList filled;
        for (QTableWidget* grid : w.findChildren<QTableWidget*>()) {
            if (!hasText(*grid)) continue;
            bringForward(w, grid);
            settle();
            QVERIFY2(grid->isVisible(), qPrintable(grid->objectName()));
            // The cells fill the grid: it still lays itself out.
            QVERIFY2(grid->viewport()->width() > grid->width() - 30,
                     qPrintable(grid->objectName()));
            const QStringList cut = cutTexts(*grid);
            QVERIFY2(cut.isEmpty(),
                     qPrintable(grid->objectName() + QStringLiteral(": ") + cut.join(u'|')));
            filled << grid->objectName();
        }
        for (const char* name : {"inputgrid", "validdataSG", "AmpliconGroupGrid", "means_Grid",
                                 "SampleGrid", "WorkshopSG", "StringGrid3", "StringGrid2"})
            QVERIFY2(filled.contains(QString::fromLatin1(name)), name);
    }

    void grids_aLaterFillWidensTheColumnsAgain() {
        TWindowFixture f;
        Tmainform& w = openWindow(f);
        analyse(w);
        bringForward(w, w.AmpliconGroupGrid);
        settle();
        const int before = w.AmpliconGroupGrid->columnWidth(1);
        TEngine& e = w.Engine();
        std::vector<std::string> ids(static_cast<std::size_t>(e.nsamples),
                                     "a much longer amplicon identifier than before");
        e.setidentifiers(ids);
        e.numgroupsEditChange();
        settle();
        QVERIFY(w.AmpliconGroupGrid->columnWidth(1) > before);
        QVERIFY(cutTexts(*w.AmpliconGroupGrid).isEmpty());
    }

    void grids_aColumnBorderDragResizesTheColumn() {
        TWindowFixture f;
        Tmainform& w = openWindow(f);
        analyse(w);
        bringForward(w, w.means_Grid);
        settle();
        QHeaderView* header = w.means_Grid->horizontalHeader();
        QVERIFY(header->isVisible());
        const int before = header->sectionSize(1);
        const int border = header->sectionViewportPosition(1) + before - 1;
        const int y = header->height() / 2;
        QWidget* port = header->viewport();
        QTest::mousePress(port, Qt::LeftButton, {}, QPoint(border, y));
        QTest::mouseMove(port, QPoint(border + 20, y));
        QTest::mouseMove(port, QPoint(border + 45, y));
        QTest::mouseRelease(port, Qt::LeftButton, {}, QPoint(border + 45, y));
        QCOMPARE(header->sectionSize(1), before + 45);
        settle();
        QCOMPARE(header->sectionSize(1), before + 45);
    }

    void textWidths_agreeWithTheFontsOwnMeasure() {
        QStringList texts{QString(),
                          QStringLiteral("0"),
                          QStringLiteral("-999"),
                          QStringLiteral("1,5e+07"),
                          QStringLiteral("sample name"),
                          QStringLiteral("liver_biopsy_patient_1000_rep_A"),
                          QStringLiteral("Zellkultur \u00e4\u00df 12"),
                          QStringLiteral("AVA 1.0")};
        std::srand(7);
        for (int i = 0; i < 400; ++i) {
            const double v = (std::rand() - RAND_MAX / 2) * std::pow(10.0, std::rand() % 30 - 15);
            texts << QString::number(v, 'g', 15) << QString::number(v, 'g', 4)
                  << QString::number(v, 'g', 10).replace(u'.', u',');
        }
        QFont bold;
        bold.setBold(true);
        QFont large;
        large.setPointSize(17);
        for (const QFont& font : {QFont(), bold, large}) {
            const TTextWidths widths(font);
            const QFontMetricsF metrics(font);
            for (const QString& text : texts)
                QVERIFY2(widths.Width(text) == std::ceil(metrics.horizontalAdvance(text)),
                         qPrintable(text));
        }
    }

    void readExcelHelp_namesEveryLayoutOfTheReadWindow() {
        Thelppages help(nullptr);
        QVERIFY(help.ShowPage(QStringLiteral("Read Excel")));
        const auto* page = help.findChild<QTextBrowser*>(QStringLiteral("HelpText_read-excel"));
        QVERIFY(page);
        const QString text = page->toPlainText();
        QCOMPARE(ReadLayoutNames().size(), 22);
        for (const QString& layout : ReadLayoutNames())
            QVERIFY2(text.contains(layout.trimmed()), qPrintable(layout));
    }

    // The help page "Interface" names each start switch and every tab that
    // the switch brings into view.
    void interfaceHelp_namesTheTabsOfEveryStartSwitch() {
        Thelppages help(nullptr);
        QVERIFY(help.ShowPage(QStringLiteral("Interface")));
        const auto* page = help.findChild<QTextBrowser*>(QStringLiteral("HelpText_interface"));
        QVERIFY(page);
        const QString text = page->toPlainText();
        const auto visibleTabs = [](const QStringList& switches) {
            TWindowFixture f;
            Tmainform& w = f.createActive(switches);
            QStringList tabs;
            for (QTabWidget* pages : w.findChildren<QTabWidget*>())
                for (int i = 0; i < pages->count(); ++i)
                    if (pages->isTabVisible(i)) tabs << pages->tabText(i).trimmed();
            return tabs;
        };
        const QStringList plain = visibleTabs({});
        int named = 0;
        for (const QString& letter : {"x", "w", "m", "s"}) {
            QVERIFY2(text.contains(letter + QStringLiteral(": ")), qPrintable(letter));
            for (const QString& tab : visibleTabs({letter}))
                if (!plain.contains(tab)) {
                    QVERIFY2(text.contains(tab), qPrintable(letter + QStringLiteral(": ") + tab));
                    ++named;
                }
        }
        QVERIFY(named >= 5);
    }

    void tabs_everyTabReachableByAClickAtTheOpeningSize() {
        TWindowFixture f;
        Tmainform& w = openWindow(f);
        QCOMPARE(w.size(), kOpeningSize);
        // Every page the switches, a run and the menus show.
        analyse(w);
        for (QAction* a : {w.FitOptions1, w.ShowHide1, w.Common1, w.Individual1}) a->trigger();
        int clicked = 0;
        for (QTabWidget* tabs : w.findChildren<QTabWidget*>()) {
            bringForward(w, tabs);
            settle();
            QVERIFY2(tabs->isVisible(), qPrintable(tabs->objectName()));
            QTabBar* bar = tabs->tabBar();
            for (int i = tabs->count() - 1; i >= 0; --i) {
                if (!tabs->isTabVisible(i)) continue;
                const QString what = tabs->objectName() + QStringLiteral(": ") + tabs->tabText(i);
                QVERIFY2(bringIntoView(bar, i), qPrintable(what));
                QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(i).center());
                QVERIFY2(tabs->currentIndex() == i, qPrintable(what));
                ++clicked;
            }
        }
        QVERIFY(clicked >= 30);
        QCOMPARE(w.size(), kOpeningSize);
    }
};

QURVEX_WINDOW_TEST_MAIN(LayoutTest)
#include "LayoutTest.moc"
