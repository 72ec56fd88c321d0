// Checking a chart while it is built and writing it to table code.
#include "data/Chart.h"

#include "host/db/Connection.h"
#include "runtime/RuntimeError.h"

#include <algorithm>

namespace sarvo::data {

namespace {

[[noreturn]] void reject(const ChartAccount& account, const QString& what) {
    raise(ErrorCode::InvalidProcedureCall, QStringLiteral("account %1: %2").arg(account.ccode, what));
}

bool allDigits(const QString& text) {
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

db::SqlValue textOrNull(const QString& text) {
    return text.isEmpty() ? db::SqlValue() : db::SqlValue::ofText(text);
}

} // namespace

Chart::Chart(std::vector<int> gradeLengths, QStringList classNames, std::vector<int> years)
    : m_gradeLengths(std::move(gradeLengths)), m_classNames(std::move(classNames)),
      m_years(std::move(years)) {
    if (m_gradeLengths.empty() || m_gradeLengths.size() > 13)
        raise(ErrorCode::InvalidProcedureCall, QStringLiteral("the code scheme needs 1 to 13 grades"));
    for (size_t g = 1; g < m_gradeLengths.size(); ++g) {
        if (m_gradeLengths[g] <= m_gradeLengths[g - 1])
            raise(ErrorCode::InvalidProcedureCall,
                  QStringLiteral("the code scheme must grow from grade to grade (grade %1)").arg(g + 1));
    }
    if (m_years.empty()) raise(ErrorCode::InvalidProcedureCall, QStringLiteral("the chart covers no year"));
    std::sort(m_years.begin(), m_years.end());
}

void Chart::add(ChartAccount account) {
    if (!allDigits(account.ccode)) reject(account, QStringLiteral("the code must be digits"));
    const auto length = static_cast<int>(account.ccode.size());
    const auto grade = std::find(m_gradeLengths.begin(), m_gradeLengths.end(), length);
    if (grade == m_gradeLengths.end())
        reject(account, QStringLiteral("no grade of the code scheme has %1 digits").arg(length));
    account.grade = static_cast<int>(grade - m_gradeLengths.begin()) + 1;
    if (m_index.contains(account.ccode)) reject(account, QStringLiteral("the code is used twice"));
    if (!m_classNames.contains(account.cclass))
        reject(account, QStringLiteral("unknown account class \"%1\"").arg(account.cclass));
    if (account.firstYear != 0 &&
        std::find(m_years.begin(), m_years.end(), account.firstYear) == m_years.end())
        reject(account, QStringLiteral("first year %1 is not a year of the chart").arg(account.firstYear));
    if (account.name.isEmpty() || account.english.isEmpty() || account.chelp.isEmpty())
        reject(account, QStringLiteral("the name, English name and mnemonic are required"));

    if (account.grade > 1) {
        const QString parentCode = account.ccode.left(m_gradeLengths[account.grade - 2]);
        const int parent = m_index.value(parentCode, -1);
        if (parent < 0) reject(account, QStringLiteral("parent %1 is missing").arg(parentCode));
        const ChartAccount& p = m_accounts[static_cast<size_t>(parent)];
        if (p.cclass != account.cclass)
            reject(account,
                   QStringLiteral("class %1 differs from the parent's %2").arg(account.cclass, p.cclass));
        if (p.firstYear > (account.firstYear == 0 ? m_years.front() : account.firstYear))
            reject(account, QStringLiteral("the account starts before its parent %1").arg(parentCode));
        account.parent = parent;
    }

    // The attribute filter never lets the user tick these together, so no account carries them.
    if (account.person && (account.customer || account.supplier || account.department))
        reject(account, QStringLiteral("person accounting excludes customer, supplier and department"));
    if (account.customer && account.supplier)
        reject(account, QStringLiteral("customer and supplier accounting exclude each other"));
    if (account.bank && !account.journal)
        reject(account, QStringLiteral("a bank account is also a journal account"));
    if (account.project == account.itemClass.isEmpty())
        reject(account, QStringLiteral("project accounting and a project class go together"));

    m_index.insert(account.ccode, static_cast<int>(m_accounts.size()));
    m_accounts.push_back(std::move(account));
}

int Chart::countInYear(int year) const {
    return static_cast<int>(std::count_if(m_accounts.begin(), m_accounts.end(),
                                          [&](const ChartAccount& a) { return inYear(a, year); }));
}

void Chart::writeTo(db::Connection& connection) const {
    const QString insert = QStringLiteral(
        "insert into code (iYear, cclass, ccode, ccode_name, ccode_engl, igrade, chelp, bperson, bcus, "
        "bsup, bdept, bitem, citem_class, cexch_name, cmeasure, bend, br, be, bclose) "
        "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");

    // Rows go in by code so that the indexes on code grow at their end instead of splitting
    // pages all over; a parent's code sorts before its children's.
    std::vector<size_t> order(m_accounts.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(),
              [&](size_t a, size_t b) { return m_accounts[a].ccode < m_accounts[b].ccode; });

    const auto text = [](const QString& v) { return db::SqlValue::ofText(v); };
    const auto flag = [](bool b) { return db::SqlValue::ofInteger(b ? 1 : 0); };
    std::vector<db::SqlValue> values;
    for (int year : m_years) {
        std::vector<char> hasChild(m_accounts.size(), 0);
        for (const ChartAccount& a : m_accounts)
            if (a.parent >= 0 && inYear(a, year)) hasChild[static_cast<size_t>(a.parent)] = 1;

        for (size_t i : order) {
            const ChartAccount& a = m_accounts[i];
            if (!inYear(a, year)) continue;
            values = {db::SqlValue::ofInteger(year),
                      text(a.cclass),
                      text(a.ccode),
                      text(a.name),
                      text(a.english),
                      db::SqlValue::ofInteger(a.grade),
                      text(a.chelp),
                      flag(a.person),
                      flag(a.customer),
                      flag(a.supplier),
                      flag(a.department),
                      flag(a.project),
                      textOrNull(a.itemClass),
                      textOrNull(a.currency),
                      textOrNull(a.unit),
                      flag(!hasChild[i]),
                      flag(a.journal),
                      flag(a.bank),
                      flag(a.closed)};
            try {
                connection.command(insert, values);
            } catch (const RuntimeError& e) {
                raise(ErrorCode::DatabaseError, QStringLiteral("table code, year %1, account %2: %3")
                                                    .arg(year)
                                                    .arg(a.ccode, e.description()));
            }
        }
    }
}

} // namespace sarvo::data
