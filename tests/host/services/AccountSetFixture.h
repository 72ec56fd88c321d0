// A small account set in a fresh SQLite file: the schema of the account-set database plus a
// handful of classes, years, users and accounts. Tests add the rows their cases need.
#pragma once

#include "host/services/ZwPub.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace sarvo::host::test {

class AccountSetFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs SQL text (several statements allowed) straight on the file, outside the host objects.
    void exec(const QString& sql);
    // First column of the first row of a query, "" when there is none; "<null>" for NULL.
    QString scalar(const QString& sql);
    // Number of rows of a query.
    int rowCount(const QString& sql);

    // A ZwPub with login (user "demo", language as given) and context of the given year.
    std::shared_ptr<ZwPub> makeZwPub(const QString& language = QStringLiteral("zh-cn"), int16_t year = 2024);

    QTemporaryDir m_dir;
    QString m_path;
    std::shared_ptr<DbKit> m_kit;
    std::shared_ptr<LogIn> m_login;
};

} // namespace sarvo::host::test
