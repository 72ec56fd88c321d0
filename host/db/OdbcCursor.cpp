// Forward reading over rows an ODBC query returned; see OdbcCursor.h.
#include "host/db/OdbcCursor.h"

#include "runtime/RuntimeError.h"

namespace sarvo::db {

OdbcCursor::OdbcCursor(OdbcBackend* backend, QByteArray sql, std::vector<SqlValue> params, QString origin,
                       OdbcRows rows)
    : m_backend(backend), m_sql(std::move(sql)), m_params(std::move(params)), m_origin(std::move(origin)),
      m_rows(std::move(rows)) {}

OdbcCursor::~OdbcCursor() {
    if (m_backend) m_backend->removeCursor(this);
}

bool OdbcCursor::fetch() {
    if (!m_backend) raise(ErrorCode::ObjectClosed);
    m_onRow = m_next < m_rows.rows.size();
    if (!m_onRow) return false;
    ++m_next;
    m_backend->countRow();
    return true;
}

Variant OdbcCursor::value(int column) const {
    if (column < 0 || column >= columnCount()) raise(ErrorCode::ItemNotFound, QString::number(column));
    if (!m_onRow) raise(ErrorCode::NoCurrentRecord);
    return m_rows.rows[m_next - 1][static_cast<size_t>(column)];
}

void OdbcCursor::rewind() {
    if (!m_backend) raise(ErrorCode::ObjectClosed);
    m_onRow = false;
    m_next = 0;
    OdbcRows rows;
    m_backend->query(m_sql, m_params, m_origin, &rows);
    m_rows = std::move(rows);
}

void OdbcCursor::invalidate() {
    m_backend = nullptr;
    m_onRow = false;
    m_rows.rows.clear();
}

void OdbcCursor::close() {
    if (!m_backend) return;
    m_backend->removeCursor(this);
    invalidate();
}

} // namespace sarvo::db
