// The dialect tables of the engines this layer renders for; see Dialect.h.
#include "host/db/Dialect.h"

#include <QSet>
#include <sqlite3.h>

namespace sarvo::db {

const Dialect& Dialect::sqlite() {
    static const Dialect d = [] {
        Dialect d;
        d.name = QStringLiteral("sqlite");
        d.family = Family::Sqlite;
        d.deferTempFill = true;
        d.isKeyword = [](const QString& w) {
            const QByteArray b = w.toUtf8();
            return sqlite3_keyword_check(b.constData(), static_cast<int>(b.size())) != 0;
        };
        return d;
    }();
    return d;
}

const Dialect& Dialect::postgresql() {
    static const Dialect d = [] {
        Dialect d;
        d.name = QStringLiteral("postgresql");
        d.family = Family::Postgresql;
        static const QSet<QString> words{"all",   "and",      "as",    "asc",  "between", "by",     "case",
                                         "desc",  "distinct", "end",   "from", "group",   "having", "in",
                                         "is",    "like",     "limit", "not",  "null",    "on",     "or",
                                         "order", "select",   "table", "user", "where"};
        d.isKeyword = [](const QString& w) { return words.contains(w.toLower()); };
        d.tempTableCreate = QStringLiteral("CREATE TEMPORARY TABLE");
        d.tempTableReference = QStringLiteral("pg_temp.%1");
        d.tempIndexCreate = QStringLiteral("CREATE INDEX %1 ON %2 (%3)");
        d.placeholder = Placeholder::Numbered;
        return d;
    }();
    return d;
}

const Dialect& Dialect::sqlServer() {
    static const Dialect d = [] {
        Dialect d;
        d.name = QStringLiteral("sqlserver");
        d.family = Family::SqlServer;
        d.quoteOpen = QLatin1Char('[');
        d.quoteClose = QLatin1Char(']');
        static const QSet<QString> words{"all",    "and",      "as",  "asc",  "between", "by",     "case",
                                         "desc",   "distinct", "end", "from", "group",   "having", "in",
                                         "is",     "like",     "not", "null", "on",      "or",     "order",
                                         "select", "table",    "top", "user", "where"};
        d.isKeyword = [](const QString& w) { return words.contains(w.toLower()); };
        d.stringPrefix = QStringLiteral("N");
        d.concatOperator = QStringLiteral("+");
        d.rowLimit = RowLimit::TopClause;
        d.tempTables = TempTables::SelectInto;
        d.tempTableReference = QStringLiteral("tempdb..%1");
        d.tempTableQualifier = QStringLiteral("tempdb..%1");
        d.indexTempTables = false;
        d.conditionalInsert = ConditionalInsert::IfBatch;
        return d;
    }();
    return d;
}

} // namespace sarvo::db
