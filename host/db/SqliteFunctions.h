// SQL functions registered on every SQLite connection so that the SQLite rendering of the
// component's T-SQL keeps the server's meaning: sarvo_like(subject, pattern) is SQL Server's LIKE,
// sarvo_like_lo/sarvo_like_hi(pattern) bound the index range that holds every match.
#pragma once

#include "host/db/LikePattern.h"

#include <QByteArray>
#include <vector>

struct sqlite3;

namespace sarvo::db {

// LIKE patterns compiled lately: a statement tests few patterns (four for the quick filter), and
// the prefix join tests one per outer row against many inner rows.
class SqliteLikeCache {
public:
    const LikePattern& get(const char* utf8, qsizetype size);

private:
    struct Entry {
        QByteArray pattern;
        LikePattern compiled;
    };
    std::vector<Entry> m_entries;
    size_t m_next = 0; // slot replaced next, round robin
};

// Registers the functions on a connection; likeCache must outlive it.
void registerSqliteFunctions(sqlite3* handle, SqliteLikeCache* likeCache);

} // namespace sarvo::db
