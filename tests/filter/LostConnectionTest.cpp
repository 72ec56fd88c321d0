// The server drops the dialog's connection while the user works (a restart, an administrator
// ending the session): the action under way says so once, and the next action connects again and
// shows what it would have shown, in both layouts. Only a server has a connection to lose.
#include "tests/support/DialogHarness.h"

#include "host/db/Recordset.h"

using namespace sarvo;

namespace {

class LostConnectionTest : public sarvo::testing::EngineDialogHarness {
protected:
    void SetUp() override {
        SARVO_REQUIRE_ENGINE(engine());
        if (engine().dialect != QLatin1String("postgresql"))
            GTEST_SKIP() << "an account set in a file has no server connection to lose";
        EngineDialogHarness::SetUp();
    }
    // Ends the dialog's session on the server from another session, as an administrator would.
    void dropTheDialogsSession() const {
        const QString pid =
            connection()->native(QStringLiteral("SELECT pg_backend_pid()"))->fieldAt(0).toDisplayText();
        ASSERT_FALSE(pid.isEmpty());
        EXPECT_EQ(host.scalar(QStringLiteral("SELECT pg_terminate_backend(%1)").arg(pid)),
                  QStringLiteral("1"));
    }
};

TEST_P(LostConnectionTest, TheActionUnderWaySaysSoOnceAndTheNextActionConnectsAgain) {
    struct Case {
        const char* name;
        bool hierarchy;
        int messagesAtMost; // the hierarchy's first statement is a drop that may fail quietly
    };
    for (const Case& c : {Case{"flat list", false, 1}, Case{"hierarchy", true, 1}}) {
        SCOPED_TRACE(c.name);
        storeTreeDisplay(c.hierarchy);
        open();
        typeFilter(QStringLiteral("1002"));
        const QStringList before = treeLines();
        ASSERT_TRUE(before.join('\n').contains(QStringLiteral("b100201"))) << before.join('\n').toStdString();
        clearFilter();
        host::MessageService::clear();

        dropTheDialogsSession();
        typeFilter(QStringLiteral("1002"));
        const QStringList shown = messages();
        EXPECT_LE(shown.size(), c.messagesAtMost) << shown.join('\n').toStdString();
        if (!c.hierarchy) {
            // The flat list's query is the first statement: it fails, and says why in the
            // user's language, whatever the driver's own words are.
            ASSERT_EQ(shown.size(), 1);
            EXPECT_TRUE(shown[0].contains(QStringLiteral("与数据库的连接已断开"))) << shown[0].toStdString();
            EXPECT_TRUE(shown[0].contains(QStringLiteral("下一步操作时将重新连接"))) << shown[0].toStdString();
        }
        for (const QString& m : shown)
            EXPECT_FALSE(m.contains(QStringLiteral("3704")))
                << "no closed-connection error follows: " << m.toStdString();

        // The next action: a new session, the same tree.
        host::MessageService::clear();
        clearFilter();
        typeFilter(QStringLiteral("1002"));
        EXPECT_EQ(treeLines(), before);
        EXPECT_EQ(messages(), QStringList());
        EXPECT_TRUE(form->isVisible());
        form.reset();
    }
}

SARVO_ON_EVERY_ENGINE(LostConnectionTest);

} // namespace
