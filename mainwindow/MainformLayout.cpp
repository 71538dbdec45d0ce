// SPDX-License-Identifier: GPL-3.0-or-later
// Builds the menus, pages and controls of the main window. Every control gets
// its name as objectName. Behaviour is connected in ConnectHandlers.
#include <QAction>
#include <QActionGroup>
#include <QButtonGroup>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>

#include "mainwindow/ChartView.h"
#include "mainwindow/ClickPanel.h"
#include "mainwindow/GridColumnSizer.h"
#include "mainwindow/Mainform.h"
#include "mainwindow/UpDown.h"
#include "spreadsheet/RadioGroup.h"

namespace qurvex {

namespace {

template <class T>
T* named(T* object, const char* name) {
    object->setObjectName(QString::fromLatin1(name));
    return object;
}

QLineEdit* edit(QWidget* parent, const char* name, const QString& text = {}, int width = 64,
                bool readOnly = false) {
    auto* e = named(new QLineEdit(text, parent), name);
    if (width > 0) e->setFixedWidth(width);
    e->setReadOnly(readOnly);
    return e;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption) {
    return named(new QPushButton(caption, parent), name);
}

QCheckBox* check(QWidget* parent, const char* name, const QString& caption, bool checked = false) {
    auto* c = named(new QCheckBox(caption, parent), name);
    c->setChecked(checked);
    return c;
}

QLabel* label(QWidget* parent, const QString& caption, const char* name = nullptr) {
    auto* l = new QLabel(caption, parent);
    if (name) l->setObjectName(QString::fromLatin1(name));
    return l;
}

QRadioButton* radio(QWidget* parent, const char* name, const QString& caption) {
    return named(new QRadioButton(caption, parent), name);
}

TUpDown* updown(QWidget* parent, const char* name, int min, int max, int position,
                bool wrap = false) {
    auto* u = named(new TUpDown(parent), name);
    u->SetRange(min, max);
    u->SetPosition(position);
    u->SetWrap(wrap);
    return u;
}

TRadioGroup* radiogroup(QWidget* parent, const char* name, const QString& caption,
                        const QStringList& items, int index, int columns = 1) {
    return named(new TRadioGroup(caption, items, index, parent, columns), name);
}

// One row of a window-limit editor: caption, log10 edit, up-down, fluorescence edit.
void limitrow(QGridLayout* g, QWidget* p, int r, const QString& caption, QLineEdit* log,
              QWidget* ud, QLineEdit* fluor) {
    g->addWidget(label(p, caption), r, 0);
    g->addWidget(log, r, 1);
    g->addWidget(ud, r, 2);
    g->addWidget(fluor, r, 3);
}

QTableWidget* grid(QWidget* parent, const char* name, int cols = 5, int rows = 5) {
    auto* g = named(new QTableWidget(rows, cols, parent), name);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->verticalHeader()->setVisible(false);
    g->verticalHeader()->setDefaultSectionSize(20);
    g->horizontalHeader()->setDefaultSectionSize(64);
    return g;
}

QFrame* panel(QWidget* parent, const char* name) {
    auto* f = named(new QFrame(parent), name);
    f->setFrameShape(QFrame::StyledPanel);
    return f;
}

QWidget* page(QTabWidget* control, const char* name, const QString& caption) {
    auto* p = named(new QWidget(control), name);
    control->setTabToolTip(control->addTab(p, caption), caption);
    return p;
}

// Every tab stays on screen: when the row is too narrow for the captions,
// each caption is shortened at its end (its tip shows it whole) rather than
// scrolled out of reach. Set before the first tab is added, so that every
// measure of the tab row counts the shortened captions.
QTabWidget* pagecontrol(QWidget* parent, const char* name) {
    auto* control = named(new QTabWidget(parent), name);
    control->setUsesScrollButtons(false);
    control->setElideMode(Qt::ElideRight);
    return control;
}

// An empty chart with a white background, no legend and two value axes.
TChartView* chart(QWidget* parent, const char* name, const QString& xTitle, const QString& yTitle,
                  double ymin, double ymax) {
    return named(new TChartView(xTitle, yTitle, ymin, ymax, parent), name);
}

QHBoxLayout* row(std::initializer_list<QWidget*> widgets, bool stretch = true) {
    auto* r = new QHBoxLayout;
    for (QWidget* w : widgets) r->addWidget(w);
    if (stretch) r->addStretch();
    return r;
}

QAction* item(QMenu* menu, const char* name, const QString& caption, bool checkable = false,
              bool checked = false) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    a->setCheckable(checkable);
    a->setChecked(checked);
    return a;
}

QMenu* submenu(QWidget* parent, const char* name, const QString& caption) {
    auto* m = new QMenu(caption, parent);
    m->setObjectName(QString::fromLatin1(name));
    return m;
}

}  // namespace

const QStringList& Tmainform::OutputColumnNames() {
    static const QStringList names{QStringLiteral("sample number"),
                                   QStringLiteral("sample name"),
                                   QStringLiteral("lower window limit"),
                                   QStringLiteral("upper window limit"),
                                   QStringLiteral("N included "),
                                   QStringLiteral("N0 individual"),
                                   QStringLiteral("PCR efficiency"),
                                   QStringLiteral("Correlation Coefficient"),
                                   QStringLiteral("Cq-threshold"),
                                   QStringLiteral("Cq"),
                                   QStringLiteral("Baseline"),
                                   QStringLiteral("Amplicon Identifier"),
                                   QStringLiteral("-----------------------------"),
                                   QStringLiteral("mean PCR efficiency"),
                                   QStringLiteral("Tissue Identifiers"),
                                   QStringLiteral("N0 based on mean eff"),
                                   QStringLiteral("Sample Use"),
                                   QStringLiteral("Quality Label"),
                                   QStringLiteral("Legend")};
    return names;
}

void Tmainform::BuildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    File1 = submenu(this, "File1", QStringLiteral("&File"));
    ReadExcel1 = item(File1, "ReadExcel1", QStringLiteral("Read  from &Excel"));
    ReadfromRDML1 = item(File1, "ReadfromRDML1", QStringLiteral("Read from &RDML"));
    File1->addSeparator();
    SavetoExcel1 = item(File1, "SavetoExcel1", QStringLiteral("&Save to Excel"));
    SavetoRDML13 = item(File1, "SavetoRDML13", QStringLiteral("&Save to RDML 1.3"));
    SavetoRDML13->setData(13);
    SavetoRDML2 = item(File1, "SavetoRDML2", QStringLiteral("S&ave to RDML 1.2"));
    SavetoRDML2->setData(12);
    SavetoRDML111 = item(File1, "SavetoRDML111", QStringLiteral("Sa&ve to RDML 1.1"));
    File1->addSeparator();
    eXit1 = item(File1, "eXit1", QStringLiteral("e&Xit"));
    bar->addMenu(File1);

    Fluorescence1 = submenu(this, "Fluorescence1", QStringLiteral("Fluorescence"));
    Cumulative1 = item(Fluorescence1, "Cumulative1", QStringLiteral("Cumulative"));
    Cumulative1->setVisible(false);
    QMenu* input = submenu(this, "Input1", QStringLiteral("Input"));
    Input1 = Fluorescence1->addMenu(input);
    Input1->setObjectName(QStringLiteral("Input1Item"));
    auto* inputGroup = new QActionGroup(this);
    cDNA1 = item(input, "cDNA1", QStringLiteral("cDNA"), true, true);
    dsDNA1 = item(input, "dsDNA1", QStringLiteral("ds DNA"), true, false);
    inputGroup->addAction(cDNA1);
    inputGroup->addAction(dsDNA1);
    bar->addMenu(Fluorescence1)->setVisible(false);

    Options1 = submenu(this, "Options1", QStringLiteral("&Options"));
    SetWoLwidth1 = item(Options1, "SetWoLwidth1", QStringLiteral("&Set W-o-L width"));
    DisplayWindowControls1 =
        submenu(this, "DisplayWindowControls1", QStringLiteral("&Display W-o-L Controls"));
    Common1 = item(DisplayWindowControls1, "Common1", QStringLiteral("&Common"), true, false);
    AmpliconGroups1 = item(DisplayWindowControls1, "AmpliconGroups1",
                           QStringLiteral("&Amplicon Groups"), true, false);
    Individual1 = item(DisplayWindowControls1, "Individual1", QStringLiteral("&Individual Windows"),
                       true, false);
    Options1->addMenu(DisplayWindowControls1);
    FitOptions1 = item(Options1, "FitOptions1", QStringLiteral("&Fit Options"), true, false);
    SaveOptions1 = item(Options1, "SaveOptions1", QStringLiteral("Save &Options"), true, false);
    DisplayMarkedSubsets1 = item(Options1, "DisplayMarkedSubsets1",
                                 QStringLiteral("&Display Flagged Subsets"), true, false);
    HighlightUncheckedsamples1 = item(Options1, "HighlightUncheckedsamples1",
                                      QStringLiteral("Highlight Unflagged Samples"), true, false);
    ShowHide1 = item(Options1, "ShowHide1", QStringLiteral("Show-&Hide"), true, false);
    Yaxisoptions1 = submenu(this, "Yaxisoptions1", QStringLiteral("Y-axis options"));
    Logaxis1 = item(Yaxisoptions1, "Logaxis1", QStringLiteral("&Log axis"), true, true);
    MaxFluor1 = item(Yaxisoptions1, "MaxFluor1", QStringLiteral("set &Maximum"));
    MinFluor1 = item(Yaxisoptions1, "MinFluor1", QStringLiteral("set m&Inimum"));
    resetYaxis1 = item(Yaxisoptions1, "resetYaxis1", QStringLiteral("&Reset "));
    Options1->addMenu(Yaxisoptions1);
    Baselineoptions1 = submenu(this, "Baselineoptions1", QStringLiteral("Baseline options"));
    Determinebaselines1 =
        item(Baselineoptions1, "Determinebaselines1", QStringLiteral("&Determine Baselines"));
    SetBaselineCorrected1 =
        item(Baselineoptions1, "SetBaselineCorrected1", QStringLiteral("&Set Baseline-Corrected"));
    BaselineCorrection1 = item(Baselineoptions1, "BaselineCorrection1",
                               QStringLiteral("&Manual Baseline Correction"), true, false);
    RelaxBaselineCriteria1 =
        item(Baselineoptions1, "RelaxBaselineCriteria1", QStringLiteral("Relax Baseline Criteria"));
    Options1->addMenu(Baselineoptions1);
    bar->addMenu(Options1);

    Help1 = submenu(this, "Help1", QStringLiteral("&Help"));
    Help2 = item(Help1, "Help2", QStringLiteral("&Help"));
    OpenManualpdf1 = item(Help1, "OpenManualpdf1", QStringLiteral("&Open Manual (pdf)"));
    Faqs1 = item(Help1, "Faqs1", QStringLiteral("FAQs"));
    Handlingnoise1 = item(Help1, "Handlingnoise1", QStringLiteral("handling &Noise"));
    Disclaimer1 = item(Help1, "Disclaimer1", QStringLiteral("&Disclaimer"));
    About1 = item(Help1, "About1", QStringLiteral("&About"));
    bar->addMenu(Help1);

    // Commands whose work is not part of this window yet: present, disabled.
    for (QAction* a : {ReadfromRDML1, SavetoRDML13, SavetoRDML2, SavetoRDML111})
        a->setEnabled(false);
}

void Tmainform::BuildPages() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("CentralPanel"));
    auto* splitter = named(new QSplitter(Qt::Horizontal, central), "MainSplitter");
    PageControl1 = pagecontrol(splitter, "PageControl1");
    TabSheetAllSamples = page(PageControl1, "TabSheetAllSamples", QStringLiteral("All Samples "));
    TabSheetIndivSample =
        page(PageControl1, "TabSheetIndivSample", QStringLiteral("Individual Sample"));
    AmpliGroupsTabSheet =
        page(PageControl1, "AmpliGroupsTabSheet", QStringLiteral("Amplicon Groups"));
    TissueSampleTabSheet =
        page(PageControl1, "TissueSampleTabSheet", QStringLiteral("Tissue Annotation"));
    TabSheetData = page(PageControl1, "TabSheetData", QStringLiteral("Data"));
    TabSheetOptions = page(PageControl1, "TabSheetOptions", QStringLiteral("Fit / Save Options"));
    TabSheetshoworhide = page(PageControl1, "TabSheetshoworhide", QStringLiteral("Show or Hide"));
    TabSheetUserSettings =
        page(PageControl1, "TabSheetUserSettings", QStringLiteral("User Settings"));
    TabSheetGroupsStats =
        page(PageControl1, "TabSheetGroupsStats", QStringLiteral("Group Statistics"));
    TabSheetScratch = page(PageControl1, "TabSheetScratch", QStringLiteral("scratch"));
    TabSheetWorkshop = page(PageControl1, "TabSheetWorkshop", QStringLiteral("Workshop"));
    TabSheetCheckRDMLVersion =
        page(PageControl1, "TabSheetCheckRDMLVersion", QStringLiteral("check rdml version"));

    BuildAllSamplesPage();
    BuildIndivSamplePage();
    BuildGroupsPage();
    BuildTissuePage();
    BuildDataPage();
    BuildOptionsPage();
    BuildShowHidePage();
    BuildUserSettingsPage();
    BuildGroupStatsPage();
    BuildScratchPage();
    BuildWorkshopPage();
    BuildCheckRdmlPage();
    BuildRdmlControls();

    auto* right = new QWidget(splitter);
    right->setObjectName(QStringLiteral("RightPanel"));
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addWidget(BuildControlColumn());
    rightLayout->addWidget(BuildSurveyArea(), 1);
    splitter->addWidget(PageControl1);
    splitter->addWidget(right);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    // At the opening size the page row shows the captions of a run's pages
    // whole; the controls and survey charts keep the rest.
    splitter->setSizes({800, 470});

    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(splitter);
    setCentralWidget(central);
    // Spreadsheet roads, diagnostic and workshop tabs.
    ConnectSpreadsheetHandlers();
    for (QTableWidget* g : findChildren<QTableWidget*>()) TGridColumnSizer::Attach(g);
}

QWidget* Tmainform::BuildControlColumn() {
    auto* column = new QWidget(this);
    column->setObjectName(QStringLiteral("ControlPanel"));
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(2, 2, 2, 2);

    auto* baselinePanel = named(new TClickPanel(column), "BaselineButtonPanel");
    BaselineButtonPanel = baselinePanel;
    BaselineButtonPanel->setFrameShape(QFrame::Panel);
    BaselineButtonPanel->setFrameShadow(QFrame::Raised);
    BaselineButtonPanel->setAutoFillBackground(true);
    BaselineButtonPanel->setStyleSheet(QStringLiteral("#BaselineButtonPanel { background: red; }"));
    BaselineButtonLabel =
        label(BaselineButtonPanel, QStringLiteral("Determine Baselines"), "BaselineButtonLabel");
    BaselineButtonLabel->setStyleSheet(QStringLiteral("color: white; font-weight: bold;"));
    auto* bl = new QHBoxLayout(BaselineButtonPanel);
    bl->addWidget(BaselineButtonLabel, 0, Qt::AlignCenter);
    BaselineButtonPanel->setMinimumHeight(34);
    layout->addWidget(BaselineButtonPanel);

    CommonGroupWindowRG =
        radiogroup(column, "CommonGroupWindowRG", QStringLiteral(" Window-of-Linearity "),
                   {QStringLiteral("common "), QStringLiteral("amplicon group"),
                    QStringLiteral("individual fit")},
                   0);
    ThresholdsRG =
        radiogroup(column, "ThresholdsRG", QStringLiteral(" Threshold "),
                   {QStringLiteral("common threshold"), QStringLiteral("group thresholds")}, 0);
    layout->addLayout(row({CommonGroupWindowRG, ThresholdsRG}, false));

    PageControlWolTreshold = pagecontrol(column, "PageControlWolTreshold");
    TabSheetWoL =
        page(PageControlWolTreshold, "TabSheetWoL", QStringLiteral("Window - of - Linearity"));
    TabSheetThreshold =
        page(PageControlWolTreshold, "TabSheetThreshold", QStringLiteral("Cq - Threshold"));

    // Window editors: common / group, and individual / baseline.
    CommonOrGroupPC = pagecontrol(TabSheetWoL, "CommonOrGroupPC");
    TabSheetCommonWindow =
        page(CommonOrGroupPC, "TabSheetCommonWindow", QStringLiteral("common window"));
    TabSheetGroupWindow =
        page(CommonOrGroupPC, "TabSheetGroupWindow", QStringLiteral("group windows"));
    {
        QWidget* p = TabSheetCommonWindow;
        cuplimedit = edit(p, "cuplimedit");
        cupfluoredit = edit(p, "cupfluoredit");
        cupUD = updown(p, "cupUD", -1000, 1000, 0);
        clowlimedit = edit(p, "clowlimedit");
        clowfluoredit = edit(p, "clowfluoredit");
        clowUD = updown(p, "clowUD", -1000, 1000, 0);
        applycommonbut = button(p, "applycommonbut", QStringLiteral("apply"));
        ResetDefaultCommonButton =
            button(p, "ResetDefaultCommonButton", QStringLiteral("reset default"));
        auto* g = new QGridLayout(p);
        g->addWidget(label(p, QStringLiteral("log")), 0, 1);
        g->addWidget(label(p, QStringLiteral("fluor.")), 0, 3);
        limitrow(g, p, 1, QStringLiteral("upper"), cuplimedit, cupUD, cupfluoredit);
        limitrow(g, p, 2, QStringLiteral("lower"), clowlimedit, clowUD, clowfluoredit);
        g->addWidget(applycommonbut, 1, 4);
        g->addWidget(ResetDefaultCommonButton, 2, 4);
    }
    {
        QWidget* p = TabSheetGroupWindow;
        AmpGroupNumEdit = edit(p, "AmpGroupNumEdit", {}, 40, true);
        AmpGrNumUD = updown(p, "AmpGrNumUD", 1, 1, 1);
        GrUpLimEdit = edit(p, "GrUpLimEdit");
        GrUpFluorEdit = edit(p, "GrUpFluorEdit");
        GrUpUD = updown(p, "GrUpUD", -1000, 1000, 0);
        GrLowLimEdit = edit(p, "GrLowLimEdit");
        GrLowFluorEdit = edit(p, "GrLowFluorEdit");
        GrLowUD = updown(p, "GrLowUD", -1000, 1000, 0);
        ApplyGroupButton = button(p, "ApplyGroupButton", QStringLiteral("apply"));
        ResetDefaultGroupWindowButton =
            button(p, "ResetDefaultGroupWindowButton", QStringLiteral("reset default"));
        auto* g = new QGridLayout(p);
        g->addWidget(label(p, QStringLiteral("group")), 0, 0);
        g->addLayout(row({AmpGroupNumEdit, AmpGrNumUD}), 0, 1, 1, 3);
        limitrow(g, p, 1, QStringLiteral("upper"), GrUpLimEdit, GrUpUD, GrUpFluorEdit);
        limitrow(g, p, 2, QStringLiteral("lower"), GrLowLimEdit, GrLowUD, GrLowFluorEdit);
        g->addWidget(ApplyGroupButton, 1, 4);
        g->addWidget(ResetDefaultGroupWindowButton, 2, 4);
        g->addWidget(button(p, "RecalculateWoLButton", QStringLiteral("recalculate W-o-L")), 0, 4);
    }
    IndividualPC = pagecontrol(TabSheetWoL, "IndividualPC");
    TabSheet_window = page(IndividualPC, "TabSheet_window", QStringLiteral(" individ. window"));
    TabSheet_baseline = page(IndividualPC, "TabSheet_baseline", QStringLiteral("baseline corr."));
    {
        QWidget* p = TabSheet_window;
        iuplimedit = edit(p, "iuplimedit");
        iupfluoredit = edit(p, "iupfluoredit");
        iupUD = updown(p, "iupUD", -1000, 1000, 0);
        ilowlimedit = edit(p, "ilowlimedit");
        ilowfluoredit = edit(p, "ilowfluoredit");
        ilowUD = updown(p, "ilowUD", -1000, 1000, 0);
        applyindivbut = button(p, "applyindivbut", QStringLiteral("apply"));
        auto* g = new QGridLayout(p);
        limitrow(g, p, 0, QStringLiteral("upper"), iuplimedit, iupUD, iupfluoredit);
        g->addWidget(applyindivbut, 0, 4);
        limitrow(g, p, 1, QStringLiteral("lower"), ilowlimedit, ilowUD, ilowfluoredit);
    }
    {
        QWidget* p = TabSheet_baseline;
        samplenum3 = edit(p, "samplenum3", QStringLiteral("1"), 40);
        sampud3 = updown(p, "sampud3", 1, 1, 1, true);
        rg_bgstep = radiogroup(
            p, "rg_bgstep", QStringLiteral("step (x current baseline) "),
            {QStringLiteral("0.01"), QStringLiteral("0.001"), QStringLiteral("0.0001")}, 1, 3);
        ResetDefaultbaselineButton =
            button(p, "ResetDefaultbaselineButton", QStringLiteral("reset default"));
        bgedit = edit(p, "bgedit", QStringLiteral("0"));
        bgUpDown = updown(p, "bgUpDown", 0, 1000, 500);
        indivBaselineButton = button(p, "indivBaselineButton", QStringLiteral("apply baseline"));
        GetMinFluButton = button(p, "GetMinFluButton", QStringLiteral("get Min.Flu"));
        for (QWidget* w : std::initializer_list<QWidget*>{bgedit, bgUpDown, indivBaselineButton})
            w->hide();
        auto* v = new QVBoxLayout(p);
        v->addLayout(row(
            {label(p, QStringLiteral("sample")), samplenum3, sampud3, ResetDefaultbaselineButton}));
        v->addWidget(rg_bgstep);
        v->addLayout(row({bgedit, bgUpDown, indivBaselineButton, GetMinFluButton}));
    }
    auto* wolLayout = new QVBoxLayout(TabSheetWoL);
    wolLayout->setContentsMargins(2, 2, 2, 2);
    wolLayout->addWidget(CommonOrGroupPC);
    wolLayout->addWidget(IndividualPC);
    CommonOrGroupPC->hide();
    IndividualPC->hide();
    wolLayout->addStretch();

    ftvaledit = edit(TabSheetThreshold, "ftvaledit");
    ctcalcButton = button(TabSheetThreshold, "ctcalcButton", QStringLiteral("calculate Cq values"));
    {
        auto* v = new QVBoxLayout(TabSheetThreshold);
        v->addLayout(row(
            {label(TabSheetThreshold, QStringLiteral("log threshold")), ftvaledit, ctcalcButton}));
        v->addStretch();
    }
    layout->addWidget(PageControlWolTreshold);
    return column;
}

QWidget* Tmainform::BuildSurveyArea() {
    auto* area = new QWidget(this);
    area->setObjectName(QStringLiteral("SurveyPanel"));
    auto* layout = new QVBoxLayout(area);
    layout->setContentsMargins(2, 2, 2, 2);

    BrowseGroupsPanel = panel(area, "BrowseGroupsPanel");
    ShowGroupCB = named(new QComboBox(BrowseGroupsPanel), "ShowGroupCB");
    ShowGroupCB->addItem(QStringLiteral("All"));
    ShowGroupUD = updown(BrowseGroupsPanel, "ShowGroupUD", 0, 0, 0);
    cb_show_hidden =
        check(BrowseGroupsPanel, "cb_show_hidden", QStringLiteral("show data of hidden samples"));
    {
        auto* h = new QHBoxLayout(BrowseGroupsPanel);
        h->addWidget(label(BrowseGroupsPanel, QStringLiteral(" display in survey graphs ")));
        h->addWidget(ShowGroupCB, 1);
        h->addWidget(ShowGroupUD);
        h->addWidget(cb_show_hidden);
    }
    BrowseGroupsPanel->hide();
    layout->addWidget(BrowseGroupsPanel);

    PageControl2 = pagecontrol(area, "PageControl2");
    TabSheetPCREffs = page(PageControl2, "TabSheetPCREffs", QStringLiteral("PCR efficiencies"));
    TabSheetCorrel = page(PageControl2, "TabSheetCorrel", QStringLiteral("Correlations (R)"));
    TabSheetNpoints = page(PageControl2, "TabSheetNpoints", QStringLiteral("Points Included"));
    PCR_eff_Chart = chart(TabSheetPCREffs, "PCR_eff_Chart", QStringLiteral("Samples"),
                          QStringLiteral("PCR efficiency"), 1.0, 2.0);
    cb_pcr_axis = check(TabSheetPCREffs, "cb_pcr_axis", QStringLiteral("adjust Y-axis"));
    Correl_Chart = chart(TabSheetCorrel, "Correl_Chart", QStringLiteral("Samples"),
                         QStringLiteral("Correlation coefficient"), 0.995, 1.0);
    CB_corr_axis = check(TabSheetCorrel, "CB_corr_axis", QStringLiteral("adjust Y-axis"));
    npoints_Chart = chart(TabSheetNpoints, "npoints_Chart", QStringLiteral("Samples"),
                          QStringLiteral("points in window"), 0, 10);
    for (auto [p, view, box] :
         {std::tuple<QWidget*, QWidget*, QWidget*>{TabSheetPCREffs, PCR_eff_Chart, cb_pcr_axis},
          {TabSheetCorrel, Correl_Chart, CB_corr_axis},
          {TabSheetNpoints, npoints_Chart, nullptr}}) {
        auto* v = new QVBoxLayout(p);
        v->setContentsMargins(2, 2, 2, 2);
        v->addWidget(view, 1);
        if (box) v->addWidget(box);
    }
    layout->addWidget(PageControl2, 1);
    return area;
}

void Tmainform::BuildAllSamplesPage() {
    QWidget* p = TabSheetAllSamples;
    allsampchart = chart(p, "allsampchart", QStringLiteral("Cycles"),
                         QStringLiteral("Log(Fluorescence)"), -2, 2);
    samplenum2 = edit(p, "samplenum2", QStringLiteral("1"), 40, true);
    sampud2 = updown(p, "sampud2", 1, 1, 1, true);
    cb_isdisplayed = check(p, "cb_isdisplayed", QStringLiteral("display in graph"), true);
    showallBut = button(p, "showallBut", QStringLiteral("show all"));
    logYaxisall = check(p, "logYaxisall", QStringLiteral("Log Axis"), true);
    subsetDisplayLabel = label(p, QStringLiteral("display "), "subsetDisplayLabel");
    ShowSetCB = named(new QComboBox(p), "ShowSetCB");
    ShowSetCB->addItems({QStringLiteral("all samples"), QStringLiteral("no amplification"),
                         QStringLiteral("baseline error"), QStringLiteral("no plateau"),
                         QStringLiteral("noisy samples"), QStringLiteral("excluded by user"),
                         QStringLiteral("no target quantity calculated"),
                         QStringLiteral("target quantity calculated"),
                         QStringLiteral("unflagged samples")});
    subsetDisplayLabel->hide();
    ShowSetCB->hide();
    ToggleShowRG =
        radiogroup(p, "ToggleShowRG", QString(),
                   {QStringLiteral("all samples"), QStringLiteral("outside range")}, 0, 2);
    ToggleShowRG->hide();
    auto* v = new QVBoxLayout(p);
    v->addWidget(allsampchart, 1);
    v->addLayout(row({label(p, QStringLiteral("sample")), samplenum2, sampud2, cb_isdisplayed,
                      showallBut, logYaxisall, subsetDisplayLabel, ShowSetCB, ToggleShowRG}));
}

void Tmainform::BuildIndivSamplePage() {
    QWidget* p = TabSheetIndivSample;
    samplechart = chart(p, "samplechart", QStringLiteral("Cycles"),
                        QStringLiteral("Log(Fluorescence)"), -2, 2);
    samplenum = edit(p, "samplenum", QStringLiteral("1"), 40);
    sampUD = updown(p, "sampUD", 1, 1, 1, true);
    samplename = edit(p, "samplename", {}, 160, true);
    logyaxis = check(p, "logyaxis", QStringLiteral("Log axis"), true);
    rawdataCB = check(p, "rawdataCB", QStringLiteral("also show raw data"));
    rawdataCB->hide();
    SampleGrid = grid(p, "SampleGrid", 3, 2);
    SampleGrid->setFixedWidth(210);
    correl_out = edit(p, "correl_out", {}, 80, true);
    PCReffout = edit(p, "PCReffout", {}, 80, true);
    ncurrincluedit = edit(p, "ncurrincluedit", {}, 40, true);
    useind_CB = check(p, "useind_CB", QStringLiteral("individual window in use"));
    IndividualFitCB = check(p, "IndividualFitCB", QStringLiteral("Individual Window-of-Linearity"));
    MarkAsSkippedCB = check(p, "MarkAsSkippedCB", QStringLiteral("Mark sample as excluded"));
    BaselineErrorLabel = label(p, QStringLiteral("Baseline Error"), "BaselineErrorLabel");
    BaselineErrorLabel->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));
    BaselineErrorLabel->hide();
    IgnoreBLerrorButton = button(p, "IgnoreBLerrorButton", QStringLiteral("ignore error"));
    IgnoreBLerrorButton->hide();
    IndivAmpGroupLabel = label(p, QStringLiteral("Amplicon Group:"), "IndivAmpGroupLabel");
    IndivAmpGroupEdit = edit(p, "IndivAmpGroupEdit", {}, 40, true);
    IndivAmpGroupLabel->hide();
    IndivAmpGroupEdit->hide();

    auto* left = new QVBoxLayout;
    left->addWidget(samplechart, 1);
    left->addLayout(row(
        {label(p, QStringLiteral("sample")), samplenum, sampUD, samplename, logyaxis, rawdataCB}));
    auto* side = new QGridLayout;
    side->addWidget(label(p, QStringLiteral("PCR efficiency")), 0, 0);
    side->addWidget(PCReffout, 0, 1);
    side->addWidget(label(p, QStringLiteral("correlation")), 1, 0);
    side->addWidget(correl_out, 1, 1);
    side->addWidget(label(p, QStringLiteral("points in window")), 2, 0);
    side->addWidget(ncurrincluedit, 2, 1);
    side->addWidget(IndivAmpGroupLabel, 3, 0);
    side->addWidget(IndivAmpGroupEdit, 3, 1);
    side->addWidget(useind_CB, 4, 0, 1, 2);
    side->addWidget(IndividualFitCB, 5, 0, 1, 2);
    side->addWidget(MarkAsSkippedCB, 6, 0, 1, 2);
    side->addWidget(BaselineErrorLabel, 7, 0);
    side->addWidget(IgnoreBLerrorButton, 7, 1);
    side->addWidget(SampleGrid, 8, 0, 1, 2);
    side->setRowStretch(8, 1);
    auto* h = new QHBoxLayout(p);
    h->addLayout(left, 1);
    h->addLayout(side);
}

void Tmainform::BuildGroupsPage() {
    QWidget* p = AmpliGroupsTabSheet;
    PageControlGroups = pagecontrol(p, "PageControlGroups");
    TabSheetSampleGrouping =
        page(PageControlGroups, "TabSheetSampleGrouping", QStringLiteral("Sample Grouping"));
    QWidget* s = TabSheetSampleGrouping;
    AllOneGroupRB = radio(s, "AllOneGroupRB", QStringLiteral("all samples one group"));
    ManualGrpsRB = radio(s, "ManualGrpsRB", QStringLiteral("type identifiers"));
    PartXGroupRB = radio(s, "PartXGroupRB", QStringLiteral("base groups on "));
    ExcelGroupRB = radio(s, "ExcelGroupRB", QStringLiteral("read from Excel "));
    OtherNameOptionsRB = radio(s, "OtherNameOptionsRB", QStringLiteral("other options"));
    // The four sources are one choice, though "read from Excel " sits outside
    // the panel of the other three; "other options" shows that panel and is
    // checked while one of the three is the source.
    auto* sources = named(new QButtonGroup(s), "GroupSourceButtons");
    for (QAbstractButton* b : {AllOneGroupRB, ManualGrpsRB, PartXGroupRB, ExcelGroupRB})
        sources->addButton(b);
    OtherNameOptionsRB->setAutoExclusive(false);
    OtherGroupOptionsPanel = panel(s, "OtherGroupOptionsPanel");
    {
        QWidget* o = OtherGroupOptionsPanel;
        PartWantedEdit = edit(o, "PartWantedEdit", QStringLiteral("1"), 30);
        rankLabel = label(o, QStringLiteral("st"), "rankLabel");
        FrontBackRG = radiogroup(o, "FrontBackRG", QString(),
                                 {QStringLiteral("Front"), QStringLiteral("Back")}, 0, 2);
        NameSepEdit = edit(o, "NameSepEdit", QStringLiteral(" "), 30);
        GroupButton = button(o, "GroupButton", QStringLiteral("Extract Amplicons"));
        EditGroupsButton = button(o, "EditGroupsButton", QStringLiteral("Edit Identifiers"));
        EditGroupsButton->setProperty("Tag", 1);
        auto* v = new QVBoxLayout(o);
        v->addWidget(AllOneGroupRB);
        v->addLayout(row({ManualGrpsRB, EditGroupsButton}));
        v->addLayout(row({PartXGroupRB, PartWantedEdit, rankLabel,
                          label(o, QStringLiteral("part of name from the")), FrontBackRG}));
        v->addLayout(
            row({label(o, QStringLiteral("part separator: SPACE and")), NameSepEdit, GroupButton}));
    }
    AmpliconFromExcelPanel = panel(s, "AmpliconFromExcelPanel");
    {
        QWidget* o = AmpliconFromExcelPanel;
        auto* books = named(new QComboBox(o), "books_CB2");
        auto* sheets = named(new QComboBox(o), "Sheets_CB2");
        auto* v = new QVBoxLayout(o);
        v->addLayout(row({label(o, QStringLiteral("File:")), books,
                          label(o, QStringLiteral("Sheet:")), sheets}));
        v->addLayout(
            row({label(o, QStringLiteral("column:")), edit(o, "AmplicolEdit", {}, 40),
                 label(o, QStringLiteral("rows from:")), edit(o, "AmpliStartRowEdit", {}, 40),
                 label(o, QStringLiteral("to")), edit(o, "AmpliStopRowEdit", {}, 40),
                 label(o, QStringLiteral("(without header row)"))}));
        v->addWidget(button(o, "ReadAmpliconsButton", QStringLiteral("Read Amplicons")));
    }
    AmpliconFromExcelPanel->hide();
    numgroupsEdit = edit(s, "numgroupsEdit", QStringLiteral("1"), 40, true);
    SetWolAfterReadButton =
        button(s, "SetWolAfterReadButton", QStringLiteral("Set W-o-L per group"));
    SetWolPerGroupButton = button(s, "SetWolPerGroupButton", QStringLiteral("Set W-o-L per group"));
    SetWolAfterReadButton->hide();
    AmpliconGroupGrid = grid(s, "AmpliconGroupGrid", 3, 2);
    AmpGrNumUD2 = updown(s, "AmpGrNumUD2", 1, 1, 1);
    AmpGroupNumEdit2 = edit(s, "AmpGroupNumEdit2", QStringLiteral("1"), 30, true);
    GroupIdentEdit = edit(s, "GroupIdentEdit", {}, 120, true);
    cDNARadioButton = radio(s, "cDNARadioButton", QStringLiteral("cDNA sequence"));
    mRNARadioButton = radio(s, "mRNARadioButton", QStringLiteral("mRNA sequence"));
    cDNARadioButton->setEnabled(false);
    mRNARadioButton->setEnabled(false);
    AmpGrNumUD2->hide();
    auto* left = new QVBoxLayout;
    left->addWidget(OtherNameOptionsRB);
    left->addWidget(ExcelGroupRB);
    left->addWidget(OtherGroupOptionsPanel);
    left->addWidget(AmpliconFromExcelPanel);
    left->addLayout(row({label(s, QStringLiteral("number of groups")), numgroupsEdit,
                         SetWolPerGroupButton, SetWolAfterReadButton}));
    left->addLayout(
        row({label(s, QStringLiteral("group")), AmpGroupNumEdit2, AmpGrNumUD2, GroupIdentEdit}));
    left->addLayout(row({cDNARadioButton, mRNARadioButton}));
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(AmpliconGroupGrid, 1);
    right->addWidget(button(s, "AmpliconGroupsToExcelButton", QStringLiteral("grid to Excel")));
    auto* h = new QHBoxLayout(s);
    h->addLayout(left);
    h->addLayout(right, 1);
    auto* v = new QVBoxLayout(p);
    v->addWidget(PageControlGroups);
}

void Tmainform::BuildTissuePage() {
    QWidget* p = TissueSampleTabSheet;
    ReadTissFromExcelRB = radio(p, "ReadTissFromExcelRB", QStringLiteral("read from Excel "));
    OtherTisseuAnnotOptionsRB =
        radio(p, "OtherTisseuAnnotOptionsRB", QStringLiteral("other tissue annotation options"));
    ReadTissuesPanel = panel(p, "ReadTissuesPanel");
    {
        QWidget* o = ReadTissuesPanel;
        auto* v = new QVBoxLayout(o);
        v->addLayout(
            row({label(o, QStringLiteral("File:")), named(new QComboBox(o), "books_cb"),
                 label(o, QStringLiteral("Sheet:")), named(new QComboBox(o), "sheets_cb")}));
        v->addLayout(
            row({label(o, QStringLiteral("columns from:")), edit(o, "startcoledit", {}, 40),
                 label(o, QStringLiteral("to:")), edit(o, "stopcoledit", {}, 40)}));
        v->addLayout(row({label(o, QStringLiteral("rows from:")), edit(o, "startrowedit", {}, 40),
                          label(o, QStringLiteral("to:")), edit(o, "stoprowedit", {}, 40),
                          label(o, QStringLiteral("(incl. header row)"))}));
        v->addWidget(button(o, "ReadTissuesButton", QStringLiteral("Read Tissues")));
    }
    ReadTissuesPanel->hide();
    OtherTissueAnnotOptionsPanel = panel(p, "OtherTissueAnnotOptionsPanel");
    {
        QWidget* o = OtherTissueAnnotOptionsPanel;
        auto* v = new QVBoxLayout(o);
        v->addLayout(row({radio(o, "OneTissueRB", QStringLiteral("one tissue sample: ")),
                          edit(o, "OneTissueEdit", {}, 100),
                          button(o, "SetOneTissueButton", QStringLiteral("Set One Tissue"))}));
        auto* editTissues = button(o, "EditTissuesButton", QStringLiteral("Edit Tissues"));
        editTissues->setProperty("Tag", 1);
        v->addLayout(
            row({radio(o, "ManTissRB", QStringLiteral("manual identification")), editTissues}));
        v->addLayout(
            row({radio(o, "ExtractTissRB", QStringLiteral("extract tissue from ")),
                 radiogroup(o, "TissPartRG", QString(),
                            {QStringLiteral("Front"), QStringLiteral("Back")}, 0, 2),
                 label(o, QStringLiteral("from the")), edit(o, "PartEdit", QStringLiteral("1"), 30),
                 label(o, QStringLiteral("st"), "partLabel"),
                 label(o, QStringLiteral(" part of sample name"))}));
        auto* extract = button(o, "ExtractTissuesButton", QStringLiteral("Extract Tissues"));
        extract->setEnabled(false);
        v->addLayout(row({label(o, QStringLiteral("part separator: SPACE and")),
                          edit(o, "TissSepEdit", QStringLiteral(" "), 30), extract}));
    }
    OtherTissueAnnotOptionsPanel->hide();
    auto* tissues = pagecontrol(p, "PageControlTissues");
    QWidget* perSample = page(tissues, "TabSheetTissPerSamp", QStringLiteral("Tissue per sample"));
    QWidget* unique = page(tissues, "TabSheetUniqueTissues", QStringLiteral("Unique tissue IDs"));
    {
        auto* v = new QVBoxLayout(perSample);
        v->addWidget(grid(perSample, "TissueSampSG", 2, 2), 1);
        v->addWidget(button(perSample, "TissuesToExcelButton", QStringLiteral("grid to Excel")));
        auto* u = new QVBoxLayout(unique);
        u->addWidget(grid(unique, "UniqueTissuesSG", 2, 2), 1);
        u->addWidget(button(unique, "UniqueTissuesToExcelButton", QStringLiteral("grid to Excel")));
    }
    auto* hiddenUnique =
        button(p, "UniqueAnnotationsButton", QStringLiteral("Determine Unique Annotations"));
    hiddenUnique->hide();
    auto* left = new QVBoxLayout;
    left->addWidget(ReadTissFromExcelRB);
    left->addWidget(OtherTisseuAnnotOptionsRB);
    left->addWidget(ReadTissuesPanel);
    left->addWidget(OtherTissueAnnotOptionsPanel);
    left->addStretch();
    auto* h = new QHBoxLayout(p);
    h->addLayout(left);
    h->addWidget(tissues, 1);
}

void Tmainform::BuildDataPage() {
    QWidget* p = TabSheetData;
    PageControldata = pagecontrol(p, "PageControldata");
    TabSheetInputData = page(PageControldata, "TabSheetInputData", QStringLiteral("input data"));
    TabSheetValidData = page(PageControldata, "TabSheetValidData", QStringLiteral("valid data"));
    inputgrid = grid(TabSheetInputData, "inputgrid", 5, 5);
    inputgridPanel = panel(TabSheetInputData, "inputgridPanel");
    {
        auto* h = new QHBoxLayout(inputgridPanel);
        h->addWidget(
            button(inputgridPanel, "InputGridToExcelButton", QStringLiteral("grid to Excel")));
        h->addStretch();
    }
    inputgridPanel->hide();
    auto* v = new QVBoxLayout(TabSheetInputData);
    v->addWidget(inputgrid, 1);
    v->addWidget(inputgridPanel);
    validdataSG = grid(TabSheetValidData, "validdataSG", 5, 5);
    auto* w = new QVBoxLayout(TabSheetValidData);
    w->addWidget(validdataSG, 1);
    w->addWidget(
        button(TabSheetValidData, "ValidDataToExcelButton", QStringLiteral("grid to Excel")));
    auto* outer = new QVBoxLayout(p);
    outer->addWidget(PageControldata);
}

void Tmainform::BuildOptionsPage() {
    QWidget* p = TabSheetOptions;
    rg_fitoptions = radiogroup(
        p, "rg_fitoptions", QStringLiteral("Fit Options for individual fit"),
        {QStringLiteral("best correlation coefficient, with a minimum of 3 points"),
         QStringLiteral("number of points between two bounds, and best correlation coefficient"),
         QStringLiteral("correlation coefficient of at least ..., and maximal number of points")},
        1);
    minincludedit = edit(p, "minincludedit", QStringLiteral("4"), 40);
    nmaxedit = edit(p, "nmaxedit", QStringLiteral("6"), 40);
    rreqedit = edit(p, "rreqedit", QStringLiteral("0.999"), 60);
    auto* fit = new QVBoxLayout;
    fit->addWidget(rg_fitoptions);
    fit->addLayout(
        row({label(p, QStringLiteral("points from")), minincludedit, label(p, QStringLiteral("to")),
             nmaxedit, label(p, QStringLiteral("required r")), rreqedit}));

    auto* meanBox =
        named(new QGroupBox(QStringLiteral(" Exclude from mean efficiency: samples "), p),
              "MeanEffExclusionGB");
    ExcludeSkippedCB =
        check(meanBox, "ExcludeSkippedCB", QStringLiteral("without amplification"), true);
    ExcludeNoPlateauCB =
        check(meanBox, "ExcludeNoPlateauCB", QStringLiteral("without plateau phase"), true);
    ExcludeOutlierCB = check(meanBox, "ExcludeOutlierCB",
                             QStringLiteral("outside         % of group median"), true);
    IncluPercEdit = edit(meanBox, "IncluPercEdit", QStringLiteral("5"), 36);
    ExcludeTooLowCqCB =
        check(meanBox, "ExcludeTooLowCqCB", QStringLiteral("too low Cq value"), true);
    ExcludeTooLowCqCB->hide();
    {
        auto* v = new QVBoxLayout(meanBox);
        v->addWidget(ExcludeSkippedCB);
        v->addWidget(ExcludeNoPlateauCB);
        v->addLayout(row({ExcludeOutlierCB, IncluPercEdit}));
        v->addWidget(ExcludeTooLowCqCB);
    }
    CheckCqTooLowGB = named(new QGroupBox(QStringLiteral(" Flag sample as 'Cq too low'  "), p),
                            "CheckCqTooLowGB");
    AcceptErrorEffRG = radiogroup(
        CheckCqTooLowGB, "AcceptErrorEffRG", QStringLiteral(" Accepted Error in Efficiency "),
        {QStringLiteral("0.01   (=1%)"), QStringLiteral("0.001 (=0.1%)")}, 1);
    AcceptBiasN0RG =
        radiogroup(CheckCqTooLowGB, "AcceptBiasN0RG", QStringLiteral(" Accepted Bias in N0"),
                   {QStringLiteral("0.05 (=5%)"), QStringLiteral("0.01 (=1%)")}, 1);
    {
        auto* h = new QHBoxLayout(CheckCqTooLowGB);
        h->addWidget(AcceptErrorEffRG);
        h->addWidget(AcceptBiasN0RG);
    }
    CheckCqTooLowGB->hide();
    ExpertPanel = panel(p, "ExpertPanel");
    RelaxCtShiftRG = radiogroup(
        ExpertPanel, "RelaxCtShiftRG", QStringLiteral(" Large Cq-shift defined as 1 cycle at: "),
        {QStringLiteral("5% baseline error"), QStringLiteral("2% baseline error")}, 0);
    RelaxLogLinLengthRG = radiogroup(
        ExpertPanel, "RelaxLogLinLengthRG", QStringLiteral(" Short Log-linear phase defined as "),
        {QStringLiteral("< 20x amplification"), QStringLiteral("< 10x amplification")}, 0);
    {
        auto* h = new QHBoxLayout(ExpertPanel);
        h->addWidget(RelaxCtShiftRG);
        h->addWidget(RelaxLogLinLengthRG);
    }
    ExpertPanel->hide();

    SaveOptionsGB = named(new QGroupBox(QStringLiteral(" Save Options "), p), "SaveOptionsGB");
    OutputColumnsCLB = named(new QListWidget(SaveOptionsGB), "OutputColumnsCLB");
    for (const QString& name : OutputColumnNames()) {
        auto* it = new QListWidgetItem(name, OutputColumnsCLB);
        it->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        it->setCheckState(Qt::Checked);
    }
    allOutputCB = check(SaveOptionsGB, "allOutputCB", QStringLiteral("all columns"), true);
    {
        auto* v = new QVBoxLayout(SaveOptionsGB);
        v->addWidget(allOutputCB);
        v->addWidget(OutputColumnsCLB, 1);
    }
    auto* left = new QVBoxLayout;
    left->addLayout(fit);
    left->addWidget(meanBox);
    left->addWidget(CheckCqTooLowGB);
    left->addWidget(ExpertPanel);
    left->addStretch();
    auto* h = new QHBoxLayout(p);
    h->addLayout(left, 1);
    h->addWidget(SaveOptionsGB);
}

void Tmainform::BuildShowHidePage() {
    QWidget* p = TabSheetshoworhide;
    shownamesbox = named(new QListWidget(p), "shownamesbox");
    shownrsbox = named(new QListWidget(p), "shownrsbox");
    hiddennamesbox = named(new QListWidget(p), "hiddennamesbox");
    hiddennrsbox = named(new QListWidget(p), "hiddennrsbox");
    for (QListWidget* l : {shownamesbox, hiddennamesbox})
        l->setSelectionMode(QAbstractItemView::ExtendedSelection);
    for (QListWidget* l : {shownrsbox, hiddennrsbox}) l->setFixedWidth(50);
    fillboxesbut = button(p, "fillboxesbut", QStringLiteral("refresh"));
    doshowbut = button(p, "doshowbut", QStringLiteral("<< show"));
    dohidebut = button(p, "dohidebut", QStringLiteral("hide >>"));
    doshowallbut = button(p, "doshowallbut", QStringLiteral("<< show all"));
    dohideallbut = button(p, "dohideallbut", QStringLiteral("hide all >>"));
    auto* shown = new QVBoxLayout;
    shown->addWidget(label(p, QStringLiteral("shown samples")));
    shown->addLayout(row({shownrsbox, shownamesbox}, false), 1);
    auto* hidden = new QVBoxLayout;
    hidden->addWidget(label(p, QStringLiteral("hidden samples")));
    hidden->addLayout(row({hiddennrsbox, hiddennamesbox}, false), 1);
    auto* buttons = new QVBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {fillboxesbut, dohidebut, doshowbut, dohideallbut, doshowallbut})
        buttons->addWidget(b);
    buttons->addStretch();
    auto* h = new QHBoxLayout(p);
    h->addLayout(shown, 1);
    h->addLayout(buttons);
    h->addLayout(hidden, 1);
}

void Tmainform::BuildUserSettingsPage() {
    QWidget* p = TabSheetUserSettings;
    RelaxPanel = panel(p, "RelaxPanel");
    BaselineStrictnessRG = radiogroup(RelaxPanel, "BaselineStrictnessRG",
                                      QStringLiteral(" Log-linear phase criterion "),
                                      {QStringLiteral("strictly continuous Log-linear phase"),
                                       QStringLiteral("continuous with jumps (Fc > Fc+1)"),
                                       QStringLiteral("allow jumps and drooping points")},
                                      0);
    {
        auto* v = new QVBoxLayout(RelaxPanel);
        v->addWidget(BaselineStrictnessRG);
    }
    RelaxPanel->hide();
    UserExcluPanel = panel(p, "UserExcluPanel");
    {
        QWidget* o = UserExcluPanel;
        auto* v = new QVBoxLayout(o);
        v->addWidget(label(o, QStringLiteral("Read excluded samples")));
        v->addWidget(radio(o, "ReadExcludeRB", QStringLiteral("connect to Excel ")));
        v->addLayout(
            row({label(o, QStringLiteral("File:")), named(new QComboBox(o), "BooksCB4"),
                 label(o, QStringLiteral("Sheet:")), named(new QComboBox(o), "SheetsCB4")}));
        v->addLayout(
            row({label(o, QStringLiteral("column:")), edit(o, "ExcluColEdit", {}, 40),
                 label(o, QStringLiteral("rows from:")), edit(o, "ExcluStartRowEdit", {}, 40),
                 label(o, QStringLiteral("to:")), edit(o, "ExcluStopRowEdit", {}, 40),
                 label(o, QStringLiteral("(without header row)"))}));
        v->addLayout(row({label(o, QStringLiteral("Excluded samples coded as: ")),
                          edit(o, "ExcluValEdit", QStringLiteral("0"), 40),
                          button(o, "ReadExclusionsButton", QStringLiteral("Read Exclusions"))}));
    }
    auto* v = new QVBoxLayout(p);
    v->addWidget(RelaxPanel);
    v->addWidget(UserExcluPanel);
    v->addStretch();
}

void Tmainform::BuildGroupStatsPage() {
    QWidget* p = TabSheetGroupsStats;
    means_Grid = grid(p, "means_Grid", 7, 3);
    auto* v = new QVBoxLayout(p);
    v->addWidget(means_Grid, 1);
    v->addLayout(row({button(p, "calc_mean_Button", QStringLiteral("calculate means")),
                      button(p, "DetermineEffOutliersButton", QStringLiteral("determine outliers")),
                      button(p, "MeansGridToExcelButton", QStringLiteral("grid to Excel"))}));
}

void Tmainform::BuildScratchPage() {
    QWidget* p = TabSheetScratch;
    auto* pc6 = pagecontrol(p, "PageControl6");
    auto diagnostic = [&](const char* name, const QString& caption, const char* runName,
                          const QString& runCaption, const char* gridName, const char* exportName,
                          QList<QWidget*> extras) {
        QWidget* t = page(pc6, name, caption);
        auto* v = new QVBoxLayout(t);
        auto* r = new QHBoxLayout;
        r->addWidget(button(t, runName, runCaption));
        for (QWidget* w : extras) {
            w->setParent(t);
            r->addWidget(w);
        }
        r->addWidget(button(t, exportName, QStringLiteral("grid to excel")));
        r->addStretch();
        v->addLayout(r);
        v->addWidget(grid(t, gridName, 10, 2), 1);
    };
    diagnostic("TabSheetBaselineSteps", QStringLiteral("steps set baseline "),
               "DisplayBaselineStepsButton", QStringLiteral("Set Baseline"), "StringGrid7",
               "BaselineStepsToExcelButton", {edit(nullptr, "Edit3", QStringLiteral("12"), 40)});
    diagnostic("TabSheetRunsTest", QStringLiteral("Runs test: NoAmplific"), "RunsTestButton",
               QStringLiteral("run Runs test"), "StringGrid2", "ToExcelButtonX", {});
    diagnostic("TabSheetCtShift", QStringLiteral("Ct-shift- baseline shift"), "CtShiftButton",
               QStringLiteral("shift Ct in % error"), "StringGrid6", "CtShiftToExcelButton",
               {edit(nullptr, "shiftRangeEdit", QStringLiteral("5"), 40)});
    diagnostic("TabSheetStepWoL", QStringLiteral("step through WoL"), "Set_WoL_Button",
               QStringLiteral("step through windows"), "StringGrid1", "SetWoLToExcelButton",
               {edit(nullptr, "setwolgroupEdit", QStringLiteral("0"), 40)});
    diagnostic("TabSheetCtDrift", QStringLiteral("Ct drift in log-lin phase"),
               "CtDriftLogLinButton", QStringLiteral("step through log-lin phase"), "StringGrid5",
               "CtDriftLogLinToExcelButton",
               {edit(nullptr, "Edit1", QStringLiteral("0"), 40),
                radiogroup(nullptr, "KeepWoLRG", QStringLiteral("Keep WoL fixed"),
                           {QStringLiteral("yes"), QStringLiteral("no")}, 0, 2)});
    diagnostic("TabSheetStartStop", QStringLiteral("start and stop"), "displayStartStopButton2",
               QStringLiteral("write start stop"), "StringGrid3", "startstoptoexcelButton", {});
    QWidget* hidden = page(pc6, "TabSheetHiddenButtons", QStringLiteral("hidden buttons"));
    ReadRegistryButton = button(hidden, "ReadRegistryButton", QStringLiteral("read registry"));
    SaveRegistryButton = button(hidden, "SaveRegistryButton", QStringLiteral("save registry"));
    auto* hv = new QVBoxLayout(hidden);
    hv->addLayout(
        row({ReadRegistryButton, SaveRegistryButton,
             button(hidden, "reset_samp_But", QStringLiteral("reset to common window")),
             button(hidden, "reset_all_but", QStringLiteral("reset all to common window"))}));
    hv->addLayout(row({button(hidden, "WriteSampleDataButton", QStringLiteral("write sample data")),
                       button(hidden, "AssignNoPlateauButton", QStringLiteral("assign no plateau")),
                       button(hidden, "CalcMeansButton2", QStringLiteral("calculate means")),
                       button(hidden, "TestGridToExcelButton", QStringLiteral("grid to excel"))}));
    hv->addWidget(grid(hidden, "StringGridTest", 8, 2), 1);
    auto* v = new QVBoxLayout(p);
    v->addWidget(pc6);
}

void Tmainform::BuildWorkshopPage() {
    QWidget* p = TabSheetWorkshop;
    auto* v = new QVBoxLayout(p);
    v->addLayout(row(
        {button(p, "BaselineTrendButton", QStringLiteral("Set Baseline Trend")),
         label(p, QStringLiteral("from cycle")), edit(p, "BeginCycleEdit", QStringLiteral("3"), 40),
         label(p, QStringLiteral("to")), edit(p, "EndCycleEdit", QStringLiteral("10"), 40),
         button(p, "ResetDefbgarrButton", QStringLiteral("Reset Baselines")),
         button(p, "FillGridButton", QStringLiteral("Fill Grid"))}));
    v->addWidget(grid(p, "WorkshopSG", 11, 2), 1);
    v->addLayout(row({button(p, "WorkshopGridtoExcelButton", QStringLiteral("grid to Excel")),
                      edit(p, "NewSheetEdit", QStringLiteral("New_Sheet_Name"), 140),
                      named(new QComboBox(p), "WSheetsCB")}));
}

void Tmainform::BuildCheckRdmlPage() {
    QWidget* p = TabSheetCheckRDMLVersion;
    auto* v = new QVBoxLayout(p);
    v->addLayout(row({button(p, "OpenXMLButton", QStringLiteral("open xml")),
                      button(p, "checkSeparatorButton", QStringLiteral("check separator")),
                      button(p, "CheckRDMLCreatorButton", QStringLiteral("Qurvex RDML y/n")),
                      edit(p, "Edit2", {}, 120), label(p, QString(), "SepLabel")}));
    v->addWidget(named(new QListWidget(p), "ListBox1"));
    v->addWidget(named(new QPlainTextEdit(p), "XMLMemo"), 1);
}

}  // namespace qurvex
