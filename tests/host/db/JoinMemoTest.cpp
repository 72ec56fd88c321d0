// A hierarchy build's statements answered from one read: every statement's rows equal the
// engine's own (memo off), for codes in other cases and widths and codes holding LIKE wildcards;
// and the memo never outlives what it read: a write through the connection, a temporary table
// dropped and filled again, another connection's commit during and after a build, a failed
// statement in between. On each engine
// that holds a snapshot for the memo: SQLite, and the PostgreSQL server.
#include "DbFixture.h"

#include "host/db/PipelineSettings.h"
#include "runtime/RuntimeError.h"

#include <functional>

namespace sarvo::db::test {

namespace {

const QString kTable = QStringLiteral("tempdb..[memo1]");

QString joinStatement(const QString& prefixTest, int grade) {
    return QStringLiteral(
               "select distinct code.cclass,code.cClass,code.ccode,code.cCode_name,code.ccode_engl,"
               "code.igrade  from ") +
           kTable + QStringLiteral(" inner join code on ") + kTable +
           QStringLiteral(".ccode like code.ccode+'%' where ") + prefixTest +
           QStringLiteral("code.igrade=%1 and code.iYear=2024 order by code.ccode ").arg(grade);
}
QString firstGrade() {
    return joinStatement(QString(), 1);
}
QString nextGrade(const QString& code, int grade) {
    QString quoted = code;
    quoted.replace(QLatin1String("'"), QLatin1String("''"));
    return joinStatement(QStringLiteral("code.ccode like '") + quoted + QStringLiteral("%' and "), grade + 1);
}

// The engines whose backend holds a snapshot (the ODBC path does not: no memo there).
std::vector<const sarvo::testing::EngineSlot*> memoEngines() {
    std::vector<const sarvo::testing::EngineSlot*> out;
    for (const sarvo::testing::EngineSlot* s : sarvo::testing::engineSlotPointers())
        if (s->name == QLatin1String("sqlite") || s->name == QLatin1String("postgresql")) out.push_back(s);
    return out;
}

class JoinMemoTest : public EngineDbFixture {
protected:
    void SetUp() override {
        EngineDbFixture::SetUp();
        if (HasFatalFailure() || IsSkipped()) return;
        if (engine().dialect == QLatin1String("sqlite"))
            m_conn->native(QStringLiteral("PRAGMA journal_mode=WAL"));
        // 36 first-grade accounts, 5 children each, 5 grandchildren each: 1,116 accounts.
        m_conn->native(QStringLiteral("BEGIN"));
        for (int a = 1; a <= 36; ++a) {
            const QString g1 = QString::number(1000 + a);
            add(g1, 1);
            for (int b = 1; b <= 5; ++b) {
                const QString g2 = g1 + QStringLiteral("0%1").arg(b);
                add(g2, 2);
                for (int c = 1; c <= 5; ++c)
                    add(g2 + QStringLiteral("0%1").arg(c), 3);
            }
        }
        // Codes the collation and LIKE must get right: letters in both cases (whose folded order
        // is not their stored order: "1001B" before "1001a01" as stored, after it folded),
        // full-width digits, and codes that are patterns themselves.
        for (const char* code : {"1001A", "1001B", "1001a01", "１００２09", "1003%", "1003%01", "1004_",
                                 "1004_01", "1005[1]", "1005[1]01", "100601's"})
            add(QString::fromUtf8(code), 2);
        m_conn->native(QStringLiteral("COMMIT"));
    }

    void add(const QString& code, int grade, Connection* on = nullptr) const {
        (on ? on : m_conn.get())
            ->command(QStringLiteral("insert into code(iYear,cclass,ccode,ccode_name,ccode_engl,igrade) "
                                     "values(2024,?,?,?,?,?)"),
                      {SqlValue::ofText(QStringLiteral("资产")), SqlValue::ofText(code),
                       SqlValue::ofText(QStringLiteral("科目") + code),
                       SqlValue::ofText(QStringLiteral("Acct ") + code), SqlValue::ofInteger(grade)});
    }

    void setMemo(bool on) {
        PipelineOptions o;
        o.memoJoins = on;
        m_conn->setOptions(o);
    }

    void fill(const QString& condition) {
        m_conn->tryExecute(QStringLiteral("drop table ") + kTable);
        m_conn->execute(
            QStringLiteral("select  * into ") + kTable + QStringLiteral("  from code  where  iYear=2024") +
            (condition.isEmpty() ? QString() : QStringLiteral(" and (") + condition + QLatin1Char(')')) +
            QStringLiteral(" order by ccode "));
    }

    // The build's statements as the tree runs them, depth first, each row as "grade|code|name|
    // english|class|class" under the statement that gave it.
    QStringList load() {
        QStringList lines;
        auto rs = m_conn->execute(firstGrade());
        while (!rs->eof()) {
            lines << line(*rs);
            children(rs->field(QStringLiteral("cCode")).toDisplayText(), 1, lines);
            rs->moveNext();
        }
        m_conn->tryExecute(QStringLiteral("drop table ") + kTable);
        return lines;
    }
    void children(const QString& code, int grade, QStringList& lines) {
        auto rs = m_conn->execute(nextGrade(code, grade));
        lines << QStringLiteral("  under ") + code;
        while (!rs->eof()) {
            lines << line(*rs);
            children(rs->field(QStringLiteral("cCode")).toDisplayText(),
                     rs->field(QStringLiteral("igrade")).toLong(), lines);
            rs->moveNext();
        }
    }
    static QString line(const Recordset& rs) {
        QStringList values;
        for (int i = 0; i < rs.fieldCount(); ++i)
            values << rs.fieldName(i) + QLatin1Char('=') + rs.fieldAt(i).toDisplayText();
        return values.join(QLatin1Char('|'));
    }
};

TEST_P(JoinMemoTest, EveryStatementOfABuildGivesTheEnginesRows) {
    struct Case {
        const char* name;
        QString condition;
        bool fewBranches = false; // read branch by branch rather than the whole year
    };
    const std::vector<Case> cases = {
        {"a few branches", "ccode like N'101[0-4]%'", true},
        {"a few branches, one with a code in full width", "ccode like N'100[2]%' or ccode like N'101[0-3]%'",
         true},
        {"a few branches, one with a quote in a code", "ccode like N'1006%' or ccode like N'101[0-3]%'"},
        {"every account", {}},
        {"a begins-with filter", "ccode like N'100%'"},
        {"a contains filter", "ccode like N'%01%'"},
        {"names of every grade", "ccode_name like N'%科目10%'"},
        {"codes that are LIKE patterns", "ccode like N'%[%_[]%' or ccode like N'100_%'"},
        {"codes in other cases and widths", "ccode_engl like N'%A%' or ccode like N'%0%'"},
        {"nothing", "ccode = N'none'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setMemo(false);
        fill(c.condition);
        const QStringList expected = load();
        setMemo(true);
        const qint64 hitsBefore = m_conn->counters().memoHits;
        const qint64 rowsBefore = m_conn->counters().rows;
        fill(c.condition);
        EXPECT_EQ(load(), expected);
        // The year's 1,127 codes, and then the whole year again or only the few branches.
        if (c.fewBranches) {
            EXPECT_LT(m_conn->counters().rows - rowsBefore, 1800);
        }
        // The broad filters are answered from the memo, not by the engine again.
        if (expected.size() > 300) {
            EXPECT_GT(m_conn->counters().memoHits - hitsBefore, 150);
        }
    }
}

// A build asks in code order, but any order must give the engine's rows.
TEST_P(JoinMemoTest, StatementsInAnyOrderGiveTheEnginesRows) {
    using Ask = std::pair<const char*, int>; // under code, its grade
    const std::vector<std::pair<const char*, std::vector<Ask>>> cases = {
        {"code order", {{"1001", 1}, {"1002", 1}, {"1003", 1}, {"1035", 1}, {"1036", 1}}},
        {"backwards", {{"1036", 1}, {"1020", 1}, {"1003", 1}, {"1001", 1}}},
        {"back and forth", {{"1030", 1}, {"1002", 1}, {"1031", 1}, {"1001", 1}, {"1036", 1}, {"1001", 1}}},
        {"across grades", {{"1003", 1}, {"100302", 2}, {"1001", 1}, {"100105", 2}, {"100101", 2}}},
        {"cases and widths", {{"1001", 1}, {"1001a", 2}, {"1001A", 2}, {"１００２", 1}, {"1002", 1}}},
    };
    auto answers = [&](const std::vector<Ask>& asks) {
        QStringList lines;
        for (const auto& [code, grade] : asks)
            lines << column(nextGrade(QString::fromUtf8(code), grade), QStringLiteral("ccode")).join(u',');
        return lines;
    };
    for (const auto& [name, asks] : cases) {
        SCOPED_TRACE(name);
        setMemo(false);
        fill({});
        const QStringList expected = answers(asks);
        setMemo(true);
        fill({});
        auto first = m_conn->execute(firstGrade()); // the memo lives while its rows are read
        const qint64 hits = m_conn->counters().memoHits;
        EXPECT_EQ(answers(asks), expected);
        EXPECT_EQ(m_conn->counters().memoHits - hits, static_cast<qint64>(asks.size()));
        first.reset();
        m_conn->tryExecute(QStringLiteral("drop table ") + kTable);
    }
}

TEST_P(JoinMemoTest, AWriteThroughTheConnectionEndsTheMemo) {
    struct Case {
        const char* name;
        std::function<void(Connection&)> write;
        QString gone; // the grade-2 code under 1002 the write takes away
    };
    // Each case writes on top of the ones before it.
    const std::vector<Case> cases = {
        {"a statement the component sends",
         [](Connection& c) {
             c.execute(QStringLiteral("update code set igrade=9 where ccode=N'100203' and iYear=2024"));
         },
         "100203"},
        {"a host command",
         [](Connection& c) {
             c.command(QStringLiteral("delete from code where ccode=? and iYear=2024"),
                       {SqlValue::ofText(QStringLiteral("100205"))});
         },
         "100205"},
        {"engine SQL",
         [](Connection& c) { c.native(QStringLiteral("DELETE FROM code WHERE ccode = '100201'")); },
         "100201"},
    };
    setMemo(true);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fill({});
        const qint64 hits = m_conn->counters().memoHits;
        auto first = m_conn->execute(firstGrade());
        ASSERT_FALSE(first->eof());
        const QStringList before = column(nextGrade(QStringLiteral("1002"), 1), QStringLiteral("ccode"));
        EXPECT_EQ(m_conn->counters().memoHits - hits, 2) << "first grade and 1002 from the memo";
        c.write(*m_conn);
        QStringList expected = before;
        EXPECT_EQ(expected.removeAll(c.gone), 1);
        EXPECT_EQ(column(nextGrade(QStringLiteral("1002"), 1), QStringLiteral("ccode")), expected);
        EXPECT_EQ(m_conn->counters().memoHits - hits, 2) << "nothing from the memo after the write";
        first->close();
    }
}

TEST_P(JoinMemoTest, ATemporaryTableFilledAgainIsReadAgain) {
    setMemo(true);
    const qint64 builds = m_conn->counters().memoBuilds;
    for (const QString& condition :
         {QStringLiteral("ccode like N'1001%' or ccode like N'1002%' or ccode like N'1003%' or "
                         "ccode like N'1004%' or ccode like N'1005%'"),
          QStringLiteral("ccode like N'1006%'")}) {
        fill(condition);
        auto first = m_conn->execute(firstGrade());
        QStringList seen;
        for (; !first->eof(); first->moveNext())
            seen << first->field(QStringLiteral("ccode")).toDisplayText();
        setMemo(false);
        const QStringList engine = column(firstGrade(), QStringLiteral("ccode"));
        setMemo(true);
        EXPECT_EQ(seen, engine) << condition.toStdString();
    }
    EXPECT_EQ(m_conn->counters().memoBuilds - builds, 1) << "the second table is too small for a memo";
}

// While a build reads, another program commits a new account: the build goes on seeing the rows
// as they were when it began (as the engine's open cursor does), and the next build sees it.
TEST_P(JoinMemoTest, AnotherConnectionsCommitIsSeenByTheNextBuildOnly) {
    Connection other(m_connectionString);
    other.open();
    int added = 6;
    for (bool memo : {false, true}) {
        SCOPED_TRACE(memo ? "memo" : "engine");
        setMemo(memo);
        const qint64 hits = m_conn->counters().memoHits;
        fill({});
        auto first = m_conn->execute(firstGrade());
        ASSERT_FALSE(first->eof());
        const auto under1002 = [&] {
            return column(nextGrade(QStringLiteral("1002"), 1), QStringLiteral("ccode")).size();
        };
        const qsizetype during = under1002();
        add(QStringLiteral("10020%1").arg(added++), 2, &other);
        EXPECT_EQ(under1002(), during) << "a build reads one snapshot";
        while (!first->eof())
            first->moveNext();
        m_conn->tryExecute(QStringLiteral("drop table ") + kTable);
        EXPECT_EQ(m_conn->counters().memoHits > hits, memo);
        fill({});
        auto next = m_conn->execute(firstGrade());
        EXPECT_EQ(under1002(), during + 1) << "the next build sees the commit";
        next->close();
    }
    other.close();
}

// The year's accounts a build reads are kept for later builds only while nothing they came from
// has changed: each change shows in the next build, whoever made it and however.
TEST_P(JoinMemoTest, TheNextBuildSeesEveryChangeToTheYear) {
    Connection other(m_connectionString);
    other.open();
    const bool keeps = engine().name == QLatin1String("sqlite");
    struct Case {
        const char* name;
        std::function<void()> change;
        std::function<void()> undo;
        bool changes;  // whether the tree is another one after it
        int yearReads; // reads of the year from the engine into what is kept
        // Only the embedded engine runs these as written: on the server the build's first
        // statement (dropping a table that is not there) ends the caller's transaction, and a
        // table made behind the component's back is not in the schema the join's '+' is typed by.
        bool embeddedOnly = false;
    };
    const std::vector<Case> cases = {
        {"nothing", [] {}, {}, false, 0},
        {"a statement the component sends",
         [&] {
             m_conn->execute(
                 QStringLiteral("update code set ccode_name=N'改名' where ccode=N'100201' and iYear=2024"));
         },
         {},
         true,
         1},
        {"a host command",
         [&] {
             m_conn->command(QStringLiteral("delete from code where ccode=? and iYear=2024"),
                             {SqlValue::ofText(QStringLiteral("100202"))});
         },
         {},
         true,
         1},
        {"another program", [&] { add(QStringLiteral("100209"), 2, &other); }, {}, true, 1},
        {"the caller's transaction, not committed yet",
         [&] {
             m_conn->native(QStringLiteral("BEGIN"));
             m_conn->execute(QStringLiteral("update code set ccode_name=N'未提交' where ccode=N'100203'"));
         },
         [&] { m_conn->native(QStringLiteral("ROLLBACK")); }, true, 0, true},
        {"a temporary table hiding the chart",
         [&] {
             m_conn->native(
                 QStringLiteral("CREATE TEMP TABLE code AS SELECT * FROM code WHERE ccode LIKE '1001%'"));
         },
         [&] { m_conn->native(QStringLiteral("DROP TABLE temp.code")); }, true, 0, true},
        {"the hiding table gone", [] {}, {}, true, 1, true},
    };
    const auto build = [&] {
        fill({});
        return load();
    };
    setMemo(true);
    QStringList before = build();
    for (const Case& c : cases) {
        if (c.embeddedOnly && engine().dialect != QLatin1String("sqlite")) continue;
        SCOPED_TRACE(c.name);
        c.change();
        const qint64 reads = m_conn->counters().yearReads;
        const QStringList memo = build();
        EXPECT_EQ(m_conn->counters().yearReads - reads, keeps ? c.yearReads : 0);
        setMemo(false);
        EXPECT_EQ(memo, build());
        setMemo(true);
        EXPECT_EQ(memo != before, c.changes);
        if (c.undo) c.undo();
        before = memo;
    }
    other.close();
}

// A statement fails while a build reads from the memo (a server then ends the build's snapshot):
// the build's next statements still give the engine's rows, no transaction is left open, and a
// write after it is there for another program to read.
TEST_P(JoinMemoTest, AFailedStatementDuringABuildLeavesTheRestRight) {
    setMemo(false);
    fill({});
    const QStringList expected = column(nextGrade(QStringLiteral("1003"), 1), QStringLiteral("ccode"));
    ASSERT_FALSE(expected.isEmpty());
    setMemo(true);
    fill({});
    auto first = m_conn->execute(firstGrade());
    ASSERT_FALSE(first->eof());
    QString why;
    EXPECT_FALSE(m_conn->tryExecute(QStringLiteral("select ccode from tempdb..[nowhere]"), &why));
    EXPECT_TRUE(why.contains(QStringLiteral("nowhere"))) << why.toStdString();
    EXPECT_FALSE(m_conn->inTransaction());
    EXPECT_EQ(column(QStringLiteral("select ccode from code where ccode=N'1003' and iYear=2024"),
                     QStringLiteral("ccode")),
              QStringList{QStringLiteral("1003")});
    EXPECT_EQ(column(nextGrade(QStringLiteral("1003"), 1), QStringLiteral("ccode")), expected);
    add(QStringLiteral("100309"), 2);
    Connection other(m_connectionString);
    other.open();
    EXPECT_EQ(other.execute(QStringLiteral("select ccode from code where ccode=N'100309'"))->eof(), false);
    other.close();
    while (!first->eof())
        first->moveNext();
    first->close();
    EXPECT_FALSE(m_conn->inTransaction());
}

// A temporary table whose rows the memo did not need yet is filled when anything else reads it:
// whatever happened in between, it then holds the rows its select saw, and once it is dropped the
// connection sees the others' commits again. Where holding a read would keep others from writing
// (SQLite outside WAL mode), the table is filled at once.
TEST_P(JoinMemoTest, ATemporaryTableReadLateHoldsWhatItsSelectSaw) {
    const bool sqlite = engine().name == QLatin1String("sqlite");
    Connection other(m_connectionString);
    other.open();
    const QString condition = QStringLiteral("ccode like N'100%' or ccode_name like N'%科目1003%'");
    const QString everything = QStringLiteral("select * from ") + kTable + QStringLiteral(" order by ccode");
    struct Case {
        const char* name;
        std::function<void()> between; // after the select-into, before the table is read
        bool rollbackJournal = false;
    };
    int next = 6;
    const std::vector<Case> cases = {
        {"read at once", [] {}},
        {"after the memo answered a branch",
         [&] {
             auto first = m_conn->execute(firstGrade());
             ASSERT_FALSE(first->eof());
             EXPECT_FALSE(column(nextGrade(QStringLiteral("1002"), 1), QStringLiteral("ccode")).isEmpty());
         }},
        {"another connection's commits",
         [&] {
             add(QStringLiteral("10030%1").arg(next++), 2, &other);
             other.command(QStringLiteral("update code set ccode_name=? where ccode=? and iYear=2024"),
                           {SqlValue::ofText(QStringLiteral("改名")), SqlValue::ofText(QStringLiteral("100101"))});
         }},
        {"another connection's commit, then the memo",
         [&] {
             add(QStringLiteral("10030%1").arg(next++), 2, &other);
             auto first = m_conn->execute(firstGrade());
             EXPECT_FALSE(column(nextGrade(QStringLiteral("1003"), 1), QStringLiteral("ccode")).isEmpty());
         }},
        {"a write through the connection",
         [&] { m_conn->execute(QStringLiteral("delete from code where ccode=N'100102' and iYear=2024")); }},
        {"outside WAL mode, another connection's commit",
         [&] { add(QStringLiteral("10030%1").arg(next++), 2, &other); },
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Leaving WAL mode needs the file to itself.
        const auto journal = [&](const char* mode) {
            other.close();
            m_conn->native(QStringLiteral("PRAGMA journal_mode=") + QLatin1String(mode));
            other.open();
        };
        if (sqlite && c.rollbackJournal) journal("DELETE");
        setMemo(false);
        fill(condition);
        const QStringList expected = rows(everything);
        m_conn->tryExecute(QStringLiteral("drop table ") + kTable);
        setMemo(true);
        const PipelineCounters before = m_conn->counters();
        fill(condition);
        c.between();
        EXPECT_EQ(rows(everything), expected);
        // Only SQLite makes the table late, and only where a held read blocks no one.
        EXPECT_EQ(m_conn->counters().deferredFills - before.deferredFills, sqlite && !c.rollbackJournal ? 1 : 0);
        m_conn->tryExecute(QStringLiteral("drop table ") + kTable);
        fill(condition);
        const QStringList now = rows(everything);
        m_conn->tryExecute(QStringLiteral("drop table ") + kTable);
        setMemo(false);
        fill(condition);
        EXPECT_EQ(now, rows(everything)) << "the next table sees every commit";
        m_conn->tryExecute(QStringLiteral("drop table ") + kTable);
        if (sqlite && c.rollbackJournal) journal("WAL");
    }
    // A build whose memo answers every join (no code there is a LIKE pattern) never fills its table.
    setMemo(true);
    const PipelineCounters before = m_conn->counters();
    fill(QStringLiteral("ccode like N'101%'"));
    EXPECT_EQ(load().size(), 10 * 31 * 2); // 10 branches of 31 accounts, a line each and one per statement
    EXPECT_EQ(m_conn->counters().lateFills, before.lateFills);
    EXPECT_GT(m_conn->counters().memoHits - before.memoHits, 100);
    other.close();
}

// Texts one after another that share most of their text with the one before: each gives its own
// rows, whether it has the last text's shape or only looks like it.
TEST_P(JoinMemoTest, TextsAfterALikeTextGiveTheirOwnRows) {
    const std::vector<QString> texts = {
        "select ccode from code where ccode like N'1001%' and iYear=2024 order by ccode",
        "select ccode from code where ccode like N'1002%' and iYear=2024 order by ccode",
        "select ccode from code where ccode like N'%01' and iYear=2024 order by ccode",
        "select ccode from code where ccode like N'1002%' or iYear=2024 order by ccode",
        "select ccode from code where ccode like '1003%' and iYear=2024 order by ccode",
        "select ccode from code where ccode like N'it''s%' and iYear=2024 order by ccode",
        "select ccode from code where ccode like N'1004%' and iYear=2024.5 order by ccode",
        "select ccode from code where ccode like N'1004%' and iYear=2024 order by 1",
        "select top 3 ccode from code where ccode like N'1005%' and iYear=2024 order by ccode",
        "select top 2 ccode from code where ccode like N'1005%' and iYear=2024 order by ccode",
        "select ccode from code where ccode like N'1006%' and iYear=2024 order by ccode",
    };
    std::vector<QStringList> plain;
    setMemo(false);
    PipelineOptions off;
    off.cacheStatements = off.likeRanges = off.indexTempTables = off.memoJoins = false;
    m_conn->setOptions(off);
    for (const QString& t : texts)
        plain.push_back(column(t, QStringLiteral("ccode")));
    setMemo(true);
    for (int round = 0; round < 2; ++round)
        for (size_t i = 0; i < texts.size(); ++i)
            EXPECT_EQ(column(texts[i], QStringLiteral("ccode")), plain[i]) << texts[i].toStdString();
}

// Values keep their kinds from the memo: a missing name stays null, an empty one stays empty
// text, the grade stays a number.
TEST_P(JoinMemoTest, ValuesKeepTheirKinds) {
    m_conn->native(QStringLiteral("update code set ccode_engl = null where ccode like '1003%'"));
    m_conn->native(QStringLiteral("update code set ccode_name = '' where ccode like '1004%'"));
    auto kinds = [this] {
        QStringList out;
        fill(QStringLiteral("ccode like N'10%'"));
        std::function<void(const QString&, int)> walk = [&](const QString& code, int grade) {
            auto rs = m_conn->execute(code.isEmpty() ? firstGrade() : nextGrade(code, grade));
            while (!rs->eof()) {
                QStringList cells;
                for (int i = 0; i < rs->fieldCount(); ++i) {
                    const Variant v = rs->fieldAt(i);
                    cells << (v.isNull() ? QStringLiteral("null")
                              : v.type() == Variant::Type::String
                                  ? QStringLiteral("text:") + v.toString()
                                  : QStringLiteral("number:") + v.toDisplayText());
                    // The readers' shortcut to a whole number agrees with the value.
                    qint64 whole = 0;
                    if (rs->wholeNumberAt(i, &whole))
                        cells.back() += QStringLiteral("/whole:") + QString::number(whole);
                }
                out << cells.join(QLatin1Char('|'));
                walk(rs->fieldAt(2).toString(), rs->fieldAt(5).toLong());
                rs->moveNext();
            }
        };
        walk(QString(), 0);
        m_conn->tryExecute(QStringLiteral("drop table ") + kTable);
        return out;
    };
    setMemo(false);
    const QStringList expected = kinds();
    setMemo(true);
    const qint64 hitsBefore = m_conn->counters().memoHits;
    EXPECT_EQ(kinds(), expected);
    EXPECT_GT(m_conn->counters().memoHits - hitsBefore, 100);
    EXPECT_TRUE(expected.join(QLatin1Char('\n')).contains(QStringLiteral("|null|")));
    EXPECT_TRUE(expected.join(QLatin1Char('\n')).contains(QStringLiteral("|text:|")));
    EXPECT_TRUE(expected.join(QLatin1Char('\n')).contains(QStringLiteral("/whole:")));
}

// Rows from the memo behave as the engine's: an empty answer is at BOF and EOF at once, fields
// read by name, and closing the connection closes them.
TEST_P(JoinMemoTest, RowsFromTheMemoBehaveAsTheEnginesRows) {
    setMemo(true);
    fill({});
    auto first = m_conn->execute(firstGrade());
    auto children = m_conn->execute(nextGrade(QStringLiteral("1002"), 1));
    auto leaf = m_conn->execute(nextGrade(QStringLiteral("10020101"), 3));
    EXPECT_EQ(m_conn->counters().memoHits, 3);
    EXPECT_TRUE(leaf->bof() && leaf->eof());
    EXPECT_FALSE(children->bof() || children->eof());
    EXPECT_EQ(children->field(QStringLiteral("CCODE")).toDisplayText(), QStringLiteral("100201"));
    EXPECT_EQ(children->field(QStringLiteral("igrade")).toLong(), 2);
    children->moveFirst();
    EXPECT_EQ(children->field(QStringLiteral("ccode")).toDisplayText(), QStringLiteral("100201"));
    m_conn->close();
    for (auto* rs : {first.get(), children.get(), leaf.get()}) {
        try {
            (void)rs->eof();
            ADD_FAILURE() << "still open after the connection closed";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number(), static_cast<int>(ErrorCode::ObjectClosed));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, JoinMemoTest, ::testing::ValuesIn(memoEngines()), sarvo::testing::slotName);

} // namespace

} // namespace sarvo::db::test
