// Recursive descent over TSqlTokenizer's tokens; see TSqlParser.h.
#include "host/db/TSqlParser.h"

#include "host/db/TSqlTokenizer.h"
#include "runtime/RuntimeError.h"

#include <QSet>

namespace sarvo::db {

using namespace ast;
using K = TSqlToken::Kind;

namespace {

// Words that end an expression or cannot be an alias.
const QSet<QString>& reservedWords() {
    static const QSet<QString> words{
        "all",    "and",    "as",        "asc",   "begin",    "between", "by",     "case",   "collate",
        "create", "cross",  "delete",    "desc",  "distinct", "drop",    "else",   "end",    "escape",
        "except", "exists", "for",       "from",  "full",     "group",   "having", "if",     "in",
        "inner",  "insert", "intersect", "into",  "is",       "join",    "left",   "like",   "not",
        "null",   "on",     "option",    "or",    "order",    "outer",   "right",  "select", "set",
        "table",  "then",   "top",       "union", "update",   "values",  "when",   "where",  "with"};
    return words;
}

QString describe(const TSqlToken& t) {
    switch (t.kind) {
    case K::End:
        return QStringLiteral("end of text");
    case K::String:
        return QStringLiteral("'%1'").arg(t.text);
    case K::NationalString:
        return QStringLiteral("N'%1'").arg(t.text);
    case K::QuotedIdentifier:
        return QStringLiteral("[%1]").arg(t.text);
    default:
        return QStringLiteral("'%1'").arg(t.text);
    }
}

} // namespace

std::unique_ptr<Statement> TSqlParser::parse(const QString& text) {
    return parse(text, TSqlTokenizer::tokenize(text));
}

std::unique_ptr<Statement> TSqlParser::parse(const QString& text, const QList<TSqlToken>& tokens) {
    TSqlParser p(text, tokens);
    auto s = p.statement();
    p.acceptSymbol(";");
    if (p.peek().kind != K::End) {
        const TSqlToken& t = p.peek();
        static const char* const starts[] = {"select", "insert", "delete", "update",
                                             "drop",   "if",     "create", "exec"};
        for (const char* w : starts)
            if (t.isWord(w)) p.unsupported(QStringLiteral("a second statement in one batch"), t.position);
        p.syntaxError(t);
    }
    return s;
}

TSqlParser::TSqlParser(const QString& text, QList<TSqlToken> tokens)
    : m_text(text), m_tokens(std::move(tokens)) {}

const TSqlToken& TSqlParser::peek(int ahead) const {
    const int i = std::min(m_pos + ahead, static_cast<int>(m_tokens.size()) - 1);
    return m_tokens[i];
}

const TSqlToken& TSqlParser::next() {
    const TSqlToken& t = peek();
    if (t.kind != K::End) ++m_pos;
    return t;
}

bool TSqlParser::acceptWord(const char* keyword) {
    if (!peek().isWord(keyword)) return false;
    ++m_pos;
    return true;
}

bool TSqlParser::acceptSymbol(const char* symbol) {
    if (!peek().isSymbol(symbol)) return false;
    ++m_pos;
    return true;
}

void TSqlParser::expectWord(const char* keyword) {
    if (!acceptWord(keyword)) syntaxError(peek());
}

void TSqlParser::expectSymbol(const char* symbol) {
    if (!acceptSymbol(symbol)) syntaxError(peek());
}

bool TSqlParser::atReserved(int ahead) const {
    const TSqlToken& t = peek(ahead);
    return t.kind == K::Word && reservedWords().contains(t.text.toLower());
}

bool TSqlParser::atAlias() const {
    const TSqlToken& t = peek();
    return (t.kind == K::Word && !atReserved()) || t.kind == K::QuotedIdentifier;
}

QString TSqlParser::alias(bool* quoted) {
    const bool as = acceptWord("as");
    const TSqlToken& t = peek();
    if (as && t.isString()) {
        *quoted = true;
        return next().text;
    }
    if (!atAlias()) {
        if (as) syntaxError(t);
        return {};
    }
    *quoted = t.kind == K::QuotedIdentifier;
    return next().text;
}

void TSqlParser::syntaxError(const TSqlToken& at) const {
    raise(ErrorCode::DatabaseError, QStringLiteral("Incorrect syntax near %1 at position %2 in: %3")
                                        .arg(describe(at))
                                        .arg(at.position + 1)
                                        .arg(m_text));
}

void TSqlParser::unsupported(const QString& construct, int position) const {
    raise(ErrorCode::DatabaseError, QStringLiteral("Cannot render %1 at position %2 for this database in: %3")
                                        .arg(construct)
                                        .arg(position + 1)
                                        .arg(m_text));
}

// ---- statements -------------------------------------------------------------------------------

std::unique_ptr<Statement> TSqlParser::statement() {
    const TSqlToken& t = peek();
    if (t.isWord("select")) {
        auto s = std::make_unique<Statement>();
        s->kind = Statement::Kind::Select;
        s->position = t.position;
        s->select = select(true);
        if (peek().isWord("union") || peek().isWord("except") || peek().isWord("intersect"))
            unsupported(peek().text.toUpper(), peek().position);
        return s;
    }
    if (t.isWord("insert")) return insert();
    if (t.isWord("delete")) return deleteFrom();
    if (t.isWord("update")) return update();
    if (t.isWord("drop")) return dropTable();
    if (t.isWord("if")) return ifExists();
    if (t.kind == K::Word) unsupported(QStringLiteral("the statement %1").arg(t.text.toUpper()), t.position);
    syntaxError(t);
}

std::unique_ptr<Statement> TSqlParser::insert() {
    auto s = std::make_unique<Statement>();
    s->kind = Statement::Kind::Insert;
    s->position = next().position;
    acceptWord("into");
    s->table = objectName();
    if (acceptSymbol("(")) {
        do {
            const TSqlToken& c = next();
            if (!c.isIdentifier()) syntaxError(c);
            s->columns << c.text;
            s->columnsQuoted.push_back(c.kind == K::QuotedIdentifier);
        } while (acceptSymbol(","));
        expectSymbol(")");
    }
    if (acceptWord("values")) {
        do {
            expectSymbol("(");
            s->rows.push_back(exprList());
            expectSymbol(")");
        } while (acceptSymbol(","));
    } else if (peek().isWord("select")) {
        s->select = select(false);
    } else if (peek().isWord("default")) {
        unsupported(QStringLiteral("DEFAULT VALUES"), peek().position);
    } else {
        syntaxError(peek());
    }
    return s;
}

std::unique_ptr<Statement> TSqlParser::deleteFrom() {
    auto s = std::make_unique<Statement>();
    s->kind = Statement::Kind::Delete;
    s->position = next().position;
    acceptWord("from");
    s->table = objectName();
    if (peek().isWord("from")) unsupported(QStringLiteral("DELETE with a second FROM"), peek().position);
    if (acceptWord("where")) s->where = expr();
    return s;
}

std::unique_ptr<Statement> TSqlParser::update() {
    auto s = std::make_unique<Statement>();
    s->kind = Statement::Kind::Update;
    s->position = next().position;
    s->table = objectName();
    expectWord("set");
    do {
        const TSqlToken& c = next();
        if (!c.isIdentifier()) syntaxError(c);
        s->columns << c.text;
        s->columnsQuoted.push_back(c.kind == K::QuotedIdentifier);
        expectSymbol("=");
        s->assignments.push_back(expr());
    } while (acceptSymbol(","));
    if (peek().isWord("from")) unsupported(QStringLiteral("UPDATE with FROM"), peek().position);
    if (acceptWord("where")) s->where = expr();
    return s;
}

std::unique_ptr<Statement> TSqlParser::dropTable() {
    auto s = std::make_unique<Statement>();
    s->kind = Statement::Kind::DropTable;
    s->position = next().position;
    if (!acceptWord("table"))
        unsupported(QStringLiteral("DROP %1").arg(peek().text.toUpper()), peek().position);
    if (peek().isWord("if") && peek(1).isWord("exists")) {
        m_pos += 2;
        s->ifExists = true;
    }
    s->table = objectName();
    if (peek().isSymbol(",")) unsupported(QStringLiteral("DROP TABLE of several tables"), peek().position);
    return s;
}

std::unique_ptr<Statement> TSqlParser::ifExists() {
    auto s = std::make_unique<Statement>();
    s->kind = Statement::Kind::IfExists;
    s->position = next().position;
    s->negated = acceptWord("not");
    if (!peek().isWord("exists")) unsupported(QStringLiteral("IF without EXISTS"), peek().position);
    next();
    expectSymbol("(");
    s->select = select(false);
    expectSymbol(")");
    const bool block = acceptWord("begin");
    const TSqlToken& b = peek();
    if (!b.isWord("insert"))
        unsupported(QStringLiteral("IF EXISTS with a body other than one INSERT"), b.position);
    s->body = insert();
    if (block) {
        acceptSymbol(";");
        if (!peek().isWord("end")) {
            if (peek().kind == K::Word && !peek().isWord("else"))
                unsupported(QStringLiteral("IF EXISTS with a body other than one INSERT"), peek().position);
        }
        if (peek().isWord("else")) unsupported(QStringLiteral("IF ... ELSE"), peek().position);
        expectWord("end");
    }
    if (peek().isWord("else")) unsupported(QStringLiteral("IF ... ELSE"), peek().position);
    return s;
}

// ---- select -----------------------------------------------------------------------------------

std::unique_ptr<Select> TSqlParser::select(bool allowInto) {
    auto s = std::make_unique<Select>();
    s->position = peek().position;
    expectWord("select");
    if (acceptWord("distinct"))
        s->distinct = true;
    else
        acceptWord("all");
    if (peek().isWord("top")) {
        const int at = next().position;
        const bool paren = acceptSymbol("(");
        const int token = m_pos;
        const TSqlToken& n = next();
        bool ok = false;
        const qint64 v = n.text.toLongLong(&ok);
        if (n.kind != K::Number || !ok) {
            if (n.kind == K::Variable) unsupported(QStringLiteral("TOP with a variable"), n.position);
            syntaxError(n);
        }
        if (paren) expectSymbol(")");
        s->top = v;
        s->topToken = token;
        s->topPosition = at;
        s->topPercent = acceptWord("percent");
        if (peek().isWord("with") && peek(1).isWord("ties")) {
            m_pos += 2;
            s->topWithTies = true;
        }
    }
    selectItems(*s);
    if (peek().isWord("into")) {
        if (!allowInto) unsupported(QStringLiteral("SELECT INTO inside another statement"), peek().position);
        next();
        s->into = objectName();
    }
    if (acceptWord("from")) fromClause(*s);
    if (acceptWord("where")) s->where = expr();
    if (peek().isWord("group")) {
        next();
        expectWord("by");
        s->groupBy = exprList();
    }
    if (acceptWord("having")) s->having = expr();
    if (peek().isWord("order")) {
        next();
        expectWord("by");
        do {
            OrderItem item;
            item.expr = expr();
            if (acceptWord("desc"))
                item.descending = true;
            else
                acceptWord("asc");
            s->orderBy.push_back(std::move(item));
        } while (acceptSymbol(","));
    }
    if (peek().isWord("option")) unsupported(QStringLiteral("query hints (OPTION)"), peek().position);
    if (peek().isWord("for")) unsupported(QStringLiteral("FOR XML/BROWSE"), peek().position);
    return s;
}

void TSqlParser::selectItems(Select& s) {
    do {
        SelectItem item;
        if (acceptSymbol("*")) {
            s.items.push_back(std::move(item));
            continue;
        }
        // qualifier.* : a dotted name that ends in a star
        const int save = m_pos;
        while (peek().isIdentifier() || peek().isSymbol(".")) {
            const TSqlToken& t = next();
            if (t.isIdentifier())
                item.starQualifier << t.text;
            else if (peek(-2).isSymbol("."))
                item.starQualifier << QString();
        }
        if (!item.starQualifier.isEmpty() && peek(-1).isSymbol(".") && acceptSymbol("*")) {
            s.items.push_back(std::move(item));
            continue;
        }
        item.starQualifier.clear();
        m_pos = save;
        if (peek().kind == K::Word && !atReserved() && peek(1).isSymbol("="))
            unsupported(QStringLiteral("the alias = expression form"), peek().position);
        item.expr = expr();
        item.alias = alias(&item.aliasQuoted);
        s.items.push_back(std::move(item));
    } while (acceptSymbol(","));
}

void TSqlParser::fromClause(Select& s) {
    Join first;
    first.table = tableRef();
    s.from.push_back(std::move(first));
    for (;;) {
        Join j;
        const TSqlToken& t = peek();
        if (acceptSymbol(",")) {
            j.type = Join::Type::Comma;
        } else if (t.isWord("join") || t.isWord("inner")) {
            if (acceptWord("inner")) {
                if (peek().isWord("loop") || peek().isWord("hash") || peek().isWord("merge"))
                    unsupported(QStringLiteral("join hints"), peek().position);
            }
            expectWord("join");
            j.type = Join::Type::Inner;
        } else if (t.isWord("left")) {
            next();
            acceptWord("outer");
            expectWord("join");
            j.type = Join::Type::Left;
        } else if (t.isWord("cross")) {
            next();
            if (peek().isWord("apply")) unsupported(QStringLiteral("CROSS APPLY"), peek().position);
            expectWord("join");
            j.type = Join::Type::Cross;
        } else if (t.isWord("right") || t.isWord("full")) {
            next();
            acceptWord("outer");
            expectWord("join");
            j.type = t.isWord("right") ? Join::Type::Right : Join::Type::Full;
        } else if (t.isWord("outer") && peek(1).isWord("apply")) {
            unsupported(QStringLiteral("OUTER APPLY"), t.position);
        } else {
            return;
        }
        j.table = tableRef();
        if (j.type != Join::Type::Comma && j.type != Join::Type::Cross) {
            expectWord("on");
            j.on = expr();
        }
        s.from.push_back(std::move(j));
    }
}

TableRef TSqlParser::tableRef() {
    TableRef r;
    if (peek().isSymbol("(")) {
        next();
        if (!peek().isWord("select")) syntaxError(peek());
        r.derived = select(false);
        expectSymbol(")");
        r.alias = alias(&r.aliasQuoted);
        if (r.alias.isEmpty()) syntaxError(peek());
        return r;
    }
    r.name = objectName();
    r.alias = alias(&r.aliasQuoted);
    if (peek().isWord("with") && peek(1).isSymbol("(")) {
        // Table hints: NOLOCK asks for no shared locks, which an engine without them already
        // gives; any other hint changes meaning and is refused.
        const int at = peek().position;
        m_pos += 2;
        do {
            if (!peek().isWord("nolock"))
                unsupported(QStringLiteral("the table hint %1").arg(peek().text), at);
            next();
        } while (acceptSymbol(","));
        expectSymbol(")");
    }
    return r;
}

ObjectName TSqlParser::objectName() {
    // Up to four dot-separated parts, any of them empty ("tempdb..[name]").
    QStringList parts;
    std::vector<bool> quoted;
    const int position = peek().position;
    for (;;) {
        const TSqlToken& t = peek();
        if (t.isIdentifier() && !(t.kind == K::Word && atReserved())) {
            parts << next().text;
            quoted.push_back(t.kind == K::QuotedIdentifier);
        } else if (t.isSymbol(".")) {
            parts << QString();
            quoted.push_back(false);
        } else {
            syntaxError(t);
        }
        if (!acceptSymbol(".")) break;
    }
    if (parts.last().isEmpty()) syntaxError(peek());
    ObjectName n;
    n.position = position;
    n.name = parts.last();
    n.quoted = quoted.back();
    if (parts.size() > 3) unsupported(QStringLiteral("a linked-server name"), position);
    if (parts.size() >= 2) n.schema = parts[parts.size() - 2];
    if (parts.size() == 3) n.database = parts[0];
    if (!n.schema.isEmpty() && n.schema.compare(QLatin1String("dbo"), Qt::CaseInsensitive) != 0)
        unsupported(QStringLiteral("the schema %1").arg(n.schema), position);
    if (!n.database.isEmpty()) {
        if (n.database.compare(QLatin1String("tempdb"), Qt::CaseInsensitive) != 0)
            unsupported(QStringLiteral("a name in another database (%1)").arg(n.database), position);
        n.temp = true;
    }
    if (n.name.startsWith(QLatin1Char('#'))) {
        if (n.name.startsWith(QLatin1String("##")))
            unsupported(QStringLiteral("a global temporary table"), position);
        n.temp = true;
    }
    return n;
}

// ---- expressions ------------------------------------------------------------------------------

std::vector<ExprPtr> TSqlParser::exprList() {
    std::vector<ExprPtr> list;
    do
        list.push_back(expr());
    while (acceptSymbol(","));
    return list;
}

ExprPtr TSqlParser::expr() {
    ExprPtr left = andExpr();
    while (peek().isWord("or")) {
        auto b = std::make_unique<Expr>(Expr::Kind::Binary, next().position);
        b->op = QStringLiteral("OR");
        b->children.push_back(std::move(left));
        b->children.push_back(andExpr());
        left = std::move(b);
    }
    return left;
}

ExprPtr TSqlParser::andExpr() {
    ExprPtr left = notExpr();
    while (peek().isWord("and")) {
        auto b = std::make_unique<Expr>(Expr::Kind::Binary, next().position);
        b->op = QStringLiteral("AND");
        b->children.push_back(std::move(left));
        b->children.push_back(notExpr());
        left = std::move(b);
    }
    return left;
}

ExprPtr TSqlParser::notExpr() {
    if (peek().isWord("not")) {
        auto u = std::make_unique<Expr>(Expr::Kind::Unary, next().position);
        u->op = QStringLiteral("NOT");
        u->children.push_back(notExpr());
        return u;
    }
    return predicate();
}

ExprPtr TSqlParser::predicate() {
    if (peek().isWord("exists")) {
        auto e = std::make_unique<Expr>(Expr::Kind::Exists, next().position);
        expectSymbol("(");
        e->subquery = select(false);
        expectSymbol(")");
        return e;
    }
    ExprPtr subject = additive();
    const TSqlToken& t = peek();
    const bool negated =
        t.isWord("not") && (peek(1).isWord("like") || peek(1).isWord("in") || peek(1).isWord("between"));
    if (negated) next();
    const TSqlToken& op = peek();
    if (op.isWord("like")) {
        auto e = std::make_unique<Expr>(Expr::Kind::Like, next().position);
        e->negated = negated;
        e->children.push_back(std::move(subject));
        e->children.push_back(additive());
        if (acceptWord("escape")) e->children.push_back(additive());
        return e;
    }
    if (op.isWord("in")) {
        auto e = std::make_unique<Expr>(Expr::Kind::In, next().position);
        e->negated = negated;
        e->children.push_back(std::move(subject));
        expectSymbol("(");
        if (peek().isWord("select")) {
            e->subquery = select(false);
        } else {
            for (auto& item : exprList())
                e->children.push_back(std::move(item));
        }
        expectSymbol(")");
        return e;
    }
    if (op.isWord("between")) {
        auto e = std::make_unique<Expr>(Expr::Kind::Between, next().position);
        e->negated = negated;
        e->children.push_back(std::move(subject));
        e->children.push_back(additive());
        expectWord("and");
        e->children.push_back(additive());
        return e;
    }
    if (op.isWord("is")) {
        auto e = std::make_unique<Expr>(Expr::Kind::IsNull, next().position);
        e->negated = acceptWord("not");
        expectWord("null");
        e->children.push_back(std::move(subject));
        return e;
    }
    static const char* const comparisons[] = {"=", "<>", "!=", "<", ">", "<=", ">=", "!<", "!>"};
    for (const char* c : comparisons) {
        if (op.isSymbol(c)) {
            auto e = std::make_unique<Expr>(Expr::Kind::Binary, next().position);
            e->op = op.text;
            if (peek().isWord("all") || peek().isWord("any") || peek().isWord("some"))
                unsupported(QStringLiteral("a comparison with %1").arg(peek().text.toUpper()),
                            peek().position);
            e->children.push_back(std::move(subject));
            e->children.push_back(additive());
            return e;
        }
    }
    return subject;
}

ExprPtr TSqlParser::additive() {
    ExprPtr left = multiplicative();
    while (peek().isSymbol("+") || peek().isSymbol("-")) {
        auto b = std::make_unique<Expr>(Expr::Kind::Binary, peek().position);
        b->op = next().text;
        b->children.push_back(std::move(left));
        b->children.push_back(multiplicative());
        left = std::move(b);
    }
    return left;
}

ExprPtr TSqlParser::multiplicative() {
    ExprPtr left = unary();
    while (peek().isSymbol("*") || peek().isSymbol("/") || peek().isSymbol("%")) {
        auto b = std::make_unique<Expr>(Expr::Kind::Binary, peek().position);
        b->op = next().text;
        b->children.push_back(std::move(left));
        b->children.push_back(unary());
        left = std::move(b);
    }
    return left;
}

ExprPtr TSqlParser::unary() {
    if (peek().isSymbol("-") || peek().isSymbol("+")) {
        auto u = std::make_unique<Expr>(Expr::Kind::Unary, peek().position);
        u->op = next().text;
        u->children.push_back(unary());
        return u;
    }
    ExprPtr e = primary();
    if (peek().isWord("collate")) {
        auto c = std::make_unique<Expr>(Expr::Kind::Collate, next().position);
        const TSqlToken& name = next();
        if (!name.isIdentifier()) syntaxError(name);
        c->text = name.text;
        c->children.push_back(std::move(e));
        return c;
    }
    return e;
}

// CASE [operand] WHEN x THEN y [WHEN ...] [ELSE z] END
ExprPtr TSqlParser::caseExpr() {
    auto e = std::make_unique<Expr>(Expr::Kind::Case, next().position);
    if (!peek().isWord("when")) e->operand = expr();
    if (!peek().isWord("when")) syntaxError(peek());
    while (acceptWord("when")) {
        e->children.push_back(expr());
        expectWord("then");
        e->children.push_back(expr());
    }
    if (acceptWord("else")) e->elseValue = expr();
    expectWord("end");
    return e;
}

// CAST(value AS type), TRY_CAST likewise.
ExprPtr TSqlParser::castExpr(const TSqlToken& name) {
    auto e = std::make_unique<Expr>(Expr::Kind::Cast, name.position);
    e->text = name.text.toLower();
    expectSymbol("(");
    e->children.push_back(expr());
    expectWord("as");
    e->dataType = dataType();
    expectSymbol(")");
    return e;
}

// CONVERT(type, value[, style]), TRY_CONVERT likewise.
ExprPtr TSqlParser::convertExpr(const TSqlToken& name) {
    auto e = std::make_unique<Expr>(Expr::Kind::Cast, name.position);
    e->text = name.text.toLower();
    expectSymbol("(");
    e->dataType = dataType();
    expectSymbol(",");
    e->children.push_back(expr());
    if (acceptSymbol(",")) e->children.push_back(expr());
    expectSymbol(")");
    return e;
}

// name [(n | max [, m])]
DataType TSqlParser::dataType() {
    DataType t;
    const TSqlToken& name = next();
    if (!name.isIdentifier()) syntaxError(name);
    t.name = name.text.toLower();
    t.position = name.position;
    if (acceptSymbol("(")) {
        do {
            if (acceptWord("max")) {
                t.max = true;
                continue;
            }
            const int token = m_pos;
            const TSqlToken& n = next();
            bool ok = false;
            const qint64 v = n.text.toLongLong(&ok);
            if (n.kind != K::Number || !ok) syntaxError(n);
            t.args.push_back(v);
            t.argTokens.push_back(token);
        } while (acceptSymbol(","));
        expectSymbol(")");
    }
    return t;
}

ExprPtr TSqlParser::primary() {
    const TSqlToken& t = peek();
    switch (t.kind) {
    case K::String:
    case K::NationalString: {
        auto e = std::make_unique<Expr>(Expr::Kind::String, t.position);
        e->token = m_pos;
        e->text = next().text;
        return e;
    }
    case K::Number: {
        auto e = std::make_unique<Expr>(Expr::Kind::Number, t.position);
        e->token = m_pos;
        e->text = next().text;
        return e;
    }
    case K::Parameter: {
        auto e = std::make_unique<Expr>(Expr::Kind::Parameter, t.position);
        e->token = m_pos;
        next();
        return e;
    }
    case K::Variable: {
        auto e = std::make_unique<Expr>(Expr::Kind::Variable, t.position);
        e->text = next().text;
        return e;
    }
    case K::Symbol:
        if (t.isSymbol("(")) {
            const int at = next().position;
            if (peek().isWord("select")) {
                auto e = std::make_unique<Expr>(Expr::Kind::Subquery, at);
                e->subquery = select(false);
                expectSymbol(")");
                return e;
            }
            auto e = std::make_unique<Expr>(Expr::Kind::Paren, at);
            e->children.push_back(expr());
            expectSymbol(")");
            return e;
        }
        syntaxError(t);
    case K::Word:
        if (t.isWord("null")) return std::make_unique<Expr>(Expr::Kind::Null, next().position);
        if (t.isWord("case")) return caseExpr();
        // LEFT and RIGHT are also join words; before "(" they are the functions.
        if ((t.isWord("left") || t.isWord("right")) && peek(1).isSymbol("(")) return functionCall();
        if (atReserved()) syntaxError(t);
        if (peek(1).isSymbol("(")) return functionCall();
        return columnRef();
    case K::QuotedIdentifier:
        return columnRef();
    case K::End:
        syntaxError(t);
    }
    syntaxError(t);
}

ExprPtr TSqlParser::functionCall() {
    const TSqlToken& name = next();
    const QString lower = name.text.toLower();
    if (lower == QLatin1String("cast") || lower == QLatin1String("try_cast")) return castExpr(name);
    if (lower == QLatin1String("convert") || lower == QLatin1String("try_convert")) return convertExpr(name);
    auto e = std::make_unique<Expr>(Expr::Kind::Function, name.position);
    e->text = lower;
    expectSymbol("(");
    if (!acceptSymbol(")")) {
        if (peek().isWord("distinct"))
            unsupported(QStringLiteral("an aggregate over DISTINCT values"), peek().position);
        if (peek().isSymbol("*") && peek(1).isSymbol(")")) {
            e->children.push_back(std::make_unique<Expr>(Expr::Kind::Star, next().position));
        } else {
            for (auto& a : exprList())
                e->children.push_back(std::move(a));
        }
        expectSymbol(")");
    }
    if (peek().isWord("over")) unsupported(QStringLiteral("window functions (OVER)"), peek().position);
    return e;
}

ExprPtr TSqlParser::columnRef() {
    auto e = std::make_unique<Expr>(Expr::Kind::Column, peek().position);
    for (;;) {
        const TSqlToken& t = peek();
        if (t.isIdentifier() && !(t.kind == K::Word && atReserved())) {
            e->parts << next().text;
            e->quoted.push_back(t.kind == K::QuotedIdentifier);
        } else if (t.isSymbol(".")) {
            e->parts << QString();
            e->quoted.push_back(false);
        } else {
            syntaxError(t);
        }
        if (!acceptSymbol(".")) break;
    }
    if (e->parts.last().isEmpty()) syntaxError(peek());
    if (e->parts.size() > 4) unsupported(QStringLiteral("a linked-server name"), e->position);
    return e;
}

} // namespace sarvo::db
