// The ODBC API under the statement pipeline; see OdbcBackend.h.
#include "host/db/OdbcBackend.h"

#include "host/db/BackendRegistry.h"
#include "host/db/OdbcCursor.h"
#include "host/db/PgServerMessage.h"
#include "host/db/SchemaInfo.h"
#include "host/db/SqliteBackend.h"
#include "runtime/RuntimeError.h"

#include <QDir>
#include <QFileInfo>
#include <cstring>
#include <dlfcn.h>
#include <limits>
#include <sql.h>
#include <sqlext.h>
#include <sqlite3.h>

namespace sarvo::db {

namespace {

constexpr int kMaxPrepared = 512; // beyond this the kept statements start afresh
constexpr int kSqliteGeneralError = 1;

[[maybe_unused]] const bool registered = [] {
    BackendRegistry::add(QStringLiteral("odbc"),
                         [](const ConnectionString& c) { return std::make_unique<OdbcBackend>(c); });
    return true;
}();

bool ok(SQLRETURN rc) {
    return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO;
}

// SQLWCHAR is UTF-16 under unixODBC, as QString is.
static_assert(sizeof(SQLWCHAR) == sizeof(char16_t));

std::u16string wide(const QString& s) {
    return std::u16string(reinterpret_cast<const char16_t*>(s.utf16()), static_cast<size_t>(s.size()));
}

SQLWCHAR* wideArg(std::u16string& s) {
    return reinterpret_cast<SQLWCHAR*>(s.data());
}

QString fromWide(const SQLWCHAR* s, qsizetype length) {
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(s), length);
}

// Driver messages start with the names of the layers they passed ("[unixODBC][Driver]..."):
// what the user reads is the text after them.
QString plainMessage(QString message) {
    while (message.startsWith(QLatin1Char('['))) {
        const qsizetype close = message.indexOf(QLatin1Char(']'));
        if (close < 0) break;
        message.remove(0, close + 1);
    }
    return message.trimmed();
}

// Dialects by family. ODBC's placeholders are "?" whatever the engine: the driver numbers them.
const Dialect& dialectOf(Dialect::Family family) {
    switch (family) {
    case Dialect::Family::Sqlite:
        return Dialect::sqlite();
    case Dialect::Family::Postgresql: {
        static const Dialect d = [] {
            Dialect d = Dialect::postgresql();
            d.placeholder = Dialect::Placeholder::Question;
            return d;
        }();
        return d;
    }
    case Dialect::Family::SqlServer:
        break;
    }
    return Dialect::sqlServer();
}

// One bound value, kept alive until the statement ran.
struct Bound {
    SQLBIGINT integer = 0;
    double real = 0;
    std::u16string wideText;
    SQLLEN indicator = 0;
};

// A whole number as the embedded engine gives it: 32 bits where it fits, else a double.
Variant integerValue(qint64 v) {
    if (v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max())
        return Variant(static_cast<int32_t>(v));
    return Variant(static_cast<double>(v));
}

// A number the driver gave as text (NUMERIC, DECIMAL): whole when it is.
Variant numberText(const QString& text) {
    bool isInteger = false;
    const qint64 i = text.toLongLong(&isInteger);
    if (isInteger) return integerValue(i);
    bool isReal = false;
    const double d = text.toDouble(&isReal);
    return isReal ? Variant(d) : Variant(text);
}

enum class ColumnKind { Integer, Real, Number, Text };

ColumnKind kindOfSqlType(SQLSMALLINT type) {
    switch (type) {
    case SQL_TINYINT:
    case SQL_SMALLINT:
    case SQL_INTEGER:
    case SQL_BIGINT:
    case SQL_BIT:
        return ColumnKind::Integer;
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE:
        return ColumnKind::Real;
    case SQL_NUMERIC:
    case SQL_DECIMAL:
        return ColumnKind::Number;
    default:
        break;
    }
    return ColumnKind::Text;
}

QString upperHead(const QByteArray& sql) {
    return QString::fromUtf8(sql).trimmed().toUpper();
}

} // namespace

Dialect::Family odbcFamilyOfDbms(const QString& dbmsName) {
    if (dbmsName.contains(QLatin1String("sqlite"), Qt::CaseInsensitive)) return Dialect::Family::Sqlite;
    if (dbmsName.contains(QLatin1String("postgres"), Qt::CaseInsensitive)) return Dialect::Family::Postgresql;
    return Dialect::Family::SqlServer;
}

FailureKind odbcFailureKind(const QString& sqlState, int nativeCode, Dialect::Family family,
                            bool connecting) {
    if (connecting) return FailureKind::CannotOpen;
    const QString s = sqlState.toUpper();
    if (s.startsWith(QLatin1String("08")) || s == QLatin1String("HYT01") || s == QLatin1String("57P01") ||
        s == QLatin1String("57P02") || s == QLatin1String("57P03"))
        return FailureKind::LostConnection;
    if (s == QLatin1String("28000") || s.startsWith(QLatin1String("3D"))) return FailureKind::CannotOpen;
    if (s.startsWith(QLatin1String("23"))) return FailureKind::Constraint;
    if (s == QLatin1String("25006") || s == QLatin1String("42501")) return FailureKind::ReadOnly;
    if (s == QLatin1String("40001") || s == QLatin1String("40P01") || s == QLatin1String("55P03") ||
        s == QLatin1String("HYT00") || s == QLatin1String("57014"))
        return FailureKind::Busy;
    if (s.startsWith(QLatin1String("53"))) return FailureKind::DiskFull;
    if (family == Dialect::Family::Sqlite && nativeCode != 0 &&
        (s == QLatin1String("HY000") || s == QLatin1String("S1000")))
        return sqliteFailureKind(nativeCode);
    if (family == Dialect::Family::SqlServer) {
        switch (nativeCode) {
        case 1205: // chosen as the deadlock victim
        case 1222: // lock request timed out
            return FailureKind::Busy;
        case 2601: // duplicate key in a unique index
        case 2627: // primary key or unique constraint
        case 515:  // null into a NOT NULL column
        case 547:  // foreign key or check constraint
            return FailureKind::Constraint;
        case 3906: // the database is read-only
            return FailureKind::ReadOnly;
        case 1105: // the filegroup is full
        case 9002: // the log is full
            return FailureKind::DiskFull;
        default:
            break;
        }
    }
    if (s.startsWith(QLatin1String("42")) || s == QLatin1String("37000") || s == QLatin1String("07002") ||
        s.startsWith(QLatin1String("22")))
        return FailureKind::Syntax;
    return FailureKind::Other;
}

QString odbcWithDefault(const QString& connectionString, const QString& key, const QString& value) {
    // Keys stand at the start of the string or after a ';' outside braces.
    int depth = 0;
    bool atKey = true;
    for (qsizetype i = 0; i < connectionString.size(); ++i) {
        const QChar c = connectionString[i];
        if (atKey && depth == 0) {
            const QString rest = connectionString.mid(i).trimmed();
            const qsizetype eq = rest.indexOf(QLatin1Char('='));
            if (eq > 0 && rest.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0)
                return connectionString;
            atKey = false;
        }
        if (c == QLatin1Char('{'))
            ++depth;
        else if (c == QLatin1Char('}') && depth > 0)
            --depth;
        else if (c == QLatin1Char(';') && depth == 0)
            atKey = true;
    }
    QString out = connectionString.trimmed();
    if (!out.isEmpty() && !out.endsWith(QLatin1Char(';'))) out += QLatin1Char(';');
    return out + key + QLatin1Char('=') + value + QLatin1Char(';');
}

QString sqliteExtensionPath() {
    const QString fromEnvironment = qEnvironmentVariable("SARVO_SQLITE_EXTENSION");
    if (!fromEnvironment.isEmpty()) return fromEnvironment;
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void*>(&sqliteExtensionPath), &info) == 0 || !info.dli_fname) return {};
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname))
        .absoluteDir()
        .filePath(QStringLiteral("sarvo_sqlite.so"));
}

OdbcBackend::OdbcBackend(ConnectionString connectionString)
    : m_connectionString(std::move(connectionString)) {}

OdbcBackend::~OdbcBackend() {
    close();
}

const Dialect& OdbcBackend::dialect() const {
    return *m_dialect;
}

// SQLite files are UTF-8 and the PostgreSQL schema indexes its folded texts in byte order; the
// server has its own collation.
bool OdbcBackend::textComparesAsBytes() const {
    return m_dialect->family != Dialect::Family::SqlServer;
}

void OdbcBackend::setStatementCaching(bool on) {
    m_caching = on;
    clearStatements();
}

void OdbcBackend::open() {
    if (m_dbc) return;
    connect(m_connectionString.odbc());
    if (m_dialect->family == Dialect::Family::Sqlite) {
        // The driver's defaults lack the rendering's functions and wait far longer than the
        // embedded engine for a lock: connect again with both.
        QString s =
            odbcWithDefault(m_connectionString.odbc(), QStringLiteral("LoadExt"), sqliteExtensionPath());
        s = odbcWithDefault(s, QStringLiteral("Timeout"), QString::number(kSqliteBusyTimeoutMs));
        if (s != m_connectionString.odbc()) {
            disconnect();
            connect(s);
        }
    }
    try {
        afterConnect();
    } catch (...) {
        close();
        throw;
    }
}

void OdbcBackend::connect(const QString& odbcString) {
    SQLHENV env = SQL_NULL_HENV;
    if (!ok(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env)))
        throw EngineError(FailureKind::CannotOpen, QStringLiteral("Cannot start the ODBC driver manager"));
    m_env = env;
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLHDBC dbc = SQL_NULL_HDBC;
    if (!ok(SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc))) {
        disconnect();
        throw EngineError(FailureKind::CannotOpen, QStringLiteral("Cannot start an ODBC connection"));
    }
    SQLSetConnectAttr(dbc, SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(kLoginTimeoutSeconds), 0);
    std::u16string text = wide(odbcString);
    const SQLRETURN rc =
        SQLDriverConnectW(dbc, nullptr, wideArg(text), SQL_NTS, nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT);
    if (!ok(rc)) {
        m_dbc = dbc;
        try {
            fail(SQL_HANDLE_DBC, dbc, QString(), true);
        } catch (...) {
            SQLFreeHandle(SQL_HANDLE_DBC, dbc);
            m_dbc = nullptr;
            disconnect();
            throw;
        }
    }
    m_dbc = dbc;
    m_manualCommit = false;
    setFamily();
}

void OdbcBackend::setFamily() {
    auto info = [this](SQLUSMALLINT type) {
        SQLWCHAR buffer[256] = {};
        SQLSMALLINT length = 0;
        if (!ok(SQLGetInfoW(m_dbc, type, buffer, sizeof buffer, &length))) return QString();
        return fromWide(buffer, length / static_cast<SQLSMALLINT>(sizeof(SQLWCHAR)));
    };
    m_dbmsName = info(SQL_DBMS_NAME);
    m_driverName = info(SQL_DRIVER_NAME);
    m_dialect = &dialectOf(odbcFamilyOfDbms(m_dbmsName));
}

void OdbcBackend::afterConnect() {
    m_changes = 0;
    SQLUINTEGER mode = SQL_MODE_READ_WRITE;
    if (ok(SQLGetConnectAttr(m_dbc, SQL_ATTR_ACCESS_MODE, &mode, 0, nullptr)))
        m_readOnly = mode == SQL_MODE_READ_ONLY;
    if (m_dialect->family == Dialect::Family::Sqlite) {
        // Without the functions every rendered comparison would fail later, one statement at a
        // time: say so now.
        OdbcRows rows;
        try {
            run("SELECT sarvo_fold('A')", {}, QStringLiteral("SELECT sarvo_fold('A')"), &rows);
        } catch (const EngineError& e) {
            throw EngineError(FailureKind::CannotOpen,
                              QStringLiteral("Cannot open %1: SQLite's driver did not load the extension %2 "
                                             "that the statements need (%3)")
                                  .arg(m_connectionString.describe(), sqliteExtensionPath(), e.description()),
                              e.nativeCode(), e.sqlState());
        }
        run("PRAGMA temp_store = MEMORY", {}, QStringLiteral("PRAGMA temp_store = MEMORY"), &rows);
        if (run("PRAGMA query_only", {}, QStringLiteral("PRAGMA query_only"), &rows) && !rows.rows.empty())
            m_readOnly = m_readOnly || rows.rows.front().front().toLong() != 0;
    } else if (m_dialect->family == Dialect::Family::Postgresql) {
        OdbcRows rows;
        if (run("SHOW transaction_read_only", {}, QStringLiteral("SHOW transaction_read_only"), &rows) &&
            !rows.rows.empty())
            m_readOnly = m_readOnly || rows.rows.front().front().toString() == QLatin1String("on");
    }
}

void OdbcBackend::close() {
    if (!m_dbc) return;
    for (OdbcCursor* c : std::set<OdbcCursor*>(m_cursors))
        c->invalidate();
    m_cursors.clear();
    clearStatements();
    disconnect();
}

void OdbcBackend::disconnect() {
    if (m_dbc) {
        if (m_manualCommit) SQLEndTran(SQL_HANDLE_DBC, m_dbc, SQL_ROLLBACK);
        SQLDisconnect(m_dbc);
        SQLFreeHandle(SQL_HANDLE_DBC, m_dbc);
        m_dbc = nullptr;
    }
    if (m_env) {
        SQLFreeHandle(SQL_HANDLE_ENV, m_env);
        m_env = nullptr;
    }
    m_manualCommit = false;
    m_dbmsName.clear();
}

void OdbcBackend::clearStatements() {
    for (Handle stmt : std::as_const(m_prepared))
        SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    m_prepared.clear();
}

void OdbcBackend::fail(short handleType, Handle handle, const QString& origin, bool connecting) {
    QString sqlState;
    int native = 0;
    QStringList messages;
    for (SQLSMALLINT record = 1;; ++record) {
        SQLWCHAR state[6] = {};
        SQLINTEGER nativeCode = 0;
        SQLWCHAR text[1024] = {};
        SQLSMALLINT length = 0;
        const SQLRETURN rc = SQLGetDiagRecW(handleType, handle, record, state, &nativeCode, text,
                                            static_cast<SQLSMALLINT>(std::size(text)), &length);
        if (!ok(rc)) break;
        const QString s = fromWide(state, 5);
        QString message = plainMessage(fromWide(text, std::min<qsizetype>(length, std::size(text) - 1)));
        // The first record that says more than "general error" names the failure.
        if (sqlState.isEmpty() || (sqlState == QLatin1String("S1000") && s != QLatin1String("S1000"))) {
            sqlState = s;
            native = static_cast<int>(nativeCode);
        }
        if (m_dialect->family == Dialect::Family::Postgresql)
            message = pgServerMessage(s.toLatin1(), message);
        if (!message.isEmpty() && !messages.contains(message)) messages << message;
        if (record > 8) break;
    }
    if (sqlState.isEmpty()) sqlState = QStringLiteral("HY000");
    const QString text = messages.isEmpty() ? QStringLiteral("the driver reported no message")
                                            : messages.join(QStringLiteral("; "));
    const Dialect::Family family = m_dialect->family;
    FailureKind kind = odbcFailureKind(sqlState, native, family, connecting);
    if (connecting)
        throw EngineError(kind, QStringLiteral("Cannot open %1: %2").arg(m_connectionString.describe(), text),
                          native, sqlState);
    SQLUINTEGER dead = SQL_CD_FALSE;
    if (m_dbc && ok(SQLGetConnectAttr(m_dbc, SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr)) &&
        dead == SQL_CD_TRUE)
        kind = FailureKind::LostConnection;
    if (kind == FailureKind::LostConnection) close();
    if (family == Dialect::Family::Sqlite && native == 0 && kind == FailureKind::Other)
        native = kSqliteGeneralError;
    throw EngineError(kind, text + QStringLiteral(" in: ") + origin, native, sqlState);
}

OdbcBackend::Handle OdbcBackend::statement(const QByteArray& sql, const QString& origin) {
    if (const auto found = m_prepared.constFind(sql); found != m_prepared.cend()) {
        Handle stmt = *found;
        m_prepared.erase(found);
        return stmt;
    }
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    if (!ok(SQLAllocHandle(SQL_HANDLE_STMT, m_dbc, &stmt))) fail(SQL_HANDLE_DBC, m_dbc, origin);
    std::u16string text = wide(QString::fromUtf8(sql));
    if (!ok(SQLPrepareW(stmt, wideArg(text), static_cast<SQLINTEGER>(text.size())))) {
        try {
            fail(SQL_HANDLE_STMT, stmt, origin);
        } catch (...) {
            if (m_dbc) SQLFreeHandle(SQL_HANDLE_STMT, stmt);
            throw;
        }
    }
    countPrepare();
    return stmt;
}

void OdbcBackend::releaseStatement(const QByteArray& sql, Handle stmt) {
    if (!m_dbc) return; // it went with the connection
    SQLFreeStmt(stmt, SQL_CLOSE);
    SQLFreeStmt(stmt, SQL_RESET_PARAMS);
    const QString head = upperHead(sql.left(8));
    const bool schema = head.startsWith(QLatin1String("CREATE")) || head.startsWith(QLatin1String("DROP")) ||
                        head.startsWith(QLatin1String("ALTER"));
    if (!m_caching || schema || m_prepared.contains(sql)) {
        SQLFreeHandle(SQL_HANDLE_STMT, stmt);
        return;
    }
    if (m_prepared.size() >= kMaxPrepared) clearStatements();
    m_prepared.insert(sql, stmt);
}

bool OdbcBackend::transactionCommand(const QByteArray& sql, const QString& origin) {
    if (sql.size() > 24) return false;
    const QString head = upperHead(sql);
    const bool begin = head == QLatin1String("BEGIN") || head == QLatin1String("BEGIN TRANSACTION");
    const bool commit = head == QLatin1String("COMMIT") || head == QLatin1String("END") ||
                        head == QLatin1String("COMMIT TRANSACTION");
    const bool rollback = head == QLatin1String("ROLLBACK") || head == QLatin1String("ROLLBACK TRANSACTION");
    if (!begin && !commit && !rollback) return false;
    m_changes = 0;
    if (begin) {
        if (m_manualCommit)
            throw EngineError(FailureKind::Other,
                              QStringLiteral("A transaction is already open in: ") + origin);
        if (!ok(SQLSetConnectAttr(m_dbc, SQL_ATTR_AUTOCOMMIT,
                                  reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0)))
            fail(SQL_HANDLE_DBC, m_dbc, origin);
        m_manualCommit = true;
        return true;
    }
    if (!m_manualCommit) return true; // nothing open: nothing to end, as the engines say with a warning
    const SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, m_dbc, commit ? SQL_COMMIT : SQL_ROLLBACK);
    if (!ok(rc)) fail(SQL_HANDLE_DBC, m_dbc, origin);
    m_manualCommit = false;
    if (!ok(SQLSetConnectAttr(m_dbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON),
                              0)))
        fail(SQL_HANDLE_DBC, m_dbc, origin);
    return true;
}

bool OdbcBackend::run(const QByteArray& sql, const std::vector<SqlValue>& params, const QString& origin,
                      OdbcRows* rows) {
    if (!m_dbc) raise(ErrorCode::ObjectClosed);
    if (transactionCommand(sql, origin)) return false;
    Handle stmt = statement(sql, origin);
    std::vector<Bound> bound(params.size());
    const bool sqlite = m_dialect->family == Dialect::Family::Sqlite;
    auto failHere = [&] {
        try {
            fail(SQL_HANDLE_STMT, stmt, origin);
        } catch (...) {
            if (m_dbc) releaseStatement(sql, stmt); // else it went with the connection
            throw;
        }
    };
    for (size_t i = 0; i < params.size(); ++i) {
        const SqlValue& v = params[i];
        Bound& b = bound[i];
        const auto number = static_cast<SQLUSMALLINT>(i + 1);
        SQLRETURN rc = SQL_SUCCESS;
        switch (v.type) {
        case SqlValue::Type::Null:
            b.indicator = SQL_NULL_DATA;
            rc = SQLBindParameter(stmt, number, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR, 1, 0, nullptr, 0,
                                  &b.indicator);
            break;
        case SqlValue::Type::Integer:
            b.integer = v.integer;
            rc = SQLBindParameter(stmt, number, SQL_PARAM_INPUT, SQL_C_SBIGINT, SQL_BIGINT, 0, 0, &b.integer,
                                  0, nullptr);
            break;
        case SqlValue::Type::Real:
            b.real = v.real;
            rc = SQLBindParameter(stmt, number, SQL_PARAM_INPUT, SQL_C_DOUBLE, SQL_DOUBLE, 0, 0, &b.real, 0,
                                  nullptr);
            break;
        case SqlValue::Type::Text:
            if (sqlite) {
                // SQLite's driver takes character data as UTF-8 as it stands: range bounds keep
                // their bytes beyond any valid text.
                b.indicator = static_cast<SQLLEN>(v.text.size());
                rc = SQLBindParameter(stmt, number, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR,
                                      std::max<SQLULEN>(1, static_cast<SQLULEN>(v.text.size())), 0,
                                      const_cast<char*>(v.text.constData()), b.indicator, &b.indicator);
            } else {
                b.wideText = wide(QString::fromUtf8(v.text));
                b.indicator = static_cast<SQLLEN>(b.wideText.size() * sizeof(char16_t));
                rc = SQLBindParameter(stmt, number, SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_WVARCHAR,
                                      std::max<SQLULEN>(1, b.wideText.size()), 0, b.wideText.data(),
                                      b.indicator, &b.indicator);
            }
            break;
        }
        if (!ok(rc)) failHere();
    }
    const SQLRETURN rc = SQLExecute(stmt);
    if (!ok(rc) && rc != SQL_NO_DATA) failHere();
    bool isQuery = false;
    m_changes = 0;
    // A batch may give several results (counts before rows): the first with columns is the answer.
    for (SQLRETURN more = SQL_SUCCESS; ok(more) && !isQuery;) {
        SQLSMALLINT columns = 0;
        if (rc != SQL_NO_DATA && !ok(SQLNumResultCols(stmt, &columns))) failHere();
        if (columns > 0) {
            isQuery = true;
            try {
                fetchAll(stmt, origin, rows);
            } catch (...) {
                if (m_dbc) releaseStatement(sql, stmt);
                throw;
            }
            break;
        }
        SQLLEN count = 0;
        if (rc != SQL_NO_DATA && ok(SQLRowCount(stmt, &count)) && count > 0) m_changes += count;
        if (rc == SQL_NO_DATA) break;
        more = SQLMoreResults(stmt);
        if (!ok(more) && more != SQL_NO_DATA) failHere();
    }
    releaseStatement(sql, stmt);
    return isQuery;
}

void OdbcBackend::fetchAll(Handle stmt, const QString& origin, OdbcRows* rows) {
    SQLSMALLINT count = 0;
    SQLNumResultCols(stmt, &count);
    std::vector<ColumnKind> kinds;
    rows->names.clear();
    rows->rows.clear();
    for (SQLUSMALLINT c = 1; c <= count; ++c) {
        SQLWCHAR name[256] = {};
        SQLSMALLINT length = 0, type = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        if (!ok(SQLDescribeColW(stmt, c, name, static_cast<SQLSMALLINT>(std::size(name)), &length, &type,
                                &size, &digits, &nullable)))
            fail(SQL_HANDLE_STMT, stmt, origin);
        rows->names << fromWide(name, std::min<qsizetype>(length, std::size(name) - 1));
        kinds.push_back(kindOfSqlType(type));
    }
    const bool utf8 = m_dialect->family == Dialect::Family::Sqlite;
    QByteArray narrow;
    std::u16string wideText;
    for (;;) {
        const SQLRETURN rc = SQLFetch(stmt);
        if (rc == SQL_NO_DATA) break;
        if (!ok(rc)) fail(SQL_HANDLE_STMT, stmt, origin);
        std::vector<Variant> row;
        row.reserve(kinds.size());
        for (SQLUSMALLINT c = 1; c <= count; ++c) {
            const ColumnKind kind = kinds[c - 1];
            SQLLEN indicator = 0;
            if (kind == ColumnKind::Integer) {
                SQLBIGINT v = 0;
                if (!ok(SQLGetData(stmt, c, SQL_C_SBIGINT, &v, 0, &indicator)))
                    fail(SQL_HANDLE_STMT, stmt, origin);
                row.push_back(indicator == SQL_NULL_DATA ? Variant::null() : integerValue(v));
                continue;
            }
            if (kind == ColumnKind::Real) {
                double v = 0;
                if (!ok(SQLGetData(stmt, c, SQL_C_DOUBLE, &v, 0, &indicator)))
                    fail(SQL_HANDLE_STMT, stmt, origin);
                row.push_back(indicator == SQL_NULL_DATA ? Variant::null() : Variant(v));
                continue;
            }
            // Character data, read in pieces as long as the driver has more; true for NULL.
            const auto readText = [&](auto& piece, SQLSMALLINT cType, const auto& append) {
                for (;;) {
                    const SQLRETURN got = SQLGetData(stmt, c, cType, piece, sizeof piece, &indicator);
                    if (got == SQL_NO_DATA) return false;
                    if (!ok(got)) fail(SQL_HANDLE_STMT, stmt, origin);
                    if (indicator == SQL_NULL_DATA) return true;
                    // A piece the rest did not fit in ends in a terminator.
                    const bool truncated = got == SQL_SUCCESS_WITH_INFO &&
                                           (indicator == SQL_NO_TOTAL || indicator >= SQLLEN(sizeof piece));
                    append(piece, truncated ? std::size(piece) - 1 : size_t(indicator) / sizeof piece[0]);
                    if (!truncated) return false;
                }
            };
            bool isNull = false;
            if (utf8) {
                narrow.clear();
                char piece[1024];
                isNull = readText(piece, SQL_C_CHAR,
                                  [&](const char* p, size_t n) { narrow.append(p, qsizetype(n)); });
            } else {
                wideText.clear();
                SQLWCHAR piece[512];
                isNull = readText(piece, SQL_C_WCHAR, [&](const SQLWCHAR* p, size_t n) {
                    wideText.append(reinterpret_cast<const char16_t*>(p), n);
                });
            }
            if (isNull) {
                row.push_back(Variant::null());
                continue;
            }
            const QString text =
                utf8 ? QString::fromUtf8(narrow)
                     : QString::fromUtf16(wideText.data(), static_cast<qsizetype>(wideText.size()));
            row.push_back(kind == ColumnKind::Number ? numberText(text) : Variant(text));
        }
        rows->rows.push_back(std::move(row));
    }
}

std::unique_ptr<Cursor> OdbcBackend::execute(const QByteArray& sql, const std::vector<SqlValue>& params,
                                             const QString& origin) {
    OdbcRows rows;
    if (!run(sql, params, origin, &rows)) return nullptr;
    auto cursor = std::make_unique<OdbcCursor>(this, sql, params, origin, std::move(rows));
    m_cursors.insert(cursor.get());
    return cursor;
}

void OdbcBackend::query(const QByteArray& sql, const std::vector<SqlValue>& params, const QString& origin,
                        OdbcRows* rows) {
    if (!run(sql, params, origin, rows)) rows->names.clear();
}

// ---- schema -------------------------------------------------------------------------------------

std::vector<std::pair<bool, QString>> OdbcBackend::tableNames() {
    std::vector<std::pair<bool, QString>> out;
    OdbcRows rows;
    QByteArray sql;
    switch (m_dialect->family) {
    case Dialect::Family::Sqlite:
        sql = "SELECT 0, name FROM main.sqlite_schema WHERE type = 'table' "
              "UNION ALL SELECT 1, name FROM temp.sqlite_schema WHERE type = 'table'";
        break;
    case Dialect::Family::Postgresql:
        sql = "SELECT CASE WHEN c.relpersistence = 't' THEN 1 ELSE 0 END, c.relname FROM pg_class c "
              "WHERE c.relkind IN ('r', 'p') AND (c.relnamespace = pg_my_temp_schema() OR "
              "c.relnamespace = (SELECT oid FROM pg_namespace WHERE nspname = current_schema()))";
        break;
    case Dialect::Family::SqlServer: {
        // The catalog the ODBC API gives for any engine.
        SQLHSTMT stmt = SQL_NULL_HSTMT;
        if (!ok(SQLAllocHandle(SQL_HANDLE_STMT, m_dbc, &stmt)))
            fail(SQL_HANDLE_DBC, m_dbc, QStringLiteral("SQLTables"));
        std::u16string table = u"TABLE";
        if (ok(SQLTablesW(stmt, nullptr, 0, nullptr, 0, nullptr, 0, wideArg(table), SQL_NTS))) {
            try {
                fetchAll(stmt, QStringLiteral("SQLTables"), &rows);
            } catch (...) {
                SQLFreeHandle(SQL_HANDLE_STMT, stmt);
                throw;
            }
            for (const auto& r : rows.rows)
                out.emplace_back(false, r.at(2).toString());
        }
        SQLFreeHandle(SQL_HANDLE_STMT, stmt);
        return out;
    }
    }
    if (run(sql, {}, QString::fromUtf8(sql), &rows))
        for (const auto& r : rows.rows)
            out.emplace_back(r.at(0).toLong() != 0, r.at(1).toString());
    return out;
}

QList<std::pair<QString, QString>> OdbcBackend::columnsOf(bool temp, const QString& table) {
    QList<std::pair<QString, QString>> out;
    OdbcRows rows;
    switch (m_dialect->family) {
    case Dialect::Family::Sqlite: {
        const QByteArray sql = "SELECT name, type FROM pragma_table_info(?, ?)";
        run(sql,
            {SqlValue::ofText(table),
             SqlValue::ofText(temp ? QStringLiteral("temp") : QStringLiteral("main"))},
            QString::fromUtf8(sql), &rows);
        break;
    }
    case Dialect::Family::Postgresql: {
        const QByteArray sql =
            "SELECT a.attname, format_type(a.atttypid, a.atttypmod) FROM pg_attribute a JOIN pg_class c ON "
            "c.oid = a.attrelid WHERE c.relname = ? AND a.attnum > 0 AND NOT a.attisdropped AND "
            "c.relnamespace = CASE WHEN ? = 1 THEN pg_my_temp_schema() ELSE (SELECT oid FROM pg_namespace "
            "WHERE nspname = current_schema()) END ORDER BY a.attnum";
        run(sql, {SqlValue::ofText(table.toLower()), SqlValue::ofInteger(temp ? 1 : 0)},
            QString::fromUtf8(sql), &rows);
        break;
    }
    case Dialect::Family::SqlServer: {
        if (temp) return out; // the server's temporary tables live in tempdb, beyond this catalog
        SQLHSTMT stmt = SQL_NULL_HSTMT;
        if (!ok(SQLAllocHandle(SQL_HANDLE_STMT, m_dbc, &stmt)))
            fail(SQL_HANDLE_DBC, m_dbc, QStringLiteral("SQLColumns"));
        std::u16string name = wide(table);
        if (ok(SQLColumnsW(stmt, nullptr, 0, nullptr, 0, wideArg(name), SQL_NTS, nullptr, 0))) {
            try {
                fetchAll(stmt, QStringLiteral("SQLColumns"), &rows);
            } catch (...) {
                SQLFreeHandle(SQL_HANDLE_STMT, stmt);
                throw;
            }
            for (const auto& r : rows.rows)
                out.append({r.at(3).toString(), r.at(5).toString()});
        }
        SQLFreeHandle(SQL_HANDLE_STMT, stmt);
        return out;
    }
    }
    for (const auto& r : rows.rows)
        out.append({r.at(0).toString(), r.at(1).toString()});
    return out;
}

void OdbcBackend::loadSchema(SchemaInfo& schema) {
    schema.clear();
    for (const auto& [temp, table] : tableNames())
        loadTable(schema, temp, table);
}

void OdbcBackend::loadTable(SchemaInfo& schema, bool temp, const QString& table) {
    QList<SchemaInfo::Column> columns;
    for (const auto& [name, type] : columnsOf(temp, table)) {
        SchemaInfo::Column c;
        c.name = name;
        c.type = SchemaInfo::typeOfDeclaration(type);
        columns << c;
    }
    if (columns.isEmpty())
        schema.removeTable(temp, table);
    else
        schema.setTable(temp, table, columns);
}

} // namespace sarvo::db
