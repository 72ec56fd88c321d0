// Standard descriptions of the error numbers the layers raise.
#include "runtime/RuntimeError.h"

namespace sarvo {

namespace {
std::string makeWhat(int number, const QString& description) {
    return (QStringLiteral("Run-time error %1: ").arg(number) + description).toStdString();
}
} // namespace

RuntimeError::RuntimeError(int number, QString description)
    : m_number(number), m_description(std::move(description)), m_what(makeWhat(m_number, m_description)) {}

RuntimeError::RuntimeError(ErrorCode code)
    : RuntimeError(static_cast<int>(code), standardDescription(static_cast<int>(code))) {}

RuntimeError::RuntimeError(ErrorCode code, const QString& detail)
    : RuntimeError(static_cast<int>(code), detail.isEmpty() ? standardDescription(static_cast<int>(code))
                                                            : standardDescription(static_cast<int>(code)) +
                                                                  QStringLiteral(": ") + detail) {}

QString RuntimeError::standardDescription(int number) {
    switch (static_cast<ErrorCode>(number)) {
    case ErrorCode::InvalidProcedureCall:
        return QStringLiteral("Invalid procedure call or argument");
    case ErrorCode::Overflow:
        return QStringLiteral("Overflow");
    case ErrorCode::SubscriptOutOfRange:
        return QStringLiteral("Subscript out of range");
    case ErrorCode::TypeMismatch:
        return QStringLiteral("Type mismatch");
    case ErrorCode::ObjectVariableNotSet:
        return QStringLiteral("Object variable or With block variable not set");
    case ErrorCode::InvalidUseOfNull:
        return QStringLiteral("Invalid use of Null");
    case ErrorCode::ObjectDoesNotSupport:
        return QStringLiteral("Object doesn't support this property or method");
    case ErrorCode::NoCurrentRecord:
        return QStringLiteral("Either BOF or EOF is True, or the current record has been deleted. "
                              "Requested operation requires a current record.");
    case ErrorCode::ItemNotFound:
        return QStringLiteral(
            "Item cannot be found in the collection corresponding to the requested name or ordinal.");
    case ErrorCode::ObjectClosed:
        return QStringLiteral("Operation is not allowed when the object is closed.");
    case ErrorCode::ElementNotFound:
        return QStringLiteral("Element not found");
    case ErrorCode::KeyNotUnique:
        return QStringLiteral("Key is not unique in collection");
    case ErrorCode::DatabaseError:
        return QStringLiteral("The database could not run the statement");
    }
    return QStringLiteral("Application-defined or object-defined error");
}

void raise(ErrorCode code) {
    throw RuntimeError(code);
}
void raise(ErrorCode code, const QString& detail) {
    throw RuntimeError(code, detail);
}

} // namespace sarvo
