// SPDX-License-Identifier: GPL-3.0-or-later
#include "spreadsheet/AnnotationImport.h"

#include <algorithm>

#include "spreadsheet/ColumnLetters.h"
#include "spreadsheet/NumberNotation.h"
#include "spreadsheet/StrictNumber.h"

namespace qurvex {

std::optional<TAnnotationRange> AnnotationRange(const QString& firstCol, const QString& lastCol,
                                                const QString& firstRow, const QString& lastRow,
                                                QString& refusal) {
    TAnnotationRange r;
    r.firstCol = LettersToColumn(firstCol.trimmed());
    r.lastCol = LettersToColumn(lastCol.trimmed());
    const auto a = StrictInteger(firstRow), b = StrictInteger(lastRow);
    if (r.firstCol < 1 || r.lastCol < 1) {
        refusal = QStringLiteral("give the columns as letters (A, B, ..., AA, ...).");
        return std::nullopt;
    }
    if (!a || !b || *a < 1 || *b < 1) {
        refusal = QStringLiteral("give the rows as whole numbers from 1 on.");
        return std::nullopt;
    }
    r.firstRow = *a;
    r.lastRow = *b;
    if (r.lastCol < r.firstCol) {
        refusal =
            QStringLiteral("the last column lies before the first column. Please correct this.");
        return std::nullopt;
    }
    if (r.lastRow < r.firstRow) {
        refusal = QStringLiteral("the last row lies before the first row. Please correct this.");
        return std::nullopt;
    }
    return r;
}

QString AnnotationCellText(const TCellValue& cell) {
    switch (cell.kind) {
        case TCellValue::Kind::Number:
            return QString::number(cell.number, 'g', 15);
        case TCellValue::Kind::Text:
        case TCellValue::Kind::Error:
            return cell.text;
        case TCellValue::Kind::Empty:
            break;
    }
    return {};
}

std::vector<std::vector<std::string>> AnnotationColumns(const TCellBlock& block, int columns,
                                                        int rows) {
    std::vector<std::vector<std::string>> out(
        static_cast<std::size_t>(std::max(columns, 0)),
        std::vector<std::string>(static_cast<std::size_t>(std::max(rows, 0))));
    for (int r = 0; r < rows && r < static_cast<int>(block.size()); ++r) {
        const auto& line = block[static_cast<std::size_t>(r)];
        for (int c = 0; c < columns && c < static_cast<int>(line.size()); ++c)
            out[static_cast<std::size_t>(c)][static_cast<std::size_t>(r)] =
                AnnotationCellText(line[static_cast<std::size_t>(c)]).toStdString();
    }
    return out;
}

bool ExclusionMatches(const TCellValue& cell, const QString& code) {
    switch (cell.kind) {
        case TCellValue::Kind::Number: {
            const auto value = FieldNumber(code);
            return value && *value == cell.number;
        }
        case TCellValue::Kind::Text:
            return !cell.text.isEmpty() && cell.text == code;
        case TCellValue::Kind::Empty:
        case TCellValue::Kind::Error:
            break;
    }
    return false;
}

}  // namespace qurvex
