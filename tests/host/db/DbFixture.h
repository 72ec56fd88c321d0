// A small account set in a temporary SQLite file, built from the schema file, and a Connection
// open on it.
#pragma once

#include "host/db/Connection.h"
#include "host/db/Recordset.h"
#include "host/db/SchemaInfo.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace sarvo::db::test {

// The tables and column types of a database file, as an engine reads them.
SchemaInfo schemaOf(const QString& path);

class DbFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs statements written directly in SQLite, for setting up rows.
    void sqlite(const QString& statements);
    // All rows of a T-SQL query, each row's columns as display text joined by '|'.
    QStringList rows(const QString& tsql);
    // A small chart of accounts for 2024 (and one 2023 row) with recently used entries: Chinese
    // and English names, a name with a quote, %, _ and [ in it, NULL currencies and units.
    void seedAccounts();
    // Values of one column over all rows of a T-SQL query, in order.
    QStringList column(const QString& tsql, const QString& name);
    // A fresh database file path (with the schema) next to the main one.
    QString makeDatabase(const QString& name);

    QTemporaryDir m_dir;
    QString m_path;
    std::shared_ptr<Connection> m_conn;
};

} // namespace sarvo::db::test
