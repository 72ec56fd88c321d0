// Key hook of a form: an invisible control that sees every key pressed in the form's controls
// before the control itself does, and raises KeyDown with the key's virtual-key code
// (Enter 13, Escape 27, letters 65-90, digits 48-57, F1 112, arrows 37-40, ...) and the shift
// state (1 Shift, 2 Ctrl, 4 Alt, added together). A handler that sets the code to 0 swallows
// the key; otherwise the control receives it as usual. Keys without a virtual-key code
// (dead keys, input-method text) raise nothing.
#pragma once

#include "host/controls/ControlBase.h"

#include <QPointer>
#include <QWidget>

class QKeyEvent;

namespace sarvo::controls {

class QzKeyHookCtrl : public QWidget, public ControlBase {
    Q_OBJECT

public:
    // Watches the form and every widget that is or later becomes part of it.
    explicit QzKeyHookCtrl(QWidget* form);

    static int virtualKeyCode(const QKeyEvent& event); // 0 when the key has none
    static int shiftState(Qt::KeyboardModifiers modifiers);

signals:
    void KeyDown(int& keyCode, int shift);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watch(QWidget* widget);

    QPointer<QWidget> m_form;
    // A key the focused control ignores travels on to its parents; it is reported once.
    const QEvent* m_lastEvent = nullptr;
    const QObject* m_nextReceiver = nullptr;
};

} // namespace sarvo::controls
