// SPDX-License-Identifier: GPL-3.0-or-later
// The Calc roads through the window's menu against a private office: a real
// instrument export read and analysed, refused reads (a block that does not
// fit, an empty sheet) that keep the run, a save that writes its two sheets,
// and the input grid copied to a sheet with every value under its cycle.
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

// The Mic export: 48 wells in columns B..AW after the cycle column, rows 1..41.
int g_layout = 20;
// Where the read dialog points; the export's block unless a test says otherwise.
struct TBlockChoice {
    QString book = QStringLiteral("Hanlon_Run1.csv");
    QString sheet = QStringLiteral("Hanlon_Run1");
    QString stopcol = QStringLiteral("AW");
    QString stoprow = QStringLiteral("41");
};
TBlockChoice g_block;

// Answers the read dialog (layout g_layout over the Mic block) and the save
// dialog ("Compact + Complete", as last sheets of the export's workbook).
void AnswerDialogs(QDialog& d) {
    if (auto* read = qobject_cast<TreadexcelQVXcomform*>(&d)) {
        read->FormActivate();
        read->booksbox->setCurrentIndex(read->booksbox->findText(g_block.book));
        read->booksboxChange();
        read->sheetbox->setCurrentIndex(read->sheetbox->findText(g_block.sheet));
        read->sheetboxChange();
        read->RG_format->SetItemIndex(g_layout);
        read->RG_formatClick();
        read->startcolin->setText(QStringLiteral("A"));
        read->stopcolin->setText(g_block.stopcol);
        read->startrowin->setText(QStringLiteral("1"));
        read->stoprowin->setText(g_block.stoprow);
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

// The export's values, [row][column] from 0 as in the file (row 0 the names).
std::vector<QList<QByteArray>> MicValues() {
    QFile file(QStringLiteral(QURVEX_TEST_DATA_DIR "/sheets/Hanlon_Run1.csv"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    std::vector<QList<QByteArray>> rows;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (!line.trimmed().isEmpty()) rows.push_back(line.trimmed().split(','));
    return rows;
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
        const auto grid = Sheet(doc, added[0]);
        QCOMPARE(grid->getCellByPosition(0, 2)->getValue(), 1.0);
        QVERIFY(sheets.contains(QStringLiteral("Hanlon_Run1")));
        // Every value of the export under its own cycle, those at or below 0
        // included: cycle i of well k (file row i, column k) in row k + 1,
        // column i + 1 of the grid's sheet.
        const auto values = MicValues();
        QCOMPARE(values.size(), std::size_t{41});
        QCOMPARE(grid->getCellByPosition(2, 3)->getValue(), -0.071586123);
        for (int i = 1; i <= 40; ++i)
            for (int k = 1; k <= 48; ++k)
                QCOMPARE(grid->getCellByPosition(i + 1, k + 1)->getValue(),
                         values[i][k].toDouble());
    }

    // An empty sheet read with the "Mic" layout over A1:M41: one message that
    // names the block and the layout, and the run, its grids and the
    // controls stay as they were.
    void emptySheet_refusedWithOneMessage_runKept() {
        LoadMic();
        TWindowFixture f;
        Tmainform& w = f.createActive();
        f.prompter.onModal = AnswerDialogs;
        TEngine& e = w.Engine();
        g_layout = 20;
        g_block = {};
        w.ReadExcel1->trigger();
        QCOMPARE(e.nsamples, 48);
        w.Determinebaselines1->trigger();
        const auto names = e.sampname;
        const auto ct = e.ct;
        const QTableWidget* input = w.inputgrid;
        const QString value = input->item(3, 2)->text();

        TExcelcom excel;
        excel.NewWorkbook();
        g_block = {excel.CurrentWorkbook(), excel.CurrentSheet(), QStringLiteral("M"),
                   QStringLiteral("41")};
        excel.DetachExcel();
        f.prompter.clear();
        w.ReadExcel1->trigger();
        g_block = {};
        QCOMPARE(f.prompter.messages.size(), 1);
        QCOMPARE(f.prompter.messages[0].kind, TPromptKind::Warning);
        QCOMPARE(f.prompter.messages[0].text,
                 QStringLiteral("The block A1:M41 holds no data for the layout \"Mic\": none of "
                                "its samples has a fluorescence value."));
        QVERIFY(e.sampname == names);
        QVERIFY(e.ct == ct);
        QVERIFY(e.baselinedone);
        QCOMPARE(input->rowCount(), 50);
        QCOMPARE(input->item(3, 2)->text(), value);
        QVERIFY(w.Control<QPushButton>("GroupButton")->isEnabled());
        QVERIFY(!QGuiApplication::overrideCursor());
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
