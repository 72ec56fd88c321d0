// Whole runs of the sarvo-demo executable on a fresh account set under the offscreen platform:
// exit status, the JSON on standard output, the statement log, and the refusals.
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct DemoRun {
    int status = -1;
    QByteArray out, err;
    QJsonObject json;
    // The named keys of the report as compact JSON (keys sorted), for comparing in one go.
    std::string only(const QStringList& keys) const {
        QJsonObject picked;
        for (const QString& key : keys)
            if (json.contains(key)) picked.insert(key, json.value(key));
        return QJsonDocument(picked).toJson(QJsonDocument::Compact).toStdString();
    }
};

class DemoEndToEnd : public ::testing::Test {
protected:
    // The demo as a user without a display starts it; "DB" stands for a fresh account set.
    DemoRun demo(QStringList arguments, const QByteArray& input = {}) const {
        arguments.replaceInStrings(QRegularExpression("^DB$"), dir.filePath("demo.db"));
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(name);
        process.setProcessEnvironment(env);
        process.start(SARVO_DEMO_EXE, arguments);
        process.write(input);
        process.closeWriteChannel();
        EXPECT_TRUE(process.waitForFinished(60000)) << "sarvo-demo did not finish";
        DemoRun run{process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError(), {}};
        run.json = QJsonDocument::fromJson(run.out).object();
        return run;
    }
    QTemporaryDir dir;
};

TEST_F(DemoEndToEnd, WaitOnlyOpensTheDialogClosesItAndReportsTrue) {
    const QString log = dir.filePath("statements.log");
    const DemoRun run = demo({"--db", "DB", "--script", "-", "--log-sql", log}, "wait 50\n");
    ASSERT_EQ(run.status, 0) << run.out.toStdString() << run.err.toStdString();
    EXPECT_EQ(run.only({"result", "ViewOK", "Viewpara1", "Viewreturn4", "messages", "trace", "error"}),
              R"({"ViewOK":false,"Viewpara1":"","Viewreturn4":"","messages":[],"result":true})");
    // The year check went to the database as the component sent it, one statement a line.
    QFile statements(log);
    ASSERT_TRUE(statements.open(QIODevice::ReadOnly));
    EXPECT_TRUE(statements.readAll().split('\n').contains("select * from code where iYear=2024"));
}

TEST_F(DemoEndToEnd, AYearWithoutAccountsShowsTheMessageAndReportsFalse) {
    const DemoRun run = demo({"--db", "DB", "--year", "2025", "--script", "-"}, "wait 50\n");
    ASSERT_EQ(run.status, 1) << run.out.toStdString() << run.err.toStdString();
    EXPECT_EQ(run.only({"result", "Viewpara1", "Viewpara2", "Viewreturn1", "Viewreturn2", "Viewreturn3",
                        "Viewreturn4", "ViewOK"}),
              R"({"ViewOK":null,"Viewpara1":null,"Viewpara2":null,"Viewreturn1":null,"Viewreturn2":null,)"
              R"("Viewreturn3":null,"Viewreturn4":null,"result":false})");
    const QJsonArray messages = run.json.value("messages").toArray();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0]["buttons"], 64);
    EXPECT_FALSE(messages[0]["prompt"].toString().isEmpty());
}

TEST_F(DemoEndToEnd, TheSampleSessionConfirmsAnAccount) {
    const DemoRun run = demo({"--db", "DB", "--script", SARVO_SAMPLE_SCRIPT});
    ASSERT_EQ(run.status, 0) << run.out.toStdString() << run.err.toStdString();
    EXPECT_EQ(run.only({"ViewOK", "Viewreturn1", "Viewreturn3", "error"}),
              R"({"ViewOK":true,"Viewreturn1":"10020101","Viewreturn3":"RMB account"})");
    const QJsonArray trace = run.json.value("trace").toArray();
    ASSERT_EQ(trace.size(), 3);
    EXPECT_TRUE(trace[1].toArray().contains("      b10020101\t10020101 人民币户 [*]"))
        << run.out.toStdString();
}

TEST_F(DemoEndToEnd, TheRequestReachesTheDialogAndAScriptFromStandardInputStopsAtABadLine) {
    const DemoRun run = demo({"--db", "DB", "--filter", "1002", "--noedit", "--script", "-"},
                             "state\nfly to 1002\nbutton 0\n");
    ASSERT_EQ(run.status, 0) << run.out.toStdString() << run.err.toStdString();
    EXPECT_EQ(run.only({"result", "ViewOK", "Viewpara1", "Viewreturn4", "error"}),
              R"({"ViewOK":false,"Viewpara1":"1002","Viewreturn4":"","error":)"
              R"({"line":2,"message":"unknown action \"fly\"","text":"fly to 1002"},"result":true})");
    const QJsonObject state = run.json.value("trace")[0].toObject();
    EXPECT_EQ(state.value("filter"), "1002");
    EXPECT_EQ(state.value("buttons"), QJsonArray({true, true, false, true})); // no edit button
}

TEST_F(DemoEndToEnd, BadArgumentsExitWithStatusTwoAndSayWhy) {
    const std::pair<QStringList, const char*> cases[] = {
        {{}, "usage: sarvo-demo"},
        {{"--db", "DB", "--script", "/nonexistent/s.script"}, "cannot read script"},
        {{"--db", "DB", "--template", "nosuch", "--script", "-"}, "template \"nosuch\""},
        {{"--db", "DB"}, "xvfb-run"}}; // without a display and without a script: how to run it
    for (const auto& [arguments, says] : cases) {
        const DemoRun run = demo(arguments);
        EXPECT_EQ(run.status, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
        EXPECT_TRUE(run.err.contains(says)) << run.err.toStdString();
    }
}

} // namespace
