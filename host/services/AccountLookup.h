// What the host tells a picker about one account of the request's year while showing it: its
// names and whether it is closed, and whether it passes a filter condition. The host answers
// from the account set directly; nothing of it goes through the component's connection log.
#pragma once

#include <QString>
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
    // Whether the account's row passes the condition (a Transact-SQL boolean expression over
    // the columns of table code, as the component builds it).
    static bool passes(const ZwPub& zwPub, const QString& code, const QString& condition);
};

} // namespace sarvo::host
