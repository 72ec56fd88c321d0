// The host's database kit: owns the account set's connection, which the component reaches
// through ZwPub.DbKit.Connection.
#pragma once

#include "host/db/Connection.h"
#include "runtime/DispatchObject.h"

#include <memory>

namespace sarvo::host {

class DbKit : public DispatchObject {
public:
    // connectionString as db::Connection takes it ("sqlite:PATH", ...). The connection is created
    // closed; GetConnection on the component side opens it.
    explicit DbKit(const QString& connectionString);
    const std::shared_ptr<db::Connection>& Connection() const { return m_connection; }

private:
    std::shared_ptr<db::Connection> m_connection;
};

} // namespace sarvo::host
