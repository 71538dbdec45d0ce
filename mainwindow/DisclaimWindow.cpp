// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/DisclaimWindow.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qurvex {

Tdisclaimwindow::Tdisclaimwindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("disclaimwindow"));
    setWindowTitle(QStringLiteral("Disclaimer"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowStaysOnTopHint);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setPlainText(QStringLiteral(
        "The procedures of this program are based on published methods for the analysis of "
        "real-time PCR amplification curves.\n\n"
        "They are meant for fluorescence data obtained by monitoring the PCR with an "
        "intercalating (DNA binding) dye or a related chemistry. They are also valid for "
        "hydrolysis probes, whose fluorescence accumulates during the run.\n\n"
        "You must check which data your PCR system exports (raw fluorescence, or data that were "
        "already corrected or smoothed). That the program can read the data proves nothing "
        "about them.\n\n"
        "By using this program you accept all responsibility for its use and for the "
        "conclusions drawn from its results."));
    AgreeButton = new QPushButton(QStringLiteral("I agree"), this);
    AgreeButton->setObjectName(QStringLiteral("AgreeButton"));
    AgreeButton->setDefault(true);
    connect(AgreeButton, &QPushButton::clicked, this, [this] { done(1); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Memo1);
    layout->addWidget(AgreeButton, 0, Qt::AlignHCenter);
    resize(460, 330);
}

}  // namespace qurvex
