// SQLite's forms of the server's expressions; see SqliteRenderer.h.
#include "host/db/SqliteRenderer.h"

namespace sarvo::db {

using namespace ast;

namespace {

bool isIndexedTempColumn(const Expr& column) {
    return column.parts.last().compare(QLatin1String("ccode"), Qt::CaseInsensitive) == 0;
}

} // namespace

void SqliteRenderer::call(const QString& name, const std::vector<const Expr*>& args) {
    put(name + QLatin1Char('('));
    for (size_t i = 0; i < args.size(); ++i) {
        if (i) put(QStringLiteral(", "));
        expr(*args[i]);
    }
    put(QStringLiteral(")"));
}

void SqliteRenderer::textComparison(const Expr& a, const QString& op, const Expr& b) {
    call(QStringLiteral("sarvo_cmp"), {&a, &b});
    put(QLatin1Char(' ') + op + QStringLiteral(" 0"));
}

void SqliteRenderer::likeTest(const Expr& subject, const Expr& pattern, const Expr* escape) {
    if (escape)
        call(QStringLiteral("sarvo_like"), {&subject, &pattern, escape});
    else
        call(QStringLiteral("sarvo_like"), {&subject, &pattern});
}

// One call for the whole OR: the engine then reads each row's texts into one function instead of
// evaluating a call and a branch per test, which is most of a filtered scan's cost.
bool SqliteRenderer::likeAny(const std::vector<const Expr*>& likes) {
    std::vector<const Expr*> args;
    for (const Expr* like : likes) {
        args.push_back(like->children[0].get());
        args.push_back(like->children[1].get());
    }
    call(QStringLiteral("sarvo_like_any"), args);
    return true;
}

void SqliteRenderer::foldedText(const Expr& e, bool) {
    call(QStringLiteral("sarvo_fold"), {&e});
}

QString SqliteRenderer::tempIndexExpression(const QString& column) const {
    return QStringLiteral("sarvo_fold(%1)").arg(identifier(column, false));
}

bool SqliteRenderer::canRange(const RangePlan& plan) const {
    // A temporary table's folded index serves the folded IN as it is.
    if (plan.list) return !plan.table->temp && !plan.context.empty();
    if (plan.table->temp)
        return m_o.indexTempTables && m_d.indexTempTables && isIndexedTempColumn(*plan.column);
    return !plan.context.empty();
}

void SqliteRenderer::rangedTest(const Expr&, const RangePlan& plan) {
    if (plan.list) return listedKeys(plan);
    const Expr& col = *plan.column;
    const Expr& key = *plan.key;
    if (plan.table->temp) {
        if (!plan.like) {
            foldedText(col, true);
            put(QStringLiteral(" = "));
            return foldedText(key, false);
        }
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
        return put(QStringLiteral(")"));
    }
    put(QStringLiteral("("));
    storedRanges(plan);
    put(QStringLiteral(" AND "));
    if (plan.like)
        likeTest(col, key, nullptr);
    else
        textComparison(col, QStringLiteral("="), key);
    put(QStringLiteral(")"));
}

// col >= sarvo_lo(key, m) AND col < sarvo_hi(key, m, EXISTS (a row in another form)): the probe
// reads the variant ranges from sarvo_variants and looks each up in the same table under the
// same fixed numbers, so it uses the index the outer test uses.
void SqliteRenderer::storedRanges(const RangePlan& plan) {
    const Expr& col = *plan.column;
    const QString mode = plan.like ? QStringLiteral("0") : QStringLiteral("1");
    storedRanges(
        plan, [&] { expr(col); }, [&] { expr(*plan.key); }, mode, QStringLiteral("sarvo_v"));
}

void SqliteRenderer::storedRanges(const RangePlan& plan, const std::function<void()>& column,
                                  const std::function<void()>& key, const QString& mode,
                                  const QString& probe) {
    const Expr& col = *plan.column;
    const QString name = identifier(col.parts.last(), col.quoted.back());
    column();
    put(QStringLiteral(" >= sarvo_lo("));
    key();
    put(QStringLiteral(", ") + mode + QStringLiteral(") AND "));
    column();
    put(QStringLiteral(" < sarvo_hi("));
    key();
    put(QStringLiteral(", ") + mode + QStringLiteral(", EXISTS (SELECT 1 FROM sarvo_variants("));
    key();
    put(QStringLiteral(", ") + mode + QStringLiteral(") AS sarvo_r CROSS JOIN ") +
        identifier(plan.table->table, false) + QStringLiteral(" AS ") + probe + QStringLiteral(" WHERE "));
    fixedContext(plan, probe);
    put(probe + QLatin1Char('.') + name + QStringLiteral(" >= sarvo_r.lo AND ") + probe + QLatin1Char('.') +
        name + QStringLiteral(" < sarvo_r.hi))"));
}

void SqliteRenderer::fixedContext(const RangePlan& plan, const QString& alias) {
    for (const auto& [column, value] : plan.context) {
        put(alias + QLatin1Char('.') + identifier(column->parts.last(), column->quoted.back()) +
            QStringLiteral(" = "));
        expr(*value);
        put(QStringLiteral(" AND "));
    }
}

// col IN (keys) over the index as stored: col IN (the stored texts equal to a key), found key by
// key through the index under the same fixed numbers, each by its ranges as "col = key" is. The
// list is read once; the outer test is then an index look per stored text.
void SqliteRenderer::listedKeys(const RangePlan& plan) {
    const Expr& col = *plan.column;
    const Expr& in = *plan.key;
    const QString name = identifier(col.parts.last(), col.quoted.back());
    const QString stored = QStringLiteral("sarvo_s.") + name;
    expr(col);
    put(QStringLiteral(" IN (SELECT ") + stored + QStringLiteral(" FROM ("));
    for (size_t i = 1; i < in.children.size(); ++i) {
        put(i > 1 ? QStringLiteral(" UNION ALL SELECT ") : QStringLiteral("SELECT "));
        expr(*in.children[i]);
        if (i == 1) put(QStringLiteral(" AS k"));
    }
    put(QStringLiteral(") AS sarvo_k CROSS JOIN ") + identifier(plan.table->table, false) +
        QStringLiteral(" AS sarvo_s WHERE "));
    fixedContext(plan, QStringLiteral("sarvo_s"));
    storedRanges(
        plan, [&] { put(stored); }, [&] { put(QStringLiteral("sarvo_k.k")); }, QStringLiteral("1"),
        QStringLiteral("sarvo_v"));
    put(QStringLiteral(" AND sarvo_cmp(") + stored + QStringLiteral(", sarvo_k.k) = 0)"));
}

void SqliteRenderer::convert(const Expr& e, SqlType, SqlType to) {
    switch (to) {
    case SqlType::Integer:
        return call(QStringLiteral("sarvo_int"), {&e});
    case SqlType::Decimal:
        return call(QStringLiteral("sarvo_real"), {&e});
    case SqlType::DateTime:
        return call(QStringLiteral("sarvo_datetime"), {&e});
    case SqlType::Date:
        put(QStringLiteral("substr("));
        call(QStringLiteral("sarvo_datetime"), {&e});
        return put(QStringLiteral(", 1, 10)"));
    default:
        return expr(e);
    }
}

void SqliteRenderer::cast(const Expr& e) {
    const DataType& type = *e.dataType;
    const auto& [value, from, to, style, what] = conversion(e);
    auto refuseStyle = [&] { refuseConvertStyle(e, style); };
    switch (to) {
    case SqlType::Integer:
        return call(QStringLiteral("sarvo_int"), {&value});
    case SqlType::Decimal:
        if (type.name == QLatin1String("float") || type.name == QLatin1String("real"))
            return call(QStringLiteral("sarvo_real"), {&value});
        put(QStringLiteral("round("));
        call(QStringLiteral("sarvo_real"), {&value});
        if (type.name.endsWith(QLatin1String("money")))
            put(QStringLiteral(", 4)"));
        else
            put(QStringLiteral(", %1)").arg(
                type.args.size() > 1 ? inlineNumber(type.args[1], type.argTokens[1]) : QStringLiteral("0")));
        return;
    case SqlType::Date:
    case SqlType::DateTime: {
        static const QList<int> readable{0, 20, 21, 23, 102, 111, 112, 120, 121, 126};
        if (style >= 0 && !readable.contains(style)) refuseStyle();
        if (from == to) return expr(value);
        if (to == SqlType::Date && from == SqlType::DateTime) {
            put(QStringLiteral("substr("));
            expr(value);
            return put(QStringLiteral(", 1, 10)"));
        }
        return convert(value, from, to);
    }
    default:
        break;
    }
    // To text: the value as text, then the type's length (30 when none is given).
    auto asText = [&] {
        if (TSqlSemantics::isTemporal(from)) {
            if (style < 0 && from == SqlType::DateTime)
                unsupported(QStringLiteral("%1 of a date and time to text without a style").arg(what),
                            e.position);
            const TSqlSemantics::DateStyle* format = TSqlSemantics::dateStyle(style < 0 ? 23 : style);
            if (!format) refuseStyle();
            put(QStringLiteral("strftime('%1', ").arg(QLatin1String(format->strftime)));
            expr(value);
            return put(QStringLiteral(")"));
        }
        if (style >= 0 && TSqlSemantics::isNumeric(from)) refuseStyle();
        if (TSqlSemantics::isNumeric(from)) {
            put(QStringLiteral("CAST("));
            expr(value);
            return put(QStringLiteral(" AS TEXT)"));
        }
        expr(value);
    };
    const bool fixed = type.name == QLatin1String("char") || type.name == QLatin1String("nchar");
    const bool unbounded =
        type.max || type.name == QLatin1String("text") || type.name == QLatin1String("ntext");
    if (unbounded) return asText();
    const QString length = type.args.empty() ? QStringLiteral("%1").arg(fixed ? 1 : 30)
                                             : inlineNumber(type.args[0], type.argTokens[0]);
    put(QStringLiteral("substr("));
    asText();
    // char(n) is padded with blanks to its length.
    if (fixed) put(QStringLiteral(" || printf('%") + length + QStringLiteral("s', '')"));
    put(QStringLiteral(", 1, %1)").arg(length));
}

void SqliteRenderer::function(const Expr& e) {
    const QString& name = e.text;
    const size_t n = e.children.size();
    auto arg = [&](size_t i) -> const Expr& { return *e.children[i]; };
    auto arity = [&](size_t lo, size_t hi) {
        if (n < lo || n > hi)
            unsupported(QStringLiteral("%1 with %2 arguments").arg(name.toUpper()).arg(n), e.position);
    };
    auto same = [&](const QString& sqliteName) {
        std::vector<const Expr*> args;
        for (const ExprPtr& c : e.children)
            args.push_back(c.get());
        call(sqliteName, args);
    };
    if (name == QLatin1String("upper") || name == QLatin1String("lower")) {
        arity(1, 1);
        return same(QStringLiteral("sarvo_") + name);
    }
    if (name == QLatin1String("ltrim") || name == QLatin1String("rtrim") || name == QLatin1String("abs")) {
        arity(1, 1);
        return same(name);
    }
    if (name == QLatin1String("len")) {
        arity(1, 1);
        put(QStringLiteral("length(rtrim("));
        expr(arg(0));
        return put(QStringLiteral("))"));
    }
    if (name == QLatin1String("substring")) {
        arity(3, 3);
        return same(QStringLiteral("substr"));
    }
    if (name == QLatin1String("left")) {
        arity(2, 2);
        put(QStringLiteral("substr("));
        expr(arg(0));
        put(QStringLiteral(", 1, "));
        expr(arg(1));
        return put(QStringLiteral(")"));
    }
    if (name == QLatin1String("right")) {
        // The last n characters: from max(length - n + 1, 1); none for n = 0.
        arity(2, 2);
        put(QStringLiteral("substr("));
        expr(arg(0));
        put(QStringLiteral(", max(length("));
        expr(arg(0));
        put(QStringLiteral(") - "));
        expr(arg(1));
        return put(QStringLiteral(" + 1, 1))"));
    }
    if (name == QLatin1String("charindex")) {
        arity(2, 3);
        return same(QStringLiteral("sarvo_charindex"));
    }
    if (name == QLatin1String("replace")) {
        arity(3, 3);
        return same(QStringLiteral("sarvo_replace"));
    }
    if (name == QLatin1String("isnull") || name == QLatin1String("coalesce")) {
        if (name == QLatin1String("isnull")) arity(2, 2);
        if (n < 2) arity(2, 2);
        // ISNULL takes its first argument's type, COALESCE the highest: the others convert.
        const SqlType t = name == QLatin1String("isnull") ? typeOf(arg(0)) : typeOf(e);
        put(name == QLatin1String("isnull") ? QStringLiteral("ifnull(") : QStringLiteral("coalesce("));
        for (size_t i = 0; i < n; ++i) {
            if (i) put(QStringLiteral(", "));
            operand(arg(i), t);
        }
        return put(QStringLiteral(")"));
    }
    if (name == QLatin1String("count") || name == QLatin1String("max") || name == QLatin1String("min") ||
        name == QLatin1String("sum") || name == QLatin1String("avg")) {
        arity(1, 1);
        return same(name);
    }
    if (name == QLatin1String("getdate")) {
        arity(0, 0);
        return put(QStringLiteral("strftime('%Y-%m-%d %H:%M:%f', 'now', 'localtime')"));
    }
    if (name == QLatin1String("year") || name == QLatin1String("month") || name == QLatin1String("day")) {
        arity(1, 1);
        const QString part = name == QLatin1String("year")    ? QStringLiteral("%Y")
                             : name == QLatin1String("month") ? QStringLiteral("%m")
                                                              : QStringLiteral("%d");
        put(QStringLiteral("CAST(strftime('%1', ").arg(part));
        operand(arg(0), typeOf(arg(0)) == SqlType::Date ? SqlType::Date : SqlType::DateTime);
        return put(QStringLiteral(") AS INTEGER)"));
    }
    unsupported(QStringLiteral("the function %1").arg(name.toUpper()), e.position);
}

} // namespace sarvo::db
