// Check box over QCheckBox.
#include "host/controls/QzCheckBox.h"

#include "host/controls/ControlFont.h"
#include "host/controls/WindowHandles.h"

#include <QApplication>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace sarvo::controls {

QzCheckBox::QzCheckBox(QWidget* parent)
    : QCheckBox(parent), ControlBase(this), m_handle(WindowHandles::add(this)) {
    connect(this, &QAbstractButton::clicked, this, &QzCheckBox::Click);
}

QzCheckBox::~QzCheckBox() {
    WindowHandles::remove(m_handle);
}

int16_t QzCheckBox::Value() const {
    return isChecked() ? 1 : 0;
}

void QzCheckBox::SetValue(int16_t value) {
    if (value != 0 && value != 1) raiseInvalidPropertyValue(QStringLiteral("check box value %1").arg(value));
    setChecked(value == 1);
}

bool QzCheckBox::Enabled() const {
    return isEnabled();
}

void QzCheckBox::SetEnabled(bool enabled) {
    setEnabled(enabled);
}

QColor QzCheckBox::ForeColor() const {
    return m_foreColor.isValid() ? m_foreColor : QApplication::palette(this).color(QPalette::WindowText);
}

void QzCheckBox::SetForeColor(const QColor& color) {
    if (m_foreColor == color) return;
    m_foreColor = color;
    lookChanged();
}

void QzCheckBox::SetForeColorRgb(int32_t rgb) {
    if (rgb < 0 || rgb > 0xFFFFFF) raiseInvalidPropertyValue(QStringLiteral("colour %1").arg(rgb));
    SetForeColor(QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF));
}

QString QzCheckBox::Caption() const {
    return text();
}

void QzCheckBox::SetCaption(const QString& caption) {
    setText(caption);
}

bool QzCheckBox::hitButton(const QPoint& pos) const {
    return rect().contains(pos);
}

void QzCheckBox::Refresh() {
    lookChanged();
}

QColor QzCheckBox::captionColor() const {
    if (m_highlight) return *m_highlight;
    return m_foreColor.isValid() ? m_foreColor : palette().color(QPalette::WindowText);
}

std::shared_ptr<ControlFont> QzCheckBox::Font() {
    if (!m_font) m_font = std::make_shared<ControlFont>(this);
    return m_font;
}

void QzCheckBox::setHighlight(std::optional<QColor> color) {
    if (m_highlight == color) return;
    m_highlight = color;
    lookChanged();
}

void QzCheckBox::lookChanged() {
    if (m_lookCheckPending) return;
    m_lookCheckPending = true;
    // Compared when the changes of the handler running now are all made.
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_lookCheckPending = false;
            if (captionColor() != m_drawnColor) update();
        },
        Qt::QueuedConnection);
}

void QzCheckBox::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    // Only the caption roles change; disabled boxes keep the style's grey.
    const QColor color = m_highlight ? *m_highlight : m_foreColor;
    if (color.isValid()) {
        for (const auto group : {QPalette::Active, QPalette::Inactive}) {
            option.palette.setColor(group, QPalette::WindowText, color);
            option.palette.setColor(group, QPalette::ButtonText, color);
        }
    }
    painter.drawControl(QStyle::CE_CheckBox, option);
    m_drawnColor = captionColor();
}

} // namespace sarvo::controls
