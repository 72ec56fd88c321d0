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

TEST(AccountSetTemplate, LoadIntoAnOpenDatabaseGivesWhatCreateGivesOnceOrNothingAtAll) {
    TestDb db;
    const sarvo::RuntimeError noSchema = errorOf([&] { loadTemplate(db.db, "standard"); });
    EXPECT_TRUE(noSchema.is(ErrorCode::DatabaseError) && noSchema.description().contains("schema"))
        << noSchema.what();
    sarvo::data::SqlScript::run(db.db, schemaScript("sqlite"), "schema");
    loadTemplate(db.db, "standard");
    TestDb created(accountSetFile("standard"));
    for (const char* table :
         {"code order by 1, 3", "host_class order by 1", "host_scheme order by 1", "host_setting order by 1",
          "host_year order by 1", "host_user order by 1", "AccInformation order by 1, 3"}) {
        const QString dump = QStringLiteral("select * from %1").arg(QLatin1String(table));
        EXPECT_EQ(db.rows(dump), created.rows(dump)) << table;
    }
    // A second load would mix two account sets.
    const sarvo::RuntimeError again = errorOf([&] { loadTemplate(db.db, "budget"); });
    EXPECT_TRUE(again.is(ErrorCode::DatabaseError) && again.description().contains("already"))
        << again.what();

    // An operator table the template cannot fill: the set-up script fails after the classes went in.
    TestDb broken;
    sarvo::data::SqlScript::run(broken.db, schemaScript("sqlite"), "schema");
    broken.rows("drop table host_user");
    broken.rows("create table host_user (cUser_Id text)");
    const sarvo::RuntimeError e = errorOf([&] { loadTemplate(broken.db, "standard"); });
    EXPECT_TRUE(e.is(ErrorCode::DatabaseError) && e.description().contains("setup.sql")) << e.what();
    for (const char* table : {"host_class", "host_scheme", "host_setting", "code"})
        EXPECT_EQ(broken.value(QStringLiteral("select count(*) from %1").arg(QLatin1String(table))), "0")
            << table;
    broken.db.close();
    EXPECT_TRUE(errorOf([&] { loadTemplate(broken.db, "standard"); }).is(ErrorCode::ObjectClosed));
}

// "table.column" for every column line of every CREATE TABLE of an engine's schema, in file order
// (a table's lines end at its closing parenthesis; function bodies are no columns).
QStringList columnsOf(const QString& engine) {
    static const QRegularExpression line("^CREATE TABLE (\\w+)|^[ \\t]+(\\w+) |^(\\))",
                                         QRegularExpression::MultilineOption);
    QStringList columns;
    QString table;
    for (auto it = line.globalMatch(schemaScript(engine)); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.hasCaptured(1))
            table = m.captured(1).toLower();
        else if (m.hasCaptured(3))
            table.clear();
        else if (!table.isEmpty())
            columns << table + u'.' + m.captured(2).toLower();
    }
    return columns;
}

TEST(AccountSetTemplate, BothEnginesHaveTheSameTablesAndColumns) {
    const QStringList sqlite = columnsOf("sqlite");
    ASSERT_TRUE(sqlite.contains("code.bend") && sqlite.contains("gl_mcodeused.cuser")) << "columns read";
    EXPECT_EQ(sqlite, columnsOf("postgresql"));
    EXPECT_TRUE(errorOf([] { schemaScript("mssql"); }).is(ErrorCode::InvalidProcedureCall));
}

} // namespace
