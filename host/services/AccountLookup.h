// What the host tells a picker about one account of the request's year while showing it: its
// names and whether it is closed, and whether it passes a filter condition. The host answers
// from the account set directly; nothing of it goes through the component's connection log.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

namespace sarvo::host {

class ZwPub;

class AccountLookup {
public:
    struct Account {
        QString name;        // ccode_name
        QString englishName; // ccode_engl, empty when null
        bool closed = false; // bclose
        bool passes = false; // the row passes the condition findAll was given
    };

    // nullopt when the year has no such account.
    static std::optional<Account> find(const ZwPub& zwPub, const QString& code);
    // The accounts of the year among these codes, by code, and, when a condition is given (a
    // Transact-SQL boolean expression over the columns of table code, as the component builds
    // it), whether each passes it; one query for all of them.
    static QHash<QString, Account> findAll(const ZwPub& zwPub, const QStringList& codes,
                                           const QString& condition = QString());
};

} // namespace sarvo::host
