// SPDX-License-Identifier: GPL-3.0-or-later
// A user who clicks around the main window at random: buttons, check boxes
// and radio buttons, combo-box items, menu commands (never "e&Xit"), text
// typed into edits and grid cells followed by Enter or Tab, page switches,
// clicks and drags on the charts, list selections. Only what the user can
// reach is touched: visible, enabled controls of the window. Every action is
// logged before it runs. After each action the run is checked: efficiencies,
// Cq and N0 of the engine and the texts of the grids must be finite.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <random>

namespace qurvex {
class Tmainform;
}

namespace qurvex::testing {

class TRandomUser {
public:
    using TLog = std::function<void(const QString&)>;

    TRandomUser(Tmainform& window, std::mt19937& random, TLog log);

    // Performs one action; returns its description (also logged).
    QString Act();
    // Empty when the run and the grids hold only finite results; otherwise
    // what is wrong. Grids are scanned when `grids` (they can be large).
    QString CheckFinite(bool grids) const;

private:
    bool clickButton();
    bool triggerMenu();
    bool typeIntoEdit();
    bool typeIntoGrid();
    bool chooseComboItem();
    bool switchPage();
    bool useChart();
    bool useList();
    bool pressKeys();
    int pick(int n);  // 0 .. n-1

    Tmainform& w_;
    std::mt19937& random_;
    TLog log_;
};

}  // namespace qurvex::testing
