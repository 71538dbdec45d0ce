// SPDX-License-Identifier: GPL-3.0-or-later
// Grid columns sized to their texts on a 384-well run of 45 cycles, offscreen:
// the input grid (386 rows by 47 columns, the biggest grid of the window)
// sized as the window does after a fill, Qt's own sizing of the same grid for
// comparison, and the whole fill of the input and valid-data grids followed
// by their sizing.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTableWidget>

#include "bench/mainwindow/OffscreenApplication.h"
#include "mainwindow/GridColumnSizer.h"
#include "mainwindow/Mainform.h"
#include "tests/engine/support/SyntheticRun.h"
#include "tests/mainwindow/WindowFixture.h"

using namespace qurvex;

namespace {

// A shown window with a 384-well run read, its Data page in front.
struct Plate {
    testing::TWindowFixture f;
    Tmainform* w = nullptr;
    Plate() {
        bench::OffscreenApplication();
        w = &f.createActive();
        w->resize(1280, 860);
        w->show();
        testing::loadSyntheticRun(w->Engine(), testing::makePlate(384, 4, 0.002, 11));
        w->Engine().ProcessDataAfterRead();
        w->PageControl1->setCurrentWidget(w->TabSheetData);
        QApplication::processEvents();
    }
};

void BM_SizeInputGrid(benchmark::State& state) {
    Plate plate;
    for (auto _ : state) TGridColumnSizer::SizeColumns(*plate.w->inputgrid);
    state.counters["cells"] = plate.w->inputgrid->rowCount() * plate.w->inputgrid->columnCount();
}
BENCHMARK(BM_SizeInputGrid)->Unit(benchmark::kMillisecond);

void BM_QtResizeInputGrid(benchmark::State& state) {
    Plate plate;
    for (auto _ : state) plate.w->inputgrid->resizeColumnsToContents();
}
BENCHMARK(BM_QtResizeInputGrid)->Unit(benchmark::kMillisecond);

void BM_FillAndSizeDataGrids(benchmark::State& state) {
    Plate plate;
    for (auto _ : state) {
        plate.w->FillDataGrids();
        TGridColumnSizer::SizeColumns(*plate.w->inputgrid);
        TGridColumnSizer::SizeColumns(*plate.w->validdataSG);
    }
}
BENCHMARK(BM_FillAndSizeDataGrids)->Unit(benchmark::kMillisecond);

}  // namespace
