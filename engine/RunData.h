// SPDX-License-Identifier: GPL-3.0-or-later
// The run as read: start-up switches, counts, provenance, names and
// annotations, cycles and points, and which samples are shown.
// Part of the run state (TRunState, RunState.h).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/RdmlPlate.h"
#include "engine/RunTypes.h"

namespace qurvex {

struct TRunData {
    bool scratchmode = false;
    bool expertmode = false;
    bool silentmode = false;
    bool rdmlenabled = true;
    bool workshopmode = false;
    bool usebaselinezw = false;
    int nsamples = 0;
    int ncycles = 0;
    int chemistry = 1;
    int inputtype = 1;
    bool cqcorrneeded = false;
    bool fromrdml = false;
    bool rdml12input = false;
    bool rdmldotsep = false;
    bool savetocurrentrdml = false;
    bool ownrdml = false;
    char rdmlsep = '.';
    char decsep = '.';

    std::string rdmlfilename;  // UTF-8
    std::string rdmlxmlfile;   // UTF-8
    std::string expid;

    std::string runid;
    std::string rdmlexpid;
    std::string rdmlrunid;
    std::string rdmlrundate;
    TRdmlPlate rdmlplate;
    std::string inputsheetname;
    bool tissuesdefined = false;
    int ntissues = 1;
    std::vector<std::string> uniquetissues;
    std::array<int, kOutputColumnCount> outcol{};
    std::vector<std::string> sampname;
    std::vector<int> npoints;
    std::vector<int> nrawpoints;
    boolarray isdisplayed;

    std::vector<std::string> sampleuse;      // up to 6 characters
    std::vector<std::string> qualitychecks;  // up to 31 characters
    std::vector<std::string> tissue;

    doublearray rawcyc;
    doublearray rawfluor;
    doublearray cyc;
    doublearray fluor;
    // Every value as the read left it, baseline subtracted (0 unless ownrdml),
    // points 1..nrawpoints: what the input grid shows, each under its own
    // cycle rawcyc[s][p]. Set by ProcessDataAfterRead; no later step changes it.
    doublearray inputfluor;
    std::vector<double> headercyc;  // ncycles + 1

    // Number of the current sample (the "samplenum" edit), 1-based.
    int samplenum = 1;
};

}  // namespace qurvex
