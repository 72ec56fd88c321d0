// The component's statements and the T-SQL a host adds to them, rendered for every engine: one
// table with a column per dialect (SQLite, PostgreSQL, the server itself), against the account
// set's real schema; then what each dialect must refuse, and how literals become bound values.
#include "DbFixture.h"

#include "host/db/Dialect.h"
#include "host/db/SchemaInfo.h"
#include "host/db/TSqlTokenizer.h"
#include "host/db/TSqlTranslator.h"
#include "runtime/RuntimeError.h"

#include <algorithm>

namespace sarvo::db::test {

namespace {

// SQLite: "=" or LIKE on a code column of a table of the file, over the index as stored: the main
// range, widened when the probe finds a row in another form, then the exact test.
QString sqliteStored(const QString& column, const QString& key, bool like, const QString& table,
                     const QString& context) {
    const QString m = like ? QStringLiteral("0") : QStringLiteral("1");
    const QString name = column.section(QLatin1Char('.'), -1);
    const QString exact = like ? QStringLiteral("sarvo_like(%1, %2)").arg(column, key)
                               : QStringLiteral("sarvo_cmp(%1, %2) = 0").arg(column, key);
    return QStringLiteral("(%1 >= sarvo_lo(%2, %3) AND %1 < sarvo_hi(%2, %3, EXISTS (SELECT 1 FROM "
                          "sarvo_variants(%2, %3) AS sarvo_r CROSS JOIN %4 AS sarvo_v WHERE %5sarvo_v.%6 >= "
                          "sarvo_r.lo AND sarvo_v.%6 < sarvo_r.hi)) AND %7)")
        .arg(column, key, m, table, context, name, exact);
}

// SQLite: "column IN (keys)" on a code column of a table of the file: the stored texts equal to
// a key, found key by key over the index as "=" finds them.
QString sqliteListed(const QString& column, const QStringList& keys, const QString& context) {
    QString rows = keys.front() + QStringLiteral(" AS k");
    for (qsizetype i = 1; i < keys.size(); ++i)
        rows += QStringLiteral(" UNION ALL SELECT ") + keys[i];
    const QString stored = QStringLiteral("sarvo_s.") + column;
    const QString probeContext =
        QString(context).replace(QLatin1String("sarvo_s."), QLatin1String("sarvo_v."));
    return QStringLiteral(
               "%1 IN (SELECT %2 FROM (SELECT %3) AS sarvo_k CROSS JOIN code AS sarvo_s WHERE %4%2 >= "
               "sarvo_lo(sarvo_k.k, 1) AND %2 < sarvo_hi(sarvo_k.k, 1, EXISTS (SELECT 1 FROM "
               "sarvo_variants(sarvo_k.k, 1) AS sarvo_r CROSS JOIN code AS sarvo_v WHERE %5sarvo_v.%1 >= "
               "sarvo_r.lo AND sarvo_v.%1 < sarvo_r.hi)) AND sarvo_cmp(%2, sarvo_k.k) = 0)")
        .arg(column, stored, rows, context, probeContext);
}

// LIKE over an index of folded texts: SQLite's temporary tables, every PostgreSQL table.
QString foldedLike(const QString& column, const QString& key, const QString& order) {
    return QStringLiteral(
               "(sarvo_fold(%1)%3 >= sarvo_fold_lo(%2) AND sarvo_fold(%1)%3 < sarvo_fold_hi(%2) AND "
               "sarvo_like(%1, %2))")
        .arg(column, key, order);
}
QString sqliteTempLike(const QString& column, const QString& key) {
    return foldedLike(column, key, QString());
}
QString pgLike(const QString& column, const QString& key) {
    return foldedLike(column, key, QStringLiteral(" COLLATE \"C\""));
}
QString pgEq(const QString& a, const QString& b, const QString& op = QStringLiteral("=")) {
    return QStringLiteral("sarvo_fold(%1) COLLATE \"C\" %3 sarvo_fold(%2)").arg(a, b, op);
}
QString sqliteEq(const QString& a, const QString& b, const QString& op = QStringLiteral("=")) {
    return QStringLiteral("sarvo_cmp(%1, %2) %3 0").arg(a, b, op);
}

// The conditional insert's first step: the existence test alone, so that a row already there
// costs no write.
QString optionTest(const QString& where) {
    return QStringLiteral("SELECT 1 WHERE NOT EXISTS (SELECT cSysID FROM AccInformation WHERE %1);\n")
        .arg(where);
}

// The quick filter's four tests for one typed text.
QString quickFilter(const QString& pattern, const QString& upper) {
    return QStringLiteral(" ( ccode like N'%1' or  ccode_name like N'%1' or ccode_engl like N'%1' or  chelp "
                          "like N'%2' )")
        .arg(pattern, upper);
}

// The same four tests as SQLite runs them: one call for the whole OR.
QString sqliteLikes(const QString& pattern, const QString& upper) {
    return QStringLiteral("(sarvo_like_any(ccode, '%1', ccode_name, '%1', ccode_engl, '%1', chelp, '%2'))")
        .arg(pattern, upper);
}

QString likes(const QString& pattern, const QString& upper, const QString& form) {
    return QStringLiteral("(%1 OR %2 OR %3 OR %4)")
        .arg(form.arg(QStringLiteral("ccode"), pattern), form.arg(QStringLiteral("ccode_name"), pattern),
             form.arg(QStringLiteral("ccode_engl"), pattern), form.arg(QStringLiteral("chelp"), upper));
}

struct Case {
    const char* name;
    QString tsql;
    QString sqlite;
    QString postgresql;
    QString sqlserver;
};

class TranslatorTest : public DbFixture {
protected:
    void SetUp() override {
        DbFixture::SetUp();
        m_schema = schemaOf(*m_conn);
        // The hierarchy's temporary table has code's columns.
        m_schema.setTable(true, QStringLiteral("demo1"), m_schema.columns(false, QStringLiteral("code")));
    }

    QString render(const Dialect& d, const QString& tsql) const {
        return TSqlTranslator(d, &m_schema).translate(tsql).text();
    }

    void expectRenderings(const std::vector<Case>& cases) const {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            EXPECT_EQ(render(Dialect::sqlite(), c.tsql).toStdString(), c.sqlite.toStdString());
            EXPECT_EQ(render(Dialect::postgresql(), c.tsql).toStdString(), c.postgresql.toStdString());
            EXPECT_EQ(render(Dialect::sqlServer(), c.tsql).toStdString(), c.sqlserver.toStdString());
        }
    }

    SchemaInfo m_schema;
};

TEST_F(TranslatorTest, RendersEveryStatementFormTheComponentSends) {
    const QString year = QStringLiteral("sarvo_v.iYear = 2024 AND ");
    const QString join =
        QStringLiteral("select distinct code.cclass,code.cClass,code.ccode,code.cCode_name,code.ccode_engl,"
                       "code.igrade  from tempdb..[demo1] inner join code on tempdb..[demo1].ccode like "
                       "code.ccode+'%' where ");
    const QString joinOut = QStringLiteral(
        "SELECT DISTINCT code.cclass, code.cClass, code.ccode, code.cCode_name, code.ccode_engl, "
        "code.igrade FROM %1 INNER JOIN code ON %2 WHERE ");
    const QString sqliteJoin =
        joinOut.arg(QStringLiteral("temp.\"demo1\""), sqliteTempLike("\"demo1\".ccode", "code.ccode || '%'"));
    const QString pgJoin =
        joinOut.arg(QStringLiteral("pg_temp.\"demo1\""), pgLike("\"demo1\".ccode", "code.ccode || '%'"));
    const QString serverJoin = joinOut.arg(QStringLiteral("tempdb..[demo1]"),
                                           QStringLiteral("tempdb..[demo1].ccode LIKE code.ccode + N'%'"));
    const QString recent =
        QStringLiteral("SELECT cuser, code.ccode AS ccode, code.ccode_name AS ccode_name, code.ccode_engl AS "
                       "ccode_engl FROM GL_mcodeused, code WHERE ");
    const QString sqliteLike = QStringLiteral("sarvo_like(%1, '%2')");
    const QString serverLike = QStringLiteral("%1 LIKE N'%2'");
    // The server's schema indexes every column the quick filter tests: each ORed LIKE with a
    // literal start as its index range.
    const QString rangedLike = QStringLiteral("(sarvo_fold(%1) COLLATE \"C\" >= sarvo_fold_lo('%2') AND "
                                              "sarvo_fold(%1) COLLATE \"C\" < sarvo_fold_hi('%2') AND "
                                              "sarvo_like(%1, '%2'))");
    const std::vector<Case> cases = {
        {"year check on request", "select * from code where iYear=2024",
         "SELECT * FROM code WHERE iYear = 2024", "SELECT * FROM code WHERE iYear = 2024",
         "SELECT * FROM code WHERE iYear = 2024"},
        {"flat tree without filter", "select * from code where  iYear=2024 order by ccode ",
         "SELECT * FROM code WHERE iYear = 2024 ORDER BY ccode",
         "SELECT * FROM code WHERE iYear = 2024 ORDER BY ccode",
         "SELECT * FROM code WHERE iYear = 2024 ORDER BY ccode"},
        {"flat tree, begins-with, closed hidden, extra condition",
         "select * from code where  iYear=2024 and ( bclose=0 and " + quickFilter("ab%", "AB%") +
             " and bend=1) order by ccode ",
         "SELECT * FROM code WHERE iYear = 2024 AND (bclose = 0 AND " + sqliteLikes("ab%", "AB%") +
             " AND bend = 1) ORDER BY ccode",
         "SELECT * FROM code WHERE iYear = 2024 AND (bclose = 0 AND " + likes("ab%", "AB%", rangedLike) +
             " AND bend = 1) ORDER BY ccode",
         "SELECT * FROM code WHERE iYear = 2024 AND (bclose = 0 AND " + likes("ab%", "AB%", serverLike) +
             " AND bend = 1) ORDER BY ccode"},
        {"flat tree, contains Chinese text",
         "select * from code where  iYear=2024 and (  " + quickFilter("%银行%", "%银行%") +
             " ) order by ccode ",
         "SELECT * FROM code WHERE iYear = 2024 AND (" + sqliteLikes("%银行%", "%银行%") +
             ") ORDER BY ccode",
         "SELECT * FROM code WHERE iYear = 2024 AND (" + likes("%银行%", "%银行%", sqliteLike) +
             ") ORDER BY ccode",
         "SELECT * FROM code WHERE iYear = 2024 AND (" + likes("%银行%", "%银行%", serverLike) +
             ") ORDER BY ccode"},
        {"hierarchy: drop the temporary table", "drop table tempdb..[demo20240101]",
         "DROP TABLE temp.\"demo20240101\"", "DROP TABLE pg_temp.\"demo20240101\"",
         "DROP TABLE tempdb..[demo20240101]"},
        {"hierarchy: fill the temporary table",
         "select  * into tempdb..[demo20240101]  from code  where  iYear=2024 and ( br=1) order by ccode ",
         "CREATE TEMP TABLE \"demo20240101\" AS SELECT * FROM code WHERE iYear = 2024 AND (br = 1) ORDER BY "
         "ccode;\nCREATE INDEX temp.\"demo20240101$ccode\" ON \"demo20240101\" (sarvo_fold(ccode))",
         "CREATE TEMPORARY TABLE \"demo20240101\" AS SELECT * FROM code WHERE iYear = 2024 AND (br = 1) "
         "ORDER BY "
         "ccode;\nCREATE INDEX \"demo20240101$ccode\" ON \"demo20240101\" ((sarvo_fold(ccode) COLLATE "
         "\"C\"))",
         "SELECT * INTO tempdb..[demo20240101] FROM code WHERE iYear = 2024 AND (br = 1) ORDER BY ccode"},
        {"hierarchy: first grade through the prefix join",
         join + "code.igrade=1 and code.iYear=2024 order by code.ccode ",
         sqliteJoin + "code.igrade = 1 AND code.iYear = 2024 ORDER BY code.ccode",
         pgJoin + "code.igrade = 1 AND code.iYear = 2024 ORDER BY code.ccode",
         serverJoin + "code.igrade = 1 AND code.iYear = 2024 ORDER BY code.ccode"},
        {"hierarchy: next grade under one account",
         join + "code.ccode like '1002%' and code.igrade=2 and code.iYear=2024 order by code.ccode ",
         sqliteJoin +
             sqliteStored("code.ccode", "'1002%'", true, "code",
                          "sarvo_v.igrade = 2 AND sarvo_v.iYear = 2024 AND ") +
             " AND code.igrade = 2 AND code.iYear = 2024 ORDER BY code.ccode",
         pgJoin + pgLike("code.ccode", "'1002%'") +
             " AND code.igrade = 2 AND code.iYear = 2024 ORDER BY code.ccode",
         serverJoin +
             "code.ccode LIKE N'1002%' AND code.igrade = 2 AND code.iYear = 2024 ORDER BY code.ccode"},
        {"grade 1 of a class",
         "select * from code where    igrade=1 and cclass=N'资产' and iYear=2024 order by ccode",
         "SELECT * FROM code WHERE igrade = 1 AND " +
             sqliteStored("cclass", "'资产'", false, "code", "sarvo_v.igrade = 1 AND " + year) +
             " AND iYear = 2024 ORDER BY ccode",
         "SELECT * FROM code WHERE igrade = 1 AND " + pgEq("cclass", "'资产'") +
             " AND iYear = 2024 ORDER BY ccode",
         "SELECT * FROM code WHERE igrade = 1 AND cclass = N'资产' AND iYear = 2024 ORDER BY ccode"},
        {"grade 1 of a class, closed hidden, English flag",
         "select * from code where  bclose=0 and  igrade=1 and cClass=N'负债' and iYear=2024 order by ccode",
         "SELECT * FROM code WHERE bclose = 0 AND igrade = 1 AND " +
             sqliteStored("cClass", "'负债'", false, "code",
                          "sarvo_v.bclose = 0 AND sarvo_v.igrade = 1 AND " + year) +
             " AND iYear = 2024 ORDER BY ccode",
         "SELECT * FROM code WHERE bclose = 0 AND igrade = 1 AND " + pgEq("cClass", "'负债'") +
             " AND iYear = 2024 ORDER BY ccode",
         "SELECT * FROM code WHERE bclose = 0 AND igrade = 1 AND cClass = N'负债' AND iYear = 2024 ORDER BY "
         "ccode"},
        {"grade 2 under a parent",
         "select * from code where    igrade =2 and ccode like N'1002%' and iYear=2024 order by ccode",
         "SELECT * FROM code WHERE igrade = 2 AND " +
             sqliteStored("ccode", "'1002%'", true, "code", "sarvo_v.igrade = 2 AND " + year) +
             " AND iYear = 2024 ORDER BY ccode",
         "SELECT * FROM code WHERE igrade = 2 AND " + pgLike("ccode", "'1002%'") +
             " AND iYear = 2024 ORDER BY ccode",
         "SELECT * FROM code WHERE igrade = 2 AND ccode LIKE N'1002%' AND iYear = 2024 ORDER BY ccode"},
        {"recently used list, year glued to order",
         "select cuser,code.ccode as ccode,code.ccode_name as ccode_name,code.ccode_engl as ccode_engl from "
         "GL_mcodeused,code where cuser=N'demo' and GL_mcodeused.ccode=code.ccode and code.iyear=2024order "
         "by "
         "GL_mcodeused.ccode",
         recent + sqliteEq("cuser", "'demo'") + " AND " +
             sqliteStored("code.ccode", "GL_mcodeused.ccode", false, "code", "sarvo_v.iyear = 2024 AND ") +
             " AND code.iyear = 2024 ORDER BY GL_mcodeused.ccode",
         recent + pgEq("cuser", "'demo'") + " AND " + pgEq("GL_mcodeused.ccode", "code.ccode") +
             " AND code.iyear = 2024 ORDER BY GL_mcodeused.ccode",
         recent + "cuser = N'demo' AND GL_mcodeused.ccode = code.ccode AND code.iyear = 2024 ORDER BY "
                  "GL_mcodeused.ccode"},
        {"confirmation look-up",
         "Select Top 1 * FROM code Where ccode= N'100201' and iYear=2024 Order By ccode",
         "SELECT * FROM code WHERE " + sqliteStored("ccode", "'100201'", false, "code", year) +
             " AND iYear = 2024 ORDER BY ccode LIMIT 1",
         "SELECT * FROM code WHERE " + pgEq("ccode", "'100201'") + " AND iYear = 2024 ORDER BY ccode LIMIT 1",
         "SELECT TOP 1 * FROM code WHERE ccode = N'100201' AND iYear = 2024 ORDER BY ccode"},
        {"confirmation look-up, quote in the code",
         "Select Top 1 * FROM code Where ccode= N'O''Brien' and iYear=2024 Order By ccode",
         "SELECT * FROM code WHERE " + sqliteStored("ccode", "'O''Brien'", false, "code", year) +
             " AND iYear = 2024 ORDER BY ccode LIMIT 1",
         "SELECT * FROM code WHERE " + pgEq("ccode", "'O''Brien'") +
             " AND iYear = 2024 ORDER BY ccode LIMIT 1",
         "SELECT TOP 1 * FROM code WHERE ccode = N'O''Brien' AND iYear = 2024 ORDER BY ccode"},
        {"recently used: remove", "delete from GL_mcodeused where cuser =N'demo' and ccode = N'1001'",
         "DELETE FROM GL_mcodeused WHERE " + sqliteEq("cuser", "'demo'") + " AND " +
             sqliteEq("ccode", "'1001'"),
         "DELETE FROM GL_mcodeused WHERE " + pgEq("cuser", "'demo'") + " AND " + pgEq("ccode", "'1001'"),
         "DELETE FROM GL_mcodeused WHERE cuser = N'demo' AND ccode = N'1001'"},
        {"recently used: add", "insert into GL_mcodeused values(N'demo',N'1002')",
         "INSERT INTO GL_mcodeused VALUES ('demo', '1002')",
         "INSERT INTO GL_mcodeused VALUES ('demo', '1002')",
         "INSERT INTO GL_mcodeused VALUES (N'demo', N'1002')"},
        {"option row when missing",
         "if not exists (select cSysID FROM AccInformation where cSysID ='GL' AND cName = 'IntSarvoTree') "
         "Begin "
         "Insert into AccInformation(csysid,cid,cname,ccaption,ctype,cvalue,cdefault,bvisible,benable) "
         "values(N'GL',N'171',N'IntSarvoTree',N'Sarvo树型显示',N'Integer',N'1',N'1',1,1) End",
         optionTest(sqliteEq("cSysID", "'GL'") + " AND " + sqliteEq("cName", "'IntSarvoTree'")) +
             "INSERT INTO AccInformation (csysid, cid, cname, ccaption, ctype, cvalue, cdefault, bvisible, "
             "benable) "
             "SELECT 'GL', '171', 'IntSarvoTree', 'Sarvo树型显示', 'Integer', '1', '1', 1, 1 WHERE NOT "
             "EXISTS "
             "(SELECT "
             "cSysID FROM AccInformation WHERE " +
             sqliteEq("cSysID", "'GL'") + " AND " + sqliteEq("cName", "'IntSarvoTree'") + ")",
         optionTest(pgEq("cSysID", "'GL'") + " AND " + pgEq("cName", "'IntSarvoTree'")) +
             "INSERT INTO AccInformation (csysid, cid, cname, ccaption, ctype, cvalue, cdefault, bvisible, "
             "benable) "
             "SELECT 'GL', '171', 'IntSarvoTree', 'Sarvo树型显示', 'Integer', '1', '1', 1, 1 WHERE NOT "
             "EXISTS "
             "(SELECT "
             "cSysID FROM AccInformation WHERE " +
             pgEq("cSysID", "'GL'") + " AND " + pgEq("cName", "'IntSarvoTree'") + ")",
         "IF NOT EXISTS (SELECT cSysID FROM AccInformation WHERE cSysID = N'GL' AND cName = N'IntSarvoTree') "
         "BEGIN "
         "INSERT INTO AccInformation (csysid, cid, cname, ccaption, ctype, cvalue, cdefault, bvisible, "
         "benable) "
         "VALUES (N'GL', N'171', N'IntSarvoTree', N'Sarvo树型显示', N'Integer', N'1', N'1', 1, 1) END"},
    };
    expectRenderings(cases);
}

// A host's extra condition, appended to the attribute filter's condition: every construct of the
// server's T-SQL it may hold, written as each engine writes it with the server's meaning.
TEST_F(TranslatorTest, RendersWhatAnExtraConditionMayHold) {
    const QString now = QStringLiteral("strftime('%Y-%m-%d %H:%M:%f', 'now', 'localtime')");
    const QString pgNow = QStringLiteral("LOCALTIMESTAMP(3)");
    struct Extra {
        QString tsql, sqlite, postgresql, sqlserver;
    };
    const std::vector<Extra> cases = {
        {" and right(ccode,2)='01'", sqliteEq("substr(ccode, max(length(ccode) - 2 + 1, 1))", "'01'"),
         pgEq("right(ccode, 2)", "'01'"), "right(ccode, 2) = N'01'"},
        {" and left(ccode,4)=N'１００２'", sqliteEq("substr(ccode, 1, 4)", "'１００２'"),
         pgEq("substr(ccode, 1, 4)", "'１００２'"), "left(ccode, 4) = N'１００２'"},
        {" and charindex(N'银行', ccode_name)>0", "sarvo_charindex('银行', ccode_name) > 0",
         "sarvo_charindex('银行', ccode_name) > 0", "charindex(N'银行', ccode_name) > 0"},
        {" and charindex('b', ccode_engl, 2)=3", "sarvo_charindex('b', ccode_engl, 2) = 3",
         "sarvo_charindex('b', ccode_engl, 2) = 3", "charindex(N'b', ccode_engl, 2) = 3"},
        {" and cast(igrade as varchar(2))=N'2'", sqliteEq("substr(CAST(igrade AS TEXT), 1, 2)", "'2'"),
         pgEq("substr(CAST(igrade AS text), 1, 2)", "'2'"), "CAST(igrade AS varchar(2)) = N'2'"},
        {" and cast(ccode as int)>1002", "sarvo_int(ccode) > 1002", "CAST(ccode AS integer) > 1002",
         "CAST(ccode AS int) > 1002"},
        {" and convert(int, ccode)<=1122", "sarvo_int(ccode) <= 1122", "CAST(ccode AS integer) <= 1122",
         "CONVERT(int, ccode) <= 1122"},
        {" and cast(ccode as char(6))+N'|'=N'1002  |'",
         sqliteEq("substr(ccode || printf('%6s', ''), 1, 6) || '|'", "'1002  |'"),
         pgEq("rpad(ccode, 6) || '|'", "'1002  |'"), "CAST(ccode AS char(6)) + N'|' = N'1002  |'"},
        {" and cast(1.5 as decimal(5,2))>1", "round(sarvo_real(1.5), 2) > 1",
         "CAST(1.5 AS numeric(5, 2)) > 1", "CAST(1.5 AS decimal(5, 2)) > 1"},
        {" and convert(varchar(10), getdate(), 120)>=N'2000-01-01'",
         sqliteEq("substr(strftime('%Y-%m-%d %H:%M:%S', " + now + "), 1, 10)", "'2000-01-01'", ">="),
         pgEq("substr(to_char(" + pgNow + ", 'YYYY-MM-DD HH24:MI:SS'), 1, 10)", "'2000-01-01'", ">="),
         "CONVERT(varchar(10), getdate(), 120) >= N'2000-01-01'"},
        {" and convert(datetime, N'20240131', 112)<getdate()", "sarvo_datetime('20240131') < " + now,
         "CAST('20240131' AS timestamp(3)) < " + pgNow, "CONVERT(datetime, N'20240131', 112) < getdate()"},
        {" and cast(N'2024-01-31' as date)<getdate()",
         "sarvo_datetime(substr(sarvo_datetime('2024-01-31'), 1, 10)) < " + now,
         "CAST(CAST('2024-01-31' AS date) AS timestamp(3)) < " + pgNow,
         "CAST(N'2024-01-31' AS date) < getdate()"},
        {" and getdate()>N'2024-01-31'", now + " > sarvo_datetime('2024-01-31')",
         pgNow + " > CAST('2024-01-31' AS timestamp(3))", "getdate() > N'2024-01-31'"},
        {" and iYear=year(getdate())", "iYear = CAST(strftime('%Y', " + now + ") AS INTEGER)",
         "iYear = CAST(EXTRACT(YEAR FROM " + pgNow + ") AS integer)", "iYear = year(getdate())"},
        {" and year(N'20240131')=iYear and month(getdate())>0",
         "CAST(strftime('%Y', sarvo_datetime('20240131')) AS INTEGER) = iYear AND CAST(strftime('%m', " +
             now + ") AS INTEGER) > 0",
         "CAST(EXTRACT(YEAR FROM CAST('20240131' AS timestamp(3))) AS integer) = iYear AND "
         "CAST(EXTRACT(MONTH "
         "FROM " +
             pgNow + ") AS integer) > 0",
         "year(N'20240131') = iYear AND month(getdate()) > 0"},
        {" and case when bend=1 then N'Y' else N'N' end=N'y'",
         sqliteEq("CASE WHEN bend = 1 THEN 'Y' ELSE 'N' END", "'y'"),
         pgEq("CASE WHEN bend = 1 THEN 'Y' ELSE 'N' END", "'y'"),
         "CASE WHEN bend = 1 THEN N'Y' ELSE N'N' END = N'y'"},
        {" and case chelp when N'kcxj' then 1 else 0 end=1",
         "CASE WHEN " + sqliteEq("chelp", "'kcxj'") + " THEN 1 ELSE 0 END = 1",
         "CASE WHEN " + pgEq("chelp", "'kcxj'") + " THEN 1 ELSE 0 END = 1",
         "CASE chelp WHEN N'kcxj' THEN 1 ELSE 0 END = 1"},
        {" and ccode_engl like N'%!%%' escape N'!'", "sarvo_like(ccode_engl, '%!%%', '!')",
         "sarvo_like(ccode_engl, '%!%%', '!')", "ccode_engl LIKE N'%!%%' ESCAPE N'!'"},
        {" and isnull(cexch_name,N'')=N''", sqliteEq("ifnull(cexch_name, '')", "''"),
         pgEq("coalesce(cexch_name, '')", "''"), "isnull(cexch_name, N'') = N''"},
        {" and isnull(igrade,N'0')=2", "ifnull(igrade, sarvo_int('0')) = 2",
         "coalesce(igrade, CAST('0' AS integer)) = 2", "isnull(igrade, N'0') = 2"},
        {" and len(ccode_name)=4", "length(rtrim(ccode_name)) = 4", "length(rtrim(ccode_name)) = 4",
         "len(ccode_name) = 4"},
        {" and substring(ccode,1,4)=N'1002'", sqliteEq("substr(ccode, 1, 4)", "'1002'"),
         pgEq("substr(ccode, 1, 4)", "'1002'"), "substring(ccode, 1, 4) = N'1002'"},
        {" and upper(chelp)=N'KCXJ'", sqliteEq("sarvo_upper(chelp)", "'KCXJ'"),
         pgEq("upper(chelp)", "'KCXJ'"), "upper(chelp) = N'KCXJ'"},
        {" and lower(ccode_engl) like N'cash%'", "sarvo_like(sarvo_lower(ccode_engl), 'cash%')",
         "sarvo_like(lower(ccode_engl), 'cash%')", "lower(ccode_engl) LIKE N'cash%'"},
        {" and ltrim(rtrim(ccode_name))<>N''", sqliteEq("ltrim(rtrim(ccode_name))", "''", "<>"),
         pgEq("ltrim(rtrim(ccode_name))", "''", "<>"), "ltrim(rtrim(ccode_name)) <> N''"},
        {" and replace(ccode,N'0',N'')=N'12'", sqliteEq("sarvo_replace(ccode, '0', '')", "'12'"),
         pgEq("sarvo_replace(ccode, '0', '')", "'12'"), "replace(ccode, N'0', N'') = N'12'"},
        {" and coalesce(cexch_name,cmeasure,N'-')!=N'-'",
         sqliteEq("coalesce(cexch_name, cmeasure, '-')", "'-'", "<>"),
         pgEq("coalesce(cexch_name, cmeasure, '-')", "'-'", "<>"),
         "coalesce(cexch_name, cmeasure, N'-') != N'-'"},
        {" and igrade in (1,2)", "igrade IN (1, 2)", "igrade IN (1, 2)", "igrade IN (1, 2)"},
        {" and ccode in (N'1001',N'1002')",
         sqliteListed("ccode", {"'1001'", "'1002'"}, "sarvo_s.iYear = 2024 AND sarvo_s.br = 1 AND "),
         "sarvo_fold(ccode) COLLATE \"C\" IN (sarvo_fold('1001'), sarvo_fold('1002'))",
         "ccode IN (N'1001', N'1002')"},
        {" and ccode_engl in (N'cash',N'ICBC')",
         "sarvo_fold(ccode_engl) IN (sarvo_fold('cash'), sarvo_fold('ICBC'))",
         "sarvo_fold(ccode_engl) COLLATE \"C\" IN (sarvo_fold('cash'), sarvo_fold('ICBC'))",
         "ccode_engl IN (N'cash', N'ICBC')"},
        {" and ccode not in (N'1001',N'1002')",
         "sarvo_fold(ccode) NOT IN (sarvo_fold('1001'), sarvo_fold('1002'))",
         "sarvo_fold(ccode) COLLATE \"C\" NOT IN (sarvo_fold('1001'), sarvo_fold('1002'))",
         "ccode NOT IN (N'1001', N'1002')"},
        {" and ccode not in (select ccode from GL_mcodeused where cuser=N'demo')",
         "sarvo_fold(ccode) NOT IN (SELECT sarvo_fold(ccode) FROM GL_mcodeused WHERE " +
             sqliteEq("cuser", "'demo'") + ")",
         "sarvo_fold(ccode) COLLATE \"C\" NOT IN (SELECT sarvo_fold(ccode) FROM GL_mcodeused WHERE " +
             pgEq("cuser", "'demo'") + ")",
         "ccode NOT IN (SELECT ccode FROM GL_mcodeused WHERE cuser = N'demo')"},
        {" and exists (select 1 from GL_mcodeused u where u.ccode=code.ccode)",
         "EXISTS (SELECT 1 FROM GL_mcodeused AS u WHERE " + sqliteEq("u.ccode", "code.ccode") + ")",
         "EXISTS (SELECT 1 FROM GL_mcodeused AS u WHERE " + pgEq("u.ccode", "code.ccode") + ")",
         "EXISTS (SELECT 1 FROM GL_mcodeused AS u WHERE u.ccode = code.ccode)"},
        {" and igrade between 1 and 2", "igrade BETWEEN 1 AND 2", "igrade BETWEEN 1 AND 2",
         "igrade BETWEEN 1 AND 2"},
        {" and ccode not between N'1001' and N'1122'",
         "NOT (" + sqliteEq("ccode", "'1001'", ">=") + " AND " + sqliteEq("ccode", "'1122'", "<=") + ")",
         "NOT (" + pgEq("ccode", "'1001'", ">=") + " AND " + pgEq("ccode", "'1122'", "<=") + ")",
         "ccode NOT BETWEEN N'1001' AND N'1122'"},
        {" and ccode not like N'1002%'", "NOT sarvo_like(ccode, '1002%')", "NOT sarvo_like(ccode, '1002%')",
         "ccode NOT LIKE N'1002%'"},
        // ORed LIKE tests: one call on SQLite, unless an arm has an escape or is negated.
        {" and (cmeasure like N'件' or ccode_engl like ccode)", "(sarvo_like_any(cmeasure, '件', ccode_engl, ccode))",
         "(sarvo_like(cmeasure, '件') OR sarvo_like(ccode_engl, ccode))", "(cmeasure LIKE N'件' OR ccode_engl LIKE ccode)"},
        {" and (cmeasure like N'件' or ccode_engl like N'a!%' escape N'!')",
         "(sarvo_like(cmeasure, '件') OR sarvo_like(ccode_engl, 'a!%', '!'))",
         "(sarvo_like(cmeasure, '件') OR sarvo_like(ccode_engl, 'a!%', '!'))",
         "(cmeasure LIKE N'件' OR ccode_engl LIKE N'a!%' ESCAPE N'!')"},
        {" and (cmeasure like N'件' or ccode_engl not like N'a%')",
         "(sarvo_like(cmeasure, '件') OR NOT sarvo_like(ccode_engl, 'a%'))",
         "(sarvo_like(cmeasure, '件') OR NOT sarvo_like(ccode_engl, 'a%'))",
         "(cmeasure LIKE N'件' OR ccode_engl NOT LIKE N'a%')"},
        {" and not ccode like N'1002%'", "NOT sarvo_like(ccode, '1002%')", "NOT sarvo_like(ccode, '1002%')",
         "NOT ccode LIKE N'1002%'"},
        {" and cexch_name is null and cmeasure is not null", "cexch_name IS NULL AND cmeasure IS NOT NULL",
         "cexch_name IS NULL AND cmeasure IS NOT NULL", "cexch_name IS NULL AND cmeasure IS NOT NULL"},
        {" and igrade*2+1=3 and igrade%2=1 and igrade/2=0 and -igrade<0",
         "igrade * 2 + 1 = 3 AND igrade % 2 = 1 AND igrade / 2 = 0 AND -igrade < 0",
         "igrade * 2 + 1 = 3 AND igrade % 2 = 1 AND igrade / 2 = 0 AND -igrade < 0",
         "igrade * 2 + 1 = 3 AND igrade % 2 = 1 AND igrade / 2 = 0 AND -igrade < 0"},
        {" and ccode+1=1003", "sarvo_int(ccode) + 1 = 1003", "CAST(ccode AS integer) + 1 = 1003",
         "ccode + 1 = 1003"},
        {" and ccode+0.5>1002", "sarvo_real(ccode) + 0.5 > 1002", "CAST(ccode AS numeric) + 0.5 > 1002",
         "ccode + 0.5 > 1002"},
        {" and ccode+N'x'=N'1002X'", sqliteEq("ccode || 'x'", "'1002X'"), pgEq("ccode || 'x'", "'1002X'"),
         "ccode + N'x' = N'1002X'"},
        {" and ccode=1002", "sarvo_int(ccode) = 1002", "CAST(ccode AS integer) = 1002", "ccode = 1002"},
        {" and iYear=N'2024'", "iYear = sarvo_int('2024')", "iYear = CAST('2024' AS integer)",
         "iYear = N'2024'"},
        {" and chelp=N'yhck' and ccode_name>N'a'",
         sqliteEq("chelp", "'yhck'") + " AND " + sqliteEq("ccode_name", "'a'", ">"),
         pgEq("chelp", "'yhck'") + " AND " + pgEq("ccode_name", "'a'", ">"),
         "chelp = N'yhck' AND ccode_name > N'a'"},
        {" and ccode like N'1%'",
         sqliteStored("ccode", "'1%'", true, "code", "sarvo_v.iYear = 2024 AND sarvo_v.br = 1 AND "),
         pgLike("ccode", "'1%'"), "ccode LIKE N'1%'"},
        {" and ccode=N'1002 '",
         sqliteStored("ccode", "'1002 '", false, "code", "sarvo_v.iYear = 2024 AND sarvo_v.br = 1 AND "),
         pgEq("ccode", "'1002 '"), "ccode = N'1002 '"},
        {" and [ccode] like N'1'+N'%'",
         sqliteStored("\"ccode\"", "'1' || '%'", true, "code",
                      "sarvo_v.iYear = 2024 AND sarvo_v.br = 1 AND "),
         pgLike("\"ccode\"", "'1' || '%'"), "[ccode] LIKE N'1' + N'%'"},
        {" and dbo.code.bend=1 and not (bclose=1 or br=0)", "code.bend = 1 AND NOT (bclose = 1 OR br = 0)",
         "code.bend = 1 AND NOT (bclose = 1 OR br = 0)", "code.bend = 1 AND NOT (bclose = 1 OR br = 0)"},
        {" -- a comment\n and bend=1", "bend = 1", "bend = 1", "bend = 1"},
    };
    auto statement = [](const QString& condition) {
        return QStringLiteral("SELECT * FROM code WHERE iYear = 2024 AND (br = 1 AND %1) ORDER BY ccode")
            .arg(condition);
    };
    for (const Extra& c : cases) {
        SCOPED_TRACE(c.tsql.toStdString());
        const QString tsql = QStringLiteral("select * from code where  iYear=2024 and ( br=1") + c.tsql +
                             QStringLiteral(") order by ccode ");
        EXPECT_EQ(render(Dialect::sqlite(), tsql).toStdString(), statement(c.sqlite).toStdString());
        EXPECT_EQ(render(Dialect::postgresql(), tsql).toStdString(), statement(c.postgresql).toStdString());
        EXPECT_EQ(render(Dialect::sqlServer(), tsql).toStdString(), statement(c.sqlserver).toStdString());
    }
}

// The host's own statements: each ? is the caller's value, bound on every engine ($n on
// PostgreSQL, numbered per step), compared as the component's texts are and index-served alike;
// a conditional insert still tests before it writes.
TEST_F(TranslatorTest, HostPlaceholdersAreBoundOnEveryEngine) {
    auto sql = [this](const Dialect& d, const QString& tsql) {
        QStringList steps;
        for (const RenderedStep& step : TSqlTranslator(d, &m_schema).translate(tsql).steps)
            steps << step.sql;
        return steps.join(QStringLiteral(";\n")).toStdString();
    };
    const QString yearProbe = QStringLiteral("sarvo_v.iYear = ? AND ");
    const std::vector<Case> cases = {
        {"account look-up", "SELECT bend, bclose FROM code WHERE iYear = ? AND ccode = ?",
         "SELECT bend, bclose FROM code WHERE iYear = ? AND " +
             sqliteStored("ccode", "?", false, "code", yearProbe),
         "SELECT bend, bclose FROM code WHERE iYear = $1 AND " + pgEq("ccode", "$2"),
         "SELECT bend, bclose FROM code WHERE iYear = ? AND ccode = ?"},
        {"several accounts", "select ccode from code where iYear=? and ccode in (?,?)",
         "SELECT ccode FROM code WHERE iYear = ? AND " +
             sqliteListed("ccode", {"?", "?"}, QStringLiteral("sarvo_s.iYear = ? AND ")),
         "SELECT ccode FROM code WHERE iYear = $1 AND sarvo_fold(ccode) COLLATE \"C\" IN (sarvo_fold($2), "
         "sarvo_fold($3))",
         "SELECT ccode FROM code WHERE iYear = ? AND ccode IN (?, ?)"},
        {"option write", "UPDATE AccInformation SET cValue = ? WHERE cSysID = ? AND cName = ?",
         "UPDATE AccInformation SET cValue = ? WHERE " + sqliteEq("cSysID", "?") + " AND " +
             sqliteEq("cName", "?"),
         "UPDATE AccInformation SET cValue = $1 WHERE " + pgEq("cSysID", "$2") + " AND " +
             pgEq("cName", "$3"),
         "UPDATE AccInformation SET cValue = ? WHERE cSysID = ? AND cName = ?"},
        {"insert when missing",
         "if not exists (select 1 from GL_mcodeused where cuser = ? and ccode = ?) Begin insert into "
         "GL_mcodeused values(?, ?) End",
         "SELECT 1 WHERE NOT EXISTS (SELECT 1 FROM GL_mcodeused WHERE " + sqliteEq("cuser", "?") + " AND " +
             sqliteEq("ccode", "?") +
             ");\nINSERT INTO GL_mcodeused SELECT ?, ? WHERE NOT EXISTS (SELECT 1 FROM "
             "GL_mcodeused WHERE " +
             sqliteEq("cuser", "?") + " AND " + sqliteEq("ccode", "?") + ")",
         "SELECT 1 WHERE NOT EXISTS (SELECT 1 FROM GL_mcodeused WHERE " + pgEq("cuser", "$1") + " AND " +
             pgEq("ccode", "$2") +
             ");\nINSERT INTO GL_mcodeused SELECT $1, $2 WHERE NOT EXISTS (SELECT 1 FROM "
             "GL_mcodeused WHERE " +
             pgEq("cuser", "$3") + " AND " + pgEq("ccode", "$4") + ")",
         "IF NOT EXISTS (SELECT 1 FROM GL_mcodeused WHERE cuser = ? AND ccode = ?) BEGIN INSERT INTO "
         "GL_mcodeused VALUES (?, ?) END"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(sql(Dialect::sqlite(), c.tsql), c.sqlite.toStdString());
        EXPECT_EQ(sql(Dialect::postgresql(), c.tsql), c.postgresql.toStdString());
        EXPECT_EQ(sql(Dialect::sqlServer(), c.tsql), c.sqlserver.toStdString());
    }
    // A ? inside a literal is text: bound as the literal's value, not left for the caller.
    const Rendering r =
        TSqlTranslator(Dialect::sqlServer(), &m_schema)
            .translate(QStringLiteral("SELECT ccode FROM code WHERE ccode_name = '?' AND igrade = ?"));
    EXPECT_EQ(r.text(), QStringLiteral("SELECT ccode FROM code WHERE ccode_name = N'?' AND igrade = ?"));
    ASSERT_EQ(r.steps.front().params.size(), 2u);
    EXPECT_EQ(r.steps.front().params[0].text, QByteArray("?"));
    EXPECT_EQ(r.steps.front().params[1].type, SqlValue::Type::Null);
}

// Literals become bound values, so every call of one statement form shares one prepared shape;
// what the rendering reads from a literal stays in the text and makes a shape of its own.
TEST(TranslatorShapeTest, LiteralsAreBoundAndTheShapeIsShared) {
    SchemaInfo schema;
    schema.setTable(false, QStringLiteral("code"),
                    {{QStringLiteral("ccode"), SchemaInfo::Type::Text},
                     {QStringLiteral("iYear"), SchemaInfo::Type::Numeric}});
    const TSqlTranslator t(Dialect::sqlite(), &schema);
    const QString first =
        QStringLiteral("Select Top 1 * FROM code Where ccode= N'1001' and iYear=2024 Order By ccode");
    const QString second =
        QStringLiteral("Select Top 1 * FROM code Where ccode= N'它''s' and iYear=2023 Order By ccode");
    const Rendering a = t.translate(first);
    const Rendering b = t.translate(second);
    ASSERT_EQ(a.steps.size(), 1u);
    EXPECT_EQ(a.steps[0].sql, b.steps[0].sql);
    EXPECT_FALSE(a.steps[0].sql.contains(QStringLiteral("1001")));
    EXPECT_EQ(a.steps[0].sql.count(QLatin1Char('?')), static_cast<qsizetype>(a.steps[0].params.size()));
    // The code is bound wherever the ranges and the test need it; the year in the probe and the test.
    for (const SqlValue& v : b.steps[0].params)
        EXPECT_TRUE(v == SqlValue::ofText(QStringLiteral("它's")) || v == SqlValue::ofInteger(2023));
    EXPECT_EQ(std::count(b.steps[0].params.begin(), b.steps[0].params.end(), SqlValue::ofInteger(2023)), 2);

    // A text of the same shape is served by the first rendering with its own values.
    Rendering rebound;
    ASSERT_TRUE(
        TSqlTranslator::rebind(a, TSqlTokenizer::tokenize(first), TSqlTokenizer::tokenize(second), &rebound));
    EXPECT_EQ(rebound.steps[0].params, b.steps[0].params);

    // ORDER BY positions and select-list literals stay in the text: they are not values.
    TranslatorOptions plain;
    plain.likeRanges = false;
    const TSqlTranslator p(Dialect::sqlite(), &schema, plain);
    const Rendering c =
        p.translate(QStringLiteral("select 1 as one, ccode from code where ccode like N'1%' order by 2"));
    EXPECT_EQ(c.steps[0].sql,
              QStringLiteral("SELECT 1 AS one, ccode FROM code WHERE sarvo_like(ccode, ?) ORDER BY 2"));
    plain.bindLiterals = false;
    const Rendering d =
        TSqlTranslator(Dialect::sqlite(), &schema, plain)
            .translate(QStringLiteral("select * from code where ccode like N'1%' and iYear=2024"));
    EXPECT_EQ(d.steps[0].sql,
              QStringLiteral("SELECT * FROM code WHERE sarvo_like(ccode, '1%') AND iYear = 2024"));
    EXPECT_TRUE(d.steps[0].params.empty());
    EXPECT_EQ(TSqlTranslator(Dialect::postgresql(), &schema, TranslatorOptions{true, false, true})
                  .translate(first)
                  .steps[0]
                  .sql,
              QStringLiteral(
                  "SELECT * FROM code WHERE sarvo_fold(ccode) COLLATE \"C\" = sarvo_fold($1) AND iYear = $2 "
                  "ORDER BY ccode LIMIT 1"));
}

// Texts whose literals differ where the rendering reads them are different shapes.
TEST(TranslatorShapeTest, ShapeKeepsWhatTheRenderingReads) {
    struct Pair {
        QString a, b;
        bool same;
    };
    const std::vector<Pair> pairs = {
        {"select * from code where ccode like N'10%'", "select * from code where ccode like N'22%'", true},
        {"select * from code where ccode like N'10%'", "select * from code where ccode like N'%10'", false},
        {"select * from code where igrade+1=2", "select * from code where igrade+5=9", true},
        {"select * from code where ccode+1=2", "select * from code where ccode+1.5=2", false},
        {"select * from code where iYear=2024", "select * from code where iYear=2023", true},
    };
    for (const Pair& p : pairs) {
        SCOPED_TRACE((p.a + " / " + p.b).toStdString());
        EXPECT_EQ(TSqlTranslator::shapeKey(TSqlTokenizer::tokenize(p.a)) ==
                      TSqlTranslator::shapeKey(TSqlTokenizer::tokenize(p.b)),
                  p.same);
    }
    // The same key and inline values: one rendering serves both; a CAST length is inline.
    SchemaInfo schema;
    schema.setTable(false, QStringLiteral("code"), {{QStringLiteral("ccode"), SchemaInfo::Type::Text}});
    const TSqlTranslator t(Dialect::sqlite(), &schema);
    const QString four = QStringLiteral("select * from code where cast(ccode as varchar(4))=N'1002'");
    const QString six = QStringLiteral("select * from code where cast(ccode as varchar(6))=N'1002'");
    Rendering out;
    EXPECT_FALSE(TSqlTranslator::rebind(t.translate(four), TSqlTokenizer::tokenize(four),
                                        TSqlTokenizer::tokenize(six), &out));
}

struct Refusal {
    QString tsql;
    QString construct; // in the message
    QString at;        // the text at the reported position
    bool server;       // the server's own rendering refuses it too
};

// What the engines cannot express is refused, naming the construct and where it stands; the
// server's rendering passes the server's own constructs through.
// A temporary table of select * may be made empty, its codes read by the same select, and filled
// later; only SQLite does, and only where the codes alone and a later fill give the same rows.
TEST_F(TranslatorTest, ATemporaryTableOfSelectStarCanBeFilledLater) {
    auto deferred = [this](const Dialect& d, const QString& tsql) {
        QStringList texts;
        for (const RenderedStep& step : TSqlTranslator(d, &m_schema).translate(tsql).steps)
            if (step.deferred != RenderedStep::Deferred::No) texts << step.text;
        return texts;
    };
    const QString where = QStringLiteral("WHERE iYear = 2024 AND (br = 1) ORDER BY ccode");
    const QString into = QStringLiteral("select  * into tempdb..[demo1]  from code  where  iYear=2024 and ( br=1) "
                                        "order by ccode ");
    EXPECT_EQ(deferred(Dialect::sqlite(), into),
              (QStringList{"CREATE TEMP TABLE \"demo1\" AS SELECT * FROM code " + where + " LIMIT 0",
                           "INSERT INTO temp.\"demo1\" SELECT * FROM code " + where,
                           "SELECT ccode FROM code " + where}));
    EXPECT_EQ(render(Dialect::sqlite(), into).count(QStringLiteral("CREATE")), 2) << "table and index only";
    EXPECT_TRUE(deferred(Dialect::postgresql(), into).isEmpty());
    EXPECT_TRUE(deferred(Dialect::sqlServer(), into).isEmpty());
    struct Case {
        const char* name;
        const char* tsql;
    };
    const std::vector<Case> filledAtOnce = {
        {"a column list", "select ccode, igrade into tempdb..[demo1] from code where iYear=2024"},
        {"distinct", "select distinct * into tempdb..[demo1] from code where iYear=2024"},
        {"top", "select top 5 * into tempdb..[demo1] from code where iYear=2024 order by ccode"},
        {"a join", "select * into tempdb..[demo1] from code inner join GL_mcodeused on "
                   "GL_mcodeused.ccode=code.ccode where iYear=2024"},
        {"a permanent table", "select * into demo2 from code where iYear=2024"},
        {"no code column", "select * into tempdb..[demo1] from AccInformation where cSysID=N'GL'"},
    };
    for (const Case& c : filledAtOnce)
        EXPECT_TRUE(deferred(Dialect::sqlite(), QString::fromUtf8(c.tsql)).isEmpty()) << c.name;
}

TEST_F(TranslatorTest, RefusesWhatItCannotRenderAndSaysWhereAndWhat) {
    const std::vector<Refusal> cases = {
        {"select * from code where iYear=@year", "the variable @year", "@year", false},
        {"select top 10 percent * from code", "TOP ... PERCENT", "top", false},
        {"select top 5 with ties * from code order by ccode", "TOP ... WITH TIES", "top", false},
        {"select * from code where dateadd(day, 1, getdate())>getdate()", "the function DATEADD", "dateadd",
         false},
        {"select * from code where datediff(day, getdate(), getdate())=0", "the function DATEDIFF",
         "datediff", false},
        {"select newid()", "the function NEWID", "newid", false},
        {"select * from code where try_convert(int, ccode)=1", "TRY_CONVERT", "try_convert", false},
        {"select * from code where try_cast(ccode as int)=1", "TRY_CAST", "try_cast", false},
        {"select convert(uniqueidentifier, ccode) from code", "CONVERT to uniqueidentifier",
         "uniqueidentifier", false},
        {"select * from code where convert(datetime, ccode, 101)>getdate()", "CONVERT with style 101", "101",
         false},
        {"select * from code where convert(varchar, 1.5, 1)=N'1.5'", "CONVERT with style 1", "1)", false},
        {"select cast(getdate() as varchar(20))", "CAST of a date and time to text without a style", "cast",
         false},
        {"select * from code where getdate()+1>getdate()", "arithmetic on a date ('+')", "+1", false},
        {"select * from code where getdate()>5", "a number where a date is expected", "5", false},
        {"select * from code where year(igrade)=2024", "a number where a date is expected", "igrade", false},
        {"select * from code where ccode collate Latin1_General_CS_AS=N'a'", "COLLATE Latin1_General_CS_AS",
         "collate", false},
        {"select * from code where len(ccode, 2)=1", "LEN with 2 arguments", "len", false},
        {"select a+b from nosuch", "'+' between operands of unknown type", "+", false},
        {"select * from code; delete from code", "a second statement in one batch", "delete", true},
        {"select * from otherdb..code", "a name in another database (otherdb)", "otherdb", true},
        {"select * from srv.db.dbo.code", "a linked-server name", "srv", true},
        {"select * from sales.code", "the schema sales", "sales", true},
        {"select * from code union select * from code", "UNION", "union", true},
        {"select sum(distinct igrade) from code", "an aggregate over DISTINCT values", "distinct", true},
        {"select row_number() over (order by ccode) from code", "window functions (OVER)", "over", true},
        {"select * from code with (index(ix))", "the table hint index", "with", true},
        {"select * from code cross apply (select 1 as x) t", "CROSS APPLY", "apply", true},
        {"exec sp_who", "the statement EXEC", "exec", true},
        {"if exists (select 1 from code) begin delete from code end",
         "IF EXISTS with a body other than one INSERT", "delete", true},
        {"if not exists (select 1 from code) begin insert into GL_mcodeused values(N'a',N'b') end else begin "
         "insert "
         "into GL_mcodeused values(N'a',N'c') end",
         "IF ... ELSE", "else", true},
        {"if (1=1) insert into GL_mcodeused values(N'a',N'b')", "IF without EXISTS", "(1=1)", true},
        {"update code set bend=1 from code", "UPDATE with FROM", "from code", true},
        {"select * from ##shared", "a global temporary table", "##shared", true},
        {"insert into GL_mcodeused default values", "DEFAULT VALUES", "default", true},
    };
    for (const Refusal& r : cases) {
        for (const Dialect* d : {&Dialect::sqlite(), &Dialect::postgresql(), &Dialect::sqlServer()}) {
            SCOPED_TRACE(d->name.toStdString() + ": " + r.tsql.toStdString());
            const bool refuses = d->family != Dialect::Family::SqlServer || r.server;
            try {
                render(*d, r.tsql);
                if (refuses) ADD_FAILURE() << "rendered";
            } catch (const RuntimeError& e) {
                if (!refuses) {
                    ADD_FAILURE() << e.description().toStdString();
                    continue;
                }
                EXPECT_TRUE(e.is(ErrorCode::DatabaseError));
                const QString expected = QStringLiteral("Cannot render %1 at position %2 ")
                                             .arg(r.construct)
                                             .arg(r.tsql.indexOf(r.at) + 1);
                EXPECT_TRUE(e.description().contains(expected)) << e.description().toStdString();
                EXPECT_TRUE(e.description().endsWith(r.tsql)) << e.description().toStdString();
            }
        }
    }
}

TEST_F(TranslatorTest, SyntaxErrorsAndBrokenLiteralsNameThePosition) {
    const std::vector<Refusal> cases = {
        // A quote typed into the filter box ends the literal early, as it would on the server.
        {"select * from code where  iYear=2024 and (   ( ccode like N'O'Brien%' ) ) order by ccode ",
         "Unterminated string literal", "' ) )", true},
        {"select * from code where ccode like N'abc", "Unterminated string literal", "N'abc", true},
        {"select * from [code where iYear=1", "Unterminated bracketed identifier", "[code", true},
        {"select * from code where igrade = 1 ~ 2", "Unexpected character '~'", "~", true},
        {"select * from code where", "Incorrect syntax near end of text", "", true},
        {"select * from code where iYear=2024 order ccode", "Incorrect syntax near 'ccode'", "ccode", true},
        {"select * from code /* open", "Unterminated comment", "/*", true},
        {"select case when bend=1 then 1 from code", "Incorrect syntax near 'from'", "from", true},
        {"select cast(ccode as) from code", "Incorrect syntax near ')'", ") from", true},
    };
    for (const Refusal& r : cases) {
        SCOPED_TRACE(r.tsql.toStdString());
        try {
            render(Dialect::sqlServer(), r.tsql);
            ADD_FAILURE() << "rendered";
        } catch (const RuntimeError& e) {
            const int position = r.at.isEmpty() ? static_cast<int>(r.tsql.size()) + 1
                                                : static_cast<int>(r.tsql.indexOf(r.at)) + 1;
            EXPECT_TRUE(e.description().contains(r.construct)) << e.description().toStdString();
            EXPECT_TRUE(e.description().contains(QStringLiteral("at position %1 ").arg(position)))
                << e.description().toStdString();
        }
    }
}

} // namespace

} // namespace sarvo::db::test
