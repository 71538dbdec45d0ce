// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/QtPrompter.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QStyle>
#include <QVBoxLayout>

namespace qurvex {

namespace {

// A message of more lines than this is shown in a scrolled text, so that a
// box listing hundreds of groups still fits the screen with its OK button.
constexpr int kLinesInABox = 20;

QMessageBox::Icon iconOf(TPromptKind kind) {
    switch (kind) {
        case TPromptKind::Warning:
            return QMessageBox::Warning;
        case TPromptKind::Error:
            return QMessageBox::Critical;
        case TPromptKind::Information:
        case TPromptKind::Confirmation:
            break;
    }
    return QMessageBox::Information;
}

void scrolledMessage(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                     const QString& text) {
    QDialog box(parent);
    box.setObjectName(QStringLiteral("LongMessage"));
    box.setWindowTitle(title);
    auto* picture = new QLabel(&box);
    const QStyle::StandardPixmap standard =
        icon == QMessageBox::Critical  ? QStyle::SP_MessageBoxCritical
        : icon == QMessageBox::Warning ? QStyle::SP_MessageBoxWarning
                                       : QStyle::SP_MessageBoxInformation;
    const int size = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &box);
    picture->setPixmap(box.style()->standardIcon(standard, nullptr, &box).pixmap(size, size));
    picture->setAlignment(Qt::AlignTop);
    auto* lines = new QPlainTextEdit(text, &box);
    lines->setObjectName(QStringLiteral("LongMessageText"));
    lines->setReadOnly(true);
    lines->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* ok = new QDialogButtonBox(QDialogButtonBox::Ok, &box);
    QObject::connect(ok, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    auto* top = new QHBoxLayout;
    top->addWidget(picture);
    top->addWidget(lines, 1);
    auto* layout = new QVBoxLayout(&box);
    layout->addLayout(top, 1);
    layout->addWidget(ok);
    box.resize(640, 400);
    box.exec();
}

}  // namespace

void TQtPrompter::message(TPromptKind kind, const QString& title, const QString& text) {
    if (text.count(QLatin1Char('\n')) >= kLinesInABox) {
        scrolledMessage(parent_, iconOf(kind), title, text);
        return;
    }
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
