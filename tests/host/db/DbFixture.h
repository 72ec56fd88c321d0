// A small account set in a temporary SQLite file, built from the schema file, and a Connection
// open on it.
#pragma once

#include "host/db/Connection.h"
#include "host/db/Recordset.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace sarvo::db::test {

class DbFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs statements written directly in SQLite, for setting up rows.
    void sqlite(const QString& statements);
    // All rows of a T-SQL query, each row's columns as display text joined by '|'.
    QStringList rows(const QString& tsql);
    // A fresh database file path (with the schema) next to the main one.
    QString makeDatabase(const QString& name);

    QTemporaryDir m_dir;
    QString m_path;
    std::shared_ptr<Connection> m_conn;
};

} // namespace sarvo::db::test
