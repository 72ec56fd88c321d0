// The component's statements, T-SQL in and SQLite out, as the connection renders them against
// the real schema (so text columns are known); then the statements that must be refused.
#include "DbFixture.h"

#include "host/db/Dialect.h"
#include "host/db/SchemaInfo.h"
#include "host/db/TSqlTranslator.h"
#include "runtime/RuntimeError.h"

namespace sarvo::db::test {

namespace {

// The index-assisted form of "subject like pattern" on a text column.
QString ranged(const QString& subject, const QString& pattern) {
    return QStringLiteral("(%1 >= sarvo_like_lo(%2) AND %1 < sarvo_like_hi(%2) AND sarvo_like(%1, %2))")
        .arg(subject, pattern);
}

// The quick filter's four tests for one typed text (Part of the filtered tree's condition).
QString quickFilter(const QString& pattern, const QString& upper) {
    return QStringLiteral(" ( ccode like N'%1' or  ccode_name like N'%1' or ccode_engl like N'%1' or  chelp "
                          "like N'%2' )")
        .arg(pattern, upper);
}

struct Case {
    const char* name;
    QString tsql;
    QString sqlite;
};

class TranslatorTest : public DbFixture {
protected:
    void SetUp() override {
        DbFixture::SetUp();
        // The hierarchy joins read the temporary table's column types once it exists.
        m_conn->execute(
            QStringLiteral("select  * into tempdb..[demo1]  from code  where  iYear=2024 order by ccode "));
    }
};

TEST_F(TranslatorTest, RendersEveryStatementFormTheComponentSends) {
    const QString q1002 = QStringLiteral("'1002%'");
    const std::vector<Case> cases = {
        {"year check on request", QStringLiteral("select * from code where iYear=2024"),
         QStringLiteral("SELECT * FROM code WHERE iYear = 2024")},
        {"flat tree without filter", QStringLiteral("select * from code where  iYear=2024 order by ccode "),
         QStringLiteral("SELECT * FROM code WHERE iYear = 2024 ORDER BY ccode")},
        {"flat tree, begins-with letters, closed hidden, extra condition",
         QStringLiteral("select * from code where  iYear=2024 and ( bclose=0 and ") +
             quickFilter("ab%", "AB%") + QStringLiteral(" and bend=1) order by ccode "),
         QStringLiteral(
             "SELECT * FROM code WHERE iYear = 2024 AND (bclose = 0 AND (sarvo_like(ccode, 'ab%') OR "
             "sarvo_like(ccode_name, 'ab%') OR sarvo_like(ccode_engl, 'ab%') OR sarvo_like(chelp, 'AB%')) "
             "AND bend = 1) ORDER BY ccode")},
        {"flat tree, contains Chinese text",
         QStringLiteral("select * from code where  iYear=2024 and (  ") + quickFilter("%银行%", "%银行%") +
             QStringLiteral(" ) order by ccode "),
         QStringLiteral("SELECT * FROM code WHERE iYear = 2024 AND ((sarvo_like(ccode, '%银行%') OR "
                        "sarvo_like(ccode_name, '%银行%') OR sarvo_like(ccode_engl, '%银行%') OR "
                        "sarvo_like(chelp, '%银行%'))) ORDER BY ccode")},
        {"flat tree, begins-with digits gets index ranges",
         QStringLiteral("select * from code where  iYear=2024 and (  ") + quickFilter("1002%", "1002%") +
             QStringLiteral(") order by ccode "),
         QStringLiteral("SELECT * FROM code WHERE iYear = 2024 AND ((") + ranged("ccode", q1002) +
             QStringLiteral(" OR ") + ranged("ccode_name", q1002) + QStringLiteral(" OR ") +
             ranged("ccode_engl", q1002) + QStringLiteral(" OR ") + ranged("chelp", q1002) +
             QStringLiteral(")) ORDER BY ccode")},
        {"user text with _, [ and % keeps their meaning",
         QStringLiteral("select * from code where  iYear=2024 and (  ") + quickFilter("1_0[%%", "1_0[%%") +
             QStringLiteral(") order by ccode "),
         QStringLiteral("SELECT * FROM code WHERE iYear = 2024 AND ((") + ranged("ccode", "'1_0[%%'") +
             QStringLiteral(" OR ") + ranged("ccode_name", "'1_0[%%'") + QStringLiteral(" OR ") +
             ranged("ccode_engl", "'1_0[%%'") + QStringLiteral(" OR ") + ranged("chelp", "'1_0[%%'") +
             QStringLiteral(")) ORDER BY ccode")},
        {"attribute filter",
         QStringLiteral(
             "select * from code where  iYear=2024 and ( br=1 and bend=1 and bclose=0) order by ccode "),
         QStringLiteral("SELECT * FROM code WHERE iYear = 2024 AND (br = 1 AND bend = 1 AND bclose = 0) "
                        "ORDER BY ccode")},
        {"attribute filter with not ... is null",
         QStringLiteral(
             "select * from code where  iYear=2024 and ( bperson=1 and ( not cexch_name is null)  and "
             "(not cmeasure is null) ) order by ccode "),
         QStringLiteral(
             "SELECT * FROM code WHERE iYear = 2024 AND (bperson = 1 AND (NOT cexch_name IS NULL) AND "
             "(NOT cmeasure IS NULL)) ORDER BY ccode")},
        {"hierarchy: drop the temporary table", QStringLiteral("drop table tempdb..[demo20240101]"),
         QStringLiteral("DROP TABLE temp.\"demo20240101\"")},
        {"hierarchy: fill the temporary table",
         QStringLiteral("select  * into tempdb..[demo20240101]  from code  where  iYear=2024 and ( br=1) "
                        "order by ccode "),
         QStringLiteral(
             "CREATE TEMP TABLE \"demo20240101\" AS SELECT * FROM code WHERE iYear = 2024 AND (br = 1) "
             "ORDER BY ccode;\nCREATE INDEX temp.\"demo20240101$ccode\" ON \"demo20240101\" (ccode)")},
        {"hierarchy: first grade through the prefix join",
         QStringLiteral(
             "select distinct code.cclass,code.cClass,code.ccode,code.cCode_name,code.ccode_engl,code.igrade "
             " "
             "from tempdb..[demo1] inner join code on tempdb..[demo1].ccode like code.ccode+'%' where "
             "code.igrade=1 and code.iYear=2024 order by code.ccode "),
         QStringLiteral(
             "SELECT DISTINCT code.cclass, code.cClass, code.ccode, code.cCode_name, code.ccode_engl, "
             "code.igrade FROM temp.\"demo1\" INNER JOIN code ON ") +
             ranged("\"demo1\".ccode", "code.ccode || '%'") +
             QStringLiteral(" WHERE code.igrade = 1 AND code.iYear = 2024 ORDER BY code.ccode")},
        {"hierarchy: next grade under one account",
         QStringLiteral(
             "select distinct code.cclass,code.cClass,code.ccode,code.cCode_name,code.ccode_engl,code.igrade "
             " "
             "from tempdb..[demo1] inner join code on tempdb..[demo1].ccode like code.ccode+'%' where "
             "code.ccode like '1002%' and code.igrade=2 and code.iYear=2024 order by code.ccode "),
         QStringLiteral(
             "SELECT DISTINCT code.cclass, code.cClass, code.ccode, code.cCode_name, code.ccode_engl, "
             "code.igrade FROM temp.\"demo1\" INNER JOIN code ON ") +
             ranged("\"demo1\".ccode", "code.ccode || '%'") + QStringLiteral(" WHERE ") +
             ranged("code.ccode", q1002) +
             QStringLiteral(" AND code.igrade = 2 AND code.iYear = 2024 ORDER BY code.ccode")},
        {"grade 1 of a class",
         QStringLiteral(
             "select * from code where    igrade=1 and cclass=N'资产' and iYear=2024 order by ccode"),
         QStringLiteral(
             "SELECT * FROM code WHERE igrade = 1 AND cclass = '资产' AND iYear = 2024 ORDER BY ccode")},
        {"grade 1 of a class, closed hidden, English flag",
         QStringLiteral("select * from code where  bclose=0 and  igrade=1 and cClass=N'负债' and iYear=2024 "
                        "order by ccode"),
         QStringLiteral(
             "SELECT * FROM code WHERE bclose = 0 AND igrade = 1 AND cClass = '负债' AND iYear = 2024 "
             "ORDER BY ccode")},
        {"grade 2 under a parent",
         QStringLiteral(
             "select * from code where    igrade =2 and ccode like N'1002%' and iYear=2024 order by ccode"),
         QStringLiteral("SELECT * FROM code WHERE igrade = 2 AND ") + ranged("ccode", q1002) +
             QStringLiteral(" AND iYear = 2024 ORDER BY ccode")},
        {"recently used list, year glued to order",
         QStringLiteral(
             "select cuser,code.ccode as ccode,code.ccode_name as ccode_name,code.ccode_engl as ccode_engl "
             "from GL_mcodeused,code where cuser=N'demo' and GL_mcodeused.ccode=code.ccode and "
             "code.iyear=2024order by GL_mcodeused.ccode"),
         QStringLiteral(
             "SELECT cuser, code.ccode AS ccode, code.ccode_name AS ccode_name, code.ccode_engl AS "
             "ccode_engl FROM GL_mcodeused, code WHERE cuser = 'demo' AND GL_mcodeused.ccode = code.ccode "
             "AND code.iyear = 2024 ORDER BY GL_mcodeused.ccode")},
        {"confirmation look-up",
         QStringLiteral("Select Top 1 * FROM code Where ccode= N'100201' and iYear=2024 Order By ccode"),
         QStringLiteral("SELECT * FROM code WHERE ccode = '100201' AND iYear = 2024 ORDER BY ccode LIMIT 1")},
        {"confirmation look-up, quote in the code",
         QStringLiteral("Select Top 1 * FROM code Where ccode= N'O''Brien' and iYear=2024 Order By ccode"),
         QStringLiteral(
             "SELECT * FROM code WHERE ccode = 'O''Brien' AND iYear = 2024 ORDER BY ccode LIMIT 1")},
        {"recently used: remove",
         QStringLiteral("delete from GL_mcodeused where cuser =N'demo' and ccode = N'1001'"),
         QStringLiteral("DELETE FROM GL_mcodeused WHERE cuser = 'demo' AND ccode = '1001'")},
        {"recently used: add", QStringLiteral("insert into GL_mcodeused values(N'demo',N'1002')"),
         QStringLiteral("INSERT INTO GL_mcodeused VALUES ('demo', '1002')")},
        {"option row when missing",
         QStringLiteral(
             "if not exists (select cSysID FROM AccInformation where cSysID ='GL' AND cName = 'IntSarvoTree')"
             " Begin Insert into "
             "AccInformation(csysid,cid,cname,ccaption,ctype,cvalue,cdefault,bvisible,benable)"
             " values(N'GL',N'171',N'IntSarvoTree',N'Sarvo树型显示',N'Integer',N'1',N'1',1,1) End"),
         QStringLiteral(
             "SELECT 1 WHERE NOT EXISTS (SELECT cSysID FROM AccInformation WHERE cSysID = 'GL' AND cName = "
             "'IntSarvoTree');\n"
             "INSERT INTO AccInformation (csysid, cid, cname, ccaption, ctype, cvalue, cdefault, bvisible, "
             "benable) SELECT 'GL', '171', 'IntSarvoTree', 'Sarvo树型显示', 'Integer', '1', '1', 1, 1 WHERE "
             "NOT EXISTS (SELECT cSysID FROM AccInformation WHERE cSysID = 'GL' AND cName = "
             "'IntSarvoTree')")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(m_conn->render(c.tsql).toStdString(), c.sqlite.toStdString());
    }
}

TEST_F(TranslatorTest, RendersWhatAnExtraConditionMayHold) {
    const std::vector<std::pair<QString, QString>> cases = {
        {" and bend=1", "bend = 1"},
        {" and igrade in (1,2)", "igrade IN (1, 2)"},
        {" and igrade not in (3)", "igrade NOT IN (3)"},
        {" and ccode between N'1001' and N'1999'", "ccode BETWEEN '1001' AND '1999'"},
        {" and not (bclose=1 or br=1)", "NOT (bclose = 1 OR br = 1)"},
        {" and cexch_name is null", "cexch_name IS NULL"},
        {" and cexch_name is not null", "cexch_name IS NOT NULL"},
        {" and igrade!=3 and igrade<>4", "igrade <> 3 AND igrade <> 4"},
        {" and igrade>=2 and igrade<=3 and igrade>1 and igrade<9",
         "igrade >= 2 AND igrade <= 3 AND igrade > 1 AND igrade < 9"},
        {" and ccode not like N'1002%'", "NOT sarvo_like(ccode, '1002%')"},
        {" and not ccode like N'1002%'", "NOT " + ranged("ccode", "'1002%'")},
        {" and ccode_name like N'[库银]%'", "sarvo_like(ccode_name, '[库银]%')"},
        {" and ccode like N'1'+N'%'", ranged("ccode", "'1' || '%'")},
        {" and igrade+1=2", "igrade + 1 = 2"},
        {" and [ccode] like N'2%'", ranged("\"ccode\"", "'2%'")},
        {" and dbo.code.bend=1", "code.bend = 1"},
        {" and ccode in (select ccode from GL_mcodeused where cuser=N'demo')",
         "ccode IN (SELECT ccode FROM GL_mcodeused WHERE cuser = 'demo')"},
        {" and exists (select 1 from GL_mcodeused u where u.ccode=code.ccode)",
         "EXISTS (SELECT 1 FROM GL_mcodeused AS u WHERE u.ccode = code.ccode)"},
        {" and len(ccode)=4 and upper(chelp)=N'KCXJ' and isnull(cmeasure,N'')=N''",
         "length(rtrim(ccode)) = 4 AND upper(chelp) = 'KCXJ' AND ifnull(cmeasure, '') = ''"},
        {" -- a comment\n and bend=1", "bend = 1"},
    };
    for (const auto& [extra, rendered] : cases) {
        SCOPED_TRACE(extra.toStdString());
        const QString tsql = QStringLiteral("select * from code where  iYear=2024 and ( br=1") + extra +
                             QStringLiteral(") order by ccode ");
        EXPECT_EQ(m_conn->render(tsql).toStdString(),
                  ("SELECT * FROM code WHERE iYear = 2024 AND (br = 1 AND " + rendered + ") ORDER BY ccode")
                      .toStdString());
    }
}

// Literals become bound values, so every call of one statement form shares one prepared shape.
TEST(TranslatorShapeTest, LiteralsAreBoundAndTheShapeIsShared) {
    SchemaInfo schema;
    schema.setTable(false, QStringLiteral("code"),
                    {{QStringLiteral("ccode"), SchemaInfo::Type::Text},
                     {QStringLiteral("iYear"), SchemaInfo::Type::Numeric}});
    const TSqlTranslator t(Dialect::sqlite(), &schema);
    const Rendering a = t.translate(
        QStringLiteral("Select Top 1 * FROM code Where ccode= N'1001' and iYear=2024 Order By ccode"));
    const Rendering b = t.translate(
        QStringLiteral("Select Top 1 * FROM code Where ccode= N'它''s' and iYear=2023 Order By ccode"));
    ASSERT_EQ(a.steps.size(), 1u);
    EXPECT_EQ(a.steps[0].sql,
              QStringLiteral("SELECT * FROM code WHERE ccode = ? AND iYear = ? ORDER BY ccode LIMIT 1"));
    EXPECT_EQ(a.steps[0].sql, b.steps[0].sql);
    EXPECT_EQ(b.steps[0].params,
              (std::vector<SqlValue>{SqlValue::ofText(QStringLiteral("它's")), SqlValue::ofInteger(2023)}));
    EXPECT_EQ(a.kind, Rendering::Kind::Query);

    // ORDER BY positions and select-list literals stay in the text: they are not values.
    const Rendering c =
        t.translate(QStringLiteral("select 1 as one, ccode from code where ccode like N'1%' order by 2"));
    EXPECT_EQ(c.steps[0].sql,
              QStringLiteral("SELECT 1 AS one, ccode FROM code WHERE (ccode >= sarvo_like_lo(?) AND "
                             "ccode < sarvo_like_hi(?) AND sarvo_like(ccode, ?)) ORDER BY 2"));
    EXPECT_EQ(c.steps[0].params.size(), 3u);

    TranslatorOptions plain;
    plain.bindLiterals = false;
    plain.likeRanges = false;
    const Rendering d =
        TSqlTranslator(Dialect::sqlite(), &schema, plain)
            .translate(QStringLiteral("select * from code where ccode like N'1%' and iYear=2024"));
    EXPECT_EQ(d.steps[0].sql,
              QStringLiteral("SELECT * FROM code WHERE sarvo_like(ccode, '1%') AND iYear = 2024"));
    EXPECT_TRUE(d.steps[0].params.empty());
}

// Another engine is another dialect table: the same statements for the server itself and for
// PostgreSQL.
TEST(TranslatorDialectTest, OtherEnginesAreOtherTables) {
    SchemaInfo schema;
    schema.setTable(false, QStringLiteral("code"), {{QStringLiteral("ccode"), SchemaInfo::Type::Text}});
    schema.setTable(true, QStringLiteral("x"), {{QStringLiteral("ccode"), SchemaInfo::Type::Text}});
    const QString top =
        QStringLiteral("Select Top 1 * FROM code Where ccode= N'1001' and iYear=2024 Order By ccode");
    const QString join = QStringLiteral("select distinct code.ccode from tempdb..[x] inner join code on "
                                        "tempdb..[x].ccode like code.ccode+'%'");
    const QString into = QStringLiteral("select  * into tempdb..[x]  from code  where  iYear=2024");
    const QString option =
        QStringLiteral("if not exists (select cSysID FROM AccInformation where cName = 'T') Begin "
                       "Insert into AccInformation(cname) values(N'T') End");
    struct Expect {
        const Dialect* dialect;
        QString top, join, into, option;
    };
    const std::vector<Expect> cases = {
        {&Dialect::sqlServer(),
         "SELECT TOP 1 * FROM code WHERE ccode = N'1001' AND iYear = 2024 ORDER BY ccode",
         "SELECT DISTINCT code.ccode FROM tempdb..[x] INNER JOIN code ON tempdb..[x].ccode LIKE code.ccode + "
         "N'%'",
         "SELECT * INTO tempdb..[x] FROM code WHERE iYear = 2024",
         "IF NOT EXISTS (SELECT cSysID FROM AccInformation WHERE cName = N'T') BEGIN INSERT INTO "
         "AccInformation "
         "(cname) VALUES (N'T') END"},
        {&Dialect::postgresql(),
         "SELECT * FROM code WHERE ccode = '1001' AND iYear = 2024 ORDER BY ccode LIMIT 1",
         "SELECT DISTINCT code.ccode FROM pg_temp.\"x\" INNER JOIN code ON (\"x\".ccode >= "
         "sarvo_like_lo(code.ccode || "
         "'%') AND \"x\".ccode < sarvo_like_hi(code.ccode || '%') AND sarvo_like(\"x\".ccode, code.ccode || "
         "'%'))",
         "CREATE TEMPORARY TABLE \"x\" AS SELECT * FROM code WHERE iYear = 2024;\nCREATE INDEX \"x$ccode\" "
         "ON "
         "\"x\" (ccode)",
         "SELECT 1 WHERE NOT EXISTS (SELECT cSysID FROM AccInformation WHERE cName = 'T');\n"
         "INSERT INTO AccInformation (cname) SELECT 'T' WHERE NOT EXISTS (SELECT cSysID FROM AccInformation "
         "WHERE "
         "cName = 'T')"},
    };
    for (const Expect& e : cases) {
        SCOPED_TRACE(e.dialect->name.toStdString());
        const TSqlTranslator t(*e.dialect, &schema);
        EXPECT_EQ(t.translate(top).text().toStdString(), e.top.toStdString());
        EXPECT_EQ(t.translate(join).text().toStdString(), e.join.toStdString());
        EXPECT_EQ(t.translate(into).text().toStdString(), e.into.toStdString());
        EXPECT_EQ(t.translate(option).text().toStdString(), e.option.toStdString());
    }
    EXPECT_EQ(TSqlTranslator(Dialect::postgresql(), &schema).translate(top).steps[0].sql,
              QStringLiteral("SELECT * FROM code WHERE ccode = $1 AND iYear = $2 ORDER BY ccode LIMIT 1"));
}

struct Refusal {
    QString tsql;
    QString construct; // in the message
    QString at;        // the text at the reported position
};

TEST_F(TranslatorTest, RefusesWhatItCannotRenderAndSaysWhereAndWhat) {
    const std::vector<Refusal> cases = {
        {"select * from code where ccode like N'1%' escape '!'", "LIKE ... ESCAPE", "escape"},
        {"select * from code where iYear=@year", "the variable @year", "@year"},
        {"select * from code; delete from code", "a second statement in one batch", "delete"},
        {"select case when bend=1 then 1 end from code", "CASE", "case"},
        {"select top 10 percent * from code", "TOP ... PERCENT", "top"},
        {"select top 5 with ties * from code order by ccode", "TOP ... WITH TIES", "top"},
        {"select * from otherdb..code", "a name in another database (otherdb)", "otherdb"},
        {"select * from srv.db.dbo.code", "a linked-server name", "srv"},
        {"select * from sales.code", "the schema sales", "sales"},
        {"select * from code a right join code b on a.ccode=b.ccode", "RIGHT JOIN", "right"},
        {"select * from code a full join code b on a.ccode=b.ccode", "FULL JOIN", "full"},
        {"select * from code union select * from code", "UNION", "union"},
        {"select convert(varchar, igrade) from code", "CONVERT", "convert"},
        {"select getdate()", "the function GETDATE", "getdate"},
        {"select sum(distinct igrade) from code", "an aggregate over DISTINCT values", "distinct"},
        {"select * from code where (select max(ccode) from code)+ccode = N'x'",
         "'+' between operands of unknown type", "+"},
        {"select * from code with (index(ix))", "the table hint index", "with"},
        {"exec sp_who", "the statement EXEC", "exec"},
        {"if exists (select 1 from code) begin delete from code end",
         "IF EXISTS with a body other than one INSERT", "delete"},
        {"if not exists (select 1 from code) begin insert into GL_mcodeused values(N'a',N'b') end else begin "
         "insert "
         "into GL_mcodeused values(N'a',N'c') end",
         "IF ... ELSE", "else"},
        {"if (1=1) insert into GL_mcodeused values(N'a',N'b')", "IF without EXISTS", "(1=1)"},
        {"update code set bend=1 from code", "UPDATE with FROM", "from code"},
        {"select * from ##shared", "a global temporary table", "##shared"},
        {"insert into GL_mcodeused default values", "DEFAULT VALUES", "default"},
    };
    for (const Refusal& r : cases) {
        SCOPED_TRACE(r.tsql.toStdString());
        try {
            m_conn->render(r.tsql);
            ADD_FAILURE() << "rendered";
        } catch (const RuntimeError& e) {
            EXPECT_TRUE(e.is(ErrorCode::DatabaseError));
            const QString expected = QStringLiteral("Cannot render %1 at position %2 ")
                                         .arg(r.construct)
                                         .arg(r.tsql.indexOf(r.at) + 1);
            EXPECT_TRUE(e.description().contains(expected)) << e.description().toStdString();
            EXPECT_TRUE(e.description().endsWith(r.tsql)) << e.description().toStdString();
        }
    }
}

TEST_F(TranslatorTest, SyntaxErrorsAndBrokenLiteralsNameThePosition) {
    const std::vector<Refusal> cases = {
        // A quote typed into the filter box ends the literal early, as it would on the server.
        {"select * from code where  iYear=2024 and (   ( ccode like N'O'Brien%' ) ) order by ccode ",
         "Unterminated string literal", "' ) )"},
        {"select * from code where ccode like N'abc", "Unterminated string literal", "N'abc"},
        {"select * from [code where iYear=1", "Unterminated bracketed identifier", "[code"},
        {"select * from code where igrade = 1 ~ 2", "Unexpected character '~'", "~"},
        {"select * from code where", "Incorrect syntax near end of text", ""},
        {"select * from code where iYear=2024 order ccode", "Incorrect syntax near 'ccode'", "ccode"},
        {"select * from code /* open", "Unterminated comment", "/*"},
    };
    for (const Refusal& r : cases) {
        SCOPED_TRACE(r.tsql.toStdString());
        try {
            m_conn->render(r.tsql);
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
