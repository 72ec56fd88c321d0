// Template loading: set-up scripts and charts come from the resources compiled into the
// library (data.qrc); the generated template builds its chart in memory.
#include "data/AccountSetTemplate.h"

#include "data/ChartFile.h"
#include "data/GeneratedChart.h"
#include "data/SqlScript.h"
#include "runtime/RuntimeError.h"

#include <QAtomicInt>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>

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

QSqlQuery select(QSqlDatabase& db, const QString& sql) {
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(sql))
        raise(ErrorCode::DatabaseError, QStringLiteral("%1: %2").arg(sql, query.lastError().text()));
    return query;
}

bool hasTable(const QSqlDatabase& db, const char* table) {
    const QStringList tables = db.tables();
    return std::any_of(tables.begin(), tables.end(), [&](const QString& t) {
        return t.compare(QLatin1String(table), Qt::CaseInsensitive) == 0;
    });
}

void loadInto(QSqlDatabase& db, const TemplateSource& source) {
    for (const QString& script : source.scripts)
        SqlScript::run(db, resourceText(script), script);

    std::vector<int> gradeLengths;
    for (QSqlQuery q = select(db, QStringLiteral("select iLength from host_scheme order by iGrade"));
         q.next();)
        gradeLengths.push_back(q.value(0).toInt());
    QStringList classNames;
    for (QSqlQuery q = select(db, QStringLiteral("select cclass from host_class order by iPosition"));
         q.next();)
        classNames << q.value(0).toString();

    const Chart chart =
        source.chart.isEmpty()
            ? GeneratedChart::build(source.generatedCount, gradeLengths, classNames, {2024})
            : ChartFile::parse(resourceText(source.chart), source.chart, gradeLengths, classNames);
    chart.writeTo(db);
}

// Removes the connection once every handle on it is gone.
class ScopedConnection {
public:
    explicit ScopedConnection(const QString& path) {
        static QAtomicInt counter;
        m_name = QStringLiteral("sarvo-accountset-%1").arg(counter.fetchAndAddRelaxed(1));
        db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
    }
    ~ScopedConnection() {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }
    ScopedConnection(const ScopedConnection&) = delete;
    ScopedConnection& operator=(const ScopedConnection&) = delete;

    QSqlDatabase db;

private:
    QString m_name;
};

} // namespace

QStringList templateNames() {
    return {QStringLiteral("standard"), QStringLiteral("budget"), QStringLiteral("generated:N")};
}

QString schemaScript(const QString& engine) {
    if (engine != u"sqlite" && engine != u"postgresql")
        badArgument(QStringLiteral("no schema for database engine \"%1\"").arg(engine));
    return resourceText(QStringLiteral("schema/%1.sql").arg(engine));
}

void createAccountSet(const QString& sqlitePath, const QString& templateName) {
    const TemplateSource source = resolve(templateName);
    const QFileInfo info(sqlitePath);
    if (info.exists() && (!info.isFile() || info.size() > 0))
        throw RuntimeError(
            fileAlreadyExists,
            QStringLiteral("File already exists: %1 is not empty; an account set is only created "
                           "in a new file")
                .arg(sqlitePath));
    const bool existed = info.exists();

    try {
        ScopedConnection connection(sqlitePath);
        QSqlDatabase& db = connection.db;
        if (!db.isValid())
            raise(ErrorCode::DatabaseError, QStringLiteral("the SQLite driver is not available"));
        if (!db.open())
            raise(ErrorCode::DatabaseError, QStringLiteral("%1: %2").arg(sqlitePath, db.lastError().text()));
        // A large chart builds its indexes in memory rather than paging them through the file.
        QSqlQuery(db).exec(QStringLiteral("PRAGMA cache_size = -131072"));
        if (!db.transaction())
            raise(ErrorCode::DatabaseError, QStringLiteral("%1: %2").arg(sqlitePath, db.lastError().text()));
        try {
            SqlScript::run(db, schemaScript(QStringLiteral("sqlite")), QStringLiteral("schema/sqlite.sql"));
            loadInto(db, source);
        } catch (...) {
            db.rollback();
            throw;
        }
        if (!db.commit())
            raise(ErrorCode::DatabaseError, QStringLiteral("%1: %2").arg(sqlitePath, db.lastError().text()));
    } catch (...) {
        // Leave no half-made account set behind; an empty file that was there stays empty.
        if (existed)
            QFile(sqlitePath).resize(0);
        else
            QFile::remove(sqlitePath);
        throw;
    }
}

void loadTemplate(QSqlDatabase& db, const QString& templateName) {
    const TemplateSource source = resolve(templateName);
    if (!db.isOpen()) raise(ErrorCode::ObjectClosed, QStringLiteral("the account-set database is not open"));
    for (const char* table : {"code", "host_class", "host_scheme"}) {
        if (!hasTable(db, table))
            raise(ErrorCode::DatabaseError,
                  QStringLiteral("the database has no table %1: apply the schema first").arg(table));
    }
    for (const char* table : {"code", "host_class"}) {
        QSqlQuery q = select(db, QStringLiteral("select count(*) from %1").arg(table));
        if (q.next() && q.value(0).toInt() > 0)
            raise(ErrorCode::DatabaseError,
                  QStringLiteral("table %1 already holds an account set").arg(table));
    }
    // Within the caller's transaction when there is one (BEGIN fails then), else in our own.
    const bool own = db.transaction();
    try {
        loadInto(db, source);
    } catch (...) {
        if (own) db.rollback();
        throw;
    }
    if (own && !db.commit()) raise(ErrorCode::DatabaseError, db.lastError().text());
}

} // namespace sarvo::data
