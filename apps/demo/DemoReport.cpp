// Building and writing the demo's JSON report.
#include "apps/demo/DemoReport.h"

#include "runtime/RuntimeError.h"

#include <QJsonDocument>

namespace sarvo::demo {

namespace {

QByteArray compact(const QJsonValue& value) {
    if (value.isObject()) return QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact);
    if (value.isArray()) return QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact);
    // Scalars: Qt writes documents only, so write a one-element array and strip the brackets.
    const QByteArray wrapped = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return wrapped.mid(1, wrapped.size() - 2);
}

// Arrays one element a line (nested arrays likewise, so a tree dump reads as a tree);
// objects on one line.
void write(QByteArray& out, const QJsonValue& value, int indent) {
    if (!value.isArray() || value.toArray().isEmpty()) {
        out += compact(value);
        return;
    }
    const QJsonArray array = value.toArray();
    const QByteArray inner(indent + 2, ' ');
    out += "[\n";
    for (qsizetype i = 0; i < array.size(); ++i) {
        out += inner;
        write(out, array[i], indent + 2);
        out += i + 1 < array.size() ? ",\n" : "\n";
    }
    out += QByteArray(indent, ' ') + ']';
}

} // namespace

const QStringList& DemoReport::attributeNames() {
    static const QStringList names = {
        QStringLiteral("Viewpara1"),   QStringLiteral("Viewpara2"),   QStringLiteral("Viewreturn1"),
        QStringLiteral("Viewreturn2"), QStringLiteral("Viewreturn3"), QStringLiteral("Viewreturn4"),
        QStringLiteral("ViewOK"),
    };
    return names;
}

QJsonValue DemoReport::toJsonValue(const Variant& value) {
    using T = Variant::Type;
    switch (value.type()) {
    case T::Empty:
    case T::Null:
        return QJsonValue::Null;
    case T::Boolean:
        return value.toBool();
    case T::Integer:
    case T::Long:
    case T::Byte:
        return static_cast<qint64>(value.toLong());
    case T::Double:
        return value.toDouble();
    case T::String:
        return value.toString();
    case T::Date:
        return value.toDate().toString(Qt::ISODate);
    case T::Object: {
        const ObjectRef object = value.toObject();
        return object ? QJsonValue(QStringLiteral("[object %1]").arg(object->className())) : QJsonValue::Null;
    }
    }
    return QJsonValue::Null;
}

void DemoReport::setAttributes(const ObjectRef& attributes) {
    m_attributes = {};
    for (const QString& name : attributeNames()) {
        QJsonValue value = QJsonValue::Null;
        if (attributes) {
            try {
                const Variant v = attributes->get(name);
                // ViewOK is a Boolean property: it reads False until something sets it.
                if (name == u"ViewOK")
                    value = v.isEmpty() || v.isNull() ? false : v.toBool();
                else
                    value = toJsonValue(v);
            } catch (const RuntimeError&) {
                value = QJsonValue::Null; // the object lacks the property: nothing to show
            }
        }
        m_attributes.insert(name, value);
    }
}

void DemoReport::setMessages(const QList<host::ShownMessage>& messages) {
    m_messages = {};
    for (const host::ShownMessage& m : messages)
        m_messages.append(QJsonObject{{QStringLiteral("prompt"), m.prompt},
                                      {QStringLiteral("title"), m.title},
                                      {QStringLiteral("buttons"), m.buttons}});
}

QJsonObject DemoReport::toJson() const {
    QJsonObject object;
    object.insert(QStringLiteral("result"), m_result);
    for (const QString& name : attributeNames())
        object.insert(name, m_attributes.value(name));
    object.insert(QStringLiteral("messages"), m_messages);
    if (m_trace) object.insert(QStringLiteral("trace"), *m_trace);
    if (m_error) object.insert(QStringLiteral("error"), *m_error);
    return object;
}

QByteArray DemoReport::toText() const {
    const QJsonObject object = toJson();
    QStringList keys = {QStringLiteral("result")};
    keys += attributeNames();
    keys += {QStringLiteral("messages"), QStringLiteral("trace"), QStringLiteral("error")};
    QByteArray out = "{\n";
    bool first = true;
    for (const QString& key : keys) {
        if (!object.contains(key)) continue;
        if (!first) out += ",\n";
        first = false;
        out += "  " + compact(key) + ": ";
        write(out, object.value(key), 2);
    }
    out += "\n}\n";
    return out;
}

} // namespace sarvo::demo
