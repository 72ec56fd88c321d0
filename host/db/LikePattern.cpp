// SQL Server LIKE semantics over UTF-8; see LikePattern.h.
#include "host/db/LikePattern.h"

#include "host/db/Collation.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace sarvo::db {

namespace {

std::vector<char32_t> decode(const QByteArray& s) {
    std::vector<char32_t> out;
    out.reserve(static_cast<size_t>(s.size()));
    const auto* p = reinterpret_cast<const unsigned char*>(s.constData());
    for (qsizetype i = 0; i < s.size();) {
        char32_t c;
        Collation::readChar(p, s.size(), i, c);
        out.push_back(c);
    }
    return out;
}

bool isWildcard(char32_t c) {
    return c == '%' || c == '_' || c == '[';
}

unsigned char asciiFold(unsigned char b) {
    return b >= 'A' && b <= 'Z' ? static_cast<unsigned char>(b + 32) : b;
}

// Bytes that may begin a character equal to an ASCII character without being one: the lead byte
// of every such character, and the byte itself where a malformed byte stands for one.
const std::array<bool, 256>& riskyBytes() {
    static const std::array<bool, 256> table = [] {
        std::array<bool, 256> t{};
        for (char32_t c = 0x80; c < 0x30000; ++c) {
            if (c >= 0xD800 && c < 0xE000) continue;
            if (Collation::fold(c) >= 0x80) continue;
            QByteArray utf8;
            Collation::appendChar(utf8, c);
            t[static_cast<unsigned char>(utf8[0])] = true;
            if (c < 0x100) t[c] = true;
        }
        return t;
    }();
    return table;
}

} // namespace

LikePattern::Element LikePattern::element(Element::Kind kind) {
    Element e;
    e.kind = kind;
    return e;
}

LikePattern::LikePattern(const QByteArray& utf8Pattern, char32_t escape) {
    if (escape == 0 && utf8Pattern.size() >= 2 && utf8Pattern.endsWith('%')) {
        const bool contains = utf8Pattern.startsWith('%');
        const QByteArray fixed = utf8Pattern.mid(contains ? 1 : 0, utf8Pattern.size() - (contains ? 2 : 1));
        const bool ascii = !fixed.isEmpty() && std::all_of(fixed.begin(), fixed.end(), [](char b) {
            return static_cast<unsigned char>(b) < 0x80 && !isWildcard(static_cast<unsigned char>(b));
        });
        if (ascii) {
            m_form = contains ? Form::Contains : Form::Prefix;
            for (char b : fixed)
                m_fixed.append(static_cast<char>(asciiFold(static_cast<unsigned char>(b))));
        }
    }
    const std::vector<char32_t> p = decode(utf8Pattern);
    for (size_t i = 0; i < p.size(); ++i) {
        const char32_t c = p[i];
        if (escape != 0 && c == escape) {
            // An escape with nothing after it makes the pattern match nothing, as on the server.
            if (i + 1 == p.size()) {
                m_never = true;
                return;
            }
            Element e = element(Element::Kind::Char);
            e.c = Collation::fold(p[++i]);
            m_elements.push_back(e);
        } else if (c == '%') {
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
            e.c = Collation::fold(c);
            m_elements.push_back(e);
        }
    }
}

bool LikePattern::inClass(const Element& e, char32_t c) {
    const char32_t f = Collation::fold(c);
    bool in = false;
    for (const auto& [lo, hi] : e.ranges) {
        if ((c >= lo && c <= hi) || (f >= Collation::fold(lo) && f <= Collation::fold(hi))) {
            in = true;
            break;
        }
    }
    return in != e.negated;
}

bool LikePattern::matches(const char* utf8, qsizetype n) const {
    if (m_never) return false;
    const auto* t = reinterpret_cast<const unsigned char*>(utf8);
    if (m_form != Form::General) {
        // A match found on the bytes is a match: ASCII bytes are whole characters. A text
        // without a match on the bytes can still match through a character that folds to ASCII.
        const auto* f = reinterpret_cast<const unsigned char*>(m_fixed.constData());
        const qsizetype k = m_fixed.size();
        const std::array<bool, 256>& risky = riskyBytes();
        if (m_form == Form::Prefix) {
            for (qsizetype j = 0; j < k; ++j) {
                if (j >= n) return false;
                if (t[j] >= 0x80) return risky[t[j]] && matchesSlowly(t, n);
                if (asciiFold(t[j]) != f[j]) return false;
            }
            return true;
        }
        if (!(f[0] >= 'a' && f[0] <= 'z')) {
            // A first character without another case: look for its byte directly.
            for (const unsigned char* p = t; (p = static_cast<const unsigned char*>(std::memchr(
                                                  p, f[0], static_cast<size_t>(t + n - p)))) != nullptr;
                 ++p) {
                const qsizetype i = p - t;
                if (i + k > n) break;
                qsizetype j = 1;
                while (j < k && asciiFold(t[i + j]) == f[j])
                    ++j;
                if (j == k) return true;
            }
            for (qsizetype i = 0; i < n; ++i)
                if (t[i] >= 0x80 && risky[t[i]]) return matchesSlowly(t, n);
            return false;
        }
        bool unsure = false;
        for (qsizetype i = 0; i < n; ++i) {
            const unsigned char b = t[i];
            if (b >= 0x80) {
                unsure = unsure || risky[b];
                continue;
            }
            if (asciiFold(b) != f[0] || i + k > n) continue;
            qsizetype j = 1;
            while (j < k && asciiFold(t[i + j]) == f[j])
                ++j;
            if (j == k) return true;
        }
        return unsure && matchesSlowly(t, n);
    }
    return matchesSlowly(t, n);
}

// Greedy walk with one backtrack point: the last % seen and the text position it resumed at;
// positions are byte offsets, characters decoded as they are reached.
bool LikePattern::matchesSlowly(const unsigned char* t, qsizetype n) const {
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
            Collation::readChar(t, n, next, c);
            bool ok = false;
            switch (e.kind) {
            case Element::Kind::One:
                ok = true;
                break;
            case Element::Kind::Char:
                ok = e.c == c || e.c == Collation::fold(c);
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
        Collation::readChar(t, n, starT, skipped);
        ti = starT;
    }
    while (pi < np && m_elements[pi].kind == Element::Kind::Any)
        ++pi;
    return pi == np;
}

bool LikePattern::startsFixed(const QString& pattern) {
    return !pattern.isEmpty() && !isWildcard(pattern[0].unicode());
}

QByteArray LikePattern::literalPrefix(const QByteArray& utf8Pattern) {
    qsizetype i = 0;
    while (i < utf8Pattern.size() && !isWildcard(static_cast<unsigned char>(utf8Pattern[i])))
        ++i;
    return utf8Pattern.left(i);
}

} // namespace sarvo::db
