// The limit rides on the connection's statement log, which sees every text before it runs.
#include "bench/StatementStop.h"

#include "host/db/Connection.h"
#include "runtime/RuntimeError.h"

namespace sarvo::bench {

namespace {
const QString kText = QStringLiteral("sarvo-bench stopped the change at its time limit");
}

StatementStop::StatementStop(db::Connection& connection, double limitMs)
    : m_connection(connection), m_state(std::make_shared<State>()) {
    m_state->deadline =
        std::chrono::steady_clock::now() + std::chrono::microseconds(static_cast<long long>(limitMs * 1000));
    connection.setStatementLog([state = m_state](const QString&) {
        if (state->fired || std::chrono::steady_clock::now() >= state->deadline) {
            state->fired = true;
            throw RuntimeError(kErrorNumber, kText);
        }
        ++state->statements;
    });
}

StatementStop::~StatementStop() {
    m_connection.setStatementLog({});
}

bool StatementStop::isStopMessage(const QString& text) {
    return text.contains(kText);
}

} // namespace sarvo::bench
