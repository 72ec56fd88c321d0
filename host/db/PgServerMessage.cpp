// PostgreSQL's conversion failures in the server's words.
#include "host/db/PgServerMessage.h"

#include <QRegularExpression>

namespace sarvo::db {

namespace {

// The offending value that PostgreSQL quotes at the end of its message.
QString quotedValue(const QString& message) {
    static const QRegularExpression quoted(QStringLiteral(": \"(.*)\"$"));
    const QRegularExpressionMatch m = quoted.match(message);
    return m.hasMatch() ? m.captured(1) : QString();
}

} // namespace

QString pgServerMessage(const QByteArray& sqlState, const QString& message) {
    // PostgreSQL's ODBC driver wraps the server's line: "ERROR: <line>;\n<what the driver did>".
    QString bare = message.section(QLatin1Char('\n'), 0, 0).trimmed();
    if (bare.startsWith(QLatin1String("ERROR:"))) bare = bare.mid(6).trimmed();
    if (bare.endsWith(QLatin1Char(';'))) bare.chop(1);
    const QString value = quotedValue(bare);
    if (sqlState == "22P02" && bare.startsWith(QLatin1String("invalid input syntax for type integer")))
        return QStringLiteral("Conversion failed when converting the nvarchar value '%1' to data type int.")
            .arg(value);
    if (sqlState == "22P02" && bare.startsWith(QLatin1String("invalid input syntax for type numeric")))
        return QStringLiteral("Error converting data type nvarchar to numeric ('%1').").arg(value);
    if ((sqlState == "22007" || sqlState == "22008") && !value.isEmpty())
        return QStringLiteral("Conversion failed when converting date and/or time from character string "
                              "('%1').")
            .arg(value);
    return message;
}

} // namespace sarvo::db
