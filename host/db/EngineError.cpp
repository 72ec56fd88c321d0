// Classified database failures; see EngineError.h.
#include "host/db/EngineError.h"

namespace sarvo::db {

EngineError::EngineError(FailureKind kind, const QString& description, int nativeCode, QString sqlState,
                         ErrorCode number)
    : RuntimeError(number, description), m_kind(kind), m_nativeCode(nativeCode),
      m_sqlState(std::move(sqlState)) {}

EngineError::EngineError(FailureKind kind, const RuntimeError& error, QString sqlState)
    : RuntimeError(error.number(), error.description()), m_kind(kind), m_nativeCode(0),
      m_sqlState(std::move(sqlState)) {}

std::optional<FailureKind> EngineError::kindOf(const std::exception& e) {
    if (const auto* engine = dynamic_cast<const EngineError*>(&e)) return engine->kind();
    return std::nullopt;
}

QString failureKindName(FailureKind kind) {
    switch (kind) {
    case FailureKind::NoRow:
        return QStringLiteral("no-row");
    case FailureKind::Busy:
        return QStringLiteral("busy");
    case FailureKind::ReadOnly:
        return QStringLiteral("read-only");
    case FailureKind::LostConnection:
        return QStringLiteral("lost-connection");
    case FailureKind::Syntax:
        return QStringLiteral("syntax");
    case FailureKind::Constraint:
        return QStringLiteral("constraint");
    case FailureKind::CannotOpen:
        return QStringLiteral("cannot-open");
    case FailureKind::DiskFull:
        return QStringLiteral("disk-full");
    case FailureKind::Other:
        break;
    }
    return QStringLiteral("other");
}

QString failureKindText(FailureKind kind) {
    switch (kind) {
    case FailureKind::NoRow:
        return QStringLiteral("the row asked for is not there");
    case FailureKind::Busy:
        return QStringLiteral("the account set is busy: another user is writing to it");
    case FailureKind::ReadOnly:
        return QStringLiteral("the account set is read-only");
    case FailureKind::LostConnection:
        return QStringLiteral("the connection to the database was lost");
    case FailureKind::Syntax:
        return QStringLiteral("the statement cannot be run on this database");
    case FailureKind::Constraint:
        return QStringLiteral("the database refused the row");
    case FailureKind::CannotOpen:
        return QStringLiteral("the account set cannot be opened");
    case FailureKind::DiskFull:
        return QStringLiteral("the disk is full");
    case FailureKind::Other:
        break;
    }
    return QStringLiteral("the database failed");
}

} // namespace sarvo::db
