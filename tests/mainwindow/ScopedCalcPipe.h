// SPDX-License-Identifier: GPL-3.0-or-later
// The Calc pipe of a window test: one on which no office listens, for a scope or for the
// whole test program, so that no test reaches the Calc that the user opened for Qurvex.
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

namespace qurvex::testing {

// A pipe name of this test process on which no office listens.
inline QString NobodyPipe(const char* what) {
    return QStringLiteral("qurvex-test-nobody-%1-%2")
        .arg(QString::fromLatin1(what))
        .arg(QCoreApplication::applicationPid());
}

// Sets $QURVEX_CALC_PIPE for its scope and gives the previous value back at the end: a variable
// that was not set is removed again (an empty value would name the default pipe, the user's).
class TScopedCalcPipe {
public:
    explicit TScopedCalcPipe(const QString& pipe)
        : wasSet_(qEnvironmentVariableIsSet("QURVEX_CALC_PIPE")),
          previous_(qgetenv("QURVEX_CALC_PIPE")) {
        qputenv("QURVEX_CALC_PIPE", pipe.toUtf8());
    }
    ~TScopedCalcPipe() {
        if (wasSet_)
            qputenv("QURVEX_CALC_PIPE", previous_);
        else
            qunsetenv("QURVEX_CALC_PIPE");
    }
    TScopedCalcPipe(const TScopedCalcPipe&) = delete;
    TScopedCalcPipe& operator=(const TScopedCalcPipe&) = delete;

private:
    bool wasSet_;
    QByteArray previous_;
};

// A test program started by hand, without the pipe that CTest gives every test: no office.
inline void EnsureOwnCalcPipe() {
    if (qEnvironmentVariableIsEmpty("QURVEX_CALC_PIPE"))
        qputenv("QURVEX_CALC_PIPE", NobodyPipe("program").toUtf8());
}

}  // namespace qurvex::testing
