// Hand-written lexer for the statements the component sends; see TSqlTokenizer.h.
#include "host/db/TSqlTokenizer.h"

#include "runtime/RuntimeError.h"

namespace sarvo::db {

namespace {

[[noreturn]] void fail(const QString& what, int position, const QString& text) {
    raise(ErrorCode::DatabaseError,
          QStringLiteral("%1 at position %2 in: %3").arg(what).arg(position + 1).arg(text));
}

// ASCII characters a word goes on with: letters, digits, _ # $ @.
bool asciiWordPart(char16_t u) {
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_' ||
           u == '#' || u == '$' || u == '@';
}

bool isWordStart(QChar c) {
    return c.isLetter() || c == QLatin1Char('_') || c == QLatin1Char('#');
}
bool isWordPart(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('#') || c == QLatin1Char('$') ||
           c == QLatin1Char('@');
}
bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Reads a literal or identifier closed by `close`, where a doubled `close` stands for itself.
int readQuoted(const QString& s, int start, QChar close, QString* out) {
    int i = start;
    while (i < s.size()) {
        if (s[i] == close) {
            if (i + 1 < s.size() && s[i + 1] == close) {
                out->append(close);
                i += 2;
                continue;
            }
            return i + 1;
        }
        out->append(s[i++]);
    }
    return -1;
}

// The end of a number token starting at i: it stops at the first character that cannot continue
// it, so a keyword written right after it ("2018order") is a token of its own.
int skipNumber(const QString& s, int i) {
    const int n = static_cast<int>(s.size());
    int j = i;
    while (j < n && isDigit(s[j]))
        ++j;
    if (j < n && s[j] == QLatin1Char('.')) {
        ++j;
        while (j < n && isDigit(s[j]))
            ++j;
    }
    if (j + 1 < n && (s[j] == QLatin1Char('e') || s[j] == QLatin1Char('E'))) {
        int k = j + 1;
        if (k < n && (s[k] == QLatin1Char('+') || s[k] == QLatin1Char('-'))) ++k;
        if (k < n && isDigit(s[k])) {
            while (k < n && isDigit(s[k]))
                ++k;
            j = k;
        }
    }
    return j;
}

} // namespace

QList<TSqlToken> TSqlTokenizer::tokenize(const QString& s) {
    QList<TSqlToken> tokens;
    int i = 0;
    const int n = static_cast<int>(s.size());
    while (i < n) {
        const QChar c = s[i];
        if (c.isSpace()) {
            ++i;
            continue;
        }
        if (c == QLatin1Char('-') && i + 1 < n && s[i + 1] == QLatin1Char('-')) {
            while (i < n && s[i] != QLatin1Char('\n'))
                ++i;
            continue;
        }
        if (c == QLatin1Char('/') && i + 1 < n && s[i + 1] == QLatin1Char('*')) {
            const int end = static_cast<int>(s.indexOf(QLatin1String("*/"), i + 2));
            if (end < 0) fail(QStringLiteral("Unterminated comment"), i, s);
            i = end + 2;
            continue;
        }
        TSqlToken t;
        t.position = i;
        if ((c == QLatin1Char('N') || c == QLatin1Char('n')) && i + 1 < n && s[i + 1] == QLatin1Char('\'')) {
            t.kind = TSqlToken::Kind::NationalString;
            i = readQuoted(s, i + 2, QLatin1Char('\''), &t.text);
            if (i < 0) fail(QStringLiteral("Unterminated string literal"), t.position, s);
        } else if (c == QLatin1Char('\'')) {
            t.kind = TSqlToken::Kind::String;
            i = readQuoted(s, i + 1, QLatin1Char('\''), &t.text);
            if (i < 0) fail(QStringLiteral("Unterminated string literal"), t.position, s);
        } else if (c == QLatin1Char('[')) {
            t.kind = TSqlToken::Kind::QuotedIdentifier;
            i = readQuoted(s, i + 1, QLatin1Char(']'), &t.text);
            if (i < 0) fail(QStringLiteral("Unterminated bracketed identifier"), t.position, s);
        } else if (c == QLatin1Char('"')) {
            t.kind = TSqlToken::Kind::QuotedIdentifier;
            i = readQuoted(s, i + 1, QLatin1Char('"'), &t.text);
            if (i < 0) fail(QStringLiteral("Unterminated quoted identifier"), t.position, s);
        } else if (isDigit(c) || (c == QLatin1Char('.') && i + 1 < n && isDigit(s[i + 1]))) {
            t.kind = TSqlToken::Kind::Number;
            const int j = skipNumber(s, i);
            t.text = s.mid(i, j - i);
            i = j;
        } else if (c == QLatin1Char('?')) {
            t.kind = TSqlToken::Kind::Parameter;
            t.text = QString(c);
            ++i;
        } else if (c == QLatin1Char('@')) {
            t.kind = TSqlToken::Kind::Variable;
            int j = i + 1;
            while (j < n && isWordPart(s[j]))
                ++j;
            t.text = s.mid(i, j - i);
            i = j;
        } else if (isWordStart(c)) {
            t.kind = TSqlToken::Kind::Word;
            int j = i + 1;
            while (j < n && isWordPart(s[j]))
                ++j;
            t.text = s.mid(i, j - i);
            i = j;
        } else {
            t.kind = TSqlToken::Kind::Symbol;
            static const char* const twoChar[] = {"<>", "!=", "<=", ">=", "!<", "!>"};
            bool matched = false;
            if (i + 1 < n) {
                const QString pair = s.mid(i, 2);
                for (const char* op : twoChar) {
                    if (pair == QLatin1String(op)) {
                        t.text = pair;
                        i += 2;
                        matched = true;
                        break;
                    }
                }
            }
            if (!matched) {
                static const QString single = QStringLiteral("(),.;=<>+-*/%");
                if (!single.contains(c)) fail(QStringLiteral("Unexpected character '%1'").arg(c), i, s);
                t.text = QString(c);
                ++i;
            }
        }
        tokens.append(t);
    }
    TSqlToken end;
    end.kind = TSqlToken::Kind::End;
    end.position = n;
    tokens.append(end);
    return tokens;
}

namespace {

// The end of a quoted token whose body starts at start (past the opening quote), or -1.
int skipQuoted(const QString& s, int start, QChar close) {
    const int n = static_cast<int>(s.size());
    for (int i = start; i < n; ++i) {
        if (s[i] != close) continue;
        if (i + 1 < n && s[i + 1] == close) {
            ++i;
            continue;
        }
        return i + 1;
    }
    return -1;
}


bool isSymbolChar(QChar c) {
    switch (c.unicode()) {
    case '(':
    case ')':
    case ',':
    case '.':
    case ';':
    case '=':
    case '<':
    case '>':
    case '+':
    case '-':
    case '*':
    case '/':
    case '%':
    case '!':
        return true;
    default:
        return false;
    }
}

} // namespace

bool TSqlTokenizer::scanLiterals(const QString& s, std::vector<Literal>* out) {
    out->clear();
    const int n = static_cast<int>(s.size());
    const QChar* d = s.constData();
    int i = 0;
    while (i < n) {
        const QChar c = d[i];
        const char16_t u = c.unicode();
        if (u == ' ' || (u < 0x80 ? (u >= 0x09 && u <= 0x0d) : c.isSpace())) {
            ++i;
            continue;
        }
        if (u == '-' && i + 1 < n && d[i + 1] == QLatin1Char('-')) {
            while (i < n && d[i] != QLatin1Char('\n'))
                ++i;
            continue;
        }
        if (u == '/' && i + 1 < n && d[i + 1] == QLatin1Char('*')) {
            const int end = static_cast<int>(s.indexOf(QLatin1String("*/"), i + 2));
            if (end < 0) return false;
            i = end + 2;
            continue;
        }
        if ((u == 'N' || u == 'n') && i + 1 < n && d[i + 1] == QLatin1Char('\'')) {
            const int end = skipQuoted(s, i + 2, QLatin1Char('\''));
            if (end < 0) return false;
            out->push_back({TSqlToken::Kind::NationalString, i, end});
            i = end;
        } else if (u == '\'') {
            const int end = skipQuoted(s, i + 1, QLatin1Char('\''));
            if (end < 0) return false;
            out->push_back({TSqlToken::Kind::String, i, end});
            i = end;
        } else if (u == '[' || u == '"') {
            i = skipQuoted(s, i + 1, u == '[' ? QLatin1Char(']') : QLatin1Char('"'));
            if (i < 0) return false;
        } else if (isDigit(c) || (u == '.' && i + 1 < n && isDigit(d[i + 1]))) {
            const int end = skipNumber(s, i);
            out->push_back({TSqlToken::Kind::Number, i, end});
            i = end;
        } else if (u == '?') {
            ++i;
        } else if (u == '@' || isWordStart(c)) {
            ++i;
            while (i < n && (d[i].unicode() < 0x80 ? asciiWordPart(d[i].unicode()) : isWordPart(d[i])))
                ++i;
        } else if (isSymbolChar(c)) {
            // "!" only begins "!=", "!<" or "!>".
            if (u == '!' && !(i + 1 < n && (d[i + 1] == QLatin1Char('=') || d[i + 1] == QLatin1Char('<') ||
                                            d[i + 1] == QLatin1Char('>'))))
                return false;
            ++i;
        } else {
            return false;
        }
    }
    return true;
}

int TSqlTokenizer::literalEnd(const QString& s, int i, TSqlToken::Kind kind) {
    const int n = static_cast<int>(s.size());
    if (i >= n) return -1;
    switch (kind) {
    case TSqlToken::Kind::String:
        return s[i] == QLatin1Char('\'') ? skipQuoted(s, i + 1, QLatin1Char('\'')) : -1;
    case TSqlToken::Kind::NationalString:
        return (s[i] == QLatin1Char('N') || s[i] == QLatin1Char('n')) && i + 1 < n &&
                       s[i + 1] == QLatin1Char('\'')
                   ? skipQuoted(s, i + 2, QLatin1Char('\''))
                   : -1;
    case TSqlToken::Kind::Number:
        return isDigit(s[i]) || (s[i] == QLatin1Char('.') && i + 1 < n && isDigit(s[i + 1]))
                   ? skipNumber(s, i)
                   : -1;
    default:
        return -1;
    }
}

QString TSqlTokenizer::literalValue(const QString& s, const Literal& l) {
    if (l.kind == TSqlToken::Kind::Number) return s.mid(l.begin, l.end - l.begin);
    const int open = l.kind == TSqlToken::Kind::NationalString ? l.begin + 2 : l.begin + 1;
    QString value = s.mid(open, l.end - 1 - open);
    if (value.contains(QLatin1Char('\''))) value.replace(QLatin1String("''"), QLatin1String("'"));
    return value;
}

} // namespace sarvo::db
