// A hierarchy build's prefix joins from one read; see JoinMemo.h.
#include "host/db/JoinMemo.h"

#include "host/db/Collation.h"
#include "host/db/Cursor.h"
#include "host/db/LikePattern.h"

#include <algorithm>

namespace sarvo::db {

namespace {

// Walks a token list against the join's text, word by word.
class Matcher {
public:
    explicit Matcher(const QList<TSqlToken>& tokens) : m_tokens(tokens) {}

    bool words(const char* spaced) {
        for (const QString& w : QString::fromLatin1(spaced).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (!ok()) return false;
            const TSqlToken& t = m_tokens[m_i];
            const bool symbol = !w[0].isLetter();
            if (symbol ? !(t.kind == TSqlToken::Kind::Symbol && t.text == w)
                       : !(t.kind == TSqlToken::Kind::Word && t.text.compare(w, Qt::CaseInsensitive) == 0))
                return false;
            ++m_i;
        }
        return true;
    }
    // tempdb..[name]: the name, which must be the same wherever it stands.
    bool table(QString* name) {
        if (!words("tempdb . .") || !ok()) return false;
        const TSqlToken& t = m_tokens[m_i];
        if (t.kind != TSqlToken::Kind::QuotedIdentifier || (!name->isNull() && t.text != *name)) return false;
        *name = t.text;
        ++m_i;
        return true;
    }
    bool literal(TSqlToken::Kind kind, int* index) {
        if (!ok() || m_tokens[m_i].kind != kind) return false;
        *index = static_cast<int>(m_i++);
        return true;
    }
    bool peekWord(const char* word) const { return ok() && m_tokens[m_i].isWord(word); }
    bool atEnd() const { return ok() && m_tokens[m_i].kind == TSqlToken::Kind::End; }

private:
    bool ok() const { return m_i < m_tokens.size(); }
    const QList<TSqlToken>& m_tokens;
    qsizetype m_i = 0;
};

bool isWildcard(char c) {
    return c == '%' || c == '_' || c == '[';
}

bool beginsWith(const QByteArray& text, const QByteArray& start) {
    return text.size() >= start.size() && std::equal(start.begin(), start.end(), text.begin());
}

} // namespace

std::optional<JoinMemo::Form> JoinMemo::recognize(const QList<TSqlToken>& tokens) {
    Matcher m(tokens);
    Form f;
    int percent = -1;
    if (!m.words("select distinct code . cclass , code . cClass , code . ccode , code . cCode_name , code . "
                 "ccode_engl , code . igrade from") ||
        !m.table(&f.table) || !m.words("inner join code on") || !m.table(&f.table) ||
        !m.words(". ccode like code . ccode +") || !m.literal(TSqlToken::Kind::String, &percent) ||
        tokens[percent].text != QLatin1String("%") || !m.words("where code ."))
        return std::nullopt;
    if (m.peekWord("ccode")) {
        if (!m.words("ccode like") || !m.literal(TSqlToken::Kind::String, &f.patternToken) ||
            !m.words("and code ."))
            return std::nullopt;
    }
    if (!m.words("igrade =") || !m.literal(TSqlToken::Kind::Number, &f.gradeToken) ||
        !m.words("and code . iYear =") || !m.literal(TSqlToken::Kind::Number, &f.yearToken) ||
        !m.words("order by code . ccode") || !m.atEnd())
        return std::nullopt;
    return f;
}

QString JoinMemo::codesQuery(const QString& table) {
    QString name = table;
    name.replace(QLatin1String("]"), QLatin1String("]]"));
    return QStringLiteral("select ccode from tempdb..[") + name + QLatin1Char(']');
}

QString JoinMemo::accountsQuery(const QString& yearLiteral) {
    return QStringLiteral(
               "select distinct code.cclass,code.cClass,code.ccode,code.cCode_name,code.ccode_engl,"
               "code.igrade from code where code.iYear=") +
           yearLiteral + QStringLiteral(" order by code.ccode");
}

QByteArray JoinMemo::foldChars(const QByteArray& utf8) {
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.constData());
    const qsizetype n = utf8.size();
    qsizetype i = 0;
    while (i < n && p[i] < 0x80 && !(p[i] >= 'A' && p[i] <= 'Z'))
        ++i;
    if (i == n) return utf8; // digits and the like: already folded
    QByteArray out = utf8.left(i);
    while (i < n) {
        char32_t c;
        Collation::readChar(p, n, i, c);
        Collation::appendChar(out, Collation::fold(c));
    }
    return out;
}

int JoinMemo::readFiltered(Cursor& codes) {
    m_filtered.clear();
    m_stored.clear();
    QByteArray utf8;
    while (codes.fetch()) {
        if (!codes.textBytes(0, &utf8)) {
            if (codes.value(0).isNull()) continue;
            return -1;
        }
        m_stored.emplace_back(utf8.constData(), utf8.size()); // its own copy: utf8 lives until the next row
        m_filtered.push_back(foldChars(m_stored.back()));
    }
    std::sort(m_filtered.begin(), m_filtered.end());
    return static_cast<int>(m_filtered.size());
}

bool JoinMemo::readAccounts(Cursor& accounts) {
    constexpr int kCode = 2, kGrade = 5; // the join's column order
    const std::vector<QByteArray>& filtered = m_filtered;
    const std::vector<QByteArray>& stored = m_stored;
    auto leads = [&](const QByteArray& code) {
        if (std::any_of(code.begin(), code.end(), isWildcard)) {
            // The engine's own LIKE decides for a code that is itself a pattern.
            const LikePattern pattern(code + '%');
            return std::any_of(stored.begin(), stored.end(),
                               [&](const QByteArray& t) { return pattern.matches(t); });
        }
        const QByteArray folded = foldChars(code);
        const auto at = std::lower_bound(filtered.begin(), filtered.end(), folded);
        return at != filtered.end() && beginsWith(*at, folded);
    };

    if (accounts.columnCount() != 6) return false;
    m_names.clear();
    for (int c = 0; c < accounts.columnCount(); ++c)
        m_names << accounts.columnName(c);
    m_rows.clear();
    m_grades.clear();
    QByteArray utf8;
    while (accounts.fetch()) {
        if (!accounts.textBytes(kCode, &utf8)) {
            if (accounts.value(kCode).isNull()) continue;
            return false;
        }
        if (!leads(utf8)) continue;
        const Variant code = accounts.value(kCode);
        const Variant grade = accounts.value(kGrade);
        if (grade.type() != Variant::Type::Long && grade.type() != Variant::Type::Integer) return false;
        std::vector<Variant> row(6);
        for (int c = 0; c < 6; ++c)
            row[static_cast<size_t>(c)] = c == kCode ? code : c == kGrade ? grade : accounts.value(c);
        const int index = static_cast<int>(m_rows.size());
        m_rows.push_back(std::move(row));
        Grade& g = m_grades[grade.toLong()];
        g.inOrder.push_back(index);
        const QByteArray folded = foldChars(utf8);
        g.byFolded.emplace_back(QByteArray(folded.constData(), folded.size()), index);
    }
    for (Grade& g : m_grades)
        std::sort(g.byFolded.begin(), g.byFolded.end());
    m_filtered = {};
    m_stored = {};
    return true;
}

bool JoinMemo::lookup(int grade, const QString* pattern, std::vector<int>* rows) const {
    rows->clear();
    QByteArray start;
    if (pattern) {
        const QByteArray utf8 = pattern->toUtf8();
        if (utf8.isEmpty() || !utf8.endsWith('%')) return false;
        start = utf8.left(utf8.size() - 1);
        if (std::any_of(start.begin(), start.end(), isWildcard)) return false;
    }
    const auto g = m_grades.constFind(grade);
    if (g == m_grades.cend()) return true;
    if (!pattern) {
        *rows = g->inOrder;
        return true;
    }
    const QByteArray folded = foldChars(start);
    auto at = std::lower_bound(
        g->byFolded.begin(), g->byFolded.end(), folded,
        [](const std::pair<QByteArray, int>& e, const QByteArray& k) { return e.first < k; });
    for (; at != g->byFolded.end() && beginsWith(at->first, folded); ++at)
        rows->push_back(at->second);
    std::sort(rows->begin(), rows->end());
    return true;
}

} // namespace sarvo::db
