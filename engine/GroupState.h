// SPDX-License-Identifier: GPL-3.0-or-later
// Groups and means: identifiers and group numbers, per-group limits and
// efficiencies, the group statistics, outlier and N0 flags, and the subsets
// offered for display.
// Part of the run state (TRunState, RunState.h).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/RunTypes.h"

namespace qurvex {

struct TGroupState {
    int ngroups = 1;
    bool meansdone = false;
    bool groupsdefined = false;
    bool commonwol = false;
    bool identsdone = true;
    std::array<std::array<int, 2>, 11> mincteff{};
    std::array<std::array<int, 2>, 11> minctn0{};
    std::vector<std::string> ampname;
    std::vector<int> ampgroup;
    std::vector<double> sampmeaneff;
    std::vector<double> meann0;
    boolarray effoutlier;
    boolarray exclmeaneff;
    boolarray userexcluded;
    boolarray cttoloweff;
    boolarray cttolown0;
    boolarray non0;

    std::vector<double> gruplim;    // nsamples + 1
    std::vector<double> grlowlim;   // nsamples + 1
    std::vector<double> defuplim;   // nsamples + 1, element 0 = common
    std::vector<double> deflowlim;  // nsamples + 1, element 0 = common
    std::vector<double> ftval;      // nsamples + 1, element 0 = common threshold
    std::vector<double> meaneff;    // ngroups + 1, sized by the group means
    std::vector<double> meaneffse;  // ngroups + 1, sized by the group means

    // Items of the group browser: item 0 "All", items 1..ngroups the amplicon
    // identifiers. A sample's group for group windows and thresholds is the
    // position of its ampname in this list.
    std::vector<std::string> ShowGroupCBItems{"All"};

    // Column 1 of the amplicon-group grid is ampname itself. Column 2, the
    // group code of each sample, is kept here (index s; empty or -1 where the
    // grid shows nothing): it is written when the groups are numbered or read
    // with RDML, and it gives every sample its group back after the common
    // window had set ampgroup to 0.
    std::vector<int> AmpliconGroupGridcode;

    // Group whose limits the group-window edits show ("AmpGroupNumEdit"; -1
    // before any), and the group number shown on the sample page
    // ("IndivAmpGroupEdit").
    int AmpGroupNumEdit = -1;
    int IndivAmpGroupEdit = -1;

    // Identifier of each numbered group g = 1..ngroups (element 0 unused).
    std::vector<std::string> groupidentifiers;

    // Whether the group means in groupstatistics still hold for the windows
    // in force (a window search voids them).
    bool meansshown = false;

    // The statistics behind the means grid, per group g = 0..ngroups (row 0 =
    // all contributing samples). sd, sem and rse are 0 for fewer than 2
    // samples, mean is 1.0 for none.
    struct TGroupStatistics {
        int n = 0;
        double mean = 1.0;
        double sd = 0.0;
        double sem = 0.0;
        double rse = 0.0;
    };

    std::vector<TGroupStatistics> groupstatistics;

    // Subsets of samples the display offers, in the order offered, and the
    // position of the one shown. The means add cqtoolow and effoutlier; a
    // read removes effoutlier again.
    enum class TSubset : std::uint8_t {
        all,
        noamplification,
        baselineerror,
        noplateau,
        noisy,
        userexcluded,
        non0,
        n0,
        unflagged,
        cqtoolow,
        effoutlier
    };

    std::vector<TSubset> ShowSetCBItems{
        TSubset::all,      TSubset::noamplification, TSubset::baselineerror, TSubset::noplateau,
        TSubset::noisy,    TSubset::userexcluded,    TSubset::non0,          TSubset::n0,
        TSubset::unflagged};

    int ShowSetCBItemIndex = 0;

    // row 0 unused): efficiency, mean efficiency of its group and Cq.
    struct TSampleDataRow {
        std::string name;
        double indiveff = 0.0;
        double meaneff = 0.0;
        double ct = 0.0;
    };

    std::vector<TSampleDataRow> sampledata;
};

}  // namespace qurvex
