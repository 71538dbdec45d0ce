// SPDX-License-Identifier: GPL-3.0-or-later
#include "rdml/exchange/ChooseXMLForm.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace qurvex {

TChooseXMLForm::TChooseXMLForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      zipcontentCB(new QComboBox(this)),
      OpenButton(new QPushButton("Open", this)),
      Label1(new QLabel(
          "The expected 'rdml_data.xml' was not found, please choose the right qPCR data file",
          this)),
      Label2(new QLabel("XML-files present in archive: ", this)) {
    setWindowTitle("Choose file that contains qPCR data");
    auto* row = new QHBoxLayout;
    row->addWidget(Label2);
    row->addWidget(zipcontentCB, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addLayout(row);
    layout->addWidget(OpenButton, 0, Qt::AlignRight);
    connect(OpenButton, &QPushButton::clicked, this, &TChooseXMLForm::OpenButtonClick);
}

void TChooseXMLForm::SetEntries(const std::vector<std::string>& names) {
    zipcontentCB->clear();
    for (const auto& name : names) zipcontentCB->addItem(QString::fromStdString(name));
    zipcontentCB->setCurrentIndex(names.empty() ? -1 : 0);
}

void TChooseXMLForm::OpenButtonClick() {
    const int index = zipcontentCB->currentIndex();
    if (index >= 0) done(index + 1);
}

int TChooseXMLForm::Choose(QWidget* parent, const std::vector<std::string>& names) {
    TChooseXMLForm form(parent);
    form.SetEntries(names);
    if (parent) form.move(parent->geometry().center() - form.rect().center());
    return form.exec() - 1;
}

}  // namespace qurvex
