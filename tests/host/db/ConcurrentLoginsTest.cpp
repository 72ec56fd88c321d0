// Two logins building the hierarchy at once on one account set, over every engine: each has its
// own connection and its own temporary table, even under the same name (the same login id and
// login stamp), so statements interleaved one by one give each login the tree it gets alone.
#include "DbFixture.h"

#include <deque>

namespace sarvo::db::test {

namespace {

// The hierarchy layout's statements as the tree sends them, one at a time: drop and fill the
// login's temporary table, the first grade, then one statement per node, breadth first.
class HierarchyBuild {
public:
    HierarchyBuild(Connection& connection, QString table, QString filter)
        : m_c(connection), m_table(std::move(table)), m_filter(std::move(filter)) {}

    // Runs the next statement; false once the tree is complete.
    bool step() {
        if (m_stage == 0) {
            m_c.tryExecute(QStringLiteral("drop table ") + m_table);
        } else if (m_stage == 1) {
            m_c.setCursorLocation(Connection::UseClient);
            m_c.execute(QStringLiteral("select  * into ") + m_table +
                        QStringLiteral("  from code  where  iYear=2024 and (") + m_filter +
                        QStringLiteral(") order by ccode "));
        } else if (m_stage == 2) {
            read(join() + QStringLiteral("code.igrade=1 and code.iYear=2024 order by code.ccode "), 0);
        } else if (!m_pending.empty()) {
            const auto [code, grade, depth] = m_pending.front();
            m_pending.pop_front();
            read(join() +
                     QStringLiteral("code.ccode like '%1%' and code.igrade=%2 and code.iYear=2024 order by "
                                    "code.ccode ")
                         .arg(code)
                         .arg(grade + 1),
                 depth + 1);
        } else {
            return false;
        }
        ++m_stage;
        return true;
    }
    void finish() {
        while (step()) {
        }
    }
    void drop() { m_c.execute(QStringLiteral("drop table ") + m_table); }
    const QStringList& lines() const { return m_lines; }

private:
    struct Node {
        QString code;
        int grade;
        int depth;
    };
    QString join() const {
        return QStringLiteral(
                   "select distinct "
                   "code.cclass,code.cClass,code.ccode,code.cCode_name,code.ccode_engl,code.igrade  from ") +
               m_table + QStringLiteral(" inner join code on ") + m_table +
               QStringLiteral(".ccode like code.ccode+'%' where ");
    }
    void read(const QString& statement, int depth) {
        for (auto rs = m_c.execute(statement); !rs->eof(); rs->moveNext()) {
            const QString code = rs->field(QStringLiteral("ccode")).toString();
            m_lines << QString(depth * 2, QLatin1Char(' ')) + code + QLatin1Char(' ') +
                           rs->field(QStringLiteral("ccode_name")).toString();
            m_pending.push_back({code, rs->field(QStringLiteral("igrade")).toLong(), depth});
        }
    }

    Connection& m_c;
    QString m_table, m_filter;
    int m_stage = 0;
    std::deque<Node> m_pending;
    QStringList m_lines;
};

class ConcurrentLoginsTest : public ::testing::Test,
                             public ::testing::WithParamInterface<const sarvo::testing::EngineSlot*> {
protected:
    void SetUp() override {
        SARVO_REQUIRE_ENGINE(*GetParam());
        ASSERT_TRUE(m_dir.isValid());
        m_connectionString = sarvo::testing::newAccountSet(*GetParam(), m_dir.path(), QStringLiteral("set"),
                                                           QStringLiteral("standard"));
    }
    std::unique_ptr<Connection> login() const {
        auto c = std::make_unique<Connection>(m_connectionString);
        c->open();
        return c;
    }

    QTemporaryDir m_dir;
    QString m_connectionString;
};

QString typed(const QString& text) {
    return QStringLiteral(
               " bclose=0 and  ( ccode like N'%1%' or  ccode_name like N'%1%' or ccode_engl like N'%1%' "
               "or  chelp like N'%1%' )")
        .arg(text);
}

TEST_P(ConcurrentLoginsTest, TwoLoginsBuildTheirOwnTreesAtOnceUnderTheSameTableName) {
    const QString table = QStringLiteral("tempdb..[demo45291.3958333333]"); // one login id and stamp
    struct Case {
        const char* name;
        QString first, second; // what each login typed
    };
    const std::vector<Case> cases = {
        {"different searches", typed(QStringLiteral("1002")), typed(QStringLiteral("应收"))},
        {"the same search", typed(QStringLiteral("10")), typed(QStringLiteral("10"))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Each tree as its login gets it with nobody else at work.
        auto alone = login();
        HierarchyBuild soloA(*alone, table, c.first), soloB(*alone, table, c.second);
        soloA.finish();
        soloB.finish();
        ASSERT_FALSE(soloA.lines().isEmpty());
        ASSERT_FALSE(soloB.lines().isEmpty());
        alone.reset();

        // Both at once, one statement each in turn.
        auto a = login(), b = login();
        HierarchyBuild buildA(*a, table, c.first), buildB(*b, table, c.second);
        bool moreA = true, moreB = true;
        while (moreA || moreB) {
            if (moreA) moreA = buildA.step();
            if (moreB) moreB = buildB.step();
        }
        EXPECT_EQ(buildA.lines(), soloA.lines());
        EXPECT_EQ(buildB.lines(), soloB.lines());

        // One login done: its table goes, the other's stays and answers.
        buildA.drop();
        const auto count = [&](const QString& sql) {
            return b->execute(sql)->field(QStringLiteral("n")).toLong();
        };
        EXPECT_EQ(count(QStringLiteral("select count(*) as n from ") + table),
                  count(QStringLiteral("select count(*) as n from code where  iYear=2024 and (") + c.second +
                        QStringLiteral(")")));
        buildB.drop();
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, ConcurrentLoginsTest,
                         ::testing::ValuesIn(sarvo::testing::engineSlotPointers()), sarvo::testing::slotName);

} // namespace

} // namespace sarvo::db::test
