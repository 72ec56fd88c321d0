// Engine switches and counters of the embedded SQLite engine behind a connection.
#include "bench/EngineSwitches.h"

#include "host/db/Connection.h"
#include "host/db/SqliteEngine.h"
#include "runtime/RuntimeError.h"

namespace sarvo::bench {

namespace {

db::SqliteEngine& sqliteEngine(const db::Connection& connection) {
    auto* engine = dynamic_cast<db::SqliteEngine*>(connection.engine());
    if (!engine)
        raise(ErrorCode::InvalidProcedureCall,
              QStringLiteral("the benchmark's engine switches need an open SQLite connection"));
    return *engine;
}

} // namespace

void EngineSwitches::setPlain(db::Connection& connection, bool plain) {
    db::SqliteEngine::Options options;
    options.cacheStatements = options.likeRanges = options.indexTempTables = !plain;
    sqliteEngine(connection).setOptions(options);
}

bool EngineSwitches::isPlain(const db::Connection& connection) {
    const auto& o = sqliteEngine(connection).options();
    return !o.cacheStatements && !o.likeRanges && !o.indexTempTables;
}

EngineCounters EngineSwitches::counters(const db::Connection& connection) {
    const auto& c = sqliteEngine(connection).counters();
    return {c.statements, c.prepares, c.rows};
}

QString EngineSwitches::plainDescription() {
    return QStringLiteral("literals in the text, every statement prepared anew, LIKE without index ranges, "
                          "no index on select-into tables");
}

} // namespace sarvo::bench
