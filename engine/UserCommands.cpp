// SPDX-License-Identifier: GPL-3.0-or-later
// Commands the main window gives on behalf of the user that are not part of
// an analysis step: start-up switches, options, axis limits, line dragging,
// the current sample, shown samples and the resets of sample windows. The
// window changes the run state only through these and the analysis commands.
#include <algorithm>

#include "engine/CqCorrection.h"
#include "engine/Engine.h"

namespace qurvex {

void TEngine::startup(const TStartSettings& settings) {
    silentmode = settings.silentmode;
    scratchmode = settings.scratchmode;
    expertmode = settings.expertmode;
    workshopmode = settings.workshopmode;
    usebaselinezw = settings.usebaselinezw;
    wolpoints = settings.wolpoints;
    rdmlenabled = true;
    inputsheetname = "Input";
    decsep = settings.decsep;
    FillCqLimitTables();
}

void TEngine::activate() {
    editlock = false;
    ftchanged = false;
    enddrag();
    dragupper = true;
    dragseries = 0;
    logymax = 2.0;
    logymin = -2.0;
    identsdone = true;
}

void TEngine::setoptions(const TEngineOptions& o) { options = o; }

void TEngine::setaxislimit(bool maximum, double v) { (maximum ? logymax : logymin) = v; }

void TEngine::resetYaxis1Click() {
    logymax = deflogymax;
    logymin = deflogymin;
}

void TEngine::startdrag(int line, int series) {
    dragline = line;
    dragseries = series;
    dragupper = line == 1;
    dragging = true;
}

void TEngine::enddrag() {
    dragging = false;
    dragline = 0;
    editlock = false;
}

void TEngine::markthresholdedited() { ftchanged = true; }

void TEngine::selectsample(int s) {
    if (s < 1 || s > nsamples) return;
    samplenum = s;
    samplenumChange();
}

void TEngine::setdisplayed(int s, bool shown) {
    if (s < 1 || s > nsamples) return;
    isdisplayed[static_cast<std::size_t>(s)] = shown ? 1 : 0;
    do_cascade(false, s, 2);
}

void TEngine::showallButClick() {
    for (int s = 1; s <= nsamples; ++s) isdisplayed[static_cast<std::size_t>(s)] = 1;
    do_cascade(true, 1, 2);
}

void TEngine::SetCqCorrNeeded() { cqcorrneeded = CqCorrNeeded(chemistry); }

void TEngine::reset_samp_ButClick(int s) {
    if (s < 1 || s > nsamples) return;
    const auto i = static_cast<std::size_t>(s);
    uplim[i] = uplim[0];
    lowlim[i] = lowlim[0];
    FindPointAtLimit(s, "both");
    editlock = true;
    setlimitedit(TLimitEdit::iuplimedit, uplim[0]);
    setlimitedit(TLimitEdit::ilowlimedit, lowlim[0]);
    editlock = false;
    woltype[i] = 0;
    do_cascade(false, s, 1);
}

void TEngine::ResetSampToGrpWindow(int s) {
    if (s < 1 || s > nsamples) return;
    const auto i = static_cast<std::size_t>(s);
    const int g = ampgroup[i];
    if (g < 0 || g >= static_cast<int>(gruplim.size())) return;
    uplim[i] = gruplim[static_cast<std::size_t>(g)];
    lowlim[i] = grlowlim[static_cast<std::size_t>(g)];
    woltype[i] = 1;
    do_cascade(false, s, 1);
    pumpmessages();
}

void TEngine::reset_all_butClick() {
    if (nsamples < 1 || busy()) return;
    BusyGuard guard(*this);
    for (int s = 1; s <= nsamples; ++s) {
        uplim[static_cast<std::size_t>(s)] = uplim[0];
        lowlim[static_cast<std::size_t>(s)] = lowlim[0];
    }
    do_cascade(true, 1, 1);
    pumpmessages();
    view->pageneeded(TRunPage::individualsample);
    for (int s = 1; s <= nsamples; ++s) {
        woltype[static_cast<std::size_t>(s)] = 0;
        ampgroup[static_cast<std::size_t>(s)] = 0;
        samplenum = s;
        samplenumChange();
        pumpmessages();
    }
    // Every sample is on the common window: so are the window choice and the
    // threshold, as when the user chooses the common window.
    options.CommonGroupWindowRG = 0;
    options.ThresholdsRG = 0;
    view->stagechanged(TRunStage::windowchoicechanged);
    if (groupsdefined) commonwol = true;
    AssignFtVal(1, nsamples);
    samplenumChange();
}

void TEngine::SetBaselineCorrected1Click() {
    if (busy() || nsamples < 1) return;
    baselinedone = true;
    view->stagechanged(TRunStage::baselinecorrected);
    view->stagechanged(TRunStage::baselinestepdone);
    view->stagechanged(TRunStage::annotationsneeded);
    {
        BusyGuard guard(*this);
        view->setbusycursor(true);
        for (int s = 1; s <= nsamples; ++s) {
            findfstop(s);
            findfstart(s);
        }
        view->setbusycursor(false);
    }
    do_cascade(true, 1, 1);
    SetWindow();
}

}  // namespace qurvex
