// Account look-ups for display, run on the account set's engine.
#include "host/services/AccountLookup.h"

#include "host/db/Connection.h"
#include "host/db/Recordset.h"
#include "host/services/ZwPub.h"
#include "runtime/RuntimeError.h"

namespace sarvo::host {

namespace {

std::shared_ptr<db::Recordset> query(const ZwPub& zwPub, const QString& tsql,
                                     const std::vector<db::SqlValue>& params) {
    const std::shared_ptr<db::Connection> connection = zwPub.dbKit()->Connection();
    if (!connection)
        raise(ErrorCode::ObjectVariableNotSet, QStringLiteral("the database kit has no connection"));
    if (connection->state() == db::Connection::Closed) connection->open();
    return connection->query(tsql, params);
}

// " from code where iYear=? and ccode in (?,...)" and its values: the year, then the codes.
QString rowsOf(const ZwPub& zwPub, const QStringList& codes, std::vector<db::SqlValue>& params) {
    params.push_back(db::SqlValue::ofInteger(zwPub.CurrentYear()));
    QStringList marks;
    marks.reserve(codes.size());
    for (const QString& code : codes) {
        marks << QStringLiteral("?");
        params.push_back(db::SqlValue::ofText(code));
    }
    return QStringLiteral(" from code where iYear=? and ccode in (") + marks.join(QLatin1Char(',')) +
           QLatin1Char(')');
}

} // namespace

std::optional<AccountLookup::Account> AccountLookup::find(const ZwPub& zwPub, const QString& code) {
    const QHash<QString, Account> found = findAll(zwPub, {code});
    const auto it = found.constFind(code);
    return it == found.cend() ? std::nullopt : std::optional<Account>(*it);
}

QHash<QString, AccountLookup::Account> AccountLookup::findAll(const ZwPub& zwPub, const QStringList& codes,
                                                              const QString& condition) {
    QHash<QString, Account> found;
    if (codes.isEmpty()) return found;
    const bool test = !condition.trimmed().isEmpty();
    std::vector<db::SqlValue> params;
    const auto rows =
        query(zwPub,
              QStringLiteral("select ccode, ccode_name, ccode_engl, bclose") +
                  (test ? QStringLiteral(", case when (") + condition + QStringLiteral(") then 1 else 0 end")
                        : QString()) +
                  rowsOf(zwPub, codes, params),
              params);
    for (; !rows->eof(); rows->moveNext()) {
        Account account;
        account.name = rows->fieldAt(1).toDisplayText();
        account.englishName = rows->fieldAt(2).toDisplayText();
        account.closed = rows->fieldAt(3).toDisplayText() == QLatin1String("1");
        account.passes = test && rows->fieldAt(4).toDisplayText() == QLatin1String("1");
        found.insert(rows->fieldAt(0).toDisplayText(), account);
    }
    return found;
}

} // namespace sarvo::host
