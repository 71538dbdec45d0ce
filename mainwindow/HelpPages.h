// SPDX-License-Identifier: GPL-3.0-or-later
// The help window: pages of explanation on every part of the program, with
// buttons that open the PDF documents and jump between pages.
#pragma once

#include <QDialog>
#include <QUrl>

#include "mainwindow/HelpPageTable.h"

class QTabWidget;
class QPushButton;

namespace qurvex {

class TDocumentOpener;

class Thelppages : public QDialog {
    Q_OBJECT
public:
    explicit Thelppages(TDocumentOpener* opener, QWidget* parent = nullptr);

    QTabWidget* MainHelpPageControl;
    QUrl siteaddress;  // the program's web page
    QUrl rdmlsite;     // the RDML standard's web site

    // Makes the page with this caption current (and the sub-page, when given).
    // An unknown caption leaves the window on its current page; false then.
    bool ShowPage(const QString& caption, const QString& subpage = {});
    QString CurrentPageCaption() const;
    QString CurrentSubpageCaption() const;

private:
    QPushButton* navigation(QWidget* parent, const char* name, const QString& caption,
                            const QString& target, const QString& subpage = {});
    TDocumentOpener* opener_;
};

}  // namespace qurvex
