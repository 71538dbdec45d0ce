// SPDX-License-Identifier: GPL-3.0-or-later
// Builds a main window for a test: scripted prompter, settings in an INI file
// of the test's own, documents in a folder of the test's own.
#pragma once

#include <QTemporaryDir>
#include <memory>

#include "mainwindow/Mainform.h"
#include "spreadsheet/Registry.h"
#include "tests/mainwindow/ScriptedPrompter.h"

namespace qurvex::testing {

struct TWindowFixture {
    QTemporaryDir dir;
    TScriptedPrompter prompter;
    QString iniFile = dir.filePath(QStringLiteral("settings.ini"));
    std::unique_ptr<Tmainform> window;

    // Creates the window with the command-line parameters (FormCreate runs).
    Tmainform& create(const QStringList& parameters = {}) {
        TMainformServices services;
        services.prompter = &prompter;
        const QString ini = iniFile;
        services.registry = [ini] { return std::make_unique<TRegistry>(ini); };
        services.documentFolder = dir.path();
        window = std::make_unique<Tmainform>(parameters, services);
        return *window;
    }
    // Creates the window and runs the activation steps as the first show does.
    Tmainform& createActive(const QStringList& parameters = {}) {
        create(parameters);
        window->FormActivate();
        return *window;
    }
    std::unique_ptr<TRegistry> registry() const { return std::make_unique<TRegistry>(iniFile); }
};

}  // namespace qurvex::testing
