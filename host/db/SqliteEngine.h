// The embedded default engine: an SQLite file through Qt SQL. Statements are rendered from T-SQL,
// prepared once per rendered shape and kept for re-use; SQL Server's LIKE is a registered function.
#pragma once

#include "host/db/Engine.h"
#include "host/db/SchemaInfo.h"
#include "host/db/SqlValue.h"
#include "host/db/SqliteFunctions.h"
#include "host/db/TSqlToken.h"
#include "host/db/TSqlTranslator.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <memory>
#include <optional>
#include <set>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace sarvo::db {

class SqliteCursor;

class SqliteEngine : public Engine {
public:
    // What this engine does beyond running the plain rendering; all on by default. The benchmark
    // switches them off to measure what they are worth.
    struct Options {
        bool cacheStatements = true; // prepare once per shape, bind literals as values
        bool likeRanges = true;      // prefix LIKE as an index range plus the exact test
        bool indexTempTables = true; // index ccode of tables made by select-into
    };
    // Counters since open, for the benchmark and tests.
    struct Counters {
        qint64 statements = 0; // T-SQL texts executed
        qint64 prepares = 0;   // SQLite statements compiled
        qint64 rows = 0;       // rows stepped through
    };
    explicit SqliteEngine(QString path);
    SqliteEngine(QString path, Options options);
    ~SqliteEngine() override;

    QString name() const override { return QStringLiteral("sqlite"); }
    void open() override;
    void close() override;
    bool isOpen() const override { return m_handle != nullptr; }
    std::unique_ptr<Cursor> execute(const QString& tsql) override;
    QString render(const QString& tsql) const override;
    QSqlDatabase database() const override;

    QString path() const { return m_path; }
    const Options& options() const { return m_options; }
    void setOptions(const Options& options);
    const Counters& counters() const { return m_counters; }
    sqlite3* handle() const { return m_handle; }

    // Used by SqliteCursor.
    // A prepared statement for sql with params bound; from the cache when one is idle.
    sqlite3_stmt* checkout(const QByteArray& sql, const std::vector<SqlValue>& params, const QString& tsql);
    void checkin(const QByteArray& sql, sqlite3_stmt* stmt);
    void addCursor(SqliteCursor* cursor) { m_cursors.insert(cursor); }
    void removeCursor(SqliteCursor* cursor) { m_cursors.erase(cursor); }
    void countRow() { ++m_counters.rows; }
    [[noreturn]] void fail(const QString& tsql) const;

private:
    Rendering translate(const QString& tsql, const QList<TSqlToken>& tokens) const;
    // Rendering of a text: from the shape cache when a text of the same shape was rendered.
    Rendering renderShaped(const QString& tsql, const QList<TSqlToken>& tokens);
    void runToEnd(const QByteArray& sql, const std::vector<SqlValue>& params, const QString& tsql);
    void loadSchema();
    void loadTable(bool temp, const QString& table);
    void detachCursors();
    void clearStatementCache();

    QString m_path;
    Options m_options;
    QString m_connectionName;
    sqlite3* m_handle = nullptr;
    QHash<QByteArray, std::vector<sqlite3_stmt*>> m_idle; // prepared, ready for re-use
    std::set<SqliteCursor*> m_cursors;
    Counters m_counters;
    SchemaInfo m_schema;
    bool m_utf8 = true; // byte order equals character order only in UTF-8 databases
    SqliteLikeCache m_likeCache;
    struct Shape {
        Rendering rendering;
        QList<TSqlToken> tokens;
    };
    QHash<QString, std::shared_ptr<const Shape>> m_shapes; // by TSqlTranslator::shapeKey
};

} // namespace sarvo::db
