// The server's default text collation on other engines; see Collation.h.
#include "host/db/Collation.h"

#include <QChar>
#include <QHash>
#include <QString>
#include <algorithm>

namespace sarvo::db {

namespace {

// Every wide and narrow form lies at U+3000 (the ideographic space) or in U+FF00..U+FFEF.
char32_t widthFold(char32_t c) {
    if (c != 0x3000 && (c < 0xFF00 || c > 0xFFEF)) return c;
    const QChar::Decomposition tag = QChar::decompositionTag(c);
    if (tag != QChar::Wide && tag != QChar::Narrow) return c;
    const QString d = QChar::decomposition(c);
    if (d.size() == 1) return d[0].unicode();
    if (d.size() == 2 && d[0].isHighSurrogate()) return QChar::surrogateToUcs4(d[0], d[1]);
    return c;
}

char32_t slowFold(char32_t c) {
    return QChar::toCaseFolded(widthFold(c));
}

// Characters with more than one form, by their fold.
const QHash<char32_t, std::vector<char32_t>>& formTable() {
    static const QHash<char32_t, std::vector<char32_t>> table = [] {
        QHash<char32_t, std::vector<char32_t>> t;
        for (char32_t c = 0; c < 0x20000; ++c) {
            if (c >= 0xD800 && c < 0xE000) continue;
            const char32_t f = Collation::fold(c);
            if (f != c) t[f].push_back(c);
        }
        for (auto it = t.begin(); it != t.end(); ++it) {
            it->push_back(it.key());
            std::sort(it->begin(), it->end());
        }
        return t;
    }();
    return table;
}

inline char32_t asciiFold(unsigned char b) {
    return (b >= 'A' && b <= 'Z') ? b + 32 : b;
}

} // namespace

bool Collation::readChar(const unsigned char* p, qsizetype n, qsizetype& i, char32_t& c) {
    const unsigned char b = p[i];
    int extra;
    if (b < 0x80) {
        c = b;
        ++i;
        return true;
    }
    if ((b & 0xE0) == 0xC0) {
        extra = 1;
        c = b & 0x1F;
    } else if ((b & 0xF0) == 0xE0) {
        extra = 2;
        c = b & 0x0F;
    } else if ((b & 0xF8) == 0xF0) {
        extra = 3;
        c = b & 0x07;
    } else {
        c = b;
        ++i;
        return false;
    }
    if (i + extra >= n) {
        c = b;
        ++i;
        return false;
    }
    for (int k = 1; k <= extra; ++k) {
        const unsigned char cont = p[i + k];
        if ((cont & 0xC0) != 0x80) {
            c = b;
            ++i;
            return false;
        }
        c = (c << 6) | (cont & 0x3F);
    }
    i += extra + 1;
    return true;
}

void Collation::appendChar(QByteArray& out, char32_t c) {
    if (c < 0x80) {
        out.append(static_cast<char>(c));
    } else if (c < 0x800) {
        out.append(static_cast<char>(0xC0 | (c >> 6)));
        out.append(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.append(static_cast<char>(0xE0 | (c >> 12)));
        out.append(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.append(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.append(static_cast<char>(0xF0 | (c >> 18)));
        out.append(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.append(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.append(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

QByteArray Collation::upperBound(const QByteArray& prefix) {
    if (prefix.isEmpty()) return top();
    QByteArray hi = prefix;
    // The last byte of UTF-8 text is below 0xC0, so raising it never carries.
    hi[hi.size() - 1] = static_cast<char>(static_cast<unsigned char>(hi[hi.size() - 1]) + 1);
    return hi;
}

char32_t Collation::fold(char32_t c) {
    if (c < 0x80) return asciiFold(static_cast<unsigned char>(c));
    return slowFold(c);
}

std::vector<char32_t> Collation::forms(char32_t c) {
    const char32_t f = fold(c);
    const auto& table = formTable();
    const auto it = table.constFind(f);
    if (it == table.cend()) return {f};
    return *it;
}

char32_t Collation::leastForm(char32_t c) {
    const char32_t f = fold(c);
    const auto& table = formTable();
    const auto it = table.constFind(f);
    return it == table.cend() ? f : it->front();
}

QByteArray Collation::foldText(const char* utf8, qsizetype size) {
    QByteArray out;
    out.reserve(size);
    const auto* p = reinterpret_cast<const unsigned char*>(utf8);
    for (qsizetype i = 0; i < size;) {
        if (p[i] < 0x80) {
            out.append(static_cast<char>(asciiFold(p[i++])));
            continue;
        }
        char32_t c;
        readChar(p, size, i, c);
        appendChar(out, fold(c));
    }
    qsizetype end = out.size();
    while (end > 0 && out[end - 1] == ' ')
        --end;
    out.truncate(end);
    return out;
}

int Collation::compare(const char* a, qsizetype aSize, const char* b, qsizetype bSize) {
    const auto* pa = reinterpret_cast<const unsigned char*>(a);
    const auto* pb = reinterpret_cast<const unsigned char*>(b);
    qsizetype i = 0, j = 0;
    // Account codes, class names in ASCII and user ids: one byte per character.
    while (i < aSize && j < bSize && pa[i] < 0x80 && pb[j] < 0x80) {
        const char32_t x = asciiFold(pa[i]), y = asciiFold(pb[j]);
        if (x != y) return x < y ? -1 : 1;
        ++i;
        ++j;
    }
    // The shorter text counts as padded with blanks.
    for (;;) {
        char32_t x = ' ', y = ' ';
        const bool moreA = i < aSize, moreB = j < bSize;
        if (!moreA && !moreB) return 0;
        if (moreA) {
            readChar(pa, aSize, i, x);
            x = fold(x);
        }
        if (moreB) {
            readChar(pb, bSize, j, y);
            y = fold(y);
        }
        if (x != y) return x < y ? -1 : 1;
    }
}

namespace {

// The key's characters; for an equal match without its trailing blanks (of any form).
std::vector<char32_t> keyChars(const QByteArray& utf8Key, Collation::Match match) {
    std::vector<char32_t> chars;
    const auto* p = reinterpret_cast<const unsigned char*>(utf8Key.constData());
    for (qsizetype i = 0; i < utf8Key.size();) {
        char32_t c;
        Collation::readChar(p, utf8Key.size(), i, c);
        chars.push_back(c);
    }
    if (match == Collation::Match::Equal)
        while (!chars.empty() && Collation::fold(chars.back()) == ' ')
            chars.pop_back();
    return chars;
}

Collation::Range mainOf(const QByteArray& leastPrefix, Collation::Match match) {
    // Trailing blanks: the first ' ' lies below '!'.
    if (match == Collation::Match::Equal) return {leastPrefix, leastPrefix + '!'};
    return {leastPrefix, Collation::upperBound(leastPrefix)};
}

} // namespace

// Every text that matches has, at each place of the key, one of the forms of the key's
// character there. Write each character in its least form (code point order is UTF-8 byte order)
// and the texts that match in those forms throughout lie in the main range; a text that first
// differs at place i, with another form f, lies in the range of the main prefix up to i followed
// by f. Those ranges all lie above the main range's start.
Collation::StoredRanges Collation::storedRanges(const QByteArray& utf8Key, Match match) {
    StoredRanges r;
    QByteArray prefix;
    auto branch = [&](char32_t least, const std::vector<char32_t>& all) {
        for (char32_t f : all) {
            if (f == least) continue;
            QByteArray lo = prefix;
            appendChar(lo, f);
            r.variants.emplace_back(lo, upperBound(lo));
        }
    };
    for (char32_t c : keyChars(utf8Key, match)) {
        const std::vector<char32_t> all = forms(c);
        branch(all.front(), all);
        appendChar(prefix, all.front());
    }
    // Trailing blanks: ' ' and what else folds to it.
    if (match == Match::Equal) branch(U' ', forms(U' '));
    r.main = mainOf(prefix, match);
    return r;
}

Collation::Range Collation::mainRange(const QByteArray& utf8Key, Match match) {
    QByteArray prefix;
    prefix.reserve(utf8Key.size() + 1);
    for (char32_t c : keyChars(utf8Key, match))
        appendChar(prefix, leastForm(c));
    return mainOf(prefix, match);
}

} // namespace sarvo::db
