// The component's statements run on the small account set, with the rows they must give: the
// results the server would give for the same text.
#include "DbFixture.h"

#include "host/db/EngineError.h"
#include "runtime/RuntimeError.h"

namespace sarvo::db::test {

namespace {

QStringList list(std::initializer_list<const char*> items) {
    QStringList out;
    for (const char* i : items)
        out << QString::fromUtf8(i);
    return out;
}

QString quickFilter(const QString& pattern, const QString& upper) {
    return QStringLiteral(" ( ccode like N'%1' or  ccode_name like N'%1' or ccode_engl like N'%1' or  chelp "
                          "like N'%2' )")
        .arg(pattern, upper);
}

QString flatTree(const QString& filter) {
    return QStringLiteral("select * from code where  iYear=2024 and (") + filter +
           QStringLiteral(") order by ccode ");
}

class StatementResultsTest : public EngineDbFixture {
protected:
    void SetUp() override {
        EngineDbFixture::SetUp();
        if (HasFatalFailure() || IsSkipped()) return;
        seedAccounts();
    }
};

struct QueryCase {
    const char* name;
    QString tsql;
    QString column;
    QStringList expected;
};

TEST_P(StatementResultsTest, QueriesGiveTheRowsTheServerWould) {
    const std::vector<QueryCase> cases = {
        {"flat tree without filter", QStringLiteral("select * from code where  iYear=2024 order by ccode "),
         "ccode", list({"1001", "1002", "100201", "100202", "1122", "1221", "1403", "1405", "2202"})},
        {"begins-with, lower-case text finds capitalised names",
         flatTree(QStringLiteral(" bclose=0 and ") + quickFilter("r%", "R%") + QStringLiteral(" and bend=1")),
         "ccode", list({"1122", "1403"})},
        {"contains Chinese text", flatTree(QStringLiteral("  ") + quickFilter("%银行%", "%银行%") + " "),
         "ccode", list({"1002", "100201"})},
        {"begins-with digits", flatTree(QStringLiteral("  ") + quickFilter("1002%", "1002%")), "ccode",
         list({"1002", "100201", "100202"})},
        {"typed _ matches one character", flatTree(QStringLiteral("  ") + quickFilter("1_0%", "1_0%")),
         "ccode", list({"1001", "1002", "100201", "100202", "1403", "1405"})},
        {"typed [12] is a class", flatTree(QStringLiteral("  ") + quickFilter("1[12]2%", "1[12]2%")), "ccode",
         list({"1122", "1221"})},
        {"typed [ without ] matches nothing",
         flatTree(QStringLiteral("  ") + quickFilter("10[%", "10[%")),
         "ccode",
         {}},
        {"typed [[] finds a bracket, contains mode",
         flatTree(QStringLiteral("  ") + quickFilter("%[[]A]%", "%[[]A]%") + " "), "ccode", list({"1221"})},
        {"doubled quote in a literal", flatTree(QStringLiteral("  ") + quickFilter("o''brien%", "O''BRIEN%")),
         "ccode", list({"1221"})},
        {"attribute filter", flatTree(QStringLiteral(" br=1 and bend=1 and bclose=0")), "ccode",
         list({"1001", "100201", "100202"})},
        {"foreign currency", flatTree(QStringLiteral(" ( not cexch_name is null) ")), "ccode",
         list({"100202"})},
        {"quantity", flatTree(QStringLiteral(" (not cmeasure is null) ")), "ccode", list({"1403"})},
        {"customer, not closed", flatTree(QStringLiteral(" bcus=1 and bclose=0")), "ccode", list({"1122"})},
        {"extra condition with in and between",
         flatTree(QStringLiteral(" bend=1 and igrade in (2,3) and ccode between N'1002' and N'1003'")),
         "ccode", list({"100201", "100202"})},
        {"grade 1 of a class",
         QStringLiteral(
             "select * from code where    igrade=1 and cclass=N'资产' and iYear=2024 order by ccode"),
         "ccode", list({"1001", "1002", "1122", "1221", "1403", "1405"})},
        {"grade 1 of a class, closed hidden",
         QStringLiteral("select * from code where  bclose=0 and  igrade=1 and cClass=N'资产' and iYear=2024 "
                        "order by ccode"),
         "ccode", list({"1001", "1002", "1122", "1221", "1403"})},
        {"grade 2 under a parent",
         QStringLiteral(
             "select * from code where    igrade =2 and ccode like N'1002%' and iYear=2024 order by ccode"),
         "ccode", list({"100201", "100202"})},
        {"grade 3 under a leaf",
         QStringLiteral(
             "select * from code where    igrade =3 and ccode like N'100201%' and iYear=2024 order by ccode"),
         "ccode",
         {}},
        {"recently used of one user",
         QStringLiteral(
             "select cuser,code.ccode as ccode,code.ccode_name as ccode_name,code.ccode_engl as ccode_engl "
             "from GL_mcodeused,code where cuser=N'demo' and GL_mcodeused.ccode=code.ccode and "
             "code.iyear=2024order by GL_mcodeused.ccode"),
         "ccode_name", list({"库存现金", "工商银行"})},
        {"confirmation look-up",
         QStringLiteral("Select Top 1 * FROM code Where ccode= N'100201' and iYear=2024 Order By ccode"),
         "ccode_engl", list({"ICBC"})},
        {"top 1 of many", QStringLiteral("Select Top 1 * FROM code Where iYear=2024 Order By ccode desc"),
         "ccode", list({"2202"})},
        {"distinct with a column named twice",
         QStringLiteral("select distinct cclass,cClass from code where iYear=2024 order by cclass"), "CCLASS",
         list({"负债", "资产"})},
    };
    for (const QueryCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(column(c.tsql, c.column), c.expected);
    }
}

// The hierarchy layout: drop (failure ignored), fill, then the prefix join level by level.
TEST_P(StatementResultsTest, HierarchyLoadWalksTheTemporaryTable) {
    const QString table = QStringLiteral("tempdb..[demo20240101]");
    const QString join =
        QStringLiteral("select distinct code.cclass,code.cClass,code.ccode,code.cCode_name,code.ccode_engl,"
                       "code.igrade  from ") +
        table + QStringLiteral(" inner join code on ") + table +
        QStringLiteral(".ccode like code.ccode+'%' where ");
    EXPECT_FALSE(m_conn->tryExecute(QStringLiteral("drop table ") + table));
    m_conn->setCursorLocation(3);
    m_conn->execute(QStringLiteral("select  * into ") + table +
                    QStringLiteral("  from code  where  iYear=2024 and (  ") +
                    quickFilter("%美元%", "%美元%") + QStringLiteral(" ) order by ccode "));
    EXPECT_EQ(
        column(join + QStringLiteral("code.igrade=1 and code.iYear=2024 order by code.ccode "), "ccode"),
        list({"1002"}));
    EXPECT_EQ(
        column(join +
                   QStringLiteral(
                       "code.ccode like '1002%' and code.igrade=2 and code.iYear=2024 order by code.ccode "),
               "cCode"),
        list({"100202"}));
    EXPECT_EQ(
        column(
            join +
                QStringLiteral(
                    "code.ccode like '100202%' and code.igrade=3 and code.iYear=2024 order by code.ccode "),
            "ccode"),
        QStringList());
    // The same name again while it exists fails, as on the server.
    EXPECT_FALSE(m_conn->tryExecute(QStringLiteral("select  * into ") + table +
                                    QStringLiteral("  from code  where  iYear=2024")));
    EXPECT_TRUE(m_conn->tryExecute(QStringLiteral("drop table ") + table));
    QString error;
    EXPECT_FALSE(m_conn->tryExecute(QStringLiteral("drop table ") + table, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("drop table tempdb..[demo20240101]"))) << error.toStdString();
}

TEST_P(StatementResultsTest, TemporaryTableBelongsToItsConnection) {
    m_conn->execute(QStringLiteral("select  * into tempdb..[mine]  from code  where  iYear=2024"));
    Connection other(m_connectionString);
    other.open();
    EXPECT_FALSE(other.tryExecute(QStringLiteral("select * from tempdb..[mine]")));
    EXPECT_EQ(column(QStringLiteral("select * from tempdb..[mine] where ccode like N'2%'"), "ccode"),
              list({"2202"}));
    m_conn->close();
    m_conn->open();
    EXPECT_FALSE(m_conn->tryExecute(QStringLiteral("select * from tempdb..[mine]")));
}

// Texts that differ only in literals share one rendering, except where a literal is part of the
// statement itself: a row limit, an ORDER BY position, a select-list value; and a LIKE pattern
// that starts with a wildcard has no index range.
TEST_P(StatementResultsTest, SameShapeDifferentLiteralsGiveTheirOwnResults) {
    const std::vector<std::pair<QString, QStringList>> runs = {
        {"Select Top 1 * FROM code Where iYear=2024 Order By ccode", list({"1001"})},
        {"Select Top 3 * FROM code Where iYear=2024 Order By ccode", list({"1001", "1002", "100201"})},
        {"Select Top 2 * FROM code Where iYear=2023 Order By ccode", list({"1001"})},
        {"select ccode, ccode_engl from code where ccode like N'10%' and iYear=2024 order by 2",
         list({"1002", "1001", "100201", "100202"})},
        {"select ccode, ccode_engl from code where ccode like N'12%' and iYear=2024 order by 1",
         list({"1221"})},
        {"select ccode, ccode_engl from code where ccode like N'%2' and iYear=2024 order by 1",
         list({"1002", "100202", "1122", "2202"})},
        {"select ccode, ccode_engl from code where ccode like N'%1' and iYear=2024 order by 1",
         list({"1001", "100201", "1221"})},
    };
    for (const auto& [tsql, expected] : runs) {
        SCOPED_TRACE(tsql.toStdString());
        EXPECT_EQ(column(tsql, QStringLiteral("ccode")), expected);
    }
    EXPECT_EQ(rows(QStringLiteral("select N'a' as x, ccode from code where ccode=N'1001' and iYear=2024")),
              list({"a|1001"}));
    EXPECT_EQ(rows(QStringLiteral("select N'b' as x, ccode from code where ccode=N'1002' and iYear=2024")),
              list({"b|1002"}));
}

// A temporary table made again, once with a number and once with a text under the same name:
// "+" adds or joins by what the table holds now, however often the same statement ran before.
TEST_P(StatementResultsTest, ATableMadeAgainWithOtherKindsIsReadAsItIsNow) {
    const std::vector<std::pair<QString, QString>> rounds = {
        {"igrade", "2"}, {"ccode", "10011"}, {"igrade", "2"}, {"ccode", "10011"}, {"ccode", "10011"},
    };
    for (const auto& [column, expected] : rounds) {
        SCOPED_TRACE(column.toStdString());
        m_conn->tryExecute(QStringLiteral("drop table tempdb..[kinds1]"));
        m_conn->execute(QStringLiteral("select ") + column +
                        QStringLiteral(" as x into tempdb..[kinds1] from code where ccode=N'1001' and iYear=2024"));
        EXPECT_EQ(rows(QStringLiteral("select x + '1' as y from tempdb..[kinds1]")), QStringList{expected});
    }
}

TEST_P(StatementResultsTest, RecentlyUsedAddAndRemove) {
    const QString list2 =
        QStringLiteral("select cuser,code.ccode as ccode,code.ccode_name as ccode_name,code.ccode_engl "
                       "as ccode_engl from GL_mcodeused,code where cuser=N'demo' and "
                       "GL_mcodeused.ccode=code.ccode and code.iyear=2024order by GL_mcodeused.ccode");
    m_conn->execute(QStringLiteral("insert into GL_mcodeused values(N'demo',N'1122')"));
    EXPECT_EQ(column(list2, "ccode"), list({"1001", "100201", "1122"}));
    // The table's key refuses a second identical row.
    EXPECT_FALSE(m_conn->tryExecute(QStringLiteral("insert into GL_mcodeused values(N'demo',N'1122')")));
    m_conn->execute(QStringLiteral("delete from GL_mcodeused where cuser =N'demo' and ccode = N'1001'"));
    EXPECT_EQ(column(list2, "ccode"), list({"100201", "1122"}));
    EXPECT_EQ(column(QStringLiteral("select ccode from GL_mcodeused where cuser=N'other'"), "ccode"),
              list({"1002"}));
}

TEST_P(StatementResultsTest, OptionRowIsInsertedOnceAndOnlyOnce) {
    const QString batch = QStringLiteral(
        "if not exists (select cSysID FROM AccInformation where cSysID ='GL' AND cName = 'IntSarvoTree') "
        "Begin Insert "
        "into AccInformation(csysid,cid,cname,ccaption,ctype,cvalue,cdefault,bvisible,benable) "
        "values(N'GL',N'171',N'IntSarvoTree',N'Sarvo树型显示',N'Integer',N'1',N'1',1,1) End");
    const QString read =
        QStringLiteral("select cID, cCaption, cValue, bVisible from AccInformation where cSysID='GL'");
    m_conn->execute(batch);
    m_conn->execute(batch);
    EXPECT_EQ(rows(read), list({"171|Sarvo树型显示|1|1"}));
    // A user's changed value survives the next load's batch.
    m_conn->execute(
        QStringLiteral("update AccInformation set cValue=N'0' where cSysID='GL' and cName='IntSarvoTree'"));
    m_conn->execute(batch);
    EXPECT_EQ(rows(read), list({"171|Sarvo树型显示|0|1"}));
}

TEST_P(StatementResultsTest, MissingAccountGivesNoRowAndReadingItFails) {
    auto rs = m_conn->execute(
        QStringLiteral("Select Top 1 * FROM code Where ccode= N'9999' and iYear=2024 Order By ccode"));
    EXPECT_TRUE(rs->eof());
    try {
        rs->field(QStringLiteral("ccode_engl"));
        ADD_FAILURE() << "read a field without a row";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), 3021);
    }
}

TEST_P(StatementResultsTest, EngineErrorsCarryTheMessageAndTheStatement) {
    const QString bad = QStringLiteral("select nosuch from code");
    try {
        m_conn->execute(bad);
        ADD_FAILURE() << "ran";
    } catch (const RuntimeError& e) {
        EXPECT_TRUE(e.is(ErrorCode::DatabaseError));
        const QString message = engine().dialect == QLatin1String("postgresql")
                                    ? QStringLiteral("column \"nosuch\" does not exist")
                                    : QStringLiteral("no such column: nosuch");
        EXPECT_TRUE(e.description().contains(message)) << e.description().toStdString();
        EXPECT_TRUE(e.description().endsWith(bad));
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, StatementResultsTest,
                         ::testing::ValuesIn(sarvo::testing::engineSlotPointers()), sarvo::testing::slotName);

} // namespace

} // namespace sarvo::db::test
