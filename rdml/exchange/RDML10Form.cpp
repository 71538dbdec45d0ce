// SPDX-License-Identifier: GPL-3.0-or-later
#include "rdml/exchange/RDML10Form.h"

namespace qurvex {

// Opens at its design position.
TRDML10::TRDML10(QWidget* parent) : TRdmlReaderForm("Reading from RDML 1.0", parent) {
    move(192, 107);
}

}  // namespace qurvex
