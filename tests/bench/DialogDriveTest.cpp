// The benchmark's hands on the real component: requests in the host's calling order, the open
// dialog worked through key presses and clicks, trees read from its model and compared with the
// floor on a real account set, and the engine switches seen in the engine's own counters.
#include "bench/AccountRows.h"
#include "bench/CaseRunner.h"
#include "bench/EngineSwitches.h"
#include "bench/FilterFloor.h"
#include "bench/HostDriver.h"
#include "bench/StatementStop.h"
#include "bench/TreeCheck.h"
#include "data/AccountSetTemplate.h"
#include "host/db/Connection.h"
#include "host/db/Recordset.h"
#include "host/services/MessageService.h"
#include "runtime/RuntimeError.h"
#include "tests/support/QtPrinters.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace sarvo::bench;

namespace {

class DialogDrive : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dir = new QTemporaryDir;
        s_path = s_dir->filePath("standard.db");
        sarvo::data::createAccountSet(s_path, "standard");
    }
    static void TearDownTestSuite() {
        delete s_dir;
        s_dir = nullptr;
    }
    static QTemporaryDir* s_dir;
    static QString s_path;
};

QTemporaryDir* DialogDrive::s_dir = nullptr;
QString DialogDrive::s_path;

TEST_F(DialogDrive, KeyPressesBuildTheTreesTheFloorExpects) {
    const AccountRows rows = AccountRows::load(s_path, 2024);
    ASSERT_EQ(rows.size(), 331);
    const FilterFloor floor(rows);
    HostDriver host(s_path, 2024);
    struct Case {
        bool hierarchy;
        bool contains;
        const char* text;
        int accounts; // sanity: not an empty comparison
    };
    const Case cases[] = {
        {false, false, "1002", 9}, {true, false, "1002", 9},     {false, true, "01", 0},
        {true, true, "01", 0},     {false, false, "yh", 0},      {true, true, "银行", 0},
        {false, false, "6601", 0}, {true, false, "22210101", 1},
    };
    host.request(QString(), [&](DialogSession& s) {
        for (const Case& c : cases) {
            const QString text = QString::fromUtf8(c.text);
            s.setHierarchy(c.hierarchy);
            s.setContains(c.contains);
            s.setText(text.chopped(1));
            s.settle();
            s.type(text.back());
            s.settle();
            EXPECT_EQ(s.text(), text);
            EXPECT_TRUE(s.filterCondition().contains(text.toUpper())) << s.filterCondition().toStdString();
            const auto expected = floor.tree(FilterQuery::quick(text, c.contains), c.hierarchy);
            EXPECT_FALSE(expected.empty()) << c.text;
            if (c.accounts) {
                EXPECT_EQ(floor.matching(FilterQuery::quick(text, c.contains)).size(), size_t(c.accounts));
            }
            EXPECT_EQ(TreeCheck::compare(s.accountLines(), expected), "same")
                << c.text << (c.hierarchy ? " hierarchy" : " flat") << (c.contains ? " contains" : " begins");
            // The group node, the six classes and the accounts.
            EXPECT_EQ(s.nodeCount(), 7 + static_cast<int>(expected.size()));
        }
        s.backspace();
        s.settle();
        EXPECT_EQ(s.text(), "2221010");

        s.setText(QString());
        s.selectNotClosedOnly();
        s.pressAttributeFilter();
        s.settle();
        EXPECT_EQ(s.filterCondition(), " bclose=0");
        EXPECT_EQ(TreeCheck::compare(s.accountLines(), floor.tree(FilterQuery::notClosed(), true)), "same");
    });
    EXPECT_TRUE(host.takeMessages().isEmpty());
}

TEST_F(DialogDrive, ClicksLoadTheLevelBelowOnTheUnfilteredTree) {
    HostDriver host(s_path, 2024);
    host.request(QString(), [&](DialogSession& s) {
        EXPECT_EQ(s.nodeCount(), 7);
        EXPECT_FALSE(s.hasNode("b1002"));
        s.clickNode("a1");
        s.settle();
        EXPECT_TRUE(s.hasNode("b1002"));
        s.expandNode("a1");
        s.clickNode("b1002");
        s.settle();
        QStringList children;
        for (const TreeLine& l : s.childLines("b1002"))
            children << l.key;
        EXPECT_EQ(children.first(), "c100201");
        try {
            s.clickNode("b9999");
            ADD_FAILURE() << "a missing node was clicked";
        } catch (const sarvo::RuntimeError& e) {
            EXPECT_EQ(e.number(), 35601);
        }
    });
}

TEST_F(DialogDrive, OpensAreTimedAndAFailingBodyStillClosesTheDialog) {
    HostDriver host(s_path, 2024);
    const EngineCounters before = EngineSwitches::counters(host.connection());
    const OpenResult empty = host.request(QString());
    EXPECT_TRUE(empty.result);
    EXPECT_EQ(empty.nodes, 7);
    EXPECT_GT(empty.open.wallMs, 0);
    EXPECT_GE(empty.counters.statements, 2); // the option row and the top level at least
    EXPECT_GE((EngineSwitches::counters(host.connection()) - before).statements, empty.counters.statements);

    const OpenResult filtered = host.request("1002", [](DialogSession& s) { EXPECT_EQ(s.text(), "1002"); });
    EXPECT_GT(filtered.nodes, 7);

    EXPECT_THROW(host.request(QString(), [](DialogSession& s) { s.clickNode("nowhere"); }),
                 sarvo::RuntimeError);
    // The dialog was closed: the next request opens a new one.
    EXPECT_TRUE(host.request(QString()).result);
}

TEST_F(DialogDrive, PlainRenderingCompilesEveryStatementAndTheCountersSeeIt) {
    sarvo::db::Connection c(QStringLiteral("sqlite:") + s_path);
    c.open();
    const QString query =
        QStringLiteral("select * from code where  iYear=2024 and ( ccode like N'1002%') order by ccode ");
    for (const bool plain : {false, true}) {
        EngineSwitches::setPlain(c, plain);
        EXPECT_EQ(EngineSwitches::isPlain(c), plain);
        const EngineCounters before = EngineSwitches::counters(c);
        for (int i = 0; i < 3; ++i) {
            auto rs = c.execute(query);
            while (!rs->eof())
                rs->moveNext();
            rs->close();
        }
        const EngineCounters used = EngineSwitches::counters(c) - before;
        EXPECT_EQ(used.statements, 3);
        EXPECT_EQ(used.rows, 27);
        if (plain)
            EXPECT_EQ(used.prepares, 3);
        else
            EXPECT_LE(used.prepares, 1);
    }
}

TEST_F(DialogDrive, AStatementStopEndsAChangeAtItsLimit) {
    sarvo::db::Connection c(QStringLiteral("sqlite:") + s_path);
    c.open();
    const QString query = QStringLiteral("select * from code where iYear=2024");
    {
        StatementStop generous(c, 60000);
        c.execute(query)->close();
        c.execute(query)->close();
        EXPECT_FALSE(generous.fired());
        EXPECT_EQ(generous.statements(), 2);
    }
    {
        StatementStop spent(c, 0);
        const qint64 before = EngineSwitches::counters(c).statements;
        try {
            c.execute(query);
            ADD_FAILURE() << "the statement ran after the limit";
        } catch (const sarvo::RuntimeError& e) {
            EXPECT_EQ(e.number(), StatementStop::kErrorNumber);
            EXPECT_TRUE(StatementStop::isStopMessage(e.description()));
        }
        EXPECT_TRUE(spent.fired());
        EXPECT_EQ(EngineSwitches::counters(c).statements, before); // it never reached the engine
    }
    // Disarmed with its end.
    EXPECT_NO_THROW(c.execute(query)->close());
}

TEST_F(DialogDrive, APlainChangeStoppedAtTheLimitIsReportedAsStoppedNotAsAProblem) {
    HostDriver host(s_path, 2024);
    BenchOptions options = BenchOptions::parse({"--quick", "--plain-stop", "0"});
    host.request(QString(), [&](DialogSession& s) {
        CaseRunner runner(s, host.connection(), options);
        s.setHierarchy(true);
        CaseSteps steps;
        steps.prepare = [&] { s.setText(QString()); };
        steps.act = [&] { s.type(u'1'); };
        const TimedRuns plain = runner.run(steps, true);
        EXPECT_TRUE(plain.stopped);
        EXPECT_EQ(plain.time.count, 0);
        EXPECT_GE(plain.stoppedStatements, 0);
        // The engine is back on its defaults, and the next change runs to its end.
        EXPECT_FALSE(EngineSwitches::isPlain(host.connection()));
        const TimedRuns fast = runner.run(steps, false);
        EXPECT_FALSE(fast.stopped);
        EXPECT_EQ(fast.time.count, options.reps);
        EXPECT_GT(fast.counters.statements, 100);
    });
    // The dialog did report the stopped change; the host's problem list leaves it out.
    bool reported = false;
    for (const auto& m : sarvo::host::MessageService::shown())
        reported = reported || StatementStop::isStopMessage(m.prompt);
    EXPECT_TRUE(reported);
    EXPECT_TRUE(host.takeMessages().isEmpty());
}

TEST_F(DialogDrive, RepetitionsStopAtTheCapOnceTheMinimumHasRun) {
    HostDriver host(s_path, 2024);
    struct Case {
        QStringList arguments;
        int reps;
        bool capped;
    };
    const Case cases[] = {
        {{"--reps", "4", "--cap", "0"}, 4, false}, // the minimum is the count itself
        {{"--reps", "9", "--cap", "0"}, 5, true},  // five at least, then the cap
        {{"--reps", "3", "--cap", "60"}, 3, false},
    };
    host.request(QString(), [&](DialogSession& s) {
        s.setHierarchy(false);
        s.setContains(false);
        for (const Case& c : cases) {
            const BenchOptions options = BenchOptions::parse(c.arguments);
            CaseRunner runner(s, host.connection(), options);
            int prepared = 0;
            CaseSteps steps;
            steps.prepare = [&] {
                ++prepared;
                s.setText("100");
            };
            steps.act = [&] { s.type(u'2'); };
            const TimedRuns runs = runner.run(steps, false);
            EXPECT_EQ(runs.time.count, c.reps) << c.arguments.join(' ').toStdString();
            EXPECT_EQ(prepared, c.reps) << c.arguments.join(' ').toStdString();
            EXPECT_EQ(runs.capped, c.capped) << c.arguments.join(' ').toStdString();
            EXPECT_EQ(runs.counters.statements, 1); // the flat layout's one query
            EXPECT_EQ(runs.nodes, 7 + 9);           // group, classes, the nine accounts of 1002
        }
    });
}

} // namespace
