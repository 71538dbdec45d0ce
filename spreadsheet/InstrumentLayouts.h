// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Cutting a block of cells from an instrument export into a run, by one of the 22 layouts of
// the read dialog. Pure: no office, no window. The user's answers come through TImportAsker.

#include <QString>
#include <array>
#include <optional>
#include <vector>

#include "engine/RunInput.h"
#include "spreadsheet/CellBlock.h"
#include "spreadsheet/ExcelReadRecord.h"

namespace qurvex {

enum class TNoticeKind { Information, Warning };

// A message for the user: a notice lets the read go on, a refusal ends it.
struct TImportNotice {
    TNoticeKind kind = TNoticeKind::Information;
    QString text;
    bool operator==(const TImportNotice&) const = default;
};

// The user's side of an import. The window answers with its input and message boxes; tests
// answer from a script.
class TImportAsker {
public:
    virtual ~TImportAsker() = default;
    // An input box: the text typed, or `defaultText` when the user cancels.
    virtual QString InputBox(const QString& caption, const QString& prompt,
                             const QString& defaultText) = 0;
    // A Yes/No message box; true for Yes.
    virtual bool AskYesNo(const QString& caption, const QString& text) = 0;
    // The read dialog was confirmed and the read begins (the window disables its controls,
    // shows the hourglass and repaints).
    virtual void ReadStarts() {}
};

// What the diagnostics grid StringGrid7 shows after a layout 6 or 16 cut, as far as it came.
struct TColumnSurvey {
    // Column 1, rows 1..4: the block columns (1-based) whose header matched the cycle,
    // fluorescence, well (layout 16: position) and target; -1 for a header not found.
    std::array<int, 4> columns{-1, -1, -1, -1};
    int ncycles = 0;              // column 2, row 1
    int nwells = 0;               // column 2, row 2
    std::optional<int> nsamples;  // column 2, row 3 (layout 16 only)
    bool operator==(const TColumnSurvey&) const = default;
};

// The outcome of a cut. `ok`: `run` is complete and sized for TEngine::loadrun. Otherwise
// `refusal` holds the message and `run` is to be dropped. `notices` come first in either case.
struct TLayoutCut {
    bool ok = false;
    TImportNotice refusal;
    TRunInput run;
    std::vector<TImportNotice> notices;
    std::optional<TColumnSurvey> StringGrid7;
};

// The dialog's item texts of the 22 layouts (trailing blanks included), by index.
const std::array<const char*, 22>& InstrumentLayoutNames();
// The layout a block is cut by: 4 -> 1, 12 -> 2, 10 and 13 -> 9, 19 -> 18, others as they are.
// An index outside 0..21 gives -1.
int EffectiveLayout(int filetype);
// Layouts whose negative values are lifted: 6, 11 and 13.
bool LiftsNegatives(int filetype);

// Cuts `block` (the cells record.startcol..stopcol x startrow..stoprow) by record.filetype.
// Also taken from the record: baselinecorrected (layout 16's fluorescence column, layout 8's
// header rows, the run's baseline flag), chemistry, substrate, book and sheet (expid, runid,
// inputsheetname).
//
// Cell numbers: a number cell as it is, an empty cell as 0, a text cell only when its whole
// trimmed text is a number (no letter but an exponent's e/E, no grouped thousands); anything
// else refuses the read naming the cell, except where a layout counts it (layout 11's
// column 4, the empty fluorescence cells of layouts 6 and 16). The text numbers the layout reads
// are read in one notation (TBlockNotation): `documentSeparator`, the decimal separator of the
// document the block comes from, unless all of them with a decimal mark use ','; a text number
// written the other way refuses the read naming the first such cell. A block that does not fit
// the layout's pattern is refused with a message naming the layout and what does not fit; no
// cell outside the block is ever read. A cut that leaves no sample is refused. A block whose
// cells are all empty or blank (refused before any question), or whose samples have no
// fluorescence value read from a number, is refused as holding no data, naming the block and
// the layout.
//
// After the layout: negative values are lifted for 6, 11 and 13 (by |min| + 10^-(d+1), d the
// decimals to the first significant digit of |min|); layouts 9 and 10 refuse samples without a
// positive value; headercyc comes from the sample with the most points (the first on a tie);
// every sample then loses its trailing values below 1e-7.
TLayoutCut CutInstrumentLayout(const TCellBlock& block, const TexcelreadQVX& record,
                               TImportAsker& asker, QChar documentSeparator = QLatin1Char('.'));

}  // namespace qurvex
