// Read from /proc, uname and the libraries themselves.
#include "bench/MachineNote.h"

#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QThread>
#include <sqlite3.h>
#include <sys/utsname.h>

#ifndef SARVO_BUILD_TYPE
#define SARVO_BUILD_TYPE "unknown"
#endif

namespace sarvo::bench {

namespace {

QString firstMatch(const QString& file, const QString& pattern) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
    const auto m = QRegularExpression(pattern, QRegularExpression::MultilineOption)
                       .match(QString::fromUtf8(f.readAll()));
    return m.hasMatch() ? m.captured(1).trimmed() : QString();
}

} // namespace

QJsonObject MachineNote::collect(const QString& note) {
    QJsonObject m;
    m.insert(QStringLiteral("cpu"),
             firstMatch(QStringLiteral("/proc/cpuinfo"), QStringLiteral("^model name\\s*:(.*)$")));
    m.insert(QStringLiteral("logicalCpus"), QThread::idealThreadCount());
    const QString memKb = firstMatch(QStringLiteral("/proc/meminfo"), QStringLiteral("^MemTotal:\\s*(\\d+)"));
    m.insert(QStringLiteral("memoryMiB"), memKb.toLongLong() / 1024);
    utsname u{};
    if (uname(&u) == 0)
        m.insert(QStringLiteral("kernel"),
                 QStringLiteral("%1 %2").arg(QString::fromUtf8(u.sysname), QString::fromUtf8(u.release)));
    m.insert(QStringLiteral("qt"), QString::fromLatin1(qVersion()));
    m.insert(QStringLiteral("sqlite"), QString::fromLatin1(sqlite3_libversion()));
    m.insert(QStringLiteral("compiler"), QStringLiteral(__VERSION__));
    m.insert(QStringLiteral("buildType"), QStringLiteral(SARVO_BUILD_TYPE));
    m.insert(QStringLiteral("platform"), QGuiApplication::platformName());
    if (!note.isEmpty()) m.insert(QStringLiteral("note"), note);
    return m;
}

QString MachineNote::summary(const QJsonObject& m) {
    QString s =
        QStringLiteral("%1, %2 logical CPUs, %3 MiB; %4; Qt %5, SQLite %6; %7 build, %8 platform")
            .arg(m.value(QStringLiteral("cpu")).toString())
            .arg(m.value(QStringLiteral("logicalCpus")).toInt())
            .arg(m.value(QStringLiteral("memoryMiB")).toInteger())
            .arg(m.value(QStringLiteral("kernel")).toString(), m.value(QStringLiteral("qt")).toString(),
                 m.value(QStringLiteral("sqlite")).toString(),
                 m.value(QStringLiteral("buildType")).toString(),
                 m.value(QStringLiteral("platform")).toString());
    if (m.contains(QStringLiteral("note")))
        s += QStringLiteral("; ") + m.value(QStringLiteral("note")).toString();
    return s;
}

} // namespace sarvo::bench
