// The renderer's shared part: statements, clauses and the server's meaning of expressions; see
// TSqlRenderer.h. The engines' own forms are in SqliteRenderer, PostgresRenderer and
// SqlServerRenderer.
#include "host/db/TSqlRenderer.h"

#include "host/db/LikePattern.h"
#include "host/db/PostgresRenderer.h"
#include "host/db/SqlServerRenderer.h"
#include "host/db/SqliteRenderer.h"
#include "runtime/RuntimeError.h"

namespace sarvo::db {

using namespace ast;

namespace {

SqlValue numberValue(const QString& text) {
    bool ok = false;
    const qint64 i = text.toLongLong(&ok);
    return ok ? SqlValue::ofInteger(i) : SqlValue::ofReal(text.toDouble());
}

bool isPlainName(const QString& name) {
    if (name.isEmpty()) return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
        if (!letter && (i == 0 || c < '0' || c > '9')) return false;
    }
    return true;
}

// The conjuncts of an AND chain, through parentheses.
void conjuncts(const Expr& e, std::vector<const Expr*>& out) {
    if (e.kind == Expr::Kind::Paren) return conjuncts(*e.children[0], out);
    if (e.kind == Expr::Kind::Binary && e.op == QLatin1String("AND")) {
        conjuncts(*e.children[0], out);
        conjuncts(*e.children[1], out);
        return;
    }
    out.push_back(&e);
}

// The account set indexes its text by code and class (code: year, grade, class, code; the
// temporary tables: code); a range on another column would cost a probe and serve nothing.
bool isIndexedColumn(const QString& name) {
    return name.compare(QLatin1String("ccode"), Qt::CaseInsensitive) == 0 ||
           name.compare(QLatin1String("cclass"), Qt::CaseInsensitive) == 0;
}

// A value that fixes a number column for an index range: a number, or the caller's ? (the host's
// "iYear = ?").
bool isFixedValue(const Expr& e) {
    if (e.kind == Expr::Kind::Unary && e.op == QLatin1String("-")) return isFixedValue(*e.children[0]);
    return e.kind == Expr::Kind::Number || e.kind == Expr::Kind::Parameter;
}

} // namespace

std::unique_ptr<TSqlRenderer> TSqlRenderer::create(const Dialect& d, const SchemaInfo* schema,
                                                   const TranslatorOptions& o, const QString& source) {
    switch (d.family) {
    case Dialect::Family::Sqlite:
        return std::make_unique<SqliteRenderer>(d, schema, o, source);
    case Dialect::Family::Postgresql:
        return std::make_unique<PostgresRenderer>(d, schema, o, source);
    case Dialect::Family::SqlServer:
        return std::make_unique<SqlServerRenderer>(d, schema, o, source);
    }
    return nullptr;
}

TSqlRenderer::TSqlRenderer(const Dialect& d, const SchemaInfo* schema, const TranslatorOptions& o,
                           const QString& source)
    : m_d(d), m_schema(schema), m_o(o), m_source(source), m_sem(schema, m_scopes) {
    m_w.dialect = &d;
    m_w.bind = o.bindLiterals;
}

// A ? placeholder: bound whatever the options, the caller's value filled in later.
void TSqlRenderer::Writer::parameter(int token) {
    step.text += QLatin1Char('?');
    step.params.push_back(SqlValue());
    step.paramTokens.push_back(token);
    step.sql += dialect->placeholder == Dialect::Placeholder::Numbered
                    ? QStringLiteral("$%1").arg(step.params.size())
                    : QStringLiteral("?");
}

void TSqlRenderer::Writer::value(const SqlValue& v, const QString& literal, int token) {
    step.text += literal;
    if (!bind) {
        step.sql += literal;
        return;
    }
    step.params.push_back(v);
    step.paramTokens.push_back(token);
    step.sql += dialect->placeholder == Dialect::Placeholder::Numbered
                    ? QStringLiteral("$%1").arg(step.params.size())
                    : QStringLiteral("?");
}

void TSqlRenderer::unsupported(const QString& construct, int position) const {
    raise(ErrorCode::DatabaseError, QStringLiteral("Cannot render %1 at position %2 for this database in: %3")
                                        .arg(construct)
                                        .arg(position + 1)
                                        .arg(m_source));
}

Rendering TSqlRenderer::finish(Rendering::Kind kind) {
    Rendering r;
    r.kind = kind;
    r.inlineTokens = m_inlineTokens;
    r.steps.push_back(std::move(m_w.step));
    m_w.step = {};
    return r;
}

// ---- statements -------------------------------------------------------------------------------

Rendering TSqlRenderer::statement(const Statement& s) {
    switch (s.kind) {
    case Statement::Kind::Select:
        return s.select->into ? selectInto(s) : query(s);
    case Statement::Kind::Insert:
        return insert(s);
    case Statement::Kind::Delete:
        return deleteFrom(s);
    case Statement::Kind::Update:
        return update(s);
    case Statement::Kind::DropTable:
        return dropTable(s);
    case Statement::Kind::IfExists:
        return conditionalInsert(s);
    }
    unsupported(QStringLiteral("this statement"), s.position);
}

Rendering TSqlRenderer::query(const Statement& s) {
    select(*s.select);
    return finish(Rendering::Kind::Query);
}

Rendering TSqlRenderer::selectInto(const Statement& s) {
    const Select& sel = *s.select;
    const ObjectName& target = *sel.into;
    if (m_d.tempTables == Dialect::TempTables::SelectInto) {
        select(sel);
    } else {
        put((target.temp ? m_d.tempTableCreate : QStringLiteral("CREATE TABLE")) + QLatin1Char(' ') +
            identifier(target.name, true) + QStringLiteral(" AS "));
        select(sel);
    }
    Rendering r = finish(Rendering::Kind::SelectInto);
    r.table = target.name;
    r.tableIsTemp = target.temp;
    if (target.temp && m_o.indexTempTables && m_d.indexTempTables) tempIndexSteps(sel, r);
    if (target.temp && m_d.deferTempFill) deferredSteps(sel, r);
    return r;
}

// Only a plain select * from one table: its rows are the table's, so the codes alone are the same
// select with one column, and filling the empty table later gives the same rows, in the same order,
// under the same snapshot.
void TSqlRenderer::deferredSteps(const Select& s, Rendering& r) {
    const bool plainStar = s.items.size() == 1 && !s.items[0].expr && s.items[0].starQualifier.isEmpty();
    if (!plainStar || s.distinct || s.top || !s.groupBy.empty() || s.having || s.from.size() != 1) return;
    QString code;
    for (const QString& c : m_sem.resultColumns(s))
        if (c.compare(QLatin1String("ccode"), Qt::CaseInsensitive) == 0) code = c;
    if (code.isEmpty()) return;
    auto step = [&](RenderedStep::Deferred role) {
        RenderedStep done = std::exchange(m_w.step, RenderedStep());
        done.deferred = role;
        r.steps.push_back(std::move(done));
    };
    const ObjectName& target = *s.into;
    put(m_d.tempTableCreate + QLatin1Char(' ') + identifier(target.name, true) + QStringLiteral(" AS "));
    select(s);
    put(QStringLiteral(" LIMIT 0"));
    step(RenderedStep::Deferred::Create);
    put(QStringLiteral("INSERT INTO ") + tableName(target) + QLatin1Char(' '));
    select(s);
    step(RenderedStep::Deferred::Fill);
    m_onlyColumn = code;
    select(s);
    step(RenderedStep::Deferred::Codes);
}

// The prefix join of the hierarchy load looks rows of the temporary table up by ccode; an index
// turns each lookup into a range scan.
void TSqlRenderer::tempIndexSteps(const Select& s, Rendering& r) {
    const ObjectName& target = *s.into;
    for (const QString& c : m_sem.resultColumns(s)) {
        if (c.compare(QLatin1String("ccode"), Qt::CaseInsensitive) != 0) continue;
        RenderedStep step;
        step.sql = step.text =
            m_d.tempIndexCreate.arg(identifier(target.name + QStringLiteral("$ccode"), true),
                                    identifier(target.name, true), tempIndexExpression(c));
        step.tempIndex = true;
        r.steps.push_back(step);
        return;
    }
}

void TSqlRenderer::insertHead(const Statement& s) {
    put(QStringLiteral("INSERT INTO ") + tableName(s.table));
    if (!s.columns.isEmpty()) {
        QStringList cols;
        for (qsizetype i = 0; i < s.columns.size(); ++i)
            cols << identifier(s.columns[i], s.columnsQuoted[static_cast<size_t>(i)]);
        put(QStringLiteral(" (") + cols.join(QStringLiteral(", ")) + QLatin1Char(')'));
    }
}

void TSqlRenderer::valuesRow(const std::vector<ExprPtr>& row) {
    put(QStringLiteral("("));
    list(row);
    put(QStringLiteral(")"));
}

Rendering TSqlRenderer::insert(const Statement& s) {
    insertHead(s);
    if (s.select) {
        put(QStringLiteral(" "));
        select(*s.select);
    } else {
        put(QStringLiteral(" VALUES "));
        for (size_t i = 0; i < s.rows.size(); ++i) {
            if (i) put(QStringLiteral(", "));
            valuesRow(s.rows[i]);
        }
    }
    return finish(Rendering::Kind::Insert);
}

// IF [NOT] EXISTS (query) BEGIN INSERT ... VALUES (...) END: the test alone first, then, only
// when it holds, one INSERT whose row is selected only when the condition (still) holds. A false
// condition so writes nothing and needs no write lock; a true one inserts atomically.
Rendering TSqlRenderer::conditionalInsert(const Statement& s) {
    const Statement& body = *s.body;
    if (m_d.conditionalInsert == Dialect::ConditionalInsert::IfBatch) {
        put(s.negated ? QStringLiteral("IF NOT EXISTS (") : QStringLiteral("IF EXISTS ("));
        select(*s.select);
        put(QStringLiteral(") BEGIN "));
        Rendering inner = insert(body);
        m_w.step = std::move(inner.steps.front());
        put(QStringLiteral(" END"));
        return finish(Rendering::Kind::ConditionalInsert);
    }
    if (body.select || body.rows.size() != 1)
        unsupported(QStringLiteral("IF EXISTS around an INSERT of other than one row of values"),
                    body.position);
    put(s.negated ? QStringLiteral("SELECT 1 WHERE NOT EXISTS (")
                  : QStringLiteral("SELECT 1 WHERE EXISTS ("));
    select(*s.select);
    put(QStringLiteral(")"));
    RenderedStep test = std::exchange(m_w.step, RenderedStep());
    insertHead(body);
    put(QStringLiteral(" SELECT "));
    list(body.rows.front());
    put(s.negated ? QStringLiteral(" WHERE NOT EXISTS (") : QStringLiteral(" WHERE EXISTS ("));
    select(*s.select);
    put(QStringLiteral(")"));
    Rendering r = finish(Rendering::Kind::ConditionalInsert);
    r.steps.insert(r.steps.begin(), std::move(test));
    r.guarded = true;
    return r;
}

Rendering TSqlRenderer::deleteFrom(const Statement& s) {
    put(QStringLiteral("DELETE FROM ") + tableName(s.table));
    if (s.where) {
        m_scopes.push_back({{s.table.name, s.table.name, s.table.temp, nullptr}});
        planRanges({s.where.get()});
        put(QStringLiteral(" WHERE "));
        expr(*s.where);
        m_scopes.pop_back();
    }
    return finish(Rendering::Kind::Delete);
}

Rendering TSqlRenderer::update(const Statement& s) {
    m_scopes.push_back({{s.table.name, s.table.name, s.table.temp, nullptr}});
    put(QStringLiteral("UPDATE ") + tableName(s.table) + QStringLiteral(" SET "));
    for (qsizetype i = 0; i < s.columns.size(); ++i) {
        if (i) put(QStringLiteral(", "));
        put(identifier(s.columns[i], s.columnsQuoted[static_cast<size_t>(i)]) + QStringLiteral(" = "));
        expr(*s.assignments[static_cast<size_t>(i)]);
    }
    if (s.where) {
        planRanges({s.where.get()});
        put(QStringLiteral(" WHERE "));
        expr(*s.where);
    }
    m_scopes.pop_back();
    return finish(Rendering::Kind::Update);
}

// Dropping a table that does not exist fails, as on the server; IF EXISTS is the caller's way out.
Rendering TSqlRenderer::dropTable(const Statement& s) {
    put(QStringLiteral("DROP TABLE ") + (s.ifExists ? QStringLiteral("IF EXISTS ") : QString()) +
        tableName(s.table));
    Rendering r = finish(Rendering::Kind::DropTable);
    r.table = s.table.name;
    r.tableIsTemp = s.table.temp;
    return r;
}

// ---- select -----------------------------------------------------------------------------------

void TSqlRenderer::select(const Select& s) {
    const bool foldFirst = std::exchange(m_foldFirstItem, false);
    m_scopes.push_back(TSqlSemantics::scopeOf(s));
    std::vector<const Expr*> chains;
    if (s.where) chains.push_back(s.where.get());
    for (const Join& j : s.from)
        if (j.on && j.type == Join::Type::Inner) chains.push_back(j.on.get());
    planRanges(chains);
    put(QStringLiteral("SELECT "));
    if (s.distinct) put(QStringLiteral("DISTINCT "));
    topClause(s);
    m_foldFirstItem = foldFirst;
    selectItems(s);
    m_foldFirstItem = false;
    if (s.into && m_d.tempTables == Dialect::TempTables::SelectInto)
        put(QStringLiteral(" INTO ") + tableName(*s.into));
    fromClause(s);
    if (s.where) {
        put(QStringLiteral(" WHERE "));
        expr(*s.where);
    }
    if (!s.groupBy.empty()) {
        put(QStringLiteral(" GROUP BY "));
        const bool saved = std::exchange(m_inline, true);
        list(s.groupBy);
        m_inline = saved;
    }
    if (s.having) {
        put(QStringLiteral(" HAVING "));
        expr(*s.having);
    }
    orderBy(s);
    limitClause(s);
    m_scopes.pop_back();
}

void TSqlRenderer::topClause(const Select& s) {
    if (s.topPercent) unsupported(QStringLiteral("TOP ... PERCENT"), s.topPosition);
    if (s.topWithTies) unsupported(QStringLiteral("TOP ... WITH TIES"), s.topPosition);
    if (s.top && m_d.rowLimit == Dialect::RowLimit::TopClause) {
        put(QStringLiteral("TOP %1 ").arg(*s.top));
        m_inlineTokens.push_back(s.topToken);
    }
}

// Select Top n: a row limit at the end of the statement where the engine wants it there.
void TSqlRenderer::limitClause(const Select& s) {
    if (!s.top) return;
    if (m_d.rowLimit != Dialect::RowLimit::TopClause) m_inlineTokens.push_back(s.topToken);
    if (m_d.rowLimit == Dialect::RowLimit::LimitClause)
        put(QStringLiteral(" LIMIT %1").arg(*s.top));
    else if (m_d.rowLimit == Dialect::RowLimit::FetchFirst)
        put(QStringLiteral(" FETCH FIRST %1 ROWS ONLY").arg(*s.top));
}

void TSqlRenderer::selectItems(const Select& s) {
    if (!m_onlyColumn.isEmpty()) {
        put(identifier(std::exchange(m_onlyColumn, QString()), false));
        return;
    }
    const bool saved = std::exchange(m_inline, true);
    for (size_t i = 0; i < s.items.size(); ++i) {
        const SelectItem& item = s.items[i];
        if (i) put(QStringLiteral(", "));
        if (!item.expr) {
            if (item.starQualifier.isEmpty()) {
                put(QStringLiteral("*"));
            } else {
                Expr q(Expr::Kind::Column, s.position);
                q.parts = item.starQualifier;
                q.parts << QStringLiteral("*");
                q.quoted.assign(static_cast<size_t>(q.parts.size()), false);
                column(q);
            }
            continue;
        }
        if (i == 0 && m_foldFirstItem)
            foldedText(*item.expr, false);
        else
            expr(*item.expr);
        if (!item.alias.isEmpty()) put(QStringLiteral(" AS ") + identifier(item.alias, item.aliasQuoted));
    }
    m_inline = saved;
}

void TSqlRenderer::fromClause(const Select& s) {
    for (size_t i = 0; i < s.from.size(); ++i) {
        const Join& j = s.from[i];
        if (i == 0) {
            put(QStringLiteral(" FROM "));
        } else {
            switch (j.type) {
            case Join::Type::Comma:
                put(QStringLiteral(", "));
                break;
            case Join::Type::Inner:
                put(QStringLiteral(" INNER JOIN "));
                break;
            case Join::Type::Left:
                put(QStringLiteral(" LEFT JOIN "));
                break;
            case Join::Type::Right:
                put(QStringLiteral(" RIGHT JOIN "));
                break;
            case Join::Type::Full:
                put(QStringLiteral(" FULL JOIN "));
                break;
            case Join::Type::Cross:
                put(QStringLiteral(" CROSS JOIN "));
                break;
            }
        }
        tableRef(j.table);
        if (j.on) {
            put(QStringLiteral(" ON "));
            expr(*j.on);
        }
    }
}

void TSqlRenderer::tableRef(const TableRef& r) {
    if (r.derived) {
        put(QStringLiteral("("));
        select(*r.derived);
        put(QStringLiteral(")"));
    } else {
        put(tableName(r.name));
    }
    if (!r.alias.isEmpty()) put(QStringLiteral(" AS ") + identifier(r.alias, r.aliasQuoted));
}

void TSqlRenderer::orderBy(const Select& s) {
    if (s.orderBy.empty()) return;
    put(QStringLiteral(" ORDER BY "));
    const bool saved = std::exchange(m_inline, true); // ORDER BY 1 is a position, not a value
    for (size_t i = 0; i < s.orderBy.size(); ++i) {
        if (i) put(QStringLiteral(", "));
        expr(*s.orderBy[i].expr);
        if (s.orderBy[i].descending) put(QStringLiteral(" DESC"));
    }
    m_inline = saved;
}

QString TSqlRenderer::identifier(const QString& name, bool quoted) const {
    if (!quoted && isPlainName(name) && !(m_d.isKeyword && m_d.isKeyword(name))) return name;
    QString inner = name;
    inner.replace(m_d.quoteClose, QString(2, m_d.quoteClose));
    return m_d.quoteOpen + inner + m_d.quoteClose;
}

// tempdb..[name] and #name are the engine's temporary tables; dbo. is the default schema.
QString TSqlRenderer::tableName(const ObjectName& n) const {
    if (n.temp) return m_d.tempTableReference.arg(identifier(n.name, true));
    return identifier(n.name, n.quoted);
}

// ---- index ranges -----------------------------------------------------------------------------

void TSqlRenderer::planRanges(const std::vector<const Expr*>& chains) {
    if (!m_o.likeRanges) return;
    std::vector<const Expr*> all;
    for (const Expr* c : chains)
        conjuncts(*c, all);
    for (const Expr* c : all) {
        planConjunct(*c, all);
        if (rangesOrArms()) planOrArms(*c, all);
    }
}

void TSqlRenderer::planConjunct(const Expr& c, const std::vector<const Expr*>& all) {
    for (RangePlan& plan : rangePlans(c, all))
        if (canRange(plan)) {
            m_ranges[&c] = std::move(plan);
            return;
        }
}

// Each arm of an OR chain: its own conjuncts, with the conjuncts around the OR as their context.
void TSqlRenderer::planOrArms(const Expr& e, const std::vector<const Expr*>& outer) {
    if (e.kind == Expr::Kind::Paren) return planOrArms(*e.children[0], outer);
    if (e.kind != Expr::Kind::Binary || e.op != QLatin1String("OR")) return;
    for (const auto& side : e.children) {
        const Expr* arm = side.get();
        while (arm->kind == Expr::Kind::Paren)
            arm = arm->children[0].get();
        if (arm->kind == Expr::Kind::Binary && arm->op == QLatin1String("OR")) {
            planOrArms(*arm, outer);
            continue;
        }
        std::vector<const Expr*> inArm;
        conjuncts(*arm, inArm);
        std::vector<const Expr*> all = outer;
        all.insert(all.end(), inArm.begin(), inArm.end());
        for (const Expr* c : inArm)
            planConjunct(*c, all);
    }
}

bool TSqlRenderer::rangesColumn(const QString& name) const {
    return isIndexedColumn(name);
}

std::vector<TSqlRenderer::RangePlan> TSqlRenderer::rangePlans(const Expr& e,
                                                              const std::vector<const Expr*>& all) const {
    std::vector<RangePlan> plans;
    auto textColumn = [this](const Expr& c) -> const ScopeTable* {
        if (c.kind != Expr::Kind::Column || !rangesColumn(c.parts.last())) return nullptr;
        const ScopeTable* t = m_sem.tableOf(c);
        if (!t || t->table.isEmpty() || m_sem.typeOf(c) != SqlType::Text) return nullptr;
        return t;
    };
    auto add = [&](const Expr& col, const Expr& key, bool like, bool list = false) {
        const ScopeTable* t = textColumn(col);
        if (!t) return;
        if (list) {
            for (size_t i = 1; i < key.children.size(); ++i)
                if (m_sem.reads(*key.children[i], *t)) return;
        } else if (m_sem.reads(key, *t)) {
            return;
        }
        RangePlan plan;
        plan.column = &col;
        plan.key = &key;
        plan.table = t;
        plan.like = like;
        plan.list = list;
        // The conjuncts that fix a number column of the same table.
        for (const Expr* c : all) {
            if (c->kind != Expr::Kind::Binary || c->op != QLatin1String("=")) continue;
            for (int side = 0; side < 2; ++side) {
                const Expr& fixed = *c->children[static_cast<size_t>(side)];
                const Expr& value = *c->children[static_cast<size_t>(1 - side)];
                if (fixed.kind != Expr::Kind::Column || !isFixedValue(value)) continue;
                if (m_sem.tableOf(fixed) != t || !TSqlSemantics::isNumeric(m_sem.typeOf(fixed))) continue;
                plan.context.emplace_back(&fixed, &value);
                break;
            }
        }
        plans.push_back(std::move(plan));
    };
    auto keyFits = [this](const Expr& k) {
        const SqlType t = m_sem.typeOf(k);
        return t == SqlType::Text || t == SqlType::Unknown;
    };
    if (e.kind == Expr::Kind::Binary && e.op == QLatin1String("=")) {
        const Expr& a = *e.children[0];
        const Expr& b = *e.children[1];
        if (keyFits(b)) add(a, b, false);
        if (keyFits(a)) add(b, a, false);
    } else if (e.kind == Expr::Kind::In && !e.negated && !e.subquery) {
        // column IN (texts): every item a key. NOT IN keeps its own form (a null item there
        // makes the whole test unknown).
        for (size_t i = 1; i < e.children.size(); ++i)
            if (!keyFits(*e.children[i])) return plans;
        add(*e.children[0], e, false, true);
    } else if (e.kind == Expr::Kind::Like && !e.negated && e.children.size() == 2) {
        const Expr& key = *e.children[1];
        if (key.kind != Expr::Kind::String || LikePattern::startsFixed(key.text))
            add(*e.children[0], key, true);
    }
    return plans;
}

void TSqlRenderer::rangedTest(const Expr& e, const RangePlan& plan) {
    if (plan.list)
        inList(e);
    else if (plan.like)
        like(e);
    else
        binary(e);
}

// ---- expressions ------------------------------------------------------------------------------

void TSqlRenderer::expr(const Expr& e) {
    switch (e.kind) {
    case Expr::Kind::String:
        return stringLiteral(e);
    case Expr::Kind::Number:
        return number(e);
    case Expr::Kind::Null:
        return put(QStringLiteral("NULL"));
    case Expr::Kind::Column:
        return column(e);
    case Expr::Kind::Star:
        return put(QStringLiteral("*"));
    case Expr::Kind::Paren:
        return paren(e);
    case Expr::Kind::Unary:
        return unary(e);
    case Expr::Kind::Binary:
    case Expr::Kind::Like:
        if (const auto r = m_ranges.find(&e); r != m_ranges.end()) return rangedTest(e, r->second);
        return e.kind == Expr::Kind::Like ? like(e) : binary(e);
    case Expr::Kind::In:
        if (const auto r = m_ranges.find(&e); r != m_ranges.end()) return rangedTest(e, r->second);
        return inList(e);
    case Expr::Kind::Between:
        return between(e);
    case Expr::Kind::IsNull:
        return isNull(e);
    case Expr::Kind::Exists:
        return exists(e);
    case Expr::Kind::Subquery:
        return subquery(e);
    case Expr::Kind::Function:
        return function(e);
    case Expr::Kind::Case:
        return caseExpr(e);
    case Expr::Kind::Cast:
        return cast(e);
    case Expr::Kind::Variable:
        return variable(e);
    case Expr::Kind::Collate:
        return collate(e);
    case Expr::Kind::Parameter:
        return parameter(e);
    }
}

// N'...' and '...': the engine's text literal with quotes doubled, or a bound value.
void TSqlRenderer::stringLiteral(const Expr& e) {
    QString inner = e.text;
    inner.replace(QLatin1Char('\''), QLatin1String("''"));
    const QString literal = m_d.stringPrefix + QLatin1Char('\'') + inner + QLatin1Char('\'');
    if (m_inline) {
        m_inlineTokens.push_back(e.token);
        return put(literal);
    }
    m_w.value(SqlValue::ofText(e.text), literal, e.token);
}

void TSqlRenderer::number(const Expr& e) {
    if (m_inline) {
        m_inlineTokens.push_back(e.token);
        return put(e.text);
    }
    m_w.value(numberValue(e.text), e.text, e.token);
}

QString TSqlRenderer::inlineNumber(qint64 value, int token) {
    m_inlineTokens.push_back(token);
    return QString::number(value);
}

// code.ccode, [x].ccode, tempdb..[name].ccode, dbo.code.ccode.
void TSqlRenderer::column(const Expr& e) {
    const QString& name = e.parts.last();
    const QString col = name == QLatin1String("*") ? name : identifier(name, e.quoted.back());
    if (e.parts.size() == 1) return put(col);
    const QStringList qualifier = e.parts.mid(0, e.parts.size() - 1);
    if (qualifier.size() == 1) return put(identifier(qualifier[0], e.quoted[0]) + QLatin1Char('.') + col);
    // A multi-part qualifier names a table: database (tempdb only), schema (dbo only), table.
    const QString table = qualifier.last();
    const QString schema = qualifier.size() >= 2 ? qualifier[qualifier.size() - 2] : QString();
    const QString database = qualifier.size() >= 3 ? qualifier[0] : QString();
    if (!schema.isEmpty() && schema.compare(QLatin1String("dbo"), Qt::CaseInsensitive) != 0)
        unsupported(QStringLiteral("the schema %1").arg(schema), e.position);
    const bool temp = !database.isEmpty() || table.startsWith(QLatin1Char('#'));
    if (!database.isEmpty() && database.compare(QLatin1String("tempdb"), Qt::CaseInsensitive) != 0)
        unsupported(QStringLiteral("a name in another database (%1)").arg(database), e.position);
    const QString q = temp ? m_d.tempTableQualifier.arg(identifier(table, true))
                           : identifier(table, e.quoted[static_cast<size_t>(qualifier.size() - 1)]);
    put(q + QLatin1Char('.') + col);
}

void TSqlRenderer::paren(const Expr& e) {
    put(QStringLiteral("("));
    expr(*e.children[0]);
    put(QStringLiteral(")"));
}

void TSqlRenderer::unary(const Expr& e) {
    if (e.op == QLatin1String("NOT"))
        put(QStringLiteral("NOT "));
    else
        put(e.op);
    expr(*e.children[0]);
}

// The arms of an OR chain, left to right; false when one is not a plain LIKE test.
bool TSqlRenderer::plainLikeArms(const Expr& e, std::vector<const Expr*>& arms) const {
    if (e.kind == Expr::Kind::Binary && e.op == QLatin1String("OR"))
        return plainLikeArms(*e.children[0], arms) && plainLikeArms(*e.children[1], arms);
    if (e.kind != Expr::Kind::Like || e.negated || e.children.size() != 2 || m_ranges.count(&e)) return false;
    arms.push_back(&e);
    return true;
}

void TSqlRenderer::binary(const Expr& e) {
    if (e.op == QLatin1String("OR")) {
        std::vector<const Expr*> arms;
        if (plainLikeArms(e, arms) && likeAny(arms)) return;
    }
    if (e.op == QLatin1String("AND") || e.op == QLatin1String("OR")) {
        expr(*e.children[0]);
        put(QLatin1Char(' ') + e.op + QLatin1Char(' '));
        expr(*e.children[1]);
        return;
    }
    if (e.op == QLatin1String("+")) {
        const std::optional<bool> concat = m_sem.isConcatenation(e);
        if (!concat) unsupported(QStringLiteral("'+' between operands of unknown type"), e.position);
        if (*concat) return concatenation(e);
        return arithmetic(e);
    }
    static const QStringList others{QStringLiteral("-"), QStringLiteral("*"), QStringLiteral("/"),
                                    QStringLiteral("%")};
    if (others.contains(e.op)) return arithmetic(e);
    comparison(e);
}

// '+' between texts joins them; the engine's operator may bind tighter than arithmetic, so an
// operand that is itself an operation keeps its own parentheses.
void TSqlRenderer::concatenation(const Expr& e) {
    auto operand = [this](const Expr& c) {
        const bool wrap = c.kind == Expr::Kind::Binary &&
                          !(c.op == QLatin1String("+") && m_sem.isConcatenation(c).value_or(false));
        if (wrap) put(QStringLiteral("("));
        expr(c);
        if (wrap) put(QStringLiteral(")"));
    };
    operand(*e.children[0]);
    put(QLatin1Char(' ') + m_d.concatOperator + QLatin1Char(' '));
    operand(*e.children[1]);
}

// Numbers and text meet as numbers: the text is converted, and fails where it is no number.
void TSqlRenderer::arithmetic(const Expr& e) {
    const SqlType t = typeOf(e);
    if (TSqlSemantics::isTemporal(t))
        unsupported(QStringLiteral("arithmetic on a date ('%1')").arg(e.op), e.position);
    operand(*e.children[0], t);
    put(QLatin1Char(' ') + e.op + QLatin1Char(' '));
    operand(*e.children[1], t);
}

void TSqlRenderer::operand(const Expr& e, SqlType to) {
    const SqlType from = typeOf(e);
    if (TSqlSemantics::isNumeric(from) && TSqlSemantics::isTemporal(to))
        unsupported(QStringLiteral("a number where a date is expected"), e.position);
    if (TSqlSemantics::isTemporal(from) && TSqlSemantics::isNumeric(to))
        unsupported(QStringLiteral("a date where a number is expected"), e.position);
    const bool textToOther =
        from == SqlType::Text && (TSqlSemantics::isNumeric(to) || TSqlSemantics::isTemporal(to));
    const bool dateToTime = from == SqlType::Date && to == SqlType::DateTime;
    if (textToOther || dateToTime) return convert(e, from, to == SqlType::Boolean ? SqlType::Integer : to);
    expr(e);
}

void TSqlRenderer::comparison(const Expr& e) {
    QString op = e.op;
    if (op == QLatin1String("!=") || op == QLatin1String("<>"))
        op = m_d.notEqual;
    else if (op == QLatin1String("!<"))
        op = QStringLiteral(">=");
    else if (op == QLatin1String("!>"))
        op = QStringLiteral("<=");
    compareValues(*e.children[0], op, *e.children[1]);
}

// a op b with the server's meaning: texts under the collation, anything else as the higher of the
// two types with the other side converted.
void TSqlRenderer::compareValues(const Expr& a, const QString& op, const Expr& b) {
    const SqlType t = m_sem.comparisonType(typeOf(a), typeOf(b));
    if (t == SqlType::Text) return textComparison(a, op == m_d.notEqual ? QStringLiteral("<>") : op, b);
    operand(a, t);
    put(QLatin1Char(' ') + op + QLatin1Char(' '));
    operand(b, t);
}

void TSqlRenderer::like(const Expr& e) {
    if (e.negated) put(QStringLiteral("NOT "));
    likeTest(*e.children[0], *e.children[1], e.children.size() > 2 ? e.children[2].get() : nullptr);
}

// x IN (a, b): text compared under the collation, folded on both sides; numbers and dates with
// the text converted.
void TSqlRenderer::inList(const Expr& e) {
    const Expr& subject = *e.children[0];
    SqlType items = SqlType::Null;
    if (e.subquery) {
        items = SqlType::Unknown;
        if (!e.subquery->items.empty() && e.subquery->items.front().expr) {
            m_scopes.push_back(TSqlSemantics::scopeOf(*e.subquery));
            items = typeOf(*e.subquery->items.front().expr);
            m_scopes.pop_back();
        }
    } else {
        for (size_t i = 1; i < e.children.size(); ++i)
            items = TSqlSemantics::higher(items, typeOf(*e.children[i]));
    }
    const SqlType t = m_sem.comparisonType(typeOf(subject), items);
    const QString in = e.negated ? QStringLiteral(" NOT IN (") : QStringLiteral(" IN (");
    if (t == SqlType::Text) {
        foldedText(subject, true);
        put(in);
        if (e.subquery) {
            m_foldFirstItem = true;
            select(*e.subquery);
        } else {
            for (size_t i = 1; i < e.children.size(); ++i) {
                if (i > 1) put(QStringLiteral(", "));
                foldedText(*e.children[i], false);
            }
        }
        put(QStringLiteral(")"));
        return;
    }
    operand(subject, t);
    put(in);
    if (e.subquery) {
        select(*e.subquery);
    } else {
        for (size_t i = 1; i < e.children.size(); ++i) {
            if (i > 1) put(QStringLiteral(", "));
            operand(*e.children[i], t);
        }
    }
    put(QStringLiteral(")"));
}

void TSqlRenderer::between(const Expr& e) {
    const Expr& x = *e.children[0];
    const Expr& lo = *e.children[1];
    const Expr& hi = *e.children[2];
    const SqlType t = m_sem.comparisonType(typeOf(x), TSqlSemantics::higher(typeOf(lo), typeOf(hi)));
    if (t == SqlType::Text) {
        put(e.negated ? QStringLiteral("NOT (") : QStringLiteral("("));
        textComparison(x, QStringLiteral(">="), lo);
        put(QStringLiteral(" AND "));
        textComparison(x, QStringLiteral("<="), hi);
        put(QStringLiteral(")"));
        return;
    }
    operand(x, t);
    put(e.negated ? QStringLiteral(" NOT BETWEEN ") : QStringLiteral(" BETWEEN "));
    operand(lo, t);
    put(QStringLiteral(" AND "));
    operand(hi, t);
}

// CASE in its searched form, so that the simple form's tests compare as "=" does; the results are
// brought to the type of the whole.
void TSqlRenderer::caseExpr(const Expr& e) {
    const SqlType t = typeOf(e);
    put(QStringLiteral("CASE"));
    for (size_t i = 0; i + 1 < e.children.size(); i += 2) {
        put(QStringLiteral(" WHEN "));
        if (e.operand) {
            compareValues(*e.operand, QStringLiteral("="), *e.children[i]);
        } else {
            expr(*e.children[i]);
        }
        put(QStringLiteral(" THEN "));
        operand(*e.children[i + 1], t);
    }
    if (e.elseValue) {
        put(QStringLiteral(" ELSE "));
        operand(*e.elseValue, t);
    }
    put(QStringLiteral(" END"));
}

void TSqlRenderer::isNull(const Expr& e) {
    expr(*e.children[0]);
    put(e.negated ? QStringLiteral(" IS NOT NULL") : QStringLiteral(" IS NULL"));
}

void TSqlRenderer::exists(const Expr& e) {
    put(QStringLiteral("EXISTS ("));
    select(*e.subquery);
    put(QStringLiteral(")"));
}

void TSqlRenderer::subquery(const Expr& e) {
    put(QStringLiteral("("));
    select(*e.subquery);
    put(QStringLiteral(")"));
}

void TSqlRenderer::variable(const Expr& e) {
    unsupported(QStringLiteral("the variable %1").arg(e.text), e.position);
}

void TSqlRenderer::collate(const Expr& e) {
    unsupported(QStringLiteral("COLLATE %1").arg(e.text), e.position);
}

void TSqlRenderer::list(const std::vector<ExprPtr>& items, size_t from) {
    for (size_t i = from; i < items.size(); ++i) {
        if (i > from) put(QStringLiteral(", "));
        expr(*items[i]);
    }
}

TSqlRenderer::Conversion TSqlRenderer::conversion(const Expr& e) {
    const DataType& type = *e.dataType;
    const QString what = e.text.toUpper();
    if (e.text.startsWith(QLatin1String("try_"))) unsupported(what, e.position);
    const Expr& value = *e.children[0];
    const SqlType from = typeOf(value);
    const SqlType to = TSqlSemantics::typeOf(type);
    int style = -1;
    if (e.children.size() > 1) {
        const Expr& s = *e.children[1];
        if (s.kind != Expr::Kind::Number)
            unsupported(QStringLiteral("CONVERT with a style that is not a number"), s.position);
        style = inlineNumber(s.text.toLongLong(), s.token).toInt();
    }
    if (to == SqlType::Unknown) unsupported(QStringLiteral("%1 to %2").arg(what, type.name), type.position);
    if (TSqlSemantics::isTemporal(from) && TSqlSemantics::isNumeric(to))
        unsupported(QStringLiteral("%1 of a date to a number").arg(what), e.position);
    if (TSqlSemantics::isNumeric(from) && TSqlSemantics::isTemporal(to))
        unsupported(QStringLiteral("%1 of a number to a date").arg(what), e.position);
    if (TSqlSemantics::isNumeric(to) && style >= 0) refuseConvertStyle(e, style);
    return {value, from, to, style, what};
}

void TSqlRenderer::refuseConvertStyle(const Expr& e, int style) const {
    unsupported(QStringLiteral("CONVERT with style %1").arg(style), e.children[1]->position);
}

} // namespace sarvo::db
