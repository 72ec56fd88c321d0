// Forward-only record set over one query result: rows are fetched as the caller moves.
// BOF and EOF follow ADO: both true on an empty result; reading a field without a current row
// raises 3021, an unknown column 3265, any use after Close 3704.
//
// Late-bound members: BOF, EOF, State (properties); MoveFirst, MoveNext, Close, Fields(name or
// 0-based index) giving a Field object with Value and Name, Collect(name) giving the value.
#pragma once

#include "runtime/DispatchObject.h"

#include <QString>
#include <memory>
#include <vector>

namespace sarvo::db {

class Cursor; // engine-side row source, re-runnable for MoveFirst
class Field;

class Recordset : public DispatchObject {
public:
    Recordset(); // closed, as returned for a statement
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

    // 0-based position of a column by name (3265 when there is none).
    int fieldIndex(const QString& name) const;
    // Value of the column at a 0-based position of the current row.
    Variant fieldAt(int index) const;
    // The ADO field object of a column, for late-bound callers. Needs the record set to be
    // owned by a shared_ptr (as Connection::execute hands it out).
    std::shared_ptr<Field> fieldObject(const QString& name) const;

private:
    void requireOpen() const;
    void requireRow() const;
    void fetch();
    std::unique_ptr<Cursor> m_cursor;
    bool m_bof = true;
    bool m_eof = true;
    // Columns by a case-blind hash of their names, in column order: a look-up by name folds the
    // name it is given without allocating, and takes the first column of an equal name.
    std::vector<std::pair<size_t, int>> m_index;
};

} // namespace sarvo::db
