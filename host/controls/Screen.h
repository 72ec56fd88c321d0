// Screen-wide helpers of the form runtime: the screen's width in twips, the control that has
// the keyboard focus, and a form's mouse pointer.
// Mouse pointers: 0 default, 1 arrow, 2 cross, 3 I-beam, 5 and 15 size all, 6 size NE-SW,
// 7 size N-S, 8 size NW-SE, 9 size W-E, 10 up arrow, 11 hourglass, 12 no drop,
// 13 arrow and hourglass, 14 arrow and question mark; anything else raises 380.
#pragma once

#include <QString>

class QWidget;

namespace sarvo::controls {

class Screen {
public:
    static int Width(); // the primary screen, twips; 0 without a screen
    // Object name of the widget with the keyboard focus, or of its nearest named ancestor when
    // the focus sits inside a composite control; empty when nothing has the focus.
    static QString ActiveControlName();
    static int MousePointer(const QWidget* form);
    static void SetMousePointer(QWidget* form, int pointer);
};

} // namespace sarvo::controls
