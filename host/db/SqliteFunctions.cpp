// The functions an SQLite connection needs to run the renderings of Dialect::sqlite(); see
// SqliteFunctions.h.
#include "host/db/SqliteFunctions.h"

#include "host/db/Collation.h"

#include <QChar>
#include <QDate>
#include <QRegularExpression>
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <sqlite3.h>

namespace sarvo::db {

namespace {

using Ranges = Collation::StoredRanges;

QByteArray bytes(sqlite3_value* v) {
    const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
    return QByteArray(p, sqlite3_value_bytes(v));
}

bool anyNull(int argc, sqlite3_value** argv) {
    for (int i = 0; i < argc; ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) return true;
    return false;
}

void resultText(sqlite3_context* ctx, const QByteArray& b) {
    sqlite3_result_text(ctx, b.constData(), static_cast<int>(b.size()), SQLITE_TRANSIENT);
}

void fail(sqlite3_context* ctx, const QString& message) {
    const QByteArray m = message.toUtf8();
    sqlite3_result_error(ctx, m.constData(), static_cast<int>(m.size()));
}

std::vector<char32_t> decode(const QByteArray& s, bool folded) {
    std::vector<char32_t> out;
    const auto* p = reinterpret_cast<const unsigned char*>(s.constData());
    for (qsizetype i = 0; i < s.size();) {
        char32_t c;
        Collation::readChar(p, s.size(), i, c);
        out.push_back(folded ? Collation::fold(c) : c);
    }
    return out;
}

// The single character of an ESCAPE clause; false when it is not one character.
bool escapeChar(sqlite3_value* v, char32_t* c) {
    const std::vector<char32_t> chars = decode(bytes(v), false);
    if (chars.size() != 1) return false;
    *c = chars.front();
    return true;
}

// A pattern compiled for one run of a statement, kept by the engine beside a constant argument.
struct KeptPattern {
    LikePattern pattern;
    char32_t escape;
};

// Argument i's pattern compiled, kept by the engine beside it while it is a constant: compiled
// once per run of a statement, not looked up per row.
const LikePattern& keptPattern(sqlite3_context* ctx, sqlite3_value** argv, int i, char32_t escape) {
    if (const auto* kept = static_cast<const KeptPattern*>(sqlite3_get_auxdata(ctx, i));
        kept && kept->escape == escape)
        return kept->pattern;
    auto* cache = static_cast<SqliteLikeCache*>(sqlite3_user_data(ctx));
    const auto* pattern = reinterpret_cast<const char*>(sqlite3_value_text(argv[i]));
    const LikePattern& compiled = cache->get(pattern, sqlite3_value_bytes(argv[i]), escape);
    // The engine may drop it at once (a pattern that is not a constant); the cache's stays valid
    // until the cache is asked for another pattern.
    sqlite3_set_auxdata(ctx, i, new KeptPattern{compiled, escape},
                        [](void* p) { delete static_cast<KeptPattern*>(p); });
    return compiled;
}

bool matches(const LikePattern& pattern, sqlite3_value* text) {
    return pattern.matches(reinterpret_cast<const char*>(sqlite3_value_text(text)), sqlite3_value_bytes(text));
}

void likeFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (anyNull(argc, argv)) return sqlite3_result_null(ctx);
    char32_t escape = 0;
    if (argc > 2 && !escapeChar(argv[2], &escape))
        return fail(ctx,
                    QStringLiteral("The invalid escape character \"%1\" was specified in a LIKE predicate.")
                        .arg(QString::fromUtf8(bytes(argv[2]))));
    sqlite3_result_int(ctx, matches(keptPattern(ctx, argv, 1, escape), argv[0]) ? 1 : 0);
}

// (text, pattern) pairs ORed: true when one text matches its pattern; otherwise unknown when a
// text or a pattern is null, as the OR of the tests is.
void likeAnyFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (argc % 2) return fail(ctx, QStringLiteral("sarvo_like_any takes texts and patterns in pairs"));
    bool unknown = false;
    for (int i = 0; i < argc; i += 2) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL || sqlite3_value_type(argv[i + 1]) == SQLITE_NULL) {
            unknown = true;
            continue;
        }
        if (matches(keptPattern(ctx, argv, i + 1, 0), argv[i])) return sqlite3_result_int(ctx, 1);
    }
    if (unknown) return sqlite3_result_null(ctx);
    sqlite3_result_int(ctx, 0);
}

void compareFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (anyNull(argc, argv)) return sqlite3_result_null(ctx);
    const auto* a = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const int na = sqlite3_value_bytes(argv[0]);
    const auto* b = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
    const int nb = sqlite3_value_bytes(argv[1]);
    const int c = Collation::compare(a, na, b, nb);
    sqlite3_result_int(ctx, c < 0 ? -1 : c > 0 ? 1 : 0);
}

void foldFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (anyNull(argc, argv)) return sqlite3_result_null(ctx);
    const auto* s = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    resultText(ctx, Collation::foldText(s, sqlite3_value_bytes(argv[0])));
}

QByteArray foldedPrefix(sqlite3_value* pattern) {
    const QByteArray prefix = LikePattern::literalPrefix(bytes(pattern));
    return Collation::foldText(prefix.constData(), prefix.size());
}

void foldLowFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (anyNull(argc, argv)) return sqlite3_result_null(ctx);
    resultText(ctx, foldedPrefix(argv[0]));
}

void foldHighFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (anyNull(argc, argv)) return sqlite3_result_null(ctx);
    resultText(ctx, Collation::upperBound(foldedPrefix(argv[0])));
}

// mode 0: a LIKE pattern, whose literal start every match begins with; 1: an "=" key.
Ranges storedRanges(sqlite3_value* key, int mode) {
    if (mode == 0)
        return Collation::storedRanges(LikePattern::literalPrefix(bytes(key)), Collation::Match::Prefix);
    return Collation::storedRanges(bytes(key), Collation::Match::Equal);
}

// The main range alone, for the two ends of an index range.
Collation::Range mainRange(sqlite3_value* key, int mode) {
    if (mode == 0)
        return Collation::mainRange(LikePattern::literalPrefix(bytes(key)), Collation::Match::Prefix);
    return Collation::mainRange(bytes(key), Collation::Match::Equal);
}

void lowFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (anyNull(argc, argv)) return sqlite3_result_null(ctx);
    // Only the main range's start is asked for: it is the key itself in least forms.
    resultText(ctx, mainRange(argv[0], sqlite3_value_int(argv[1])).first);
}

void highFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    if (sqlite3_value_int(argv[2])) return resultText(ctx, Collation::top());
    resultText(ctx, mainRange(argv[0], sqlite3_value_int(argv[1])).second);
}

// ---- conversions ------------------------------------------------------------------------------

QString shown(sqlite3_value* v) {
    return QString::fromUtf8(bytes(v));
}

void intFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_NULL:
        return sqlite3_result_null(ctx);
    case SQLITE_INTEGER:
        return sqlite3_result_int64(ctx, sqlite3_value_int64(argv[0]));
    case SQLITE_FLOAT: // a fraction is cut off, as the server does
        return sqlite3_result_int64(ctx,
                                    static_cast<sqlite3_int64>(std::trunc(sqlite3_value_double(argv[0]))));
    default:
        break;
    }
    const QString text = shown(argv[0]).trimmed();
    static const QRegularExpression whole(QStringLiteral("^[+-]?[0-9]*$"));
    if (!whole.match(text).hasMatch())
        return fail(
            ctx, QStringLiteral("Conversion failed when converting the nvarchar value '%1' to data type int.")
                     .arg(shown(argv[0])));
    bool ok = true;
    const qint64 v =
        text.isEmpty() || text == QLatin1String("+") || text == QLatin1String("-") ? 0 : text.toLongLong(&ok);
    if (!ok || v > 2147483647LL || v < -2147483648LL)
        return fail(ctx, QStringLiteral("The conversion of the nvarchar value '%1' overflowed an int column.")
                             .arg(shown(argv[0])));
    sqlite3_result_int64(ctx, v);
}

void realFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_NULL:
        return sqlite3_result_null(ctx);
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        return sqlite3_result_double(ctx, sqlite3_value_double(argv[0]));
    default:
        break;
    }
    const QString text = shown(argv[0]).trimmed();
    static const QRegularExpression number(
        QStringLiteral("^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?$"));
    if (!number.match(text).hasMatch())
        return fail(
            ctx,
            QStringLiteral("Error converting data type nvarchar to numeric ('%1').").arg(shown(argv[0])));
    sqlite3_result_double(ctx, text.toDouble());
}

// yyyy-mm-dd, yyyy/mm/dd, yyyy.mm.dd or yyyymmdd, then optionally hh:mi[:ss[.fff]] after a blank
// or T: the forms the server reads whatever its language. Written as yyyy-mm-dd hh:mi:ss.fff, so
// dates and times compare as texts.
void datetimeFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    static const QRegularExpression form(
        QStringLiteral("^(\\d{4})(?:([-/.])(\\d{1,2})\\2(\\d{1,2})|(\\d{2})(\\d{2}))"
                       "(?:[ T](\\d{1,2}):(\\d{2})(?::(\\d{2})(?:\\.(\\d{1,7}))?)?)?$"));
    const QString text = shown(argv[0]).trimmed();
    const auto m = form.match(text);
    auto failed = [&] {
        fail(ctx, QStringLiteral(
                      "Conversion failed when converting date and/or time from character string ('%1').")
                      .arg(shown(argv[0])));
    };
    if (!m.hasMatch()) return failed();
    const int year = m.captured(1).toInt();
    const int month = (m.captured(3).isEmpty() ? m.captured(5) : m.captured(3)).toInt();
    const int day = (m.captured(4).isEmpty() ? m.captured(6) : m.captured(4)).toInt();
    const int hour = m.captured(7).toInt(), minute = m.captured(8).toInt(), second = m.captured(9).toInt();
    const int millis = (m.captured(10) + QStringLiteral("000")).left(3).toInt();
    if (!QDate::isValid(year, month, day) || hour > 23 || minute > 59 || second > 59) return failed();
    const QByteArray out = QStringLiteral("%1-%2-%3 %4:%5:%6.%7")
                               .arg(year, 4, 10, QLatin1Char('0'))
                               .arg(month, 2, 10, QLatin1Char('0'))
                               .arg(day, 2, 10, QLatin1Char('0'))
                               .arg(hour, 2, 10, QLatin1Char('0'))
                               .arg(minute, 2, 10, QLatin1Char('0'))
                               .arg(second, 2, 10, QLatin1Char('0'))
                               .arg(millis, 3, 10, QLatin1Char('0'))
                               .toUtf8();
    resultText(ctx, out);
}

// ---- text functions under the collation --------------------------------------------------------

// Position (from 0) of the first place at or after start where needle matches under the
// collation; -1 for none.
qsizetype find(const std::vector<char32_t>& folded, const std::vector<char32_t>& needle, size_t start) {
    if (needle.empty() || needle.size() > folded.size()) return -1;
    for (size_t i = start; i + needle.size() <= folded.size(); ++i)
        if (std::equal(needle.begin(), needle.end(), folded.begin() + static_cast<qsizetype>(i)))
            return static_cast<qsizetype>(i);
    return -1;
}

bool isAscii(const char* p, int n) {
    for (int i = 0; i < n; ++i)
        if (static_cast<unsigned char>(p[i]) >= 0x80) return false;
    return true;
}

void charindexFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (anyNull(argc, argv)) return sqlite3_result_null(ctx);
    const sqlite3_int64 from = argc > 2 ? std::max<sqlite3_int64>(sqlite3_value_int64(argv[2]), 1) : 1;
    const auto* f = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const int nf = sqlite3_value_bytes(argv[0]);
    const auto* t = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
    const int nt = sqlite3_value_bytes(argv[1]);
    // Codes and mnemonics: one byte per character, folded on the fly.
    if (isAscii(f, nf) && isAscii(t, nt)) {
        if (nf == 0) return sqlite3_result_int(ctx, 0);
        auto same = [](char a, char b) {
            return Collation::fold(static_cast<unsigned char>(a)) ==
                   Collation::fold(static_cast<unsigned char>(b));
        };
        const char* begin = t + std::min<sqlite3_int64>(from - 1, nt);
        const char* at = std::search(begin, t + nt, f, f + nf, same);
        return sqlite3_result_int64(ctx, at == t + nt ? 0 : at - t + 1);
    }
    const std::vector<char32_t> needle = decode(bytes(argv[0]), true);
    const std::vector<char32_t> text = decode(bytes(argv[1]), true);
    const qsizetype at = find(text, needle, static_cast<size_t>(from - 1));
    sqlite3_result_int64(ctx, at < 0 ? 0 : at + 1);
}

void replaceFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (anyNull(argc, argv)) return sqlite3_result_null(ctx);
    const QByteArray source = bytes(argv[0]);
    const std::vector<char32_t> raw = decode(source, false);
    std::vector<char32_t> folded;
    folded.reserve(raw.size());
    for (char32_t c : raw)
        folded.push_back(Collation::fold(c));
    const std::vector<char32_t> needle = decode(bytes(argv[1]), true);
    const QByteArray replacement = bytes(argv[2]);
    QByteArray out;
    size_t i = 0;
    for (qsizetype at; (at = find(folded, needle, i)) >= 0; i = static_cast<size_t>(at) + needle.size()) {
        for (size_t k = i; k < static_cast<size_t>(at); ++k)
            Collation::appendChar(out, raw[k]);
        out += replacement;
    }
    for (size_t k = i; k < raw.size(); ++k)
        Collation::appendChar(out, raw[k]);
    resultText(ctx, out);
}

template <bool Upper> void caseFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (anyNull(argc, argv)) return sqlite3_result_null(ctx);
    QByteArray out;
    for (char32_t c : decode(bytes(argv[0]), false))
        Collation::appendChar(out, Upper ? QChar::toUpper(c) : QChar::toLower(c));
    resultText(ctx, out);
}

// ---- sarvo_variants(key, mode): the ranges of the key's other forms ----------------------------

struct VariantsCursor {
    sqlite3_vtab_cursor base;
    std::vector<Collation::Range> ranges;
    size_t row = 0;
};

enum VariantsColumn { Lo, Hi, Key, Mode };

int variantsConnect(sqlite3* db, void*, int, const char* const*, sqlite3_vtab** table, char**) {
    const int rc = sqlite3_declare_vtab(db, "CREATE TABLE x(lo, hi, key HIDDEN, mode HIDDEN)");
    if (rc != SQLITE_OK) return rc;
    *table = static_cast<sqlite3_vtab*>(sqlite3_malloc(sizeof(sqlite3_vtab)));
    if (!*table) return SQLITE_NOMEM;
    std::memset(*table, 0, sizeof(sqlite3_vtab));
    return SQLITE_OK;
}

int variantsDisconnect(sqlite3_vtab* table) {
    sqlite3_free(table);
    return SQLITE_OK;
}

// Both hidden columns must be given: the table exists only as a function of them.
int variantsBestIndex(sqlite3_vtab*, sqlite3_index_info* info) {
    int key = -1, mode = -1;
    for (int i = 0; i < info->nConstraint; ++i) {
        const auto& c = info->aConstraint[i];
        if (!c.usable || c.op != SQLITE_INDEX_CONSTRAINT_EQ) continue;
        if (c.iColumn == Key) key = i;
        if (c.iColumn == Mode) mode = i;
    }
    if (key < 0 || mode < 0) return SQLITE_CONSTRAINT;
    info->aConstraintUsage[key].argvIndex = 1;
    info->aConstraintUsage[key].omit = 1;
    info->aConstraintUsage[mode].argvIndex = 2;
    info->aConstraintUsage[mode].omit = 1;
    info->estimatedCost = 1;
    info->estimatedRows = 4;
    return SQLITE_OK;
}

int variantsOpen(sqlite3_vtab*, sqlite3_vtab_cursor** cursor) {
    auto* c = new (std::nothrow) VariantsCursor{};
    if (!c) return SQLITE_NOMEM;
    *cursor = &c->base;
    return SQLITE_OK;
}

int variantsClose(sqlite3_vtab_cursor* cursor) {
    delete reinterpret_cast<VariantsCursor*>(cursor);
    return SQLITE_OK;
}

int variantsFilter(sqlite3_vtab_cursor* cursor, int, const char*, int argc, sqlite3_value** argv) {
    auto* c = reinterpret_cast<VariantsCursor*>(cursor);
    c->row = 0;
    c->ranges.clear();
    if (argc == 2 && !anyNull(argc, argv))
        c->ranges = storedRanges(argv[0], sqlite3_value_int(argv[1])).variants;
    return SQLITE_OK;
}

int variantsNext(sqlite3_vtab_cursor* cursor) {
    ++reinterpret_cast<VariantsCursor*>(cursor)->row;
    return SQLITE_OK;
}

int variantsEof(sqlite3_vtab_cursor* cursor) {
    const auto* c = reinterpret_cast<VariantsCursor*>(cursor);
    return c->row >= c->ranges.size();
}

int variantsColumn(sqlite3_vtab_cursor* cursor, sqlite3_context* ctx, int column) {
    const auto* c = reinterpret_cast<VariantsCursor*>(cursor);
    const Collation::Range& r = c->ranges[c->row];
    if (column == Lo || column == Hi) resultText(ctx, column == Lo ? r.first : r.second);
    return SQLITE_OK;
}

int variantsRowid(sqlite3_vtab_cursor* cursor, sqlite3_int64* rowid) {
    *rowid = static_cast<sqlite3_int64>(reinterpret_cast<VariantsCursor*>(cursor)->row);
    return SQLITE_OK;
}

sqlite3_module variantsModule() {
    sqlite3_module m{};
    m.xConnect = variantsConnect; // no xCreate: the table exists only under its own name
    m.xBestIndex = variantsBestIndex;
    m.xDisconnect = variantsDisconnect;
    m.xDestroy = variantsDisconnect;
    m.xOpen = variantsOpen;
    m.xClose = variantsClose;
    m.xFilter = variantsFilter;
    m.xNext = variantsNext;
    m.xEof = variantsEof;
    m.xColumn = variantsColumn;
    m.xRowid = variantsRowid;
    return m;
}

} // namespace

const LikePattern& SqliteLikeCache::get(const char* utf8, qsizetype size, char32_t escape) {
    constexpr size_t kSlots = 8;
    for (const Entry& e : m_entries)
        if (e.escape == escape && e.pattern.size() == size &&
            std::memcmp(e.pattern.constData(), utf8, static_cast<size_t>(size)) == 0)
            return e.compiled;
    QByteArray pattern(utf8, size);
    if (m_entries.size() < kSlots) {
        m_entries.push_back({pattern, escape, LikePattern(pattern, escape)});
        return m_entries.back().compiled;
    }
    Entry& e = m_entries[m_next];
    m_next = (m_next + 1) % kSlots;
    e.compiled = LikePattern(pattern, escape);
    e.pattern = pattern;
    e.escape = escape;
    return e.compiled;
}

void registerSqliteFunctions(sqlite3* handle, SqliteLikeCache* likeCache) {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    using Fn = void (*)(sqlite3_context*, int, sqlite3_value**);
    struct Function {
        const char* name;
        int args;
        Fn fn;
    };
    static const Function functions[] = {
        {"sarvo_cmp", 2, compareFunction},
        {"sarvo_fold", 1, foldFunction},
        {"sarvo_fold_lo", 1, foldLowFunction},
        {"sarvo_fold_hi", 1, foldHighFunction},
        {"sarvo_lo", 2, lowFunction},
        {"sarvo_hi", 3, highFunction},
        {"sarvo_int", 1, intFunction},
        {"sarvo_real", 1, realFunction},
        {"sarvo_datetime", 1, datetimeFunction},
        {"sarvo_charindex", 2, charindexFunction},
        {"sarvo_charindex", 3, charindexFunction},
        {"sarvo_replace", 3, replaceFunction},
        {"sarvo_upper", 1, caseFunction<true>},
        {"sarvo_lower", 1, caseFunction<false>},
    };
    for (const Function& f : functions)
        sqlite3_create_function_v2(handle, f.name, f.args, flags, nullptr, f.fn, nullptr, nullptr, nullptr);
    for (int args : {2, 3})
        sqlite3_create_function_v2(handle, "sarvo_like", args, flags, likeCache, likeFunction, nullptr,
                                   nullptr, nullptr);
    sqlite3_create_function_v2(handle, "sarvo_like_any", -1, flags, likeCache, likeAnyFunction, nullptr, nullptr,
                               nullptr);
    static const sqlite3_module module = variantsModule();
    sqlite3_create_module_v2(handle, "sarvo_variants", &module, nullptr, nullptr);
}

} // namespace sarvo::db
