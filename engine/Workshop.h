// SPDX-License-Identifier: GPL-3.0-or-later
// The workshop: replaces every sample's constant baseline by a straight-line
// trend fitted to its early raw points, tabulates per-sample results, and
// returns to the determined baselines. While a trend is in force
// (bgtrendset) results must not be saved to a spreadsheet.
#pragma once

#include <string>

#include "engine/DiagnosticGrid.h"
#include "engine/Engine.h"

namespace qurvex {

class TWorkshop {
public:
    explicit TWorkshop(TEngine& e) : e_(e) {}

    // The trend over raw points begin..end (the texts of the begin and end
    // edits): per sample the straight line through rawfluor on rawcyc
    // (rrawcalc) gives bgarr (intercept) and bgslope (slope per cycle);
    // fluor := raw - (bgslope x rawcyc + bgarr), the valid points again,
    // every sample refitted, bgtrendset := true.
    // Refused, with a message through the view and nothing changed:
    //  - before the baseline step ("First determine Qurvex baseline by
    //    pressing the red button", an information);
    //  - while the engine is busy, without samples;
    //  - begin or end not a whole number, or not 1 <= begin < end <= the
    //    fewest raw points of any sample.
    // Returns whether the trend was set; on a refusal `message` holds the text.
    bool BaselineTrend(const std::string& begintext, const std::string& endtext,
                       std::string* message = nullptr);

    // Back to the determined baselines: bgarr := defbgarr, bgslope := 0,
    // fluor := raw - bgarr, every sample refitted, bgtrendset := false.
    // Refused (false, nothing changed) while busy or without samples.
    bool ResetDefbgarr();

    // The workshop table (11 columns, nsamples + 1 rows): row 0 "Nr",
    // "Sample_Name", "Amplicon", `annotationtitle`, "Baseline_constant",
    // "Baseline_slope", "Plateau", "Nq", "Cq", "Eff_Indiv", "N0_indiv";
    // row s: s, sampname, ampname, tissue, bgarr, bgslope, GetPlateau(s),
    // sampftval, ct, indiveff, indivn0.
    TDiagnosticGrid FillGrid(const std::string& annotationtitle) const;

    // Plateau fluorescence of sample s: the mean fluor of those of its last
    // four valid points (npoints - 3 .. npoints, from point 1 on) that lie
    // more than 2 points after fstop; -999 with noplateau or noamplif, when
    // no point qualifies, or for s outside 1..nsamples.
    double GetPlateau(int s) const;

private:
    bool refuse(TMessageKind kind, const std::string& text, std::string* message);

    TEngine& e_;
};

}  // namespace qurvex
