// SPDX-License-Identifier: GPL-3.0-or-later
// A private headless LibreOffice for a spreadsheet benchmark program: started
// once (own profile folder and pipe, through the test fixture's scripts) and
// ended when the program exits.
#pragma once

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "spreadsheet/Excelcom.h"

namespace qurvex::bench {

// The office's state folder for benchmark `name` (one per program and user).
inline std::string officeStateDir(const std::string& name) {
    return "/tmp/qurvex-" + name + "-bench-office-" + std::to_string(getuid());
}

inline std::string& runningOfficeDir() {
    static std::string dir;
    return dir;
}

inline void stopOffice() {
    const std::string cmd =
        std::string(QURVEX_OFFICE_SCRIPTS "/office-stop.sh ") + runningOfficeDir();
    if (std::system(cmd.c_str()) != 0) std::fputs("could not stop the benchmark office\n", stderr);
}

// Starts the office of benchmark `name` once and opens a workbook in it; ""
// when it runs, else the reason (the benchmark is then skipped with it).
inline const std::string& officeProblem(const std::string& name) {
    static const std::string problem = [&name] {
        const std::string pipe = "qurvex-" + name + "-bench-" + std::to_string(getpid());
        setenv("QURVEX_CALC_PIPE", pipe.c_str(), 1);
        runningOfficeDir() = officeStateDir(name);
        const std::string cmd = std::string(QURVEX_OFFICE_SCRIPTS "/office-start.sh ") +
                                runningOfficeDir() + " " + pipe;
        if (std::system(cmd.c_str()) != 0) return std::string("LibreOffice could not be started");
        std::atexit(stopOffice);
        TExcelcom probe;
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (std::chrono::steady_clock::now() < end) {
            try {
                probe.IsExcelRunning();
                probe.NewWorkbook();
                return std::string();
            } catch (const EExcelError&) {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
        }
        return std::string("LibreOffice did not accept within 30 s: benchmark skipped");
    }();
    return problem;
}

}  // namespace qurvex::bench
