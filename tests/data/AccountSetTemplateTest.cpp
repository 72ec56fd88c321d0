// Creating and loading account sets through the public functions: what a new file holds, which
// requests are refused with which error, and that a failed load leaves nothing behind.
#include "data/AccountSetTemplate.h"
#include "TemplateFiles.h"
#include "TestDb.h"
#include "data/SqlScript.h"
#include "runtime/RuntimeError.h"

#include <QFile>
#include <QRegularExpression>

using sarvo::RuntimeError;
using sarvo::data::createAccountSet;
using sarvo::data::loadTemplate;

namespace {

// Runs f and returns the RuntimeError it raised (number 0 when it raised none).
template <typename F> RuntimeError errorOf(F&& f) {
    try {
        f();
    } catch (const RuntimeError& e) {
        return e;
    }
    return RuntimeError(0, QStringLiteral("no error"));
}

TEST(AccountSetTemplate, ListsTheThreeTemplates) {
    EXPECT_EQ(sarvo::data::templateNames(), QStringList({QStringLiteral("standard"), QStringLiteral("budget"),
                                                         QStringLiteral("generated:N")}));
}

class BadTemplateName : public ::testing::TestWithParam<const char*> {};

TEST_P(BadTemplateName, IsRefusedWithoutMakingAFile) {
    const QString name = QString::fromUtf8(GetParam());
    const QString path = testFolder().filePath(QStringLiteral("bad-name.db"));
    const RuntimeError e = errorOf([&] { createAccountSet(path, name); });
    EXPECT_TRUE(e.is(sarvo::ErrorCode::InvalidProcedureCall)) << e.what();
    EXPECT_TRUE(e.description().contains(QStringLiteral("\"%1\"").arg(name))) << e.what();
    EXPECT_FALSE(QFile::exists(path));

    TestDb db;
    const RuntimeError load = errorOf([&] { loadTemplate(db.db, name); });
    EXPECT_TRUE(load.is(sarvo::ErrorCode::InvalidProcedureCall)) << load.what();
}

INSTANTIATE_TEST_SUITE_P(Names, BadTemplateName,
                         ::testing::Values("", "Standard", "standard ", "generated",
                                           "generated:", "generated:0", "generated:-5", "generated:abc",
                                           "generated:12x", "generated: 5", "generated:+5",
                                           "generated:1000001", "generated:99999999999"));

TEST(AccountSetTemplate, UnknownNameListsTheKnownOnes) {
    const RuntimeError e =
        errorOf([] { createAccountSet(testFolder().filePath(QStringLiteral("x.db")), "ledger"); });
    EXPECT_TRUE(e.description().contains(QStringLiteral("standard, budget, generated:N"))) << e.what();
}

TEST(AccountSetTemplate, RefusesToOverwriteAFileWithContent) {
    const QString path = testFolder().filePath(QStringLiteral("taken.db"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("somebody's data");
    }
    const RuntimeError e = errorOf([&] { createAccountSet(path, QStringLiteral("standard")); });
    EXPECT_EQ(e.number(), 58);
    EXPECT_TRUE(e.description().contains(path)) << e.what();
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("somebody's data"));
}

TEST(AccountSetTemplate, FillsAnEmptyFile) {
    const QString path = testFolder().filePath(QStringLiteral("empty.db"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    createAccountSet(path, QStringLiteral("budget"));
    TestDb db(path);
    EXPECT_GT(db.count(QStringLiteral("select count(*) from code")), 0);
}

TEST(AccountSetTemplate, MissingFolderIsADatabaseErrorAndLeavesNoFile) {
    const QString path = testFolder().filePath(QStringLiteral("no/such/folder/x.db"));
    const RuntimeError e = errorOf([&] { createAccountSet(path, QStringLiteral("standard")); });
    EXPECT_TRUE(e.is(sarvo::ErrorCode::DatabaseError)) << e.what();
    EXPECT_FALSE(QFile::exists(path));
}

TEST(AccountSetTemplate, LoadIntoOpenDatabaseMatchesCreate) {
    TestDb memory;
    sarvo::data::SqlScript::run(memory.db, sarvo::data::schemaScript(QStringLiteral("sqlite")),
                                QStringLiteral("schema"));
    loadTemplate(memory.db, QStringLiteral("standard"));
    TestDb created(accountSetFile(QStringLiteral("standard")));
    for (const char* table :
         {"code order by 1, 3", "host_class order by 1", "host_scheme order by 1", "host_setting order by 1",
          "host_year order by 1", "host_user order by 1", "AccInformation order by 1, 3"}) {
        const QString dump = QStringLiteral("select * from %1").arg(QLatin1String(table));
        EXPECT_EQ(memory.rows(dump), created.rows(dump)) << table;
    }

    // A second load would mix two account sets.
    const RuntimeError again = errorOf([&] { loadTemplate(memory.db, QStringLiteral("budget")); });
    EXPECT_TRUE(again.is(sarvo::ErrorCode::DatabaseError)) << again.what();
    EXPECT_TRUE(again.description().contains(QStringLiteral("already"))) << again.what();
}

TEST(AccountSetTemplate, LoadNeedsTheSchemaAndAnOpenDatabase) {
    TestDb bare;
    const RuntimeError noSchema = errorOf([&] { loadTemplate(bare.db, QStringLiteral("standard")); });
    EXPECT_TRUE(noSchema.is(sarvo::ErrorCode::DatabaseError)) << noSchema.what();
    EXPECT_TRUE(noSchema.description().contains(QStringLiteral("schema"))) << noSchema.what();

    bare.db.close();
    const RuntimeError closed = errorOf([&] { loadTemplate(bare.db, QStringLiteral("standard")); });
    EXPECT_TRUE(closed.is(sarvo::ErrorCode::ObjectClosed)) << closed.what();
}

TEST(AccountSetTemplate, FailedLoadRollsBackEverything) {
    TestDb db;
    for (const char* sql :
         {"create table code (iYear integer, cclass text, ccode text, ccode_name text, ccode_engl text, "
          "igrade integer, "
          "chelp text, bperson integer, bcus integer, bsup integer, bdept integer, bitem integer, "
          "citem_class text, "
          "cexch_name text, cmeasure text, bend integer, br integer, be integer, bclose integer)",
          "create table host_class (iPosition integer, cclass text, cKind text, cText_zhcn text, cText_zhtw "
          "text, "
          "cText_enus text)",
          "create table host_scheme (iGrade integer, iLength integer)",
          "create table host_setting (cName text, cValue text)", "create table host_year (iYear integer)",
          // An operator table the template cannot fill.
          "create table host_user (cUser_Id text)"})
        ASSERT_TRUE(db.exec(QString::fromLatin1(sql)));
    const RuntimeError e = errorOf([&] { loadTemplate(db.db, QStringLiteral("standard")); });
    EXPECT_TRUE(e.is(sarvo::ErrorCode::DatabaseError)) << e.what();
    EXPECT_TRUE(e.description().contains(QStringLiteral("setup.sql"))) << e.what();
    for (const char* table : {"host_class", "host_scheme", "host_setting", "code"})
        EXPECT_EQ(db.count(QStringLiteral("select count(*) from %1").arg(QLatin1String(table))), 0) << table;
}

// Column names per table of a schema script, from its CREATE TABLE statements.
QMap<QString, QStringList> tablesOf(const QString& script) {
    QMap<QString, QStringList> tables;
    static const QRegularExpression create(QStringLiteral("^CREATE TABLE (\\w+) \\((.*)\\)$"),
                                           QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression column(QStringLiteral("^\\s*(\\w+)\\s"));
    for (const QString& statement : sarvo::data::SqlScript::split(script)) {
        const auto match = create.match(statement);
        if (!match.hasMatch()) continue;
        QStringList columns;
        for (const QString& line : match.captured(2).split(u'\n')) {
            const auto c = column.match(line);
            if (c.hasMatch() && c.captured(1) != u"PRIMARY") columns << c.captured(1).toLower();
        }
        tables.insert(match.captured(1).toLower(), columns);
    }
    return tables;
}

TEST(AccountSetTemplate, BothEnginesHaveTheSameTablesAndColumns) {
    const auto sqlite = tablesOf(sarvo::data::schemaScript(QStringLiteral("sqlite")));
    const auto postgres = tablesOf(sarvo::data::schemaScript(QStringLiteral("postgresql")));
    EXPECT_EQ(sqlite.keys(), QStringList({QStringLiteral("accinformation"), QStringLiteral("code"),
                                          QStringLiteral("gl_mcodeused"), QStringLiteral("host_class"),
                                          QStringLiteral("host_scheme"), QStringLiteral("host_setting"),
                                          QStringLiteral("host_user"), QStringLiteral("host_year")}));
    EXPECT_EQ(sqlite.value(QStringLiteral("code")).size(), 19);
    EXPECT_EQ(sqlite.value(QStringLiteral("gl_mcodeused")),
              QStringList({QStringLiteral("cuser"), QStringLiteral("ccode")}));
    EXPECT_EQ(sqlite.value(QStringLiteral("accinformation")).size(), 9);
    EXPECT_EQ(sqlite, postgres);

    const RuntimeError e = errorOf([] { sarvo::data::schemaScript(QStringLiteral("mssql")); });
    EXPECT_TRUE(e.is(sarvo::ErrorCode::InvalidProcedureCall)) << e.what();
}

} // namespace
