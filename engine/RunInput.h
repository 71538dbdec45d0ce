// SPDX-License-Identifier: GPL-3.0-or-later
// A run as a reader hands it over: everything a read fills in before the
// common back end (ProcessDataAfterRead) takes over. Readers build one of
// these completely and hand it to TEngine::loadrun only when the read
// succeeded, so a refused or failed read never touches the run in memory.
#pragma once

#include <string>
#include <vector>

#include "engine/RunState.h"

namespace qurvex {

// Index conventions are those of TRunState: per-sample vectors have
// nsamples + 1 elements used from 1, point rows ncycles + 1 elements used
// from 1. loadrun checks the sizes and refuses a run that breaks them.
struct TRunInput {
    int nsamples = 0;
    int ncycles = 0;

    // ---- per sample (nsamples + 1)
    std::vector<std::string> sampname;
    // Amplicon (target) identifier and group code; spreadsheet reads leave
    // them empty and ExtraExcelProcessing gives "not_named" and 0.
    std::vector<std::string> ampname;
    std::vector<int> ampgroup;
    // Sample annotation; empty means "undefined".
    std::vector<std::string> tissue;
    // Points read (the cycles of the row that hold a value).
    std::vector<int> npoints;

    // ---- per point [sample][point] (nsamples + 1 rows of ncycles + 1)
    doublearray rawcyc;
    doublearray rawfluor;
    // Cycle number heading each input column (ncycles + 1).
    std::vector<double> headercyc;

    // ---- what the read dialog and the file say about the run
    int chemistry = 1;
    int inputtype = 1;
    bool baselinecorrected = false;
    bool fromrdml = false;
    bool rdml12input = false;
    bool rdmldotsep = false;
    bool savetocurrentrdml = false;
    bool ownrdml = false;
    char rdmlsep = '.';
    std::string rdmlfilename;  // UTF-8, absolute
    std::string rdmlxmlfile;   // UTF-8, absolute (the working document)
    std::string expid;
    std::string runid;
    std::string rdmlexpid;
    std::string rdmlrunid;
    std::string rdmlrundate;
    // The reactions' wells when the RDML file gave ids that fit its format;
    // empty for any other read, so a new run never keeps an old plate.
    TRdmlPlate rdmlplate;
    std::string inputsheetname;
    bool tissuesdefined = false;
    int ntissues = 1;
    std::vector<std::string> uniquetissues;

    // Empty when the sizes agree with the counts; otherwise says which
    // vector or row does not (loadrun refuses such a run).
    std::string sizeerror() const;
    // Sizes every vector and row for the counts, empty or zero.
    void size(int ncycles_, int nsamples_);
};

}  // namespace qurvex
