// The pieces under the templates, where the templates themselves do not reach: the text chart
// parser's errors, the SQL script splitter and the generator at its edges. What the parser and
// the generator read and write is checked on the templates' account sets.
#include "data/ChartFile.h"
#include "TestDb.h"
#include "data/GeneratedChart.h"
#include "data/SqlScript.h"

#include <QSet>

using sarvo::data::Chart;
using sarvo::data::ChartFile;
using sarvo::data::GeneratedChart;
using sarvo::data::SqlScript;

namespace {

const std::vector<int> scheme = {4, 6, 8};
const QStringList classes = {"资产", "负债"};

// A chart whose body starts on line 4, after a valid first account.
Chart parse(const QString& body) {
    return ChartFile::parse("@years 2023 2024\n[资产]\n1001 | 库存现金 | Cash | KCXJ | R\n" + body,
                            "test.txt", scheme, classes);
}

TEST(ChartFile, NamesTheLineAndTheFault) {
    for (const auto& [body, line, message] : std::initializer_list<std::tuple<const char*, int, const char*>>{
             {"1002 | 银行存款 | Bank | YHCK | RQ\n", 4, "unknown flag 'Q'"},
             {"100201 | 工商银行 | ICBC | GSYH | RB\n", 4, "parent 1002 is missing"},
             {"10011 | 人民币 | RMB | RMB | R\n", 4, "no grade of the code scheme has 5 digits"},
             {"100A | 现金 | Cash | XJ | R\n", 4, "the code must be digits"},
             {"1001 | 库存现金 | Cash | KCXJ | R\n", 4, "the code is used twice"},
             {"[负债]\n  100101 | 人民币 | RMB | RMB | R\n", 5, "differs from the parent's"},
             {"[权益]\n4001 | 实收资本 | Capital | SSZB | -\n", 5, "unknown account class"},
             {"1002 | 银行存款 | Bank | YHCK | RB | from=2024\n100201 | 工商银行 | ICBC | GSYH | RB\n", 5,
              "starts before its parent"},
             {"1002 | 银行存款 | Bank | YHCK | RB | from=2022\n", 4, "not a year of the chart"},
             {"1221 | 其他应收款 | Other | QTYSK | PC\n", 4, "person accounting excludes"},
             {"1122 | 应收账款 | Receivables | YSZK | CS\n", 4, "exclude each other"},
             {"1002 | 银行存款 | Bank | YHCK | B\n", 4, "also a journal account"},
             {"1604 | 在建工程 | Construction | ZJGC | I\n", 4, "project class go together"},
             {"1403 | 原材料 | Materials | YCL | - | size=2\n", 4, "unknown option"},
             {"1403 | 原材料 | Materials | YCL | - | unit\n", 4, "needs key=value"},
             {"1403 | 原材料 | Materials\n", 4, "expected code | name"},
             {"1403 | 原材料 | Materials |  | -\n", 4, "mnemonic are required"},
             {"@years 2025\n", 4, "@years given twice"},
             {"[资产\n", 4, "ends with ']'"}}) {
        const sarvo::RuntimeError e = errorOf([&] { parse(QString::fromUtf8(body)); });
        EXPECT_TRUE(e.is(sarvo::ErrorCode::InvalidProcedureCall)) << message;
        EXPECT_TRUE(e.description().contains(QStringLiteral("test.txt, line %1: ").arg(line)) &&
                    e.description().contains(QString::fromUtf8(message)))
            << e.what();
    }
    // Years and a class come before the first account.
    for (const auto& [text, message] : std::initializer_list<std::pair<const char*, const char*>>{
             {"[资产]\n1001 | 库存现金 | Cash | KCXJ | R\n", "@years must come"},
             {"@years 2024\n1001 | 库存现金 | Cash | KCXJ | R\n", "no [class]"},
             {"# nothing\n", "no @years"}})
        EXPECT_TRUE(errorOf([&] { ChartFile::parse(QString::fromUtf8(text), "t", scheme, classes); })
                        .description()
                        .contains(QString::fromUtf8(message)))
            << message;
}

TEST(SqlScript, SplitsOutsideQuotesDropsCommentsAndNamesTheFailingStatement) {
    EXPECT_EQ(
        SqlScript::split("-- heading; with a semicolon\n"
                         "insert into t values ('a;b', 'it''s -- not a comment');\n"
                         "create table \"odd;name\" (x int); -- trailing\n"
                         "create function f() returns int language plpgsql as $$ begin return 1; end $$;\n"
                         "\n  select 1  "),
        QStringList(
            {"insert into t values ('a;b', 'it''s -- not a comment')", "create table \"odd;name\" (x int)",
             "create function f() returns int language plpgsql as $$ begin return 1; end $$", "select 1"}));
    TestDb db;
    const sarvo::RuntimeError e = errorOf([&] {
        SqlScript::run(db.db, "create table t (x int); insert into nowhere values (1);", "setup.sql");
    });
    EXPECT_TRUE(e.is(sarvo::ErrorCode::DatabaseError));
    EXPECT_TRUE(e.description().contains("setup.sql, statement 2")) << e.what();
}

TEST(GeneratedChart, MakesExactlyNAccountsOverEveryClassDownToTheDeepestGrade) {
    const std::vector<int> thirteenGrades = {4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28};
    const QStringList sixClasses = {"资产", "负债", "共同", "权益", "成本", "损益"};
    // The deepest grade is reached as soon as there are accounts for a branch below a first grade.
    for (const auto& [n, deepest] :
         std::initializer_list<std::pair<int, int>>{{1, 1}, {6, 1}, {18, 13}, {700, 13}}) {
        const Chart chart = GeneratedChart::build(n, thirteenGrades, sixClasses, {2024});
        EXPECT_EQ(chart.countInYear(2024), n);
        QSet<QString> classesSeen;
        int grade = 0;
        for (const auto& a : chart.accounts()) {
            classesSeen.insert(a.cclass);
            grade = std::max(grade, a.grade);
        }
        EXPECT_EQ(classesSeen.size(), std::min(n, 6)) << n;
        EXPECT_EQ(grade, deepest) << n;
    }
    for (int n : {0, -1, GeneratedChart::maxAccounts + 1})
        EXPECT_TRUE(errorOf([&] {
                        GeneratedChart::build(n, thirteenGrades, sixClasses, {2024});
                    }).is(sarvo::ErrorCode::InvalidProcedureCall))
            << n;
}

} // namespace
