// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/QtPrompter.h"

#include <QDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace qurvex {

void TQtPrompter::message(TPromptKind kind, const QString& title, const QString& text) {
    switch (kind) {
        case TPromptKind::Information:
            QMessageBox::information(parent_, title, text);
            break;
        case TPromptKind::Warning:
            QMessageBox::warning(parent_, title, text);
            break;
        case TPromptKind::Error:
            QMessageBox::critical(parent_, title, text);
            break;
        case TPromptKind::Confirmation:
            QMessageBox::information(parent_, title, text);
            break;
    }
}

bool TQtPrompter::askYesNo(const QString& title, const QString& text) {
    return QMessageBox::question(parent_, title, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

std::optional<QString> TQtPrompter::askText(const QString& title, const QString& prompt,
                                            const QString& proposal) {
    bool ok = false;
    const QString answer =
        QInputDialog::getText(parent_, title, prompt, QLineEdit::Normal, proposal, &ok);
    if (!ok) return std::nullopt;
    return answer;
}

int TQtPrompter::runModal(QDialog& dialog) { return dialog.exec(); }

}  // namespace qurvex
