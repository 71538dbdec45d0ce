// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's life: construction, creation steps, activation, the
// interface lock of a read, closing, and the engine's view.
#include "mainwindow/Mainform.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QValueAxis>

#include "mainwindow/ChartView.h"
#include "mainwindow/DocumentOpener.h"
#include "mainwindow/ExceptionGuard.h"
#include "mainwindow/ProgramIcon.h"
#include "mainwindow/Prompter.h"
#include "mainwindow/UpDown.h"
#include "spreadsheet/NumberNotation.h"
#include "spreadsheet/RadioGroup.h"
#include "spreadsheet/Registry.h"

namespace qurvex {

namespace {

// The tab widget that holds `page`, or null.
QTabWidget* tabsOf(const QWidget* page) {
    if (!page) return nullptr;
    QWidget* stack = page->parentWidget();
    if (!qobject_cast<QStackedWidget*>(stack)) return nullptr;
    return qobject_cast<QTabWidget*>(stack->parentWidget());
}

void setLeftAxis(QChartView* view, double min, double max) {
    if (!view || !view->chart()) return;
    const auto axes = view->chart()->axes(Qt::Vertical);
    for (QAbstractAxis* axis : axes)
        if (auto* value = qobject_cast<QValueAxis*>(axis)) value->setRange(min, max);
}

}  // namespace

Tmainform::Tmainform(const QStringList& parameters, TMainformServices services, QWidget* parent)
    : QMainWindow(parent), services_(std::move(services)), engine_(std::make_unique<TEngine>()) {
    Q_ASSERT(services_.prompter);
    setObjectName(QStringLiteral("mainform"));
    setWindowTitle(QStringLiteral("Qurvex: Analysis of quantitative RT-PCR Data"));
    setWindowIcon(ProgramIcon());
    engine_->setview(this);
    documents_ = std::make_unique<TDocumentOpener>(services_.prompter, services_.documentFolder);
    BuildMenus();
    BuildPages();
    // Pages that the window starts without.
    SetTabVisible(TabSheetGroupsStats, false);
    SetTabVisible(TabSheet_baseline, false);
    ctcalcButton->hide();
    ConnectHandlers();
    BuildChartSeries();
    ConnectChartsAndEditors();
    ConnectRunControls();
    resize(1280, 860);
    FormCreate(parameters);
}

Tmainform::~Tmainform() {
    SetDragCursor(false);
    while (busyCursorDepth_ > 0) setbusycursor(false);
    engine_->setview(nullptr);
}

void Tmainform::Guard(const std::function<void()>& handler) {
    // One user action: the charts it changes are drawn once, when it ends
    // (or, for a long one, a quarter of a second after it began).
    if (actionDepth_ == 0) actionStart_.restart();
    ++actionDepth_;
    runGuarded(services_.prompter, handler);
    --actionDepth_;
    if (actionDepth_ == 0 && pendingCharts_ != 0)
        runGuarded(services_.prompter, [this] { FlushCharts(); });
}

bool Tmainform::RefuseWhileBusy() const { return engine_->busy(); }

bool Tmainform::RefuseWithoutRun() {
    if (engine_->nsamples > 0) return false;
    Prompter().message(TPromptKind::Information, QStringLiteral("No data"),
                       QStringLiteral("There is no run in memory. First read a run "
                                      "(File menu: Read from Excel or Read from RDML)."));
    return true;
}

std::unique_ptr<TRegistry> Tmainform::OpenRegistry() const {
    if (services_.registry) return services_.registry();
    return std::make_unique<TRegistry>();
}

// ---- page helpers

void Tmainform::SetTabVisible(QWidget* page, bool visible) {
    if (QTabWidget* tabs = tabsOf(page)) {
        const int index = tabs->indexOf(page);
        if (index >= 0) tabs->setTabVisible(index, visible);
    } else if (page) {
        page->setVisible(visible);
    }
}

bool Tmainform::TabVisible(const QWidget* page) {
    if (QTabWidget* tabs = tabsOf(page)) {
        const int index = tabs->indexOf(const_cast<QWidget*>(page));
        return index >= 0 && tabs->isTabVisible(index);
    }
    return page && !page->isHidden();
}

void Tmainform::ActivatePage(QWidget* page) {
    if (QTabWidget* tabs = tabsOf(page)) tabs->setCurrentWidget(page);
}

// ---- creation

void Tmainform::FormCreate(const QStringList& parameters) {
    for (QWidget* page : {TabSheetScratch, TabSheetshoworhide, TabSheetOptions,
                          TabSheetCheckRDMLVersion, TissueSampleTabSheet, AmpliGroupsTabSheet})
        SetTabVisible(page, false);
    Handlingnoise1->setVisible(false);

    switches_ = ParseStartSwitches(parameters);
    TEngine::TStartSettings settings;
    settings.silentmode = switches_.silentmode;
    settings.scratchmode = switches_.scratchmode;
    settings.expertmode = switches_.expertmode;
    settings.workshopmode = switches_.workshopmode;
    settings.usebaselinezw = switches_.usebaselinezw;
    settings.wolpoints = switches_.wolpoints;
    settings.decsep = QLocale().decimalPoint() == QLatin1String(".") ? '.' : ',';
    engine_->startup(settings);
    const TEngine& e = *engine_;
    if (e.scratchmode) {
        SetTabVisible(TabSheetScratch, true);
        SetTabVisible(TabSheetGroupsStats, true);
        inputgridPanel->setVisible(true);
    }
    if (e.expertmode) ExpertPanel->setVisible(true);
    if (e.workshopmode) {
        SetTabVisible(TabSheetWorkshop, true);
        SetTabVisible(AmpliGroupsTabSheet, true);
        SetTabVisible(TissueSampleTabSheet, true);
    }
    SetTabVisible(TabSheetWorkshop, e.workshopmode);

    ReadfromRDML1->setVisible(true);
    SavetoRDML2->setVisible(true);
    ShowGroupUD->setEnabled(false);
    ShowGroupCB->setEnabled(false);
    PushOptions();
}

// ---- activation

void Tmainform::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (firstShowDone_) return;
    firstShowDone_ = true;
    // After the window is on the screen, so that the first-run windows sit on top of it.
    QTimer::singleShot(0, this, [this] { Guard([this] { FormActivate(); }); });
}

void Tmainform::FormActivate() {
    ++activations_;
    CheckDisclaimer();
    CheckVersion();

    engine_->activate();
    ctcalcButton->hide();
    setLeftAxis(allsampchart, -2.0, 2.0);
    setLeftAxis(samplechart, -2.0, 2.0);

    rg_fitoptions->SetItemIndex(1);

    PageControl1->setCurrentWidget(TabSheetAllSamples);
    PageControl2->setCurrentWidget(TabSheetPCREffs);
    PageControldata->setCurrentWidget(TabSheetInputData);

    {
        const QSignalBlocker block(OutputColumnsCLB);
        for (int i = 0; i < OutputColumnsCLB->count(); ++i)
            OutputColumnsCLB->item(i)->setCheckState(Qt::Checked);
    }
    ReadRegistryButtonClick();
    OutputColumnsCLBClickCheck();

    applycommonbut->setEnabled(false);
    applyindivbut->setEnabled(false);
    SetTabVisible(TabSheet_baseline, false);
    {
        const QSignalBlocker block(AllOneGroupRB);
        AllOneGroupRB->setChecked(true);
    }
    GroupButton->setEnabled(false);
    EditGroupsButton->setEnabled(false);
    PushOptions();
    ShowGroupSource();
    emit activated();
}

// ---- interface lock

void Tmainform::EnableInterface(bool enable) {
    // Only the main window's own controls: a window it has opened (such as a
    // reader's progress window) keeps its buttons.
    auto own = [this](const QWidget* w) { return w->window() == this; };
    for (QLineEdit* edit : findChildren<QLineEdit*>()) {
        // Line edits inside combo boxes and spin boxes belong to those controls.
        QWidget* owner = edit->parentWidget();
        if (qobject_cast<QComboBox*>(owner) || qobject_cast<QAbstractSpinBox*>(owner) || !own(edit))
            continue;
        edit->setEnabled(enable);
    }
    for (QPushButton* b : findChildren<QPushButton*>())
        if (own(b)) b->setEnabled(enable);
    for (TUpDown* u : findChildren<TUpDown*>())
        if (own(u)) u->setEnabled(enable);
    ShowGroupUD->setEnabled(false);
}

// ---- closing

void Tmainform::eXit1Click() { close(); }

void Tmainform::closeEvent(QCloseEvent* event) {
    // Closing while a long loop pumps messages would pull the window from
    // under the loop: the loop finishes first.
    if (RefuseWhileBusy()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

// ---- options for the engine

void Tmainform::PushOptions() {
    TEngineOptions o = engine_->options;
    o.rg_fitoptions = rg_fitoptions->ItemIndex();
    bool ok = false;
    if (int v = minincludedit->text().toInt(&ok); ok) o.minincludedit = v;
    if (int v = nmaxedit->text().toInt(&ok); ok) o.nmaxedit = v;
    if (const auto v = FieldNumber(rreqedit->text().trimmed(), QLatin1Char('.'))) o.rreqedit = *v;
    o.ThresholdsRG = ThresholdsRG->ItemIndex();
    o.CommonGroupWindowRG = CommonGroupWindowRG->ItemIndex();
    o.BaselineStrictnessRG = BaselineStrictnessRG->ItemIndex();
    o.RelaxCtShiftRG = RelaxCtShiftRG->ItemIndex();
    o.RelaxLogLinLengthRG = RelaxLogLinLengthRG->ItemIndex();
    o.ExcludeSkippedCB = ExcludeSkippedCB->isChecked();
    o.ExcludeNoPlateauCB = ExcludeNoPlateauCB->isChecked();
    o.ExcludeOutlierCB = ExcludeOutlierCB->isChecked();
    o.IncluPercEdit = TEngine::InclusionPercent(IncluPercEdit->text().toStdString());
    o.ExcludeTooLowCqCB = ExcludeTooLowCqCB->isChecked();
    o.AcceptErrorEffRG = AcceptErrorEffRG->ItemIndex();
    o.AcceptBiasN0RG = AcceptBiasN0RG->ItemIndex();
    o.groupsource = AllOneGroupRB->isChecked()  ? TEngineOptions::AllOneGroupRB
                    : ManualGrpsRB->isChecked() ? TEngineOptions::ManualGrpsRB
                    : PartXGroupRB->isChecked() ? TEngineOptions::PartXGroupRB
                    : ExcelGroupRB->isChecked() ? TEngineOptions::ExcelGroupRB
                                                : o.groupsource;
    const std::string separator = NameSepEdit->text().toStdString();
    o.NameSepEdit = separator.empty() ? ' ' : separator.front();
    o.PartWantedEdit = TEngine::WholeNumber(PartWantedEdit->text().toStdString());
    o.FrontBackRG = FrontBackRG->ItemIndex();
    o.ToggleShowRG = ToggleShowRG->ItemIndex();
    if (auto* wolgroup = Control<QLineEdit>("setwolgroupEdit"))
        o.setwolgroupEdit = TEngine::WholeNumber(wolgroup->text().toStdString());
    engine_->setoptions(o);
}

// ---- drag cursor

void Tmainform::SetDragCursor(bool dragging) {
    if (dragging == dragCursor_) return;
    dragCursor_ = dragging;
    if (dragging)
        QGuiApplication::setOverrideCursor(Qt::SizeVerCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}

}  // namespace qurvex
