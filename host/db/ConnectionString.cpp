// Parsing and describing connection strings; see ConnectionString.h.
#include "host/db/ConnectionString.h"

#include "host/db/EngineError.h"

#include <QUrl>

namespace sarvo::db {

namespace {

[[noreturn]] void malformed(const QString& why) {
    throw EngineError(FailureKind::CannotOpen, why);
}

QString decoded(const QString& s) {
    return QUrl::fromPercentEncoding(s.toUtf8());
}

bool isPasswordKey(const QString& key) {
    return key.compare(QLatin1String("password"), Qt::CaseInsensitive) == 0 ||
           key.compare(QLatin1String("pwd"), Qt::CaseInsensitive) == 0;
}

// KEY=value pairs of an ODBC connection string; a value in braces may hold ';' ("}}" is "}").
QList<QPair<QString, QString>> odbcPairs(const QString& s) {
    QList<QPair<QString, QString>> pairs;
    qsizetype i = 0;
    const qsizetype n = s.size();
    while (i < n) {
        const qsizetype eq = s.indexOf(QLatin1Char('='), i);
        const qsizetype semi = s.indexOf(QLatin1Char(';'), i);
        if (eq < 0 || (semi >= 0 && semi < eq)) { // a part without '=': kept as a key alone
            const qsizetype end = semi < 0 ? n : semi;
            const QString key = s.mid(i, end - i).trimmed();
            if (!key.isEmpty()) pairs.append({key, QString()});
            i = end + 1;
            continue;
        }
        const QString key = s.mid(i, eq - i).trimmed();
        qsizetype j = eq + 1;
        QString value;
        if (j < n && s[j] == QLatin1Char('{')) {
            ++j;
            while (j < n) {
                if (s[j] == QLatin1Char('}')) {
                    if (j + 1 < n && s[j + 1] == QLatin1Char('}')) {
                        value += QLatin1Char('}');
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                value += s[j++];
            }
            value =
                QLatin1Char('{') + value.replace(QLatin1Char('}'), QLatin1String("}}")) + QLatin1Char('}');
            const qsizetype end = s.indexOf(QLatin1Char(';'), j);
            i = end < 0 ? n : end + 1;
        } else {
            const qsizetype end = s.indexOf(QLatin1Char(';'), j);
            value = s.mid(j, (end < 0 ? n : end) - j);
            i = end < 0 ? n : end + 1;
        }
        pairs.append({key, value});
    }
    return pairs;
}

} // namespace

ConnectionString ConnectionString::parse(const QString& text) {
    const QString s = text.trimmed();
    if (s.isEmpty()) malformed(QStringLiteral("Empty connection string"));
    ConnectionString c;
    c.m_text = text;
    const qsizetype colon = s.indexOf(QLatin1Char(':'));
    // A scheme is a word of two letters or more before the colon, so "C:/x.db" stays a path.
    QString scheme;
    if (colon > 1) {
        scheme = s.left(colon).toLower();
        for (QChar ch : scheme)
            if (!(ch >= u'a' && ch <= u'z')) scheme.clear();
    }
    if (scheme.isEmpty() || scheme == QLatin1String("file")) { // a path, or an SQLite URI filename
        c.m_path = s;
        return c;
    }
    const QString rest = s.mid(colon + 1);
    if (scheme == QLatin1String("sqlite")) {
        if (rest.trimmed().isEmpty()) malformed(QStringLiteral("No file path after \"sqlite:\""));
        c.m_path = rest;
        return c;
    }
    if (scheme == QLatin1String("postgresql") || scheme == QLatin1String("postgres"))
        return parsePostgres(text, rest);
    if (scheme == QLatin1String("odbc")) return parseOdbc(text, rest);
    malformed(QStringLiteral("No database engine for \"%1\"").arg(scheme));
}

ConnectionString ConnectionString::parsePostgres(const QString& text, const QString& rest) {
    if (!rest.startsWith(QLatin1String("//")))
        malformed(
            QStringLiteral("A PostgreSQL connection string reads postgresql://user@host:port/database"));
    ConnectionString c;
    c.m_scheme = Scheme::PostgreSql;
    c.m_text = text;
    QString main = rest.mid(2);
    const qsizetype question = main.indexOf(QLatin1Char('?'));
    if (question >= 0) {
        for (const QString& pair : main.mid(question + 1).split(QLatin1Char('&'), Qt::SkipEmptyParts)) {
            const qsizetype eq = pair.indexOf(QLatin1Char('='));
            const QString key = decoded(eq < 0 ? pair : pair.left(eq));
            const QString value = eq < 0 ? QString() : decoded(pair.mid(eq + 1));
            if (isPasswordKey(key)) c.m_password = value;
            c.m_parameters.append({key, value});
        }
        main.truncate(question);
    }
    const qsizetype slash = main.indexOf(QLatin1Char('/'));
    if (slash >= 0) {
        c.m_database = decoded(main.mid(slash + 1));
        main.truncate(slash);
    }
    const qsizetype at = main.lastIndexOf(QLatin1Char('@'));
    if (at >= 0) {
        const QString userInfo = main.left(at);
        const qsizetype colon = userInfo.indexOf(QLatin1Char(':'));
        c.m_user = decoded(colon < 0 ? userInfo : userInfo.left(colon));
        if (colon >= 0) c.m_password = decoded(userInfo.mid(colon + 1));
        main = main.mid(at + 1);
    }
    // host, host:port, [v6]:port; a list of hosts stays as written.
    QString portText;
    if (!main.contains(QLatin1Char(','))) {
        const qsizetype close = main.lastIndexOf(QLatin1Char(']'));
        const qsizetype colon = main.lastIndexOf(QLatin1Char(':'));
        if (colon >= 0 && colon > close) {
            portText = main.mid(colon + 1);
            main.truncate(colon);
        }
    }
    c.m_host = decoded(main);
    if (!portText.isEmpty()) {
        bool ok = false;
        c.m_port = portText.toInt(&ok);
        if (!ok || c.m_port <= 0 || c.m_port > 65535)
            malformed(QStringLiteral("Bad port \"%1\" in a PostgreSQL connection string").arg(portText));
    }
    return c;
}

ConnectionString ConnectionString::parseOdbc(const QString& text, const QString& rest) {
    const QString r = rest.trimmed();
    if (r.isEmpty()) malformed(QStringLiteral("No data source after \"odbc:\""));
    ConnectionString c;
    c.m_scheme = Scheme::Odbc;
    c.m_text = text;
    c.m_odbc = r.contains(QLatin1Char('=')) ? r : QStringLiteral("DSN=") + r;
    for (const auto& [key, value] : odbcPairs(c.m_odbc))
        if (isPasswordKey(key)) c.m_password = value;
    return c;
}

QString ConnectionString::schemeName() const {
    switch (m_scheme) {
    case Scheme::Sqlite:
        return QStringLiteral("sqlite");
    case Scheme::PostgreSql:
        return QStringLiteral("postgresql");
    case Scheme::Odbc:
        break;
    }
    return QStringLiteral("odbc");
}

QString ConnectionString::describe() const {
    switch (m_scheme) {
    case Scheme::Sqlite:
        return QStringLiteral("sqlite:") + m_path;
    case Scheme::PostgreSql: {
        QString s = QStringLiteral("postgresql://");
        if (!m_user.isEmpty()) s += m_user + QLatin1Char('@');
        s += m_host;
        if (m_port) s += QLatin1Char(':') + QString::number(m_port);
        if (!m_database.isEmpty()) s += QLatin1Char('/') + m_database;
        QStringList shown;
        for (const auto& [key, value] : m_parameters)
            if (!isPasswordKey(key)) shown << key + QLatin1Char('=') + value;
        if (!shown.isEmpty()) s += QLatin1Char('?') + shown.join(QLatin1Char('&'));
        return s;
    }
    case Scheme::Odbc:
        break;
    }
    QStringList shown;
    for (const auto& [key, value] : odbcPairs(m_odbc))
        if (!isPasswordKey(key)) shown << (value.isNull() ? key : key + QLatin1Char('=') + value);
    return QStringLiteral("odbc:") + shown.join(QLatin1Char(';'));
}

} // namespace sarvo::db
