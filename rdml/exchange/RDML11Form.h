// SPDX-License-Identifier: GPL-3.0-or-later
// The reader window of RDML 1.1 documents.
#pragma once

#include "rdml/exchange/RdmlReaderForm.h"

namespace qurvex {

class TRDML11 : public TRdmlReaderForm {
    Q_OBJECT
public:
    explicit TRDML11(QWidget* parent = nullptr);
};

}  // namespace qurvex
