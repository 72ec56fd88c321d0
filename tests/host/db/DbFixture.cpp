// Test database built from the real schema; see DbFixture.h.
#include "DbFixture.h"

#include "data/SqlScript.h"
#include "host/db/Backend.h"

namespace sarvo::db::test {

SchemaInfo schemaOf(const Connection& connection) {
    SchemaInfo schema;
    connection.backend()->loadSchema(schema);
    return schema;
}

void DbFixture::SetUp() {
    SARVO_REQUIRE_ENGINE(engine());
    ASSERT_TRUE(m_dir.isValid());
    m_connectionString = sarvo::testing::newSchemaDatabase(engine(), m_dir.path(), QStringLiteral("set"));
    m_conn = std::make_shared<Connection>(m_connectionString);
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
    for (const QString& s : sarvo::data::SqlScript::split(statements))
        m_conn->native(s);
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
