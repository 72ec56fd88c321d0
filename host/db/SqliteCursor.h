// Rows of one SQLite query, stepped as the caller moves. Holds its prepared statement only while
// rows remain, so finished queries never keep a table locked.
#pragma once

#include "host/db/Cursor.h"
#include "host/db/SqlValue.h"

#include <QByteArray>
#include <QStringList>
#include <vector>

struct sqlite3_stmt;

namespace sarvo::db {

class SqliteEngine;

class SqliteCursor : public Cursor {
public:
    SqliteCursor(SqliteEngine* engine, QByteArray sql, std::vector<SqlValue> params, QString tsql,
                 sqlite3_stmt* stmt);
    ~SqliteCursor() override;

    int columnCount() const override { return static_cast<int>(m_names.size()); }
    QString columnName(int column) const override { return m_names.value(column); }
    bool fetch() override;
    Variant value(int column) const override;
    void rewind() override;
    bool isOpen() const override { return m_engine != nullptr; }
    void close() override;

    // Reads the remaining rows into memory and gives the statement back, so the connection can
    // run statements that need every reader finished (DROP TABLE).
    void detach();
    // The connection is closing: the rows are gone.
    void invalidate();

private:
    bool step();
    void release();

    SqliteEngine* m_engine;
    QByteArray m_sql;
    std::vector<SqlValue> m_params;
    QString m_tsql;
    sqlite3_stmt* m_stmt;
    QStringList m_names;
    std::vector<Variant> m_row;
    bool m_detached = false;
    std::vector<std::vector<Variant>> m_buffer; // rows read ahead by detach, in order
    size_t m_next = 0;
};

} // namespace sarvo::db
