// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: menus, pages, charts and controls of one run, the owner
// of the analysis engine, and the engine's view.
//
// Controls carry their names as objectName, so tests and later code can also
// reach any of them with Control<T>("name").
#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointF>
#include <QStringList>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "engine/Engine.h"
#include "mainwindow/ChartView.h"
#include "mainwindow/StartSwitches.h"
#include "spreadsheet/ResultSheets.h"

class QAction;
class QCheckBox;
class QChartView;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QComboBox;
class QTabWidget;
class QTableWidget;

namespace qurvex {

class IPrompter;
class TDocumentOpener;
class TRadioGroup;
class TChartView;
class TRegistry;
struct TRdmlReadResult;
struct TRdmlWriteChoices;
class TUpDown;
struct TDiagnosticResult;
struct TExcelImport;

// Where the window's settings live and how it talks to the user; tests give
// their own.
struct TMainformServices {
    IPrompter* prompter = nullptr;                         // never null when used
    std::function<std::unique_ptr<TRegistry>()> registry;  // empty: the user's settings
    QString documentFolder;                                // empty: the program's folder
};

class Tmainform : public QMainWindow, public IEngineView {
    Q_OBJECT
public:
    // Builds every control and runs FormCreate with `parameters` (the command
    // line without the program name). The first show runs FormActivate.
    Tmainform(const QStringList& parameters, TMainformServices services, QWidget* parent = nullptr);
    ~Tmainform() override;

    TEngine& Engine() { return *engine_; }
    IPrompter& Prompter() { return *services_.prompter; }
    TDocumentOpener& Documents() { return *documents_; }

    template <class T>
    T* Control(const char* name) const {
        return findChild<T*>(QString::fromLatin1(name));
    }

    // ---- start-up and activation
    void FormCreate(const QStringList& parameters);
    // The activation steps; run at the first show and whenever a non-modal
    // window of the program hands the focus back (the RDML reader windows).
    void FormActivate();
    int ActivationCount() const { return activations_; }
    // Enables or disables every edit, push button and up-down of the window
    // (menus, grids, check boxes, radio groups and combo boxes keep their
    // state); ShowGroupUD ends disabled either way.
    void EnableInterface(bool enable);

    // ---- settings
    void CheckDisclaimer();
    void CheckVersion();
    void SaveVersionToRegistry();
    void ReadRegistryButtonClick();
    void SaveRegistryButtonClick();

    // ---- plain menu handlers
    void Disclaimer1Click();
    void About1Click();
    void Help2Click();
    void Handlingnoise1Click();
    void eXit1Click();
    void OpenManualpdf1Click();
    void Faqs1Click();
    void Options1Click();
    void DisplayWindowControls1Click();
    void Common1Click();
    void AmpliconGroups1Click();
    void Individual1Click();
    void FitOptions1Click();
    void SaveOptions1Click();
    void ShowHide1Click();
    void RelaxBaselineCriteria1Click();
    void DisplayMarkedSubsets1Click();
    void HighlightUncheckedsamples1Click();
    void SetWoLwidth1Click();
    void Determinebaselines1Click();
    void SetBaselineCorrected1Click();
    void BaselineCorrection1Click();
    void IndividualFitCBClick();
    void rreqeditChange();
    void minincludeditChange();
    void PartWantedEditEnter();
    void OtherNameOptionsRBClick();
    void OtherTisseuAnnotOptionsRBClick();
    void SetCqCorrNeeded();
    void OutputColumnsCLBClickCheck();
    void allOutputCBClick();
    void fillboxesbutClick();
    // Window side of the two window resets (common window / group window of
    // the current sample); nothing without a run.
    void reset_samp_ButClick();
    // Every sample back to the common window, each shown once in turn.
    void reset_all_butClick();
    void ResetSampToGrpWindow(int s);
    // The sample number in samplenum, within 1..nsamples (0 without a run).
    int CurrentSample() const;
    void ExcludeSkippedCBClick();

    // ---- charts (MainformCharts.cpp). These only mark a chart for
    // redrawing; the charts are drawn once when the user action (or, in a
    // long loop, a quarter of a second) is over, or by FlushCharts.
    void plotallsamps();
    void plotsample(int s);
    void update_surveys();
    void set_sample_pointers();
    // Draws every chart marked for redrawing now.
    void FlushCharts();
    // How many times each chart was drawn from the run (tests, benchmarks).
    int ChartDraws(const TChartView* chart) const;
    bool LogMode() const;
    void logyaxisClick();
    void Log1Click();
    void logYaxisallClick();
    void MinFluor1Click();
    void MaxFluor1Click();
    void resetYaxis1Click();
    void cb_pcr_axisClick();
    void CB_corr_axisClick();
    // Right button: the chart is copied to the clipboard as a picture.
    void allsampchartMouseDown(TChartView* chart, Qt::MouseButton button);
    void cb_isdisplayedClick();
    void showallButClick();
    void cb_show_hiddenClick();

    // ---- navigation and window-limit editors (MainformEditors.cpp)
    void samplenumChange(int s);
    void limiteditchanged(TLimitEdit edit);
    void AmpGroupNumEditchanged();
    void ftvaleditchanged();
    // The user typed a sample number (samplenum, samplenum3).
    void samplenumEdited(const QString& text);
    void sampUDClick(TUpDown* updown, int button);
    void ser_nincluClick(TChartView* chart, int point);
    void cupUDClick(TLimitEdit edit, int button);
    void cupfluoreditChange(TLimitEdit edit);
    void cuplimeditEnter(TLimitEdit edit);
    void cuplimeditExit(TLimitEdit edit);
    void applycommonbutClick();
    void applyindivbutClick();
    // Left click on a line of a fluorescence chart (starts or ends a drag).
    void ser_upClick(TChartView* chart, int series, QPointF value);
    void ftlineindivClick(TChartView* chart, int series, QPointF value);
    void bglineClick(TChartView* chart, int series, QPointF value);
    void samplechartMouseMove(TChartView* chart, QPointF value);
    void ser_sampleClick(int point);
    // Threshold editor.
    void ftvaleditChange(const QString& text);
    void ctcalcButtonClick();
    void ThresholdsRGClick();
    // Manual baseline: false (with a message) when refused.
    bool ApplyManualBaseline(int s, double baseline);
    void IgnoreBLerrorButtonClick();
    void bgeditChange(const QString& text);
    void bgUpDownClick(int button);
    void indivBaselineButtonClick();
    QLineEdit* LimitEdit(TLimitEdit edit) const;
    QLineEdit* FluorEdit(TLimitEdit edit) const;
    TUpDown* LimitUpDown(TLimitEdit edit) const;
    // Number text as the user sees it (decimal separator in force) and back.
    QString Shown(double v, int decimals) const;
    QString Shown(const std::string& canonical) const;
    // The text of an edit as a number in the notation in force ("12 liver",
    // "1,234.5" and "nan" are none); says so in a message when it is none.
    std::optional<double> EditNumber(const QString& shown);

    // Shows or hides a page of a page control (the page stays in its place).
    static void SetTabVisible(QWidget* page, bool visible);
    static bool TabVisible(const QWidget* page);
    // Makes `page` the active page of its page control.
    static void ActivatePage(QWidget* page);

    // Vertical-resize cursor while a chart line is dragged (true), back to the
    // previous cursor (false). Repeated calls with the same value do nothing.
    void SetDragCursor(bool dragging);

    // Handles pending window events (inside long loops).
    void pumpmessages();
    void noisydatasetshown();

    // ---- IEngineView (MainformNotices.cpp): the engine's notices and the
    // controls each touches.
    void progress(int s) override;
    void setbusycursor(bool busy) override;
    void showmessage(TMessageKind kind, const std::string& text) override;
    bool confirm(const std::string& text) override;
    void beep() override;
    bool inputbox(const std::string& caption, const std::string& prompt,
                  std::string& value) override;
    int noisewarning(const std::vector<std::string>& lines) override;
    void helpneeded(THelpTopic topic) override;
    void stagechanged(TRunStage stage) override;
    void pageneeded(TRunPage page) override;
    void tablechanged(TRunTable table, int row) override;
    void resultschanged(int s) override;
    void axeschanged() override;
    void limitschanged(TLimitEdit edit) override;
    void thresholdchanged() override;
    void samplechanged(int s) override;
    void groupshownchanged() override;
    void subsetschanged() override;
    // Rebuilds a table widget of the run from the state.
    void FillDataGrids();
    void FillValidDataRow(int s);
    void FillMeansGrid();
    void FillGroupGrid();
    void FillSubsets();
    // The window-choice radio groups follow the engine's options.
    void ShowWindowChoice();
    // A read is taken over: the lists and edits that show names of a run
    // (targets, samples, groups) are emptied or back to their defaults.
    void ForgetPreviousRunNames();
    // Handlers of run controls (MainformRunControls.cpp).
    void CommonGroupWindowRGClick();
    void PartWantedEditChange(const QString& text);
    void IncluPercEditChange(const QString& text);
    void NameSepEditEnter();
    // The separator is one character: of a longer text the character typed
    // last is kept.
    void NameSepEditChange(const QString& text);
    // Entering the part or separator edit: names are split by part (as a
    // click on PartXGroupRB chooses), unless they already are.
    void ChoosePartXGroupSource();
    // The grouping source radio buttons follow the engine's options.
    void ShowGroupSource();

    // ---- group windows, group browser, subsets, show/hide and the page
    // guard (MainformGroups.cpp, MainformSubsets.cpp)
    void ResetAllToGrpWindow();
    void EditGroupsButtonClick();
    // A cell of AmpliconGroupGrid was edited: column 1 an identifier, column
    // 2 a group code (a non-number is refused with a message).
    void AmpliconGroupGridSetEditText(int col, int row, const QString& value);
    // Window side of the group count: browser, up-downs and group pages.
    void numgroupsEditChange();
    // kind "groups" (the group's first sample becomes current) or "samples".
    void SetAmpGroupNumEdit(int g, const QString& kind);
    void ShowGroupCBChange();
    void ShowGroupUDClick();
    void AmpGrNumUD2Click();
    void ApplyGroupButtonClick();
    void ResetDefaultCommonButtonClick();
    void ResetDefaultGroupWindowButtonClick();
    void ShowSetCBChange();
    // The engine shows a subset: the filter follows once no long step runs.
    void ApplySubsetWhenIdle();
    void doshowbutClick();
    void dohidebutClick();
    void doshowallbutClick();
    void dohideallbutClick();
    // Whether PageControl1 may leave page `from` (warns when it may not).
    bool PageControl1Changing(QWidget* from);
    void PageControl1Change();
    // ---- sample annotations (MainformAnnotations.cpp)
    void OneTissueRBClick();
    void PartEditChange(const QString& text);
    void SetOneTissueButtonClick();
    void EditTissuesButtonClick();
    void ExtractTissuesButtonClick();
    // Numbers the annotation combinations of TissueSampSG into UniqueTissuesSG.
    void UniqueAnnotationsButtonClick();
    // The sample names and annotations of the run in TissueSampSG.
    void FillTissueGrid();
    // Keystroke filter of the range edits (Tag 1 columns, 10/11/12 start rows
    // that fill their stop row, 0 stop rows).
    void stoproweditChange(QLineEdit* edit);
    // Worksheet source of a page: `page` 0 tissues, 1 amplicons, 2 exclusions.
    void FillWorkbookLists(int page);
    void BookChange(int page);
    void SheetChange(int page);
    void ReadExcludeRBClick();
    void ReadTissuesButtonClick();
    void ReadAmpliconsButtonClick();
    void ReadExclusionsButtonClick();
    void GridToExcel(QTableWidget* grid);
    void ConnectGroupsAndSubsets();
    void ConnectAnnotations();

    // ---- menus
    QMenu* File1;
    QAction *ReadExcel1, *ReadfromRDML1, *SavetoExcel1, *SavetoRDML13, *SavetoRDML2, *SavetoRDML111,
        *eXit1;
    QMenu* Fluorescence1;
    QAction *Cumulative1, *Input1, *cDNA1, *dsDNA1;
    QMenu* Options1;
    QAction* SetWoLwidth1;
    QMenu* DisplayWindowControls1;
    QAction *Common1, *AmpliconGroups1, *Individual1;
    QAction *FitOptions1, *SaveOptions1, *DisplayMarkedSubsets1, *HighlightUncheckedsamples1,
        *ShowHide1;
    QMenu* Yaxisoptions1;
    QAction *Logaxis1, *MaxFluor1, *MinFluor1, *resetYaxis1;
    QMenu* Baselineoptions1;
    QAction *Determinebaselines1, *SetBaselineCorrected1, *BaselineCorrection1,
        *RelaxBaselineCriteria1;
    QMenu* Help1;
    QAction *Help2, *OpenManualpdf1, *Faqs1, *Handlingnoise1, *Disclaimer1, *About1;

    // ---- page controls and pages
    QTabWidget* PageControl1;
    QWidget *TabSheetAllSamples, *TabSheetIndivSample, *AmpliGroupsTabSheet, *TissueSampleTabSheet,
        *TabSheetData, *TabSheetOptions, *TabSheetshoworhide, *TabSheetUserSettings,
        *TabSheetGroupsStats, *TabSheetScratch, *TabSheetWorkshop, *TabSheetCheckRDMLVersion;
    QTabWidget* PageControl2;
    QWidget *TabSheetPCREffs, *TabSheetCorrel, *TabSheetNpoints;
    QTabWidget* PageControldata;
    QWidget *TabSheetInputData, *TabSheetValidData;
    QTabWidget* PageControlWolTreshold;
    QWidget *TabSheetWoL, *TabSheetThreshold;
    QTabWidget* CommonOrGroupPC;
    QWidget *TabSheetCommonWindow, *TabSheetGroupWindow;
    QTabWidget* IndividualPC;
    QWidget *TabSheet_window, *TabSheet_baseline;
    QTabWidget* PageControlGroups;
    QWidget* TabSheetSampleGrouping;

    // ---- charts (drawn by the plotting code)
    TChartView *allsampchart, *samplechart, *PCR_eff_Chart, *Correl_Chart, *npoints_Chart;

    // ---- run panel, navigation and window editors
    QFrame* BaselineButtonPanel;
    QLabel* BaselineButtonLabel;
    TRadioGroup *CommonGroupWindowRG, *ThresholdsRG;
    QLineEdit *samplenum, *samplenum2, *samplenum3, *samplename;
    TUpDown *sampUD, *sampud2, *sampud3;
    QLineEdit *cuplimedit, *cupfluoredit, *clowlimedit, *clowfluoredit;
    TUpDown *cupUD, *clowUD;
    QPushButton *applycommonbut, *ResetDefaultCommonButton;
    QLineEdit *AmpGroupNumEdit, *GrUpLimEdit, *GrUpFluorEdit, *GrLowLimEdit, *GrLowFluorEdit;
    TUpDown *AmpGrNumUD, *GrUpUD, *GrLowUD;
    QPushButton *ApplyGroupButton, *ResetDefaultGroupWindowButton;
    QLineEdit *iuplimedit, *iupfluoredit, *ilowlimedit, *ilowfluoredit;
    TUpDown *iupUD, *ilowUD;
    QPushButton* applyindivbut;
    TRadioGroup* rg_bgstep;
    QPushButton *ResetDefaultbaselineButton, *indivBaselineButton, *GetMinFluButton;
    QLineEdit* bgedit;
    TUpDown* bgUpDown;
    QLineEdit* ftvaledit;
    QPushButton* ctcalcButton;

    // ---- all-samples and sample pages
    QCheckBox *cb_isdisplayed, *logYaxisall, *logyaxis, *rawdataCB, *useind_CB, *IndividualFitCB,
        *MarkAsSkippedCB;
    QPushButton *showallBut, *IgnoreBLerrorButton;
    QLabel *subsetDisplayLabel, *BaselineErrorLabel, *IndivAmpGroupLabel;
    QComboBox* ShowSetCB;
    TRadioGroup* ToggleShowRG;
    QTableWidget* SampleGrid;
    QLineEdit *correl_out, *PCReffout, *ncurrincluedit, *IndivAmpGroupEdit;

    // ---- survey charts and group browser
    QFrame* BrowseGroupsPanel;
    QComboBox* ShowGroupCB;
    TUpDown* ShowGroupUD;
    QCheckBox *cb_show_hidden, *cb_pcr_axis, *CB_corr_axis;

    // ---- amplicon groups and group statistics
    QRadioButton *AllOneGroupRB, *ManualGrpsRB, *PartXGroupRB, *ExcelGroupRB, *OtherNameOptionsRB;
    QLineEdit *PartWantedEdit, *NameSepEdit, *numgroupsEdit, *GroupIdentEdit, *AmpGroupNumEdit2;
    QLabel* rankLabel;
    TRadioGroup* FrontBackRG;
    QPushButton *GroupButton, *EditGroupsButton, *SetWolAfterReadButton, *SetWolPerGroupButton;
    QFrame *OtherGroupOptionsPanel, *AmpliconFromExcelPanel;
    QTableWidget *AmpliconGroupGrid, *means_Grid;
    TUpDown* AmpGrNumUD2;
    QRadioButton *cDNARadioButton, *mRNARadioButton;

    // ---- tissue annotation
    QRadioButton *ReadTissFromExcelRB, *OtherTisseuAnnotOptionsRB;
    QFrame *ReadTissuesPanel, *OtherTissueAnnotOptionsPanel;

    // ---- data pages
    QTableWidget *inputgrid, *validdataSG;
    QFrame* inputgridPanel;

    // ---- fit and save options
    TRadioGroup* rg_fitoptions;
    QLineEdit *minincludedit, *nmaxedit, *rreqedit;
    QGroupBox* SaveOptionsGB;
    QListWidget* OutputColumnsCLB;
    QCheckBox* allOutputCB;
    QCheckBox *ExcludeSkippedCB, *ExcludeNoPlateauCB, *ExcludeOutlierCB, *ExcludeTooLowCqCB;
    QLineEdit* IncluPercEdit;
    QGroupBox* CheckCqTooLowGB;
    TRadioGroup *AcceptErrorEffRG, *AcceptBiasN0RG;
    QFrame* ExpertPanel;
    TRadioGroup *RelaxCtShiftRG, *RelaxLogLinLengthRG;

    // ---- show or hide
    QListWidget *shownamesbox, *shownrsbox, *hiddennamesbox, *hiddennrsbox;
    QPushButton *fillboxesbut, *doshowbut, *dohidebut, *doshowallbut, *dohideallbut;

    // ---- user settings
    QFrame *RelaxPanel, *UserExcluPanel;
    TRadioGroup* BaselineStrictnessRG;

    // ---- scratch: hidden buttons
    QPushButton *ReadRegistryButton, *SaveRegistryButton;

    // The 19 output columns, in the list's order (also the settings' value names).
    static const QStringList& OutputColumnNames();

    // ---- RDML read and save (MainformRdmlRead.cpp, MainformRdmlSave.cpp)
    // File, "Read from &RDML": the read dialog in RDML mode, then the read. A
    // refused read leaves the run in memory as it was.
    void ReadfromRDML1Click();
    // The File menu's read items by name: ReadfromRDML1 reads from RDML,
    // ReadExcel1 from Calc; any other sender does nothing.
    void ReadqPCRdata1Click(QObject* sender);
    // Takes a successful read over: engine, grids and lists, processing.
    void TakeOverRdmlRead(const TRdmlReadResult& result);
    // Closing the window: the working copies of RDML documents are removed.
    void FormClose();
    // The hidden check page: version, first fluorescence value, creator of a
    // chosen file.
    void OpenXMLButtonClick();
    void checkSeparatorButtonClick();
    void CheckRDMLCreatorButtonClick();
    // "&Save to RDML 1.3" (tag 13) and "S&ave to RDML 1.2" (tag 12).
    void SavetoRDML2Click(int tag);
    void SavetoRDML111Click();
    void SaveRdmlInputGridButtonClick();
    // What the RDML writers need from this window's controls.
    TRdmlWriteChoices RdmlWriteChoices();
    // A file chosen in a file dialog run through the prompter; "" when
    // cancelled.
    QString ChooseFile(bool save, const QString& caption, const QString& proposal,
                       const QString& filter);
    QTableWidget* RdmlInSG = nullptr;
    QListWidget *TissueLB = nullptr, *TargetsLB = nullptr;
    QLineEdit* TargetnameEdit = nullptr;
    // Per sample (1..nsamples), what the last RDML read added to the raw
    // values to lift negative fluorescence; empty for other runs.
    std::vector<double> rdmllift;
    // ---- spreadsheet roads, diagnostic and workshop tabs
    // (MainformExcelRead.cpp, MainformExcelSave.cpp, MainformDiagnostics.cpp)
    void ReadExcel1Click();
    void SavetoExcel1Click();
    // The save's choices as the window holds them (output columns, target
    // name, annotation grid).
    TSaveChoices SaveChoices() const;
    void DisplayBaselineStepsButtonClick();
    void RunsTestButtonClick();
    void CtShiftButtonClick();
    void CtDriftLogLinButtonClick();
    void displayStartStopButton2Click();
    void GetMinFluButtonClick();
    // StringGrid1 from the engine's last window search (at its notice).
    void ShowWolSearch();
    void BaselineTrendButtonClick();
    void FillGridButtonClick();
    void WorkshopGridtoExcelButtonClick();
    void ResetDefbgarrButtonClick();
    // Copies the named grid into a new sheet of the active Calc document.
    void GridToExcel(const char* gridName);
    // The "grid to Excel" buttons of the diagnostic, data and means pages with
    // their grids (the annotation and RDML pages wire their own).
    static const std::vector<std::pair<const char*, const char*>>& GridExportButtons();

signals:
    // Emitted at the end of FormActivate (tests wait for it).
    void activated();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Builders of the window (MainformLayout.cpp).
    void BuildMenus();
    void BuildPages();
    QWidget* BuildControlColumn();
    QWidget* BuildSurveyArea();
    void BuildAllSamplesPage();
    void BuildIndivSamplePage();
    void BuildGroupsPage();
    void BuildTissuePage();
    void BuildDataPage();
    void BuildOptionsPage();
    void BuildShowHidePage();
    void BuildUserSettingsPage();
    void BuildGroupStatsPage();
    void BuildScratchPage();
    void BuildWorkshopPage();
    void BuildCheckRdmlPage();
    void BuildRdmlControls();
    void ConnectRdmlHandlers();
    void ConnectHandlers();
    void BuildChartSeries();
    void ConnectChartsAndEditors();
    void ConnectRunControls();

    // Chart drawing (MainformCharts.cpp).
    enum TChartPart { kAllSamples = 1, kSample = 2, kSurveys = 4, kPointers = 8 };
    void RequestCharts(int parts);
    void FlushChartsLater();
    void DrawAllSamples();
    void DrawSample(int s);
    void DrawSurveys();
    void DrawSamplePointers(int s);
    void FillSampleOutputs(int s);
    void SetFluorescenceAxes();
    bool AskAxisLimit(bool maximum);

    // Editors (MainformEditors.cpp).
    bool LimitsCross(TLimitEdit edit, double v);
    void RestoreLimitEdit(TLimitEdit edit);
    void ShowIndividualEditor();
    void ShowCommonOrGroupEditor();
    void EndDrag();
    void SetEditText(QLineEdit* edit, const QString& text);

    // Runs a handler; its exception ends in an error box.
    void Guard(const std::function<void()>& handler);
    // True (after telling the user) when no run is loaded.
    bool RefuseWithoutRun();
    // True when a long operation runs: the command is refused silently.
    bool RefuseWhileBusy() const;
    std::unique_ptr<TRegistry> OpenRegistry() const;
    void ShowHelpPage(const QString& page, const QString& subpage = {});
    void ReturnToAllSamples();
    // Copies the option controls into the engine's options.
    void PushOptions();

    // Spreadsheet roads and diagnostic tabs (MainformExcelRead.cpp,
    // MainformDiagnostics.cpp).
    void ConnectSpreadsheetHandlers();
    void TakeOverExcelRun(const TExcelImport& read);
    void EndExcelRead(bool started);
    std::optional<int> WholeNumberIn(const char* editName);
    void ShowExperiment(const TDiagnosticResult& result, const char* gridName);
    void ShowRunAgain();
    void RefillWorkshopGrid();

    TMainformServices services_;
    std::unique_ptr<TEngine> engine_;
    std::unique_ptr<TDocumentOpener> documents_;
    TStartSwitches switches_;
    int activations_ = 0;
    bool firstShowDone_ = false;
    int busyCursorDepth_ = 0;
    bool dragCursor_ = false;

    // Chart redrawing.
    int pendingCharts_ = 0;
    int pendingSample_ = 0;
    int actionDepth_ = 0;
    QTimer chartTimer_;
    QElapsedTimer lastFlush_;
    QElapsedTimer actionStart_;
    std::array<int, 5> chartDraws_{};
    // Line dragging: the chart and whether the line left the allowed range.
    TChartView* dragChart_ = nullptr;
    bool dragOutOfRange_ = false;
    bool ignoreEdits_ = false;
    // NameSepEdit was entered by a click: its text is selected once the
    // click is over.
    bool selectSeparatorOnRelease_ = false;
};

}  // namespace qurvex
