// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The save dialog: which workbook (an open one or a new one), the base name of the sheets, the
// kind of output, where the sheets go and whether they are formatted. The last kind, place and
// formatting are kept in the registry ("OutputPreferences") and win over the caller's presets.

#include <QDialog>

#include "spreadsheet/ExcelSaveRecord.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qurvex {

class TRadioGroup;
class TExcelcom;

class TsaveexcelQVXcomform : public QDialog {
    Q_OBJECT
public:
    // `excelout` is the spreadsheet component the dialog lists and selects through.
    explicit TsaveexcelQVXcomform(TExcelcom& excelout, QWidget* parent = nullptr);

    // Presets the controls from the record (caption, warning, base name, kind, place).
    void Preset(const TexcelsaveQVX& record);
    // Copies the answers into the record after OK (startrow and startcol are 1).
    void ReadBack(TexcelsaveQVX& record) const;

    // The place as its index in the list as shown: while "new book" is ticked the list reads
    // "as first sheet", "as last sheet". Setting an index beyond the list selects its last item.
    int PlaceIndex() const;
    void SetPlaceIndex(int shown);

    // Handlers, public so that the program and the tests can drive them.
    void FormActivate();
    void checkboxClick();
    void newbookcheckClick();
    void booksboxChange();
    void OKbutClick();
    void cancelbutClick();
    void readbooks();
    void ReadOutputPrefsFromRegistry();
    void SaveOutputPrefsToRegistry();

    // The controls, named as in the window.
    QComboBox* booksbox;
    QCheckBox* newbookcheck;
    QLabel* SheetNameLabel;
    QCheckBox* checkbox;
    QLineEdit* SheetNameEdit;
    QLabel* chwarning;
    TRadioGroup* OutputChoiceRG;
    TRadioGroup* OutputPlaceRG;
    QCheckBox* FormatExcelCB;
    QPushButton* OKbut;
    QPushButton* cancelbut;

protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

private:
    template <class F>
    void guardedCall(F&& body);

    TExcelcom& excelout_;
    bool activated_ = false;
    bool officeLost_ = false;  // the last listing of the workbooks failed
};

}  // namespace qurvex
