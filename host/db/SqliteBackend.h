// The embedded default engine: an SQLite file through SQLite's C API. Statements are prepared once
// per SQL text and kept in a pool for re-use; queries are stepped lazily by SqliteCursor, which
// gives its statement back when its rows are done. SQL Server's LIKE and its index range are
// registered functions (SqliteFunctions).
//
// Opening: a file this process cannot write, or one in a folder where it cannot write, is opened
// read-only, so that reading works and every write fails at once with FailureKind::ReadOnly. A
// WAL database in such a folder whose shared-memory file is missing can only be read as an
// immutable file (nobody can write it there). Every connection waits at most kBusyTimeoutMs for
// another process's lock, then fails with FailureKind::Busy; temporary tables live in memory.
#pragma once

#include "host/db/Backend.h"
#include "host/db/EngineError.h"
#include "host/db/SqliteFunctions.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <set>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace sarvo::db {

class SqliteCursor;

class SqliteBackend : public Backend {
public:
    // How long a statement waits for another connection's lock before it fails as busy: long
    // enough for a colleague's short write to finish, short enough not to freeze a window.
    static constexpr int kBusyTimeoutMs = 1000;

    enum class OpenMode { ReadWrite, ReadOnly, Immutable };

    explicit SqliteBackend(QString path);
    ~SqliteBackend() override;

    QString name() const override { return QStringLiteral("sqlite"); }
    void open() override;
    void close() override;
    bool isOpen() const override { return m_handle != nullptr; }
    bool isReadOnly() const override { return m_mode != OpenMode::ReadWrite; }
    const Dialect& dialect() const override;
    bool textComparesAsBytes() const override { return m_utf8; }
    void loadSchema(SchemaInfo& schema) override;
    void loadTable(SchemaInfo& schema, bool temp, const QString& table) override;
    std::unique_ptr<Cursor> execute(const QByteArray& sql, const std::vector<SqlValue>& params,
                                    const QString& origin) override;
    qint64 rowsAffected() const override { return m_changes; }
    bool inTransaction() const override;
    void setStatementCaching(bool on) override;
    bool holdSnapshot() override;
    void releaseSnapshot() override;
    bool canDeferTempFill() const override;
    std::optional<quint64> contentVersion(const QString& table) override;

    const QString& path() const { return m_path; }
    OpenMode openMode() const { return m_mode; }
    sqlite3* handle() const { return m_handle; }

    // Used by SqliteCursor.
    // A prepared statement for sql with params bound; from the pool when one is idle.
    sqlite3_stmt* checkout(const QByteArray& sql, const std::vector<SqlValue>& params, const QString& origin);
    void checkin(const QByteArray& sql, sqlite3_stmt* stmt);
    void addCursor(SqliteCursor* cursor) { m_cursors.insert(cursor); }
    void removeCursor(SqliteCursor* cursor) { m_cursors.erase(cursor); }
    // The connection's last error as an EngineError, the message ending in " in: " + origin.
    [[noreturn]] void fail(const QString& origin) const;

private:
    void openAs(OpenMode mode);
    void closeHandle();
    void detachCursors();
    void clearStatementCache();

    QString m_path;
    OpenMode m_mode = OpenMode::ReadWrite;
    bool m_caching = true;
    sqlite3* m_handle = nullptr;
    QHash<QByteArray, std::vector<sqlite3_stmt*>> m_idle; // prepared, ready for re-use
    std::set<SqliteCursor*> m_cursors;
    qint64 m_changes = 0;
    bool m_utf8 = true; // byte order equals character order only in UTF-8 databases
    SqliteLikeCache m_likeCache;
    sqlite3_stmt* m_pin = nullptr; // stepped once and left open while a snapshot is held
    mutable sqlite3_stmt* m_journalMode = nullptr;
    sqlite3_stmt* m_tempObject = nullptr; // whether a temporary object has a name
};

// The failure kind of an SQLite result code (extended or primary).
FailureKind sqliteFailureKind(int resultCode);

} // namespace sarvo::db
