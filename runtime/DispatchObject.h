// Late-bound objects: what the host and the component reach by member name (case-insensitive)
// or, for properties, by their position in the object's interface. Host classes declare their
// members once in their constructor; callers use get/put/call without knowing the class.
#pragma once

#include "runtime/Variant.h"

#include <QHash>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

namespace sarvo {

class DispatchObject : public std::enable_shared_from_this<DispatchObject> {
public:
    using Getter = std::function<Variant()>;
    using Setter = std::function<void(const Variant&)>;
    // Arguments arrive by reference, in order; a method may write back into them.
    using Method = std::function<Variant(VariantList&)>;

    // Members declared once for a whole class, reached by callers exactly like members defined
    // per object: a class whose objects are many and short-lived (record sets) builds no table
    // per object. Positions count the class's properties first.
    class ClassMembers {
    public:
        using Getter = Variant (*)(DispatchObject&);
        using Setter = void (*)(DispatchObject&, const Variant&);
        using Method = Variant (*)(DispatchObject&, VariantList&);
        ClassMembers& property(const QString& name, Getter getter, Setter setter = nullptr);
        ClassMembers& method(const QString& name, Method method);

    private:
        friend class DispatchObject;
        struct Property {
            QString name;
            Getter getter;
            Setter setter;
        };
        std::vector<Property> m_properties;
        QHash<QString, int> m_propertyIndex; // lower-case name -> position - 1
        QHash<QString, Method> m_methods;    // lower-case name
    };

    explicit DispatchObject(QString className, const ClassMembers* members = nullptr);
    virtual ~DispatchObject();
    DispatchObject(const DispatchObject&) = delete;
    DispatchObject& operator=(const DispatchObject&) = delete;

    const QString& className() const { return m_className; }

    // Raise 438 when the member does not exist or has no such accessor.
    Variant get(const QString& name) const;
    void put(const QString& name, const Variant& value);
    Variant call(const QString& name, VariantList& args);
    Variant call(const QString& name, VariantList&& args = {});
    bool hasMember(const QString& name) const;

    // Properties by 1-based position in declaration order; 9 (subscript out of range) when missing.
    int propertyCount() const { return classPropertyCount() + static_cast<int>(m_propertyOrder.size()); }
    QString propertyName(int position) const;
    Variant getAt(int position) const;
    void putAt(int position, const Variant& value);

protected:
    void defineProperty(const QString& name, Getter getter, Setter setter = {});
    void defineMethod(const QString& name, Method method);

private:
    struct Property {
        QString name;
        Getter getter;
        Setter setter;
    };
    const Property* findProperty(const QString& name) const;
    int classPropertyCount() const { return m_class ? static_cast<int>(m_class->m_properties.size()) : 0; }
    QString m_className;
    const ClassMembers* m_class = nullptr;
    std::vector<Property> m_propertyOrder;
    QHash<QString, int> m_propertyIndex; // lower-case name -> position - 1
    QHash<QString, Method> m_methods;    // lower-case name
};

// An object whose members are plain Variant properties in a fixed order: the reference-attribute
// object, a caller's own request object, test doubles.
class PropertyBag : public DispatchObject {
public:
    PropertyBag(QString className, const QStringList& propertyNames);
    Variant& value(int position); // 1-based, no accessor logic: for the owner's own use
private:
    std::vector<Variant> m_values;
};

} // namespace sarvo
