// Account look-ups for display, run on the account set's engine.
#include "host/services/AccountLookup.h"

#include "host/db/Connection.h"
#include "host/db/Cursor.h"
#include "host/db/Engine.h"
#include "host/services/ZwPub.h"
#include "runtime/RuntimeError.h"

namespace sarvo::host {

namespace {

std::unique_ptr<db::Cursor> query(const ZwPub& zwPub, const QString& tsql) {
    const std::shared_ptr<db::Connection> connection = zwPub.dbKit()->Connection();
    if (!connection)
        raise(ErrorCode::ObjectVariableNotSet, QStringLiteral("the database kit has no connection"));
    if (connection->state() == db::Connection::Closed) connection->open();
    return connection->engine()->execute(tsql);
}

// " from code where iYear=Y and ccode in (N'a',N'b')", the codes' apostrophes doubled.
QString rowsOf(const ZwPub& zwPub, const QStringList& codes) {
    QStringList literals;
    literals.reserve(codes.size());
    for (const QString& code : codes)
        literals << QStringLiteral("N'") + QString(code).replace(QLatin1Char('\''), QStringLiteral("''")) +
                        QLatin1Char('\'');
    return QStringLiteral(" from code where iYear=") + QString::number(zwPub.CurrentYear()) +
           QStringLiteral(" and ccode in (") + literals.join(QLatin1Char(',')) + QLatin1Char(')');
}

} // namespace

std::optional<AccountLookup::Account> AccountLookup::find(const ZwPub& zwPub, const QString& code) {
    const QHash<QString, Account> found = findAll(zwPub, {code});
    const auto it = found.constFind(code);
    return it == found.cend() ? std::nullopt : std::optional<Account>(*it);
}

QHash<QString, AccountLookup::Account> AccountLookup::findAll(const ZwPub& zwPub, const QStringList& codes) {
    QHash<QString, Account> found;
    if (codes.isEmpty()) return found;
    auto cursor =
        query(zwPub, QStringLiteral("select ccode, ccode_name, ccode_engl, bclose") + rowsOf(zwPub, codes));
    while (cursor && cursor->fetch()) {
        Account account;
        account.name = cursor->value(1).toDisplayText();
        account.englishName = cursor->value(2).toDisplayText();
        account.closed = cursor->value(3).toDisplayText() == QLatin1String("1");
        found.insert(cursor->value(0).toDisplayText(), account);
    }
    return found;
}

QSet<QString> AccountLookup::passing(const ZwPub& zwPub, const QStringList& codes, const QString& condition) {
    QSet<QString> passed;
    if (codes.isEmpty()) return passed;
    auto cursor = query(zwPub, QStringLiteral("select ccode") + rowsOf(zwPub, codes) +
                                   QStringLiteral(" and (") + condition + QLatin1Char(')'));
    while (cursor && cursor->fetch())
        passed.insert(cursor->value(0).toDisplayText());
    return passed;
}

} // namespace sarvo::host
