// SQL Server's LIKE for engines that lack it: %, _, [abc], [a-f], [^a] and an optional escape
// character, compared under the server's collation (Collation.h: case- and width-insensitive,
// accent-sensitive). A '[' that is never closed matches nothing. Trailing blanks count, as they
// do for Unicode text on the server.
#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace sarvo::db {

class LikePattern {
public:
    // escape: 0 for none; otherwise the character that makes the next one stand for itself.
    explicit LikePattern(const QByteArray& utf8Pattern, char32_t escape = 0);
    explicit LikePattern(const QString& pattern, char32_t escape = 0)
        : LikePattern(pattern.toUtf8(), escape) {}

    bool matches(const QByteArray& utf8Text) const { return matches(utf8Text.constData(), utf8Text.size()); }
    bool matches(const char* utf8, qsizetype size) const;
    bool matches(const QString& text) const { return matches(text.toUtf8()); }

    // The characters every match begins with: the pattern up to its first wildcard, as written.
    static QByteArray literalPrefix(const QByteArray& utf8Pattern);
    // Whether the literal prefix of a pattern is not empty (looks at its first character only).
    static bool startsFixed(const QString& pattern);

private:
    struct Element {
        enum class Kind { Char, One, Any, Class };
        Kind kind = Kind::Char;
        char32_t c = 0; // folded, for Char
        bool negated = false;
        std::vector<std::pair<char32_t, char32_t>> ranges; // for Class, as written
    };
    static Element element(Element::Kind kind);
    static bool inClass(const Element& e, char32_t c);
    bool matchesSlowly(const unsigned char* t, qsizetype n) const;

    std::vector<Element> m_elements;
    bool m_never = false;
    // "fixed%" and "%fixed%" with a fixed part of ASCII characters (the quick filter's patterns):
    // tested on the bytes, folded as ASCII, for every text without a character whose fold is
    // ASCII although it is not (full-width forms, the ideographic space, a few signs); such texts
    // take the general walk.
    enum class Form { General, Prefix, Contains };
    Form m_form = Form::General;
    QByteArray m_fixed; // folded
};

} // namespace sarvo::db
