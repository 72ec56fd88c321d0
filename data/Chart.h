// A chart of accounts held in memory while a template is loaded: the accounts of every year the
// template covers, checked as they are added so that what reaches table code is a well-formed
// tree (codes by the scheme, parents before children, one class per branch, flags that the
// attribute filter can express). Written to table code year by year in one batch.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

namespace sarvo::db {
class Connection;
}

namespace sarvo::data {

struct ChartAccount {
    QString cclass;
    QString ccode;
    QString name;    // ccode_name
    QString english; // ccode_engl
    QString chelp;   // mnemonic
    bool person = false, customer = false, supplier = false, department = false, project = false;
    bool journal = false, bank = false, closed = false;
    QString itemClass; // project class, empty without project accounting
    QString currency;  // empty for a local-currency account
    QString unit;      // empty for an account without quantities
    int firstYear = 0; // 0: in every year of the chart
    // Filled by Chart::add.
    int grade = 0;
    int parent = -1; // index of the parent account, -1 on grade 1
};

class Chart {
public:
    // gradeLengths[g - 1] is the total code length of grade g (the host's code scheme);
    // classNames are the class names as stored in code.cclass.
    Chart(std::vector<int> gradeLengths, QStringList classNames, std::vector<int> years);

    // Adds an account after its parent. Raises InvalidProcedureCall, the detail saying what is
    // wrong, for a code that is not digits of a scheme length, a duplicate, a missing parent, a
    // class that differs from the parent's or is unknown, a first year before the parent's or
    // outside the chart, person accounting combined with customer, supplier or department,
    // customer with supplier, a bank account that is not a journal account, or project
    // accounting without a project class (and the reverse).
    void add(ChartAccount account);

    void reserve(int count) {
        m_accounts.reserve(static_cast<size_t>(count));
        m_index.reserve(count);
    }

    const std::vector<ChartAccount>& accounts() const { return m_accounts; }
    const std::vector<int>& years() const { return m_years; }
    const std::vector<int>& gradeLengths() const { return m_gradeLengths; }
    // Number of accounts that exist in year.
    int countInYear(int year) const;

    // Inserts the accounts of every year into table code through one prepared statement; bend
    // is 1 exactly on the accounts without children in that year. The caller holds the
    // transaction. Raises DatabaseError when the database refuses a row.
    void writeTo(db::Connection& connection) const;

private:
    bool inYear(const ChartAccount& account, int year) const {
        return account.firstYear == 0 || account.firstYear <= year;
    }

    std::vector<int> m_gradeLengths;
    QStringList m_classNames;
    std::vector<int> m_years;
    std::vector<ChartAccount> m_accounts;
    QHash<QString, int> m_index;
};

} // namespace sarvo::data
