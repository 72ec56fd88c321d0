// Rows of one PostgreSQL query, streamed: libpq hands them over one at a time (single-row mode) as
// the caller steps, so a caller that reads only the first row does not wait for the whole result.
// The connection runs one query at a time: when another statement starts while rows are still
// coming, the backend has this cursor read the rest into its own memory first (settle), and a
// cursor closed before its end stops the server's work (a cancel outside a transaction, else the
// rest is read and dropped). A column is converted when it is read; running it again (rewind)
// asks the server anew, except from the first row, whose run is still there to read from.
#pragma once

#include "host/db/Cursor.h"
#include "host/db/SqlValue.h"

#include <QByteArray>
#include <QStringList>
#include <vector>

struct pg_result;

namespace sarvo::db {

class PgBackend;

class PgCursor : public Cursor {
public:
    // Takes first (the query's first row, or its whole result when it came whole) over; streaming
    // when more rows may follow on the connection.
    PgCursor(PgBackend* backend, QByteArray sql, std::vector<SqlValue> params, QString origin,
             pg_result* first, bool streaming);
    ~PgCursor() override;

    int columnCount() const override { return static_cast<int>(m_kinds.size()); }
    QString columnName(int column) const override { return m_names.value(column); }
    bool fetch() override;
    Variant value(int column) const override;
    bool textBytes(int column, QByteArray* out) const override;
    void rewind() override;
    bool isOpen() const override { return m_backend != nullptr; }
    void close() override;

    // The connection is closing: the rows are gone.
    void invalidate();
    // Another statement needs the connection: the rows still to come are read into memory.
    void settle();
    // The failure that came while settling, if any (the caller frees it).
    pg_result* takeError() {
        pg_result* e = m_error;
        m_error = nullptr;
        return e;
    }

    // How a column's text is read.
    enum class Kind { Integer, Real, Boolean, Text };
    static Kind kindOfType(unsigned typeOid);

private:
    void start(pg_result* first, bool streaming);
    void clearRows();
    // Appends a row of a single-row result to the rows kept in memory.
    void keep(const pg_result* row);
    // The current row's text of a column; false for null.
    bool cell(int column, const char** text, int* length) const;
    void stopStream();

    PgBackend* m_backend;
    QByteArray m_sql;
    std::vector<SqlValue> m_params;
    QString m_origin;
    QStringList m_names;
    std::vector<Kind> m_kinds;

    pg_result* m_whole = nullptr; // a result that came whole (rows m_wholeRow.. are unread)
    int m_wholeRows = 0;
    pg_result* m_current = nullptr; // the single-row result holding the current row
    pg_result* m_first = nullptr;   // the first row, until the first fetch takes it
    pg_result* m_error = nullptr;   // a failure that came while the rest was read into memory
    bool m_streaming = false;       // rows may still come on the connection
    // Rows read into memory: their texts one after another, and every cell's place in them
    // (length -1 for null), row by row.
    struct Cell {
        qsizetype offset;
        int length;
    };
    QByteArray m_kept;
    std::vector<Cell> m_cells;
    size_t m_keptRows = 0;
    size_t m_keptAt = 0;
    enum class At { None, Whole, Current, Kept } m_at = At::None;
    int m_row = -1;       // the row of m_whole, or of the kept rows, the last fetch reached
    qint64 m_fetched = 0; // rows fetched since the query ran
};

} // namespace sarvo::db
