// The dialog on account sets that are not private and writable: a read-only file or folder, as a
// normal user opens it, and a write lock held by another program (a colleague posting) when the
// dialog opens, at the recently used button and while the user types, in both layouts. Waits are
// bounded generously; no speed is measured here.
#include "tests/support/DialogHarness.h"

#include "host/db/EngineError.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <sqlite3.h>
#include <unistd.h>

using namespace sarvo;

namespace {

// Far above the connection's one-second busy timeout, far below a frozen window's many seconds.
constexpr qint64 kBoundMs = 3000;

// Another program in the middle of a write on the account set: a handle of its own holding the
// write lock, a row written and not yet committed.
class ForeignWriter {
public:
    explicit ForeignWriter(const QString& path) {
        EXPECT_EQ(sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr),
                  SQLITE_OK);
        char* error = nullptr;
        EXPECT_EQ(sqlite3_exec(m_db, "BEGIN EXCLUSIVE; INSERT INTO host_setting VALUES ('posting', 'x')",
                               nullptr, nullptr, &error),
                  SQLITE_OK)
            << (error ? error : "");
        sqlite3_free(error);
    }
    ~ForeignWriter() {
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(m_db);
    }
    ForeignWriter(const ForeignWriter&) = delete;
    ForeignWriter& operator=(const ForeignWriter&) = delete;

private:
    sqlite3* m_db = nullptr;
};

// What a call raised, by failure kind ("" for nothing), and how long it took.
struct Outcome {
    QString kind;
    qint64 ms = 0;
};

template <class F> Outcome timed(F&& f) {
    QElapsedTimer timer;
    timer.start();
    Outcome o;
    try {
        f();
    } catch (const std::exception& e) {
        const auto kind = db::EngineError::kindOf(e);
        o.kind = kind ? db::failureKindName(*kind) : QStringLiteral("not a database failure: ") + e.what();
    }
    o.ms = timer.elapsed();
    return o;
}

const QString kInsert1001 = QStringLiteral("insert into GL_mcodeused values(N'demo',N'1001')");

class LockedAccountSetTest : public sarvo::testing::DialogHarness {};

TEST_F(LockedAccountSetTest, OpensAtOnceWithItsOptionRowAndFailsWithinTheBoundWithout) {
    struct Case {
        const char* name;
        bool optionRow;
        const char* kind;
    };
    for (const Case& c : {Case{"option row there: the test reads, nothing is written", true, ""},
                          Case{"option row missing: the insert finds the set busy", false, "busy"}}) {
        SCOPED_TRACE(c.name);
        host.exec("delete from AccInformation where cName='IntSarvoTree'");
        if (c.optionRow) storeTreeDisplay(false);
        {
            ForeignWriter colleague(host.databasePath());
            const Outcome o = timed([&] { open(); });
            EXPECT_EQ(o.kind, QString::fromLatin1(c.kind));
            EXPECT_LT(o.ms, kBoundMs);
            if (c.optionRow) {
                EXPECT_EQ(treeLines(), plainClasses(1, true));
            }
            EXPECT_TRUE(messages().isEmpty()) << messages().join('\n').toStdString();
        }
        form.reset();
    }
    // Once the colleague is done, the row the last load could not write is written.
    open();
    EXPECT_EQ(host.scalar("select cValue from AccInformation where cName='IntSarvoTree'"), "1");
}

TEST_F(LockedAccountSetTest, RecentlyUsedAddFailsQuietlyWithinTheBound) {
    struct Case {
        const char* name;
        bool openGroup;
        QStringList rowsBefore;
        QStringList groupChildren; // entries under "z" after the click
    };
    const std::vector<Case> cases = {
        {"group never opened", false, {}, {}},
        // The node is added before the insert, as the dialog's order has it; the row is not.
        {"group opened with an entry",
         true,
         {"demo:100201"},
         {"  y100201 100201 工商银行", "  y1001 1001 库存现金"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host.exec("delete from GL_mcodeused");
        addRecentRows(c.rowsBefore);
        open();
        if (c.openGroup) openNode("z");
        openNode("a1");
        clickNode("b1001");
        clearStatements();
        Outcome o;
        {
            ForeignWriter colleague(host.databasePath());
            o = timed([&] { click(cmdButton(1)); });
        }
        EXPECT_EQ(o.kind, "");
        EXPECT_LT(o.ms, kBoundMs);
        EXPECT_EQ(statements(), QStringList{kInsert1001});
        EXPECT_EQ(recentlyUsedRows(), c.rowsBefore);
        EXPECT_EQ(treeLines().filter(QRegularExpression("^  y")), c.groupChildren);
        EXPECT_TRUE(messages().isEmpty()) << messages().join('\n').toStdString();
        EXPECT_TRUE(form->isVisible());
    }
}

TEST_F(LockedAccountSetTest, TypingBuildsTheSameTreeWithoutWaitingInBothLayouts) {
    for (const bool hierarchy : {false, true}) {
        SCOPED_TRACE(hierarchy ? "hierarchy" : "flat list");
        storeTreeDisplay(hierarchy);
        open();
        typeFilter("1002");
        const QStringList unlocked = treeLines();
        const QStringList sent = statements();
        ASSERT_TRUE(unlocked.join('\n').contains("b100201 100201 工商银行"))
            << unlocked.join('\n').toStdString();
        clearFilter();
        clearStatements();
        Outcome o;
        QStringList locked;
        {
            ForeignWriter colleague(host.databasePath());
            o = timed([&] { typeFilter("1002"); });
            locked = treeLines();
        }
        EXPECT_EQ(o.kind, "");
        EXPECT_LT(o.ms, kBoundMs);
        EXPECT_EQ(locked, unlocked);
        EXPECT_EQ(statements(), sent);
        EXPECT_TRUE(messages().isEmpty()) << messages().join('\n').toStdString();
        form.reset();
    }
}

// Where the account set cannot be written: its file (mode 444) or its whole folder (mode 555).
// The operating system enforces that only for a normal user, so a test running as root runs
// itself again as one.
class ReadOnlyAccountSetTest : public sarvo::testing::DialogHarness,
                               public ::testing::WithParamInterface<bool> {
protected:
    bool folder() const { return GetParam(); }

    void runAsNormalUser() {
        const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        if (setpriv.isEmpty())
            GTEST_SKIP() << "running as root: needs setpriv (util-linux) to test as a normal user";
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        const QString self = QStringLiteral("%1.%2").arg(info->test_suite_name(), info->name());
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TMPDIR"), QStringLiteral("/tmp"));
        env.insert(QStringLiteral("HOME"), QStringLiteral("/tmp"));
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(setpriv, {"--reuid=65534", "--regid=65534", "--clear-groups", "--",
                              QCoreApplication::applicationFilePath(), "--gtest_filter=" + self});
        ASSERT_TRUE(child.waitForFinished(120000));
        const QString output = QString::fromUtf8(child.readAll());
        EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
        EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
    }

    // Write access taken away, given back when the test ends so the folder can be removed.
    struct Permissions {
        QString path;
        QFileDevice::Permissions before;
        Permissions(const QString& p, QFileDevice::Permissions now) : path(p), before(QFile::permissions(p)) {
            EXPECT_TRUE(QFile::setPermissions(path, now)) << path.toStdString();
        }
        ~Permissions() { QFile::setPermissions(path, before); }
    };
};

TEST_P(ReadOnlyAccountSetTest, OpensFiltersAndConfirmsWhileWritesFailAtOnce) {
    if (::geteuid() == 0) {
        runAsNormalUser();
        return;
    }
    storeTreeDisplay(true);
    addRecentRows({"demo:1001"});
    open();
    typeFilter("1002");
    const QStringList writable = treeLines();
    form.reset();

    // Nobody has the file open any more: no shared-memory file is left beside it.
    host.newRequestObjects();
    beginRequest();
    basSarvo::GetConnection(); // the shared state lets go of the last request's connection
    host.closeConnections();
    ASSERT_FALSE(QFile::exists(host.databasePath() + "-shm"));
    using P = QFileDevice::Permission;
    const QString target = folder() ? host.folder() : host.databasePath();
    const Permissions readOnly(target, folder() ? P::ReadOwner | P::ExeOwner | P::ReadGroup | P::ExeGroup |
                                                      P::ReadOther | P::ExeOther
                                                : P::ReadOwner | P::ReadGroup | P::ReadOther);
    host.newRequestObjects();
    beginRequest();

    open();
    EXPECT_TRUE(connection()->isReadOnly());
    typeFilter("1002");
    EXPECT_EQ(treeLines(), writable);
    EXPECT_EQ(selectedKey(), "b10020101");

    // The recently used add: the insert fails, quietly.
    clearStatements();
    click(cmdButton(1));
    EXPECT_EQ(statements(), QStringList{"insert into GL_mcodeused values(N'demo',N'10020101')"});
    EXPECT_EQ(recentlyUsedRows(), QStringList{"demo:1001"});

    // Any write fails at once, and says why.
    const Outcome write = timed([&] { connection()->execute(kInsert1001); });
    EXPECT_EQ(write.kind, "read-only");
    EXPECT_LT(write.ms, kBoundMs);

    // Removing an entry of the list is a write the user asked for: one message says why it failed,
    // in the user's words first; the entry stays.
    clearFilter();
    openNode("z");
    clickNode("y1001");
    click(cmdButton(1));
    ASSERT_EQ(messages().size(), 1) << messages().join('\n').toStdString();
    EXPECT_TRUE(messages().front().startsWith("16|科目参照|账套为只读，无法保存这项更改。\n\n"))
        << messages().front().toStdString();
    EXPECT_EQ(recentlyUsedRows(), QStringList{"demo:1001"});
    EXPECT_EQ(treeLines().filter(QRegularExpression("^  y1001 ")).size(), 1)
        << treeLines().join('\n').toStdString();

    typeFilter("1002");
    click(cmdButton(0));
    EXPECT_TRUE(confirmed());
    EXPECT_EQ(attrib()->getAt(3).toDisplayText(), "10020101");
    EXPECT_EQ(attrib()->getAt(5).toDisplayText(), "RMB account");
    EXPECT_EQ(messages().size(), 1) << messages().join('\n').toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form->isVisible(); })) << "the close timer ends the dialog";
}

INSTANTIATE_TEST_SUITE_P(Where, ReadOnlyAccountSetTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "folder" : "file");
                         });

} // namespace
