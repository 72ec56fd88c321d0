// Reference-attribute object: six plain Variant properties and the Boolean confirmation flag.
#include "host/services/RefAttribute.h"

namespace sarvo::host {

RefAttribute::RefAttribute()
    : PropertyBag(QStringLiteral("RefAttribute"),
                  {QStringLiteral("Viewpara1"), QStringLiteral("Viewpara2"), QStringLiteral("Viewreturn1"),
                   QStringLiteral("Viewreturn2"), QStringLiteral("Viewreturn3"),
                   QStringLiteral("Viewreturn4")}) {
    defineProperty(
        QStringLiteral("ViewOK"), [this] { return Variant(m_viewOK); },
        [this](const Variant& v) { m_viewOK = v.toBool(); });
}

} // namespace sarvo::host
