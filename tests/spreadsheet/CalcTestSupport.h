// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Direct UNO access to the test office, to check what the component did from the outside.

#include <QString>

#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>

namespace qurvex::test {

// Waits up to `seconds` until the office on $QURVEX_CALC_PIPE accepts; false when it never does.
bool WaitForOffice(double seconds);

css::uno::Reference<css::frame::XDesktop2> Desktop();
css::uno::Reference<css::sheet::XSpreadsheetDocument> CurrentDocument();
css::uno::Reference<css::sheet::XSpreadsheet> Sheet(const css::uno::Reference<css::sheet::XSpreadsheetDocument>& doc,
                                                    const QString& name);
void CloseDocument(const css::uno::Reference<css::sheet::XSpreadsheetDocument>& doc);
// Closes every document of the office.
void CloseAllDocuments();
void SaveAsXlsx(const css::uno::Reference<css::sheet::XSpreadsheetDocument>& doc, const QString& path);
css::uno::Reference<css::sheet::XSpreadsheetDocument> Load(const QString& path);
// The number format code of a cell, e.g. "0.000"; 0-based column and row.
QString FormatCode(const css::uno::Reference<css::sheet::XSpreadsheetDocument>& doc,
                   const css::uno::Reference<css::sheet::XSpreadsheet>& sheet, int col, int row);
// Decimals and thousands grouping of a cell's number format, whatever its notation.
struct FormatMeaning {
  int decimals = -1;
  bool grouping = false;
};
FormatMeaning FormatMeaningOf(const css::uno::Reference<css::sheet::XSpreadsheetDocument>& doc,
                              const css::uno::Reference<css::sheet::XSpreadsheet>& sheet, int col, int row);
// Sets the document's default language, e.g. ("de", "DE").
void SetDocumentLocale(const css::uno::Reference<css::sheet::XSpreadsheetDocument>& doc, const QString& language,
                       const QString& country);
float CharWeight(const css::uno::Reference<css::sheet::XSpreadsheet>& sheet, int col, int row);
int HoriJustify(const css::uno::Reference<css::sheet::XSpreadsheet>& sheet, int col, int row);
void SetFormula(const css::uno::Reference<css::sheet::XSpreadsheet>& sheet, int col, int row, const QString& formula);
void RemoveSheet(const css::uno::Reference<css::sheet::XSpreadsheetDocument>& doc, const QString& name);
QString SheetNames(const css::uno::Reference<css::sheet::XSpreadsheetDocument>& doc);  // joined by ","

}  // namespace qurvex::test
