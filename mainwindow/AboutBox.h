// SPDX-License-Identifier: GPL-3.0-or-later
// The about window: product, version and the literature the method rests on.
#pragma once

#include <QDialog>
#include <QUrl>

class QLabel;
class QPushButton;

namespace qurvex {

class TDocumentOpener;

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    // `opener` opens the program's page; may be null (the button then only closes).
    explicit TAboutBox(TDocumentOpener* opener, QWidget* parent = nullptr);

    QLabel* Version;    // set to "2021.2" by the caller
    QLabel* DateLabel;  // set to "(December 2021)" by the caller
    QPushButton* OKButton;
    QPushButton* VisitSiteButton;
    QUrl siteaddress;  // the program's web page

    // "visit Qurvex site": opens the program's page and closes the window.
    void VisitSiteButtonClick();

private:
    TDocumentOpener* opener_;
};

}  // namespace qurvex
