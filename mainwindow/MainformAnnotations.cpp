// SPDX-License-Identifier: GPL-3.0-or-later
// Per-sample information beside the run: sample annotations (from a
// worksheet, one for all, typed, or part of the sample name), amplicon names
// and user exclusions read from a worksheet, and the grids' export to Calc.
// Every read computes its result completely before anything changes.
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTableWidget>
#include <algorithm>
#include <functional>

#include "engine/TissueAnnotation.h"
#include "mainwindow/Mainform.h"
#include "mainwindow/Prompter.h"
#include "spreadsheet/AnnotationImport.h"
#include "spreadsheet/Excelcom.h"
#include "spreadsheet/GridExport.h"
#include "spreadsheet/RadioGroup.h"

namespace qurvex {

namespace {

// The controls of a page's worksheet source.
struct TSourceControls {
    QComboBox* books;
    QComboBox* sheets;
    QLineEdit* column;
    std::vector<QLineEdit*> ranges;  // emptied when another sheet is chosen
};

TSourceControls sourceControls(const Tmainform& w, int page) {
    auto e = [&w](const char* name) { return w.Control<QLineEdit>(name); };
    auto c = [&w](const char* name) { return w.Control<QComboBox>(name); };
    switch (page) {
        case 0:
            return {c("books_cb"),
                    c("sheets_cb"),
                    e("startcoledit"),
                    {e("startcoledit"), e("stopcoledit"), e("startrowedit"), e("stoprowedit")}};
        case 1:
            return {c("books_CB2"),
                    c("Sheets_CB2"),
                    e("AmplicolEdit"),
                    {e("AmplicolEdit"), e("AmpliStartRowEdit"), e("AmpliStopRowEdit")}};
        default:
            return {c("BooksCB4"),
                    c("SheetsCB4"),
                    e("ExcluColEdit"),
                    {e("ExcluColEdit"), e("ExcluStartRowEdit"), e("ExcluStopRowEdit")}};
    }
}

TCellColumns gridColumns(const QTableWidget* grid) {
    TCellColumns cells(static_cast<std::size_t>(grid->columnCount()),
                       std::vector<std::string>(static_cast<std::size_t>(grid->rowCount())));
    for (int c = 0; c < grid->columnCount(); ++c)
        for (int r = 0; r < grid->rowCount(); ++r)
            if (const auto* item = grid->item(r, c))
                cells[static_cast<std::size_t>(c)][static_cast<std::size_t>(r)] =
                    item->text().toStdString();
    return cells;
}

void showColumns(QTableWidget* grid, const TCellColumns& cells) {
    const QSignalBlocker block(grid);
    grid->clearContents();
    grid->setColumnCount(static_cast<int>(cells.size()));
    grid->setRowCount(cells.empty() ? 0 : static_cast<int>(cells.front().size()));
    for (std::size_t c = 0; c < cells.size(); ++c)
        for (std::size_t r = 0; r < cells[c].size(); ++r)
            grid->setItem(static_cast<int>(r), static_cast<int>(c),
                          new QTableWidgetItem(QString::fromStdString(cells[c][r])));
}

// Column 1 of the sample rows 1..n.
std::vector<std::string> firstAnnotation(const TCellColumns& cells, int n) {
    std::vector<std::string> out(static_cast<std::size_t>(n));
    if (cells.size() < 2) return out;
    for (int s = 1; s <= n && s < static_cast<int>(cells[1].size()); ++s)
        out[static_cast<std::size_t>(s - 1)] = cells[1][static_cast<std::size_t>(s)];
    return out;
}

// Runs `entered` when its edit gets the focus; owned by the edit.
class TFocusHook : public QObject {
public:
    TFocusHook(QWidget* edit, std::function<void()> entered)
        : QObject(edit), entered_(std::move(entered)) {
        edit->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn && !busy_) {
            busy_ = true;  // the hook gives the focus itself
            entered_();
            busy_ = false;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> entered_;
    bool busy_ = false;
};

}  // namespace

// ---- the tissue table

void Tmainform::FillTissueGrid() {
    const TEngine& e = *engine_;
    TCellColumns cells(2, std::vector<std::string>(static_cast<std::size_t>(e.nsamples) + 1));
    cells[0][0] = "sample name";
    cells[1][0] = "tissue";
    for (int s = 1; s <= e.nsamples; ++s) {
        cells[0][static_cast<std::size_t>(s)] = e.sampname[static_cast<std::size_t>(s)];
        if (s < static_cast<int>(e.tissue.size()))
            cells[1][static_cast<std::size_t>(s)] = e.tissue[static_cast<std::size_t>(s)];
    }
    showColumns(Control<QTableWidget>("TissueSampSG"), cells);
    showColumns(Control<QTableWidget>("UniqueTissuesSG"), {{"ID"}});
}

void Tmainform::UniqueAnnotationsButtonClick() {
    auto* samples = Control<QTableWidget>("TissueSampSG");
    TCellColumns t = gridColumns(samples), u;
    UniqueAnnotations(t, u);
    showColumns(samples, t);
    showColumns(Control<QTableWidget>("UniqueTissuesSG"), u);
}

// The annotations of `cells` (column 1) become the run's; the grid shows
// `cells` and their numbering. Nothing changes when the count is wrong.
static bool commitAnnotations(Tmainform& w, TEngine& e, const TCellColumns& cells) {
    if (!e.settissues(firstAnnotation(cells, e.nsamples))) return false;
    auto* grid = w.Control<QTableWidget>("TissueSampSG");
    showColumns(grid, cells);
    w.UniqueAnnotationsButtonClick();
    return true;
}

void Tmainform::OneTissueRBClick() {
    auto rb = [this](const char* name) { return Control<QRadioButton>(name)->isChecked(); };
    auto enable = [this](std::initializer_list<const char*> names, bool on) {
        for (const char* n : names) Control<QWidget>(n)->setEnabled(on);
    };
    const auto one = {"SetOneTissueButton", "OneTissueEdit"};
    const auto extract = {"PartEdit", "TissPartRG", "TissSepEdit", "ExtractTissuesButton"};
    if (rb("OneTissueRB")) {
        enable(one, true);
        enable({"EditTissuesButton"}, false);
        enable(extract, false);
        ReadTissuesPanel->setVisible(false);
        Control<QWidget>("OneTissueEdit")->setFocus();
    }
    if (rb("ManTissRB")) {
        enable(one, false);
        enable({"EditTissuesButton"}, true);
        enable(extract, false);
        ReadTissuesPanel->setVisible(false);
    }
    if (rb("ExtractTissRB")) {
        enable(one, false);
        enable({"EditTissuesButton"}, false);
        enable(extract, true);
        ReadTissuesPanel->setVisible(false);
        Control<QWidget>("PartEdit")->setFocus();
    }
    if (ReadTissFromExcelRB->isChecked()) {
        OtherTissueAnnotOptionsPanel->setVisible(false);
        enable(one, false);
        enable({"EditTissuesButton"}, false);
        enable(extract, false);
        ReadTissuesPanel->setVisible(true);
        FillWorkbookLists(0);
    }
}

void Tmainform::PartEditChange(const QString& text) {
    auto* edit = Control<QLineEdit>("PartEdit");
    QString kept = text;
    if (!kept.isEmpty() && !kept.back().isDigit()) kept.chop(1);
    if (kept != text) {
        SetEditText(edit, kept);
        edit->setCursorPosition(kept.size());
    }
    if (!kept.isEmpty())
        Control<QLabel>("partLabel")
            ->setText(QString::fromStdString(TEngine::ordinalsuffix(kept.toInt())));
}

void Tmainform::SetOneTissueButtonClick() {
    const TEngine& e = *engine_;
    if (RefuseWithoutRun()) return;
    TCellColumns cells = gridColumns(Control<QTableWidget>("TissueSampSG"));
    if (cells.size() < 2) cells.resize(2, std::vector<std::string>(e.nsamples + 1));
    const std::string text = Control<QLineEdit>("OneTissueEdit")->text().toStdString();
    for (int s = 1; s <= e.nsamples && s < static_cast<int>(cells[1].size()); ++s)
        cells[1][static_cast<std::size_t>(s)] = text;
    if (commitAnnotations(*this, *engine_, cells)) engine_->setidentsdone(true);
}

void Tmainform::EditTissuesButtonClick() {
    auto* button = Control<QPushButton>("EditTissuesButton");
    auto* grid = Control<QTableWidget>("TissueSampSG");
    if (button->property("Tag").toInt() == 1) {
        if (RefuseWithoutRun()) return;
        button->setProperty("Tag", 0);
        button->setText(QStringLiteral("ready"));
        grid->setEditTriggers(QAbstractItemView::AllEditTriggers);
        grid->setCurrentCell(1, 1);
        grid->setFocus();
        engine_->setidentsdone(false);
        return;
    }
    button->setProperty("Tag", 1);
    button->setText(QStringLiteral("edit tissues"));
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    commitAnnotations(*this, *engine_, gridColumns(grid));
    engine_->setidentsdone(true);
}

void Tmainform::ExtractTissuesButtonClick() {
    const TEngine& e = *engine_;
    if (RefuseWithoutRun()) return;
    const QString sep = Control<QLineEdit>("TissSepEdit")->text();
    const char separator = sep.isEmpty() ? ' ' : sep.front().toLatin1();
    const auto part = TEngine::WholeNumber(Control<QLineEdit>("PartEdit")->text().toStdString());
    const bool fromback = Control<TRadioGroup>("TissPartRG")->ItemIndex() == 1;
    if (!part || *part < 1) {
        Prompter().message(TPromptKind::Warning, QStringLiteral("Warning"),
                           QStringLiteral("the part number is not a whole number."));
        return;
    }
    TCellColumns cells(2, std::vector<std::string>(static_cast<std::size_t>(e.nsamples) + 1));
    cells[0][0] = "sample name";
    cells[1][0] = "tissue";
    for (int s = 1; s <= e.nsamples; ++s) {
        const std::string& name = e.sampname[static_cast<std::size_t>(s)];
        // Parts are split at blanks and at the separator alike.
        std::string split = name;
        std::replace(split.begin(), split.end(), ' ', separator);
        auto piece = TEngine::extractpart(split, *part, separator, fromback);
        if (!piece) {
            Prompter().message(TPromptKind::Warning, QStringLiteral("Warning"),
                               QStringLiteral("The name of sample %1 (\"%2\") has no part %3. The "
                                              "annotations are unchanged.")
                                   .arg(s)
                                   .arg(QString::fromStdString(name))
                                   .arg(*part));
            return;
        }
        cells[0][static_cast<std::size_t>(s)] = name;
        cells[1][static_cast<std::size_t>(s)] = *piece;
    }
    if (commitAnnotations(*this, *engine_, cells)) engine_->setidentsdone(true);
}

// ---- worksheet sources

void Tmainform::stoproweditChange(QLineEdit* edit) {
    const int tag = edit->property("Tag").toInt();
    QString text = edit->text();
    if (text.isEmpty()) return;
    if (tag == 1) {
        text = text.toUpper();
        const QChar last = text.back();
        if (last < QLatin1Char('A') || last > QLatin1Char('Z')) text.chop(1);
    } else if (!text.back().isDigit() || text.back().unicode() > 127) {
        text.chop(1);
    }
    SetEditText(edit, text);
    edit->setCursorPosition(text.size());
    if (tag < 10 || text.isEmpty()) return;
    const int start = text.toInt();
    const int n = engine_->nsamples;
    const char* stop = tag == 10   ? "stoprowedit"
                       : tag == 11 ? "AmpliStopRowEdit"
                                   : "ExcluStopRowEdit";
    SetEditText(Control<QLineEdit>(stop), QString::number(tag == 10 ? start + n : start + n - 1));
}

void Tmainform::FillWorkbookLists(int page) {
    const TSourceControls c = sourceControls(*this, page);
    TExcelcom excel;
    QStringList names;
    int selected = -1;
    excel.ListWorkbooks(names, selected);
    {
        const QSignalBlocker block(c.books);
        c.books->clear();
        c.books->addItems(names);
        c.books->setCurrentIndex(selected);
    }
    const QString noted = c.sheets->currentText();
    excel.ListSheets(names, selected);
    {
        const QSignalBlocker block(c.sheets);
        c.sheets->clear();
        c.sheets->addItems(names);
        c.sheets->setCurrentIndex(selected);
    }
    if (c.sheets->currentText() != noted) SheetChange(page);
    c.column->setFocus();
}

void Tmainform::BookChange(int page) {
    const TSourceControls c = sourceControls(*this, page);
    TExcelcom excel;
    excel.AttachExcel();
    excel.SelectWorkbook(c.books->currentText());
    excel.DetachExcel();
    QStringList names;
    int selected = -1;
    excel.ListSheets(names, selected);
    const QSignalBlocker block(c.sheets);
    c.sheets->clear();
    c.sheets->addItems(names);
    c.sheets->setCurrentIndex(selected);
}

void Tmainform::SheetChange(int page) {
    const TSourceControls c = sourceControls(*this, page);
    if (c.sheets->currentText().isEmpty()) return;
    TExcelcom excel;
    excel.AttachExcel();
    excel.SelectSheet(c.sheets->currentText());
    excel.DetachExcel();
    for (QLineEdit* e : c.ranges) SetEditText(e, QString());
    c.column->setFocus();
}

void Tmainform::ReadExcludeRBClick() { FillWorkbookLists(2); }

// Reads the block of a page's range after checking its size; false (with
// the message) when the range is refused. Calc's failures are raised.
static bool readBlock(Tmainform& w, int page, const QString& lastColName, int wantedRows,
                      const QString& rowMessage, TAnnotationRange& range, TCellBlock& block) {
    const TSourceControls c = sourceControls(w, page);
    QString refusal;
    const QString lastCol = lastColName.isEmpty()
                                ? c.column->text()
                                : w.Control<QLineEdit>(lastColName.toLatin1())->text();
    const auto r = AnnotationRange(c.column->text(), lastCol, c.ranges[c.ranges.size() - 2]->text(),
                                   c.ranges.back()->text(), refusal);
    if (!r) {
        w.Prompter().message(TPromptKind::Warning, QStringLiteral("Warning"), refusal);
        return false;
    }
    if (r->rows() != wantedRows) {
        w.Prompter().message(TPromptKind::Warning, QStringLiteral("Warning"), rowMessage);
        return false;
    }
    range = *r;
    TExcelcom excel;
    excel.AttachExcel();
    try {
        excel.SelectSheet(c.sheets->currentText());
        excel.ReadRange(r->firstCol, r->lastCol, r->firstRow, r->lastRow, block);
    } catch (...) {
        excel.DetachExcel();
        throw;
    }
    excel.DetachExcel();
    return true;
}

void Tmainform::ReadTissuesButtonClick() {
    if (RefuseWhileBusy() || RefuseWithoutRun()) return;
    const int n = engine_->nsamples;
    TAnnotationRange r;
    TCellBlock block;
    if (!readBlock(*this, 0, QStringLiteral("stopcoledit"), n + 1,
                   QStringLiteral("the number of rows has to be equal to the number of reactions "
                                  "plus 1 for the header. Please correct this."),
                   r, block))
        return;
    TCellColumns cells = AnnotationColumns(block, r.columns(), r.rows());
    // Column 0 the sample names under their header, then the annotations.
    std::vector<std::string> names(static_cast<std::size_t>(n) + 1);
    names[0] = "sample name";
    for (int s = 1; s <= n; ++s)
        names[static_cast<std::size_t>(s)] = engine_->sampname[static_cast<std::size_t>(s)];
    cells.insert(cells.begin(), names);
    commitAnnotations(*this, *engine_, cells);
}

void Tmainform::ReadAmpliconsButtonClick() {
    if (RefuseWhileBusy() || RefuseWithoutRun()) return;
    TEngine& e = *engine_;
    TAnnotationRange r;
    TCellBlock block;
    if (!readBlock(*this, 1, QString(), e.nsamples,
                   QStringLiteral("the number of rows has to be equal to the number of reactions. "
                                  "Please correct this."),
                   r, block))
        return;
    const TCellColumns cells = AnnotationColumns(block, 1, r.rows());
    if (!e.setidentifiers(cells.front())) return;
    SetWolAfterReadButton->setEnabled(true);
    SetWolPerGroupButton->setEnabled(true);
    e.numgroupsEditChange();
    AmpliconGroupGrid->setColumnWidth(2, AmpliconGroupGrid->fontMetrics().averageCharWidth() * 10);
    SetTabVisible(TabSheetGroupWindow, true);
    ActivatePage(TabSheetGroupWindow);
    e.setidentsdone(false);
}

void Tmainform::ReadExclusionsButtonClick() {
    if (RefuseWhileBusy() || RefuseWithoutRun()) return;
    TEngine& e = *engine_;
    TAnnotationRange r;
    TCellBlock block;
    if (!readBlock(*this, 2, QString(), e.nsamples,
                   QStringLiteral("the number of rows has to be equal to the number of reactions. "
                                  "Please correct this."),
                   r, block))
        return;
    const QString code = Control<QLineEdit>("ExcluValEdit")->text();
    std::vector<bool> excluded(static_cast<std::size_t>(e.nsamples));
    for (int i = 0; i < e.nsamples && i < static_cast<int>(block.size()); ++i)
        excluded[static_cast<std::size_t>(i)] =
            !block[static_cast<std::size_t>(i)].empty() &&
            ExclusionMatches(block[static_cast<std::size_t>(i)].front(), code);
    int count = 0;
    if (!e.adduserexclusions(excluded, count)) return;
    if (count == 0) {
        Prompter().message(
            TPromptKind::Warning, QStringLiteral("Warning"),
            QStringLiteral(
                "No user exclusions are set. Check the code you gave for excluding a sample."));
        return;
    }
    Prompter().message(TPromptKind::Information, QStringLiteral("Information"),
                       QStringLiteral("A total of %1 user exclusions are successfully set. Do not "
                                      "forget to recalculate the W-o-L.")
                           .arg(count));
    subsetDisplayLabel->setVisible(true);
    ShowSetCB->setVisible(true);
    const auto& items = e.ShowSetCBItems;
    const auto it = std::find(items.begin(), items.end(), TRunState::TSubset::userexcluded);
    if (it != items.end()) {
        const QSignalBlocker block(ShowSetCB);
        ShowSetCB->setCurrentIndex(static_cast<int>(it - items.begin()));
    }
    ShowSetCBChange();
    ActivatePage(TabSheetAllSamples);
}

void Tmainform::GridToExcel(QTableWidget* grid) {
    TTextGrid cells;
    for (int r = 0; r < grid->rowCount(); ++r) {
        QStringList line;
        for (int c = 0; c < grid->columnCount(); ++c)
            line << (grid->item(r, c) ? grid->item(r, c)->text() : QString());
        cells.push_back(line);
    }
    TExcelcom excel;
    exportstringgrid(excel, cells);
}

// ---- wiring

void Tmainform::ConnectAnnotations() {
    auto click = [this](const char* name, std::function<void()> run) {
        connect(Control<QAbstractButton>(name), &QAbstractButton::clicked, this,
                [this, run] { Guard(run); });
    };
    for (const char* rb : {"OneTissueRB", "ManTissRB", "ExtractTissRB", "ReadTissFromExcelRB"})
        click(rb, [this] { OneTissueRBClick(); });
    click("SetOneTissueButton", [this] { SetOneTissueButtonClick(); });
    click("EditTissuesButton", [this] { EditTissuesButtonClick(); });
    click("ExtractTissuesButton", [this] { ExtractTissuesButtonClick(); });
    click("UniqueAnnotationsButton", [this] { UniqueAnnotationsButtonClick(); });
    click("ReadTissuesButton", [this] { ReadTissuesButtonClick(); });
    click("ReadAmpliconsButton", [this] { ReadAmpliconsButtonClick(); });
    click("ReadExcludeRB", [this] { ReadExcludeRBClick(); });
    // The grouping source "read from Excel " lists the open workbooks.
    click("ExcelGroupRB", [this] {
        if (ExcelGroupRB->isChecked()) FillWorkbookLists(1);
    });
    click("ReadExclusionsButton", [this] { ReadExclusionsButtonClick(); });
    click("TissuesToExcelButton", [this] { GridToExcel(Control<QTableWidget>("TissueSampSG")); });
    click("UniqueTissuesToExcelButton",
          [this] { GridToExcel(Control<QTableWidget>("UniqueTissuesSG")); });
    click("AmpliconGroupsToExcelButton", [this] { GridToExcel(AmpliconGroupGrid); });
    connect(Control<TRadioGroup>("TissPartRG"), &TRadioGroup::Click, this, [this] {
        Guard([this] {
            Control<QRadioButton>("ExtractTissRB")->setChecked(true);
            OneTissueRBClick();
        });
    });
    auto* partEdit = Control<QLineEdit>("PartEdit");
    connect(partEdit, &QLineEdit::textEdited, this,
            [this](const QString& t) { Guard([this, t] { PartEditChange(t); }); });
    for (int page = 0; page < 3; ++page) {
        const TSourceControls c = sourceControls(*this, page);
        connect(c.books, &QComboBox::activated, this,
                [this, page] { Guard([this, page] { BookChange(page); }); });
        connect(c.sheets, &QComboBox::activated, this,
                [this, page] { Guard([this, page] { SheetChange(page); }); });
    }
    const std::pair<const char*, int> tags[] = {
        {"startcoledit", 1},       {"stopcoledit", 1},   {"AmplicolEdit", 1},
        {"ExcluColEdit", 1},       {"startrowedit", 10}, {"AmpliStartRowEdit", 11},
        {"ExcluStartRowEdit", 12}, {"stoprowedit", 0},   {"AmpliStopRowEdit", 0},
        {"ExcluStopRowEdit", 0}};
    for (const auto& [name, tag] : tags) {
        auto* edit = Control<QLineEdit>(name);
        edit->setProperty("Tag", tag);
        connect(edit, &QLineEdit::textEdited, this,
                [this, edit] { Guard([this, edit] { stoproweditChange(edit); }); });
    }
    // Entering the part or separator edit chooses "extract tissue from ";
    // the separator edit is emptied for the new separator.
    auto* sepEdit = Control<QLineEdit>("TissSepEdit");
    new TFocusHook(partEdit, [this] {
        Control<QRadioButton>("ExtractTissRB")->setChecked(true);
        OneTissueRBClick();
    });
    new TFocusHook(sepEdit, [this, sepEdit] {
        Control<QRadioButton>("ExtractTissRB")->setChecked(true);
        OneTissueRBClick();
        sepEdit->clear();
        sepEdit->setFocus();
    });
}

}  // namespace qurvex
