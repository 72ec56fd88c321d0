// Engine switches and counters of the statement pipeline behind a connection.
#include "bench/EngineSwitches.h"

#include "host/db/Connection.h"

namespace sarvo::bench {

void EngineSwitches::setPlain(db::Connection& connection, bool plain) {
    db::PipelineOptions options;
    options.cacheStatements = options.likeRanges = options.indexTempTables = options.memoJoins = !plain;
    connection.setOptions(options);
}

bool EngineSwitches::isPlain(const db::Connection& connection) {
    const db::PipelineOptions& o = connection.options();
    return !o.cacheStatements && !o.likeRanges && !o.indexTempTables && !o.memoJoins;
}

EngineCounters EngineSwitches::counters(const db::Connection& connection) {
    const db::PipelineCounters& c = connection.counters();
    return {c.statements, c.prepares, c.rows};
}

qint64 EngineSwitches::keptBytes(const db::Connection& connection) {
    return connection.counters().keptBytes;
}

QString EngineSwitches::plainDescription() {
    return QStringLiteral("literals in the text, every statement prepared anew, LIKE without index ranges, "
                          "no index on select-into tables");
}

} // namespace sarvo::bench
