// SPDX-License-Identifier: GPL-3.0-or-later
#include "rdml/exchange/RDML11Form.h"

namespace qurvex {

// Opens at its design position.
TRDML11::TRDML11(QWidget* parent) : TRdmlReaderForm("Reading from RDML 1.1", parent) {
    move(192, 117);
}

}  // namespace qurvex
