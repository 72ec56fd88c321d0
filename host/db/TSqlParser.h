// Recursive-descent parser from tokens to the syntax tree of TSqlAst.h. It accepts every construct
// the tree can hold, whichever engine can render it: refusing is the renderer's part. What the
// tree cannot hold it refuses with a run-time error naming the construct and its position, so a
// statement is never half understood.
#pragma once

#include "host/db/TSqlAst.h"
#include "host/db/TSqlToken.h"

#include <QList>

namespace sarvo::db {

class TSqlParser {
public:
    // One statement (an IF batch counts as one). Raises DatabaseError.
    static std::unique_ptr<ast::Statement> parse(const QString& text);
    // The same over tokens already made by TSqlTokenizer from text.
    static std::unique_ptr<ast::Statement> parse(const QString& text, const QList<TSqlToken>& tokens);

private:
    TSqlParser(const QString& text, QList<TSqlToken> tokens);

    std::unique_ptr<ast::Statement> statement();
    std::unique_ptr<ast::Statement> insert();
    std::unique_ptr<ast::Statement> deleteFrom();
    std::unique_ptr<ast::Statement> update();
    std::unique_ptr<ast::Statement> dropTable();
    std::unique_ptr<ast::Statement> ifExists();
    std::unique_ptr<ast::Select> select(bool allowInto);
    void selectItems(ast::Select& s);
    void fromClause(ast::Select& s);
    ast::TableRef tableRef();
    ast::ObjectName objectName();

    ast::ExprPtr expr();
    ast::ExprPtr andExpr();
    ast::ExprPtr notExpr();
    ast::ExprPtr predicate();
    ast::ExprPtr additive();
    ast::ExprPtr multiplicative();
    ast::ExprPtr unary();
    ast::ExprPtr primary();
    ast::ExprPtr functionCall();
    ast::ExprPtr caseExpr();
    ast::ExprPtr castExpr(const TSqlToken& name);
    ast::ExprPtr convertExpr(const TSqlToken& name);
    ast::DataType dataType();
    ast::ExprPtr columnRef();
    std::vector<ast::ExprPtr> exprList();

    const TSqlToken& peek(int ahead = 0) const;
    const TSqlToken& next();
    bool acceptWord(const char* keyword);
    bool acceptSymbol(const char* symbol);
    void expectWord(const char* keyword);
    void expectSymbol(const char* symbol);
    bool atReserved(int ahead = 0) const;
    bool atAlias() const;
    QString alias(bool* quoted);
    [[noreturn]] void syntaxError(const TSqlToken& at) const;
    [[noreturn]] void unsupported(const QString& construct, int position) const;

    QString m_text;
    QList<TSqlToken> m_tokens;
    int m_pos = 0;
};

} // namespace sarvo::db
