// The server's own T-SQL, passed through: the server has its collation, conversions and
// functions, so every expression is written back as it was given (CASE, CAST and CONVERT, LIKE
// with ESCAPE, variables, COLLATE, TOP ... PERCENT / WITH TIES included).
#pragma once

#include "host/db/TSqlRenderer.h"

namespace sarvo::db {

class SqlServerRenderer : public TSqlRenderer {
public:
    SqlServerRenderer(const Dialect& d, const SchemaInfo* schema, const TranslatorOptions& o,
                      const QString& source)
        : TSqlRenderer(d, schema, o, source) {}

protected:
    void textComparison(const ast::Expr& a, const QString& op, const ast::Expr& b) override;
    void likeTest(const ast::Expr& subject, const ast::Expr& pattern, const ast::Expr* escape) override;
    void foldedText(const ast::Expr& e, bool subject) override;
    void convert(const ast::Expr& e, SqlType from, SqlType to) override;
    void cast(const ast::Expr& e) override;
    void function(const ast::Expr& e) override;

    void comparison(const ast::Expr& e) override;
    void like(const ast::Expr& e) override;
    void inList(const ast::Expr& e) override;
    void between(const ast::Expr& e) override;
    void caseExpr(const ast::Expr& e) override;
    void binary(const ast::Expr& e) override;
    void variable(const ast::Expr& e) override;
    void collate(const ast::Expr& e) override;
    void topClause(const ast::Select& s) override;
};

} // namespace sarvo::db
