// SQL Server's LIKE for engines that lack it: %, _, [abc], [a-f], [^a], compared case-insensitively
// for every script (simple Unicode case folding: Latin, Greek, Cyrillic, full-width forms),
// accent- and width-sensitive. A '[' that is never closed matches nothing.
//
// Index support: fixedPrefix() is the start that every match shares byte for byte (up to the
// first wildcard or letter that has case forms), and upperBound() the least text above all texts
// with that start, so "lo <= subject < hi AND matches" finds the same rows with a range scan.
#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace sarvo::db {

class LikePattern {
public:
    explicit LikePattern(const QByteArray& utf8Pattern);
    explicit LikePattern(const QString& pattern) : LikePattern(pattern.toUtf8()) {}

    bool matches(const QByteArray& utf8Text) const { return matches(utf8Text.constData(), utf8Text.size()); }
    bool matches(const char* utf8, qsizetype size) const;
    bool matches(const QString& text) const { return matches(text.toUtf8()); }

    static QByteArray fixedPrefix(const QByteArray& utf8Pattern);
    // Length of the leading run of ASCII characters that match only themselves (no letters, no
    // wildcards): the common case of account codes, answered without decoding.
    static qsizetype asciiFixedLength(const char* utf8, qsizetype size);
    // Whether the fixed prefix of a pattern is not empty (looks at its first character only).
    static bool startsFixed(const QString& pattern);
    // Prefix with its last byte raised by one; for an empty prefix a text above any valid UTF-8.
    static QByteArray upperBound(const QByteArray& utf8Prefix);
    static char32_t fold(char32_t c);
    // True for a character that some other character equals without regard to case.
    static bool hasCaseForms(char32_t c);

private:
    struct Element {
        enum class Kind { Char, One, Any, Class, Never };
        Kind kind = Kind::Char;
        char32_t c = 0; // folded, for Char
        bool negated = false;
        std::vector<std::pair<char32_t, char32_t>> ranges; // for Class, as written
    };
    static Element element(Element::Kind kind);
    static bool inClass(const Element& e, char32_t c);

    std::vector<Element> m_elements;
    bool m_never = false;
    // "fixed%" with an ASCII fixed part: a byte prefix test.
    QByteArray m_prefixOnly;
    bool m_isPrefixOnly = false;
};

} // namespace sarvo::db
