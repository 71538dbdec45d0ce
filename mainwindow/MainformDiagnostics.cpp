// SPDX-License-Identifier: GPL-3.0-or-later
// The scratch page's diagnostic tabs, the workshop tab and the "grid to
// Excel" buttons. The experiments are the engine's (TDiagnostics,
// TWorkshop); a refused one has already told the user through the view.
// Every experiment leaves the run as it was, so afterwards the edits, tables
// and charts are shown again from the run.
#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QTableWidget>

#include "engine/Diagnostics.h"
#include "engine/Workshop.h"
#include "mainwindow/GridTexts.h"
#include "mainwindow/Mainform.h"
#include "mainwindow/Prompter.h"
#include "spreadsheet/Excelcom.h"
#include "spreadsheet/GridExport.h"
#include "spreadsheet/RadioGroup.h"

namespace qurvex {

namespace {

QTableWidget* Grid(const Tmainform& form, const char* name) {
    return form.Control<QTableWidget>(name);
}

}  // namespace

// The "grid to Excel" buttons and the grids they copy. The tissue and
// amplicon-name grids and the RDML input grid come with their own pages.
const std::vector<std::pair<const char*, const char*>>& Tmainform::GridExportButtons() {
    static const std::vector<std::pair<const char*, const char*>> buttons{
        {"SetWoLToExcelButton", "StringGrid1"},
        {"InputGridToExcelButton", "inputgrid"},
        {"ValidDataToExcelButton", "validdataSG"},
        {"MeansGridToExcelButton", "means_Grid"},
        {"TestGridToExcelButton", "StringGridTest"},
        {"CtDriftLogLinToExcelButton", "StringGrid5"},
        {"BaselineStepsToExcelButton", "StringGrid7"},
        {"CtShiftToExcelButton", "StringGrid6"},
        {"ToExcelButtonX", "StringGrid2"},
        {"startstoptoexcelButton", "StringGrid3"},
    };
    return buttons;
}

void Tmainform::ConnectSpreadsheetHandlers() {
    connect(ReadExcel1, &QAction::triggered, this,
            [this] { Guard([this] { ReadExcel1Click(); }); });
    connect(SavetoExcel1, &QAction::triggered, this,
            [this] { Guard([this] { SavetoExcel1Click(); }); });
    auto onClick = [this](const char* name, void (Tmainform::*handler)()) {
        if (auto* b = Control<QAbstractButton>(name))
            connect(b, &QAbstractButton::clicked, this,
                    [this, handler] { Guard([this, handler] { (this->*handler)(); }); });
    };
    onClick("DisplayBaselineStepsButton", &Tmainform::DisplayBaselineStepsButtonClick);
    onClick("RunsTestButton", &Tmainform::RunsTestButtonClick);
    onClick("CtShiftButton", &Tmainform::CtShiftButtonClick);
    onClick("CtDriftLogLinButton", &Tmainform::CtDriftLogLinButtonClick);
    onClick("displayStartStopButton2", &Tmainform::displayStartStopButton2Click);
    onClick("GetMinFluButton", &Tmainform::GetMinFluButtonClick);
    onClick("BaselineTrendButton", &Tmainform::BaselineTrendButtonClick);
    onClick("FillGridButton", &Tmainform::FillGridButtonClick);
    onClick("WorkshopGridtoExcelButton", &Tmainform::WorkshopGridtoExcelButtonClick);
    onClick("ResetDefbgarrButton", &Tmainform::ResetDefbgarrButtonClick);
    for (const auto& [button, grid] : GridExportButtons())
        if (auto* b = Control<QAbstractButton>(button))
            connect(b, &QAbstractButton::clicked, this,
                    [this, grid] { Guard([this, grid] { GridToExcel(grid); }); });
}

std::optional<int> Tmainform::WholeNumberIn(const char* editName) {
    const QString text = Control<QLineEdit>(editName)->text();
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (ok) return v;
    Prompter().message(TPromptKind::Error, QStringLiteral("Error"),
                       QStringLiteral("'%1' is not a valid integer value").arg(text));
    return std::nullopt;
}

void Tmainform::ShowExperiment(const TDiagnosticResult& result, const char* gridName) {
    if (!result.done) return;
    if (QTableWidget* grid = Grid(*this, gridName)) ShowDiagnosticGrid(*grid, result.grid);
    ShowRunAgain();
}

void Tmainform::ShowRunAgain() {
    FillDataGrids();
    if (engine_->nsamples > 0) samplechanged(CurrentSample());
    plotallsamps();
}

void Tmainform::DisplayBaselineStepsButtonClick() {
    if (RefuseWhileBusy()) return;
    const std::optional<int> s = WholeNumberIn("Edit3");
    if (!s) return;
    ShowExperiment(TDiagnostics(*engine_).DisplayBaselineSteps(*s), "StringGrid7");
}

void Tmainform::RunsTestButtonClick() {
    if (RefuseWhileBusy()) return;
    ShowExperiment(TDiagnostics(*engine_).RunsTest(), "StringGrid2");
}

void Tmainform::CtShiftButtonClick() {
    if (RefuseWhileBusy()) return;
    const std::optional<int> range = WholeNumberIn("shiftRangeEdit");
    if (!range) return;
    ShowExperiment(TDiagnostics(*engine_).CtShift(*range), "StringGrid6");
}

void Tmainform::CtDriftLogLinButtonClick() {
    if (RefuseWhileBusy()) return;
    const std::optional<int> g = WholeNumberIn("Edit1");
    if (!g) return;
    const auto* keep = Control<TRadioGroup>("KeepWoLRG");
    const bool keepwolfixed = keep == nullptr || keep->ItemIndex() == 0;
    ShowExperiment(TDiagnostics(*engine_).CtDriftLogLin(*g, keepwolfixed), "StringGrid5");
}

void Tmainform::displayStartStopButton2Click() {
    if (RefuseWhileBusy()) return;
    ShowExperiment(TDiagnostics(*engine_).displayStartStop(), "StringGrid3");
}

void Tmainform::GetMinFluButtonClick() {
    if (RefuseWhileBusy()) return;
    // Shown only: the baseline editor applies it when the user confirms.
    if (const std::optional<double> m = TDiagnostics(*engine_).GetMinFlu())
        SetEditText(bgedit, Shown(*m, 3));
}

// Row 0 the titles, row k + 1 search step k, and three rows after the last
// step the chosen position.
void Tmainform::ShowWolSearch() {
    QTableWidget* grid = Grid(*this, "StringGrid1");
    const TBaselineState::TWoLSearch& w = engine_->wolsearch;
    if (grid == nullptr || w.group < 0) return;
    TDiagnosticGrid table(engine_->nsamples + 6, 2);
    const char* titles[] = {"k", "uplim", "foldwidth", "mean eff", "var eff"};
    for (int c = 1; c <= 5; ++c) table.set(c, 0, std::string(titles[c - 1]));
    if (!w.skipped) {
        for (const TBaselineState::TWoLSearchRow& r : w.rows) {
            table.set(1, r.k + 1, static_cast<long long>(r.k));
            table.set(2, r.k + 1, r.uplim);
            table.set(3, r.k + 1, r.foldwidth);
            table.set(4, r.k + 1, r.meaneff);
            table.set(5, r.k + 1, r.cv);
        }
        const int last = w.finalk + 3;
        table.set(0, last, std::string("min smooth var"));
        table.set(1, last, static_cast<long long>(w.best));
        table.set(2, last, w.bestuplim);
        table.set(3, last, w.bestfoldwidth);
        table.set(5, last, w.bestcv);
    }
    ShowDiagnosticGrid(*grid, table);
}

// ---- workshop

void Tmainform::BaselineTrendButtonClick() {
    if (RefuseWhileBusy()) return;
    const std::string begin = Control<QLineEdit>("BeginCycleEdit")->text().toStdString();
    const std::string end = Control<QLineEdit>("EndCycleEdit")->text().toStdString();
    if (!TWorkshop(*engine_).BaselineTrend(begin, end)) return;
    RefillWorkshopGrid();
    ShowRunAgain();
}

void Tmainform::ResetDefbgarrButtonClick() {
    if (RefuseWhileBusy()) return;
    if (!TWorkshop(*engine_).ResetDefbgarr()) return;
    RefillWorkshopGrid();
    ShowRunAgain();
}

void Tmainform::RefillWorkshopGrid() {
    const QTableWidget* grid = Grid(*this, "WorkshopSG");
    const QTableWidgetItem* filled = grid ? grid->item(1, 1) : nullptr;
    if (filled != nullptr && !filled->text().isEmpty()) FillGridButtonClick();
}

void Tmainform::FillGridButtonClick() {
    QTableWidget* grid = Grid(*this, "WorkshopSG");
    if (grid == nullptr) return;
    // The annotation's title is the one the annotation grid shows.
    QString title;
    if (const QTableWidget* tissues = Grid(*this, "TissueSampSG"))
        if (const QTableWidgetItem* item = tissues->item(0, 1)) title = item->text();
    ShowDiagnosticGrid(*grid, TWorkshop(*engine_).FillGrid(title.toStdString()));
}

void Tmainform::WorkshopGridtoExcelButtonClick() {
    auto* nameEdit = Control<QLineEdit>("NewSheetEdit");
    auto* sheets = Control<QComboBox>("WSheetsCB");
    TExcelcom excel;
    const TWorkshopExport done =
        exportworkshopgrid(excel, GridTexts(*Grid(*this, "WorkshopSG")), nameEdit->text());
    sheets->clear();
    sheets->addItems(done.sheets);
    nameEdit->setText(done.sheetname);
}

void Tmainform::GridToExcel(const char* gridName) {
    const QTableWidget* grid = Grid(*this, gridName);
    if (grid == nullptr) return;
    TExcelcom excel;
    exportstringgrid(excel, GridTexts(*grid));
}

}  // namespace qurvex
