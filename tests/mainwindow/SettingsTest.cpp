// SPDX-License-Identifier: GPL-3.0-or-later
// The user's settings: first run, defaults, disclaimer, new-version notice,
// reading and writing the output columns, exclusions and acceptance levels,
// values of the wrong kind, and a read-back in a fresh process.
#include "mainwindow/NewVersionWarning.h"
#include "mainwindow/QurvexApplication.h"
#include "mainwindow/RadioGroup.h"
#include "tests/mainwindow/WindowFixture.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QTest>

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
  void firstRun_showsDisclaimerOnceAndWritesDefaults();
  void olderVersion_showsNoticeAndStoresCurrentVersion();
  void makerKeyWithoutProductValues_noticeWithEmptyPreviousVersion();
  void read_appliesStoredChoices();
  void read_valuesOfTheWrongKind_keepDefaults();
  void outlierOff_keepsPercentageOnReadAndSave();
  void save_writesEveryControl();
  void freshProcess_readsBackWhatWasSaved();
};

void SettingsTest::firstRun_showsDisclaimerOnceAndWritesDefaults() {
  TWindowFixture f;
  f.createActive();
  QCOMPARE(f.prompter.modals, QStringList{QStringLiteral("disclaimwindow")});
  for (const QString& column : Tmainform::OutputColumnNames()) QCOMPARE(stored(f, column), QStringLiteral("yes"));
  QCOMPARE(stored(f, "version"), QStringLiteral("2021.2"));
  QCOMPARE(stored(f, "exclude_skipped"), QStringLiteral("yes"));
  QCOMPARE(stored(f, "exclude_no_plateau"), QStringLiteral("yes"));
  QCOMPARE(stored(f, "exclude_TooLowCq"), QStringLiteral("yes"));
  QCOMPARE(stored(f, "exclude_outlier"), QStringLiteral("yes"));
  QCOMPARE(stored(f, "exclude_percentage"), QStringLiteral("5"));
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

void SettingsTest::olderVersion_showsNoticeAndStoresCurrentVersion() {
  TWindowFixture f;
  store(f, {{"version", "2019.1"}, {"exclude_outlier", "yes"}});
  QString previous, current, date;
  f.prompter.onModal = [&](QDialog& d) {
    if (auto* notice = qobject_cast<TNewVersionWarning*>(&d)) {
      previous = notice->PreviousVersionLabel->text();
      current = notice->VersionLabel->text();
      date = notice->DateLabel->text();
    }
  };
  f.createActive();
  QCOMPARE(f.prompter.modals, QStringList{QStringLiteral("NewVersionWarning")});
  QCOMPARE(previous, QStringLiteral("2019.1"));
  QCOMPARE(current, QStringLiteral("2021.2"));
  QCOMPARE(date, QStringLiteral("(December 2021)"));
  QCOMPARE(stored(f, "version"), QStringLiteral("2021.2"));
}

void SettingsTest::makerKeyWithoutProductValues_noticeWithEmptyPreviousVersion() {
  TWindowFixture f;
  {
    // Only a key beside the product's own (Software\Qurvex) exists.
    auto reg = f.registry();
    QVERIFY(reg->OpenKey(QStringLiteral("Software\\Qurvex"), true));
    reg->WriteString("other", "x");
    reg->Flush();
  }
  QString previous = QStringLiteral("unset");
  f.prompter.onModal = [&](QDialog& d) {
    if (auto* notice = qobject_cast<TNewVersionWarning*>(&d)) previous = notice->PreviousVersionLabel->text();
  };
  Tmainform& w = f.createActive();
  QCOMPARE(f.prompter.modals, QStringList{QStringLiteral("NewVersionWarning")});
  QCOMPARE(previous, QString());
  QCOMPARE(stored(f, "version"), QStringLiteral("2021.2"));
  QVERIFY(ticked(w, "Baseline"));
  QVERIFY(!w.ExcludeNoPlateauCB->isChecked());
  QVERIFY(!w.ExcludeTooLowCqCB->isChecked());
  QVERIFY(!w.ExcludeOutlierCB->isChecked());
  QVERIFY(w.ExcludeSkippedCB->isChecked());  // kept checked whatever is stored
}

void SettingsTest::read_appliesStoredChoices() {
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
  QVERIFY(ticked(w, "Lower window limit") == false && ticked(w, "lower window limit"));  // missing: ticked
  QVERIFY(ticked(w, "Cq"));                                // always in the output
  QVERIFY(!ticked(w, "-----------------------------"));    // never an output column
  QVERIFY(!w.allOutputCB->isChecked());
  QVERIFY(w.ExcludeSkippedCB->isChecked());
  QVERIFY(w.ExcludeNoPlateauCB->isChecked());
  QVERIFY(!w.ExcludeTooLowCqCB->isChecked());
  QCOMPARE(w.AcceptErrorEffRG->ItemIndex(), 0);
  QCOMPARE(w.AcceptBiasN0RG->ItemIndex(), 0);
  QCOMPARE(w.IncluPercEdit->text(), QStringLiteral("12.5"));
  QCOMPARE(w.Engine().options.IncluPercEdit, std::string("12.5"));
  QCOMPARE(w.Engine().options.AcceptErrorEffRG, 0);
}

void SettingsTest::read_valuesOfTheWrongKind_keepDefaults() {
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

void SettingsTest::outlierOff_keepsPercentageOnReadAndSave() {
  TWindowFixture f;
  store(f, {{"version", "2021.2"}, {"exclude_outlier", "no"}, {"exclude_percentage", "9"}});
  Tmainform& w = f.createActive();
  QVERIFY(!w.ExcludeOutlierCB->isChecked());
  QCOMPARE(w.IncluPercEdit->text(), QStringLiteral("5"));
  w.IncluPercEdit->setText(QStringLiteral("3"));
  w.SaveRegistryButtonClick();
  QCOMPARE(stored(f, "exclude_outlier"), QStringLiteral("no"));
  QCOMPARE(stored(f, "exclude_percentage"), QStringLiteral("9"));
}

void SettingsTest::save_writesEveryControl() {
  TWindowFixture f;
  Tmainform& w = f.createActive();
  w.OutputColumnsCLB->findItems("Baseline", Qt::MatchExactly).first()->setCheckState(Qt::Unchecked);
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
}

void SettingsTest::freshProcess_readsBackWhatWasSaved() {
  const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
  QVERIFY2(!config.isEmpty(), "the test needs a settings folder of its own");
  QDir(config).removeRecursively();
  QDir().mkpath(config);

  auto run = [](const QString& mode) {
    QProcess p;
    p.start(QStringLiteral(QURVEX_SETTINGS_HELPER), {mode});
    if (!p.waitForFinished(60000)) return QStringList{QStringLiteral("timeout")};
    QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    if (p.exitCode() != 0) lines << QStringLiteral("exit %1").arg(p.exitCode());
    return lines;
  };
  const QStringList first = run(QStringLiteral("save"));
  QVERIFY2(first.contains(QStringLiteral("modals=disclaimwindow")), qPrintable(first.join('|')));
  QVERIFY(QFileInfo::exists(config + QStringLiteral("/Norvane Labs/Qurvex.conf")));

  const QStringList second = run(QStringLiteral("read"));
  QVERIFY2(second.contains(QStringLiteral("modals=")), qPrintable(second.join('|')));
  QVERIFY(second.contains(QStringLiteral("column Baseline=0")));
  QVERIFY(second.contains(QStringLiteral("column N0 individual=0")));
  QVERIFY(second.contains(QStringLiteral("column Cq=1")));
  QVERIFY(second.contains(QStringLiteral("column sample name=1")));
  QVERIFY(second.contains(QStringLiteral("AcceptErrorEff=0")));
  QVERIFY(second.contains(QStringLiteral("AcceptBiasN0=0")));
  QVERIFY(second.contains(QStringLiteral("ExcludeNoPlateau=0")));
  QVERIFY(second.contains(QStringLiteral("ExcludeOutlier=1")));
  QVERIFY(second.contains(QStringLiteral("IncluPerc=7.5")));
}

int main(int argc, char** argv) {
  TQurvexApplication app(argc, argv);
  SettingsTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "SettingsTest.moc"
