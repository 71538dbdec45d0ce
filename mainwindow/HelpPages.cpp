// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/HelpPages.h"

#include <QFile>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "mainwindow/DocumentOpener.h"

// The page texts are a resource of this static library: register them
// explicitly (the linker would otherwise drop their registration).
static void initHelpResources() { Q_INIT_RESOURCE(help_pages); }

namespace qurvex {

namespace {

QString pageText(const char* resource) {
    QFile file(QStringLiteral(":/help/%1.html").arg(QString::fromLatin1(resource)));
    if (!file.open(QIODevice::ReadOnly)) return QStringLiteral("<p>(This page has no text.)</p>");
    return QString::fromUtf8(file.readAll());
}

QTextBrowser* browser(QWidget* parent, const char* resource) {
    auto* b = new QTextBrowser(parent);
    b->setObjectName(QStringLiteral("HelpText_%1").arg(QString::fromLatin1(resource)));
    b->setOpenLinks(false);
    b->setHtml(pageText(resource));
    return b;
}

}  // namespace

Thelppages::Thelppages(TDocumentOpener* opener, QWidget* parent)
    : QDialog(parent), rdmlsite(QString::fromLatin1(kRdmlSite)), opener_(opener) {
    initHelpResources();
    setObjectName(QStringLiteral("helppages"));
    setWindowTitle(QStringLiteral("Help on Qurvex: Analysis of quantitative RT-PCR Data"));
    setSizeGripEnabled(true);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    auto* faq = new QPushButton(QStringLiteral("FAQs and recent Version Info"), this);
    faq->setObjectName(QStringLiteral("FaqButton"));
    auto* manual = new QPushButton(QStringLiteral("Open Qurvex Manual"), this);
    manual->setObjectName(QStringLiteral("ManualButton"));
    auto* history = new QPushButton(QStringLiteral("View full update history"), this);
    history->setObjectName(QStringLiteral("UpdateHistoryButton"));
    connect(ok, &QPushButton::clicked, this, [this] { done(1); });
    auto open = [this](const char* name) {
        if (opener_) opener_->OpenDocument(QString::fromLatin1(name));
    };
    connect(faq, &QPushButton::clicked, this, [open] { open(kFaqDocument); });
    connect(manual, &QPushButton::clicked, this, [open] { open(kManualDocument); });
    connect(history, &QPushButton::clicked, this, [open] { open(kUpdateHistoryDocument); });
    auto* bar = new QHBoxLayout;
    for (QPushButton* b : {ok, faq, manual, history}) bar->addWidget(b);
    bar->addStretch();

    MainHelpPageControl = new QTabWidget(this);
    MainHelpPageControl->setObjectName(QStringLiteral("MainHelpPageControl"));
    QTabWidget* subpages = nullptr;
    for (const THelpPage& page : HelpPageTable()) {
        const QString caption = QString::fromLatin1(page.caption);
        if (page.parent) {
            if (subpages) subpages->addTab(browser(subpages, page.resource), caption);
            continue;
        }
        auto* sheet = new QWidget(MainHelpPageControl);
        sheet->setObjectName(QStringLiteral("HelpPage_%1").arg(QString::fromLatin1(page.resource)));
        auto* layout = new QVBoxLayout(sheet);
        layout->setContentsMargins(4, 4, 4, 4);
        layout->addWidget(browser(sheet, page.resource), 1);
        subpages = new QTabWidget(sheet);
        subpages->setObjectName(
            QStringLiteral("HelpSubpages_%1").arg(QString::fromLatin1(page.resource)));
        layout->addWidget(subpages, 2);
        auto* buttons = new QHBoxLayout;
        const QString c = caption;
        if (c == QLatin1String("Overview")) {
            buttons->addWidget(navigation(sheet, "GoToReadExcelButton",
                                          QStringLiteral("Go To Read Excel"),
                                          QStringLiteral("Read Excel")));
            buttons->addWidget(navigation(sheet, "GoToReadRDMLButton",
                                          QStringLiteral("Go To Read RDML"),
                                          QStringLiteral("Read RDML")));
            auto* f = new QPushButton(QStringLiteral("Qurvex FAQs"), sheet);
            f->setObjectName(QStringLiteral("OverviewFaqButton"));
            connect(f, &QPushButton::clicked, this, [open] { open(kFaqDocument); });
            buttons->addWidget(f);
        } else if (c == QLatin1String("Procedure")) {
            buttons->addWidget(
                navigation(sheet, "GoToBaselineButton", QStringLiteral("Go To Baseline Help"),
                           QStringLiteral("Menu Options"), QStringLiteral("Baseline")));
            buttons->addWidget(navigation(sheet, "GoToAmpliconGroupsButton",
                                          QStringLiteral("Go To Amplicon Groups Help"),
                                          QStringLiteral("Amplicon Groups")));
            buttons->addWidget(navigation(sheet, "GoToMeanEffButton",
                                          QStringLiteral("Go To Mean Efficiency Help"),
                                          QStringLiteral("Mean Efficiency")));
            buttons->addWidget(navigation(sheet, "GoToSaveExcelButton",
                                          QStringLiteral("Go To Save Excel"),
                                          QStringLiteral("Save to Excel")));
            buttons->addWidget(navigation(sheet, "GoToSaveRDMLButton",
                                          QStringLiteral("Go To Save RDML"),
                                          QStringLiteral("Save to RDML")));
        } else if (c == QLatin1String("Amplicon Groups")) {
            buttons->addWidget(navigation(sheet, "GoToMeanEffButton2",
                                          QStringLiteral("Go To Mean Eff."),
                                          QStringLiteral("Mean Efficiency")));
        } else if (c == QLatin1String("Read RDML") || c == QLatin1String("Save to RDML")) {
            auto* site = new QPushButton(QStringLiteral("Visit RDML site"), sheet);
            site->setObjectName(QStringLiteral("VisitRDMLSiteButton"));
            connect(site, &QPushButton::clicked, this, [this] {
                if (opener_) opener_->OpenUrl(rdmlsite);
            });
            buttons->addWidget(site);
        } else if (c == QLatin1String("Trouble")) {
            auto* f = new QPushButton(QStringLiteral("Qurvex FAQs"), sheet);
            f->setObjectName(QStringLiteral("TroubleFaqButton"));
            connect(f, &QPushButton::clicked, this, [open] { open(kFaqDocument); });
            buttons->addWidget(f);
        }
        buttons->addStretch();
        layout->addLayout(buttons);
        MainHelpPageControl->addTab(sheet, caption);
    }
    // Pages without sub-pages give the text all the room.
    for (int i = 0; i < MainHelpPageControl->count(); ++i) {
        auto* sub = MainHelpPageControl->widget(i)->findChild<QTabWidget*>();
        if (sub && sub->count() == 0) sub->hide();
    }

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(MainHelpPageControl, 1);
    resize(860, 640);
}

QPushButton* Thelppages::navigation(QWidget* parent, const char* name, const QString& caption,
                                    const QString& target, const QString& subpage) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    connect(b, &QPushButton::clicked, this, [this, target, subpage] { ShowPage(target, subpage); });
    return b;
}

bool Thelppages::ShowPage(const QString& caption, const QString& subpage) {
    for (int i = 0; i < MainHelpPageControl->count(); ++i) {
        if (MainHelpPageControl->tabText(i) != caption) continue;
        MainHelpPageControl->setCurrentIndex(i);
        if (subpage.isEmpty()) return true;
        auto* sub = MainHelpPageControl->widget(i)->findChild<QTabWidget*>();
        if (!sub) return false;
        for (int j = 0; j < sub->count(); ++j)
            if (sub->tabText(j) == subpage) {
                sub->setCurrentIndex(j);
                return true;
            }
        return false;
    }
    return false;
}

QString Thelppages::CurrentPageCaption() const {
    return MainHelpPageControl->tabText(MainHelpPageControl->currentIndex());
}

QString Thelppages::CurrentSubpageCaption() const {
    auto* sub = MainHelpPageControl->currentWidget()->findChild<QTabWidget*>();
    return sub && sub->count() > 0 ? sub->tabText(sub->currentIndex()) : QString();
}

}  // namespace qurvex
