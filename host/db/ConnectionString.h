// One connection string for every engine, as --db, sarvo-accountset and the embedding API take it:
//   sqlite:PATH, or a bare PATH            the embedded default (SQLite file; ":memory:" too)
//   sqlite:file:PATH?mode=ro               an SQLite URI filename, passed on as it stands
//   postgresql://[user[:password]@][host][:port][/database][?key=value&...]   (also postgres://)
//   odbc:DSN=name;UID=user;PWD=secret     an ODBC connection string, or odbc:NAME for a data source
// describe() gives the string for messages and logs: never the password.
#pragma once

#include <QList>
#include <QPair>
#include <QString>

namespace sarvo::db {

class ConnectionString {
public:
    enum class Scheme { Sqlite, PostgreSql, Odbc };

    // Raises EngineError (CannotOpen) for an empty string, an unknown scheme or a malformed URL.
    static ConnectionString parse(const QString& text);

    Scheme scheme() const { return m_scheme; }
    // "sqlite", "postgresql", "odbc": the name the backend registry files a backend under.
    QString schemeName() const;
    // The text as given.
    const QString& text() const { return m_text; }

    // SQLite: the file path (or URI filename) after the scheme.
    const QString& path() const { return m_path; }

    // PostgreSQL: the URL's parts, percent-decoded; port 0 when none is given.
    const QString& user() const { return m_user; }
    const QString& password() const { return m_password; }
    const QString& host() const { return m_host; }
    int port() const { return m_port; }
    const QString& database() const { return m_database; }
    const QList<QPair<QString, QString>>& parameters() const { return m_parameters; }

    // ODBC: the connection string for SQLDriverConnect ("DSN=NAME" for a bare data-source name).
    const QString& odbc() const { return m_odbc; }

    // For messages and logs: the string with every password left out.
    QString describe() const;

private:
    static ConnectionString parsePostgres(const QString& text, const QString& rest);
    static ConnectionString parseOdbc(const QString& text, const QString& rest);

    Scheme m_scheme = Scheme::Sqlite;
    QString m_text;
    QString m_path;
    QString m_user, m_password, m_host, m_database;
    int m_port = 0;
    QList<QPair<QString, QString>> m_parameters;
    QString m_odbc;
};

} // namespace sarvo::db
