// A hierarchy build's prefix joins from one read; see JoinMemo.h.
#include "host/db/JoinMemo.h"

#include "host/db/Collation.h"
#include "host/db/Cursor.h"
#include "host/db/LikePattern.h"
#include "host/db/StoredRows.h"

#include <QVarLengthArray>

#include <algorithm>
#include <limits>

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

// The first position in sorted whose text is not below key, searched onward from *hint (where the
// last search ended) when key is not below the text before it: a build asks in code order, so
// the answer is mostly at or just after the last one.
template <class T, class TextOf>
size_t lowerBoundFrom(const std::vector<T>& sorted, std::string_view key, size_t* hint,
                      const TextOf& textOf) {
    const size_t n = sorted.size();
    size_t lo = *hint > 0 && *hint <= n && textOf(sorted[*hint - 1]) < key ? *hint : 0;
    // Mostly the answer is right there: one look settles it.
    if (lo == n || !(textOf(sorted[lo]) < key)) {
        *hint = lo;
        return lo;
    }
    ++lo;
    size_t step = 2;
    while (lo + step <= n && textOf(sorted[lo + step - 1]) < key) {
        lo += step;
        step *= 2;
    }
    const auto end = sorted.begin() + static_cast<std::ptrdiff_t>(std::min(n, lo + step));
    const auto at = std::lower_bound(sorted.begin() + static_cast<std::ptrdiff_t>(lo), end, key,
                                     [&](const T& e, std::string_view k) { return textOf(e) < k; });
    *hint = static_cast<size_t>(at - sorted.begin());
    return *hint;
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

QString JoinMemo::yearCodesQuery(const QString& yearLiteral) {
    return QStringLiteral("select code.ccode from code where code.iYear=") + yearLiteral;
}

QString JoinMemo::yearCountQuery(const QString& yearLiteral) {
    return QStringLiteral("select count(*) from code where code.iYear=") + yearLiteral;
}

QString JoinMemo::branchQuery(const QString& yearLiteral, const QString& root) {
    return QStringLiteral(
               "select distinct code.cclass,code.cClass,code.ccode,code.cCode_name,code.ccode_engl,"
               "code.igrade from code where code.iYear=") +
           yearLiteral + QStringLiteral(" and code.ccode like N'") + root +
           QStringLiteral("%' order by code.ccode");
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
    m_filteredText.clear();
    // Offsets into m_filteredText first (it grows while reading), views once it is complete.
    std::vector<std::pair<qsizetype, qsizetype>> stored, folded;
    auto append = [this](const char* data, qsizetype size) {
        const std::pair<qsizetype, qsizetype> at{static_cast<qsizetype>(m_filteredText.size()), size};
        m_filteredText.insert(m_filteredText.end(), data, data + size);
        return at;
    };
    QByteArray utf8;
    while (codes.fetch()) {
        if (!codes.textBytes(0, &utf8)) {
            if (codes.value(0).isNull()) continue;
            return -1;
        }
        stored.push_back(append(utf8.constData(), utf8.size()));
        const QByteArray f = foldChars(utf8);
        folded.push_back(f.constData() == utf8.constData() ? stored.back() : append(f.constData(), f.size()));
    }
    const char* text = m_filteredText.data();
    auto view = [text](const std::pair<qsizetype, qsizetype>& at) {
        return std::string_view(text + at.first, static_cast<size_t>(at.second));
    };
    m_stored.reserve(stored.size());
    for (const auto& at : stored)
        m_stored.push_back(view(at));
    m_filtered.reserve(folded.size());
    for (const auto& at : folded)
        m_filtered.push_back(view(at));
    // Read in code order, the usual folded codes are sorted already.
    if (!std::is_sorted(m_filtered.begin(), m_filtered.end()))
        std::sort(m_filtered.begin(), m_filtered.end());
    m_filteredHint = 0;
    // How many groups the codes fall into by their first characters, as many as the shortest
    // code has: about the number of branches they lie in.
    size_t shortest = std::numeric_limits<size_t>::max();
    for (const std::string_view f : m_filtered)
        shortest = std::min(shortest, f.size());
    m_groups = 0;
    for (size_t i = 0; i < m_filtered.size(); ++i)
        if (i == 0 || !m_filtered[i].starts_with(m_filtered[i - 1].substr(0, shortest))) ++m_groups;
    return static_cast<int>(m_filtered.size());
}

bool JoinMemo::leads(const QByteArray& code, QByteArray* foldedOut) const {
    if (std::any_of(code.begin(), code.end(), isWildcard)) {
        // The engine's own LIKE decides for a code that is itself a pattern.
        const LikePattern pattern(code + '%');
        if (foldedOut) *foldedOut = foldChars(QByteArray(code.constData(), code.size()));
        return std::any_of(m_stored.begin(), m_stored.end(), [&](std::string_view t) {
            return pattern.matches(t.data(), static_cast<qsizetype>(t.size()));
        });
    }
    const QByteArray folded = foldChars(code);
    const std::string_view key(folded.constData(), static_cast<size_t>(folded.size()));
    const size_t at = lowerBoundFrom(m_filtered, key, &m_filteredHint, [](std::string_view t) { return t; });
    const bool found = at < m_filtered.size() && m_filtered[at].starts_with(key);
    if (foldedOut) *foldedOut = folded; // may be code itself, when folding changes nothing
    return found;
}

bool JoinMemo::readYearCodes(Cursor& codes) {
    m_yearRows = 0;
    std::vector<QByteArray> leading; // folded
    QByteArray utf8;
    while (codes.fetch()) {
        ++m_yearRows;
        if (!codes.textBytes(0, &utf8)) {
            if (codes.value(0).isNull()) continue;
            return false;
        }
        if (!leads(utf8)) continue;
        // A branch is read by "like 'root%'": a root holding a wildcard or a quote cannot be.
        if (std::any_of(utf8.begin(), utf8.end(), [](char c) { return isWildcard(c) || c == '\''; }))
            return false;
        leading.push_back(foldChars(QByteArray(utf8.constData(), utf8.size())));
        m_leading.emplace_back(utf8.constData(), utf8.size());
    }
    // The leading codes no other leading code begins: every leading code begins with one of them.
    std::vector<size_t> order(leading.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return leading[a] < leading[b]; });
    m_roots.clear();
    const QByteArray* last = nullptr;
    for (size_t i : order) {
        if (last && beginsWith(leading[i], *last)) continue;
        last = &leading[i];
        m_roots << QString::fromUtf8(m_leading[i]);
    }
    return true;
}

bool JoinMemo::readAccounts(Cursor& accounts) {
    constexpr int kCode = 2, kGrade = 5; // the join's column order
    if (accounts.columnCount() != kColumns) return false;
    m_columns = accounts.columnIndex();
    auto append = [this](const char* data, qsizetype size) {
        const Cell cell{static_cast<qint32>(m_text.size()), static_cast<qint32>(size)};
        m_text.insert(m_text.end(), data, data + size);
        return cell;
    };
    QByteArray utf8, folded, text, previous;
    while (accounts.fetch()) {
        if (!accounts.textBytes(kCode, &utf8)) {
            if (accounts.value(kCode).isNull()) continue;
            return false;
        }
        if (!leads(utf8, &folded)) continue;
        const Variant grade = accounts.value(kGrade);
        if (grade.type() != Variant::Type::Long && grade.type() != Variant::Type::Integer) return false;
        const size_t first = m_cells.size();
        m_cells.resize(first + kColumns);
        Cell* row = m_cells.data() + first;
        bool previousText = false;
        for (int c = 0; c < kColumns; ++c) {
            Cell& cell = row[c];
            const bool isText = c != kGrade && accounts.textBytes(c, &text);
            if (isText) {
                // The class comes twice (its column in two spellings): its text is kept once.
                cell = previousText && text == previous ? row[c - 1] : append(text.constData(), text.size());
                previous = text;
            } else {
                cell = {kOther, static_cast<qint32>(m_other.size())};
                m_other.push_back(c == kGrade ? grade : accounts.value(c));
            }
            previousText = isText;
        }
        const Cell& code = row[kCode];
        m_foldedCodes.push_back(
            folded.constData() == utf8.constData() ? code : append(folded.constData(), folded.size()));
    }
    return true;
}

bool JoinMemo::readAccounts(std::shared_ptr<const StoredRows> year) {
    constexpr int kCode = 2, kGrade = 5; // the join's column order
    if (year->columnCount() != kColumns) return false;
    m_columns = year->columnIndex();
    QByteArray folded;
    // The usual codes (ASCII without capitals or wildcards) are their own folded form and come in
    // order, as the filtered codes do: one walk over both tells whether each leads to a filtered
    // one. Any other code is looked for on its own.
    auto plain = [](std::string_view code) {
        return std::none_of(code.begin(), code.end(), [](char c) {
            const auto u = static_cast<unsigned char>(c);
            return u >= 0x80 || (u >= 'A' && u <= 'Z') || isWildcard(c);
        });
    };
    size_t next = 0; // the first filtered code not below the last plain code
    std::string_view previous;
    const int rows = year->rowCount();
    for (int row = 0; row < rows; ++row) {
        const std::string_view key = year->textView(row, kCode);
        if (!key.data()) {
            if (year->value(row, kCode).isNull()) continue;
            return false;
        }
        bool leading;
        bool ownFold = true; // the code is its own folded form
        if (plain(key) && key >= previous) {
            while (next < m_filtered.size() && m_filtered[next] < key)
                ++next;
            leading = next < m_filtered.size() && m_filtered[next].starts_with(key);
            previous = key;
        } else {
            const QByteArray utf8 = QByteArray::fromRawData(key.data(), static_cast<qsizetype>(key.size()));
            leading = leads(utf8, &folded);
            ownFold = folded.constData() == utf8.constData();
        }
        if (!leading) continue;
        qint64 grade = 0;
        if (!year->wholeNumber(row, kGrade, &grade)) return false;
        m_keptRows.push_back(row);
        m_keptGrades.push_back(grade);
        if (ownFold) {
            m_foldedCodes.push_back({kKept, 0});
        } else {
            m_foldedCodes.push_back({static_cast<qint32>(m_text.size()), static_cast<qint32>(folded.size())});
            m_text.insert(m_text.end(), folded.begin(), folded.end());
        }
    }
    m_kept = std::move(year);
    return true;
}

std::string_view JoinMemo::foldedCode(size_t row) const {
    const Cell& c = m_foldedCodes[row];
    if (c.at != kKept) return text(c);
    return m_kept->textView(m_keptRows[row], 2); // the kept bytes stay while the memo holds them
}

qint64 JoinMemo::gradeOf(size_t row) const {
    if (m_kept) return m_keptGrades[row];
    return m_other[static_cast<size_t>(m_cells[row * kColumns + 5].size)].toLong();
}

void JoinMemo::finish(bool inParts) {
    const size_t count = m_foldedCodes.size();
    if (inParts) {
        // Branches read one by one: in the order the engine sorts codes (their bytes).
        std::vector<size_t> order(count);
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            return text(m_cells[a * kColumns + 2]) < text(m_cells[b * kColumns + 2]);
        });
        std::vector<Cell> cells(m_cells.size());
        std::vector<Cell> folded(count);
        for (size_t k = 0; k < count; ++k) {
            const size_t i = order[k];
            std::copy_n(m_cells.begin() + static_cast<std::ptrdiff_t>(i * kColumns), kColumns,
                        cells.begin() + static_cast<std::ptrdiff_t>(k * kColumns));
            folded[k] = m_foldedCodes[i];
        }
        m_cells.swap(cells);
        m_foldedCodes.swap(folded);
    }
    m_listedGrades.clear();
    m_otherGrades.clear();
    for (size_t i = 0; i < count; ++i) {
        const int index = static_cast<int>(i);
        Grade& g = gradeFor(gradeOf(i));
        g.inOrder.push_back(index);
        g.byFolded.emplace_back(foldedCode(i), index);
    }
    const auto sortByFolded = [](Grade& g) {
        if (!std::is_sorted(g.byFolded.begin(), g.byFolded.end()))
            std::sort(g.byFolded.begin(), g.byFolded.end());
        g.foldedRows.reserve(g.byFolded.size());
        for (const auto& [folded, row] : g.byFolded)
            g.foldedRows.push_back(row);
    };
    std::for_each(m_listedGrades.begin(), m_listedGrades.end(), sortByFolded);
    std::for_each(m_otherGrades.begin(), m_otherGrades.end(), sortByFolded);
    m_filtered = {};
    m_stored = {};
    m_filteredText = {};
    m_foldedCodes = {};
    m_keptGrades = {};
    m_leading = {};
}

Variant JoinMemo::value(int row, int column) const {
    if (m_kept) return m_kept->value(m_keptRows[static_cast<size_t>(row)], column);
    const Cell& c = m_cells[static_cast<size_t>(row) * kColumns + static_cast<size_t>(column)];
    if (c.at >= 0) return Variant(QString::fromUtf8(m_text.data() + c.at, c.size));
    return m_other[static_cast<size_t>(c.size)];
}

bool JoinMemo::textBytes(int row, int column, QByteArray* out) const {
    if (m_kept) return m_kept->textBytes(m_keptRows[static_cast<size_t>(row)], column, out);
    const Cell& c = m_cells[static_cast<size_t>(row) * kColumns + static_cast<size_t>(column)];
    if (c.at < 0) return false;
    *out = QByteArray::fromRawData(m_text.data() + c.at, c.size);
    return true;
}

bool JoinMemo::wholeNumber(int row, int column, qint64* out) const {
    if (m_kept) return m_kept->wholeNumber(m_keptRows[static_cast<size_t>(row)], column, out);
    const Cell& c = m_cells[static_cast<size_t>(row) * kColumns + static_cast<size_t>(column)];
    return c.at < 0 && Cursor::wholeNumberOf(m_other[static_cast<size_t>(c.size)], out);
}

JoinMemo::Grade& JoinMemo::gradeFor(qint64 grade) {
    if (grade < 0 || grade >= kListedGrades) return m_otherGrades[grade];
    if (m_listedGrades.size() <= static_cast<size_t>(grade))
        m_listedGrades.resize(static_cast<size_t>(grade) + 1);
    return m_listedGrades[static_cast<size_t>(grade)];
}

const JoinMemo::Grade* JoinMemo::findGrade(qint64 grade) const {
    if (grade >= 0 && grade < kListedGrades)
        return static_cast<size_t>(grade) < m_listedGrades.size()
                   ? &m_listedGrades[static_cast<size_t>(grade)]
                   : nullptr;
    const auto g = m_otherGrades.constFind(grade);
    return g == m_otherGrades.cend() ? nullptr : &*g;
}

bool JoinMemo::lookup(int grade, const QStringView* pattern, Rows* out) const {
    out->rows = {};
    out->owned.clear();
    // The pattern's literal start, folded: in place for the usual plain ASCII start.
    QVarLengthArray<char, 64> plain;
    QByteArray folded;
    std::string_view key;
    if (pattern) {
        if (pattern->isEmpty() || !pattern->endsWith(QLatin1Char('%'))) return false;
        const QStringView start = pattern->chopped(1);
        bool ascii = true;
        for (const QChar c : start) {
            const char16_t u = c.unicode();
            if (u >= 0x80 || (u >= u'A' && u <= u'Z')) {
                ascii = false;
                break;
            }
            if (isWildcard(static_cast<char>(u))) return false;
            plain.append(static_cast<char>(u));
        }
        if (ascii) {
            key = std::string_view(plain.data(), static_cast<size_t>(plain.size()));
        } else {
            const QByteArray utf8 = start.toUtf8();
            if (std::any_of(utf8.begin(), utf8.end(), isWildcard)) return false;
            folded = foldChars(utf8);
            key = std::string_view(folded.constData(), static_cast<size_t>(folded.size()));
        }
    }
    const Grade* g = findGrade(grade);
    if (!g || g->inOrder.empty()) return true;
    if (!pattern) {
        out->rows = g->inOrder;
        return true;
    }
    const size_t first = lowerBoundFrom(g->byFolded, key, &g->hint,
                                        [](const std::pair<std::string_view, int>& e) { return e.first; });
    size_t last = first;
    while (last < g->byFolded.size() && g->byFolded[last].first.substr(0, key.size()) == key)
        ++last;
    out->rows = std::span<const int>(g->foldedRows).subspan(first, last - first);
    // In code order; the folded order is mostly that already.
    if (!std::is_sorted(out->rows.begin(), out->rows.end())) {
        out->owned.assign(out->rows.begin(), out->rows.end());
        std::sort(out->owned.begin(), out->owned.end());
        out->rows = out->owned;
    }
    return true;
}

} // namespace sarvo::db
