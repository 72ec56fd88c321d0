// The pieces under the templates: the text chart parser and its checks, per-year end levels,
// the SQL script splitter, and the generator at its edges.
#include "data/ChartFile.h"
#include "TestDb.h"
#include "data/GeneratedChart.h"
#include "data/SqlScript.h"
#include "runtime/RuntimeError.h"

using sarvo::RuntimeError;
using sarvo::data::Chart;
using sarvo::data::ChartFile;

namespace {

const std::vector<int> scheme = {4, 6, 8};
const QStringList classes = {QStringLiteral("资产"), QStringLiteral("负债")};

Chart parse(const QString& body) {
    return ChartFile::parse(QStringLiteral("@years 2023 2024\n[资产]\n1001 | 库存现金 | Cash | KCXJ | R\n") +
                                body,
                            QStringLiteral("test.txt"), scheme, classes);
}

TEST(ChartFile, ReadsGradesParentsFlagsAndOptions) {
    const Chart chart = parse(QStringLiteral("1002 | 银行存款 | Bank | YHCK | RB\n"
                                             "  100201 | 工商银行 | ICBC | GSYH | RB\n"
                                             "    10020101 | 美元户 | USD | MYH | RB | cur=美元 from=2024\n"
                                             "1221 | 其他应收款 | Other | QTYSK | PI | item=研发项目\n"
                                             "[负债]\n"
                                             "2202 | 应付账款 | Payables | YFZK | SDX | unit=吨\n"));
    ASSERT_EQ(chart.accounts().size(), 6u);
    const auto& usd = chart.accounts()[3];
    EXPECT_EQ(usd.grade, 3);
    EXPECT_EQ(chart.accounts()[static_cast<size_t>(usd.parent)].ccode, QStringLiteral("100201"));
    EXPECT_EQ(usd.currency, QStringLiteral("美元"));
    EXPECT_EQ(usd.firstYear, 2024);
    EXPECT_TRUE(usd.journal && usd.bank && !usd.closed);
    const auto& other = chart.accounts()[4];
    EXPECT_TRUE(other.person && other.project && !other.customer);
    EXPECT_EQ(other.itemClass, QStringLiteral("研发项目"));
    const auto& payables = chart.accounts()[5];
    EXPECT_EQ(payables.cclass, QStringLiteral("负债"));
    EXPECT_TRUE(payables.supplier && payables.department && payables.closed);
    EXPECT_EQ(payables.unit, QStringLiteral("吨"));
    EXPECT_EQ(chart.countInYear(2023), 5);
    EXPECT_EQ(chart.countInYear(2024), 6);
}

TEST(ChartFile, EndLevelIsDecidedPerYear) {
    const Chart chart = parse(QStringLiteral("  100101 | 人民币 | RMB | RMB | R | from=2024\n"));
    TestDb db;
    ASSERT_TRUE(db.exec(QStringLiteral(
        "create table code (iYear integer, cclass text, ccode text, ccode_name text, ccode_engl text, igrade "
        "integer, "
        "chelp text, bperson integer, bcus integer, bsup integer, bdept integer, bitem integer, citem_class "
        "text, "
        "cexch_name text, cmeasure text, bend integer, br integer, be integer, bclose integer)")));
    chart.writeTo(db.db);
    EXPECT_EQ(db.rows(QStringLiteral("select iYear, ccode, igrade, bend from code order by iYear, ccode")),
              QStringList({QStringLiteral("2023|1001|1|1"), QStringLiteral("2024|1001|1|0"),
                           QStringLiteral("2024|100101|2|1")}));
    EXPECT_EQ(
        db.rows(QStringLiteral("select cexch_name, cmeasure, citem_class from code where ccode = '1001' "
                               "and iYear = 2023")),
        QStringList{QStringLiteral("NULL|NULL|NULL")});
}

struct BadChart {
    const char* body; // appended after a valid first account on line 3
    int line;
    const char* message;
};

void PrintTo(const BadChart& b, std::ostream* os) {
    *os << b.message;
}

class ChartFileError : public ::testing::TestWithParam<BadChart> {};

TEST_P(ChartFileError, NamesTheLineAndTheFault) {
    const BadChart& bad = GetParam();
    try {
        parse(QString::fromUtf8(bad.body));
        FAIL() << "accepted: " << bad.body;
    } catch (const RuntimeError& e) {
        EXPECT_TRUE(e.is(sarvo::ErrorCode::InvalidProcedureCall));
        EXPECT_TRUE(e.description().contains(QStringLiteral("test.txt, line %1: ").arg(bad.line)))
            << e.what();
        EXPECT_TRUE(e.description().contains(QString::fromUtf8(bad.message))) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ChartFileError,
    ::testing::Values(
        BadChart{"1002 | 银行存款 | Bank | YHCK | RQ\n", 4, "unknown flag 'Q'"},
        BadChart{"100201 | 工商银行 | ICBC | GSYH | RB\n", 4, "parent 1002 is missing"},
        BadChart{"10011 | 人民币 | RMB | RMB | R\n", 4, "no grade of the code scheme has 5 digits"},
        BadChart{"100A | 现金 | Cash | XJ | R\n", 4, "the code must be digits"},
        BadChart{"1001 | 库存现金 | Cash | KCXJ | R\n", 4, "the code is used twice"},
        BadChart{"[负债]\n  100101 | 人民币 | RMB | RMB | R\n", 5, "differs from the parent's"},
        BadChart{"[权益]\n4001 | 实收资本 | Capital | SSZB | -\n", 5, "unknown account class"},
        BadChart{"1002 | 银行存款 | Bank | YHCK | RB | from=2024\n100201 | 工商银行 | ICBC | GSYH | RB\n", 5,
                 "starts before its parent"},
        BadChart{"1002 | 银行存款 | Bank | YHCK | RB | from=2022\n", 4, "not a year of the chart"},
        BadChart{"1221 | 其他应收款 | Other | QTYSK | PC\n", 4, "person accounting excludes"},
        BadChart{"1122 | 应收账款 | Receivables | YSZK | CS\n", 4, "exclude each other"},
        BadChart{"1002 | 银行存款 | Bank | YHCK | B\n", 4, "also a journal account"},
        BadChart{"1604 | 在建工程 | Construction | ZJGC | I\n", 4, "project class go together"},
        BadChart{"1604 | 在建工程 | Construction | ZJGC | - | item=工程项目\n", 4,
                 "project class go together"},
        BadChart{"1403 | 原材料 | Materials | YCL | - | size=2\n", 4, "unknown option"},
        BadChart{"1403 | 原材料 | Materials | YCL | - | unit\n", 4, "needs key=value"},
        BadChart{"1403 | 原材料 | Materials\n", 4, "expected code | name"},
        BadChart{"1403 | 原材料 | Materials |  | -\n", 4, "mnemonic are required"},
        BadChart{"@years 2025\n", 4, "@years given twice"}, BadChart{"[资产\n", 4, "ends with ']'"}));

TEST(ChartFile, NeedsYearsAndAClassFirst) {
    auto message = [](const QString& text) {
        try {
            ChartFile::parse(text, QStringLiteral("t"), scheme, classes);
        } catch (const RuntimeError& e) {
            return e.description();
        }
        return QString();
    };
    EXPECT_TRUE(
        message(QStringLiteral("[资产]\n1001 | 库存现金 | Cash | KCXJ | R\n")).contains(u"@years must come"));
    EXPECT_TRUE(
        message(QStringLiteral("@years 2024\n1001 | 库存现金 | Cash | KCXJ | R\n")).contains(u"no [class]"));
    EXPECT_TRUE(message(QStringLiteral("# nothing\n")).contains(u"no @years"));
}

TEST(SqlScript, SplitsOnSemicolonsOutsideQuotesAndDropsComments) {
    const QStringList statements = sarvo::data::SqlScript::split(
        QStringLiteral("-- heading; with a semicolon\n"
                       "insert into t values ('a;b', 'it''s -- not a comment');\n"
                       "create table \"odd;name\" (x int); -- trailing\n"
                       "\n  select 1  "));
    EXPECT_EQ(statements,
              QStringList({QStringLiteral("insert into t values ('a;b', 'it''s -- not a comment')"),
                           QStringLiteral("create table \"odd;name\" (x int)"), QStringLiteral("select 1")}));
}

TEST(SqlScript, NamesTheFailingStatement) {
    TestDb db;
    try {
        sarvo::data::SqlScript::run(db.db,
                                    QStringLiteral("create table t (x int); insert into nowhere values (1);"),
                                    QStringLiteral("setup.sql"));
        FAIL() << "accepted";
    } catch (const RuntimeError& e) {
        EXPECT_TRUE(e.is(sarvo::ErrorCode::DatabaseError));
        EXPECT_TRUE(e.description().contains(QStringLiteral("setup.sql, statement 2"))) << e.what();
    }
}

const std::vector<int> thirteenGrades = {4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28};
const QStringList sixClasses = {QStringLiteral("资产"), QStringLiteral("负债"), QStringLiteral("共同"),
                                QStringLiteral("权益"), QStringLiteral("成本"), QStringLiteral("损益")};

class GeneratedCount : public ::testing::TestWithParam<int> {};

TEST_P(GeneratedCount, MakesExactlyThatManyWellFormedAccounts) {
    const int n = GetParam();
    const Chart chart = sarvo::data::GeneratedChart::build(n, thirteenGrades, sixClasses, {2024});
    ASSERT_EQ(chart.countInYear(2024), n);
    int firstGrade = 0;
    for (const auto& a : chart.accounts()) {
        if (a.grade == 1) {
            ++firstGrade;
            // The class digit leads the code.
            EXPECT_EQ(a.ccode.left(1).toInt(), sixClasses.indexOf(a.cclass) + 1) << a.ccode.toStdString();
        }
    }
    EXPECT_EQ(firstGrade, std::min(n, std::max(6, n / 100)));
}

INSTANTIATE_TEST_SUITE_P(Edges, GeneratedCount, ::testing::Values(1, 5, 6, 7, 18, 80, 1000));

TEST(GeneratedChart, DeepestBranchReachedAsSoonAsTheCountAllows) {
    const Chart chart = sarvo::data::GeneratedChart::build(18, thirteenGrades, sixClasses, {2024});
    EXPECT_EQ(std::max_element(chart.accounts().begin(), chart.accounts().end(),
                               [](const auto& a, const auto& b) { return a.grade < b.grade; })
                  ->grade,
              13);
}

TEST(GeneratedChart, RefusesCountsOutsideItsRange) {
    for (int n : {0, -1, sarvo::data::GeneratedChart::maxAccounts + 1}) {
        EXPECT_THROW(sarvo::data::GeneratedChart::build(n, thirteenGrades, sixClasses, {2024}), RuntimeError)
            << n;
    }
}

} // namespace
