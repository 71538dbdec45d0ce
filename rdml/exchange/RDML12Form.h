// SPDX-License-Identifier: GPL-3.0-or-later
// The reader window of RDML 1.2 documents (also used for 1.3).
#pragma once

#include "rdml/exchange/RdmlReaderForm.h"

namespace qurvex {

class TRDML12 : public TRdmlReaderForm {
    Q_OBJECT
public:
    explicit TRDML12(QWidget* parent = nullptr);
};

}  // namespace qurvex
