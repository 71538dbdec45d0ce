// SPDX-License-Identifier: GPL-3.0-or-later
#include "spreadsheet/ReadExcelDialog.h"

#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "spreadsheet/ColumnLetters.h"
#include "spreadsheet/Excelcom.h"
#include "spreadsheet/RadioGroup.h"
#include "spreadsheet/Registry.h"
#include "spreadsheet/StrictNumber.h"

namespace qurvex {

namespace {

const QString kSoftware = QStringLiteral("Software");
const QString kMaker = QStringLiteral("Norvane Labs");
const QString kProduct = QStringLiteral("Qurvex");
constexpr int kExemptTag = 10;  // edits with this tag are not part of the spreadsheet check

QLineEdit* makeEdit(QWidget* parent, int width) {
    auto* e = new QLineEdit(parent);
    e->setFixedWidth(width);
    return e;
}

// An integer value of the open key, or `fallback` when missing or not an integer;
// -1 (no choice) counts as item 0 and values beyond the items as the nearest item.
int choiceFromRegistry(const TRegistry& reg, const QString& name, int fallback, int count) {
    if (!reg.ValueIsInteger(name)) return fallback;
    return std::clamp(reg.ReadInteger(name), 0, count - 1);
}

QString integerText(const TRegistry& reg, const QString& name) {
    return reg.ValueIsInteger(name) ? QString::number(reg.ReadInteger(name)) : QString();
}

}  // namespace

const QStringList& ReadLayoutNames() {
    static const QStringList names{
        QStringLiteral("Roche Lightcycler (32 caps) "),
        QStringLiteral("Applied Biosystems"),
        QStringLiteral("MJ Research         "),
        QStringLiteral("Bio -Rad iCycler "),
        QStringLiteral("LightCycler 480 (converted raw data)"),
        QStringLiteral("Stratagene Format 1 (Vertically Grouped)"),
        QStringLiteral("Step-One Plus and ViiA7 (ABI)"),
        QStringLiteral("LightCycler 480 (2 columns per sample)"),
        QStringLiteral("Rotor-Gene (Corbett Research; 2 leading columns)"),
        QStringLiteral("Eppendorf Realplex"),
        QStringLiteral("Applied Biosystems (5 leading columns)"),
        QStringLiteral("Illumina Eco ('Component data')"),
        QStringLiteral("PikoReal (Thermo Scienitfic)"),
        QStringLiteral("Rotor-Gene (6 leading columns)"),
        QStringLiteral("Bio-Rad CFX Quantification Amplification Results"),
        QStringLiteral("Corbett 6000 (3 columns per well)"),
        QStringLiteral("Quantstudio Flex (Amplification Data)"),
        QStringLiteral("Roche LightCycler 96"),
        QStringLiteral("Analytik Jena qTOWER3 (singleplex)"),
        QStringLiteral("Analytik Jena qTOWER3 (multiplex)"),
        QStringLiteral("Mic"),
        QStringLiteral("Agilent ARIA MX")};
    return names;
}

const QStringList& ChemistryNames() {
    static const QStringList names{
        QStringLiteral("DNA-binding dye (non-saturating, e.g. SybrGreen I)"),
        QStringLiteral("Hydrolysis probe / NuPCR system"),
        QStringLiteral("Hybridization probe / Molecular Beacon / Light-Up probe"),
        QStringLiteral("LUX primer (labelled forward primer)"),
        QStringLiteral("Scorpion probe / Sunrise probe (labelled reverse primer)"),
        QStringLiteral("QZyme system (DNA-zyme probe)"),
        QStringLiteral("DNA-binding dye (saturating, e.g. LCGreen)")};
    return names;
}

TDialogHooks& DialogHooks() {
    static TDialogHooks hooks{
        [](const QString& text) { QMessageBox::critical(nullptr, QStringLiteral("Qurvex"), text); },
        [] {
            return QFileDialog::getOpenFileName(nullptr, QString(), QString(),
                                                QStringLiteral("RDML files (*.rdml)"));
        },
        [](QDialog& dialog) { return dialog.exec(); }};
    return hooks;
}

TreadexcelQVXcomform::TreadexcelQVXcomform(TExcelcom& excelin, QWidget* parent)
    : QDialog(parent), excelin_(excelin) {
    setObjectName(QStringLiteral("TreadexcelQVXcomform"));
    // No border icons: no system menu and no close box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    auto* top = new QVBoxLayout(this);

    // The mode switch sits on a panel that is never shown; only the caller's preset sets it.
    RdmlOrExcelRG = new TRadioGroup(QStringLiteral(" Read data from RDML or Excel: "),
                                    {QStringLiteral("RDML"), QStringLiteral("Excel")}, -1, this);
    RdmlOrExcelRG->hide();

    RdmlInputPanel = new QWidget(this);
    {
        auto* row = new QHBoxLayout(RdmlInputPanel);
        OpenRdmlFileButton = new QPushButton(QStringLiteral("Open RDML File"), RdmlInputPanel);
        RdmlFileNameEdit = new QLineEdit(RdmlInputPanel);
        RdmlFileNameEdit->setProperty("Tag", kExemptTag);
        row->addWidget(OpenRdmlFileButton);
        row->addWidget(RdmlFileNameEdit, 1);
    }
    top->addWidget(RdmlInputPanel);

    ExcelInputPanel = new QWidget(this);
    {
        auto* v = new QVBoxLayout(ExcelInputPanel);
        auto* lists = new QHBoxLayout;
        booksbox = new QComboBox(ExcelInputPanel);
        sheetbox = new QComboBox(ExcelInputPanel);
        booksbox->setMinimumWidth(220);
        sheetbox->setMinimumWidth(160);
        lists->addWidget(new QLabel(QStringLiteral("Book:"), ExcelInputPanel));
        lists->addWidget(booksbox, 1);
        lists->addWidget(new QLabel(QStringLiteral("Sheet:"), ExcelInputPanel));
        lists->addWidget(sheetbox, 1);
        v->addLayout(lists);
        RG_format = new TRadioGroup(QStringLiteral(" Choose data file format: "), ReadLayoutNames(),
                                    0, ExcelInputPanel, 3);
        v->addWidget(RG_format);
        auto* block = new QHBoxLayout;
        startcolin = makeEdit(ExcelInputPanel, 50);
        stopcolin = makeEdit(ExcelInputPanel, 50);
        startrowin = makeEdit(ExcelInputPanel, 60);
        stoprowin = makeEdit(ExcelInputPanel, 60);
        block->addWidget(new QLabel(QStringLiteral("column (A):"), ExcelInputPanel));
        block->addWidget(startcolin);
        block->addWidget(new QLabel(QStringLiteral("through:"), ExcelInputPanel));
        block->addWidget(stopcolin);
        block->addSpacing(20);
        block->addWidget(new QLabel(QStringLiteral("row #:"), ExcelInputPanel));
        block->addWidget(startrowin);
        block->addWidget(new QLabel(QStringLiteral("through:"), ExcelInputPanel));
        block->addWidget(stoprowin);
        block->addStretch(1);
        OKExcelbutton = new QPushButton(QStringLiteral("OK"), ExcelInputPanel);
        CancelButton = new QPushButton(QStringLiteral("Cancel"), ExcelInputPanel);
        block->addWidget(OKExcelbutton);
        block->addWidget(CancelButton);
        v->addLayout(block);
    }
    top->addWidget(ExcelInputPanel);

    auto* bottom = new QWidget(this);
    {
        auto* h = new QHBoxLayout(bottom);
        ChemistryRG =
            new TRadioGroup(QStringLiteral(" Monitoring Chemistry: "), ChemistryNames(), 0, bottom);
        SubstrateRG =
            new TRadioGroup(QStringLiteral(" Amplification of: "),
                            {QStringLiteral("ss-cDNA"), QStringLiteral("ds-DNA")}, 0, bottom);
        ProbeTargetRG = new TRadioGroup(
            QStringLiteral(" Probe is targetting: "),
            {QStringLiteral("cDNA sequence"), QStringLiteral("mRNA sequence")}, 0, bottom);
        ProbeTargetRG->hide();
        Baseline_RG = new TRadioGroup(QStringLiteral(" Data are baseline corrected: "),
                                      {QStringLiteral("Yes"), QStringLiteral("No")}, 1, bottom);
        auto* right = new QVBoxLayout;
        right->addWidget(SubstrateRG);
        right->addWidget(ProbeTargetRG);
        right->addWidget(Baseline_RG);
        auto* buttons = new QHBoxLayout;
        OKRdmlButton = new QPushButton(QStringLiteral("OK"), bottom);
        RDMLCancelButton = new QPushButton(QStringLiteral("Cancel"), bottom);
        buttons->addWidget(OKRdmlButton);
        buttons->addWidget(RDMLCancelButton);
        right->addLayout(buttons);
        right->addStretch(1);
        h->addWidget(ChemistryRG, 1);
        h->addLayout(right);
    }
    top->addWidget(bottom);

    connect(OpenRdmlFileButton, &QPushButton::clicked, this, [this] { OpenRdmlFileButtonClick(); });
    connect(booksbox, &QComboBox::activated, this,
            [this] { guardedCall([&] { booksboxChange(); }); });
    connect(sheetbox, &QComboBox::activated, this,
            [this] { guardedCall([&] { sheetboxChange(); }); });
    connect(RG_format, &TRadioGroup::Click, this, [this] { RG_formatClick(); });
    for (QLineEdit* e : {startcolin, stopcolin, startrowin, stoprowin})
        connect(e, &QLineEdit::textChanged, this, [this, e] { col_rowinChange(e); });
    connect(ChemistryRG, &TRadioGroup::Click, this, [this] { ChemistryRGClick(); });
    connect(SubstrateRG, &TRadioGroup::Click, this, [this] { ChemistryRGClick(); });
    connect(OKExcelbutton, &QPushButton::clicked, this,
            [this] { guardedCall([&] { OKExcelbuttonClick(); }); });
    connect(OKRdmlButton, &QPushButton::clicked, this, [this] { OKRdmlButtonClick(); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { CancelButtonClick(); });
    connect(RDMLCancelButton, &QPushButton::clicked, this, [this] { CancelButtonClick(); });
}

template <class F>
void TreadexcelQVXcomform::guardedCall(F&& body) {
    try {
        body();
    } catch (const std::exception& e) {
        DialogHooks().showError(QString::fromStdString(e.what()));
    }
}

bool TreadexcelQVXcomform::spreadsheetMode() const { return RdmlOrExcelRG->ItemIndex() == 1; }

void TreadexcelQVXcomform::SetMode(bool fromexcel) {
    RdmlOrExcelRG->SetItemIndex(fromexcel ? 1 : 0);
    // Choosing "Excel" runs the mode switch at once, before the window shows; its failure
    // reaches the caller.
    if (fromexcel) RdmlOrExcelRGClick();
}

void TreadexcelQVXcomform::RdmlOrExcelRGClick() {
    const bool excel = spreadsheetMode();
    if (excel) {
        officeLost_ = true;
        excelin_.IsExcelRunning();
        officeLost_ = false;
    }
    resize(width() < 760 ? 760 : width(), excel ? 625 : 325);
    ExcelInputPanel->setVisible(excel);
    OKExcelbutton->setVisible(excel);
    CancelButton->setVisible(excel);
    RdmlInputPanel->setVisible(!excel);
    OKRdmlButton->setVisible(!excel);
    RDMLCancelButton->setVisible(!excel);
    if (excel) {
        readbooks();
        readsheets();
        setWindowTitle(QStringLiteral("Read data from Excel into Qurvex"));
    } else {
        setWindowTitle(QStringLiteral("Read data from RDML into Qurvex"));
    }
}

void TreadexcelQVXcomform::FormActivate() {
    RdmlOrExcelRGClick();
    ReadFiletypeFromRegistry();
}

void TreadexcelQVXcomform::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // A modal dialog is activated once, when it shows.
    if (!activated_) {
        activated_ = true;
        guardedCall([&] { FormActivate(); });
    }
}

bool TreadexcelQVXcomform::event(QEvent* event) {
    // Coming back from Calc, the lists show its current workbooks and sheets again. An office
    // that could not be reached is told once: the box that tells it takes the focus, and
    // closing it activates this window again.
    if (event->type() == QEvent::WindowActivate && activated_ && spreadsheetMode()) {
        const auto refresh = [&] {
            readbooks();
            readsheets();
        };
        if (!officeLost_) {
            guardedCall(refresh);
        } else {
            try {
                refresh();
            } catch (const std::exception&) {  // told already
            }
        }
    }
    return QDialog::event(event);
}

void TreadexcelQVXcomform::readbooks() {
    booksbox->clear();
    QStringList names;
    int selected = -1;
    officeLost_ = true;
    excelin_.ListWorkbooks(names, selected);
    officeLost_ = false;
    booksbox->addItems(names);
    booksbox->setCurrentIndex(selected);
}

void TreadexcelQVXcomform::readsheets() {
    sheetbox->clear();
    QStringList names;
    int selected = -1;
    officeLost_ = true;
    excelin_.ListSheets(names, selected);
    officeLost_ = false;
    sheetbox->addItems(names);
    sheetbox->setCurrentIndex(selected);
}

void TreadexcelQVXcomform::booksboxChange() {
    excelin_.AttachExcel();
    excelin_.SelectWorkbook(booksbox->currentText());
    excelin_.DetachExcel();
    readsheets();
}

void TreadexcelQVXcomform::sheetboxChange() {
    excelin_.AttachExcel();
    excelin_.SelectSheet(sheetbox->currentText());
    excelin_.DetachExcel();
    startcolin->setFocus();
}

void TreadexcelQVXcomform::selectLayout(int index) {
    const int i = std::clamp(index, 0, RG_format->Count() - 1);
    if (RG_format->ItemIndex() == i) return;
    RG_format->SetItemIndex(i);
    RG_formatClick();
}

void TreadexcelQVXcomform::RG_formatClick() { ReadColsRowsFromRegistry(); }

void TreadexcelQVXcomform::col_rowinChange(QLineEdit* edit) {
    const QString before = edit->text();
    if (before.isEmpty()) return;
    QString text = before;
    const bool letters = edit == startcolin || edit == stopcolin;
    if (letters) text = text.toUpper();
    const QChar last = text.back();
    const bool keep = letters ? (last >= QLatin1Char('A') && last <= QLatin1Char('Z'))
                              : (last >= QLatin1Char('0') && last <= QLatin1Char('9'));
    if (!keep) text.chop(1);
    if (text != before) {
        edit->setText(text);
        edit->setCursorPosition(static_cast<int>(text.size()));
    }
}

void TreadexcelQVXcomform::ChemistryRGClick() { ProbeTargetRG->hide(); }

void TreadexcelQVXcomform::OpenRdmlFileButtonClick() {
    const QString file = DialogHooks().chooseRdmlFile();
    if (!file.isEmpty()) RdmlFileNameEdit->setText(file);
}

bool TreadexcelQVXcomform::checkBlock() {
    // The first empty box, in the order of the window, takes the focus; no message.
    for (QLineEdit* e : {startcolin, stopcolin, startrowin, stoprowin}) {
        if (e->property("Tag").toInt() == kExemptTag) continue;
        if (e->text().isEmpty()) {
            e->setFocus();
            return false;
        }
    }
    const int c1 = LettersToColumn(startcolin->text());
    const int c2 = LettersToColumn(stopcolin->text());
    const auto r1 = StrictInteger(startrowin->text());
    const auto r2 = StrictInteger(stoprowin->text());
    auto refuse = [](QLineEdit* e, const QString& text) {
        e->setFocus();
        DialogHooks().showError(text);
        return false;
    };
    if (c1 < 1)
        return refuse(startcolin, QStringLiteral("\"%1\" is not a column").arg(startcolin->text()));
    if (c2 < 1)
        return refuse(stopcolin, QStringLiteral("\"%1\" is not a column").arg(stopcolin->text()));
    if (!r1 || *r1 < 1)
        return refuse(startrowin,
                      QStringLiteral("\"%1\" is not a row number").arg(startrowin->text()));
    if (!r2 || *r2 < 1)
        return refuse(stoprowin,
                      QStringLiteral("\"%1\" is not a row number").arg(stoprowin->text()));
    if (c2 < c1)
        return refuse(stopcolin, QStringLiteral("The last column comes before the first column"));
    if (*r2 < *r1)
        return refuse(stoprowin, QStringLiteral("The last row comes before the first row"));
    return true;
}

void TreadexcelQVXcomform::OKExcelbuttonClick() {
    if (!checkBlock()) return;
    SaveFiletypeToRegistry();
    done(1);
}

void TreadexcelQVXcomform::OKRdmlButtonClick() {
    if (RdmlFileNameEdit->text().isEmpty()) {
        OpenRdmlFileButton->setFocus();
        return;
    }
    done(1);
}

void TreadexcelQVXcomform::CancelButtonClick() { done(2); }

void TreadexcelQVXcomform::SaveFiletypeToRegistry() {
    TRegistry reg;
    if (!reg.OpenKey(kSoftware, false)) return;
    if (!reg.OpenKey(kMaker, true) || !reg.OpenKey(kProduct, true)) return;
    reg.WriteInteger(QStringLiteral("filetype"), RG_format->ItemIndex());
    if (!reg.OpenKey(RG_format->ItemText(RG_format->ItemIndex()), true)) return;
    reg.WriteString(QStringLiteral("startcol"), startcolin->text());
    reg.WriteString(QStringLiteral("stopcol"), stopcolin->text());
    reg.WriteInteger(QStringLiteral("startrow"), StrictInteger(startrowin->text()).value_or(0));
    reg.WriteInteger(QStringLiteral("stoprow"), StrictInteger(stoprowin->text()).value_or(0));
    reg.WriteInteger(QStringLiteral("chemistry"), ChemistryRG->ItemIndex());
    reg.WriteInteger(QStringLiteral("substrate"), SubstrateRG->ItemIndex());
    reg.WriteInteger(QStringLiteral("probe_target"), ProbeTargetRG->ItemIndex());
    reg.Flush();
}

void TreadexcelQVXcomform::ReadFiletypeFromRegistry() {
    TRegistry reg;
    if (!reg.OpenKey(kSoftware, false) || !reg.OpenKey(kMaker, false)) return;
    if (!reg.OpenKey(kProduct, false)) {
        selectLayout(0);
        return;
    }
    if (reg.ValueIsInteger(QStringLiteral("filetype")))
        selectLayout(reg.ReadInteger(QStringLiteral("filetype")));
    if (reg.OpenKey(RG_format->ItemText(RG_format->ItemIndex()), false)) {
        startcolin->setText(reg.ReadString(QStringLiteral("startcol")));
        stopcolin->setText(reg.ReadString(QStringLiteral("stopcol")));
        startrowin->setText(integerText(reg, QStringLiteral("startrow")));
        stoprowin->setText(integerText(reg, QStringLiteral("stoprow")));
        ChemistryRG->SetItemIndex(choiceFromRegistry(
            reg, QStringLiteral("chemistry"), ChemistryRG->ItemIndex(), ChemistryRG->Count()));
        SubstrateRG->SetItemIndex(choiceFromRegistry(
            reg, QStringLiteral("substrate"), SubstrateRG->ItemIndex(), SubstrateRG->Count()));
        ProbeTargetRG->SetItemIndex(choiceFromRegistry(reg, QStringLiteral("probe_target"),
                                                       ProbeTargetRG->ItemIndex(),
                                                       ProbeTargetRG->Count()));
    } else {
        for (QLineEdit* e : {startcolin, stopcolin, startrowin, stoprowin}) e->clear();
        ChemistryRG->SetItemIndex(0);
        SubstrateRG->SetItemIndex(0);
        ProbeTargetRG->SetItemIndex(0);
        Baseline_RG->SetItemIndex(1);
    }
}

void TreadexcelQVXcomform::ReadColsRowsFromRegistry() {
    TRegistry reg;
    // Without a settings key no layout has a memory: the block is emptied and the user's
    // choice of layout stands.
    const bool product =
        reg.OpenKey(kSoftware, false) && reg.OpenKey(kMaker, false) && reg.OpenKey(kProduct, false);
    if (product && reg.OpenKey(RG_format->ItemText(RG_format->ItemIndex()), false)) {
        startcolin->setText(reg.ReadString(QStringLiteral("startcol")));
        stopcolin->setText(reg.ReadString(QStringLiteral("stopcol")));
        startrowin->setText(integerText(reg, QStringLiteral("startrow")));
        stoprowin->setText(integerText(reg, QStringLiteral("stoprow")));
    } else {
        for (QLineEdit* e : {startcolin, stopcolin, startrowin, stoprowin}) e->clear();
    }
}

void TreadexcelQVXcomform::ReadBack(TexcelreadQVX& r) const {
    if (spreadsheetMode()) {
        r.rdmlfile.clear();
        r.book = booksbox->currentText();
        r.sheet = sheetbox->currentText();
        r.startcol = LettersToColumn(startcolin->text());
        r.stopcol = LettersToColumn(stopcolin->text());
        r.startrow = StrictInteger(startrowin->text()).value_or(0);
        r.stoprow = StrictInteger(stoprowin->text()).value_or(0);
        r.filetype = RG_format->ItemIndex();
    } else {
        r.rdmlfile = RdmlFileNameEdit->text();
    }
    r.baselinecorrected = Baseline_RG->ItemIndex() == 0;
    r.chemistry = ChemistryRG->ItemIndex() + 1;
    r.substrate = SubstrateRG->ItemIndex() + 1;
}

bool TExcelcom::ExecuteReadDialog(TexcelreadQVX& record) {
    // The dialog's own component: its self-bracketing lists and selects must not end a
    // connection that the caller holds.
    TExcelcom excelin(PipeName());
    TreadexcelQVXcomform dialog(excelin);
    dialog.SetMode(record.fromexcel);  // throws "first start Excel" before the window shows
    if (DialogHooks().runModal(dialog) != 1) return false;
    dialog.ReadBack(record);
    return true;
}

}  // namespace qurvex
