// SPDX-License-Identifier: GPL-3.0-or-later
#include "spreadsheet/RadioGroup.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

namespace qurvex {

TRadioGroup::TRadioGroup(const QString& caption, const QStringList& items, int itemIndex,
                         QWidget* parent, int columns)
    : QGroupBox(caption, parent), group_(new QButtonGroup(this)), items_(items) {
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(2);
    const int cols = columns < 1 ? 1 : columns;
    const int perColumn = (static_cast<int>(items.size()) + cols - 1) / cols;
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], this);
        group_->addButton(b, i);
        buttons_.append(b);
        layout->addWidget(b, i % perColumn, i / perColumn);
    }
    SetItemIndex(itemIndex);
    connect(group_, &QButtonGroup::idClicked, this, [this](int) { emit Click(); });
}

int TRadioGroup::ItemIndex() const { return group_->checkedId(); }

QString TRadioGroup::ItemText(int index) const { return items_.value(index); }

void TRadioGroup::SetItemIndex(int index) {
    if (index >= 0 && index < buttons_.size()) {
        buttons_[index]->setChecked(true);
        return;
    }
    group_->setExclusive(false);
    for (QRadioButton* b : buttons_) b->setChecked(false);
    group_->setExclusive(true);
}

}  // namespace qurvex
