// The functions an SQLite connection needs to run the renderings of Dialect::sqlite(): SQL
// Server's LIKE and the bounds of its index ranges. See SqliteFunctions.h.
#include "host/db/SqliteFunctions.h"

#include <cstring>
#include <sqlite3.h>

namespace sarvo::db {

namespace {

// sarvo_like(subject, pattern): SQL Server's LIKE, patterns compiled through the engine's cache.
void likeFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    auto* cache = static_cast<SqliteLikeCache*>(sqlite3_user_data(ctx));
    const auto* pattern = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
    const LikePattern& compiled = cache->get(pattern, sqlite3_value_bytes(argv[1]));
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    sqlite3_result_int(ctx, compiled.matches(text, sqlite3_value_bytes(argv[0])) ? 1 : 0);
}

// The bounds of the index range of a pattern. Account codes take the ASCII path: the prefix is a
// slice of the pattern itself and nothing is allocated.
void likeLowFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const int n = sqlite3_value_bytes(argv[0]);
    const qsizetype ascii = LikePattern::asciiFixedLength(p, n);
    if (ascii == n || static_cast<unsigned char>(p[ascii]) < 0x80)
        return sqlite3_result_text(ctx, p, static_cast<int>(ascii), SQLITE_TRANSIENT);
    const QByteArray lo = LikePattern::fixedPrefix(QByteArray::fromRawData(p, n));
    sqlite3_result_text(ctx, lo.constData(), static_cast<int>(lo.size()), SQLITE_TRANSIENT);
}

void likeHighFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const int n = sqlite3_value_bytes(argv[0]);
    const qsizetype ascii = LikePattern::asciiFixedLength(p, n);
    if (ascii > 0 && ascii <= 64 && (ascii == n || static_cast<unsigned char>(p[ascii]) < 0x80)) {
        char hi[64];
        std::memcpy(hi, p, static_cast<size_t>(ascii));
        ++hi[ascii - 1];
        return sqlite3_result_text(ctx, hi, static_cast<int>(ascii), SQLITE_TRANSIENT);
    }
    const QByteArray bound = LikePattern::upperBound(LikePattern::fixedPrefix(QByteArray::fromRawData(p, n)));
    sqlite3_result_text(ctx, bound.constData(), static_cast<int>(bound.size()), SQLITE_TRANSIENT);
}

} // namespace

const LikePattern& SqliteLikeCache::get(const char* utf8, qsizetype size) {
    constexpr size_t kSlots = 8;
    for (const Entry& e : m_entries)
        if (e.pattern.size() == size &&
            std::memcmp(e.pattern.constData(), utf8, static_cast<size_t>(size)) == 0)
            return e.compiled;
    QByteArray pattern(utf8, size);
    if (m_entries.size() < kSlots) {
        m_entries.push_back({pattern, LikePattern(pattern)});
        return m_entries.back().compiled;
    }
    Entry& e = m_entries[m_next];
    m_next = (m_next + 1) % kSlots;
    e.compiled = LikePattern(pattern);
    e.pattern = pattern;
    return e.compiled;
}

void registerSqliteFunctions(sqlite3* handle, SqliteLikeCache* likeCache) {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    sqlite3_create_function_v2(handle, "sarvo_like", 2, flags, likeCache, likeFunction, nullptr, nullptr,
                               nullptr);
    sqlite3_create_function_v2(handle, "sarvo_like_lo", 1, flags, nullptr, likeLowFunction, nullptr, nullptr,
                               nullptr);
    sqlite3_create_function_v2(handle, "sarvo_like_hi", 1, flags, nullptr, likeHighFunction, nullptr, nullptr,
                               nullptr);
}

} // namespace sarvo::db
