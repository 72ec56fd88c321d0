// The platform's variant value with the host language's conversion rules: what the host passes
// across the component boundary (attribute properties, years as text, option values) and what
// record-set fields hold. Conversions raise the host language's numbered errors.
#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <variant>

namespace sarvo {

class DispatchObject;
using ObjectRef = std::shared_ptr<DispatchObject>;

// COM booleans: True is -1, False is 0.
constexpr int16_t kComTrue = -1;
constexpr int16_t kComFalse = 0;
constexpr int16_t toComBool(bool b) {
    return b ? kComTrue : kComFalse;
}

class Variant {
public:
    enum class Type { Empty, Null, Integer, Long, Byte, Boolean, Double, String, Date, Object };

    Variant() = default; // Empty
    Variant(int16_t v) : m_value(v) {}
    Variant(int32_t v) : m_value(v) {}
    Variant(uint8_t v) : m_value(v) {}
    Variant(bool v) : m_value(v) {}
    Variant(double v) : m_value(v) {}
    Variant(const QString& v) : m_value(v) {}
    Variant(const char* utf8) : m_value(QString::fromUtf8(utf8)) {}
    Variant(const QDateTime& v) : m_value(v) {}
    Variant(ObjectRef v) : m_value(std::move(v)) {}
    template <class T>
    requires std::is_base_of_v<DispatchObject, T> Variant(std::shared_ptr<T> v)
        : m_value(ObjectRef(std::move(v))) {}

    static Variant null();
    static Variant nothing() { return Variant(ObjectRef()); } // an object variable set to Nothing

    Type type() const;
    QString typeName() const; // the host language's TypeName
    bool isEmpty() const { return type() == Type::Empty; }
    bool isNull() const { return type() == Type::Null; }
    bool isObject() const { return type() == Type::Object; }
    bool isNumeric() const;
    // "A variant holding nothing or a null counts as empty": Empty, Null and "".
    bool isBlank() const;

    // Conversions with the host language's rules (CInt, CLng, CByte, CDbl, CBool, CStr, CDate).
    int16_t toInteger() const;
    int32_t toLong() const;
    uint8_t toByte() const;
    double toDouble() const;
    bool toBool() const;
    QString toString() const;
    QDateTime toDate() const;
    // The object held; Nothing gives a null reference; anything else is a type mismatch.
    ObjectRef toObject() const;

    // Text of the value for display and comparison: Empty and Null give "", never an error.
    QString toDisplayText() const;

    // Comparison as the host language's "=" with a text: both sides as text.
    bool equalsText(const QString& text) const;
    // Exact equality of type and value (for tests and change detection).
    bool operator==(const Variant& other) const;

private:
    struct NullTag {
        bool operator==(const NullTag&) const = default;
    };
    using Storage = std::variant<std::monostate, NullTag, int16_t, int32_t, uint8_t, bool, double, QString,
                                 QDateTime, ObjectRef>;
    double numericValue() const;              // shared core of the numeric conversions
    std::optional<qint64> wholeValue() const; // the value of a whole-number type, else none
    Storage m_value;
};

using VariantList = QList<Variant>;

// Rounds half to even, as the host language does when it converts to an integer type.
double roundHalfEven(double value);

} // namespace sarvo
