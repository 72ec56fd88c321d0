// Line widget positioned from twips end points.
#include "host/controls/FormLine.h"

#include "host/controls/ControlBase.h"
#include "host/controls/Twips.h"

#include <QPainter>

namespace sarvo::controls {

FormLine::FormLine(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    relayout();
}

void FormLine::SetX1(int twips) {
    m_x1 = twips;
    relayout();
}

void FormLine::SetX2(int twips) {
    m_x2 = twips;
    relayout();
}

void FormLine::SetY1(int twips) {
    m_y1 = twips;
    relayout();
}

void FormLine::SetY2(int twips) {
    m_y2 = twips;
    relayout();
}

void FormLine::ZOrder(int position) {
    if (position == 0)
        raise();
    else if (position == 1)
        lower();
    else
        ControlBase::raiseInvalidPropertyValue(QStringLiteral("z-order position %1").arg(position));
}

void FormLine::relayout() {
    const QPoint a(Twips::toPixels(m_x1), Twips::toPixels(m_y1));
    const QPoint b(Twips::toPixels(m_x2), Twips::toPixels(m_y2));
    // Inclusive corners: a vertical or horizontal line is a one-pixel-wide strip.
    setGeometry(QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                      QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y()))));
    update();
}

void FormLine::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 0));
    const QPoint origin = geometry().topLeft();
    painter.drawLine(QPoint(Twips::toPixels(m_x1), Twips::toPixels(m_y1)) - origin,
                     QPoint(Twips::toPixels(m_x2), Twips::toPixels(m_y2)) - origin);
}

} // namespace sarvo::controls
