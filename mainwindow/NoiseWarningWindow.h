// SPDX-License-Identifier: GPL-3.0-or-later
// The warning shown when the baseline determination finds a noisy data set.
#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace qurvex {

class Tnoisewarningwindow : public QDialog {
    Q_OBJECT
public:
    enum : int { ResultClose = 1, ResultShowHelp = 2 };

    explicit Tnoisewarningwindow(QWidget* parent = nullptr);
    QPlainTextEdit* Memo1;        // text written by the caller before showing
    QPushButton* OKButton;        // "Close": result 1
    QPushButton* ShowHelpButton;  // "Go to Help on noisy datasets": result 2
};

}  // namespace qurvex
