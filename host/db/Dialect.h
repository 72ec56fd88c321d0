// How one database engine writes what the component's T-SQL says: a table of choices that the
// translator consults, so another engine is another table, not another translator.
#pragma once

#include <QHash>
#include <QString>
#include <functional>

namespace sarvo::db {

struct Dialect {
    enum class RowLimit { LimitClause, TopClause, FetchFirst };
    enum class TempTables {
        CreateTempAs, // CREATE TEMP TABLE name AS SELECT ...
        SelectInto    // SELECT ... INTO tempdb..name FROM ... (the server's own form)
    };
    enum class Like {
        Native,  // the engine's LIKE already has the server's meaning (its collation)
        Function // likeFunction(subject, pattern), index ranges from likeLow/likeHigh
    };
    enum class ConditionalInsert {
        InsertSelectWhere, // INSERT INTO t(cols) SELECT values WHERE [NOT] EXISTS (...)
        IfBatch            // IF [NOT] EXISTS (...) BEGIN INSERT ... END
    };
    enum class Placeholder { Question, Numbered };

    QString name;
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
    QString tempIndexCreate = QStringLiteral("CREATE INDEX temp.%1 ON %2 (%3)"); // index, table, column
    Like like = Like::Function;
    QString likeFunction = QStringLiteral("sarvo_like");
    QString likeLow = QStringLiteral("sarvo_like_lo");
    QString likeHigh = QStringLiteral("sarvo_like_hi");
    ConditionalInsert conditionalInsert = ConditionalInsert::InsertSelectWhere;
    Placeholder placeholder = Placeholder::Question;
    // T-SQL function name (lower case) -> the engine's form, %1.. for the arguments; a function
    // missing here cannot be rendered.
    QHash<QString, QString> functions;

    static const Dialect& sqlite();
    static const Dialect& postgresql();
    static const Dialect& sqlServer();
};

} // namespace sarvo::db
