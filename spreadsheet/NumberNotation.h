// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one rule by which a text becomes a number, wherever Qurvex meets one: cells of an imported
// block, exclusion codes, dialog fields.
//
// - No text holding a letter other than an exponent's "e"/"E" is a number ("S1", "12 liver").
// - The text numbers of one block are read in one notation: the decimal separator of the
//   document the block comes from, unless every text number with a decimal mark uses "," and
//   none uses ".": then ",". A text number whose mark is not the block's notation makes the
//   block unreadable; the caller refuses it naming that cell. Numbers without a mark ("12",
//   "1e5") read the same in both notations.
// - Grouped thousands ("1,234.5", "1.234,5", "1,234,567") are never numbers.
// - Cells that hold numbers are numbers whatever the notation; this is about texts only.

#include <QChar>
#include <QString>
#include <optional>

namespace qurvex {

enum class TDecimalMark { None, Point, Comma };

// A text that is wholly a number in the decimal-point or the decimal-comma notation.
struct TTextNumber {
    double value = 0.0;
    TDecimalMark mark = TDecimalMark::None;  // None: no decimal mark ("12", "-3e2")
    bool operator==(const TTextNumber&) const = default;
};

// The text (blanks around it ignored) as a number with a decimal point or a decimal comma:
// "2.5" is 2.5 with a point, "1,234" is 1.234 with a comma (whether that is the block's
// notation is for TBlockNotation to say). Empty text, a text with both marks or one mark twice,
// a letter other than the exponent's, or a value beyond the double range give nullopt.
std::optional<TTextNumber> ReadTextNumber(const QString& text);

// The decimal separator a notation is written with: ',' for a comma, '.' for anything else.
QChar NotationSeparator(QChar decimalSeparator);

// The text number of a block whose mark does not fit the block's notation.
struct TNotationMisfit {
    int row = 0;
    int column = 0;
    QString text;
};

// The notation of one block's text numbers, learnt from the marks of those numbers as the caller
// notes them (in any order). The block is readable when FirstMisfit() is empty.
class TBlockNotation {
public:
    // `documentSeparator`: the decimal separator of the document the block comes from; ','
    // stands for the decimal comma, anything else for the decimal point.
    explicit TBlockNotation(QChar documentSeparator);

    // Notes a text number of the block at (row, column); rows and columns in the caller's
    // counting, compared row first.
    void Note(const TTextNumber& number, int row, int column, const QString& text);
    // ',' or '.': the document's separator, or ',' when the document's is '.' and every mark
    // noted so far is a comma.
    QChar Separator() const;
    // The first text number (by row, then column) whose mark is not Separator(); none when every
    // noted number fits.
    std::optional<TNotationMisfit> FirstMisfit() const;
    // The refusal for FirstMisfit() in words: `address` names the cell ("B5"), `where` is added
    // in parentheses when not empty ("layout \"Mic\""). Empty when every number fits.
    QString MisfitMessage(const QString& address, const QString& where = QString()) const;

private:
    QChar document_;
    std::optional<TNotationMisfit> firstPoint_, firstComma_;
};

// A lone text, such as a dialog field, as a number: a block of one text in the notation of
// `decimalSeparator` ("0,5" is 0.5 under either; "0.5" is no number under ',').
std::optional<double> FieldNumber(const QString& text, QChar decimalSeparator);
// The same in the notation of the process (QLocale().decimalPoint()).
std::optional<double> FieldNumber(const QString& text);

}  // namespace qurvex
