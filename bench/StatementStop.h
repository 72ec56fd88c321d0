// A time limit on one change's statements: once armed, the connection's next statement after the
// limit raises run-time error 18 instead of running, so a change on the plain rendering that
// would take minutes ends at the limit. The dialog reports the error like any other; the message
// is recognisable and not counted as a problem of the run.
#pragma once

#include <QString>
#include <chrono>
#include <memory>

namespace sarvo::db {
class Connection;
}

namespace sarvo::bench {

class StatementStop {
public:
    static constexpr int kErrorNumber = 18; // user interrupt

    // Arms the limit, counted from now; the destructor disarms it.
    StatementStop(db::Connection& connection, double limitMs);
    ~StatementStop();
    StatementStop(const StatementStop&) = delete;
    StatementStop& operator=(const StatementStop&) = delete;

    bool fired() const { return m_state->fired; }
    // Statements let through before the limit.
    qint64 statements() const { return m_state->statements; }

    // Whether a message the dialog showed is the report of a stop.
    static bool isStopMessage(const QString& text);

private:
    struct State {
        std::chrono::steady_clock::time_point deadline;
        bool fired = false;
        qint64 statements = 0;
    };
    db::Connection& m_connection;
    std::shared_ptr<State> m_state;
};

} // namespace sarvo::bench
