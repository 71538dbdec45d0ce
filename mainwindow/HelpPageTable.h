// SPDX-License-Identifier: GPL-3.0-or-later
// The pages of the help window. The same texts, in the same order, make up
// the printed manual.
#pragma once

#include <vector>

namespace qurvex {

struct THelpPage {
    const char* caption;   // tab caption
    const char* resource;  // file name under docs/help/, without ".html"
    const char* parent;    // caption of the page it sits on, or nullptr for a main page
};

// Every page in the order shown.
const std::vector<THelpPage>& HelpPageTable();

}  // namespace qurvex
