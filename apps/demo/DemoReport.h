// The one JSON object sarvo-demo prints: what DRReference returned, the seven properties of the
// attribute object DRGetAttrib handed back, every message shown, and for scripted runs the trace
// and the script error. Keys come out in that order so a person can read it.
#pragma once

#include "host/services/MessageService.h"
#include "runtime/DispatchObject.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <optional>

namespace sarvo::demo {

class DemoReport {
public:
    // Names of the attribute object's properties, in the order of its interface.
    static const QStringList& attributeNames();

    DemoReport() { setAttributes({}); }

    void setResult(bool result) { m_result = result; }
    // A null reference gives null for every property.
    void setAttributes(const ObjectRef& attributes);
    void setMessages(const QList<host::ShownMessage>& messages);
    void setTrace(const QJsonArray& trace) { m_trace = trace; }
    void setError(const QJsonObject& error) { m_error = error; }

    QJsonObject toJson() const;
    // The object as UTF-8 text: one key a line, arrays one element a line.
    QByteArray toText() const;

    // A Variant as JSON: Empty and Null become null, numbers numbers, dates ISO text.
    static QJsonValue toJsonValue(const Variant& value);

private:
    bool m_result = false;
    QJsonObject m_attributes;
    QJsonArray m_messages;
    std::optional<QJsonArray> m_trace;
    std::optional<QJsonObject> m_error;
};

} // namespace sarvo::demo
