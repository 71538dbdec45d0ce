// SPDX-License-Identifier: GPL-3.0-or-later
// The small window shown while a run is read from an RDML document: a caption
// naming the version and a progress bar that advances one step per reaction.
// It never blocks; every step lets the application repaint.
#pragma once

#include <QProgressBar>
#include <QWidget>

namespace qurvex {

class TRdmlReaderForm : public QWidget {
    Q_OBJECT
public:
    TRdmlReaderForm(const QString& caption, QWidget* parent = nullptr);

    // Range 0..maximum, position 0.
    void SetSteps(int maximum);
    // Moves the bar to `position` and lets pending events (repaints) run.
    void StepTo(int position);
    QProgressBar* ProgressBar() const { return progressBar_; }

private:
    QProgressBar* progressBar_;
};

}  // namespace qurvex
