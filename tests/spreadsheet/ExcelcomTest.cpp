// SPDX-License-Identifier: GPL-3.0-or-later
// TExcelcom against a real headless LibreOffice started for this test (CTest fixture,
// pipe in $QURVEX_CALC_PIPE): documents, sheets, blocks, formats, and failures.
#include "spreadsheet/Excelcom.h"

#include "tests/spreadsheet/CalcTestSupport.h"

#include <com/sun/star/awt/FontWeight.hpp>

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

#include <unistd.h>

// Readable failure output for Qt strings and cells.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
namespace qurvex {
inline void PrintTo(const TCellValue& v, std::ostream* os) {
  static const char* kinds[] = {"empty", "number", "text", "error"};
  *os << kinds[static_cast<int>(v.kind)] << '(' << v.number << ", \"" << v.text.toStdString() << "\")";
}
}  // namespace qurvex

using namespace qurvex;
namespace t = qurvex::test;

namespace {

class ExcelcomTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() { officeUp = t::WaitForOffice(30.0); }
  void SetUp() override {
    ASSERT_TRUE(officeUp) << "the test office on pipe " << TExcelcom::DefaultPipeName().toStdString()
                          << " did not accept within 30 s";
    t::CloseAllDocuments();
  }
  void TearDown() override {
    if (officeUp) t::CloseAllDocuments();
  }
  static bool officeUp;
  TExcelcom com;
};
bool ExcelcomTest::officeUp = false;

QStringList books(TExcelcom& com, int& selected) {
  QStringList names;
  com.ListWorkbooks(names, selected);
  return names;
}

QStringList sheets(TExcelcom& com, int& selected) {
  QStringList names;
  com.ListSheets(names, selected);
  return names;
}

TEST(ExcelcomNoOffice, Excelcom_attach_failsWithStartMessage) {
  TExcelcom com(QStringLiteral("qurvex-nobody-%1").arg(getpid()));
  try {
    com.IsExcelRunning();
    ADD_FAILURE() << "no office listens, yet the attach worked";
  } catch (const EExcelError& e) {
    const QString msg = QString::fromStdString(e.what());
    EXPECT_TRUE(msg.startsWith(QStringLiteral("first start Excel\n"))) << e.what();
    EXPECT_TRUE(msg.contains(QStringLiteral("scripts/calc"))) << e.what();
    EXPECT_EQ(msg.count(QLatin1Char('\n')), 1);
  }
  EXPECT_FALSE(com.IsAttached());
  EXPECT_THROW(com.AttachExcel(), EExcelError);
  QStringList names;
  int selected = 0;
  try {
    com.ListWorkbooks(names, selected);
    ADD_FAILURE() << "listed the workbooks of no office";
  } catch (const EExcelError& e) {  // every method tells how to start Calc
    EXPECT_TRUE(QString::fromStdString(e.what()).startsWith(QStringLiteral("first start Excel\n")));
  }
  EXPECT_FALSE(com.IsAttached());
}

TEST_F(ExcelcomTest, Excelcom_workbooks_listActivateAndSharedView) {
  int selected = 0;
  EXPECT_TRUE(books(com, selected).isEmpty());
  EXPECT_EQ(selected, -1);
  EXPECT_THROW(com.AttachExcel(), EExcelError);  // nothing to attach to

  com.NewWorkbook();
  const QString first = com.CurrentWorkbook();
  com.NewWorkbook();
  const QString second = com.CurrentWorkbook();
  ASSERT_NE(first, second);
  EXPECT_FALSE(com.IsAttached());  // self-bracketing

  QStringList names = books(com, selected);
  ASSERT_EQ(names.size(), 2);
  EXPECT_EQ(names[selected], second);

  TExcelcom other;  // a second instance sees what the first made active
  other.SelectWorkbook(first);
  names = books(com, selected);
  EXPECT_EQ(names[selected], first);
  com.AttachExcel();
  EXPECT_EQ(com.CurrentWorkbook(), first);
  EXPECT_EQ(com.CurrentSheet(), QStringLiteral("Sheet1"));
  EXPECT_TRUE(com.IsAttached());
  com.ListSheets(names, selected);  // a self-bracketing call ends the caller's connection
  EXPECT_FALSE(com.IsAttached());
  EXPECT_EQ(com.ActiveWorkbookFolder(), QString());  // never saved
  EXPECT_THROW(com.SelectWorkbook(QStringLiteral("no such book")), EExcelError);
}

TEST_F(ExcelcomTest, Excelcom_sheets_addInEveryPlaceWithNames) {
  com.NewWorkbook();
  const auto doc = t::CurrentDocument();
  int selected = 0;
  EXPECT_EQ(sheets(com, selected), QStringList{QStringLiteral("Sheet1")});
  EXPECT_EQ(selected, 0);

  EXPECT_EQ(com.AddSheet(QString()), QStringLiteral("Sheet2"));  // before the active sheet
  EXPECT_EQ(t::SheetNames(doc), QStringLiteral("Sheet2,Sheet1"));
  EXPECT_EQ(com.ActiveSheetName(), QStringLiteral("Sheet2"));
  EXPECT_EQ(com.AddSheetLast(QStringLiteral("Results")), QStringLiteral("Results"));
  EXPECT_EQ(com.AddSheetFirst(QStringLiteral("Front page")), QStringLiteral("Front page"));
  com.SelectSheet(QStringLiteral("Sheet1"));
  EXPECT_EQ(com.AddSheet(QStringLiteral("Mid")), QStringLiteral("Mid"));
  EXPECT_EQ(t::SheetNames(doc), QStringLiteral("Front page,Sheet2,Mid,Sheet1,Results"));
  EXPECT_EQ(com.AddSheetLast(QString()), QStringLiteral("Sheet6"));

  // A taken or invalid name fails with a message, adds nothing and closes the connection.
  com.AttachExcel();
  EXPECT_THROW(com.AddSheetLast(QStringLiteral("Results")), EExcelError);
  EXPECT_FALSE(com.IsAttached());
  EXPECT_THROW(com.AddSheetFirst(QStringLiteral("bad[name]")), EExcelError);
  EXPECT_EQ(t::SheetNames(doc), QStringLiteral("Front page,Sheet2,Mid,Sheet1,Results,Sheet6"));
  EXPECT_EQ(com.ActiveSheetName(), QStringLiteral("Sheet6"));

  QStringList names = sheets(com, selected);
  EXPECT_EQ(names.size(), 6);
  EXPECT_EQ(names[selected], QStringLiteral("Sheet6"));
  EXPECT_THROW(com.SelectSheet(QStringLiteral("missing")), EExcelError);
}

TEST_F(ExcelcomTest, Excelcom_block_384x60_roundTrip) {
  com.NewWorkbook();
  const int rows = 384, cols = 60;
  TCellBlock block(rows, std::vector<TCellValue>(cols));
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) {
      switch ((r * 7 + c) % 5) {
        case 0: block[r][c] = TCellValue::Number(r * 1000.0 + c + 0.125); break;
        case 1: block[r][c] = TCellValue::Number(-1.5e-9 * (c + 1)); break;
        case 2: block[r][c] = TCellValue::Text(QStringLiteral("well %1/%2 \u00b5").arg(r).arg(c)); break;
        case 3: block[r][c] = TCellValue::Text(QStringLiteral("12")); break;  // a number as text stays text
        default: break;  // empty
      }
    }
  com.AttachExcel();
  com.WriteValueToRange(3, 3 + cols - 1, 2, 2 + rows - 1, block);
  TCellBlock back;
  com.ReadRange(3, 3 + cols - 1, 2, 2 + rows - 1, back);
  ASSERT_EQ(back.size(), size_t(rows));
  for (int r = 0; r < rows; ++r) {
    ASSERT_EQ(back[r].size(), size_t(cols));
    for (int c = 0; c < cols; ++c) ASSERT_EQ(back[r][c], block[r][c]) << "row " << r << " col " << c;
  }
  // One cell comes as a 1 x 1 block; a block around the data reads empties outside.
  com.ReadRange(3, 3, 2, 2, back);
  ASSERT_EQ(back.size(), 1u);
  ASSERT_EQ(back[0].size(), 1u);
  EXPECT_EQ(back[0][0], TCellValue::Number(0.125));
  com.ReadRange(1, 3, 1, 2, back);
  EXPECT_EQ(back[0][0], TCellValue::Empty());
  EXPECT_EQ(back[1][2], TCellValue::Number(0.125));
  // A single value fills the whole range.
  com.WriteValueToRange(1, 2, 1, 2, TCellValue::Text(QStringLiteral("x")));
  com.ReadRange(1, 2, 1, 2, back);
  EXPECT_EQ(back, TCellBlock(2, std::vector<TCellValue>(2, TCellValue::Text(QStringLiteral("x")))));
  EXPECT_THROW(com.ReadRange(2, 1, 1, 1, back), EExcelError);  // first after last
  EXPECT_THROW(com.ReadRange(0, 1, 1, 1, back), EExcelError);
  com.DetachExcel();
}

TEST_F(ExcelcomTest, Excelcom_read_errorCellsAreSeen) {
  com.NewWorkbook();
  const auto sheet = t::Sheet(t::CurrentDocument(), QStringLiteral("Sheet1"));
  t::SetFormula(sheet, 0, 0, QStringLiteral("=1/0"));
  t::SetFormula(sheet, 1, 0, QStringLiteral("=NA()"));
  t::SetFormula(sheet, 2, 0, QStringLiteral("=2+3"));
  TCellBlock back;
  com.ReadRange(1, 4, 1, 1, back);  // opens a connection on demand
  EXPECT_TRUE(com.IsAttached());
  com.DetachExcel();
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0][0], TCellValue::Error(QStringLiteral("#DIV/0!")));
  EXPECT_EQ(back[0][1], TCellValue::Error(QStringLiteral("#N/A")));
  EXPECT_EQ(back[0][2], TCellValue::Number(5.0));
  EXPECT_EQ(back[0][3], TCellValue::Empty());
}

TEST_F(ExcelcomTest, Excelcom_formats_surviveXlsxSaveAndLoad) {
  QTemporaryDir dir;
  com.NewWorkbook();
  com.AttachExcel();
  TCellBlock row{{TCellValue::Number(1.23456), TCellValue::Number(12345.678), TCellValue::Number(7.6),
                  TCellValue::Text(QStringLiteral("007")), TCellValue::Number(44561), TCellValue::Text(QStringLiteral("head"))}};
  com.WriteArrayToRange(1, 6, 1, 1, row);
  com.FormatRange(2, 2, 1, 1, QStringLiteral("sci2"));
  com.FormatRange(3, 3, 1, 1, QStringLiteral("int0"));
  com.FormatRange(4, 4, 1, 1, QStringLiteral("text"));
  com.FormatRange(5, 5, 1, 1, QStringLiteral("datum"));
  com.FormatRange(6, 6, 1, 1, QStringLiteral("bold"));
  com.FormatRange(6, 6, 1, 1, QStringLiteral("right"));
  com.FormatRange(6, 6, 1, 1, QStringLiteral("Bold"));  // keywords are case-sensitive: no effect
  com.CenterColumn(7);
  com.AutofitColumns(1, 6);
  com.DetachExcel();
  const QString path = dir.filePath(QStringLiteral("formats.xlsx"));
  t::SaveAsXlsx(t::CurrentDocument(), path);

  const auto doc = t::Load(path);
  const auto sheet = t::Sheet(doc, QStringLiteral("Sheet1"));
  EXPECT_EQ(t::FormatCode(doc, sheet, 0, 0), QStringLiteral("0.000"));
  EXPECT_EQ(t::FormatCode(doc, sheet, 1, 0), QStringLiteral("0.00E+00"));
  EXPECT_EQ(t::FormatCode(doc, sheet, 2, 0), QStringLiteral("0"));
  EXPECT_EQ(t::FormatCode(doc, sheet, 3, 0), QStringLiteral("@"));
  EXPECT_EQ(t::FormatCode(doc, sheet, 4, 0).toUpper(), QStringLiteral("DD-MM-YYYY"));
  EXPECT_FLOAT_EQ(t::CharWeight(sheet, 5, 0), css::awt::FontWeight::BOLD);
  EXPECT_FLOAT_EQ(t::CharWeight(sheet, 0, 0), css::awt::FontWeight::NORMAL);
  EXPECT_EQ(t::HoriJustify(sheet, 5, 0), 3);   // RIGHT
  EXPECT_EQ(t::HoriJustify(sheet, 6, 10), 2);  // CENTER, whole column
  com.SelectWorkbook(QStringLiteral("formats.xlsx"));  // a saved document knows its folder
  EXPECT_EQ(com.ActiveWorkbookFolder(), dir.path());
  EXPECT_EQ(com.CurrentWorkbook(), QStringLiteral("formats.xlsx"));
}

TEST_F(ExcelcomTest, Excelcom_formats_sameMeaningInACommaLocale) {
  // In a German document "0,000" is the three-decimal code and "0.000" groups thousands:
  // codes registered in en-US notation keep their meaning.
  com.NewWorkbook();
  const auto doc = t::CurrentDocument();
  t::SetDocumentLocale(doc, QStringLiteral("de"), QStringLiteral("DE"));
  com.AttachExcel();
  com.WriteArrayToRange(1, 1, 1, 1, {{TCellValue::Number(1234.5678)}});
  com.WriteValueToRange(2, 3, 1, 1, {{TCellValue::Number(0.000123), TCellValue::Number(42.4)}});
  com.FormatRange(2, 2, 1, 1, QStringLiteral("sci2"));
  com.FormatRange(3, 3, 1, 1, QStringLiteral("int0"));
  com.DetachExcel();
  const auto sheet = t::Sheet(doc, QStringLiteral("Sheet1"));
  const auto decim3 = t::FormatMeaningOf(doc, sheet, 0, 0);
  EXPECT_EQ(decim3.decimals, 3);
  EXPECT_FALSE(decim3.grouping);
  EXPECT_EQ(t::FormatMeaningOf(doc, sheet, 1, 0).decimals, 2);
  EXPECT_EQ(t::FormatMeaningOf(doc, sheet, 2, 0).decimals, 0);
}

TEST_F(ExcelcomTest, Excelcom_closedDocument_clearError) {
  com.NewWorkbook();
  com.AddSheetLast(QStringLiteral("Gone"));
  com.AttachExcel();
  t::RemoveSheet(t::CurrentDocument(), QStringLiteral("Gone"));
  TCellBlock block;
  try {
    com.ReadRange(1, 1, 1, 1, block);
    ADD_FAILURE() << "read from a removed sheet";
  } catch (const EExcelError& e) {
    EXPECT_TRUE(QString::fromStdString(e.what()).startsWith(QStringLiteral("The sheet \"Gone\" is no longer"))) << e.what();
  }
  com.DetachExcel();
  com.NewWorkbook();
  com.AttachExcel();
  const QString name = com.CurrentWorkbook();
  t::CloseDocument(t::CurrentDocument());
  TCellBlock back;
  try {
    com.ReadRange(1, 2, 1, 2, back);
    ADD_FAILURE() << "read from a closed document";
  } catch (const EExcelError& e) {
    EXPECT_EQ(QString::fromStdString(e.what()), QStringLiteral("The workbook \"%1\" was closed in LibreOffice Calc").arg(name));
  }
  EXPECT_THROW(com.WriteValueToRange(1, 1, 1, 1, TCellValue::Number(1)), EExcelError);
  com.DetachExcel();
  int selected = 0;
  EXPECT_EQ(books(com, selected).size(), 1);  // the first workbook stays
}

}  // namespace
