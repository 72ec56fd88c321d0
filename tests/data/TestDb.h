// Test helper: a named SQLite connection to an account-set file (or to memory) that is removed
// when the helper goes, and one-line queries for assertions.
#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QVariant>
#include <gtest/gtest.h>

// Readable assertion messages for Qt texts.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

class TestDb {
public:
    explicit TestDb(const QString& path = QStringLiteral(":memory:")) {
        static int counter = 0;
        m_name = QStringLiteral("test-db-%1").arg(++counter);
        db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        EXPECT_TRUE(db.open()) << db.lastError().text().toStdString();
    }
    ~TestDb() {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }
    TestDb(const TestDb&) = delete;
    TestDb& operator=(const TestDb&) = delete;

    // First column of the first row; an invalid QVariant when there is no row.
    QVariant value(const QString& sql) {
        QSqlQuery q(db);
        if (!q.exec(sql)) {
            ADD_FAILURE() << sql.toStdString() << ": " << q.lastError().text().toStdString();
            return {};
        }
        return q.next() ? q.value(0) : QVariant();
    }
    int count(const QString& sql) { return value(sql).toInt(); }
    // Every row's columns joined by '|', rows in query order.
    QStringList rows(const QString& sql) {
        QStringList result;
        QSqlQuery q(db);
        if (!q.exec(sql)) {
            ADD_FAILURE() << sql.toStdString() << ": " << q.lastError().text().toStdString();
            return result;
        }
        while (q.next()) {
            QStringList columns;
            for (int i = 0; i < q.record().count(); ++i)
                columns << (q.value(i).isNull() ? QStringLiteral("NULL") : q.value(i).toString());
            result << columns.join(u'|');
        }
        return result;
    }
    bool exec(const QString& sql) {
        QSqlQuery q(db);
        const bool ok = q.exec(sql);
        EXPECT_TRUE(ok) << sql.toStdString() << ": " << q.lastError().text().toStdString();
        return ok;
    }

    QSqlDatabase db;

private:
    QString m_name;
};
