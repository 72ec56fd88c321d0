// SQLite through its C API, with its own pool of prepared statements; see SqliteBackend.h.
#include "host/db/SqliteBackend.h"

#include "host/db/Dialect.h"
#include "host/db/SchemaInfo.h"
#include "host/db/SqliteCursor.h"
#include "runtime/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <sqlite3.h>
#include <unistd.h>

namespace sarvo::db {

namespace {

// Statements of one text open at once: the hierarchy load nests one per grade (up to 13).
constexpr size_t kIdlePerShape = 16;
constexpr int kMaxShapes = 512; // beyond this the pool starts afresh

bool isSchemaStatement(const QByteArray& sql) {
    return sql.startsWith("CREATE") || sql.startsWith("DROP");
}

bool writableByUs(const QString& path) {
    return ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}

QString text(const unsigned char* utf8) {
    return QString::fromUtf8(reinterpret_cast<const char*>(utf8));
}

} // namespace

FailureKind sqliteFailureKind(int resultCode) {
    switch (resultCode & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return FailureKind::Busy;
    case SQLITE_READONLY:
        return FailureKind::ReadOnly;
    case SQLITE_CONSTRAINT:
        return FailureKind::Constraint;
    case SQLITE_FULL:
        return FailureKind::DiskFull;
    case SQLITE_CANTOPEN:
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return FailureKind::CannotOpen;
    case SQLITE_ERROR:
        return FailureKind::Syntax;
    default:
        break;
    }
    return FailureKind::Other;
}

SqliteBackend::SqliteBackend(QString path) : m_path(std::move(path)) {}

SqliteBackend::~SqliteBackend() {
    close();
}

const Dialect& SqliteBackend::dialect() const {
    return Dialect::sqlite();
}

bool SqliteBackend::inTransaction() const {
    return m_handle && sqlite3_get_autocommit(m_handle) == 0;
}

void SqliteBackend::setStatementCaching(bool on) {
    m_caching = on;
    clearStatementCache();
}

void SqliteBackend::open() {
    if (m_handle) return;
    const bool memory = m_path == QLatin1String(":memory:");
    const bool uri = m_path.startsWith(QLatin1String("file:"), Qt::CaseInsensitive);
    OpenMode mode = OpenMode::ReadWrite;
    if (!memory && !uri) {
        const QFileInfo info(m_path);
        if (!info.exists())
            throw EngineError(FailureKind::CannotOpen,
                              QStringLiteral("Database file not found: %1").arg(m_path), SQLITE_CANTOPEN);
        if (info.isDir())
            throw EngineError(FailureKind::CannotOpen,
                              QStringLiteral("%1 is a folder, not a database file").arg(m_path),
                              SQLITE_CANTOPEN);
        // Without write access to the file, or to the folder its journal goes into, a write could
        // only fail half-way: open read-only so that it fails at once.
        if (!writableByUs(m_path) || !writableByUs(info.absolutePath())) mode = OpenMode::ReadOnly;
    }
    try {
        openAs(mode);
    } catch (const EngineError& e) {
        // A WAL database in a read-only folder without its shared-memory file.
        const int primary = e.nativeCode() & 0xff;
        if (mode != OpenMode::ReadOnly || (primary != SQLITE_CANTOPEN && primary != SQLITE_READONLY)) throw;
        openAs(OpenMode::Immutable);
    }
}

void SqliteBackend::openAs(OpenMode mode) {
    QByteArray name = QFile::encodeName(m_path);
    // A connection is used by one thread at a time: no mutex around every call.
    int flags = SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX;
    if (mode == OpenMode::ReadWrite) {
        flags |= SQLITE_OPEN_READWRITE;
    } else {
        flags |= SQLITE_OPEN_READONLY;
        if (mode == OpenMode::Immutable)
            name = QUrl::fromLocalFile(QFileInfo(m_path).absoluteFilePath()).toEncoded() + "?immutable=1";
    }
    const int rc = sqlite3_open_v2(name.constData(), &m_handle, flags, nullptr);
    if (rc != SQLITE_OK) {
        const int code = m_handle ? sqlite3_extended_errcode(m_handle) : rc;
        const QString message = m_handle ? QString::fromUtf8(sqlite3_errmsg(m_handle)) : QString();
        closeHandle();
        throw EngineError(sqliteFailureKind(code), QStringLiteral("Cannot open %1: %2").arg(m_path, message),
                          code);
    }
    m_mode = mode;
    sqlite3_extended_result_codes(m_handle, 1);
    sqlite3_busy_timeout(m_handle, kBusyTimeoutMs);
    // A misspelt "column" must fail, not turn into a text literal.
    sqlite3_db_config(m_handle, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(m_handle, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    registerSqliteFunctions(m_handle, &m_likeCache);
    // Temporary tables live in memory; with auto_vacuum a dropped one gives its pages back at
    // once instead of keeping them for the next. The first read: it fails here, not in the first
    // statement, for a file that is not a database, a WAL file that cannot be read, or a lock
    // that outlasts the timeout.
    for (const char* sql :
         {"PRAGMA temp_store = MEMORY", "PRAGMA temp.auto_vacuum = FULL", "SELECT count(*) FROM sqlite_schema",
          "PRAGMA encoding"}) {
        sqlite3_stmt* stmt = nullptr;
        int step = sqlite3_prepare_v2(m_handle, sql, -1, &stmt, nullptr);
        if (step == SQLITE_OK) step = sqlite3_step(stmt);
        if (step == SQLITE_ROW && qstrcmp(sql, "PRAGMA encoding") == 0)
            m_utf8 = qstrcmp(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)), "UTF-8") == 0;
        sqlite3_finalize(stmt);
        if (step == SQLITE_ROW || step == SQLITE_DONE) continue;
        const int code = sqlite3_extended_errcode(m_handle);
        const QString message = QString::fromUtf8(sqlite3_errmsg(m_handle));
        closeHandle();
        throw EngineError(sqliteFailureKind(code), QStringLiteral("Cannot open %1: %2").arg(m_path, message),
                          code);
    }
    m_mode =
        sqlite3_db_readonly(m_handle, "main") == 1 && mode == OpenMode::ReadWrite ? OpenMode::ReadOnly : mode;
    m_changes = 0;
}

// Column types of every table, for telling text from numbers when rendering.
void SqliteBackend::loadSchema(SchemaInfo& schema) {
    schema.clear();
    sqlite3_stmt* stmt = nullptr;
    const char* sql = "SELECT 0, name FROM main.sqlite_schema WHERE type = 'table' "
                      "UNION ALL SELECT 1, name FROM temp.sqlite_schema WHERE type = 'table'";
    if (sqlite3_prepare_v2(m_handle, sql, -1, &stmt, nullptr) != SQLITE_OK) fail(QString::fromUtf8(sql));
    std::vector<std::pair<bool, QString>> tables;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
        tables.emplace_back(sqlite3_column_int(stmt, 0) != 0, text(sqlite3_column_text(stmt, 1)));
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE) fail(QString::fromUtf8(sql));
    for (const auto& [temp, name] : tables)
        loadTable(schema, temp, name);
}

void SqliteBackend::loadTable(SchemaInfo& schema, bool temp, const QString& table) {
    QString name = table;
    name.replace(QLatin1Char('"'), QLatin1String("\"\""));
    const QByteArray sql =
        (QStringLiteral("PRAGMA %1.table_info(\"%2\")").arg(temp ? "temp" : "main", name)).toUtf8();
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(m_handle, sql.constData(), -1, &stmt, nullptr) != SQLITE_OK) return;
    QList<SchemaInfo::Column> columns;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        SchemaInfo::Column c;
        c.name = text(sqlite3_column_text(stmt, 1));
        c.type = SchemaInfo::typeOfDeclaration(text(sqlite3_column_text(stmt, 2)));
        columns << c;
    }
    sqlite3_finalize(stmt);
    if (columns.isEmpty())
        schema.removeTable(temp, table);
    else
        schema.setTable(temp, table, columns);
}

void SqliteBackend::close() {
    if (!m_handle) return;
    sqlite3_finalize(m_pin);
    m_pin = nullptr;
    sqlite3_finalize(m_tempObject);
    m_tempObject = nullptr;
    sqlite3_finalize(m_journalMode);
    m_journalMode = nullptr;
    for (SqliteCursor* c : std::set<SqliteCursor*>(m_cursors))
        c->invalidate();
    m_cursors.clear();
    clearStatementCache();
    closeHandle();
}

void SqliteBackend::closeHandle() {
    sqlite3_close_v2(m_handle);
    m_handle = nullptr;
}

void SqliteBackend::clearStatementCache() {
    for (auto& pool : m_idle)
        for (sqlite3_stmt* s : pool)
            sqlite3_finalize(s);
    m_idle.clear();
}

void SqliteBackend::fail(const QString& origin) const {
    const int code = sqlite3_extended_errcode(m_handle);
    throw EngineError(sqliteFailureKind(code),
                      QString::fromUtf8(sqlite3_errmsg(m_handle)) + QStringLiteral(" in: ") + origin, code);
}

sqlite3_stmt* SqliteBackend::checkout(const QByteArray& sql, const std::vector<SqlValue>& params,
                                      const QString& origin) {
    sqlite3_stmt* stmt = nullptr;
    auto pool = m_idle.find(sql);
    if (pool != m_idle.end() && !pool->empty()) {
        stmt = pool->back();
        pool->pop_back();
    } else {
        const char* tail = nullptr;
        const unsigned flags = m_caching ? SQLITE_PREPARE_PERSISTENT : 0;
        if (sqlite3_prepare_v3(m_handle, sql.constData(), static_cast<int>(sql.size()), flags, &stmt,
                               &tail) != SQLITE_OK)
            fail(origin);
        countPrepare();
    }
    for (size_t i = 0; i < params.size(); ++i) {
        const SqlValue& v = params[i];
        const int index = static_cast<int>(i) + 1;
        switch (v.type) {
        case SqlValue::Type::Null:
            sqlite3_bind_null(stmt, index);
            break;
        case SqlValue::Type::Integer:
            sqlite3_bind_int64(stmt, index, v.integer);
            break;
        case SqlValue::Type::Real:
            sqlite3_bind_double(stmt, index, v.real);
            break;
        case SqlValue::Type::Text:
            sqlite3_bind_text(stmt, index, v.text.constData(), static_cast<int>(v.text.size()),
                              SQLITE_TRANSIENT);
            break;
        }
    }
    return stmt;
}

void SqliteBackend::checkin(const QByteArray& sql, sqlite3_stmt* stmt) {
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    if (m_caching && !isSchemaStatement(sql)) {
        if (m_idle.size() >= kMaxShapes && !m_idle.contains(sql)) clearStatementCache();
        auto& pool = m_idle[sql];
        if (pool.size() < kIdlePerShape) {
            pool.push_back(stmt);
            return;
        }
    }
    sqlite3_finalize(stmt);
}

// A statement that has returned a row and is not yet reset keeps the connection's read
// transaction open: in WAL mode every statement of the connection reads that same snapshot, and
// another connection's commit stays invisible until it is reset.
bool SqliteBackend::holdSnapshot() {
    if (!m_handle) return false;
    if (!m_pin && sqlite3_prepare_v3(m_handle, "SELECT count(*) FROM main.sqlite_schema", -1,
                                     SQLITE_PREPARE_PERSISTENT, &m_pin, nullptr) != SQLITE_OK) {
        m_pin = nullptr;
        return false;
    }
    sqlite3_reset(m_pin);
    if (sqlite3_step(m_pin) == SQLITE_ROW) return true;
    sqlite3_reset(m_pin);
    return false;
}

void SqliteBackend::releaseSnapshot() {
    if (m_pin) sqlite3_reset(m_pin);
}

// A database in memory has no other connection; in a file outside WAL mode a held read would
// keep every other connection from committing.
bool SqliteBackend::canDeferTempFill() const {
    if (!m_handle || inTransaction()) return false;
    const char* file = sqlite3_db_filename(m_handle, "main");
    if (!file || !*file) return true;
    // Asked each time: the host may switch the mode with a statement of its own.
    if (!m_journalMode && sqlite3_prepare_v3(m_handle, "PRAGMA main.journal_mode", -1, SQLITE_PREPARE_PERSISTENT,
                                             &m_journalMode, nullptr) != SQLITE_OK) {
        m_journalMode = nullptr;
        return false;
    }
    const bool wal = sqlite3_step(m_journalMode) == SQLITE_ROW &&
                     qstricmp(reinterpret_cast<const char*>(sqlite3_column_text(m_journalMode, 0)), "wal") == 0;
    sqlite3_reset(m_journalMode);
    return wal;
}

std::optional<quint64> SqliteBackend::contentVersion(const QString& table) {
    if (!m_handle || inTransaction() || !m_pin || !sqlite3_stmt_busy(m_pin)) return std::nullopt;
    // A temporary object of that name hides the permanent table from unqualified names.
    if (!m_tempObject &&
        sqlite3_prepare_v3(m_handle, "SELECT 1 FROM temp.sqlite_schema WHERE name = ?1 COLLATE NOCASE", -1,
                           SQLITE_PREPARE_PERSISTENT, &m_tempObject, nullptr) != SQLITE_OK) {
        m_tempObject = nullptr;
        return std::nullopt;
    }
    const QByteArray name = table.toUtf8();
    sqlite3_bind_text(m_tempObject, 1, name.constData(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
    const int rc = sqlite3_step(m_tempObject);
    sqlite3_reset(m_tempObject);
    if (rc != SQLITE_DONE) return std::nullopt;
    // The pager's count of changes to the main database: its own commits and, as a read
    // transaction begins, those of every other connection. The held snapshot began one.
    unsigned int version = 0;
    if (sqlite3_file_control(m_handle, "main", SQLITE_FCNTL_DATA_VERSION, &version) != SQLITE_OK)
        return std::nullopt;
    return version;
}

void SqliteBackend::detachCursors() {
    for (SqliteCursor* c : std::set<SqliteCursor*>(m_cursors))
        c->detach();
}

std::unique_ptr<Cursor> SqliteBackend::execute(const QByteArray& sql, const std::vector<SqlValue>& params,
                                               const QString& origin) {
    if (!m_handle) raise(ErrorCode::ObjectClosed);
    for (int attempt = 0;; ++attempt) {
        sqlite3_stmt* stmt = checkout(sql, params, origin);
        if (sqlite3_column_count(stmt) > 0)
            return std::make_unique<SqliteCursor>(this, sql, params, origin, stmt);
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        }
        if (rc == SQLITE_DONE) {
            m_changes = sqlite3_changes64(m_handle);
            checkin(sql, stmt);
            return nullptr;
        }
        const int code = sqlite3_extended_errcode(m_handle);
        const QString message = QString::fromUtf8(sqlite3_errmsg(m_handle));
        checkin(sql, stmt);
        // A table cannot be dropped while a query still reads: let open record sets read
        // ahead into memory and try once more.
        if ((code & 0xff) == SQLITE_LOCKED && attempt == 0 && !m_cursors.empty()) {
            detachCursors();
            continue;
        }
        throw EngineError(sqliteFailureKind(code), message + QStringLiteral(" in: ") + origin, code);
    }
}

} // namespace sarvo::db
