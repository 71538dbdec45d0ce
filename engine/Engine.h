// SPDX-License-Identifier: GPL-3.0-or-later
// The curve analysis engine: the run state of TRunState plus every routine
// that works on it. Plain C++; it reaches the window only through IEngineView.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/EngineOptions.h"
#include "engine/EngineView.h"
#include "engine/RunInput.h"
#include "engine/RunState.h"
#include "engine/Stattool.h"
#include "engine/Utilities.h"

namespace qurvex {

class TEngine : public TRunState {
public:
    TEngine();
    explicit TEngine(IEngineView* v);
    TEngine(const TEngine&) = delete;
    TEngine& operator=(const TEngine&) = delete;

    TEngineOptions options;
    // Never null: a do-nothing view unless the window sets its own.
    IEngineView* view;
    TStattool Stattool1;

    // Connects a window; nullptr reconnects the do-nothing view.
    void setview(IEngineView* v);

    // True while a long operation (read processing, baseline step, window
    // search, save) runs; the window uses it to refuse re-entrant commands.
    bool busy() const { return busydepth_ > 0; }
    // Marks the engine busy for the lifetime of the guard (nests). When the
    // outermost guard ends, the warnings collected meanwhile (warnonce) are
    // shown as one message.
    class BusyGuard {
    public:
        explicit BusyGuard(TEngine& e) : e_(e) { ++e_.busydepth_; }
        ~BusyGuard() {
            if (--e_.busydepth_ == 0) e_.showcollectedwarnings();
        }
        BusyGuard(const BusyGuard&) = delete;
        BusyGuard& operator=(const BusyGuard&) = delete;

    private:
        TEngine& e_;
    };

    // ---- state and utilities            (ENGINE-CORE)
    // (Both constructors fill the Cq-too-low limit tables, FillCqLimitTables.)
    // Sizes every per-sample array (and tissue) to nsamples+1, the five point
    // matrices to nsamples+1 rows of ncycles+1, headercyc to ncycles+1 and the
    // five per-group arrays to nsamples+1; also sets the counts. Contents are
    // kept where the new size covers them; new elements are zero / false /
    // empty. meaneff, meaneffse and uniquetissues are not touched. Negative
    // counts are taken as 0.
    void setarraylengths(int ncycles_, int nsamples_);
    // Takes over a run a reader has completed: counts, arrays (through
    // setarraylengths), names, targets, annotations ("undefined" where empty),
    // cycles, raw fluorescence and the run's provenance fields; baselinedone
    // follows the run's baseline-corrected answer. The caller then runs
    // ResetInterfaceAfterRead, the reader's extra processing and
    // ProcessDataAfterRead. A run whose sizes do not agree with its counts is
    // refused (false) and nothing changes.
    bool loadrun(const TRunInput& in);
    // Lets the window handle pending events (view->progress), at most once
    // per 50 ms: a long loop calls it freely.
    void pumpmessages();
    // Makes sample s current (shown as a long loop advances) and lets the
    // window handle pending events.
    void showprogress(int s);
    // The last c in 1..ncycles with headercyc[c] == cycle; -1 when none.
    int headerindex(double cycle) const;
    // Position of the sample's ampname among ShowGroupCBItems (its group
    // number for group windows and thresholds); -1 when it is not listed or
    // s is out of range.
    int groupofsample(int s) const {
        // Inside a window search a sample's group, once looked up, is at hand.
        const auto i = static_cast<std::size_t>(s);
        if (fitcache.active() && s >= 1 && i < fitcache.groups.size() && fitcache.groups[i] != -2)
            return fitcache.groups[i];
        return lookupgroupofsample(s);
    }
    // groupofsample the long way (remembered inside a window search).
    int lookupgroupofsample(int s) const;
    // The samples 1..nsamples whose groupofsample is g, in ascending order
    // (valid until the next call).
    const std::vector<int>& samplesingroup(int g) const;
    // The look-up itself (linear in the identifiers).
    int findgroupofsample(int s) const;

    // ---- data preparation after a read  (ENGINE-CORE)
    // Returns the state (and, through the view, the window) to before any
    // analysis: no groups (source "all one group", no group names offered),
    // no means (means_Grid and groupstatistics emptied, "efficiency outlier"
    // no longer offered by ShowSetCB), the subset "all samples" shown (also
    // by ToggleShowRG), no drag, fit option 1, common window and common
    // threshold.
    void ResetInterfaceAfterRead();
    // Spreadsheet input: every sample gets ampname "not_named", ampgroup 0 and
    // tissue "undefined".
    void ExtraExcelProcessing();
    // RDML input: shows ampname, ampgroup and tissue in the grouping grids.
    void ExtraRDMLProcessing();
    // min(0, rawfluor[s][1..npoints[s]]): 0 for a sample without points or
    // without negative values; 0 for s out of range.
    double FindMinNeg(int s) const;
    // Number of decimal places to the first significant digit of 0 < x < 1:
    // the n with 10^n x > 1 first (0.5 -> 1, 0.1 -> 2, 0.05 -> 2), at most 11.
    // x >= 1 gives 1; x <= 0 or NaN gives 11.
    static int FindNdecim(double x);
    // The common back end of every read: defaults, corrected points, first
    // common window and threshold, a fit of every sample. A sample left with
    // fewer than 3 valid points is marked noamplif and skipped. Without any
    // valid point the first window comes from the axis maximum. An empty run
    // (nsamples 0) only resets the axes.
    void ProcessDataAfterRead();
    // Rebuilds the valid points of sample s from fluor[s][1..nrawpoints[s]]:
    // points with corrected fluorescence <= 1e-8 (or NaN, infinite) are
    // dropped and the rest compacted; npoints[s] counts what is left (0 when
    // none).
    void cleanupfluor(int s, bool showrow);
    // logymax := highest log10 fluor of all valid points, logymin := the
    // lowest but at most 5 decades below; maxcyc := the largest cycle. Without
    // any valid point the axes are -2..2 and maxcyc 0.
    void resetaxes();

    // ---- regression and fitting         (ENGINE-CORE)
    // Least squares of y = log10 fluor[s][p] on x = cyc[s][p], p = first..last:
    // slope = Sxy/Sxx, intercept = mean(y) - slope mean(x),
    // r = Sxy / sqrt(Sxx Syy). Sets lastmeanx/lastmeany. Returns r; r, slope,
    // intercept, lastmeanx and lastmeany are 0 when there are no points, when
    // Sxx or Syy is not positive, or when a point is outside 1..npoints[s] or
    // not positive.
    double rcalc(int s, int first, int last, double& slopeout, double& interceptout);
    // The same on the raw data (rawfluor on rawcyc, linear scale); with
    // Syy <= 0: r 0, slope 0, intercept = mean y. Does not touch lastmean*.
    // No valid point: all 0.
    double rrawcalc(int s, int first, int last, double& slopeout, double& interceptout) const;
    // Refits all samples (all) or sample s only: mode 0/1 fit and redraw,
    // 2 redraw only, 3+ nothing.
    void do_cascade(bool all, int s, int mode);
    // One sample of do_cascade: window placed between its limits, fit, Cq.
    void refitsample(int k);
    // do_cascade of every sample inside a window search (see Fitting.cpp).
    void refitall();
    // refitall inside the search of one group when only that group's samples
    // can have changed since the last one; false when that is not known.
    bool refitsearchgroup();
    // Copies sample k's refit fields into the copy refitall compares with.
    void keepsnapshot(int k);
    // Assigns sampftval for first..last from the common or group threshold
    // and recomputes every Cq: Cq = (sampftval - meanlogfluor)/slope + meancyc,
    // 0 when slope <= 0.
    void AssignFtVal(int first, int last);
    // AssignFtVal of the listed samples only (threshold and Cq), for an edit
    // that changes nothing of the other samples.
    void AssignFtValOf(const std::vector<int>& samples);
    void assignsampftval(int s);
    // Individual best window of sample s (options of rg_fitoptions; item 1
    // takes its window sizes from minincludedit and nmaxedit as they stand).
    // Fewer than 5 valid points, or fewer than the minimum size: no fit
    // (r, slope, intercept 0) and the whole sample as window.
    void fitsample(int s);
    void fitsampleButClick();
    void fitallbutClick();

    // ---- window placement               (ENGINE-CORE)
    // Places wolstart/wolstop of sample s between its limits (which = "start",
    // "stop" or "both"), after recomputing fstop and fstart; sets emptywol.
    // A sample with fewer than 3 valid points gets an empty window on its
    // points (never reads outside its row).
    void FindPointAtLimit(int s, std::string_view which);
    // Applies limit v of a level as the user gave it: a value outside
    // logymin..logymax is clamped (the shown value follows); a value that is
    // not finite changes nothing. Refits unless a limit edit is in progress.
    void cuplimeditChange(TLimitEdit sender, double v);
    // Shows v rounded to 3 decimals as the limit (limitshown) and its
    // fluorescence (fluorshown) without applying it.
    void setlimitedit(TLimitEdit edit, double v);
    // Shows v as above and applies the shown value (cuplimeditChange).
    void applylimitedit(TLimitEdit edit, double v);
    // Shows the threshold v rounded to 3 decimals (ftvalshown).
    void setftvaledit(double v);
    // A limit is being edited by hand: applied limits move their windows but
    // nothing is refitted until the edit ends (endlimitedit) or the next
    // sample change.
    void beginlimitedit();
    void endlimitedit();
    // The two limits of a level given together: the lower one applied without
    // a refit, then the upper one with the refit.
    void applylimitpair(TLimitEdit low, double lowvalue, TLimitEdit up, double upvalue);
    // Makes sample s current: individual limit edits follow it, editlock is
    // cleared, it is redrawn, and the group edits show its group
    // (SetAmpGroupNumEditsamples(ampgroup[s])).
    void samplenumChange();
    // The group-window edits show group g: unless AmpGroupNumEdit already
    // shows g, AmpGroupNumEdit := g, the group limit edits (and their
    // fluorescence companions) get gruplim[g] and grlowlim[g] rounded to 3
    // decimals without applying them, and IndivAmpGroupEdit := g. A g outside
    // the per-group arrays changes nothing.
    void SetAmpGroupNumEditsamples(int g);
    // Applies the threshold edit: ftval of the common group (or of the current
    // sample's group with group thresholds and a group or individual window)
    // := v, then every sampftval and Cq follow. A v that is not finite
    // reports an error and changes nothing.
    void ctcalcButtonClick(double v);
    // log10 of half the fluorescence shown in an upper-limit edit (the
    // threshold at half the upper limit). When the shown, 3-decimal
    // fluorescence is 0 the unrounded 10^limit is used instead.
    double ftvalfromupperedit(TLimitEdit upperedit) const;

    // ---- baseline determination         (ENGINE-BASELINE)
    // The baseline step as the user starts it: the default or the alternative
    // routine (usebaselinezw), then groups from the targets for RDML input.
    // Refused (false, nothing changed) while the engine is busy or without
    // samples.
    bool BaselineButtonPanelClick();
    // Default baseline routine for every sample: screening, first window,
    // iterative baseline, final baselines, threshold, Cq-shift test, user
    // exclusions and the noise check. Refused (false) while busy.
    bool baselineButtonClick();
    // Last point of the log-linear phase: the point of largest curvature
    // c(p) = (d(p+2) - d(p-1)) / 3 (d = first differences) up to just past the
    // largest rise; npoints when that is within 2 points of the end. Sets
    // fmaxdiff[s] and fstop[s]. A sample without points gives 0.
    int findfstop(int s);
    // First point of the log-linear phase under BaselineStrictnessRG, walking
    // down from fstop[s]: 0 stops at a gap or a falling point, 1 at a gap, 2 at
    // a gap without the final steep-first-step test. Sets fstart[s]; 1 when
    // fstop[s] < 2.
    int findfstart(int s);
    // findfstart under the given strictness option (0, 1 or 2).
    int findfstartoption(int s, int option);
    // The rule of option 2 whatever the option (sets fstart[s]).
    int findloglinstart(int s);
    // The phase window placement works with: findfstop, then findfstart under
    // strictness 0 (the option itself is left as it is).
    void placementphase(int s);
    // Highest valid point of sample s from the last one down to point `from`
    // (a later point wins a tie); from must lie in 1..npoints[s].
    int highestpoint(int s, int from);
    // The two searches themselves, and the memo that spares them while a
    // sample's points are unchanged (see LogLinearPhase.cpp).
    int findfstopcompute(int s);
    int findfstartcompute(int s, int option);
    bool phasememovalid(int s);
    TPhaseMemo& phasememotake(int s);
    // Slopes of the lower and upper half of the log-linear phase
    // fstart..fstop and the two-tailed p of t = |Sl - Su| / sqrt(s^2 (1/SxxL +
    // 1/SxxU)), df = nL + nU - 3; r of the whole phase. Halves are kept inside
    // the valid points; a degenerate half (one point, Sxx 0) or df <= 0 gives
    // t = 100 and p = 0, and the slope of such a half is 0.
    void ttestslopes(int s, double& lowerslope, double& r, double& p, double& upperslope);
    // Only the two slopes of ttestslopes (what the baseline loops compare).
    void halfslopes(int s, double& lowerslope, double& upperslope);
    // Marks noisy samples (an early point inside the window of a sample whose
    // first step is much steeper than its last): noisy and skipped; fills
    // noisecheck. True when any sample is noisy. Warns "all samples excluded"
    // (unless silentmode) when no mean efficiency can be formed.
    bool CheckNoisiness();
    // Screening for data declared baseline-corrected, then the common window.
    // Does nothing while busy or without samples.
    void SetWindow();
    // Gives the sample in samplenum its determined baseline back.
    void ResetDefaultbaselineButtonClick();
    // fluor[s][p] := rawfluor[s][p] - bgarr[s] for the raw points, then
    // cleanupfluor(s, showrow).
    void recomputefluor(int s, bool showrow);
    // Phases shared by both baseline routines (see Baseline.cpp).
    void baselinereset();
    void rawminimum(int s, double& minvalue, int& minpoint) const;
    bool risingatfstop(int s) const;
    void phaseorskip(int s, bool zwstart);
    void closerefinement(int s, double upperslope);
    void screensample(int s, double minvalue, int minpoint, bool zwstart);
    void firstcommonwindow();
    void findphase(int s, bool zwstart);
    double slopedifference(int s, bool zwstart, double& sl, double& su);
    double refinebaseline(int s, bool zwstart, double& upperslope);
    void finalbaselines(const std::vector<double>& minvalue, bool zwstart);
    void baselinethreshold();

    // ---- alternative baseline           (ENGINE-BASELINE)
    // Alternative routine: the baseline approached from below, the start of the
    // log-linear phase fixed at fstop - W - 1 (at least 1). Refused while busy.
    bool baselineZWButtonClick();
    // Its ascent for sample s (see BaselineZW.cpp): false when the halves did
    // not turn within 1001 rounds.
    bool ascendbaseline(int s);

    // ---- window of linearity            (ENGINE-BASELINE)
    // Automatic window for group g (0 = common): the band of W mean
    // amplification steps slid down from the mean end of the log-linear phases
    // in steps of 0.2 log10(E) to the position of most uniform efficiencies.
    // Fills wolsearch. A group without two usable samples falls back to the
    // common limits with a warning (unless silentmode). g outside 0..ngroups
    // does nothing.
    void Set_WoL(int g);
    // Set_WoL for the group typed in setwolgroupEdit (text that is not a group
    // number gives an error message and changes nothing).
    void Set_WoL_ButtonClick();
    // Puts the window upper - foldwidth .. upper (log10, rounded to 3
    // decimals) in force for group g through the limit edits, and refits.
    void ApplyLogWindow(int g, double foldwidth, double upper);
    // Mean individual efficiency of the usable samples of group g (not skipped,
    // noplateau or shortloglin, indiveff > 1); variance the sample variance.
    // Marks usedforwol. Fewer than 2 samples: 1.0 with variance 100.
    double GetMeanEff(int g, double& variance);
    double GetMeanEff(int g);
    // Mean over the usable samples of the largest of their last 11 valid
    // points; 10^logymax when no sample counts.
    double GetMeanMax(int g);
    // Mean fluor at fstop over samples with a plateau; without any, the highest
    // point of the samples without plateau (at least 1e-7); 1e-7 when the group
    // has no unskipped sample.
    double GetMeanFluStop(int g);
    // 0.999 x the highest fluor at fstart (recomputed) of the unskipped
    // samples; -9.99 when there are none.
    double GetMaxFluStart(int g);
    // Mean of log10 F[fstop] - log10 F[fstop-1] over samples with a plateau;
    // log10(1.8) when none.
    double GetLogStepStop(int g);
    // Sets the window of every group (or the common one with one group).
    // Also called by other steps while the engine is busy, so it does not
    // refuse itself: the window disables the button while busy().
    void SetWolPerGroupButtonClick();
    void SetWolAfterReadButtonClick();
    // Resets the window of the current sample's group.
    void RecalculateWoLButtonClick();
    // Asks for W (2..15) and sets every window again; anything else is
    // refused with a message and W is kept. False when W was not changed.
    bool SetWoLwidth1Click();
    // The same with the answer given as text.
    bool SetWoLwidth(const std::string& text);
    // Helpers of the window search (see WindowOfLinearity.cpp).
    bool SetAmpGroupNumEditgroups(int g);
    void derivenoplateau(int g);
    void selectgroupwindows();

    // ---- amplicon grouping              (ENGINE-GROUPS)
    // Part number `part` of a name split at `separator` (first part = 1),
    // counted from the back (last part = 1) when fromback. Only the first 128
    // characters (the last 128 when fromback) are split. Empty parts (two
    // separators in a row, a separator at either end) are not parts; quotes are
    // ordinary characters. nullopt when part < 1 or the name has fewer parts.
    static std::optional<std::string> extractpart(std::string_view name, int part, char separator,
                                                  bool fromback);
    // Numbers the groups from the identifiers in ampname[1..nsamples]: groups
    // 1..ngroups in order of first appearance, compared without regard to
    // case (the spelling met first names the group). Rebuilds the identifier
    // column of means_Grid. nsamples 0 gives ngroups 0.
    void GetAmpliconGroupNumbers();
    // Builds the identifiers from the checked source (options.groupsource) and
    // numbers them. Returns false, with an error message and nothing changed,
    // when the part number is not a whole number or a name has too few parts.
    bool GroupButtonClick();
    // The source radio buttons of the grouping tab were clicked.
    void AllOneGroupRBClick();
    // Engine side of choosing the "common " window: every sample takes the
    // common limits (woltype 0) and leaves its group (ampgroup 0), the common
    // threshold is in force and every sample is refitted.
    void selectcommonwindow();
    // Engine side of the group-count change: groups are defined, the group
    // browser lists "All" and the identifiers (item g = group g).
    void numgroupsEditChange();
    // Entering the separator edit checks "base groups on part of the name".
    void NameSepEditEnter();
    // Keystroke filter of the part-number edit: a last character that is not
    // a digit is removed. ranklabel gets "st", "nd", "rd" or "th" for the
    // number (empty text counts as 0).
    static std::string PartWantedEditChange(std::string_view text, std::string& ranklabel);
    // Keystroke filter of numeric edits: the last character must be a digit,
    // or for a column edit (tag 1) a letter; otherwise it is removed.
    static std::string col_rowinChange(std::string_view text, int tag);

    // ---- group means, N0 and quality    (ENGINE-GROUPS)
    // Fills the Cq-too-low limit tables mincteff and minctn0 (start-up).
    void FillCqLimitTables();
    // Row of the limit tables for an efficiency: Trunc(10 E - 9) within 0..10;
    // NaN gives 0.
    static int CqLimitRow(double efficiency);
    // Cycles added to both Cq-too-low limits for the chemistry and input type.
    int CqLimitOffset() const;
    // The outlier tolerance d on the efficiency scale: IncluPercEdit / 100;
    // 5 % when the edit is empty or not a (finite) number. A negative
    // percentage is taken as it stands.
    double InclusionTolerance() const;
    // The percentage an edit holds (surrounding blanks allowed); NaN when it
    // holds no finite number.
    static double InclusionPercent(std::string_view text);
    // The whole number an edit holds; none for any other text.
    static std::optional<int> WholeNumber(std::string_view text);
    // Exclusions, Cq-too-low flags, outliers, group means with standard
    // errors, means_Grid and N0 of every sample. Sets meansdone.
    void calc_mean_ButtonClick();
    // Writes groupstatistics into columns 0 and 2..6 of means_Grid (rows 0
    // and 1 only while no groups are defined).
    void fillmeansgrid();
    // calc_mean_ButtonClick, then shows the subset "efficiency outlier".
    void DetermineEffOutliersButtonClick();
    // Shows "all samples" (item 0) or "efficiency outlier" (item 1).
    void ToggleShowRGClick();
    // Reduced statistics (one outlier pass, no standard errors) into
    // StringGridTest.
    void WriteSampleDataButtonClick();
    // Plateau check of group g (g = 0: every sample): a sample whose last
    // point is less than 5 times below the extrapolated exponential phase gets
    // noplateau; then the group's window is set again when any was flagged.
    void AssignNoPlateau(int g);
    void AssignNoPlateauButtonClick();
    // User exclusion of the current sample (samplenum).
    void MarkAsSkippedCBClick(bool checked);
    // The "without amplification" box stays checked whatever is clicked.
    void ExcludeSkippedCBClick();
    // Whether the current sample uses an individual window.
    bool useind_CBClick() const;
    // N0 not reported (non0) for every sample: no amplification, user
    // exclusion, a baseline error not set by hand, or an efficiency outlier
    // without plateau. Used by the subset display and the exports.
    void assignnon0();

    // ---- editors (charts helper)
    // Number of raw points of sample s whose fluorescence minus `baseline` is
    // above 1e-8 (the points that would stay valid); 0 for s out of range or a
    // baseline that is not finite.
    int validpointsabove(int s, double baseline) const;
    // Gives sample s the baseline set by hand and recomputes it: corrected
    // points, log-linear phase, axes, its window (common, group or its own
    // fit, by woltype), manualbg, skipped (kept only without amplification),
    // shortloglin (< 20x over the phase), then a refit and redraw. Refused
    // with a message (false, nothing changed) when the baseline is not a
    // finite number or leaves fewer than 5 valid points, or s is out of range.
    bool ApplyManualBaseline(int s, double baseline);

    // ---- commands of the window that are no analysis step (UserCommands.cpp)
    // The switches of the command line and the user's decimal separator.
    struct TStartSettings {
        bool silentmode = false;
        bool scratchmode = false;
        bool expertmode = false;
        bool workshopmode = false;
        bool usebaselinezw = false;
        int wolpoints = 4;
        char decsep = '.';
    };
    void startup(const TStartSettings& settings);
    // The window is shown: no edit or drag in progress, axes -2..2.
    void activate();
    // The options as the window's controls hold them.
    void setoptions(const TEngineOptions& o);
    // One axis limit (log10) as the user gave it; the window checks it.
    void setaxislimit(bool maximum, double v);
    void resetYaxis1Click();
    // A line of a chart is dragged: 1 upper limit, 2 lower limit, 3
    // threshold, 4 baseline; series is the chart's series of the line.
    void startdrag(int line, int series);
    // The drag ends (the line dropped or given up); any limit edit ends too.
    void enddrag();
    // The threshold was typed or dragged and waits to be applied.
    void markthresholdedited();
    // Makes sample s (1..nsamples) current; others change nothing.
    void selectsample(int s);
    // Shows or hides sample s on the charts; every sample shown.
    void setdisplayed(int s, bool shown);
    void showallButClick();
    // cqcorrneeded from the chemistry.
    void SetCqCorrNeeded();
    // Sample s back to the common window / to its group's window.
    void reset_samp_ButClick(int s);
    void ResetSampToGrpWindow(int s);
    // Every sample back to the common window, each made current in turn;
    // the window choice and the threshold in force become the common ones.
    void reset_all_butClick();
    // The data are taken as baseline-corrected as read: phases, windows and
    // the common window of linearity follow.
    void SetBaselineCorrected1Click();

    // ---- spreadsheet read (ReadCommands.cpp)
    // cqcorrneeded as the spreadsheet read found it for the chosen chemistry;
    // set before the read run is taken over.
    void setcqcorrneeded(bool needed);
    // ---- group windows, subsets and annotations (Subsets.cpp, TissueAnnotation.cpp)
    // Whether sample s belongs to subset k (the subset filter's table; the
    // flags as they stand, non0 as assignnon0 last left it).
    bool insubset(int s, TSubset k) const;
    // Among the displayed samples, hides those outside subset k (hidden
    // samples stay hidden); non0 is assigned first for the two N0 subsets.
    void SetDisplayed(TSubset k);
    // The subset filter: item `item` of ShowSetCBItems becomes the subset
    // shown (an item outside the list keeps the one shown), every sample is
    // displayed, SetDisplayed of the subset, then with group g >= 1 of the
    // group browser the samples of other groups are hidden. When no sample is
    // left, every sample of group g (or every sample) is displayed again and
    // the answer is false. Charts are redrawn either way.
    bool ShowSetCBChange(int item, int g);
    // Displays only the samples of group g (every sample for g 0).
    void displaygroup(int g);
    // The first displayed sample; 0 when none is.
    int firstdisplayed() const;
    // Every sample takes its group from the group codes and its group's
    // limits (woltype 1), is refitted, gets its threshold and is shown once
    // in turn. Nothing happens without groups or samples, or while busy.
    void ResetAllToGrpWindow();
    // A group code typed for sample s: a whole number 1..ngroups is kept;
    // anything else is refused with a message and nothing changes.
    bool setgroupcode(int s, const std::string& text);
    // Identifiers or annotations are being edited (false) or done (true):
    // the window keeps the user on the page while they are edited.
    void setidentsdone(bool done);
    // The identifiers of every sample at once (read from a worksheet); the
    // groups are numbered again. False, with nothing changed, when the count
    // is not nsamples.
    bool setidentifiers(const std::vector<std::string>& names);
    // An identifier typed for sample s; the groups are numbered again.
    void setidentifier(int s, const std::string& text);
    // Distinct annotations of tissue[1..nsamples], compared without regard to
    // case, in order of first appearance, into uniquetissues[1..] and ntissues.
    void FillTissSamples();
    // Takes over the annotations of every sample at once (tissue[1..]),
    // marks them defined and lists the distinct ones; false, with nothing
    // changed, when the count is not nsamples.
    bool settissues(const std::vector<std::string>& annotations);
    // Adds the user exclusions of the samples marked in `excluded` (index
    // 0 = sample 1) and refits every sample; earlier exclusions stay. False,
    // with nothing changed, when the count is not nsamples. Returns the
    // number of samples marked through `count`.
    bool adduserexclusions(const std::vector<bool>& excluded, int& count);
    // "st", "nd", "rd" or "th" for a part number: 1, 21, 31 "st"; 2, 22 "nd";
    // 3, 23 "rd"; 11, 12, 13 and every other number "th".
    static std::string ordinalsuffix(int n);

    // A warning that a long command may raise for each of many groups: while
    // busy it becomes one line of the message shown when the command ends
    // (one message per command, its lines in order, a line already collected
    // not repeated), otherwise it is shown at once.
    void warnonce(const std::string& text);

private:
    void showcollectedwarnings() noexcept;
    int busydepth_ = 0;
    std::vector<std::string> collectedwarnings_;
    std::chrono::steady_clock::time_point lastprogress_{};
};

}  // namespace qurvex
