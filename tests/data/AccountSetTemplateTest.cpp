// Creating and loading account sets through the public functions: which requests are refused
// with which error, that a failed load leaves nothing behind, and that both engines' schemas agree.
#include "TestDb.h"
#include "data/SqlScript.h"

#include <QFile>
#include <QRegularExpression>

using sarvo::ErrorCode;
using sarvo::data::createAccountSet;
using sarvo::data::loadTemplate;
using sarvo::data::schemaScript;

namespace {

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

TEST(AccountSetTemplate, BadNamesAreRefusedWithoutMakingAFile) {
    const QString path = testFolder().filePath("bad-name.db");
    for (const char* name :
         {"", "Standard", "ledger", "generated", "generated:", "generated:0", "generated:+5", "generated: 5",
          "generated:12x", "generated:1000001", "generated:99999999999"}) {
        const sarvo::RuntimeError e = errorOf([&] { createAccountSet(path, name); });
        EXPECT_TRUE(e.is(ErrorCode::InvalidProcedureCall)) << e.what();
        EXPECT_TRUE(e.description().contains(QStringLiteral("\"%1\"").arg(name))) << e.what();
        EXPECT_FALSE(QFile::exists(path)) << name;
        TestDb db;
        EXPECT_TRUE(errorOf([&] { loadTemplate(db.db, name); }).is(ErrorCode::InvalidProcedureCall)) << name;
    }
    EXPECT_TRUE(errorOf([&] { createAccountSet(path, "ledger"); })
                    .description()
                    .contains("(known: standard, budget, generated:N)"));
}

TEST(AccountSetTemplate, CreatesOnlyInANewOrEmptyFile) {
    const QString taken = testFolder().filePath("taken.db");
    ASSERT_TRUE(writeFile(taken, "somebody's data"));
    const sarvo::RuntimeError e = errorOf([&] { createAccountSet(taken, "standard"); });
    EXPECT_EQ(e.number(), 58);
    EXPECT_TRUE(e.description().contains(taken)) << e.what();
    QFile kept(taken);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "somebody's data");

    const QString empty = testFolder().filePath("empty.db");
    ASSERT_TRUE(writeFile(empty, ""));
    createAccountSet(empty, "budget");
    EXPECT_GT(TestDb(empty).codes("1"), 0);

    const QString noFolder = testFolder().filePath("no/such/folder/x.db");
    EXPECT_TRUE(errorOf([&] { createAccountSet(noFolder, "standard"); }).is(ErrorCode::DatabaseError));
    EXPECT_FALSE(QFile::exists(noFolder));
}

TEST(AccountSetTemplate, LoadIntoAnOpenDatabaseGivesWhatCreateGivesOnce) {
    TestDb memory;
    sarvo::data::SqlScript::run(memory.db, schemaScript("sqlite"), "schema");
    loadTemplate(memory.db, "standard");
    TestDb created(accountSetFile("standard"));
    for (const char* table :
         {"code order by 1, 3", "host_class order by 1", "host_scheme order by 1", "host_setting order by 1",
          "host_year order by 1", "host_user order by 1", "AccInformation order by 1, 3"}) {
        const QString dump = QStringLiteral("select * from %1").arg(QLatin1String(table));
        EXPECT_EQ(memory.rows(dump), created.rows(dump)) << table;
    }
    // A second load would mix two account sets.
    const sarvo::RuntimeError again = errorOf([&] { loadTemplate(memory.db, "budget"); });
    EXPECT_TRUE(again.is(ErrorCode::DatabaseError) && again.description().contains("already"))
        << again.what();
}

TEST(AccountSetTemplate, LoadNeedsAnOpenDatabaseWithTheSchemaAndRollsBackWhenItFails) {
    TestDb db;
    const sarvo::RuntimeError noSchema = errorOf([&] { loadTemplate(db.db, "standard"); });
    EXPECT_TRUE(noSchema.is(ErrorCode::DatabaseError) && noSchema.description().contains("schema"))
        << noSchema.what();

    // An operator table the template cannot fill: the set-up script fails after the classes went in.
    sarvo::data::SqlScript::run(db.db, schemaScript("sqlite"), "schema");
    db.rows("drop table host_user");
    db.rows("create table host_user (cUser_Id text)");
    const sarvo::RuntimeError e = errorOf([&] { loadTemplate(db.db, "standard"); });
    EXPECT_TRUE(e.is(ErrorCode::DatabaseError) && e.description().contains("setup.sql")) << e.what();
    for (const char* table : {"host_class", "host_scheme", "host_setting", "code"})
        EXPECT_EQ(db.value(QStringLiteral("select count(*) from %1").arg(QLatin1String(table))), "0")
            << table;

    db.db.close();
    EXPECT_TRUE(errorOf([&] { loadTemplate(db.db, "standard"); }).is(ErrorCode::ObjectClosed));
}

// Table -> column names of an engine's schema, from its CREATE TABLE statements (other
// statements match nothing).
QMap<QString, QStringList> tablesOf(const QString& engine) {
    static const QRegularExpression create("^CREATE TABLE (\\w+) \\((.*)\\)$",
                                           QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression column("^\\s*(\\w+)\\s", QRegularExpression::MultilineOption);
    QMap<QString, QStringList> tables;
    for (const QString& statement : sarvo::data::SqlScript::split(schemaScript(engine))) {
        const QRegularExpressionMatch table = create.match(statement);
        for (auto it = column.globalMatch(table.captured(2)); it.hasNext();)
            tables[table.captured(1).toLower()] << it.next().captured(1).toLower();
    }
    return tables;
}

TEST(AccountSetTemplate, BothEnginesHaveTheSameTablesAndColumns) {
    const auto sqlite = tablesOf("sqlite");
    EXPECT_EQ(sqlite.keys(), QStringList({"accinformation", "code", "gl_mcodeused", "host_class",
                                          "host_scheme", "host_setting", "host_user", "host_year"}));
    EXPECT_EQ(sqlite, tablesOf("postgresql"));
    EXPECT_TRUE(errorOf([] { schemaScript("mssql"); }).is(ErrorCode::InvalidProcedureCall));
}

} // namespace
