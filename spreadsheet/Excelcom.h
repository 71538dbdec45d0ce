// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <stdexcept>
#include <string>

#include "spreadsheet/CellBlock.h"
#include "spreadsheet/ExcelReadRecord.h"

namespace qurvex {

// A failure of the spreadsheet application or of a request to it; the message is for the user.
class EExcelError : public std::runtime_error {
public:
    explicit EExcelError(const std::string& message) : std::runtime_error(message) {}
    explicit EExcelError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

// The road between the program and a running LibreOffice Calc, driven over UNO.
//
// The component attaches to a Calc that listens on a named pipe (scripts/calc starts one, or
// makes a running one listen); it never starts or quits the office. Self-bracketing methods
// (lists, selects, adds) open and close the connection themselves; range methods work inside
// the connection opened by AttachExcel (opening one on demand) until DetachExcel.
// Every instance sees the same office, so a select through one moves the others too.
// Range coordinates are 1-based: first column, last column, first row, last row.
class TExcelcom {
public:
    // The pipe of the user's Calc: $QURVEX_CALC_PIPE when set, else "qurvex".
    static QString DefaultPipeName();
    TExcelcom();
    explicit TExcelcom(const QString& pipeName);
    ~TExcelcom();
    TExcelcom(const TExcelcom&) = delete;
    TExcelcom& operator=(const TExcelcom&) = delete;

    // True when a Calc listens and can be attached; otherwise throws EExcelError whose message
    // starts with the line "first start Excel" and tells how to start Calc. Leaves no connection.
    bool IsExcelRunning();
    // Opens the connection; CurrentWorkbook/CurrentSheet := the active document and its active
    // sheet. Throws when nothing listens or no spreadsheet document is open.
    void AttachExcel();
    // Ends the connection (nothing to do when none is open).
    void DetachExcel();
    bool IsAttached() const;

    // The open spreadsheet documents' names, `selected` the active one (-1 when none). A name is
    // the document's title, or "title (folder)" when another open document has the same title.
    bool ListWorkbooks(QStringList& names, int& selected);
    // The sheet names of the active document, `selected` the active sheet (-1 when none).
    bool ListSheets(QStringList& names, int& selected);
    QString ActiveSheetName();
    // A new empty spreadsheet document becomes the active one.
    void NewWorkbook();
    // Add a sheet before the active sheet / after the last / before the first; it becomes
    // active. An empty name gives a free default name ("Sheet4"). A taken or invalid name
    // throws and adds nothing. Returns the sheet's final name.
    QString AddSheet(const QString& name);
    QString AddSheetLast(const QString& name);
    QString AddSheetFirst(const QString& name);
    // Activate the open document of that listed name / the active document's sheet of that
    // name; throws when none (a title that two open documents share names neither).
    void SelectWorkbook(const QString& name);
    void SelectSheet(const QString& name);

    // Number format "0.000" on the range, then all values in one call. The block is cut or
    // padded with empty cells to the range's shape.
    void WriteArrayToRange(int firstCol, int lastCol, int firstRow, int lastRow,
                           const TCellBlock& data);
    // Values in one call without number format; a single value goes into every cell.
    void WriteValueToRange(int firstCol, int lastCol, int firstRow, int lastRow,
                           const TCellBlock& data);
    void WriteValueToRange(int firstCol, int lastCol, int firstRow, int lastRow,
                           const TCellValue& value);
    // Named format: "center", "left", "right", "bold", "text" (@), "datum" (DD-MM-YYYY),
    // "decim3" (0.000), "sci2" (0.00E+00), "int0" (0); number codes written in en-US notation
    // and converted by Calc to the document's locale (a German sheet shows "1,235").
    // An unknown keyword does nothing.
    void FormatRange(int firstCol, int lastCol, int firstRow, int lastRow, const QString& keyword);
    static QString ColumnToLetters(int column);
    // Optimal width on the whole columns first..last.
    void AutofitColumns(int firstCol, int lastCol);
    // Horizontal centring of the whole column.
    void CenterColumn(int column);
    // The block in one call (a one-cell range gives a 1 x 1 block); cells holding a formula
    // error come as Kind::Error with their display text.
    void ReadRange(int firstCol, int lastCol, int firstRow, int lastRow, TCellBlock& data);

    // The decimal separator of the current workbook's notation: the office's locale data for the
    // workbook's own locale (its CharLocale), e.g. '.' for en-US and ',' for de-DE; '.' when
    // the locale data give none. Works inside the connection like the range methods.
    QChar DecimalSeparator();

    // The folder of the active document; "" when it was never saved or no document is open.
    QString ActiveWorkbookFolder();

    // The read dialog (defined with the dialogs, qurvex_spreadsheet_dialogs): true after OK.
    bool ExecuteReadDialog(TexcelreadQVX& record);
    bool ExecuteSaveDialog(struct TexcelsaveQVX& record);  // the save dialog, likewise

    // CurrentWorkbook/CurrentSheet: set by the last attach, select or add, and kept after the
    // connection ends ("" before the first). The workbook's name is its listed name when chosen
    // (its present title once saved under another); the sheet's name is the one it had when chosen.
    QString CurrentWorkbook() const;
    QString CurrentSheet() const;
    QString PipeName() const;

    struct Impl;  // the UNO side, kept out of this header

private:
    std::unique_ptr<Impl> d;
};

}  // namespace qurvex
