// Splits a Transact-SQL text into tokens the way the server's lexer does: N'...' literals with
// doubled quotes, [bracketed] and "quoted" identifiers, comments, and numbers that end where a
// letter begins ("2018order" is the number 2018 and the word order).
#pragma once

#include "host/db/TSqlToken.h"

#include <QList>

namespace sarvo::db {

class TSqlTokenizer {
public:
    // Raises RuntimeError (DatabaseError) for an unterminated literal, identifier or comment and
    // for a character the dialect does not know, naming the position.
    static QList<TSqlToken> tokenize(const QString& text);
};

} // namespace sarvo::db
