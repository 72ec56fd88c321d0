// Forward stepping over one prepared SQLite statement; see SqliteCursor.h.
#include "host/db/SqliteCursor.h"

#include "host/db/EngineError.h"
#include "host/db/SqliteBackend.h"
#include "runtime/RuntimeError.h"

#include <limits>
#include <sqlite3.h>

namespace sarvo::db {

namespace {

Variant columnValue(sqlite3_stmt* stmt, int column) {
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER: {
        const sqlite3_int64 v = sqlite3_column_int64(stmt, column);
        if (v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max())
            return Variant(static_cast<int32_t>(v));
        return Variant(static_cast<double>(v));
    }
    case SQLITE_FLOAT:
        return Variant(sqlite3_column_double(stmt, column));
    case SQLITE_NULL:
        return Variant::null();
    default: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
        return Variant(QString::fromUtf8(text, sqlite3_column_bytes(stmt, column)));
    }
    }
}

} // namespace

SqliteCursor::SqliteCursor(SqliteBackend* backend, QByteArray sql, std::vector<SqlValue> params,
                           QString origin, sqlite3_stmt* stmt)
    : m_backend(backend), m_sql(std::move(sql)), m_params(std::move(params)), m_origin(std::move(origin)),
      m_stmt(stmt) {
    const int n = sqlite3_column_count(stmt);
    for (int i = 0; i < n; ++i)
        m_names << QString::fromUtf8(sqlite3_column_name(stmt, i));
    m_backend->addCursor(this);
}

SqliteCursor::~SqliteCursor() {
    if (m_backend) {
        release();
        m_backend->removeCursor(this);
    }
}

bool SqliteCursor::step() {
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW) {
        m_backend->countRow();
        m_onRow = true;
        return true;
    }
    m_onRow = false;
    if (rc == SQLITE_DONE) {
        release();
        return false;
    }
    sqlite3* db = sqlite3_db_handle(m_stmt);
    const int code = sqlite3_extended_errcode(db);
    const QString message = QString::fromUtf8(sqlite3_errmsg(db));
    release();
    throw EngineError(sqliteFailureKind(code), message + QStringLiteral(" in: ") + m_origin, code);
}

bool SqliteCursor::fetch() {
    if (!m_backend) raise(ErrorCode::ObjectClosed);
    if (m_detached) {
        if (m_next >= m_buffer.size()) {
            m_row.clear();
            return false;
        }
        m_row = std::move(m_buffer[m_next++]);
        return true;
    }
    if (!m_stmt) return false;
    return step();
}

Variant SqliteCursor::value(int column) const {
    if (column < 0 || column >= columnCount()) raise(ErrorCode::ItemNotFound, QString::number(column));
    if (m_detached) return m_row.at(static_cast<size_t>(column));
    if (!m_onRow) raise(ErrorCode::NoCurrentRecord);
    return columnValue(m_stmt, column);
}

bool SqliteCursor::textBytes(int column, QByteArray* out) const {
    if (m_detached || !m_onRow || column < 0 || column >= columnCount())
        return Cursor::textBytes(column, out);
    if (sqlite3_column_type(m_stmt, column) != SQLITE_TEXT) return false;
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    *out = QByteArray::fromRawData(text, sqlite3_column_bytes(m_stmt, column));
    return true;
}

std::vector<Variant> SqliteCursor::currentRow() const {
    std::vector<Variant> row(static_cast<size_t>(columnCount()));
    for (int i = 0; i < columnCount(); ++i)
        row[static_cast<size_t>(i)] = columnValue(m_stmt, i);
    return row;
}

void SqliteCursor::rewind() {
    if (!m_backend) raise(ErrorCode::ObjectClosed);
    m_detached = false;
    m_buffer.clear();
    m_row.clear();
    m_next = 0;
    release();
    m_stmt = m_backend->checkout(m_sql, m_params, m_origin);
}

void SqliteCursor::release() {
    m_onRow = false;
    if (m_stmt && m_backend) m_backend->checkin(m_sql, m_stmt);
    m_stmt = nullptr;
}

void SqliteCursor::detach() {
    if (!m_stmt) return;
    m_row = m_onRow ? currentRow() : std::vector<Variant>();
    m_buffer.clear();
    m_next = 0;
    while (step())
        m_buffer.push_back(currentRow());
    m_detached = true;
}

void SqliteCursor::invalidate() {
    release();
    m_backend = nullptr;
    m_buffer.clear();
}

void SqliteCursor::close() {
    if (!m_backend) return;
    release();
    m_backend->removeCursor(this);
    m_backend = nullptr;
}

} // namespace sarvo::db
