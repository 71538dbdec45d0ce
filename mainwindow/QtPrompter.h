// SPDX-License-Identifier: GPL-3.0-or-later
// The prompter of the running program: Qt message boxes (a message of many
// lines in a scrolled text with OK), input dialogs and
// QDialog::exec for modal windows.
#pragma once

#include "mainwindow/Prompter.h"

class QWidget;

namespace qurvex {

class TQtPrompter final : public IPrompter {
public:
    // `parent` (may be null) becomes the parent of the boxes it shows.
    explicit TQtPrompter(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    void message(TPromptKind kind, const QString& title, const QString& text) override;
    bool askYesNo(const QString& title, const QString& text) override;
    std::optional<QString> askText(const QString& title, const QString& prompt,
                                   const QString& proposal) override;
    int runModal(QDialog& dialog) override;

private:
    QWidget* parent_;
};

}  // namespace qurvex
