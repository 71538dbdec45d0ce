// SPDX-License-Identifier: GPL-3.0-or-later
// Helper of the settings test: one start of the main window in a process of
// its own, with the user's settings store (XDG_CONFIG_HOME).
//   save: activates, changes some choices and saves them
//   read: activates and prints the choices it read
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <cstdio>

#include "mainwindow/Mainform.h"
#include "mainwindow/QurvexApplication.h"
#include "spreadsheet/RadioGroup.h"
#include "tests/mainwindow/ScriptedPrompter.h"

using namespace qurvex;

int main(int argc, char** argv) {
    TQurvexApplication app(argc, argv);
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    testing::TScriptedPrompter prompter;
    TMainformServices services;
    services.prompter = &prompter;
    Tmainform w({}, services);
    w.FormActivate();
    QStringList out;
    out << QStringLiteral("modals=") + prompter.modals.join(',');
    if (mode == QLatin1String("save")) {
        for (const char* name : {"Baseline", "N0 individual"})
            w.OutputColumnsCLB->findItems(QString::fromLatin1(name), Qt::MatchExactly)
                .first()
                ->setCheckState(Qt::Unchecked);
        w.AcceptErrorEffRG->SetItemIndex(0);
        w.AcceptBiasN0RG->SetItemIndex(0);
        w.ExcludeNoPlateauCB->setChecked(false);
        w.IncluPercEdit->setText(QStringLiteral("7.5"));
        w.SaveRegistryButtonClick();
    } else if (mode == QLatin1String("read")) {
        for (int i = 0; i < w.OutputColumnsCLB->count(); ++i) {
            const QListWidgetItem* it = w.OutputColumnsCLB->item(i);
            out << QStringLiteral("column %1=%2")
                       .arg(it->text())
                       .arg(it->checkState() == Qt::Checked ? 1 : 0);
        }
        out << QStringLiteral("AcceptErrorEff=%1").arg(w.AcceptErrorEffRG->ItemIndex());
        out << QStringLiteral("AcceptBiasN0=%1").arg(w.AcceptBiasN0RG->ItemIndex());
        out << QStringLiteral("ExcludeNoPlateau=%1").arg(w.ExcludeNoPlateauCB->isChecked() ? 1 : 0);
        out << QStringLiteral("ExcludeOutlier=%1").arg(w.ExcludeOutlierCB->isChecked() ? 1 : 0);
        out << QStringLiteral("IncluPerc=%1").arg(w.IncluPercEdit->text());
    } else {
        std::fprintf(stderr, "usage: mainwindow_settings_helper save|read\n");
        return 2;
    }
    std::printf("%s\n", qPrintable(out.join('\n')));
    return 0;
}
