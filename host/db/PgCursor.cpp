// Reading a whole PostgreSQL result row by row; see PgCursor.h.
#include "host/db/PgCursor.h"

#include "host/db/PgBackend.h"
#include "runtime/RuntimeError.h"

#include <cstdlib>
#include <libpq-fe.h>
#include <limits>

namespace sarvo::db {

namespace {

// Type oids of pg_type that are not text.
constexpr unsigned kBool = 16, kInt8 = 20, kInt2 = 21, kInt4 = 23, kOid = 26, kFloat4 = 700, kFloat8 = 701,
                   kNumeric = 1700;

} // namespace

PgCursor::Kind PgCursor::kindOfType(unsigned typeOid) {
    switch (typeOid) {
    case kInt2:
    case kInt4:
    case kInt8:
    case kOid:
        return Kind::Integer;
    case kFloat4:
    case kFloat8:
    case kNumeric:
        return Kind::Real;
    case kBool:
        return Kind::Boolean;
    default:
        break;
    }
    return Kind::Text;
}

PgCursor::PgCursor(PgBackend* backend, QByteArray sql, std::vector<SqlValue> params, QString origin,
                   pg_result* result)
    : m_backend(backend), m_sql(std::move(sql)), m_params(std::move(params)), m_origin(std::move(origin)) {
    const int n = PQnfields(result);
    m_kinds.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        m_names << QString::fromUtf8(PQfname(result, i));
        m_kinds.push_back(kindOfType(PQftype(result, i)));
    }
    take(result);
}

PgCursor::~PgCursor() {
    close();
}

void PgCursor::take(pg_result* result) {
    release();
    m_result = result;
    m_rows = PQntuples(result);
    m_row = -1;
}

void PgCursor::release() {
    if (m_result) PQclear(m_result);
    m_result = nullptr;
    m_rows = 0;
    m_row = -1;
}

bool PgCursor::fetch() {
    if (!m_backend) raise(ErrorCode::ObjectClosed);
    if (m_row >= m_rows) return false;
    if (++m_row >= m_rows) {
        release(); // the rows are done: give the memory back
        m_row = 0;
        return false;
    }
    m_backend->countRow();
    return true;
}

// The same values the embedded engine gives: whole numbers as Long (beyond its range as Double),
// decimals and floats as Double, booleans as 1 and 0, everything else as text.
Variant PgCursor::value(int column) const {
    if (column < 0 || column >= columnCount()) raise(ErrorCode::ItemNotFound, QString::number(column));
    if (!m_result || m_row < 0 || m_row >= m_rows) raise(ErrorCode::NoCurrentRecord);
    if (PQgetisnull(m_result, m_row, column)) return Variant::null();
    const char* text = PQgetvalue(m_result, m_row, column);
    switch (m_kinds[static_cast<size_t>(column)]) {
    case Kind::Integer: {
        const long long v = std::strtoll(text, nullptr, 10);
        if (v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max())
            return Variant(static_cast<int32_t>(v));
        return Variant(static_cast<double>(v));
    }
    case Kind::Real:
        return Variant(std::strtod(text, nullptr));
    case Kind::Boolean:
        return Variant(static_cast<int32_t>(text[0] == 't' ? 1 : 0));
    case Kind::Text:
        break;
    }
    return Variant(QString::fromUtf8(text, PQgetlength(m_result, m_row, column)));
}

void PgCursor::rewind() {
    if (!m_backend) raise(ErrorCode::ObjectClosed);
    release();
    take(m_backend->run(m_sql, m_params, m_origin));
}

void PgCursor::invalidate() {
    release();
    m_backend = nullptr;
}

void PgCursor::close() {
    if (!m_backend) return;
    m_backend->removeCursor(this);
    invalidate();
}

} // namespace sarvo::db
