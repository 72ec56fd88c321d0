// PostgreSQL's forms of the server's expressions. The server's collation lives in functions the
// account set's schema defines (data/schema/postgresql.sql): sarvo_fold(text) folds case and
// width and drops trailing blanks, and the codes are indexed over (sarvo_fold(ccode) COLLATE "C"),
// so "=" is one index look and a LIKE with a literal start one index range, bounds computed on the
// server from the bound pattern (a generic plan cannot take a LIKE prefix from a parameter, it can
// take these bounds). Folded texts compare in byte order, which is the order the other engines'
// renderings give too.
#pragma once

#include "host/db/TSqlRenderer.h"

namespace sarvo::db {

class PostgresRenderer : public TSqlRenderer {
public:
    PostgresRenderer(const Dialect& d, const SchemaInfo* schema, const TranslatorOptions& o,
                     const QString& source)
        : TSqlRenderer(d, schema, o, source) {}

protected:
    void textComparison(const ast::Expr& a, const QString& op, const ast::Expr& b) override;
    void likeTest(const ast::Expr& subject, const ast::Expr& pattern, const ast::Expr* escape) override;
    void foldedText(const ast::Expr& e, bool subject) override;
    bool canRange(const RangePlan& plan) const override;
    bool rangesColumn(const QString& name) const override;
    bool rangesOrArms() const override { return true; }
    void rangedTest(const ast::Expr& e, const RangePlan& plan) override;
    void convert(const ast::Expr& e, SqlType from, SqlType to) override;
    void cast(const ast::Expr& e) override;
    void function(const ast::Expr& e) override;
    QString tempIndexExpression(const QString& column) const override;

private:
    // A value where text is wanted: numbers and dates cast to text, as the server converts them.
    void text(const ast::Expr& e);
    void call(const QString& name, const std::vector<const ast::Expr*>& textArgs);
};

} // namespace sarvo::db
