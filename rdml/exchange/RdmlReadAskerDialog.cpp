// SPDX-License-Identifier: GPL-3.0-or-later
#include "rdml/exchange/RdmlReadAskerDialog.h"

#include <QCoreApplication>
#include <QMessageBox>

#include "rdml/exchange/ChooseXMLForm.h"
#include "rdml/exchange/RDML10Form.h"
#include "rdml/exchange/RDML11Form.h"
#include "rdml/exchange/RDML12Form.h"

namespace qurvex {

TRdmlReadAskerDialog::TRdmlReadAskerDialog(QWidget* parent) : parent_(parent) {}

TRdmlReadAskerDialog::~TRdmlReadAskerDialog() = default;

bool TRdmlReadAskerDialog::ConfirmBaselineCorrected(const std::string& title,
                                                    const std::string& text) {
    return QMessageBox::question(parent_, QString::fromStdString(title),
                                 QString::fromStdString(text),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

int TRdmlReadAskerDialog::ChooseXmlEntry(const std::vector<std::string>& names) {
    return TChooseXMLForm::Choose(parent_, names);
}

void TRdmlReadAskerDialog::Message(TRdmlMessageKind kind, const std::string& text) {
    const QString message = QString::fromStdString(text);
    if (kind == TRdmlMessageKind::warning)
        QMessageBox::warning(parent_, QCoreApplication::applicationName(), message);
    else
        QMessageBox::information(parent_, QCoreApplication::applicationName(), message);
}

void TRdmlReadAskerDialog::ReaderOpened(const std::string& caption, int maximum) {
    if (!reader_) {
        if (caption.ends_with("1.0"))
            reader_ = std::make_unique<TRDML10>();
        else if (caption.ends_with("1.1"))
            reader_ = std::make_unique<TRDML11>();
        else
            reader_ = std::make_unique<TRDML12>();
        reader_->show();
    }
    reader_->SetSteps(maximum);
    Pump();
}

void TRdmlReadAskerDialog::ReaderStep(int position) {
    if (reader_) reader_->StepTo(position);
}

void TRdmlReadAskerDialog::ReaderClosed() { reader_.reset(); }

void TRdmlReadAskerDialog::Pump() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace qurvex
