// Screen helpers over QGuiApplication and QWidget cursors.
#include "host/controls/Screen.h"

#include "host/controls/ControlBase.h"
#include "host/controls/Twips.h"

#include <QApplication>
#include <QScreen>
#include <QVariant>
#include <QWidget>

namespace sarvo::controls {

namespace {
const char* const kPointerProperty = "sarvoMousePointer";
}

int Screen::Width() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? Twips::fromPixels(screen->geometry().width()) : 0;
}

QString Screen::ActiveControlName() {
    for (const QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget())
        if (!w->objectName().isEmpty()) return w->objectName();
    return {};
}

int Screen::MousePointer(const QWidget* form) {
    return form->property(kPointerProperty).toInt();
}

void Screen::SetMousePointer(QWidget* form, int pointer) {
    Qt::CursorShape shape = Qt::ArrowCursor;
    switch (pointer) {
    case 0:
        break;
    case 1:
        shape = Qt::ArrowCursor;
        break;
    case 2:
        shape = Qt::CrossCursor;
        break;
    case 3:
        shape = Qt::IBeamCursor;
        break;
    case 5:
    case 15:
        shape = Qt::SizeAllCursor;
        break;
    case 6:
        shape = Qt::SizeBDiagCursor;
        break;
    case 7:
        shape = Qt::SizeVerCursor;
        break;
    case 8:
        shape = Qt::SizeFDiagCursor;
        break;
    case 9:
        shape = Qt::SizeHorCursor;
        break;
    case 10:
        shape = Qt::UpArrowCursor;
        break;
    case 11:
        shape = Qt::WaitCursor;
        break;
    case 12:
        shape = Qt::ForbiddenCursor;
        break;
    case 13:
        shape = Qt::BusyCursor;
        break;
    case 14:
        shape = Qt::WhatsThisCursor;
        break;
    default:
        ControlBase::raiseInvalidPropertyValue(QStringLiteral("mouse pointer %1").arg(pointer));
    }
    if (pointer == 0)
        form->unsetCursor();
    else
        form->setCursor(shape);
    form->setProperty(kPointerProperty, pointer);
}

} // namespace sarvo::controls
