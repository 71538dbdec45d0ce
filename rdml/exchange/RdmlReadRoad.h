// SPDX-License-Identifier: GPL-3.0-or-later
// The whole read of an RDML file, without a window: extraction, version and
// separator, the reader of the version, the lift of negative fluorescence,
// the input grid, the sample and target lists and the annotation grids. The
// result is a staging run; the program's run changes only when the window
// hands a successful result to the engine.
//
// What the window does with a result, in this order:
//  1. result.ok false: nothing more (the message was shown through the asker;
//     the previous run, its working document, charts and results stay).
//  2. SetCqCorrNeeded and ResetInterfaceAfterRead (they reset the previous
//     run's analysis, so only now; the reset clears tissuesdefined and
//     ntissues, which is why it comes before loadrun).
//  3. TEngine::loadrun(result.run); it refuses only a run whose sizes
//     disagree, which a successful result never has (run.sizeerror() empty).
//  4. DiscardWorkingDocument(previous rdmlxmlfile) for the run it replaced.
//  5. Show RdmlInSG, TissueLB, TargetsLB, TargetnameEdit, UniqueTissuesSG and
//     TissueSampSG from the result, and the dialog's side effects (baseline
//     panel colour and font, SetBaselineCorrected1, the two tab sheets,
//     output column 12 unchecked, ProbeTargetPanel hidden); show the notices.
//  6. ProcessDataAfterRead, then ExtraRDMLProcessing.
//  7. EnableInterface(true), default cursor (also after a refusal).
// At exit the window calls RemoveRdmlWorkFolder().
#pragma once

#include <string_view>
#include <vector>

#include "rdml/exchange/RdmlReadTypes.h"

namespace qurvex {

// The refusal texts.
inline constexpr const char* kNoFileName = "No RDML filename was given.";
inline constexpr const char* kImportFailed = "Import RDML data failed";
inline constexpr const char* kBaselineTitle =
    "Using baseline-corrected data may lead to wrong efficiency values";
extern const char* const kBaselineText;

// Reads the file the request names. Every question and message goes through
// `asker`. On success the working document is written into the request's
// work folder (or RdmlWorkFolder()) and its path is run.rdmlxmlfile; on
// failure nothing is written anywhere.
TRdmlReadResult ReadfromRDML(const TRdmlReadRequest& request, IRdmlReadAsker& asker);

// The part after extraction: parses `xml` and fills `result` as
// ReadfromRDML does, without touching any file (run.rdmlxmlfile stays empty).
// `result.run` must already carry the request's fields. Returns result.ok.
bool ReadRdmlDocument(std::string_view xml, const std::string& filename, TRdmlReadResult& result,
                      IRdmlReadAsker& asker);

// Raises every point of a sample whose lowest value m is negative by |m| plus
// one unit of the decimal place after the first significant one of |m|.
// Returns what each sample was raised by (1..nsamples; 0 where unchanged).
std::vector<double> LiftNegativeFluorescence(TRunInput& run);

}  // namespace qurvex
