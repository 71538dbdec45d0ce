// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/StartSwitches.h"

namespace qurvex {

TStartSwitches ParseStartSwitches(const QStringList& parameters) {
    TStartSwitches result;
    for (const QString& raw : parameters) {
        const QString p = raw.toLower();
        if (p == QLatin1String("s")) result.silentmode = true;
        if (p == QLatin1String("x")) result.scratchmode = true;
        if (p == QLatin1String("m")) result.expertmode = true;
        if (p == QLatin1String("w")) result.workshopmode = true;
        if (p.size() >= 2) {
            if (p.at(0) == QLatin1Char('j')) result.usebaselinezw = true;
            const QChar digit = p.at(1);
            if (digit >= QLatin1Char('3') && digit <= QLatin1Char('9'))
                result.wolpoints = digit.unicode() - u'0';
        }
    }
    return result;
}

}  // namespace qurvex
