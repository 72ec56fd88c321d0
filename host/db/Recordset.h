// Forward-only record set over one query result: rows are fetched as the caller moves.
// BOF and EOF follow ADO: both true on an empty result; reading a field without a current row
// raises 3021, an unknown column 3265, any use after Close 3704.
#pragma once

#include "runtime/DispatchObject.h"

#include <QString>
#include <memory>

namespace sarvo::db {

class Cursor; // engine-side row source, re-runnable for MoveFirst

class Recordset : public DispatchObject {
public:
    Recordset();                                // closed, as returned for a statement
    explicit Recordset(std::unique_ptr<Cursor> cursor);
    ~Recordset() override;

    bool isOpen() const;
    bool bof() const;
    bool eof() const;
    void moveFirst();
    void moveNext();
    // Value of a column by name (case-insensitive; the first of equal names); SQL NULL is Null.
    Variant field(const QString& name) const;
    int fieldCount() const;
    QString fieldName(int index) const;
    void close();

private:
    void requireOpen() const;
    std::unique_ptr<Cursor> m_cursor;
    bool m_bof = true;
    bool m_eof = true;
};

} // namespace sarvo::db
