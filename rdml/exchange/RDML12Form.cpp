// SPDX-License-Identifier: GPL-3.0-or-later
#include "rdml/exchange/RDML12Form.h"

#include <QGuiApplication>
#include <QScreen>

namespace qurvex {

// Opens at the centre of the screen.
TRDML12::TRDML12(QWidget* parent) : TRdmlReaderForm("Reading from RDML 1.2", parent) {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

}  // namespace qurvex
