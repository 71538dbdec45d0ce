// SPDX-License-Identifier: GPL-3.0-or-later
// A pair of small arrow buttons with a position between a minimum and a
// maximum: the up-down control that sits beside a number edit.
#pragma once

#include <QWidget>

class QToolButton;

namespace qurvex {

class TUpDown : public QWidget {
    Q_OBJECT
public:
    enum class TUDBtnType { btNext, btPrev };  // upper arrow, lower arrow

    explicit TUpDown(QWidget* parent = nullptr);

    int Min() const { return min_; }
    int Max() const { return max_; }
    int Position() const { return position_; }
    int Increment() const { return increment_; }
    // A range with max < min is stored as given; Position is not clamped to it
    // until an arrow is pressed.
    void SetRange(int min, int max);
    void SetMin(int min) { SetRange(min, max_); }
    void SetMax(int max) { SetRange(min_, max); }
    void SetIncrement(int increment) { increment_ = increment; }
    // Sets the position without emitting Click.
    void SetPosition(int position) { position_ = position; }
    // Wrap: the position goes from Max to Min on the upper arrow and back.
    void SetWrap(bool wrap) { wrap_ = wrap; }

    // Presses an arrow as the user does: moves the position (wrapping or
    // stopping at the ends) and emits Click.
    void press(TUDBtnType button);

signals:
    void Click(qurvex::TUpDown::TUDBtnType button);

private:
    QToolButton* up_;
    QToolButton* down_;
    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
    int increment_ = 1;
    bool wrap_ = false;
};

}  // namespace qurvex
