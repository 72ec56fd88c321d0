// The database engines a database or dialog suite runs over: SQLite always; PostgreSQL where this
// build has its backend and a server to run against; through ODBC, SQLite files wherever SQLite's
// ODBC driver is installed and the PostgreSQL server through PostgreSQL's ODBC driver. A suite takes
// the list as its parameter (INSTANTIATE_TEST_SUITE_P with engineSlots() and slotName); its
// SetUp calls SARVO_REQUIRE_ENGINE, which skips the test naming what to install or start, or
// fails it when CI=true is set, so a missing server is never a silent pass.
#pragma once

#include <QString>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace sarvo::testing {

struct EngineSlot {
    QString name; // "sqlite", "postgresql", "odbc_sqlite", "odbc_postgresql"
    // The engine behind it, whose own SQL and messages a test may expect: "sqlite", "postgresql".
    QString dialect;
    // Empty when the engine can run here; else what to install or start.
    std::function<QString()> unavailable;
    // The connection string of a new, empty database named after name, for one test: for SQLite
    // a file in folder that does not exist yet, for a server a database created on it.
    std::function<QString(const QString& folder, const QString& name)> newDatabase;
};

// The slot's engine name in failure messages.
inline void PrintTo(const EngineSlot* slot, std::ostream* os) {
    *os << slot->name.toStdString();
}

const std::vector<EngineSlot>& engineSlots();
const EngineSlot& sqliteSlot();
// Test-name suffix of a slot: its engine's name.
std::string slotName(const ::testing::TestParamInfo<const EngineSlot*>& info);
std::vector<const EngineSlot*> engineSlotPointers();

// Whether a missing engine fails instead of skipping (CI=true).
bool engineRequired();

// A new database with the account-set schema and no rows; its connection string.
QString newSchemaDatabase(const EngineSlot& slot, const QString& folder, const QString& name);
// A new account set made from a template; its connection string.
QString newAccountSet(const EngineSlot& slot, const QString& folder, const QString& name,
                      const QString& templateName);

} // namespace sarvo::testing

// In a fixture's SetUp: the rest of the test runs only when the slot's engine can.
#define SARVO_REQUIRE_ENGINE(slot)                                                                           \
    do {                                                                                                     \
        const QString why_ = (slot).unavailable();                                                           \
        if (!why_.isEmpty()) {                                                                               \
            if (::sarvo::testing::engineRequired()) FAIL() << "CI=true and " << why_.toStdString();          \
            GTEST_SKIP() << why_.toStdString();                                                              \
        }                                                                                                    \
    } while (false)
