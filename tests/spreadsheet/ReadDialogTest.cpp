// SPDX-License-Identifier: GPL-3.0-or-later
// The read dialog on the offscreen platform against a private headless office: its record,
// the key-by-key filter of the block boxes, the checks of OK, and the memory per layout.
#include "spreadsheet/ChoiceGroup.h"
#include "spreadsheet/Excelcom.h"
#include "spreadsheet/ReadExcelDialog.h"
#include "spreadsheet/Registry.h"

#include "tests/spreadsheet/CalcTestSupport.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

using namespace qurvex;

class ReadDialogTest : public QObject {
  Q_OBJECT

  QTemporaryDir config_;
  QStringList errors_;
  std::function<void(TreadexcelQVXcomform&)> act_;  // what the "user" does in the shown dialog
  QString iniPath() const { return config_.filePath(QStringLiteral("Norvane Labs/Qurvex.conf")); }

  // Runs the dialog through TExcelcom with `act` as the user; returns the dialog's answer.
  bool run(TexcelreadQVX& record, std::function<void(TreadexcelQVXcomform&)> act) {
    act_ = std::move(act);
    TExcelcom com;
    return com.ExecuteReadDialog(record);
  }

  static void type(QLineEdit* edit, const QString& keys) {
    edit->setFocus();
    edit->end(false);
    QTest::keyClicks(edit, keys);
  }

  void writeProductKey() {
    TRegistry reg;
    reg.OpenKey(QStringLiteral("Software\\Norvane Labs\\Qurvex"), true);
    reg.WriteString(QStringLiteral("version"), QStringLiteral("2021.2"));
    reg.Flush();
  }

private slots:
  void initTestCase() {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config_.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config_.path());
    QVERIFY2(test::WaitForOffice(30.0), "the test office did not accept within 30 s");
    DialogHooks().showError = [this](const QString& text) { errors_ << text; };
    DialogHooks().runModal = [this](QDialog& d) {
      d.show();
      d.activateWindow();
      if (!QTest::qWaitForWindowActive(&d, 2000)) qWarning("the dialog did not become active");
      if (act_) act_(static_cast<TreadexcelQVXcomform&>(d));
      d.hide();
      return d.result();
    };
    test::CloseAllDocuments();
    TExcelcom com;
    com.NewWorkbook();
    com.NewWorkbook();
    com.AddSheetLast(QStringLiteral("Run 2"));
  }

  void cleanupTestCase() { test::CloseAllDocuments(); }

  void init() { errors_.clear(); }

  void noOffice_presetFailsWithStartMessage() {
    TexcelreadQVX record;
    TExcelcom nobody(QStringLiteral("qurvex-nobody-%1").arg(getpid()));
    bool shown = false;
    act_ = [&](TreadexcelQVXcomform&) { shown = true; };
    try {
      nobody.ExecuteReadDialog(record);
      QFAIL("the dialog opened without an office");
    } catch (const EExcelError& e) {
      QVERIFY(QString::fromStdString(e.what()).startsWith(QStringLiteral("first start Excel\n")));
    }
    QVERIFY(!shown);
  }

  void firstUse_emptyBlockDefaultsAndFilter() {
    QFile::remove(iniPath());
    writeProductKey();
    TexcelreadQVX record;
    const bool ok = run(record, [&](TreadexcelQVXcomform& d) {
      QCOMPARE(d.windowTitle(), QStringLiteral("Read data from Excel into Qurvex"));
      QVERIFY(d.ExcelInputPanel->isVisibleTo(&d));
      QVERIFY(!d.RdmlInputPanel->isVisibleTo(&d));
      QCOMPARE(d.booksbox->count(), 2);
      QCOMPARE(d.sheetbox->count(), 2);
      QCOMPARE(d.sheetbox->currentText(), QStringLiteral("Run 2"));
      QCOMPARE(d.RG_format->ItemIndex(), 0);
      QVERIFY(d.startcolin->text().isEmpty());
      QCOMPARE(d.ChemistryRG->ItemIndex(), 0);
      QCOMPARE(d.SubstrateRG->ItemIndex(), 0);
      QCOMPARE(d.Baseline_RG->ItemIndex(), 1);
      type(d.startcolin, QStringLiteral("b3"));  // upper-cased, the digit removed
      QCOMPARE(d.startcolin->text(), QStringLiteral("B"));
      d.startcolin->clear();
      type(d.startrowin, QStringLiteral("1x2"));
      QCOMPARE(d.startrowin->text(), QStringLiteral("12"));
      // An empty box takes the focus, no message, the dialog stays.
      d.OKExcelbutton->click();
      QVERIFY(d.startcolin->hasFocus());
      QCOMPARE(d.result(), 0);
      QVERIFY(errors_.isEmpty());
      type(d.startcolin, QStringLiteral("ab"));
      type(d.stopcolin, QStringLiteral("ac"));
      type(d.stoprowin, QStringLiteral("51"));
      d.ChemistryRG->Button(2)->click();
      d.SubstrateRG->Button(1)->click();
      d.Baseline_RG->Button(0)->click();
      d.OKExcelbutton->click();
    });
    QVERIFY(ok);
    QCOMPARE(record.startcol, 28);
    QCOMPARE(record.stopcol, 29);
    QCOMPARE(record.startrow, 12);
    QCOMPARE(record.stoprow, 51);
    QCOMPARE(record.filetype, 0);
    QCOMPARE(record.chemistry, 3);
    QCOMPARE(record.substrate, 2);
    QVERIFY(record.baselinecorrected);
    QCOMPARE(record.sheet, QStringLiteral("Run 2"));
    QVERIFY(!record.book.isEmpty());
    QVERIFY(record.rdmlfile.isEmpty());
  }

  void block_firstAfterLastOrZeroRefused() {
    QFile::remove(iniPath());
    writeProductKey();
    TexcelreadQVX record;
    record.startrow = -7;
    const bool ok = run(record, [&](TreadexcelQVXcomform& d) {
      d.startcolin->setText(QStringLiteral("C"));
      d.stopcolin->setText(QStringLiteral("B"));
      d.startrowin->setText(QStringLiteral("1"));
      d.stoprowin->setText(QStringLiteral("10"));
      d.OKExcelbutton->click();
      QCOMPARE(d.result(), 0);
      QVERIFY(d.stopcolin->hasFocus());
      d.stopcolin->setText(QStringLiteral("D"));
      d.startrowin->setText(QStringLiteral("0"));
      d.OKExcelbutton->click();
      QCOMPARE(d.result(), 0);
      d.startrowin->setText(QStringLiteral("99999999999"));  // beyond an integer
      d.OKExcelbutton->click();
      QCOMPARE(d.result(), 0);
      d.CancelButton->click();
    });
    QVERIFY(!ok);
    QCOMPARE(errors_.size(), 3);
    QCOMPARE(record.startrow, -7);  // a cancel changes nothing
    TRegistry reg;
    QVERIFY(!reg.KeyExists(QStringLiteral("Software\\Norvane Labs\\Qurvex\\Roche Lightcycler (32 caps) ")));
  }

  void memory_perLayoutExactNameRestored() {
    QFile::remove(iniPath());
    writeProductKey();
    const QString mj = QStringLiteral("MJ Research         ");
    TexcelreadQVX record;
    QVERIFY(run(record, [&](TreadexcelQVXcomform& d) {
      d.RG_format->Button(2)->click();
      d.startcolin->setText(QStringLiteral("B"));
      d.stopcolin->setText(QStringLiteral("CV"));
      d.startrowin->setText(QStringLiteral("3"));
      d.stoprowin->setText(QStringLiteral("42"));
      d.ChemistryRG->Button(4)->click();
      d.SubstrateRG->Button(1)->click();
      d.OKExcelbutton->click();
    }));
    QCOMPARE(record.filetype, 2);
    {
      TRegistry reg;
      QVERIFY(reg.OpenKey(QStringLiteral("Software\\Norvane Labs\\Qurvex"), false));
      QCOMPARE(reg.ReadInteger(QStringLiteral("filetype")), 2);
      QVERIFY(reg.OpenKey(mj, false));  // nine trailing blanks kept
      QCOMPARE(reg.ReadString(QStringLiteral("stopcol")), QStringLiteral("CV"));
      QCOMPARE(reg.ReadInteger(QStringLiteral("stoprow")), 42);
      QCOMPARE(reg.ReadInteger(QStringLiteral("chemistry")), 4);
      QVERIFY(!reg.KeyExists(QStringLiteral("\\Software\\Norvane Labs\\Qurvex\\MJ Research")));
    }
    // Reopening selects that layout with its block, chemistry and input type.
    TexcelreadQVX again;
    QVERIFY(run(again, [&](TreadexcelQVXcomform& d) {
      QCOMPARE(d.RG_format->ItemIndex(), 2);
      QCOMPARE(d.startcolin->text(), QStringLiteral("B"));
      QCOMPARE(d.stoprowin->text(), QStringLiteral("42"));
      QCOMPARE(d.ChemistryRG->ItemIndex(), 4);
      QCOMPARE(d.SubstrateRG->ItemIndex(), 1);
      QCOMPARE(d.Baseline_RG->ItemIndex(), 1);  // not remembered
      // A layout without memory empties the block and keeps chemistry and input type.
      d.RG_format->Button(5)->click();
      QVERIFY(d.startcolin->text().isEmpty());
      QCOMPARE(d.ChemistryRG->ItemIndex(), 4);
      // Back to the remembered layout: its block again.
      d.RG_format->Button(2)->click();
      QCOMPARE(d.stopcolin->text(), QStringLiteral("CV"));
      d.OKExcelbutton->click();
    }));
    QCOMPARE(again.startcol, 2);
    QCOMPARE(again.stopcol, 100);
    QCOMPARE(again.chemistry, 5);
  }

  void memory_withoutProductKeyLayoutChoiceStands() {
    QFile::remove(iniPath());
    TexcelreadQVX record;
    QVERIFY(!run(record, [&](TreadexcelQVXcomform& d) {
      d.RG_format->Button(7)->click();
      QCOMPARE(d.RG_format->ItemIndex(), 7);
      d.CancelButton->click();
    }));
    QVERIFY(!QFile::exists(iniPath()));
  }

  void memory_oddStoredValuesGiveSoundChoices() {
    QFile::remove(iniPath());
    {
      TRegistry reg;
      reg.OpenKey(QStringLiteral("Software\\Norvane Labs\\Qurvex"), true);
      reg.WriteInteger(QStringLiteral("filetype"), 99);  // beyond the list: the last layout
      reg.OpenKey(QStringLiteral("Agilent ARIA MX"), true);
      reg.WriteString(QStringLiteral("startcol"), QStringLiteral("C"));
      reg.WriteString(QStringLiteral("startrow"), QStringLiteral("twelve"));  // not an integer
      reg.WriteInteger(QStringLiteral("chemistry"), -1);                      // no choice: item 0
      reg.WriteInteger(QStringLiteral("substrate"), 1);
      reg.Flush();
    }
    TexcelreadQVX record;
    QVERIFY(!run(record, [&](TreadexcelQVXcomform& d) {
      QCOMPARE(d.RG_format->ItemIndex(), 21);
      QCOMPARE(d.startcolin->text(), QStringLiteral("C"));
      QVERIFY(d.startrowin->text().isEmpty());
      QVERIFY(d.stopcolin->text().isEmpty());
      QCOMPARE(d.ChemistryRG->ItemIndex(), 0);
      QCOMPARE(d.SubstrateRG->ItemIndex(), 1);
      d.CancelButton->click();
    }));
    QVERIFY(errors_.isEmpty());
  }

  void books_choosingABookMovesCalc() {
    TexcelreadQVX record;
    QVERIFY(!run(record, [&](TreadexcelQVXcomform& d) {
      const int other = 1 - d.booksbox->currentIndex();
      const QString name = d.booksbox->itemText(other);
      d.booksbox->setCurrentIndex(other);
      d.booksboxChange();
      QCOMPARE(d.sheetbox->count(), 1);  // the first workbook has one sheet
      TExcelcom com;
      com.AttachExcel();
      QCOMPARE(com.CurrentWorkbook(), name);
      com.DetachExcel();
      d.CancelButton->click();
    }));
  }

  void rdml_fileNeededBaselineYesRegistryUntouched() {
    QFile::remove(iniPath());
    writeProductKey();
    QFile f(iniPath());
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();
    DialogHooks().chooseRdmlFile = [] { return QStringLiteral("/data/run 1.rdml"); };
    TexcelreadQVX record;
    record.fromexcel = false;
    record.startcol = 5;
    QVERIFY(run(record, [&](TreadexcelQVXcomform& d) {
      QCOMPARE(d.windowTitle(), QStringLiteral("Read data from RDML into Qurvex"));
      QVERIFY(!d.ExcelInputPanel->isVisibleTo(&d));
      d.OKRdmlButton->click();  // no file yet: the focus goes to the open button
      QCOMPARE(d.result(), 0);
      QVERIFY(d.OpenRdmlFileButton->hasFocus());
      d.OpenRdmlFileButton->click();
      d.Baseline_RG->Button(0)->click();
      d.ChemistryRG->Button(6)->click();
      d.OKRdmlButton->click();
    }));
    QCOMPARE(record.rdmlfile, QStringLiteral("/data/run 1.rdml"));
    QVERIFY(record.baselinecorrected);
    QCOMPARE(record.chemistry, 7);
    QCOMPARE(record.startcol, 5);  // spreadsheet fields as the caller set them
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), before);
  }
};

QTEST_MAIN(ReadDialogTest)
#include "ReadDialogTest.moc"
