// SPDX-License-Identifier: GPL-3.0-or-later
// The window side of a baseline set by hand: the baseline edit, the error
// display of the sample, "ignore error" and the hidden baseline controls.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSignalBlocker>
#include <cmath>

#include "mainwindow/Mainform.h"
#include "mainwindow/Prompter.h"
#include "mainwindow/UpDown.h"
#include "spreadsheet/RadioGroup.h"

namespace qurvex {

bool Tmainform::ApplyManualBaseline(int s, double baseline) {
    TEngine& e = *engine_;
    if (s < 1 || s > e.nsamples || RefuseWhileBusy()) return false;
    if (!e.ApplyManualBaseline(s, baseline)) {
        SetEditText(bgedit, Shown(e.bgarr[s], 5));
        return false;
    }
    SetEditText(bgedit, Shown(e.bgarr[s], 5));
    const bool error = e.bgerror[s] && !e.manualbg[s];
    BaselineErrorLabel->setVisible(error);
    IgnoreBLerrorButton->setVisible(error);
    MarkAsSkippedCB->setVisible(!error);
    const QSignalBlocker block(MarkAsSkippedCB);
    MarkAsSkippedCB->setChecked(e.skipped[s] != 0);
    return true;
}

void Tmainform::IgnoreBLerrorButtonClick() {
    const int s = CurrentSample();
    if (s < 1) return;
    if (!ApplyManualBaseline(s, engine_->bgarr[s])) return;
    BaselineCorrection1->setChecked(true);
    BaselineCorrection1Click();
}

// Keystroke filter of the baseline edit: a last character other than a
// digit, the decimal separator or "-" is removed.
void Tmainform::bgeditChange(const QString& text) {
    if (text.isEmpty()) return;
    const QChar last = text.back();
    if (last.isDigit() || last == QLatin1Char('-') || last == QLatin1Char('.') ||
        last == QLatin1Char(engine_->decsep))
        return;
    SetEditText(bgedit, text.left(text.size() - 1));
    bgedit->setCursorPosition(bgedit->text().size());
}

// Step of the chosen fraction (0.01, 0.001, 0.0001; 0.1 with none chosen)
// of the current baseline, up or down.
void Tmainform::bgUpDownClick(int button) {
    const int s = CurrentSample();
    if (s < 1) return;
    static const double factors[] = {0.01, 0.001, 0.0001};
    const int k = rg_bgstep->ItemIndex();
    const double factor = k >= 0 && k < 3 ? factors[k] : 0.1;
    const double bg = engine_->bgarr[s];
    const double step = factor * bg;
    ApplyManualBaseline(
        s, button == static_cast<int>(TUpDown::TUDBtnType::btNext) ? bg + step : bg - step);
}

void Tmainform::indivBaselineButtonClick() {
    const int s = CurrentSample();
    if (s < 1) return;
    const auto number = EditNumber(bgedit->text());
    if (!number) return;
    const double v = *number;
    ApplyManualBaseline(s, v);
}

}  // namespace qurvex
