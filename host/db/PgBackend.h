// A PostgreSQL server through libpq. Statements the component sends again and again (queries and
// row writes) are prepared once on the server under a name, keyed by their SQL text and the types
// of their values (int4 or int8, float8, text: a value without a type cannot resolve "$1 + $2"); schema
// statements and transaction control run unnamed. A result is fetched whole into client memory,
// so the server's statement is free again at once and any number of record sets may stay open.
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
    bool inTransaction() const override;
    void setStatementCaching(bool on) override;

    // The server's process id for this session (0 while closed), for tools and tests.
    int serverProcessId() const;
    // Statements prepared on the server and kept for re-use.
    int preparedCount() const;

    // Used by PgCursor: runs sql with params and gives the server's whole result (never null;
    // the caller frees it), or raises EngineError.
    pg_result* run(const QByteArray& sql, const std::vector<SqlValue>& params, const QString& origin);
    void removeCursor(PgCursor* cursor) { m_cursors.erase(cursor); }

private:
    struct Prepared {
        QByteArray name;
        std::vector<unsigned> types; // 0 where the value was null when it was prepared
    };

    pg_result* runOnce(const QByteArray& sql, const std::vector<SqlValue>& params, bool* planChanged);
    const Prepared* prepared(const QByteArray& sql, const std::vector<SqlValue>& params, pg_result** error);
    void forget(const QByteArray& sql);
    void clearPrepared();
    void setup();
    [[noreturn]] void fail(pg_result* result, const QString& origin);
    [[noreturn]] void failOpen(const QString& why);

    ConnectionString m_target;
    pg_conn* m_conn = nullptr;
    bool m_caching = true;
    bool m_readOnly = false;
    qint64 m_changes = 0;
    int m_nextName = 0;
    QHash<QByteArray, std::vector<Prepared>> m_prepared;
    std::set<PgCursor*> m_cursors;
};

// The failure kind of an SQLSTATE; connectionBad when the session is gone as well.
FailureKind pgFailureKind(const QByteArray& sqlState, bool connectionBad = false);

} // namespace sarvo::db
