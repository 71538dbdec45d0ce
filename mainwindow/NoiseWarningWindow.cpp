// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/NoiseWarningWindow.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qurvex {

Tnoisewarningwindow::Tnoisewarningwindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("noisewarningwindow"));
    setWindowTitle(QStringLiteral("Warning: Noisy Dataset"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    OKButton = new QPushButton(QStringLiteral("Close"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    ShowHelpButton = new QPushButton(QStringLiteral("Go to Help on noisy datasets"), this);
    ShowHelpButton->setObjectName(QStringLiteral("ShowHelpButton"));
    connect(OKButton, &QPushButton::clicked, this, [this] { done(ResultClose); });
    connect(ShowHelpButton, &QPushButton::clicked, this, [this] { done(ResultShowHelp); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ShowHelpButton);
    buttons->addStretch();
    buttons->addWidget(OKButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Memo1);
    layout->addLayout(buttons);
    resize(480, 300);
}

}  // namespace qurvex
