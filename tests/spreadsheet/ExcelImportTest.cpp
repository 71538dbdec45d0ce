// SPDX-License-Identifier: GPL-3.0-or-later
// The whole road of an import against a private headless Calc: real exports opened as a user
// opens them, a block of every layout written into a workbook, and the ways a read ends
// without a run (refusal, cancel, declined question, Calc document closed meanwhile).
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "engine/CqCorrection.h"
#include "engine/Engine.h"
#include "spreadsheet/ExcelImport.h"
#include "spreadsheet/Excelcom.h"
#include "spreadsheet/RadioGroup.h"
#include "spreadsheet/ReadExcelDialog.h"
#include "tests/spreadsheet/CalcTestSupport.h"
#include "tests/spreadsheet/LayoutCases.h"

using namespace qurvex;
using namespace qurvex::test;

namespace {

// A private copy of the real exports: the office puts a lock file beside what
// it opens, and other tests open the same exports in their own offices.
QString PrivateSheets() {
    static QTemporaryDir copies;
    const QDir data(QStringLiteral(QURVEX_TEST_DATA_DIR "/sheets"));
    for (const QString& name : data.entryList(QDir::Files))
        QFile::copy(data.filePath(name), copies.filePath(name));
    return copies.path() + QLatin1Char('/');
}
const QString kSheets = PrivateSheets();

// What the user picks in the read dialog.
struct TDialogChoice {
    QString book;
    QString sheet;
    int layout = 0;
    QString startcol, stopcol;
    int startrow = 1, stoprow = 1;
    bool baselinecorrected = false;
    std::function<void()> afterOk{};  // runs once OK was pressed
};
TDialogChoice g_choice;

struct TUser : TImportAsker {
    std::deque<QString> answers;
    QStringList asked;
    bool yes = true;
    int starts = 0;
    QString InputBox(const QString& caption, const QString&, const QString& def) override {
        asked << caption;
        if (answers.empty()) return def;
        QString a = answers.front();
        answers.pop_front();
        return a;
    }
    bool AskYesNo(const QString& caption, const QString&) override {
        asked << caption;
        return yes;
    }
    void ReadStarts() override { ++starts; }
};

// The read dialog, answered from g_choice without showing it.
int AnswerDialog(QDialog& d) {
    auto& f = static_cast<TreadexcelQVXcomform&>(d);
    f.FormActivate();
    f.booksbox->setCurrentIndex(f.booksbox->findText(g_choice.book));
    f.booksboxChange();
    f.sheetbox->setCurrentIndex(f.sheetbox->findText(g_choice.sheet));
    f.sheetboxChange();
    f.RG_format->SetItemIndex(g_choice.layout);
    f.RG_formatClick();
    f.startcolin->setText(g_choice.startcol);
    f.stopcolin->setText(g_choice.stopcol);
    f.startrowin->setText(QString::number(g_choice.startrow));
    f.stoprowin->setText(QString::number(g_choice.stoprow));
    f.Baseline_RG->SetItemIndex(g_choice.baselinecorrected ? 0 : 1);
    f.OKExcelbuttonClick();
    if (g_choice.afterOk) g_choice.afterOk();
    return f.result();
}

class TQtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "spreadsheet_excel_import_test";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config_.path());
        DialogHooks().runModal = AnswerDialog;
        DialogHooks().showError = [](const QString& text) {
            ADD_FAILURE() << "dialog error: " << text.toStdString();
        };
        ASSERT_TRUE(WaitForOffice(30.0)) << "the test office did not accept within 30 s";
    }
    void TearDown() override { app_.reset(); }

private:
    QTemporaryDir config_;
    std::unique_ptr<QApplication> app_;
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new TQtEnvironment);

Doc LoadText(const QString& path, const char* options) {
    css::uno::Sequence<css::beans::PropertyValue> args(2);
    args.getArray()[0].Name = "FilterName";
    args.getArray()[0].Value <<= rtl::OUString("Text - txt - csv (StarCalc)");
    args.getArray()[1].Name = "FilterOptions";
    args.getArray()[1].Value <<= rtl::OUString::createFromAscii(options);
    Reference<css::frame::XComponentLoader> loader(Desktop(), UNO_QUERY_THROW);
    return Doc(
        loader->loadComponentFromURL(toU(QUrl::fromLocalFile(path).toString()), "_blank", 0, args),
        UNO_QUERY_THROW);
}

double Fluor(const TRunInput& run, int k, int i) {
    return run.rawfluor[static_cast<std::size_t>(k)][static_cast<std::size_t>(i)];
}

struct TRealExport {
    QString file;
    const char* textOptions;  // nullptr: opened by its own type
    TDialogChoice choice;
    std::deque<QString> answers;
    QString run;              // "<samples> x <cycles>: <first name> .. <last name>"
    double fluor11, fluor12;  // sample 1, points 1 and 2, as in the file
    int notices;
};
TRealExport Export(const QString& file, const char* textOptions, const TDialogChoice& choice,
                   std::deque<QString> answers, const char* run, double fluor11, double fluor12,
                   int notices = 0) {
    return {file, textOptions, choice, std::move(answers), run, fluor11, fluor12, notices};
}
QString Summary(const TRunInput& r) {
    return QStringLiteral("%1 x %2: %3 .. %4")
        .arg(r.nsamples)
        .arg(r.ncycles)
        .arg(QString::fromStdString(r.sampname[1]), QString::fromStdString(r.sampname.back()));
}

class ExcelImport : public ::testing::Test {
protected:
    void SetUp() override { CloseAllDocuments(); }
    void TearDown() override { CloseAllDocuments(); }
    TExcelcom excel_;
};

TEST_F(ExcelImport, realExports_wholeRoad_runsAsInTheFiles) {
    QTemporaryDir tmp;
    // The LightCycler 480 export as a user prepares it: only the amplification program's rows.
    const QString lc480 = tmp.filePath(QStringLiteral("Edward_program2.txt"));
    {
        QProcess unzip;
        unzip.start(
            QStringLiteral("gzip"),
            {QStringLiteral("-dc"), kSheets + "Edward_qPCR_Nrd1_calibration_2019-02-02.txt.gz"});
        ASSERT_TRUE(unzip.waitForFinished(30000));
        const QList<QByteArray> lines = unzip.readAllStandardOutput().split('\n');
        QFile out(lc480);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        for (int n = 0; n < lines.size(); ++n)
            if (n < 2 || lines[n].split('\t').value(2) == "2") out.write(lines[n] + '\n');
    }
    const QString mx = QStringLiteral("3000 - Instrument Data - Text Format 1.txt");
    const QString ex08 = "appbio_quantstudio_example08.xlsx";
    const QString qs1 = "appbio_quantstudio_designandanalysis_QS1_Standard_Curve_example01.xlsx";
    const QString ex15 = "appbio_quantstudio_design_and_analysis_example15_v1.5.2.xlsx";
    const QString amp = "Amplification Data";
    const std::vector<TRealExport> exports{
        Export(kSheets + ex08, nullptr, {ex08, amp, 6, "A", "E", 43, 5743}, {},
               "36 x 50: 1_18S .. 30_ANPEP_Human", 0.2718197, 0.27360302, 1),
        Export(kSheets + qs1, nullptr, {qs1, amp, 16, "A", "H", 25, 3865}, {"3"},
               "96 x 40: A1_RNaseP .. H12_RNaseP", 0.503162205219269, 0.501744747161865),
        Export(kSheets + ex15, nullptr, {ex15, amp, 16, "A", "F", 46, 15406}, {},
               "232 x 40: B1_MYGENE .. O16_MYGENE", 1.51985442638397, 1.52457797527313, 1),
        Export(kSheets + mx, "9,34,76,1", {mx, mx.chopped(4), 6, "D", "G", 2, 3842}, {"3", "4"},
               "96 x 40: 1 .. 96", 7269, 7374),
        Export(lc480, "9,34,76,1",
               {"Edward_program2.txt", "Edward_program2", 6, "A", "H", 2, 15362}, {"5", "8"},
               "384 x 40: 1 .. 384", 0.59, 0.57),
        Export(kSheets + "BioRad.xlsx", nullptr, {"BioRad.xlsx", "adp", 20, "A", "Q", 1, 64, true},
               {}, "16 x 63: C3 .. E10", -9.38, 1.02),
        Export(kSheets + "Hanlon_Run1.csv", "44,34,76,1",
               {"Hanlon_Run1.csv", "Hanlon_Run1", 20, "A", "AW", 1, 41}, {}, "48 x 40: 1 .. 48",
               0.100747095, 0.142784928),
    };
    for (const auto& e : exports) {
        SCOPED_TRACE(e.file.toStdString());
        e.textOptions ? LoadText(e.file, e.textOptions) : Load(e.file);
        g_choice = e.choice;
        TUser user;
        user.answers = e.answers;
        TexcelreadQVX record;
        const TExcelImport r = ReadExcelImport(excel_, record, user);
        ASSERT_EQ(r.outcome, TExcelImport::TOutcome::Read) << r.message.text.toStdString();
        EXPECT_FALSE(excel_.IsAttached());
        EXPECT_EQ(user.starts, 1);
        EXPECT_EQ(Summary(r.run).toStdString(), e.run.toStdString());
        EXPECT_NEAR(Fluor(r.run, 1, 1), e.fluor11, 1e-9);  // the file's text has 15 digits
        EXPECT_NEAR(Fluor(r.run, 1, 2), e.fluor12, 1e-9);
        EXPECT_EQ(static_cast<int>(r.notices.size()), e.notices);
        EXPECT_EQ(r.run.expid + "/" + r.run.runid,
                  (e.choice.book + "/" + e.choice.sheet).toStdString());
        EXPECT_TRUE(r.untickTargetSeq && record.fromexcel);
        EXPECT_EQ(r.run.baselinecorrected, e.choice.baselinecorrected);

        // The window's order after a read: the run is analysed.
        TEngine engine;
        engine.ResetInterfaceAfterRead();
        ASSERT_TRUE(engine.loadrun(r.run));
        engine.ProcessDataAfterRead();
        engine.ExtraExcelProcessing();
        EXPECT_EQ(engine.nsamples, r.run.nsamples);
        EXPECT_EQ(engine.ampname[1], "not_named");
        CloseAllDocuments();
    }
}

// A block of every layout written into a sheet reads back as the same run the cut makes of it.
TEST_F(ExcelImport, everyLayout_generatedWorkbook_sameRunAsTheCut) {
    excel_.NewWorkbook();
    const QString book = excel_.CurrentWorkbook();
    for (const auto& c : LayoutCases()) {
        SCOPED_TRACE("layout " + std::to_string(c.layout));
        const QString sheet = excel_.AddSheetLast(QStringLiteral("layout %1").arg(c.layout));
        const TCellBlock block = B(c.block);
        const int rows = static_cast<int>(block.size());
        const int cols = static_cast<int>(block.front().size());
        excel_.AttachExcel();
        excel_.WriteValueToRange(2, cols + 1, 3, rows + 2, block);
        excel_.DetachExcel();
        g_choice = {book, sheet, c.layout, "B", TExcelcom::ColumnToLetters(cols + 1), 3, rows + 2};
        TUser user;
        user.answers = c.answers;
        TexcelreadQVX record;
        const TExcelImport r = ReadExcelImport(excel_, record, user);
        ASSERT_EQ(r.outcome, TExcelImport::TOutcome::Read) << r.message.text.toStdString();
        TUser same;
        same.answers = c.answers;
        const TLayoutCut cut = CutInstrumentLayout(block, record, same);
        const auto fields = [](const TRunInput& x) {
            return std::tie(x.sampname, x.rawfluor, x.rawcyc, x.npoints);
        };
        EXPECT_TRUE(fields(r.run) == fields(cut.run));
        EXPECT_EQ(r.cqcorrneeded, CqCorrNeeded(record.chemistry));
    }
}

// Text numbers through the whole road, in a new workbook of the office's own locale: an en-US
// workbook in the C office, a de-DE one when $QURVEX_TEST_LOCALE is "de". Names with letters stay
// names; a block reads in the workbook's notation, or all in decimal commas; a decimal mark that
// does not fit is refused naming its cell; number cells are numbers in both.
TEST_F(ExcelImport, notation_workbookLocale_textNumbersReadOrRefusedNamingTheCell) {
    const bool german = qEnvironmentVariable("QURVEX_TEST_LOCALE") == QLatin1String("de");
    excel_.NewWorkbook();
    const QString book = excel_.CurrentWorkbook();
    TExcelcom fresh;  // asked without a connection: it attaches on demand
    EXPECT_EQ(fresh.DecimalSeparator(), german ? QLatin1Char(',') : QLatin1Char('.'));
    fresh.DetachExcel();
    const QString sheet = fresh.CurrentSheet();
    const auto t = [](const char* text) { return TCellValue::Text(QString::fromUtf8(text)); };
    const auto n = [](double v) { return TCellValue::Number(v); };
    // Layout "Mic" from B2: names in row 2, cycles in column B, fluorescence in C3:E4.
    const auto read = [&](const TCellValue& c3, const TCellValue& c4) {
        const TCellBlock block{{t("Cycle"), t("S1"), t("1S5"), t("12 liver")},
                               {n(1), c3, n(0.25), t("7")},
                               {n(2), c4, n(0.5), t("8")}};
        excel_.AttachExcel();
        excel_.WriteValueToRange(2, 5, 2, 4, block);
        excel_.DetachExcel();
        g_choice = {book, sheet, 20, "B", "E", 2, 4};
        TUser user;
        TexcelreadQVX record;
        return ReadExcelImport(excel_, record, user);
    };
    const QString tail = QStringLiteral(
        " (layout \"Mic\"). Please write every number of the block with the same decimal "
        "separator and without thousands separators.");

    TExcelImport r = read(t("0,5"), t(" 1,234 "));  // all decimal commas: read in both
    ASSERT_EQ(r.outcome, TExcelImport::TOutcome::Read) << r.message.text.toStdString();
    EXPECT_EQ(Summary(r.run), QStringLiteral("3 x 2: S1 .. 12_liver"));
    EXPECT_EQ(Fluor(r.run, 1, 2), 1.234);
    EXPECT_EQ(Fluor(r.run, 2, 2), 0.5);  // a number cell
    EXPECT_EQ(Fluor(r.run, 3, 1), 7);

    r = read(t("0.5"), t("1,234"));  // mixed: the misfit of the workbook's notation is named
    EXPECT_EQ(r.outcome, TExcelImport::TOutcome::Refused);
    EXPECT_EQ(r.message.text,
              german ? "Cell C3 holds \"0.5\", written with a decimal point, while the numbers of "
                       "this block are read with a decimal comma" +
                           tail
                     : "Cell C4 holds \"1,234\", written with a decimal comma, while the numbers "
                       "of this block are read with a decimal point" +
                           tail);
    EXPECT_FALSE(excel_.IsAttached());

    r = read(t("0.5"), n(3));  // decimal points: the en-US notation only
    if (german) {
        EXPECT_EQ(r.outcome, TExcelImport::TOutcome::Refused);
        EXPECT_TRUE(r.message.text.startsWith(QStringLiteral("Cell C3 holds \"0.5\"")));
    } else {
        ASSERT_EQ(r.outcome, TExcelImport::TOutcome::Read) << r.message.text.toStdString();
        EXPECT_EQ(Fluor(r.run, 1, 1), 0.5);
    }

    r = read(t("S1"), n(3));  // a letter: never a number
    EXPECT_EQ(r.message.text,
              QStringLiteral("Cell C3 holds \"S1\", which is not a number (layout \"Mic\")."));
}

// Reads that end without a run leave the run in memory as it was and the connection closed.
TEST_F(ExcelImport, endsWithoutRun_refusedCancelledDeclinedClosed_previousRunIntact) {
    LoadText(kSheets + "Hanlon_Run1.csv", "44,34,76,1");
    const TDialogChoice mic{"Hanlon_Run1.csv", "Hanlon_Run1", 20, "A", "AW", 1, 41};
    TUser user;
    TexcelreadQVX record;
    g_choice = mic;
    const TExcelImport good = ReadExcelImport(excel_, record, user);
    ASSERT_EQ(good.outcome, TExcelImport::TOutcome::Read);
    TEngine engine;
    ASSERT_TRUE(engine.loadrun(good.run));
    engine.ProcessDataAfterRead();
    const auto names = engine.sampname;
    const auto fluor = engine.fluor;

    const auto expectNoRun = [&](TExcelImport::TOutcome outcome, const QString& message) {
        const TExcelImport r = ReadExcelImport(excel_, record, user);
        EXPECT_EQ(r.outcome, outcome);
        EXPECT_EQ(r.message.text.left(message.size()), message);
        EXPECT_EQ(r.run.nsamples, 0);
        EXPECT_FALSE(excel_.IsAttached());
        EXPECT_EQ(engine.sampname, names);  // nothing to take over: the old run stands
        EXPECT_EQ(engine.fluor, fluor);
    };
    g_choice = mic;
    g_choice.layout = 0;  // 49 columns: not two per sample
    expectNoRun(TExcelImport::TOutcome::Refused,
                "The block does not fit the layout \"Roche Lightcycler (32 caps)\": it has 49 "
                "columns");
    g_choice = mic;
    g_choice.stopcol = "A";  // a one-cell block comes as 1 x 1 and does not fit
    g_choice.stoprow = 1;
    expectNoRun(TExcelImport::TOutcome::Refused,
                "The block does not fit the layout \"Mic\": it needs a name row");
    g_choice = mic;
    g_choice.baselinecorrected = true;
    user.yes = false;
    expectNoRun(TExcelImport::TOutcome::Declined, "");
    EXPECT_EQ(user.asked.last(), BaselineCorrectedCaption());
    user.yes = true;
    g_choice = mic;
    g_choice.afterOk = [] { CloseAllDocuments(); };  // the user closes the export meanwhile
    expectNoRun(TExcelImport::TOutcome::Failed, "");
    g_choice = {};
    DialogHooks().runModal = [](QDialog&) { return 2; };  // Cancel
    expectNoRun(TExcelImport::TOutcome::Cancelled, "");
    DialogHooks().runModal = AnswerDialog;
}

}  // namespace
