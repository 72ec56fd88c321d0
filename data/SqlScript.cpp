// Splitting and running SQL scripts statement by statement.
#include "data/SqlScript.h"

#include "runtime/RuntimeError.h"

namespace sarvo::data {

QStringList SqlScript::split(const QString& script) {
    QStringList statements;
    QString current;
    QChar quote; // the open quote character, null outside quotes
    const qsizetype n = script.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = script.at(i);
        if (!quote.isNull()) {
            current += c;
            if (c == quote) quote = QChar(); // a doubled quote closes and reopens: same result
            continue;
        }
        if (c == u'\'' || c == u'"') {
            quote = c;
            current += c;
        } else if (c == u'$' && i + 1 < n && script.at(i + 1) == u'$') {
            // A $$ ... $$ body (PostgreSQL functions) is one piece, semicolons and all.
            const qsizetype end = script.indexOf(QLatin1String("$$"), i + 2);
            const qsizetype stop = end < 0 ? n : end + 2;
            current += script.mid(i, stop - i);
            i = stop - 1;
        } else if (c == u'-' && i + 1 < n && script.at(i + 1) == u'-') {
            while (i < n && script.at(i) != u'\n')
                ++i;
            current += u'\n';
        } else if (c == u';') {
            const QString statement = current.trimmed();
            if (!statement.isEmpty()) statements << statement;
            current.clear();
        } else {
            current += c;
        }
    }
    const QString rest = current.trimmed();
    if (!rest.isEmpty()) statements << rest;
    return statements;
}

void SqlScript::run(db::Connection& connection, const QString& script, const QString& origin,
                    Language language) {
    const QStringList statements = split(script);
    for (qsizetype i = 0; i < statements.size(); ++i) {
        try {
            if (language == Language::Native)
                connection.native(statements.at(i));
            else
                connection.command(statements.at(i));
        } catch (const RuntimeError& e) {
            raise(ErrorCode::DatabaseError,
                  QStringLiteral("%1, statement %2: %3").arg(origin).arg(i + 1).arg(e.description()));
        }
    }
}

} // namespace sarvo::data
