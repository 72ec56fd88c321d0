// PostgreSQL's forms of the server's expressions; see PostgresRenderer.h.
#include "host/db/PostgresRenderer.h"

namespace sarvo::db {

using namespace ast;

namespace {

const QString kFoldedOrder = QStringLiteral(" COLLATE \"C\"");

} // namespace

void PostgresRenderer::text(const Expr& e) {
    const SqlType t = typeOf(e);
    if (TSqlSemantics::isNumeric(t) || TSqlSemantics::isTemporal(t)) {
        put(QStringLiteral("CAST("));
        expr(e);
        return put(QStringLiteral(" AS text)"));
    }
    expr(e);
}

void PostgresRenderer::call(const QString& name, const std::vector<const Expr*>& textArgs) {
    put(name + QLatin1Char('('));
    for (size_t i = 0; i < textArgs.size(); ++i) {
        if (i) put(QStringLiteral(", "));
        text(*textArgs[i]);
    }
    put(QStringLiteral(")"));
}

void PostgresRenderer::foldedText(const Expr& e, bool subject) {
    call(QStringLiteral("sarvo_fold"), {&e});
    if (subject) put(kFoldedOrder);
}

void PostgresRenderer::textComparison(const Expr& a, const QString& op, const Expr& b) {
    foldedText(a, true);
    put(QLatin1Char(' ') + op + QLatin1Char(' '));
    foldedText(b, false);
}

void PostgresRenderer::likeTest(const Expr& subject, const Expr& pattern, const Expr* escape) {
    if (escape)
        call(QStringLiteral("sarvo_like"), {&subject, &pattern, escape});
    else
        call(QStringLiteral("sarvo_like"), {&subject, &pattern});
}

QString PostgresRenderer::tempIndexExpression(const QString& column) const {
    return QStringLiteral("(sarvo_fold(%1)%2)").arg(identifier(column, false), kFoldedOrder);
}

// "=" is already one look in the folded index; a LIKE needs its range. On a temporary table only
// the indexed code column has one.
bool PostgresRenderer::canRange(const RangePlan& plan) const {
    if (!plan.like) return false;
    if (!plan.table->temp) return true;
    return m_o.indexTempTables && m_d.indexTempTables &&
           plan.column->parts.last().compare(QLatin1String("ccode"), Qt::CaseInsensitive) == 0;
}

// Beside code and class the account set's server schema indexes the names and the mnemonic that
// the quick filter's "begins with" tests, ORed (the server combines one index scan per test).
bool PostgresRenderer::rangesColumn(const QString& name) const {
    for (const char* c : {"ccode_name", "ccode_engl", "chelp"})
        if (name.compare(QLatin1String(c), Qt::CaseInsensitive) == 0) return true;
    return TSqlRenderer::rangesColumn(name);
}

void PostgresRenderer::rangedTest(const Expr&, const RangePlan& plan) {
    const Expr& col = *plan.column;
    const Expr& key = *plan.key;
    put(QStringLiteral("("));
    foldedText(col, true);
    put(QStringLiteral(" >= "));
    call(QStringLiteral("sarvo_fold_lo"), {&key});
    put(QStringLiteral(" AND "));
    foldedText(col, true);
    put(QStringLiteral(" < "));
    call(QStringLiteral("sarvo_fold_hi"), {&key});
    put(QStringLiteral(" AND "));
    likeTest(col, key, nullptr);
    put(QStringLiteral(")"));
}

void PostgresRenderer::convert(const Expr& e, SqlType, SqlType to) {
    QString type;
    switch (to) {
    case SqlType::Integer:
        type = QStringLiteral("integer");
        break;
    case SqlType::Decimal:
        type = QStringLiteral("numeric");
        break;
    case SqlType::DateTime:
        type = QStringLiteral("timestamp(3)");
        break;
    case SqlType::Date:
        type = QStringLiteral("date");
        break;
    default:
        return expr(e);
    }
    put(QStringLiteral("CAST("));
    expr(e);
    put(QStringLiteral(" AS ") + type + QLatin1Char(')'));
}

void PostgresRenderer::cast(const Expr& e) {
    const DataType& type = *e.dataType;
    const auto& [value, from, to, style, what] = conversion(e);
    auto refuseStyle = [&] { refuseConvertStyle(e, style); };
    auto castAs = [&](const QString& pgType, bool truncate) {
        put(QStringLiteral("CAST("));
        if (truncate) put(QStringLiteral("trunc("));
        expr(value);
        if (truncate) put(QStringLiteral(")"));
        put(QStringLiteral(" AS ") + pgType + QLatin1Char(')'));
    };
    switch (to) {
    case SqlType::Integer: {
        // The server truncates a fraction where PostgreSQL would round.
        const QString pgType =
            type.name == QLatin1String("bigint") ? QStringLiteral("bigint")
            : type.name == QLatin1String("smallint") || type.name == QLatin1String("tinyint")
                ? QStringLiteral("smallint")
                : QStringLiteral("integer");
        return castAs(pgType, from == SqlType::Decimal);
    }
    case SqlType::Decimal:
        if (type.name == QLatin1String("float") || type.name == QLatin1String("real"))
            return castAs(QStringLiteral("double precision"), false);
        if (type.name.endsWith(QLatin1String("money")))
            return castAs(QStringLiteral("numeric(19, 4)"), false);
        return castAs(
            QStringLiteral("numeric(%1, %2)")
                .arg(type.args.empty() ? QStringLiteral("18") : inlineNumber(type.args[0], type.argTokens[0]),
                     type.args.size() > 1 ? inlineNumber(type.args[1], type.argTokens[1])
                                          : QStringLiteral("0")),
            false);
    case SqlType::Date:
    case SqlType::DateTime: {
        static const QList<int> readable{0, 20, 21, 23, 102, 111, 112, 120, 121, 126};
        if (style >= 0 && !readable.contains(style)) refuseStyle();
        return castAs(to == SqlType::Date ? QStringLiteral("date") : QStringLiteral("timestamp(3)"), false);
    }
    default:
        break;
    }
    auto asText = [&] {
        if (TSqlSemantics::isTemporal(from)) {
            if (style < 0 && from == SqlType::DateTime)
                unsupported(QStringLiteral("%1 of a date and time to text without a style").arg(what),
                            e.position);
            const TSqlSemantics::DateStyle* format = TSqlSemantics::dateStyle(style < 0 ? 23 : style);
            if (!format) refuseStyle();
            put(QStringLiteral("to_char("));
            expr(value);
            return put(QStringLiteral(", '%1')").arg(QLatin1String(format->toChar)));
        }
        if (style >= 0 && TSqlSemantics::isNumeric(from)) refuseStyle();
        text(value);
    };
    const bool fixed = type.name == QLatin1String("char") || type.name == QLatin1String("nchar");
    const bool unbounded =
        type.max || type.name == QLatin1String("text") || type.name == QLatin1String("ntext");
    if (unbounded) return asText();
    const QString length = type.args.empty() ? QStringLiteral("%1").arg(fixed ? 1 : 30)
                                             : inlineNumber(type.args[0], type.argTokens[0]);
    // char(n) is padded with blanks to its length (rpad also cuts).
    put(fixed ? QStringLiteral("rpad(") : QStringLiteral("substr("));
    asText();
    put(fixed ? QStringLiteral(", %1)").arg(length) : QStringLiteral(", 1, %1)").arg(length));
}

void PostgresRenderer::function(const Expr& e) {
    const QString& name = e.text;
    const size_t n = e.children.size();
    auto arg = [&](size_t i) -> const Expr& { return *e.children[i]; };
    auto arity = [&](size_t lo, size_t hi) {
        if (n < lo || n > hi)
            unsupported(QStringLiteral("%1 with %2 arguments").arg(name.toUpper()).arg(n), e.position);
    };
    auto textThenValues = [&](const QString& pgName, size_t texts) {
        put(pgName + QLatin1Char('('));
        for (size_t i = 0; i < n; ++i) {
            if (i) put(QStringLiteral(", "));
            if (i < texts)
                text(arg(i));
            else
                expr(arg(i));
        }
        put(QStringLiteral(")"));
    };
    if (name == QLatin1String("upper") || name == QLatin1String("lower") || name == QLatin1String("ltrim") ||
        name == QLatin1String("rtrim")) {
        arity(1, 1);
        return textThenValues(name, 1);
    }
    if (name == QLatin1String("len")) {
        arity(1, 1);
        put(QStringLiteral("length(rtrim("));
        text(arg(0));
        return put(QStringLiteral("))"));
    }
    if (name == QLatin1String("substring")) {
        arity(3, 3);
        return textThenValues(QStringLiteral("substr"), 1);
    }
    if (name == QLatin1String("left")) {
        arity(2, 2);
        put(QStringLiteral("substr("));
        text(arg(0));
        put(QStringLiteral(", 1, "));
        expr(arg(1));
        return put(QStringLiteral(")"));
    }
    if (name == QLatin1String("right")) {
        arity(2, 2);
        return textThenValues(QStringLiteral("right"), 1);
    }
    if (name == QLatin1String("charindex")) {
        arity(2, 3);
        return textThenValues(QStringLiteral("sarvo_charindex"), 2);
    }
    if (name == QLatin1String("replace")) {
        arity(3, 3);
        return textThenValues(QStringLiteral("sarvo_replace"), 3);
    }
    if (name == QLatin1String("isnull") || name == QLatin1String("coalesce")) {
        if (name == QLatin1String("isnull") || n < 2) arity(2, 2);
        const SqlType t = name == QLatin1String("isnull") ? typeOf(arg(0)) : typeOf(e);
        put(QStringLiteral("coalesce("));
        for (size_t i = 0; i < n; ++i) {
            if (i) put(QStringLiteral(", "));
            operand(arg(i), t);
        }
        return put(QStringLiteral(")"));
    }
    if (name == QLatin1String("abs") || name == QLatin1String("count") || name == QLatin1String("max") ||
        name == QLatin1String("min") || name == QLatin1String("sum") || name == QLatin1String("avg")) {
        arity(1, 1);
        return textThenValues(name, 0);
    }
    if (name == QLatin1String("getdate")) {
        arity(0, 0);
        return put(QStringLiteral("LOCALTIMESTAMP(3)"));
    }
    if (name == QLatin1String("year") || name == QLatin1String("month") || name == QLatin1String("day")) {
        arity(1, 1);
        put(QStringLiteral("CAST(EXTRACT(%1 FROM ").arg(name.toUpper()));
        operand(arg(0), typeOf(arg(0)) == SqlType::Date ? SqlType::Date : SqlType::DateTime);
        return put(QStringLiteral(") AS integer)"));
    }
    unsupported(QStringLiteral("the function %1").arg(name.toUpper()), e.position);
}

} // namespace sarvo::db
