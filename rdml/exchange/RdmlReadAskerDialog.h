// SPDX-License-Identifier: GPL-3.0-or-later
// The questions and messages of an RDML read as the user sees them: message
// boxes, the XML chooser and the reader window of the document's version,
// all on `parent` (the main window).
#pragma once

#include <QWidget>
#include <memory>

#include "rdml/exchange/RdmlReadTypes.h"
#include "rdml/exchange/RdmlReaderForm.h"

namespace qurvex {

class TRdmlReadAskerDialog : public IRdmlReadAsker {
public:
    explicit TRdmlReadAskerDialog(QWidget* parent);
    ~TRdmlReadAskerDialog() override;

    bool ConfirmBaselineCorrected(const std::string& title, const std::string& text) override;
    int ChooseXmlEntry(const std::vector<std::string>& names) override;
    void Message(TRdmlMessageKind kind, const std::string& text) override;
    void ReaderOpened(const std::string& caption, int maximum) override;
    void ReaderStep(int position) override;
    void ReaderClosed() override;
    void Pump() override;

private:
    QWidget* parent_;
    std::unique_ptr<TRdmlReaderForm> reader_;
};

}  // namespace qurvex
