// Backends by scheme; see BackendRegistry.h.
#include "host/db/BackendRegistry.h"

#include "host/db/EngineError.h"
#include "host/db/SqliteBackend.h"

#include <QHash>
#include <mutex>

namespace sarvo::db {

namespace {

struct Registry {
    std::mutex mutex;
    QHash<QString, BackendRegistry::Factory> factories;
};

Registry& registry() {
    static Registry r;
    static std::once_flag builtIn;
    std::call_once(builtIn, [] {
        r.factories.insert(QStringLiteral("sqlite"), [](const ConnectionString& c) {
            return std::make_unique<SqliteBackend>(c.path());
        });
    });
    return r;
}

// What a developer installs to get an engine this build lacks.
QString missingHint(ConnectionString::Scheme scheme) {
    switch (scheme) {
    case ConnectionString::Scheme::PostgreSql:
        return QStringLiteral("PostgreSQL's client library, libpq");
    case ConnectionString::Scheme::Odbc:
        return QStringLiteral("the ODBC driver manager, unixODBC");
    case ConnectionString::Scheme::Sqlite:
        break;
    }
    return QStringLiteral("SQLite");
}

} // namespace

std::unique_ptr<Backend> BackendRegistry::create(const QString& connectionString) {
    return create(ConnectionString::parse(connectionString));
}

std::unique_ptr<Backend> BackendRegistry::create(const ConnectionString& c) {
    Factory factory;
    {
        Registry& r = registry();
        std::lock_guard lock(r.mutex);
        factory = r.factories.value(c.schemeName());
    }
    if (!factory)
        throw EngineError(FailureKind::CannotOpen,
                          QStringLiteral("The %1 engine is not available in this build (it needs %2): %3")
                              .arg(c.schemeName(), missingHint(c.scheme()), c.describe()));
    return factory(c);
}

void BackendRegistry::add(const QString& scheme, Factory factory) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    r.factories.insert(scheme, std::move(factory));
}

bool BackendRegistry::has(const QString& scheme) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    return r.factories.contains(scheme);
}

} // namespace sarvo::db
