// SPDX-License-Identifier: GPL-3.0-or-later
// The script that starts Calc for Qurvex: it refuses what would not work and says why, waits
// until the pipe accepts, and opens a workbook only in a new office. Every office it starts
// here has a profile of the test's own, so that a Calc the user has open is never reached.
#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <csignal>
#include <memory>
#include <utility>
#include <vector>

#include "spreadsheet/Excelcom.h"
#include "spreadsheet/UnoSupport.h"

using namespace qurvex;

namespace {

struct ScriptRun {
    int exitCode = -1;
    QString output;  // standard output and error
};

// The configuration folder of the script's runs: the profile of an office the script starts.
QString ConfigFolder(const QString& home) { return home + QStringLiteral("/.config"); }

// Runs the script with `env` changes (an empty value removes the variable), a private HOME and
// a private XDG_CONFIG_HOME: the profile of every office the script starts or reaches is the
// test's own, never that of a Calc the user has open.
ScriptRun RunScript(const QString& home, const std::vector<std::pair<QString, QString>>& env) {
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.insert(QStringLiteral("HOME"), home);
    e.insert(QStringLiteral("XDG_CONFIG_HOME"), ConfigFolder(home));
    e.insert(QStringLiteral("QURVEX_CALC_WAIT"), QStringLiteral("60"));
    for (const auto& [name, value] : env) value.isEmpty() ? e.remove(name) : e.insert(name, value);
    QProcess p;
    p.setProcessEnvironment(e);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(qEnvironmentVariable("QURVEX_CALC_SCRIPT"), {});
    p.waitForFinished(90000);
    return {p.exitCode(), QString::fromLocal8Bit(p.readAll())};
}

bool Accepts(const QString& pipe) {
    try {
        return TExcelcom(pipe).IsExcelRunning();
    } catch (const EExcelError&) {
        return false;
    }
}

// A pipe of this test process. CTest gives the prefix and ends, after the test, every office
// still on a pipe with that prefix (a test that failed or was killed leaves none behind).
QString FreePipe(const char* what) {
    QString prefix = qEnvironmentVariable("QURVEX_TEST_PIPE_PREFIX");
    if (prefix.isEmpty()) prefix = QStringLiteral("qurvex-script");
    return QStringLiteral("%1-%2-%3").arg(prefix).arg(getpid()).arg(QString::fromLatin1(what));
}

// Ends, when it goes out of scope, every office that listens or was started to listen on the
// pipe: an office that the script started ends with the test case, also after a failed assertion.
class OfficeSweep {
public:
    explicit OfficeSweep(QString pipe) : pipe_(std::move(pipe)) {}
    ~OfficeSweep() { QProcess::execute(QStringLiteral(QURVEX_OFFICE_SWEEP), {pipe_}); }
    OfficeSweep(const OfficeSweep&) = delete;
    OfficeSweep& operator=(const OfficeSweep&) = delete;

private:
    QString pipe_;
};

// The ids of this user's processes started to listen on the pipe (the launcher and the office).
QString OfficesOn(const QString& pipe) {
    QProcess sweep;
    sweep.start(QStringLiteral(QURVEX_OFFICE_SWEEP), {"--exact", "--list", pipe});
    if (!sweep.waitForFinished(10000) || sweep.exitCode() != 0)
        return QStringLiteral("(the list failed)");
    return QString::fromLocal8Bit(sweep.readAllStandardOutput()).trimmed();
}

// True when no process of the pipe is left within `seconds` (a process that was told to end
// may take a moment).
bool NoOfficeLeftOn(const QString& pipe, int seconds = 10) {
    for (int i = 0; i < seconds * 10; ++i) {
        if (OfficesOn(pipe).isEmpty()) return true;
        usleep(100000);
    }
    return OfficesOn(pipe).isEmpty();
}

// A virtual display that ends with this process, also when the process dies.
QString StartXvfb(QProcess& xvfb) {
    xvfb.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
    xvfb.start(QStringLiteral("Xvfb"), {"-displayfd", "1", "-nolisten", "tcp"});
    if (!xvfb.waitForStarted(5000) || !xvfb.waitForReadyRead(10000)) return {};
    return QLatin1Char(':') + QString::fromLatin1(xvfb.readLine()).trimmed();
}

TEST(CalcScript, Calc_refusals_sayWhyAndLeaveNoOffice) {
    QTemporaryDir home;
    const QString busy = qEnvironmentVariable("QURVEX_CALC_PIPE");  // a headless test office
    for (int i = 0; i < 300 && !Accepts(busy); ++i) usleep(100000);
    ASSERT_TRUE(Accepts(busy));
    // An office that starts and never listens: the script gives up after a second.
    const QString stalled =
        QStringLiteral(QURVEX_STALLED_OFFICE) + QLatin1Char(':') + qEnvironmentVariable("PATH");
    struct Case {
        const char* name;
        QString pipe, display;
        const char* says;
        QString path;  // "" for the caller's
    } cases[] = {
        {"quote", QStringLiteral("a;b=c"), QStringLiteral(":0"), "may hold only letters", {}},
        {"nodisplay", FreePipe("nodisplay"), QString(), "no display", {}},
        {"baddisplay",
         FreePipe("baddisplay"),
         QStringLiteral(":%1").arg(700 + getpid() % 200),
         "Failed to open display",
         {}},
        {"headless", busy, QStringLiteral(":0"), "an office without a window (process ", {}},
        {"stalled", FreePipe("stalled"), QStringLiteral(":0"), "did not start listening", stalled},
    };
    for (const Case& c : cases) {
        std::unique_ptr<OfficeSweep> sweep;
        if (c.pipe != busy) sweep = std::make_unique<OfficeSweep>(c.pipe);
        std::vector<std::pair<QString, QString>> env{
            {"QURVEX_CALC_PIPE", c.pipe}, {"DISPLAY", c.display}, {"WAYLAND_DISPLAY", QString()}};
        if (!c.path.isEmpty()) env.insert(env.end(), {{"PATH", c.path}, {"QURVEX_CALC_WAIT", "1"}});
        const ScriptRun run = RunScript(home.path(), env);
        EXPECT_EQ(run.exitCode, 1) << c.name;
        EXPECT_TRUE(run.output.contains(QString::fromLatin1(c.says)))
            << c.name << ": " << run.output.toStdString();
        if (c.pipe != busy) {
            EXPECT_FALSE(Accepts(c.pipe)) << c.name;
            // A failed start ends all it started, before the sweep would.
            if (c.pipe.startsWith(FreePipe(""))) {
                EXPECT_TRUE(NoOfficeLeftOn(c.pipe)) << c.name;
            }
        }
    }
    EXPECT_TRUE(Accepts(busy));  // the running office is left alone
}

// A visible office on a virtual display: started once with one workbook, found the second time.
TEST(CalcScript, Calc_freeThenBusyPipe_oneOfficeOneWorkbook) {
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty())
        GTEST_SKIP() << "Xvfb is not installed";
    QProcess xvfb;
    const QString display = StartXvfb(xvfb);
    ASSERT_FALSE(display.isEmpty()) << "Xvfb did not start";
    QTemporaryDir home;
    const QString pipe = FreePipe("visible");
    const OfficeSweep sweep(pipe);
    const std::vector<std::pair<QString, QString>> env{{"QURVEX_CALC_PIPE", pipe},
                                                       {"DISPLAY", display}};
    const ScriptRun first = RunScript(home.path(), env);
    EXPECT_EQ(first.exitCode, 0) << first.output.toStdString();
    EXPECT_TRUE(first.output.startsWith("LibreOffice Calc listens")) << first.output.toStdString();
    const ScriptRun second = RunScript(home.path(), env);
    EXPECT_EQ(second.exitCode, 0) << second.output.toStdString();
    EXPECT_TRUE(second.output.startsWith("LibreOffice Calc already listens"))
        << second.output.toStdString();
    // The office on the pipe is the one started with the test's profile (it holds the profile's
    // lock), not one of the user's that was made to listen: only that one may be ended here.
    const bool ours =
        QFileInfo::exists(ConfigFolder(home.path()) + QStringLiteral("/libreoffice/4/.lock"));
    EXPECT_TRUE(ours);
    QStringList names;
    int selected = -1;
    if (ours && Accepts(pipe)) {
        TExcelcom(pipe).ListWorkbooks(names, selected);
        try {
            connectDesktop(pipe)->terminate();
        } catch (const css::uno::Exception&) {  // the office may go before it answers
        }
    }
    EXPECT_EQ(names.size(), 1) << names.join(", ").toStdString();
    for (int i = 0; i < 100 && Accepts(pipe); ++i) usleep(100000);
    xvfb.terminate();
    xvfb.waitForFinished(5000);
}

}  // namespace
