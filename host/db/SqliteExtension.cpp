// The functions of SqliteFunctions as a loadable SQLite extension (sarvo_sqlite.so), for SQLite
// connections this library does not open itself: SQLite's ODBC driver loads it (LoadExt), and so
// can the sqlite3 shell (".load"). Built from the same sources as the library. It calls SQLite
// directly rather than through the extension's routine table, so the process must use the system's
// SQLite library, as that driver and the shell do.
#include "host/db/SqliteFunctions.h"

#include <sqlite3.h>

namespace {

// Each connection gets its own LIKE cache, deleted with the connection: SQLite destroys a
// function's user data when the connection closes.
void cacheMarker(sqlite3_context* ctx, int, sqlite3_value**) {
    sqlite3_result_int(ctx, 1);
}

void deleteCache(void* cache) {
    delete static_cast<sarvo::db::SqliteLikeCache*>(cache);
}

} // namespace

extern "C" __attribute__((visibility("default"))) int sqlite3_extension_init(sqlite3* db, char** errorMessage,
                                                                             const void* /*routines*/) {
    auto* cache = new sarvo::db::SqliteLikeCache;
    if (sqlite3_create_function_v2(db, "sarvo_extension", 0, SQLITE_UTF8 | SQLITE_DETERMINISTIC, cache,
                                   cacheMarker, nullptr, nullptr, deleteCache) != SQLITE_OK) {
        delete cache; // not handed over: SQLite calls deleteCache only once it holds the function
        if (errorMessage) *errorMessage = sqlite3_mprintf("sarvo_sqlite: cannot register functions");
        return SQLITE_ERROR;
    }
    sarvo::db::registerSqliteFunctions(db, cache);
    // The renderings quote names with double quotes: a misspelt name must fail, not turn into text.
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    return SQLITE_OK;
}
