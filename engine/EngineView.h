// SPDX-License-Identifier: GPL-3.0-or-later
// The notices through which the engine tells the main window what changed.
// The engine names no control: it reports what happened to the run in typed
// terms, and the window decides which of its controls that touches. Every
// method has a do-nothing default, so a window (or a test fake) overrides
// only what it shows. The engine never calls these from another thread.
#pragma once

#include <string>
#include <vector>

#include "engine/RunState.h"

namespace qurvex {

enum class TMessageKind { warning, error, information };

// A step of the run after which the window shows, offers or withholds
// controls of its own choosing.
enum class TRunStage {
    runreset,             // a read is taken over: no groups, no means, common window
    baselinewaiting,      // the data are not baseline-corrected: the baseline step waits
    baselinecorrected,    // the data are baseline-corrected (read so, or the step ran)
    baselinestepstarted,  // the baseline step runs: its per-sample tools are offered
    baselinestepdone,     // the step set the baselines: it is not offered again
    annotationsneeded,    // a run without targets: groups and tissues must be given
    thresholdapplied,     // the threshold in force is the one shown
    individualfitdone,    // a sample got its own best window
    windowsset,           // a window search set the limits: pending limit edits are void
    windowspergroupset,   // the windows of every group were set
    windowsafterreadset,  // the windows read with the run were set
    groupsdefined,        // groups were built: group windows are offered
    groupsourcechanged,   // options.groupsource changed
    commonwindowchosen,   // every sample takes the common window
    windowchoicechanged,  // options.CommonGroupWindowRG or ThresholdsRG set by the engine
    groupcountchanged,    // ngroups and ShowGroupCBItems changed
    subsetsoffered,       // the means offer the subsets and the outlier toggle
    noisydataset,         // the data set is noisy: the noisy samples are the subset shown
};

// A page the run needs to show now.
enum class TRunPage { individualsample, efficiencies, tissuepersample };

// A table of the run whose view must be rebuilt from the state.
enum class TRunTable {
    data,        // input, valid-data, grouping, tissue and sample tables
    validrow,    // the valid points of one sample (row)
    wolsearch,   // the search table of the last window search
    noisecheck,  // the noise check per sample
    ctshift,     // the Cq-shift test of one sample (row)
    groups,      // the numbered groups and their identifiers
    means,       // the group means (or their absence, meansshown)
    sampledata,  // the reduced statistics per sample
};

enum class THelpTopic { handlingnoise };

class IEngineView {
public:
    virtual ~IEngineView() = default;

    // ---- progress and the user's attention
    // A long loop has reached sample s; the window may handle pending
    // events. The engine sends this at a bounded rate (TEngine::pumpmessages).
    virtual void progress(int /*s*/) {}
    // Hourglass cursor on (true) or back to the default cursor (false).
    virtual void setbusycursor(bool /*busy*/) {}
    // Message through the prompter. The engine itself leaves out the messages
    // that silentmode suppresses.
    virtual void showmessage(TMessageKind /*kind*/, const std::string& /*text*/) {}
    // Yes/no confirmation; true for yes. The default answers yes.
    virtual bool confirm(const std::string& /*text*/) { return true; }
    // Input box; returns false when cancelled, else true with the text in
    // value (which holds the default on entry).
    virtual bool inputbox(const std::string& /*caption*/, const std::string& /*prompt*/,
                          std::string& /*value*/) {
        return false;
    }
    // The modal noise warning with these lines. Returns its modal result:
    // 1 Close, 2 "Go to Help on noisy datasets".
    virtual int noisewarning(const std::vector<std::string>& /*lines*/) { return 1; }
    // Message beep (scratch mode, end of the baseline step).
    virtual void beep() {}
    virtual void helpneeded(THelpTopic /*topic*/) {}

    // ---- what changed
    virtual void stagechanged(TRunStage /*stage*/) {}
    virtual void pageneeded(TRunPage /*page*/) {}
    virtual void tablechanged(TRunTable /*table*/, int /*row*/) {}
    // The results of the run changed; s is the current sample.
    virtual void resultschanged(int /*s*/) {}
    // Axis ranges changed (logymin, logymax, maxcyc, nsamples).
    virtual void axeschanged() {}
    // The value shown for a limit of a level (limitshown, fluorshown) changed.
    virtual void limitschanged(TLimitEdit /*edit*/) {}
    // The threshold shown (ftvalshown) changed.
    virtual void thresholdchanged() {}
    // The current sample changed (samplenum).
    virtual void samplechanged(int /*s*/) {}
    // The group whose window is shown changed (AmpGroupNumEdit, IndivAmpGroupEdit).
    virtual void groupshownchanged() {}
    // The subsets offered (ShowSetCBItems) or the one shown changed.
    virtual void subsetschanged() {}
};

}  // namespace qurvex
