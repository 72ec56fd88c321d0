// PostgreSQL through libpq, with statements prepared on the server; see PgBackend.h.
#include "host/db/PgBackend.h"

#include "host/db/BackendRegistry.h"
#include "host/db/Dialect.h"
#include "host/db/PgCursor.h"
#include "host/db/PgServerMessage.h"
#include "host/db/SchemaInfo.h"
#include "runtime/RuntimeError.h"

#include <QRegularExpression>
#include <cstdint>
#include <libpq-fe.h>

namespace sarvo::db {

namespace {

// Type oids a value is sent as.
constexpr Oid kInt8 = 20, kInt4 = 23, kText = 25, kFloat8 = 701;
constexpr int kMaxShapes = 512; // beyond this the server's statements start afresh
// Rows a cursor closed before its end reads on before it asks the server to stop: a cancel costs
// a connection of its own.
constexpr int kRowsReadOnClose = 64;

Oid typeOf(const SqlValue& v) {
    switch (v.type) {
    case SqlValue::Type::Integer:
        // The server's literals: int while it fits, bigint beyond (functions such as right() and
        // substring() take an int).
        return v.integer >= INT32_MIN && v.integer <= INT32_MAX ? kInt4 : kInt8;
    case SqlValue::Type::Real:
        return kFloat8;
    case SqlValue::Type::Text:
        return kText;
    case SqlValue::Type::Null:
        break;
    }
    return 0;
}

// Statements worth preparing: queries and row writes. Schema statements and transaction control
// run once and change what a prepared statement would see.
bool isPreparable(const QByteArray& sql) {
    for (const char* head : {"SELECT", "INSERT", "UPDATE", "DELETE", "WITH", "VALUES"}) {
        const qsizetype n = static_cast<qsizetype>(qstrlen(head));
        if (sql.size() >= n && qstrnicmp(sql.constData(), head, n) == 0 &&
            (sql.size() == n || !QChar::isLetterOrNumber(sql.at(n))))
            return true;
    }
    return false;
}

// Values as text, the server converting each to the type it was sent as.
struct Values {
    std::vector<QByteArray> text;
    std::vector<const char*> pointers;
    explicit Values(const std::vector<SqlValue>& params) {
        text.reserve(params.size());
        pointers.reserve(params.size());
        for (const SqlValue& v : params) {
            switch (v.type) {
            case SqlValue::Type::Null:
                text.emplace_back();
                break;
            case SqlValue::Type::Integer:
                text.push_back(QByteArray::number(static_cast<qlonglong>(v.integer)));
                break;
            case SqlValue::Type::Real:
                text.push_back(QByteArray::number(v.real, 'g', 17));
                break;
            case SqlValue::Type::Text:
                text.push_back(v.text);
                break;
            }
            pointers.push_back(v.type == SqlValue::Type::Null ? nullptr : text.back().constData());
        }
    }
    int count() const { return static_cast<int>(pointers.size()); }
};

QString field(const PGresult* result, int code) {
    const char* v = result ? PQresultErrorField(result, code) : nullptr;
    return v ? QString::fromUtf8(v) : QString();
}

// The quoted value of a message like: invalid input syntax for type integer: "abc".

const char* kSchemaQuery =
    "SELECT c.relpersistence = 't', c.relname, a.attname, format_type(a.atttypid, a.atttypmod) "
    "FROM pg_class c JOIN pg_attribute a ON a.attrelid = c.oid "
    "WHERE c.relkind IN ('r', 'p', 'v', 'm', 'f') AND a.attnum > 0 AND NOT a.attisdropped "
    "AND (c.relnamespace = pg_my_temp_schema() OR c.relnamespace IN "
    "(SELECT oid FROM pg_namespace WHERE nspname = ANY (current_schemas(false)))) "
    "AND ($1::text IS NULL OR (c.relpersistence = 't') = $2::bool AND c.relname IN ($1, lower($1))) "
    "ORDER BY c.relname = $1 DESC, c.relname, a.attnum";

const bool registered = [] {
    const auto factory = [](const ConnectionString& c) { return std::make_unique<PgBackend>(c); };
    BackendRegistry::add(QStringLiteral("postgresql"), factory);
    BackendRegistry::add(QStringLiteral("postgres"), factory);
    return true;
}();

} // namespace

FailureKind pgFailureKind(const QByteArray& sqlState, bool connectionBad) {
    if (connectionBad) return FailureKind::LostConnection;
    const QByteArray cls = sqlState.left(2);
    if (cls == "08" || sqlState == "57P01" || sqlState == "57P02" || sqlState == "57P03")
        return FailureKind::LostConnection;
    if (sqlState == "55P03" || sqlState == "40001" || sqlState == "40P01" || sqlState == "57014")
        return FailureKind::Busy;
    if (sqlState == "25006") return FailureKind::ReadOnly;
    if (sqlState == "53100" || sqlState == "54000") return FailureKind::DiskFull;
    if (cls == "23") return FailureKind::Constraint;
    if (cls == "28" || sqlState == "3D000" || sqlState == "42501") return FailureKind::CannotOpen;
    if (cls == "42") return FailureKind::Syntax;
    return FailureKind::Other;
}

PgBackend::PgBackend(ConnectionString target) : m_target(std::move(target)) {}

PgBackend::~PgBackend() {
    close();
}

const Dialect& PgBackend::dialect() const {
    return Dialect::postgresql();
}

void PgBackend::open() {
    if (m_conn) return;
    std::vector<QByteArray> keys, values;
    auto set = [&](const char* key, const QString& value) {
        if (value.isEmpty()) return;
        keys.emplace_back(key);
        values.push_back(value.toUtf8());
    };
    set("host", m_target.host());
    if (m_target.port()) set("port", QString::number(m_target.port()));
    set("user", m_target.user());
    set("password", m_target.password());
    set("dbname", m_target.database());
    bool timeout = false;
    for (const auto& [key, value] : m_target.parameters()) {
        const QByteArray k = key.toUtf8();
        if (k == "connect_timeout") timeout = true;
        keys.push_back(k);
        values.push_back(value.toUtf8());
    }
    if (!timeout) set("connect_timeout", QString::number(kConnectTimeoutSeconds));
    set("fallback_application_name", QStringLiteral("sarvo"));
    set("client_encoding", QStringLiteral("UTF8"));
    std::vector<const char*> k, v;
    for (size_t i = 0; i < keys.size(); ++i) {
        k.push_back(keys[i].constData());
        v.push_back(values[i].constData());
    }
    k.push_back(nullptr);
    v.push_back(nullptr);
    m_conn = PQconnectdbParams(k.data(), v.data(), 0);
    if (!m_conn) failOpen(QStringLiteral("out of memory"));
    if (PQstatus(m_conn) != CONNECTION_OK) failOpen(QString::fromUtf8(PQerrorMessage(m_conn)).trimmed());
    setup();
}

// Session settings, and whether this session may write at all. A statement prepared once is
// planned once: the values the component binds (codes, grades, years, patterns with a literal
// start) do not change the plan, and re-planning a statement full of the collation's expressions
// costs more than running it. No statement runs long enough to repay compiling it to machine code
// (JIT takes tens of milliseconds and is not kept between runs).
void PgBackend::setup() {
    const QByteArray settings = "SET lock_timeout = " + QByteArray::number(kLockTimeoutMs) +
                                "; SET plan_cache_mode = force_generic_plan; SET jit = off";
    PGresult* r = PQexec(m_conn, settings.constData());
    const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
    PQclear(r);
    if (!ok) failOpen(QString::fromUtf8(PQerrorMessage(m_conn)).trimmed());
    r = PQexec(m_conn, "SELECT current_setting('transaction_read_only') = 'on' OR pg_is_in_recovery(), "
                       "datcollate IN ('C', 'POSIX', 'C.UTF-8', 'C.utf8') AND NOT 'a' < 'B' FROM pg_database "
                       "WHERE datname = current_database()");
    const bool read = PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) == 1;
    m_readOnly = read && PQgetvalue(r, 0, 0)[0] == 't';
    m_bytewiseOrder = read && PQgetvalue(r, 0, 1)[0] == 't';
    PQclear(r);
    m_changes = 0;
    m_lastFatal.clear();
    PQsetNoticeReceiver(m_conn, &PgBackend::receiveNotice, this);
}

// Notices are the server's talk, not the user's; a session's end (FATAL) is kept as the reason the
// connection was lost.
void PgBackend::receiveNotice(void* self, const PGresult* notice) {
    const char* severity = PQresultErrorField(notice, PG_DIAG_SEVERITY_NONLOCALIZED);
    if (severity && (qstrcmp(severity, "FATAL") == 0 || qstrcmp(severity, "PANIC") == 0))
        static_cast<PgBackend*>(self)->m_lastFatal = field(notice, PG_DIAG_MESSAGE_PRIMARY);
}

void PgBackend::failOpen(const QString& why) {
    if (m_conn) PQfinish(m_conn);
    m_conn = nullptr;
    // The message names the server and the database, never the password.
    throw EngineError(FailureKind::CannotOpen,
                      QStringLiteral("Cannot open %1: %2").arg(m_target.describe(), why), 0, QString());
}

void PgBackend::close() {
    m_snapshot = false;
    m_streaming = nullptr;
    if (!m_conn) return;
    for (PgCursor* c : std::set<PgCursor*>(m_cursors))
        c->invalidate();
    m_cursors.clear();
    m_prepared.clear();
    PQfinish(m_conn);
    m_conn = nullptr;
}

bool PgBackend::inTransaction() const {
    if (!m_conn || m_snapshot) return false;
    // While rows stream the server is busy: the transaction is as it was when the query went out.
    if (m_streaming) return !m_streamCancellable;
    const PGTransactionStatusType s = PQtransactionStatus(m_conn);
    return s == PQTRANS_INTRANS || s == PQTRANS_INERROR || s == PQTRANS_ACTIVE;
}

bool PgBackend::holdSnapshot() {
    settle();
    if (!m_conn || !m_bytewiseOrder) return false;
    if (m_snapshot) return true;
    if (PQtransactionStatus(m_conn) != PQTRANS_IDLE) return false;
    PGresult* r = PQexec(m_conn, "BEGIN ISOLATION LEVEL REPEATABLE READ, READ ONLY");
    m_snapshot = PQresultStatus(r) == PGRES_COMMAND_OK;
    PQclear(r);
    if (!m_snapshot && PQstatus(m_conn) != CONNECTION_BAD && PQtransactionStatus(m_conn) != PQTRANS_IDLE)
        PQclear(PQexec(m_conn, "ROLLBACK"));
    return m_snapshot;
}

void PgBackend::releaseSnapshot() {
    if (m_snapshot) endSnapshot();
}

// Ends the snapshot's transaction: it wrote nothing, so ending it either way is the same; one
// that a failed statement aborted can only be rolled back.
void PgBackend::endSnapshot() {
    m_snapshot = false;
    settle();
    if (!m_conn || PQstatus(m_conn) == CONNECTION_BAD) return;
    if (PQtransactionStatus(m_conn) != PQTRANS_IDLE) PQclear(PQexec(m_conn, "ROLLBACK"));
}

void PgBackend::setStatementCaching(bool on) {
    m_caching = on;
    clearPrepared();
}

int PgBackend::serverProcessId() const {
    return m_conn ? PQbackendPID(m_conn) : 0;
}

int PgBackend::preparedCount() const {
    int n = 0;
    for (const auto& list : m_prepared)
        n += static_cast<int>(list.size());
    return n;
}

void PgBackend::clearPrepared() {
    settle();
    if (m_conn && !m_prepared.isEmpty()) PQclear(PQexec(m_conn, "DEALLOCATE ALL"));
    m_prepared.clear();
}

void PgBackend::forget(const QByteArray& sql) {
    const auto found = m_prepared.find(sql);
    if (found == m_prepared.end()) return;
    for (const Prepared& p : *found)
        PQclear(PQexec(m_conn, ("DEALLOCATE " + p.name).constData()));
    m_prepared.erase(found);
}

// A statement prepared for sql whose types fit the values (a null fits any type); prepared now
// when there is none. Null when the server refused it, its result in *error.
const PgBackend::Prepared* PgBackend::prepared(const QByteArray& sql, const std::vector<SqlValue>& params,
                                               PGresult** error) {
    auto list = m_prepared.find(sql);
    if (list != m_prepared.end()) {
        for (const Prepared& p : *list) {
            bool fits = p.types.size() == params.size();
            for (size_t i = 0; fits && i < params.size(); ++i)
                fits = params[i].type == SqlValue::Type::Null || p.types[i] == typeOf(params[i]);
            if (fits) return &p;
        }
    }
    if (m_prepared.size() >= kMaxShapes && list == m_prepared.end()) clearPrepared();
    Prepared p;
    p.name = "sarvo_" + QByteArray::number(++m_nextName);
    for (const SqlValue& v : params)
        p.types.push_back(typeOf(v));
    PGresult* r = PQprepare(m_conn, p.name.constData(), sql.constData(), static_cast<int>(p.types.size()),
                            p.types.data());
    countPrepare();
    if (PQresultStatus(r) != PGRES_COMMAND_OK) {
        *error = r;
        return nullptr;
    }
    PQclear(r);
    auto& kept = m_prepared[sql];
    kept.push_back(std::move(p));
    return &kept.back();
}

PGresult* PgBackend::send(const QByteArray& sql, const std::vector<SqlValue>& params, bool* planChanged,
                          bool* streaming) {
    const Values values(params);
    *planChanged = *streaming = false;
    int sent = 0;
    if (m_caching && isPreparable(sql)) {
        PGresult* error = nullptr;
        const Prepared* p = prepared(sql, params, &error);
        if (!p) return error;
        sent = PQsendQueryPrepared(m_conn, p->name.constData(), values.count(), values.pointers.data(),
                                   nullptr, nullptr, 0);
    } else {
        std::vector<Oid> types;
        for (const SqlValue& v : params)
            types.push_back(typeOf(v));
        countPrepare();
        sent = PQsendQueryParams(m_conn, sql.constData(), values.count(), types.data(),
                                 values.pointers.data(), nullptr, nullptr, 0);
    }
    if (!sent) return nullptr;
    PQsetSingleRowMode(m_conn);
    PGresult* r = PQgetResult(m_conn);
    if (r && PQresultStatus(r) == PGRES_SINGLE_TUPLE) {
        *streaming = true;
        return r;
    }
    // No rows, a statement without rows, or a failure: the connection is free again after it.
    while (PGresult* more = PQgetResult(m_conn))
        PQclear(more);
    // A table a prepared statement reads was made again with other columns.
    const char* state = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
    *planChanged = state && qstrcmp(state, "0A000") == 0 &&
                   QByteArray(PQresultErrorField(r, PG_DIAG_MESSAGE_PRIMARY)).contains("cached plan");
    return r;
}

PGresult* PgBackend::start(const QByteArray& sql, const std::vector<SqlValue>& params, const QString& origin,
                           bool* streaming) {
    PgCursor* settled = m_streaming;
    settle();
    if (!m_conn) raise(ErrorCode::ObjectClosed);
    // The session ended while rows were still coming: the server's own reason says why.
    if (settled && PQstatus(m_conn) == CONNECTION_BAD) fail(settled->takeError(), origin);
    // Stopping a query by a cancel would abort a transaction around it.
    m_streamCancellable = PQtransactionStatus(m_conn) == PQTRANS_IDLE;
    bool planChanged = false;
    PGresult* r = send(sql, params, &planChanged, streaming);
    if (planChanged) {
        PQclear(r);
        // The refusal aborted the snapshot's transaction; the statement runs again on its own.
        if (m_snapshot) endSnapshot();
        forget(sql);
        m_streamCancellable = PQtransactionStatus(m_conn) == PQTRANS_IDLE;
        r = send(sql, params, &planChanged, streaming);
    }
    const ExecStatusType status = r ? PQresultStatus(r) : PGRES_FATAL_ERROR;
    if (status == PGRES_SINGLE_TUPLE || status == PGRES_TUPLES_OK || status == PGRES_COMMAND_OK) return r;
    fail(r, origin);
}

PGresult* PgBackend::nextResult() {
    return m_conn ? PQgetResult(m_conn) : nullptr;
}

void PgBackend::settle() {
    if (!m_streaming) return;
    PgCursor* cursor = m_streaming;
    m_streaming = nullptr;
    cursor->settle();
}

void PgBackend::streamEnded(PgCursor* cursor, bool failed) {
    if (m_streaming == cursor) m_streaming = nullptr;
    // The failure aborted the snapshot's transaction: the statements after it run on their own.
    if (failed && m_snapshot && m_conn && PQstatus(m_conn) != CONNECTION_BAD) endSnapshot();
}

void PgBackend::stopStream(PgCursor* cursor) {
    if (m_streaming != cursor) return;
    m_streaming = nullptr;
    if (!m_conn) return;
    // A short rest is read to its end; a long one is stopped on the server.
    bool failed = false, ended = false;
    for (int n = 0; n < kRowsReadOnClose && !ended; ++n) {
        PGresult* r = PQgetResult(m_conn);
        if (!r) break;
        const ExecStatusType status = PQresultStatus(r);
        ended = status != PGRES_SINGLE_TUPLE;
        failed = failed || (ended && status != PGRES_TUPLES_OK);
        PQclear(r);
    }
    if (!ended && m_streamCancellable) {
        if (PGcancel* cancel = PQgetCancel(m_conn)) {
            char why[256];
            PQcancel(cancel, why, sizeof why);
            PQfreeCancel(cancel);
        }
    }
    while (PGresult* r = PQgetResult(m_conn)) {
        const ExecStatusType status = PQresultStatus(r);
        failed = failed || (status != PGRES_SINGLE_TUPLE && status != PGRES_TUPLES_OK);
        PQclear(r);
    }
    if (failed && m_snapshot && PQstatus(m_conn) != CONNECTION_BAD) endSnapshot();
}

void PgBackend::fail(PGresult* result, const QString& origin) {
    const bool lost = PQstatus(m_conn) == CONNECTION_BAD;
    // A failed statement aborts the snapshot's transaction: end it, so that the statements that
    // follow run (each on its own again) and the pipeline stops answering from what it read.
    if (m_snapshot && !lost) endSnapshot();
    QByteArray state = result ? QByteArray(PQresultErrorField(result, PG_DIAG_SQLSTATE)) : QByteArray();
    QString message = field(result, PG_DIAG_MESSAGE_PRIMARY);
    // The server's reason may have come while no statement ran (read with the rows before it).
    if (message.isEmpty() && lost) message = m_lastFatal;
    if (message.isEmpty()) message = QString::fromUtf8(PQerrorMessage(m_conn)).trimmed();
    PQclear(result);
    const FailureKind kind = pgFailureKind(state, lost);
    if (kind == FailureKind::LostConnection) {
        // The session is gone with its temporary tables and prepared statements: closed, so that
        // the next action opens a new one.
        close();
        if (state.isEmpty()) state = "08006";
        // libpq's own text: its first line, without the severity it starts with.
        QString why = message.section(QLatin1Char('\n'), 0, 0).trimmed();
        why.remove(QRegularExpression(QStringLiteral("^(FATAL|ERROR|PANIC):\\s*")));
        message = QStringLiteral("The connection to the database server %1 was lost (%2); the next action "
                                 "connects again")
                      .arg(m_target.describe(), why);
    } else {
        message = pgServerMessage(state, message);
    }
    throw EngineError(kind, message + QStringLiteral(" in: ") + origin, 0, QString::fromLatin1(state));
}

std::unique_ptr<Cursor> PgBackend::execute(const QByteArray& sql, const std::vector<SqlValue>& params,
                                           const QString& origin) {
    bool streaming = false;
    PGresult* r = start(sql, params, origin, &streaming);
    const ExecStatusType status = PQresultStatus(r);
    if (status == PGRES_SINGLE_TUPLE || (status == PGRES_TUPLES_OK && PQnfields(r) > 0)) {
        auto cursor = std::make_unique<PgCursor>(this, sql, params, origin, r, streaming);
        m_cursors.insert(cursor.get());
        if (streaming) m_streaming = cursor.get();
        return cursor;
    }
    m_changes = QByteArray(PQcmdTuples(r)).toLongLong();
    PQclear(r);
    return nullptr;
}

void PgBackend::loadSchema(SchemaInfo& schema) {
    schema.clear();
    loadTable(schema, false, QString());
}

// Column types of one table (or of every table when table is null), for the renderer.
void PgBackend::loadTable(SchemaInfo& schema, bool temp, const QString& table) {
    settle();
    if (!m_conn) raise(ErrorCode::ObjectClosed);
    const QByteArray name = table.toUtf8();
    const char* values[2] = {table.isNull() ? nullptr : name.constData(), temp ? "t" : "f"};
    const Oid types[2] = {kText, 16};
    PGresult* r = PQexecParams(m_conn, kSchemaQuery, 2, types, values, nullptr, nullptr, 0);
    if (PQresultStatus(r) != PGRES_TUPLES_OK) fail(r, QString::fromUtf8(kSchemaQuery));
    struct Table {
        bool temp;
        QString name;
        QList<SchemaInfo::Column> columns;
    };
    std::vector<Table> tables;
    for (int i = 0; i < PQntuples(r); ++i) {
        const bool isTemp = PQgetvalue(r, i, 0)[0] == 't';
        const QString relation = QString::fromUtf8(PQgetvalue(r, i, 1));
        if (tables.empty() || tables.back().name != relation || tables.back().temp != isTemp) {
            // Of "T" and "t" (a quoted name and a folded one) the exact one came first.
            if (!table.isNull() && !tables.empty()) break;
            tables.push_back({isTemp, relation, {}});
        }
        tables.back().columns.append({QString::fromUtf8(PQgetvalue(r, i, 2)),
                                      SchemaInfo::typeOfDeclaration(QString::fromUtf8(PQgetvalue(r, i, 3)))});
    }
    PQclear(r);
    if (!table.isNull()) {
        if (tables.empty())
            schema.removeTable(temp, table);
        else
            schema.setTable(temp, table, tables.front().columns);
        return;
    }
    for (Table& t : tables)
        schema.setTable(t.temp, t.name, std::move(t.columns));
}

} // namespace sarvo::db
