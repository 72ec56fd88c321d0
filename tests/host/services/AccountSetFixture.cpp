// Builds the test account set with the SQLite library itself, so the fixture does not depend
// on the connection code under test.
#include "AccountSetFixture.h"

#include <QFile>
#include <sqlite3.h>

namespace sarvo::host::test {

namespace {

const char* const kFixture = R"SQL(
INSERT INTO host_year VALUES (2023), (2024);
INSERT INTO host_user VALUES ('demo', '演示用户'), ('u2', 'Second user');
INSERT INTO host_class VALUES
    (0, '资产', 'ZC', '资产', '資產', 'Assets'),
    (1, '负债', 'FZ', '负债', '負債', 'Liabilities'),
    (2, '权益', 'QY', '权益', '權益', 'Equity'),
    (3, '预算收入', 'YS01', '预算收入', '預算收入', 'Budget revenue');
INSERT INTO host_scheme VALUES (1, 4), (2, 6), (3, 8);
INSERT INTO host_setting VALUES ('ClassKindSplit', '1');
INSERT INTO code (iYear, cclass, ccode, ccode_name, ccode_engl, igrade, bend, br, be, bclose) VALUES
    (2024, '资产', '1001', '库存现金', 'Cash on hand', 1, 1, 1, 0, 0),
    (2024, '资产', '1002', '银行存款', 'Bank deposits', 1, 0, 1, 1, 0),
    (2024, '资产', '100201', '工商银行', 'ICBC', 2, 1, 1, 1, 0),
    (2024, '资产', '1601', '固定资产', 'Fixed assets', 1, 1, 0, 0, 1),
    (2024, '资产', '1901', '待处理财产损溢', NULL, 1, 1, 0, 0, 0),
    (2023, '资产', '1009', '旧科目', 'Old account', 1, 1, 0, 0, 0);
)SQL";

} // namespace

void AccountSetFixture::SetUp() {
    ASSERT_TRUE(m_dir.isValid());
    m_path = m_dir.filePath(QStringLiteral("accounts.db"));
    QFile schema(QStringLiteral(SARVO_SCHEMA_FILE));
    ASSERT_TRUE(schema.open(QIODevice::ReadOnly)) << SARVO_SCHEMA_FILE;
    exec(QString::fromUtf8(schema.readAll()));
    exec(QString::fromUtf8(kFixture));
    m_kit = std::make_shared<DbKit>(QStringLiteral("sqlite:") + m_path);
    m_login = std::make_shared<LogIn>();
    m_login->setUserId(QStringLiteral("demo"));
    m_login->setLoginYear(QStringLiteral("2024"));
}

void AccountSetFixture::TearDown() {
    if (m_kit && m_kit->Connection()) m_kit->Connection()->close();
}

void AccountSetFixture::exec(const QString& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(m_path.toUtf8().constData(), &db), SQLITE_OK);
    char* error = nullptr;
    // A scratch file: no need to wait for the disk after every statement.
    sqlite3_exec(db, "PRAGMA synchronous = OFF", nullptr, nullptr, nullptr);
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error);
    const std::string message = error ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK) << message;
}

namespace {
int collect(void* out, int columns, char** values, char**) {
    auto* rows = static_cast<QStringList*>(out);
    rows->append(columns > 0 && values[0] ? QString::fromUtf8(values[0]) : QStringLiteral("<null>"));
    return 0;
}
} // namespace

QString AccountSetFixture::scalar(const QString& sql) {
    sqlite3* db = nullptr;
    QStringList rows;
    EXPECT_EQ(sqlite3_open(m_path.toUtf8().constData(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql.toUtf8().constData(), collect, &rows, nullptr), SQLITE_OK)
        << sql.toStdString();
    sqlite3_close(db);
    return rows.value(0);
}

int AccountSetFixture::rowCount(const QString& sql) {
    return scalar(QStringLiteral("SELECT count(*) FROM (%1)").arg(sql)).toInt();
}

std::shared_ptr<ZwPub> AccountSetFixture::makeZwPub(const QString& language, int16_t year) {
    m_login->setLanguageID(language);
    auto zwPub = std::make_shared<ZwPub>();
    zwPub->SetLogin(m_login);
    zwPub->InitContext(Variant(m_kit), QStringLiteral("demo"), QStringLiteral("001"), year,
                       QStringLiteral("演示"), QDateTime(QDate(2024, 6, 30), QTime(0, 0)));
    return zwPub;
}

} // namespace sarvo::host::test
