// SPDX-License-Identifier: GPL-3.0-or-later
// The Data page's grids as the user sees them: "input data" shows every value
// read under the cycle it was read at (values at or below 0 included), and
// "grid to Excel" hands those same cells on; "valid data" shows the points
// left for the analysis. Runs come through the layout cut, as a read from
// Calc takes them over.
#include <QFile>
#include <QTableWidget>

#include "mainwindow/GridTexts.h"
#include "spreadsheet/GridExport.h"
#include "spreadsheet/InstrumentLayouts.h"
#include "tests/mainwindow/WindowTest.h"

using namespace qurvex;
using qurvex::testing::TWindowFixture;

namespace {

struct TNoQuestions : TImportAsker {
    QString InputBox(const QString&, const QString&, const QString& def) override { return def; }
    bool AskYesNo(const QString&, const QString&) override { return true; }
};

// A comma-separated text as cells: numbers as number cells, empty fields as
// empty cells, the rest as texts.
TCellBlock CsvBlock(const QByteArray& text) {
    TCellBlock block;
    for (QByteArray line : text.split('\n')) {
        if (line.startsWith("\xEF\xBB\xBF")) line = line.mid(3);  // byte order mark
        line = line.trimmed();
        if (line.isEmpty()) continue;
        block.emplace_back();
        for (const QByteArray& field : line.split(',')) {
            bool number = false;
            const double v = field.toDouble(&number);
            block.back().push_back(field.isEmpty() ? TCellValue::Empty()
                                   : number        ? TCellValue::Number(v)
                                                   : TCellValue::Text(QString::fromUtf8(field)));
        }
    }
    return block;
}

// The run of a "Mic" block, taken over in the window's order after a read.
TEngine& ReadMic(Tmainform& w, const TCellBlock& block) {
    TexcelreadQVX record;
    record.filetype = 20;
    record.sheet = QStringLiteral("run");
    TNoQuestions none;
    const TLayoutCut cut = CutInstrumentLayout(block, record, none);
    if (!cut.ok) qFatal("%s", qPrintable(cut.refusal.text));
    TEngine& e = w.Engine();
    e.ResetInterfaceAfterRead();
    e.loadrun(cut.run);
    e.ProcessDataAfterRead();
    e.ExtraExcelProcessing();
    return e;
}

QString cell(const QTableWidget* g, int row, int col) {
    const QTableWidgetItem* item = g->item(row, col);
    return item ? item->text() : QString();
}

// Every cell of the block's values (row i + 1 cycle, column k + 1 sample k)
// stands in the grid at row k + 1, column 1 + the cycle's header column, and
// the grid export reads it back as that number; the grid has nothing else.
void CompareWithBlock(const QTableWidget* grid, const TCellBlock& block) {
    const int R = static_cast<int>(block.size()), M = static_cast<int>(block[0].size());
    QCOMPARE(grid->rowCount(), M + 1);
    QCOMPARE(grid->columnCount(), R + 1);
    const TTextGrid texts = GridTexts(*grid);
    for (int i = 1; i < R; ++i) {
        const double cycle = block[i][0].number;
        QCOMPARE(CellToVariant(cell(grid, 1, i + 1)).number, cycle);
        for (int k = 1; k < M; ++k) {
            const TCellValue& value = block[i][k];
            const QString shown = texts[k + 1][i + 1];
            if (value.kind == TCellValue::Kind::Empty) {
                QVERIFY2(shown.isEmpty(), qPrintable(shown));
                continue;
            }
            const TCellValue handed = CellToVariant(shown);
            QVERIFY2(handed.kind == TCellValue::Kind::Number && handed.number == value.number,
                     qPrintable(QStringLiteral("sample %1, cycle %2: %3 shown, %4 read")
                                    .arg(k)
                                    .arg(cycle)
                                    .arg(shown)
                                    .arg(value.number, 0, 'g', 15)));
        }
    }
}

}  // namespace

class DataGridsTest : public QObject {
    Q_OBJECT
private slots:
    // A small run with its cycles from 5 on, values at or below 0 and a
    // sample one value shorter.
    void inputGrid_synthetic_everyValueUnderItsCycle() {
        TWindowFixture f;
        Tmainform& w = f.createActive({QStringLiteral("x")});
        const TCellBlock block =
            CsvBlock("Cycle,A,B\n5,-1,1\n6,0,2\n7,2,3\n8,1e-9,4\n9,3,5\n10,4,\n");
        ReadMic(w, block);
        w.PageControldata->setCurrentWidget(w.TabSheetInputData);
        CompareWithBlock(w.inputgrid, block);
        // The valid data: only the points above 1e-8, each under its own cycle.
        w.PageControldata->setCurrentWidget(w.TabSheetValidData);
        QStringList valid;
        for (int c = 2; c < w.validdataSG->columnCount(); ++c) valid << cell(w.validdataSG, 2, c);
        QCOMPARE(valid, (QStringList{"", "", "2", "", "3", "4"}));
    }

    // The real baseline-subtracted export (tests/data/sheets/Hanlon_Run1.csv):
    // well 2 reads -0.071586123 at cycle 1 and 0.031113065 at cycle 3. The
    // grid keeps every value where it was read through the baseline step and
    // a diagnostic that shows the run again.
    void inputGrid_baselineSubtractedExport_everyValueUnderItsCycle() {
        QFile file(QStringLiteral(QURVEX_TEST_DATA_DIR "/sheets/Hanlon_Run1.csv"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const TCellBlock block = CsvBlock(file.readAll());
        QCOMPARE(block.size(), std::size_t{41});
        TWindowFixture f;
        Tmainform& w = f.createActive({QStringLiteral("x")});
        TEngine& e = ReadMic(w, block);
        QCOMPARE(e.nsamples, 48);
        w.PageControldata->setCurrentWidget(w.TabSheetInputData);
        QCOMPARE(cell(w.inputgrid, 3, 2), QStringLiteral("-0.071586123"));
        QCOMPARE(cell(w.inputgrid, 3, 4), QStringLiteral("0.031113065"));
        CompareWithBlock(w.inputgrid, block);
        w.Determinebaselines1->trigger();
        QVERIFY(e.baselinedone);
        w.Control<QPushButton>("RunsTestButton")->click();
        CompareWithBlock(w.inputgrid, block);
    }
};

QURVEX_WINDOW_TEST_MAIN(DataGridsTest)
#include "DataGridsTest.moc"
