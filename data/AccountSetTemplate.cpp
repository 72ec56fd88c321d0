// Template loading: set-up scripts and charts come from the resources compiled into the
// library (data.qrc); the generated template builds its chart in memory. Everything is written
// through the account set's own connection (the schema in the engine's SQL, the rest as T-SQL).
#include "data/AccountSetTemplate.h"

#include "data/ChartFile.h"
#include "data/GeneratedChart.h"
#include "data/SqlScript.h"
#include "host/db/Backend.h"
#include "host/db/ConnectionString.h"
#include "host/db/Dialect.h"
#include "host/db/Recordset.h"
#include "runtime/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace sarvo::data {

namespace {

const QString resourceRoot = QStringLiteral(":/sarvo/data/");
const QString generatedPrefix = QStringLiteral("generated:");
constexpr int fileAlreadyExists = 58; // the host language's number for this case

struct TemplateSource {
    QString name;
    QStringList scripts; // set-up scripts: classes, scheme, settings, years, users, options
    QString chart;       // text chart of accounts; empty for a generated one
    int generatedCount = 0;
};

[[noreturn]] void badArgument(const QString& detail) {
    raise(ErrorCode::InvalidProcedureCall, detail);
}

TemplateSource resolve(const QString& name) {
    if (name == u"standard")
        return {name,
                {QStringLiteral("templates/enterprise-classes.sql"),
                 QStringLiteral("templates/standard/setup.sql")},
                QStringLiteral("templates/standard/accounts.txt")};
    if (name == u"budget")
        return {name,
                {QStringLiteral("templates/budget/setup.sql")},
                QStringLiteral("templates/budget/accounts.txt")};
    if (name.startsWith(generatedPrefix)) {
        const QString n = name.mid(generatedPrefix.size());
        bool ok =
            !n.isEmpty() && std::all_of(n.begin(), n.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
        const int count = ok ? n.toInt(&ok) : 0;
        if (!ok || count < 1 || count > GeneratedChart::maxAccounts)
            badArgument(QStringLiteral("template \"%1\": N must be a whole number from 1 to %2")
                            .arg(name)
                            .arg(GeneratedChart::maxAccounts));
        return {name,
                {QStringLiteral("templates/enterprise-classes.sql"),
                 QStringLiteral("templates/generated/setup.sql")},
                QString(),
                count};
    }
    badArgument(QStringLiteral("unknown account-set template \"%1\" (known: %2)")
                    .arg(name, templateNames().join(u", ")));
}

QString resourceText(const QString& path) {
    QFile file(resourceRoot + path);
    if (!file.open(QIODevice::ReadOnly))
        raise(ErrorCode::DatabaseError, QStringLiteral("built-in file %1 is missing").arg(path));
    return QString::fromUtf8(file.readAll());
}

// Values of the first column of a T-SQL query.
std::vector<Variant> column(db::Connection& connection, const QString& tsql) {
    std::vector<Variant> out;
    for (auto rows = connection.query(tsql); !rows->eof(); rows->moveNext())
        out.push_back(rows->fieldAt(0));
    return out;
}

void loadInto(db::Connection& connection, const TemplateSource& source) {
    for (const QString& script : source.scripts)
        SqlScript::run(connection, resourceText(script), script, SqlScript::Language::TSql);

    std::vector<int> gradeLengths;
    for (const Variant& v :
         column(connection, QStringLiteral("select iLength from host_scheme order by iGrade")))
        gradeLengths.push_back(v.toLong());
    QStringList classNames;
    for (const Variant& v :
         column(connection, QStringLiteral("select cclass from host_class order by iPosition")))
        classNames << v.toDisplayText();

    const Chart chart =
        source.chart.isEmpty()
            ? GeneratedChart::build(source.generatedCount, gradeLengths, classNames, {2024})
            : ChartFile::parse(resourceText(source.chart), source.chart, gradeLengths, classNames);
    chart.writeTo(connection);
}

// The schema, then the template, in one transaction of the caller's connection.
void createIn(db::Connection& connection, const TemplateSource& source) {
    connection.native(QStringLiteral("BEGIN"));
    try {
        SqlScript::run(connection, schemaScript(connection.backend()->dialect().name),
                       QStringLiteral("schema/%1.sql").arg(connection.backend()->dialect().name));
        loadInto(connection, source);
        // Engines plan by their statistics: without them the level loads would guess (SQLite,
        // whose table is stored in code order, would walk the whole year to skip a sort).
        connection.native(QStringLiteral("ANALYZE"));
        connection.native(QStringLiteral("COMMIT"));
    } catch (...) {
        if (connection.inTransaction()) connection.native(QStringLiteral("ROLLBACK"));
        throw;
    }
}

// ".NAME.PID.creating": the file an account set NAME is built in before it takes its name.
QString temporaryName(const QString& fileName, qint64 pid) {
    return QStringLiteral(".%1.%2.creating").arg(fileName).arg(pid);
}

void removeWithCompanions(const QString& path) {
    for (const char* suffix : {"", "-journal", "-wal", "-shm"})
        QFile::remove(path + QLatin1String(suffix));
}

// Leftovers of creations that were killed half-way (their process is gone).
void removeStaleTemporaries(const QDir& folder, const QString& fileName) {
    const QString prefix = QLatin1Char('.') + fileName + QLatin1Char('.');
    for (const QString& entry :
         folder.entryList({prefix + QStringLiteral("*.creating")}, QDir::Files | QDir::Hidden)) {
        bool ok = false;
        const qint64 pid = entry.mid(prefix.size(), entry.size() - prefix.size() - 9).toLongLong(&ok);
        if (!ok || pid <= 0 || pid == ::getpid()) continue;
        if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
        removeWithCompanions(folder.filePath(entry));
    }
}

void syncPath(const QString& path, int flags) {
    const int fd = ::open(QFile::encodeName(path).constData(), flags);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// A new SQLite file: built under a temporary name next to the target and renamed into place
// once complete and on disk, so an interrupted creation never leaves a file at the target.
void createSqliteFile(const QString& path, const TemplateSource& source) {
    const QFileInfo info(path);
    if (info.exists() && (!info.isFile() || info.size() > 0))
        throw RuntimeError(
            fileAlreadyExists,
            QStringLiteral("File already exists: %1 is not empty; an account set is only created "
                           "in a new file")
                .arg(path));
    const QDir folder = info.absoluteDir();
    if (!folder.exists())
        raise(ErrorCode::DatabaseError,
              QStringLiteral("%1: the folder %2 does not exist").arg(path, folder.path()));
    removeStaleTemporaries(folder, info.fileName());
    const QString temp = folder.filePath(temporaryName(info.fileName(), ::getpid()));
    removeWithCompanions(temp);
    try {
        {
            QFile file(temp);
            if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
                raise(ErrorCode::DatabaseError, QStringLiteral("%1: %2").arg(path, file.errorString()));
        }
        {
            db::Connection connection(QStringLiteral("sqlite:") + temp);
            connection.open();
            // Built in one go: the rollback journal in memory, and nothing synced until the end.
            for (const char* pragma :
                 {"PRAGMA journal_mode = MEMORY", "PRAGMA synchronous = OFF", "PRAGMA cache_size = -131072"})
                connection.native(QLatin1String(pragma));
            createIn(connection, source);
            // Readers never wait for a writer, and a writer waits only for another writer.
            connection.native(QStringLiteral("PRAGMA journal_mode = WAL"));
            connection.close();
        }
        syncPath(temp, O_RDONLY);
        if (::rename(QFile::encodeName(temp).constData(), QFile::encodeName(path).constData()) != 0)
            raise(ErrorCode::DatabaseError, QStringLiteral("%1: cannot rename the new file into place: %2")
                                                .arg(path, qt_error_string(errno)));
        syncPath(folder.path(), O_RDONLY | O_DIRECTORY);
    } catch (...) {
        removeWithCompanions(temp);
        throw;
    }
}

} // namespace

QStringList templateNames() {
    return {QStringLiteral("standard"), QStringLiteral("budget"), QStringLiteral("generated:N")};
}

QString schemaScript(const QString& engine) {
    if (engine != u"sqlite" && engine != u"postgresql")
        badArgument(QStringLiteral("no schema for database engine \"%1\"").arg(engine));
    return resourceText(QStringLiteral("schema/%1.sql").arg(engine));
}

void createAccountSet(const QString& connectionString, const QString& templateName) {
    const TemplateSource source = resolve(templateName);
    const db::ConnectionString target = db::ConnectionString::parse(connectionString);
    if (target.scheme() == db::ConnectionString::Scheme::Sqlite)
        return createSqliteFile(target.path(), source);
    db::Connection connection(connectionString);
    connection.open();
    // Only into an empty database, as only into a new file.
    bool holdsOne = true;
    try {
        connection.query(QStringLiteral("select count(*) from code where 1=0"))->close();
    } catch (const RuntimeError&) {
        holdsOne = false;
    }
    if (holdsOne)
        throw RuntimeError(
            fileAlreadyExists,
            QStringLiteral("%1 already holds an account set; an account set is only created in "
                           "an empty database")
                .arg(target.describe()));
    createIn(connection, source);
}

void loadTemplate(db::Connection& connection, const QString& templateName) {
    const TemplateSource source = resolve(templateName);
    if (connection.state() != db::Connection::Open)
        raise(ErrorCode::ObjectClosed, QStringLiteral("the account-set database is not open"));
    for (const char* table : {"code", "host_class", "host_scheme"}) {
        try {
            connection.query(QStringLiteral("select count(*) from %1").arg(QLatin1String(table)))->close();
        } catch (const RuntimeError&) {
            raise(ErrorCode::DatabaseError,
                  QStringLiteral("the database has no table %1: apply the schema first").arg(table));
        }
    }
    for (const char* table : {"code", "host_class"}) {
        if (column(connection, QStringLiteral("select count(*) from %1").arg(QLatin1String(table)))[0]
                .toLong() > 0)
            raise(ErrorCode::DatabaseError,
                  QStringLiteral("table %1 already holds an account set").arg(table));
    }
    // Within the caller's transaction when there is one, else in our own.
    const bool own = !connection.inTransaction();
    if (own) connection.native(QStringLiteral("BEGIN"));
    try {
        loadInto(connection, source);
    } catch (...) {
        if (own && connection.inTransaction()) connection.native(QStringLiteral("ROLLBACK"));
        throw;
    }
    if (own) connection.native(QStringLiteral("COMMIT"));
}

} // namespace sarvo::data
