// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace qurvex {

// What the read dialog asks before every read: where the run comes from and how to read it.
// The caller sets `fromexcel`; OK fills the rest (a cancel changes nothing; OK in RDML mode
// leaves the spreadsheet fields as the caller set them).
struct TexcelreadQVX {
    bool fromexcel = true;  // true: spreadsheet mode; false: RDML mode
    QString book;           // workbook name as listed
    QString sheet;          // sheet name as listed
    int startcol = 0;       // first column of the block, 1-based
    int stopcol = 0;        // last column
    int startrow = 0;       // first row, 1-based
    int stoprow = 0;        // last row
    int filetype = 0;       // instrument layout 0..21
    bool baselinecorrected = false;
    int chemistry = 1;  // 1..7
    int substrate = 1;  // 1 ss-cDNA, 2 ds-DNA
    QString rdmlfile;   // RDML mode: the chosen file; spreadsheet mode: empty
};

}  // namespace qurvex
