// SPDX-License-Identifier: GPL-3.0-or-later
// The disclaimer, shown at the first run and from the Help menu.
#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace qurvex {

class Tdisclaimwindow : public QDialog {
    Q_OBJECT
public:
    explicit Tdisclaimwindow(QWidget* parent = nullptr);
    QPlainTextEdit* Memo1;
    QPushButton* AgreeButton;  // "I agree": closes with result 1
};

}  // namespace qurvex
