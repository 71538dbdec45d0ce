// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/HelpPageTable.h"

namespace qurvex {

const std::vector<THelpPage>& HelpPageTable() {
    static const std::vector<THelpPage> pages{
        {"Overview", "overview", nullptr},
        {"Procedure", "procedure", nullptr},
        {"Interface", "interface", nullptr},
        {"All Samples", "interface-all-samples", "Interface"},
        {"Individual Sample", "interface-individual-sample", "Interface"},
        {"Amplicon Groups", "interface-amplicon-groups", "Interface"},
        {"Data", "interface-data", "Interface"},
        {"Fit / Save Options", "interface-fit-save-options", "Interface"},
        {"Show or Hide", "interface-show-or-hide", "Interface"},
        {"PCR Efficiencies", "interface-pcr-efficiencies", "Interface"},
        {"Correlations (R)", "interface-correlations", "Interface"},
        {"Point Included", "interface-points-included", "Interface"},
        {"Menu Options", "menu", nullptr},
        {"File", "menu-file", "Menu Options"},
        {"Y-axis", "menu-y-axis", "Menu Options"},
        {"Fluorescence", "menu-fluorescence", "Menu Options"},
        {"Baseline", "menu-baseline", "Menu Options"},
        {"Options", "menu-options", "Menu Options"},
        {"Help", "menu-help", "Menu Options"},
        {"Read Excel", "read-excel", nullptr},
        {"Read RDML", "read-rdml", nullptr},
        {"Cumulative Fluoresc.", "cumulative", nullptr},
        {"Amplicon Groups", "amplicon-groups", nullptr},
        {"Mean Efficiency", "mean-efficiency", nullptr},
        {"Tissue Samples", "tissue-samples", nullptr},
        {"Handling Noisy Sets", "noise", nullptr},
        {"qPCR Noise", "noise-qpcr", "Handling Noisy Sets"},
        {"Manual Fluorescence Baseline", "noise-manual-baseline", "Handling Noisy Sets"},
        {"Manual Window-of-Linearity", "noise-manual-wol", "Handling Noisy Sets"},
        {"Save to Excel", "save-excel", nullptr},
        {"Save to RDML", "save-rdml", nullptr},
        {"Tests and Rules", "tests-and-rules", nullptr},
        {"Quality Control", "quality-control", nullptr},
        {"Trouble", "trouble", nullptr},
        {"Glossary", "glossary", nullptr},
    };
    return pages;
}

}  // namespace qurvex
