// SPDX-License-Identifier: GPL-3.0-or-later
// The read dialog on the offscreen platform against a private headless office: its record,
// the key-by-key filter of the block boxes, the checks of OK, and the memory per layout.
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include "spreadsheet/Excelcom.h"
#include "spreadsheet/RadioGroup.h"
#include "spreadsheet/ReadExcelDialog.h"
#include "spreadsheet/Registry.h"
#include "tests/spreadsheet/CalcTestSupport.h"

using namespace qurvex;

class ReadDialogTest : public QObject {
    Q_OBJECT

    QTemporaryDir config_;
    QStringList errors_;
    std::function<void(TreadexcelQVXcomform&)> act_;  // what the "user" does in the shown dialog
    QString iniPath() const { return config_.filePath(QStringLiteral("Norvane Labs/Qurvex.conf")); }
    const QString productKey_ = QStringLiteral("Software\\Norvane Labs\\Qurvex");

    // Runs the dialog through TExcelcom with `act` as the user; returns the dialog's answer.
    bool run(TexcelreadQVX& record, std::function<void(TreadexcelQVXcomform&)> act) {
        act_ = std::move(act);
        return TExcelcom().ExecuteReadDialog(record);
    }

    static void type(QLineEdit* edit, const QString& keys) {
        edit->setFocus();
        edit->end(false);
        QTest::keyClicks(edit, keys);
    }

    static void setBlock(TreadexcelQVXcomform& d, const QStringList& block) {
        d.startcolin->setText(block[0]);
        d.stopcolin->setText(block[1]);
        d.startrowin->setText(block[2]);
        d.stoprowin->setText(block[3]);
    }

    QByteArray iniBytes() const {
        QFile f(iniPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void initTestCase() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config_.path());
        QVERIFY2(test::WaitForOffice(90.0), "the test office did not accept within 90 s");
        DialogHooks().showError = [this](const QString& text) { errors_ << text; };
        DialogHooks().runModal = [this](QDialog& d) {
            d.show();
            d.activateWindow();
            if (!QTest::qWaitForWindowActive(&d, 2000))
                qWarning("the dialog did not become active");
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

    // Each test starts without stored settings but with the program's key, as after installation.
    void init() {
        errors_.clear();
        QFile::remove(iniPath());
        TRegistry reg;
        reg.OpenKey(productKey_, true);
        reg.WriteString(QStringLiteral("version"), QStringLiteral("2021.2"));
    }

    void firstUse_emptyBlockDefaultsAndFilter() {
        TexcelreadQVX record;
        QVERIFY(run(record, [&](TreadexcelQVXcomform& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("Read data from Excel into Qurvex"));
            QVERIFY(d.ExcelInputPanel->isVisibleTo(&d));
            QVERIFY(!d.RdmlInputPanel->isVisibleTo(&d));
            QCOMPARE(d.booksbox->count(), 2);
            QCOMPARE(d.sheetbox->currentText(), QStringLiteral("Run 2"));
            QCOMPARE(d.sheetbox->count(), 2);
            QVERIFY(d.startcolin->text().isEmpty());
            for (TRadioGroup* g : {d.RG_format, d.ChemistryRG, d.SubstrateRG})
                QCOMPARE(g->ItemIndex(), 0);
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
            d.booksbox->setCurrentIndex(
                1 - d.booksbox->currentIndex());  // the other book, with one sheet
            d.booksboxChange();
            QCOMPARE(d.sheetbox->count(), 1);
            d.OKExcelbutton->click();
        }));
        const QList<int> got{record.startcol, record.stopcol,   record.startrow, record.stoprow,
                             record.filetype, record.chemistry, record.substrate};
        QCOMPARE(got, (QList<int>{28, 29, 12, 51, 0, 3, 2}));
        QVERIFY(record.baselinecorrected);
        QCOMPARE(record.sheet, QStringLiteral("Sheet1"));
        QVERIFY(record.rdmlfile.isEmpty());
        TExcelcom com;  // choosing the book made it Calc's active one
        com.AttachExcel();
        QCOMPARE(com.CurrentWorkbook(), record.book);
        com.DetachExcel();
    }

    void block_firstAfterLastOrZeroRefused() {
        const QByteArray before = iniBytes();
        TexcelreadQVX record;
        record.startrow = -7;
        QVERIFY(!run(record, [&](TreadexcelQVXcomform& d) {
            const QStringList refused[] = {{"C", "B", "1", "10"},
                                           {"C", "D", "0", "10"},
                                           {"C", "D", "99999999999", "10"}};  // beyond an integer
            for (const QStringList& block : refused) {
                setBlock(d, block);
                d.OKExcelbutton->click();
                QVERIFY2(d.result() == 0, qPrintable(block.join(QLatin1Char(' '))));
                if (block[1] == QStringLiteral("B")) QVERIFY(d.stopcolin->hasFocus());
            }
            d.CancelButton->click();
        }));
        QCOMPARE(errors_.size(), 3);
        QCOMPARE(record.startrow, -7);  // a cancel changes nothing
        QCOMPARE(iniBytes(), before);
        QVERIFY(
            !TRegistry().KeyExists(productKey_ + QStringLiteral("\\Roche Lightcycler (32 caps) ")));
    }

    void memory_perLayoutExactNameRestored() {
        TexcelreadQVX record;
        QVERIFY(run(record, [&](TreadexcelQVXcomform& d) {
            d.RG_format->Button(2)->click();
            setBlock(d, {"B", "CV", "3", "42"});
            d.ChemistryRG->Button(4)->click();
            d.SubstrateRG->Button(1)->click();
            d.OKExcelbutton->click();
        }));
        QCOMPARE(record.filetype, 2);
        {
            TRegistry reg;
            QVERIFY(reg.OpenKey(productKey_, false));
            QVERIFY(reg.OpenKey(QStringLiteral("MJ Research         "),
                                false));  // nine trailing blanks kept
            QCOMPARE(reg.ReadString(QStringLiteral("stopcol")), QStringLiteral("CV"));
            QVERIFY(!reg.KeyExists(QStringLiteral("\\") + productKey_ +
                                   QStringLiteral("\\MJ Research")));
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
            d.RG_format->Button(2)->click();  // back to the remembered layout: its block again
            QCOMPARE(d.stopcolin->text(), QStringLiteral("CV"));
            d.OKExcelbutton->click();
        }));
        QCOMPARE((QList<int>{again.startcol, again.stopcol, again.chemistry}),
                 (QList<int>{2, 100, 5}));
    }

    void memory_missingOrOddSettingsGiveSoundChoices() {
        QFile::remove(iniPath());  // without the product key nothing is remembered or written
        TexcelreadQVX record;
        QVERIFY(!run(record, [&](TreadexcelQVXcomform& d) {
            d.RG_format->Button(7)->click();
            QCOMPARE(d.RG_format->ItemIndex(), 7);
            d.CancelButton->click();
        }));
        QVERIFY(!QFile::exists(iniPath()));
        {
            TRegistry reg;
            reg.OpenKey(productKey_, true);
            reg.WriteInteger(QStringLiteral("filetype"), 99);  // beyond the list: the last layout
            reg.OpenKey(QStringLiteral("Agilent ARIA MX"), true);
            reg.WriteString(QStringLiteral("startcol"), QStringLiteral("C"));
            reg.WriteString(QStringLiteral("startrow"),
                            QStringLiteral("twelve"));          // not an integer
            reg.WriteInteger(QStringLiteral("chemistry"), -1);  // no choice: item 0
            reg.WriteInteger(QStringLiteral("substrate"), 1);
            reg.Flush();
        }
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

    void rdml_fileNeededBaselineYesRegistryUntouched() {
        const QByteArray before = iniBytes();
        QVERIFY(!before.isEmpty());
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
        QCOMPARE(iniBytes(), before);
    }
};

QTEST_MAIN(ReadDialogTest)
#include "ReadDialogTest.moc"
