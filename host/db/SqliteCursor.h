// Rows of one SQLite query, stepped as the caller moves; a column is converted when it is read.
// Holds its prepared statement only while rows remain, so finished queries never keep a table
// locked.
#pragma once

#include "host/db/Cursor.h"
#include "host/db/SqlValue.h"

#include <QByteArray>
#include <QStringList>
#include <vector>

struct sqlite3_stmt;

namespace sarvo::db {

class SqliteBackend;

class SqliteCursor : public Cursor {
public:
    SqliteCursor(SqliteBackend* backend, QByteArray sql, std::vector<SqlValue> params, QString origin,
                 sqlite3_stmt* stmt);
    ~SqliteCursor() override;

    int columnCount() const override { return static_cast<int>(m_names.size()); }
    QString columnName(int column) const override { return m_names.value(column); }
    bool fetch() override;
    Variant value(int column) const override;
    bool textBytes(int column, QByteArray* out) const override;
    void rewind() override;
    bool isOpen() const override { return m_backend != nullptr; }
    void close() override;

    // Reads the remaining rows into memory and gives the statement back, so the connection can
    // run statements that need every reader finished (DROP TABLE).
    void detach();
    // The connection is closing: the rows are gone.
    void invalidate();

private:
    bool step();
    void release();
    std::vector<Variant> currentRow() const;

    SqliteBackend* m_backend;
    QByteArray m_sql;
    std::vector<SqlValue> m_params;
    QString m_origin;
    sqlite3_stmt* m_stmt;
    QStringList m_names;
    bool m_onRow = false;    // the statement stands on a row (values read from it)
    bool m_detached = false; // rows come from m_buffer, the current one from m_row
    std::vector<Variant> m_row;
    std::vector<std::vector<Variant>> m_buffer; // rows read ahead by detach, in order
    size_t m_next = 0;
};

} // namespace sarvo::db
