// SPDX-License-Identifier: GPL-3.0-or-later
// What a read of an RDML file is given, whom it asks, and what it returns.
// The read itself (ReadfromRDML) runs without a window: the main window fills
// a TRdmlReadRequest from its read dialog, implements IRdmlReadAsker with its
// message boxes and reader windows, and shows the TRdmlReadResult.
#pragma once

#include <string>
#include <vector>

#include "engine/RunInput.h"
#include "rdml/exchange/RdmlInputGrid.h"

namespace qurvex {

// [annotated sample][annotation][column], all from 0: column 0 the sample id
// (annotation row 0 only), 1 the annotation's property, 2 its value.
using cubedstringarray = std::vector<std::vector<std::vector<std::string>>>;

// A grid of texts as the window shows it: cells[row][column], row 0 the
// header row. Every row has `columns()` cells.
struct TTextGrid {
    std::vector<std::vector<std::string>> cells;

    int rows() const { return static_cast<int>(cells.size()); }
    int columns() const { return cells.empty() ? 0 : static_cast<int>(cells[0].size()); }
    // Sizes the grid, every cell empty.
    void resize(int columns, int rows);
    // Appends an empty column at the right.
    void addcolumn();
    // Cell (column, row) as the window's grids address them.
    std::string& cell(int column, int row);
    const std::string& cell(int column, int row) const;
};

// What the read dialog returned in RDML mode.
struct TRdmlReadRequest {
    std::string rdmlfile;  // the .rdml file, UTF-8
    int chemistry = 1;     // 1..7
    int substrate = 1;     // input type: 1 ss-cDNA, 2 ds-DNA
    bool baselinecorrected = false;
    // Folder that receives the working document; empty: the process's own
    // working folder (RdmlWorkFolder).
    std::string workfolder;
};

enum class TRdmlMessageKind { information, warning };

// Everything the read asks the user or shows while it runs. Tests script it;
// the window answers with message boxes, TChooseXMLForm and a reader window.
class IRdmlReadAsker {
public:
    virtual ~IRdmlReadAsker() = default;
    // The Yes/No question about baseline-corrected data; true continues.
    virtual bool ConfirmBaselineCorrected(const std::string& title, const std::string& text) = 0;
    // The chooser of the XML entry: the index into `names` (item 0
    // preselected), or -1 when the user gave no answer.
    virtual int ChooseXmlEntry(const std::vector<std::string>& names) = 0;
    // A message box with an OK button.
    virtual void Message(TRdmlMessageKind kind, const std::string& text) = 0;
    // The reader window of a version opens ("Reading from RDML 1.2") with a
    // progress bar of `maximum` steps, advances one step per reaction, and
    // closes. The window keeps repainting through Pump.
    virtual void ReaderOpened(const std::string& caption, int maximum) {
        (void)caption;
        (void)maximum;
    }
    virtual void ReaderStep(int position) { (void)position; }
    virtual void ReaderClosed() {}
    virtual void Pump() {}
};

// The outcome of one read. When `ok` is false nothing of the program's run
// may change: `run` is then incomplete and must not be loaded.
struct TRdmlReadResult {
    bool ok = false;
    // True when the user stopped the read (baseline question answered No);
    // no failure message was shown then.
    bool cancelled = false;
    // The message shown for a refusal (with the file name and the place of
    // the problem where known); empty on success.
    std::string message;

    TRunInput run;                 // the staging run, complete on success
    std::vector<double> defbgarr;  // stored background per sample (1..nsamples)
    // What the read added to every raw value of a sample to lift negative
    // fluorescence (1..nsamples; 0 where nothing was added). The writers
    // lower the values by it again (TRdmlWriteChoices::lift).
    std::vector<double> lift;
    std::string version;                  // "1.0", "1.1", "1.2", "1.3"
    std::string creator;                  // "Qurvex" or "not found"
    char separator = '.';                 // decimal separator of the document
    cubedstringarray annotations;         // the sample annotation table
    int annotationcount = 0;              // largest annotation count of a sample
    TRdmlInputGrid rdmlinput;             // RdmlInSG
    std::vector<std::string> tissuelist;  // TissueLB
    std::vector<std::string> targetlist;  // TargetsLB
    std::string targetname;               // TargetnameEdit when one target only
    TTextGrid uniquetissues;              // UniqueTissuesSG
    TTextGrid tissuesamples;              // TissueSampSG
    // Information shown once to the user (parts of the file not read).
    std::vector<std::string> notices;
};

}  // namespace qurvex
