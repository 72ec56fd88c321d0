// Test helpers: a named SQLite connection (to a file or to memory) that is removed with the
// helper, one-line queries for assertions, each template's account set made once per test run,
// and the error a call raised.
#pragma once

#include "data/AccountSetTemplate.h"
#include "runtime/RuntimeError.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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

    // Every row's columns joined by '|', NULL as "NULL"; a statement that fails is a test failure.
    QStringList rows(const QString& sql) {
        QSqlQuery q(db);
        EXPECT_TRUE(q.exec(sql)) << sql.toStdString() << ": " << q.lastError().text().toStdString();
        QStringList result;
        while (q.next()) {
            QStringList columns;
            for (int i = 0; i < q.record().count(); ++i)
                columns << (q.isNull(i) ? QStringLiteral("NULL") : q.value(i).toString());
            result << columns.join(u'|');
        }
        return result;
    }
    QString value(const QString& sql) { return rows(sql).value(0); }
    // Accounts (rows of table code) that meet a condition.
    int codes(const QString& where) { return value("select count(*) from code where " + where).toInt(); }

    QSqlDatabase db;

private:
    QString m_name;
};

inline QTemporaryDir& testFolder() {
    static QTemporaryDir dir;
    return dir;
}

inline QString accountSetFile(const QString& templateName) {
    static QHash<QString, QString> made;
    if (!made.contains(templateName)) {
        const QString path = testFolder().filePath(QString(templateName).replace(u':', u'-') + ".db");
        sarvo::data::createAccountSet(path, templateName);
        made.insert(templateName, path);
    }
    return made.value(templateName);
}

// The error f raised; number 0 when it raised none.
template <typename F> sarvo::RuntimeError errorOf(F&& f) try {
    f();
    return sarvo::RuntimeError(0, QStringLiteral("no error"));
} catch (const sarvo::RuntimeError& e) {
    return e;
}
