// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A framed group of radio buttons chosen by item index, as the dialogs and the main window use it.

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

namespace qurvex {

class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    // Items fill `columns` columns from top to bottom.
    TRadioGroup(const QString& caption, const QStringList& items, int itemIndex,
                QWidget* parent = nullptr, int columns = 1);

    // The chosen item, -1 when none.
    int ItemIndex() const;
    // Chooses item `index` without emitting Click; an index out of range clears the choice.
    void SetItemIndex(int index);
    int Count() const { return static_cast<int>(buttons_.size()); }
    QString ItemText(int index) const;
    QRadioButton* Button(int index) const { return buttons_.value(index); }

signals:
    // The user clicked an item (also a click on the chosen one).
    void Click();

private:
    QButtonGroup* group_;
    QList<QRadioButton*> buttons_;
    QStringList items_;
};

}  // namespace qurvex
