// Types and name resolution for rendering; see TSqlSemantics.h.
#include "host/db/TSqlSemantics.h"

namespace sarvo::db {

using namespace ast;

namespace {

SqlType fromSchema(SchemaInfo::Type t) {
    switch (t) {
    case SchemaInfo::Type::Text:
        return SqlType::Text;
    case SchemaInfo::Type::Numeric:
        return SqlType::Integer;
    case SchemaInfo::Type::Real:
        return SqlType::Decimal;
    case SchemaInfo::Type::DateTime:
        return SqlType::DateTime;
    case SchemaInfo::Type::Unknown:
        break;
    }
    return SqlType::Unknown;
}

int rank(SqlType t) {
    switch (t) {
    case SqlType::DateTime:
        return 7;
    case SqlType::Date:
        return 6;
    case SqlType::Decimal:
        return 5;
    case SqlType::Integer:
        return 4;
    case SqlType::Boolean:
        return 3;
    case SqlType::Text:
        return 2;
    case SqlType::Null:
        return 1;
    case SqlType::Unknown:
        break;
    }
    return 0;
}

} // namespace

TSqlSemantics::TSqlSemantics(const SchemaInfo* schema, const std::vector<Scope>& scopes)
    : m_schema(schema), m_scopes(scopes) {}

SqlType TSqlSemantics::higher(SqlType a, SqlType b) {
    return rank(a) >= rank(b) ? a : b;
}

SqlType TSqlSemantics::comparisonType(SqlType a, SqlType b) const {
    if (a == SqlType::Unknown && b == SqlType::Unknown) return SqlType::Unknown;
    if (isTemporal(a) || isTemporal(b))
        return (a == SqlType::DateTime || b == SqlType::DateTime || a == SqlType::Text || b == SqlType::Text)
                   ? SqlType::DateTime
                   : SqlType::Date;
    if (isNumeric(a) || isNumeric(b)) {
        if (a == SqlType::Decimal || b == SqlType::Decimal) return SqlType::Decimal;
        return SqlType::Integer;
    }
    if (a == SqlType::Text || b == SqlType::Text) return SqlType::Text;
    return SqlType::Unknown;
}

SqlType TSqlSemantics::typeOf(const DataType& t) {
    static const QStringList integers{"int", "integer", "bigint", "smallint", "tinyint"};
    static const QStringList decimals{"decimal", "numeric", "float", "real", "money", "smallmoney"};
    static const QStringList texts{"varchar", "nvarchar", "char", "nchar", "text", "ntext"};
    if (integers.contains(t.name)) return SqlType::Integer;
    if (decimals.contains(t.name)) return SqlType::Decimal;
    if (texts.contains(t.name)) return SqlType::Text;
    if (t.name == QLatin1String("date")) return SqlType::Date;
    if (t.name == QLatin1String("datetime") || t.name == QLatin1String("smalldatetime") ||
        t.name == QLatin1String("datetime2"))
        return SqlType::DateTime;
    return SqlType::Unknown;
}

Scope TSqlSemantics::scopeOf(const Select& s) {
    Scope scope;
    for (const Join& j : s.from) {
        ScopeTable t;
        if (j.table.derived) {
            t.exposed = j.table.alias;
            t.derived = j.table.derived.get();
        } else {
            t.table = j.table.name.name;
            t.temp = j.table.name.temp;
            t.exposed = j.table.alias.isEmpty() ? t.table : j.table.alias;
        }
        scope.push_back(t);
    }
    return scope;
}

const ScopeTable* TSqlSemantics::resolveQualifier(const QStringList& qualifier) const {
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

SqlType TSqlSemantics::columnTypeIn(const ScopeTable& t, const QString& column) const {
    if (t.derived) {
        for (const SelectItem& item : t.derived->items) {
            if (!item.expr) continue;
            const QString name = !item.alias.isEmpty()                   ? item.alias
                                 : item.expr->kind == Expr::Kind::Column ? item.expr->parts.last()
                                                                         : QString();
            if (name.compare(column, Qt::CaseInsensitive) != 0) continue;
            const std::vector<Scope> inner{scopeOf(*t.derived)};
            return TSqlSemantics(m_schema, inner).typeOf(*item.expr);
        }
        return SqlType::Unknown;
    }
    if (!m_schema || t.table.isEmpty()) return SqlType::Unknown;
    return fromSchema(m_schema->columnType(t.temp, t.table, column));
}

const ScopeTable* TSqlSemantics::tableOf(const Expr& e) const {
    if (e.kind != Expr::Kind::Column) return nullptr;
    if (e.parts.size() > 1) return resolveQualifier(e.parts.mid(0, e.parts.size() - 1));
    for (auto s = m_scopes.rbegin(); s != m_scopes.rend(); ++s) {
        for (const ScopeTable& t : *s)
            if (columnTypeIn(t, e.parts.last()) != SqlType::Unknown) return &t;
        // A scope of one table whose columns are not known still owns its bare names.
        if (s->size() == 1 && (!m_schema || s->front().derived)) return &s->front();
    }
    return nullptr;
}

SqlType TSqlSemantics::columnType(const Expr& e) const {
    const ScopeTable* t = tableOf(e);
    return t ? columnTypeIn(*t, e.parts.last()) : SqlType::Unknown;
}

bool TSqlSemantics::reads(const Expr& e, const ScopeTable& t) const {
    if (e.subquery) return true;
    if (e.kind == Expr::Kind::Column) {
        const ScopeTable* owner = tableOf(e);
        return !owner || owner == &t;
    }
    for (const ExprPtr& c : e.children)
        if (c && reads(*c, t)) return true;
    return (e.operand && reads(*e.operand, t)) || (e.elseValue && reads(*e.elseValue, t));
}

SqlType TSqlSemantics::subqueryType(const Select& s) const {
    if (s.items.empty() || !s.items.front().expr) return SqlType::Unknown;
    std::vector<Scope> inner = m_scopes;
    inner.push_back(scopeOf(s));
    return TSqlSemantics(m_schema, inner).typeOf(*s.items.front().expr);
}

SqlType TSqlSemantics::functionType(const Expr& e) const {
    static const QStringList text{"upper",   "lower",     "ltrim", "rtrim",
                                  "replace", "substring", "left",  "right"};
    static const QStringList integer{"len", "charindex", "year", "month", "day", "count"};
    static const QStringList first{"isnull", "abs", "max", "min", "sum", "avg"};
    if (text.contains(e.text)) return SqlType::Text;
    if (integer.contains(e.text)) return SqlType::Integer;
    if (e.text == QLatin1String("getdate")) return SqlType::DateTime;
    if (first.contains(e.text) && !e.children.empty()) return typeOf(*e.children[0]);
    if (e.text == QLatin1String("coalesce")) {
        SqlType t = SqlType::Null;
        for (const ExprPtr& c : e.children)
            t = higher(t, typeOf(*c));
        return t;
    }
    return SqlType::Unknown;
}

std::optional<bool> TSqlSemantics::isConcatenation(const Expr& e) const {
    const SqlType a = typeOf(*e.children[0]);
    const SqlType b = typeOf(*e.children[1]);
    if (isNumeric(a) || isNumeric(b) || isTemporal(a) || isTemporal(b)) return false;
    if (a == SqlType::Null && b == SqlType::Null) return false;
    if ((a == SqlType::Text || a == SqlType::Null) && (b == SqlType::Text || b == SqlType::Null)) return true;
    return std::nullopt;
}

SqlType TSqlSemantics::typeOf(const Expr& e) const {
    switch (e.kind) {
    case Expr::Kind::String:
        return SqlType::Text;
    case Expr::Kind::Number:
        return e.text.contains(QLatin1Char('.')) || e.text.contains(QLatin1Char('e'), Qt::CaseInsensitive)
                   ? SqlType::Decimal
                   : SqlType::Integer;
    case Expr::Kind::Null:
        return SqlType::Null;
    case Expr::Kind::Column:
        return columnType(e);
    case Expr::Kind::Paren:
    case Expr::Kind::Collate:
        return typeOf(*e.children[0]);
    case Expr::Kind::Unary:
        return e.op == QLatin1String("NOT") ? SqlType::Boolean : typeOf(*e.children[0]);
    case Expr::Kind::Binary: {
        static const QStringList arithmetic{"+", "-", "*", "/", "%"};
        if (!arithmetic.contains(e.op)) return SqlType::Boolean;
        const SqlType a = typeOf(*e.children[0]);
        const SqlType b = typeOf(*e.children[1]);
        if (e.op == QLatin1String("+")) {
            const std::optional<bool> concat = isConcatenation(e);
            if (!concat) return SqlType::Unknown;
            if (*concat) return SqlType::Text;
        }
        if (isTemporal(a) || isTemporal(b)) return SqlType::DateTime;
        return (a == SqlType::Decimal || b == SqlType::Decimal) ? SqlType::Decimal : SqlType::Integer;
    }
    case Expr::Kind::Function:
        return functionType(e);
    case Expr::Kind::Cast:
        return typeOf(*e.dataType);
    case Expr::Kind::Case: {
        SqlType t = e.elseValue ? typeOf(*e.elseValue) : SqlType::Null;
        for (size_t i = 1; i < e.children.size(); i += 2)
            t = higher(t, typeOf(*e.children[i]));
        return t;
    }
    case Expr::Kind::Subquery:
        return subqueryType(*e.subquery);
    case Expr::Kind::Like:
    case Expr::Kind::In:
    case Expr::Kind::Between:
    case Expr::Kind::IsNull:
    case Expr::Kind::Exists:
        return SqlType::Boolean;
    case Expr::Kind::Star:
    case Expr::Kind::Variable:
    case Expr::Kind::Parameter: // the caller's value: whatever it binds
        break;
    }
    return SqlType::Unknown;
}

QStringList TSqlSemantics::resultColumns(const Select& s) const {
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

const TSqlSemantics::DateStyle* TSqlSemantics::dateStyle(int style) {
    static const struct {
        int style;
        DateStyle formats;
    } kStyles[] = {
        {23, {"%Y-%m-%d", "YYYY-MM-DD"}},
        {102, {"%Y.%m.%d", "YYYY.MM.DD"}},
        {111, {"%Y/%m/%d", "YYYY/MM/DD"}},
        {112, {"%Y%m%d", "YYYYMMDD"}},
        {8, {"%H:%M:%S", "HH24:MI:SS"}},
        {108, {"%H:%M:%S", "HH24:MI:SS"}},
        {20, {"%Y-%m-%d %H:%M:%S", "YYYY-MM-DD HH24:MI:SS"}},
        {120, {"%Y-%m-%d %H:%M:%S", "YYYY-MM-DD HH24:MI:SS"}},
        {21, {"%Y-%m-%d %H:%M:%f", "YYYY-MM-DD HH24:MI:SS.MS"}},
        {121, {"%Y-%m-%d %H:%M:%f", "YYYY-MM-DD HH24:MI:SS.MS"}},
        {126, {"%Y-%m-%dT%H:%M:%f", "YYYY-MM-DD\"T\"HH24:MI:SS.MS"}},
    };
    for (const auto& s : kStyles)
        if (s.style == style) return &s.formats;
    return nullptr;
}

} // namespace sarvo::db
