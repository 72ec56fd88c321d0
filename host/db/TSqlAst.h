// Syntax tree of the Transact-SQL subset this layer renders: what the component's statements and
// a caller's extra conditions can hold. Built by TSqlParser, rendered by TSqlTranslator.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

namespace sarvo::db::ast {

struct Select;

// A table's name as written: [database.][schema.]name, or a temporary table (tempdb..name, #name).
struct ObjectName {
    QString name;
    QString schema;
    QString database;
    bool quoted = false; // the name was bracketed
    bool temp = false;
    int position = 0;
};

// A type named in CAST or CONVERT: int, varchar(20), nvarchar(max), decimal(10,2), datetime.
struct DataType {
    QString name;               // lower case
    std::vector<qint64> args;   // length, or precision and scale
    std::vector<int> argTokens; // the tokens of args
    bool max = false;           // (max)
    int position = 0;
};

struct Expr {
    enum class Kind {
        String, // text: the value
        Number, // text: as written
        Null,
        Column,   // parts: qualifier parts then column; quoted: per part
        Star,     // * inside count(*)
        Paren,    // (children[0])
        Unary,    // op: "NOT", "-", "+"
        Binary,   // op: "AND", "OR", "=", "<>", "<", ">", "<=", ">=", "+", "-", "*", "/", "%"
        Like,     // children: subject, pattern[, escape]; negated
        In,       // children: subject, items...; or subject and subquery; negated
        Between,  // children: subject, low, high; negated
        IsNull,   // children: subject; negated
        Exists,   // subquery
        Subquery, // subquery
        Function, // text: name; children: arguments
        Case,     // operand (simple form) or null; children: when, then, when, then...; elseValue
        Cast,     // text: "cast" or "convert"; children: value[, style]; dataType
        Variable, // text: @name
        Collate,  // children: value; text: the collation's name
        Parameter // ? bound by the caller; token: its token
    };
    Kind kind;
    int position = 0;
    int token = -1; // index of the literal's token (String, Number, Parameter)
    QString text;
    QString op;
    bool negated = false;
    QStringList parts;
    std::vector<bool> quoted;
    std::vector<std::unique_ptr<Expr>> children;
    std::unique_ptr<Select> subquery;
    std::unique_ptr<Expr> operand;    // Case: the simple form's operand
    std::unique_ptr<Expr> elseValue;  // Case: ELSE
    std::optional<DataType> dataType; // Cast

    explicit Expr(Kind k, int pos = 0) : kind(k), position(pos) {}
};
using ExprPtr = std::unique_ptr<Expr>;

struct TableRef {
    ObjectName name;
    std::unique_ptr<Select> derived; // (select ...) alias
    QString alias;
    bool aliasQuoted = false;
};

struct Join {
    enum class Type { Comma, Inner, Left, Right, Full, Cross };
    Type type = Type::Comma;
    TableRef table;
    ExprPtr on;
};

struct SelectItem {
    ExprPtr expr;              // null for * and qualifier.*
    QStringList starQualifier; // qualifier.* (empty with expr null: plain *)
    QString alias;
    bool aliasQuoted = false;
};

struct OrderItem {
    ExprPtr expr;
    bool descending = false;
};

struct Select {
    int position = 0;
    bool distinct = false;
    std::optional<qint64> top;
    int topToken = -1;
    int topPosition = 0;
    bool topPercent = false; // TOP n PERCENT
    bool topWithTies = false;
    std::vector<SelectItem> items;
    std::optional<ObjectName> into;
    std::vector<Join> from; // the first entry's type is Comma
    ExprPtr where;
    std::vector<ExprPtr> groupBy;
    ExprPtr having;
    std::vector<OrderItem> orderBy;
};

struct Statement {
    enum class Kind { Select, Insert, Delete, Update, DropTable, IfExists };
    Kind kind = Kind::Select;
    int position = 0;
    std::unique_ptr<Select> select; // Select; Insert ... select; IfExists condition
    ObjectName table;               // Insert, Delete, Update, DropTable
    QStringList columns;            // Insert column list; Update assigned columns
    std::vector<bool> columnsQuoted;
    std::vector<std::vector<ExprPtr>> rows; // Insert values rows
    std::vector<ExprPtr> assignments;       // Update values, parallel to columns
    ExprPtr where;                          // Delete, Update
    bool ifExists = false;                  // DROP TABLE IF EXISTS
    bool negated = false;                   // IF NOT EXISTS
    std::unique_ptr<Statement> body;        // IfExists
};

} // namespace sarvo::db::ast
