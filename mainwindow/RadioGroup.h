// SPDX-License-Identifier: GPL-3.0-or-later
// A framed group of radio buttons chosen by item index (-1: none chosen).
#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

namespace qurvex {

class TRadioGroup : public QGroupBox {
  Q_OBJECT
public:
  TRadioGroup(const QString& caption, const QStringList& items, int itemIndex,
              QWidget* parent = nullptr, int columns = 1);

  int ItemIndex() const;
  // Selects item `index` without emitting Click; -1 or an index out of range
  // clears the choice.
  void SetItemIndex(int index);
  int Count() const { return static_cast<int>(buttons_.size()); }
  QRadioButton* Button(int index) const { return buttons_.value(index); }

signals:
  // The user (or a test) clicked an item.
  void Click();

private:
  QButtonGroup* group_;
  QList<QRadioButton*> buttons_;
};

}  // namespace qurvex
