// SPDX-License-Identifier: GPL-3.0-or-later
// Grid exports against a headless LibreOffice (CTest fixture, pipe in
// $QURVEX_CALC_PIPE), run once under LC_ALL=C and once under
// LC_ALL=de_DE.UTF-8: what a grid shows reads back as numbers and texts.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QLocale>

#include "spreadsheet/Excelcom.h"
#include "spreadsheet/GridExport.h"
#include "tests/spreadsheet/CalcTestSupport.h"

namespace qurvex {
inline void PrintTo(const TCellValue& v, std::ostream* os) {
    static const char* kinds[] = {"empty", "number", "text", "error"};
    *os << kinds[static_cast<int>(v.kind)] << '(' << v.number << ", \"" << v.text.toStdString()
        << "\")";
}
}  // namespace qurvex

using namespace qurvex;
namespace t = qurvex::test;

namespace {

class GridExportTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { officeUp = t::WaitForOffice(30.0); }
    void SetUp() override {
        ASSERT_TRUE(officeUp) << "the test office did not accept within 30 s";
        t::CloseAllDocuments();
        excel.NewWorkbook();
    }
    // The active sheet's cells A1 .. (cols, rows).
    TCellBlock readback(int cols, int rows) {
        TCellBlock back;
        excel.AttachExcel();
        excel.ReadRange(1, cols, 1, rows, back);
        excel.DetachExcel();
        return back;
    }
    static bool officeUp;
    TExcelcom excel;
    // The decimal separator in force, and the other one.
    const QString sep = QLocale().decimalPoint();
    const QString other = sep == QLatin1String(",") ? QStringLiteral(".") : QStringLiteral(",");
};
bool GridExportTest::officeUp = false;

TEST_F(GridExportTest, exportstringgrid_numbersAsNumbersTextsAsTextsThreeDecimals) {
    const TTextGrid grid = {
        {"Nr", "Cq", "note"},
        {"1", "23" + sep + "456", "12 liver"},
        {"2", "-1" + sep + "5e-3", "0x1F"},
        {"3", "", "1e"},
        {"4", "12" + other + "5"},
    };
    const QString name = exportstringgrid(excel, grid);
    EXPECT_EQ(excel.ActiveSheetName(), name);
    EXPECT_FALSE(excel.IsAttached());
    const auto N = TCellValue::Number;
    const auto T = [](const QString& s) { return TCellValue::Text(s); };
    const TCellValue E;
    const TCellBlock expected = {
        {T("Nr"), T("Cq"), T("note"), E},    {N(1), N(23.456), T("12 liver"), E},
        {N(2), N(-1.5e-3), T("0x1F"), E},    {N(3), E, T("1e"), E},
        {N(4), T("12" + other + "5"), E, E}, {E, E, E, E},
    };
    EXPECT_EQ(readback(4, 6), expected);
    // Numbers show three decimals, integers included.
    const auto doc = t::CurrentDocument();
    const auto sheet = t::Sheet(doc, name);
    for (int row : {1, 2})
        for (int col : {0, 1})
            EXPECT_EQ(t::As<sal_Int16>(t::FormatProperty(doc, sheet, col, row, "Decimals")), 3);
}

// A second export adds a second sheet; the workshop's gets the suffix _1.
TEST_F(GridExportTest, workshopExport_secondExportGetsSuffixOne) {
    const TTextGrid grid = {{"Nr", "Baseline_slope"}, {"1", "0" + sep + "0012345"}};
    const auto count = [] { return t::SheetNames(t::CurrentDocument()).split(',').size(); };
    const auto before = count();
    EXPECT_NE(exportstringgrid(excel, grid), exportstringgrid(excel, grid));
    EXPECT_EQ(count(), before + 2);
    const auto first = exportworkshopgrid(excel, grid, QStringLiteral("Workshop"));
    EXPECT_EQ(first.sheetname, QStringLiteral("Workshop"));
    EXPECT_FALSE(first.sheets.contains(QStringLiteral("Workshop")));
    const auto second = exportworkshopgrid(excel, grid, QStringLiteral("Workshop"));
    EXPECT_EQ(second.sheetname, QStringLiteral("Workshop_1"));
    EXPECT_TRUE(second.sheets.contains(QStringLiteral("Workshop")));
    EXPECT_EQ(excel.ActiveSheetName(), QStringLiteral("Workshop_1"));
    EXPECT_FALSE(excel.IsAttached());
    EXPECT_EQ(readback(2, 2),
              (TCellBlock{{TCellValue::Text("Nr"), TCellValue::Text("Baseline_slope")},
                          {TCellValue::Number(1), TCellValue::Number(0.0012345)}}));
}

// The two runs really differ: the German locale writes decimal commas.
TEST(GridExportLocale, separatorFollowsTheEnvironment) {
    const QString lc = QString::fromLocal8Bit(qgetenv("LC_ALL"));
    if (lc.startsWith(QLatin1String("de_DE"))) {
        EXPECT_EQ(QLocale().decimalPoint(), QStringLiteral(","));
    } else if (lc == QLatin1String("C")) {
        EXPECT_EQ(QLocale().decimalPoint(), QStringLiteral("."));
    }
}

TEST(GridExportNoOffice, exportstringgrid_withoutCalcRaisesTheStartMessage) {
    TExcelcom excel(QStringLiteral("qurvex-nobody-%1").arg(getpid()));
    try {
        exportstringgrid(excel, {{"1"}});
        ADD_FAILURE() << "no error";
    } catch (const EExcelError& e) {
        EXPECT_TRUE(QString::fromStdString(e.what()).startsWith("first start Excel"));
    }
    EXPECT_FALSE(excel.IsAttached());
}

}  // namespace
