// Whole runs of the sarvo-demo executable on a fresh account set under the offscreen platform:
// exit status, the JSON on standard output, the statement log, and the refusals.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <unistd.h>

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
    // `inChild` runs in the started process before the demo does (limits, another user).
    DemoRun demo(QStringList arguments, const QByteArray& input = {},
                 std::function<void()> inChild = {}) const {
        arguments.replaceInStrings(QRegularExpression("^DB$"), dir.filePath("demo.db"));
        QProcess process;
        if (inChild) process.setChildProcessModifier(inChild);
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

// Runs SQL on an account set file directly, as another program would.
void alter(const QString& path, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

TEST_F(DemoEndToEnd, AnAccountSetThatCannotServeTheRequestIsNamedWithTheCause) {
    ASSERT_EQ(demo({"--db", "DB", "--script", "-"}, "wait 10\n").status, 0) << "a good account set first";
    const QString good = dir.filePath("demo.db");
    const auto copyOfGood = [&](const QString& path) { ASSERT_TRUE(QFile::copy(good, path)); };
    const auto withoutOptionRow = [&](const QString& path) {
        copyOfGood(path);
        alter(path, "delete from AccInformation where cName='IntSarvoTree'");
    };
    // The limit on file size a shell's ulimit -f sets: writes past it fail (the demo is not killed).
    const auto fileSizeLimit = [](rlim_t bytes) {
        return [bytes] {
            const rlimit limit{bytes, bytes};
            setrlimit(RLIMIT_FSIZE, &limit);
        };
    };
    // Read-only for the demo: as root, whom file modes do not stop, it runs as nobody.
    const auto readOnly = [this](const QString& path) {
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        QFile::setPermissions(dir.path(), QFile::permissions(dir.path()) | QFile::ExeGroup | QFile::ExeOther |
                                              QFile::ReadGroup | QFile::ReadOther);
    };
    const auto asNobody = [] {
        if (geteuid() != 0) return;
        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(99);
    };
    struct Case {
        const char* name;
        std::function<void(const QString& path)> make; // nothing: the demo creates the file
        std::function<void()> inChild;
        const char* cause; // pattern the stated cause matches
    };
    const std::vector<Case> cases = {
        {"no chart table",
         [&](const QString& p) {
             copyOfGood(p);
             alter(p, "drop table code");
         },
         {},
         "no such table: code"},
        {"no options table",
         [&](const QString& p) {
             copyOfGood(p);
             alter(p, "drop table AccInformation");
         },
         {},
         "no such table: AccInformation"},
        {"not a database",
         [](const QString& p) {
             QFile f(p);
             ASSERT_TRUE(f.open(QIODevice::WriteOnly));
             f.write(QByteArray("ccode,ccode_name\n1001,cash\n").repeated(200));
         },
         {},
         "not a database"},
        {"truncated",
         [&](const QString& p) {
             copyOfGood(p);
             QFile::resize(p, QFileInfo(good).size() / 4);
         },
         {},
         "malformed"},
        {"empty", [](const QString& p) { QFile(p).open(QIODevice::WriteOnly); }, {}, "empty"},
        {"a directory", [](const QString& p) { QDir().mkdir(p); }, {}, "directory"},
        {"no room to create it", {}, fileSizeLimit(40 * 1024), "disk|full"},
        {"no room for the option row", withoutOptionRow, fileSizeLimit(8 * 1024), "disk|full"},
        {"read-only without the option row",
         [&](const QString& p) {
             withoutOptionRow(p);
             readOnly(p);
         },
         asNobody, "readonly|read-only"},
    };
    int n = 0;
    for (const Case& c : cases) {
        const QString path = dir.filePath(QStringLiteral("broken%1.db").arg(++n));
        if (c.make) c.make(path);
        const DemoRun run = demo({"--db", path, "--script", "-"}, "wait 10\n", c.inChild);
        EXPECT_EQ(run.status, 2) << c.name << "\n" << run.err.toStdString();
        const QStringList lines = QString::fromUtf8(run.err).split('\n').filter("sarvo-demo:");
        ASSERT_EQ(lines.size(), 1) << c.name << "\n" << run.err.toStdString();
        EXPECT_TRUE(lines[0].contains(path)) << c.name << ": " << lines[0].toStdString();
        EXPECT_TRUE(lines[0].contains(QRegularExpression(c.cause)))
            << c.name << ": " << lines[0].toStdString();
        const QJsonObject error = run.json.value("error").toObject();
        EXPECT_EQ(error.value("file").toString(), path) << c.name << "\n" << run.out.toStdString();
        EXPECT_TRUE(error.value("cause").toString().contains(QRegularExpression(c.cause))) << c.name;
        EXPECT_EQ(run.json.value("result"), false) << c.name;
        if (!c.make) {
            EXPECT_FALSE(QFileInfo::exists(path)) << c.name << ": a half-made account set is left";
        }
    }
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
