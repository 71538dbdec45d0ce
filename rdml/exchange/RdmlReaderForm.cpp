// SPDX-License-Identifier: GPL-3.0-or-later
#include "rdml/exchange/RdmlReaderForm.h"

#include <QCoreApplication>
#include <algorithm>

namespace qurvex {

TRdmlReaderForm::TRdmlReaderForm(const QString& caption, QWidget* parent)
    : QWidget(parent, Qt::Window), progressBar_(new QProgressBar(this)) {
    setWindowTitle(caption);
    setFixedSize(593, 48);
    progressBar_->setGeometry(16, 16, 561, 16);
    progressBar_->setTextVisible(false);
    SetSteps(0);
}

void TRdmlReaderForm::SetSteps(int maximum) {
    progressBar_->setRange(0, std::max(0, maximum));
    progressBar_->setValue(0);
}

void TRdmlReaderForm::StepTo(int position) {
    progressBar_->setValue(position);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace qurvex
