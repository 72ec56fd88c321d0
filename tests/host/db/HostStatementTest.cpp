// The host stand-in's own statements on the component's connection: T-SQL with ? placeholders
// for values, rendered for the engine like the component's; kept out of the component's
// statement log and counted apart; and the engine's own SQL for scripts.
#include "DbFixture.h"

#include "host/db/EngineError.h"

namespace sarvo::db::test {

namespace {

class HostStatementTest : public EngineDbFixture {
protected:
    void SetUp() override {
        EngineDbFixture::SetUp();
        if (HasFatalFailure() || IsSkipped()) return;
        seedAccounts();
    }
    // The first column of every row of a host query.
    QStringList values(const QString& tsql, const std::vector<SqlValue>& params) {
        QStringList out;
        for (auto rs = m_conn->query(tsql, params); !rs->eof(); rs->moveNext())
            out << rs->fieldAt(0).toDisplayText();
        return out;
    }
};

SqlValue text(const char* s) {
    return SqlValue::ofText(QString::fromUtf8(s));
}

TEST_P(HostStatementTest, PlaceholdersTakeTheValuesAsDataNotAsText) {
    struct Case {
        const char* name;
        QString tsql;
        std::vector<SqlValue> params;
        QStringList expected;
    };
    const std::vector<Case> cases = {
        {"a value with a quote, %, _ and [",
         "SELECT ccode FROM code WHERE ccode_engl = ? AND iYear = ?",
         {text("O'Brien 100% [A]_x"), SqlValue::ofInteger(2024)},
         {"1221"}},
        {"a quote alone is no match", "SELECT ccode FROM code WHERE ccode_engl = ?", {text("'")}, {}},
        {"injection is a value", "SELECT ccode FROM code WHERE ccode = ?", {text("1001' or '1'='1")}, {}},
        {"? inside a literal is text",
         "SELECT count(*) FROM code WHERE ccode_name = '?' AND ccode <> ?",
         {text("x")},
         {"0"}},
        {"LIKE with the server's meaning",
         "SELECT ccode FROM code WHERE iYear = ? AND ccode LIKE ? ORDER BY ccode",
         {SqlValue::ofInteger(2024), text("100[12]%")},
         {"1001", "1002", "100201", "100202"}},
        {"a null value matches nothing", "SELECT ccode FROM code WHERE cexch_name = ?", {SqlValue()}, {}},
        {"order of values",
         "SELECT cuser FROM GL_mcodeused WHERE ccode = ? AND cuser = ? ORDER BY cuser",
         {text("1002"), text("other")},
         {"other"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(values(c.tsql, c.params), c.expected);
    }
}

// The host's look-ups compare text as the component's statements do (case, width, trailing
// blanks), a code stored in another form included; the year still narrows.
TEST_P(HostStatementTest, LookUpsCompareTextAsTheComponentsStatementsDo) {
    sqlite("INSERT INTO code (iYear, cclass, ccode, ccode_name, igrade) VALUES (2024, '资产', '１４０６', "
           "'发出商品', 1)");
    struct Case {
        const char* name;
        QString tsql;
        std::vector<SqlValue> params;
        QStringList expected;
    };
    const QString one = QStringLiteral("SELECT ccode FROM code WHERE iYear = ? AND ccode = ?");
    const QString several =
        QStringLiteral("SELECT ccode FROM code WHERE iYear = ? AND ccode IN (?, ?, ?) ORDER BY ccode");
    const SqlValue year = SqlValue::ofInteger(2024);
    const std::vector<Case> cases = {
        {"a code typed in full-width digits", one, {year, text("１００２")}, {"1002"}},
        {"trailing blanks", one, {year, text("100201  ")}, {"100201"}},
        {"a code stored in full-width digits", one, {year, text("1406")}, {"１４０６"}},
        {"another year", one, {SqlValue::ofInteger(2023), text("100201")}, {}},
        {"a name in another case",
         "SELECT ccode FROM code WHERE ccode_engl = ?",
         {text("CASH ON HAND")},
         {"1001"}},
        {"several codes in any form",
         several,
         {year, text("１００１"), text("100202 "), text("1406")},
         {"1001", "100202", "１４０６"}},
        {"several codes, some missing", several, {year, text("9999"), text("1001"), SqlValue()}, {"1001"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(values(c.tsql, c.params), c.expected);
    }
}

TEST_P(HostStatementTest, WritesTellTheRowsTheyChangedAndStayOutOfTheComponentsLog) {
    m_conn->setStatementLogging(true);
    const PipelineCounters before = m_conn->counters();
    EXPECT_EQ(
        m_conn->command("UPDATE GL_mcodeused SET cuser = ? WHERE cuser = ?", {text("demo2"), text("demo")}),
        2);
    EXPECT_EQ(m_conn->command("DELETE FROM GL_mcodeused WHERE cuser = ?", {text("nobody")}), 0);
    EXPECT_EQ(m_conn->command("INSERT INTO GL_mcodeused (cuser, ccode) VALUES (?, ?), (?, ?)",
                              {text("u1"), text("1001"), text("u2"), text("1001")}),
              2);
    EXPECT_EQ(values("SELECT cuser FROM GL_mcodeused WHERE ccode = ? ORDER BY cuser", {text("1001")}),
              (QStringList{"demo2", "u1", "u2"}));
    m_conn->execute("select * from code where iYear=2024");
    EXPECT_EQ(m_conn->loggedStatements(), QStringList{"select * from code where iYear=2024"});
    EXPECT_EQ(m_conn->counters().statements - before.statements, 1);
    EXPECT_EQ(m_conn->counters().hostStatements - before.hostStatements, 4);
}

TEST_P(HostStatementTest, MismatchedValuesAndStrayPlaceholdersAreRefused) {
    struct Case {
        const char* name;
        std::function<void()> act;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"too few values",
         [&] { m_conn->query("SELECT ccode FROM code WHERE ccode = ? AND iYear = ?", {text("1")}); },
         "1 values for 2 placeholders"},
        {"too many values", [&] { m_conn->command("DELETE FROM GL_mcodeused", {text("1")}); },
         "1 values for 0 placeholders"},
        {"a placeholder in the component's text",
         [&] { m_conn->execute("select * from code where ccode = ?"); },
         "Unexpected character '?' at position 34"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            c.act();
            ADD_FAILURE() << "ran";
        } catch (const EngineError& e) {
            EXPECT_EQ(e.kind(), FailureKind::Syntax);
            EXPECT_TRUE(e.description().contains(c.message)) << e.what();
        }
    }
}

// A table made by a script is known to the renderer at once: "+" between its text columns joins.
TEST_P(HostStatementTest, TablesMadeInTheEnginesOwnSqlAreKnownAtOnce) {
    m_conn->native("CREATE TABLE extra (cfirst VARCHAR(10), csecond VARCHAR(10))");
    m_conn->command("INSERT INTO extra VALUES (?, ?)", {text("ab"), text("cd")});
    EXPECT_EQ(column("select cfirst + csecond as joined from extra", "joined"), QStringList{"abcd"});
    m_conn->native("DROP TABLE extra");
    EXPECT_FALSE(m_conn->tryExecute("select cfirst + csecond as joined from extra"));
}

INSTANTIATE_TEST_SUITE_P(Engines, HostStatementTest,
                         ::testing::ValuesIn(sarvo::testing::engineSlotPointers()), sarvo::testing::slotName);

} // namespace

} // namespace sarvo::db::test
