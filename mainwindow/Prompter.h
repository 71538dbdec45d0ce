// SPDX-License-Identifier: GPL-3.0-or-later
// The one door through which the program asks or tells the user something:
// message boxes, input boxes and modal windows. The main window uses a
// prompter built on Qt dialogs; tests put in one with scripted answers.
#pragma once

#include <QString>
#include <optional>

class QDialog;

namespace qurvex {

enum class TPromptKind { Information, Warning, Error, Confirmation };

class IPrompter {
public:
    virtual ~IPrompter() = default;

    // Shows a message with an OK button. An empty text still shows the box.
    virtual void message(TPromptKind kind, const QString& title, const QString& text) = 0;

    // Asks a yes/no question; true for yes. Closing the box counts as no.
    virtual bool askYesNo(const QString& title, const QString& text) = 0;

    // Asks for a line of text, proposing `proposal`. Cancel gives std::nullopt.
    virtual std::optional<QString> askText(const QString& title, const QString& prompt,
                                           const QString& proposal) = 0;

    // Runs a modal window to its end and returns its result code (the value
    // given to QDialog::done, 0 when it was closed without a choice).
    virtual int runModal(QDialog& dialog) = 0;
};

}  // namespace qurvex
