// First token-level rewrite; see TSqlTranslator.h.
#include "host/db/TSqlTranslator.h"

#include "host/db/TSqlTokenizer.h"
#include "runtime/RuntimeError.h"

namespace sarvo::db {

namespace {

using K = TSqlToken::Kind;

QString quoteId(const QString& s) { return QLatin1Char('"') + QString(s).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"'); }
QString quoteStr(const QString& s) { return QLatin1Char('\'') + QString(s).replace(QLatin1Char('\''), QLatin1String("''")) + QLatin1Char('\''); }

struct Rewriter {
    const QList<TSqlToken>& t;
    QString temp; // name of a table created by select-into
    int limit = -1;

    QString range(int from, int to) {
        QStringList out;
        for (int i = from; i < to; ++i) {
            const TSqlToken& k = t[i];
            if (k.isWord("tempdb") && i + 3 < to && t[i + 1].isSymbol(".") && t[i + 2].isSymbol(".")) {
                const QString name = quoteId(t[i + 3].text);
                const bool qualifier = i + 4 < to && t[i + 4].isSymbol(".");
                out << (qualifier ? name : QStringLiteral("temp.") + name);
                i += 3;
                continue;
            }
            if (k.isWord("top") && i + 1 < to && t[i + 1].kind == K::Number) {
                limit = t[i + 1].text.toInt();
                ++i;
                continue;
            }
            switch (k.kind) {
            case K::String:
            case K::NationalString: out << quoteStr(k.text); break;
            case K::QuotedIdentifier: out << quoteId(k.text); break;
            case K::Symbol:
                if (k.text == QLatin1String("+") && ((i > from && t[i - 1].isString()) || (i + 1 < to && t[i + 1].isString())))
                    out << QStringLiteral("||");
                else
                    out << k.text;
                break;
            default: out << k.text;
            }
        }
        QString s = out.join(QLatin1Char(' '));
        s.replace(QLatin1String(" . "), QLatin1String("."));
        return s;
    }
};

int matching(const QList<TSqlToken>& t, int open) {
    int depth = 0;
    for (int i = open; i < t.size(); ++i) {
        if (t[i].isSymbol("(")) ++depth;
        if (t[i].isSymbol(")") && --depth == 0) return i;
    }
    return -1;
}

} // namespace

QStringList TSqlTranslator::toSqlite(const QString& tsql) {
    const QList<TSqlToken> t = TSqlTokenizer::tokenize(tsql);
    const int end = static_cast<int>(t.size()) - 1;
    Rewriter r{t, {}, -1};
    if (end >= 3 && t[0].isWord("if") && t[1].isWord("not") && t[2].isWord("exists") && t[3].isSymbol("(")) {
        const int close = matching(t, 3);
        int insert = close + 1;
        if (close < 0 || !t[insert].isWord("begin") || !t[end - 1].isWord("end"))
            raise(ErrorCode::DatabaseError, QStringLiteral("Unsupported IF batch: ") + tsql);
        const QString sub = r.range(4, close);
        int values = insert;
        while (values < end && !t[values].isWord("values")) ++values;
        const QString head = r.range(insert + 1, values);
        const int vopen = values + 1, vclose = matching(t, vopen);
        return {head + QStringLiteral(" SELECT ") + r.range(vopen + 1, vclose) + QStringLiteral(" WHERE NOT EXISTS (") + sub + QLatin1Char(')')};
    }
    int into = -1;
    if (t[0].isWord("select"))
        for (int i = 1; i < end; ++i)
            if (t[i].isWord("into")) { into = i; break; }
    if (into > 0) {
        int from = into + 1;
        while (from < end && !t[from].isWord("from")) ++from;
        const QString target = r.range(into + 1, from);
        const QString select = r.range(0, into) + QLatin1Char(' ') + r.range(from, end);
        QString bare = target;
        if (bare.startsWith(QLatin1String("temp."))) bare = bare.mid(5);
        return {QStringLiteral("CREATE TEMP TABLE %1 AS %2").arg(target, select),
                QStringLiteral("CREATE INDEX temp.%1 ON %2(ccode)").arg(quoteId(QStringLiteral("ix_") + t[into + 4].text), bare)};
    }
    QString s = r.range(0, end);
    if (r.limit >= 0) s += QStringLiteral(" LIMIT %1").arg(r.limit);
    return {s};
}

} // namespace sarvo::db
