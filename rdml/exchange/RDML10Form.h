// SPDX-License-Identifier: GPL-3.0-or-later
// The reader window of RDML 1.0 documents.
#pragma once

#include "rdml/exchange/RdmlReaderForm.h"

namespace qurvex {

class TRDML10 : public TRdmlReaderForm {
    Q_OBJECT
public:
    explicit TRDML10(QWidget* parent = nullptr);
};

}  // namespace qurvex
