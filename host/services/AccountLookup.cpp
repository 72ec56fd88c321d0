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

QString rowOf(const ZwPub& zwPub, const QString& code) {
    return QStringLiteral(" from code where iYear=") + QString::number(zwPub.CurrentYear()) +
           QStringLiteral(" and ccode=N'") + QString(code).replace(QLatin1Char('\''), QStringLiteral("''")) +
           QLatin1Char('\'');
}

} // namespace

std::optional<AccountLookup::Account> AccountLookup::find(const ZwPub& zwPub, const QString& code) {
    auto cursor = query(zwPub, QStringLiteral("select ccode_name, ccode_engl, bclose") + rowOf(zwPub, code));
    if (!cursor || !cursor->fetch()) return std::nullopt;
    Account account;
    account.name = cursor->value(0).toDisplayText();
    account.englishName = cursor->value(1).toDisplayText();
    account.closed = cursor->value(2).toDisplayText() == QLatin1String("1");
    return account;
}

bool AccountLookup::passes(const ZwPub& zwPub, const QString& code, const QString& condition) {
    auto cursor = query(zwPub, QStringLiteral("select ccode") + rowOf(zwPub, code) +
                                   QStringLiteral(" and (") + condition + ')');
    return cursor && cursor->fetch();
}

} // namespace sarvo::host
