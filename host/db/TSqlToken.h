// One lexical token of a Transact-SQL text, with its position so that a statement this layer
// cannot render can be reported at the place the caller wrote it.
#pragma once

#include <QString>

namespace sarvo::db {

struct TSqlToken {
    enum class Kind {
        Word,             // bare identifier or keyword: the parser decides which
        QuotedIdentifier, // [name] or "name"; text holds the name without its quotes
        String,           // '...'; text holds the value with doubled quotes undone
        NationalString,   // N'...'
        Number,           // integer or decimal
        Variable,         // @name
        Parameter,        // ?: a value the caller binds (the host's own statements)
        Symbol,           // operators and punctuation: ( ) , . ; = <> != < > <= >= + - * / %
        End
    };
    Kind kind = Kind::End;
    QString text;
    int position = 0; // 0-based offset of the first character in the source text

    bool isWord(const char* keyword) const {
        return kind == Kind::Word && text.compare(QLatin1String(keyword), Qt::CaseInsensitive) == 0;
    }
    bool isSymbol(const char* symbol) const { return kind == Kind::Symbol && text == QLatin1String(symbol); }
    bool isString() const { return kind == Kind::String || kind == Kind::NationalString; }
    bool isIdentifier() const { return kind == Kind::Word || kind == Kind::QuotedIdentifier; }
};

} // namespace sarvo::db
