// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The result sheets as cell grids, built from the analysed run and the user's choices without
// any spreadsheet: the complete (or user-defined) sheet, the compact sheet, their header and
// legend, the per-sample code strings and the names the sheets get in a workbook.

#include <QString>
#include <QStringList>
#include <array>
#include <string>
#include <vector>

#include "engine/EngineOptions.h"
#include "engine/RunState.h"
#include "spreadsheet/CellBlock.h"

namespace qurvex {

// Items of the output-column list, in the list's order (their index is the item number).
enum TOutputItem : int {
    kItemSample = 0,
    kItemName = 1,
    kItemLowerLimit = 2,
    kItemUpperLimit = 3,
    kItemNIncluded = 4,
    kItemN0Indiv = 5,
    kItemIndivEff = 6,
    kItemR2 = 7,
    kItemThreshold = 8,
    kItemCq = 9,
    kItemBaseline = 10,
    kItemAmplicon = 11,
    kItemTargetSeq = 12,  // the separator line of the list: a title without values
    kItemMeanEff = 13,
    kItemAnnotations = 14,
    kItemN0Mean = 15,
    kItemSampleUse = 16,
    kItemQualityChecks = 17,
    kItemLegend = 18,
};

// The save dialog's output kinds.
enum TOutputChoice : int { kComplete = 0, kUserDefined = 1, kCompact = 2, kCompactAndComplete = 3 };

// What the main window contributes besides the run: the output kind, the list's ticks, the
// single target's name, the annotation grid and today's date as the user's locale writes it.
struct TSaveChoices {
    int outputchoice = kCompactAndComplete;
    std::array<bool, kOutputColumnCount> ticked{};  // the output-column list (kUserDefined)
    QString targetname;  // the amplicon name of every sample when the run has one group
    // The annotation grid: row 0 the titles, row k sample k; column 0 the sample names, then
    // the annotation columns (and, after numbering, an "ID" column).
    std::vector<QStringList> tissuegrid;
    QString datetext;  // the analysis date in the locale's short date format
};

// The per-sample results a save rebuilds from the quality flags (index 1..nsamples).
struct TSampleCodes {
    boolarray non0;                          // N0 not reported
    std::vector<std::string> sampleuse;      // "1 2 3"-style, 5 characters
    std::vector<std::string> qualitychecks;  // 14 slots at positions 1, 3, ..., 27
};

// non0 = noamplif or userexcluded or (bgerror and not manualbg) or (effoutlier and noplateau).
// Sample_Use: "0 0 0" with "1" at 1 (used for the window), "2" at 3 (in the mean), "3" at 5
// (N0 reported). Quality_checks: one code per flag, "0" at 1 when no other slot is set.
TSampleCodes BuildSampleCodes(const TRunState& run);

// Column of every output item on the complete sheet, 0 when the item is not written. Kinds
// 0 and 3 take every item but the separator, kind 1 the ticked items, kind 2 none. The
// annotation item takes `annotations` columns (at least 1) and moves the items after it.
std::array<int, kOutputColumnCount> OutputColumnNumbers(
    int outputchoice, const std::array<bool, kOutputColumnCount>& ticked, int annotations);

// Number of annotation columns: column count of the annotation grid - 2, at least 1.
int AnnotationColumnCount(const std::vector<QStringList>& tissuegrid);

// N0 with the group mean efficiency E at the reported Cq' = ct + correction:
// N0 = 10^sampftval / E^Cq'; -999 when non0 is set or E <= 1.001.
double MeanEfficiencyN0(const TRunState& run, int sample, bool non0);

// A formatting keyword of TExcelcom::FormatRange on one column.
struct TColumnFormat {
    int column = 0;
    QString keyword;
    bool operator==(const TColumnFormat&) const = default;
};

// One sheet ready to be written: its cells from A1, the columns and rows to write, and the
// formatting applied when the user asked for formatted output.
struct TResultSheet {
    QString suffix;      // "_output" or "_compact"
    TCellBlock cells;    // rows x at least 3 columns, [row][column] from 0
    int columns = 0;     // columns of the written range (1..columns)
    int formatrows = 0;  // rows 1..formatrows get the column formats (nsamples + 4)
    std::vector<TColumnFormat> formats;
    int autofitfirst = 0;  // columns given optimal width; 0 when none
    int autofitlast = 0;
    std::vector<int> centercolumns;
    int Rows() const { return static_cast<int>(cells.size()); }
};

// Rows of a sheet's cell array: nsamples + 4, at least 45 (the whole legend fits).
int SheetRowCount(const TRunState& run);

// The analysis header and the legend into `cells` (1-based row/column arguments). Header
// cells tied to the Cq or N0 column are left out when that column is 0. Rows 1..41 at most.
void WriteHeaderAndLegend(TCellBlock& cells, const TRunState& run, const TEngineOptions& options,
                          const QString& datetext, int n0Column, int cqColumn, int legendColumn);

// The complete or user-defined sheet ("_output") with the given column numbers.
TResultSheet BuildCompleteSheet(const TRunState& run, const TEngineOptions& options,
                                const TSaveChoices& choices, const TSampleCodes& codes,
                                const std::array<int, kOutputColumnCount>& outcol);
// The compact sheet ("_compact"); its legend is always written.
TResultSheet BuildCompactSheet(const TRunState& run, const TEngineOptions& options,
                               const TSaveChoices& choices, const TSampleCodes& codes);

// Every sheet of the chosen output kind, in writing order (the complete sheet first).
std::vector<TResultSheet> BuildResultSheets(const TRunState& run, const TEngineOptions& options,
                                            const TSaveChoices& choices, const TSampleCodes& codes);

// The dialog's default base name: the first 23 characters of the cleaned experiment id of an
// RDML run, else of the input sheet's name.
QString DefaultSheetBase(const TRunState& run);

// Calc's longest sheet name.
inline constexpr int kMaxSheetNameLength = 31;

// A free sheet name: the first 23 characters of `base` + suffix; on a clash (names compared
// without regard to case, as Calc does) base cut to 21 characters + "_" + k + suffix for
// k = 1, 2, ..., the base cut further when needed so that no name exceeds 31 characters.
QString OutputSheetName(const QString& base, const QString& suffix, const QStringList& existing);

}  // namespace qurvex
