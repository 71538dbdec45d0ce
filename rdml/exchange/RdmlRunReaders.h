// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the run out of a parsed RDML document, one binding per version:
// RDML 1.0, 1.1, and 1.2 (which also reads 1.3). Only the first run of the
// first experiment is read, and of each reaction only its first data element;
// what else the document holds is reported in `notread`.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/RunInput.h"
#include "rdml/exchange/RdmlReadTypes.h"
#include "rdml/model/RdmlDocument.h"

namespace qurvex {

enum class TRdmlBinding { v1_0, v1_1, v1_2 };

// The binding of a version text: "1.0", "1.1", "1.2" and "1.3" give true.
bool RdmlBindingOf(const std::string& version, TRdmlBinding& binding);
// "Reading from RDML 1.2" and so on: the reader window's caption.
std::string RdmlReaderCaption(TRdmlBinding binding);

// What the data read gives beside the run.
struct TRdmlRunExtras {
    cubedstringarray annotations;      // 1.2 only: [sample][annotation][id, property, value]
    int ntissues = 0;                  // 1.2 only: samples of the sample list
    int annotationcount = 0;           // 1.2 only: the largest annotation count (at least 1)
    std::vector<double> defbgarr;      // stored background per reaction (0 unless ownrdml)
    std::vector<std::string> notread;  // descriptions of parts of the file not read
};

// Why a run of Cq values only (no amplification point in any reaction) is
// refused: the error text readRDMLlengths and readRDMLdata give for it.
extern const char* const kNoAmplificationCurves;

// `text` with every blank (code 32) removed; tabs and the rest stay.
std::string StripBlanks(const std::string& text);

// The counts of the first run: reactions, and amplification points of the
// first data element of the first reaction. False with `error` naming what is
// missing (and where) when the document has no experiment, run, reaction or
// data element there, or when that data element holds no amplification point
// (a run of Cq values only: "The file holds no amplification curves ...").
bool readRDMLlengths(TRdmlBinding binding, RdmlDocument& document, int& nsamples, int& ncycles,
                     std::string& error);

// Fills `run` (sized by the caller for ncycles x nsamples) from the first run:
// ids of experiment and run, run date, per reaction i (from 1) the sample and
// target ids, group numbers (first appearance of a target id, compared
// without regard to case), well label "<react id> <sample> <target>" without
// blanks inside the ids, cycles and fluorescence of the first `ncycles`
// points, and (1.1 and 1.2) the plate: every react id with the run's
// pcrFormat when the ids are distinct and fit that format (rdmlplate, else
// left empty). A point whose cycle or fluorescence is NaN or infinite is left out
// (the reaction gets fewer points). False with `error` (the element and the
// text at fault) when the first reaction holds no point (as
// readRDMLlengths), a reaction lacks its data element, has fewer points,
// lacks a react id (or, 1.1 and 1.2, one that is no whole number), or a
// point lacks or mistypes its cycle or fluorescence; `run` is then partly
// filled and must be thrown away. `progress` receives 1..nsamples.
bool readRDMLdata(TRdmlBinding binding, RdmlDocument& document, bool ownrdml, TRunInput& run,
                  TRdmlRunExtras& extras, const std::function<void(int)>& progress,
                  std::string& error);

}  // namespace qurvex
