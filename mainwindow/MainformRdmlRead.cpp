// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a run from an RDML file: the menu handler, the questions of the
// read through the prompter, the take-over of a successful read, the RDML
// controls of the window, the check page and the clean-up at closing.
#include <QAction>
#include <QCloseEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <filesystem>

#include "mainwindow/Mainform.h"
#include "mainwindow/Prompter.h"
#include "rdml/exchange/ChooseXMLForm.h"
#include "rdml/exchange/RdmlExtraction.h"
#include "rdml/exchange/RdmlReadAskerDialog.h"
#include "rdml/exchange/RdmlReadRoad.h"
#include "rdml/exchange/RdmlTextProbes.h"
#include "spreadsheet/Excelcom.h"

namespace qurvex {

namespace {

// The read's questions and messages through the window's prompter; the
// reader windows stay those of the RDML exchange.
class TRdmlReadPrompts final : public TRdmlReadAskerDialog {
public:
    TRdmlReadPrompts(QWidget* parent, IPrompter& prompter)
        : TRdmlReadAskerDialog(parent), parent_(parent), prompter_(prompter) {}

    bool ConfirmBaselineCorrected(const std::string& title, const std::string& text) override {
        return prompter_.askYesNo(QString::fromStdString(title), QString::fromStdString(text));
    }
    int ChooseXmlEntry(const std::vector<std::string>& names) override {
        TChooseXMLForm form(parent_);
        form.SetEntries(names);
        const int result = prompter_.runModal(form);
        return result >= 1 && result <= static_cast<int>(names.size()) ? result - 1 : -1;
    }
    void Message(TRdmlMessageKind kind, const std::string& text) override {
        const bool warning = kind == TRdmlMessageKind::warning;
        prompter_.message(warning ? TPromptKind::Warning : TPromptKind::Information,
                          warning ? QStringLiteral("Warning") : QStringLiteral("Information"),
                          QString::fromStdString(text));
    }

private:
    QWidget* parent_;
    IPrompter& prompter_;
};

// Closing the main window (when it is not refused) removes the working
// documents.
class TRdmlCloseWatcher final : public QObject {
public:
    explicit TRdmlCloseWatcher(Tmainform* window) : QObject(window), window_(window) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ && event->type() == QEvent::Close && !window_->Engine().busy())
            window_->FormClose();
        return false;
    }

private:
    Tmainform* window_;
};

// Restores the controls and the cursor on every way out of a read.
class TReadLock {
public:
    explicit TReadLock(Tmainform& w) : w_(w) {
        w_.EnableInterface(false);
        w_.setbusycursor(true);
        w_.pumpmessages();
    }
    ~TReadLock() {
        w_.EnableInterface(true);
        w_.setbusycursor(false);
    }
    TReadLock(const TReadLock&) = delete;
    TReadLock& operator=(const TReadLock&) = delete;

private:
    Tmainform& w_;
};

QString q(const std::string& text) { return QString::fromStdString(text); }

void showGrid(QTableWidget* grid, const TTextGrid& cells) {
    if (!grid) return;
    grid->clearContents();
    grid->setRowCount(cells.rows());
    grid->setColumnCount(cells.columns());
    for (int r = 0; r < cells.rows(); ++r)
        for (int c = 0; c < cells.columns(); ++c)
            grid->setItem(r, c, new QTableWidgetItem(q(cells.cell(c, r))));
}

// A cycle or fluorescence value of the RDML input grid: its text is written
// when the grid paints or hands out the cell, not when a read fills the grid.
// A text typed into the cell replaces it.
class TInputNumberItem final : public QTableWidgetItem {
public:
    explicit TInputNumberItem(double value) : QTableWidgetItem(UserType), value_(value) {}
    QVariant data(int role) const override {
        const QVariant stored = QTableWidgetItem::data(role);
        if (stored.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return stored;
        return q(RdmlInputText(value_));
    }
    QTableWidgetItem* clone() const override { return new TInputNumberItem(*this); }

private:
    double value_;
};

// The input grid: texts as items, numbers as items that write themselves;
// empty cells get no item.
void showInputGrid(QTableWidget* grid, const TRdmlInputGrid& cells) {
    if (!grid) return;
    grid->clearContents();
    grid->setRowCount(cells.rows());
    grid->setColumnCount(cells.columns());
    for (int r = 0; r < cells.rows(); ++r)
        for (int c = 0; c < cells.columns(); ++c) {
            double value = 0.0;
            if (cells.number(c, r, value))
                grid->setItem(r, c, new TInputNumberItem(value));
            else if (const std::string text = cells.cell(c, r); !text.empty())
                grid->setItem(r, c, new QTableWidgetItem(q(text)));
        }
}

void showList(QListWidget* list, const std::vector<std::string>& items) {
    if (!list) return;
    list->clear();
    for (const auto& item : items) list->addItem(q(item));
}

}  // namespace

// ---- controls

void Tmainform::BuildRdmlControls() {
    // The RDML input grid and the lists of the read sit with the diagnostic
    // tables of the scratch page.
    if (auto* pc6 = Control<QTabWidget>("PageControl6")) {
        auto* page = new QWidget(pc6);
        page->setObjectName(QStringLiteral("TabSheetRdmlInput"));
        pc6->addTab(page, QStringLiteral("RDML input"));
        RdmlInSG = new QTableWidget(2, 4, page);
        RdmlInSG->setObjectName(QStringLiteral("RdmlInSG"));
        TissueLB = new QListWidget(page);
        TissueLB->setObjectName(QStringLiteral("TissueLB"));
        TargetsLB = new QListWidget(page);
        TargetsLB->setObjectName(QStringLiteral("TargetsLB"));
        auto* save = new QPushButton(QStringLiteral("grid to Excel"), page);
        save->setObjectName(QStringLiteral("SaveRdmlInputGridButton"));
        auto* lists = new QVBoxLayout;
        lists->addWidget(new QLabel(QStringLiteral("samples"), page));
        lists->addWidget(TissueLB);
        lists->addWidget(new QLabel(QStringLiteral("targets"), page));
        lists->addWidget(TargetsLB);
        TargetnameEdit = Control<QLineEdit>("TargetnameEdit");
        if (!TargetnameEdit) {
            TargetnameEdit = new QLineEdit(QStringLiteral("not_named"), page);
            TargetnameEdit->setObjectName(QStringLiteral("TargetnameEdit"));
            lists->addWidget(new QLabel(QStringLiteral("target name"), page));
            lists->addWidget(TargetnameEdit);
        }
        auto* h = new QHBoxLayout;
        h->addWidget(RdmlInSG, 1);
        h->addLayout(lists);
        auto* v = new QVBoxLayout(page);
        v->addLayout(h, 1);
        v->addWidget(save);
    }
    ConnectRdmlHandlers();
}

void Tmainform::ConnectRdmlHandlers() {
    auto onAction = [this](QAction* action, std::function<void()> handler) {
        action->setEnabled(true);
        connect(action, &QAction::triggered, this, [this, handler] { Guard(handler); });
    };
    onAction(ReadfromRDML1, [this] { ReadqPCRdata1Click(ReadfromRDML1); });
    onAction(SavetoRDML13, [this] { SavetoRDML2Click(SavetoRDML13->data().toInt()); });
    onAction(SavetoRDML2, [this] { SavetoRDML2Click(SavetoRDML2->data().toInt()); });
    onAction(SavetoRDML111, [this] { SavetoRDML111Click(); });
    auto onClick = [this](const char* name, void (Tmainform::*handler)()) {
        if (auto* b = Control<QPushButton>(name))
            connect(b, &QPushButton::clicked, this,
                    [this, handler] { Guard([this, handler] { (this->*handler)(); }); });
    };
    onClick("OpenXMLButton", &Tmainform::OpenXMLButtonClick);
    onClick("checkSeparatorButton", &Tmainform::checkSeparatorButtonClick);
    onClick("CheckRDMLCreatorButton", &Tmainform::CheckRDMLCreatorButtonClick);
    onClick("SaveRdmlInputGridButton", &Tmainform::SaveRdmlInputGridButtonClick);
    installEventFilter(new TRdmlCloseWatcher(this));
}

// ---- the read

void Tmainform::ReadqPCRdata1Click(QObject* sender) {
    auto* action = qobject_cast<QAction*>(sender);
    if (!action) return;
    if (action->objectName() == QLatin1String("ReadfromRDML1")) ReadfromRDML1Click();
    if (action->objectName() == QLatin1String("ReadExcel1")) ReadExcel1Click();
}

void Tmainform::ReadfromRDML1Click() {
    if (RefuseWhileBusy()) return;
    TexcelreadQVX record;
    record.fromexcel = false;
    // In RDML mode the dialog does not talk to Calc.
    TExcelcom excel;
    if (!excel.ExecuteReadDialog(record)) return;
    const TReadLock lock(*this);
    TRdmlReadRequest request;
    request.rdmlfile = record.rdmlfile.toStdString();
    request.chemistry = record.chemistry;
    request.substrate = record.substrate;
    request.baselinecorrected = record.baselinecorrected;
    TRdmlReadResult result;
    {
        TRdmlReadPrompts asker(this, Prompter());
        result = ReadfromRDML(request, asker);
    }
    if (result.ok) TakeOverRdmlRead(result);
}

void Tmainform::TakeOverRdmlRead(const TRdmlReadResult& result) {
    TEngine& e = *engine_;
    const std::string previous = e.rdmlxmlfile;
    // A run that does not fit together is refused before anything of the
    // previous run is touched.
    if (!result.run.sizeerror().empty()) {
        DiscardWorkingDocument(result.run.rdmlxmlfile);
        Prompter().message(TPromptKind::Information, QStringLiteral("Information"),
                           q(std::string(kImportFailed) + "\n" + result.run.sizeerror()));
        return;
    }
    // The reset clears the previous run's analysis (and tissuesdefined), so
    // it comes before the new run is taken over.
    e.ResetInterfaceAfterRead();
    e.loadrun(result.run);
    // The Cq correction follows the chemistry of the new run.
    SetCqCorrNeeded();
    if (previous != e.rdmlxmlfile) DiscardWorkingDocument(previous);
    rdmllift = result.lift;

    SetBaselineCorrected1->setEnabled(!result.run.baselinecorrected);
    SetTabVisible(AmpliGroupsTabSheet, true);
    SetTabVisible(TissueSampleTabSheet, true);
    showInputGrid(RdmlInSG, result.rdmlinput);
    showList(TissueLB, result.tissuelist);
    showList(TargetsLB, result.targetlist);
    if (TargetnameEdit && result.targetlist.size() == 1)
        TargetnameEdit->setText(q(result.targetname));
    showGrid(Control<QTableWidget>("UniqueTissuesSG"), result.uniquetissues);
    showGrid(Control<QTableWidget>("TissueSampSG"), result.tissuesamples);
    OutputColumnsCLBClickCheck();
    pumpmessages();

    e.ProcessDataAfterRead();
    e.ExtraRDMLProcessing();
}

void Tmainform::FormClose() { RemoveRdmlWorkFolder(); }

// ---- the check page

QString Tmainform::ChooseFile(bool save, const QString& caption, const QString& proposal,
                              const QString& filter) {
    QFileDialog dialog(this, caption, proposal, filter);
    dialog.setObjectName(save ? QStringLiteral("SaveDialog1") : QStringLiteral("OpenDialog"));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (save) dialog.setDefaultSuffix(QStringLiteral("rdml"));
    if (Prompter().runModal(dialog) != QDialog::Accepted) return {};
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : QFileInfo(files.first()).absoluteFilePath();
}

namespace {
const QString kXmlFilter = QStringLiteral("XML files (*.xml);;All files (*)");
}

void Tmainform::OpenXMLButtonClick() {
    const QString file = ChooseFile(false, QStringLiteral("open xml"), {}, kXmlFilter);
    if (file.isEmpty()) return;
    Control<QLineEdit>("Edit2")->setText(q(GetRDMLversion(file.toStdString())));
}

void Tmainform::checkSeparatorButtonClick() {
    const QString file = ChooseFile(false, QStringLiteral("check separator"), {}, kXmlFilter);
    if (file.isEmpty()) return;
    const QString value = q(FirstFluorText(file.toStdString(), 1001));
    Control<QLineEdit>("Edit2")->setText(value);
    Control<QLabel>("SepLabel")
        ->setText(value.contains(QLatin1Char('.')) ? QStringLiteral("point")
                                                   : QStringLiteral("comma"));
}

void Tmainform::CheckRDMLCreatorButtonClick() {
    const QString file = ChooseFile(false, QStringLiteral("Qurvex RDML y/n"), {}, kXmlFilter);
    if (file.isEmpty()) return;
    Control<QLineEdit>("Edit2")->setText(q(GetRDMLcreator(file.toStdString())));
}

}  // namespace qurvex
