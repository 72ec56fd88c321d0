// The server's default collation for text, as this layer gives it on engines that compare text
// otherwise: case-insensitive (simple Unicode case folding, every script) and width-insensitive
// (full-width forms equal their ASCII forms, the ideographic space is a blank, half-width
// katakana equal their full forms), accent-sensitive. "=" and the order comparisons ignore
// trailing blanks, as the server pads the shorter text with blanks.
//
// It also works out where in an index over the texts as stored (byte order) every text lies
// that can equal a key, or begin like a LIKE pattern: one main range over the key written in its
// least forms, and one small range for each other form of each of its characters. Codes are
// stored in their ASCII forms, so the other ranges are empty in practice and cost one look each.
#pragma once

#include <QByteArray>
#include <utility>
#include <vector>

namespace sarvo::db {

class Collation {
public:
    // The one character that stands for every character equal to c.
    static char32_t fold(char32_t c);
    // Every character equal to c, in code point order (c's least form first); at least c's fold.
    static std::vector<char32_t> forms(char32_t c);
    // forms(c).front().
    static char32_t leastForm(char32_t c);
    // UTF-8 text folded character by character, trailing blanks removed: equal texts give equal
    // bytes, and the bytes order texts as compare() does.
    static QByteArray foldText(const char* utf8, qsizetype size);
    // <0, 0, >0 as a sorts before, equal to or after b.
    static int compare(const char* a, qsizetype aSize, const char* b, qsizetype bSize);

    enum class Match {
        Prefix, // texts that begin with the key (the literal start of a LIKE pattern)
        Equal   // texts equal to the key
    };
    using Range = std::pair<QByteArray, QByteArray>; // lo <= text < hi
    struct StoredRanges {
        Range main;                  // the key in its least forms
        std::vector<Range> variants; // the key with one character in another form
    };
    static StoredRanges storedRanges(const QByteArray& utf8Key, Match match);
    // storedRanges().main alone, without making the variants: what an index range's two ends ask.
    static Range mainRange(const QByteArray& utf8Key, Match match);
    // A text above every valid UTF-8 text: the upper bound of a range that must reach the end.
    static QByteArray top() { return QByteArray(1, '\xFF'); }

    // UTF-8 helpers shared with LikePattern. readChar returns false for a malformed sequence,
    // whose first byte then stands for itself so that a walk still ends.
    static bool readChar(const unsigned char* p, qsizetype n, qsizetype& i, char32_t& c);
    static void appendChar(QByteArray& out, char32_t c);
    // The least text above every text that begins with prefix; for an empty prefix, top().
    static QByteArray upperBound(const QByteArray& prefix);
};

} // namespace sarvo::db
