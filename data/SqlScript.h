// Runs a script of SQL statements through a Qt SQL connection. Qt executes one statement per
// call, so scripts (schema files, template set-up files) are split here first.
#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace sarvo::data {

class SqlScript {
public:
    // The statements of script in order, without comments and without their closing ';'.
    // A ';' or "--" inside a quoted literal or identifier, or a $$ ... $$ body, belongs to it.
    static QStringList split(const QString& script);

    // Runs each statement of script; the first one that fails raises DatabaseError naming
    // origin (the file the script came from) and the statement's number.
    static void run(QSqlDatabase& db, const QString& script, const QString& origin);
};

} // namespace sarvo::data
