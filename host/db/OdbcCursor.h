// Rows of one ODBC query, read whole when it ran (OdbcBackend), so the statement behind them is
// free for the next one; running it again (rewind) asks the backend for the rows anew.
#pragma once

#include "host/db/Cursor.h"
#include "host/db/OdbcBackend.h"
#include "host/db/SqlValue.h"

#include <QByteArray>
#include <vector>

namespace sarvo::db {

class OdbcCursor : public Cursor {
public:
    OdbcCursor(OdbcBackend* backend, QByteArray sql, std::vector<SqlValue> params, QString origin,
               OdbcRows rows);
    ~OdbcCursor() override;

    int columnCount() const override { return static_cast<int>(m_rows.names.size()); }
    QString columnName(int column) const override { return m_rows.names.value(column); }
    bool fetch() override;
    Variant value(int column) const override;
    void rewind() override;
    bool isOpen() const override { return m_backend != nullptr; }
    void close() override;

    // The connection is closing: the rows are gone.
    void invalidate();

private:
    OdbcBackend* m_backend;
    QByteArray m_sql;
    std::vector<SqlValue> m_params;
    QString m_origin;
    OdbcRows m_rows;
    size_t m_next = 0; // the row the next fetch reaches
    bool m_onRow = false;
};

} // namespace sarvo::db
