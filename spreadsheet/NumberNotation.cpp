// SPDX-License-Identifier: GPL-3.0-or-later
#include "spreadsheet/NumberNotation.h"

#include <QLocale>
#include <utility>

#include "spreadsheet/StrictNumber.h"

namespace qurvex {

namespace {

bool before(const TNotationMisfit& a, const TNotationMisfit& b) {
    return std::pair(a.row, a.column) < std::pair(b.row, b.column);
}

// Keeps the earlier of the noted cell and the one kept so far.
void keepFirst(std::optional<TNotationMisfit>& kept, const TNotationMisfit& cell) {
    if (!kept || before(cell, *kept)) kept = cell;
}

QString markName(QChar separator) {
    return separator == QLatin1Char(',') ? QStringLiteral("comma") : QStringLiteral("point");
}

}  // namespace

std::optional<TTextNumber> ReadTextNumber(const QString& text) {
    const bool point = text.contains(QLatin1Char('.'));
    const bool comma = text.contains(QLatin1Char(','));
    if (point && comma) return std::nullopt;  // "1,234.5": grouped thousands
    const auto value = StrictNumber(text, comma ? QLatin1Char(',') : QLatin1Char('.'));
    if (!value) return std::nullopt;
    const TDecimalMark mark =
        point ? TDecimalMark::Point : (comma ? TDecimalMark::Comma : TDecimalMark::None);
    return TTextNumber{*value, mark};
}

QChar NotationSeparator(QChar decimalSeparator) {
    return decimalSeparator == QLatin1Char(',') ? QLatin1Char(',') : QLatin1Char('.');
}

TBlockNotation::TBlockNotation(QChar documentSeparator)
    : document_(NotationSeparator(documentSeparator)) {}

void TBlockNotation::Note(const TTextNumber& number, int row, int column, const QString& text) {
    if (number.mark == TDecimalMark::Point) keepFirst(firstPoint_, {row, column, text});
    if (number.mark == TDecimalMark::Comma) keepFirst(firstComma_, {row, column, text});
}

QChar TBlockNotation::Separator() const {
    if (document_ == QLatin1Char('.') && firstComma_ && !firstPoint_) return QLatin1Char(',');
    return document_;
}

std::optional<TNotationMisfit> TBlockNotation::FirstMisfit() const {
    return Separator() == QLatin1Char(',') ? firstPoint_ : firstComma_;
}

QString TBlockNotation::MisfitMessage(const QString& address, const QString& where) const {
    const auto misfit = FirstMisfit();
    if (!misfit) return {};
    const QChar read = Separator();
    const QChar written = read == QLatin1Char(',') ? QLatin1Char('.') : QLatin1Char(',');
    QString text = QStringLiteral(
                       "Cell %1 holds \"%2\", written with a decimal %3, while the "
                       "numbers of this block are read with a decimal %4")
                       .arg(address, misfit->text, markName(written), markName(read));
    if (!where.isEmpty()) text += QStringLiteral(" (%1)").arg(where);
    return text + QStringLiteral(
                      ". Please write every number of the block with the same decimal "
                      "separator and without thousands separators.");
}

std::optional<double> FieldNumber(const QString& text, QChar decimalSeparator) {
    const auto number = ReadTextNumber(text);
    if (!number) return std::nullopt;
    TBlockNotation notation(decimalSeparator);
    notation.Note(*number, 0, 0, text);
    if (notation.FirstMisfit()) return std::nullopt;
    return number->value;
}

std::optional<double> FieldNumber(const QString& text) {
    const QString point = QLocale().decimalPoint();
    return FieldNumber(text, point.isEmpty() ? QLatin1Char('.') : point.front());
}

}  // namespace qurvex
