// SPDX-License-Identifier: GPL-3.0-or-later
// The analysis state of one run: every per-run, per-sample, per-point and
// per-group field the engine and the main window share.
#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "engine/FitCache.h"

namespace qurvex {

// [sample][point] matrix of 8-byte floats; the type in which readers hand over
// cycles and raw fluorescence.
using doublearray = std::vector<std::vector<double>>;
// Boolean per sample. Not std::vector<bool>: elements must be addressable.
using boolarray = std::vector<std::uint8_t>;

// The six window limits a user sets (log10): upper and lower limit of the
// common, group and individual level. A limit set by value is rounded to 3
// decimals and clamped to the axis range before it is applied.
enum class TLimitEdit : int {
    cuplimedit = 0,    // common, upper
    clowlimedit = 1,   // common, lower
    GrUpLimEdit = 2,   // amplicon group, upper
    GrLowLimEdit = 3,  // amplicon group, lower
    iuplimedit = 4,    // individual, upper
    ilowlimedit = 5,   // individual, lower
};

// Items of the output-column list: one spreadsheet column per item.
inline constexpr int kOutputColumnCount = 19;

// Index conventions:
//  - per-sample arrays have nsamples+1 elements, used from 1; element 0 of
//    uplim/lowlim holds the common window;
//  - per-point matrices have nsamples+1 rows of ncycles+1 elements, points
//    used from 1; point 0 of a fluor row holds the placeholder 1e-5;
//  - per-group arrays are indexed by group number, 0 = common window;
//  - limits, thresholds and axis bounds are log10 of fluorescence.
struct TRunState {
    // ---- switches (command line, fixed after start-up)
    bool scratchmode = false;
    bool expertmode = false;
    bool silentmode = false;
    bool rdmlenabled = true;
    bool workshopmode = false;
    bool usebaselinezw = false;

    // ---- counts and scalars
    int nsamples = 0;
    int ncycles = 0;
    int ngroups = 1;
    int wolpoints = 4;
    double logymin = -2.0;
    double logymax = 2.0;
    double deflogymin = -2.0;
    double deflogymax = 2.0;
    double maxcyc = 0.0;
    double lastmeanx = 0.0;
    double lastmeany = 0.0;
    bool meansdone = false;
    bool baselinedone = false;
    bool bgtrendset = false;
    bool groupsdefined = false;
    bool commonwol = false;
    bool identsdone = true;
    bool editlock = false;
    bool ftchanged = false;
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
    std::string inputsheetname;
    bool tissuesdefined = false;
    int ntissues = 1;
    std::vector<std::string> uniquetissues;
    bool dragupper = false;
    bool dragging = false;
    int dragline = 0;
    int dragseries = 0;
    std::array<int, kOutputColumnCount> outcol{};
    std::array<std::array<int, 2>, 11> mincteff{};
    std::array<std::array<int, 2>, 11> minctn0{};

    // ---- per-sample arrays (nsamples + 1)
    std::vector<std::string> sampname;
    std::vector<int> npoints;
    std::vector<int> nrawpoints;
    std::vector<double> bgarr;
    std::vector<double> bgslope;
    std::vector<double> defbgarr;
    std::vector<double> uplim;
    std::vector<double> lowlim;
    std::vector<double> sampftval;
    std::vector<int> woltype;
    std::vector<double> ct;
    std::vector<int> ninclu;
    std::vector<double> slope;
    std::vector<double> intercept;
    std::vector<double> meancyc;
    std::vector<double> meanlogfluor;
    std::vector<double> rval;
    std::vector<double> indiveff;
    std::vector<double> indivn0;
    std::vector<int> wolstart;
    std::vector<int> wolstop;
    std::vector<int> fstart;
    std::vector<int> fstop;
    std::vector<int> fmaxdiff;
    boolarray skipped;
    boolarray isdisplayed;
    std::vector<std::string> ampname;
    std::vector<int> ampgroup;
    std::vector<double> sampmeaneff;
    std::vector<double> meann0;
    std::vector<double> ctshift;
    std::vector<std::string> sampleuse;      // up to 6 characters
    std::vector<std::string> qualitychecks;  // up to 31 characters
    std::vector<std::string> tissue;
    // quality flags
    boolarray noamplif;
    boolarray bgerror;
    boolarray noplateau;
    boolarray noisy;
    boolarray effoutlier;
    boolarray exclmeaneff;
    boolarray userexcluded;
    boolarray manualbg;
    boolarray shortloglin;
    boolarray ctshifting;
    boolarray cttoloweff;
    boolarray cttolown0;
    boolarray non0;
    boolarray usedforwol;
    boolarray emptywol;

    // ---- per-point matrices [sample][point] (nsamples + 1 rows, ncycles + 1 points)
    doublearray rawcyc;
    doublearray rawfluor;
    doublearray cyc;
    doublearray fluor;
    std::vector<double> headercyc;  // ncycles + 1

    // ---- per-group arrays
    std::vector<double> gruplim;    // nsamples + 1
    std::vector<double> grlowlim;   // nsamples + 1
    std::vector<double> defuplim;   // nsamples + 1, element 0 = common
    std::vector<double> deflowlim;  // nsamples + 1, element 0 = common
    std::vector<double> ftval;      // nsamples + 1, element 0 = common threshold
    std::vector<double> meaneff;    // ngroups + 1, sized by the group means
    std::vector<double> meaneffse;  // ngroups + 1, sized by the group means

    // ---- window state the engine works with (ENGINE-CORE)
    // Number of the current sample (the "samplenum" edit), 1-based.
    int samplenum = 1;
    // Items of the group browser: item 0 "All", items 1..ngroups the amplicon
    // identifiers. A sample's group for group windows and thresholds is the
    // position of its ampname in this list.
    std::vector<std::string> ShowGroupCBItems{"All"};
    // The value shown for each of the six limits (log10, rounded to 3
    // decimals, or the axis bound it was clamped to), indexed by TLimitEdit,
    // and the fluorescence shown beside it (10^limit rounded to 3 decimals).
    // NaN before any value.
    static constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();
    std::array<double, 6> limitshown{kNoValue, kNoValue, kNoValue, kNoValue, kNoValue, kNoValue};
    std::array<double, 6> fluorshown{kNoValue, kNoValue, kNoValue, kNoValue, kNoValue, kNoValue};
    // The threshold shown (log10, rounded to 3 decimals); NaN before any.
    double ftvalshown = kNoValue;

    // ---- baseline and window of linearity state  (ENGINE-BASELINE)
    // One evaluated position of the window search of Set_WoL: position k, the
    // upper limit, the band width (log10), the mean efficiency and the
    // coefficient of variation of the efficiencies there.
    struct TWoLSearchRow {
        int k = 0;
        double uplim = 0.0;
        double foldwidth = 0.0;
        double meaneff = 0.0;
        double cv = 0.0;
    };
    // The search table of the last Set_WoL ("StringGrid1"): evaluated rows in
    // order, and the chosen position ("min smooth var": best, its upper limit,
    // width and cv). group is -1 before any search; skipped when the group had
    // no usable samples (rows then empty).
    struct TWoLSearch {
        int group = -1;
        bool skipped = false;
        std::vector<TWoLSearchRow> rows;
        int finalk = 0;  // k at which the search ended (closing row at k + 3)
        int best = 0;
        double bestuplim = 0.0;
        double bestfoldwidth = 0.0;
        double bestcv = 0.0;
    };
    TWoLSearch wolsearch;
    // Result of the last noise check per sample; unchecked before a check.
    // nsamples + 1.
    enum class TNoiseCheck : std::uint8_t { unchecked, excluded, noisy, ok };
    std::vector<TNoiseCheck> noisecheck;
    // Cq at the determined baseline after the Cq-shift test of the baseline
    // step ("StringGrid6" column 5), per sample; 0 when not tested.
    std::vector<double> ctshiftct;
    // The last log-linear phase found per sample together with the points it
    // was found from: findfstop and findfstart give it back at once while the
    // sample's points (fluor, cyc, npoints), the cycle headers, fstop and the
    // option are unchanged. Window placement recomputes the phase of every
    // sample for every limit it tries, mostly on unchanged points.
    struct TPhaseMemo {
        int n = -1;  // npoints when taken; -1 empty
        std::vector<double> f, c;
        bool stopknown = false;
        int fstop = 0, fmaxdiff = 0;
        bool startknown = false;
        int startoption = 0, startfrom = 0, fstart = 0;
    };
    std::vector<TPhaseMemo> phasememo;
    std::vector<double> phasememoheader;
    // Memory of the window search (see FitCache.h); never part of a result.
    mutable TFitCache fitcache;

    // ---- grouping and means state                (ENGINE-GROUPS)
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
    // The reduced statistics per sample of the scratch tab (row s = sample s;
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
