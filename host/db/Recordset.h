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

namespace sarvo::db {

class ColumnIndex;
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
    // The UTF-8 of a text value at a 0-based position of the current row, valid until the record
    // set moves; false (out untouched) when the value is not text. For readers of many records.
    bool textBytesAt(int index, QByteArray* out) const;
    // A whole-number value (Integer or Long) at a 0-based position of the current row; false
    // (out untouched) for any other value.
    bool wholeNumberAt(int index, qint64* out) const;
    // The ADO field object of a column, for late-bound callers. Needs the record set to be
    // owned by a shared_ptr (as Connection::execute hands it out).
    std::shared_ptr<Field> fieldObject(const QString& name) const;
    // The columns by name, shared by the record sets of one source (null when closed from the
    // start): a reader of many record sets keeps positions by it.
    const std::shared_ptr<const ColumnIndex>& columns() const { return m_columns; }

private:
    void requireOpen() const;
    void requireRow() const;
    void fetch();
    std::unique_ptr<Cursor> m_cursor;
    bool m_bof = true;
    bool m_eof = true;
    std::shared_ptr<const ColumnIndex> m_columns;
};

} // namespace sarvo::db
