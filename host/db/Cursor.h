// Engine-side row source behind a Recordset: a query that can be stepped forward and run again.
#pragma once

#include "runtime/Variant.h"

#include <QByteArray>
#include <QString>
#include <memory>

namespace sarvo::db {

class ColumnIndex;

class Cursor {
public:
    virtual ~Cursor() = default;
    virtual int columnCount() const = 0;
    virtual QString columnName(int column) const = 0;
    // The columns by name; a cursor whose results share their columns shares one index.
    virtual std::shared_ptr<const ColumnIndex> columnIndex() const;
    // Steps to the next row; false when there is none. Raises EngineError when the engine fails.
    virtual bool fetch() = 0;
    // Value of a column of the row the last successful fetch reached.
    virtual Variant value(int column) const = 0;
    // The UTF-8 of a text value of the current row, valid until the next fetch; false (and out
    // untouched) when the value is not text. For readers of many rows that look at few.
    virtual bool textBytes(int column, QByteArray* out) const {
        const Variant v = value(column);
        if (v.type() != Variant::Type::String) return false;
        *out = v.toString().toUtf8();
        return true;
    }
    // A whole-number value of the current row (Integer or Long); false (out untouched) for any
    // other value. For readers of many rows.
    virtual bool wholeNumber(int column, qint64* out) const { return wholeNumberOf(value(column), out); }
    // The same test on a value read already.
    static bool wholeNumberOf(const Variant& v, qint64* out) {
        if (v.type() != Variant::Type::Long && v.type() != Variant::Type::Integer) return false;
        *out = v.toLong();
        return true;
    }
    // Runs the query again; the next fetch returns its first row.
    virtual void rewind() = 0;
    // False once the connection that produced the rows has closed.
    virtual bool isOpen() const = 0;
    // Lets go of engine resources; further calls are not made.
    virtual void close() = 0;
};

} // namespace sarvo::db
