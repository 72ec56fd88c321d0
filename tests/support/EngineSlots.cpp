// The engines the suites run over; see EngineSlots.h.
#include "tests/support/EngineSlots.h"

#include "data/AccountSetTemplate.h"
#include "host/db/Backend.h"
#include "host/db/BackendRegistry.h"
#include "host/db/Connection.h"
#include "host/db/Dialect.h"

#include "data/ServerAccountSet.h"
#include "data/SqlScript.h"
#include "host/db/Recordset.h"
#include "runtime/RuntimeError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <memory>

namespace sarvo::testing {

namespace {

// The databases this test program made on the PostgreSQL test server, dropped when it ends. An
// account set is made once per server (ServerAccountSet) and copied for each test: a copy takes a
// tenth of a second where loading takes seconds.
class PostgresqlTestServer {
public:
    static PostgresqlTestServer& instance() {
        static PostgresqlTestServer server;
        return server;
    }

    ~PostgresqlTestServer() {
        try {
            for (const QString& name : m_made)
                admin().native(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
        } catch (...) {
        }
    }

    QString create(const QString& templateName) {
        const QString name =
            QStringLiteral("sarvo_t%1_%2").arg(QCoreApplication::applicationPid()).arg(++m_count);
        const QString source = templateName.isEmpty() ? QStringLiteral("template0")
                                                      : data::ServerAccountSet::databaseName(templateName);
        if (!templateName.isEmpty() && !m_ensured.contains(source)) {
            data::ServerAccountSet::ensure(url(), templateName);
            m_ensured << source;
        }
        admin().native(QStringLiteral("CREATE DATABASE %1 TEMPLATE %2 STRATEGY FILE_COPY").arg(name, source));
        m_made << name;
        return data::ServerAccountSet::withDatabase(url(), name);
    }

private:
    static QString url() { return qEnvironmentVariable("SARVO_TEST_POSTGRESQL"); }

    db::Connection& admin() {
        if (!m_admin) m_admin = std::make_unique<db::Connection>(url());
        if (m_admin->state() == db::Connection::Closed) m_admin->open();
        return *m_admin;
    }

    std::unique_ptr<db::Connection> m_admin;
    QStringList m_made;
    QStringList m_ensured; // account sets known to be on the server
    int m_count = 0;
};

// A server slot: the backend must be in the build, and the variable must name a server on which
// the tests may create databases (the CI script starts a private one and sets it).
EngineSlot serverSlot(const QString& name, const char* variable, const QString& install) {
    EngineSlot slot;
    slot.name = name;
    slot.dialect = name;
    slot.unavailable = [=] {
        if (!db::BackendRegistry::has(name))
            return QStringLiteral("the %1 engine is not in this build: install %2 and build again")
                .arg(name, install);
        if (qEnvironmentVariableIsEmpty(variable))
            return QStringLiteral("no %1 server to test against: set %2 to its connection string")
                .arg(name, variable);
        return QString();
    };
    slot.newDatabase = [=](const QString&, const QString&) -> QString {
        ADD_FAILURE() << "making a database on a " << name.toStdString() << " server is not written yet";
        return qEnvironmentVariable(variable);
    };
    return slot;
}

EngineSlot postgresqlSlot() {
    EngineSlot slot =
        serverSlot(QStringLiteral("postgresql"), "SARVO_TEST_POSTGRESQL", QStringLiteral("libpq-dev"));
    slot.unavailable = [] {
        if (!db::BackendRegistry::has(QStringLiteral("postgresql")))
            return QStringLiteral(
                "the postgresql engine is not in this build: install libpq-dev and build again");
        if (qEnvironmentVariableIsEmpty("SARVO_TEST_POSTGRESQL"))
            return QStringLiteral("no postgresql server to test against: install postgresql (./run test then "
                                  "starts a private one) or set SARVO_TEST_POSTGRESQL to a server's "
                                  "connection string");
        return QString();
    };
    slot.newDatabase = [](const QString&, const QString&) { return newPostgresqlDatabase(); };
    slot.newAccountSet = [](const QString&, const QString&, const QString& templateName) {
        return newPostgresqlDatabase(templateName);
    };
    return slot;
}

} // namespace

const std::vector<EngineSlot>& engineSlots() {
    static const std::vector<EngineSlot> known = [] {
        EngineSlot sqlite;
        sqlite.name = QStringLiteral("sqlite");
        sqlite.dialect = sqlite.name;
        sqlite.unavailable = [] { return QString(); };
        sqlite.newDatabase = [](const QString& folder, const QString& name) {
            return QStringLiteral("sqlite:") + QDir(folder).filePath(name + QStringLiteral(".db"));
        };
        return std::vector<EngineSlot>{
            sqlite,
            postgresqlSlot(),
            serverSlot(QStringLiteral("odbc"), "SARVO_TEST_ODBC", QStringLiteral("unixodbc-dev")),
        };
    }();
    return known;
}

const EngineSlot& sqliteSlot() {
    return engineSlots().front();
}

std::vector<const EngineSlot*> engineSlotPointers() {
    std::vector<const EngineSlot*> out;
    for (const EngineSlot& s : engineSlots())
        out.push_back(&s);
    return out;
}

std::string slotName(const ::testing::TestParamInfo<const EngineSlot*>& info) {
    return info.param->name.toStdString();
}

bool engineRequired() {
    return qEnvironmentVariable("CI").compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
}

QString newSchemaDatabase(const EngineSlot& slot, const QString& folder, const QString& name) {
    const QString connectionString = slot.newDatabase(folder, name);
    if (slot.name == QLatin1String("sqlite")) {
        QFile file(connectionString.mid(7));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << file.errorString().toStdString();
    }
    db::Connection connection(connectionString);
    connection.open();
    const QString dialect = connection.backend()->dialect().name;
    data::SqlScript::run(connection, data::schemaScript(dialect),
                         QStringLiteral("schema/%1.sql").arg(dialect));
    return connectionString;
}

QString newPostgresqlDatabase(const QString& templateName) {
    return PostgresqlTestServer::instance().create(templateName);
}

QString newAccountSet(const EngineSlot& slot, const QString& folder, const QString& name,
                      const QString& templateName) {
    if (slot.newAccountSet) return slot.newAccountSet(folder, name, templateName);
    const QString connectionString = slot.newDatabase(folder, name);
    data::createAccountSet(connectionString, templateName);
    return connectionString;
}

} // namespace sarvo::testing
