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

    bool matches(const QByteArray& utf8Text) const;
    bool matches(const QString& text) const { return matches(text.toUtf8()); }

    static QByteArray fixedPrefix(const QByteArray& utf8Pattern);
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
    bool matchFrom(const std::vector<char32_t>& text) const;

    std::vector<Element> m_elements;
    bool m_never = false;
};

} // namespace sarvo::db
