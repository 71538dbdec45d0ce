// SPDX-License-Identifier: GPL-3.0-or-later
// Watches the GUI thread from a thread of its own: when an action has not
// returned within the limit, it prints the action log and the GUI thread's
// stack to the standard error and ends the process. Nothing of Qt runs in the
// watching thread, so a GUI thread stuck inside Qt (a layout, a nested event
// loop) is still caught.
#pragma once

#include <QString>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

namespace qurvex::testing {

class THangWatchdog {
public:
    // `limit`: how long one action may take before it counts as a hang.
    explicit THangWatchdog(std::chrono::milliseconds limit);
    ~THangWatchdog();
    THangWatchdog(const THangWatchdog&) = delete;
    THangWatchdog& operator=(const THangWatchdog&) = delete;

    // Adds a line to the log (kept: the last few hundred lines).
    void Log(const QString& line);
    // The GUI thread starts an action (the clock runs) and returns from it.
    void Begin();
    void End();
    // The log as it stands, oldest line first.
    std::string Tail(std::size_t lines) const;

private:
    void Watch();
    void Fire();

    const std::chrono::milliseconds limit_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::string> log_;
    bool running_ = false;  // inside an action
    std::chrono::steady_clock::time_point started_;
    bool stop_ = false;
    std::thread thread_;
};

}  // namespace qurvex::testing
