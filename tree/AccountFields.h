// The account columns the tree reads from the records of one statement. A column's position is
// looked up by name the first time it is read and kept for every record set with the same
// columns, so a build reads each record's fields by position (a build opens tens of thousands
// of record sets of one source).
#pragma once

#include "host/db/Recordset.h"

#include <QString>
#include <array>
#include <memory>

namespace sarvo::host {
class ZwPub;
}

namespace sarvo::tree {

class AccountFields {
public:
    explicit AccountFields(const db::Recordset& records);
    ~AccountFields();
    AccountFields(const AccountFields&) = delete;
    AccountFields& operator=(const AccountFields&) = delete;

    Variant accountClass() const; // cClass
    int16_t grade() const;        // igrade
    // The node's key: the letter and the code, the code decoded straight after the letter;
    // written into buffer (which keeps its room) by the second form.
    QString key(QChar letter) const {
        QString key;
        return this->key(letter, key);
    }
    const QString& key(QChar letter, QString& buffer) const;
    // The node text: the code, one blank and the name in the host's language (ccode_name when
    // LangFlag is 1, else ccode_engl; LangFlag is read on every call); a null name gives the
    // code and the blank. Written into buffer, which keeps its room from one node to the next
    // (a build writes one text per node and the tree keeps a copy of its own).
    const QString& nodeText(QStringView code, QString& buffer) const;
    QString nodeText(QStringView code) const {
        QString text;
        return nodeText(code, text);
    }

private:
    enum Column { Code, Class, Grade, Name, EnglishName, ColumnCount };
    int position(Column column) const;
    Variant value(Column column) const;

    const db::Recordset& m_records;
    std::shared_ptr<host::ZwPub> m_zwPub; // the request's, asked for LangFlag per node
    mutable std::array<int, ColumnCount> m_positions{-1, -1, -1, -1, -1};
    mutable bool m_found = false; // a position was looked up here
};

} // namespace sarvo::tree
