// SQL Server LIKE semantics over UTF-8; see LikePattern.h.
#include "host/db/LikePattern.h"

#include <QChar>
#include <cstring>

namespace sarvo::db {

namespace {

// Reads the character at byte i; false for a malformed sequence, whose first byte then stands
// for itself so that matching still ends.
bool readChar(const unsigned char* p, qsizetype n, qsizetype& i, char32_t& c) {
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

std::vector<char32_t> decode(const QByteArray& s) {
    std::vector<char32_t> out;
    out.reserve(static_cast<size_t>(s.size()));
    const auto* p = reinterpret_cast<const unsigned char*>(s.constData());
    for (qsizetype i = 0; i < s.size();) {
        char32_t c;
        readChar(p, s.size(), i, c);
        out.push_back(c);
    }
    return out;
}

} // namespace

char32_t LikePattern::fold(char32_t c) {
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    return QChar::toCaseFolded(c);
}

bool LikePattern::hasCaseForms(char32_t c) {
    if (c < 0x80) return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    const QChar::Category cat = QChar::category(c);
    if (cat == QChar::Letter_Uppercase || cat == QChar::Letter_Lowercase || cat == QChar::Letter_Titlecase)
        return true;
    return QChar::toCaseFolded(c) != c || QChar::toUpper(c) != c || QChar::toLower(c) != c ||
           QChar::toTitleCase(c) != c;
}

LikePattern::Element LikePattern::element(Element::Kind kind) {
    Element e;
    e.kind = kind;
    return e;
}

qsizetype LikePattern::asciiFixedLength(const char* utf8, qsizetype size) {
    qsizetype i = 0;
    for (; i < size; ++i) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b >= 0x80 || b == '%' || b == '_' || b == '[' || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z'))
            break;
    }
    return i;
}

LikePattern::LikePattern(const QByteArray& utf8Pattern) {
    const qsizetype fixed = asciiFixedLength(utf8Pattern.constData(), utf8Pattern.size());
    if (fixed == utf8Pattern.size() - 1 && utf8Pattern.endsWith('%')) {
        m_isPrefixOnly = true;
        m_prefixOnly = utf8Pattern.left(fixed);
    }
    const std::vector<char32_t> p = decode(utf8Pattern);
    for (size_t i = 0; i < p.size(); ++i) {
        const char32_t c = p[i];
        if (c == '%') {
            if (m_elements.empty() || m_elements.back().kind != Element::Kind::Any)
                m_elements.push_back(element(Element::Kind::Any));
        } else if (c == '_') {
            m_elements.push_back(element(Element::Kind::One));
        } else if (c == '[') {
            size_t j = i + 1;
            Element e = element(Element::Kind::Class);
            if (j < p.size() && p[j] == '^') {
                e.negated = true;
                ++j;
            }
            bool closed = false;
            while (j < p.size()) {
                if (p[j] == ']') {
                    closed = true;
                    break;
                }
                if (j + 2 < p.size() && p[j + 1] == '-' && p[j + 2] != ']') {
                    e.ranges.emplace_back(p[j], p[j + 2]);
                    j += 3;
                } else {
                    e.ranges.emplace_back(p[j], p[j]);
                    ++j;
                }
            }
            if (!closed || e.ranges.empty()) {
                m_never = true;
                return;
            }
            m_elements.push_back(std::move(e));
            i = j;
        } else {
            Element e = element(Element::Kind::Char);
            e.c = fold(c);
            m_elements.push_back(e);
        }
    }
}

bool LikePattern::inClass(const Element& e, char32_t c) {
    const char32_t f = fold(c);
    bool in = false;
    for (const auto& [lo, hi] : e.ranges) {
        if ((c >= lo && c <= hi) || (f >= fold(lo) && f <= fold(hi))) {
            in = true;
            break;
        }
    }
    return in != e.negated;
}

bool LikePattern::matches(const char* utf8, qsizetype n) const {
    if (m_never) return false;
    if (m_isPrefixOnly)
        return n >= m_prefixOnly.size() &&
               std::memcmp(utf8, m_prefixOnly.constData(), static_cast<size_t>(m_prefixOnly.size())) == 0;
    const auto* t = reinterpret_cast<const unsigned char*>(utf8);
    // Greedy walk with one backtrack point: the last % seen and the text position it resumed
    // at; positions are byte offsets, characters decoded as they are reached.
    qsizetype ti = 0;
    size_t pi = 0;
    size_t starP = SIZE_MAX;
    qsizetype starT = 0;
    const size_t np = m_elements.size();
    while (ti < n) {
        if (pi < np) {
            const Element& e = m_elements[pi];
            if (e.kind == Element::Kind::Any) {
                starP = pi++;
                starT = ti;
                continue;
            }
            qsizetype next = ti;
            char32_t c;
            readChar(t, n, next, c);
            bool ok = false;
            switch (e.kind) {
            case Element::Kind::One:
                ok = true;
                break;
            case Element::Kind::Char:
                ok = e.c == c || e.c == fold(c);
                break;
            case Element::Kind::Class:
                ok = inClass(e, c);
                break;
            default:
                break;
            }
            if (ok) {
                ++pi;
                ti = next;
                continue;
            }
        }
        if (starP == SIZE_MAX) return false;
        pi = starP + 1;
        char32_t skipped;
        readChar(t, n, starT, skipped);
        ti = starT;
    }
    while (pi < np && m_elements[pi].kind == Element::Kind::Any)
        ++pi;
    return pi == np;
}

bool LikePattern::startsFixed(const QString& pattern) {
    if (pattern.isEmpty()) return false;
    char32_t c = pattern[0].unicode();
    if (QChar::isHighSurrogate(c) && pattern.size() > 1) c = QChar::surrogateToUcs4(pattern[0], pattern[1]);
    return !(c == '%' || c == '_' || c == '[' || hasCaseForms(c));
}

QByteArray LikePattern::fixedPrefix(const QByteArray& utf8Pattern) {
    const auto* p = reinterpret_cast<const unsigned char*>(utf8Pattern.constData());
    qsizetype i = 0;
    while (i < utf8Pattern.size()) {
        const qsizetype start = i;
        char32_t c;
        if (!readChar(p, utf8Pattern.size(), i, c) || c == '%' || c == '_' || c == '[' || hasCaseForms(c))
            return utf8Pattern.left(start);
    }
    return utf8Pattern;
}

QByteArray LikePattern::upperBound(const QByteArray& utf8Prefix) {
    if (utf8Prefix.isEmpty()) return QByteArray(1, '\xFF');
    QByteArray hi = utf8Prefix;
    // The last byte of UTF-8 text is below 0xC0, so raising it never carries.
    hi[hi.size() - 1] = static_cast<char>(static_cast<unsigned char>(hi[hi.size() - 1]) + 1);
    return hi;
}

} // namespace sarvo::db
