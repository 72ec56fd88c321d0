// What the statement pipeline does beyond running the plain rendering, and what it counts. The
// benchmark switches the options off to measure what they are worth; tests and the benchmark
// read the counters. Both are reached through Connection::options() and Connection::counters().
#pragma once

#include <QtGlobal>

namespace sarvo::db {

struct PipelineOptions {
    bool cacheStatements = true; // prepare once per shape, bind literals as values
    bool likeRanges = true;      // prefix LIKE as an index range plus the exact test
    bool indexTempTables = true; // index ccode of tables made by select-into
    bool memoJoins = true;       // a hierarchy build's prefix joins answered from one read
};

// Counted since the connection was opened.
struct PipelineCounters {
    qint64 statements = 0;     // T-SQL texts the component executed (Connection::execute)
    qint64 hostStatements = 0; // the host stand-in's own statements (query, command, native)
    qint64 prepares = 0;       // statements the engine compiled, for either
    qint64 rows = 0;           // rows read from the engine, for either
    qint64 memoHits = 0;       // statements answered from a build's memo (JoinMemo)
    qint64 memoBuilds = 0;     // memos built
    qint64 yearReads = 0;      // reads of the year's accounts from the engine into what is kept
    qint64 deferredFills = 0;  // temporary tables made empty by a select-into, to be filled when read
    qint64 lateFills = 0;      // of those, the ones something did read, and so were filled
    qint64 keptBytes = 0;      // not a count: what the rows kept between builds take now
};

} // namespace sarvo::db
