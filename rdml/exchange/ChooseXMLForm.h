// SPDX-License-Identifier: GPL-3.0-or-later
// Asks which XML document of an RDML archive holds the run, when the archive
// has no "rdml_data.xml". Modal, without a close box: the user picks one.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <string>
#include <vector>

namespace qurvex {

class TChooseXMLForm : public QDialog {
    Q_OBJECT
public:
    explicit TChooseXMLForm(QWidget* parent = nullptr);

    // Fills the list with `names`, item 0 selected.
    void SetEntries(const std::vector<std::string>& names);
    // Shows the dialog modally centred on `parent`; the chosen index, or -1
    // when the dialog was closed without a choice.
    static int Choose(QWidget* parent, const std::vector<std::string>& names);

    QComboBox* zipcontentCB;
    QPushButton* OpenButton;
    QLabel* Label1;
    QLabel* Label2;

private slots:
    // Ends the dialog with result item index + 1; with no item selected the
    // dialog stays open.
    void OpenButtonClick();
};

}  // namespace qurvex
