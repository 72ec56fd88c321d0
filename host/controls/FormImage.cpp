// Image widget with mouse events in twips.
#include "host/controls/FormImage.h"

#include "host/controls/QzKeyHookCtrl.h"
#include "host/controls/Twips.h"

#include <QMouseEvent>
#include <QPainter>

namespace sarvo::controls {

FormImage::FormImage(QWidget* parent) : QWidget(parent), ControlBase(this) {
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
}

void FormImage::SetPicture(const QPixmap& picture) {
    m_picture = picture;
    update();
}

int FormImage::buttonCode(Qt::MouseButtons buttons) {
    int code = 0;
    if (buttons & Qt::LeftButton) code |= 1;
    if (buttons & Qt::RightButton) code |= 2;
    if (buttons & Qt::MiddleButton) code |= 4;
    return code;
}

void FormImage::paintEvent(QPaintEvent*) {
    if (m_picture.isNull()) return;
    QPainter painter(this);
    painter.drawPixmap(rect(), m_picture);
}

void FormImage::mousePressEvent(QMouseEvent* event) {
    const QPointF p = event->position();
    emit MouseDown(buttonCode(event->button()), QzKeyHookCtrl::shiftState(event->modifiers()),
                   Twips::fromPixelsF(p.x()), Twips::fromPixelsF(p.y()));
}

void FormImage::mouseMoveEvent(QMouseEvent* event) {
    const QPointF p = event->position();
    emit MouseMove(buttonCode(event->buttons()), QzKeyHookCtrl::shiftState(event->modifiers()),
                   Twips::fromPixelsF(p.x()), Twips::fromPixelsF(p.y()));
}

void FormImage::mouseReleaseEvent(QMouseEvent* event) {
    const QPointF p = event->position();
    emit MouseUp(buttonCode(event->button()), QzKeyHookCtrl::shiftState(event->modifiers()),
                 Twips::fromPixelsF(p.x()), Twips::fromPixelsF(p.y()));
}

} // namespace sarvo::controls
