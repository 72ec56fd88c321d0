// Shape cache, translation and step-by-step execution over a backend; see StatementPipeline.h.
#include "host/db/StatementPipeline.h"

#include "host/db/Dialect.h"
#include "host/db/EngineError.h"
#include "host/db/MemoCursor.h"
#include "host/db/TSqlTokenizer.h"
#include "runtime/RuntimeError.h"

#include <algorithm>
#include <cstring>

namespace sarvo::db {

namespace {

constexpr int kMaxShapes = 512;   // beyond this the cache starts afresh
constexpr size_t kMaxSchemas = 4; // shape caches kept for schemas other than the present one
// A build whose temporary table holds fewer rows asks the engine node by node: reading the
// whole year for the memo would cost more than those few statements.
constexpr int kMemoMinRows = 128;
// Up to this many branches are read one by one; more, and the whole year is read at once.
constexpr int kMaxBranches = 64;

using Literal = TSqlTokenizer::Literal;

// What a shape's rendering depends on in a literal: a text's kind and whether it can start a
// LIKE index range, a number's being whole.
char literalClass(const QString& text, const Literal& l) {
    if (l.kind == TSqlToken::Kind::Number) {
        for (int i = l.begin; i < l.end; ++i)
            if (text[i] == QLatin1Char('.') || text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))
                return '.';
        return '#';
    }
    const int open = l.kind == TSqlToken::Kind::NationalString ? l.begin + 2 : l.begin + 1;
    // The value's first character: none when the closing quote follows at once.
    const bool empty = open == l.end - 1;
    const QChar first = text[open];
    const bool fixed =
        !empty && first != QLatin1Char('%') && first != QLatin1Char('_') && first != QLatin1Char('[');
    const bool national = l.kind == TSqlToken::Kind::NationalString;
    return fixed ? (national ? 'S' : 's') : (national ? 'W' : 'w');
}

// A hash of the text between literals (its lengths and a few characters at each end of every
// piece) and of the literals' classes: cheap, and a hit is confirmed by comparing the pieces.
quint64 skeletonHash(const QString& text, const std::vector<Literal>& literals) {
    quint64 h = 14695981039346656037ull;
    auto mix = [&h](quint64 v) { h = (h ^ v) * 1099511628211ull; };
    const QChar* d = text.constData();
    auto piece = [&](int begin, int end) {
        mix(static_cast<quint64>(end - begin));
        for (int i = begin; i < end && i < begin + 6; ++i)
            mix(d[i].unicode());
        for (int i = std::max(begin + 6, end - 6); i < end; ++i)
            mix(d[i].unicode());
    };
    int at = 0;
    for (const Literal& l : literals) {
        piece(at, l.begin);
        mix(0x10000u + static_cast<unsigned char>(literalClass(text, l)));
        at = l.end;
    }
    piece(at, static_cast<int>(text.size()));
    return h;
}

bool sameRange(const QString& a, int aBegin, const QString& b, int bBegin, int length) {
    return std::memcmp(a.constData() + aBegin, b.constData() + bBegin,
                       sizeof(QChar) * static_cast<size_t>(length)) == 0;
}

SqlValue literalValue(const QString& text, const Literal& l) {
    const QString value = TSqlTokenizer::literalValue(text, l);
    if (l.kind != TSqlToken::Kind::Number) return SqlValue::ofText(value);
    bool ok = false;
    const qint64 i = value.toLongLong(&ok);
    return ok ? SqlValue::ofInteger(i) : SqlValue::ofReal(value.toDouble());
}

bool isWholeNumber(QStringView s) {
    if (s.isEmpty() || s.size() > 9) return false;
    for (QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return true;
}

// Text the layer cannot parse or render fails as a syntax failure, its message unchanged.
template <class F> auto asSyntaxFailure(F&& f) -> decltype(f()) {
    try {
        return f();
    } catch (const EngineError&) {
        throw;
    } catch (const RuntimeError& e) {
        throw EngineError(FailureKind::Syntax, e, QStringLiteral("42000"));
    }
}

bool changesSchema(const QString& nativeSql) {
    const QString head = nativeSql.trimmed().left(6).toUpper();
    return head.startsWith(QLatin1String("CREATE")) || head.startsWith(QLatin1String("DROP")) ||
           head.startsWith(QLatin1String("ALTER"));
}

std::vector<QByteArray> utf8Steps(const Rendering& r) {
    std::vector<QByteArray> out;
    out.reserve(r.steps.size());
    for (const RenderedStep& s : r.steps)
        out.push_back(s.sql.toUtf8());
    return out;
}

} // namespace

StatementPipeline::StatementPipeline(std::unique_ptr<Backend> backend) : m_backend(std::move(backend)) {
    m_backend->setCounters(&m_counters);
}

StatementPipeline::~StatementPipeline() {
    close();
}

void StatementPipeline::open() {
    if (m_backend->isOpen()) return;
    m_counters = {};
    m_alive = std::make_shared<bool>(true);
    m_backend->setStatementCaching(m_options.cacheStatements);
    m_backend->open();
    try {
        m_backend->loadSchema(m_schema);
    } catch (...) {
        m_backend->close();
        throw;
    }
    forgetShapes();
}

void StatementPipeline::close() {
    m_deferred.reset();
    dropMemo();
    forgetYear(); // a version counts changes on one open connection only
    m_pendingIndex.reset();
    *m_alive = false;
    m_backend->close();
}

void StatementPipeline::setOptions(const PipelineOptions& options) {
    dropMemo();
    m_options = options;
    m_backend->setStatementCaching(options.cacheStatements);
    forgetShapes();
}

// Renderings depend on the column types the schema gives: the shapes made under one schema serve
// again only when the schema is again the same. A hierarchy build drops and makes its temporary
// table anew each time, with the same columns: its shapes are kept for the schema with that table
// and for the one without it, instead of being made again at every build.
void StatementPipeline::schemaChanged() {
    m_lastShape.reset();
    if (m_shapesSchema == m_schema) return;
    m_otherShapes.push_back({std::move(m_shapesSchema), std::move(m_shapes), std::move(m_hostShapes)});
    m_shapes.clear();
    m_hostShapes.clear();
    m_shapesSchema = m_schema;
    for (auto at = m_otherShapes.begin(); at != m_otherShapes.end(); ++at) {
        if (at->schema == m_schema) {
            m_shapes = std::move(at->shapes);
            m_hostShapes = std::move(at->hostShapes);
            m_otherShapes.erase(at);
            break;
        }
    }
    if (m_otherShapes.size() > kMaxSchemas) m_otherShapes.erase(m_otherShapes.begin());
}

// The options or the engine changed: no shape made before serves.
void StatementPipeline::forgetShapes() {
    m_lastShape.reset();
    m_shapes.clear();
    m_hostShapes.clear();
    m_otherShapes.clear();
    m_shapesSchema = m_schema;
}

TranslatorOptions StatementPipeline::translatorOptions() const {
    TranslatorOptions o;
    o.bindLiterals = m_options.cacheStatements;
    o.likeRanges = m_options.likeRanges && m_backend->textComparesAsBytes();
    o.indexTempTables = m_options.indexTempTables;
    return o;
}

Rendering StatementPipeline::translate(const QString& tsql, const QList<TSqlToken>& tokens,
                                       const TranslatorOptions& o) const {
    return asSyntaxFailure(
        [&] { return TSqlTranslator(m_backend->dialect(), &m_schema, o).translate(tsql, tokens); });
}

QString StatementPipeline::render(const QString& tsql) const {
    const QString text =
        translate(tsql, asSyntaxFailure([&] { return TSqlTokenizer::tokenize(tsql); }), translatorOptions())
            .text();
    return passesThrough() ? tsql : text;
}

bool StatementPipeline::passesThrough() const {
    return m_backend->dialect().family == Dialect::Family::SqlServer;
}

// The server has its collation, functions and plan cache: it gets the text itself.
std::unique_ptr<Cursor> StatementPipeline::passThrough(const QString& tsql, const QList<TSqlToken>& tokens,
                                                       const std::vector<SqlValue>& params,
                                                       qint64* rowsAffected) {
    TranslatorOptions o = translatorOptions();
    o.bindLiterals = false;
    Rendering r = translate(tsql, tokens, o);
    if (r.kind != Rendering::Kind::Query) dropMemo();
    r.guarded = false;
    r.steps.resize(1);
    r.steps[0].sql = tsql;
    r.steps[0].params = params;
    return run(r, {tsql.toUtf8()}, tsql, rowsAffected);
}

std::unique_ptr<Cursor> StatementPipeline::execute(const QString& tsql) {
    if (!isOpen()) raise(ErrorCode::ObjectClosed);
    ++m_counters.statements;
    // The component's texts carry their values; a placeholder is a character out of place.
    const auto refusePlaceholders = [&](const QList<TSqlToken>& tokens) {
        for (const TSqlToken& t : tokens)
            if (t.kind == TSqlToken::Kind::Parameter)
                throw EngineError(FailureKind::Syntax,
                                  QStringLiteral("Unexpected character '?' at position %1 in: %2")
                                      .arg(t.position + 1)
                                      .arg(tsql));
    };
    if (passesThrough()) {
        const QList<TSqlToken> tokens = asSyntaxFailure([&] { return TSqlTokenizer::tokenize(tsql); });
        refusePlaceholders(tokens);
        return passThrough(tsql, tokens, {}, nullptr);
    }
    quint64 key = 0;
    std::shared_ptr<const Shape> shape = m_options.cacheStatements ? knownShape(tsql, &key) : nullptr;
    std::vector<Literal> literals;
    // The literals found are this statement's while it runs (reading for the memo finds others);
    // their buffer goes back for the next statement, which then allocates nothing.
    struct GiveBack {
        std::vector<Literal>& from;
        std::vector<Literal>& to;
        ~GiveBack() {
            if (to.capacity() >= from.capacity()) return;
            from.clear();
            to.swap(from);
        }
    } giveBack{literals, m_literals};
    if (shape) {
        literals.swap(m_literals);
    } else {
        const QList<TSqlToken> tokens = asSyntaxFailure([&] { return TSqlTokenizer::tokenize(tsql); });
        refusePlaceholders(tokens);
        if (!m_options.cacheStatements) {
            const Rendering r = translate(tsql, tokens, translatorOptions());
            if (r.kind != Rendering::Kind::Query) dropMemo();
            return run(r, utf8Steps(r), tsql, nullptr);
        }
        shape = makeShape(tsql, tokens);
        if (key != 0 && !shape->stepLiterals.empty()) {
            if (m_shapes.size() >= kMaxShapes) m_shapes.clear();
            m_shapes.insert(key, shape);
        }
        literals = shape->literals;
    }
    if (shape->join && m_options.memoJoins)
        if (std::unique_ptr<Cursor> rows = fromMemo(*shape, tsql, literals)) return rows;
    if (shape->rendering.kind != Rendering::Kind::Query) dropMemo();
    if (shape->stepLiterals.empty()) return run(shape->rendering, shape->sql, tsql, nullptr);
    std::vector<std::vector<SqlValue>> values(shape->rendering.steps.size());
    for (size_t s = 0; s < values.size(); ++s) {
        const std::vector<SqlValue>& fixed = shape->rendering.steps[s].params;
        const std::vector<int>& from = shape->stepLiterals[s];
        values[s].reserve(fixed.size());
        for (size_t i = 0; i < fixed.size(); ++i)
            values[s].push_back(from[i] >= 0 ? literalValue(tsql, literals[static_cast<size_t>(from[i])])
                                             : fixed[i]);
    }
    return run(shape->rendering, shape->sql, tsql, nullptr, &values);
}

bool StatementPipeline::hasShape(const Shape& shape, const QString& tsql, std::vector<Literal>* literals) {
    literals->clear();
    const int n = static_cast<int>(tsql.size());
    int at = 0, shapeAt = 0;
    for (size_t i = 0; i < shape.literals.size(); ++i) {
        const Literal& sl = shape.literals[i];
        const int gap = sl.begin - shapeAt;
        if (at + gap > n || !sameRange(tsql, at, shape.source, shapeAt, gap)) return false;
        at += gap;
        const int end = TSqlTokenizer::literalEnd(tsql, at, sl.kind);
        if (end < 0) return false;
        literals->push_back({sl.kind, at, end});
        if (literalClass(tsql, literals->back()) != shape.literalClass[i]) return false;
        at = end;
        shapeAt = sl.end;
    }
    const int tail = static_cast<int>(shape.source.size()) - shapeAt;
    if (n - at != tail || !sameRange(tsql, at, shape.source, shapeAt, tail)) return false;
    for (int i : shape.inlineLiterals) {
        const Literal& l = (*literals)[static_cast<size_t>(i)];
        const Literal& sl = shape.literals[static_cast<size_t>(i)];
        if (l.end - l.begin != sl.end - sl.begin ||
            !sameRange(tsql, l.begin, shape.source, sl.begin, l.end - l.begin))
            return false;
    }
    return true;
}

std::shared_ptr<const StatementPipeline::Shape> StatementPipeline::knownShape(const QString& tsql,
                                                                              quint64* key) {
    *key = 0;
    if (m_lastShape && hasShape(*m_lastShape, tsql, &m_literals)) return m_lastShape;
    if (!TSqlTokenizer::scanLiterals(tsql, &m_literals)) return nullptr;
    *key = skeletonHash(tsql, m_literals);
    const auto found = m_shapes.constFind(*key);
    if (found == m_shapes.cend() || !hasShape(**found, tsql, &m_literals)) return nullptr;
    m_lastShape = *found;
    return *found;
}

// A shape records where its values come from as literal indexes; when the literal scan and the
// tokens disagree (they never should), the shape serves this text only (stepLiterals empty).
std::shared_ptr<const StatementPipeline::Shape> StatementPipeline::makeShape(const QString& tsql,
                                                                             const QList<TSqlToken>& tokens) {
    auto shape = std::make_shared<Shape>();
    shape->rendering = translate(tsql, tokens, translatorOptions());
    shape->sql = utf8Steps(shape->rendering);
    shape->source = tsql;
    std::vector<int> literalOfToken(static_cast<size_t>(tokens.size()), -1);
    std::vector<Literal> literals;
    bool agree = TSqlTokenizer::scanLiterals(tsql, &literals);
    size_t next = 0;
    for (qsizetype t = 0; agree && t < tokens.size(); ++t) {
        const TSqlToken& token = tokens[t];
        if (token.kind != TSqlToken::Kind::String && token.kind != TSqlToken::Kind::NationalString &&
            token.kind != TSqlToken::Kind::Number)
            continue;
        agree = next < literals.size() && literals[next].begin == token.position &&
                literals[next].kind == token.kind;
        literalOfToken[static_cast<size_t>(t)] = static_cast<int>(next++);
    }
    agree = agree && next == literals.size();
    auto literalOf = [&](int token) {
        return token >= 0 && token < tokens.size() ? literalOfToken[static_cast<size_t>(token)] : -1;
    };
    for (const RenderedStep& step : shape->rendering.steps) {
        std::vector<int> from;
        for (int t : step.paramTokens) {
            from.push_back(literalOf(t));
            agree = agree && from.back() >= 0;
        }
        shape->stepLiterals.push_back(std::move(from));
    }
    for (int t : shape->rendering.inlineTokens) {
        shape->inlineLiterals.push_back(literalOf(t));
        agree = agree && shape->inlineLiterals.back() >= 0;
    }
    if (!agree) {
        shape->stepLiterals.clear();
        shape->join.reset();
        return shape;
    }
    shape->literals = std::move(literals);
    for (const Literal& l : shape->literals)
        shape->literalClass.push_back(literalClass(tsql, l));
    if (auto form = JoinMemo::recognize(tokens)) {
        form->patternToken = form->patternToken >= 0 ? literalOf(form->patternToken) : -1;
        form->gradeToken = literalOf(form->gradeToken);
        form->yearToken = literalOf(form->yearToken);
        shape->join = form;
    }
    return shape;
}

std::unique_ptr<Cursor> StatementPipeline::read(const QString& tsql) {
    m_memoReading = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{m_memoReading};
    quint64 key = 0;
    std::shared_ptr<const Shape> shape = knownShape(tsql, &key);
    if (!shape) {
        shape = makeShape(tsql, asSyntaxFailure([&] { return TSqlTokenizer::tokenize(tsql); }));
        if (key != 0 && !shape->stepLiterals.empty()) {
            if (m_shapes.size() >= kMaxShapes) m_shapes.clear();
            m_shapes.insert(key, shape);
        }
        m_literals = shape->literals;
    }
    std::vector<std::vector<SqlValue>> values(shape->rendering.steps.size());
    for (size_t s = 0; s < values.size() && !shape->stepLiterals.empty(); ++s)
        for (size_t i = 0; i < shape->rendering.steps[s].params.size(); ++i) {
            const int from = shape->stepLiterals[s][i];
            values[s].push_back(from >= 0 ? literalValue(tsql, m_literals[static_cast<size_t>(from)])
                                          : shape->rendering.steps[s].params[i]);
        }
    return run(shape->rendering, shape->sql, tsql, nullptr, shape->stepLiterals.empty() ? nullptr : &values);
}

std::unique_ptr<Cursor> StatementPipeline::fromMemo(const Shape& shape, const QString& tsql,
                                                    const std::vector<Literal>& literals) {
    const JoinMemo::Form& form = *shape.join;
    auto text = [&](int literal) {
        return TSqlTokenizer::literalValue(tsql, literals[static_cast<size_t>(literal)]);
    };
    // Numbers are their own text: read in place, without a string a statement.
    auto number = [&](int literal) {
        const Literal& l = literals[static_cast<size_t>(literal)];
        return QStringView(tsql).sliced(l.begin, l.end - l.begin);
    };
    const QStringView grade = number(form.gradeToken);
    const QStringView yearText = number(form.yearToken);
    if (!isWholeNumber(grade) || !isWholeNumber(yearText)) return nullptr;
    // A server ends the snapshot with a failed statement: what the memo read answers nothing more.
    if (m_memo && !m_backend->snapshotHeld()) dropMemo();
    const bool sameMemo = m_memo && m_memoTable == form.table && QStringView(m_memoYear) == yearText;
    bool owner = false;
    if (!m_memo) {
        const QString year = yearText.toString();
        const QString key = form.table + QChar(0x1F) + year;
        // Built by a build's first statement (the first grade, no prefix): a lone statement
        // for one node is cheaper asked of the engine.
        if (form.patternToken >= 0 || m_memoRefused == key) return nullptr;
        // Everything the memo reads, and every statement it answers, sees the snapshot the
        // engine holds from here until the memo ends; a deferred fill holds one already, that of
        // its table's rows, and the memo reads that one.
        if (!m_deferred && !m_backend->holdSnapshot()) {
            m_memoRefused = key;
            return nullptr;
        }
        auto memo = std::make_shared<JoinMemo>();
        bool built = false;
        try {
            // A table not filled yet has its codes read by its own select.
            const bool deferred = m_deferred && m_deferred->table.compare(form.table, Qt::CaseInsensitive) == 0;
            std::unique_ptr<Cursor> codes =
                deferred ? m_backend->execute(m_deferred->codes.sql, m_deferred->codes.params, m_deferred->origin)
                         : read(JoinMemo::codesQuery(form.table));
            const int filtered = codes ? memo->readFiltered(*codes) : -1;
            // The year's accounts kept while unchanged answer every build, broad or narrow.
            std::shared_ptr<const StoredRows> kept = filtered >= kMemoMinRows ? keptYear(year) : nullptr;
            if (kept) {
                built = memo->readAccounts(std::move(kept));
                if (built) memo->finish(false);
            } else if (filtered >= kMemoMinRows) {
                // Few branches lead to the filtered accounts: read only those; else the year.
                // Every filtered account leads to itself: when they are a quarter of the year or
                // more, reading the year's codes to find branches cannot pay.
                bool fewBranches = memo->filteredGroups() <= kMaxBranches;
                if (fewBranches) {
                    std::unique_ptr<Cursor> count = read(JoinMemo::yearCountQuery(year));
                    fewBranches = count && count->fetch() && count->value(0).isNumeric() &&
                                  static_cast<qint64>(filtered) * 4 < count->value(0).toLong();
                }
                std::unique_ptr<Cursor> yearCodes =
                    fewBranches ? read(JoinMemo::yearCodesQuery(year)) : nullptr;
                const bool inParts = yearCodes && memo->readYearCodes(*yearCodes) &&
                                     memo->roots().size() <= kMaxBranches &&
                                     memo->leadingCodes() * 4 < memo->yearRows();
                yearCodes.reset();
                built = true;
                const QStringList whole{QString()};
                for (const QString& root : inParts ? memo->roots() : whole) {
                    std::unique_ptr<Cursor> accounts =
                        read(inParts ? JoinMemo::branchQuery(year, root) : JoinMemo::accountsQuery(year));
                    built = built && accounts && memo->readAccounts(*accounts);
                }
                if (built) memo->finish(inParts);
            }
        } catch (const RuntimeError&) {
            built = false; // the engine reports it when it runs the statement itself
        }
        if (!built || !m_backend->snapshotHeld()) {
            releaseSnapshotIfUnused();
            m_memoRefused = key;
            return nullptr;
        }
        m_memo = std::move(memo);
        m_memoTable = form.table;
        m_memoYear = year;
        ++m_counters.memoBuilds;
        owner = true;
    } else if (!sameMemo) {
        return nullptr;
    }
    JoinMemo::Rows rows;
    // The pattern's text in place unless it holds a doubled quote to undo.
    QString undone;
    QStringView pattern;
    if (form.patternToken >= 0) {
        const Literal& l = literals[static_cast<size_t>(form.patternToken)];
        const int open = l.kind == TSqlToken::Kind::NationalString ? l.begin + 2 : l.begin + 1;
        pattern = QStringView(tsql).sliced(open, l.end - 1 - open);
        if (std::find(pattern.begin(), pattern.end(), QLatin1Char('\'')) != pattern.end()) {
            undone = text(form.patternToken);
            pattern = undone;
        }
    }
    int gradeNumber = 0;
    for (const QChar c : grade)
        gradeNumber = gradeNumber * 10 + (c.unicode() - u'0'); // whole and at most 9 digits
    if (!m_memo->lookup(gradeNumber, form.patternToken >= 0 ? &pattern : nullptr, &rows)) {
        if (owner) dropMemo();
        return nullptr;
    }
    ++m_counters.memoHits;
    std::function<void()> done;
    if (owner) {
        const JoinMemo* memo = m_memo.get();
        std::weak_ptr<bool> alive = m_alive;
        done = [this, memo, alive] {
            if (auto a = alive.lock(); a && *a) dropMemo(memo);
        };
    }
    return std::make_unique<MemoCursor>(m_memo, std::move(rows), m_alive, std::move(done));
}

std::shared_ptr<const StoredRows> StatementPipeline::keptYear(const QString& year) {
    const std::optional<quint64> version = m_backend->contentVersion(QStringLiteral("code"));
    if (!version) {
        forgetYear();
        return nullptr;
    }
    if (!m_year || m_yearLiteral != year || m_yearVersion != *version) {
        forgetYear();
        std::unique_ptr<Cursor> rows = read(JoinMemo::accountsQuery(year));
        if (!rows) return nullptr;
        m_year = StoredRows::read(*rows);
        m_yearLiteral = year;
        m_yearVersion = *version;
        ++m_counters.yearReads;
        m_counters.keptBytes = static_cast<qint64>(m_year->bytes());
    }
    return m_year;
}

void StatementPipeline::forgetYear() {
    m_year.reset();
    m_counters.keptBytes = 0;
}

void StatementPipeline::dropMemo(const JoinMemo* owner) {
    m_memoRefused.clear();
    if (!m_memo || (owner && owner != m_memo.get())) return;
    m_memo.reset();
    m_memoTable.clear();
    m_memoYear.clear();
    releaseSnapshotIfUnused();
}

void StatementPipeline::releaseSnapshotIfUnused() {
    if (!m_memo && !m_deferred) m_backend->releaseSnapshot();
}

std::shared_ptr<const StatementPipeline::HostShape> StatementPipeline::hostShape(const QString& tsql) {
    if (auto found = m_hostShapes.value(tsql)) return found;
    const QList<TSqlToken> tokens = asSyntaxFailure([&] { return TSqlTokenizer::tokenize(tsql); });
    TranslatorOptions o = translatorOptions();
    o.bindLiterals = true;
    auto shape = std::make_shared<HostShape>();
    shape->rendering = translate(tsql, tokens, o);
    shape->sql = utf8Steps(shape->rendering);
    std::vector<int> ordinalOfToken(static_cast<size_t>(tokens.size()), -1);
    for (qsizetype i = 0; i < tokens.size(); ++i)
        if (tokens[i].kind == TSqlToken::Kind::Parameter)
            ordinalOfToken[static_cast<size_t>(i)] = shape->placeholders++;
    for (const RenderedStep& step : shape->rendering.steps) {
        std::vector<int> ordinals;
        for (int t : step.paramTokens)
            ordinals.push_back(t >= 0 && t < tokens.size() ? ordinalOfToken[static_cast<size_t>(t)] : -1);
        shape->ordinals.push_back(std::move(ordinals));
    }
    if (m_hostShapes.size() >= kMaxShapes) m_hostShapes.clear();
    m_hostShapes.insert(tsql, shape);
    return shape;
}

std::unique_ptr<Cursor> StatementPipeline::query(const QString& tsql, const std::vector<SqlValue>& params,
                                                 qint64* rowsAffected) {
    if (!isOpen()) raise(ErrorCode::ObjectClosed);
    ++m_counters.hostStatements;
    const auto checkCount = [&](qsizetype placeholders) {
        if (static_cast<size_t>(placeholders) != params.size())
            throw EngineError(FailureKind::Syntax, QStringLiteral("%1 values for %2 placeholders in: %3")
                                                       .arg(params.size())
                                                       .arg(placeholders)
                                                       .arg(tsql));
    };
    if (passesThrough()) {
        const QList<TSqlToken> tokens = asSyntaxFailure([&] { return TSqlTokenizer::tokenize(tsql); });
        checkCount(std::count_if(tokens.begin(), tokens.end(),
                                 [](const TSqlToken& t) { return t.kind == TSqlToken::Kind::Parameter; }));
        return passThrough(tsql, tokens, params, rowsAffected);
    }
    const std::shared_ptr<const HostShape> shape = hostShape(tsql);
    checkCount(shape->placeholders);
    if (shape->rendering.kind != Rendering::Kind::Query) dropMemo();
    Rendering r = shape->rendering;
    for (size_t s = 0; s < r.steps.size(); ++s) {
        std::vector<SqlValue>& values = r.steps[s].params;
        for (size_t i = 0; i < values.size(); ++i)
            if (const int ordinal = shape->ordinals[s][i]; ordinal >= 0)
                values[i] = params[static_cast<size_t>(ordinal)];
    }
    return run(r, shape->sql, tsql, rowsAffected);
}

std::unique_ptr<Cursor> StatementPipeline::native(const QString& sql, const std::vector<SqlValue>& params,
                                                  qint64* rowsAffected) {
    if (!isOpen()) raise(ErrorCode::ObjectClosed);
    ++m_counters.hostStatements;
    dropMemo(); // any SQL at all: it may write
    if (m_deferred) fillDeferred();
    makePendingIndex();
    std::unique_ptr<Cursor> cursor = m_backend->execute(sql.toUtf8(), params, sql);
    if (rowsAffected) *rowsAffected = cursor ? 0 : m_backend->rowsAffected();
    if (changesSchema(sql)) {
        m_backend->loadSchema(m_schema);
        schemaChanged();
    }
    return cursor;
}

std::unique_ptr<Cursor> StatementPipeline::run(const Rendering& r, const std::vector<QByteArray>& sql,
                                               const QString& origin, qint64* rowsAffected,
                                               const std::vector<std::vector<SqlValue>>* values) {
    if (rowsAffected) *rowsAffected = 0;
    if (m_deferred && !m_memoReading) {
        if (r.kind == Rendering::Kind::DropTable && r.tableIsTemp &&
            r.table.compare(m_deferred->table, Qt::CaseInsensitive) == 0)
            forgetDeferred();
        else
            fillDeferred();
    }
    if (m_pendingIndex) {
        if (r.kind == Rendering::Kind::DropTable && r.tableIsTemp &&
            r.table.compare(m_pendingIndex->table, Qt::CaseInsensitive) == 0)
            m_pendingIndex.reset();
        else if (!m_memoReading)
            makePendingIndex();
    }
    auto params = [&](size_t i) -> const std::vector<SqlValue>& {
        return values ? (*values)[i] : r.steps[i].params;
    };
    size_t first = 0;
    if (r.guarded) {
        std::unique_ptr<Cursor> test = m_backend->execute(sql[0], params(0), origin);
        const bool holds = test && test->fetch();
        if (test) test->close();
        if (!holds) return nullptr;
        first = 1;
    }
    size_t count = r.steps.size();
    while (count > 1 && r.steps[count - 1].deferred != RenderedStep::Deferred::No)
        --count;
    size_t last = count - 1;
    if (r.kind == Rendering::Kind::SelectInto && r.tableIsTemp && last > first && r.steps[last].tempIndex) {
        m_pendingIndex = PendingIndex{r.table, {sql[last], params(last)}, origin};
        --last;
    }
    if (count < r.steps.size() && !rowsAffected && !r.guarded && deferFill(r, sql, origin, values)) return nullptr;
    for (size_t i = first; i < last; ++i)
        if (std::unique_ptr<Cursor> rows = m_backend->execute(sql[i], params(i), origin)) rows->close();
    std::unique_ptr<Cursor> cursor;
    try {
        cursor = m_backend->execute(sql[last], params(last), origin);
    } catch (...) {
        if (r.kind == Rendering::Kind::SelectInto) m_pendingIndex.reset(); // no table, no index
        throw;
    }
    if (!cursor && rowsAffected) *rowsAffected = m_backend->rowsAffected();
    if (r.changesSchema()) {
        m_backend->loadTable(m_schema, r.tableIsTemp, r.table);
        schemaChanged();
    }
    return cursor;
}

// Copying every column of every row is most of what a select-into costs, and a build whose joins
// the memo answers only ever reads the codes.
bool StatementPipeline::deferFill(const Rendering& r, const std::vector<QByteArray>& sql, const QString& origin,
                                  const std::vector<std::vector<SqlValue>>* values) {
    if (!m_options.memoJoins || m_memoReading || m_memo || !m_backend->canDeferTempFill()) return false;
    size_t create = 0, fill = 0, codes = 0;
    for (size_t i = 0; i < r.steps.size(); ++i) {
        switch (r.steps[i].deferred) {
        case RenderedStep::Deferred::Create: create = i; break;
        case RenderedStep::Deferred::Fill: fill = i; break;
        case RenderedStep::Deferred::Codes: codes = i; break;
        case RenderedStep::Deferred::No: break;
        }
    }
    if (!create || !fill || !codes || !m_backend->holdSnapshot()) return false;
    auto params = [&](size_t i) -> const std::vector<SqlValue>& {
        return values ? (*values)[i] : r.steps[i].params;
    };
    try {
        if (std::unique_ptr<Cursor> rows = m_backend->execute(sql[create], params(create), origin)) rows->close();
    } catch (...) {
        m_pendingIndex.reset(); // no table, no index
        m_backend->releaseSnapshot();
        throw;
    }
    m_deferred = DeferredFill{r.table, {sql[fill], params(fill)}, {sql[codes], params(codes)}, origin};
    ++m_counters.deferredFills;
    m_backend->loadTable(m_schema, r.tableIsTemp, r.table);
    schemaChanged();
    return true;
}

void StatementPipeline::fillDeferred() {
    const DeferredFill d = std::move(*m_deferred);
    m_deferred.reset();
    struct Release {
        StatementPipeline* p;
        ~Release() { p->releaseSnapshotIfUnused(); }
    } release{this};
    ++m_counters.lateFills;
    if (std::unique_ptr<Cursor> rows = m_backend->execute(d.fill.sql, d.fill.params, d.origin)) rows->close();
}

void StatementPipeline::forgetDeferred() {
    m_deferred.reset();
    releaseSnapshotIfUnused();
}

void StatementPipeline::makePendingIndex() {
    // While a build's memo holds the engine's snapshot a server may refuse any change of schema
    // (a read-only transaction, which the refusal would end): the few statements the memo leaves
    // to the engine run without the index.
    if (!m_pendingIndex || m_memo) return;
    const PendingIndex index = std::move(*m_pendingIndex);
    m_pendingIndex.reset();
    try {
        if (std::unique_ptr<Cursor> rows = m_backend->execute(index.create.sql, index.create.params, index.origin))
            rows->close();
    } catch (const RuntimeError&) {
        // Only lookups are slower without it; the statement that follows decides what fails.
    }
}

} // namespace sarvo::db
