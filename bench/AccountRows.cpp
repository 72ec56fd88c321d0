// Loading and indexing the year's accounts.
#include "bench/AccountRows.h"

#include "runtime/RuntimeError.h"

#include <algorithm>
#include <sqlite3.h>

namespace sarvo::bench {

namespace {

class Database {
public:
    explicit Database(const QString& path) {
        if (sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
            fail(QStringLiteral("cannot open %1").arg(path));
    }
    ~Database() { sqlite3_close(m_db); }
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    sqlite3_stmt* prepare(const char* sql) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(m_db, sql, -1, &statement, nullptr) != SQLITE_OK) fail(QString::fromUtf8(sql));
        return statement;
    }
    [[noreturn]] void fail(const QString& what) const {
        raise(ErrorCode::DatabaseError,
              QStringLiteral("%1: %2").arg(what, QString::fromUtf8(m_db ? sqlite3_errmsg(m_db) : "")));
    }

private:
    sqlite3* m_db = nullptr;
};

QByteArray text(sqlite3_stmt* s, int column) {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(s, column));
    return QByteArray(p ? p : "", sqlite3_column_bytes(s, column));
}

QByteArray nullableText(sqlite3_stmt* s, int column) {
    if (sqlite3_column_type(s, column) == SQLITE_NULL) return QByteArray();
    return text(s, column);
}

} // namespace

AccountRows::AccountRows(std::vector<AccountRow> rows, QStringList classes)
    : m_rows(std::move(rows)), m_classes(std::move(classes)) {
    // Byte order of UTF-8 is the order of "order by ccode", and every ancestor sorts before the
    // accounts below it.
    std::sort(m_rows.begin(), m_rows.end(),
              [](const AccountRow& a, const AccountRow& b) { return a.code < b.code; });
    m_byCode.reserve(static_cast<qsizetype>(m_rows.size()));
    for (int i = 0; i < size(); ++i) {
        AccountRow& row = m_rows[static_cast<size_t>(i)];
        m_byCode.insert(row.code, i);
        row.classIndex = static_cast<int>(m_classes.indexOf(row.cclass));
        for (qsizetype length = row.code.size() - 1; length > 0 && row.ancestor < 0; --length)
            row.ancestor = m_byCode.value(row.code.left(length), -1);
        int up = row.ancestor;
        while (up >= 0 && m_rows[static_cast<size_t>(up)].grade != row.grade - 1)
            up = m_rows[static_cast<size_t>(up)].ancestor;
        row.parent = up;
    }
}

AccountRows AccountRows::load(const QString& sqlitePath, int year) {
    Database db(sqlitePath);
    QStringList classes;
    sqlite3_stmt* s = db.prepare("select cclass from host_class order by iPosition");
    while (sqlite3_step(s) == SQLITE_ROW)
        classes << QString::fromUtf8(text(s, 0));
    sqlite3_finalize(s);

    std::vector<AccountRow> rows;
    s = db.prepare(
        "select ccode, ccode_name, ccode_engl, chelp, cclass, igrade, bclose from code where iYear=?");
    sqlite3_bind_int(s, 1, year);
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
        AccountRow row;
        row.code = text(s, 0);
        row.name = nullableText(s, 1);
        row.english = nullableText(s, 2);
        row.mnemonic = nullableText(s, 3);
        row.cclass = QString::fromUtf8(text(s, 4));
        row.grade = sqlite3_column_int(s, 5);
        row.closed = sqlite3_column_int(s, 6) != 0;
        rows.push_back(std::move(row));
    }
    sqlite3_finalize(s);
    if (rc != SQLITE_DONE) db.fail(QStringLiteral("reading the accounts of %1").arg(year));
    return AccountRows(std::move(rows), std::move(classes));
}

int AccountRows::childCount(int index) const {
    return static_cast<int>(std::count_if(m_rows.begin(), m_rows.end(),
                                          [index](const AccountRow& r) { return r.ancestor == index; }));
}

} // namespace sarvo::bench
