// The server's T-SQL written back; see SqlServerRenderer.h.
#include "host/db/SqlServerRenderer.h"

namespace sarvo::db {

using namespace ast;

void SqlServerRenderer::textComparison(const Expr& a, const QString& op, const Expr& b) {
    expr(a);
    put(QLatin1Char(' ') + op + QLatin1Char(' '));
    expr(b);
}

void SqlServerRenderer::likeTest(const Expr& subject, const Expr& pattern, const Expr* escape) {
    expr(subject);
    put(QStringLiteral(" LIKE "));
    expr(pattern);
    if (escape) {
        put(QStringLiteral(" ESCAPE "));
        expr(*escape);
    }
}

void SqlServerRenderer::foldedText(const Expr& e, bool) {
    expr(e);
}

void SqlServerRenderer::convert(const Expr& e, SqlType, SqlType) {
    expr(e);
}

void SqlServerRenderer::comparison(const Expr& e) {
    textComparison(*e.children[0], e.op, *e.children[1]);
}

void SqlServerRenderer::like(const Expr& e) {
    expr(*e.children[0]);
    put(e.negated ? QStringLiteral(" NOT LIKE ") : QStringLiteral(" LIKE "));
    expr(*e.children[1]);
    if (e.children.size() > 2) {
        put(QStringLiteral(" ESCAPE "));
        expr(*e.children[2]);
    }
}

void SqlServerRenderer::inList(const Expr& e) {
    expr(*e.children[0]);
    put(e.negated ? QStringLiteral(" NOT IN (") : QStringLiteral(" IN ("));
    if (e.subquery) {
        select(*e.subquery);
    } else {
        list(e.children, 1);
    }
    put(QStringLiteral(")"));
}

void SqlServerRenderer::between(const Expr& e) {
    expr(*e.children[0]);
    put(e.negated ? QStringLiteral(" NOT BETWEEN ") : QStringLiteral(" BETWEEN "));
    expr(*e.children[1]);
    put(QStringLiteral(" AND "));
    expr(*e.children[2]);
}

void SqlServerRenderer::caseExpr(const Expr& e) {
    put(QStringLiteral("CASE"));
    if (e.operand) {
        put(QStringLiteral(" "));
        expr(*e.operand);
    }
    for (size_t i = 0; i + 1 < e.children.size(); i += 2) {
        put(QStringLiteral(" WHEN "));
        expr(*e.children[i]);
        put(QStringLiteral(" THEN "));
        expr(*e.children[i + 1]);
    }
    if (e.elseValue) {
        put(QStringLiteral(" ELSE "));
        expr(*e.elseValue);
    }
    put(QStringLiteral(" END"));
}

// '+' is the server's to tell apart; the other operators are the same everywhere.
void SqlServerRenderer::binary(const Expr& e) {
    expr(*e.children[0]);
    put(QLatin1Char(' ') + e.op + QLatin1Char(' '));
    expr(*e.children[1]);
}

void SqlServerRenderer::variable(const Expr& e) {
    put(e.text);
}

void SqlServerRenderer::collate(const Expr& e) {
    expr(*e.children[0]);
    put(QStringLiteral(" COLLATE ") + e.text);
}

void SqlServerRenderer::cast(const Expr& e) {
    const DataType& t = *e.dataType;
    QString type = t.name;
    if (t.max || !t.args.empty()) {
        QStringList args;
        for (size_t i = 0; i < t.args.size(); ++i)
            args << inlineNumber(t.args[i], t.argTokens[i]);
        if (t.max) args << QStringLiteral("max");
        type += QLatin1Char('(') + args.join(QStringLiteral(", ")) + QLatin1Char(')');
    }
    if (e.text.endsWith(QLatin1String("cast"))) {
        put(e.text.toUpper() + QLatin1Char('('));
        expr(*e.children[0]);
        put(QStringLiteral(" AS ") + type + QLatin1Char(')'));
        return;
    }
    put(e.text.toUpper() + QLatin1Char('(') + type + QStringLiteral(", "));
    expr(*e.children[0]);
    if (e.children.size() > 1) {
        const Expr& style = *e.children[1];
        put(QStringLiteral(", "));
        if (style.kind == Expr::Kind::Number)
            put(inlineNumber(style.text.toLongLong(), style.token));
        else
            expr(style);
    }
    put(QStringLiteral(")"));
}

void SqlServerRenderer::function(const Expr& e) {
    put(e.text + QLatin1Char('('));
    list(e.children);
    put(QStringLiteral(")"));
}

void SqlServerRenderer::topClause(const Select& s) {
    if (!s.top) return;
    put(QStringLiteral("TOP ") + inlineNumber(*s.top, s.topToken) + QLatin1Char(' '));
    if (s.topPercent) put(QStringLiteral("PERCENT "));
    if (s.topWithTies) put(QStringLiteral("WITH TIES "));
}

} // namespace sarvo::db
