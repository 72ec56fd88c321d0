// The host's database connection, ADO style: the component sends Transact-SQL text through
// Execute; the connection renders it for the engine behind it and hands back a forward-only
// record set for queries. The connection string picks the engine (ConnectionString.h); one
// StatementPipeline over the engine's Backend runs everything, and the host stand-in's own
// statements take the same path with bound values (query, command) or, for schema scripts and
// engine pragmas, in the engine's own SQL (native). Only Execute's texts reach the statement log.
//
// Late-bound members: ConnectionString, State, CursorLocation (properties); Open([text, user,
// password, options]), Close, Execute(text [, recordsAffected [, options]]) returning a
// Recordset object (a closed one for a statement).
//
// Failures raise RuntimeError; those of the database are EngineErrors whose kind() says why
// (EngineError::kindOf(e) on a caught exception).
#pragma once

#include "host/db/EngineError.h"
#include "host/db/PipelineSettings.h"
#include "host/db/SqlValue.h"
#include "runtime/DispatchObject.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace sarvo::db {

class Backend;
class Recordset;
class StatementPipeline;

class Connection : public DispatchObject {
public:
    enum State { Closed = 0, Open = 1 };
    enum CursorLocation { UseServer = 2, UseClient = 3 };

    explicit Connection(QString connectionString = {});
    ~Connection() override;

    QString connectionString() const { return m_connectionString; }
    void setConnectionString(const QString& s) { m_connectionString = s; }
    // The connection string for messages and logs: never the password.
    QString describe() const;

    int state() const;
    // Empty arguments and option -1 reopen with what the connection already holds.
    void open(const QString& connectionString = {}, const QString& user = {}, const QString& password = {},
              int options = -1);
    void close();

    int cursorLocation() const { return m_cursorLocation; }
    void setCursorLocation(int location) { m_cursorLocation = location; }

    // Runs one T-SQL text of the component. Returns the record set of a query, or a closed
    // record set for a statement. Raises RuntimeError (an EngineError for the database's own
    // failures) with the engine's message on failure.
    std::shared_ptr<Recordset> execute(const QString& text, int options = -1);
    // Same without throwing: false and the error in *error.
    bool tryExecute(const QString& text, QString* error = nullptr);
    // The error of the component's last statement when it failed; nothing after a success. A
    // host whose request ended without a word learns from it why the account set would not serve.
    const std::optional<EngineError>& lastFailure() const { return m_lastFailure; }

    // The host's own T-SQL, ? placeholders bound to params in order: a query's record set (a
    // closed one for a statement), or a statement's count of changed rows. Not logged.
    std::shared_ptr<Recordset> query(const QString& tsql, const std::vector<SqlValue>& params = {});
    qint64 command(const QString& tsql, const std::vector<SqlValue>& params = {});
    // One statement in the engine's own SQL (schema scripts, pragmas, query plans). Not logged.
    std::shared_ptr<Recordset> native(const QString& sql, const std::vector<SqlValue>& params = {},
                                      qint64* rowsAffected = nullptr);

    // Statement log: every text exactly as passed to execute, while enabled.
    void setStatementLog(std::function<void(const QString&)> sink) { m_log = std::move(sink); }
    // The same log kept in memory: switch on, read, clear.
    void setStatementLogging(bool on) { m_logging = on; }
    QStringList loggedStatements() const { return m_logged; }
    void clearStatementLog() { m_logged.clear(); }

    // The engine's rendering of a text (literals written in), without running it.
    QString render(const QString& text) const;

    // What the pipeline does beyond the plain rendering; kept across reopening.
    const PipelineOptions& options() const { return m_options; }
    void setOptions(const PipelineOptions& options);
    // Counted since the connection was last opened.
    PipelineCounters counters() const;

    // The engine's name ("sqlite", ...); the connection string's scheme while never opened.
    QString engineName() const;
    // Whether the open connection can only read (a read-only account set).
    bool isReadOnly() const;
    // Whether a transaction begun with native("BEGIN") is open.
    bool inTransaction() const;
    // The engine behind an open connection, for engine-specific tools and tests; null while the
    // string has not been parsed yet.
    Backend* backend() const;

private:
    StatementPipeline& pipeline() const;
    StatementPipeline& openPipeline() const;

    bool m_logging = false;
    QStringList m_logged;
    std::optional<EngineError> m_lastFailure;
    QString m_connectionString;
    int m_cursorLocation = UseServer;
    PipelineOptions m_options;
    mutable std::unique_ptr<StatementPipeline> m_pipeline;
    std::function<void(const QString&)> m_log;
};

} // namespace sarvo::db
