// One session at the dialog, played by sarvo-demo on the same account set in every engine of
// EngineSlots.h: the report (trees as dumped, the state of the controls, what came back to the
// host), every statement the component sent, and the rows it wrote must be those of SQLite.
#include "host/db/Connection.h"
#include "host/db/Recordset.h"
#include "tests/support/EngineSlots.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using sarvo::testing::EngineSlot;

// Begins-with and contains filters, Chinese text, the tree layout with its temporary table, a
// recently used entry written, and a confirmation.
const char* const kSession = "state\n"
                             "type 1\n"
                             "dump\n"
                             "clear\n"
                             "mode contains\n"
                             "type 银行\n"
                             "dump\n"
                             "treedisp on\n"
                             "clear\n"
                             "type 10\n"
                             "dump\n"
                             "click b100201\n"
                             "button 1\n"
                             "dump\n"
                             "state\n"
                             "button 0\n"
                             "wait 300\n";

struct Session {
    int status = -1;
    QJsonObject report;
    QStringList statements; // temporary-table names made alike: they carry the process id
    QStringList recentlyUsed;
    QString error;
};

Session play(const QString& connectionString, const QString& folder) {
    Session s;
    const QString log = folder + QStringLiteral("/statements.log");
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(name);
    process.setProcessEnvironment(env);
    process.start(SARVO_DEMO_EXE, {"--db", connectionString, "--script", "-", "--log-sql", log});
    process.write(kSession);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000)) {
        process.kill();
        s.error = QStringLiteral("sarvo-demo did not finish");
        return s;
    }
    s.status = process.exitCode();
    s.error = QString::fromUtf8(process.readAllStandardError());
    s.report = QJsonDocument::fromJson(process.readAllStandardOutput()).object();
    QFile file(log);
    if (file.open(QIODevice::ReadOnly)) {
        static const QRegularExpression temp(QStringLiteral("\\[demo_\\d+_"));
        s.statements = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        s.statements.replaceInStrings(temp, QStringLiteral("[demo_PID_"));
    }
    sarvo::db::Connection connection(connectionString);
    connection.open();
    for (auto rows =
             connection.query(QStringLiteral("select cuser, ccode from GL_mcodeused order by cuser, ccode"));
         !rows->eof(); rows->moveNext())
        s.recentlyUsed << rows->fieldAt(0).toString() + QLatin1Char(':') + rows->fieldAt(1).toString();
    return s;
}

class DemoEngineTest : public ::testing::TestWithParam<const EngineSlot*> {};

TEST_P(DemoEngineTest, TheSessionGivesTheTreesStatementsAndRowsOfSqlite) {
    const EngineSlot& engine = *GetParam();
    SARVO_REQUIRE_ENGINE(engine);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const Session expected =
        play(sarvo::testing::newAccountSet(sarvo::testing::sqliteSlot(), dir.path(), "reference", "standard"),
             dir.path());
    ASSERT_EQ(expected.status, 0) << expected.error.toStdString();
    ASSERT_EQ(expected.report.value("Viewreturn1").toString(), QStringLiteral("100201"));
    ASSERT_GT(expected.statements.size(), 100);

    const Session got =
        play(sarvo::testing::newAccountSet(engine, dir.path(), "accounts", "standard"), dir.path());
    EXPECT_EQ(got.status, 0) << got.error.toStdString();
    EXPECT_EQ(QJsonDocument(got.report).toJson().toStdString(),
              QJsonDocument(expected.report).toJson().toStdString());
    EXPECT_EQ(got.statements, expected.statements);
    EXPECT_EQ(got.recentlyUsed, expected.recentlyUsed);
}

std::vector<const EngineSlot*> otherEngines() {
    std::vector<const EngineSlot*> out;
    for (const EngineSlot* s : sarvo::testing::engineSlotPointers())
        if (s != &sarvo::testing::sqliteSlot()) out.push_back(s);
    return out;
}

INSTANTIATE_TEST_SUITE_P(Engines, DemoEngineTest, ::testing::ValuesIn(otherEngines()),
                         sarvo::testing::slotName);

} // namespace
