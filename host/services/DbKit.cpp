// Database kit: creates the account set's connection, closed, from the host's connection string.
#include "host/services/DbKit.h"

namespace sarvo::host {

DbKit::DbKit(const QString& connectionString)
    : DispatchObject(QStringLiteral("DbKit")),
      m_connection(std::make_shared<db::Connection>(connectionString)) {
    defineProperty(QStringLiteral("Connection"), [this] { return Variant(m_connection); });
}

} // namespace sarvo::host
