// Probing an account set through the host's connection.
#include "apps/demo/AccountSetCheck.h"

#include "runtime/RuntimeError.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace sarvo::demo {

namespace {

// The tables one request reads: the host's own (login year, classes, code scheme, settings,
// users) and the component's (chart, options, recently used), in the order the request meets them.
const char* const kTables[] = {"host_year", "host_class", "host_scheme",    "host_setting",
                               "host_user", "code",       "AccInformation", "GL_mcodeused"};

} // namespace

AccountSetCheck::AccountSetCheck(QString path, std::shared_ptr<db::Connection> connection)
    : m_path(std::move(path)), m_connection(std::move(connection)) {}

QString AccountSetCheck::causeOf(const RuntimeError& error, const QString& statement) const {
    QString cause = error.description();
    const QString preamble = RuntimeError::standardDescription(error.number()) + QStringLiteral(": ");
    if (cause.startsWith(preamble) && cause.size() > preamble.size()) cause = cause.mid(preamble.size());
    // The statement the engine quotes after " in: " (ours, or one of its own when opening) says
    // nothing to the person reading the line.
    static const QRegularExpression quotedStatement(
        QStringLiteral(" in: (select|insert|update|delete|if|drop|create|with|pragma)\\b.*$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    if (!statement.isEmpty()) {
        const qsizetype quoted = cause.lastIndexOf(QStringLiteral(" in: ") + statement);
        if (quoted > 0) cause.truncate(quoted);
    }
    cause.remove(quotedStatement);
    cause = cause.simplified();
    const QFileInfo file(m_path);
    if (file.isDir())
        cause += QStringLiteral(" (it is a directory)");
    else if (file.isFile() && file.size() == 0)
        cause += QStringLiteral(" (the file is empty)");
    return cause;
}

std::optional<QString> AccountSetCheck::run(const QString& statement) const {
    try {
        if (m_connection->state() == db::Connection::Closed) m_connection->open();
        if (!statement.isEmpty()) m_connection->execute(statement);
        return std::nullopt;
    } catch (const RuntimeError& e) {
        return causeOf(e, statement);
    }
}

std::optional<QString> AccountSetCheck::beforeRequest() const {
    std::optional<QString> cause = run({});
    for (const char* table : kTables) {
        if (cause) break;
        cause = run(QStringLiteral("select * from %1 where 1=0").arg(QLatin1String(table)));
    }
    try {
        m_connection->close();
    } catch (const RuntimeError&) {
    }
    return cause;
}

std::optional<QString> AccountSetCheck::afterFailure(const QString& lastStatement) const {
    if (const auto& failure = m_connection->lastFailure()) return causeOf(*failure, lastStatement);
    return beforeRequest();
}

} // namespace sarvo::demo
