// SQLite through Qt SQL, with its own statement cache on the raw handle; see SqliteEngine.h.
#include "host/db/SqliteEngine.h"

#include "host/db/SqliteCursor.h"
#include "host/db/TSqlTranslator.h"
#include "runtime/RuntimeError.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <sqlite3.h>

namespace sarvo::db {

namespace {

constexpr size_t kIdlePerShape = 4;   // nesting depth a shape is commonly open at once
constexpr int kMaxShapes = 512;       // beyond this the cache starts afresh

QString nextConnectionName() {
    static QAtomicInt counter;
    return QStringLiteral("sarvo_db_%1").arg(counter.fetchAndAddRelaxed(1) + 1);
}

bool isSchemaStatement(const QByteArray& sql) { return sql.startsWith("CREATE") || sql.startsWith("DROP"); }

} // namespace

SqliteEngine::SqliteEngine(QString path) : m_path(std::move(path)) {}

SqliteEngine::SqliteEngine(QString path, Options options) : m_path(std::move(path)), m_options(options) {}

SqliteEngine::~SqliteEngine() { close(); }

void SqliteEngine::setOptions(const Options& options) {
    m_options = options;
    clearStatementCache();
}

void SqliteEngine::open() {
    if (m_handle) return;
    const bool memory = m_path == QLatin1String(":memory:");
    if (!memory && !QFileInfo::exists(m_path))
        raise(ErrorCode::DatabaseError, QStringLiteral("Database file not found: %1").arg(m_path));
    m_connectionName = nextConnectionName();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
        db.setDatabaseName(m_path);
        if (!db.open()) {
            const QString message = db.lastError().text();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_connectionName);
            raise(ErrorCode::DatabaseError, QStringLiteral("Cannot open %1: %2").arg(m_path, message));
        }
        const QVariant h = db.driver()->handle();
        if (h.isValid() && qstrcmp(h.typeName(), "sqlite3*") == 0) m_handle = *static_cast<sqlite3* const*>(h.constData());
        if (!m_handle) {
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_connectionName);
            raise(ErrorCode::DatabaseError, QStringLiteral("The SQLite driver gives no handle"));
        }
    }
    m_counters = {};
}

void SqliteEngine::close() {
    if (!m_handle) return;
    for (SqliteCursor* c : std::set<SqliteCursor*>(m_cursors)) c->invalidate();
    m_cursors.clear();
    clearStatementCache();
    m_handle = nullptr;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
}

QSqlDatabase SqliteEngine::database() const {
    return m_handle ? QSqlDatabase::database(m_connectionName, false) : QSqlDatabase();
}

void SqliteEngine::clearStatementCache() {
    for (auto& pool : m_idle)
        for (sqlite3_stmt* s : pool) sqlite3_finalize(s);
    m_idle.clear();
}

void SqliteEngine::fail(const QString& tsql) const {
    raise(ErrorCode::DatabaseError, QString::fromUtf8(sqlite3_errmsg(m_handle)) + QStringLiteral(" in: ") + tsql);
}

sqlite3_stmt* SqliteEngine::checkout(const QByteArray& sql, const std::vector<SqlValue>& params, const QString& tsql) {
    sqlite3_stmt* stmt = nullptr;
    auto pool = m_idle.find(sql);
    if (pool != m_idle.end() && !pool->empty()) {
        stmt = pool->back();
        pool->pop_back();
    } else {
        const char* tail = nullptr;
        const unsigned flags = m_options.cacheStatements ? SQLITE_PREPARE_PERSISTENT : 0;
        if (sqlite3_prepare_v3(m_handle, sql.constData(), static_cast<int>(sql.size()), flags, &stmt, &tail) != SQLITE_OK)
            fail(tsql);
        ++m_counters.prepares;
    }
    for (size_t i = 0; i < params.size(); ++i) {
        const SqlValue& v = params[i];
        const int index = static_cast<int>(i) + 1;
        switch (v.type) {
        case SqlValue::Type::Null: sqlite3_bind_null(stmt, index); break;
        case SqlValue::Type::Integer: sqlite3_bind_int64(stmt, index, v.integer); break;
        case SqlValue::Type::Real: sqlite3_bind_double(stmt, index, v.real); break;
        case SqlValue::Type::Text:
            sqlite3_bind_text(stmt, index, v.text.constData(), static_cast<int>(v.text.size()), SQLITE_TRANSIENT);
            break;
        }
    }
    return stmt;
}

void SqliteEngine::checkin(const QByteArray& sql, sqlite3_stmt* stmt) {
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    if (m_options.cacheStatements && !isSchemaStatement(sql)) {
        if (m_idle.size() >= kMaxShapes && !m_idle.contains(sql)) clearStatementCache();
        auto& pool = m_idle[sql];
        if (pool.size() < kIdlePerShape) {
            pool.push_back(stmt);
            return;
        }
    }
    sqlite3_finalize(stmt);
}

void SqliteEngine::detachCursors() {
    for (SqliteCursor* c : std::set<SqliteCursor*>(m_cursors)) c->detach();
}

void SqliteEngine::runToEnd(const QByteArray& sql, const std::vector<SqlValue>& params, const QString& tsql) {
    for (int attempt = 0;; ++attempt) {
        sqlite3_stmt* stmt = checkout(sql, params, tsql);
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        }
        if (rc == SQLITE_DONE) {
            checkin(sql, stmt);
            return;
        }
        const int code = sqlite3_errcode(m_handle);
        const QString message = QString::fromUtf8(sqlite3_errmsg(m_handle));
        checkin(sql, stmt);
        // A table cannot be dropped while a query still reads: let open record sets read
        // ahead into memory and try once more.
        if (code == SQLITE_LOCKED && attempt == 0 && !m_cursors.empty()) {
            detachCursors();
            continue;
        }
        raise(ErrorCode::DatabaseError, message + QStringLiteral(" in: ") + tsql);
    }
}

QString SqliteEngine::render(const QString& tsql) const { return TSqlTranslator::toSqlite(tsql).join(QStringLiteral(";\n")); }

std::unique_ptr<Cursor> SqliteEngine::execute(const QString& tsql) {
    if (!m_handle) raise(ErrorCode::ObjectClosed);
    ++m_counters.statements;
    const QStringList steps = TSqlTranslator::toSqlite(tsql);
    for (qsizetype i = 0; i + 1 < steps.size(); ++i) runToEnd(steps[i].toUtf8(), {}, tsql);
    const QByteArray last = steps.last().toUtf8();
    sqlite3_stmt* stmt = checkout(last, {}, tsql);
    if (sqlite3_column_count(stmt) == 0) {
        checkin(last, stmt);
        runToEnd(last, {}, tsql);
        return nullptr;
    }
    return std::make_unique<SqliteCursor>(this, last, std::vector<SqlValue>{}, tsql, stmt);
}

} // namespace sarvo::db
