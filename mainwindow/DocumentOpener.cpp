// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/DocumentOpener.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>

#include "mainwindow/Prompter.h"

namespace qurvex {

TDocumentOpener::TDocumentOpener(IPrompter* prompter, QString folder)
    : prompter_(prompter), folder_(std::move(folder)) {
    if (folder_.isEmpty()) folder_ = QCoreApplication::applicationDirPath();
}

QString TDocumentOpener::PathOf(const QString& name) const { return QDir(folder_).filePath(name); }

QUrl TDocumentOpener::ProgramSiteUrl() const {
    return QUrl::fromLocalFile(PathOf(QString::fromLatin1(kManualDocument)));
}

bool TDocumentOpener::OpenDocument(const QString& name) const {
    return OpenUrl(QUrl::fromLocalFile(PathOf(name)));
}

bool TDocumentOpener::OpenUrl(const QUrl& url) const {
    if (url.isLocalFile() && !QFileInfo::exists(url.toLocalFile())) {
        if (prompter_)
            prompter_->message(
                TPromptKind::Warning, QStringLiteral("Document not found"),
                QStringLiteral("The document \"%1\" was not found in the folder \"%2\". "
                               "Reinstall the program to get it back.")
                    .arg(QFileInfo(url.toLocalFile()).fileName(),
                         QDir::toNativeSeparators(QFileInfo(url.toLocalFile()).absolutePath())));
        return false;
    }
    const bool opened = opener_ ? opener_(url) : QDesktopServices::openUrl(url);
    if (!opened && prompter_) {
        const QString what =
            url.isLocalFile() ? QDir::toNativeSeparators(url.toLocalFile()) : url.toString();
        prompter_->message(TPromptKind::Warning, QStringLiteral("Cannot open"),
                           QStringLiteral("The desktop has no program to open \"%1\". "
                                          "Open it with a program of your choice.")
                               .arg(what));
    }
    return opened;
}

}  // namespace qurvex
