// The rendering of one statement for one engine: statements, clauses and expressions written
// from the syntax tree, one function per construct. The server's meaning is kept where the engine
// differs: text compared under the server's collation, values converted as the server converts
// them when types meet (TSqlSemantics), its functions and conversions. What an engine writes its
// own way is a hook its renderer class overrides (SqliteRenderer, PostgresRenderer,
// SqlServerRenderer); what it cannot express is refused with the construct named.
//
// Literals become bound values, so every text of one shape renders to one prepared statement;
// what the rendering reads from a literal (a type's length, a conversion style, TOP n) is written
// in and recorded, so that a text with another value there is a shape of its own.
#pragma once

#include "host/db/Dialect.h"
#include "host/db/SchemaInfo.h"
#include "host/db/TSqlAst.h"
#include "host/db/TSqlSemantics.h"
#include "host/db/TSqlTranslator.h"

#include <memory>
#include <unordered_map>
#include <vector>

namespace sarvo::db {

class TSqlRenderer {
public:
    static std::unique_ptr<TSqlRenderer> create(const Dialect& d, const SchemaInfo* schema,
                                                const TranslatorOptions& o, const QString& source);
    virtual ~TSqlRenderer() = default;

    Rendering statement(const ast::Statement& s);

protected:
    TSqlRenderer(const Dialect& d, const SchemaInfo* schema, const TranslatorOptions& o,
                 const QString& source);

    // A text test that an index over the column can serve: column = key, column LIKE key (key's
    // literal start not empty) or column IN (keys), found among the conjuncts of a WHERE or ON, on
    // a column the account set indexes (code and class); context holds the conjuncts that fix a
    // number column of the same table (column = number or ?), which a range over an index that
    // begins with those columns needs.
    struct RangePlan {
        const ast::Expr* column = nullptr;
        const ast::Expr* key = nullptr; // the IN expression itself for a list
        bool like = false;
        bool list = false; // column IN (keys)
        const ScopeTable* table = nullptr;
        std::vector<std::pair<const ast::Expr*, const ast::Expr*>> context; // column, number
    };

    // ---- hooks: how this engine writes a construct --------------------------------------------
    // a op b under the server's collation; op one of = <> < > <= >=.
    virtual void textComparison(const ast::Expr& a, const QString& op, const ast::Expr& b) = 0;
    // subject LIKE pattern [ESCAPE escape] with the server's meaning (without NOT).
    virtual void likeTest(const ast::Expr& subject, const ast::Expr& pattern, const ast::Expr* escape) = 0;
    // Several LIKE tests ORed (a OR b OR ...; none negated, ranged or with an escape) as one
    // test with the OR's meaning, true, false or unknown; false when the engine has no such form.
    virtual bool likeAny(const std::vector<const ast::Expr*>&) { return false; }
    // A text value folded as the collation compares it, for IN lists.
    virtual void foldedText(const ast::Expr& e, bool subject) = 0;
    // Whether an index range can serve the test, and the test written with it.
    virtual bool canRange(const RangePlan&) const { return false; }
    // Whether a text column is indexed for ranges (code and class by default), and whether the
    // tests inside the arms of an OR among the conjuncts are ranged too (a server that combines
    // one index scan per arm).
    virtual bool rangesColumn(const QString& name) const;
    virtual bool rangesOrArms() const { return false; }
    virtual void rangedTest(const ast::Expr& e, const RangePlan& plan);
    // A value of type from, brought to type to as the server converts when types meet.
    virtual void convert(const ast::Expr& e, SqlType from, SqlType to) = 0;
    virtual void cast(const ast::Expr& e) = 0;
    virtual void function(const ast::Expr& e) = 0;
    // The indexed expression of a temporary table's column.
    virtual QString tempIndexExpression(const QString& column) const { return identifier(column, false); }

    // ---- constructs an engine may write its own way ---------------------------------------------
    virtual void expr(const ast::Expr& e);
    virtual void comparison(const ast::Expr& e);
    virtual void like(const ast::Expr& e);
    virtual void inList(const ast::Expr& e);
    virtual void between(const ast::Expr& e);
    virtual void caseExpr(const ast::Expr& e);
    virtual void binary(const ast::Expr& e);
    virtual void variable(const ast::Expr& e);
    virtual void collate(const ast::Expr& e);
    virtual void topClause(const ast::Select& s);
    virtual void limitClause(const ast::Select& s);

    // ---- shared parts ------------------------------------------------------------------------
    // e as a value of type to (converted when its own type differs).
    void operand(const ast::Expr& e, SqlType to);
    void compareValues(const ast::Expr& a, const QString& op, const ast::Expr& b);
    void concatenation(const ast::Expr& e);
    void arithmetic(const ast::Expr& e);
    void stringLiteral(const ast::Expr& e);
    void number(const ast::Expr& e);
    // ? in the host's own statements: a value the caller binds, never written in.
    void parameter(const ast::Expr& e) { m_w.parameter(e.token); }
    // A number the rendering writes into the text (a length, a style): recorded with its token.
    QString inlineNumber(qint64 value, int token);
    void column(const ast::Expr& e);
    void select(const ast::Select& s);
    void list(const std::vector<ast::ExprPtr>& items, size_t from = 0);
    void put(const QString& s) { m_w.put(s); }
    QString identifier(const QString& name, bool quoted) const;
    QString tableName(const ast::ObjectName& n) const;
    SqlType typeOf(const ast::Expr& e) const { return m_sem.typeOf(e); }
    [[noreturn]] void unsupported(const QString& construct, int position) const;
    // A CAST or CONVERT as every engine checks it: the value, its type and the target's, the
    // style (-1 without one), the function's name; what no engine converts is refused here.
    struct Conversion {
        const ast::Expr& value;
        SqlType from;
        SqlType to;
        int style;
        QString what;
    };
    Conversion conversion(const ast::Expr& e);
    [[noreturn]] void refuseConvertStyle(const ast::Expr& e, int style) const;

    const Dialect& m_d;
    const SchemaInfo* m_schema;
    const TranslatorOptions& m_o;
    const QString& m_source;
    std::vector<Scope> m_scopes;
    TSqlSemantics m_sem;

private:
    // Accumulates one step: the statement with placeholders and the same with literals written in.
    struct Writer {
        const Dialect* dialect = nullptr;
        bool bind = true;
        RenderedStep step;
        void put(const QString& s) {
            step.sql += s;
            step.text += s;
        }
        void value(const SqlValue& v, const QString& literal, int token);
        void parameter(int token);
    };

    Rendering query(const ast::Statement& s);
    Rendering selectInto(const ast::Statement& s);
    Rendering insert(const ast::Statement& s);
    Rendering conditionalInsert(const ast::Statement& s);
    Rendering deleteFrom(const ast::Statement& s);
    Rendering update(const ast::Statement& s);
    Rendering dropTable(const ast::Statement& s);
    void selectItems(const ast::Select& s);
    void fromClause(const ast::Select& s);
    void tableRef(const ast::TableRef& r);
    void orderBy(const ast::Select& s);
    void insertHead(const ast::Statement& s);
    void valuesRow(const std::vector<ast::ExprPtr>& row);
    void tempIndexSteps(const ast::Select& s, Rendering& r);
    void deferredSteps(const ast::Select& s, Rendering& r);
    void paren(const ast::Expr& e);
    bool plainLikeArms(const ast::Expr& e, std::vector<const ast::Expr*>& arms) const;
    void unary(const ast::Expr& e);
    void isNull(const ast::Expr& e);
    void exists(const ast::Expr& e);
    void subquery(const ast::Expr& e);
    // Index ranges for the text tests among the conjuncts of a WHERE and its inner joins' ON.
    void planRanges(const std::vector<const ast::Expr*>& chains);
    void planOrArms(const ast::Expr& e, const std::vector<const ast::Expr*>& outer);
    void planConjunct(const ast::Expr& c, const std::vector<const ast::Expr*>& all);
    std::vector<RangePlan> rangePlans(const ast::Expr& conjunct,
                                      const std::vector<const ast::Expr*>& conjuncts) const;
    Rendering finish(Rendering::Kind kind);

    Writer m_w;
    bool m_inline = false; // literals written in: select lists, ORDER BY positions
    std::vector<int> m_inlineTokens;
    std::unordered_map<const ast::Expr*, RangePlan> m_ranges;
    bool m_foldFirstItem = false; // the subquery of a text IN: its value folded
    QString m_onlyColumn;         // written instead of the next select list (one column of *)
};

} // namespace sarvo::db
