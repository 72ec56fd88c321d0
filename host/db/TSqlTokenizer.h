// Splits a Transact-SQL text into tokens the way the server's lexer does: N'...' literals with
// doubled quotes, [bracketed] and "quoted" identifiers, comments, and numbers that end where a
// letter begins ("2018order" is the number 2018 and the word order).
#pragma once

#include "host/db/TSqlToken.h"

#include <QList>
#include <vector>

namespace sarvo::db {

class TSqlTokenizer {
public:
    // Raises RuntimeError (DatabaseError) for an unterminated literal, identifier or comment and
    // for a character the dialect does not know, naming the position.
    static QList<TSqlToken> tokenize(const QString& text);

    // Where the literals of a text are, found in one pass by the same rules as tokenize but
    // without making tokens: a text whose statement shape is known needs only its values.
    struct Literal {
        TSqlToken::Kind kind; // String, NationalString or Number
        int begin;            // first character of the token (the N or the quote)
        int end;              // one past its last character
    };
    // False where tokenize would fail; the caller then tokenizes to report the error.
    static bool scanLiterals(const QString& text, std::vector<Literal>* out);
    // The end of a literal of this kind starting at begin, by the rules of the scan; -1 when no
    // such literal starts there.
    static int literalEnd(const QString& text, int begin, TSqlToken::Kind kind);
    // A literal's value: a string's text with doubled quotes undone, a number's digits.
    static QString literalValue(const QString& text, const Literal& literal);
};

} // namespace sarvo::db
