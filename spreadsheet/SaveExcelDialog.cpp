// SPDX-License-Identifier: GPL-3.0-or-later
#include "spreadsheet/SaveExcelDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "spreadsheet/Excelcom.h"
#include "spreadsheet/RadioGroup.h"
#include "spreadsheet/ReadExcelDialog.h"
#include "spreadsheet/Registry.h"

namespace qurvex {

namespace {

const QString kSoftware = QStringLiteral("Software");
const QString kMaker = QStringLiteral("Norvane Labs");
const QString kProduct = QStringLiteral("Qurvex");
const QString kPreferences = QStringLiteral("OutputPreferences");
constexpr int kNearInputSheet = 1;

}  // namespace

TsaveexcelQVXcomform::TsaveexcelQVXcomform(TExcelcom& excelout, QWidget* parent)
    : QDialog(parent), excelout_(excelout) {
    setObjectName(QStringLiteral("TsaveexcelQVXcomform"));
    setWindowTitle(QStringLiteral("Save Qurvex results to Excel"));
    // No border icons: no system menu and no close box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    auto* top = new QVBoxLayout(this);

    auto* bookRow = new QHBoxLayout;
    booksbox = new QComboBox(this);
    booksbox->setMinimumWidth(220);
    newbookcheck = new QCheckBox(QStringLiteral("new book"), this);
    bookRow->addWidget(new QLabel(QStringLiteral("book:"), this));
    bookRow->addWidget(booksbox, 1);
    bookRow->addWidget(newbookcheck);
    top->addLayout(bookRow);

    auto* sheetRow = new QHBoxLayout;
    SheetNameLabel = new QLabel(QStringLiteral("sheet name:"), this);
    checkbox = new QCheckBox(QStringLiteral("Use name of input sheet"), this);
    checkbox->setChecked(true);
    SheetNameEdit = new QLineEdit(this);
    SheetNameEdit->hide();
    chwarning = new QLabel(QStringLiteral("NAME WILL BE TRIMMED TO 21 CHARACTERS"), this);
    chwarning->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));
    sheetRow->addWidget(SheetNameLabel);
    sheetRow->addWidget(checkbox);
    sheetRow->addWidget(SheetNameEdit, 1);
    sheetRow->addWidget(chwarning, 1);
    top->addLayout(sheetRow);

    auto* groups = new QHBoxLayout;
    OutputChoiceRG =
        new TRadioGroup(QStringLiteral(" Output "),
                        {QStringLiteral("Complete"), QStringLiteral("User Defined"),
                         QStringLiteral("Compact "), QStringLiteral("Compact + Complete")},
                        3, this);
    OutputPlaceRG =
        new TRadioGroup(QStringLiteral(" Place Output "),
                        {QStringLiteral("as first sheet"), QStringLiteral("near input sheet"),
                         QStringLiteral("as last sheet")},
                        2, this);
    groups->addWidget(OutputChoiceRG);
    groups->addWidget(OutputPlaceRG);
    top->addLayout(groups);

    FormatExcelCB = new QCheckBox(QStringLiteral("Format output in Excel"), this);
    FormatExcelCB->setChecked(true);
    top->addWidget(FormatExcelCB);

    auto* buttons = new QHBoxLayout;
    OKbut = new QPushButton(QStringLiteral("OK"), this);
    cancelbut = new QPushButton(QStringLiteral("Cancel"), this);
    buttons->addStretch(1);
    buttons->addWidget(OKbut);
    buttons->addWidget(cancelbut);
    top->addLayout(buttons);

    connect(booksbox, &QComboBox::activated, this,
            [this] { guardedCall([&] { booksboxChange(); }); });
    connect(checkbox, &QCheckBox::clicked, this, [this] { checkboxClick(); });
    connect(newbookcheck, &QCheckBox::clicked, this,
            [this] { guardedCall([&] { newbookcheckClick(); }); });
    connect(OKbut, &QPushButton::clicked, this, [this] { OKbutClick(); });
    connect(cancelbut, &QPushButton::clicked, this, [this] { cancelbutClick(); });
}

template <class F>
void TsaveexcelQVXcomform::guardedCall(F&& body) {
    try {
        body();
    } catch (const std::exception& e) {
        DialogHooks().showError(QString::fromStdString(e.what()));
    }
}

void TsaveexcelQVXcomform::Preset(const TexcelsaveQVX& record) {
    checkbox->show();
    checkbox->setText(record.checkcaption);
    checkbox->setChecked(record.useinputname);
    chwarning->setText(record.warningcaption);
    SheetNameEdit->setText(record.sheet);
    SheetNameEdit->setVisible(!record.useinputname);
    chwarning->setVisible(record.useinputname);
    OutputChoiceRG->SetItemIndex(record.outputchoice);
    SetPlaceIndex(record.outputplace);
}

void TsaveexcelQVXcomform::ReadBack(TexcelsaveQVX& record) const {
    record.book = newbookcheck->isChecked() ? kNewBook : booksbox->currentText();
    record.useinputname = checkbox->isChecked();
    record.sheet = SheetNameEdit->text();
    record.outputchoice = OutputChoiceRG->ItemIndex();
    record.outputplace = PlaceIndex();
    record.formatoutput = FormatExcelCB->isChecked();
    record.startrow = 1;
    record.startcol = 1;
}

int TsaveexcelQVXcomform::PlaceIndex() const {
    const int item = OutputPlaceRG->ItemIndex();
    if (!newbookcheck->isChecked() || item < kNearInputSheet) return item;
    return item - 1;  // "near input sheet" is not in the list
}

void TsaveexcelQVXcomform::SetPlaceIndex(int shown) {
    const bool shortList = newbookcheck->isChecked();
    const int last = shortList ? 1 : 2;
    if (shown < 0) {
        OutputPlaceRG->SetItemIndex(-1);
        return;
    }
    shown = std::min(shown, last);
    OutputPlaceRG->SetItemIndex(shortList && shown >= kNearInputSheet ? shown + 1 : shown);
}

void TsaveexcelQVXcomform::FormActivate() {
    readbooks();
    ReadOutputPrefsFromRegistry();
    OKbut->setFocus();
}

void TsaveexcelQVXcomform::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // A modal dialog is activated once, when it shows.
    if (!activated_) {
        activated_ = true;
        guardedCall([&] { FormActivate(); });
    }
}

bool TsaveexcelQVXcomform::event(QEvent* event) {
    // Coming back from Calc, the book list shows its current workbooks again; the choices the
    // user made meanwhile stay as they are. An office that could not be reached is told once:
    // the box that tells it takes the focus, and closing it activates this window again.
    if (event->type() == QEvent::WindowActivate && activated_ && !newbookcheck->isChecked()) {
        if (!officeLost_) {
            guardedCall([&] { readbooks(); });
        } else {
            try {
                readbooks();
            } catch (const std::exception&) {  // told already
            }
        }
    }
    return QDialog::event(event);
}

void TsaveexcelQVXcomform::readbooks() {
    booksbox->clear();
    QStringList names;
    int selected = -1;
    officeLost_ = true;
    excelout_.ListWorkbooks(names, selected);
    officeLost_ = false;
    booksbox->addItems(names);
    booksbox->setCurrentIndex(selected);
}

void TsaveexcelQVXcomform::booksboxChange() {
    excelout_.AttachExcel();
    excelout_.SelectWorkbook(booksbox->currentText());
    excelout_.DetachExcel();
}

void TsaveexcelQVXcomform::checkboxClick() {
    const bool ticked = checkbox->isChecked();
    chwarning->setVisible(ticked);
    SheetNameEdit->setVisible(!ticked);
    if (ticked) {
        OKbut->setFocus();
    } else {
        SheetNameEdit->selectAll();
        SheetNameEdit->setFocus();
    }
}

void TsaveexcelQVXcomform::newbookcheckClick() {
    // The place keeps its index as shown across the change of the list.
    const bool ticked = newbookcheck->isChecked();
    newbookcheck->setChecked(!ticked);
    const int shown = PlaceIndex();
    newbookcheck->setChecked(ticked);
    OutputPlaceRG->Button(kNearInputSheet)->setVisible(!ticked);
    SetPlaceIndex(shown);
    booksbox->setEnabled(!ticked);
    if (ticked)
        booksbox->clear();
    else
        readbooks();
}

void TsaveexcelQVXcomform::OKbutClick() {
    if (SheetNameEdit->text().isEmpty()) {
        // The name box is hidden while the input sheet's name is used: show it to be filled.
        if (checkbox->isChecked()) {
            checkbox->setChecked(false);
            checkboxClick();
        }
        SheetNameEdit->setFocus();
        return;
    }
    SaveOutputPrefsToRegistry();
    done(1);
}

void TsaveexcelQVXcomform::cancelbutClick() { done(2); }

void TsaveexcelQVXcomform::ReadOutputPrefsFromRegistry() {
    TRegistry reg;
    if (!reg.OpenKey(kSoftware, false) || !reg.OpenKey(kMaker, false) ||
        !reg.OpenKey(kProduct, false))
        return;
    if (!reg.OpenKey(kPreferences, false)) {
        OutputChoiceRG->SetItemIndex(3);
        SetPlaceIndex(2);
        FormatExcelCB->setChecked(true);
        return;
    }
    // A missing "Choice" or "Place" raises the registry's error; the presets stay.
    const int choice = reg.ReadInteger(QStringLiteral("Choice"));
    const int place = reg.ReadInteger(QStringLiteral("Place"));
    OutputChoiceRG->SetItemIndex(std::clamp(choice, 0, OutputChoiceRG->Count() - 1));
    SetPlaceIndex(place);
    if (reg.ValueIsInteger(QStringLiteral("Format")))
        FormatExcelCB->setChecked(reg.ReadInteger(QStringLiteral("Format")) == 1);
}

void TsaveexcelQVXcomform::SaveOutputPrefsToRegistry() {
    TRegistry reg;
    if (!reg.OpenKey(kSoftware, false)) return;
    if (!reg.OpenKey(kMaker, true) || !reg.OpenKey(kProduct, true) ||
        !reg.OpenKey(kPreferences, true))
        return;
    reg.WriteInteger(QStringLiteral("Choice"), OutputChoiceRG->ItemIndex());
    reg.WriteInteger(QStringLiteral("Place"), PlaceIndex());
    reg.WriteInteger(QStringLiteral("Format"), FormatExcelCB->isChecked() ? 1 : 0);
    reg.Flush();
}

bool TExcelcom::ExecuteSaveDialog(TexcelsaveQVX& record) {
    // The dialog's own component: its self-bracketing lists and selects must not end a
    // connection that the caller holds.
    TExcelcom excelout(PipeName());
    TsaveexcelQVXcomform dialog(excelout);
    dialog.Preset(record);
    if (DialogHooks().runModal(dialog) != 1) return false;
    dialog.ReadBack(record);
    return true;
}

}  // namespace qurvex
