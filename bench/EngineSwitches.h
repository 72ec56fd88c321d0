// The one place where the benchmark reaches into the database engine: the switches that turn the
// engine's own work off (the plain rendering the fast path is compared with) and the counters
// read beside every timing. Everything else in bench/ sees only these few calls.
#pragma once

#include <QString>
#include <QtGlobal>

namespace sarvo::db {
class Connection;
}

namespace sarvo::bench {

struct EngineCounters {
    qint64 statements = 0; // texts executed through the connection
    qint64 prepares = 0;   // engine statements compiled
    qint64 rows = 0;       // rows stepped through

    EngineCounters operator-(const EngineCounters& earlier) const {
        return {statements - earlier.statements, prepares - earlier.prepares, rows - earlier.rows};
    }
};

class EngineSwitches {
public:
    // Plain: literals written into each text, every statement compiled anew, LIKE as a function
    // test without index ranges, no index on tables made by select-into. Off: the engine's
    // defaults.
    static void setPlain(db::Connection& connection, bool plain);
    // What the rows the connection keeps between builds take now, in bytes.
    static qint64 keptBytes(const db::Connection& connection);
    static bool isPlain(const db::Connection& connection);
    static EngineCounters counters(const db::Connection& connection);
    // What "plain" means, for the report.
    static QString plainDescription();
};

} // namespace sarvo::bench
