// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/QurvexApplication.h"

#include "mainwindow/ExceptionGuard.h"

namespace qurvex {

TQurvexApplication::TQurvexApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setOrganizationName(QStringLiteral("Norvane Labs"));
    setApplicationName(QStringLiteral("Qurvex"));
    setApplicationVersion(QStringLiteral("2021.2"));
}

bool TQurvexApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        reportCurrentException(errorPrompter_);
        return true;
    }
}

}  // namespace qurvex
