// A database reached through the ODBC API (the unixODBC driver manager here): "odbc:" and a data
// source name or a full connection string. The driver's DBMS name picks the dialect once connected:
// PostgreSQL and SQLite get their renderings, SQL Server its own T-SQL as the component wrote it.
//
// Statements are prepared once per SQL text and kept; values are bound with their types (whole
// number, real, text). A query's rows are read whole into memory on execute, so its statement is
// free again at once: drivers that allow one active result per connection still run the nested
// statements of a hierarchy build. Transactions: "BEGIN", "COMMIT" and "ROLLBACK" switch the
// connection's auto-commit and end the transaction the ODBC way.
//
// SQLite through its ODBC driver: the rendering calls the functions of SqliteFunctions, which a
// plain driver does not have, so the connection string gets the loadable extension that holds them
// (LoadExt) and the busy timeout of the embedded engine, unless it names them itself.
//
// Errors: SQLSTATE and native code kept; the kind from the SQLSTATE (for SQLite's driver, which
// reports most failures as HY000, from SQLite's own result code). A broken link (08S01 and the
// like) closes the backend, so the connection reads as closed and the next action reconnects.
#pragma once

#include "host/db/Backend.h"
#include "host/db/ConnectionString.h"
#include "host/db/Dialect.h"
#include "host/db/EngineError.h"
#include "runtime/Variant.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <set>
#include <vector>

namespace sarvo::db {

class OdbcCursor;

// The rows of one query, read whole.
struct OdbcRows {
    QStringList names;
    std::vector<std::vector<Variant>> rows;
};

class OdbcBackend : public Backend {
public:
    // How long connecting waits for a server that does not answer.
    static constexpr int kLoginTimeoutSeconds = 5;
    // SQLite through ODBC waits for another connection's lock as long as the embedded engine does.
    static constexpr int kSqliteBusyTimeoutMs = 1000;

    explicit OdbcBackend(ConnectionString connectionString);
    ~OdbcBackend() override;

    QString name() const override { return QStringLiteral("odbc"); }
    void open() override;
    void close() override;
    bool isOpen() const override { return m_dbc != nullptr; }
    bool isReadOnly() const override { return m_readOnly; }
    const Dialect& dialect() const override;
    bool textComparesAsBytes() const override;
    void loadSchema(SchemaInfo& schema) override;
    void loadTable(SchemaInfo& schema, bool temp, const QString& table) override;
    std::unique_ptr<Cursor> execute(const QByteArray& sql, const std::vector<SqlValue>& params,
                                    const QString& origin) override;
    qint64 rowsAffected() const override { return m_changes; }
    bool inTransaction() const override { return m_dbc && m_manualCommit; }
    void setStatementCaching(bool on) override;

    // What the driver reported as SQL_DBMS_NAME ("PostgreSQL", "SQLite", ...); empty while closed.
    const QString& dbmsName() const { return m_dbmsName; }
    // The driver's own name (SQL_DRIVER_NAME), for messages.
    const QString& driverName() const { return m_driverName; }

    // Used by OdbcCursor: runs a query again into rows.
    void query(const QByteArray& sql, const std::vector<SqlValue>& params, const QString& origin,
               OdbcRows* rows);
    void removeCursor(OdbcCursor* cursor) { m_cursors.erase(cursor); }

private:
    using Handle = void*;

    void connect(const QString& odbcString);
    void disconnect();
    void setFamily();
    void afterConnect();
    // Runs sql; fills rows for a query (and returns true), else sets m_changes.
    bool run(const QByteArray& sql, const std::vector<SqlValue>& params, const QString& origin,
             OdbcRows* rows);
    Handle statement(const QByteArray& sql, const QString& origin);
    void releaseStatement(const QByteArray& sql, Handle stmt);
    void clearStatements();
    void fetchAll(Handle stmt, const QString& origin, OdbcRows* rows);
    bool transactionCommand(const QByteArray& sql, const QString& origin);
    std::vector<std::pair<bool, QString>> tableNames();
    QList<std::pair<QString, QString>> columnsOf(bool temp, const QString& table);
    // The diagnostics of a failed call as an EngineError; closes the backend when the link broke.
    [[noreturn]] void fail(short handleType, Handle handle, const QString& origin, bool connecting = false);

    ConnectionString m_connectionString;
    Handle m_env = nullptr;
    Handle m_dbc = nullptr;
    QString m_dbmsName, m_driverName;
    const Dialect* m_dialect = &Dialect::sqlServer();
    bool m_readOnly = false;
    bool m_manualCommit = false;
    bool m_caching = true;
    qint64 m_changes = 0;
    QHash<QByteArray, Handle> m_prepared; // idle prepared statements by SQL text
    std::set<OdbcCursor*> m_cursors;
};

// The dialect family of a driver's DBMS name: SQLite and PostgreSQL by name, anything else is
// taken for the server whose T-SQL the component writes.
Dialect::Family odbcFamilyOfDbms(const QString& dbmsName);

// The failure kind of an ODBC diagnostic: SQLSTATE first; for SQLite's driver the native code
// (SQLite's result code) decides a general error. While connecting, every failure is CannotOpen.
FailureKind odbcFailureKind(const QString& sqlState, int nativeCode, Dialect::Family family, bool connecting);

// A driver connection string with KEY=value added when no pair of that key (any case) is there.
QString odbcWithDefault(const QString& connectionString, const QString& key, const QString& value);

// Where the SQLite extension with the rendering's functions is: SARVO_SQLITE_EXTENSION, else next
// to this library.
QString sqliteExtensionPath();

} // namespace sarvo::db
