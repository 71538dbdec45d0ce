// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/AboutBox.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "mainwindow/DocumentOpener.h"
#include "mainwindow/ProgramIcon.h"

namespace qurvex {

namespace {

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, int pointDelta = 0,
                  bool bold = false) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    QFont f = label->font();
    f.setPointSize(f.pointSize() + pointDelta);
    f.setBold(bold);
    label->setFont(f);
    return label;
}

}  // namespace

TAboutBox::TAboutBox(TDocumentOpener* opener, QWidget* parent) : QDialog(parent), opener_(opener) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setAutoFillBackground(true);
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::WindowText, Qt::black);
    panel->setPalette(pal);
    panel->setFrameShape(QFrame::StyledPanel);

    auto* icon = new QLabel(panel);
    icon->setObjectName(QStringLiteral("ProgramIcon"));
    icon->setPixmap(ProgramPixmap(64));
    auto* titles = new QVBoxLayout;
    titles->addWidget(makeLabel(panel, "TitleLine1", QStringLiteral("ANALYSIS OF"), 2, true));
    titles->addWidget(makeLabel(panel, "TitleLine2", QStringLiteral("RT PCR DATA"), 2, true));
    titles->addWidget(makeLabel(panel, "ProductName", QStringLiteral("Qurvex"), 8, true));
    auto* versionRow = new QHBoxLayout;
    versionRow->addWidget(makeLabel(panel, "VersionCaption", QStringLiteral("Version:")));
    Version = makeLabel(panel, "Version", QString());
    DateLabel = makeLabel(panel, "DateLabel", QString());
    versionRow->addWidget(Version);
    versionRow->addWidget(DateLabel);
    versionRow->addStretch();
    titles->addLayout(versionRow);
    auto* head = new QHBoxLayout;
    head->addWidget(icon, 0, Qt::AlignTop);
    head->addLayout(titles, 1);

    auto* literature = makeLabel(
        panel, "Comments",
        QStringLiteral(
            "<p><b>The method is based on:</b></p>"
            "<p>Lefever S, Hellemans J, Pattyn F, Przybylski DR, Taylor C, Geurts R, Untergasser "
            "A, "
            "Vandesompele J. RDML: structured language and reporting guidelines for real-time "
            "quantitative PCR data. <i>Nucleic Acids Research</i> 2009; 37(7): 2065-2069.</p>"
            "<p>Bustin SA, Benes V, Garson JA, Hellemans J, Huggett J, Kubista M, Mueller R, "
            "Nolan T, Pfaffl MW, Shipley GL, Vandesompele J, Wittwer CT. The MIQE guidelines: "
            "minimum information for publication of quantitative real-time PCR experiments. "
            "<i>Clinical Chemistry</i> 2009; 55(4): 611-622.</p>"
            "<p>Pfaffl MW. A new mathematical model for relative quantification in real-time "
            "RT-PCR. <i>Nucleic Acids Research</i> 2001; 29(9): e45.</p>"));
    literature->setWordWrap(true);
    auto* address = makeLabel(panel, "Address",
                              QStringLiteral("Norvane Labs\nDepartment of Molecular Analysis\n"
                                             "P.O. Box 1000\n1000 AA Norvane"));

    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->addLayout(head);
    panelLayout->addWidget(literature);
    panelLayout->addWidget(address);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    VisitSiteButton = new QPushButton(QStringLiteral("visit Qurvex site"), this);
    VisitSiteButton->setObjectName(QStringLiteral("VisitSiteButton"));
    connect(OKButton, &QPushButton::clicked, this, [this] { done(1); });
    connect(VisitSiteButton, &QPushButton::clicked, this, [this] { VisitSiteButtonClick(); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(VisitSiteButton);
    buttons->addStretch();
    buttons->addWidget(OKButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel);
    layout->addLayout(buttons);
    setFixedWidth(520);
}

void TAboutBox::VisitSiteButtonClick() {
    if (opener_ && siteaddress.isValid()) opener_->OpenUrl(siteaddress);
    done(0);
}

}  // namespace qurvex
