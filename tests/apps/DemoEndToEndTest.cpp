// Whole runs of the sarvo-demo executable on a fresh account set under the offscreen platform:
// exit status, the JSON on standard output, the statement log, and the refusals.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct DemoRun {
    int status = -1;
    QByteArray out;
    QByteArray err;
    QJsonObject json() const {
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(out, &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << out.toStdString() << err.toStdString();
        return doc.object();
    }
};

class DemoEndToEnd : public ::testing::Test {
protected:
    QTemporaryDir dir;

    QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }

    // The demo as a user without a display starts it.
    DemoRun demo(const QStringList& arguments, const QByteArray& input = {}) const {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(SARVO_DEMO_EXE), arguments);
        EXPECT_TRUE(process.waitForStarted(10000));
        if (!input.isEmpty()) process.write(input);
        process.closeWriteChannel();
        EXPECT_TRUE(process.waitForFinished(60000)) << "sarvo-demo did not finish";
        return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
    }

    QString script(const char* text) const {
        const QString file = path("session.script");
        QFile f(file);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
        return file;
    }
};

TEST_F(DemoEndToEnd, WaitOnlyOpensTheDialogClosesItAndReportsTrue) {
    const QString sqlLog = path("statements.log");
    const DemoRun run = demo({"--db", path("demo.db"), "--script", script("wait 50\n"), "--log-sql", sqlLog});
    ASSERT_EQ(run.status, 0) << run.out.toStdString() << run.err.toStdString();
    const QJsonObject o = run.json();
    EXPECT_EQ(o.value("result"), QJsonValue(true));
    EXPECT_EQ(o.value("ViewOK"), QJsonValue(false)); // closed without confirming
    EXPECT_EQ(o.value("Viewreturn4"), QJsonValue(""));
    EXPECT_EQ(o.value("Viewpara1"), QJsonValue(""));
    EXPECT_EQ(o.value("messages"), QJsonValue(QJsonArray()));
    EXPECT_FALSE(o.contains("error"));
    EXPECT_FALSE(o.contains("trace"));

    // The year check went to the database as the component sent it, one statement a line.
    QFile log(sqlLog);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = log.readAll().split('\n');
    EXPECT_TRUE(lines.contains("select * from code where iYear=2024"));
}

TEST_F(DemoEndToEnd, YearWithoutAccountsShowsTheMessageAndReportsFalse) {
    const DemoRun run = demo({"--db", path("demo.db"), "--year", "2025", "--script", script("wait 50\n")});
    ASSERT_EQ(run.status, 1) << run.out.toStdString() << run.err.toStdString();
    const QJsonObject o = run.json();
    EXPECT_EQ(o.value("result"), QJsonValue(false));
    for (const char* name :
         {"Viewpara1", "Viewpara2", "Viewreturn1", "Viewreturn2", "Viewreturn3", "Viewreturn4", "ViewOK"}) {
        ASSERT_TRUE(o.contains(name)) << name;
        EXPECT_TRUE(o.value(name).isNull()) << name;
    }
    const QJsonArray messages = o.value("messages").toArray();
    ASSERT_EQ(messages.size(), 1);
    const QJsonObject m = messages[0].toObject();
    EXPECT_EQ(m.value("buttons"), QJsonValue(64));
    EXPECT_FALSE(m.value("prompt").toString().isEmpty());
    EXPECT_FALSE(m.value("title").toString().isEmpty());
}

TEST_F(DemoEndToEnd, RequestReachesTheDialogAndTheSampleSessionConfirmsAnAccount) {
    // The host's request: initial filter text and "noedit".
    DemoRun run =
        demo({"--db", path("demo.db"), "--filter", "1002", "--noedit", "--script", script("state\n")});
    ASSERT_EQ(run.status, 0) << run.out.toStdString() << run.err.toStdString();
    QJsonObject o = run.json();
    ASSERT_EQ(o.value("trace").toArray().size(), 1) << run.out.toStdString();
    const QJsonObject state = o.value("trace").toArray()[0].toObject();
    EXPECT_EQ(state.value("filter"), QJsonValue("1002"));
    EXPECT_EQ(state.value("buttons").toArray(), QJsonArray({true, true, false, true}));
    EXPECT_EQ(o.value("Viewpara1"), QJsonValue("1002"));
    EXPECT_EQ(o.value("Viewreturn4"), QJsonValue("")); // cleared when the dialog has closed

    // What ./run demo plays without a display.
    run = demo({"--db", path("demo.db"), "--script", QStringLiteral(SARVO_SAMPLE_SCRIPT)});
    ASSERT_EQ(run.status, 0) << run.out.toStdString() << run.err.toStdString();
    o = run.json();
    EXPECT_FALSE(o.contains("error")) << run.out.toStdString();
    EXPECT_EQ(o.value("ViewOK"), QJsonValue(true));
    EXPECT_EQ(o.value("Viewreturn1"), QJsonValue("10020101"));
    EXPECT_EQ(o.value("Viewreturn3"), QJsonValue("RMB account"));
    const QJsonArray trace = o.value("trace").toArray();
    ASSERT_EQ(trace.size(), 3);
    EXPECT_TRUE(trace[1].toArray().contains(QString::fromUtf8("      b10020101\t10020101 人民币户 [*]")))
        << run.out.toStdString();
}

TEST_F(DemoEndToEnd, ScriptFromStandardInputStopsAtAnUnknownAction) {
    const DemoRun run = demo({"--db", path("demo.db"), "--script", "-"}, "wait 10\nfly to 1002\nbutton 0\n");
    ASSERT_EQ(run.status, 0) << run.out.toStdString() << run.err.toStdString();
    const QJsonObject o = run.json();
    EXPECT_EQ(o.value("result"), QJsonValue(true));
    EXPECT_EQ(o.value("ViewOK"), QJsonValue(false)); // button 0 after the bad line never ran
    const QJsonObject error = o.value("error").toObject();
    EXPECT_EQ(error.value("line"), QJsonValue(2));
    EXPECT_EQ(error.value("text"), QJsonValue("fly to 1002"));
    EXPECT_TRUE(error.value("message").toString().contains("unknown action"));
}

struct Refusal {
    std::vector<const char*> arguments;
    const char* says;
};

void PrintTo(const Refusal& p, std::ostream* os) {
    for (const char* a : p.arguments)
        *os << a << ' ';
}

class DemoRefuses : public DemoEndToEnd, public ::testing::WithParamInterface<Refusal> {};

TEST_P(DemoRefuses, BadArgumentsWithStatusTwoAndTheUsage) {
    QStringList arguments;
    for (const char* a : GetParam().arguments)
        arguments << (QByteArray(a) == "DB" ? path("demo.db") : QString::fromUtf8(a));
    const DemoRun run = demo(arguments);
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
    EXPECT_TRUE(run.err.contains(GetParam().says)) << run.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, DemoRefuses,
    ::testing::Values(Refusal{{}, "usage: sarvo-demo"},
                      Refusal{{"--db", "DB", "--lang", "fr"}, "usage: sarvo-demo"},
                      Refusal{{"--db", "DB", "--login-year", "abc"}, "four-digit year"},
                      Refusal{{"--db", "DB", "--bogus", "1"}, "unknown option"},
                      Refusal{{"--db", "DB", "--script", "/nonexistent/s.script"}, "cannot read script"},
                      Refusal{{"--db", "DB", "--template", "nosuch", "--script", "-"}, "template \"nosuch\""},
                      // Without a display and without a script it says how to run it.
                      Refusal{{"--db", "DB"}, "xvfb-run"}));

} // namespace
