// One database engine behind the statement pipeline, over the engine's own C client (SQLite's C
// API, libpq, the ODBC API). A backend knows nothing of T-SQL: it runs the engine's own SQL with
// values bound to its placeholders, reads the schema for the renderer, and maps the engine's
// errors to failure kinds (EngineError). Everything above it (shape cache, translation, multi-step
// execution, schema reload, counters, statement log) is shared: StatementPipeline, Connection.
//
// How results come back is the backend's choice, behind Cursor: SQLite steps its statement as the
// caller moves and returns it to a pool at the end; a server backend may fetch a result whole into
// client memory so its prepared statement is free again at once; ODBC may buffer rows.
//
// Errors: every failure raises EngineError with a FailureKind, the native code, the SQLSTATE where
// the engine has one, and a description that ends with " in: " + origin (the caller's text).
#pragma once

#include "host/db/Cursor.h"
#include "host/db/PipelineSettings.h"
#include "host/db/SqlValue.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

namespace sarvo::db {

struct Dialect;
class SchemaInfo;

class Backend {
public:
    virtual ~Backend();

    // "sqlite", "postgresql", "odbc".
    virtual QString name() const = 0;

    // Connects. Raises EngineError: CannotOpen for a missing file, a file that is not a
    // database, an unreachable server or a refused login; Busy when a lock outlasts the timeout.
    virtual void open() = 0;
    // Disconnects; every cursor it handed out reads as closed afterwards. Never throws.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Whether writes are impossible on this connection (a read-only file, folder or server role);
    // they fail with FailureKind::ReadOnly.
    virtual bool isReadOnly() const = 0;

    // The dialect the T-SQL is rendered in; valid once open (an ODBC backend learns it from the
    // driver's DBMS name).
    virtual const Dialect& dialect() const = 0;
    // Whether text columns compare in byte order, so that a LIKE prefix can be served as an index
    // range computed on the UTF-8 bytes of the pattern.
    virtual bool textComparesAsBytes() const = 0;

    // The columns of every table, permanent and temporary, into schema (cleared first).
    virtual void loadSchema(SchemaInfo& schema) = 0;
    // One table again after it was created or dropped (removed from schema when it is gone).
    virtual void loadTable(SchemaInfo& schema, bool temp, const QString& table) = 0;

    // Runs one statement of the engine's SQL (UTF-8) with params bound to its placeholders in
    // order. A statement without result columns runs to its end and gives null (rowsAffected()
    // tells how many rows it changed); a query gives a cursor before its first row. origin is
    // the text the caller passed, for error messages.
    virtual std::unique_ptr<Cursor> execute(const QByteArray& sql, const std::vector<SqlValue>& params,
                                            const QString& origin) = 0;
    // Rows changed by the last statement that execute ran to its end.
    virtual qint64 rowsAffected() const = 0;
    // Whether a transaction the caller began (BEGIN) is open.
    virtual bool inTransaction() const = 0;

    // Whether prepared statements are kept for re-use (keyed by their SQL text); switching drops
    // every kept statement.
    virtual void setStatementCaching(bool on) = 0;

    // Keeps what this connection reads from the database unchanged (a read transaction open, as
    // while a query's rows are being read) until releaseSnapshot, so that rows read once can
    // answer later queries of the same build. False when the engine cannot; then nothing is
    // served from memory.
    virtual bool holdSnapshot() { return false; }
    virtual void releaseSnapshot() {}
    // Whether the snapshot holdSnapshot gave is still held (a server ends it with a failed
    // statement or a lost connection); what was read under it then no longer answers anything.
    virtual bool snapshotHeld() const { return true; }
    // Whether holding a snapshot now keeps no other connection from writing and no write of the
    // caller's is pending (no transaction of its own open): then a temporary table can be filled
    // later, under the snapshot its select read.
    virtual bool canDeferTempFill() const { return false; }
    // While a snapshot is held: a number that differs whenever what an unqualified name of a
    // permanent table reads may have changed since the number was last given (a commit by this
    // connection or any other, a temporary object of that name); none where the engine cannot
    // tell, or inside a transaction the caller began (its own writes are not committed yet).
    virtual std::optional<quint64> contentVersion(const QString& table) {
        Q_UNUSED(table);
        return std::nullopt;
    }

    // The pipeline's counters, which the backend and its cursors add prepares and rows to.
    void setCounters(PipelineCounters* counters) { m_counters = counters; }
    void countPrepare() {
        if (m_counters) ++m_counters->prepares;
    }
    void countRow() {
        if (m_counters) ++m_counters->rows;
    }

private:
    PipelineCounters* m_counters = nullptr;
};

} // namespace sarvo::db
