// Why an account set cannot serve a request, found from the host's side: the component only
// answers False, so the demo host asks the database itself, through its own connection, and
// passes on the database's own words (so they stay right whatever engine answers).
#pragma once

#include "host/db/Connection.h"

#include <QString>
#include <memory>
#include <optional>

namespace sarvo {
class RuntimeError;
}

namespace sarvo::demo {

class AccountSetCheck {
public:
    AccountSetCheck(QString path, std::shared_ptr<db::Connection> connection);

    // Before the request: opens the account set and reads every table the request reads. The
    // cause of the first failure, or nothing when each table answers. Leaves the connection
    // closed, as the component expects to find it.
    std::optional<QString> beforeRequest() const;

    // After a request that ended without telling the user why: what the database answered to the
    // statement the request sent last, when that failed; else the check made before a request.
    std::optional<QString> afterFailure(const QString& lastStatement) const;

    // The text of a database error without the generic preamble and without the statement it
    // quotes, on one line, with what the file system adds (a directory, an empty file).
    QString causeOf(const RuntimeError& error, const QString& statement = {}) const;

private:
    std::optional<QString> run(const QString& statement) const;
    QString m_path;
    std::shared_ptr<db::Connection> m_connection;
};

} // namespace sarvo::demo
