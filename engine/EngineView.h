// SPDX-License-Identifier: GPL-3.0-or-later
// The callbacks through which the engine touches the main window. Every
// method has a do-nothing default, so a window (or a test fake) overrides
// only what it shows. The engine never calls these from another thread.
#pragma once

#include <string>
#include <vector>

#include "engine/RunState.h"

namespace qurvex {

enum class TMessageKind { warning, error, information };

class IEngineView {
public:
    virtual ~IEngineView() = default;

    // ---- general (ENGINE-CORE)
    // Handles pending window events; returns whether one was handled. Long
    // loops call it once per sample.
    virtual bool pumpmessages() { return false; }
    // Hourglass cursor on (true) or back to the default cursor (false).
    virtual void setbusycursor(bool /*busy*/) {}
    // Modal message box. The engine itself leaves out the messages that
    // silentmode suppresses.
    virtual void showmessage(TMessageKind /*kind*/, const std::string& /*text*/) {}
    // Yes/no confirmation; true for yes. The default answers yes.
    virtual bool confirm(const std::string& /*text*/) { return true; }
    // Shows or hides a named control, tab or panel of the window
    // (e.g. "ctcalcButton", "TabSheetIndivSample").
    virtual void setcontrolvisible(const std::string& /*name*/, bool /*visible*/) {}

    // ---- drawing (ENGINE-CORE)
    virtual void plotallsamps() {}
    virtual void plotsample(int /*s*/) {}
    virtual void update_surveys() {}
    virtual void set_sample_pointers() {}
    // Axis ranges changed (logymin, logymax, maxcyc, nsamples).
    virtual void axeschanged() {}

    // ---- edits and current sample (ENGINE-CORE)
    // The engine wrote the text of a limit edit and of its fluorescence
    // companion (handlers detached: nothing is recomputed by the window).
    virtual void limiteditchanged(TLimitEdit /*edit*/) {}
    // The engine wrote the threshold edit.
    virtual void ftvaleditchanged() {}
    // The current sample changed (samplenum): the window refreshes its
    // navigation controls, names and edits of that sample.
    virtual void samplenumChange(int /*s*/) {}
    // The subset shown on the all-samples chart must follow ShowSetCB.
    virtual void ShowSetCBChange() {}

    // ---- data preparation after a read (ENGINE-CORE)
    // Window part of the reset before a read is processed (grids emptied,
    // tabs hidden, group controls reset); previousngroups is the group count
    // of the run that is replaced.
    virtual void ResetInterfaceAfterRead(int /*previousngroups*/) {}
    // The run's data grids (input grid, valid-data grid, grouping and tissue
    // grids, sample grid) must be rebuilt from the run state.
    virtual void datagridschanged() {}
    // The valid points of sample s changed (its row of the valid-data grid).
    virtual void validdatarowchanged(int /*s*/) {}
    // Colours the baseline button panel: done = data already baseline-corrected
    // (menu colour, plain font), else it takes the focus and waits.
    virtual void baselinepanelstate(bool /*done*/) {}

    // ---- baseline and window of linearity callbacks  (ENGINE-BASELINE)
    // Enables or disables a named control or menu item
    // (e.g. "SetBaselineCorrected1", "ApplyGroupButton").
    virtual void setcontrolenabled(const std::string& /*name*/, bool /*enabled*/) {}
    // Makes a named tab sheet the active page of its page control
    // (e.g. "TabSheetIndivSample", "TabSheet_baseline").
    virtual void showpage(const std::string& /*name*/) {}
    // Message beep (scratch mode, end of the baseline step).
    virtual void beep() {}
    // Input box; returns false when cancelled, else true with the text in
    // value (which holds the default on entry).
    virtual bool inputbox(const std::string& /*caption*/, const std::string& /*prompt*/,
                          std::string& /*value*/) {
        return false;
    }
    // The data set is noisy: the window shows the noisy samples as subset
    // (ShowSetCB "noisy samples", cb_pcr_axis, menus Common1 and
    // AmpliconGroups1 checked, BaselineCorrection1 unchecked, handling Noise
    // menu item visible) ...
    virtual void noisydatasetshown() {}
    // ... and the modal noise warning window with these memo lines. Returns
    // its modal result: 1 Close, 2 "Go to Help on noisy datasets".
    virtual int noisewarning(const std::vector<std::string>& /*lines*/) { return 1; }
    // Help window on "Handling Noisy Sets".
    virtual void Handlingnoise1Click() {}
    // The search table (wolsearch), the noise check (noisecheck) or the
    // Cq-shift result of sample s changed.
    virtual void wolsearchchanged() {}
    virtual void noisecheckchanged() {}
    virtual void ctshiftchanged(int /*s*/) {}
    // Group means no longer hold: columns 2..6 of the group-means grid empty.
    virtual void meansgridcleared() {}
    // The window choice radio group (CommonGroupWindowRG) and ThresholdsRG
    // were set by the engine.
    virtual void windowchoicechanged() {}

    // ---- grouping and means callbacks                (ENGINE-GROUPS)
    // Groups were numbered: the amplicon-group grid (ampname, ampgroup), the
    // identifiers of means_Grid and numgroupsEdit (ngroups) must be shown.
    virtual void groupsnumbered() {}
    // Window side of the group-count change: group up-downs, the group browser
    // (ShowGroupCBItems, item 0 selected), the group-window page.
    virtual void numgroupsEditChange() {}
    // means_Grid, StringGridTest or the ShowSetCB items changed.
    virtual void meansgridchanged() {}
    virtual void StringGridTestchanged() {}
    virtual void ShowSetCBItemschanged() {}
    // The group-window page shows another group: AmpGroupNumEdit (and the
    // position of AmpGrNumUD) and IndivAmpGroupEdit must follow; the group
    // limit edits were reported through limiteditchanged.
    virtual void AmpGroupNumEditchanged() {}
};

}  // namespace qurvex
