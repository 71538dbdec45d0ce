// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/ProgramStart.h"

#include "mainwindow/Mainform.h"
#include "mainwindow/ProgramIcon.h"
#include "mainwindow/QtPrompter.h"
#include "mainwindow/QurvexApplication.h"
#include "mainwindow/WheelRewrite.h"

namespace qurvex {

int RunProgram(int argc, char** argv) {
    TQurvexApplication app(argc, argv);
    app.setWindowIcon(ProgramIcon());
    TQtPrompter prompter;
    app.setErrorPrompter(&prompter);
    TWheelRewrite wheel;
    app.installEventFilter(&wheel);

    QStringList parameters = QCoreApplication::arguments();
    if (!parameters.isEmpty()) parameters.removeFirst();
    TMainformServices services;
    services.prompter = &prompter;
    Tmainform mainform(parameters, services);
    prompter.setParent(&mainform);
    mainform.show();
    const int code = app.exec();
    app.setErrorPrompter(nullptr);
    return code;
}

}  // namespace qurvex
