// Why a statement or an open failed, as callers read it from the error: one case per failure kind
// on the embedded engine, with the number the component branches on and SQLite's own code kept.
// Another program's lock is a real one on a handle of its own; waits are bounded, not timed.
#include "DbFixture.h"

#include "host/db/EngineError.h"
#include "host/db/SqliteBackend.h"

#include <QElapsedTimer>
#include <QFile>
#include <functional>
#include <gmock/gmock.h>
#include <sqlite3.h>

namespace sarvo::db::test {

namespace {

class FailureKindTest : public DbFixture {
protected:
    void SetUp() override {
        DbFixture::SetUp();
        seedAccounts();
    }
    QString path() const { return m_connectionString.mid(7); }
    // A connection that may only read, by SQLite's read-only open.
    std::shared_ptr<Connection> readOnly() const {
        auto c = std::make_shared<Connection>(QStringLiteral("sqlite:file:%1?mode=ro").arg(path()));
        c->open();
        return c;
    }
};

struct Observed {
    QString kind; // failureKindName, or "none" when nothing was raised
    int number = 0;
    int primaryCode = 0; // the engine's code without its extension
    qint64 ms = 0;
};

Observed observe(const std::function<void()>& f) {
    Observed o{QStringLiteral("none")};
    QElapsedTimer timer;
    timer.start();
    try {
        f();
    } catch (const RuntimeError& e) {
        const auto kind = EngineError::kindOf(e);
        o.kind = kind ? failureKindName(*kind) : QStringLiteral("unclassified");
        o.number = e.number();
        if (const auto* engine = dynamic_cast<const EngineError*>(&e))
            o.primaryCode = engine->nativeCode() & 0xff;
    }
    o.ms = timer.elapsed();
    return o;
}

constexpr int kDatabaseError = static_cast<int>(ErrorCode::DatabaseError);

TEST_F(FailureKindTest, EachFailureSaysWhatKindItIs) {
    const QString folder = m_dir.path();
    struct Case {
        const char* name;
        std::function<void()> act;
        const char* kind;
        int number;
        int primaryCode;
    };
    const std::vector<Case> cases = {
        {"reading a field past the last row",
         [&] { m_conn->execute("select * from code where iYear=1999")->field("ccode"); }, "no-row", 3021, 0},
        {"a statement the layer cannot parse", [&] { m_conn->execute("select from where"); }, "syntax",
         kDatabaseError, 0},
        {"a column the engine does not know", [&] { m_conn->execute("select nosuch from code"); }, "syntax",
         kDatabaseError, SQLITE_ERROR},
        {"a key already there", [&] { m_conn->execute("insert into GL_mcodeused values(N'demo',N'1001')"); },
         "constraint", kDatabaseError, SQLITE_CONSTRAINT},
        {"a write on a read-only connection",
         [&] { readOnly()->execute("delete from GL_mcodeused where cuser =N'demo' and ccode = N'1001'"); },
         "read-only", kDatabaseError, SQLITE_READONLY},
        {"the conditional insert with its row there, read-only",
         [&] {
             m_conn->native("insert into AccInformation (cSysID, cName) values ('GL', 'IntSarvoTree')");
             readOnly()->execute("if not exists (select cSysID FROM AccInformation where cSysID ='GL' AND "
                                 "cName = 'IntSarvoTree') Begin Insert into AccInformation(csysid,cname) "
                                 "values(N'GL',N'IntSarvoTree') End");
         },
         "none", 0, 0},
        {"the conditional insert without its row, read-only",
         [&] {
             readOnly()->execute("if not exists (select cSysID FROM AccInformation where cSysID ='GL' AND "
                                 "cName = 'Other') Begin Insert into AccInformation(csysid,cname) "
                                 "values(N'GL',N'Other') End");
         },
         "read-only", kDatabaseError, SQLITE_READONLY},
        {"the database at its size limit",
         [&] {
             const QString pages = m_conn->native("PRAGMA page_count")->fieldAt(0).toDisplayText();
             m_conn->native("PRAGMA max_page_count = " + pages);
             m_conn->native("BEGIN");
             try {
                 for (int i = 0; i < 2000; ++i)
                     m_conn->command("insert into GL_mcodeused values (?, 'x')", {SqlValue::ofInteger(i)});
             } catch (...) {
                 if (m_conn->inTransaction()) m_conn->native("ROLLBACK");
                 throw;
             }
         },
         "disk-full", kDatabaseError, SQLITE_FULL},
        {"a missing file", [&] { Connection(folder + "/missing.db").open(); }, "cannot-open", kDatabaseError,
         SQLITE_CANTOPEN},
        {"a folder", [&] { Connection(folder).open(); }, "cannot-open", kDatabaseError, SQLITE_CANTOPEN},
        {"a file that is not a database",
         [&] {
             QFile f(folder + "/notes.db");
             f.open(QIODevice::WriteOnly);
             f.write(QByteArray(4096, 'x'));
             f.close();
             Connection(f.fileName()).open();
         },
         "cannot-open", kDatabaseError, SQLITE_NOTADB},
        {"an empty connection string", [&] { Connection(" ").open(); }, "cannot-open", kDatabaseError, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Observed o = observe(c.act);
        EXPECT_EQ(o.kind, QString::fromLatin1(c.kind));
        EXPECT_EQ(o.number, c.number);
        EXPECT_EQ(o.primaryCode, c.primaryCode);
    }
}

// Another program holding the write lock: a write gives up within the bound and says busy; reads
// and a conditional insert whose row is there go on as if nothing were held.
TEST_F(FailureKindTest, AnotherProgramsLockMakesWritesBusyAndLeavesReadsAlone) {
    m_conn->native("PRAGMA journal_mode = WAL");
    m_conn->native("insert into AccInformation (cSysID, cName) values ('GL', 'IntSarvoTree')");
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(path().toUtf8().constData(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE; DELETE FROM GL_mcodeused", nullptr, nullptr, nullptr),
              SQLITE_OK);
    const Observed write =
        observe([&] { m_conn->execute("insert into GL_mcodeused values(N'demo',N'1002')"); });
    const Observed read =
        observe([&] { EXPECT_EQ(rows("select ccode from GL_mcodeused where cuser=N'demo'").size(), 2); });
    const Observed option = observe([&] {
        m_conn->execute("if not exists (select cSysID FROM AccInformation where cSysID ='GL' AND cName = "
                        "'IntSarvoTree') Begin Insert into AccInformation(csysid,cname) "
                        "values(N'GL',N'IntSarvoTree') End");
    });
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_EQ(write.kind, "busy");
    EXPECT_EQ(write.primaryCode, SQLITE_BUSY);
    EXPECT_GE(write.ms, SqliteBackend::kBusyTimeoutMs / 2) << "waits for the lock a while";
    EXPECT_LT(write.ms, 3000);
    EXPECT_EQ(read.kind, "none");
    EXPECT_EQ(option.kind, "none");
    EXPECT_LT(option.ms, 3000);
}

} // namespace

// A host whose request ended without a word reads why from the connection: the failure of the
// component's last statement, gone once a statement succeeds; its own queries leave it alone.
TEST_F(FailureKindTest, TheLastStatementsFailureStaysOnTheConnectionUntilOneSucceeds) {
    EXPECT_FALSE(m_conn->lastFailure());
    EXPECT_THROW(m_conn->execute("insert into GL_mcodeused values(N'demo',N'1001')"), RuntimeError);
    ASSERT_TRUE(m_conn->lastFailure());
    EXPECT_EQ(m_conn->lastFailure()->kind(), FailureKind::Constraint);
    EXPECT_THAT(m_conn->lastFailure()->description().toStdString(), ::testing::HasSubstr("GL_mcodeused"));

    m_conn->query("select ccode from code where iYear = ?", {SqlValue::ofInteger(2024)});
    EXPECT_TRUE(m_conn->lastFailure());
    m_conn->execute("select * from code where iYear=2024");
    EXPECT_FALSE(m_conn->lastFailure());
}

} // namespace sarvo::db::test
