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
    const QString batch =
        QStringLiteral("PRAGMA synchronous=OFF; BEGIN; ") + statements + QStringLiteral("; COMMIT;");
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

SchemaInfo schemaOf(const QString& path) {
    SchemaInfo schema;
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* tables = nullptr;
    sqlite3_prepare_v2(db, "SELECT name FROM sqlite_schema WHERE type = 'table'", -1, &tables, nullptr);
    while (sqlite3_step(tables) == SQLITE_ROW) {
        const QString table =
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(tables, 0)));
        sqlite3_stmt* info = nullptr;
        sqlite3_prepare_v2(db, QStringLiteral("PRAGMA table_info(\"%1\")").arg(table).toUtf8().constData(),
                           -1, &info, nullptr);
        QList<SchemaInfo::Column> columns;
        while (sqlite3_step(info) == SQLITE_ROW)
            columns.append({QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(info, 1))),
                            SchemaInfo::typeOfDeclaration(QString::fromUtf8(
                                reinterpret_cast<const char*>(sqlite3_column_text(info, 2))))});
        sqlite3_finalize(info);
        schema.setTable(false, table, columns);
    }
    sqlite3_finalize(tables);
    sqlite3_close(db);
    return schema;
}

void DbFixture::SetUp() {
    ASSERT_TRUE(m_dir.isValid());
    m_path = makeDatabase(QStringLiteral("set.db"));
    m_conn = std::make_shared<Connection>(QStringLiteral("sqlite:") + m_path);
    m_conn->open();
}

void DbFixture::TearDown() {
    m_conn.reset();
}

void DbFixture::seedAccounts() {
    sqlite(QStringLiteral(
        "INSERT INTO code (iYear, cclass, ccode, ccode_name, ccode_engl, igrade, chelp, bperson, bcus, bsup, "
        "bdept, bitem, cexch_name, cmeasure, bend, br, be, bclose) VALUES "
        "(2024, '资产', '1001', '库存现金', 'Cash on hand', 1, 'KCXJ', 0,0,0,0,0, NULL, NULL, 1, 1, 0, 0),"
        "(2024, '资产', '1002', '银行存款', 'Bank deposits', 1, 'YHCK', 0,0,0,0,0, NULL, NULL, 0, 0, 0, 0),"
        "(2024, '资产', '100201', '工商银行', 'ICBC', 2, 'GSYH', 0,0,0,0,0, NULL, NULL, 1, 1, 1, 0),"
        "(2024, '资产', '100202', '美元户', 'USD account', 2, 'MYH', 0,0,0,0,0, 'USD', NULL, 1, 1, 1, 0),"
        "(2024, '资产', '1122', '应收账款', 'Receivables', 1, 'YSZK', 0,1,0,0,0, NULL, NULL, 1, 0, 0, 0),"
        "(2024, '资产', '1221', '其他应收款', 'O''Brien 100% [A]_x', 1, 'QTYSK', 1,0,0,0,0, NULL, NULL, 1, "
        "0, 0, 0),"
        "(2024, '资产', '1403', '原材料', 'Raw materials', 1, 'YCL', 0,0,0,0,0, NULL, '吨', 1, 0, 0, 0),"
        "(2024, '资产', '1405', '库存商品', 'Finished goods', 1, 'KCSP', 0,0,0,0,0, NULL, NULL, 1, 0, 0, 1),"
        "(2024, '负债', '2202', '应付账款', 'Payables', 1, 'YFZK', 0,0,1,0,0, NULL, NULL, 1, 0, 0, 0),"
        "(2023, '资产', '1001', '现金', 'Cash', 1, 'XJ', 0,0,0,0,0, NULL, NULL, 1, 1, 0, 0);"
        "INSERT INTO GL_mcodeused VALUES ('demo', '1001'), ('demo', '100201'), ('other', '1002');"));
}

QStringList DbFixture::column(const QString& tsql, const QString& name) {
    QStringList out;
    auto rs = m_conn->execute(tsql);
    while (!rs->eof()) {
        out << rs->field(name).toDisplayText();
        rs->moveNext();
    }
    rs->close();
    return out;
}

void DbFixture::sqlite(const QString& statements) {
    runSqlite(m_path, statements);
}

QStringList DbFixture::rows(const QString& tsql) {
    QStringList out;
    auto rs = m_conn->execute(tsql);
    if (!rs->isOpen()) return out;
    while (!rs->eof()) {
        QStringList cols;
        for (int i = 0; i < rs->fieldCount(); ++i)
            cols << rs->fieldAt(i).toDisplayText();
        out << cols.join(QLatin1Char('|'));
        rs->moveNext();
    }
    rs->close();
    return out;
}

} // namespace sarvo::db::test
