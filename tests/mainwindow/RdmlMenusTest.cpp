// SPDX-License-Identifier: GPL-3.0-or-later
// The RDML commands of the window: the read through the File menu (read
// dialog, questions through the prompter, the run on the charts), a refused
// read that leaves the previous run and the files beside the archive alone,
// saves to RDML 1.2 read back with the same data, the add path into a 1.2
// document, and the wiring of the RDML controls.
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QListWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <algorithm>
#include <filesystem>
#include <pugixml.hpp>
#include <sstream>

#include "rdml/exchange/RdmlExtraction.h"
#include "rdml/exchange/RdmlReadRoad.h"
#include "spreadsheet/ReadExcelDialog.h"
#include "tests/mainwindow/WindowTest.h"
#include "zip/KAZip.h"

using namespace qurvex;
using qurvex::testing::TWindowFixture;

namespace {

const QString kData = QStringLiteral(QURVEX_SOURCE_DIR "/tests/data/rdml/");

// The read dialog answers OK with `file` (cancel when empty); counts its runs.
int g_readDialogs = 0;
void answerReadDialog(const QString& file, int chemistry = 1) {
    DialogHooks().runModal = [file, chemistry](QDialog& dialog) {
        ++g_readDialogs;
        if (file.isEmpty()) return 2;
        auto& read = static_cast<TreadexcelQVXcomform&>(dialog);
        read.RdmlFileNameEdit->setText(file);
        read.ChemistryRG->SetItemIndex(chemistry - 1);
        return 1;
    };
}

// The save dialog of the next save answers with `file`.
void answerSaveDialog(TWindowFixture& f, const QString& file) {
    f.prompter.onModal = [file](QDialog& dialog) {
        if (auto* d = qobject_cast<QFileDialog*>(&dialog)) d->selectFile(file);
    };
}

class TSilentAsker : public IRdmlReadAsker {
public:
    bool ConfirmBaselineCorrected(const std::string&, const std::string&) override { return true; }
    int ChooseXmlEntry(const std::vector<std::string>&) override { return 0; }
    void Message(TRdmlMessageKind, const std::string&) override {}
};

TRdmlReadResult readBack(const QString& file, const QString& work) {
    TSilentAsker asker;
    TRdmlReadRequest request;
    request.rdmlfile = file.toStdString();
    request.workfolder = work.toStdString();
    return ReadfromRDML(request, asker);
}

// Elements 1.. of two per-sample vectors (element 0 is unused).
template <class T>
bool sameSamples(const std::vector<T>& a, const std::vector<T>& b) {
    return a.size() == b.size() && std::equal(a.begin() + 1, a.end(), b.begin() + 1);
}

std::string documentOf(const QString& file) {
    TSilentAsker asker;
    return ExtractXMLFromRdml(file.toStdString(), asker).xml;
}

// An archive at `path` with the given entries (name, bytes).
void writeArchive(const QString& path,
                  const std::vector<std::pair<std::string, std::string>>& entries) {
    std::stringstream empty;
    TKAZip::CreateEmptyArchive(empty);
    const std::string bytes = empty.str();
    TKAZip zip;
    zip.LoadFromBuffer(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    for (const auto& [name, data] : entries)
        zip.AddBuffer(name, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(data.data()),
                                                     data.size()));
    const auto out = zip.Data();
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(reinterpret_cast<const char*>(out.data()), static_cast<qint64>(out.size()));
}

// The first run of a test, read from stepone_std.rdml through the menu: what
// a refused read must leave as it was.
struct TFirstRun {
    std::string working, firstName;
    double firstRaw = 0.0;
};

TFirstRun readFirstRun(Tmainform& w) {
    answerReadDialog(kData + QStringLiteral("stepone_std.rdml"));
    w.ReadfromRDML1->trigger();
    const TEngine& e = w.Engine();
    return {e.rdmlxmlfile, e.sampname[1], e.rawfluor[1][1]};
}

void verifyFirstRunKept(const TEngine& e, const TFirstRun& first) {
    QCOMPARE(e.nsamples, 24);
    QCOMPARE(e.sampname[1], first.firstName);
    QCOMPARE(e.rawfluor[1][1], first.firstRaw);
    QCOMPARE(e.rdmlxmlfile, first.working);
    QVERIFY(std::filesystem::exists(first.working));
}

QString fileText(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

}  // namespace

class RdmlMenusTest : public QObject {
    Q_OBJECT
private slots:
    void rdmlRead_menuReadGivesAnalysedRunOnCharts();
    void rdmlRead_refusedReadKeepsPreviousRunAndFiles();
    void rdmlRead_cqOnlyFileRefusedOnceAndPreviousRunStays();
    void rdmlRead_inputGridShowsEveryValueRead();
    void rdmlSave_12RoundTripAndAddPathThroughMenu();
    void rdmlSave_commonWindowPutsTheMeanShownOnEveryTarget_data();
    void rdmlSave_commonWindowPutsTheMeanShownOnEveryTarget();
    void rdmlControls_connected();
};

void RdmlMenusTest::rdmlRead_menuReadGivesAnalysedRunOnCharts() {
    TWindowFixture f;
    Tmainform& w = f.createActive();
    // A hybridization probe: the Cq-too-low rules follow the new run's chemistry.
    answerReadDialog(kData + QStringLiteral("stepone_std.rdml"), 3);
    w.ReadfromRDML1->trigger();
    w.FlushCharts();
    const TEngine& e = w.Engine();
    QVERIFY(e.cqcorrneeded && !w.CheckCqTooLowGB->isHidden());
    QCOMPARE(e.nsamples, 24);
    QVERIFY(e.fromrdml && !e.rdml12input);
    QVERIFY(std::filesystem::exists(e.rdmlxmlfile));
    QCOMPARE(w.RdmlInSG->rowCount(), 25);
    QCOMPARE(w.RdmlInSG->item(0, 0)->text(), QStringLiteral("reaction"));
    QCOMPARE(w.TargetsLB->count() > 0, true);
    QVERIFY(w.ChartDraws(w.allsampchart) > 0);
    for (QAction* a : {w.ReadfromRDML1, w.SavetoRDML13, w.SavetoRDML2, w.SavetoRDML111})
        QVERIFY(a->isEnabled());
    QVERIFY(w.applycommonbut->isEnabled() || w.ctcalcButton->isEnabled());
    QVERIFY(w.cuplimedit->isEnabled() && !QGuiApplication::overrideCursor());
    // Closing removes the working document.
    const std::string working = e.rdmlxmlfile;
    w.close();
    QVERIFY(!std::filesystem::exists(working));
}

void RdmlMenusTest::rdmlRead_refusedReadKeepsPreviousRunAndFiles() {
    TWindowFixture f;
    Tmainform& w = f.createActive();
    const TFirstRun first = readFirstRun(w);
    const TEngine& e = w.Engine();

    // A damaged archive with a document of the user's beside it.
    QFile in(kData + QStringLiteral("stepone_std.rdml"));
    QVERIFY(in.open(QIODevice::ReadOnly));
    QByteArray bytes = in.readAll();
    bytes[60] = static_cast<char>(bytes[60] ^ 0x55);
    const QString damaged = f.dir.filePath(QStringLiteral("damaged.rdml"));
    QFile out(damaged);
    QVERIFY(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
    out.close();
    const QString sentinel = f.dir.filePath(QStringLiteral("rdml_data.xml"));
    QFile s(sentinel);
    QVERIFY(s.open(QIODevice::WriteOnly) && s.write("<mine/>") == 7);
    s.close();

    f.prompter.clear();
    answerReadDialog(damaged);
    w.ReadfromRDML1->trigger();
    QCOMPARE(f.prompter.messages.size(), 1);
    QVERIFY(f.prompter.messages[0].text.contains(QStringLiteral("re-zipped")));
    verifyFirstRunKept(e, first);
    if (QTest::currentTestFailed()) return;
    QCOMPARE(fileText(sentinel), QStringLiteral("<mine/>"));
    QVERIFY(w.cuplimedit->isEnabled());
    // A cancelled dialog changes nothing either.
    answerReadDialog(QString());
    w.ReadfromRDML1->trigger();
    QCOMPARE(e.rdmlxmlfile, first.working);

    // Two documents in the archive: the chooser asks, closing it without a
    // choice stops the read, the second item reads the second document.
    const QString two = f.dir.filePath(QStringLiteral("two.rdml"));
    writeArchive(two, {{"a.xml", "<x/>"},
                       {"b.xml", documentOf(kData + QStringLiteral("lc96_bACTXY.rdml"))}});
    answerReadDialog(two);
    f.prompter.clear();
    f.prompter.modalResults = {0};
    w.ReadfromRDML1->trigger();
    QCOMPARE(f.prompter.modals.size(), 1);
    QCOMPARE(e.nsamples, 24);
    const QString target = w.TargetnameEdit->text();
    f.prompter.modalResults = {2};
    w.ReadfromRDML1->trigger();
    QCOMPARE(e.nsamples, 96);
    // Two targets: the single-target name of the previous run is not kept.
    QVERIFY(target != QStringLiteral("not_named"));
    QCOMPARE(w.TargetnameEdit->text(), QStringLiteral("not_named"));
}

void RdmlMenusTest::rdmlRead_cqOnlyFileRefusedOnceAndPreviousRunStays() {
    TWindowFixture f;
    Tmainform& w = f.createActive();
    const TFirstRun first = readFirstRun(w);
    const TEngine& e = w.Engine();
    const QString firstCell = w.RdmlInSG->item(1, 3)->text();

    // The same run with its Cq values only: every amplification point removed.
    std::string document = documentOf(kData + QStringLiteral("stepone_std.rdml"));
    for (auto at = document.find("<adp>"); at != std::string::npos; at = document.find("<adp>"))
        document.erase(at, document.find("</adp>", at) + 6 - at);
    QVERIFY(document.find("<cq>") != std::string::npos);
    const QString cqOnly = f.dir.filePath(QStringLiteral("cq_only.rdml"));
    writeArchive(cqOnly, {{"rdml_data.xml", document}});
    f.prompter.clear();
    answerReadDialog(cqOnly);
    w.ReadfromRDML1->trigger();
    QCOMPARE(f.prompter.messages.size(), 1);
    QCOMPARE(f.prompter.count(TPromptKind::Warning), 1);
    const QString text = f.prompter.messages[0].text;
    QVERIFY2(text.contains(QStringLiteral("cq_only.rdml")) &&
                 text.contains(QStringLiteral("holds no amplification curves")),
             qPrintable(text));
    verifyFirstRunKept(e, first);
    if (QTest::currentTestFailed()) return;
    QCOMPARE(w.RdmlInSG->item(1, 3)->text(), firstCell);
    QVERIFY(w.cuplimedit->isEnabled() && !QGuiApplication::overrideCursor());
}

void RdmlMenusTest::rdmlRead_inputGridShowsEveryValueRead() {
    TWindowFixture f;
    Tmainform& w = f.createActive();
    const QString file = kData + QStringLiteral("BioRad_qPCR_melt.rdml");
    answerReadDialog(file);
    w.ReadfromRDML1->trigger();
    // What a second read of the file gives, cell by cell: lifted values,
    // the header row's cycles, empty cells past the points.
    const TRdmlReadResult read = readBack(file, f.dir.path());
    QVERIFY(read.ok);
    QCOMPARE(w.RdmlInSG->rowCount(), read.rdmlinput.rows());
    QCOMPARE(w.RdmlInSG->columnCount(), read.rdmlinput.columns());
    for (int r = 0; r < read.rdmlinput.rows(); ++r)
        for (int c = 0; c < read.rdmlinput.columns(); ++c) {
            const QTableWidgetItem* item = w.RdmlInSG->item(r, c);
            QCOMPARE(item ? item->text() : QString(),
                     QString::fromStdString(read.rdmlinput.cell(c, r)));
        }
    QCOMPARE(w.RdmlInSG->item(0, 3)->text(),
             QString::fromStdString(RdmlInputText(w.Engine().headercyc[1])));
    QCOMPARE(w.RdmlInSG->item(1, 3)->text(),
             QString::fromStdString(RdmlInputText(w.Engine().rawfluor[1][1])));
    // A value typed over a cell replaces it.
    w.RdmlInSG->item(1, 3)->setText(QStringLiteral("7"));
    QCOMPARE(w.RdmlInSG->item(1, 3)->data(Qt::DisplayRole).toString(), QStringLiteral("7"));
    DiscardWorkingDocument(read.run.rdmlxmlfile);
}

void RdmlMenusTest::rdmlSave_12RoundTripAndAddPathThroughMenu() {
    TWindowFixture f;
    Tmainform& w = f.createActive();
    // A file with negative values: the read lifts them, the save lowers them
    // again, so a second read lifts them to the same values.
    answerReadDialog(kData + QStringLiteral("BioRad_qPCR_melt.rdml"));
    w.ReadfromRDML1->trigger();
    const TEngine& e = w.Engine();
    QVERIFY(std::any_of(w.rdmllift.begin(), w.rdmllift.end(), [](double v) { return v > 0; }));
    const auto rawfluor = e.rawfluor;
    const auto ampname = e.ampname;
    const auto tissue = e.tissue;

    // A run from RDML 1.1: confirmed, then a new 1.2 document.
    const QString saved = f.dir.filePath(QStringLiteral("saved12.rdml"));
    answerSaveDialog(f, saved);
    f.prompter.clear();
    w.SavetoRDML2->trigger();
    QCOMPARE(f.prompter.modals, QStringList{QStringLiteral("SaveDialog1")});
    QCOMPARE(f.prompter.count(TPromptKind::Confirmation), 1);
    const TRdmlReadResult back = readBack(saved, f.dir.path());
    QVERIFY(back.ok);
    QCOMPARE(back.version, std::string("1.2"));
    QCOMPARE(back.run.nsamples, 30);
    QVERIFY(sameSamples(back.run.ampname, ampname));
    QVERIFY(sameSamples(back.run.tissue, tissue));
    QVERIFY(sameSamples(back.run.rawfluor, rawfluor));
    DiscardWorkingDocument(back.run.rdmlxmlfile);

    // RDML 1.1: the tissue grids keep the columns the save added.
    auto* grid = w.Control<QTableWidget>("TissueSampSG");
    const int columns = grid->columnCount();
    const QString saved11 = f.dir.filePath(QStringLiteral("saved11.rdml"));
    answerSaveDialog(f, saved11);
    w.SavetoRDML111->trigger();
    QVERIFY(QFile::exists(saved11));
    QVERIFY(grid->columnCount() > columns);
    QVERIFY(!QGuiApplication::overrideCursor());

    // The 1.2 file read through the menu takes the results in place: no
    // confirmation, the chosen copy holds the document with the results.
    answerReadDialog(saved);
    w.ReadfromRDML1->trigger();
    QVERIFY(e.rdml12input && e.rdmldotsep);
    const QString added = f.dir.filePath(QStringLiteral("added.rdml"));
    answerSaveDialog(f, added);
    f.prompter.clear();
    w.SavetoRDML13->trigger();
    QCOMPARE(f.prompter.count(TPromptKind::Confirmation), 0);
    QCOMPARE(f.prompter.modals, QStringList{QStringLiteral("SaveDialog1")});
    const std::string document = documentOf(added);
    QVERIFY(document.find("RDML: results by Qurvex") != std::string::npos);
    const TRdmlReadResult again = readBack(added, f.dir.path());
    QVERIFY(again.ok);
    QVERIFY(sameSamples(again.run.rawfluor, rawfluor));
    DiscardWorkingDocument(again.run.rdmlxmlfile);
}

// 1.3 files whose targets carry efficiencies of their own (0.95, 1.01 ...):
// the project's own, and the consortium's example when ../shared is there.
void RdmlMenusTest::rdmlSave_commonWindowPutsTheMeanShownOnEveryTarget_data() {
    QTest::addColumn<QString>("file");
    QTest::newRow("stepone_std_1_3") << kData + QStringLiteral("stepone_std_1_3.rdml");
    QTest::newRow("example_1_3") << QStringLiteral(QURVEX_SOURCE_DIR
                                                   "/../shared/data/rdml/example_1_3.rdml");
}

void RdmlMenusTest::rdmlSave_commonWindowPutsTheMeanShownOnEveryTarget() {
    // Baselines, the common window, and the results added into the document.
    QFETCH(QString, file);
    if (!QFile::exists(file)) QSKIP("shared RDML data absent (GPL-2.0, not copied)");
    TWindowFixture f;
    Tmainform& w = f.createActive();
    answerReadDialog(file);
    w.ReadfromRDML1->trigger();
    QTest::mouseClick(w.BaselineButtonPanel, Qt::LeftButton);
    w.CommonGroupWindowRG->Button(0)->click();
    QVERIFY(w.Engine().commonwol);
    const QString added = f.dir.filePath(QStringLiteral("common.rdml"));
    answerSaveDialog(f, added);
    w.SavetoRDML13->trigger();
    QCOMPARE(w.means_Grid->item(1, 1)->text(), QStringLiteral("one group"));
    const float mean = w.means_Grid->item(1, 3)->text().toFloat();
    const float sem = w.means_Grid->item(1, 5)->text().toFloat();
    QVERIFY(mean > 1.5f && sem > 0.0f);
    pugi::xml_document doc;
    QVERIFY(doc.load_string(documentOf(added).c_str()));
    int targets = 0;
    for (pugi::xml_node t : doc.document_element().children("target")) {
        ++targets;
        QCOMPARE(t.child("amplificationEfficiency").text().as_float(), mean);
        QCOMPARE(t.child("amplificationEfficiencySE").text().as_float(), sem);
    }
    QVERIFY(targets >= 2);
    DiscardWorkingDocument(w.Engine().rdmlxmlfile);
}

void RdmlMenusTest::rdmlControls_connected() {
    TWindowFixture f;
    Tmainform& w = f.createActive();
    // Without a run every save is refused with the no-data message.
    for (QAction* a : {w.SavetoRDML13, w.SavetoRDML2, w.SavetoRDML111}) {
        f.prompter.clear();
        QVERIFY(a->isEnabled());
        a->trigger();
        QCOMPARE(f.prompter.messages.size(), 1);
        QCOMPARE(f.prompter.messages[0].title, QStringLiteral("No data"));
    }
    g_readDialogs = 0;
    answerReadDialog(QString());
    w.ReadfromRDML1->trigger();
    QCOMPARE(g_readDialogs, 1);

    // The check page: each button asks for a file and shows what it found.
    const QString xml = f.dir.filePath(QStringLiteral("probe.xml"));
    QFile file(xml);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<rdml version=\"1.3\" x=\"Qurvex\">\n<adp><fluor>12,5</fluor></adp>\n</rdml>\n");
    file.close();
    struct {
        const char* button;
        QString edit;
        QString label;
    } const table[] = {
        {"OpenXMLButton", QStringLiteral("1.3"), QString()},
        {"checkSeparatorButton", QStringLiteral("12,5"), QStringLiteral("comma")},
        {"CheckRDMLCreatorButton", QStringLiteral("not found"), QStringLiteral("comma")},
    };
    f.prompter.onModal = [xml](QDialog& dialog) {
        if (auto* d = qobject_cast<QFileDialog*>(&dialog)) d->selectFile(xml);
    };
    for (const auto& row : table) {
        f.prompter.clear();
        w.Control<QPushButton>(row.button)->click();
        QCOMPARE(f.prompter.modals, QStringList{QStringLiteral("OpenDialog")});
        QCOMPARE(w.Control<QLineEdit>("Edit2")->text(), row.edit);
        QCOMPARE(w.Control<QLabel>("SepLabel")->text(), row.label);
    }
    // The input grid goes to Calc: without a Calc the error reaches the user.
    f.prompter.clear();
    w.Control<QPushButton>("SaveRdmlInputGridButton")->click();
    QCOMPARE(f.prompter.count(TPromptKind::Error), 1);
}

QURVEX_WINDOW_TEST_MAIN(RdmlMenusTest)
#include "RdmlMenusTest.moc"
