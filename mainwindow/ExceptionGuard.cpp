// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/ExceptionGuard.h"

#include <QtGlobal>
#include <stdexcept>

namespace qurvex {

QString currentExceptionText() {
    try {
        throw;
    } catch (const std::exception& e) {
        const QString text = QString::fromUtf8(e.what());
        return text.isEmpty() ? QStringLiteral("unknown error") : text;
    } catch (...) {
        return QStringLiteral("unknown error");
    }
}

void reportCurrentException(IPrompter* prompter) noexcept {
    QString text;
    try {
        text = currentExceptionText();
    } catch (...) {
        text = QStringLiteral("unknown error");
    }
    try {
        if (prompter)
            prompter->message(TPromptKind::Error, QStringLiteral("Error"), text);
        else
            qWarning("Unhandled error: %s", qPrintable(text));
    } catch (...) {
        qWarning("Unhandled error while reporting an error: %s", qPrintable(text));
    }
}

}  // namespace qurvex
