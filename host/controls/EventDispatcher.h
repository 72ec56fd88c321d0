// The one road from a control event to the form's handler. A run-time error (or any other
// exception) that escapes the handler ends the handler there, keeps what it did before, and is
// passed once to the form's error reporter; dispatch itself never throws, so no exception ever
// reaches Qt's event loop. A dispatch made inside another handler catches its own failure.
#pragma once

#include <QString>
#include <exception>
#include <functional>

namespace sarvo::controls {

class EventDispatcher {
public:
    // error is what the handler threw when it was a standard exception (a RuntimeError among them),
    // so that a reporter can tell kinds of failure apart; null otherwise.
    using ErrorReporter =
        std::function<void(int number, const QString& description, const std::exception* error)>;

    void setErrorReporter(ErrorReporter reporter) { m_reporter = std::move(reporter); }
    void dispatch(const char* handlerName, const std::function<void()>& handler) const noexcept;

    // The numbers given to failures that carry no run-time error number of their own.
    static constexpr int kOutOfMemory = 7;
    static constexpr int kInternalError = 51;

private:
    void report(const char* handlerName, int number, const QString& description,
                const std::exception* error) const noexcept;

    ErrorReporter m_reporter;
};

} // namespace sarvo::controls
