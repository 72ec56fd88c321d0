// ADO-style connection over a StatementPipeline; see Connection.h.
#include "host/db/Connection.h"

#include "host/db/BackendRegistry.h"
#include "host/db/ConnectionString.h"
#include "host/db/Cursor.h"
#include "host/db/EngineError.h"
#include "host/db/Recordset.h"
#include "host/db/StatementPipeline.h"
#include "runtime/RuntimeError.h"

namespace sarvo::db {

namespace {
constexpr int kAlreadyOpen = 3705; // operation is not allowed when the object is open

std::shared_ptr<Recordset> recordsetOf(std::unique_ptr<Cursor> cursor) {
    return cursor ? std::make_shared<Recordset>(std::move(cursor)) : std::make_shared<Recordset>();
}
} // namespace

Connection::Connection(QString connectionString)
    : DispatchObject(QStringLiteral("Connection")), m_connectionString(std::move(connectionString)) {
    defineProperty(
        QStringLiteral("ConnectionString"), [this] { return Variant(m_connectionString); },
        [this](const Variant& v) { m_connectionString = v.toString(); });
    defineProperty(QStringLiteral("State"), [this] { return Variant(static_cast<int32_t>(state())); });
    defineProperty(
        QStringLiteral("CursorLocation"), [this] { return Variant(static_cast<int32_t>(m_cursorLocation)); },
        [this](const Variant& v) { m_cursorLocation = v.toLong(); });
    defineMethod(QStringLiteral("Open"), [this](VariantList& args) {
        auto text = [&](int i) { return i < args.size() ? args[i].toDisplayText() : QString(); };
        open(text(0), text(1), text(2), args.size() > 3 && !args[3].isBlank() ? args[3].toLong() : -1);
        return Variant();
    });
    defineMethod(QStringLiteral("Close"), [this](VariantList&) {
        if (state() == Closed) raise(ErrorCode::ObjectClosed);
        close();
        return Variant();
    });
    defineMethod(QStringLiteral("Execute"), [this](VariantList& args) {
        if (args.isEmpty()) raise(ErrorCode::InvalidProcedureCall, QStringLiteral("Execute needs a text"));
        const int options = args.size() > 2 && !args[2].isBlank() ? args[2].toLong() : -1;
        return Variant(execute(args[0].toString(), options));
    });
}

Connection::~Connection() {
    try {
        close();
    } catch (...) {
    }
}

QString Connection::describe() const {
    try {
        return ConnectionString::parse(m_connectionString).describe();
    } catch (const RuntimeError&) {
        return m_connectionString.trimmed().isEmpty() ? QStringLiteral("(no connection string)")
                                                      : QStringLiteral("(unreadable connection string)");
    }
}

int Connection::state() const {
    return m_pipeline && m_pipeline->isOpen() ? Open : Closed;
}

StatementPipeline& Connection::pipeline() const {
    if (!m_pipeline) {
        m_pipeline = std::make_unique<StatementPipeline>(BackendRegistry::create(m_connectionString));
        m_pipeline->setOptions(m_options);
    }
    return *m_pipeline;
}

StatementPipeline& Connection::openPipeline() const {
    if (state() != Open) raise(ErrorCode::ObjectClosed);
    return *m_pipeline;
}

void Connection::open(const QString& connectionString, const QString& user, const QString& password,
                      int options) {
    Q_UNUSED(user);
    Q_UNUSED(password);
    Q_UNUSED(options);
    if (state() == Open)
        throw RuntimeError(kAlreadyOpen, QStringLiteral("Operation is not allowed when the object is open."));
    if (!connectionString.isEmpty() && connectionString != m_connectionString) {
        m_connectionString = connectionString;
        m_pipeline.reset();
    }
    pipeline().open();
}

void Connection::close() {
    if (m_pipeline) m_pipeline->close();
}

std::shared_ptr<Recordset> Connection::execute(const QString& text, int options) {
    Q_UNUSED(options);
    if (m_log) m_log(text);
    if (m_logging) m_logged << text;
    m_lastFailure.reset();
    try {
        return recordsetOf(openPipeline().execute(text));
    } catch (const EngineError& e) {
        m_lastFailure = e;
        throw;
    } catch (const RuntimeError& e) {
        m_lastFailure = EngineError(FailureKind::Other, e);
        throw;
    }
}

bool Connection::tryExecute(const QString& text, QString* error) {
    try {
        execute(text);
        return true;
    } catch (const RuntimeError& e) {
        if (error) *error = e.description();
        return false;
    }
}

std::shared_ptr<Recordset> Connection::query(const QString& tsql, const std::vector<SqlValue>& params) {
    return recordsetOf(openPipeline().query(tsql, params));
}

qint64 Connection::command(const QString& tsql, const std::vector<SqlValue>& params) {
    qint64 changed = 0;
    if (std::unique_ptr<Cursor> rows = openPipeline().query(tsql, params, &changed)) rows->close();
    return changed;
}

std::shared_ptr<Recordset> Connection::native(const QString& sql, const std::vector<SqlValue>& params,
                                              qint64* rowsAffected) {
    return recordsetOf(openPipeline().native(sql, params, rowsAffected));
}

QString Connection::render(const QString& text) const {
    return pipeline().render(text);
}

void Connection::setOptions(const PipelineOptions& options) {
    m_options = options;
    if (m_pipeline) m_pipeline->setOptions(options);
}

PipelineCounters Connection::counters() const {
    return m_pipeline ? m_pipeline->counters() : PipelineCounters();
}

QString Connection::engineName() const {
    if (m_pipeline) return m_pipeline->backend().name();
    try {
        return ConnectionString::parse(m_connectionString).schemeName();
    } catch (const RuntimeError&) {
        return {};
    }
}

bool Connection::isReadOnly() const {
    return state() == Open && m_pipeline->backend().isReadOnly();
}

bool Connection::inTransaction() const {
    return state() == Open && m_pipeline->backend().inTransaction();
}

Backend* Connection::backend() const {
    return m_pipeline ? &m_pipeline->backend() : nullptr;
}

} // namespace sarvo::db
