// Runs a script of SQL statements through a connection one statement at a time, so scripts
// (schema files, template set-up files) are split here first. Schema files are in the engine's
// own SQL; template set-up files are T-SQL and rendered for the engine like the host's statements.
#pragma once

#include "host/db/Connection.h"

#include <QString>
#include <QStringList>

namespace sarvo::data {

class SqlScript {
public:
    enum class Language { Native, TSql };

    // The statements of script in order, without comments and without their closing ';'.
    // A ';' or "--" inside a quoted literal or identifier, or a $$ ... $$ body, belongs to it.
    static QStringList split(const QString& script);

    // Runs each statement of script; the first one that fails raises DatabaseError naming
    // origin (the file the script came from) and the statement's number.
    static void run(db::Connection& connection, const QString& script, const QString& origin,
                    Language language = Language::Native);
};

} // namespace sarvo::data
