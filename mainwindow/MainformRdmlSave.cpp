// SPDX-License-Identifier: GPL-3.0-or-later
// Saving the results to RDML: the three menu handlers, what the writers need
// from the window's controls, the save dialog through the prompter, and the
// RDML input grid's export to Calc.
#include <QDir>
#include <QLineEdit>
#include <QTableWidget>
#include <exception>

#include "mainwindow/Mainform.h"
#include "mainwindow/Prompter.h"
#include "rdml/exchange/RdmlSaveRoad.h"
#include "spreadsheet/Excelcom.h"
#include "spreadsheet/GridExport.h"

namespace qurvex {

namespace {

class TRdmlSavePrompts final : public IRdmlSaveAsker {
public:
    explicit TRdmlSavePrompts(Tmainform& window) : window_(window) {}

    bool AskYesNo(const std::string& text) override {
        return window_.Prompter().askYesNo(QStringLiteral("Confirm"), QString::fromStdString(text));
    }
    std::optional<std::string> ChooseSaveFile(const std::string& folder,
                                              const std::string& name) override {
        const QString proposal =
            folder.empty()
                ? QString::fromStdString(name)
                : QDir(QString::fromStdString(folder)).filePath(QString::fromStdString(name));
        const QString file = window_.ChooseFile(true, QStringLiteral("Save to RDML"), proposal,
                                                QStringLiteral("RDML files (*.rdml)"));
        if (file.isEmpty()) return std::nullopt;
        return file.toStdString();
    }
    void ShowMessage(const std::string& text) override {
        window_.Prompter().message(TPromptKind::Warning, QStringLiteral("Warning"),
                                   QString::fromStdString(text));
    }

private:
    Tmainform& window_;
};

// Cells of a grid as [column][row].
TGridCells gridCells(const QTableWidget* grid) {
    TGridCells cells;
    if (!grid) return cells;
    cells.assign(static_cast<std::size_t>(grid->columnCount()),
                 std::vector<std::string>(static_cast<std::size_t>(grid->rowCount())));
    for (int c = 0; c < grid->columnCount(); ++c)
        for (int r = 0; r < grid->rowCount(); ++r)
            if (const QTableWidgetItem* item = grid->item(r, c))
                cells[static_cast<std::size_t>(c)][static_cast<std::size_t>(r)] =
                    item->text().toStdString();
    return cells;
}

void showCells(QTableWidget* grid, const TGridCells& cells) {
    if (!grid) return;
    grid->clearContents();
    grid->setColumnCount(static_cast<int>(cells.size()));
    grid->setRowCount(cells.empty() ? 0 : static_cast<int>(cells[0].size()));
    for (std::size_t c = 0; c < cells.size(); ++c)
        for (std::size_t r = 0; r < cells[c].size(); ++r)
            grid->setItem(static_cast<int>(r), static_cast<int>(c),
                          new QTableWidgetItem(QString::fromStdString(cells[c][r])));
}

// The full file name of the active Calc document; "" when Calc does not
// answer or the document was never saved.
std::string activeWorkbook() {
    try {
        TExcelcom excel;
        const QString folder = excel.ActiveWorkbookFolder();
        if (folder.isEmpty()) return {};
        excel.AttachExcel();
        const QString name = excel.CurrentWorkbook();
        excel.DetachExcel();
        return name.isEmpty() ? std::string() : QDir(folder).filePath(name).toStdString();
    } catch (const std::exception&) {
        return {};
    }
}

}  // namespace

TRdmlWriteChoices Tmainform::RdmlWriteChoices() {
    TRdmlWriteChoices choices;
    if (TargetnameEdit) choices.TargetnameEdit = TargetnameEdit->text().toStdString();
    choices.TissueSampSG = gridCells(Control<QTableWidget>("TissueSampSG"));
    choices.UniqueTissuesSG = gridCells(Control<QTableWidget>("UniqueTissuesSG"));
    if (engine_->fromrdml)
        choices.lift = rdmllift;
    else
        choices.activeworkbook = activeWorkbook();
    return choices;
}

namespace {

// Shows what a save ended with; the writers have shown their own messages.
void afterSave(Tmainform& w, TRdmlSaveOutcome outcome, const TRdmlWriteChoices& choices) {
    showCells(w.Control<QTableWidget>("TissueSampSG"), choices.TissueSampSG);
    showCells(w.Control<QTableWidget>("UniqueTissuesSG"), choices.UniqueTissuesSG);
    if (outcome == TRdmlSaveOutcome::ShowTissuePage) {
        Tmainform::SetTabVisible(w.TissueSampleTabSheet, true);
        Tmainform::ActivatePage(w.TissueSampleTabSheet);
    }
}

}  // namespace

void Tmainform::SavetoRDML2Click(int tag) {
    if (RefuseWhileBusy() || RefuseWithoutRun()) return;
    TRdmlWriteChoices choices = RdmlWriteChoices();
    TRdmlSavePrompts asker(*this);
    setbusycursor(true);
    TRdmlSaveOutcome outcome = TRdmlSaveOutcome::Failed;
    try {
        outcome = qurvex::SavetoRDML2Click(*engine_, tag, choices, asker);
    } catch (...) {
        setbusycursor(false);
        throw;
    }
    setbusycursor(false);
    afterSave(*this, outcome, choices);
}

void Tmainform::SavetoRDML111Click() {
    if (RefuseWhileBusy() || RefuseWithoutRun()) return;
    TRdmlWriteChoices choices = RdmlWriteChoices();
    TRdmlSavePrompts asker(*this);
    setbusycursor(true);
    TRdmlSaveOutcome outcome = TRdmlSaveOutcome::Failed;
    try {
        outcome = qurvex::SavetoRDML111Click(*engine_, choices, asker);
    } catch (...) {
        setbusycursor(false);
        throw;
    }
    setbusycursor(false);
    afterSave(*this, outcome, choices);
}

void Tmainform::SaveRdmlInputGridButtonClick() {
    if (!RdmlInSG) return;
    TTextGrid grid;
    for (int r = 0; r < RdmlInSG->rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < RdmlInSG->columnCount(); ++c) {
            const QTableWidgetItem* item = RdmlInSG->item(r, c);
            row << (item ? item->text() : QString());
        }
        grid.push_back(row);
    }
    TExcelcom excel;
    exportstringgrid(excel, grid);
}

}  // namespace qurvex
