// A PostgreSQL server through libpq. Statements the component sends again and again (queries and
// row writes) are prepared once on the server under a name, keyed by their SQL text and the types
// of their values (int4 or int8, float8, text: a value without a type cannot resolve "$1 + $2"); schema
// statements and transaction control run unnamed. A query's rows stream (PgCursor): the first is
// there as soon as the server sends it; any number of record sets may stay open, the one still
// streaming reading its rest into memory when another statement needs the connection.
//
// Failures keep the server's SQLSTATE and map it to a failure kind (pgFailureKind). A connection
// the server dropped (a restart, pg_terminate_backend, a broken network) fails the statement with
// FailureKind::LostConnection and leaves the backend closed, so the next action opens it again.
// A lock held by another session fails as Busy after kLockTimeoutMs, as on the embedded engine.
// The password of the connection string is handed to libpq and never put in a message.
#pragma once

#include "host/db/Backend.h"
#include "host/db/ConnectionString.h"
#include "host/db/EngineError.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <set>
#include <vector>

struct pg_conn;
struct pg_result;

namespace sarvo::db {

class PgCursor;

class PgBackend : public Backend {
public:
    static constexpr int kLockTimeoutMs = 1000;
    // How long opening waits for a server that does not answer, unless the string says.
    static constexpr int kConnectTimeoutSeconds = 10;

    explicit PgBackend(ConnectionString target);
    ~PgBackend() override;

    QString name() const override { return QStringLiteral("postgresql"); }
    void open() override;
    void close() override;
    bool isOpen() const override { return m_conn != nullptr; }
    bool isReadOnly() const override { return m_readOnly; }
    const Dialect& dialect() const override;
    // Folded texts are compared and indexed in byte order (COLLATE "C").
    bool textComparesAsBytes() const override { return true; }
    void loadSchema(SchemaInfo& schema) override;
    void loadTable(SchemaInfo& schema, bool temp, const QString& table) override;
    std::unique_ptr<Cursor> execute(const QByteArray& sql, const std::vector<SqlValue>& params,
                                    const QString& origin) override;
    qint64 rowsAffected() const override { return m_changes; }
    // Whether a transaction the caller began is open (the snapshot's own is not the caller's).
    bool inTransaction() const override;
    void setStatementCaching(bool on) override;
    // A read-only REPEATABLE READ transaction: every statement until releaseSnapshot reads the
    // snapshot its first statement takes. Refused inside the caller's own transaction and on a
    // database that does not sort text in byte order (the memo merges branches by their bytes).
    bool holdSnapshot() override;
    void releaseSnapshot() override;
    // False once a failed statement or a lost connection ended the snapshot's transaction.
    bool snapshotHeld() const override { return m_snapshot; }

    // The server's process id for this session (0 while closed), for tools and tests.
    int serverProcessId() const;
    // Statements prepared on the server and kept for re-use.
    int preparedCount() const;

    // Used by PgCursor. start sends sql with params and gives its first result (never null; the
    // caller frees it): a query's first row with *streaming set while more may come on the
    // connection, else the whole result; raises EngineError when it failed.
    pg_result* start(const QByteArray& sql, const std::vector<SqlValue>& params, const QString& origin,
                     bool* streaming);
    void streamStarted(PgCursor* cursor) { m_streaming = cursor; }
    // The next result of the query that is streaming (null at its end).
    pg_result* nextResult();
    // The streaming cursor read its last result (failed: the last was a failure).
    void streamEnded(PgCursor* cursor, bool failed);
    // The streaming cursor closes before its end: the server stops, or the rest is read.
    void stopStream(PgCursor* cursor);
    void removeCursor(PgCursor* cursor) { m_cursors.erase(cursor); }
    // Raises the failure of result (freed), closing the backend when the connection is gone.
    [[noreturn]] void fail(pg_result* result, const QString& origin);

private:
    struct Prepared {
        QByteArray name;
        std::vector<unsigned> types; // 0 where the value was null when it was prepared
    };

    pg_result* send(const QByteArray& sql, const std::vector<SqlValue>& params, bool* planChanged,
                    bool* streaming);
    // Lets a streaming cursor read the rest of its rows into memory: the connection is free.
    void settle();
    const Prepared* prepared(const QByteArray& sql, const std::vector<SqlValue>& params, pg_result** error);
    void forget(const QByteArray& sql);
    void clearPrepared();
    void setup();
    void endSnapshot();
    static void receiveNotice(void* self, const pg_result* notice);
    [[noreturn]] void failOpen(const QString& why);

    ConnectionString m_target;
    pg_conn* m_conn = nullptr;
    bool m_caching = true;
    bool m_readOnly = false;
    bool m_bytewiseOrder = false; // the database's default collation sorts text by its bytes
    bool m_snapshot = false;      // the snapshot's transaction is open
    qint64 m_changes = 0;
    int m_nextName = 0;
    QHash<QByteArray, std::vector<Prepared>> m_prepared;
    std::set<PgCursor*> m_cursors;
    QString m_lastFatal;              // the server's message when it ended the session between statements
    PgCursor* m_streaming = nullptr;  // the cursor whose rows are still coming on the connection
    bool m_streamCancellable = false; // its query runs on its own, outside any transaction
};

// The failure kind of an SQLSTATE; connectionBad when the session is gone as well.
FailureKind pgFailureKind(const QByteArray& sqlState, bool connectionBad = false);

} // namespace sarvo::db
