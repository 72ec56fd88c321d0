// The dialect tables of the engines this layer renders for; see Dialect.h.
#include "host/db/Dialect.h"

#include <QSet>
#include <sqlite3.h>

namespace sarvo::db {

namespace {

QHash<QString, QString> commonFunctions() {
    return {{"upper", "upper(%1)"}, {"lower", "lower(%1)"}, {"ltrim", "ltrim(%1)"},
            {"rtrim", "rtrim(%1)"}, {"abs", "abs(%1)"},     {"coalesce", "coalesce(%*)"},
            {"count", "count(%*)"}, {"max", "max(%1)"},     {"min", "min(%1)"},
            {"sum", "sum(%1)"},     {"avg", "avg(%1)"},     {"replace", "replace(%1, %2, %3)"}};
}

} // namespace

const Dialect& Dialect::sqlite() {
    static const Dialect d = [] {
        Dialect d;
        d.name = QStringLiteral("sqlite");
        d.isKeyword = [](const QString& w) {
            const QByteArray b = w.toUtf8();
            return sqlite3_keyword_check(b.constData(), static_cast<int>(b.size())) != 0;
        };
        d.functions = commonFunctions();
        d.functions.insert(QStringLiteral("len"), QStringLiteral("length(rtrim(%1))"));
        d.functions.insert(QStringLiteral("isnull"), QStringLiteral("ifnull(%1, %2)"));
        d.functions.insert(QStringLiteral("substring"), QStringLiteral("substr(%1, %2, %3)"));
        d.functions.insert(QStringLiteral("left"), QStringLiteral("substr(%1, 1, %2)"));
        return d;
    }();
    return d;
}

const Dialect& Dialect::postgresql() {
    static const Dialect d = [] {
        Dialect d;
        d.name = QStringLiteral("postgresql");
        static const QSet<QString> words{"all",   "and",      "as",    "asc",  "between", "by",     "case",
                                         "desc",  "distinct", "end",   "from", "group",   "having", "in",
                                         "is",    "like",     "limit", "not",  "null",    "on",     "or",
                                         "order", "select",   "table", "user", "where"};
        d.isKeyword = [](const QString& w) { return words.contains(w.toLower()); };
        d.tempTableCreate = QStringLiteral("CREATE TEMPORARY TABLE");
        d.tempTableReference = QStringLiteral("pg_temp.%1");
        d.tempIndexCreate = QStringLiteral("CREATE INDEX %1 ON %2 (%3)");
        d.placeholder = Placeholder::Numbered;
        d.functions = commonFunctions();
        d.functions.insert(QStringLiteral("len"), QStringLiteral("length(rtrim(%1))"));
        d.functions.insert(QStringLiteral("isnull"), QStringLiteral("coalesce(%1, %2)"));
        d.functions.insert(QStringLiteral("substring"), QStringLiteral("substr(%1, %2, %3)"));
        d.functions.insert(QStringLiteral("left"), QStringLiteral("left(%1, %2)"));
        return d;
    }();
    return d;
}

const Dialect& Dialect::sqlServer() {
    static const Dialect d = [] {
        Dialect d;
        d.name = QStringLiteral("sqlserver");
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
        d.like = Like::Native;
        d.conditionalInsert = ConditionalInsert::IfBatch;
        d.functions = commonFunctions();
        for (const char* f : {"len", "isnull", "substring", "left"})
            d.functions.insert(QLatin1String(f), QLatin1String(f) + QStringLiteral("(%*)"));
        return d;
    }();
    return d;
}

} // namespace sarvo::db
