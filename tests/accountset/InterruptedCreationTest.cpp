// Creating an account set that is cut short, by the file-size limit half-way or by killing the
// tool: nothing is left at the target (a killed creation's scratch file is removed by the next
// one), and the next creation makes a complete account set that readers never wait on.
#include "host/db/Connection.h"
#include "host/db/Recordset.h"
#include "tests/support/QtPrinters.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>

using namespace sarvo;

namespace {

const QString kTool = QStringLiteral(SARVO_ACCOUNTSET_TOOL);

QString firstValue(db::Connection& c, const QString& sql) {
    const auto rows = c.native(sql);
    return rows->eof() ? QString() : rows->fieldAt(0).toDisplayText();
}

TEST(InterruptedCreation, LeavesNothingAtTheTargetAndTheNextCreationWorks) {
    struct Case {
        const char* name;
        // Starts a creation of target and cuts it short; the tool's exit status.
        std::function<int(const QString& target, QString* output)> interrupt;
        bool scratchRemovedAtOnce;
    };
    const std::vector<Case> cases = {
        {"file-size limit reached half-way",
         [](const QString& target, QString* output) {
             QProcess p;
             p.setProcessChannelMode(QProcess::MergedChannels);
             p.start("/bin/sh",
                     {"-c", "ulimit -f 256 && exec \"$0\" create \"$1\" generated:40000", kTool, target});
             p.waitForFinished(120000);
             *output = QString::fromUtf8(p.readAll());
             return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
         },
         true},
        {"killed while building",
         [](const QString& target, QString* output) {
             QProcess p;
             p.start(kTool, {"create", target, "generated:300000"});
             EXPECT_TRUE(p.waitForStarted());
             const QString folder = QFileInfo(target).absolutePath();
             QElapsedTimer waited;
             waited.start();
             while (QDir(folder).entryList({"*.creating"}, QDir::Files | QDir::Hidden).isEmpty() &&
                    waited.elapsed() < 20000 && p.state() == QProcess::Running)
                 QThread::msleep(5);
             p.kill();
             p.waitForFinished(20000);
             *output = QString::fromUtf8(p.readAll());
             return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString target = dir.filePath("accounts.db");
        QString output;
        EXPECT_NE(c.interrupt(target, &output), 0) << output.toStdString();
        EXPECT_FALSE(QFile::exists(target)) << output.toStdString();
        const QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        if (c.scratchRemovedAtOnce) {
            EXPECT_TRUE(output.contains(target)) << output.toStdString();
            EXPECT_EQ(left, QStringList());
        } else {
            EXPECT_EQ(left.filter(".creating").size(), 1) << left.join(' ').toStdString();
        }

        QProcess again;
        again.start(kTool, {"create", target, "generated:500"});
        ASSERT_TRUE(again.waitForFinished(120000));
        EXPECT_EQ(again.exitCode(), 0) << again.readAllStandardError().toStdString();
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"accounts.db"});
        db::Connection made("sqlite:" + target);
        made.open();
        EXPECT_EQ(firstValue(made, "select count(*) from code"), "500");
        EXPECT_EQ(firstValue(made, "PRAGMA journal_mode"), "wal");
    }
}

} // namespace
