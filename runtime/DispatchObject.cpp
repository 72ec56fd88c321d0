// Name and position lookup of late-bound members.
#include "runtime/DispatchObject.h"

#include "runtime/RuntimeError.h"

namespace sarvo {

DispatchObject::ClassMembers& DispatchObject::ClassMembers::property(const QString& name, Getter getter,
                                                                     Setter setter) {
    m_propertyIndex.insert(name.toLower(), static_cast<int>(m_properties.size()));
    m_properties.push_back({name, getter, setter});
    return *this;
}

DispatchObject::ClassMembers& DispatchObject::ClassMembers::method(const QString& name, Method method) {
    m_methods.insert(name.toLower(), method);
    return *this;
}

DispatchObject::DispatchObject(QString className, const ClassMembers* members)
    : m_className(std::move(className)), m_class(members) {}

DispatchObject::~DispatchObject() = default;

void DispatchObject::defineProperty(const QString& name, Getter getter, Setter setter) {
    m_propertyIndex.insert(name.toLower(), static_cast<int>(m_propertyOrder.size()));
    m_propertyOrder.push_back({name, std::move(getter), std::move(setter)});
}

void DispatchObject::defineMethod(const QString& name, Method method) {
    m_methods.insert(name.toLower(), std::move(method));
}

const DispatchObject::Property* DispatchObject::findProperty(const QString& name) const {
    const auto it = m_propertyIndex.constFind(name.toLower());
    return it == m_propertyIndex.cend() ? nullptr : &m_propertyOrder[static_cast<size_t>(*it)];
}

bool DispatchObject::hasMember(const QString& name) const {
    const QString lower = name.toLower();
    if (m_class && (m_class->m_propertyIndex.contains(lower) || m_class->m_methods.contains(lower)))
        return true;
    return findProperty(name) || m_methods.contains(lower);
}

Variant DispatchObject::get(const QString& name) const {
    if (m_class) {
        const QString lower = name.toLower();
        auto* self = const_cast<DispatchObject*>(this);
        if (const auto it = m_class->m_propertyIndex.constFind(lower);
            it != m_class->m_propertyIndex.cend()) {
            const ClassMembers::Property& p = m_class->m_properties[static_cast<size_t>(*it)];
            if (p.getter) return p.getter(*self);
        }
        if (const auto m = m_class->m_methods.constFind(lower); m != m_class->m_methods.cend()) {
            VariantList none;
            return (*m)(*self, none);
        }
    }
    const Property* p = findProperty(name);
    if (p && p->getter) return p->getter();
    // A method without arguments reads like a property, as late binding allows.
    const auto m = m_methods.constFind(name.toLower());
    if (m != m_methods.cend()) {
        VariantList none;
        return (*m)(none);
    }
    raise(ErrorCode::ObjectDoesNotSupport, m_className + QLatin1Char('.') + name);
}

void DispatchObject::put(const QString& name, const Variant& value) {
    if (m_class) {
        const auto it = m_class->m_propertyIndex.constFind(name.toLower());
        if (it != m_class->m_propertyIndex.cend()) {
            const ClassMembers::Property& p = m_class->m_properties[static_cast<size_t>(*it)];
            if (!p.setter) raise(ErrorCode::ObjectDoesNotSupport, m_className + QLatin1Char('.') + name);
            return p.setter(*this, value);
        }
    }
    const Property* p = findProperty(name);
    if (!p || !p->setter) raise(ErrorCode::ObjectDoesNotSupport, m_className + QLatin1Char('.') + name);
    p->setter(value);
}

Variant DispatchObject::call(const QString& name, VariantList& args) {
    if (m_class) {
        const auto cm = m_class->m_methods.constFind(name.toLower());
        if (cm != m_class->m_methods.cend()) return (*cm)(*this, args);
    }
    const auto m = m_methods.constFind(name.toLower());
    if (m != m_methods.cend()) return (*m)(args);
    if (args.isEmpty()) return get(name);
    raise(ErrorCode::ObjectDoesNotSupport, m_className + QLatin1Char('.') + name);
}

Variant DispatchObject::call(const QString& name, VariantList&& args) {
    VariantList local = std::move(args);
    return call(name, local);
}

QString DispatchObject::propertyName(int position) const {
    if (position < 1 || position > propertyCount()) raise(ErrorCode::SubscriptOutOfRange);
    if (position <= classPropertyCount())
        return m_class->m_properties[static_cast<size_t>(position - 1)].name;
    return m_propertyOrder[static_cast<size_t>(position - 1 - classPropertyCount())].name;
}

Variant DispatchObject::getAt(int position) const {
    return get(propertyName(position));
}

void DispatchObject::putAt(int position, const Variant& value) {
    put(propertyName(position), value);
}

PropertyBag::PropertyBag(QString className, const QStringList& propertyNames)
    : DispatchObject(std::move(className)), m_values(static_cast<size_t>(propertyNames.size())) {
    for (int i = 0; i < propertyNames.size(); ++i) {
        defineProperty(
            propertyNames[i], [this, i] { return m_values[static_cast<size_t>(i)]; },
            [this, i](const Variant& v) { m_values[static_cast<size_t>(i)] = v; });
    }
}

Variant& PropertyBag::value(int position) {
    if (position < 1 || position > static_cast<int>(m_values.size())) raise(ErrorCode::SubscriptOutOfRange);
    return m_values[static_cast<size_t>(position - 1)];
}

} // namespace sarvo
