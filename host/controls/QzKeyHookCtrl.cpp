// Form-wide key hook through event filters on the form's widgets.
#include "host/controls/QzKeyHookCtrl.h"

#include <QChildEvent>
#include <QKeyEvent>

namespace sarvo::controls {

QzKeyHookCtrl::QzKeyHookCtrl(QWidget* form) : QWidget(form), ControlBase(this), m_form(form) {
    setFocusPolicy(Qt::NoFocus);
    hide();
    if (form) watch(form);
}

void QzKeyHookCtrl::watch(QWidget* widget) {
    if (widget != this) widget->installEventFilter(this);
    for (QWidget* child : widget->findChildren<QWidget*>())
        if (child != this) child->installEventFilter(this);
}

int QzKeyHookCtrl::shiftState(Qt::KeyboardModifiers modifiers) {
    int shift = 0;
    if (modifiers & Qt::ShiftModifier) shift |= 1;
    if (modifiers & Qt::ControlModifier) shift |= 2;
    if (modifiers & Qt::AltModifier) shift |= 4;
    return shift;
}

int QzKeyHookCtrl::virtualKeyCode(const QKeyEvent& event) {
    const int key = event.key();
    const bool keypad = event.modifiers() & Qt::KeypadModifier;
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return keypad ? 96 + (key - Qt::Key_0) : 48 + (key - Qt::Key_0);
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return 65 + (key - Qt::Key_A);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 112 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 9;
    case Qt::Key_Clear:
        return 12;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Shift:
        return 16;
    case Qt::Key_Control:
        return 17;
    case Qt::Key_Alt:
        return 18;
    case Qt::Key_Pause:
        return 19;
    case Qt::Key_CapsLock:
        return 20;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Space:
        return 32;
    case Qt::Key_PageUp:
        return 33;
    case Qt::Key_PageDown:
        return 34;
    case Qt::Key_End:
        return 35;
    case Qt::Key_Home:
        return 36;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    case Qt::Key_Insert:
        return 45;
    case Qt::Key_Delete:
        return 46;
    case Qt::Key_Asterisk:
        return keypad ? 106 : 0;
    case Qt::Key_Plus:
        return keypad ? 107 : 187;
    case Qt::Key_Minus:
        return keypad ? 109 : 189;
    case Qt::Key_Period:
        return keypad ? 110 : 190;
    case Qt::Key_Slash:
        return keypad ? 111 : 191;
    case Qt::Key_NumLock:
        return 144;
    case Qt::Key_ScrollLock:
        return 145;
    case Qt::Key_Semicolon:
        return 186;
    case Qt::Key_Equal:
        return 187;
    case Qt::Key_Comma:
        return 188;
    case Qt::Key_QuoteLeft:
        return 192;
    case Qt::Key_BracketLeft:
        return 219;
    case Qt::Key_Backslash:
        return 220;
    case Qt::Key_BracketRight:
        return 221;
    case Qt::Key_Apostrophe:
        return 222;
    default:
        return 0;
    }
}

bool QzKeyHookCtrl::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::ChildAdded:
    case QEvent::ChildPolished: {
        // Controls added to the form (or to a frame on it) after the hook are watched too.
        QObject* child = static_cast<QChildEvent*>(event)->child();
        if (child && child->isWidgetType()) watch(static_cast<QWidget*>(child));
        break;
    }
    case QEvent::KeyRelease:
        m_lastEvent = nullptr;
        break;
    case QEvent::KeyPress: {
        if (event == m_lastEvent && watched == m_nextReceiver) {
            // The same press on its way up from a control that did not take it.
            m_nextReceiver =
                watched->isWidgetType() ? static_cast<QWidget*>(watched)->parentWidget() : nullptr;
            return false;
        }
        m_lastEvent = event;
        m_nextReceiver = watched->isWidgetType() ? static_cast<QWidget*>(watched)->parentWidget() : nullptr;
        const auto* keyEvent = static_cast<QKeyEvent*>(event);
        int keyCode = virtualKeyCode(*keyEvent);
        if (keyCode == 0) break;
        emit KeyDown(keyCode, shiftState(keyEvent->modifiers()));
        if (keyCode == 0) {
            m_lastEvent = nullptr;
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace sarvo::controls
