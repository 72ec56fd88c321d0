// Engine selection by connection string.
#include "host/db/Engine.h"

#include "host/db/SqliteEngine.h"
#include "runtime/RuntimeError.h"

namespace sarvo::db {

Engine::~Engine() = default;

std::unique_ptr<Engine> Engine::create(const QString& connectionString) {
    const QString s = connectionString.trimmed();
    const qsizetype colon = s.indexOf(QLatin1Char(':'));
    // A scheme is a word of two letters or more before the colon, so "C:/x.db" stays a path.
    if (colon > 1) {
        const QString scheme = s.left(colon).toLower();
        bool isScheme = true;
        for (QChar c : scheme)
            isScheme = isScheme && c.isLetter();
        if (isScheme && scheme == QLatin1String("sqlite"))
            return std::make_unique<SqliteEngine>(s.mid(colon + 1));
        if (isScheme && scheme != QLatin1String("file"))
            raise(ErrorCode::DatabaseError, QStringLiteral("No database engine for \"%1\"").arg(scheme));
    }
    if (s.isEmpty()) raise(ErrorCode::DatabaseError, QStringLiteral("Empty connection string"));
    return std::make_unique<SqliteEngine>(s);
}

} // namespace sarvo::db
