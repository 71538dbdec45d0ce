// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/NewVersionWarning.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "mainwindow/DocumentOpener.h"
#include "mainwindow/ProgramIcon.h"

namespace qurvex {

TNewVersionWarning::TNewVersionWarning(TDocumentOpener* opener, QWidget* parent)
    : QDialog(parent), opener_(opener) {
    setObjectName(QStringLiteral("NewVersionWarning"));
    setWindowTitle(QStringLiteral("Updated version was detected"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("ProgramIcon"));
    icon->setPixmap(ProgramPixmap(48));
    auto* product = new QLabel(QStringLiteral("Qurvex"), this);
    product->setObjectName(QStringLiteral("ProductName"));
    QFont f = product->font();
    f.setPointSize(f.pointSize() + 6);
    f.setBold(true);
    product->setFont(f);

    VersionLabel = new QLabel(this);
    VersionLabel->setObjectName(QStringLiteral("VersionLabel"));
    DateLabel = new QLabel(this);
    DateLabel->setObjectName(QStringLiteral("DateLabel"));
    PreviousVersionLabel = new QLabel(this);
    PreviousVersionLabel->setObjectName(QStringLiteral("PreviousVersionLabel"));
    auto* versions = new QGridLayout;
    versions->addWidget(new QLabel(QStringLiteral("Current version:"), this), 0, 0);
    versions->addWidget(VersionLabel, 0, 1);
    versions->addWidget(DateLabel, 0, 2);
    versions->addWidget(new QLabel(QStringLiteral("Previous version:"), this), 1, 0);
    versions->addWidget(PreviousVersionLabel, 1, 1);
    versions->setColumnStretch(3, 1);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setPlainText(
        QStringLiteral("A new version of the Qurvex program was installed on your computer since \n"
                       "the last time you used the program. \n"
                       "\n"
                       "To see what has changed in this version, please visit the Qurvex page \n"
                       "on our website."));

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    VisitSiteButton = new QPushButton(QStringLiteral("visit Qurvex site"), this);
    VisitSiteButton->setObjectName(QStringLiteral("VisitSiteButton"));
    connect(OKButton, &QPushButton::clicked, this, [this] { done(1); });
    connect(VisitSiteButton, &QPushButton::clicked, this, [this] { VisitSiteButtonClick(); });

    auto* head = new QHBoxLayout;
    head->addWidget(icon);
    head->addWidget(product);
    head->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(VisitSiteButton);
    buttons->addStretch();
    buttons->addWidget(OKButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addLayout(versions);
    layout->addWidget(Memo1);
    layout->addLayout(buttons);
    resize(500, 300);
}

void TNewVersionWarning::VisitSiteButtonClick() {
    if (opener_ && siteaddress.isValid()) opener_->OpenUrl(siteaddress);
    done(0);
}

}  // namespace qurvex
