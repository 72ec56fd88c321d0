// Numbered run-time errors of the platform layer. Every failure the component, the host stand-in
// or the data layer reports carries the number the host language or the data layer would use,
// so callers can branch on it (the confirmation path tells "no current row" from the rest).
#pragma once

#include <QString>
#include <exception>
#include <string>

namespace sarvo {

enum class ErrorCode : int {
    InvalidProcedureCall = 5,
    Overflow = 6,
    SubscriptOutOfRange = 9,
    TypeMismatch = 13,
    ObjectVariableNotSet = 91,
    InvalidUseOfNull = 94,
    ObjectDoesNotSupport = 438,
    NoCurrentRecord = 3021,      // BOF or EOF is true, or the current record was deleted
    ItemNotFound = 3265,         // item not found in the collection (unknown field name)
    ObjectClosed = 3704,         // operation not allowed when the object is closed
    ElementNotFound = 35601,     // tree node key or relative missing
    KeyNotUnique = 35602,        // tree node key already in the collection
    DatabaseError = -2147217900, // the provider rejected or could not run the statement
};

class RuntimeError : public std::exception {
public:
    RuntimeError(int number, QString description);
    explicit RuntimeError(ErrorCode code);
    // The standard text followed by what went wrong in this instance.
    RuntimeError(ErrorCode code, const QString& detail);

    int number() const noexcept { return m_number; }
    const QString& description() const noexcept { return m_description; }
    bool is(ErrorCode code) const noexcept { return m_number == static_cast<int>(code); }
    const char* what() const noexcept override { return m_what.c_str(); }

    static QString standardDescription(int number);

private:
    int m_number;
    QString m_description;
    std::string m_what;
};

[[noreturn]] void raise(ErrorCode code);
[[noreturn]] void raise(ErrorCode code, const QString& detail);

} // namespace sarvo
