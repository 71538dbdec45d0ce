// SPDX-License-Identifier: GPL-3.0-or-later
// The user's settings: first run, defaults, disclaimer, new-version notice,
// reading and writing the output columns, exclusions and acceptance levels,
// values of the wrong kind, and a read-back in a fresh process.
#include <QFileInfo>
#include <QListWidget>
#include <QProcess>

#include "mainwindow/NewVersionWarning.h"
#include "tests/mainwindow/WindowTest.h"

using namespace qurvex;
using qurvex::testing::TWindowFixture;

namespace {

const QString kRoot = QStringLiteral("Software\\Norvane Labs\\Qurvex");

// Writes string values into the application's key of the fixture's settings.
void store(const TWindowFixture& f, const QList<std::pair<QString, QString>>& values) {
    auto reg = f.registry();
    QVERIFY(reg->OpenKey(kRoot, true));
    for (const auto& [name, value] : values) reg->WriteString(name, value);
    reg->Flush();
}

QString stored(const TWindowFixture& f, const QString& name) {
    auto reg = f.registry();
    if (!reg->OpenKey(kRoot, false)) return QStringLiteral("<no key>");
    return reg->ValueExists(name) ? reg->ReadString(name) : QStringLiteral("<missing>");
}

bool ticked(const Tmainform& w, const QString& column) {
    const auto items = w.OutputColumnsCLB->findItems(column, Qt::MatchExactly);
    return !items.isEmpty() && items.first()->checkState() == Qt::Checked;
}

}  // namespace

class SettingsTest : public QObject {
    Q_OBJECT
private slots:
    void firstRun_showsDisclaimerOnceAndWritesDefaults() {
        TWindowFixture f;
        f.createActive();
        QCOMPARE(f.prompter.modals, QStringList{QStringLiteral("disclaimwindow")});
        for (const QString& column : Tmainform::OutputColumnNames())
            QCOMPARE(stored(f, column), QStringLiteral("yes"));
        for (const char* name :
             {"exclude_skipped", "exclude_no_plateau", "exclude_TooLowCq", "exclude_outlier"})
            QCOMPARE(stored(f, name), QStringLiteral("yes"));
        QCOMPARE(stored(f, "exclude_percentage"), QStringLiteral("5"));
        QCOMPARE(stored(f, "version"), QStringLiteral("2021.2"));
        auto reg = f.registry();
        QVERIFY(reg->OpenKey(kRoot, false));
        QVERIFY(reg->ValueIsInteger("AcceptErrorEff"));
        QCOMPARE(reg->ReadInteger("AcceptErrorEff"), 1);
        QCOMPARE(reg->ReadInteger("AcceptBiasN0"), 1);

        // The next start shows neither window.
        f.prompter.clear();
        f.window.reset();
        f.createActive();
        QVERIFY(f.prompter.modals.isEmpty());
    }

    void newVersionNotice_olderVersionOrNoProductValues() {
        // An older stored version, and a key beside the product's own only.
        for (const bool older : {true, false}) {
            TWindowFixture f;
            if (older) {
                store(f, {{"version", "2019.1"}, {"exclude_outlier", "yes"}});
            } else {
                auto reg = f.registry();
                QVERIFY(reg->OpenKey(QStringLiteral("Software\\Qurvex"), true));
                reg->WriteString("other", "x");
                reg->Flush();
            }
            QString previous = QStringLiteral("unset"), current, date;
            f.prompter.onModal = [&](QDialog& d) {
                if (auto* notice = qobject_cast<TNewVersionWarning*>(&d)) {
                    previous = notice->PreviousVersionLabel->text();
                    current = notice->VersionLabel->text();
                    date = notice->DateLabel->text();
                }
            };
            Tmainform& w = f.createActive();
            QCOMPARE(f.prompter.modals, QStringList{QStringLiteral("NewVersionWarning")});
            QCOMPARE(previous, older ? QStringLiteral("2019.1") : QString());
            QCOMPARE(current, QStringLiteral("2021.2"));
            QCOMPARE(date, QStringLiteral("(December 2021)"));
            QCOMPARE(stored(f, "version"), QStringLiteral("2021.2"));
            if (older) continue;
            // Nothing stored for the product: columns ticked, exclusions off
            // except "skipped", which is kept checked whatever is stored.
            QVERIFY(ticked(w, "Baseline"));
            QVERIFY(!w.ExcludeNoPlateauCB->isChecked());
            QVERIFY(!w.ExcludeTooLowCqCB->isChecked());
            QVERIFY(!w.ExcludeOutlierCB->isChecked());
            QVERIFY(w.ExcludeSkippedCB->isChecked());
        }
    }

    void read_appliesStoredChoices() {
        TWindowFixture f;
        store(f, {{"version", "2021.2"},
                  {"Baseline", "no"},
                  {"PCR efficiency", "No"},
                  {"N0 individual", "yes"},
                  {"Cq", "no"},
                  {"-----------------------------", "yes"},
                  {"exclude_skipped", "no"},
                  {"exclude_no_plateau", "yes"},
                  {"exclude_TooLowCq", "no"},
                  {"exclude_outlier", "yes"},
                  {"exclude_percentage", "12.5"}});
        {
            auto reg = f.registry();
            QVERIFY(reg->OpenKey(kRoot, true));
            reg->WriteInteger("AcceptErrorEff", 0);
            reg->WriteInteger("AcceptBiasN0", -1);
        }
        Tmainform& w = f.createActive();
        QVERIFY(f.prompter.modals.isEmpty());
        QVERIFY(!ticked(w, "Baseline"));
        QVERIFY(!ticked(w, "PCR efficiency"));  // the comparison is case-sensitive
        QVERIFY(ticked(w, "N0 individual"));
        QVERIFY(ticked(w, "Lower window limit") == false &&
                ticked(w, "lower window limit"));              // missing: ticked
        QVERIFY(ticked(w, "Cq"));                              // always in the output
        QVERIFY(!ticked(w, "-----------------------------"));  // never an output column
        QVERIFY(!w.allOutputCB->isChecked());
        QVERIFY(w.ExcludeSkippedCB->isChecked());
        QVERIFY(w.ExcludeNoPlateauCB->isChecked());
        QVERIFY(!w.ExcludeTooLowCqCB->isChecked());
        QCOMPARE(w.AcceptErrorEffRG->ItemIndex(), 0);
        QCOMPARE(w.AcceptBiasN0RG->ItemIndex(), 0);
        QCOMPARE(w.IncluPercEdit->text(), QStringLiteral("12.5"));
        QCOMPARE(w.Engine().options.IncluPercEdit, 12.5);
        QCOMPARE(w.Engine().options.AcceptErrorEffRG, 0);
    }

    void read_valuesOfTheWrongKind_keepDefaults() {
        TWindowFixture f;
        store(f, {{"version", "2021.2"},
                  {"AcceptErrorEff", "7"},
                  {"AcceptBiasN0", "abc"},
                  {"exclude_outlier", "yes"},
                  {"exclude_percentage", "ten"}});
        Tmainform& w = f.createActive();
        QCOMPARE(w.AcceptErrorEffRG->ItemIndex(), 1);
        QCOMPARE(w.AcceptBiasN0RG->ItemIndex(), 1);
        QVERIFY(w.ExcludeOutlierCB->isChecked());
        QCOMPARE(w.IncluPercEdit->text(), QStringLiteral("5"));

        // A missing percentage also keeps the edit's text.
        TWindowFixture g;
        store(g, {{"version", "2021.2"}, {"exclude_outlier", "yes"}});
        QCOMPARE(g.createActive().IncluPercEdit->text(), QStringLiteral("5"));
    }

    void save_writesEveryControl_keepsPercentageWhileOutlierOff() {
        TWindowFixture f;
        Tmainform& w = f.createActive();
        w.OutputColumnsCLB->findItems("Baseline", Qt::MatchExactly)
            .first()
            ->setCheckState(Qt::Unchecked);
        w.ExcludeNoPlateauCB->setChecked(false);
        w.AcceptErrorEffRG->SetItemIndex(0);
        w.IncluPercEdit->setText(QStringLiteral("8"));
        store(f, {{"version", "2000.1"}});
        w.SaveRegistryButtonClick();
        QCOMPARE(stored(f, "Baseline"), QStringLiteral("no"));
        QCOMPARE(stored(f, "Cq"), QStringLiteral("yes"));
        QCOMPARE(stored(f, "-----------------------------"), QStringLiteral("no"));
        QCOMPARE(stored(f, "exclude_no_plateau"), QStringLiteral("no"));
        QCOMPARE(stored(f, "exclude_percentage"), QStringLiteral("8"));
        QCOMPARE(stored(f, "version"), QStringLiteral("2021.2"));
        auto reg = f.registry();
        QVERIFY(reg->OpenKey(kRoot, false));
        QCOMPARE(reg->ReadInteger("AcceptErrorEff"), 0);

        // With outlier exclusion off the stored percentage is neither read nor
        // overwritten.
        TWindowFixture g;
        store(g, {{"version", "2021.2"}, {"exclude_outlier", "no"}, {"exclude_percentage", "9"}});
        Tmainform& v = g.createActive();
        QVERIFY(!v.ExcludeOutlierCB->isChecked());
        QCOMPARE(v.IncluPercEdit->text(), QStringLiteral("5"));
        v.IncluPercEdit->setText(QStringLiteral("3"));
        v.SaveRegistryButtonClick();
        QCOMPARE(stored(g, "exclude_outlier"), QStringLiteral("no"));
        QCOMPARE(stored(g, "exclude_percentage"), QStringLiteral("9"));
    }

    void freshProcess_readsBackWhatWasSaved() {
        const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
        QVERIFY2(!config.isEmpty(), "the test needs a settings folder of its own");
        QDir(config).removeRecursively();
        QDir().mkpath(config);

        auto run = [](const QString& mode) {
            QProcess p;
            p.start(QStringLiteral(QURVEX_SETTINGS_HELPER), {mode});
            if (!p.waitForFinished(60000)) return QStringList{QStringLiteral("timeout")};
            QStringList lines =
                QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
            if (p.exitCode() != 0) lines << QStringLiteral("exit %1").arg(p.exitCode());
            return lines;
        };
        const QStringList first = run(QStringLiteral("save"));
        QVERIFY2(first.contains(QStringLiteral("modals=disclaimwindow")),
                 qPrintable(first.join('|')));
        QVERIFY(QFileInfo::exists(config + QStringLiteral("/Norvane Labs/Qurvex.conf")));

        const QStringList second = run(QStringLiteral("read"));
        QVERIFY2(second.contains(QStringLiteral("modals=")), qPrintable(second.join('|')));
        for (const char* line : {"column Baseline=0", "column N0 individual=0", "column Cq=1",
                                 "column sample name=1", "AcceptErrorEff=0", "AcceptBiasN0=0",
                                 "ExcludeNoPlateau=0", "ExcludeOutlier=1", "IncluPerc=7.5"})
            QVERIFY2(second.contains(QString::fromLatin1(line)), line);
    }
};

QURVEX_WINDOW_TEST_MAIN(SettingsTest)

#include "SettingsTest.moc"
