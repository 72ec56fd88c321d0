// A failure reported by the database layer, classified so that callers can say why a statement
// failed without parsing engine messages: the account set is busy, read-only, gone, and so on.
// It is a RuntimeError (number DatabaseError, or 3021 for a missing current row) that also
// keeps the engine's own code and SQLSTATE.
//
// Reading the kind where a RuntimeError or std::exception was caught:
//     if (auto kind = db::EngineError::kindOf(e)) ... *kind == db::FailureKind::Busy ...
#pragma once

#include "runtime/RuntimeError.h"

#include <optional>

namespace sarvo::db {

enum class FailureKind {
    NoRow,          // the record set has no current row
    Busy,           // another connection holds a lock the statement needs; try again later
    ReadOnly,       // the database was opened (or is) read-only; nothing can be written
    LostConnection, // the connection to the server broke; reopening may help
    Syntax,         // the statement cannot be parsed, rendered or compiled by the engine
    Constraint,     // a key, NOT NULL or CHECK refused the row
    CannotOpen,     // missing file, not a database, unreachable server, refused login
    DiskFull,       // the disk or the database reached its size limit
    Other
};

class EngineError : public RuntimeError {
public:
    // description follows the standard text of the number ("...: description").
    EngineError(FailureKind kind, const QString& description, int nativeCode = 0, QString sqlState = {},
                ErrorCode number = ErrorCode::DatabaseError);
    // A run-time error of the layer classified after the fact: number and description kept.
    EngineError(FailureKind kind, const RuntimeError& error, QString sqlState = {});

    FailureKind kind() const noexcept { return m_kind; }
    // The engine's own error code (SQLite's extended result code, a server's native error number).
    int nativeCode() const noexcept { return m_nativeCode; }
    // Five-character SQLSTATE where the engine reports one (servers, ODBC); empty for SQLite.
    const QString& sqlState() const noexcept { return m_sqlState; }

    // The kind of a caught failure; nothing when it did not come from the database layer.
    static std::optional<FailureKind> kindOf(const std::exception& e);

private:
    FailureKind m_kind;
    int m_nativeCode;
    QString m_sqlState;
};

// A short stable name of the kind ("busy", "read-only", ...), for logs, JSON and tests.
QString failureKindName(FailureKind kind);
// One line for a user: what the kind means for the account set.
QString failureKindText(FailureKind kind);

} // namespace sarvo::db
