// Test database built from the real schema file; see DbFixture.h.
#include "DbFixture.h"

#include <QFile>
#include <sqlite3.h>

namespace sarvo::db::test {

namespace {

void runSqlite(const QString& path, const QString& statements) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
    char* error = nullptr;
    // One transaction without syncing: set-up speed, not durability, matters here.
    const QString batch = QStringLiteral("PRAGMA synchronous=OFF; BEGIN; ") + statements + QStringLiteral("; COMMIT;");
    const int rc = sqlite3_exec(db, batch.toUtf8().constData(), nullptr, nullptr, &error);
    const QString message = error ? QString::fromUtf8(error) : QString();
    sqlite3_free(error);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK) << message.toStdString();
}

} // namespace

QString DbFixture::makeDatabase(const QString& name) {
    QFile schema(QStringLiteral(SARVO_SCHEMA_FILE));
    EXPECT_TRUE(schema.open(QIODevice::ReadOnly));
    const QString path = m_dir.filePath(name);
    runSqlite(path, QString::fromUtf8(schema.readAll()));
    return path;
}

void DbFixture::SetUp() {
    ASSERT_TRUE(m_dir.isValid());
    m_path = makeDatabase(QStringLiteral("set.db"));
    m_conn = std::make_shared<Connection>(QStringLiteral("sqlite:") + m_path);
    m_conn->open();
}

void DbFixture::TearDown() { m_conn.reset(); }

void DbFixture::sqlite(const QString& statements) { runSqlite(m_path, statements); }

QStringList DbFixture::rows(const QString& tsql) {
    QStringList out;
    auto rs = m_conn->execute(tsql);
    if (!rs->isOpen()) return out;
    while (!rs->eof()) {
        QStringList cols;
        for (int i = 0; i < rs->fieldCount(); ++i) cols << rs->fieldAt(i).toDisplayText();
        out << cols.join(QLatin1Char('|'));
        rs->moveNext();
    }
    rs->close();
    return out;
}

} // namespace sarvo::db::test
