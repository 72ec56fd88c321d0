// How one database engine writes what the component's T-SQL says: the choices of statement form
// that the renderer consults, and the renderer class that writes the engine's own expressions
// (its family). Another engine is another table and, where its expressions differ, another
// renderer class.
#pragma once

#include <QString>
#include <functional>

namespace sarvo::db {

struct Dialect {
    enum class Family {
        Sqlite,     // SqliteRenderer: the server's meaning through registered functions
        Postgresql, // PostgresRenderer: through functions the account set's schema defines
        SqlServer   // SqlServerRenderer: the server itself; the text passes through
    };
    enum class RowLimit { LimitClause, TopClause, FetchFirst };
    enum class TempTables {
        CreateTempAs, // CREATE TEMP TABLE name AS SELECT ...
        SelectInto    // SELECT ... INTO tempdb..name FROM ... (the server's own form)
    };
    enum class ConditionalInsert {
        InsertSelectWhere, // INSERT INTO t(cols) SELECT values WHERE [NOT] EXISTS (...)
        IfBatch            // IF [NOT] EXISTS (...) BEGIN INSERT ... END
    };
    enum class Placeholder { Question, Numbered };

    QString name;
    Family family = Family::Sqlite;
    QChar quoteOpen = QLatin1Char('"');
    QChar quoteClose = QLatin1Char('"');
    std::function<bool(const QString&)> isKeyword; // bare identifiers that must be quoted
    QString stringPrefix;                          // before a text literal ("N" on the server)
    QString concatOperator = QStringLiteral("||");
    QString notEqual = QStringLiteral("<>");
    RowLimit rowLimit = RowLimit::LimitClause;
    TempTables tempTables = TempTables::CreateTempAs;
    QString tempTableCreate = QStringLiteral("CREATE TEMP TABLE");
    QString tempTableReference = QStringLiteral("temp.%1"); // in FROM, DROP and CREATE INDEX
    QString tempTableQualifier = QStringLiteral("%1");      // before .column
    bool indexTempTables = true;                            // the engine wants CREATE INDEX after select-into
    // A temporary table of select * may be made empty first and filled only when something other
    // than its codes is read (the engine must then hold the snapshot the select read).
    bool deferTempFill = false;
    QString tempIndexCreate = QStringLiteral("CREATE INDEX temp.%1 ON %2 (%3)"); // index, table, expression
    ConditionalInsert conditionalInsert = ConditionalInsert::InsertSelectWhere;
    Placeholder placeholder = Placeholder::Question;

    static const Dialect& sqlite();
    static const Dialect& postgresql();
    static const Dialect& sqlServer();
};

} // namespace sarvo::db
