// SPDX-License-Identifier: GPL-3.0-or-later
// A prompter with scripted answers for window tests: it records every
// message and every modal window instead of showing them.
#pragma once

#include <QDialog>
#include <QList>
#include <QStringList>
#include <algorithm>
#include <functional>

#include "mainwindow/Prompter.h"

namespace qurvex::testing {

class TScriptedPrompter final : public IPrompter {
public:
    struct Message {
        TPromptKind kind;
        QString title;
        QString text;
    };

    QList<Message> messages;
    QStringList modals;                         // objectName of each modal window, in order
    QList<int> modalResults;                    // answers of runModal; 1 when empty
    QList<bool> yesNoAnswers;                   // answers of askYesNo; yes when empty
    QList<std::optional<QString>> textAnswers;  // answers of askText; cancel when empty
    QStringList textPrompts;                    // prompts of askText
    std::function<void(QDialog&)> onModal;      // looks at a modal window before it "closes"

    void message(TPromptKind kind, const QString& title, const QString& text) override {
        messages.append({kind, title, text});
    }
    bool askYesNo(const QString&, const QString& text) override {
        messages.append({TPromptKind::Confirmation, QStringLiteral("question"), text});
        return yesNoAnswers.isEmpty() ? true : yesNoAnswers.takeFirst();
    }
    std::optional<QString> askText(const QString&, const QString& prompt, const QString&) override {
        textPrompts.append(prompt);
        return textAnswers.isEmpty() ? std::nullopt : textAnswers.takeFirst();
    }
    int runModal(QDialog& dialog) override {
        modals.append(dialog.objectName());
        if (onModal) onModal(dialog);
        return modalResults.isEmpty() ? 1 : modalResults.takeFirst();
    }

    int count(TPromptKind kind) const {
        return static_cast<int>(std::count_if(messages.begin(), messages.end(),
                                              [kind](const Message& m) { return m.kind == kind; }));
    }
    // The texts of the messages of one kind, in order.
    QStringList texts(TPromptKind kind) const {
        QStringList out;
        for (const Message& m : messages)
            if (m.kind == kind) out << m.text;
        return out;
    }
    void clear() {
        messages.clear();
        modals.clear();
    }
};

}  // namespace qurvex::testing
