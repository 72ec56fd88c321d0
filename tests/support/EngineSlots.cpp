// The engines the suites run over; see EngineSlots.h.
#include "tests/support/EngineSlots.h"

#include "data/AccountSetTemplate.h"
#include "host/db/Backend.h"
#include "host/db/BackendRegistry.h"
#include "host/db/Connection.h"
#include "host/db/Dialect.h"

#include "data/SqlScript.h"

#include "host/db/ConnectionString.h"
#include "host/db/Recordset.h"
#include "runtime/RuntimeError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cerrno>
#include <memory>
#include <signal.h>

namespace sarvo::testing {

namespace {

// The ODBC driver of a slot, as the driver manager knows it (the driver packages register these
// names); a test data source carries the driver's name rather than a DSN, so no odbc.ini is needed.
const QString kSqliteDriver = QStringLiteral("SQLite3");
const QString kPostgresDriver = QStringLiteral("PostgreSQL Unicode");

// Why a connection string cannot be opened here; empty when it can.
QString cannotOpen(const QString& connectionString) {
    try {
        db::Connection connection(connectionString);
        connection.open();
        return QString();
    } catch (const RuntimeError& e) {
        return e.description();
    }
}

// SQLite files through SQLite's ODBC driver: wherever the backend and the driver are installed.
EngineSlot odbcSqliteSlot() {
    EngineSlot slot;
    slot.name = QStringLiteral("odbc_sqlite");
    slot.dialect = QStringLiteral("sqlite");
    slot.unavailable = [] {
        static const QString why = [] {
            if (!db::BackendRegistry::has(QStringLiteral("odbc")))
                return QStringLiteral(
                    "the odbc engine is not in this build: install unixodbc-dev and build again");
            const QString error =
                cannotOpen(QStringLiteral("odbc:DRIVER={%1};Database=:memory:").arg(kSqliteDriver));
            return error.isEmpty()
                       ? QString()
                       : QStringLiteral("SQLite's ODBC driver cannot be used (install libsqliteodbc): ") +
                             error;
        }();
        return why;
    };
    slot.newDatabase = [](const QString& folder, const QString& name) {
        return QStringLiteral("odbc:DRIVER={%1};Database=%2")
            .arg(kSqliteDriver, QDir(folder).filePath(name + QStringLiteral(".db")));
    };
    return slot;
}

// The server SARVO_TEST_POSTGRESQL names (postgresql://user@host:port/database), reached through
// PostgreSQL's ODBC driver. Each test gets a database of its own; the one before is dropped when
// the next is made, the last when the tests end, and those of test runs that died on the next run.
class OdbcPostgresDatabases {
public:
    static OdbcPostgresDatabases& instance() {
        static OdbcPostgresDatabases d;
        return d;
    }
    ~OdbcPostgresDatabases() {
        try {
            dropPrevious();
        } catch (...) {
        }
    }

    // The server's connection string for database (its maintenance database when empty).
    static QString on(const QString& database) {
        const db::ConnectionString url =
            db::ConnectionString::parse(qEnvironmentVariable("SARVO_TEST_POSTGRESQL"));
        QString s = QStringLiteral("odbc:DRIVER={%1};Server=%2;Port=%3;Database=%4;UID=%5")
                        .arg(kPostgresDriver, url.host().isEmpty() ? QStringLiteral("localhost") : url.host())
                        .arg(url.port() ? url.port() : 5432)
                        .arg(database.isEmpty() ? QStringLiteral("postgres") : database, url.user());
        if (!url.password().isEmpty()) s += QStringLiteral(";PWD={%1}").arg(url.password());
        return s;
    }

    QString create() {
        db::Connection& server = maintenance();
        if (!m_swept) {
            m_swept = true;
            sweepDeadRuns(server);
        }
        dropPrevious();
        m_previous =
            QStringLiteral("sarvo_odbc_%1_%2").arg(QCoreApplication::applicationPid()).arg(++m_count);
        server.native(
            QStringLiteral("CREATE DATABASE %1 ENCODING 'UTF8' TEMPLATE template0").arg(m_previous));
        return on(m_previous);
    }

private:
    db::Connection& maintenance() {
        if (!m_server) m_server = std::make_unique<db::Connection>(on(QString()));
        if (m_server->state() == db::Connection::Closed) m_server->open();
        return *m_server;
    }
    void dropPrevious() {
        if (m_previous.isEmpty()) return;
        maintenance().native(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_previous));
        m_previous.clear();
    }
    static void sweepDeadRuns(db::Connection& server) {
        QStringList stale;
        auto rows = server.native(
            QStringLiteral("SELECT datname FROM pg_database WHERE datname LIKE 'sarvo_odbc_%'"));
        for (; !rows->eof(); rows->moveNext()) {
            const QString name = rows->fieldAt(0).toString();
            const qint64 pid = name.section(QLatin1Char('_'), 2, 2).toLongLong();
            if (pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) stale << name;
        }
        rows->close();
        for (const QString& name : stale)
            server.native(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
    }

    std::unique_ptr<db::Connection> m_server;
    QString m_previous;
    int m_count = 0;
    bool m_swept = false;
};

EngineSlot odbcPostgresSlot() {
    EngineSlot slot;
    slot.name = QStringLiteral("odbc_postgresql");
    slot.dialect = QStringLiteral("postgresql");
    slot.unavailable = [] {
        if (!db::BackendRegistry::has(QStringLiteral("odbc")))
            return QStringLiteral(
                "the odbc engine is not in this build: install unixodbc-dev and build again");
        if (qEnvironmentVariableIsEmpty("SARVO_TEST_POSTGRESQL"))
            return QStringLiteral(
                "no PostgreSQL server to test against through ODBC: set SARVO_TEST_POSTGRESQL "
                "to postgresql://user@host:port/database");
        static const QString why = [] {
            const QString error = cannotOpen(OdbcPostgresDatabases::on(QString()));
            return error.isEmpty()
                       ? QString()
                       : QStringLiteral("PostgreSQL's ODBC driver cannot reach the server (install "
                                        "odbc-postgresql): ") +
                             error;
        }();
        return why;
    };
    slot.newDatabase = [](const QString&, const QString&) {
        return OdbcPostgresDatabases::instance().create();
    };
    return slot;
}

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
            serverSlot(QStringLiteral("postgresql"), "SARVO_TEST_POSTGRESQL", QStringLiteral("libpq-dev")),
            odbcSqliteSlot(),
            odbcPostgresSlot(),
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

QString newAccountSet(const EngineSlot& slot, const QString& folder, const QString& name,
                      const QString& templateName) {
    const QString connectionString = slot.newDatabase(folder, name);
    data::createAccountSet(connectionString, templateName);
    return connectionString;
}

} // namespace sarvo::testing
