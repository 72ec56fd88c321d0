// The server's meaning on the standard account set, over every engine: the rows a host's extra
// condition finds, text compared under the server's collation (case, width, trailing blanks) for
// typed and for stored forms; and on SQLite the index plans that serve codes and an account-set
// file that any program can still read and write without registering anything.
#include "DbFixture.h"

#include "host/db/Dialect.h"
#include "host/db/SqliteFunctions.h"
#include "host/db/TSqlTranslator.h"
#include "runtime/RuntimeError.h"

#include <QTemporaryDir>
#include <sqlite3.h>

namespace sarvo::db::test {

namespace {

QStringList list(std::initializer_list<const char*> items) {
    QStringList out;
    for (const char* i : items)
        out << QString::fromUtf8(i);
    return out;
}

// A connection of another program: the SQLite library alone, nothing registered unless asked.
class PlainSqlite {
public:
    explicit PlainSqlite(const QString& path, bool withFunctions = false) {
        EXPECT_EQ(sqlite3_open(path.toUtf8().constData(), &m_db), SQLITE_OK);
        if (withFunctions) registerSqliteFunctions(m_db, &m_likes);
    }
    ~PlainSqlite() { sqlite3_close(m_db); }

    // Runs statements; the engine's message when one fails, else empty.
    QString exec(const QString& sql) {
        char* error = nullptr;
        sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &error);
        const QString message = error ? QString::fromUtf8(error) : QString();
        sqlite3_free(error);
        return message;
    }
    // The first column of every row, as text.
    QStringList column(const QString& sql, const std::vector<SqlValue>& params = {}) {
        QStringList out;
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &stmt, nullptr) != SQLITE_OK) {
            ADD_FAILURE() << sqlite3_errmsg(m_db) << " in " << sql.toStdString();
            return out;
        }
        for (size_t i = 0; i < params.size(); ++i) {
            const SqlValue& v = params[i];
            const int at = static_cast<int>(i) + 1;
            if (v.type == SqlValue::Type::Integer)
                sqlite3_bind_int64(stmt, at, v.integer);
            else if (v.type == SqlValue::Type::Text)
                sqlite3_bind_text(stmt, at, v.text.constData(), static_cast<int>(v.text.size()),
                                  SQLITE_TRANSIENT);
        }
        const int last = QString(sql).startsWith(QLatin1String("EXPLAIN QUERY PLAN")) ? 3 : 0;
        while (sqlite3_step(stmt) == SQLITE_ROW)
            out << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, last)));
        sqlite3_finalize(stmt);
        return out;
    }

private:
    sqlite3* m_db = nullptr;
    SqliteLikeCache m_likes;
};

// The standard account set on one engine: StandardSetTest on SQLite, for what only SQLite shows
// (its query plans, its file read by another program); StandardSetEngineTest over every engine,
// for the rows and values a host sees.
class StandardSetTest : public ::testing::Test {
protected:
    void SetUp() override {
        SARVO_REQUIRE_ENGINE(engine());
        ASSERT_TRUE(m_dir.isValid());
        m_connectionString = sarvo::testing::newAccountSet(engine(), m_dir.path(), QStringLiteral("standard"),
                                                           QStringLiteral("standard"));
        if (engine().name == QLatin1String("sqlite"))
            m_path = m_connectionString.mid(m_connectionString.indexOf(QLatin1Char(':')) + 1);
        m_conn = std::make_shared<Connection>(m_connectionString);
        m_conn->open();
    }
    virtual const sarvo::testing::EngineSlot& engine() const { return sarvo::testing::sqliteSlot(); }

    QStringList codes(const QString& tsql) {
        QStringList out;
        auto rs = m_conn->execute(tsql);
        while (!rs->eof()) {
            out << rs->field(QStringLiteral("ccode")).toDisplayText();
            rs->moveNext();
        }
        rs->close();
        return out;
    }

    QTemporaryDir m_dir;
    QString m_connectionString;
    QString m_path; // the SQLite file
    std::shared_ptr<Connection> m_conn;
};

class StandardSetEngineTest : public StandardSetTest,
                              public ::testing::WithParamInterface<const sarvo::testing::EngineSlot*> {
protected:
    const sarvo::testing::EngineSlot& engine() const override { return *GetParam(); }
};

// The quick filter's condition for typed text in the begins-with mode, with the host's extra
// condition appended as the quick filter appends it.
QString filter(const QString& typed, const QString& extra) {
    return QStringLiteral(
               "  ( ccode like N'%1%' or  ccode_name like N'%1%' or ccode_engl like N'%1%' or  chelp "
               "like N'%2%' )%3")
        .arg(typed, typed.toUpper(), extra);
}

QString flatTree(const QString& typed, const QString& extra) {
    return QStringLiteral("select * from code where  iYear=2024 and (") + filter(typed, extra) +
           QStringLiteral(") order by ccode ");
}

struct ConditionCase {
    QString typed;
    QString extra; // Viewpara2
    QStringList expected;
};

TEST_P(StandardSetEngineTest, HostConditionsFindTheRowsTheServerFinds) {
    const std::vector<ConditionCase> cases = {
        {"1002", " and right(ccode,2)='01'", list({"100201", "10020101", "10020201", "10020301"})},
        {"1", " and charindex(N'银行', ccode_name)>0 and igrade=1", list({"1002", "1003"})},
        {"10", " and cast(ccode as int) between 1000 and 1010", list({"1001", "1002", "1003"})},
        {"10", " and convert(int, ccode)<1002", list({"1001"})},
        {"1", " and case when cexch_name is null then N'N' else N'Y' end=N'y'",
         list({"10020102", "10020302", "112203"})},
        {"1", " and case igrade when 3 then N'leaf' else N'' end=N'LEAF' and ccode like N'1002%'",
         list({"10020101", "10020102", "10020201", "10020301", "10020302"})},
        {"YH", " and chelp=N'yhck'", list({"1002"})},
        {"1002", " and len(ccode)=8 and substring(ccode,5,2)<>N'01'",
         list({"10020201", "10020301", "10020302"})},
        {"2", " and left(ccode,2)=N'２２' and igrade=1",
         list({"2201", "2202", "2203", "2204", "2211", "2221", "2231", "2232", "2241", "2251", "2261"})},
        {"10", " and ccode like N'1!0__' escape N'!' and isnull(cexch_name,N'')=N''",
         list({"1001", "1002", "1003", "1011", "1012", "1021", "1031"})},
        {"1405", " and year(getdate())>=2024 and iYear=year(N'2024-06-30')",
         list({"1405", "140501", "140502"})},
        {"1", " and upper(ccode_engl) like N'USD%'", list({"10020102"})},
        {"1", " and replace(ccode_engl, N'ACCOUNT', N'')=N'usd '", list({"10020102"})},
        {"14", " and cmeasure in (N'吨', N'件') and ccode not in (select ccode from GL_mcodeused)",
         list({"140301", "140303", "140304", "140501", "140502"})},
        {"1", " and ccode+0 between 1401 and 1403", list({"1401", "1402", "1403"})},
        {"3", " and coalesce(cexch_name, cmeasure) is not null", list({"3002"})},
        {"1", " and cast(getdate() as date)>'2000-01-31' and bperson=1", list({"122101", "122102"})},
        {"1", " and getdate()>'20000131' and convert(varchar(4), getdate(), 112)>=N'2024' and bperson=1",
         list({"122101", "122102"})},
        {"1002", " and ccode=N'1002 '", list({"1002"})},
        {"1002", " and ccode not like N'1002%'", {}},
        {"1002", " and ltrim(rtrim(ccode_name)) in (N'美元户', N'欧元户')", list({"10020102", "10020302"})},
        {"1002", " and igrade*2-1=5 and igrade%2=1 and not (be=0)",
         list({"10020101", "10020102", "10020201", "10020301", "10020302"})},
        // ORed LIKE tests keep the OR's meaning: a match wins over a null, a null without a match
        // leaves the OR unknown (so its NOT holds on no row here), a pattern may differ per row.
        {"1", " and (cexch_name like N'%元' or cmeasure like N'件')",
         list({"10020102", "10020302", "112203", "140304", "140501", "140502"})},
        {"1", " and not (cexch_name like N'欧%' or cmeasure like N'件%')", {}},
        {"1", " and (N'usd ACCOUNT' like ccode_engl or cmeasure like N'千%')", list({"10020102", "140302"})},
    };
    for (const ConditionCase& c : cases) {
        SCOPED_TRACE((c.typed + c.extra).toStdString());
        EXPECT_EQ(codes(flatTree(c.typed, c.extra)), c.expected);
    }
}

// The server's functions and conversions give the server's values.
TEST_P(StandardSetEngineTest, FunctionsGiveTheServersValues) {
    const std::vector<std::pair<QString, QString>> cases = {
        {"charindex(N'B', N'abcb', 3)", "4"},
        {"charindex(N'b', N'abc', 5)", "0"},
        {"charindex(N'', N'abc')", "0"},
        {"charindex(N'ｃ', N'abc')", "3"},
        {"charindex(N'银行', N'工商银行')", "3"},
        {"replace(N'ABCabc', N'b', N'-')", "A-Ca-c"},
        {"replace(N'１００２01', N'1002', N'x')", "x01"},
        {"len(N'ab  ')", "2"},
        {"len(N'　ab')", "3"},
        {"right(N'abc', 0)", ""},
        {"right(N'abc', 5)", "abc"},
        {"right(12345, 2)", "45"},
        {"left(N'abc', 2)", "ab"},
        {"substring(N'abc', 0, 2)", "a"},
        {"convert(varchar(10), convert(datetime, N'20240131 10:11:12', 112), 120)", "2024-01-31"},
        {"convert(varchar(30), convert(datetime, N'2024-01-31 10:11:12.5'), 121)", "2024-01-31 10:11:12.500"},
        {"convert(varchar(8), cast(N'2024-01-31' as date), 112)", "20240131"},
        {"cast(N'2024/1/31' as date)", "2024-01-31"},
        {"cast(2.7 as int)", "2"},
        {"cast(-2.7 as int)", "-2"},
        {"cast(N' 12 ' as int)", "12"},
        {"cast(N'ab' as char(4)) + N'|'", "ab  |"},
        {"cast(N'abcdef' as varchar(3))", "abc"},
        {"7/2", "3"},
        {"7%3", "1"},
        {"upper(N'straße жук')", "STRAßE ЖУК"},
        {"lower(N'ÀB')", "àb"},
        {"case N'a' when N'A' then 1 else 0 end", "1"},
        {"case when N'abc' like N'A%' then 1 else 0 end", "1"},
        {"isnull(null, N'x')", "x"},
        {"coalesce(null, null, 3)", "3"},
        {"N'1' + 1", "2"},
        {"N'ab' + N'c'", "abc"},
        {"year(N'2024-06-30') * 100 + month(N'20240630')", "202406"},
        {"day(N'2024/06/30')", "30"},
    };
    for (const auto& [expression, value] : cases) {
        SCOPED_TRACE(expression.toStdString());
        auto rs = m_conn->execute(QStringLiteral("select ") + expression + QStringLiteral(" as v"));
        EXPECT_EQ(rs->field(QStringLiteral("v")).toDisplayText(), value);
        rs->close();
    }
}

// A condition that fails on a row fails on every engine, in the server's words.
TEST_P(StandardSetEngineTest, ConversionsFailWhereTheServerFails) {
    struct Case {
        QString extra, message;
    };
    const std::vector<Case> cases = {
        {" and cast(ccode_engl as int)=1", "Conversion failed when converting the nvarchar value"},
        {" and ccode_name+1=2", "Conversion failed when converting the nvarchar value"},
        {" and getdate()>N'31/01/2024'", "Conversion failed when converting date and/or time"},
        {" and ccode_engl like N'a' escape N'ab'", "invalid escape character"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.extra.toStdString());
        QString error;
        EXPECT_FALSE(m_conn->tryExecute(flatTree(QStringLiteral("1"), c.extra), &error));
        EXPECT_TRUE(error.contains(c.message)) << error.toStdString();
    }
}

// The hierarchy layout with an extra condition: the temporary table holds what the condition
// finds, and the prefix joins lead to it.
TEST_P(StandardSetEngineTest, HierarchyWithAnExtraCondition) {
    const QString table = QStringLiteral("tempdb..[demo20240101]");
    m_conn->setCursorLocation(3);
    m_conn->execute(QStringLiteral("select  * into ") + table +
                    QStringLiteral("  from code  where  iYear=2024 and (") +
                    filter(QStringLiteral("１００２"), QStringLiteral(" and right(ccode,2)='01'")) +
                    QStringLiteral(") order by ccode "));
    EXPECT_EQ(codes(QStringLiteral("select * from ") + table),
              list({"100201", "10020101", "10020201", "10020301"}));
    const QString join =
        QStringLiteral("select distinct code.cclass,code.cClass,code.ccode,code.cCode_name,code.ccode_engl,"
                       "code.igrade  from ") +
        table + QStringLiteral(" inner join code on ") + table +
        QStringLiteral(".ccode like code.ccode+'%' where ");
    EXPECT_EQ(codes(join + QStringLiteral("code.igrade=1 and code.iYear=2024 order by code.ccode ")),
              list({"1002"}));
    EXPECT_EQ(
        codes(join + QStringLiteral("code.ccode like '1002%' and code.igrade=2 and code.iYear=2024 order by "
                                    "code.ccode ")),
        list({"100201", "100202", "100203"}));
    EXPECT_EQ(
        codes(join + QStringLiteral("code.ccode like '100201%' and code.igrade=3 and code.iYear=2024 order "
                                    "by code.ccode ")),
        list({"10020101"}));
}

// Typed and stored forms meet as the server's collation has them: case, width and trailing blanks.
TEST_P(StandardSetEngineTest, TextComparesUnderTheServersCollation) {
    // Rows another program wrote, in the engine's own SQL: a code in full-width digits, one with
    // a trailing blank, a lower-case mnemonic.
    m_conn->native(
        QStringLiteral("INSERT INTO code (iYear, cclass, ccode, ccode_name, ccode_engl, igrade, chelp) "
                       "VALUES "
                       "(2024, '负债', '２２０５', '测试一', 'Test one', 1, 'csy'), "
                       "(2024, '负债', '2206 ', '测试二', 'Test two', 1, 'CSE'), "
                       "(2024, '负债', '220601', '测试三', 'Test three', 2, 'ｃｓｓ')"));
    const QString grade1 =
        QStringLiteral("select * from code where    igrade =1 and ccode like N'%1' and iYear=2024 "
                       "order by ccode");
    const std::vector<std::pair<QString, QStringList>> cases = {
        {"Select Top 1 * FROM code Where ccode= N'1002' and iYear=2024 Order By ccode", list({"1002"})},
        {"Select Top 1 * FROM code Where ccode= N'1002 ' and iYear=2024 Order By ccode", list({"1002"})},
        {"Select Top 1 * FROM code Where ccode= N'１００２' and iYear=2024 Order By ccode", list({"1002"})},
        {"Select Top 1 * FROM code Where ccode= N'2205' and iYear=2024 Order By ccode", list({"２２０５"})},
        {"Select Top 1 * FROM code Where ccode= N'2206' and iYear=2024 Order By ccode", list({"2206 "})},
        {"Select Top 1 * FROM code Where ccode= N'22O5' and iYear=2024 Order By ccode", {}},
        {grade1.arg(QStringLiteral("220%")), list({"2201", "2202", "2203", "2204", "2206 ", "２２０５"})},
        {grade1.arg(QStringLiteral("２２０%")), list({"2201", "2202", "2203", "2204", "2206 ", "２２０５"})},
        {grade1.arg(QStringLiteral("2206%")), list({"2206 "})},
        {"select * from code where    igrade =2 and ccode like N'2206%' and iYear=2024 order by ccode",
         list({"220601"})},
        {"select * from code where  iYear=2024 and (  chelp=N'YHCK' or chelp=N'ｃｓｙ' or chelp=N'CSS') "
         "order by ccode ",
         list({"1002", "220601", "２２０５"})},
        {"select * from code where    igrade=1 and cclass=N'负债' and ccode>=N'2206' and ccode<N'２２４' and "
         "iYear=2024 "
         "order by ccode",
         list({"2206 ", "2211", "2221", "2231", "2232"})},
        {"select * from code where iYear=2024 and ccode between N'2204' and N'２２０５' order by ccode",
         list({"2204", "２２０５"})},
        {"select * from code where iYear=2024 and ccode in (N'2205', N'２２０６', N'1002') order by ccode",
         list({"1002", "2206 ", "２２０５"})},
    };
    for (const auto& [tsql, expected] : cases) {
        SCOPED_TRACE(tsql.toStdString());
        EXPECT_EQ(codes(tsql), expected);
    }
}

// What an index serves, as SQLite plans it: the code and class tests of the level loads, the
// confirmation and the recently used list go through the account set's indexes, the probe for
// other forms through the same index, the prefix join through the temporary table's.
TEST_F(StandardSetTest, CodeTestsAreServedByIndexes) {
    SchemaInfo schema = schemaOf(*m_conn);
    PlainSqlite db(m_path, true);
    const TSqlTranslator t(Dialect::sqlite(), &schema);
    for (const RenderedStep& step :
         t.translate(QStringLiteral("select  * into tempdb..[plan1]  from code  where  iYear=2024")).steps) {
        if (step.deferred != RenderedStep::Deferred::No) continue;
        ASSERT_EQ(db.exec(step.text), QString()) << step.text.toStdString();
    }
    schema.setTable(true, QStringLiteral("plan1"), schema.columns(false, QStringLiteral("code")));
    const QString probe = QStringLiteral("SEARCH sarvo_v USING COVERING INDEX %1");
    // The accounts table is stored in key order: a look by year and code searches the table itself.
    const QString byKey = QStringLiteral("SEARCH %1 USING PRIMARY KEY (iYear=? AND ccode>? AND ccode<?)");
    struct PlanCase {
        QString tsql;
        QStringList lines;
    };
    const std::vector<PlanCase> cases = {
        {"select * from code where    igrade =2 and ccode like N'1002%' and iYear=2024 order by ccode",
         {"SEARCH code USING INDEX code_year_grade_code (iYear=? AND igrade=? AND ccode>? AND ccode<?)",
          probe.arg("code_year_grade_code (iYear=? AND igrade=? AND ccode>? AND ccode<?)")}},
        {"select * from code where    igrade =2 and ccode like N'１００２%' and iYear=2024 order by ccode",
         {"SEARCH code USING INDEX code_year_grade_code (iYear=? AND igrade=? AND ccode>? AND ccode<?)"}},
        {"Select Top 1 * FROM code Where ccode= N'100201' and iYear=2024 Order By ccode",
         {byKey.arg("code"), byKey.arg("sarvo_v")}},
        {"select * from code where  bclose=0 and  igrade=1 and cclass=N'资产' and iYear=2024 order by ccode",
         {"SEARCH code USING INDEX code_year_grade_class (iYear=? AND igrade=? AND cclass>? AND cclass<?)"}},
        {"select cuser,code.ccode as ccode,code.ccode_name as ccode_name,code.ccode_engl as ccode_engl from "
         "GL_mcodeused,code where cuser=N'demo' and GL_mcodeused.ccode=code.ccode and code.iyear=2024order "
         "by "
         "GL_mcodeused.ccode",
         {byKey.arg("code")}},
        {"select distinct code.cclass,code.cClass,code.ccode,code.cCode_name,code.ccode_engl,code.igrade  "
         "from "
         "tempdb..[plan1] inner join code on tempdb..[plan1].ccode like code.ccode+'%' where code.ccode like "
         "'1002%' and code.igrade=2 and code.iYear=2024 order by code.ccode ",
         {"SEARCH code USING INDEX code_year_grade_code (iYear=? AND igrade=? AND ccode>? AND ccode<?)",
          "SEARCH temp.plan1 USING INDEX plan1$ccode (<expr>>? AND <expr><?)"}},
        // The host's look-ups, its values bound.
        {"SELECT bend, bclose FROM code WHERE iYear = ? AND ccode = ?",
         {byKey.arg("code"), byKey.arg("sarvo_v")}},
        {"select ccode, ccode_name, ccode_engl, bclose from code where iYear=? and ccode in (?,?)",
         {"SEARCH code USING PRIMARY KEY (iYear=? AND ccode=?)", byKey.arg("sarvo_s"), byKey.arg("sarvo_v")}},
    };
    for (const PlanCase& c : cases) {
        SCOPED_TRACE(c.tsql.toStdString());
        const RenderedStep step = t.translate(c.tsql).steps.front();
        const QStringList plan = db.column(QStringLiteral("EXPLAIN QUERY PLAN ") + step.sql, step.params);
        for (const QString& line : c.lines)
            EXPECT_TRUE(plan.contains(line)) << plan.join(QLatin1Char('\n')).toStdString();
        EXPECT_FALSE(plan.join(QLatin1Char('\n')).contains(QStringLiteral("SCAN code")))
            << plan.join(QLatin1Char('\n')).toStdString();
    }
}

// After the component has worked on an account set (level loads, the hierarchy's temporary
// table, recently used rows, its option row), a program with the SQLite library alone still reads,
// inserts, updates and deletes every table: nothing in the file needs the registered functions.
TEST_F(StandardSetTest, AccountSetStaysUsableByOtherPrograms) {
    m_conn->execute(
        QStringLiteral("select * from code where    igrade =2 and ccode like N'1002%' and iYear=2024 "
                       "order by ccode"));
    m_conn->execute(QStringLiteral("select  * into tempdb..[u1]  from code  where  iYear=2024 and ( br=1) "));
    m_conn->execute(QStringLiteral("insert into GL_mcodeused values(N'demo',N'1002')"));
    m_conn->execute(QStringLiteral(
        "if not exists (select cSysID FROM AccInformation where cSysID ='GL' AND cName = 'IntSarvoTree') "
        "Begin "
        "Insert into AccInformation(csysid,cid,cname,ccaption,ctype,cvalue,cdefault,bvisible,benable) "
        "values(N'GL',N'171',N'IntSarvoTree',N'Sarvo树型显示',N'Integer',N'1',N'1',1,1) End"));
    m_conn->execute(
        QStringLiteral("update AccInformation set cValue=N'0' where cSysID='GL' and cName='IntSarvoTree'"));
    m_conn->close();

    PlainSqlite other(m_path);
    EXPECT_EQ(other.column(QStringLiteral("PRAGMA integrity_check")), list({"ok"}));
    EXPECT_EQ(other.column(QStringLiteral("SELECT count(*) FROM sqlite_schema WHERE sql LIKE '%sarvo%'")),
              list({"0"}));
    struct TableCase {
        QString table, insert, update, key;
        QString before = {}; // frees the key the insert takes
    };
    const std::vector<TableCase> tables = {
        {"code", "(iYear, cclass, ccode, ccode_name, igrade) VALUES (2024, '资产', '1999', '新科目', 1)",
         "ccode_name = '改名'", "ccode = '1999'"},
        {"GL_mcodeused", "VALUES ('other', '1001')", "ccode = '1002'", "cuser = 'other'"},
        {"AccInformation", "(cSysID, cName, cValue) VALUES ('GL', 'Other', '1')", "cValue = '2'",
         "cName = 'Other'"},
        {"host_class",
         "(iPosition, cclass, cKind, cText_zhcn, cText_zhtw, cText_enus) VALUES (99, '新类', 'X', '新', "
         "'新', 'New')",
         "cKind = 'Y'", "iPosition = 99"},
        {"host_scheme", "(iGrade, iLength) VALUES (13, 30)", "iLength = 31", "iGrade = 13",
         "DELETE FROM host_scheme WHERE iGrade = 13"},
        {"host_setting", "(cName, cValue) VALUES ('Other', '1')", "cValue = '2'", "cName = 'Other'"},
        {"host_year", "(iYear) VALUES (2030)", "iYear = 2031", "iYear = 2030 OR iYear = 2031"},
        {"host_user", "(cUser_Id, cUser_Name) VALUES ('u9', '用户')", "cUser_Name = '改'", "cUser_Id = 'u9'"},
    };
    for (const TableCase& t : tables) {
        SCOPED_TRACE(t.table.toStdString());
        if (!t.before.isEmpty()) {
            EXPECT_EQ(other.exec(t.before), QString());
        }
        const QString count = QStringLiteral("SELECT count(*) FROM ") + t.table;
        const QString before = other.column(count).value(0);
        EXPECT_EQ(other.exec(QStringLiteral("INSERT INTO %1 %2").arg(t.table, t.insert)), QString());
        EXPECT_EQ(other.exec(QStringLiteral("UPDATE %1 SET %2 WHERE %3").arg(t.table, t.update, t.key)),
                  QString());
        EXPECT_EQ(other.column(count).value(0).toInt(), before.toInt() + 1);
        EXPECT_EQ(other.exec(QStringLiteral("DELETE FROM %1 WHERE %2").arg(t.table, t.key)), QString());
        EXPECT_EQ(other.column(count).value(0), before);
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, StandardSetEngineTest,
                         ::testing::ValuesIn(sarvo::testing::engineSlotPointers()), sarvo::testing::slotName);

} // namespace

} // namespace sarvo::db::test
