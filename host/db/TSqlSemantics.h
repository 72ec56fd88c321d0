// What the syntax tree means, as far as rendering must know it: the type of every expression by
// the server's rules (data type precedence: date and time above numbers above text), which table a
// column belongs to, and whether '+' joins texts or adds numbers. The renderers ask; it never
// writes anything.
#pragma once

#include "host/db/SchemaInfo.h"
#include "host/db/TSqlAst.h"

#include <QStringList>
#include <optional>
#include <vector>

namespace sarvo::db {

enum class SqlType { Unknown, Null, Boolean, Text, Integer, Decimal, Date, DateTime };

// A table visible to column references of one SELECT (or of a DELETE or UPDATE).
struct ScopeTable {
    QString exposed; // alias, or the table's own name
    QString table;   // empty for a derived table
    bool temp = false;
    const ast::Select* derived = nullptr;
};
using Scope = std::vector<ScopeTable>;

class TSqlSemantics {
public:
    // scopes: innermost last; read when asked, so the caller may push and pop between questions.
    TSqlSemantics(const SchemaInfo* schema, const std::vector<Scope>& scopes);

    SqlType typeOf(const ast::Expr& e) const;
    // The table a column reference belongs to; null when it cannot be told.
    const ScopeTable* tableOf(const ast::Expr& column) const;
    // Whether e reads a column of table t (anything holding a subquery counts as reading it).
    bool reads(const ast::Expr& e, const ScopeTable& t) const;
    // The type both sides of a comparison are brought to: the higher of the two by precedence;
    // Unknown when neither side tells.
    SqlType comparisonType(SqlType a, SqlType b) const;
    // '+': true when it joins texts, false when it adds (or adds days to a date); nullopt when the
    // operands' types cannot be told.
    std::optional<bool> isConcatenation(const ast::Expr& plus) const;
    // The columns a SELECT yields, by name (its * expanded from the schema).
    QStringList resultColumns(const ast::Select& s) const;

    static Scope scopeOf(const ast::Select& s);
    // The type a CAST or CONVERT target names; Unknown for a type this layer does not convert to.
    static SqlType typeOf(const ast::DataType& t);
    static SqlType higher(SqlType a, SqlType b);
    static bool isNumeric(SqlType t) {
        return t == SqlType::Integer || t == SqlType::Decimal || t == SqlType::Boolean;
    }
    static bool isTemporal(SqlType t) { return t == SqlType::Date || t == SqlType::DateTime; }
    // A date style of CONVERT as each engine writes its format: strftime's (SQLite) and to_char's
    // (PostgreSQL); null for a style no rendering converts.
    struct DateStyle {
        const char* strftime;
        const char* toChar;
    };
    static const DateStyle* dateStyle(int style);

private:
    SqlType columnType(const ast::Expr& column) const;
    SqlType columnTypeIn(const ScopeTable& t, const QString& column) const;
    SqlType functionType(const ast::Expr& e) const;
    SqlType subqueryType(const ast::Select& s) const;
    const ScopeTable* resolveQualifier(const QStringList& qualifier) const;

    const SchemaInfo* m_schema;
    const std::vector<Scope>& m_scopes;
};

} // namespace sarvo::db
