// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The read dialog: where a run comes from (open workbook and cell block, or an RDML file)
// and how to read it (instrument layout, chemistry, input type, baseline correction).

#include <QDialog>
#include <QStringList>
#include <functional>

#include "spreadsheet/ExcelReadRecord.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QWidget;

namespace qurvex {

class TRadioGroup;
class TExcelcom;

// The 22 instrument export layouts; each text is also the name of the layout's settings key.
const QStringList& ReadLayoutNames();
// The seven monitoring chemistries (code = index + 1).
const QStringList& ChemistryNames();

// How the spreadsheet dialogs talk to the user outside their own window. The program sets
// these once (its message boxes); tests put in scripted ones.
struct TDialogHooks {
    std::function<void(const QString& text)> showError;  // default: a critical message box
    std::function<QString()> chooseRdmlFile;  // default: an open-file dialog; "" = cancelled
    std::function<int(QDialog&)> runModal;    // default: QDialog::exec
};
TDialogHooks& DialogHooks();

class TreadexcelQVXcomform : public QDialog {
    Q_OBJECT
public:
    // `excelin` is the spreadsheet component the dialog lists and selects through.
    explicit TreadexcelQVXcomform(TExcelcom& excelin, QWidget* parent = nullptr);

    // Mode preset from the record: true runs the spreadsheet-mode switch at once (which throws
    // EExcelError "first start Excel" when no Calc listens), false the RDML mode.
    void SetMode(bool fromexcel);
    // Copies the answers into the record after OK (see TexcelreadQVX).
    void ReadBack(TexcelreadQVX& record) const;

    // Handlers, public so that the program and the tests can drive them.
    void FormActivate();
    void RdmlOrExcelRGClick();
    void booksboxChange();
    void sheetboxChange();
    void RG_formatClick();
    void col_rowinChange(QLineEdit* edit);
    void ChemistryRGClick();
    void OpenRdmlFileButtonClick();
    void OKExcelbuttonClick();
    void OKRdmlButtonClick();
    void CancelButtonClick();
    void readbooks();
    void readsheets();
    void SaveFiletypeToRegistry();
    void ReadFiletypeFromRegistry();
    void ReadColsRowsFromRegistry();

    // The controls, named as in the window.
    QWidget* RdmlInputPanel;
    QPushButton* OpenRdmlFileButton;
    QLineEdit* RdmlFileNameEdit;
    QWidget* ExcelInputPanel;
    QComboBox* booksbox;
    QComboBox* sheetbox;
    TRadioGroup* RG_format;
    QLineEdit* startcolin;
    QLineEdit* stopcolin;
    QLineEdit* startrowin;
    QLineEdit* stoprowin;
    QPushButton* OKExcelbutton;
    QPushButton* CancelButton;
    TRadioGroup* ChemistryRG;
    TRadioGroup* SubstrateRG;
    TRadioGroup* ProbeTargetRG;
    TRadioGroup* Baseline_RG;
    QPushButton* OKRdmlButton;
    QPushButton* RDMLCancelButton;
    TRadioGroup* RdmlOrExcelRG;

protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

private:
    bool spreadsheetMode() const;
    void selectLayout(int index);  // sets RG_format and runs RG_formatClick on a change
    bool checkBlock();             // the cell block is complete and 1 <= first <= last
    template <class F>
    void guardedCall(F&& body);  // errors go to DialogHooks().showError; the dialog stays

    TExcelcom& excelin_;
    bool activated_ = false;
    bool officeLost_ = false;  // the last listing of workbooks or sheets failed
};

}  // namespace qurvex
