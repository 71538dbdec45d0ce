// SPDX-License-Identifier: GPL-3.0-or-later
// A prompter that answers like a user who clicks around: messages OK,
// questions yes or no, input boxes with anything from the proposal to empty,
// negative, huge or non-numeric text, file dialogs cancelled or given a real
// file, other modal windows shown, tried and closed with one of their
// buttons. A message box takes the focus from the window below it and gives
// it back, as on a desktop. Every answer comes from the random engine of the
// run (so a seed replays) and is logged.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <functional>
#include <random>
#include <vector>

#include "mainwindow/Prompter.h"

namespace qurvex::testing {

class TRandomPrompter final : public IPrompter {
public:
    using TLog = std::function<void(const QString&)>;

    TRandomPrompter(std::mt19937& random, TLog log) : random_(random), log_(std::move(log)) {}

    // Files an open dialog may be given; saves go into `saveFolder`.
    QStringList openFiles;
    QString saveFolder;
    // Fills the read dialog with a run's source and presses its OK.
    std::function<void(QDialog&, const QString& file)> fillReadDialog;
    int messages = 0;

    // A text a user might type anywhere: numbers of every size and sign,
    // words, separators and nothing.
    QString AnyText(const QString& proposal = QString()) {
        static const char* const texts[] = {
            "",       "0",     "-1",   "3",  "0.5",      "2,5", "1e308",
            "-1e308", "abc",   "-",    ".",  "12 liver", "1 2", " ",
            "NaN",    "inf",   "1e-9", "40", "-2.1",     "1.5", "99999999999999999999",
            "0x1A",   "1,5,3", "+"};
        const int n = static_cast<int>(std::size(texts));
        const int pick = pickInt(0, n + 2);
        if (pick < n) return QString::fromLatin1(texts[pick]);
        if (pick == n) return proposal;
        if (pick == n + 1) return QString::number(pickInt(-5, 60));
        return QString::number(std::uniform_real_distribution<double>(-5.0, 5.0)(random_), 'f', 3);
    }
    int pickInt(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random_); }
    // A window of the prompter is open: the main window takes no input.
    bool InsideWindow() const { return !open_.empty(); }

    void message(TPromptKind, const QString& title, const QString& text) override {
        ++messages;
        log_(QStringLiteral("  message %1: %2").arg(title, text.left(120)));
        afterBox();
    }
    bool askYesNo(const QString&, const QString& text) override {
        const bool yes = pickInt(0, 1) == 1;
        log_(QStringLiteral("  question \"%1\": %2").arg(text.left(80), yes ? "yes" : "no"));
        afterBox();
        return yes;
    }
    std::optional<QString> askText(const QString&, const QString& prompt,
                                   const QString& proposal) override {
        afterBox();
        if (pickInt(0, 5) == 0) {
            log_(QStringLiteral("  input \"%1\": cancel").arg(prompt));
            return std::nullopt;
        }
        const QString answer = AnyText(proposal);
        log_(QStringLiteral("  input \"%1\": \"%2\"").arg(prompt, answer));
        return answer;
    }
    // The window is shown and used as a user would: it does what it does on
    // showing, the user waits until no more messages come, tries a few of its
    // controls and then closes it with one of its buttons or the close box.
    int runModal(QDialog& dialog) override {
        if (auto* files = qobject_cast<QFileDialog*>(&dialog)) return answerFiles(*files);
        const QString name = dialog.objectName();
        int result = -1;
        const auto done = QObject::connect(&dialog, &QDialog::finished, &dialog,
                                           [&result](int r) { result = r; });
        open_.push_back(&dialog);
        dialog.show();
        waitQuiet(dialog);
        if (name == QLatin1String("TreadexcelQVXcomform") && fillReadDialog &&
            !openFiles.isEmpty() && pickInt(0, 3) > 0) {
            const QString file = openFiles[pickInt(0, static_cast<int>(openFiles.size()) - 1)];
            log_(QStringLiteral("  read dialog: OK with %1").arg(file));
            fillReadDialog(dialog, file);
            waitQuiet(dialog);
        }
        for (int step = pickInt(0, 3); step > 0 && result < 0 && dialog.isVisible(); --step) {
            useControlOf(dialog, false);
            waitQuiet(dialog);
        }
        if (result < 0 && dialog.isVisible() && pickInt(0, 2) > 0) {
            useControlOf(dialog, true);
            waitQuiet(dialog);
        }
        if (result < 0 && dialog.isVisible()) {
            log_(QStringLiteral("  window %1: closed").arg(name));
            dialog.reject();
        }
        dialog.hide();
        open_.pop_back();
        QObject::disconnect(done);
        const int answer = result >= 0 ? result : dialog.result();
        log_(QStringLiteral("  window %1: result %2").arg(name).arg(answer));
        return answer;
    }

private:
    int answerFiles(QFileDialog& dialog) {
        const bool save = dialog.acceptMode() == QFileDialog::AcceptSave;
        if (pickInt(0, 3) == 0 || (!save && openFiles.isEmpty())) {
            log_(QStringLiteral("  file dialog: cancel"));
            return QDialog::Rejected;
        }
        QString file;
        if (save) {
            static const char* const names[] = {"out.rdml", "out", "sub/none/out.rdml", ".rdml"};
            file = saveFolder + QLatin1Char('/') + QLatin1String(names[pickInt(0, 3)]);
        } else {
            file = openFiles[pickInt(0, static_cast<int>(openFiles.size()) - 1)];
        }
        dialog.selectFile(file);
        log_(QStringLiteral("  file dialog: %1").arg(file));
        return QDialog::Accepted;
    }

    // A message box over the top window takes the focus from it and gives
    // it back when it is closed: the window sees both activation changes.
    void afterBox() {
        QWidget* top = open_.empty() ? QApplication::activeWindow() : open_.back();
        if (!top) return;
        QEvent off(QEvent::WindowDeactivate);
        QApplication::sendEvent(top, &off);
        QTimer::singleShot(0, top, [top] {
            if (!top->isVisible()) return;
            QEvent on(QEvent::WindowActivate);
            QApplication::sendEvent(top, &on);
        });
    }

    // Lets the window do what it does until no more messages come.
    void waitQuiet(QDialog& dialog) {
        int before = -1, quiet = 0;
        while (quiet < 2 && dialog.isVisible()) {
            before = messages;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            quiet = messages == before ? quiet + 1 : 0;
        }
    }

    // One of the window's controls: a button (`closing`: one that closes),
    // an edit typed into, or an item of a list box.
    void useControlOf(QDialog& dialog, bool closing) {
        QList<QAbstractButton*> buttons;
        QList<QLineEdit*> edits;
        QList<QComboBox*> combos;
        for (QAbstractButton* b : dialog.findChildren<QAbstractButton*>())
            if (b->isVisible() && b->isEnabled()) buttons << b;
        for (QLineEdit* e : dialog.findChildren<QLineEdit*>())
            if (e->isVisible() && e->isEnabled() && !e->isReadOnly()) edits << e;
        for (QComboBox* c : dialog.findChildren<QComboBox*>())
            if (c->isVisible() && c->isEnabled() && c->count() > 0) combos << c;
        if (closing) {
            QList<QAbstractButton*> closers;
            for (QAbstractButton* b : buttons) {
                const QString t = b->text().remove(QLatin1Char('&')).trimmed().toLower();
                if (t == QLatin1String("ok") || t == QLatin1String("cancel") ||
                    t == QLatin1String("close") || t == QLatin1String("i agree"))
                    closers << b;
            }
            buttons = closers;
            edits.clear();
            combos.clear();
        }
        const int n = static_cast<int>(buttons.size() + edits.size() + combos.size());
        if (n == 0) return;
        int k = pickInt(0, n - 1);
        if (k < buttons.size()) {
            log_(QStringLiteral("  in %1: click \"%2\"")
                     .arg(dialog.objectName(), buttons[k]->text()));
            buttons[k]->click();
            return;
        }
        k -= static_cast<int>(buttons.size());
        if (k < edits.size()) {
            const QString text = AnyText(edits[k]->text());
            log_(QStringLiteral("  in %1: type \"%2\" into %3")
                     .arg(dialog.objectName(), text, edits[k]->objectName()));
            edits[k]->selectAll();
            QTest::keyClicks(edits[k], text);
            return;
        }
        k -= static_cast<int>(edits.size());
        QComboBox* c = combos[k];
        const int item = pickInt(0, c->count() - 1);
        log_(QStringLiteral("  in %1: choose \"%2\" in %3")
                 .arg(dialog.objectName(), c->itemText(item), c->objectName()));
        c->setCurrentIndex(item);
        emit c->activated(item);
    }

    std::mt19937& random_;
    TLog log_;
    std::vector<QDialog*> open_;  // the windows being answered, innermost last
};

}  // namespace qurvex::testing
