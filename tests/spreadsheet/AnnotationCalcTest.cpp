// SPDX-License-Identifier: GPL-3.0-or-later
// Annotations, amplicon names and exclusions read by the window from a sheet
// of a real (headless) Calc: the row count rule, the numbered combinations,
// the exclusion code, a one-cell range, and a failed read changing nothing.
#include <QTableWidget>

#include "spreadsheet/Excelcom.h"
#include "tests/engine/support/SyntheticRun.h"
#include "tests/mainwindow/WindowTest.h"
#include "tests/spreadsheet/CalcTestSupport.h"

using namespace qurvex;
using qurvex::testing::TWindowFixture;

namespace {

TCellValue text(const char* t) { return TCellValue::Text(QString::fromLatin1(t)); }

// A new workbook with the annotations of `rows` under a header row from B5
// and the column `exclusions` from E1; returns its sheet's name.
QString writeSheet(const std::vector<std::pair<const char*, const char*>>& rows,
                   const std::vector<TCellValue>& exclusions) {
    TExcelcom excel;
    excel.NewWorkbook();
    excel.AttachExcel();
    TCellBlock block{{text("organ"), text("sex")}};
    for (const auto& [a, b] : rows) block.push_back({text(a), text(b)});
    excel.WriteValueToRange(2, 3, 5, 5 + static_cast<int>(rows.size()), block);
    TCellBlock codes;
    for (const auto& v : exclusions) codes.push_back({v});
    if (!codes.empty()) excel.WriteValueToRange(5, 5, 1, static_cast<int>(codes.size()), codes);
    const QString sheet = excel.ActiveSheetName();
    excel.DetachExcel();
    return sheet;
}

TEngine& loadRun(Tmainform& w, int wells) {
    TEngine& e = w.Engine();
    qurvex::testing::loadSyntheticRun(e, qurvex::testing::makePlate(wells, 1, 0.0, 5));
    e.ProcessDataAfterRead();
    return e;
}

QLineEdit* edit(Tmainform& w, const char* name) { return w.Control<QLineEdit>(name); }

QStringList column(QTableWidget* grid, int c) {
    QStringList out;
    for (int r = 1; r < grid->rowCount(); ++r) out << grid->item(r, c)->text();
    return out;
}

}  // namespace

class AnnotationCalcTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY2(test::WaitForOffice(60.0), "the test office did not accept within 60 s");
    }
    void cleanup() { test::CloseAllDocuments(); }

    void tissues_rowCountCombinationsAndStopRowFill() {
        std::vector<std::pair<const char*, const char*>> rows{
            {"p", "x"}, {"p", "y"}, {"P", "x"}, {"ab", "c"}, {"a", "bc"}};
        while (rows.size() < 24) rows.push_back({"p", "y"});
        writeSheet(rows, {});
        TWindowFixture f;
        Tmainform& w = f.createActive();
        TEngine& e = loadRun(w, 24);
        w.ReadTissFromExcelRB->click();
        QVERIFY(!w.ReadTissuesPanel->isHidden());
        QVERIFY(!w.Control<QComboBox>("sheets_cb")->currentText().isEmpty());
        QTest::keyClicks(edit(w, "startcoledit"), QStringLiteral("b"));
        QCOMPARE(edit(w, "startcoledit")->text(), QStringLiteral("B"));
        QTest::keyClicks(edit(w, "stopcoledit"), QStringLiteral("C1"));
        QCOMPARE(edit(w, "stopcoledit")->text(), QStringLiteral("C"));
        QTest::keyClicks(edit(w, "startrowedit"), QStringLiteral("5"));
        QCOMPARE(edit(w, "stoprowedit")->text(), QStringLiteral("29"));

        // One row short of the header: refused, nothing read.
        edit(w, "stoprowedit")->setText(QStringLiteral("28"));
        f.prompter.clear();
        w.Control<QPushButton>("ReadTissuesButton")->click();
        QCOMPARE(f.prompter.messages.value(0).text,
                 QStringLiteral("the number of rows has to be equal to the number of reactions "
                                "plus 1 for the header. Please correct this."));
        QVERIFY(!e.tissuesdefined);

        edit(w, "stoprowedit")->setText(QStringLiteral("29"));
        f.prompter.clear();
        w.Control<QPushButton>("ReadTissuesButton")->click();
        QVERIFY(f.prompter.messages.isEmpty());
        QVERIFY(e.tissuesdefined);
        QCOMPARE(e.tissue[4], std::string("ab"));
        auto* grid = w.Control<QTableWidget>("TissueSampSG");
        QCOMPARE(grid->item(0, 1)->text(), QStringLiteral("organ"));
        QCOMPARE(grid->item(0, 3)->text(), QStringLiteral("ID"));
        QCOMPARE(column(grid, 3).mid(0, 6), (QStringList{"1", "2", "1", "3", "4", "2"}));
        QCOMPARE(w.Control<QTableWidget>("UniqueTissuesSG")->rowCount(), 5);
    }

    void exclusions_codeZeroExcludesTwoAndShowsTheSubset() {
        writeSheet({}, {TCellValue::Number(0), TCellValue::Number(1), TCellValue::Number(0),
                        TCellValue::Number(2)});
        TWindowFixture f;
        Tmainform& w = f.createActive();
        TEngine& e = loadRun(w, 4);
        w.Control<QRadioButton>("ReadExcludeRB")->click();
        QTest::keyClicks(edit(w, "ExcluColEdit"), QStringLiteral("E"));
        QTest::keyClicks(edit(w, "ExcluStartRowEdit"), QStringLiteral("1"));
        QCOMPARE(edit(w, "ExcluStopRowEdit")->text(), QStringLiteral("4"));
        f.prompter.clear();
        w.Control<QPushButton>("ReadExclusionsButton")->click();
        QCOMPARE(f.prompter.messages.value(0).text,
                 QStringLiteral("A total of 2 user exclusions are successfully set. Do not forget "
                                "to recalculate the W-o-L."));
        QVERIFY(e.userexcluded[1] && e.userexcluded[3] && !e.userexcluded[2] && !e.userexcluded[4]);
        QCOMPARE(w.ShowSetCB->currentText(), QStringLiteral("excluded by user"));
        QVERIFY(e.isdisplayed[1] && !e.isdisplayed[2]);
    }

    // A code with a letter is no number: "S1" does not select the cell holding 0.1.
    void exclusions_codeWithALetterMatchesNoNumber() {
        writeSheet({}, {TCellValue::Number(0.1), TCellValue::Number(1.5), TCellValue::Number(12)});
        TWindowFixture f;
        Tmainform& w = f.createActive();
        TEngine& e = loadRun(w, 3);
        w.Control<QRadioButton>("ReadExcludeRB")->click();
        QTest::keyClicks(edit(w, "ExcluColEdit"), QStringLiteral("E"));
        QTest::keyClicks(edit(w, "ExcluStartRowEdit"), QStringLiteral("1"));
        for (const char* code : {"S1", "1S5", "12 liver"}) {
            edit(w, "ExcluValEdit")->clear();
            QTest::keyClicks(edit(w, "ExcluValEdit"), QString::fromLatin1(code));
            f.prompter.clear();
            w.Control<QPushButton>("ReadExclusionsButton")->click();
            QCOMPARE(f.prompter.messages.value(0).text,
                     QStringLiteral("No user exclusions are set. Check the code you gave for "
                                    "excluding a sample."));
        }
        QVERIFY(!e.userexcluded[1] && !e.userexcluded[2] && !e.userexcluded[3]);
    }

    void amplicons_oneSampleReadsOneCell() {
        writeSheet({{"GAPDH", "m"}}, {});
        TWindowFixture f;
        Tmainform& w = f.createActive();
        TEngine& e = loadRun(w, 1);
        w.ExcelGroupRB->click();
        QVERIFY(!w.Control<QComboBox>("Sheets_CB2")->currentText().isEmpty());
        QTest::keyClicks(edit(w, "AmplicolEdit"), QStringLiteral("B"));
        QTest::keyClicks(edit(w, "AmpliStartRowEdit"), QStringLiteral("6"));
        QCOMPARE(edit(w, "AmpliStopRowEdit")->text(), QStringLiteral("6"));
        w.Control<QPushButton>("ReadAmpliconsButton")->click();
        QCOMPARE(e.ampname[1], std::string("GAPDH"));
        QCOMPARE(e.ngroups, 1);
        QVERIFY(e.groupsdefined);
    }

    void failedRead_changesNothing() {
        writeSheet({{"liver", "f"}, {"heart", "m"}}, {});
        TWindowFixture f;
        Tmainform& w = f.createActive();
        TEngine& e = loadRun(w, 2);
        w.ReadTissFromExcelRB->click();
        edit(w, "startcoledit")->setText(QStringLiteral("B"));
        edit(w, "stopcoledit")->setText(QStringLiteral("C"));
        edit(w, "startrowedit")->setText(QStringLiteral("5"));
        edit(w, "stoprowedit")->setText(QStringLiteral("7"));
        auto* sheets = w.Control<QComboBox>("sheets_cb");
        sheets->addItem(QStringLiteral("no such sheet"));
        sheets->setCurrentIndex(sheets->count() - 1);
        const auto before = e.tissue;
        f.prompter.clear();
        w.Control<QPushButton>("ReadTissuesButton")->click();
        QCOMPARE(f.prompter.count(TPromptKind::Error), 1);
        QVERIFY(!e.tissuesdefined);
        QCOMPARE(e.tissue, before);
        QCOMPARE(w.Control<QTableWidget>("TissueSampSG")->columnCount(), 2);
        // A reversed range is refused before Calc is asked.
        edit(w, "stopcoledit")->setText(QStringLiteral("A"));
        f.prompter.clear();
        w.Control<QPushButton>("ReadTissuesButton")->click();
        QCOMPARE(f.prompter.count(TPromptKind::Warning), 1);
        QVERIFY(!e.tissuesdefined);
    }
};

QURVEX_WINDOW_TEST_MAIN(AnnotationCalcTest)
#include "AnnotationCalcTest.moc"
