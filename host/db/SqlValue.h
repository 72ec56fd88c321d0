// A literal lifted out of a statement and bound as a value: the statement's shape stays the same
// whatever the value, so one prepared statement serves every call.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace sarvo::db {

struct SqlValue {
    enum class Type { Null, Integer, Real, Text };
    Type type = Type::Null;
    int64_t integer = 0;
    double real = 0;
    QByteArray text; // UTF-8; range bounds may hold bytes beyond any valid UTF-8 text

    static SqlValue ofInteger(int64_t v) {
        SqlValue s;
        s.type = Type::Integer;
        s.integer = v;
        return s;
    }
    static SqlValue ofReal(double v) {
        SqlValue s;
        s.type = Type::Real;
        s.real = v;
        return s;
    }
    static SqlValue ofText(const QString& v) {
        SqlValue s;
        s.type = Type::Text;
        s.text = v.toUtf8();
        return s;
    }
    static SqlValue ofBytes(QByteArray v) {
        SqlValue s;
        s.type = Type::Text;
        s.text = std::move(v);
        return s;
    }
    bool operator==(const SqlValue&) const = default;
};

} // namespace sarvo::db
