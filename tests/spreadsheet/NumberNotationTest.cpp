// SPDX-License-Identifier: GPL-3.0-or-later
// The one rule by which texts become numbers: letters, grouped thousands, the notation of a
// block learnt from its marks, a lone dialog field, and the exclusion code that uses it.
#include <gtest/gtest.h>

#include <QLocale>

#include "spreadsheet/AnnotationImport.h"
#include "spreadsheet/NumberNotation.h"
#include "spreadsheet/StrictNumber.h"

namespace qurvex {
namespace {

constexpr QChar kPoint = QLatin1Char('.'), kComma = QLatin1Char(',');

TEST(NumberNotation, readTextNumber_marksAndRefusals) {
    using M = TDecimalMark;
    const std::pair<const char*, TTextNumber> read[] = {
        {"12", {12, M::None}},        {" -3e2 ", {-300, M::None}}, {"2.5", {2.5, M::Point}},
        {"1,234", {1.234, M::Comma}}, {",5", {0.5, M::Comma}},     {"+1.5E-1", {0.15, M::Point}},
    };
    for (const auto& [text, number] : read)
        EXPECT_EQ(ReadTextNumber(QString::fromLatin1(text)), number) << text;
    for (const char* text : {"S1", "1S5", "S", "12 liver", "1,234.5", "1.234,5", "1,234,567",
                             "1.2.3", "nan", "inf", "1e", "e5", "", " ", "-", "1e999", "١٢"})
        EXPECT_FALSE(ReadTextNumber(QString::fromUtf8(text))) << text;
    // Whole numbers (dialog row fields) refuse letters as well.
    for (const char* text : {"S1", "1S5", "12 liver", "1,234"})
        EXPECT_FALSE(StrictInteger(QString::fromLatin1(text))) << text;
    // No letter marks decimals, whatever the caller passes.
    EXPECT_FALSE(StrictNumber(QStringLiteral("1S5"), QLatin1Char('S')));
    EXPECT_FALSE(StrictNumber(QStringLiteral("S1"), kPoint));
}

TEST(NumberNotation, block_documentNotationUnlessAllCommas_firstMisfitByRow) {
    const TTextNumber point{1.5, TDecimalMark::Point}, comma{1.5, TDecimalMark::Comma},
        plain{2, TDecimalMark::None};
    TBlockNotation pointDocument(kPoint);
    EXPECT_EQ(pointDocument.Separator(), kPoint);
    pointDocument.Note(plain, 1, 1, QStringLiteral("2"));
    pointDocument.Note(comma, 3, 1, QStringLiteral("1,5"));
    EXPECT_EQ(pointDocument.Separator(), kComma);  // every mark a comma
    EXPECT_FALSE(pointDocument.FirstMisfit());
    pointDocument.Note(point, 2, 9, QStringLiteral("1.5"));
    pointDocument.Note(comma, 2, 4, QStringLiteral("0,1"));
    EXPECT_EQ(pointDocument.Separator(), kPoint);  // mixed: the document's
    ASSERT_TRUE(pointDocument.FirstMisfit());
    EXPECT_EQ(pointDocument.FirstMisfit()->text, QStringLiteral("0,1"));  // row 2 before row 3
    EXPECT_EQ(pointDocument.MisfitMessage(QStringLiteral("D2")),
              QStringLiteral("Cell D2 holds \"0,1\", written with a decimal comma, while the "
                             "numbers of this block are read with a decimal point. Please write "
                             "every number of the block with the same decimal separator and "
                             "without thousands separators."));

    TBlockNotation commaDocument(kComma);
    commaDocument.Note(point, 5, 2, QStringLiteral("1.5"));
    EXPECT_EQ(commaDocument.Separator(), kComma);
    EXPECT_EQ(commaDocument.FirstMisfit()->row, 5);
    EXPECT_TRUE(TBlockNotation(kComma).MisfitMessage(QStringLiteral("A1")).isEmpty());
    EXPECT_EQ(TBlockNotation(QChar(0x066B)).Separator(), kPoint);  // another mark: the point's
}

TEST(NumberNotation, field_blockOfOne_andTheExclusionCode) {
    EXPECT_EQ(FieldNumber(QStringLiteral("0,5"), kPoint), 0.5);
    EXPECT_EQ(FieldNumber(QStringLiteral("0.5"), kPoint), 0.5);
    EXPECT_EQ(FieldNumber(QStringLiteral("0,5"), kComma), 0.5);
    EXPECT_FALSE(FieldNumber(QStringLiteral("0.5"), kComma));
    for (const char* text : {"S1", "1S5", "12 liver", "1,234.5"})
        EXPECT_FALSE(FieldNumber(QString::fromLatin1(text), kPoint)) << text;

    // The exclusion code is a field in the process's notation.
    const QLocale saved;
    QLocale::setDefault(QLocale::c());
    EXPECT_FALSE(ExclusionMatches(TCellValue::Number(0.1), QStringLiteral("S1")));
    EXPECT_TRUE(ExclusionMatches(TCellValue::Number(0.5), QStringLiteral("0,5")));
    EXPECT_TRUE(ExclusionMatches(TCellValue::Text(QStringLiteral("S1")), QStringLiteral("S1")));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_TRUE(ExclusionMatches(TCellValue::Number(0.5), QStringLiteral("0,5")));
    EXPECT_FALSE(ExclusionMatches(TCellValue::Number(0.5), QStringLiteral("0.5")));
    QLocale::setDefault(saved);
}

}  // namespace
}  // namespace qurvex
