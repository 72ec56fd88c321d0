// SQL functions registered on every SQLite connection so that the SQLite rendering of T-SQL keeps
// the server's meaning (SqliteRenderer.h). Registered on the connection, used in statements only:
// the account-set file holds nothing that needs them, so any program can read and write it.
//
//   sarvo_like(s, p [, esc])       the server's LIKE under its collation
//   sarvo_cmp(a, b)                <0, 0, >0 under the collation (trailing blanks ignored)
//   sarvo_fold(s)                  s folded as the collation compares it (temporary-table indexes)
//   sarvo_fold_lo/hi(p)            the range of folded texts that can match LIKE p
//   sarvo_lo(k, m), sarvo_hi(k, m, widen)  the range of stored texts in k's least forms (m: 0 for
//                                  a LIKE pattern, 1 for "="), hi the end of all texts when widen
//   sarvo_variants(k, m)           table of the ranges of k's other forms (lo, hi)
//   sarvo_int(x), sarvo_real(x), sarvo_datetime(x)  the server's conversions, failing as it fails
//   sarvo_charindex(f, s [, start]), sarvo_replace(s, f, r), sarvo_upper(s), sarvo_lower(s)
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
    const LikePattern& get(const char* utf8, qsizetype size, char32_t escape = 0);

private:
    struct Entry {
        QByteArray pattern;
        char32_t escape;
        LikePattern compiled;
    };
    std::vector<Entry> m_entries;
    size_t m_next = 0; // slot replaced next, round robin
};

// Registers the functions on a connection; likeCache must outlive it.
void registerSqliteFunctions(sqlite3* handle, SqliteLikeCache* likeCache);

} // namespace sarvo::db
