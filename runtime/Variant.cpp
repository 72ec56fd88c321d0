// Conversion rules of the host language for the Variant value.
#include "runtime/Variant.h"

#include "runtime/DispatchObject.h"
#include "runtime/RuntimeError.h"

#include <cmath>
#include <limits>
#include <optional>

namespace sarvo {

namespace {

// Day 0 of the host language's date serial numbers.
const QDate kDateEpoch(1899, 12, 30);

double dateToSerial(const QDateTime& dt) {
    const double days = static_cast<double>(kDateEpoch.daysTo(dt.date()));
    const double fraction = dt.time().msecsSinceStartOfDay() / 86400000.0;
    return days >= 0 ? days + fraction : days - fraction;
}

// Numeric text as the host language reads it: blanks around, an optional sign, decimal digits
// with an optional point and exponent, or &H / &O prefixed integers.
bool parseNumber(const QString& text, double& out) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return false;
    if (t.startsWith(QLatin1String("&H"), Qt::CaseInsensitive) ||
        t.startsWith(QLatin1String("&O"), Qt::CaseInsensitive)) {
        bool ok = false;
        const int base = t.at(1).toUpper() == QLatin1Char('H') ? 16 : 8;
        const qlonglong v = t.mid(2).toLongLong(&ok, base);
        if (!ok) return false;
        out = static_cast<double>(v);
        return true;
    }
    bool ok = false;
    out = t.toDouble(&ok); // C locale: '.' as the decimal point
    return ok && std::isfinite(out);
}

QString formatDouble(double v) {
    if (v == std::floor(v) && std::fabs(v) < 1e15) return QString::number(static_cast<qlonglong>(v));
    QString s = QString::number(v, 'g', 15);
    if (s.startsWith(QLatin1String("0."))) return s;
    if (s.startsWith(QLatin1String("-0."))) return s;
    return s;
}

} // namespace

double roundHalfEven(double value) {
    const double floorValue = std::floor(value);
    const double diff = value - floorValue;
    if (diff > 0.5) return floorValue + 1;
    if (diff < 0.5) return floorValue;
    return std::fmod(floorValue, 2.0) == 0 ? floorValue : floorValue + 1;
}

Variant Variant::null() {
    Variant v;
    v.m_value = NullTag{};
    return v;
}

Variant::Type Variant::type() const {
    return static_cast<Type>(m_value.index());
}

QString Variant::typeName() const {
    switch (type()) {
    case Type::Empty:
        return QStringLiteral("Empty");
    case Type::Null:
        return QStringLiteral("Null");
    case Type::Integer:
        return QStringLiteral("Integer");
    case Type::Long:
        return QStringLiteral("Long");
    case Type::Byte:
        return QStringLiteral("Byte");
    case Type::Boolean:
        return QStringLiteral("Boolean");
    case Type::Double:
        return QStringLiteral("Double");
    case Type::String:
        return QStringLiteral("String");
    case Type::Date:
        return QStringLiteral("Date");
    case Type::Object: {
        const ObjectRef& o = std::get<ObjectRef>(m_value);
        return o ? o->className() : QStringLiteral("Nothing");
    }
    }
    return {};
}

bool Variant::isNumeric() const {
    switch (type()) {
    case Type::Integer:
    case Type::Long:
    case Type::Byte:
    case Type::Boolean:
    case Type::Double:
    case Type::Empty:
        return true;
    case Type::String: {
        double d;
        return parseNumber(std::get<QString>(m_value), d);
    }
    default:
        return false;
    }
}

bool Variant::isBlank() const {
    switch (type()) {
    case Type::Empty:
    case Type::Null:
        return true;
    case Type::String:
        return std::get<QString>(m_value).isEmpty();
    default:
        return false;
    }
}

// A whole value converts as it is; only a fraction needs rounding (and the host language rounds
// halves to even).
std::optional<qint64> Variant::wholeValue() const {
    switch (type()) {
    case Type::Integer:
        return std::get<int16_t>(m_value);
    case Type::Long:
        return std::get<int32_t>(m_value);
    case Type::Byte:
        return std::get<uint8_t>(m_value);
    case Type::Boolean:
        return std::get<bool>(m_value) ? -1 : 0;
    default:
        return std::nullopt;
    }
}

double Variant::numericValue() const {
    if (const std::optional<qint64> w = wholeValue()) return static_cast<double>(*w);
    switch (type()) {
    case Type::Empty:
        return 0;
    case Type::Null:
        raise(ErrorCode::InvalidUseOfNull);
    case Type::Integer:
    case Type::Long:
    case Type::Byte:
    case Type::Boolean:
        break; // whole, above
    case Type::Double:
        return std::get<double>(m_value);
    case Type::Date:
        return dateToSerial(std::get<QDateTime>(m_value));
    case Type::String: {
        const QString& s = std::get<QString>(m_value);
        double d = 0;
        if (parseNumber(s, d)) return d;
        if (s.trimmed().compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return -1;
        if (s.trimmed().compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return 0;
        raise(ErrorCode::TypeMismatch, QStringLiteral("\"%1\" is not a number").arg(s));
    }
    case Type::Object:
        raise(ErrorCode::TypeMismatch);
    }
    raise(ErrorCode::TypeMismatch);
}

int16_t Variant::toInteger() const {
    if (const std::optional<qint64> w = wholeValue()) {
        if (*w < std::numeric_limits<int16_t>::min() || *w > std::numeric_limits<int16_t>::max())
            raise(ErrorCode::Overflow);
        return static_cast<int16_t>(*w);
    }
    const double r = roundHalfEven(numericValue());
    if (r < std::numeric_limits<int16_t>::min() || r > std::numeric_limits<int16_t>::max())
        raise(ErrorCode::Overflow);
    return static_cast<int16_t>(r);
}

int32_t Variant::toLong() const {
    if (const std::optional<qint64> w = wholeValue()) return static_cast<int32_t>(*w); // always in range
    const double r = roundHalfEven(numericValue());
    if (r < std::numeric_limits<int32_t>::min() || r > std::numeric_limits<int32_t>::max())
        raise(ErrorCode::Overflow);
    return static_cast<int32_t>(r);
}

uint8_t Variant::toByte() const {
    const double r = roundHalfEven(numericValue());
    if (r < 0 || r > 255) raise(ErrorCode::Overflow);
    return static_cast<uint8_t>(r);
}

double Variant::toDouble() const {
    return numericValue();
}

bool Variant::toBool() const {
    if (type() == Type::Boolean) return std::get<bool>(m_value);
    return numericValue() != 0;
}

QString Variant::toString() const {
    switch (type()) {
    case Type::Empty:
        return {};
    case Type::Null:
        raise(ErrorCode::InvalidUseOfNull);
    case Type::Integer:
        return QString::number(std::get<int16_t>(m_value));
    case Type::Long:
        return QString::number(std::get<int32_t>(m_value));
    case Type::Byte:
        return QString::number(std::get<uint8_t>(m_value));
    case Type::Boolean:
        return std::get<bool>(m_value) ? QStringLiteral("True") : QStringLiteral("False");
    case Type::Double:
        return formatDouble(std::get<double>(m_value));
    case Type::String:
        return std::get<QString>(m_value);
    case Type::Date: {
        const QDateTime& dt = std::get<QDateTime>(m_value);
        if (dt.time() == QTime(0, 0)) return dt.date().toString(Qt::ISODate);
        return dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
    case Type::Object:
        raise(ErrorCode::TypeMismatch);
    }
    return {};
}

QDateTime Variant::toDate() const {
    switch (type()) {
    case Type::Date:
        return std::get<QDateTime>(m_value);
    case Type::String: {
        const QString s = std::get<QString>(m_value).trimmed();
        for (const Qt::DateFormat f : {Qt::ISODate, Qt::ISODateWithMs}) {
            const QDateTime dt = QDateTime::fromString(s, f);
            if (dt.isValid()) return dt;
        }
        const QDate d = QDate::fromString(s, Qt::ISODate);
        if (d.isValid()) return QDateTime(d, QTime(0, 0));
        double serial;
        if (!parseNumber(s, serial)) raise(ErrorCode::TypeMismatch);
        [[fallthrough]];
    }
    default: {
        const double serial = numericValue();
        const double days = std::trunc(serial);
        const double fraction = std::fabs(serial - days);
        return QDateTime(kDateEpoch.addDays(static_cast<qint64>(days)),
                         QTime(0, 0).addMSecs(static_cast<int>(std::llround(fraction * 86400000.0))));
    }
    }
}

ObjectRef Variant::toObject() const {
    if (type() != Type::Object)
        raise(ErrorCode::TypeMismatch, QStringLiteral("%1 is not an object").arg(typeName()));
    return std::get<ObjectRef>(m_value);
}

QString Variant::toDisplayText() const {
    if (isEmpty() || isNull()) return {};
    if (isObject()) return typeName();
    return toString();
}

bool Variant::equalsText(const QString& text) const {
    if (isNull() || isObject()) return false;
    return toString() == text;
}

bool Variant::operator==(const Variant& other) const {
    return m_value == other.m_value;
}

} // namespace sarvo
