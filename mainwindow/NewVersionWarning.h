// SPDX-License-Identifier: GPL-3.0-or-later
// The notice shown when the program runs for the first time after an update.
#pragma once

#include <QDialog>
#include <QUrl>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace qurvex {

class TDocumentOpener;

class TNewVersionWarning : public QDialog {
    Q_OBJECT
public:
    explicit TNewVersionWarning(TDocumentOpener* opener, QWidget* parent = nullptr);
    QLabel* VersionLabel;          // current version
    QLabel* DateLabel;             // date of the current version
    QLabel* PreviousVersionLabel;  // version stored by the last run ("" when none)
    QPlainTextEdit* Memo1;
    QPushButton* OKButton;
    QPushButton* VisitSiteButton;
    QUrl siteaddress;

    // "visit Qurvex site": opens the program's page and closes the window.
    void VisitSiteButtonClick();

private:
    TDocumentOpener* opener_;
};

}  // namespace qurvex
