// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace qurvex {

// What the save dialog asks before results go to the spreadsheet: where and what to write.
// The caller presets the "in" fields; OK fills the rest, a cancel changes nothing.
struct TexcelsaveQVX {
    QString book;              // out: the chosen workbook's name, or "new book"
    QString sheet;             // in: default base name of the sheets; out: the name box
    int startrow = 1;          // out: always 1
    int startcol = 1;          // out: always 1
    bool useinputname = true;  // in/out: "use name of input sheet" ticked
    QString checkcaption;      // in: caption of that check box
    QString warningcaption;    // in: text of the red warning label
    int outputchoice = 2;      // in/out: 0 Complete, 1 User Defined, 2 Compact, 3 both
    int outputplace = 2;       // in/out: index of the place as shown in the list
    bool formatoutput = true;  // out: "Format output in Excel" ticked
};

// The book name that asks for a new workbook.
inline const QString kNewBook = QStringLiteral("new book");

}  // namespace qurvex
