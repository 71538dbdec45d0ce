// SPDX-License-Identifier: GPL-3.0-or-later
// Importing a 384-well x 40-cycle QuantStudio "Amplification Data" block (layout 16) from an
// open Calc workbook to an analysed run, in three parts: the block transfer from Calc (one
// ReadRange call), the cut into a run (of number cells, and of text numbers), and the analysis
// (loadrun, ProcessDataAfterRead, ExtraExcelProcessing). This program starts and ends a private
// headless LibreOffice; without one the transfer benchmark is skipped with a message.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QString>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <string>
#include <thread>

#include "bench/spreadsheet/BenchOffice.h"
#include "engine/Engine.h"
#include "spreadsheet/Excelcom.h"
#include "spreadsheet/InstrumentLayouts.h"

using namespace qurvex;

namespace {

constexpr int kWells = 384;
constexpr int kCycles = 40;
constexpr int kRows = kWells * kCycles + 1;
constexpr int kCols = 6;

// The export's arrangement: Well, Well Position, Cycle, Target Name, Rn, Delta Rn; every well
// holds a sigmoid amplification curve on a background of 1.
const TCellBlock& quantStudioBlock() {
    static const TCellBlock block = [] {
        TCellBlock b(kRows, std::vector<TCellValue>(kCols));
        const char* heads[] = {"Well", "Well Position", "Cycle", "Target Name", "Rn", "Delta Rn"};
        for (int c = 0; c < kCols; ++c) b[0][c] = TCellValue::Text(QString::fromLatin1(heads[c]));
        for (int w = 0; w < kWells; ++w)
            for (int i = 1; i <= kCycles; ++i) {
                auto& row = b[static_cast<std::size_t>(w * kCycles + i)];
                const double delta = 8.0 / (1.0 + std::exp(-(i - 18.0 - w % 7) / 1.6));
                row[0] = TCellValue::Number(w + 1);
                row[1] = TCellValue::Text(
                    QStringLiteral("%1%2").arg(QChar('A' + w / 24)).arg(w % 24 + 1));
                row[2] = TCellValue::Number(i);
                row[3] = TCellValue::Text(QStringLiteral("GAPDH"));
                row[4] = TCellValue::Number(1.0 + delta + 0.001 * (i % 3));
                row[5] = TCellValue::Number(delta);
            }
        return b;
    }();
    return block;
}

TexcelreadQVX record() {
    TexcelreadQVX r;
    r.filetype = 16;
    r.book = QStringLiteral("bench");
    r.sheet = QStringLiteral("Amplification Data");
    r.startcol = 1;
    r.stopcol = kCols;
    r.startrow = 1;
    r.stoprow = kRows;
    return r;
}

struct TNoAnswers : TImportAsker {
    QString InputBox(const QString&, const QString&, const QString& d) override { return d; }
    bool AskYesNo(const QString&, const QString&) override { return true; }
};

void BM_Transfer384x40(benchmark::State& state) {
    if (!bench::officeProblem("import").empty()) {
        state.SkipWithError(bench::officeProblem("import").c_str());
        return;
    }
    TExcelcom com;
    com.AttachExcel();
    com.WriteValueToRange(1, kCols, 1, kRows, quantStudioBlock());
    com.DetachExcel();
    TCellBlock back;
    for (auto _ : state) {
        com.AttachExcel();
        com.ReadRange(1, kCols, 1, kRows, back);
        com.DetachExcel();
        benchmark::DoNotOptimize(back.data());
    }
    if (back != quantStudioBlock()) state.SkipWithError("the block did not come back unchanged");
}
BENCHMARK(BM_Transfer384x40)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

void BM_Cut384x40(benchmark::State& state) {
    TNoAnswers user;
    const TexcelreadQVX r = record();
    for (auto _ : state) {
        TLayoutCut cut = CutInstrumentLayout(quantStudioBlock(), r, user);
        if (!cut.ok || cut.run.nsamples != kWells) state.SkipWithError("the cut failed");
        benchmark::DoNotOptimize(cut.run.rawfluor.data());
    }
}
BENCHMARK(BM_Cut384x40)->Unit(benchmark::kMillisecond);

// The same export with its cycles and values as texts in decimal commas, as a workbook in
// decimal points shows an export written with commas: every number is read from its text and
// its mark noted for the block's notation.
const TCellBlock& quantStudioTextBlock() {
    static const TCellBlock block = [] {
        TCellBlock b = quantStudioBlock();
        for (std::size_t r = 1; r < b.size(); ++r)
            for (std::size_t c : {2, 4, 5})
                b[r][c] = TCellValue::Text(QString::number(b[r][c].number, 'g', 15)
                                               .replace(QLatin1Char('.'), QLatin1Char(',')));
        return b;
    }();
    return block;
}

void BM_CutTextNumbers384x40(benchmark::State& state) {
    TNoAnswers user;
    const TexcelreadQVX r = record();
    for (auto _ : state) {
        TLayoutCut cut = CutInstrumentLayout(quantStudioTextBlock(), r, user, QLatin1Char('.'));
        if (!cut.ok || cut.run.nsamples != kWells) state.SkipWithError("the cut failed");
        benchmark::DoNotOptimize(cut.run.rawfluor.data());
    }
}
BENCHMARK(BM_CutTextNumbers384x40)->Unit(benchmark::kMillisecond);

void BM_Analysis384x40(benchmark::State& state) {
    TNoAnswers user;
    const TLayoutCut cut = CutInstrumentLayout(quantStudioBlock(), record(), user);
    for (auto _ : state) {
        TEngine engine;
        engine.ResetInterfaceAfterRead();
        engine.loadrun(cut.run);
        engine.ProcessDataAfterRead();
        engine.ExtraExcelProcessing();
        benchmark::DoNotOptimize(engine.ftval.data());
    }
}
BENCHMARK(BM_Analysis384x40)->Unit(benchmark::kMillisecond);

}  // namespace
