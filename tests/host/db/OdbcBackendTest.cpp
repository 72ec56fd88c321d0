// The ODBC engine: what its drivers report read as failure kinds, the connection strings it
// completes, the server's T-SQL reaching the driver as written (over a recording stand-in, since no
// such server runs here), a server that does not answer, the SQLite extension in a plain SQLite
// connection, and, over the two real drivers (SQLite's and PostgreSQL's), transactions, failures,
// a lost server connection and the data-source templates.
#include "DbFixture.h"

#include "data/AccountSetTemplate.h"
#include "host/db/Backend.h"
#include "host/db/Dialect.h"
#include "host/db/EngineError.h"
#include "host/db/OdbcBackend.h"
#include "host/db/SchemaInfo.h"
#include "host/db/StatementPipeline.h"

#include <QElapsedTimer>
#include <QFile>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sqlite3.h>
#include <sys/socket.h>
#include <unistd.h>

namespace sarvo::db::test {

namespace {

using sarvo::testing::EngineSlot;

// ---- failure kinds and connection strings ----------------------------------------------------

TEST(OdbcFailureKindTest, DiagnosticsReadAsTheKindTheyMean) {
    using F = Dialect::Family;
    struct Case {
        const char* sqlState;
        int native;
        F family;
        bool connecting;
        FailureKind kind;
    };
    const std::vector<Case> cases = {
        {"08S01", 0, F::Postgresql, false, FailureKind::LostConnection},
        {"08003", 0, F::SqlServer, false, FailureKind::LostConnection},
        {"57P01", 0, F::Postgresql, false, FailureKind::LostConnection}, // the server shut the session
        {"08001", 0, F::SqlServer, true, FailureKind::CannotOpen},
        {"HY000", 5, F::Sqlite, true, FailureKind::CannotOpen}, // anything while connecting
        {"28000", 0, F::Postgresql, false, FailureKind::CannotOpen},
        {"23505", 0, F::Postgresql, false, FailureKind::Constraint},
        {"23000", 2627, F::SqlServer, false, FailureKind::Constraint},
        {"42P01", 0, F::Postgresql, false, FailureKind::Syntax},
        {"42S02", 208, F::SqlServer, false, FailureKind::Syntax},
        {"22P02", 0, F::Postgresql, false, FailureKind::Syntax}, // text that is no number
        {"40P01", 0, F::Postgresql, false, FailureKind::Busy},
        {"40001", 1205, F::SqlServer, false, FailureKind::Busy},
        {"HYT00", 0, F::SqlServer, false, FailureKind::Busy},
        {"HY000", 1222, F::SqlServer, false, FailureKind::Busy},
        {"25006", 0, F::Postgresql, false, FailureKind::ReadOnly},
        {"42501", 0, F::Postgresql, false, FailureKind::ReadOnly},
        {"HY000", 3906, F::SqlServer, false, FailureKind::ReadOnly},
        {"53100", 0, F::Postgresql, false, FailureKind::DiskFull},
        // SQLite's driver says HY000 for nearly everything and gives SQLite's code as native.
        {"HY000", SQLITE_BUSY, F::Sqlite, false, FailureKind::Busy},
        {"HY000", SQLITE_READONLY, F::Sqlite, false, FailureKind::ReadOnly},
        {"HY000", SQLITE_CONSTRAINT, F::Sqlite, false, FailureKind::Constraint},
        {"HY000", SQLITE_FULL, F::Sqlite, false, FailureKind::DiskFull},
        {"HY000", SQLITE_ERROR, F::Sqlite, false, FailureKind::Syntax},
        {"HY000", SQLITE_BUSY, F::Postgresql, false, FailureKind::Other}, // another engine's number
        {"HY000", 0, F::Sqlite, false, FailureKind::Other},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.sqlState) + " " + std::to_string(c.native));
        EXPECT_EQ(failureKindName(
                      odbcFailureKind(QString::fromLatin1(c.sqlState), c.native, c.family, c.connecting)),
                  failureKindName(c.kind));
    }
}

TEST(OdbcConnectionStringTest, DefaultsAreAddedOnlyWhereTheStringLacksThem) {
    struct Case {
        const char* given;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"DRIVER={SQLite3};Database=/a.db", "DRIVER={SQLite3};Database=/a.db;Timeout=1000;"},
        {"DRIVER={SQLite3};Database=/a.db;", "DRIVER={SQLite3};Database=/a.db;Timeout=1000;"},
        {"DSN=x;timeout=50", "DSN=x;timeout=50"},
        {"DSN=x; TIMEOUT = 50;", "DSN=x; TIMEOUT = 50;"},
        // A braced value may hold ';' and '=': not a key of its own.
        {"DSN=x;PWD={a;Timeout=1}", "DSN=x;PWD={a;Timeout=1};Timeout=1000;"},
        {"DSN=x;TimeoutX=5", "DSN=x;TimeoutX=5;Timeout=1000;"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.given);
        EXPECT_EQ(
            odbcWithDefault(QString::fromLatin1(c.given), QStringLiteral("Timeout"), QStringLiteral("1000")),
            QString::fromLatin1(c.expected));
    }
}

TEST(OdbcConnectionStringTest, TheDbmsNamePicksTheDialect) {
    const std::vector<std::pair<const char*, Dialect::Family>> cases = {
        {"SQLite", Dialect::Family::Sqlite},
        {"PostgreSQL", Dialect::Family::Postgresql},
        {"SQL Server", Dialect::Family::SqlServer},
        {"", Dialect::Family::SqlServer},
    };
    for (const auto& [name, family] : cases)
        EXPECT_EQ(odbcFamilyOfDbms(QString::fromLatin1(name)), family) << name;
}

// ---- the server's T-SQL, passed through --------------------------------------------------------

// A backend with the server's dialect that keeps what reaches it: a driver's view of the pipeline.
class RecordingBackend : public Backend {
public:
    struct Sent {
        QByteArray sql;
        std::vector<SqlValue> params;
    };
    QString name() const override { return QStringLiteral("recording"); }
    void open() override { m_open = true; }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    bool isReadOnly() const override { return false; }
    const Dialect& dialect() const override { return Dialect::sqlServer(); }
    bool textComparesAsBytes() const override { return false; }
    void loadSchema(SchemaInfo& schema) override {
        schema.clear();
        schema.setTable(false, QStringLiteral("code"),
                        {{QStringLiteral("ccode"), SchemaInfo::Type::Text},
                         {QStringLiteral("iYear"), SchemaInfo::Type::Numeric}});
    }
    void loadTable(SchemaInfo&, bool temp, const QString& table) override {
        reloaded << (temp ? QStringLiteral("temp.") : QString()) + table;
    }
    std::unique_ptr<Cursor> execute(const QByteArray& sql, const std::vector<SqlValue>& params,
                                    const QString&) override {
        sent.push_back({sql, params});
        return nullptr;
    }
    qint64 rowsAffected() const override { return 0; }
    bool inTransaction() const override { return false; }
    void setStatementCaching(bool) override {}

    std::vector<Sent> sent;
    QStringList reloaded;

private:
    bool m_open = false;
};

TEST(OdbcPassThroughTest, TheComponentsTSqlReachesTheServerAsWritten) {
    const QStringList texts = {
        QStringLiteral(
            "select  * into tempdb..[demo20240101] from code where  iYear=2024 and (  ( ccode "
            "like N'1%' or  ccode_name like N'1%' or ccode_engl like N'1%' or  chelp like N'1%' ))"),
        QStringLiteral(
            "select distinct code.cclass,code.cClass,code.ccode,code.cCode_name,code.ccode_engl,"
            "code.igrade  from tempdb..[demo20240101] inner join code on tempdb..[demo20240101].ccode "
            "like code.ccode+'%' where code.iYear=2024 and code.igrade=1 order by code.ccode"),
        QStringLiteral("drop table tempdb..[demo20240101]"),
        QStringLiteral("Select Top 1 * FROM code Where ccode= N'1001' and iYear=2024 Order By ccode"),
        QStringLiteral("if not exists (select cSysID FROM AccInformation where cSysID ='GL' AND cName = "
                       "'IntSarvoTree') Begin Insert into AccInformation(csysid,cname) values(N'GL',"
                       "N'IntSarvoTree') End"),
        QStringLiteral("insert into GL_mcodeused values(N'demo',N'1001')"),
        // The host's own T-SQL in its condition: the server's functions, conversions and styles.
        QStringLiteral("select * from code where iYear=2024 and (charindex(N'银行', ccode_name) > 0 and "
                       "convert(varchar(8), getdate(), 112) > '2020' and right(ccode,2)='01' COLLATE "
                       "Chinese_PRC_CI_AS)"),
    };
    auto recording = std::make_unique<RecordingBackend>();
    RecordingBackend* backend = recording.get();
    StatementPipeline pipeline(std::move(recording));
    pipeline.open();
    for (const QString& text : texts) {
        SCOPED_TRACE(text.toStdString());
        backend->sent.clear();
        pipeline.execute(text);
        ASSERT_EQ(backend->sent.size(), 1u);
        EXPECT_EQ(backend->sent[0].sql, text.toUtf8());
        EXPECT_TRUE(backend->sent[0].params.empty());
        EXPECT_EQ(pipeline.render(text), text);
    }
    // The temporary table made and dropped is read again: the two statements that change tables.
    EXPECT_EQ(backend->reloaded,
              QStringList({QStringLiteral("temp.demo20240101"), QStringLiteral("temp.demo20240101")}));
}

TEST(OdbcPassThroughTest, TheHostsPlaceholdersKeepTheirValuesInOrder) {
    auto recording = std::make_unique<RecordingBackend>();
    RecordingBackend* backend = recording.get();
    StatementPipeline pipeline(std::move(recording));
    pipeline.open();
    const QString text = QStringLiteral(
        "update AccInformation set cValue = ? where cSysID = 'GL' and cName = ? and bEnable = ?");
    const std::vector<SqlValue> values = {SqlValue::ofText(QStringLiteral("1")),
                                          SqlValue::ofText(QStringLiteral("IntSarvoTree")),
                                          SqlValue::ofInteger(1)};
    pipeline.query(text, values);
    ASSERT_EQ(backend->sent.size(), 1u);
    EXPECT_EQ(backend->sent[0].sql, text.toUtf8());
    EXPECT_EQ(backend->sent[0].params, values);
    // A wrong count is refused before anything reaches the server.
    backend->sent.clear();
    EXPECT_THROW(pipeline.query(text, {SqlValue::ofInteger(1)}), EngineError);
    EXPECT_TRUE(backend->sent.empty());
}

// ---- a server that does not answer -------------------------------------------------------------

// A loopback port nobody listens on: bound once by us, then let go.
int closedLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        if (fd >= 0) ::close(fd);
        return 0;
    }
    ::close(fd);
    return ntohs(address.sin_port);
}

TEST(OdbcServerTest, AServerThatDoesNotAnswerFailsAtOnceNamingItWithoutThePassword) {
    const int port = closedLoopbackPort();
    ASSERT_GT(port, 0);
    struct Case {
        const char* driver;
        QString connectionString;
    };
    const std::vector<Case> cases = {
        {"FreeTDS (tdsodbc)",
         QStringLiteral(
             "odbc:DRIVER={FreeTDS};Server=127.0.0.1;Port=%1;Database=accounts;UID=sa;PWD=Secret-9;"
             "TDS_Version=7.4")
             .arg(port)},
        {"PostgreSQL Unicode (odbc-postgresql)",
         QStringLiteral(
             "odbc:DRIVER={PostgreSQL Unicode};Server=127.0.0.1;Port=%1;Database=accounts;UID=sarvo;"
             "PWD={Secret-9}")
             .arg(port)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.driver);
        Connection connection(c.connectionString);
        QElapsedTimer timer;
        timer.start();
        try {
            connection.open();
            ADD_FAILURE() << "opened";
        } catch (const EngineError& e) {
            if (e.sqlState() == QLatin1String("IM002") || e.sqlState() == QLatin1String("01000")) {
                if (sarvo::testing::engineRequired()) ADD_FAILURE() << "CI=true and no driver " << c.driver;
                continue; // the driver is not installed here
            }
            EXPECT_EQ(e.kind(), FailureKind::CannotOpen);
            EXPECT_TRUE(e.description().contains(QStringLiteral("Server=127.0.0.1;Port=%1").arg(port)))
                << e.description().toStdString();
            EXPECT_FALSE(e.description().contains(QStringLiteral("Secret-9")))
                << e.description().toStdString();
            EXPECT_FALSE(e.sqlState().isEmpty());
        }
        // Bounded, not timed: well within the login timeout the backend sets.
        EXPECT_LT(timer.elapsed(), OdbcBackend::kLoginTimeoutSeconds * 1000 + 3000);
        EXPECT_EQ(connection.state(), Connection::Closed);
    }
}

// ---- the SQLite extension ----------------------------------------------------------------------

TEST(SqliteExtensionTest, APlainSqliteConnectionGetsTheRenderingsFunctions) {
    const QString path = sqliteExtensionPath();
    ASSERT_TRUE(QFile::exists(path)) << path.toStdString();
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 1, nullptr);
    char* error = nullptr;
    ASSERT_EQ(sqlite3_load_extension(db, path.toUtf8().constData(), nullptr, &error), SQLITE_OK)
        << (error ? error : "");
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"SELECT sarvo_like('Bank deposits', 'bANK%')", "1"},
        {"SELECT sarvo_like('１００２', '100_')", "1"}, // full-width digits are their ASCII forms
        {"SELECT sarvo_like('1002', '[2-9]%')", "0"},
        {"SELECT sarvo_cmp('YHCK', 'yhck  ')", "0"},
        {"SELECT sarvo_fold('ＡbC ')", "abc"},
        {"SELECT sarvo_charindex('银行', '工商银行')", "3"},
        {"SELECT sarvo_upper('straße')", "STRAßE"},
        {"SELECT typeof(\"nosuch\")", "error"}, // double quotes name columns, never text
    };
    for (const auto& [sql, expected] : cases) {
        SCOPED_TRACE(sql);
        sqlite3_stmt* stmt = nullptr;
        QString got = QStringLiteral("error");
        if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW)
            got = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
        sqlite3_finalize(stmt);
        EXPECT_EQ(got, QString::fromUtf8(expected));
    }
    sqlite3_close(db);
}

TEST(SqliteExtensionTest, WithoutTheExtensionSqlitesDriverIsRefusedAtOpen) {
    const EngineSlot* slot = nullptr;
    for (const EngineSlot& s : sarvo::testing::engineSlots())
        if (s.name == QLatin1String("odbc_sqlite")) slot = &s;
    ASSERT_NE(slot, nullptr);
    SARVO_REQUIRE_ENGINE(*slot);
    QTemporaryDir dir;
    Connection connection(slot->newDatabase(dir.path(), QStringLiteral("plain")) +
                          QStringLiteral(";LoadExt=%1/none.so").arg(dir.path()));
    try {
        connection.open();
        ADD_FAILURE() << "opened without the functions";
    } catch (const EngineError& e) {
        EXPECT_EQ(e.kind(), FailureKind::CannotOpen);
        EXPECT_TRUE(e.description().contains(QStringLiteral("extension"))) << e.description().toStdString();
    }
}

// ---- over the real drivers ---------------------------------------------------------------------

std::vector<const EngineSlot*> odbcSlots() {
    std::vector<const EngineSlot*> out;
    for (const EngineSlot& s : sarvo::testing::engineSlots())
        if (s.name.startsWith(QLatin1String("odbc"))) out.push_back(&s);
    return out;
}

class OdbcEngineTest : public EngineDbFixture {
protected:
    void SetUp() override {
        EngineDbFixture::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        seedAccounts();
    }
    OdbcBackend& odbc() const { return dynamic_cast<OdbcBackend&>(*m_conn->backend()); }
    int recentlyUsed() const {
        auto rs = m_conn->query(QStringLiteral("select count(*) from GL_mcodeused"));
        return rs->fieldAt(0).toLong();
    }
};

TEST_P(OdbcEngineTest, TheDriversDbmsPicksItsRendering) {
    EXPECT_EQ(m_conn->engineName(), QStringLiteral("odbc"));
    EXPECT_EQ(odbc().dialect().name, engine().dialect);
    EXPECT_EQ(odbc().dialect().placeholder, Dialect::Placeholder::Question);
    // The rendering's own SQL, not the component's text, is what ran.
    EXPECT_NE(m_conn->render(QStringLiteral("Select Top 1 * FROM code Where ccode= N'1001'")),
              QStringLiteral("Select Top 1 * FROM code Where ccode= N'1001'"));
}

TEST_P(OdbcEngineTest, TransactionsCommitAndRollBack) {
    const int before = recentlyUsed();
    struct Case {
        const char* end;
        int added;
    };
    for (const Case& c : {Case{"ROLLBACK", 0}, Case{"COMMIT", 1}}) {
        SCOPED_TRACE(c.end);
        m_conn->native(QStringLiteral("BEGIN"));
        EXPECT_TRUE(m_conn->inTransaction());
        m_conn->execute(QStringLiteral("insert into GL_mcodeused values(N'tx',N'1001')"));
        m_conn->native(QString::fromLatin1(c.end));
        EXPECT_FALSE(m_conn->inTransaction());
        EXPECT_EQ(recentlyUsed(), before + c.added);
    }
    // A second connection sees what was committed.
    Connection other(m_connectionString);
    other.open();
    EXPECT_EQ(other
                  .query(QStringLiteral("select count(*) from GL_mcodeused where cuser = ?"),
                         {SqlValue::ofText(QStringLiteral("tx"))})
                  ->fieldAt(0)
                  .toLong(),
              1);
}

TEST_P(OdbcEngineTest, FailuresKeepTheirKindSqlStateAndStatement) {
    struct Case {
        const char* name;
        QString tsql;
        FailureKind kind;
    };
    const std::vector<Case> cases = {
        {"a key already there", QStringLiteral("insert into GL_mcodeused values(N'demo',N'1001')"),
         FailureKind::Constraint},
        {"a column the engine does not know", QStringLiteral("select nosuch from code"), FailureKind::Syntax},
        {"a table the engine does not know", QStringLiteral("select * from nosuch"), FailureKind::Syntax},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            m_conn->execute(c.tsql);
            ADD_FAILURE() << "ran";
        } catch (const EngineError& e) {
            EXPECT_EQ(failureKindName(e.kind()), failureKindName(c.kind)) << e.description().toStdString();
            EXPECT_EQ(e.sqlState().size(), 5);
            EXPECT_TRUE(e.description().endsWith(QStringLiteral(" in: ") + c.tsql))
                << e.description().toStdString();
        }
        // The connection goes on.
        EXPECT_EQ(m_conn->state(), Connection::Open);
        EXPECT_GT(recentlyUsed(), 0);
    }
}

TEST_P(OdbcEngineTest, TextsAndNumbersComeBackAsTheEmbeddedEngineGivesThem) {
    auto rs = m_conn->execute(QStringLiteral(
        "select ccode, ccode_name, igrade, cexch_name from code where ccode = N'1221' and iYear=2024"));
    ASSERT_FALSE(rs->eof());
    EXPECT_EQ(rs->field(QStringLiteral("ccode_name")).toString(), QStringLiteral("其他应收款"));
    EXPECT_EQ(rs->field(QStringLiteral("igrade")).type(), Variant::Type::Long);
    EXPECT_EQ(rs->field(QStringLiteral("igrade")).toLong(), 1);
    EXPECT_TRUE(rs->field(QStringLiteral("cexch_name")).isNull());
    // Values bound as the host's parameters keep their bytes: quote, percent, bracket, CJK.
    auto found =
        m_conn->query(QStringLiteral("select ccode from code where ccode_engl = ? and iYear = ?"),
                      {SqlValue::ofText(QStringLiteral("O'Brien 100% [A]_x")), SqlValue::ofInteger(2024)});
    ASSERT_FALSE(found->eof());
    EXPECT_EQ(found->fieldAt(0).toString(), QStringLiteral("1221"));
    // Texts longer than one piece of the driver's reads come back whole, with a character of
    // several bytes across a piece's end.
    for (const QString& text : {QString(700, u'科') + QStringLiteral("x") + QString(1300, u'a'),
                                QStringLiteral("a") + QString(1100, u'科')})
        EXPECT_EQ(
            m_conn->query(QStringLiteral("select ? as v"), {SqlValue::ofText(text)})->fieldAt(0).toString(),
            text);
}

TEST_P(OdbcEngineTest, AnUnknownDataSourceCannotBeOpened) {
    Connection missing(QStringLiteral("odbc:sarvo-no-such-source"));
    try {
        missing.open();
        ADD_FAILURE() << "opened";
    } catch (const EngineError& e) {
        EXPECT_EQ(e.kind(), FailureKind::CannotOpen);
        EXPECT_TRUE(e.description().contains(QStringLiteral("DSN=sarvo-no-such-source")))
            << e.description().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Odbc, OdbcEngineTest, ::testing::ValuesIn(odbcSlots()), sarvo::testing::slotName);

// Another program's write lock on the file: a write gives up within the embedded engine's bound
// (not the driver's own default of 100 s) and says busy; reads go on.
class OdbcSqliteFileTest : public OdbcEngineTest {};

TEST_P(OdbcSqliteFileTest, AnotherProgramsLockOnTheFileMakesWritesBusy) {
    const qsizetype at = m_connectionString.indexOf(QStringLiteral("Database="));
    ASSERT_GT(at, 0);
    const QString path = m_connectionString.mid(at + 9).section(QLatin1Char(';'), 0, 0);
    m_conn->native(QStringLiteral("PRAGMA journal_mode = WAL"))->close();
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE; DELETE FROM AccInformation", nullptr, nullptr, nullptr),
              SQLITE_OK);
    QElapsedTimer timer;
    timer.start();
    try {
        m_conn->execute(QStringLiteral("insert into GL_mcodeused values(N'lock',N'1001')"));
        ADD_FAILURE() << "wrote past another program's lock";
    } catch (const EngineError& e) {
        EXPECT_EQ(failureKindName(e.kind()), failureKindName(FailureKind::Busy))
            << e.description().toStdString();
    }
    EXPECT_LT(timer.elapsed(), OdbcBackend::kSqliteBusyTimeoutMs + 3000);
    EXPECT_GT(recentlyUsed(), 0);
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
}

std::vector<const EngineSlot*> odbcSlotsOf(const char* dialect) {
    std::vector<const EngineSlot*> out;
    for (const EngineSlot* s : odbcSlots())
        if (s->dialect == QLatin1String(dialect)) out.push_back(s);
    return out;
}

INSTANTIATE_TEST_SUITE_P(Odbc, OdbcSqliteFileTest, ::testing::ValuesIn(odbcSlotsOf("sqlite")),
                         sarvo::testing::slotName);

// A server that drops the session: the statement that finds it gone says so once, the connection
// reads as closed, and opening it again works.
class OdbcLostConnectionTest : public OdbcEngineTest {};

TEST_P(OdbcLostConnectionTest, ADroppedSessionClosesTheConnectionAndReopeningWorks) {
    const int pid = m_conn->native(QStringLiteral("SELECT pg_backend_pid()"))->fieldAt(0).toLong();
    Connection killer(m_connectionString);
    killer.open();
    killer.native(QStringLiteral("SELECT pg_terminate_backend(?)"), {SqlValue::ofInteger(pid)})->close();
    try {
        m_conn->execute(QStringLiteral("select count(*) from code"));
        ADD_FAILURE() << "ran on a dropped session";
    } catch (const EngineError& e) {
        EXPECT_EQ(failureKindName(e.kind()), failureKindName(FailureKind::LostConnection))
            << e.description().toStdString();
    }
    EXPECT_EQ(m_conn->state(), Connection::Closed);
    m_conn->open();
    EXPECT_GT(recentlyUsed(), 0);
}

INSTANTIATE_TEST_SUITE_P(Odbc, OdbcLostConnectionTest, ::testing::ValuesIn(odbcSlotsOf("postgresql")),
                         sarvo::testing::slotName);

// ---- the data-source templates -----------------------------------------------------------------

// data/odbc.ini as shipped, its SQLite source pointed at a test file: "odbc:NAME" opens it.
TEST(OdbcTemplateTest, TheShippedDataSourceOpensAnAccountSetByName) {
    const EngineSlot* slot = nullptr;
    for (const EngineSlot& s : sarvo::testing::engineSlots())
        if (s.name == QLatin1String("odbc_sqlite")) slot = &s;
    ASSERT_NE(slot, nullptr);
    SARVO_REQUIRE_ENGINE(*slot);
    QFile shipped(QStringLiteral(SARVO_ODBC_INI));
    ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
    QString ini = QString::fromUtf8(shipped.readAll());
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("accounts.db"));
    ASSERT_TRUE(ini.contains(QStringLiteral("Database=/home/you/accounts.db")));
    ini.replace(QStringLiteral("Database=/home/you/accounts.db"), QStringLiteral("Database=") + file);
    QFile written(dir.filePath(QStringLiteral("odbc.ini")));
    ASSERT_TRUE(written.open(QIODevice::WriteOnly));
    written.write(ini.toUtf8());
    written.close();
    const QByteArray previous = qgetenv("ODBCINI");
    qputenv("ODBCINI", written.fileName().toLocal8Bit());
    try {
        data::createAccountSet(QStringLiteral("odbc:sarvo-sqlite"), QStringLiteral("standard"));
        Connection byName(QStringLiteral("odbc:sarvo-sqlite"));
        byName.open();
        EXPECT_EQ(
            byName.query(QStringLiteral("select count(*) from code where iYear = 2024"))->fieldAt(0).toLong(),
            331);
    } catch (const RuntimeError& e) {
        ADD_FAILURE() << e.description().toStdString();
    }
    if (previous.isNull())
        qunsetenv("ODBCINI");
    else
        qputenv("ODBCINI", previous);
}

} // namespace

} // namespace sarvo::db::test
