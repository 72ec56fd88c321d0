// One year's chart of accounts held in memory for the floor: the columns the quick filter and
// the tree read, in code order, with each account's class position and its nearest ancestor
// (the longest other code that its own code begins with). Read straight from the account set's
// SQLite file, apart from the connection the dialog uses.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

namespace sarvo::bench {

struct AccountRow {
    QByteArray code; // UTF-8, as stored
    // A null QByteArray (isNull) stands for SQL NULL; an empty text is empty but not null.
    QByteArray name;
    QByteArray english;
    QByteArray mnemonic;
    QString cclass;
    int grade = 0;
    bool closed = false;
    // Filled by AccountRows: position of cclass among the classes (-1: none), the nearest
    // ancestor by code (-1: none) and the nearest one of the grade above (-1: none).
    int classIndex = -1;
    int ancestor = -1;
    int parent = -1;
};

class AccountRows {
public:
    // Rows of any order; classes in their position order.
    AccountRows(std::vector<AccountRow> rows, QStringList classes);

    // The accounts of one year and the classes (host_class by position) of an account set.
    // Raises DatabaseError when the file cannot be read.
    static AccountRows load(const QString& sqlitePath, int year);

    const std::vector<AccountRow>& rows() const { return m_rows; }
    const QStringList& classes() const { return m_classes; }
    int size() const { return static_cast<int>(m_rows.size()); }
    int indexOf(const QByteArray& code) const { return m_byCode.value(code, -1); }
    // Number of accounts whose nearest ancestor is row index.
    int childCount(int index) const;

private:
    std::vector<AccountRow> m_rows;
    QStringList m_classes;
    QHash<QByteArray, int> m_byCode;
};

} // namespace sarvo::bench
