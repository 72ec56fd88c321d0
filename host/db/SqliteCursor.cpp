// Forward stepping over one prepared SQLite statement; see SqliteCursor.h.
#include "host/db/SqliteCursor.h"

#include "host/db/SqliteEngine.h"
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

SqliteCursor::SqliteCursor(SqliteEngine* engine, QByteArray sql, std::vector<SqlValue> params, QString tsql,
                           sqlite3_stmt* stmt)
    : m_engine(engine), m_sql(std::move(sql)), m_params(std::move(params)), m_tsql(std::move(tsql)),
      m_stmt(stmt) {
    const int n = sqlite3_column_count(stmt);
    for (int i = 0; i < n; ++i)
        m_names << QString::fromUtf8(sqlite3_column_name(stmt, i));
    m_engine->addCursor(this);
}

SqliteCursor::~SqliteCursor() {
    if (m_engine) {
        release();
        m_engine->removeCursor(this);
    }
}

bool SqliteCursor::step() {
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW) {
        m_engine->countRow();
        const int n = columnCount();
        m_row.resize(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i)
            m_row[static_cast<size_t>(i)] = columnValue(m_stmt, i);
        return true;
    }
    if (rc == SQLITE_DONE) {
        release();
        return false;
    }
    const QString message = QString::fromUtf8(sqlite3_errmsg(sqlite3_db_handle(m_stmt)));
    release();
    raise(ErrorCode::DatabaseError, message + QStringLiteral(" in: ") + m_tsql);
}

bool SqliteCursor::fetch() {
    if (!m_engine) raise(ErrorCode::ObjectClosed);
    if (m_detached) {
        if (m_next >= m_buffer.size()) return false;
        m_row = std::move(m_buffer[m_next++]);
        return true;
    }
    if (!m_stmt) return false;
    return step();
}

Variant SqliteCursor::value(int column) const {
    return m_row.at(static_cast<size_t>(column));
}

void SqliteCursor::rewind() {
    if (!m_engine) raise(ErrorCode::ObjectClosed);
    m_detached = false;
    m_buffer.clear();
    m_next = 0;
    release();
    m_stmt = m_engine->checkout(m_sql, m_params, m_tsql);
}

void SqliteCursor::release() {
    if (m_stmt && m_engine) m_engine->checkin(m_sql, m_stmt);
    m_stmt = nullptr;
}

void SqliteCursor::detach() {
    if (!m_stmt) return;
    const std::vector<Variant> current = m_row;
    while (step())
        m_buffer.push_back(m_row);
    m_row = current;
    m_next = 0;
    m_detached = true;
}

void SqliteCursor::invalidate() {
    release();
    m_engine = nullptr;
    m_buffer.clear();
}

void SqliteCursor::close() {
    if (!m_engine) return;
    release();
    m_engine->removeCursor(this);
    m_engine = nullptr;
}

} // namespace sarvo::db
