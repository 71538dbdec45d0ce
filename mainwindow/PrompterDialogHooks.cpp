// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/PrompterDialogHooks.h"

#include <QDialog>

#include "mainwindow/Prompter.h"

namespace qurvex {

TPrompterDialogHooks::TPrompterDialogHooks(IPrompter& prompter) : saved_(DialogHooks()) {
    DialogHooks().runModal = [&prompter](QDialog& dialog) { return prompter.runModal(dialog); };
    DialogHooks().showError = [&prompter](const QString& text) {
        prompter.message(TPromptKind::Error, QStringLiteral("Error"), text);
    };
}

TPrompterDialogHooks::~TPrompterDialogHooks() { DialogHooks() = saved_; }

}  // namespace qurvex
