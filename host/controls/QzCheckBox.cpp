// Check box over QCheckBox.
#include "host/controls/QzCheckBox.h"

#include "host/controls/ControlFont.h"
#include "host/controls/WindowHandles.h"

#include <QApplication>

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
    m_foreColor = color;
    applyTextColor();
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
    repaint();
}

std::shared_ptr<ControlFont> QzCheckBox::Font() {
    if (!m_font) m_font = std::make_shared<ControlFont>(this);
    return m_font;
}

void QzCheckBox::setHighlight(std::optional<QColor> color) {
    if (m_highlight == color) return;
    m_highlight = color;
    applyTextColor();
}

void QzCheckBox::applyTextColor() {
    const QColor color = m_highlight ? *m_highlight : m_foreColor;
    // A palette with only the caption roles set inherits everything else from the container;
    // disabled boxes keep the style's grey.
    QPalette pal;
    if (color.isValid()) {
        for (const auto group : {QPalette::Active, QPalette::Inactive}) {
            pal.setColor(group, QPalette::WindowText, color);
            pal.setColor(group, QPalette::ButtonText, color);
        }
    }
    setPalette(pal);
    update();
}

} // namespace sarvo::controls
