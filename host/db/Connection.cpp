// ADO-style connection over an Engine; see Connection.h.
#include "host/db/Connection.h"

#include "host/db/Cursor.h"
#include "host/db/Engine.h"
#include "host/db/Recordset.h"
#include "runtime/RuntimeError.h"

namespace sarvo::db {

namespace {
constexpr int kAlreadyOpen = 3705; // operation is not allowed when the object is open
}

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

int Connection::state() const {
    return m_engine && m_engine->isOpen() ? Open : Closed;
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
        m_engine.reset();
    }
    if (!m_engine) m_engine = Engine::create(m_connectionString);
    m_engine->open();
}

void Connection::close() {
    if (m_engine) m_engine->close();
}

std::shared_ptr<Recordset> Connection::execute(const QString& text, int options) {
    Q_UNUSED(options);
    if (m_log) m_log(text);
    if (m_logging) m_logged << text;
    if (state() != Open) raise(ErrorCode::ObjectClosed);
    std::unique_ptr<Cursor> cursor = m_engine->execute(text);
    return cursor ? std::make_shared<Recordset>(std::move(cursor)) : std::make_shared<Recordset>();
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

QString Connection::render(const QString& text) const {
    if (!m_engine) const_cast<Connection*>(this)->m_engine = Engine::create(m_connectionString);
    return m_engine->render(text);
}

QSqlDatabase Connection::database() const {
    return m_engine ? m_engine->database() : QSqlDatabase();
}

} // namespace sarvo::db
