// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/mainwindow/RandomUser.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <cmath>

#include "engine/Engine.h"
#include "mainwindow/ChartView.h"
#include "mainwindow/ClickPanel.h"
#include "mainwindow/Mainform.h"

namespace qurvex::testing {

namespace {

// The controls of kind T that the user can reach now: shown on the screen
// (on the current pages), enabled, and part of the main window.
template <class T>
QList<T*> reachable(Tmainform& w) {
    QList<T*> out;
    for (T* c : w.findChildren<T*>())
        if (c->isVisible() && c->isEnabled() && c->window() == &w) out << c;
    return out;
}

QString nameOf(const QObject* o) {
    QString name = o->objectName();
    for (const QObject* p = o->parent(); name.isEmpty() && p; p = p->parent())
        if (!p->objectName().isEmpty()) name = QStringLiteral("(in %1)").arg(p->objectName());
    return name;
}

QString plain(QString text) { return text.remove(QLatin1Char('&')); }

// Menu commands with the menus that lead to them (top menu first).
struct TCommand {
    QList<QMenu*> path;
    QAction* action;
};

void collect(QMenu* menu, QList<QMenu*> path, QList<TCommand>& out) {
    path << menu;
    for (QAction* a : menu->actions()) {
        if (a->isSeparator() || !a->isVisible()) continue;
        if (a->menu()) {
            collect(a->menu(), path, out);
        } else if (plain(a->text()).compare(QLatin1String("eXit"), Qt::CaseInsensitive) != 0) {
            out.append({path, a});
        }
    }
}

void sendMove(QWidget* target, QPointF pos) {
    QMouseEvent ev(QEvent::MouseMove, pos, target->mapToGlobal(pos), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
    QApplication::sendEvent(target, &ev);
}

bool isNonFiniteText(const QString& text) {
    static const QStringList words = {QStringLiteral("nan"),      QStringLiteral("-nan"),
                                      QStringLiteral("inf"),      QStringLiteral("-inf"),
                                      QStringLiteral("+inf"),     QStringLiteral("infinity"),
                                      QStringLiteral("-infinity")};
    return words.contains(text.trimmed().toLower());
}

}  // namespace

TRandomUser::TRandomUser(Tmainform& window, std::mt19937& random, TLog log)
    : w_(window), random_(random), log_(std::move(log)) {}

int TRandomUser::pick(int n) {
    return n <= 1 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(random_);
}

QString TRandomUser::Act() {
    // Weights: what a user does most often comes up most often.
    static const int weights[] = {30, 12, 18, 8, 8, 10, 8, 4, 2};
    std::discrete_distribution<int> kind(std::begin(weights), std::end(weights));
    for (int attempt = 0; attempt < 20; ++attempt) {
        bool done = false;
        switch (kind(random_)) {
            case 0:
                done = clickButton();
                break;
            case 1:
                done = triggerMenu();
                break;
            case 2:
                done = typeIntoEdit();
                break;
            case 3:
                done = typeIntoGrid();
                break;
            case 4:
                done = chooseComboItem();
                break;
            case 5:
                done = switchPage();
                break;
            case 6:
                done = useChart();
                break;
            case 7:
                done = useList();
                break;
            default:
                done = pressKeys();
                break;
        }
        if (done) return QString();
    }
    log_(QStringLiteral("nothing to do"));
    return QStringLiteral("nothing");
}

bool TRandomUser::clickButton() {
    QList<QWidget*> targets;
    for (QAbstractButton* b : reachable<QAbstractButton>(w_)) targets << b;
    for (TClickPanel* p : reachable<TClickPanel>(w_)) targets << p;  // panels that act as buttons
    if (targets.isEmpty()) return false;
    QWidget* target = targets[pick(static_cast<int>(targets.size()))];
    if (auto* b = qobject_cast<QAbstractButton*>(target)) {
        log_(QStringLiteral("click %1 \"%2\"").arg(nameOf(b), b->text()));
        b->click();
    } else {
        log_(QStringLiteral("click panel %1").arg(nameOf(target)));
        QTest::mouseClick(target, Qt::LeftButton, {}, target->rect().center());
    }
    return true;
}

bool TRandomUser::triggerMenu() {
    QList<TCommand> commands;
    for (QAction* top : w_.menuBar()->actions())
        if (top->menu() && top->isVisible()) collect(top->menu(), {}, commands);
    if (commands.isEmpty()) return false;
    const TCommand& c = commands[pick(static_cast<int>(commands.size()))];
    QStringList path;
    for (QMenu* m : c.path) {
        path << plain(m->title());
        emit m->aboutToShow();  // opening the menu runs its handler
    }
    if (!c.action->isEnabled()) {
        log_(QStringLiteral("menu %1 > \"%2\" (disabled)").arg(path.join(" > "), c.action->text()));
        return true;
    }
    log_(QStringLiteral("menu %1 > \"%2\"").arg(path.join(" > "), c.action->text()));
    c.action->trigger();
    return true;
}

bool TRandomUser::typeIntoEdit() {
    QList<QLineEdit*> edits;
    for (QLineEdit* e : reachable<QLineEdit>(w_))
        if (!e->isReadOnly() && !qobject_cast<QComboBox*>(e->parentWidget()) &&
            !qobject_cast<QAbstractItemView*>(e->parentWidget()->parentWidget()))
            edits << e;
    if (edits.isEmpty()) return false;
    QLineEdit* e = edits[pick(static_cast<int>(edits.size()))];
    static const char* const words[] = {"",
                                        "0",
                                        "-1",
                                        "3",
                                        "0.5",
                                        "2,5",
                                        "1e308",
                                        "abc",
                                        "-",
                                        ".",
                                        "1 2",
                                        " ",
                                        "NaN",
                                        "12 liver",
                                        "40",
                                        "-2.1",
                                        "1.5",
                                        "2",
                                        "99999999999999999999"};
    const int n = static_cast<int>(std::size(words));
    const int k = pick(n + 1);
    const QString text =
        k < n
            ? QString::fromLatin1(words[k])
            : QString::number(std::uniform_real_distribution<double>(-3, 5)(random_), 'f', pick(4));
    const bool replace = pick(3) > 0;
    const bool tab = pick(2) == 1;
    log_(QStringLiteral("type into %1 (\"%2\"): %3\"%4\" + %5")
             .arg(nameOf(e), e->text(), replace ? "replacing " : "appending ", text,
                  tab ? "Tab" : "Enter"));
    e->setFocus();
    if (replace)
        e->selectAll();
    else
        e->end(false);
    QTest::keyClicks(e, text);
    QTest::keyClick(e, tab ? Qt::Key_Tab : Qt::Key_Return);
    return true;
}

bool TRandomUser::typeIntoGrid() {
    QList<QTableWidget*> grids;
    for (QTableWidget* g : reachable<QTableWidget>(w_))
        if (g->editTriggers() != QAbstractItemView::NoEditTriggers && g->rowCount() > 0 &&
            g->columnCount() > 0)
            grids << g;
    if (grids.isEmpty()) return false;
    QTableWidget* g = grids[pick(static_cast<int>(grids.size()))];
    const int row = pick(g->rowCount()), col = pick(g->columnCount());
    QTableWidgetItem* item = g->item(row, col);
    const QString text =
        QStringList{QStringLiteral("A"),   QStringLiteral("B"),  QStringLiteral("2"),
                    QStringLiteral("1"),   QStringLiteral("0"),  QStringLiteral(""),
                    QStringLiteral("two"), QStringLiteral("-3"), QStringLiteral("liver 12"),
                    QStringLiteral("99")}[pick(10)];
    const bool tab = pick(2) == 1;
    log_(QStringLiteral("type into %1 cell (%2, %3) (\"%4\"): \"%5\" + %6")
             .arg(nameOf(g))
             .arg(row)
             .arg(col)
             .arg(item ? item->text() : QString(), text, tab ? "Tab" : "Enter"));
    const QModelIndex index = g->model()->index(row, col);
    g->setFocus();
    g->setCurrentIndex(index);  // in edit mode this opens the editor already
    auto editorOf = [g] {
        QLineEdit* editor = nullptr;
        for (QLineEdit* e : g->viewport()->findChildren<QLineEdit*>())
            if (e->isVisible()) editor = e;
        return editor;
    };
    if (!editorOf()) g->edit(index);
    QLineEdit* editor = editorOf();
    if (!editor) return true;  // the cell takes no edit
    editor->selectAll();
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, tab ? Qt::Key_Tab : Qt::Key_Return);
    return true;
}

bool TRandomUser::chooseComboItem() {
    QList<QComboBox*> combos;
    for (QComboBox* c : reachable<QComboBox>(w_))
        if (c->count() > 0) combos << c;
    if (combos.isEmpty()) return false;
    QComboBox* c = combos[pick(static_cast<int>(combos.size()))];
    const int i = pick(c->count());
    log_(QStringLiteral("choose %1 item %2 \"%3\"").arg(nameOf(c)).arg(i).arg(c->itemText(i)));
    // As the item list does on a click: the item becomes current, then activated.
    c->setCurrentIndex(i);
    emit c->activated(i);
    emit c->textActivated(c->itemText(i));
    return true;
}

bool TRandomUser::switchPage() {
    QList<QTabBar*> bars;
    for (QTabWidget* t : reachable<QTabWidget>(w_))
        if (t->tabBar()->isVisible()) bars << t->tabBar();
    if (bars.isEmpty()) return false;
    QTabBar* bar = bars[pick(static_cast<int>(bars.size()))];
    QList<int> tabs;
    for (int i = 0; i < bar->count(); ++i)
        if (bar->isTabVisible(i) && bar->isTabEnabled(i)) tabs << i;
    if (tabs.isEmpty()) return false;
    const int tab = tabs[pick(static_cast<int>(tabs.size()))];
    // A tab scrolled out of sight is reached as the user does: by the bar's
    // arrow buttons first.
    const QRect rect = bar->tabRect(tab);
    if (!bar->rect().contains(rect.center())) return false;
    log_(QStringLiteral("page %1 > \"%2\"").arg(nameOf(bar->parent()), bar->tabText(tab)));
    QTest::mouseClick(bar, Qt::LeftButton, {}, rect.center());
    return true;
}

bool TRandomUser::useChart() {
    const auto charts = reachable<TChartView>(w_);
    if (charts.isEmpty()) return false;
    TChartView* c = charts[pick(static_cast<int>(charts.size()))];
    QWidget* port = c->viewport();
    const QRect area = port->rect();
    auto anywhere = [&] { return QPointF(pick(area.width()), pick(area.height())); };
    const int how = pick(5);
    if (how == 0) {
        const QPointF at = anywhere();
        log_(QStringLiteral("right click %1 at (%2, %3)").arg(nameOf(c)).arg(at.x()).arg(at.y()));
        QTest::mouseClick(port, Qt::RightButton, {}, at.toPoint());
        return true;
    }
    // A point on a clickable series (a line's middle or a point), or anywhere.
    QList<QPointF> targets;
    for (int k = 0; k < c->SeriesCount(); ++k) {
        const TChartSeries& s = c->SeriesAt(k);
        if (!s.clickable || !s.visible || s.points.empty()) continue;
        const std::size_t i = static_cast<std::size_t>(pick(static_cast<int>(s.points.size())));
        if (s.kind == TSeriesKind::Line && s.points.size() >= 2) {
            const std::size_t j = std::min(i + 1, s.points.size() - 1);
            const std::size_t h = j == i ? i - 1 : i;
            targets << c->PixelOf((s.points[h] + s.points[j]) / 2.0);
        } else {
            targets << c->PixelOf(s.points[i]);
        }
    }
    const QPointF from = !targets.isEmpty() && how <= 3
                             ? targets[pick(static_cast<int>(targets.size()))]
                             : anywhere();
    const QPointF to = anywhere();
    log_(QStringLiteral("drag on %1 from (%2, %3) to (%4, %5)")
             .arg(nameOf(c))
             .arg(from.x())
             .arg(from.y())
             .arg(to.x())
             .arg(to.y()));
    QTest::mouseClick(port, Qt::LeftButton, {}, from.toPoint());
    for (int step = 1; step <= 3; ++step) sendMove(port, from + (to - from) * step / 3.0);
    QTest::mouseClick(port, Qt::LeftButton, {}, to.toPoint());
    return true;
}

bool TRandomUser::useList() {
    QList<QListWidget*> lists;
    for (QListWidget* l : reachable<QListWidget>(w_))
        if (l->count() > 0) lists << l;
    if (lists.isEmpty()) return false;
    QListWidget* l = lists[pick(static_cast<int>(lists.size()))];
    QListWidgetItem* item = l->item(pick(l->count()));
    if (item->data(Qt::CheckStateRole).isValid()) {
        const bool ticked = item->checkState() == Qt::Checked;
        log_(QStringLiteral("%1 \"%2\" in %3")
                 .arg(ticked ? "untick" : "tick", item->text(), nameOf(l)));
        item->setCheckState(ticked ? Qt::Unchecked : Qt::Checked);
        return true;
    }
    log_(QStringLiteral("select \"%1\" in %2").arg(item->text(), nameOf(l)));
    if (pick(2) == 0) l->clearSelection();
    item->setSelected(true);
    l->setCurrentItem(item);
    return true;
}

bool TRandomUser::pressKeys() {
    static const Qt::Key keys[] = {Qt::Key_Up,     Qt::Key_Down,   Qt::Key_PageUp,
                                   Qt::Key_Return, Qt::Key_Escape, Qt::Key_Delete};
    QWidget* target = QApplication::focusWidget();
    if (!target || target->window() != &w_) target = &w_;
    const Qt::Key key = keys[pick(6)];
    log_(QStringLiteral("key %1 on %2").arg(static_cast<int>(key), 0, 16).arg(nameOf(target)));
    QTest::keyClick(target, key);
    return true;
}

QString TRandomUser::CheckFinite(bool grids) const {
    const TEngine& e = w_.Engine();
    const std::pair<const char*, const std::vector<double>*> values[] = {
        {"ct", &e.ct},
        {"indiveff", &e.indiveff},
        {"indivn0", &e.indivn0},
        {"meann0", &e.meann0},
        {"sampmeaneff", &e.sampmeaneff},
        {"meaneff", &e.meaneff},
        {"meaneffse", &e.meaneffse}};
    for (const auto& [name, v] : values)
        for (std::size_t i = 0; i < v->size(); ++i)
            if (!std::isfinite((*v)[i]))
                return QStringLiteral("%1[%2] = %3").arg(name).arg(i).arg((*v)[i]);
    if (!grids) return QString();
    for (const QTableWidget* g : w_.findChildren<QTableWidget*>())
        for (int r = 0; r < g->rowCount(); ++r)
            for (int c = 0; c < g->columnCount(); ++c)
                if (const QTableWidgetItem* item = g->item(r, c);
                    item && isNonFiniteText(item->text()))
                    return QStringLiteral("%1 cell (%2, %3) = \"%4\"")
                        .arg(g->objectName())
                        .arg(r)
                        .arg(c)
                        .arg(item->text());
    return QString();
}

}  // namespace qurvex::testing
