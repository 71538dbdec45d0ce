// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/mainwindow/HangWatchdog.h"

#include <pthread.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

#if defined(__has_include)
#if __has_include(<sanitizer/common_interface_defs.h>) && \
    (defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_UNDEFINED__))
#include <sanitizer/common_interface_defs.h>
#define QURVEX_HAVE_SANITIZER_STACK 1
#endif
#endif
#ifndef QURVEX_HAVE_SANITIZER_STACK
#include <execinfo.h>
#endif

namespace qurvex::testing {

namespace {

pthread_t g_guiThread;

// Runs in the GUI thread, wherever it is stuck: its stack, then the end.
extern "C" void printStackAndExit(int) {
    static const char head[] = "---- stack of the GUI thread ----\n";
    (void)!write(STDERR_FILENO, head, sizeof head - 1);
#ifdef QURVEX_HAVE_SANITIZER_STACK
    __sanitizer_print_stack_trace();
#else
    void* frames[64];
    backtrace_symbols_fd(frames, backtrace(frames, 64), STDERR_FILENO);
#endif
    _exit(3);
}

}  // namespace

THangWatchdog::THangWatchdog(std::chrono::milliseconds limit) : limit_(limit) {
    g_guiThread = pthread_self();
    std::signal(SIGUSR2, printStackAndExit);
    thread_ = std::thread([this] { Watch(); });
}

THangWatchdog::~THangWatchdog() {
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void THangWatchdog::Log(const QString& line) {
    const std::string text = line.toStdString();
    const std::lock_guard lock(mutex_);
    log_.push_back(text);
    if (log_.size() > 400) log_.pop_front();
}

void THangWatchdog::Begin() {
    {
        const std::lock_guard lock(mutex_);
        running_ = true;
        started_ = std::chrono::steady_clock::now();
    }
    wake_.notify_all();
}

void THangWatchdog::End() {
    const std::lock_guard lock(mutex_);
    running_ = false;
}

std::string THangWatchdog::Tail(std::size_t lines) const {
    const std::lock_guard lock(mutex_);
    std::string out;
    const std::size_t from = log_.size() > lines ? log_.size() - lines : 0;
    for (std::size_t i = from; i < log_.size(); ++i) out += log_[i] + '\n';
    return out;
}

void THangWatchdog::Watch() {
    std::unique_lock lock(mutex_);
    while (!stop_) {
        if (running_ && std::chrono::steady_clock::now() - started_ > limit_) {
            lock.unlock();
            Fire();
            return;
        }
        wake_.wait_for(lock, std::chrono::milliseconds(100));
    }
}

void THangWatchdog::Fire() {
    const std::string tail = Tail(400);
    std::fprintf(stderr,
                 "\nHANG: the last action below has not returned within %lld ms.\n"
                 "---- action log (oldest first) ----\n%s",
                 static_cast<long long>(limit_.count()), tail.c_str());
    std::fflush(stderr);
    pthread_kill(g_guiThread, SIGUSR2);
    std::this_thread::sleep_for(std::chrono::seconds(5));
    _exit(3);  // the GUI thread did not take the signal
}

}  // namespace qurvex::testing
