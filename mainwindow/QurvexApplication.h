// SPDX-License-Identifier: GPL-3.0-or-later
// The application object: a QApplication whose event delivery never lets an
// exception escape into Qt. An exception thrown by any event handler is shown
// in an error box (through the error prompter) and the event counts as handled.
#pragma once

#include <QApplication>

namespace qurvex {

class IPrompter;

class TQurvexApplication : public QApplication {
public:
    TQurvexApplication(int& argc, char** argv);

    // The prompter that shows the error boxes; null logs them only.
    void setErrorPrompter(IPrompter* prompter) { errorPrompter_ = prompter; }
    IPrompter* errorPrompter() const { return errorPrompter_; }

    bool notify(QObject* receiver, QEvent* event) override;

private:
    IPrompter* errorPrompter_ = nullptr;
};

}  // namespace qurvex
