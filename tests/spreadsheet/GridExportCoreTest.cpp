// SPDX-License-Identifier: GPL-3.0-or-later
// Cell texts to values and the workshop's sheet naming, without an office.
#include <gtest/gtest.h>

#include <QLocale>

#include "spreadsheet/GridExport.h"

namespace qurvex {
namespace {

TEST(GridExportCore, cellToVariant_convertsOnlyWholeNumbers) {
    const auto num = [](double v) { return TCellValue::Number(v); };
    const auto txt = [](const char* t) { return TCellValue::Text(QString::fromUtf8(t)); };
    struct Case {
        const char* text;
        TCellValue point, comma;  // under '.' and under ','
    };
    const Case cases[] = {
        {"12", num(12), num(12)},
        {"-7", num(-7), num(-7)},
        {" 3 ", num(3), num(3)},
        {"12.5", num(12.5), txt("12.5")},
        {"12,5", txt("12,5"), num(12.5)},
        {"-1.5e-3", num(-1.5e-3), txt("-1.5e-3")},
        {"2,5E2", txt("2,5E2"), num(250)},
        {"99999999999", num(99999999999.0), num(99999999999.0)},
        {"12 liver", txt("12 liver"), txt("12 liver")},
        {"0x1F", txt("0x1F"), txt("0x1F")},
        {"1e", txt("1e"), txt("1e")},
        {"1.000,5", txt("1.000,5"), txt("1.000,5")},
        {"inf", txt("inf"), txt("inf")},
        {"", txt(""), txt("")},
        {"Sample_Name", txt("Sample_Name"), txt("Sample_Name")},
    };
    for (const Case& c : cases) {
        const QString t = QString::fromUtf8(c.text);
        EXPECT_EQ(CellToVariant(t, QLatin1Char('.')), c.point) << c.text;
        EXPECT_EQ(CellToVariant(t, QLatin1Char(',')), c.comma) << c.text;
    }
    // Without a separator given, the process's locale decides.
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(CellToVariant(QStringLiteral("12,5")), num(12.5));
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(CellToVariant(QStringLiteral("12,5")), txt("12,5"));
    QLocale::setDefault(saved);
}

// The grid's texts are Qurvex's, in the process's notation: letters never make a number.
TEST(GridExportCore, cellToVariant_lettersStayText) {
    constexpr QChar kPoint = QLatin1Char('.'), kComma = QLatin1Char(',');
    for (const char* text : {"S1", "1S5", "12 liver"})
        for (QChar separator : {kPoint, kComma})
            EXPECT_EQ(CellToVariant(QString::fromLatin1(text), separator),
                      TCellValue::Text(QString::fromLatin1(text)))
                << text;
    EXPECT_EQ(CellToVariant(QStringLiteral("1,234"), kPoint),
              TCellValue::Text(QStringLiteral("1,234")));
    EXPECT_EQ(CellToVariant(QStringLiteral("0.125"), kPoint), TCellValue::Number(0.125));
}

TEST(GridExportCore, freeSheetName_addsTheFirstFreeSuffix) {
    const QString longname = QStringLiteral("A_rather_long_sheet_name_here");  // 29 characters
    struct Case {
        QString wanted;
        QStringList existing;
        QString expected;
    };
    const Case cases[] = {
        {"New_Sheet_Name", {"Sheet1"}, "New_Sheet_Name"},
        {"New_Sheet_Name", {"Sheet1", "New_Sheet_Name"}, "New_Sheet_Name_1"},
        {"new_sheet_name", {"New_Sheet_Name", "NEW_SHEET_NAME_1"}, "new_sheet_name_2"},
        {longname, {longname}, longname.left(21) + "_1"},
        {longname, {longname, longname.left(21) + "_1"}, longname.left(21) + "_2"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FreeSheetName(c.wanted, c.existing), c.expected) << c.wanted.toStdString();
}

}  // namespace
}  // namespace qurvex
