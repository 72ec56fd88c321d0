// Container properties of the control set over QWidget geometry.
#include "host/controls/ControlBase.h"

#include "host/controls/Twips.h"
#include "runtime/RuntimeError.h"

#include <QWidget>

namespace sarvo::controls {

ControlBase::ControlBase(QWidget* self) : m_self(self) {}

ControlBase::~ControlBase() = default;

bool ControlBase::Visible() const {
    return !m_self->isHidden();
}

void ControlBase::SetVisible(bool visible) {
    m_self->setVisible(visible);
}

QRect ControlBase::twipsGeometry() const {
    const QRect g = m_self->geometry();
    if (m_placed && g == m_pixels) return m_twips;
    return QRect(Twips::fromPixels(g.x()), Twips::fromPixels(g.y()), Twips::fromPixels(g.width()),
                 Twips::fromPixels(g.height()));
}

void ControlBase::place(int left, int top, int width, int height) {
    if (width < 0 || height < 0) raiseInvalidPropertyValue(QStringLiteral("a size cannot be negative"));
    m_twips = QRect(left, top, width, height);
    m_pixels =
        QRect(Twips::toPixels(left), Twips::toPixels(top), Twips::toPixels(width), Twips::toPixels(height));
    m_placed = true;
    m_self->setGeometry(m_pixels);
}

int ControlBase::Left() const {
    return twipsGeometry().x();
}
int ControlBase::Top() const {
    return twipsGeometry().y();
}
int ControlBase::Width() const {
    return twipsGeometry().width();
}
int ControlBase::Height() const {
    return twipsGeometry().height();
}

void ControlBase::SetLeft(int twips) {
    const QRect g = twipsGeometry();
    place(twips, g.y(), g.width(), g.height());
}

void ControlBase::SetTop(int twips) {
    const QRect g = twipsGeometry();
    place(g.x(), twips, g.width(), g.height());
}

void ControlBase::SetWidth(int twips) {
    const QRect g = twipsGeometry();
    place(g.x(), g.y(), twips, g.height());
}

void ControlBase::SetHeight(int twips) {
    const QRect g = twipsGeometry();
    place(g.x(), g.y(), g.width(), twips);
}

void ControlBase::Move(int left, int top, int width, int height) {
    place(left, top, width, height);
}

bool ControlBase::CanFocus() const {
    return m_self->focusPolicy() != Qt::NoFocus && m_self->isEnabled() && !m_self->isHidden();
}

void ControlBase::SetFocus() {
    if (!CanFocus())
        raise(ErrorCode::InvalidProcedureCall,
              QStringLiteral("%1 cannot take the focus").arg(m_self->objectName()));
    m_self->setFocus(Qt::OtherFocusReason);
}

void ControlBase::raiseInvalidPropertyValue(const QString& detail) {
    throw RuntimeError(380, QStringLiteral("Invalid property value: ") + detail);
}

} // namespace sarvo::controls
