// Account sets made once on a server; see ServerAccountSet.h.
#include "data/ServerAccountSet.h"

#include "data/AccountSetTemplate.h"
#include "host/db/Connection.h"
#include "host/db/Recordset.h"
#include "runtime/RuntimeError.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QFile>
#include <algorithm>

namespace sarvo::data {

namespace {

constexpr int kLock = 735001; // the advisory lock that makes one maker at a time
const QString kComplete = QStringLiteral("complete");

QString dataHash() {
    static const QString hash = [] {
        QCryptographicHash h(QCryptographicHash::Sha1);
        QStringList files;
        for (QDirIterator it(QStringLiteral(":/sarvo/data"), QDir::Files, QDirIterator::Subdirectories);
             it.hasNext();)
            files << it.next();
        std::sort(files.begin(), files.end());
        for (const QString& path : files) {
            QFile file(path);
            if (file.open(QIODevice::ReadOnly)) h.addData(path.toUtf8() + file.readAll());
        }
        return QString::fromLatin1(h.result().toHex().left(12));
    }();
    return hash;
}

} // namespace

QString ServerAccountSet::databaseName(const QString& templateName) {
    QString plain = templateName.toLower();
    for (QChar& c : plain)
        if (!(c.isLetterOrNumber() && c.unicode() < 128)) c = QLatin1Char('_');
    return QStringLiteral("sarvo_a_%1_%2").arg(plain.left(30), dataHash());
}

QString ServerAccountSet::withDatabase(const QString& serverUrl, const QString& database) {
    const qsizetype start = serverUrl.indexOf(QLatin1String("//")) + 2;
    qsizetype question = serverUrl.indexOf(QLatin1Char('?'), start);
    if (question < 0) question = serverUrl.size();
    qsizetype slash = serverUrl.indexOf(QLatin1Char('/'), start);
    if (slash < 0 || slash > question) slash = question;
    return serverUrl.left(slash) + QLatin1Char('/') + database + serverUrl.mid(question);
}

QString ServerAccountSet::ensure(const QString& serverUrl, const QString& templateName) {
    const QString name = databaseName(templateName);
    db::Connection server(serverUrl);
    server.open();
    server.native(QStringLiteral("SELECT pg_advisory_lock(%1)").arg(kLock))->close();
    try {
        const auto rows = server.native(
            QStringLiteral("SELECT coalesce(shobj_description(oid, 'pg_database'), '') FROM pg_database "
                           "WHERE datname = $1"),
            {db::SqlValue::ofText(name)});
        const bool exists = !rows->eof();
        const bool complete = exists && rows->fieldAt(0).toString() == kComplete;
        rows->close();
        if (!complete) {
            // A database of that name without the mark is what an interrupted maker left.
            if (exists) server.native(QStringLiteral("DROP DATABASE %1 WITH (FORCE)").arg(name));
            server.native(QStringLiteral("CREATE DATABASE %1 TEMPLATE template0").arg(name));
            createAccountSet(withDatabase(serverUrl, name), templateName);
            server.native(QStringLiteral("COMMENT ON DATABASE %1 IS '%2'").arg(name, kComplete));
        }
    } catch (...) {
        server.native(QStringLiteral("SELECT pg_advisory_unlock(%1)").arg(kLock))->close();
        throw;
    }
    server.native(QStringLiteral("SELECT pg_advisory_unlock(%1)").arg(kLock))->close();
    return withDatabase(serverUrl, name);
}

} // namespace sarvo::data
