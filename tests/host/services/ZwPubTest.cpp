// The public-services object on a real account set: context, options, classes, code scheme and
// account look-ups, directly and late-bound as the component reaches them. The account set is
// written with the SQLite library itself, so its set-up does not go through the code under test.
#include "host/services/ZwPub.h"
#include "host/db/PipelineSettings.h"
#include "host/db/Recordset.h"
#include "runtime/RuntimeError.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <sqlite3.h>

namespace sarvo::host::test {

namespace {

const char* const kAccountSet = R"SQL(
INSERT INTO host_year VALUES (2023), (2024);
INSERT INTO host_user VALUES ('demo', '演示用户');
INSERT INTO host_class VALUES (0, '资产', 'ZC', '资产', '資產', 'Assets'),
    (1, '负债', 'FZ', '负债', '負債', 'Liabilities'), (2, '权益', 'QY', '权益', '權益', 'Equity'),
    (3, '预算收入', 'YS01', '预算收入', '預算收入', 'Budget revenue');
INSERT INTO host_scheme VALUES (1, 4), (2, 6), (3, 8), (5, 12);
INSERT INTO host_setting VALUES ('ClassKindSplit', '1');
INSERT INTO code (iYear, cclass, ccode, ccode_name, ccode_engl, igrade, bend, br, be, bclose) VALUES
    (2024, '资产', '1001', '库存现金', 'Cash on hand', 1, 1, 1, 0, 0),
    (2024, '资产', '1002', '银行存款', 'Bank deposits', 1, 0, 1, 1, 0),
    (2024, '资产', '100201', '工商银行', 'ICBC', 2, 1, 1, 1, 0),
    (2024, '资产', '1601', '固定资产', 'Fixed assets', 1, 1, 0, 0, 1),
    (2024, '资产', '1901', '待处理财产损溢', NULL, 1, 1, 0, 0, 0),
    (2023, '资产', '1009', '旧科目', 'Old account', 1, 1, 0, 0, 0);
)SQL";

template <class F> int errorOf(F&& f) try {
    f();
    return 0;
} catch (const RuntimeError& e) {
    return e.number();
}

// The record as the attribute display reads it: the names of the flags that are set, in
// property order, and the project class.
QString flagsOf(const CodeInfo& record) {
    QStringList set;
    for (int i = 1; i <= record.propertyCount(); ++i) {
        const Variant v = record.getAt(i);
        if (v.type() == Variant::Type::String && !v.toString().isEmpty())
            set << record.propertyName(i) + u'=' + v.toString();
        else if (v.type() == Variant::Type::Boolean && v.toBool())
            set << record.propertyName(i);
    }
    return set.join(u' ');
}

} // namespace

class ZwPubTest : public ::testing::Test {
protected:
    void SetUp() override {
        QFile schema(QStringLiteral(SARVO_SCHEMA_FILE));
        ASSERT_TRUE(dir.isValid() && schema.open(QIODevice::ReadOnly));
        exec(QString::fromUtf8(schema.readAll() + kAccountSet));
        login->setUserId("demo");
    }
    void TearDown() override { kit->Connection()->close(); }

    // Straight on the file, as another program changing the account set would.
    void exec(const QString& sql) {
        sqlite3* db = nullptr;
        char* error = nullptr;
        sqlite3_open(path.toUtf8().constData(), &db);
        const QByteArray script = "PRAGMA synchronous = OFF;" + sql.toUtf8(); // a scratch file
        EXPECT_EQ(sqlite3_exec(db, script.constData(), nullptr, nullptr, &error), SQLITE_OK) << error;
        sqlite3_free(error);
        sqlite3_close(db);
    }

    std::shared_ptr<ZwPub> zwPub(const QString& language = "zh-cn", int16_t year = 2024) {
        login->setLanguageID(language);
        auto z = std::make_shared<ZwPub>();
        z->SetLogin(login);
        z->InitContext(Variant(kit), "demo", "001", year, "演示", QDateTime::currentDateTime());
        return z;
    }

    QTemporaryDir dir;
    QString path = dir.filePath("accounts.db");
    std::shared_ptr<DbKit> kit = std::make_shared<DbKit>("sqlite:" + path);
    std::shared_ptr<LogIn> login = std::make_shared<LogIn>();
};

TEST_F(ZwPubTest, InitContextTakesOnlyADatabaseKitAndAKnownYear) {
    ZwPub z;
    const auto init = [&](const Variant& k, int16_t year) {
        return errorOf([&] { z.InitContext(k, "demo", "001", year, "demo", {}); });
    };
    EXPECT_EQ(init(Variant(login), 2024), 13) << "a login object is not a database kit";
    EXPECT_EQ(init(Variant(int32_t(7)), 2024), 13);
    EXPECT_EQ(init(Variant::nothing(), 2024), 13);
    EXPECT_EQ(init(Variant(kit), 2030), 5) << "not a year of the account set";
    // A rejected context leaves none behind: the account-set services still have nothing to read.
    EXPECT_EQ(errorOf([&] { z.dbKit(); }), 91);
    EXPECT_EQ(errorOf([&] { z.CodeName("1001"); }), 91);

    EXPECT_EQ(init(Variant(kit), 2023), 0);
    EXPECT_EQ(z.CurrentYear(), 2023);
    EXPECT_EQ(z.dbKit(), kit);
}

TEST_F(ZwPubTest, OptionsAreReadCreatedAndUpdatedPerSystem) {
    exec("INSERT INTO AccInformation (cSysID, cName, cValue) VALUES ('GL', 'IntSarvoTree', '1'), "
         "('GL', 'Empty', NULL), ('FA', 'IntSarvoFilter', '1')");
    auto z = zwPub();
    const auto options = [&] {
        QStringList values;
        for (const char* o :
             {"GL/IntSarvoTree", "GL/IntSarvoFilter", "gl/IntSarvoFilter", "GL/Empty", "FA/IntSarvoFilter"})
            values << z->GetOption(QString(o).section(u'/', 0, 0), QString(o).section(u'/', 1));
        return values.join(u',');
    };
    EXPECT_EQ(options(), "1,,,,1") << "missing rows and NULL read as \"\"";
    z->SetOption("GL", "IntSarvoFilter", "1"); // no row yet: created
    EXPECT_EQ(options(), "1,1,1,,1") << "system ids compare as the server compares text: without case";
    z->SetOption("GL", "IntSarvoFilter", "0"); // updated in place, the other system's row untouched
    z->SetOption("gl", "IntSarvoTree", "0");   // the same row, not a second one
    EXPECT_EQ(options(), "0,0,0,,1");
    EXPECT_EQ(kit->Connection()
                  ->native("SELECT count(*) FROM AccInformation WHERE cName = 'IntSarvoTree'")
                  ->fieldAt(0)
                  .toDisplayText(),
              "1");
}

// The host reads and writes through the component's own connection, bound values and all, but
// what it sends is not what the component sends: the statement log holds only the component's.
TEST_F(ZwPubTest, TheHostsStatementsShareTheConnectionButNotTheStatementLog) {
    auto z = zwPub();
    const auto conn = kit->Connection();
    conn->setStatementLogging(true);
    conn->execute("select * from code where iYear=2024");
    const db::PipelineCounters before = conn->counters();
    z->SetOption("GL", "IntSarvoTree", "1");
    EXPECT_EQ(z->GetOption("GL", "IntSarvoTree"), "1");
    EXPECT_EQ(z->CodeName("100201"), "工商银行");
    EXPECT_EQ(z->CodeName("１００２01 "), "工商银行") << "codes compare as the server compares them";
    EXPECT_TRUE(z->CodeCheck("1001", 29));
    EXPECT_EQ(conn->loggedStatements(), QStringList{"select * from code where iYear=2024"});
    EXPECT_EQ(conn->counters().statements, before.statements);
    EXPECT_GE(conn->counters().hostStatements - before.hostStatements, 4);
}

// Storing the value an option already has writes nothing, so closing the dialog on a read-only
// account set loses nothing and says nothing.
TEST_F(ZwPubTest, StoringAnUnchangedOptionWritesNothing) {
    exec("INSERT INTO AccInformation (cSysID, cName, cValue) VALUES ('GL', 'IntSarvoTree', '1')");
    kit = std::make_shared<DbKit>("sqlite:file:" + path + "?mode=ro");
    auto z = zwPub();
    ASSERT_TRUE(kit->Connection()->isReadOnly());
    EXPECT_EQ(errorOf([&] { z->SetOption("GL", "IntSarvoTree", "1"); }), 0);
    EXPECT_EQ(errorOf([&] { z->SetOption("GL", "IntSarvoTree", "0"); }),
              static_cast<int>(ErrorCode::DatabaseError));
    EXPECT_EQ(z->GetOption("GL", "IntSarvoTree"), "1");
}

TEST_F(ZwPubTest, ClassesComeInOrderWithKindsAndTextsOfTheLoginLanguage) {
    auto z = zwPub();
    const auto classes = z->codeClasses();
    ASSERT_EQ(z->ClassCount(), 4);
    QStringList stored, kinds;
    for (int16_t i = 0; i < 4; ++i) {
        stored << classes->Item(i);
        kinds << classes->ClassKind(i);
    }
    EXPECT_EQ(stored, QStringList({"资产", "负债", "权益", "预算收入"}));
    EXPECT_EQ(kinds, QStringList({"ZC", "FZ", "QY", "YS01"}));
    EXPECT_EQ(errorOf([&] { classes->Item(4); }), 9);
    EXPECT_EQ(errorOf([&] { classes->ClassKind(-1); }), 9);
    EXPECT_EQ(errorOf([&] { z->EnumText("Enum.GL.Other", "资产"); }), 5);

    const QStringList english = {"Assets", "Liabilities", "Equity", "Budget revenue"};
    for (const auto& [language, texts] : std::initializer_list<std::pair<const char*, QStringList>>{
             {"zh-cn", stored},
             {"ZH-TW", {"資產", "負債", "權益", "預算收入"}},
             {"fr-fr", english}}) { // any other language reads the English texts
        SCOPED_TRACE(language);
        z = zwPub(language);
        EXPECT_EQ(z->LangFlag(), texts == english ? 2 : 1);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(z->DisplayText(stored[i]), texts[i]);
            // The class node's text leads back to the name that code.cclass holds.
            EXPECT_EQ(z->EnumText("Enum.GL.CodeClass", texts[i]), stored[i]);
        }
        EXPECT_EQ(z->DisplayText("不存在"), "不存在");
        EXPECT_EQ(z->EnumText("enum.gl.codeclass", "not a class"), "");
    }
}

// The login's language is the one the host has now: changed on the login or by another login,
// the next answers follow it.
TEST_F(ZwPubTest, AnswersFollowTheLoginsLanguageWhenItChangesDuringARequest) {
    auto z = zwPub();
    const struct {
        const char* step;
        std::function<void()> change;
        int16_t langFlag;
        const char* equity; // DisplayText of the class stored as 权益
    } steps[] = {
        {"as opened", [] {}, 1, "权益"},
        {"login set to English", [&] { login->setLanguageID("en-us"); }, 2, "Equity"},
        {"the same id again", [&] { login->setLanguageID("en-us"); }, 2, "Equity"},
        {"Traditional Chinese, odd case and blanks", [&] { login->setLanguageID(" ZH-TW "); }, 1, "權益"},
        {"another login",
         [&] {
             auto other = std::make_shared<LogIn>();
             other->setLanguageID("fr-fr");
             z->SetLogin(other);
         },
         2, "Equity"},
        {"no login", [&] { z->SetLogin(nullptr); }, 1, "权益"},
    };
    for (const auto& s : steps) {
        s.change();
        EXPECT_EQ(z->LangFlag(), s.langFlag) << s.step;
        EXPECT_EQ(z->DisplayText("权益"), QString::fromUtf8(s.equity)) << s.step;
        EXPECT_EQ(z->EnumText("Enum.GL.CodeClass", QString::fromUtf8(s.equity)), "权益") << s.step;
    }
}

// Classes, code scheme and settings are read once per InitContext; accounts and options per call.
TEST_F(ZwPubTest, TheAccountSetsDescriptionIsReadAgainOnInitContext) {
    auto z = zwPub();
    EXPECT_EQ(z->GradeCodeLen(0), 4);
    EXPECT_EQ(z->GradeCodeLen(2), 8);
    for (int index : {3, 4, -1}) // grade 5 follows a gap, so the scheme ends at grade 3
        EXPECT_EQ(errorOf([&] { z->GradeCodeLen(index); }), 9) << index;
    exec("UPDATE host_setting SET cValue = '0'; INSERT INTO host_scheme VALUES (4, 10);"
         "INSERT INTO host_class VALUES (4, '损益', 'SY', '损益', '損益', 'Profit and loss')");
    EXPECT_TRUE(z->ClassKindSplit());
    EXPECT_EQ(z->ClassCount(), 4);
    for (const auto& [sql, split] : std::initializer_list<std::pair<const char*, bool>>{
             {"", false},
             {"UPDATE host_setting SET cValue = 'True'", true},
             {"DELETE FROM host_setting", false}}) {
        exec(sql);
        z->InitContext(Variant(kit), "demo", "001", 2024, "demo", {});
        EXPECT_EQ(z->ClassKindSplit(), split) << sql;
        EXPECT_EQ(z->codeClasses()->Item(4), "损益");
        EXPECT_EQ(z->GradeCodeLen(4), 12);
    }
}

TEST_F(ZwPubTest, CodeCheck29TellsWhetherTheAccountTakesPostingsThisYear) {
    auto z = zwPub();
    for (const char* code : {"1001", "100201"})
        EXPECT_TRUE(z->CodeCheck(code, 29)) << code;
    // Not a parent, a closed account, one of 2023 only, none at all, nor quotes taken as SQL.
    for (const char* code : {"1002", "1601", "1009", "9999", "1001' OR '1'='1"})
        EXPECT_FALSE(z->CodeCheck(code, 29)) << code;
    EXPECT_EQ(errorOf([&] { z->CodeCheck("1001", 30); }), 5);

    // Accounts are read per call: one added meanwhile is seen at once.
    exec("INSERT INTO code (iYear, cclass, ccode, ccode_name, igrade, bend) VALUES (2024, '负债', '2001', "
         "'短期借款', 1, 1)");
    EXPECT_TRUE(z->CodeCheck("2001", 29));
}

TEST_F(ZwPubTest, CodeNameFollowsTheLoginLanguageAndYear) {
    for (const auto& [language, year, code, name] :
         std::initializer_list<std::tuple<const char*, int16_t, const char*, const char*>>{
             {"zh-cn", 2024, "1001", "库存现金"},
             {"zh-tw", 2024, "1001", "库存现金"},
             {"en-us", 2024, "1001", "Cash on hand"},
             {"en-us", 2024, "1901", "待处理财产损溢"}, // no English name: the Chinese one
             {"zh-cn", 2024, "9999", ""},
             {"en-us", 2024, "1009", ""},
             {"zh-cn", 2023, "1009", "旧科目"}})
        EXPECT_EQ(zwPub(language, year)->CodeName(code), QString::fromUtf8(name))
            << language << " " << year << " " << code;
}

TEST_F(ZwPubTest, LoadCodeRecordDerivesEveryFlagFromTheAccountRow) {
    // row: bperson, bcus, bsup, bdept, bitem, citem_class, cexch_name, cmeasure, bend, br, be, bclose
    struct Case {
        const char *code, *row, *flags;
    };
    // clang-format off
    const Case cases[] = {
        {"8002", "1,0,0,0,0,NULL,NULL,NULL,1,0,0,0", "bAuxiliary bPerson bEnd"},
        {"8003", "0,1,0,0,0,NULL,NULL,NULL,0,0,0,0", "bAuxiliary bCustomer"},
        {"8004", "0,0,1,0,0,NULL,NULL,NULL,1,0,0,1", "bAuxiliary bSupplier bEnd bClosed"},
        {"8005", "0,0,0,1,0,NULL,NULL,NULL,1,0,0,0", "bAuxiliary bDepartment bEnd"},
        {"8006", "0,0,0,0,1,'02',NULL,NULL,1,0,0,0", "bAuxiliary cItemClass=02 bEnd"},
        {"8007", "0,0,0,0,1,NULL,NULL,NULL,1,0,0,0", "bAuxiliary cItemClass=00 bEnd"}, // the default class
        {"8008", "0,1,0,1,0,NULL,NULL,NULL,1,0,0,0", "bAuxiliary bCustomer bDepartment bCusDept bEnd"},
        {"8009", "0,0,1,1,0,NULL,NULL,NULL,1,0,0,0", "bAuxiliary bSupplier bDepartment bSupDept bEnd"},
        {"8010", "0,1,0,0,1,'01',NULL,NULL,1,0,0,0", "bAuxiliary bCustomer cItemClass=01 bCusItem bEnd"},
        {"8011", "0,0,1,0,1,'01',NULL,NULL,1,0,0,0", "bAuxiliary bSupplier cItemClass=01 bSupItem bEnd"},
        {"8012", "0,0,0,1,1,'01',NULL,NULL,1,0,0,0", "bAuxiliary bDepartment cItemClass=01 bDeptItem bEnd"},
        {"8013", "1,0,0,0,1,'01',NULL,NULL,1,0,0,0", "bAuxiliary bPerson cItemClass=01 bEnd bPersonItem"},
        {"8014", "0,1,0,1,1,'01',NULL,NULL,1,0,0,0",
         "bAuxiliary bCustomer bDepartment cItemClass=01 bCusItem bDeptItem bCusDept bEnd bCusDeptItem"},
        {"8015", "0,0,1,1,1,'01',NULL,NULL,1,0,0,0",
         "bAuxiliary bSupplier bDepartment cItemClass=01 bSupItem bDeptItem bSupDept bEnd bSupDeptItem"},
        {"8016", "0,0,0,0,0,NULL,'美元','吨',1,1,1,0", "bExchange bMeasure bJournal bBank bEnd"},
    };
    // clang-format on
    auto z = zwPub();
    CodeInfo record; // one record throughout: every load replaces what the one before left
    for (const Case& c : cases) {
        exec(
            QStringLiteral("INSERT INTO code (iYear, cclass, ccode, ccode_name, igrade, bperson, bcus, bsup, "
                           "bdept, bitem, citem_class, cexch_name, cmeasure, bend, br, be, bclose) "
                           "VALUES (2024, '资产', '%1', 'x', 1, %2)")
                .arg(c.code, QString::fromUtf8(c.row)));
        z->LoadCodeRecord(c.code, record, 2024);
        EXPECT_EQ(flagsOf(record), c.flags) << c.code;
    }
    z->LoadCodeRecord("8016", record, 2023); // not an account of 2023
    EXPECT_EQ(flagsOf(record), "");
}

TEST_F(ZwPubTest, CurrentUserCarriesTheLoginsUserIdFirst) {
    auto z = zwPub();
    EXPECT_EQ(z->CurrentUser()->getAt(1).toString(), "demo");
    EXPECT_EQ(z->CurrentUser()->getAt(2).toString(), "演示用户");
    login->setUserId("nobody"); // read anew on every call; unknown users go by the operator's name
    EXPECT_EQ(z->CurrentUser()->getAt(1).toString(), "nobody");
    EXPECT_EQ(z->CurrentUser()->getAt(2).toString(), "演示");
    z->SetLogin(nullptr);
    EXPECT_EQ(errorOf([&] { z->CurrentUser(); }), 91);
}

// The component reaches the object late-bound by the member names of the host's interface.
TEST_F(ZwPubTest, LateBoundMembersAnswerAsTheDirectCalls) {
    auto z = zwPub("en-us");
    DispatchObject& o = *z;
    // No arguments for a property.
    for (const auto& [member, args, expected] :
         std::initializer_list<std::tuple<const char*, VariantList, Variant>>{
             {"classcount", {}, uint8_t(4)},
             {"LangFlag", {}, int16_t(2)},
             {"CurrentYear", {}, int16_t(2024)},
             {"ClassKindSplit", {}, true},
             {"DbKit", {}, kit},
             {"CodeName", {"1001"}, "Cash on hand"},
             {"CodeCheck", {"1001", int16_t(29)}, true},
             {"GradeCodeLen", {int16_t(1)}, uint8_t(6)},
             {"DisplayText", {"负债"}, "Liabilities"},
             {"EnumText", {"Enum.GL.CodeClass", "Equity"}, "权益"},
             {"ResString", {"Host.GL.Sarvo.tishiInfo"}, "Information"},
             {"GetOption", {"GL", "IntSarvoTree"}, ""}})
        EXPECT_EQ(o.call(member, VariantList(args)), expected) << member;
    EXPECT_EQ(o.get("CodeClasses").toObject()->call("ClassKind", {int16_t(3)}), Variant("YS01"));
    o.call("SetOption", {"GL", "IntSarvoTree", "1"});
    EXPECT_EQ(z->GetOption("GL", "IntSarvoTree"), "1");

    // (code, record, six optional values, year)
    auto record = std::make_shared<CodeInfo>();
    o.call("LoadCodeRecord", {"100201", Variant(record), {}, {}, {}, {}, {}, {}, int16_t(2024)});
    EXPECT_TRUE(record->bBank);
    EXPECT_EQ(errorOf([&] { o.call("LoadCodeRecord", {"1001", Variant(login)}); }), 13);
    EXPECT_EQ(errorOf([&] { o.call("SetLogin", {Variant(kit)}); }), 13);
    o.call("SetLogin", {std::make_shared<LogIn>()}); // a new login speaks the host's Chinese
    EXPECT_EQ(o.get("LangFlag"), Variant(int16_t(1)));

    // The year as text, the way a host passes it.
    o.call("InitContext",
           {Variant(kit), "demo", "001", "2023", "demo", Variant(QDateTime::currentDateTime())});
    EXPECT_EQ(z->CurrentYear(), 2023);
}

} // namespace sarvo::host::test
