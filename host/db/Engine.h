// A database engine behind a Connection. The connection string picks the engine; the engine
// renders the component's T-SQL for its own dialect and runs it.
#pragma once

#include <QSqlDatabase>
#include <QString>
#include <memory>

namespace sarvo::db {

class Cursor;

class Engine {
public:
    virtual ~Engine();

    // "sqlite:PATH" or a bare path opens the embedded SQLite default. Raises DatabaseError for an
    // engine this build does not provide.
    static std::unique_ptr<Engine> create(const QString& connectionString);

    virtual QString name() const = 0;
    virtual void open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Runs one T-SQL text. A query gives a cursor placed before its first row; a statement runs to
    // its end and gives null. Raises DatabaseError with the engine's message and the text.
    virtual std::unique_ptr<Cursor> execute(const QString& tsql) = 0;
    // The engine's rendering of a T-SQL text, with literal values written in (for logs and tests).
    virtual QString render(const QString& tsql) const = 0;
    // The Qt SQL connection for the host's own parameterized queries.
    virtual QSqlDatabase database() const = 0;
};

} // namespace sarvo::db
