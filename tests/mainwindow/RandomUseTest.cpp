// SPDX-License-Identifier: GPL-3.0-or-later
// The main window used at random, seed by seed: a run is loaded (a synthetic
// plate with two groups, or a real RDML file through the File menu), then a
// user clicks around (see RandomUser.h) while a prompter answers at random
// (see RandomPrompter.h). No office is reachable, so the Calc commands must
// refuse cleanly. A finding is an action that does not return within the
// limit (the watchdog prints the action log and the stack and ends the
// process), a sanitizer report, a crash, or a result that is not finite.
//
// QURVEX_RANDOM_SEEDS    "1-4" (default), "7", or "1,5,9"
// QURVEX_RANDOM_ACTIONS  actions per seed (default 500)
// QURVEX_RANDOM_HANG_SECONDS  the limit of one action (default 10)
// QURVEX_RANDOM_VERBOSE  "1" prints every action as it runs
// A seed replays with the same seed and count.
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <functional>
#include <random>

#include "engine/Engine.h"
#include "mainwindow/DocumentOpener.h"
#include "mainwindow/Mainform.h"
#include "mainwindow/QurvexApplication.h"
#include "spreadsheet/RadioGroup.h"
#include "spreadsheet/ReadExcelDialog.h"
#include "spreadsheet/Registry.h"
#include "tests/engine/support/SyntheticRun.h"
#include "tests/mainwindow/HangWatchdog.h"
#include "tests/mainwindow/RandomPrompter.h"
#include "tests/mainwindow/RandomUser.h"

using namespace qurvex;
using namespace qurvex::testing;

namespace {

QList<unsigned> seedsFromEnvironment() {
    const QString text = qEnvironmentVariable("QURVEX_RANDOM_SEEDS", QStringLiteral("1-4"));
    QList<unsigned> seeds;
    for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList ends = part.split(QLatin1Char('-'));
        const unsigned from = ends.first().trimmed().toUInt();
        const unsigned to = ends.size() > 1 ? ends.last().trimmed().toUInt() : from;
        for (unsigned s = from; s <= to; ++s) seeds << s;
    }
    return seeds;
}

int intFromEnvironment(const char* name, int fallback) {
    bool ok = false;
    const int v = qEnvironmentVariableIntValue(name, &ok);
    return ok && v > 0 ? v : fallback;
}

// The real RDML files of the tests (MIT), copied so that the extracted
// documents land in the seed's own folder.
QStringList copyRdmlFiles(const QString& folder) {
    QStringList files;
    for (const char* name : {"stepone_std.rdml", "BioRad_qPCR_melt.rdml", "lc96_bACTXY.rdml"}) {
        const QString to = folder + QLatin1Char('/') + QLatin1String(name);
        QFile::copy(QStringLiteral(QURVEX_SOURCE_DIR "/tests/data/rdml/") + QLatin1String(name),
                    to);
        files << to;
    }
    // Not an archive at all.
    QFile junk(folder + QStringLiteral("/junk.rdml"));
    if (junk.open(QIODevice::WriteOnly)) junk.write("not a zip");
    files << junk.fileName();
    return files;
}

// The read dialog answered with OK on `file`, with some chemistry and either
// baseline choice (raw data only when `raw`).
void fillReadDialog(QDialog& dialog, const QString& file, std::mt19937& random, bool raw = false) {
    auto* read = qobject_cast<TreadexcelQVXcomform*>(&dialog);
    if (!read) return;
    read->RdmlFileNameEdit->setText(file);
    read->ChemistryRG->SetItemIndex(std::uniform_int_distribution<int>(0, 6)(random));
    const int baseline = std::uniform_int_distribution<int>(0, 1)(random);
    read->Baseline_RG->SetItemIndex(raw ? 1 : baseline);  // 0 "Yes", 1 "No"
    read->OKRdmlButton->click();
}

// Lets the window finish what the action queued: posted events and timers
// that are due, again and again until nothing more is ready, then the
// deferred chart drawing. Work that keeps queueing work never ends here, and
// the watchdog reports it like any other action that does not return.
void settle(Tmainform& w) {
    QAbstractEventDispatcher* events = QCoreApplication::eventDispatcher();
    do {
        QCoreApplication::sendPostedEvents();
    } while (events->processEvents(QEventLoop::AllEvents));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    w.FlushCharts();
}

// Every second pair of seeds opens the diagnostic, expert and workshop pages
// too; every fifth uses the alternative baseline routine.
QStringList startSwitches(unsigned seed) {
    QStringList switches;
    if ((seed / 2) % 2 == 1)
        switches << QStringLiteral("x") << QStringLiteral("m") << QStringLiteral("w");
    if (seed % 5 == 0) switches << QStringLiteral("jz");
    return switches;
}

// While alive, the spreadsheet dialogs and the RDML read dialog are answered
// by the prompter; the hooks before come back at the end.
class TPrompterHooks {
public:
    explicit TPrompterHooks(TRandomPrompter& prompter) : saved_(DialogHooks()) {
        DialogHooks().runModal = [&prompter](QDialog& d) { return prompter.runModal(d); };
        DialogHooks().showError = [&prompter](const QString& text) {
            prompter.message(TPromptKind::Error, QStringLiteral("Error"), text);
        };
        DialogHooks().chooseRdmlFile = [&prompter] {
            return prompter.pickInt(0, 2) == 0 ? QString() : prompter.openFiles.first();
        };
    }
    ~TPrompterHooks() { DialogHooks() = saved_; }
    TPrompterHooks(const TPrompterHooks&) = delete;
    TPrompterHooks& operator=(const TPrompterHooks&) = delete;

private:
    TDialogHooks saved_;
};

// The run the user starts with: even seeds a synthetic plate of 24 wells in
// two groups, odd seeds the first RDML file read through the File menu.
void loadFirstRun(Tmainform& w, unsigned seed, TRandomPrompter& prompter, std::mt19937& random,
                  const TRandomPrompter::TLog& log) {
    if (seed % 2 == 0) {
        log(QStringLiteral("load: a synthetic plate of 24 wells in two groups"));
        TEngine& e = w.Engine();
        loadSyntheticRun(e, makePlate(24, 2, 0.002, seed));
        e.ProcessDataAfterRead();
        std::vector<std::string> names(24, "A");
        for (std::size_t i = 12; i < 24; ++i) names[i] = "B";
        e.setidentifiers(names);
        e.numgroupsEditChange();
        return;
    }
    const QString file = prompter.openFiles.first();
    log(QStringLiteral("load: menu File > \"Read from RDML\" with %1").arg(file));
    // The first read is not left to chance: raw data, which need no
    // confirmation that could be declined.
    const auto answer = DialogHooks().runModal;
    DialogHooks().runModal = [&](QDialog& d) {
        fillReadDialog(d, file, random, true);
        return d.result();
    };
    w.ReadfromRDML1->trigger();
    DialogHooks().runModal = answer;
}

}  // namespace

class RandomUseTest : public QObject {
    Q_OBJECT
private slots:
    void randomUse_noHangCrashOrNonFiniteResult();

private:
    void runSeed(unsigned seed, int actions, THangWatchdog& watchdog);
};

void RandomUseTest::randomUse_noHangCrashOrNonFiniteResult() {
    const QList<unsigned> seeds = seedsFromEnvironment();
    const int actions = intFromEnvironment("QURVEX_RANDOM_ACTIONS", 500);
    const int limit = intFromEnvironment("QURVEX_RANDOM_HANG_SECONDS", 10);
    THangWatchdog watchdog{std::chrono::seconds(limit)};
    for (const unsigned seed : seeds) {
        QElapsedTimer clock;
        clock.start();
        runSeed(seed, actions, watchdog);
        if (QTest::currentTestFailed()) return;
        std::fprintf(stderr, "seed %u: %d actions in %.1f s\n", seed, actions,
                     clock.elapsed() / 1000.0);
    }
}

void RandomUseTest::runSeed(unsigned seed, int actions, THangWatchdog& watchdog) {
    const bool verbose = qEnvironmentVariable("QURVEX_RANDOM_VERBOSE") == QLatin1String("1");
    int current = 0;
    QString lastAction, slowestAction;
    qint64 slowest = 0;
    auto log = [&](const QString& line) {
        if (!line.startsWith(QLatin1Char(' '))) lastAction = line;
        const QString text = QStringLiteral("[seed %1 #%2] %3").arg(seed).arg(current).arg(line);
        watchdog.Log(text);
        if (verbose) std::fprintf(stderr, "%s\n", qPrintable(text));
    };
    std::mt19937 random(seed);
    QTemporaryDir work;
    QVERIFY(work.isValid());
    TRandomPrompter prompter(random, log);
    prompter.openFiles = copyRdmlFiles(work.path());
    prompter.saveFolder = work.path();
    prompter.fillReadDialog = [&random](QDialog& d, const QString& file) {
        fillReadDialog(d, file, random);
    };
    const TPrompterHooks hooks(prompter);

    TMainformServices services;
    services.prompter = &prompter;
    const QString ini = work.filePath(QStringLiteral("settings.ini"));
    services.registry = [ini] { return std::make_unique<TRegistry>(ini); };
    services.documentFolder = work.path();
    {
        const QStringList switches = startSwitches(seed);
        watchdog.Begin();
        log(QStringLiteral("start: the window is shown (switches \"%1\")").arg(switches.join(' ')));
        Tmainform w(switches, services);
        w.Documents().SetOpener([](const QUrl&) { return true; });
        w.resize(1200, 860);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.activateWindow();
        settle(w);
        loadFirstRun(w, seed, prompter, random, log);
        settle(w);
        watchdog.End();

        TRandomUser user(w, random, log);
        // A click that comes while an action still runs: handled when the
        // action lets events through, and never while a modal window is open.
        std::function<void()> early = [&] {
            if (prompter.InsideWindow())
                QTimer::singleShot(0, &w, early);
            else
                user.Act();
        };
        for (current = 1; current <= actions; ++current) {
            QElapsedTimer took;
            took.start();
            watchdog.Begin();
            if (std::uniform_int_distribution<int>(0, 9)(random) == 0) {
                log(QStringLiteral("(the next action comes while this one runs)"));
                QTimer::singleShot(0, &w, early);
            }
            user.Act();
            settle(w);
            watchdog.End();
            if (took.elapsed() > slowest) {
                slowest = took.elapsed();
                slowestAction = QStringLiteral("#%1 %2").arg(current).arg(lastAction);
            }
            const QString wrong = user.CheckFinite(current % 25 == 0 || current == actions);
            if (!wrong.isEmpty()) {
                log(QStringLiteral("NOT FINITE: ") + wrong);
                std::fprintf(stderr, "%s", watchdog.Tail(60).c_str());
                QFAIL(qPrintable(QStringLiteral("seed %1, action %2: %3 is not finite")
                                     .arg(seed)
                                     .arg(current)
                                     .arg(wrong)));
            }
        }
        watchdog.Begin();
        log(QStringLiteral("end: the window is closed"));
        w.close();
        settle(w);
        watchdog.End();
    }
    std::fprintf(stderr, "seed %u: slowest action %lld ms: %s\n", seed,
                 static_cast<long long>(slowest), qPrintable(slowestAction));
}

int main(int argc, char** argv) {
    // No office listens on this pipe: every Calc command must refuse cleanly.
    qputenv("QURVEX_CALC_PIPE", QByteArray("qurvex-random-use-nobody-") +
                                    QByteArray::number(QCoreApplication::applicationPid()));
    qurvex::TQurvexApplication app(argc, argv);
    RandomUseTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "RandomUseTest.moc"
