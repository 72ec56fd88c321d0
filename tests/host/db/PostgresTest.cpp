// What only the PostgreSQL engine shows: SQLSTATEs classified, the server's messages for its
// conversions, codes served by the account set's indexes in the server's generic plans, one
// prepared statement per shape on the server, values typed both ways, a session the server drops
// failing once and opening again, rows streamed as they are read, another session's lock and a read-only
// database answered as on the embedded engine, a creation that fails half-way leaving the database empty, and
// the password in no message. The results that must not depend on the engine are in the suites that run over
// every engine.
#ifdef SARVO_HAVE_LIBPQ

#include "DbFixture.h"

#include "data/AccountSetTemplate.h"
#include "host/db/Backend.h"
#include "host/db/ConnectionString.h"
#include "host/db/Dialect.h"
#include "host/db/EngineError.h"
#include "host/db/PgBackend.h"
#include "host/db/PgServerMessage.h"
#include "host/db/TSqlTranslator.h"
#include "runtime/RuntimeError.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <climits>

namespace sarvo::db::test {

namespace {

const sarvo::testing::EngineSlot& postgresqlSlot() {
    for (const sarvo::testing::EngineSlot& s : sarvo::testing::engineSlots())
        if (s.name == QLatin1String("postgresql")) return s;
    throw std::logic_error("no postgresql slot");
}

QStringList list(std::initializer_list<const char*> items) {
    QStringList out;
    for (const char* i : items)
        out << QString::fromUtf8(i);
    return out;
}

// The kind and message of what f raised; "" when nothing was.
struct Raised {
    QString kind;
    QString message;
    QString sqlState;
};
template <class F> Raised raisedBy(F&& f) {
    Raised r;
    try {
        f();
    } catch (const EngineError& e) {
        r.kind = failureKindName(e.kind());
        r.message = e.description();
        r.sqlState = e.sqlState();
    } catch (const RuntimeError& e) {
        r.kind = QStringLiteral("not classified");
        r.message = e.description();
    }
    return r;
}

TEST(PgFailureKindTest, SqlStatesSayWhatKindOfFailureItIs) {
    struct Case {
        const char* sqlState;
        bool connectionBad;
        FailureKind kind;
    };
    const std::vector<Case> cases = {
        {"08006", false, FailureKind::LostConnection}, // connection failure
        {"57P01", false, FailureKind::LostConnection}, // terminated by an administrator
        {"", true, FailureKind::LostConnection},       // no result: the session is gone
        {"42601", true, FailureKind::LostConnection},  // whatever the result said, the session is gone
        {"55P03", false, FailureKind::Busy},           // lock not available (lock_timeout)
        {"40P01", false, FailureKind::Busy},           // deadlock
        {"40001", false, FailureKind::Busy},           // serialization failure
        {"25006", false, FailureKind::ReadOnly},       // read-only transaction
        {"23505", false, FailureKind::Constraint},     // unique key
        {"23502", false, FailureKind::Constraint},     // not null
        {"23514", false, FailureKind::Constraint},     // check
        {"42601", false, FailureKind::Syntax},         // syntax error
        {"42P01", false, FailureKind::Syntax},         // no such table
        {"42883", false, FailureKind::Syntax},         // no such function
        {"28P01", false, FailureKind::CannotOpen},     // password refused
        {"3D000", false, FailureKind::CannotOpen},     // no such database
        {"42501", false, FailureKind::CannotOpen},     // no privilege
        {"53100", false, FailureKind::DiskFull},       // disk full
        {"22P02", false, FailureKind::Other},          // text that is no number
        {"22012", false, FailureKind::Other},          // division by zero
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.sqlState) + (c.connectionBad ? " connection bad" : ""));
        EXPECT_EQ(failureKindName(pgFailureKind(c.sqlState, c.connectionBad)), failureKindName(c.kind));
    }
}

TEST(PgFailureKindTest, ConversionsSayWhatTheServerSays) {
    struct Case {
        const char* sqlState;
        const char* message;
        const char* shown;
    };
    const std::vector<Case> cases = {
        {"22P02", "invalid input syntax for type integer: \"Cash on hand\"",
         "Conversion failed when converting the nvarchar value 'Cash on hand' to data type int."},
        {"22P02", "invalid input syntax for type numeric: \"库存现金\"",
         "Error converting data type nvarchar to numeric ('库存现金')."},
        {"22008", "date/time field value out of range: \"31/01/2024\"",
         "Conversion failed when converting date and/or time from character string ('31/01/2024')."},
        {"22007", "invalid input syntax for type timestamp: \"x\"",
         "Conversion failed when converting date and/or time from character string ('x')."},
        {"22P02", "invalid input syntax for type boolean: \"x\"",
         "invalid input syntax for type boolean: \"x\""},
        {"42601", "syntax error at or near \"x\"", "syntax error at or near \"x\""},
        // As PostgreSQL's ODBC driver passes the message on.
        {"22008",
         "ERROR: date/time field value out of range: \"31/01/2024\";\nError while executing the query",
         "Conversion failed when converting date and/or time from character string ('31/01/2024')."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        EXPECT_EQ(pgServerMessage(c.sqlState, QString::fromUtf8(c.message)), QString::fromUtf8(c.shown));
    }
}

// The standard account set in a database of its own on the test server.
class PostgresTest : public ::testing::Test {
protected:
    void SetUp() override {
        SARVO_REQUIRE_ENGINE(postgresqlSlot());
        m_url = sarvo::testing::newAccountSet(postgresqlSlot(), {}, {}, QStringLiteral("standard"));
        m_conn = std::make_shared<Connection>(m_url);
        m_conn->open();
    }

    PgBackend& backend() const { return dynamic_cast<PgBackend&>(*m_conn->backend()); }
    // The connection string with a password in it (the test server trusts loopback and ignores it).
    QString withPassword(const QString& url) const {
        const QString user = ConnectionString::parse(url).user();
        return QString(url).replace(QStringLiteral("://%1@").arg(user),
                                    QStringLiteral("://%1:%2@").arg(user, kPassword));
    }
    // Another session on the same database, for what another program does meanwhile.
    std::unique_ptr<Connection> other() const {
        auto c = std::make_unique<Connection>(m_url);
        c->open();
        return c;
    }
    QStringList column(Connection& c, const QString& sql) const {
        QStringList out;
        for (auto rs = c.native(sql); rs->isOpen() && !rs->eof(); rs->moveNext())
            out << rs->fieldAt(0).toDisplayText();
        return out;
    }

    static inline const QString kPassword = QStringLiteral("pw-Secret-4711");
    QString m_url;
    std::shared_ptr<Connection> m_conn;
};

// The plan the server keeps for a statement it cannot see the values of (a generic plan): the
// rendered statement prepared with its values' types, explained as the server would run it.
QStringList genericPlan(Connection& c, const RenderedStep& step) {
    QStringList types, values;
    for (const SqlValue& v : step.params) {
        switch (v.type) {
        case SqlValue::Type::Integer:
            types << (v.integer >= INT_MIN && v.integer <= INT_MAX ? QStringLiteral("int4")
                                                                   : QStringLiteral("int8"));
            values << QString::number(v.integer);
            break;
        case SqlValue::Type::Real:
            types << QStringLiteral("float8");
            values << QString::number(v.real, 'g', 17);
            break;
        case SqlValue::Type::Text:
            types << QStringLiteral("text");
            values << QLatin1Char('\'') + QString::fromUtf8(v.text).replace('\'', "''") + QLatin1Char('\'');
            break;
        case SqlValue::Type::Null:
            types << QStringLiteral("text");
            values << QStringLiteral("NULL");
            break;
        }
    }
    c.native(QStringLiteral("SET plan_cache_mode = force_generic_plan"));
    c.native(QStringLiteral("PREPARE plan_probe (%1) AS %2").arg(types.join(','), step.sql));
    QStringList plan;
    for (auto rs =
             c.native(QStringLiteral("EXPLAIN (COSTS OFF) EXECUTE plan_probe(%1)").arg(values.join(',')));
         !rs->eof(); rs->moveNext())
        plan << rs->fieldAt(0).toString();
    c.native(QStringLiteral("DEALLOCATE plan_probe"));
    c.native(QStringLiteral("RESET plan_cache_mode"));
    return plan;
}

TEST_F(PostgresTest, CodeTestsAreServedByIndexesInGenericPlans) {
    m_conn->execute(QStringLiteral("select  * into tempdb..[plan1]  from code  where  iYear=2024"));
    const SchemaInfo schema = schemaOf(*m_conn);
    const TSqlTranslator t(Dialect::postgresql(), &schema);
    struct PlanCase {
        QString tsql;
        QStringList indexes; // each must be scanned
    };
    const std::vector<PlanCase> cases = {
        {"select * from code where    igrade =2 and ccode like N'1002%' and iYear=2024 order by ccode",
         list({"code_year_grade_code"})},
        {"select * from code where    igrade =2 and ccode like N'１００２%' and iYear=2024 order by ccode",
         list({"code_year_grade_code"})},
        {"Select Top 1 * FROM code Where ccode= N'100201' and iYear=2024 Order By ccode",
         list({"code_year_code"})},
        {"select * from code where  bclose=0 and  igrade=1 and cclass=N'资产' and iYear=2024 order by ccode",
         list({"code_year_grade_class"})},
        {"select distinct code.cclass,code.cClass,code.ccode,code.cCode_name,code.ccode_engl,code.igrade  "
         "from "
         "tempdb..[plan1] inner join code on tempdb..[plan1].ccode like code.ccode+'%' where code.ccode like "
         "'1002%' and code.igrade=2 and code.iYear=2024 order by code.ccode ",
         list({"code_year_grade_code", "plan1$ccode"})},
        {"select distinct code.cclass,code.cClass,code.ccode,code.cCode_name,code.ccode_engl,code.igrade  "
         "from "
         "tempdb..[plan1] inner join code on tempdb..[plan1].ccode like code.ccode+'%' where code.igrade=1 "
         "and "
         "code.iYear=2024 order by code.ccode ",
         list({"code_year_grade_ccode", "plan1$ccode"})},
        {"SELECT bend, bclose FROM code WHERE iYear = 2024 AND ccode = N'1002'", list({"code_year_code"})},
        // The quick filter, begins with: each of the four ORed tests an index range.
        {"select * from code where  iYear=2024 and ( ccode like N'600%' or  ccode_name like N'600%' or "
         "ccode_engl like N'600%' or  chelp like N'600%' ) order by ccode ",
         list({"code_year_code", "code_year_name", "code_year_engl", "code_year_help"})},
        {"select * from code where  iYear=2024 and ( bclose=0 and  ( ccode like N'yh%' or  ccode_name like "
         "N'银行%' or ccode_engl like N'Bank%' or  chelp like N'YH%' )) order by ccode ",
         list({"code_year_code", "code_year_name", "code_year_engl", "code_year_help"})},
    };
    for (const PlanCase& c : cases) {
        SCOPED_TRACE(c.tsql.toStdString());
        const QStringList plan = genericPlan(*m_conn, t.translate(c.tsql).steps.front());
        const QString text = plan.join(QLatin1Char('\n'));
        for (const QString& index : c.indexes) {
            const QRegularExpression scan(QStringLiteral("(Index Scan|Index Only Scan) using \"?%1\"? on|"
                                                         "Bitmap Index Scan on \"?%1\"?")
                                              .arg(QRegularExpression::escape(index)));
            EXPECT_TRUE(scan.match(text).hasMatch()) << index.toStdString() << " in\n" << text.toStdString();
        }
        EXPECT_FALSE(text.contains(QStringLiteral("Seq Scan on code"))) << text.toStdString();
    }
}

TEST_F(PostgresTest, EachShapeIsPreparedOnceOnTheServer) {
    const auto prepared = [&] {
        return column(*m_conn, QStringLiteral("SELECT count(*) FROM pg_prepared_statements"))
            .value(0)
            .toInt();
    };
    const int before = prepared();
    const int keptBefore = backend().preparedCount();
    for (const char* code : {"1001", "1002", "9999", "１００２"})
        m_conn
            ->execute(
                QStringLiteral("Select Top 1 * FROM code Where ccode= N'%1' and iYear=2024 Order By ccode")
                    .arg(QString::fromUtf8(code)))
            ->close();
    EXPECT_EQ(prepared() - before, 1);
    EXPECT_EQ(backend().preparedCount() - keptBefore, 1);
    // Another shape is another statement; the host's look-up with values bound is one more.
    m_conn->execute(
        QStringLiteral("select * from code where    igrade =2 and ccode like N'1002%' and iYear=2024 "
                       "order by ccode"));
    for (const char* code : {"1001", "1002"})
        m_conn->query(QStringLiteral("SELECT bend FROM code WHERE iYear = ? AND ccode = ?"),
                      {SqlValue::ofInteger(2024), SqlValue::ofText(QString::fromLatin1(code))});
    EXPECT_EQ(prepared() - before, 3);
    // Without the cache nothing is kept on the server.
    PipelineOptions plain;
    plain.cacheStatements = false;
    m_conn->setOptions(plain);
    EXPECT_EQ(prepared(), 0);
    m_conn->execute(
        QStringLiteral("Select Top 1 * FROM code Where ccode= N'1001' and iYear=2024 Order By ccode"));
    EXPECT_EQ(prepared(), 0);
}

TEST_F(PostgresTest, ValuesKeepTheirTypesBothWays) {
    const QString grade1 =
        column(*m_conn, QStringLiteral("SELECT count(*) FROM code WHERE igrade = 1 AND iYear = 2024"))
            .value(0);
    struct Case {
        const char* name;
        QString tsql;
        std::vector<SqlValue> params;
        QString expected; // first row: "type:text" per column, '|' between
    };
    const std::vector<Case> cases = {
        {"a whole number beyond int is a bigint",
         "SELECT count(*) AS n FROM code WHERE iYear = ?",
         {SqlValue::ofInteger(5'000'000'000LL)},
         "Long:0"},
        {"an int where a function wants one",
         "SELECT right(ccode, ?) AS r FROM code WHERE ccode = ? AND iYear = ?",
         {SqlValue::ofInteger(2), SqlValue::ofText(QStringLiteral("1002")), SqlValue::ofInteger(2024)},
         "String:02"},
        {"a real against a whole-number column",
         "SELECT count(*) AS n FROM code WHERE igrade < ? AND iYear = ?",
         {SqlValue::ofReal(1.5), SqlValue::ofInteger(2024)},
         "Long:" + grade1},
        {"a null where text is wanted",
         "SELECT count(*) AS n FROM code WHERE cexch_name = ?",
         {SqlValue()},
         "Long:0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto rs = m_conn->query(c.tsql, c.params);
        ASSERT_FALSE(rs->eof());
        QStringList got;
        for (int i = 0; i < rs->fieldCount(); ++i)
            got << rs->fieldAt(i).typeName() + QLatin1Char(':') + rs->fieldAt(i).toDisplayText();
        EXPECT_EQ(got.join('|'), c.expected);
    }
    // The server's types as the embedded engine gives them.
    const auto rs = m_conn->native(QStringLiteral(
        "SELECT 7::int2, 70000::int4, 5000000000::int8, 2.50::numeric, 0.25::float8, true, false, "
        "'x'::varchar, ''::text, NULL::text"));
    QStringList got;
    for (int i = 0; i < rs->fieldCount(); ++i)
        got << rs->fieldAt(i).typeName() + QLatin1Char(':') + rs->fieldAt(i).toDisplayText();
    EXPECT_EQ(got, list({"Long:7", "Long:70000", "Double:5000000000", "Double:2.5", "Double:0.25", "Long:1",
                         "Long:0", "String:x", "String:", "Null:"}));
}

TEST_F(PostgresTest, ADroppedSessionFailsOnceAsLostAndTheConnectionOpensAgain) {
    auto conn = std::make_shared<Connection>(withPassword(m_url));
    conn->open();
    conn->execute(QStringLiteral("select  * into tempdb..[gone1]  from code  where  iYear=2024"));
    auto rows = conn->execute(QStringLiteral("select * from code where iYear=2024 order by ccode"));
    const int pid = dynamic_cast<PgBackend&>(*conn->backend()).serverProcessId();
    ASSERT_GT(pid, 0);
    column(*other(), QStringLiteral("SELECT pg_terminate_backend(%1)").arg(pid));

    const Raised lost = raisedBy([&] { conn->execute(QStringLiteral("select count(*) from code")); });
    EXPECT_EQ(lost.kind, QStringLiteral("lost-connection"));
    EXPECT_TRUE(lost.message.contains(QStringLiteral("connection to the database server")))
        << lost.message.toStdString();
    EXPECT_TRUE(lost.message.contains(QStringLiteral("the next action connects again")))
        << lost.message.toStdString();
    EXPECT_TRUE(
        lost.message.contains(QStringLiteral("(terminating connection due to administrator command)")))
        << lost.message.toStdString();
    EXPECT_FALSE(lost.message.contains(kPassword)) << lost.message.toStdString();
    EXPECT_EQ(conn->state(), static_cast<int>(Connection::Closed));
    EXPECT_FALSE(rows->isOpen()) << "the rows of the lost session are gone";

    // Opening again is a new session: it works, without the old session's temporary table.
    conn->open();
    EXPECT_NE(dynamic_cast<PgBackend&>(*conn->backend()).serverProcessId(), pid);
    auto count = conn->execute(QStringLiteral("select count(*) as n from code where iYear=2024"));
    EXPECT_GT(count->field(QStringLiteral("n")).toLong(), 0);
    EXPECT_EQ(raisedBy([&] { conn->execute(QStringLiteral("select * from tempdb..[gone1]")); }).kind,
              QStringLiteral("syntax"));
}

// Rows come as the caller reads them: record sets read side by side each give their own rows in
// full, a failure half-way shows at the row it belongs to, and a record set closed after its
// first row stops the server (outside a transaction) or leaves the transaction usable (inside).
TEST_F(PostgresTest, RowsStreamAndRecordSetsReadSideBySide) {
    const auto values = [](Recordset& rs, int count) {
        QStringList out;
        for (int i = 0; i < count && !rs.eof(); ++i, rs.moveNext())
            out << rs.fieldAt(0).toDisplayText();
        return out;
    };
    const QString series = QStringLiteral("SELECT g FROM generate_series(1, %1) g ORDER BY g");
    auto outer = m_conn->native(series.arg(300));
    EXPECT_EQ(values(*outer, 2), list({"1", "2"}));
    EXPECT_FALSE(m_conn->inTransaction()) << "rows still coming are no transaction";
    auto inner = m_conn->native(series.arg(3));
    auto innermost = m_conn->native(series.arg(500));
    EXPECT_EQ(values(*innermost, 1), list({"1"}));
    EXPECT_EQ(values(*inner, 10), list({"1", "2", "3"}));
    const QStringList rest = values(*outer, 1000);
    ASSERT_EQ(rest.size(), 298);
    EXPECT_EQ(rest.front(), QStringLiteral("3"));
    EXPECT_EQ(rest.back(), QStringLiteral("300"));
    EXPECT_EQ(values(*innermost, 1000).size(), 499);

    // A failure at the third row: two rows first, whether read at once or after another statement.
    for (bool meanwhile : {false, true}) {
        SCOPED_TRACE(meanwhile ? "another statement in between" : "read at once");
        auto failing = m_conn->native(QStringLiteral("SELECT 6 / (3 - g) FROM generate_series(1, 5) g"));
        QStringList seen;
        if (meanwhile) {
            EXPECT_EQ(column(*m_conn, QStringLiteral("SELECT 'between'")), list({"between"}));
        }
        const Raised r = raisedBy([&] {
            for (; !failing->eof(); failing->moveNext())
                seen << failing->fieldAt(0).toDisplayText();
        });
        EXPECT_EQ(seen, list({"3", "6"}));
        EXPECT_EQ(r.sqlState, QStringLiteral("22012"));
        EXPECT_EQ(column(*m_conn, QStringLiteral("SELECT 'after'")), list({"after"}));
    }

    struct Case {
        const char* name;
        bool inTransaction;
        int rows;
        bool stopped; // the server made fewer rows than asked for
    };
    const std::vector<Case> cases = {{"on its own", false, 1000000, true},
                                     {"in a transaction", true, 2000, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_conn->native(QStringLiteral("DROP SEQUENCE IF EXISTS made"));
        m_conn->native(QStringLiteral("CREATE SEQUENCE made"));
        if (c.inTransaction) m_conn->native(QStringLiteral("BEGIN"));
        auto first =
            m_conn->native(QStringLiteral("SELECT nextval('made') FROM generate_series(1, %1)").arg(c.rows));
        EXPECT_EQ(values(*first, 1), list({"1"}));
        first->close();
        m_conn->native(QStringLiteral("INSERT INTO GL_mcodeused VALUES ('streamed', '%1')").arg(c.rows));
        if (c.inTransaction) m_conn->native(QStringLiteral("COMMIT"));
        const qint64 made =
            column(*other(), QStringLiteral("SELECT last_value FROM made")).value(0).toLongLong();
        EXPECT_EQ(made < c.rows, c.stopped) << made;
        EXPECT_EQ(
            column(*other(), QStringLiteral("SELECT count(*) FROM GL_mcodeused WHERE cuser = 'streamed' "
                                            "AND ccode = '%1'")
                                 .arg(c.rows)),
            list({"1"}));
    }
}

// Back to the first row from the first row (a test for rows, then the loop over them) reads the
// run that is there; from further on the query runs again. A sequence shows which run a row is of.
TEST_F(PostgresTest, MovingFirstFromTheFirstRowReadsTheSameRun) {
    struct Case {
        const char* name;
        int rows;
        int stepsBeforeMoveFirst;
        const char* after; // the rows after moveFirst
    };
    const std::vector<Case> cases = {
        {"from the first row", 3, 0, "1 2 3"},
        {"from the second row", 3, 1, "4 5 6"},
        {"from the end", 3, 3, "4 5 6"},
        {"a single row, from it", 1, 0, "1"},
        {"many rows, from the first", 500, 0, "1 2 3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_conn->native(QStringLiteral("DROP SEQUENCE IF EXISTS runs"));
        m_conn->native(QStringLiteral("CREATE SEQUENCE runs"));
        auto rs =
            m_conn->native(QStringLiteral("SELECT nextval('runs') FROM generate_series(1, %1)").arg(c.rows));
        for (int i = 0; i < c.stepsBeforeMoveFirst; ++i)
            rs->moveNext();
        rs->moveFirst();
        QStringList after;
        for (int i = 0; i < 3 && !rs->eof(); ++i, rs->moveNext())
            after << rs->fieldAt(0).toDisplayText();
        EXPECT_EQ(after.join(QLatin1Char(' ')), QString::fromLatin1(c.after));
        rs->close();
    }
}

TEST_F(PostgresTest, AnotherSessionsLockMakesWritesBusyWithinTheBoundAndLeavesReadsAlone) {
    auto colleague = other();
    colleague->native(QStringLiteral("BEGIN"));
    colleague->native(QStringLiteral("LOCK TABLE GL_mcodeused IN EXCLUSIVE MODE"));
    QElapsedTimer timer;
    timer.start();
    const Raised write = raisedBy(
        [&] { m_conn->execute(QStringLiteral("insert into GL_mcodeused values(N'demo',N'1001')")); });
    EXPECT_EQ(write.kind, QStringLiteral("busy")) << write.message.toStdString();
    EXPECT_EQ(write.sqlState, QStringLiteral("55P03"));
    EXPECT_LT(timer.elapsed(), 3000);
    EXPECT_EQ(raisedBy([&] { m_conn->execute(QStringLiteral("select * from GL_mcodeused")); }).kind,
              QString());
    EXPECT_EQ(raisedBy([&] {
                  m_conn->execute(
                      QStringLiteral("Select Top 1 * FROM code Where ccode= N'1001' and iYear=2024"));
              }).kind,
              QString());
    colleague->native(QStringLiteral("ROLLBACK"));
    EXPECT_EQ(raisedBy([&] {
                  m_conn->execute(QStringLiteral("insert into GL_mcodeused values(N'demo',N'1001')"));
              }).kind,
              QString());
}

TEST_F(PostgresTest, AReadOnlyDatabaseReadsAndRefusesWritesAsReadOnly) {
    const QString database = ConnectionString::parse(m_url).database();
    other()->native(QStringLiteral("ALTER DATABASE %1 SET default_transaction_read_only = on").arg(database));
    Connection reader(m_url);
    reader.open();
    EXPECT_TRUE(reader.isReadOnly());
    EXPECT_FALSE(m_conn->isReadOnly()) << "a session opened before keeps what it had";
    EXPECT_EQ(raisedBy([&] {
                  reader.execute(QStringLiteral("select * from code where  iYear=2024 order by ccode "));
              }).kind,
              QString());
    const Raised write =
        raisedBy([&] { reader.execute(QStringLiteral("insert into GL_mcodeused values(N'demo',N'1001')")); });
    EXPECT_EQ(write.kind, QStringLiteral("read-only"));
    EXPECT_EQ(write.sqlState, QStringLiteral("25006"));
}

TEST_F(PostgresTest, ACreationThatFailsHalfWayLeavesTheDatabaseEmpty) {
    const QString url = sarvo::testing::newPostgresqlDatabase();
    {
        Connection c(url);
        c.open();
        // A table of the schema's name made by someone else: the schema script fails on it.
        c.native(QStringLiteral("CREATE TABLE host_user (x int)"));
    }
    const Raised failed = raisedBy([&] { data::createAccountSet(url, QStringLiteral("standard")); });
    EXPECT_TRUE(failed.message.contains(QStringLiteral("host_user"))) << failed.message.toStdString();
    Connection c(url);
    c.open();
    EXPECT_EQ(column(c, QStringLiteral("SELECT string_agg(tablename, ' ') FROM pg_tables WHERE schemaname = "
                                       "'public'")),
              QStringList{QStringLiteral("host_user")});
    EXPECT_EQ(column(c, QStringLiteral("SELECT count(*) FROM pg_proc WHERE proname LIKE 'sarvo%'")),
              QStringList{QStringLiteral("0")});
    // Into a database that holds an account set nothing is created a second time.
    const Raised again = raisedBy([&] { data::createAccountSet(m_url, QStringLiteral("standard")); });
    EXPECT_TRUE(again.message.contains(QStringLiteral("already holds an account set")))
        << again.message.toStdString();
}

TEST_F(PostgresTest, ThePasswordIsInNoMessage) {
    const ConnectionString target = ConnectionString::parse(m_url);
    struct Case {
        const char* name;
        QString url;
        QString statement; // run after opening; empty: opening itself fails
    };
    const std::vector<Case> cases = {
        {"no server at that port",
         withPassword(QStringLiteral("postgresql://%1@127.0.0.1:1/%2").arg(target.user(), target.database())),
         {}},
        {"no such database",
         withPassword(QString(m_url).replace(target.database(), QStringLiteral("nosuchdb"))),
         {}},
        {"a statement the server refuses", withPassword(m_url), QStringLiteral("select nosuch from code")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.url.contains(kPassword));
        Connection conn(c.url);
        EXPECT_FALSE(conn.describe().contains(kPassword));
        const Raised r = raisedBy([&] {
            conn.open();
            if (!c.statement.isEmpty()) conn.execute(c.statement);
        });
        EXPECT_NE(r.kind, QString());
        EXPECT_FALSE(r.message.contains(kPassword)) << r.message.toStdString();
        if (c.statement.isEmpty()) {
            EXPECT_EQ(r.kind, QStringLiteral("cannot-open"));
            EXPECT_TRUE(r.message.contains(conn.describe())) << r.message.toStdString();
        }
    }
}

} // namespace

} // namespace sarvo::db::test

#endif // SARVO_HAVE_LIBPQ
