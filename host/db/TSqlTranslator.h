// Renders the component's Transact-SQL for SQLite. First cut: a token-level rewrite of the
// constructs the component sends; the statement-level renderer replaces it.
#pragma once

#include <QString>
#include <QStringList>

namespace sarvo::db {

class TSqlTranslator {
public:
    // The SQLite statements that together do what the T-SQL text does, in order.
    static QStringList toSqlite(const QString& tsql);
};

} // namespace sarvo::db
