// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and writing a 384 x 60 block (a 384-well run of 60 cycles) through TExcelcom on a
// private headless LibreOffice that this program starts and ends. Without LibreOffice the
// benchmarks are skipped with a message.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QString>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "bench/spreadsheet/BenchOffice.h"
#include "spreadsheet/Excelcom.h"

using namespace qurvex;

namespace {

constexpr int kRows = 384;
constexpr int kCols = 60;

// One folder per user: its profile path fixes the office's private socket name, so repeated
// runs reuse one socket file instead of leaving one per run.

// Numbers (Cq-like fluorescence values) with a text header row and a few empty cells.
TCellBlock runBlock() {
    TCellBlock block(kRows, std::vector<TCellValue>(kCols));
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kCols; ++c) {
            if (r == 0)
                block[r][c] = TCellValue::Text(QStringLiteral("cycle %1").arg(c + 1));
            else if ((r + c) % 97 == 0)
                block[r][c] = TCellValue::Empty();
            else
                block[r][c] = TCellValue::Number(1000.0 + r * 0.37 + c * c * 0.011);
        }
    return block;
}

void BM_WriteBlock384x60(benchmark::State& state) {
    if (!bench::officeProblem("excelcom").empty()) {
        state.SkipWithError(bench::officeProblem("excelcom").c_str());
        return;
    }
    TExcelcom com;
    const TCellBlock block = runBlock();
    com.AttachExcel();
    for (auto _ : state) com.WriteValueToRange(1, kCols, 1, kRows, block);
    com.DetachExcel();
}
BENCHMARK(BM_WriteBlock384x60)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

void BM_WriteArrayWithFormat384x60(benchmark::State& state) {
    if (!bench::officeProblem("excelcom").empty()) {
        state.SkipWithError(bench::officeProblem("excelcom").c_str());
        return;
    }
    TExcelcom com;
    const TCellBlock block = runBlock();
    com.AttachExcel();
    for (auto _ : state) com.WriteArrayToRange(1, kCols, 1, kRows, block);
    com.DetachExcel();
}
BENCHMARK(BM_WriteArrayWithFormat384x60)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(20);

void BM_ReadBlock384x60(benchmark::State& state) {
    if (!bench::officeProblem("excelcom").empty()) {
        state.SkipWithError(bench::officeProblem("excelcom").c_str());
        return;
    }
    TExcelcom com;
    com.AttachExcel();
    com.WriteValueToRange(1, kCols, 1, kRows, runBlock());
    TCellBlock back;
    for (auto _ : state) {
        com.ReadRange(1, kCols, 1, kRows, back);
        benchmark::DoNotOptimize(back.data());
    }
    com.DetachExcel();
}
BENCHMARK(BM_ReadBlock384x60)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

}  // namespace
