// Shape cache, translation and step-by-step execution over a backend; see StatementPipeline.h.
#include "host/db/StatementPipeline.h"

#include "host/db/Dialect.h"
#include "host/db/EngineError.h"
#include "host/db/TSqlTokenizer.h"
#include "runtime/RuntimeError.h"

#include <algorithm>

namespace sarvo::db {

namespace {

constexpr int kMaxShapes = 512; // beyond this the cache starts afresh

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
    m_backend->setStatementCaching(m_options.cacheStatements);
    m_backend->open();
    try {
        m_backend->loadSchema(m_schema);
    } catch (...) {
        m_backend->close();
        throw;
    }
    schemaChanged();
}

void StatementPipeline::close() {
    m_backend->close();
}

void StatementPipeline::setOptions(const PipelineOptions& options) {
    m_options = options;
    m_backend->setStatementCaching(options.cacheStatements);
    schemaChanged();
}

// Renderings depend on the column types the schema gives.
void StatementPipeline::schemaChanged() {
    m_shapes.clear();
    m_hostShapes.clear();
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
    r.guarded = false;
    r.steps.resize(1);
    r.steps[0].sql = tsql;
    r.steps[0].params = params;
    return run(r, {tsql.toUtf8()}, tsql, rowsAffected);
}

std::unique_ptr<Cursor> StatementPipeline::execute(const QString& tsql) {
    if (!isOpen()) raise(ErrorCode::ObjectClosed);
    ++m_counters.statements;
    const QList<TSqlToken> tokens = asSyntaxFailure([&] { return TSqlTokenizer::tokenize(tsql); });
    // The component's texts carry their values; a placeholder is a character out of place.
    for (const TSqlToken& t : tokens)
        if (t.kind == TSqlToken::Kind::Parameter)
            throw EngineError(FailureKind::Syntax,
                              QStringLiteral("Unexpected character '?' at position %1 in: %2")
                                  .arg(t.position + 1)
                                  .arg(tsql));
    if (passesThrough()) return passThrough(tsql, tokens, {}, nullptr);
    if (!m_options.cacheStatements) {
        const Rendering r = translate(tsql, tokens, translatorOptions());
        return run(r, utf8Steps(r), tsql, nullptr);
    }
    const QString key = TSqlTranslator::shapeKey(tokens);
    std::shared_ptr<const Shape> shape = m_shapes.value(key);
    Rendering r;
    if (shape && TSqlTranslator::rebind(shape->rendering, shape->tokens, tokens, &r))
        return run(r, shape->sql, tsql, nullptr);
    r = translate(tsql, tokens, translatorOptions());
    shape = std::make_shared<const Shape>(Shape{r, tokens, utf8Steps(r)});
    if (m_shapes.size() >= kMaxShapes) m_shapes.clear();
    m_shapes.insert(key, shape);
    return run(r, shape->sql, tsql, nullptr);
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
    std::unique_ptr<Cursor> cursor = m_backend->execute(sql.toUtf8(), params, sql);
    if (rowsAffected) *rowsAffected = cursor ? 0 : m_backend->rowsAffected();
    if (changesSchema(sql)) {
        m_backend->loadSchema(m_schema);
        schemaChanged();
    }
    return cursor;
}

std::unique_ptr<Cursor> StatementPipeline::run(const Rendering& r, const std::vector<QByteArray>& sql,
                                               const QString& origin, qint64* rowsAffected) {
    if (rowsAffected) *rowsAffected = 0;
    size_t first = 0;
    if (r.guarded) {
        std::unique_ptr<Cursor> test = m_backend->execute(sql[0], r.steps[0].params, origin);
        const bool holds = test && test->fetch();
        if (test) test->close();
        if (!holds) return nullptr;
        first = 1;
    }
    const size_t last = r.steps.size() - 1;
    for (size_t i = first; i < last; ++i)
        if (std::unique_ptr<Cursor> rows = m_backend->execute(sql[i], r.steps[i].params, origin))
            rows->close();
    std::unique_ptr<Cursor> cursor = m_backend->execute(sql[last], r.steps[last].params, origin);
    if (!cursor && rowsAffected) *rowsAffected = m_backend->rowsAffected();
    if (r.changesSchema()) {
        m_backend->loadTable(m_schema, r.tableIsTemp, r.table);
        schemaChanged();
    }
    return cursor;
}

} // namespace sarvo::db
