// SPDX-License-Identifier: GPL-3.0-or-later
// What every window test uses: the window fixture, the widget headers, a
// picture helper and the tests' main().
#pragma once

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

#include "mainwindow/QurvexApplication.h"
#include "spreadsheet/RadioGroup.h"
#include "tests/mainwindow/ScopedCalcPipe.h"
#include "tests/mainwindow/WindowFixture.h"

namespace qurvex::testing {

// Creates the window, shows it and waits until it is active, so that clicks
// give the focus and the keyboard reaches its controls.
inline Tmainform& showActive(TWindowFixture& f, const QStringList& parameters = {}) {
    Tmainform& w = f.create(parameters);
    QSignalSpy activated(&w, &Tmainform::activated);
    w.show();
    if (!activated.wait(5000)) qWarning("the window was not activated");
    w.activateWindow();
    if (!QTest::qWaitForWindowActive(&w)) qWarning("the window is not active");
    return w;
}

// Lets pending paints happen, then saves the widget's picture in the test
// artefacts folder; false when it could not be written or shows one colour only.
inline bool snapshot(QWidget& widget, const QString& name) {
    QTest::qWait(50);
    const QString dir = QStringLiteral(QURVEX_ARTIFACT_DIR);
    QDir().mkpath(dir);
    const QImage image = widget.grab().toImage();
    if (image.isNull() || !image.save(dir + QLatin1Char('/') + name)) return false;
    for (int y = 0; y < image.height(); y += 7)
        for (int x = 0; x < image.width(); x += 7)
            if (image.pixel(x, y) != image.pixel(0, 0)) return true;
    return false;
}

}  // namespace qurvex::testing

// main() of a window test: the program's own application object, so that an
// exception in a handler ends in an error box as it does for a user; no Calc of the user.
#define QURVEX_WINDOW_TEST_MAIN(TestClass)          \
    int main(int argc, char** argv) {               \
        qurvex::TQurvexApplication app(argc, argv); \
        qurvex::testing::EnsureOwnCalcPipe();       \
        TestClass test;                             \
        return QTest::qExec(&test, argc, argv);     \
    }
