// SPDX-License-Identifier: GPL-3.0-or-later
// Keeps exceptions from unwinding through Qt: a handler's unhandled exception
// ends in an error box holding its text, and the program goes on.
#pragma once

#include <QString>
#include <exception>
#include <utility>

#include "mainwindow/Prompter.h"

namespace qurvex {

// The text shown for the exception being handled: what() of a std::exception,
// "unknown error" for anything else. Call only inside a catch block.
QString currentExceptionText();

// Shows the error box for the exception being handled. Never throws; with a
// null prompter the text goes to the log only. Call only inside a catch block.
void reportCurrentException(IPrompter* prompter) noexcept;

// Runs `handler`; an exception it lets through is reported and swallowed.
// Returns false when the handler ended with an exception.
template <class F>
bool runGuarded(IPrompter* prompter, F&& handler) noexcept {
    try {
        std::forward<F>(handler)();
        return true;
    } catch (...) {
        reportCurrentException(prompter);
        return false;
    }
}

}  // namespace qurvex
