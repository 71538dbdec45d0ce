// SPDX-License-Identifier: GPL-3.0-or-later
// Saving an analysed run to a private headless Calc (CTest fixture, pipe in $QURVEX_CALC_PIPE):
// the sheets read back equal the grids, numbers stay numbers with their formats, names count
// up on a clash, places, failures; and the save dialog with its registry memory.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <cmath>
#include <com/sun/star/lang/Locale.hpp>
#include <com/sun/star/table/CellHoriJustify.hpp>
#include <ostream>

#include "engine/Engine.h"
#include "spreadsheet/ExcelExport.h"
#include "spreadsheet/RadioGroup.h"
#include "spreadsheet/ReadExcelDialog.h"
#include "spreadsheet/Registry.h"
#include "spreadsheet/SaveExcelDialog.h"
#include "tests/engine/support/SyntheticRun.h"
#include "tests/spreadsheet/CalcTestSupport.h"

inline std::ostream& operator<<(std::ostream& os, const QString& s) {
    return os << '"' << s.toStdString() << '"';
}
namespace qurvex {
inline void PrintTo(const TCellValue& v, std::ostream* os) {
    *os << static_cast<int>(v.kind) << '(' << v.number << ", \"" << v.text.toStdString() << "\")";
}
}  // namespace qurvex

using namespace qurvex;
namespace t = qurvex::test;
using css::uno::Reference;

namespace {

// Answers the dialog would give; `ok` false cancels.
struct ScriptedAsker : ISaveAsker {
    bool ok = true;
    TexcelsaveQVX answer;
    QStringList messages;
    int asked = 0;
    void information(const QString& text) override { messages << text; }
    void error(const QString& text) override { messages << text; }
    bool askSaveRecord(TExcelcom&, TexcelsaveQVX& record) override {
        ++asked;
        if (!ok) return false;
        const QString preset = record.sheet;
        record = answer;
        if (record.sheet.isEmpty()) record.sheet = preset;
        return true;
    }
};

class ExcelExportTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { officeUp = t::WaitForOffice(30.0); }
    void SetUp() override {
        ASSERT_TRUE(officeUp) << "the test office did not accept within 30 s";
        t::CloseAllDocuments();
        qurvex::testing::loadSyntheticRun(engine, qurvex::testing::makePlate(24, 1, 0.002, 7));
        engine.silentmode = true;
        engine.inputsheetname = "plate1";
        engine.ProcessDataAfterRead();
        engine.BaselineButtonPanelClick();
        choices.targetname = "GAPDH";
        asker.answer.book = kNewBook;
        asker.answer.outputchoice = kCompactAndComplete;
        asker.answer.outputplace = 2;
    }
    // A workbook of its own with the sheets "Sheet1", "plate1", "Other"; "plate1" active.
    QString openInputBook() {
        com.NewWorkbook();
        com.AddSheetLast("plate1");
        com.AddSheetLast("Other");
        com.SelectSheet("plate1");
        asker.answer.book = com.CurrentWorkbook();
        return asker.answer.book;
    }
    static bool officeUp;
    TEngine engine;
    TSaveChoices choices;
    ScriptedAsker asker;
    TExcelcom com;
};
bool ExcelExportTest::officeUp = false;

TCellBlock readBack(TExcelcom& com, const QString& sheet, int columns, int rows) {
    com.SelectSheet(sheet);
    TCellBlock block;
    com.AttachExcel();
    com.ReadRange(1, columns, 1, rows, block);
    com.DetachExcel();
    return block;
}

TEST_F(ExcelExportTest, export_germanBook_sheetsReadBackEqualGridsWithFormats) {
    // Into an open document whose locale is German.
    const bool german = QLocale().language() == QLocale::German;
    openInputBook();
    const auto doc = t::CurrentDocument();
    Reference<css::beans::XPropertySet>(doc, css::uno::UNO_QUERY_THROW)
        ->setPropertyValue("CharLocale", css::uno::Any(css::lang::Locale("de", "DE", "")));
    const TSaveResult result = SavetoExcel(com, engine, choices, asker);
    ASSERT_EQ(result.outcome, TSaveOutcome::Saved) << result.message;
    EXPECT_EQ(result.written, (QStringList{"plate1_output", "plate1_compact"}));
    EXPECT_EQ(t::SheetNames(doc), "Sheet1,plate1,Other,plate1_output,plate1_compact");

    // Each Cq was replaced by the Cq at the group's mean efficiency.
    for (int k : {1, 5})
        EXPECT_NEAR(engine.ct[k],
                    engine.meancyc[k] + (engine.sampftval[k] - engine.meanlogfluor[k]) /
                                            std::log10(engine.sampmeaneff[k]),
                    1e-9);
    // The grids again from the state the save left (means, Cq and codes already applied).
    choices.outputchoice = kCompactAndComplete;
    choices.datetext = QLocale().toString(QDate::currentDate(), QLocale::ShortFormat);
    const auto sheets =
        BuildResultSheets(engine, engine.options, choices, BuildSampleCodes(engine));
    ASSERT_EQ(sheets.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        const TResultSheet& s = sheets[i];
        const TCellBlock back = readBack(com, result.written[i], s.columns, s.Rows());
        for (int r = 0; r < s.Rows(); ++r)
            for (int c = 0; c < s.columns; ++c)
                ASSERT_EQ(back[r][c], s.cells[r][c])
                    << result.written[i] << " row " << r + 1 << " column " << c + 1;
    }
    EXPECT_EQ(sheets[0].cells[1][0].text.right(choices.datetext.size()), choices.datetext);
    if (german) {
        EXPECT_TRUE(choices.datetext.contains('.')) << choices.datetext;
    }

    // Numbers with the chosen formats: three decimals, N0 in scientific notation, integers.
    const auto output = t::Sheet(doc, "plate1_output");
    auto code = [&](const t::SheetRef& sh, int col, int row) {
        return toQ(t::As<rtl::OUString>(t::FormatProperty(doc, sh, col, row, "FormatString")));
    };
    for (auto [col, decimals] : {std::pair{8, 3}, {14, 2}, {0, 0}})  // threshold, N0, sample
        EXPECT_EQ(t::As<sal_Int16>(t::FormatProperty(doc, output, col, 4, "Decimals")), decimals);
    EXPECT_TRUE(code(output, 14, 4).contains('E')) << code(output, 14, 4);
    EXPECT_EQ(t::As<sal_Int32>(t::CellProperty(output, 15, 4, "HoriJustify")),
              static_cast<sal_Int32>(css::table::CellHoriJustify_CENTER));

    for (int col : {6, 14})  // indiv PCR eff, N0: numbers in the German document too
        EXPECT_EQ(output->getCellByPosition(col, 4)->getType(), css::table::CellContentType_VALUE);
}

TEST_F(ExcelExportTest, export_openBook_eachPlaceAndMissingInputSheet) {
    struct Case {
        int place;
        bool rdml;
        const char* order;
    };
    for (const Case& c : {Case{0, false, "plate1_compact,plate1_output,Sheet1,plate1,Other"},
                          Case{1, false, "Sheet1,plate1_output,plate1_compact,plate1,Other"},
                          Case{2, false, "Sheet1,plate1,Other,plate1_output,plate1_compact"},
                          Case{1, true, "Sheet1,plate1,Other,plate1_output,plate1_compact"}}) {
        t::CloseAllDocuments();
        openInputBook();
        engine.fromrdml = c.rdml;
        asker.answer.sheet = "plate1";
        asker.answer.outputplace = c.place;
        const TSaveResult r = SavetoExcel(com, engine, choices, asker);
        ASSERT_EQ(r.outcome, TSaveOutcome::Saved) << r.message;
        EXPECT_EQ(t::SheetNames(t::CurrentDocument()), c.order) << c.place << " rdml " << c.rdml;
    }
    // A new book turns "near input sheet" into the last place.
    t::CloseAllDocuments();
    engine.fromrdml = false;
    asker.answer.book = kNewBook;
    asker.answer.outputplace = 1;
    ASSERT_EQ(SavetoExcel(com, engine, choices, asker).outcome, TSaveOutcome::Saved);
    // A second save, unformatted, into that book gets the numbered name; numbers stay numbers.
    asker.answer.book = com.CurrentWorkbook();
    asker.answer.outputchoice = kComplete;
    asker.answer.formatoutput = false;
    EXPECT_EQ(SavetoExcel(com, engine, choices, asker).written, QStringList{"plate1_1_output"});
    const auto doc = t::CurrentDocument();
    EXPECT_EQ(t::SheetNames(doc), "Sheet1,plate1_output,plate1_compact,plate1_1_output");
    const auto plain = t::Sheet(doc, "plate1_1_output");
    EXPECT_NE(t::As<sal_Int16>(t::FormatProperty(doc, plain, 8, 4, "Decimals")), 3);
    EXPECT_EQ(plain->getCellByPosition(8, 4)->getType(), css::table::CellContentType_VALUE);
    EXPECT_EQ(plain->getCellByPosition(0, 4)->getValue(), 1.0);  // from A1: sample 1 in A5
}

TEST_F(ExcelExportTest, export_refusedCancelledAndFailedSaves) {
    engine.workshopmode = engine.bgtrendset = true;
    EXPECT_EQ(SavetoExcel(com, engine, choices, asker).outcome, TSaveOutcome::Refused);
    EXPECT_EQ(asker.asked, 0);
    EXPECT_EQ(asker.messages, QStringList{"Baseline trend is set. Saving results is not possible"});
    engine.workshopmode = false;

    openInputBook();
    asker.ok = false;
    EXPECT_EQ(SavetoExcel(com, engine, choices, asker).outcome, TSaveOutcome::Cancelled);
    EXPECT_EQ(t::SheetNames(t::CurrentDocument()), "Sheet1,plate1,Other");
    // Cq already replaced by the mean-efficiency Cq and codes untouched until the dialog's OK.
    EXPECT_TRUE(engine.meansdone);

    // The complete sheet is wider than Calc allows (16384 columns): it fails after its sheet was
    // added. The sheet is removed again and the message says that nothing was written.
    asker.ok = true;
    asker.messages.clear();
    engine.tissuesdefined = true;
    choices.tissuegrid = {QStringList(17000, "title")};
    const TSaveResult r = SavetoExcel(com, engine, choices, asker);
    EXPECT_EQ(r.outcome, TSaveOutcome::Failed);
    EXPECT_TRUE(r.written.isEmpty());
    for (const char* part :
         {"No sheet was written.", "Not written: plate1_output, plate1_compact."})
        EXPECT_TRUE(r.message.contains(part)) << r.message;
    EXPECT_EQ(asker.messages, QStringList{r.message});
    EXPECT_EQ(t::SheetNames(t::CurrentDocument()), "Sheet1,plate1,Other");
    EXPECT_FALSE(com.IsAttached());
}

// ---- the dialog

QString settingsFile() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, "Norvane Labs", "Qurvex")
        .fileName();
}

class SaveDialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "spreadsheet_excel_export_test";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance()) new QApplication(argc, argv);
        officeUp = t::WaitForOffice(30.0);
    }
    void SetUp() override {
        ASSERT_TRUE(officeUp);
        t::CloseAllDocuments();
        com.NewWorkbook();
        TRegistry reg;
        reg.OpenKey("Software\\Norvane Labs\\Qurvex", true);
        reg.WriteString("version", "2021.2");
        reg.OpenKey("OutputPreferences", true);
        for (const char* v : {"Choice", "Place", "Format"}) reg.DeleteValue(v);
        reg.Flush();
        record.sheet = "plate1";
        record.checkcaption = "use name of input sheet";
        record.warningcaption = "NAME MAY BE TRIMMED TO 21 CHARACTERS";
        record.outputchoice = 0;
        record.outputplace = 0;
    }
    static bool officeUp;
    TExcelcom com;
    TexcelsaveQVX record;
};
bool SaveDialogTest::officeUp = false;

TEST_F(SaveDialogTest, dialog_firstUse_newBookPlacesAndMemoryOnDisk) {
    TsaveexcelQVXcomform d(com);
    d.Preset(record);
    EXPECT_EQ(d.OutputChoiceRG->ItemIndex(), 0);
    d.FormActivate();  // no stored preferences: the defaults win over the presets
    EXPECT_EQ(std::tuple(d.OutputChoiceRG->ItemIndex(), d.PlaceIndex(),
                         d.FormatExcelCB->isChecked(), d.booksbox->count()),
              std::tuple(3, 2, true, 1));

    d.SetPlaceIndex(-1);
    EXPECT_EQ(d.OutputPlaceRG->ItemIndex(), -1);  // none chosen
    d.SetPlaceIndex(1);  // "near input sheet", then a new book: index 1 reads "as last sheet"
    d.newbookcheck->setChecked(true);
    d.newbookcheckClick();
    EXPECT_EQ(std::tuple(d.PlaceIndex(), d.OutputPlaceRG->ItemIndex(), d.booksbox->count()),
              std::tuple(1, 2, 0));
    EXPECT_TRUE(d.OutputPlaceRG->Button(1)->isHidden() && !d.booksbox->isEnabled());
    d.newbookcheck->setChecked(false);
    d.newbookcheckClick();
    // "near input sheet" again
    EXPECT_EQ(std::pair(d.OutputPlaceRG->ItemIndex(), d.booksbox->count()), std::pair(1, 1));
    d.newbookcheck->setChecked(true);
    d.newbookcheckClick();

    d.FormatExcelCB->setChecked(false);
    d.OKbutClick();
    EXPECT_EQ(d.result(), 1);
    d.ReadBack(record);
    EXPECT_EQ(std::tuple(record.book, record.outputplace, record.outputchoice, record.formatoutput,
                         record.sheet),
              std::tuple(kNewBook, 1, 3, false, QString("plate1")));

    // What a restart finds: the values are on disk, and a new dialog takes them over.
    QFile file(settingsFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << settingsFile();
    const QString text = QString::fromUtf8(file.readAll());
    for (const char* line : {"[OutputPreferences]", "Place=1", "Format=0"})
        EXPECT_TRUE(text.contains(line)) << text;
    TsaveexcelQVXcomform again(com);
    again.Preset(record);
    again.FormActivate();
    EXPECT_EQ(again.PlaceIndex(), 1);  // the list is long again: "near input sheet"
    EXPECT_FALSE(again.FormatExcelCB->isChecked());
}

TEST_F(SaveDialogTest, dialog_emptyNameStaysOpen_cancelChangesNothing) {
    TsaveexcelQVXcomform d(com);
    d.Preset(record);
    d.show();
    EXPECT_TRUE(d.SheetNameEdit->isHidden());
    d.checkbox->setChecked(false);
    d.checkboxClick();
    EXPECT_FALSE(d.SheetNameEdit->isHidden());
    EXPECT_EQ(d.SheetNameEdit->selectedText(), "plate1");
    d.SheetNameEdit->clear();
    d.OKbutClick();
    EXPECT_TRUE(d.isVisible());  // no answer: the name box waits
    d.SheetNameEdit->setText("mine");
    d.OKbutClick();
    EXPECT_EQ(d.result(), 1);
    d.ReadBack(record);
    EXPECT_EQ(std::pair(record.sheet, record.useinputname), std::pair(QString("mine"), false));

    // Through ExecuteSaveDialog: OK hands the answers back; Cancel leaves the record and the
    // registry as they were.
    DialogHooks().runModal = [](QDialog& dialog) {
        static_cast<TsaveexcelQVXcomform&>(dialog).OutputChoiceRG->SetItemIndex(2);
        static_cast<TsaveexcelQVXcomform&>(dialog).OKbut->click();
        return dialog.result();
    };
    EXPECT_TRUE(com.ExecuteSaveDialog(record));
    EXPECT_EQ(record.outputchoice, 2);
    TRegistry reg;
    reg.OpenKey("Software\\Norvane Labs\\Qurvex\\OutputPreferences", false);
    const int storedChoice = reg.ReadInteger("Choice");
    const TexcelsaveQVX before = record;
    DialogHooks().runModal = [](QDialog& dialog) {
        auto& save = static_cast<TsaveexcelQVXcomform&>(dialog);
        save.OutputChoiceRG->SetItemIndex(0);
        save.cancelbut->click();
        return dialog.result();
    };
    EXPECT_FALSE(com.ExecuteSaveDialog(record));
    EXPECT_EQ(std::tuple(record.sheet, record.outputchoice, reg.ReadInteger("Choice")),
              std::tuple(before.sheet, before.outputchoice, storedChoice));
}

}  // namespace
