// The engines the suites run over; see EngineSlots.h.
#include "tests/support/EngineSlots.h"

#include "data/AccountSetTemplate.h"
#include "host/db/Backend.h"
#include "host/db/BackendRegistry.h"
#include "host/db/Connection.h"
#include "host/db/Dialect.h"

#include "data/SqlScript.h"

#include <QDir>
#include <QFile>

namespace sarvo::testing {

namespace {

// A server slot: the backend must be in the build, and the variable must name a server on which
// the tests may create databases (the CI script starts a private one and sets it).
EngineSlot serverSlot(const QString& name, const char* variable, const QString& install) {
    EngineSlot slot;
    slot.name = name;
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
        sqlite.unavailable = [] { return QString(); };
        sqlite.newDatabase = [](const QString& folder, const QString& name) {
            return QStringLiteral("sqlite:") + QDir(folder).filePath(name + QStringLiteral(".db"));
        };
        return std::vector<EngineSlot>{
            sqlite,
            serverSlot(QStringLiteral("postgresql"), "SARVO_TEST_POSTGRESQL", QStringLiteral("libpq-dev")),
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

QString newAccountSet(const EngineSlot& slot, const QString& folder, const QString& name,
                      const QString& templateName) {
    const QString connectionString = slot.newDatabase(folder, name);
    data::createAccountSet(connectionString, templateName);
    return connectionString;
}

} // namespace sarvo::testing
