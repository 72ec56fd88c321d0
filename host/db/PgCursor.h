// Rows of one PostgreSQL query, fetched whole when the query ran: stepping is reading client
// memory, a column is converted when it is read. Running it again (rewind) asks the server anew.
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
    // Takes result (a query's rows) over.
    PgCursor(PgBackend* backend, QByteArray sql, std::vector<SqlValue> params, QString origin,
             pg_result* result);
    ~PgCursor() override;

    int columnCount() const override { return static_cast<int>(m_kinds.size()); }
    QString columnName(int column) const override { return m_names.value(column); }
    bool fetch() override;
    Variant value(int column) const override;
    void rewind() override;
    bool isOpen() const override { return m_backend != nullptr; }
    void close() override;

    // The connection is closing: the rows are gone.
    void invalidate();

    // How a column's text is read.
    enum class Kind { Integer, Real, Boolean, Text };
    static Kind kindOfType(unsigned typeOid);

private:
    void take(pg_result* result);
    void release();

    PgBackend* m_backend;
    QByteArray m_sql;
    std::vector<SqlValue> m_params;
    QString m_origin;
    pg_result* m_result = nullptr;
    QStringList m_names;
    std::vector<Kind> m_kinds;
    int m_rows = 0;
    int m_row = -1; // the row the last fetch reached; m_rows after the end
};

} // namespace sarvo::db
