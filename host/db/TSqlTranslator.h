// Renders the component's Transact-SQL, and the T-SQL a host adds to it, for one engine's dialect
// (Dialect.h) with the server's meaning: parse to a syntax tree (TSqlParser), then the dialect's
// renderer (TSqlRenderer and its engine classes). Literals become bound values so that every call
// of the same statement form has the same text and one prepared statement. Anything it cannot
// render raises a run-time error naming the construct and its position.
#pragma once

#include "host/db/Dialect.h"
#include "host/db/SchemaInfo.h"
#include "host/db/SqlValue.h"
#include "host/db/TSqlToken.h"

#include <QList>

#include <QString>
#include <vector>

namespace sarvo::db {

struct TranslatorOptions {
    bool bindLiterals = true;    // literals as bound values (else written into the text)
    bool likeRanges = true;      // index ranges beside text tests ("=", LIKE) on indexed columns
    bool indexTempTables = true; // CREATE INDEX on ccode after select-into a temporary table
};

struct RenderedStep {
    QString sql;                  // with placeholders when literals are bound
    std::vector<SqlValue> params; // in placeholder order
    std::vector<int> paramTokens; // the literal (or ? placeholder) token each value comes from
    QString text;                 // with the literals written in, for reading
    bool tempIndex = false;       // an index of a temporary table: speed only, never results
    // The other way to run a select * into a temporary table, where the dialect allows it: make
    // the table empty (Create), read only its codes (Codes), and fill it (Fill) the first time
    // anything else may read it. Not run with the steps above, and not in text().
    enum class Deferred : char { No, Create, Fill, Codes };
    Deferred deferred = Deferred::No;
};

struct Rendering {
    enum class Kind { Query, SelectInto, Insert, ConditionalInsert, Delete, Update, DropTable };
    Kind kind = Kind::Query;
    std::vector<RenderedStep> steps; // run in order; only a Query's last step returns rows
    // A table this statement creates or drops, so that the schema is read again.
    QString table;
    bool tableIsTemp = false;
    // Literal tokens written into the statement text although literals are bound (TOP n, ORDER
    // BY positions, select lists): a rendering serves another text of the same shape only when
    // these are equal.
    std::vector<int> inlineTokens;
    // The first step is a query that decides: the steps after it run only when it returns a row
    // (a conditional insert whose condition is false writes nothing and takes no write lock).
    bool guarded = false;

    bool changesSchema() const { return kind == Kind::SelectInto || kind == Kind::DropTable; }
    QString text() const; // the steps' texts joined by ";\n"
    static QString kindName(Kind kind);
};

class TSqlTranslator {
public:
    // schema may be null: then "+" between two columns cannot be told apart and is refused.
    TSqlTranslator(const Dialect& dialect, const SchemaInfo* schema);
    TSqlTranslator(const Dialect& dialect, const SchemaInfo* schema, TranslatorOptions options);

    // Raises DatabaseError for text it cannot parse or render.
    Rendering translate(const QString& tsql) const;
    Rendering translate(const QString& tsql, const QList<TSqlToken>& tokens) const;

    // Texts with the same shape key render alike but for their bound values: the key keeps
    // every token except the values of literals, of which it keeps only what the rendering
    // looks at (whether a text can start a LIKE index range, whether a number is whole).
    static QString shapeKey(const QList<TSqlToken>& tokens);
    // The rendering of a text with the shape of an earlier one (made from shapeTokens): the
    // earlier statements with this text's literal values; false when an inline literal differs.
    // The steps' reading texts are left empty.
    static bool rebind(const Rendering& shape, const QList<TSqlToken>& shapeTokens,
                       const QList<TSqlToken>& tokens, Rendering* out);

    const Dialect& dialect() const { return m_dialect; }
    const TranslatorOptions& options() const { return m_options; }

private:
    const Dialect& m_dialect;
    const SchemaInfo* m_schema;
    TranslatorOptions m_options;
};

} // namespace sarvo::db
