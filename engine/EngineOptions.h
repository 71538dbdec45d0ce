// SPDX-License-Identifier: GPL-3.0-or-later
// Options the analysis reads from the main window's controls (radio groups,
// check boxes, edits), as plain settings named after the control and holding
// the control's default. Radio groups hold the selected item index.
#pragma once

#include <optional>
#include <string>

namespace qurvex {

struct TEngineOptions {
    // ---- fitting and thresholds (ENGINE-CORE)
    // "Fit Options for individual fit": 0 best r with at least 3 points,
    // 1 number of points between two bounds and best r,
    // 2 r at least a required value and maximal number of points.
    int rg_fitoptions = 1;
    // Minimum and maximum window size of fit option 1 (up-downs 3.. and 3..15).
    int minincludedit = 4;
    int nmaxedit = 6;
    // Required correlation coefficient of fit option 2.
    double rreqedit = 0.999;
    // 0 "common threshold", 1 "group thresholds".
    int ThresholdsRG = 0;
    // Window in force chosen by the user: 0 "common ", 1 "amplicon group",
    // 2 "individual fit".
    int CommonGroupWindowRG = 0;

    // ---- baseline (ENGINE-BASELINE)
    // Log-linear phase criterion: 0 "strictly continuous Log-linear phase",
    // 1 "continuous with jumps (Fc > Fc+1)", 2 "allow jumps and drooping points".
    int BaselineStrictnessRG = 0;
    // Large Cq shift: 0 at 5% baseline error, 1 "2% baseline error".
    int RelaxCtShiftRG = 0;
    // Short log-linear phase: 0 "< 20x amplification", 1 "< 10x amplification".
    int RelaxLogLinLengthRG = 0;

    // ---- group means and quality rules (ENGINE-GROUPS)
    bool ExcludeSkippedCB = true;    // "without amplification" (always checked)
    bool ExcludeNoPlateauCB = true;  // "without plateau phase"
    bool ExcludeOutlierCB = true;    // "outside % of group median"
    double IncluPercEdit = 5.0;      // percentage of the outlier rule (NaN: 5)
    bool ExcludeTooLowCqCB = true;   // "too low Cq value"
    int AcceptErrorEffRG = 1;        // "0.01   (=1%)", "0.001 (=0.1%)"
    int AcceptBiasN0RG = 1;          // "0.05 (=5%)", "0.01 (=1%)"

    // ---- baseline and window of linearity options  (ENGINE-BASELINE)
    // Group whose window the diagnostic "step through windows" searches;
    // none when its edit holds no whole number.
    std::optional<int> setwolgroupEdit = 0;

    // ---- grouping and means options                (ENGINE-GROUPS)
    // Checked source radio button of the grouping tab.
    enum TGroupSource : int {
        AllOneGroupRB = 0,
        ManualGrpsRB = 1,
        PartXGroupRB = 2,
        ExcelGroupRB = 3
    };
    TGroupSource groupsource = AllOneGroupRB;
    char NameSepEdit = ' ';                 // separator of name parts
    std::optional<int> PartWantedEdit = 1;  // number of the name part wanted; none: no number
    int FrontBackRG = 0;                    // parts counted from 0 "Front", 1 "Back"
    int ToggleShowRG = 0;                   // 0 "all samples", 1 "outside range"
};

}  // namespace qurvex
