// The host's database connection, ADO style: the component sends Transact-SQL text through
// Execute; the connection renders it for the engine behind it and hands back a forward-only
// record set for queries. The engine is chosen by the connection string.
//
// Late-bound members: ConnectionString, State, CursorLocation (properties); Open([text, user,
// password, options]), Close, Execute(text [, recordsAffected [, options]]) returning a
// Recordset object (a closed one for a statement).
#pragma once

#include "runtime/DispatchObject.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace sarvo::db {

class Recordset;
class Engine;

class Connection : public DispatchObject {
public:
    enum State { Closed = 0, Open = 1 };
    enum CursorLocation { UseServer = 2, UseClient = 3 };

    // "sqlite:PATH" (or a bare path) for the embedded default; other engines as they land.
    explicit Connection(QString connectionString = {});
    ~Connection() override;

    QString connectionString() const { return m_connectionString; }
    void setConnectionString(const QString& s) { m_connectionString = s; }

    int state() const;
    // Empty arguments and option -1 reopen with what the connection already holds.
    void open(const QString& connectionString = {}, const QString& user = {}, const QString& password = {},
              int options = -1);
    void close();

    int cursorLocation() const { return m_cursorLocation; }
    void setCursorLocation(int location) { m_cursorLocation = location; }

    // Runs one T-SQL text. Returns the record set of a query, or a closed record set for a
    // statement. Raises RuntimeError (DatabaseError) with the engine's message on failure.
    std::shared_ptr<Recordset> execute(const QString& text, int options = -1);
    // Same without throwing: false and the error in *error.
    bool tryExecute(const QString& text, QString* error = nullptr);

    // Statement log: every text exactly as passed to execute, while enabled.
    void setStatementLog(std::function<void(const QString&)> sink) { m_log = std::move(sink); }
    // The same log kept in memory: switch on, read, clear.
    void setStatementLogging(bool on) { m_logging = on; }
    QStringList loggedStatements() const { return m_logged; }
    void clearStatementLog() { m_logged.clear(); }

    // The engine's rendering of a text (literals written in), without running it.
    QString render(const QString& text) const;

    // The Qt SQL connection behind an open connection, for the host's own parameterized
    // queries; invalid while closed. Each Connection has a connection name of its own.
    QSqlDatabase database() const;

    Engine* engine() const { return m_engine.get(); }

private:
    bool m_logging = false;
    QStringList m_logged;
    QString m_connectionString;
    int m_cursorLocation = UseServer;
    std::unique_ptr<Engine> m_engine;
    std::function<void(const QString&)> m_log;
};

} // namespace sarvo::db
