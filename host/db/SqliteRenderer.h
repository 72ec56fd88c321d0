// SQLite's forms of the server's expressions. The server's collation, LIKE, conversions and
// text functions are functions registered on every connection (SqliteFunctions.h), used only in
// statements, so that the account-set file itself needs nothing registered.
//
// Index ranges for text tests: a table of the file is indexed over its texts as stored, so a
// test "ccode = key" or "ccode like key" becomes the range of the key's least forms (where
// codes are) widened to the end of the index only when a row in one of the key's other forms
// exists; that look costs one probe per other form, through the same index (the conjuncts that
// fix the year and grade are repeated in it). A temporary table is indexed over its folded texts,
// so there the test is one range.
#pragma once

#include "host/db/TSqlRenderer.h"

#include <functional>

namespace sarvo::db {

class SqliteRenderer : public TSqlRenderer {
public:
    SqliteRenderer(const Dialect& d, const SchemaInfo* schema, const TranslatorOptions& o,
                   const QString& source)
        : TSqlRenderer(d, schema, o, source) {}

protected:
    void textComparison(const ast::Expr& a, const QString& op, const ast::Expr& b) override;
    void likeTest(const ast::Expr& subject, const ast::Expr& pattern, const ast::Expr* escape) override;
    bool likeAny(const std::vector<const ast::Expr*>& likes) override;
    void foldedText(const ast::Expr& e, bool subject) override;
    bool canRange(const RangePlan& plan) const override;
    void rangedTest(const ast::Expr& e, const RangePlan& plan) override;
    void convert(const ast::Expr& e, SqlType from, SqlType to) override;
    void cast(const ast::Expr& e) override;
    void function(const ast::Expr& e) override;
    QString tempIndexExpression(const QString& column) const override;

private:
    void call(const QString& name, const std::vector<const ast::Expr*>& args);
    void storedRanges(const RangePlan& plan);
    // The ranges of the texts equal to (or, mode "0", matching) a key: column and key write
    // their values; the probe for other forms reads the table under the alias probe.
    void storedRanges(const RangePlan& plan, const std::function<void()>& column,
                      const std::function<void()>& key, const QString& mode, const QString& probe);
    // "alias.column = value AND " for each number column the plan's conjuncts fix.
    void fixedContext(const RangePlan& plan, const QString& alias);
    void listedKeys(const RangePlan& plan);
};

} // namespace sarvo::db
