// Engine-side row source behind a Recordset: a query that can be stepped forward and run again.
#pragma once

#include "runtime/Variant.h"

#include <QString>

namespace sarvo::db {

class Cursor {
public:
    virtual ~Cursor() = default;
    virtual int columnCount() const = 0;
    virtual QString columnName(int column) const = 0;
    // Steps to the next row; false when there is none. Raises EngineError when the engine fails.
    virtual bool fetch() = 0;
    // Value of a column of the row the last successful fetch reached.
    virtual Variant value(int column) const = 0;
    // Runs the query again; the next fetch returns its first row.
    virtual void rewind() = 0;
    // False once the connection that produced the rows has closed.
    virtual bool isOpen() const = 0;
    // Lets go of engine resources; further calls are not made.
    virtual void close() = 0;
};

} // namespace sarvo::db
