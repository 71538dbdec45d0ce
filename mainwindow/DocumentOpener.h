// SPDX-License-Identifier: GPL-3.0-or-later
// Opens the program's documents (the PDF files beside the program) and web
// pages with the desktop's default application.
#pragma once

#include <QString>
#include <QUrl>
#include <functional>

namespace qurvex {

class IPrompter;

// The three documents that ship beside the program.
inline constexpr const char* kManualDocument = "Qurvex_help.pdf";
inline constexpr const char* kFaqDocument = "Qurvex.pdf";
inline constexpr const char* kUpdateHistoryDocument = "UpdateHistory.pdf";
// The RDML standard's web site.
inline constexpr const char* kRdmlSite = "https://rdml.org";

class TDocumentOpener {
public:
    // `folder`: where the documents are (empty: the program's folder).
    // `prompter` tells the user about a missing document; may be null.
    explicit TDocumentOpener(IPrompter* prompter, QString folder = {});

    // Folder + "/" + name.
    QString PathOf(const QString& name) const;
    // The program's own web page. The program has no site of its own yet, so
    // this is the installed manual.
    QUrl ProgramSiteUrl() const;

    // Opens a document of the folder. A missing file is reported through the
    // prompter ("... was not found ...") and gives false; otherwise the result
    // is whether the desktop accepted the request.
    bool OpenDocument(const QString& name) const;
    // Opens a web page or local file URL; a local file that is missing is
    // reported like a missing document. When the desktop has no program for
    // it, the user is told which file or page could not be opened.
    bool OpenUrl(const QUrl& url) const;
    // Replaces the desktop's opener (tests).
    void SetOpener(std::function<bool(const QUrl&)> opener) { opener_ = std::move(opener); }

private:
    std::function<bool(const QUrl&)> opener_;
    IPrompter* prompter_;
    QString folder_;
};

}  // namespace qurvex
