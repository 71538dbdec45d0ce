// SPDX-License-Identifier: GPL-3.0-or-later
// Group windows: the window choice, the group editor of the grouping tab, the
// group browser above the survey charts and the group-window limit buttons.
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTableWidget>
#include <QTimer>
#include <algorithm>
#include <functional>

#include "mainwindow/Mainform.h"
#include "mainwindow/Prompter.h"
#include "mainwindow/UpDown.h"
#include "spreadsheet/NumberNotation.h"
#include "spreadsheet/RadioGroup.h"

namespace qurvex {

namespace {

// Asks `allow` before a click on a tab of `pages` changes the page.
class TTabGuard : public QObject {
public:
    TTabGuard(QTabWidget* pages, std::function<bool(int)> allow)
        : QObject(pages), bar_(pages->tabBar()), allow_(std::move(allow)) {
        bar_->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == bar_ && event->type() == QEvent::MouseButtonPress) {
            const int target = bar_->tabAt(static_cast<QMouseEvent*>(event)->position().toPoint());
            if (target >= 0 && !allow_(target)) return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QTabBar* bar_;
    std::function<bool(int)> allow_;
};

// Enter in `grid` goes on to the cell below, as in a spreadsheet: from the
// cell being edited once its text is in, and from a cell not being edited.
class TEnterGoesDown : public QObject {
public:
    explicit TEnterGoesDown(QTableWidget* grid) : QObject(grid), grid_(grid) {
        grid->installEventFilter(this);
        // The delegate ends an edit with SubmitModelCache on Enter only.
        connect(grid->itemDelegate(), &QAbstractItemDelegate::closeEditor, this,
                [this](QWidget*, QAbstractItemDelegate::EndEditHint hint) {
                    if (hint == QAbstractItemDelegate::SubmitModelCache) GoDown();
                });
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == grid_ && event->type() == QEvent::KeyPress && grid_->hasFocus()) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                GoDown();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void GoDown() {
        const int row = grid_->currentRow();
        if (row >= 0 && row + 1 < grid_->rowCount())
            grid_->setCurrentCell(row + 1, grid_->currentColumn());
    }
    QTableWidget* grid_;
};

}  // namespace

void Tmainform::ResetAllToGrpWindow() {
    if (RefuseWhileBusy() || engine_->nsamples < 1) return;
    engine_->ResetAllToGrpWindow();
}

void Tmainform::EditGroupsButtonClick() {
    if (RefuseWhileBusy()) return;
    const bool start = EditGroupsButton->property("Tag").toInt() == 1;
    EditGroupsButton->setProperty("Tag", start ? 0 : 1);
    EditGroupsButton->setText(start ? QStringLiteral("Apply Groups")
                                    : QStringLiteral("Edit Identifiers"));
    // As in a spreadsheet: typing on the selected cell or a double click
    // edits it; a click only selects.
    AmpliconGroupGrid->setEditTriggers(start ? QAbstractItemView::AnyKeyPressed |
                                                   QAbstractItemView::DoubleClicked |
                                                   QAbstractItemView::EditKeyPressed
                                             : QAbstractItemView::NoEditTriggers);
    if (start) {
        AmpliconGroupGrid->setCurrentCell(1, 1);
        AmpliconGroupGrid->setFocus();
        engine_->setidentsdone(false);
        return;
    }
    if (engine_->nsamples < 1) {
        engine_->setidentsdone(true);
        return;
    }
    engine_->numgroupsEditChange();
    engine_->SetWolPerGroupButtonClick();
    engine_->selectsample(1);
    engine_->setidentsdone(true);
}

void Tmainform::AmpliconGroupGridSetEditText(int col, int row, const QString& value) {
    if (row < 1 || row > engine_->nsamples) return;
    if (col == 1) {
        engine_->setidentifier(row, value.toStdString());
    } else if (col == 2 && !engine_->setgroupcode(row, value.trimmed().toStdString())) {
        // Refused: the grid shows the code in force again.
        FillGroupGrid();
    }
}

void Tmainform::numgroupsEditChange() {
    const TEngine& e = *engine_;
    const int n = std::max(e.ngroups, 1);
    AmpGrNumUD->SetRange(1, n);
    AmpGrNumUD->SetIncrement(1);
    AmpGrNumUD->SetPosition(1);
    PageControl1->tabBar()->setTabTextColor(PageControl1->indexOf(AmpliGroupsTabSheet), QColor());
    BrowseGroupsPanel->setVisible(true);
    ShowGroupCB->setEnabled(true);
    ShowGroupUD->setEnabled(true);
    SetTabVisible(TabSheetGroupsStats, true);
    const bool several = e.ngroups >= 2;
    SetTabVisible(TabSheetGroupWindow, several);
    IndivAmpGroupEdit->setVisible(several);
    IndivAmpGroupLabel->setVisible(several);
    {
        const QSignalBlocker block(ShowGroupCB);
        ShowGroupCB->clear();
        for (const std::string& item : e.ShowGroupCBItems)
            ShowGroupCB->addItem(QString::fromStdString(item));
        ShowGroupCB->setCurrentIndex(0);
    }
    ShowGroupUD->SetRange(0, e.ngroups);
    // Inside a long step the display follows once the step is over.
    if (!e.busy()) ShowGroupCBChange();
    AmpGrNumUD2->SetMax(n);
    AmpGrNumUD2->setVisible(several);
    AmpGrNumUD2->SetPosition(1);
    GroupIdentEdit->setText(
        e.ShowGroupCBItems.size() > 1 ? QString::fromStdString(e.ShowGroupCBItems[1]) : QString());
    cDNARadioButton->setEnabled(true);
    mRNARadioButton->setEnabled(true);
}

void Tmainform::SetAmpGroupNumEdit(int g, const QString& kind) {
    TEngine& e = *engine_;
    if (kind == QLatin1String("samples")) {
        e.SetAmpGroupNumEditsamples(g);
        return;
    }
    if (g != e.AmpGroupNumEdit) {
        if (!e.SetAmpGroupNumEditgroups(g)) e.SetAmpGroupNumEditsamples(g);
    } else {
        e.samplenumChange();
    }
}

void Tmainform::ShowGroupCBChange() {
    TEngine& e = *engine_;
    if (!e.groupsdefined) {
        Prompter().message(TPromptKind::Warning, QStringLiteral("Warning"),
                           QStringLiteral("You have no groups defined"));
        return;
    }
    const int g = std::max(ShowGroupCB->currentIndex(), 0);
    if (g >= 1) {
        const QSignalBlocker block(cb_show_hidden);
        cb_show_hidden->setChecked(false);
    }
    e.displaygroup(g);
    SetAmpGroupNumEdit(std::max(g, 1), QStringLiteral("groups"));
    ShowGroupUD->SetPosition(g);
    e.SetDisplayed(e.ShowSetCBItems.at(static_cast<std::size_t>(
        std::clamp(ShowSetCB->currentIndex(), 0, static_cast<int>(e.ShowSetCBItems.size()) - 1))));
    const int first = e.firstdisplayed();
    e.selectsample(first > 0 ? first : e.nsamples);
    plotallsamps();
    update_surveys();
}

void Tmainform::ShowGroupUDClick() {
    const int g = ShowGroupUD->Position();
    {
        const QSignalBlocker block(ShowGroupCB);
        ShowGroupCB->setCurrentIndex(g);
    }
    ShowGroupCBChange();
    SetAmpGroupNumEdit(std::max(g, 1), QStringLiteral("groups"));
}

void Tmainform::AmpGrNumUD2Click() {
    const int g = AmpGrNumUD2->Position();
    AmpGroupNumEdit2->setText(QString::number(g));
    const auto& items = engine_->ShowGroupCBItems;
    GroupIdentEdit->setText(g >= 1 && g < static_cast<int>(items.size())
                                ? QString::fromStdString(items[static_cast<std::size_t>(g)])
                                : QString());
}

void Tmainform::ApplyGroupButtonClick() {
    if (RefuseWhileBusy() || engine_->nsamples < 1) return;
    const auto lowNumber =
        FieldNumber(GrLowLimEdit->text().trimmed(), QLatin1Char(engine_->decsep));
    const auto upNumber = FieldNumber(GrUpLimEdit->text().trimmed(), QLatin1Char(engine_->decsep));
    if (!lowNumber || !upNumber) {
        Prompter().message(TPromptKind::Error, QStringLiteral("Error"),
                           QStringLiteral("the group limits are not numbers"));
        return;
    }
    engine_->applylimitpair(TLimitEdit::GrLowLimEdit, *lowNumber, TLimitEdit::GrUpLimEdit,
                            *upNumber);
    ApplyGroupButton->setEnabled(false);
}

// The defaults are shown in the limit edits (rounded as every limit) and
// then applied as the user's "apply" does.
void Tmainform::ResetDefaultCommonButtonClick() {
    if (RefuseWhileBusy() || engine_->nsamples < 1) return;
    TEngine& e = *engine_;
    e.setlimitedit(TLimitEdit::cuplimedit, e.defuplim[0]);
    e.setlimitedit(TLimitEdit::clowlimedit, e.deflowlim[0]);
    applycommonbutClick();
}

void Tmainform::ResetDefaultGroupWindowButtonClick() {
    if (RefuseWhileBusy() || engine_->nsamples < 1) return;
    TEngine& e = *engine_;
    const int g = AmpGroupNumEdit->text().toInt();
    if (g < 1 || g >= static_cast<int>(e.defuplim.size())) return;
    e.setlimitedit(TLimitEdit::GrUpLimEdit, e.defuplim[static_cast<std::size_t>(g)]);
    e.setlimitedit(TLimitEdit::GrLowLimEdit, e.deflowlim[static_cast<std::size_t>(g)]);
    ApplyGroupButtonClick();
}

void Tmainform::ConnectGroupsAndSubsets() {
    auto onClick = [this](QAbstractButton* b, void (Tmainform::*handler)()) {
        connect(b, &QAbstractButton::clicked, this,
                [this, handler] { Guard([this, handler] { (this->*handler)(); }); });
    };
    onClick(EditGroupsButton, &Tmainform::EditGroupsButtonClick);
    onClick(ApplyGroupButton, &Tmainform::ApplyGroupButtonClick);
    onClick(ResetDefaultCommonButton, &Tmainform::ResetDefaultCommonButtonClick);
    onClick(ResetDefaultGroupWindowButton, &Tmainform::ResetDefaultGroupWindowButtonClick);
    onClick(doshowbut, &Tmainform::doshowbutClick);
    onClick(dohidebut, &Tmainform::dohidebutClick);
    onClick(doshowallbut, &Tmainform::doshowallbutClick);
    onClick(dohideallbut, &Tmainform::dohideallbutClick);
    connect(ShowGroupCB, &QComboBox::activated, this,
            [this] { Guard([this] { ShowGroupCBChange(); }); });
    connect(ShowSetCB, &QComboBox::activated, this,
            [this] { Guard([this] { ShowSetCBChange(); }); });
    for (TUpDown* u : {ShowGroupUD, AmpGrNumUD})
        connect(u, &TUpDown::Click, this, [this, u] {
            Guard([this, u] {
                if (u == AmpGrNumUD) ShowGroupUD->SetPosition(u->Position());
                ShowGroupUDClick();
            });
        });
    connect(AmpGrNumUD2, &TUpDown::Click, this, [this] { Guard([this] { AmpGrNumUD2Click(); }); });
    new TEnterGoesDown(AmpliconGroupGrid);
    // The grid's edits are handled after the editor has closed, as they
    // refill the grid.
    connect(AmpliconGroupGrid, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (AmpliconGroupGrid->editTriggers() == QAbstractItemView::NoEditTriggers) return;
        const int col = item->column(), row = item->row();
        const QString text = item->text();
        QTimer::singleShot(0, this, [this, col, row, text] {
            Guard([this, col, row, text] { AmpliconGroupGridSetEditText(col, row, text); });
        });
    });
    // Only the user's change of page is guarded; the program shows the
    // pages it needs.
    new TTabGuard(PageControl1, [this](int target) {
        bool allow = true;
        Guard([this, target, &allow] {
            if (target != PageControl1->currentIndex())
                allow = PageControl1Changing(PageControl1->currentWidget());
        });
        return allow;
    });
    connect(PageControl1, &QTabWidget::currentChanged, this,
            [this] { Guard([this] { PageControl1Change(); }); });
}

}  // namespace qurvex
