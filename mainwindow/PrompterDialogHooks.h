// SPDX-License-Identifier: GPL-3.0-or-later
// While alive, the spreadsheet dialogs (read and save dialog) run their modal
// windows and show their errors through the window's prompter; the previous
// hooks come back at the end.
#pragma once

#include "spreadsheet/ReadExcelDialog.h"

namespace qurvex {

class IPrompter;

class TPrompterDialogHooks {
public:
    explicit TPrompterDialogHooks(IPrompter& prompter);
    ~TPrompterDialogHooks();
    TPrompterDialogHooks(const TPrompterDialogHooks&) = delete;
    TPrompterDialogHooks& operator=(const TPrompterDialogHooks&) = delete;

private:
    TDialogHooks saved_;
};

}  // namespace qurvex
