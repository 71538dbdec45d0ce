// SPDX-License-Identifier: GPL-3.0-or-later
// Saving a 384-well run as Compact + Complete: building the two grids (no office), writing them,
// and the whole save (means, Cq, dialog answered at once, sheets added and written) into a
// private headless LibreOffice that this program starts and ends. Without LibreOffice the
// office benchmarks are skipped with a message.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "bench/spreadsheet/BenchOffice.h"
#include "engine/Engine.h"
#include "spreadsheet/ExcelExport.h"
#include "spreadsheet/Excelcom.h"
#include "tests/engine/support/SyntheticRun.h"

using namespace qurvex;

namespace {

// A 384-well plate of 4 targets, analysed up to the baseline step.
TEngine& analysedRun() {
    static TEngine engine;
    static const bool done = [] {
        testing::loadSyntheticRun(engine, testing::makePlate(384, 4, 0.002, 11));
        engine.silentmode = true;
        engine.inputsheetname = "plate384";
        engine.ProcessDataAfterRead();
        engine.BaselineButtonPanelClick();
        engine.calc_mean_ButtonClick();
        ApplyMeanEfficiencyCq(engine);
        return true;
    }();
    (void)done;
    return engine;
}

TSaveChoices bothSheets() {
    TSaveChoices choices;
    choices.outputchoice = kCompactAndComplete;
    choices.targetname = "target";
    choices.datetext = "07/12/2026";
    return choices;
}

struct InstantAsker : ISaveAsker {
    QString book;
    void information(const QString&) override {}
    void error(const QString& text) override { std::fputs(qPrintable(text + "\n"), stderr); }
    bool askSaveRecord(TExcelcom&, TexcelsaveQVX& record) override {
        record.book = book;
        record.outputchoice = kCompactAndComplete;
        record.outputplace = 2;
        record.formatoutput = true;
        return true;
    }
};

void BM_BuildGrids384(benchmark::State& state) {
    const TEngine& engine = analysedRun();
    const TSaveChoices choices = bothSheets();
    for (auto _ : state) {
        const TSampleCodes codes = BuildSampleCodes(engine);
        auto sheets = BuildResultSheets(engine, engine.options, choices, codes);
        benchmark::DoNotOptimize(sheets.data());
    }
}
BENCHMARK(BM_BuildGrids384)->Unit(benchmark::kMillisecond);

void BM_WriteGrids384(benchmark::State& state) {
    if (!bench::officeProblem("export").empty()) {
        state.SkipWithError(bench::officeProblem("export").c_str());
        return;
    }
    const TEngine& engine = analysedRun();
    const auto sheets =
        BuildResultSheets(engine, engine.options, bothSheets(), BuildSampleCodes(engine));
    TExcelcom com;
    com.NewWorkbook();
    const QString names[2] = {com.AddSheetLast("w_output"), com.AddSheetLast("w_compact")};
    for (auto _ : state)
        for (int i = 0; i < 2; ++i) {
            com.SelectSheet(names[i]);
            com.AttachExcel();
            WriteResultSheet(com, sheets[i], state.range(0) == 1);
            com.DetachExcel();
        }
}
// Arg 1: formatted (number formats, column formats, widths, centring); arg 0: values only.
BENCHMARK(BM_WriteGrids384)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(10);

// The whole save into an open workbook (arg 0) or a new one (arg 1).
void BM_WholeSave384(benchmark::State& state) {
    if (!bench::officeProblem("export").empty()) {
        state.SkipWithError(bench::officeProblem("export").c_str());
        return;
    }
    TEngine& engine = analysedRun();
    TExcelcom com;
    com.NewWorkbook();
    InstantAsker asker;
    asker.book = state.range(0) == 1 ? kNewBook : com.CurrentWorkbook();
    for (auto _ : state) {
        const TSaveResult r = SavetoExcel(com, engine, bothSheets(), asker);
        if (r.outcome != TSaveOutcome::Saved) state.SkipWithError("the save failed");
    }
}
BENCHMARK(BM_WholeSave384)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(10);

}  // namespace
