// What the host tells a picker about one account of the request's year while showing it: its
// names and whether it is closed, and whether it passes a filter condition. The host answers
// from the account set directly; nothing of it goes through the component's connection log.
#pragma once

#include <QHash>
#include <QSet>
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
    };

    // nullopt when the year has no such account.
    static std::optional<Account> find(const ZwPub& zwPub, const QString& code);
    // The accounts of the year among these codes, by code; one query for all of them.
    static QHash<QString, Account> findAll(const ZwPub& zwPub, const QStringList& codes);
    // Those of the codes whose rows pass the condition (a Transact-SQL boolean expression over
    // the columns of table code, as the component builds it); one query for all of them.
    static QSet<QString> passing(const ZwPub& zwPub, const QStringList& codes, const QString& condition);
};

} // namespace sarvo::host
