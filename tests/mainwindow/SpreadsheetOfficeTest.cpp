// SPDX-License-Identifier: GPL-3.0-or-later
// The Calc roads through the window's menu against a private office: a real
// instrument export read and analysed, a refused read that keeps the run,
// and a save that writes its two sheets.
#include <QFile>
#include <QListWidget>
#include <QTableWidget>
#include <QTemporaryDir>

#include "spreadsheet/Excelcom.h"
#include "spreadsheet/ReadExcelDialog.h"
#include "spreadsheet/SaveExcelDialog.h"
#include "tests/mainwindow/WindowTest.h"
#include "tests/spreadsheet/CalcTestSupport.h"

using namespace qurvex;
using namespace qurvex::test;
using qurvex::testing::TWindowFixture;

namespace {

// The Mic export: 48 wells in pairs of columns A..AW, rows 1..41.
int g_layout = 20;

// Answers the read dialog (layout g_layout over the Mic block) and the save
// dialog ("Compact + Complete", as last sheets of the export's workbook).
void AnswerDialogs(QDialog& d) {
    if (auto* read = qobject_cast<TreadexcelQVXcomform*>(&d)) {
        read->FormActivate();
        read->booksbox->setCurrentIndex(
            read->booksbox->findText(QStringLiteral("Hanlon_Run1.csv")));
        read->booksboxChange();
        read->sheetbox->setCurrentIndex(read->sheetbox->findText(QStringLiteral("Hanlon_Run1")));
        read->sheetboxChange();
        read->RG_format->SetItemIndex(g_layout);
        read->RG_formatClick();
        read->startcolin->setText(QStringLiteral("A"));
        read->stopcolin->setText(QStringLiteral("AW"));
        read->startrowin->setText(QStringLiteral("1"));
        read->stoprowin->setText(QStringLiteral("41"));
        read->Baseline_RG->SetItemIndex(1);
        read->OKExcelbuttonClick();
    } else if (auto* save = qobject_cast<TsaveexcelQVXcomform*>(&d)) {
        save->FormActivate();
        save->OutputChoiceRG->SetItemIndex(3);
        save->OKbut->click();
    }
}

Doc LoadMic() {
    css::uno::Sequence<css::beans::PropertyValue> args(2);
    args.getArray()[0].Name = "FilterName";
    args.getArray()[0].Value <<= rtl::OUString("Text - txt - csv (StarCalc)");
    args.getArray()[1].Name = "FilterOptions";
    args.getArray()[1].Value <<= rtl::OUString("44,34,76,1");
    // A private copy: the office puts a lock file beside what it opens, and the
    // import tests open the same export in another office at the same time.
    static QTemporaryDir copies;
    const QString path = copies.filePath(QStringLiteral("Hanlon_Run1.csv"));
    QFile::copy(QStringLiteral(QURVEX_TEST_DATA_DIR "/sheets/Hanlon_Run1.csv"), path);
    Reference<css::frame::XComponentLoader> loader(Desktop(), UNO_QUERY_THROW);
    return Doc(
        loader->loadComponentFromURL(toU(QUrl::fromLocalFile(path).toString()), "_blank", 0, args),
        UNO_QUERY_THROW);
}

QString problems(const qurvex::testing::TScriptedPrompter& p) {
    QStringList out;
    for (const auto& m : p.messages)
        if (m.kind == TPromptKind::Error || m.kind == TPromptKind::Warning) out << m.text;
    return out.join(QStringLiteral(" | "));
}

}  // namespace

class SpreadsheetOfficeTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY2(WaitForOffice(30.0), "the test office did not accept"); }
    void init() { CloseAllDocuments(); }
    void cleanup() { CloseAllDocuments(); }

    void calcRoads_readRefusedReadAndSave_throughTheMenu() {
        const Doc doc = LoadMic();
        TWindowFixture f;
        Tmainform& w = f.createActive();
        f.prompter.onModal = AnswerDialogs;
        TEngine& e = w.Engine();

        g_layout = 20;
        w.ReadExcel1->trigger();
        QVERIFY2(problems(f.prompter).isEmpty(), qPrintable(problems(f.prompter)));
        QCOMPARE(e.nsamples, 48);
        QCOMPARE(w.inputgrid->rowCount(), 50);                                // the run is shown
        QCOMPARE(w.OutputColumnsCLB->item(12)->checkState(), Qt::Unchecked);  // "Target_Seq"
        QVERIFY(w.SetBaselineCorrected1->isEnabled());  // raw data: may still be declared
        QVERIFY(!Tmainform::TabVisible(w.TissueSampleTabSheet));
        QVERIFY(w.Control<QPushButton>("GroupButton")->isEnabled());
        QVERIFY(!QGuiApplication::overrideCursor());
        w.Determinebaselines1->trigger();
        QVERIFY(e.baselinedone);
        const auto names = e.sampname;
        const auto ct = e.ct;

        // A block that does not fit the layout: told, and the run stays.
        g_layout = 0;
        f.prompter.clear();
        w.ReadExcel1->trigger();
        QVERIFY(problems(f.prompter).contains(QStringLiteral("does not fit the layout")));
        QVERIFY(e.sampname == names);
        QVERIFY(e.ct == ct);
        QVERIFY(w.Control<QPushButton>("GroupButton")->isEnabled());
        QVERIFY(!QGuiApplication::overrideCursor());

        // Compact + Complete: two new sheets after the export's.
        f.prompter.clear();
        w.SavetoExcel1->trigger();
        QVERIFY2(problems(f.prompter).isEmpty(), qPrintable(problems(f.prompter)));
        const QStringList sheets = SheetNames(doc).split(QLatin1Char(','));
        QCOMPARE(sheets.size(), 3);

        // A grid to a new sheet, numbers as numbers: row 2 of the input grid is sample 1.
        w.Control<QPushButton>("InputGridToExcelButton")->click();
        QStringList added = SheetNames(doc).split(QLatin1Char(','));
        for (const QString& s : sheets) added.removeOne(s);
        QCOMPARE(added.size(), 1);
        QCOMPARE(Sheet(doc, added[0])->getCellByPosition(0, 2)->getValue(), 1.0);
        QVERIFY(sheets.contains(QStringLiteral("Hanlon_Run1")));
    }

    // Entering "User Settings" with the exclusions read from Calc lists the
    // workbooks open now, not those of the last visit.
    void userSettings_enteringListsTheWorkbooksOpenNow() {
        TWindowFixture f;
        Tmainform& w = f.createActive();
        TExcelcom excel;
        excel.NewWorkbook();
        w.PageControl1->setCurrentWidget(w.TabSheetUserSettings);
        w.Control<QRadioButton>("ReadExcludeRB")->click();
        auto* books = w.Control<QComboBox>("BooksCB4");
        const int before = books->count();
        QVERIFY(before >= 1);
        w.PageControl1->setCurrentWidget(w.TabSheetAllSamples);
        excel.NewWorkbook();
        w.PageControl1->setCurrentWidget(w.TabSheetUserSettings);
        QCOMPARE(books->count(), before + 1);
        QVERIFY(!w.Control<QComboBox>("SheetsCB4")->currentText().isEmpty());
        QVERIFY2(problems(f.prompter).isEmpty(), qPrintable(problems(f.prompter)));
    }
};

QURVEX_WINDOW_TEST_MAIN(SpreadsheetOfficeTest)
#include "SpreadsheetOfficeTest.moc"
