// Test helpers: an SQLite connection (to a file or to memory) closed with the helper, one-line
// queries for assertions, each template's account set made once per test run,
// and the error a call raised.
#pragma once

#include "data/AccountSetTemplate.h"
#include "host/db/Connection.h"
#include "host/db/Recordset.h"
#include "runtime/RuntimeError.h"

#include <QHash>
#include <QTemporaryDir>
#include <gtest/gtest.h>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

class TestDb {
public:
    explicit TestDb(const QString& path = QStringLiteral(":memory:")) : db(QStringLiteral("sqlite:") + path) {
        try {
            db.open();
        } catch (const sarvo::RuntimeError& e) {
            ADD_FAILURE() << e.what();
        }
    }

    // Every row's columns joined by '|', NULL as "NULL", of a statement in SQLite's own SQL; a
    // statement that fails is a test failure.
    QStringList rows(const QString& sql) {
        QStringList result;
        try {
            for (auto q = db.native(sql); q->isOpen() && !q->eof(); q->moveNext()) {
                QStringList columns;
                for (int i = 0; i < q->fieldCount(); ++i) {
                    const sarvo::Variant v = q->fieldAt(i);
                    columns << (v.isNull() ? QStringLiteral("NULL") : v.toDisplayText());
                }
                result << columns.join(u'|');
            }
        } catch (const sarvo::RuntimeError& e) {
            ADD_FAILURE() << sql.toStdString() << ": " << e.what();
        }
        return result;
    }
    QString value(const QString& sql) { return rows(sql).value(0); }
    // Accounts (rows of table code) that meet a condition.
    int codes(const QString& where) { return value("select count(*) from code where " + where).toInt(); }

    sarvo::db::Connection db;
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
