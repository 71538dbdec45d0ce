// SPDX-License-Identifier: GPL-3.0-or-later
// TExcelcom against a real headless LibreOffice started for this test (CTest fixture,
// pipe in $QURVEX_CALC_PIPE): documents, sheets, blocks, formats, and failures.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <atomic>
#include <climits>
#include <com/sun/star/awt/FontWeight.hpp>
#include <com/sun/star/text/XText.hpp>
#include <csignal>
#include <functional>
#include <ostream>
#include <thread>

#include "spreadsheet/Excelcom.h"
#include "tests/spreadsheet/CalcTestSupport.h"

// Readable failure output for Qt strings and cells.
inline std::ostream& operator<<(std::ostream& os, const QString& s) {
    return os << '"' << s.toStdString() << '"';
}
namespace qurvex {
inline void PrintTo(const TCellValue& v, std::ostream* os) {
    static const char* kinds[] = {"empty", "number", "text", "error"};
    *os << kinds[static_cast<int>(v.kind)] << '(' << v.number << ", \"" << v.text.toStdString()
        << "\")";
}
}  // namespace qurvex

using namespace qurvex;
namespace t = qurvex::test;
using css::uno::Reference;

namespace {

// The message of the EExcelError that `f` raises; "(no error)" when it raises none.
template <class F>
QString ErrorOf(F f) {
    try {
        f();
    } catch (const EExcelError& e) {
        return QString::fromStdString(e.what());
    }
    return QStringLiteral("(no error)");
}

// The workbook (or sheet) names; `selected` gets the index of the active one.
QStringList Names(TExcelcom& com, int& selected, bool sheets = false) {
    QStringList names;
    EXPECT_TRUE(sheets ? com.ListSheets(names, selected) : com.ListWorkbooks(names, selected));
    return names;
}

// The office runs in the C locale, or in German when $QURVEX_TEST_LOCALE is "de".
bool GermanOffice() { return qEnvironmentVariable("QURVEX_TEST_LOCALE") == QLatin1String("de"); }

class ExcelcomTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { officeUp = t::WaitForOffice(90.0); }
    void SetUp() override {
        ASSERT_TRUE(officeUp) << "the test office on pipe "
                              << TExcelcom::DefaultPipeName().toStdString()
                              << " did not accept within 90 s";
        t::CloseAllDocuments();
    }
    static bool officeUp;
    TExcelcom com;
    int selected = -2;
};
bool ExcelcomTest::officeUp = false;

TEST(ExcelcomNoOffice, Excelcom_attach_failsWithStartMessage) {
    TExcelcom com(QStringLiteral("qurvex-nobody-%1").arg(getpid()));
    const QString msg = ErrorOf([&] { com.IsExcelRunning(); });
    EXPECT_TRUE(msg.startsWith(QStringLiteral("first start Excel\n"))) << msg;
    // It names the script next to the program by a path that works from any folder.
    const QString command = msg.section(QStringLiteral("the command "), 1).section(' ', 0, 0);
    EXPECT_TRUE(QFileInfo(command).isAbsolute() && QFileInfo(command).isExecutable()) << msg;
    EXPECT_TRUE(command.endsWith(QStringLiteral("/qurvex-calc"))) << msg;
    EXPECT_EQ(msg.count(QLatin1Char('\n')), 1);
    int selected = 0;  // every method tells how to start Calc
    EXPECT_TRUE(
        ErrorOf([&] { Names(com, selected); }).startsWith(QStringLiteral("first start Excel\n")));
    EXPECT_FALSE(com.IsAttached());
}

// The socket file of a named pipe of this user.
std::string PipePath(const QString& name) {
    return QStringLiteral("/tmp/OSL_PIPE_%1_%2").arg(getuid()).arg(name).toStdString();
}

// Copies bytes both ways between two sockets until one side closes.
void Relay(int a, int b) {
    pollfd fds[2] = {{a, POLLIN, 0}, {b, POLLIN, 0}};
    char buffer[65536];
    while (poll(fds, 2, -1) > 0) {
        for (int k = 0; k < 2; ++k) {
            if (fds[k].revents == 0) continue;
            const ssize_t n = read(fds[k].fd, buffer, sizeof buffer);
            if (n <= 0 || write(fds[1 - k].fd, buffer, static_cast<std::size_t>(n)) != n) return;
        }
    }
}

// A pipe that accepts every connection and drops the first `drops` of them at once, as an
// office that is ending does (and a busy office now and then does to a new connection); the
// later ones are relayed to the office on `office`, when one is named.
class DroppingPipe {
public:
    explicit DroppingPipe(const QString& name, int drops = INT_MAX, const QString& office = {})
        : path_(PipePath(name)) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        path_.copy(address.sun_path, sizeof address.sun_path - 1);
        fd_ = socket(AF_UNIX, SOCK_STREAM, 0);
        unlink(path_.c_str());
        if (bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            listen(fd_, 16) != 0)
            return;
        thread_ = std::thread([this, drops, target = PipePath(office)] {
            for (int c; (c = accept(fd_, nullptr, nullptr)) >= 0;) {
                if (accepted++ < drops || !relayTo(c, target)) close(c);
            }
        });
    }
    ~DroppingPipe() {
        shutdown(fd_, SHUT_RDWR);
        if (thread_.joinable()) thread_.join();
        for (const int fd : relayed_) shutdown(fd, SHUT_RDWR);
        for (std::thread& relay : relays_) relay.join();
        for (const int fd : relayed_) close(fd);
        close(fd_);
        unlink(path_.c_str());
    }
    DroppingPipe(const DroppingPipe&) = delete;
    DroppingPipe& operator=(const DroppingPipe&) = delete;
    std::atomic<int> accepted{0};

private:
    bool relayTo(int client, const std::string& target) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        target.copy(address.sun_path, sizeof address.sun_path - 1);
        const int office = socket(AF_UNIX, SOCK_STREAM, 0);
        if (connect(office, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            close(office);
            return false;
        }
        relayed_.insert(relayed_.end(), {client, office});
        relays_.emplace_back(Relay, client, office);
        return true;
    }
    std::string path_;
    int fd_ = -1;
    std::thread thread_;
    std::vector<int> relayed_;
    std::vector<std::thread> relays_;
};

// Every call fails with the component's own error when the connection breaks as it is made;
// none lets the office's exception through, none calls the workbook closed.
TEST(ExcelcomNoOffice, Excelcom_droppedConnection_startMessageFromEveryCall) {
    const QString name = QStringLiteral("qurvex-dropping-%1").arg(getpid());
    DroppingPipe pipe(name);
    TExcelcom com(name);
    TCellBlock block;
    QStringList names;
    int selected = 0;
    const std::vector<std::function<void()>> calls{
        [&] { com.IsExcelRunning(); },
        [&] { com.AttachExcel(); },
        [&] { com.ListWorkbooks(names, selected); },
        [&] { com.ListSheets(names, selected); },
        [&] { com.ActiveSheetName(); },
        [&] { com.NewWorkbook(); },
        [&] { com.AddSheet(QString()); },
        [&] { com.AddSheetLast(QStringLiteral("a")); },
        [&] { com.AddSheetFirst(QStringLiteral("b")); },
        [&] { com.SelectWorkbook(QStringLiteral("c")); },
        [&] { com.SelectSheet(QStringLiteral("d")); },
        [&] { com.ActiveWorkbookFolder(); },
        [&] { com.ReadRange(1, 1, 1, 1, block); },
        [&] { com.WriteArrayToRange(1, 1, 1, 1, {{TCellValue::Number(1)}}); },
        [&] { com.WriteValueToRange(1, 1, 1, 1, TCellValue::Number(1)); },
        [&] { com.FormatRange(1, 1, 1, 1, QStringLiteral("bold")); },
        [&] { com.AutofitColumns(1, 1); },
        [&] { com.CenterColumn(1); },
        [&] { com.DecimalSeparator(); },
    };
    for (std::size_t i = 0; i < calls.size(); ++i) {
        const QString msg = ErrorOf(calls[i]);
        EXPECT_TRUE(msg.startsWith(QStringLiteral("first start Excel\n")))
            << "call " << i << ": " << msg;
        EXPECT_FALSE(com.IsAttached()) << "call " << i;
    }
    EXPECT_GT(pipe.accepted, 0);
}

// A connection that the office drops before its first answer is made anew, up to five times:
// an office busy creating or closing documents drops a new one now and then.
TEST_F(ExcelcomTest, Excelcom_connectionsDroppedAtFirst_madeAnew) {
    const QString name = QStringLiteral("qurvex-dropping-%1-relay").arg(getpid());
    DroppingPipe pipe(name, 4, t::TestPipe());
    {
        TExcelcom relayed(name);
        EXPECT_EQ(ErrorOf([&] { EXPECT_TRUE(relayed.IsExcelRunning()); }),
                  QStringLiteral("(no error)"));
        EXPECT_EQ(pipe.accepted, 5);
    }
    // Five in a row: the office is taken for gone.
    DroppingPipe gone(name + QStringLiteral("-gone"), 5, t::TestPipe());
    TExcelcom unreachable(name + QStringLiteral("-gone"));
    EXPECT_TRUE(ErrorOf([&] {
                    unreachable.IsExcelRunning();
                }).startsWith(QStringLiteral("first start Excel\n")));
    EXPECT_EQ(gone.accepted, 5);
}

TEST_F(ExcelcomTest, Excelcom_documents_listSelectAndAddSheets) {
    EXPECT_TRUE(Names(com, selected).isEmpty());
    EXPECT_EQ(selected, -1);
    EXPECT_THROW(com.AttachExcel(), EExcelError);  // nothing to attach to
    com.NewWorkbook();
    const QString first = com.CurrentWorkbook();
    com.NewWorkbook();
    EXPECT_FALSE(com.IsAttached());  // self-bracketing
    const QStringList names = Names(com, selected);
    ASSERT_EQ(names.size(), 2);
    EXPECT_EQ(names.value(selected), com.CurrentWorkbook());
    ASSERT_NE(first, com.CurrentWorkbook());
    TExcelcom().SelectWorkbook(first);  // a second instance sees what the first made active
    com.AttachExcel();
    EXPECT_EQ(com.CurrentWorkbook(), first);
    EXPECT_EQ(Names(com, selected, true), QStringList{QStringLiteral("Sheet1")});
    EXPECT_EQ(selected, 0);
    EXPECT_FALSE(com.IsAttached());  // the self-bracketing list ended the caller's connection
    EXPECT_EQ(com.ActiveWorkbookFolder(), QString());  // never saved
    EXPECT_THROW(com.SelectWorkbook(QStringLiteral("no such book")), EExcelError);

    EXPECT_EQ(com.AddSheet(QString()), QStringLiteral("Sheet2"));  // before the active sheet
    EXPECT_EQ(com.ActiveSheetName(), QStringLiteral("Sheet2"));
    EXPECT_EQ(com.AddSheetLast(QStringLiteral("Results")), QStringLiteral("Results"));
    EXPECT_EQ(com.CurrentSheet(), QStringLiteral("Results"));
    EXPECT_EQ(com.AddSheetFirst(QStringLiteral("Front page")), QStringLiteral("Front page"));
    com.SelectSheet(QStringLiteral("Sheet1"));
    EXPECT_EQ(com.AddSheet(QStringLiteral("Mid")), QStringLiteral("Mid"));
    EXPECT_EQ(com.AddSheetLast(QString()), QStringLiteral("Sheet6"));
    const QString all = QStringLiteral("Front page,Sheet2,Mid,Sheet1,Results,Sheet6");
    EXPECT_EQ(t::SheetNames(t::CurrentDocument()), all);
    // A taken or invalid name fails with a message, adds nothing and closes the connection.
    com.AttachExcel();
    EXPECT_THROW(com.AddSheetLast(QStringLiteral("Results")), EExcelError);
    EXPECT_FALSE(com.IsAttached());
    EXPECT_THROW(com.AddSheetFirst(QStringLiteral("bad[name]")), EExcelError);
    EXPECT_EQ(t::SheetNames(t::CurrentDocument()), all);
    EXPECT_THROW(com.SelectSheet(QStringLiteral("missing")), EExcelError);
}

TEST_F(ExcelcomTest, Excelcom_block_384x60_roundTripAndErrorCells) {
    com.NewWorkbook();
    const int rows = 384, cols = 60;
    TCellBlock block(rows, std::vector<TCellValue>(cols));
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            switch ((r * 7 + c) % 5) {
                case 0:
                    block[r][c] = TCellValue::Number(r * 1000.0 + c + 0.125);
                    break;
                case 1:
                    block[r][c] = TCellValue::Number(-1.5e-9 * (c + 1));
                    break;
                case 2:
                    block[r][c] =
                        TCellValue::Text(QStringLiteral("well %1/%2 \u00b5").arg(r).arg(c));
                    break;
                case 3:
                    block[r][c] = TCellValue::Text(QStringLiteral("12"));
                    break;  // a number as text stays text
                default:
                    break;  // empty
            }
        }
    com.AttachExcel();
    com.WriteValueToRange(3, 3 + cols - 1, 2, 2 + rows - 1, block);
    TCellBlock back;
    com.ReadRange(3, 3 + cols - 1, 2, 2 + rows - 1, back);
    ASSERT_EQ(back.size(), size_t(rows));
    for (int r = 0; r < rows; ++r) {
        ASSERT_EQ(back[r].size(), size_t(cols));
        for (int c = 0; c < cols; ++c)
            ASSERT_EQ(back[r][c], block[r][c]) << "row " << r << " col " << c;
    }
    com.ReadRange(3, 3, 2, 2, back);  // one cell comes as a 1 x 1 block
    EXPECT_EQ(back, TCellBlock{{TCellValue::Number(0.125)}});
    // Around the data: empties, error cells as errors, formulas as their values.
    const auto sheet = t::Sheet(t::CurrentDocument(), QStringLiteral("Sheet1"));
    sheet->getCellByPosition(0, 0)->setFormula("=1/0");
    sheet->getCellByPosition(1, 0)->setFormula("=NA()");
    sheet->getCellByPosition(0, 1)->setFormula("=2+3");
    com.DetachExcel();
    com.ReadRange(1, 3, 1, 2, back);  // opens a connection on demand
    EXPECT_TRUE(com.IsAttached());
    EXPECT_EQ(
        back,
        (TCellBlock{{TCellValue::Error(QStringLiteral("#DIV/0!")),
                     TCellValue::Error(QStringLiteral("#N/A")), TCellValue::Empty()},
                    {TCellValue::Number(5.0), TCellValue::Empty(), TCellValue::Number(0.125)}}));
    // A single value fills the whole range.
    com.WriteValueToRange(1, 2, 1, 2, TCellValue::Text(QStringLiteral("x")));
    com.ReadRange(1, 2, 1, 2, back);
    EXPECT_EQ(back,
              TCellBlock(2, std::vector<TCellValue>(2, TCellValue::Text(QStringLiteral("x")))));
    // A block smaller than its range: the rest of the range becomes empty.
    com.WriteArrayToRange(1, 2, 1, 2, {{TCellValue::Number(7)}});
    com.ReadRange(1, 2, 1, 2, back);
    EXPECT_EQ(back, (TCellBlock{{TCellValue::Number(7), TCellValue::Empty()},
                                {TCellValue::Empty(), TCellValue::Empty()}}));
    EXPECT_THROW(com.ReadRange(2, 1, 1, 1, back), EExcelError);  // first after last
    EXPECT_THROW(com.ReadRange(0, 1, 1, 1, back), EExcelError);
    com.DetachExcel();
}

TEST_F(ExcelcomTest, Excelcom_formats_surviveXlsxSaveAndLoad) {
    QTemporaryDir dir;
    com.NewWorkbook();
    com.AttachExcel();
    com.WriteArrayToRange(1, 6, 1, 1,
                          {{TCellValue::Number(1.23456), TCellValue::Number(12345.678),
                            TCellValue::Number(7.6), TCellValue::Text(QStringLiteral("007")),
                            TCellValue::Number(44561), TCellValue::Text(QStringLiteral("head"))}});
    // "Bold": keywords are case-sensitive, it has no effect.
    const std::pair<int, const char*> formats[] = {{2, "sci2"},  {3, "int0"}, {4, "text"},
                                                   {5, "datum"}, {6, "bold"}, {6, "right"},
                                                   {6, "Bold"}};
    for (auto [col, keyword] : formats)
        com.FormatRange(col, col, 1, 1, QString::fromLatin1(keyword));
    com.CenterColumn(7);
    com.AutofitColumns(1, 6);
    com.DetachExcel();
    const QString path = dir.filePath(QStringLiteral("formats.xlsx"));
    t::SaveAsXlsx(t::CurrentDocument(), path);

    const auto doc = t::Load(path);
    const auto sheet = t::Sheet(doc, QStringLiteral("Sheet1"));
    auto code = [&](int col) {
        return toQ(t::As<rtl::OUString>(t::FormatProperty(doc, sheet, col, 0, "FormatString")));
    };
    // The codes as the document's locale writes them.
    const QString codes =
        GermanOffice() ? "0,000 0,00E+00 0 @ TT-MM-JJJJ" : "0.000 0.00E+00 0 @ DD-MM-YYYY";
    EXPECT_EQ(QStringList({code(0), code(1), code(2), code(3), code(4).toUpper()}).join(' '),
              codes);
    EXPECT_FLOAT_EQ(t::As<float>(t::CellProperty(sheet, 5, 0, "CharWeight")),
                    css::awt::FontWeight::BOLD);
    EXPECT_FLOAT_EQ(t::As<float>(t::CellProperty(sheet, 0, 0, "CharWeight")),
                    css::awt::FontWeight::NORMAL);
    EXPECT_EQ(t::As<sal_Int32>(t::CellProperty(sheet, 5, 0, "HoriJustify")), 3);  // RIGHT
    EXPECT_EQ(t::As<sal_Int32>(t::CellProperty(sheet, 6, 10, "HoriJustify")),
              2);                                        // CENTER, whole column
    com.SelectWorkbook(QStringLiteral("formats.xlsx"));  // a saved document knows its folder
    EXPECT_EQ(com.ActiveWorkbookFolder(), dir.path());
    EXPECT_EQ(com.CurrentWorkbook(), QStringLiteral("formats.xlsx"));
}

TEST_F(ExcelcomTest, Excelcom_formats_shownInTheDocumentsNotation) {
    // Codes written in en-US are converted to the document's locale: a German sheet shows
    // three decimals as "1,235" (its "0.000" would group thousands), an English one "1.235".
    com.NewWorkbook();
    const auto doc = t::CurrentDocument();
    const auto locale =
        t::As<css::lang::Locale>(Reference<css::beans::XPropertySet>(doc, css::uno::UNO_QUERY_THROW)
                                     ->getPropertyValue("CharLocale"));
    ASSERT_EQ(toQ(locale.Language), GermanOffice() ? "de" : "en");
    com.AttachExcel();
    com.WriteArrayToRange(1, 1, 1, 1, {{TCellValue::Number(1.23456)}});
    const TCellBlock values{{TCellValue::Number(1.23456), TCellValue::Number(0.000123),
                             TCellValue::Number(42.4), TCellValue::Number(1234567.5)}};
    com.WriteValueToRange(2, 5, 1, 1, values);
    com.FormatRange(2, 2, 1, 1, QStringLiteral("decim3"));
    com.FormatRange(3, 3, 1, 1, QStringLiteral("sci2"));
    com.FormatRange(4, 4, 1, 1, QStringLiteral("int0"));
    com.FormatRange(5, 5, 1, 1, QStringLiteral("decim3"));
    TCellBlock back;
    com.ReadRange(2, 5, 1, 1, back);
    EXPECT_EQ(back, values);  // the stored numbers are unchanged
    com.DetachExcel();
    const auto sheet = t::Sheet(doc, QStringLiteral("Sheet1"));
    QStringList shown;
    for (int col = 0; col < 5; ++col)
        shown << toQ(
            Reference<css::text::XText>(sheet->getCellByPosition(col, 0), css::uno::UNO_QUERY_THROW)
                ->getString());
    const QString expected = GermanOffice() ? "1,235 1,235 1,23E-04 42 1234567,500"
                                            : "1.235 1.235 1.23E-04 42 1234567.500";
    EXPECT_EQ(shown.join(' '), expected);
}

TEST_F(ExcelcomTest, Excelcom_sameTitleInTwoFolders_keptApart) {
    QTemporaryDir dir;
    for (const char* folder : {"a", "b"}) {
        com.NewWorkbook();
        com.AttachExcel();
        com.WriteValueToRange(1, 1, 1, 1, TCellValue::Text(QString::fromLatin1(folder)));
        com.DetachExcel();
        QDir(dir.path()).mkdir(QString::fromLatin1(folder));
        t::SaveAsXlsx(t::CurrentDocument(),
                      dir.filePath(QStringLiteral("%1/run.xlsx").arg(folder)));
    }
    t::CloseAllDocuments();
    for (const char* folder : {"a", "b"})
        t::Load(dir.filePath(QStringLiteral("%1/run.xlsx").arg(folder)));
    QStringList names = Names(com, selected);
    ASSERT_EQ(names.size(), 2);
    EXPECT_TRUE(names.value(selected).endsWith(QStringLiteral("/b)")));  // the last loaded
    names.sort();
    const QStringList expected{QStringLiteral("run.xlsx (%1/a)").arg(dir.path()),
                               QStringLiteral("run.xlsx (%1/b)").arg(dir.path())};
    ASSERT_EQ(names, expected);
    TCellBlock back;
    for (int i : {0, 1, 0}) {
        com.SelectWorkbook(names[i]);
        EXPECT_EQ(com.CurrentWorkbook(), names[i]);
        com.AttachExcel();
        com.ReadRange(1, 1, 1, 1, back);
        com.DetachExcel();
        EXPECT_EQ(back,
                  TCellBlock{{TCellValue::Text(i ? QStringLiteral("b") : QStringLiteral("a"))}});
        EXPECT_EQ(com.ActiveWorkbookFolder(),
                  QFileInfo(names[i].section('(', 1).chopped(1)).filePath());
    }
    // The bare title is ambiguous: it selects neither.
    EXPECT_THROW(com.SelectWorkbook(QStringLiteral("run.xlsx")), EExcelError);
}

TEST_F(ExcelcomTest, Excelcom_closedDocument_clearError) {
    com.NewWorkbook();
    com.AddSheetLast(QStringLiteral("Gone"));
    com.AttachExcel();
    t::CurrentDocument()->getSheets()->removeByName("Gone");
    TCellBlock block;
    const QString gone = ErrorOf([&] { com.ReadRange(1, 1, 1, 1, block); });
    EXPECT_TRUE(gone.startsWith(QStringLiteral("The sheet \"Gone\" is no longer"))) << gone;
    com.DetachExcel();
    com.NewWorkbook();
    com.AttachExcel();
    const QString name = com.CurrentWorkbook();
    t::CloseDocument(t::CurrentDocument());
    EXPECT_EQ(ErrorOf([&] { com.ReadRange(1, 2, 1, 2, block); }),
              QStringLiteral("The workbook \"%1\" was closed in LibreOffice Calc").arg(name));
    EXPECT_THROW(com.WriteValueToRange(1, 1, 1, 1, TCellValue::Number(1)), EExcelError);
    com.DetachExcel();
    EXPECT_EQ(Names(com, selected).size(), 1);  // the first workbook stays
}

// Run only against an office of its own, whose process id $QURVEX_TEST_OFFICE_PID_FILE holds.
TEST(ExcelcomOfficeDies, Excelcom_officeGone_saysCalcUnreachable) {
    const QString pidFile = qEnvironmentVariable("QURVEX_TEST_OFFICE_PID_FILE");
    if (pidFile.isEmpty()) GTEST_SKIP() << "needs an office of its own";
    ASSERT_TRUE(t::WaitForOffice(90.0));
    TExcelcom com;
    com.NewWorkbook();
    com.AttachExcel();
    QFile file(pidFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const pid_t pid = file.readAll().trimmed().toInt();
    ASSERT_GT(pid, 0);
    ASSERT_EQ(kill(pid, SIGKILL), 0);
    for (int i = 0; i < 100 && kill(pid, 0) == 0; ++i) usleep(50000);
    TCellBlock block;
    const QString msg = ErrorOf([&] { com.ReadRange(1, 1, 1, 1, block); });
    EXPECT_TRUE(msg.startsWith(QStringLiteral("LibreOffice Calc is no longer reachable"))) << msg;
    EXPECT_FALSE(com.IsAttached());
    int selected = 0;
    EXPECT_TRUE(
        ErrorOf([&] { Names(com, selected); }).startsWith(QStringLiteral("first start Excel")));
}

}  // namespace
