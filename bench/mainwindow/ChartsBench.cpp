// SPDX-License-Identifier: GPL-3.0-or-later
// Chart drawing on a 384-well run, offscreen: the all-samples chart drawn
// from scratch, and one change of the common upper limit (a refit of every
// sample and the redraw of the charts on screen), also as the user makes it
// (an up-down click after a pause) on 384 and 1536 wells.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTabWidget>
#include <chrono>
#include <cmath>
#include <thread>

#include "bench/mainwindow/OffscreenApplication.h"
#include "mainwindow/ChartView.h"
#include "mainwindow/QurvexApplication.h"
#include "mainwindow/UpDown.h"
#include "tests/engine/support/SyntheticRun.h"
#include "tests/mainwindow/WindowFixture.h"

using namespace qurvex;

namespace {

// A window with a run of `wells` wells (noise 0.002, 4 targets) after the
// baselines.
struct Plate {
    testing::TWindowFixture f;
    Tmainform* w = nullptr;
    explicit Plate(int wells = 384) {
        bench::OffscreenApplication();
        w = &f.createActive();
        w->resize(1280, 860);
        w->show();
        testing::loadSyntheticRun(w->Engine(), testing::makePlate(wells, 4, 0.002, 11));
        w->Engine().ProcessDataAfterRead();
        w->Determinebaselines1->trigger();
        w->FlushCharts();
        QApplication::processEvents();
    }
};

// Paints the chart's viewport as it appears on screen.
void paint(TChartView* chart, QImage& target) {
    if (target.size() != chart->viewport()->size())
        target = QImage(chart->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    chart->viewport()->render(&target);
}

void BM_AllSamplesFromScratch(benchmark::State& state) {
    Plate plate;
    Tmainform& w = *plate.w;
    QImage image;
    const int points = static_cast<int>(
        w.allsampchart->Series(QStringLiteral("Ser_allsamppoints"))->points.size());
    for (auto _ : state) {
        w.plotallsamps();
        w.FlushCharts();               // the series rebuilt from the run
        paint(w.allsampchart, image);  // curves and points painted anew
    }
    state.counters["points"] = points;
}
BENCHMARK(BM_AllSamplesFromScratch)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The same, with the whole chart widget grabbed (frame, axes and labels too).
void BM_AllSamplesWholeWidget(benchmark::State& state) {
    Plate plate;
    Tmainform& w = *plate.w;
    for (auto _ : state) {
        w.plotallsamps();
        w.FlushCharts();
        benchmark::DoNotOptimize(w.allsampchart->grab());
    }
}
BENCHMARK(BM_AllSamplesWholeWidget)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_CommonUpperLimitChange(benchmark::State& state) {
    Plate plate;
    Tmainform& w = *plate.w;
    TEngine& e = w.Engine();
    QImage a, b;
    const double base = e.uplim[0];
    int k = 0;
    for (auto _ : state) {
        e.endlimitedit();
        e.applylimitedit(TLimitEdit::cuplimedit, base - 0.05 * (++k % 2));  // refit of every sample
        w.FlushCharts();
        paint(w.allsampchart, a);
        paint(w.PCR_eff_Chart, b);
    }
}
BENCHMARK(BM_CommonUpperLimitChange)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// One click on the common upper limit's up-down after the user paused (not
// timed): the refit and every redraw it causes, until the event loop is idle.
void BM_CommonLimitUserAction(benchmark::State& state) {
    Plate plate(static_cast<int>(state.range(0)));
    Tmainform& w = *plate.w;
    int k = 0;
    const int before = w.ChartDraws(w.allsampchart);
    for (auto _ : state) {
        state.PauseTiming();
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        state.ResumeTiming();
        emit w.cupUD->Click(++k % 2 ? TUpDown::TUDBtnType::btPrev : TUpDown::TUDBtnType::btNext);
        QApplication::processEvents();
    }
    state.counters["draws"] = benchmark::Counter(w.ChartDraws(w.allsampchart) - before,
                                                 benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_CommonLimitUserAction)
    ->Arg(384)
    ->Arg(1536)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(12);

}  // namespace
