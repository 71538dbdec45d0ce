// SPDX-License-Identifier: GPL-3.0-or-later
// The user's settings: output columns, mean-efficiency exclusions and
// Cq-too-low acceptance levels, the first-run disclaimer with its defaults,
// and the notice after an update. Settings failures never show a message:
// what cannot be opened is skipped.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QSignalBlocker>

#include "mainwindow/DocumentOpener.h"
#include "mainwindow/Mainform.h"
#include "mainwindow/NewVersionWarning.h"
#include "mainwindow/Prompter.h"
#include "spreadsheet/NumberNotation.h"
#include "spreadsheet/RadioGroup.h"
#include "spreadsheet/Registry.h"

namespace qurvex {

namespace {

const QString kVersion = QStringLiteral("2021.2");
const QString kVersionDate = QStringLiteral("(December 2021)");
const QString kSoftware = QStringLiteral("Software");
const QString kMaker = QStringLiteral("Norvane Labs");
const QString kProduct = QStringLiteral("Qurvex");

QString yesNo(bool value) { return value ? QStringLiteral("yes") : QStringLiteral("no"); }

// A percentage the outlier rule can use: a number from 0 to 100 (decimal
// point or the user's decimal separator). Anything else is refused.
bool isUsablePercentage(const QString& text) {
    const auto v = FieldNumber(text.trimmed(), QLatin1Char('.'));
    return v && *v >= 0.0 && *v <= 100.0;
}

// Sets a radio group from a stored item index: only a value stored as a whole
// number counts; -1 means the first item; an index the group does not have
// leaves the group as it is.
void readItemIndex(const TRegistry& reg, const QString& name, TRadioGroup* group) {
    if (!reg.ValueIsInteger(name)) return;
    int v = reg.ReadInteger(name);
    if (v == -1) v = 0;
    if (v >= 0 && v < group->Count()) group->SetItemIndex(v);
}

}  // namespace

void Tmainform::CheckDisclaimer() {
    bool firstRun = false;
    {
        auto reg = OpenRegistry();
        if (reg->OpenKey(kSoftware, false)) {
            if (!reg->OpenKey(kMaker, false) && !reg->OpenKey(kProduct, false)) firstRun = true;
        }
    }
    if (!firstRun) return;
    Disclaimer1Click();
    try {
        auto reg = OpenRegistry();
        if (!reg->OpenKey(kSoftware, false)) return;
        reg->OpenKey(kMaker, true);
        reg->OpenKey(kProduct, true);
        for (const QString& name : OutputColumnNames())
            reg->WriteString(name, QStringLiteral("yes"));
        reg->WriteString(QStringLiteral("version"), kVersion);
        reg->WriteString(QStringLiteral("exclude_skipped"), QStringLiteral("yes"));
        reg->WriteString(QStringLiteral("exclude_no_plateau"), QStringLiteral("yes"));
        reg->WriteString(QStringLiteral("exclude_TooLowCq"), QStringLiteral("yes"));
        reg->WriteInteger(QStringLiteral("AcceptErrorEff"), 1);
        reg->WriteInteger(QStringLiteral("AcceptBiasN0"), 1);
        reg->WriteString(QStringLiteral("exclude_outlier"), QStringLiteral("yes"));
        reg->WriteString(QStringLiteral("exclude_percentage"), IncluPercEdit->text());
        reg->Flush();
    } catch (const ERegistryError&) {
        // The settings stay as they are; the next start tries again.
    }
}

void Tmainform::CheckVersion() {
    QString previous;
    {
        auto reg = OpenRegistry();
        if (reg->OpenKey(kSoftware, false) && reg->OpenKey(kMaker, true) &&
            reg->OpenKey(kProduct, true))
            previous = reg->ReadString(QStringLiteral("version"));
    }
    if (previous != kVersion) {
        TNewVersionWarning notice(documents_.get(), this);
        notice.VersionLabel->setText(kVersion);
        notice.PreviousVersionLabel->setText(previous);
        notice.DateLabel->setText(kVersionDate);
        notice.siteaddress = documents_->ProgramSiteUrl();
        Prompter().runModal(notice);
    }
    SaveVersionToRegistry();
}

void Tmainform::SaveVersionToRegistry() {
    try {
        auto reg = OpenRegistry();
        if (!reg->OpenKey(kSoftware, false)) return;
        reg->OpenKey(kMaker, true);
        reg->OpenKey(kProduct, true);
        reg->WriteString(QStringLiteral("version"), kVersion);
        reg->Flush();
    } catch (const ERegistryError&) {
    }
}

void Tmainform::ReadRegistryButtonClick() {
    try {
        auto reg = OpenRegistry();
        if (!reg->OpenKey(kSoftware, false) || !reg->OpenKey(kMaker, true)) return;
        const QSignalBlocker block(OutputColumnsCLB);
        if (!reg->OpenKey(kProduct, true)) {
            for (int i = 0; i < OutputColumnsCLB->count(); ++i)
                OutputColumnsCLB->item(i)->setCheckState(Qt::Checked);
            return;
        }
        for (int i = 0; i < OutputColumnsCLB->count(); ++i) {
            QListWidgetItem* it = OutputColumnsCLB->item(i);
            it->setCheckState(Qt::Checked);
            const QString value = reg->ReadString(it->text());
            if (!value.isEmpty())
                it->setCheckState(value == QLatin1String("yes") ? Qt::Checked : Qt::Unchecked);
        }
        ExcludeSkippedCB->setChecked(reg->ReadString(QStringLiteral("exclude_skipped")) ==
                                     QLatin1String("yes"));
        ExcludeNoPlateauCB->setChecked(reg->ReadString(QStringLiteral("exclude_no_plateau")) ==
                                       QLatin1String("yes"));
        ExcludeTooLowCqCB->setChecked(reg->ReadString(QStringLiteral("exclude_TooLowCq")) ==
                                      QLatin1String("yes"));
        readItemIndex(*reg, QStringLiteral("AcceptErrorEff"), AcceptErrorEffRG);
        readItemIndex(*reg, QStringLiteral("AcceptBiasN0"), AcceptBiasN0RG);
        ExcludeOutlierCB->setChecked(reg->ReadString(QStringLiteral("exclude_outlier")) ==
                                     QLatin1String("yes"));
        if (ExcludeOutlierCB->isChecked()) {
            const QString percentage = reg->ReadString(QStringLiteral("exclude_percentage"));
            if (isUsablePercentage(percentage)) IncluPercEdit->setText(percentage);
        }
    } catch (const ERegistryError&) {
    }
    PushOptions();
}

void Tmainform::SaveRegistryButtonClick() {
    try {
        auto reg = OpenRegistry();
        if (!reg->OpenKey(kSoftware, false)) return;
        reg->OpenKey(kMaker, true);
        reg->OpenKey(kProduct, true);
        for (int i = 0; i < OutputColumnsCLB->count(); ++i) {
            const QListWidgetItem* it = OutputColumnsCLB->item(i);
            reg->WriteString(it->text(), yesNo(it->checkState() == Qt::Checked));
        }
        reg->WriteString(QStringLiteral("version"), kVersion);
        reg->WriteString(QStringLiteral("exclude_skipped"), yesNo(ExcludeSkippedCB->isChecked()));
        reg->WriteString(QStringLiteral("exclude_no_plateau"),
                         yesNo(ExcludeNoPlateauCB->isChecked()));
        reg->WriteString(QStringLiteral("exclude_TooLowCq"), yesNo(ExcludeTooLowCqCB->isChecked()));
        reg->WriteInteger(QStringLiteral("AcceptErrorEff"), AcceptErrorEffRG->ItemIndex());
        reg->WriteInteger(QStringLiteral("AcceptBiasN0"), AcceptBiasN0RG->ItemIndex());
        if (ExcludeOutlierCB->isChecked()) {
            reg->WriteString(QStringLiteral("exclude_outlier"), QStringLiteral("yes"));
            reg->WriteString(QStringLiteral("exclude_percentage"), IncluPercEdit->text());
        } else {
            reg->WriteString(QStringLiteral("exclude_outlier"), QStringLiteral("no"));
        }
        reg->Flush();
    } catch (const ERegistryError&) {
    }
}

}  // namespace qurvex
