// PostgreSQL's failures in the server's words, whichever client reached PostgreSQL (libpq or its
// ODBC driver): a host that shows or matches the message sees the text it knows.
#pragma once

#include <QByteArray>
#include <QString>

namespace sarvo::db {

// The server's own message for the conversions the server fails in its way (text that is no
// number or no date); other messages as the engine gave them. A leading "ERROR: " and the driver's
// own line after the server's (as PostgreSQL's ODBC driver passes the message on) are not part of it.
QString pgServerMessage(const QByteArray& sqlState, const QString& message);

} // namespace sarvo::db
