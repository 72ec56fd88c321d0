// A small account set's schema in a new database of one engine, and a Connection open on it.
// DbFixture runs on SQLite (renderings, LIKE); EngineDbFixture is the same over every engine of
// EngineSlots.h, for suites whose results must not depend on the engine.
#pragma once

#include "host/db/Connection.h"
#include "host/db/Recordset.h"
#include "host/db/SchemaInfo.h"
#include "tests/support/EngineSlots.h"
#include "tests/support/QtPrinters.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace sarvo::db::test {

// The tables and column types of an open connection's database, as its engine's backend reads them.
SchemaInfo schemaOf(const Connection& connection);

class DbFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    virtual const sarvo::testing::EngineSlot& engine() const { return sarvo::testing::sqliteSlot(); }

    // Runs statements written in the engine's own SQL (SQLite's for the default engine), ';'
    // between them, for setting up rows; not through the code under test's T-SQL path.
    void sqlite(const QString& statements);
    // All rows of a T-SQL query, each row's columns as display text joined by '|'.
    QStringList rows(const QString& tsql);
    // A small chart of accounts for 2024 (and one 2023 row) with recently used entries: Chinese
    // and English names, a name with a quote, %, _ and [ in it, NULL currencies and units.
    void seedAccounts();
    // Values of one column over all rows of a T-SQL query, in order.
    QStringList column(const QString& tsql, const QString& name);

    QTemporaryDir m_dir;
    QString m_connectionString;
    std::shared_ptr<Connection> m_conn;
};

class EngineDbFixture : public DbFixture,
                        public ::testing::WithParamInterface<const sarvo::testing::EngineSlot*> {
protected:
    const sarvo::testing::EngineSlot& engine() const override { return *GetParam(); }
};

} // namespace sarvo::db::test
