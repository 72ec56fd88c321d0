// Late-bound font object over a widget's QFont.
#include "host/controls/ControlFont.h"

#include "host/controls/ControlBase.h"
#include "runtime/RuntimeError.h"

namespace sarvo::controls {

ControlFont::ControlFont(QWidget* widget) : DispatchObject(QStringLiteral("StdFont")), m_widget(widget) {
    const auto nameGet = [this] { return Variant(name()); };
    const auto nameSet = [this](const Variant& v) { setName(v.toString()); };
    const auto sizeGet = [this] { return Variant(size()); };
    const auto sizeSet = [this](const Variant& v) { setSize(v.toDouble()); };
    const auto charsetGet = [this] { return Variant(charset()); };
    const auto charsetSet = [this](const Variant& v) { setCharset(v.toInteger()); };
    defineProperty(QStringLiteral("Name"), nameGet, nameSet);
    defineProperty(QStringLiteral("Size"), sizeGet, sizeSet);
    defineProperty(QStringLiteral("Charset"), charsetGet, charsetSet);
    defineProperty(QStringLiteral("FontName"), nameGet, nameSet);
    defineProperty(QStringLiteral("FontSize"), sizeGet, sizeSet);
    defineProperty(QStringLiteral("FontCharset"), charsetGet, charsetSet);
}

QWidget* ControlFont::widget() const {
    if (!m_widget) raise(ErrorCode::ObjectVariableNotSet, QStringLiteral("the control of this font is gone"));
    return m_widget.data();
}

QString ControlFont::name() const {
    return widget()->font().family();
}

void ControlFont::setName(const QString& name) {
    if (name.trimmed().isEmpty())
        ControlBase::raiseInvalidPropertyValue(QStringLiteral("a font name cannot be empty"));
    QWidget* w = widget();
    QFont f = w->font();
    f.setFamily(name);
    w->setFont(f);
}

double ControlFont::size() const {
    return widget()->font().pointSizeF();
}

void ControlFont::setSize(double points) {
    if (!(points > 0.0 && points <= 2048.0))
        ControlBase::raiseInvalidPropertyValue(QStringLiteral("font size %1").arg(points));
    QWidget* w = widget();
    QFont f = w->font();
    f.setPointSizeF(points);
    w->setFont(f);
}

} // namespace sarvo::controls
