// Reading a PostgreSQL result row by row as libpq hands it over; see PgCursor.h.
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
                   pg_result* first, bool streaming)
    : m_backend(backend), m_sql(std::move(sql)), m_params(std::move(params)), m_origin(std::move(origin)) {
    const int n = PQnfields(first);
    m_kinds.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        m_names << QString::fromUtf8(PQfname(first, i));
        m_kinds.push_back(kindOfType(PQftype(first, i)));
    }
    start(first, streaming);
}

PgCursor::~PgCursor() {
    close();
}

void PgCursor::start(pg_result* first, bool streaming) {
    clearRows();
    if (PQresultStatus(first) == PGRES_SINGLE_TUPLE) {
        m_first = first;
    } else {
        m_whole = first;
        m_wholeRows = PQntuples(first);
    }
    m_streaming = streaming;
}

void PgCursor::clearRows() {
    for (pg_result** r : {&m_whole, &m_current, &m_first, &m_error}) {
        if (*r) PQclear(*r);
        *r = nullptr;
    }
    m_wholeRows = 0;
    m_kept.clear();
    m_cells.clear();
    m_keptRows = m_keptAt = 0;
    m_at = At::None;
    m_row = -1;
}

void PgCursor::keep(const pg_result* row) {
    const int n = columnCount();
    for (int c = 0; c < n; ++c) {
        if (PQgetisnull(row, 0, c)) {
            m_cells.push_back({m_kept.size(), -1});
            continue;
        }
        const int length = PQgetlength(row, 0, c);
        m_cells.push_back({m_kept.size(), length});
        m_kept.append(PQgetvalue(row, 0, c), length);
        m_kept.append('\0'); // numbers are read up to their end, as libpq's values are
    }
    ++m_keptRows;
}

void PgCursor::settle() {
    if (!m_streaming) return;
    m_streaming = false;
    // The row that is current stays where it is; the first row, not yet fetched, is kept.
    if (m_first) {
        keep(m_first);
        PQclear(m_first);
        m_first = nullptr;
    }
    while (pg_result* r = m_backend->nextResult()) {
        const ExecStatusType status = PQresultStatus(r);
        if (status == PGRES_SINGLE_TUPLE) {
            keep(r);
            PQclear(r);
        } else if (status == PGRES_TUPLES_OK) {
            PQclear(r);
        } else if (!m_error) {
            m_error = r; // raised when the rows before it are read
        } else {
            PQclear(r);
        }
    }
    m_backend->streamEnded(this, m_error != nullptr);
}

void PgCursor::stopStream() {
    if (!m_streaming) return;
    m_streaming = false;
    m_backend->stopStream(this);
}

bool PgCursor::fetch() {
    if (!m_backend) raise(ErrorCode::ObjectClosed);
    if (m_current) {
        PQclear(m_current);
        m_current = nullptr;
    }
    if (m_whole) {
        if (++m_row < m_wholeRows) {
            m_at = At::Whole;
            ++m_fetched;
            m_backend->countRow();
            return true;
        }
        PQclear(m_whole); // the rows are done: give the memory back
        m_whole = nullptr;
        m_at = At::None;
        return false;
    }
    if (m_first) {
        m_current = m_first;
        m_first = nullptr;
        m_at = At::Current;
        ++m_fetched;
        m_backend->countRow();
        return true;
    }
    if (m_keptAt < m_keptRows) {
        m_row = static_cast<int>(m_keptAt++);
        m_at = At::Kept;
        ++m_fetched;
        m_backend->countRow();
        return true;
    }
    if (m_keptRows) {
        m_kept.clear();
        m_cells.clear();
        m_keptRows = m_keptAt = 0;
    }
    m_at = At::None;
    if (m_error) {
        pg_result* error = m_error;
        m_error = nullptr;
        m_backend->fail(error, m_origin);
    }
    if (!m_streaming) return false;
    pg_result* r = m_backend->nextResult();
    const ExecStatusType status = r ? PQresultStatus(r) : PGRES_TUPLES_OK;
    if (status == PGRES_SINGLE_TUPLE) {
        m_current = r;
        m_at = At::Current;
        ++m_fetched;
        m_backend->countRow();
        return true;
    }
    // The end, or a failure: what follows it up to the next query is read.
    m_streaming = false;
    pg_result* error = r && status != PGRES_TUPLES_OK ? r : nullptr;
    if (r && !error) PQclear(r);
    if (r)
        while (pg_result* more = m_backend->nextResult())
            PQclear(more);
    m_backend->streamEnded(this, error != nullptr);
    if (error) m_backend->fail(error, m_origin);
    return false;
}

bool PgCursor::cell(int column, const char** text, int* length) const {
    if (column < 0 || column >= columnCount()) raise(ErrorCode::ItemNotFound, QString::number(column));
    switch (m_at) {
    case At::Whole:
        if (PQgetisnull(m_whole, m_row, column)) return false;
        *text = PQgetvalue(m_whole, m_row, column);
        *length = PQgetlength(m_whole, m_row, column);
        return true;
    case At::Current:
        if (PQgetisnull(m_current, 0, column)) return false;
        *text = PQgetvalue(m_current, 0, column);
        *length = PQgetlength(m_current, 0, column);
        return true;
    case At::Kept: {
        const Cell& c = m_cells[static_cast<size_t>(m_row) * static_cast<size_t>(columnCount()) +
                                static_cast<size_t>(column)];
        if (c.length < 0) return false;
        *text = m_kept.constData() + c.offset;
        *length = c.length;
        return true;
    }
    case At::None:
        break;
    }
    raise(ErrorCode::NoCurrentRecord);
}

// The same values the embedded engine gives: whole numbers as Long (beyond its range as Double),
// decimals and floats as Double, booleans as 1 and 0, everything else as text.
Variant PgCursor::value(int column) const {
    const char* text = nullptr;
    int length = 0;
    if (!cell(column, &text, &length)) return Variant::null();
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
    return Variant(QString::fromUtf8(text, length));
}

bool PgCursor::textBytes(int column, QByteArray* out) const {
    if (column >= 0 && column < columnCount() && m_kinds[static_cast<size_t>(column)] != Kind::Text)
        return false;
    const char* text = nullptr;
    int length = 0;
    if (!cell(column, &text, &length)) return false;
    // The cell stays where it is until the next fetch.
    *out = QByteArray::fromRawData(text, length);
    return true;
}

void PgCursor::rewind() {
    if (!m_backend) raise(ErrorCode::ObjectClosed);
    // Back to the first row from the first row (a caller testing for rows, then reading them from
    // the start): the rows are still this run's, so the server is not asked again.
    if (m_fetched == 1) {
        m_fetched = 0;
        switch (m_at) {
        case At::Current:
            m_first = m_current;
            m_current = nullptr;
            m_at = At::None;
            return;
        case At::Whole:
        case At::Kept:
            if (m_row != 0) break;
            m_row = -1;
            m_keptAt = 0;
            m_at = At::None;
            return;
        case At::None:
            break;
        }
    }
    m_fetched = 0;
    stopStream();
    clearRows();
    bool streaming = false;
    pg_result* first = m_backend->start(m_sql, m_params, m_origin, &streaming);
    start(first, streaming);
    if (streaming) m_backend->streamStarted(this);
}

void PgCursor::invalidate() {
    m_streaming = false;
    clearRows();
    m_backend = nullptr;
}

void PgCursor::close() {
    if (!m_backend) return;
    stopStream();
    m_backend->removeCursor(this);
    invalidate();
}

} // namespace sarvo::db
