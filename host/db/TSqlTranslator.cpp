// The renderer: one function per construct of TSqlAst.h; see TSqlTranslator.h.
#include "host/db/TSqlTranslator.h"

#include "host/db/LikePattern.h"
#include "host/db/TSqlParser.h"
#include "host/db/TSqlTokenizer.h"
#include "runtime/RuntimeError.h"

#include <QRegularExpression>

namespace sarvo::db {

using namespace ast;

QString Rendering::text() const {
    QStringList parts;
    for (const RenderedStep& s : steps)
        parts << s.text;
    return parts.join(QStringLiteral(";\n"));
}

QString Rendering::kindName(Kind kind) {
    switch (kind) {
    case Kind::Query:
        return QStringLiteral("query");
    case Kind::SelectInto:
        return QStringLiteral("select-into");
    case Kind::Insert:
        return QStringLiteral("insert");
    case Kind::ConditionalInsert:
        return QStringLiteral("if-not-exists-insert");
    case Kind::Delete:
        return QStringLiteral("delete");
    case Kind::Update:
        return QStringLiteral("update");
    case Kind::DropTable:
        return QStringLiteral("drop-table");
    }
    return {};
}

namespace {

SqlValue numberValue(const QString& text) {
    bool ok = false;
    const qint64 i = text.toLongLong(&ok);
    return ok ? SqlValue::ofInteger(i) : SqlValue::ofReal(text.toDouble());
}

// What the value of an expression is, as far as rendering needs to know.
enum class ValueType { Unknown, Text, Numeric, Null };

// Accumulates one step: the statement with placeholders and the same with literals written in.
struct Writer {
    const Dialect* dialect = nullptr;
    bool bind = true;
    RenderedStep step;

    void put(const QString& s) {
        step.sql += s;
        step.text += s;
    }
    // A ? placeholder: bound whatever the options, the caller's value filled in later.
    void parameter(int token) {
        step.text += QLatin1Char('?');
        step.params.push_back(SqlValue());
        step.paramTokens.push_back(token);
        step.sql += dialect->placeholder == Dialect::Placeholder::Numbered
                        ? QStringLiteral("$%1").arg(step.params.size())
                        : QStringLiteral("?");
    }
    void value(const SqlValue& v, const QString& literal, int token) {
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
};

// A table visible to column references of one SELECT (or of a DELETE or UPDATE).
struct ScopeTable {
    QString exposed; // alias, or the table's own name
    QString table;   // empty for a derived table
    bool temp = false;
};
using Scope = std::vector<ScopeTable>;

class Renderer {
public:
    Renderer(const Dialect& d, const SchemaInfo* schema, const TranslatorOptions& o, const QString& source)
        : m_d(d), m_schema(schema), m_o(o), m_source(source) {
        m_w.dialect = &d;
        m_w.bind = o.bindLiterals;
    }

    Rendering statement(const Statement& s);

private:
    // statements
    Rendering query(const Statement& s);
    Rendering selectInto(const Statement& s);
    Rendering insert(const Statement& s);
    Rendering conditionalInsert(const Statement& s);
    Rendering deleteFrom(const Statement& s);
    Rendering update(const Statement& s);
    Rendering dropTable(const Statement& s);
    // parts of a statement
    void select(const Select& s);
    void topClause(const Select& s);
    void limitClause(const Select& s);
    void selectItems(const Select& s);
    void fromClause(const Select& s);
    void tableRef(const TableRef& r);
    void orderBy(const Select& s);
    void insertHead(const Statement& s);
    void valuesRow(const std::vector<ExprPtr>& row);
    void tempIndexSteps(const Select& s, Rendering& r);
    QString tableName(const ObjectName& n) const;
    QString identifier(const QString& name, bool quoted) const;
    // expressions
    void expr(const Expr& e);
    void stringLiteral(const Expr& e);
    void number(const Expr& e);
    void column(const Expr& e);
    void paren(const Expr& e);
    void unary(const Expr& e);
    void binary(const Expr& e);
    void concatenation(const Expr& e);
    void comparison(const Expr& e);
    void like(const Expr& e);
    void inList(const Expr& e);
    void between(const Expr& e);
    void isNull(const Expr& e);
    void exists(const Expr& e);
    void subquery(const Expr& e);
    void function(const Expr& e);
    void list(const std::vector<ExprPtr>& items, size_t from = 0);
    // what the tree means
    ValueType typeOf(const Expr& e) const;
    bool isConcatenation(const Expr& e) const;
    const ScopeTable* resolveQualifier(const QStringList& qualifier) const;
    ValueType columnType(const Expr& e) const;
    Scope scopeOf(const Select& s) const;
    QStringList resultColumns(const Select& s) const;
    [[noreturn]] void unsupported(const QString& construct, int position) const;

    Rendering finish(Rendering::Kind kind) {
        Rendering r;
        r.kind = kind;
        r.inlineTokens = m_inlineTokens;
        r.steps.push_back(std::move(m_w.step));
        m_w.step = {};
        return r;
    }

    const Dialect& m_d;
    const SchemaInfo* m_schema;
    const TranslatorOptions& m_o;
    const QString& m_source;
    Writer m_w;
    std::vector<Scope> m_scopes;
    bool m_inline = false; // literals written in: select lists, ORDER BY positions
    std::vector<int> m_inlineTokens;
};

void Renderer::unsupported(const QString& construct, int position) const {
    raise(ErrorCode::DatabaseError, QStringLiteral("Cannot render %1 at position %2 for this database in: %3")
                                        .arg(construct)
                                        .arg(position + 1)
                                        .arg(m_source));
}

// ---- statements -------------------------------------------------------------------------------

Rendering Renderer::statement(const Statement& s) {
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

Rendering Renderer::query(const Statement& s) {
    select(*s.select);
    return finish(Rendering::Kind::Query);
}

Rendering Renderer::selectInto(const Statement& s) {
    const Select& sel = *s.select;
    const ObjectName& target = *sel.into;
    if (m_d.tempTables == Dialect::TempTables::SelectInto) {
        select(sel);
    } else {
        m_w.put((target.temp ? m_d.tempTableCreate : QStringLiteral("CREATE TABLE")) + QLatin1Char(' ') +
                identifier(target.name, true) + QStringLiteral(" AS "));
        select(sel);
    }
    Rendering r = finish(Rendering::Kind::SelectInto);
    r.table = target.name;
    r.tableIsTemp = target.temp;
    if (target.temp && m_o.indexTempTables && m_d.indexTempTables) tempIndexSteps(sel, r);
    return r;
}

// The prefix join of the hierarchy load looks rows of the temporary table up by ccode; an index
// turns each lookup into a range scan.
void Renderer::tempIndexSteps(const Select& s, Rendering& r) {
    const ObjectName& target = *s.into;
    for (const QString& c : resultColumns(s)) {
        if (c.compare(QLatin1String("ccode"), Qt::CaseInsensitive) != 0) continue;
        RenderedStep step;
        step.sql = step.text =
            m_d.tempIndexCreate.arg(identifier(target.name + QStringLiteral("$ccode"), true),
                                    identifier(target.name, true), identifier(c, false));
        r.steps.push_back(step);
        return;
    }
}

void Renderer::insertHead(const Statement& s) {
    m_w.put(QStringLiteral("INSERT INTO ") + tableName(s.table));
    if (!s.columns.isEmpty()) {
        QStringList cols;
        for (qsizetype i = 0; i < s.columns.size(); ++i)
            cols << identifier(s.columns[i], s.columnsQuoted[static_cast<size_t>(i)]);
        m_w.put(QStringLiteral(" (") + cols.join(QStringLiteral(", ")) + QLatin1Char(')'));
    }
}

void Renderer::valuesRow(const std::vector<ExprPtr>& row) {
    m_w.put(QStringLiteral("("));
    list(row);
    m_w.put(QStringLiteral(")"));
}

Rendering Renderer::insert(const Statement& s) {
    insertHead(s);
    if (s.select) {
        m_w.put(QStringLiteral(" "));
        select(*s.select);
    } else {
        m_w.put(QStringLiteral(" VALUES "));
        for (size_t i = 0; i < s.rows.size(); ++i) {
            if (i) m_w.put(QStringLiteral(", "));
            valuesRow(s.rows[i]);
        }
    }
    return finish(Rendering::Kind::Insert);
}

// IF [NOT] EXISTS (query) BEGIN INSERT ... VALUES (...) END: the test alone first, then, only
// when it holds, one INSERT whose row is selected only when the condition (still) holds. A false
// condition so writes nothing and needs no write lock; a true one inserts atomically.
Rendering Renderer::conditionalInsert(const Statement& s) {
    const Statement& body = *s.body;
    if (m_d.conditionalInsert == Dialect::ConditionalInsert::IfBatch) {
        m_w.put(s.negated ? QStringLiteral("IF NOT EXISTS (") : QStringLiteral("IF EXISTS ("));
        select(*s.select);
        m_w.put(QStringLiteral(") BEGIN "));
        Rendering inner = insert(body);
        m_w.step = std::move(inner.steps.front());
        m_w.put(QStringLiteral(" END"));
        return finish(Rendering::Kind::ConditionalInsert);
    }
    if (body.select || body.rows.size() != 1)
        unsupported(QStringLiteral("IF EXISTS around an INSERT of other than one row of values"),
                    body.position);
    m_w.put(s.negated ? QStringLiteral("SELECT 1 WHERE NOT EXISTS (")
                      : QStringLiteral("SELECT 1 WHERE EXISTS ("));
    select(*s.select);
    m_w.put(QStringLiteral(")"));
    RenderedStep test = std::exchange(m_w.step, RenderedStep());
    insertHead(body);
    m_w.put(QStringLiteral(" SELECT "));
    list(body.rows.front());
    m_w.put(s.negated ? QStringLiteral(" WHERE NOT EXISTS (") : QStringLiteral(" WHERE EXISTS ("));
    select(*s.select);
    m_w.put(QStringLiteral(")"));
    Rendering r = finish(Rendering::Kind::ConditionalInsert);
    r.steps.insert(r.steps.begin(), std::move(test));
    r.guarded = true;
    return r;
}

Rendering Renderer::deleteFrom(const Statement& s) {
    m_w.put(QStringLiteral("DELETE FROM ") + tableName(s.table));
    if (s.where) {
        m_scopes.push_back({{s.table.name, s.table.name, s.table.temp}});
        m_w.put(QStringLiteral(" WHERE "));
        expr(*s.where);
        m_scopes.pop_back();
    }
    return finish(Rendering::Kind::Delete);
}

Rendering Renderer::update(const Statement& s) {
    m_scopes.push_back({{s.table.name, s.table.name, s.table.temp}});
    m_w.put(QStringLiteral("UPDATE ") + tableName(s.table) + QStringLiteral(" SET "));
    for (qsizetype i = 0; i < s.columns.size(); ++i) {
        if (i) m_w.put(QStringLiteral(", "));
        m_w.put(identifier(s.columns[i], s.columnsQuoted[static_cast<size_t>(i)]) + QStringLiteral(" = "));
        expr(*s.assignments[static_cast<size_t>(i)]);
    }
    if (s.where) {
        m_w.put(QStringLiteral(" WHERE "));
        expr(*s.where);
    }
    m_scopes.pop_back();
    return finish(Rendering::Kind::Update);
}

// Dropping a table that does not exist fails, as on the server; IF EXISTS is the caller's way out.
Rendering Renderer::dropTable(const Statement& s) {
    m_w.put(QStringLiteral("DROP TABLE ") + (s.ifExists ? QStringLiteral("IF EXISTS ") : QString()) +
            tableName(s.table));
    Rendering r = finish(Rendering::Kind::DropTable);
    r.table = s.table.name;
    r.tableIsTemp = s.table.temp;
    return r;
}

// ---- select -----------------------------------------------------------------------------------

void Renderer::select(const Select& s) {
    m_scopes.push_back(scopeOf(s));
    m_w.put(QStringLiteral("SELECT "));
    if (s.distinct) m_w.put(QStringLiteral("DISTINCT "));
    topClause(s);
    selectItems(s);
    if (s.into && m_d.tempTables == Dialect::TempTables::SelectInto)
        m_w.put(QStringLiteral(" INTO ") + tableName(*s.into));
    fromClause(s);
    if (s.where) {
        m_w.put(QStringLiteral(" WHERE "));
        expr(*s.where);
    }
    if (!s.groupBy.empty()) {
        m_w.put(QStringLiteral(" GROUP BY "));
        const bool saved = std::exchange(m_inline, true);
        list(s.groupBy);
        m_inline = saved;
    }
    if (s.having) {
        m_w.put(QStringLiteral(" HAVING "));
        expr(*s.having);
    }
    orderBy(s);
    limitClause(s);
    m_scopes.pop_back();
}

void Renderer::topClause(const Select& s) {
    if (s.top && m_d.rowLimit == Dialect::RowLimit::TopClause) {
        m_w.put(QStringLiteral("TOP %1 ").arg(*s.top));
        m_inlineTokens.push_back(s.topToken);
    }
}

// Select Top n: a row limit at the end of the statement where the engine wants it there.
void Renderer::limitClause(const Select& s) {
    if (!s.top) return;
    if (m_d.rowLimit != Dialect::RowLimit::TopClause) m_inlineTokens.push_back(s.topToken);
    if (m_d.rowLimit == Dialect::RowLimit::LimitClause)
        m_w.put(QStringLiteral(" LIMIT %1").arg(*s.top));
    else if (m_d.rowLimit == Dialect::RowLimit::FetchFirst)
        m_w.put(QStringLiteral(" FETCH FIRST %1 ROWS ONLY").arg(*s.top));
}

void Renderer::selectItems(const Select& s) {
    const bool saved = std::exchange(m_inline, true);
    for (size_t i = 0; i < s.items.size(); ++i) {
        const SelectItem& item = s.items[i];
        if (i) m_w.put(QStringLiteral(", "));
        if (!item.expr) {
            if (item.starQualifier.isEmpty()) {
                m_w.put(QStringLiteral("*"));
            } else {
                Expr q(Expr::Kind::Column, s.position);
                q.parts = item.starQualifier;
                q.parts << QStringLiteral("*");
                q.quoted.assign(static_cast<size_t>(q.parts.size()), false);
                column(q);
            }
            continue;
        }
        expr(*item.expr);
        if (!item.alias.isEmpty()) m_w.put(QStringLiteral(" AS ") + identifier(item.alias, item.aliasQuoted));
    }
    m_inline = saved;
}

void Renderer::fromClause(const Select& s) {
    for (size_t i = 0; i < s.from.size(); ++i) {
        const Join& j = s.from[i];
        if (i == 0)
            m_w.put(QStringLiteral(" FROM "));
        else if (j.type == Join::Type::Comma)
            m_w.put(QStringLiteral(", "));
        else if (j.type == Join::Type::Inner)
            m_w.put(QStringLiteral(" INNER JOIN "));
        else if (j.type == Join::Type::Left)
            m_w.put(QStringLiteral(" LEFT JOIN "));
        else
            m_w.put(QStringLiteral(" CROSS JOIN "));
        tableRef(j.table);
        if (j.on) {
            m_w.put(QStringLiteral(" ON "));
            expr(*j.on);
        }
    }
}

void Renderer::tableRef(const TableRef& r) {
    if (r.derived) {
        m_w.put(QStringLiteral("("));
        select(*r.derived);
        m_w.put(QStringLiteral(")"));
    } else {
        m_w.put(tableName(r.name));
    }
    if (!r.alias.isEmpty()) m_w.put(QStringLiteral(" AS ") + identifier(r.alias, r.aliasQuoted));
}

void Renderer::orderBy(const Select& s) {
    if (s.orderBy.empty()) return;
    m_w.put(QStringLiteral(" ORDER BY "));
    const bool saved = std::exchange(m_inline, true); // ORDER BY 1 is a position, not a value
    for (size_t i = 0; i < s.orderBy.size(); ++i) {
        if (i) m_w.put(QStringLiteral(", "));
        expr(*s.orderBy[i].expr);
        if (s.orderBy[i].descending) m_w.put(QStringLiteral(" DESC"));
    }
    m_inline = saved;
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

QString Renderer::identifier(const QString& name, bool quoted) const {
    if (!quoted && isPlainName(name) && !(m_d.isKeyword && m_d.isKeyword(name))) return name;
    QString inner = name;
    inner.replace(m_d.quoteClose, QString(2, m_d.quoteClose));
    return m_d.quoteOpen + inner + m_d.quoteClose;
}

// tempdb..[name] and #name are the engine's temporary tables; dbo. is the default schema.
QString Renderer::tableName(const ObjectName& n) const {
    if (n.temp) return m_d.tempTableReference.arg(identifier(n.name, true));
    return identifier(n.name, n.quoted);
}

// ---- expressions ------------------------------------------------------------------------------

void Renderer::expr(const Expr& e) {
    switch (e.kind) {
    case Expr::Kind::String:
        return stringLiteral(e);
    case Expr::Kind::Number:
        return number(e);
    case Expr::Kind::Null:
        return m_w.put(QStringLiteral("NULL"));
    case Expr::Kind::Column:
        return column(e);
    case Expr::Kind::Star:
        return m_w.put(QStringLiteral("*"));
    case Expr::Kind::Paren:
        return paren(e);
    case Expr::Kind::Unary:
        return unary(e);
    case Expr::Kind::Binary:
        return binary(e);
    case Expr::Kind::Like:
        return like(e);
    case Expr::Kind::In:
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
    case Expr::Kind::Parameter:
        return m_w.parameter(e.token);
    }
}

// N'...' and '...': the engine's text literal with quotes doubled, or a bound value.
void Renderer::stringLiteral(const Expr& e) {
    QString inner = e.text;
    inner.replace(QLatin1Char('\''), QLatin1String("''"));
    const QString literal = m_d.stringPrefix + QLatin1Char('\'') + inner + QLatin1Char('\'');
    if (m_inline) {
        m_inlineTokens.push_back(e.token);
        return m_w.put(literal);
    }
    m_w.value(SqlValue::ofText(e.text), literal, e.token);
}

void Renderer::number(const Expr& e) {
    if (m_inline) {
        m_inlineTokens.push_back(e.token);
        return m_w.put(e.text);
    }
    m_w.value(numberValue(e.text), e.text, e.token);
}

// code.ccode, [x].ccode, tempdb..[name].ccode, dbo.code.ccode.
void Renderer::column(const Expr& e) {
    const QString& name = e.parts.last();
    const QString col = name == QLatin1String("*") ? name : identifier(name, e.quoted.back());
    if (e.parts.size() == 1) return m_w.put(col);
    const QStringList qualifier = e.parts.mid(0, e.parts.size() - 1);
    if (qualifier.size() == 1) return m_w.put(identifier(qualifier[0], e.quoted[0]) + QLatin1Char('.') + col);
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
    m_w.put(q + QLatin1Char('.') + col);
}

void Renderer::paren(const Expr& e) {
    m_w.put(QStringLiteral("("));
    expr(*e.children[0]);
    m_w.put(QStringLiteral(")"));
}

void Renderer::unary(const Expr& e) {
    if (e.op == QLatin1String("NOT"))
        m_w.put(QStringLiteral("NOT "));
    else
        m_w.put(e.op);
    expr(*e.children[0]);
}

void Renderer::binary(const Expr& e) {
    if (e.op == QLatin1String("AND") || e.op == QLatin1String("OR")) {
        expr(*e.children[0]);
        m_w.put(QLatin1Char(' ') + e.op + QLatin1Char(' '));
        expr(*e.children[1]);
        return;
    }
    if (e.op == QLatin1String("+") && isConcatenation(e)) return concatenation(e);
    static const QStringList arithmetic{QStringLiteral("+"), QStringLiteral("-"), QStringLiteral("*"),
                                        QStringLiteral("/"), QStringLiteral("%")};
    if (arithmetic.contains(e.op)) {
        expr(*e.children[0]);
        m_w.put(QLatin1Char(' ') + e.op + QLatin1Char(' '));
        expr(*e.children[1]);
        return;
    }
    comparison(e);
}

// '+' between texts joins them; the engine's operator may bind tighter than arithmetic, so an
// operand that is itself an operation keeps its own parentheses.
void Renderer::concatenation(const Expr& e) {
    auto operand = [this](const Expr& c) {
        const bool wrap = c.kind == Expr::Kind::Binary && !(c.op == QLatin1String("+") && isConcatenation(c));
        if (wrap) m_w.put(QStringLiteral("("));
        expr(c);
        if (wrap) m_w.put(QStringLiteral(")"));
    };
    operand(*e.children[0]);
    m_w.put(QLatin1Char(' ') + m_d.concatOperator + QLatin1Char(' '));
    operand(*e.children[1]);
}

void Renderer::comparison(const Expr& e) {
    QString op = e.op;
    if (op == QLatin1String("!=") || op == QLatin1String("<>"))
        op = m_d.notEqual;
    else if (op == QLatin1String("!<"))
        op = QStringLiteral(">=");
    else if (op == QLatin1String("!>"))
        op = QStringLiteral("<=");
    expr(*e.children[0]);
    m_w.put(QLatin1Char(' ') + op + QLatin1Char(' '));
    expr(*e.children[1]);
}

// subject LIKE pattern with the server's meaning. On an engine without it: the registered
// function; and when the subject is a text column, first the index range that holds every
// possible match (lo <= subject < hi), so prefix patterns become range scans.
void Renderer::like(const Expr& e) {
    const Expr& subject = *e.children[0];
    const Expr& pattern = *e.children[1];
    if (m_d.like == Dialect::Like::Native) {
        expr(subject);
        m_w.put(e.negated ? QStringLiteral(" NOT LIKE ") : QStringLiteral(" LIKE "));
        expr(pattern);
        return;
    }
    bool ranges = m_o.likeRanges && !e.negated && subject.kind == Expr::Kind::Column &&
                  columnType(subject) == ValueType::Text;
    // A literal pattern that starts with a wildcard or a cased letter has no range to offer.
    if (ranges && pattern.kind == Expr::Kind::String &&
        LikePattern::fixedPrefix(pattern.text.toUtf8()).isEmpty())
        ranges = false;
    if (ranges) {
        // Parenthesised so that an enclosing NOT applies to the whole test.
        m_w.put(QStringLiteral("("));
        expr(subject);
        m_w.put(QStringLiteral(" >= ") + m_d.likeLow + QLatin1Char('('));
        expr(pattern);
        m_w.put(QStringLiteral(") AND "));
        expr(subject);
        m_w.put(QStringLiteral(" < ") + m_d.likeHigh + QLatin1Char('('));
        expr(pattern);
        m_w.put(QStringLiteral(") AND "));
    }
    if (e.negated) m_w.put(QStringLiteral("NOT "));
    m_w.put(m_d.likeFunction + QLatin1Char('('));
    expr(subject);
    m_w.put(QStringLiteral(", "));
    expr(pattern);
    m_w.put(ranges ? QStringLiteral("))") : QStringLiteral(")"));
}

void Renderer::inList(const Expr& e) {
    expr(*e.children[0]);
    m_w.put(e.negated ? QStringLiteral(" NOT IN (") : QStringLiteral(" IN ("));
    if (e.subquery)
        select(*e.subquery);
    else
        list(e.children, 1);
    m_w.put(QStringLiteral(")"));
}

void Renderer::between(const Expr& e) {
    expr(*e.children[0]);
    m_w.put(e.negated ? QStringLiteral(" NOT BETWEEN ") : QStringLiteral(" BETWEEN "));
    expr(*e.children[1]);
    m_w.put(QStringLiteral(" AND "));
    expr(*e.children[2]);
}

void Renderer::isNull(const Expr& e) {
    expr(*e.children[0]);
    m_w.put(e.negated ? QStringLiteral(" IS NOT NULL") : QStringLiteral(" IS NULL"));
}

void Renderer::exists(const Expr& e) {
    m_w.put(QStringLiteral("EXISTS ("));
    select(*e.subquery);
    m_w.put(QStringLiteral(")"));
}

void Renderer::subquery(const Expr& e) {
    m_w.put(QStringLiteral("("));
    select(*e.subquery);
    m_w.put(QStringLiteral(")"));
}

// Functions by the dialect's table: %1.. stand for arguments, %* for all of them.
void Renderer::function(const Expr& e) {
    const auto it = m_d.functions.constFind(e.text);
    if (it == m_d.functions.cend())
        unsupported(QStringLiteral("the function %1").arg(e.text.toUpper()), e.position);
    const QString& form = *it;
    static const QRegularExpression slot(QStringLiteral("%(\\d|\\*)"));
    qsizetype at = 0;
    int highest = 0;
    bool all = false;
    auto m = slot.globalMatch(form);
    while (m.hasNext()) {
        const auto match = m.next();
        if (match.captured(1) == QLatin1String("*"))
            all = true;
        else
            highest = std::max(highest, match.captured(1).toInt());
    }
    if (!all && static_cast<size_t>(highest) != e.children.size())
        unsupported(QStringLiteral("%1 with %2 arguments").arg(e.text.toUpper()).arg(e.children.size()),
                    e.position);
    auto m2 = slot.globalMatch(form);
    while (m2.hasNext()) {
        const auto match = m2.next();
        m_w.put(form.mid(at, match.capturedStart() - at));
        if (match.captured(1) == QLatin1String("*"))
            list(e.children);
        else
            expr(*e.children[static_cast<size_t>(match.captured(1).toInt() - 1)]);
        at = match.capturedEnd();
    }
    m_w.put(form.mid(at));
}

void Renderer::list(const std::vector<ExprPtr>& items, size_t from) {
    for (size_t i = from; i < items.size(); ++i) {
        if (i > from) m_w.put(QStringLiteral(", "));
        expr(*items[i]);
    }
}

// ---- meaning ----------------------------------------------------------------------------------

Scope Renderer::scopeOf(const Select& s) const {
    Scope scope;
    for (const Join& j : s.from) {
        ScopeTable t;
        if (j.table.derived) {
            t.exposed = j.table.alias;
        } else {
            t.table = j.table.name.name;
            t.temp = j.table.name.temp;
            t.exposed = j.table.alias.isEmpty() ? t.table : j.table.alias;
        }
        scope.push_back(t);
    }
    return scope;
}

const ScopeTable* Renderer::resolveQualifier(const QStringList& qualifier) const {
    const QString& name = qualifier.last();
    const bool temp = qualifier.size() >= 3 || name.startsWith(QLatin1Char('#'));
    for (auto s = m_scopes.rbegin(); s != m_scopes.rend(); ++s)
        for (const ScopeTable& t : *s) {
            if (qualifier.size() == 1 && t.exposed.compare(name, Qt::CaseInsensitive) == 0) return &t;
            if (qualifier.size() > 1 && t.temp == temp && t.table.compare(name, Qt::CaseInsensitive) == 0)
                return &t;
        }
    return nullptr;
}

ValueType Renderer::columnType(const Expr& e) const {
    if (!m_schema) return ValueType::Unknown;
    const QString& name = e.parts.last();
    auto typeIn = [&](const ScopeTable& t) {
        if (t.table.isEmpty()) return ValueType::Unknown;
        switch (m_schema->columnType(t.temp, t.table, name)) {
        case SchemaInfo::Type::Text:
            return ValueType::Text;
        case SchemaInfo::Type::Numeric:
            return ValueType::Numeric;
        case SchemaInfo::Type::Unknown:
            break;
        }
        return ValueType::Unknown;
    };
    if (e.parts.size() > 1) {
        const ScopeTable* t = resolveQualifier(e.parts.mid(0, e.parts.size() - 1));
        return t ? typeIn(*t) : ValueType::Unknown;
    }
    for (auto s = m_scopes.rbegin(); s != m_scopes.rend(); ++s)
        for (const ScopeTable& t : *s) {
            const ValueType v = typeIn(t);
            if (v != ValueType::Unknown) return v;
        }
    return ValueType::Unknown;
}

ValueType Renderer::typeOf(const Expr& e) const {
    switch (e.kind) {
    case Expr::Kind::String:
        return ValueType::Text;
    case Expr::Kind::Number:
        return ValueType::Numeric;
    case Expr::Kind::Null:
        return ValueType::Null;
    case Expr::Kind::Column:
        return columnType(e);
    case Expr::Kind::Paren:
        return typeOf(*e.children[0]);
    case Expr::Kind::Binary:
        if (e.op == QLatin1String("+")) return isConcatenation(e) ? ValueType::Text : ValueType::Numeric;
        return ValueType::Numeric;
    case Expr::Kind::Function: {
        static const QStringList text{"upper", "lower", "ltrim", "rtrim", "replace", "substring", "left"};
        static const QStringList first{"isnull", "coalesce", "max", "min"};
        if (text.contains(e.text)) return ValueType::Text;
        if (first.contains(e.text) && !e.children.empty()) return typeOf(*e.children[0]);
        return ValueType::Numeric;
    }
    case Expr::Kind::Subquery:
    case Expr::Kind::Parameter:
        return ValueType::Unknown;
    default:
        return ValueType::Numeric;
    }
}

// The server joins two texts with '+' and adds when either side is a number (converting the
// text). When a side's type is unknown the two cannot be told apart, and guessing could run a
// different statement, so the construct is refused.
bool Renderer::isConcatenation(const Expr& e) const {
    const ValueType a = typeOf(*e.children[0]);
    const ValueType b = typeOf(*e.children[1]);
    if (a == ValueType::Numeric || b == ValueType::Numeric) return false;
    if (a == ValueType::Null && b == ValueType::Null) return false;
    if ((a == ValueType::Text || a == ValueType::Null) && (b == ValueType::Text || b == ValueType::Null))
        return true;
    unsupported(QStringLiteral("'+' between operands of unknown type"), e.position);
}

QStringList Renderer::resultColumns(const Select& s) const {
    QStringList out;
    for (const SelectItem& item : s.items) {
        if (!item.expr) {
            for (const Join& j : s.from) {
                if (j.table.derived || !m_schema) continue;
                if (!item.starQualifier.isEmpty()) {
                    const QString& q = item.starQualifier.last();
                    const QString exposed = j.table.alias.isEmpty() ? j.table.name.name : j.table.alias;
                    if (exposed.compare(q, Qt::CaseInsensitive) != 0) continue;
                }
                for (const SchemaInfo::Column& c : m_schema->columns(j.table.name.temp, j.table.name.name))
                    out << c.name;
            }
        } else if (!item.alias.isEmpty()) {
            out << item.alias;
        } else if (item.expr->kind == Expr::Kind::Column) {
            out << item.expr->parts.last();
        }
    }
    return out;
}

} // namespace

TSqlTranslator::TSqlTranslator(const Dialect& dialect, const SchemaInfo* schema)
    : TSqlTranslator(dialect, schema, TranslatorOptions{}) {}

TSqlTranslator::TSqlTranslator(const Dialect& dialect, const SchemaInfo* schema, TranslatorOptions options)
    : m_dialect(dialect), m_schema(schema), m_options(options) {}

Rendering TSqlTranslator::translate(const QString& tsql) const {
    return translate(tsql, TSqlTokenizer::tokenize(tsql));
}

Rendering TSqlTranslator::translate(const QString& tsql, const QList<TSqlToken>& tokens) const {
    const auto statement = TSqlParser::parse(tsql, tokens);
    Renderer r(m_dialect, m_schema, m_options, tsql);
    return r.statement(*statement);
}

QString TSqlTranslator::shapeKey(const QList<TSqlToken>& tokens) {
    QString key;
    key.reserve(tokens.size() * 8);
    for (const TSqlToken& t : tokens) {
        switch (t.kind) {
        case TSqlToken::Kind::String:
        case TSqlToken::Kind::NationalString:
            key += LikePattern::startsFixed(t.text) ? QStringLiteral("'s") : QStringLiteral("'w");
            break;
        case TSqlToken::Kind::Number:
            key += QLatin1Char('#');
            break;
        case TSqlToken::Kind::QuotedIdentifier:
            key += QLatin1Char('[') + t.text;
            break;
        default:
            key += t.text;
        }
        key += QChar(0x1F); // unit separator: never part of a token
    }
    return key;
}

bool TSqlTranslator::rebind(const Rendering& shape, const QList<TSqlToken>& shapeTokens,
                            const QList<TSqlToken>& tokens, Rendering* out) {
    if (shapeTokens.size() != tokens.size()) return false;
    for (int t : shape.inlineTokens)
        if (t < 0 || t >= tokens.size() || tokens[t].text != shapeTokens[t].text) return false;
    *out = shape;
    for (RenderedStep& step : out->steps) {
        step.text.clear(); // the shape's own literals: not this text's
        for (size_t i = 0; i < step.params.size(); ++i) {
            const int t = step.paramTokens[i];
            if (t < 0 || t >= tokens.size()) return false;
            const TSqlToken& token = tokens[t];
            step.params[i] = token.kind == TSqlToken::Kind::Number ? numberValue(token.text)
                                                                   : SqlValue::ofText(token.text);
        }
    }
    return true;
}

} // namespace sarvo::db
