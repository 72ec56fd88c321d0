// Picks the backend for a connection string by its scheme. SQLite is built in; a server backend
// registers itself under its scheme name when its client library is part of the build. A scheme
// that parses but has no backend in this build is refused with a clear message.
#pragma once

#include "host/db/Backend.h"
#include "host/db/ConnectionString.h"

#include <functional>
#include <memory>

namespace sarvo::db {

class BackendRegistry {
public:
    using Factory = std::function<std::unique_ptr<Backend>(const ConnectionString&)>;

    // A new, closed backend for the string. Raises EngineError (CannotOpen) when the string is
    // malformed or its engine is not available in this build.
    static std::unique_ptr<Backend> create(const QString& connectionString);
    static std::unique_ptr<Backend> create(const ConnectionString& connectionString);

    // Files factory under a scheme name ("postgresql", "odbc"), replacing what was there.
    static void add(const QString& scheme, Factory factory);
    static bool has(const QString& scheme);
};

} // namespace sarvo::db
