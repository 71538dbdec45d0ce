// SPDX-License-Identifier: GPL-3.0-or-later
// Keeps a copy of the whole run state and puts it back when it goes out of
// scope, whatever way the scope is left (end, stop by the user, error): an
// experiment on the run may change baselines, windows and results while it
// runs, but the run afterwards is exactly the run before. The window is then
// asked to redraw (do_cascade redraw only).
#pragma once

#include "engine/Engine.h"

namespace qurvex {

class TRunRestore {
public:
    explicit TRunRestore(TEngine& e) : e_(e), saved_(static_cast<const TRunState&>(e)) {}
    ~TRunRestore() {
        static_cast<TRunState&>(e_) = saved_;
        try {
            e_.do_cascade(true, 1, 2);
        } catch (...) {
            // A failing redraw must not end the program from a destructor;
            // the state is already back.
        }
    }
    TRunRestore(const TRunRestore&) = delete;
    TRunRestore& operator=(const TRunRestore&) = delete;

private:
    TEngine& e_;
    TRunState saved_;
};

}  // namespace qurvex
