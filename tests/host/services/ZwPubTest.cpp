// The public-services object on a real account set: context, options, classes, code scheme and
// account look-ups, directly and late-bound as the component reaches them.
#include "AccountSetFixture.h"

#include "host/services/MessageService.h"
#include "runtime/RuntimeError.h"

namespace sarvo::host::test {

namespace {

template <class F> int errorNumberOf(F&& f) {
    try {
        f();
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return 0;
}

template <class F> QString errorTextOf(F&& f) {
    try {
        f();
    } catch (const RuntimeError& e) {
        return e.description();
    }
    return {};
}

} // namespace

class ZwPubTest : public AccountSetFixture {};

TEST_F(ZwPubTest, InitContextTakesOnlyADatabaseKitAndAKnownYear) {
    auto zwPub = std::make_shared<ZwPub>();
    const auto init = [&](const Variant& kit, int16_t year) {
        return [=] { zwPub->InitContext(kit, "demo", "001", year, "demo", QDateTime::currentDateTime()); };
    };
    EXPECT_EQ(errorNumberOf(init(Variant(m_login), 2024)), 13) << "a login object is not a database kit";
    EXPECT_EQ(errorNumberOf(init(Variant(int32_t(7)), 2024)), 13);
    EXPECT_EQ(errorNumberOf(init(Variant::nothing(), 2024)), 13);
    EXPECT_TRUE(errorTextOf(init(Variant(m_kit), 2030)).contains(QLatin1String("2030")));
    EXPECT_EQ(errorNumberOf([&] { zwPub->CurrentYear(); }), 91) << "a rejected context leaves none behind";

    EXPECT_EQ(errorNumberOf(init(Variant(m_kit), 2023)), 0);
    EXPECT_EQ(zwPub->CurrentYear(), 2023);
    EXPECT_EQ(zwPub->dbKit(), m_kit);
}

TEST_F(ZwPubTest, AccountSetServicesNeedAContext) {
    ZwPub zwPub;
    const std::vector<std::pair<const char*, std::function<void()>>> calls = {
        {"dbKit", [&] { zwPub.dbKit(); }},
        {"ClassCount", [&] { zwPub.ClassCount(); }},
        {"GetOption", [&] { zwPub.GetOption("GL", "IntSarvoTree"); }},
        {"CodeName", [&] { zwPub.CodeName("1001"); }},
        {"CurrentYear", [&] { zwPub.CurrentYear(); }},
    };
    for (const auto& [name, call] : calls)
        EXPECT_EQ(errorNumberOf(call), 91) << name;
}

TEST_F(ZwPubTest, OptionsAreReadWrittenAndCreatedInAccInformation) {
    auto zwPub = makeZwPub();
    exec("INSERT INTO AccInformation (cSysID, cName, cValue) VALUES ('GL', 'IntSarvoTree', '1'), "
         "('GL', 'Empty', NULL), ('FA', 'IntSarvoFilter', '1')");
    struct Case {
        const char* sysId;
        const char* name;
        const char* expected;
    };
    for (const Case& c :
         {Case{"GL", "IntSarvoTree", "1"}, Case{"gl", "IntSarvoFilter", ""}, Case{"GL", "IntSarvoFilter", ""},
          Case{"GL", "Empty", ""}, Case{"FA", "IntSarvoFilter", "1"}})
        EXPECT_EQ(zwPub->GetOption(c.sysId, c.name), QString::fromUtf8(c.expected))
            << c.sysId << "/" << c.name;

    zwPub->SetOption("GL", "IntSarvoFilter", "1"); // no row yet: created
    EXPECT_EQ(zwPub->GetOption("GL", "IntSarvoFilter"), "1");
    EXPECT_EQ(zwPub->GetOption("FA", "IntSarvoFilter"), "1");
    zwPub->SetOption("GL", "IntSarvoFilter", "0"); // now updated in place
    zwPub->SetOption("GL", "IntSarvoTree", "0");
    EXPECT_EQ(zwPub->GetOption("GL", "IntSarvoFilter"), "0");
    EXPECT_EQ(rowCount("SELECT * FROM AccInformation WHERE cName = 'IntSarvoFilter'"), 2);
    EXPECT_EQ(scalar("SELECT cValue FROM AccInformation WHERE cSysID = 'GL' AND cName = 'IntSarvoTree'"),
              "0");
    EXPECT_EQ(scalar("SELECT cValue FROM AccInformation WHERE cSysID = 'FA' AND cName = 'IntSarvoFilter'"),
              "1");
}

TEST_F(ZwPubTest, ClassesComeInOrderWithKindsAndDisplayTextsPerLanguage) {
    const QStringList stored = {"资产", "负债", "权益", "预算收入"};
    const QStringList kinds = {"ZC", "FZ", "QY", "YS01"};
    struct Case {
        const char* language;
        QStringList texts;
        int16_t langFlag;
    };
    const Case cases[] = {
        {"zh-cn", {"资产", "负债", "权益", "预算收入"}, 1},
        {"ZH-TW", {"資產", "負債", "權益", "預算收入"}, 1},
        {"en-us", {"Assets", "Liabilities", "Equity", "Budget revenue"}, 2},
        {"fr-fr", {"Assets", "Liabilities", "Equity", "Budget revenue"}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        auto zwPub = makeZwPub(c.language);
        ASSERT_EQ(zwPub->ClassCount(), 4);
        EXPECT_EQ(zwPub->LangFlag(), c.langFlag);
        const auto classes = zwPub->codeClasses();
        for (int16_t i = 0; i < 4; ++i) {
            EXPECT_EQ(classes->Item(i), stored[i]);
            EXPECT_EQ(classes->ClassKind(i), kinds[i]);
            EXPECT_EQ(zwPub->DisplayText(classes->Item(i)), c.texts[i]);
            // The class node's text leads back to the stored name that code.cclass holds.
            EXPECT_EQ(zwPub->EnumText("Enum.GL.CodeClass", c.texts[i]), stored[i]);
        }
        EXPECT_EQ(zwPub->DisplayText("不存在"), "不存在");
        EXPECT_EQ(zwPub->EnumText("enum.gl.codeclass", "not a class"), "");
        EXPECT_EQ(errorNumberOf([&] { classes->Item(4); }), 9);
        EXPECT_EQ(errorNumberOf([&] { classes->ClassKind(-1); }), 9);
        EXPECT_EQ(errorNumberOf([&] { zwPub->EnumText("Enum.GL.Other", c.texts[0]); }), 5);
    }
}

TEST_F(ZwPubTest, ClassKindSplitAndSchemeAreReadAgainOnInitContext) {
    auto zwPub = makeZwPub();
    EXPECT_TRUE(zwPub->ClassKindSplit());
    struct Case {
        const char* sql;
        bool split;
    };
    bool before = true;
    for (const Case& c :
         {Case{"UPDATE host_setting SET cValue = '0'", false},
          Case{"UPDATE host_setting SET cValue = 'true'", true}, Case{"DELETE FROM host_setting", false}}) {
        exec(c.sql);
        EXPECT_EQ(zwPub->ClassKindSplit(), before) << "kept until the next context: " << c.sql;
        zwPub->InitContext(Variant(m_kit), "demo", "001", 2024, "demo", {});
        EXPECT_EQ(zwPub->ClassKindSplit(), c.split) << c.sql;
        before = c.split;
    }

    exec("INSERT INTO host_class VALUES (4, '损益', 'SY', '损益', '損益', 'Profit and loss')");
    EXPECT_EQ(zwPub->ClassCount(), 4);
    zwPub->InitContext(Variant(m_kit), "demo", "001", 2024, "demo", {});
    EXPECT_EQ(zwPub->ClassCount(), 5);
    EXPECT_EQ(zwPub->codeClasses()->Item(4), "损益");
}

TEST_F(ZwPubTest, GradeCodeLenGivesTheTotalLengthOfAZeroBasedGrade) {
    auto zwPub = makeZwPub();
    struct Case {
        int index;
        int length; // -1: subscript out of range
    };
    for (const Case& c : {Case{0, 4}, Case{1, 6}, Case{2, 8}, Case{3, -1}, Case{-1, -1}}) {
        if (c.length < 0)
            EXPECT_EQ(errorNumberOf([&] { zwPub->GradeCodeLen(c.index); }), 9) << c.index;
        else
            EXPECT_EQ(zwPub->GradeCodeLen(c.index), c.length) << c.index;
    }
}

TEST_F(ZwPubTest, CodeCheck29TellsWhetherTheAccountTakesPostingsThisYear) {
    auto zwPub = makeZwPub();
    struct Case {
        const char* code;
        bool expected;
        const char* why;
    };
    for (const Case& c : {Case{"1001", true, "end level and open"}, Case{"1002", false, "has sub-accounts"},
                          Case{"100201", true, "end level and open"}, Case{"1601", false, "closed"},
                          Case{"1009", false, "only in 2023"}, Case{"9999", false, "no such account"},
                          Case{"1001' OR '1'='1", false, "quotes are data, not SQL"}})
        EXPECT_EQ(zwPub->CodeCheck(c.code, 29), c.expected) << c.code << ": " << c.why;
    EXPECT_EQ(errorNumberOf([&] { zwPub->CodeCheck("1001", 30); }), 5);

    // The account set is read per call: an account added meanwhile is seen at once.
    exec("INSERT INTO code (iYear, cclass, ccode, ccode_name, igrade, bend) VALUES (2024, '负债', '2001', "
         "'短期借款', 1, 1)");
    EXPECT_TRUE(zwPub->CodeCheck("2001", 29));
}

TEST_F(ZwPubTest, CodeNameFollowsTheLoginLanguage) {
    struct Case {
        const char* language;
        const char* code;
        const char* expected;
    };
    const Case cases[] = {
        {"zh-cn", "1001", "库存现金"},
        {"zh-tw", "1001", "库存现金"},
        {"en-us", "1001", "Cash on hand"},
        {"en-us", "1901", "待处理财产损溢"}, // no English name: the Chinese one, so "" still means missing
        {"zh-cn", "9999", ""},
        {"en-us", "1009", ""}, // 1009 exists in 2023 only
    };
    for (const Case& c : cases) {
        auto zwPub = makeZwPub(c.language);
        EXPECT_EQ(zwPub->CodeName(c.code), QString::fromUtf8(c.expected)) << c.language << " " << c.code;
    }
    auto zwPub2023 = makeZwPub("zh-cn", 2023);
    EXPECT_EQ(zwPub2023->CodeName("1009"), "旧科目");
}

TEST_F(ZwPubTest, LoadCodeRecordDerivesEveryFlagFromTheAccountRow) {
    struct Case {
        const char* code;
        const char* columns; // bperson, bcus, bsup, bdept, bitem, citem_class, cexch_name, cmeasure, bend,
                             // br, be, bclose
        // Expected: auxiliary, person, customer, supplier, department, item class,
        // cusItem, supItem, deptItem, cusDept, supDept, personItem, cusDeptItem, supDeptItem
        bool aux, person, cus, sup, dept;
        const char* itemClass;
        bool cusItem, supItem, deptItem, cusDept, supDept, personItem, cusDeptItem, supDeptItem;
        bool exch, measure, end, journal, bank, closed;
    };
    // clang-format off
    const Case cases[] = {
        {"8001", "0,0,0,0,0,NULL,NULL,NULL,1,0,0,0", false, false, false, false, false, "",
         false, false, false, false, false, false, false, false, false, false, true, false, false, false},
        {"8002", "1,0,0,0,0,NULL,NULL,NULL,1,0,0,0", true, true, false, false, false, "",
         false, false, false, false, false, false, false, false, false, false, true, false, false, false},
        {"8003", "0,1,0,0,0,NULL,NULL,NULL,0,0,0,0", true, false, true, false, false, "",
         false, false, false, false, false, false, false, false, false, false, false, false, false, false},
        {"8004", "0,0,1,0,0,NULL,NULL,NULL,1,0,0,1", true, false, false, true, false, "",
         false, false, false, false, false, false, false, false, false, false, true, false, false, true},
        {"8005", "0,0,0,1,0,NULL,NULL,NULL,1,0,0,0", true, false, false, false, true, "",
         false, false, false, false, false, false, false, false, false, false, true, false, false, false},
        {"8006", "0,0,0,0,1,'02',NULL,NULL,1,0,0,0", true, false, false, false, false, "02",
         false, false, false, false, false, false, false, false, false, false, true, false, false, false},
        {"8007", "0,0,0,0,1,NULL,NULL,NULL,1,0,0,0", true, false, false, false, false, "00",
         false, false, false, false, false, false, false, false, false, false, true, false, false, false},
        {"8008", "0,1,0,1,0,NULL,NULL,NULL,1,0,0,0", true, false, true, false, true, "",
         false, false, false, true, false, false, false, false, false, false, true, false, false, false},
        {"8009", "0,0,1,1,0,NULL,NULL,NULL,1,0,0,0", true, false, false, true, true, "",
         false, false, false, false, true, false, false, false, false, false, true, false, false, false},
        {"8010", "0,1,0,0,1,'01',NULL,NULL,1,0,0,0", true, false, true, false, false, "01",
         true, false, false, false, false, false, false, false, false, false, true, false, false, false},
        {"8011", "0,0,1,0,1,'01',NULL,NULL,1,0,0,0", true, false, false, true, false, "01",
         false, true, false, false, false, false, false, false, false, false, true, false, false, false},
        {"8012", "0,0,0,1,1,'01',NULL,NULL,1,0,0,0", true, false, false, false, true, "01",
         false, false, true, false, false, false, false, false, false, false, true, false, false, false},
        {"8013", "1,0,0,0,1,'01',NULL,NULL,1,0,0,0", true, true, false, false, false, "01",
         false, false, false, false, false, true, false, false, false, false, true, false, false, false},
        {"8014", "0,1,0,1,1,'01',NULL,NULL,1,0,0,0", true, false, true, false, true, "01",
         true, false, true, true, false, false, true, false, false, false, true, false, false, false},
        {"8015", "0,0,1,1,1,'01',NULL,NULL,1,0,0,0", true, false, false, true, true, "01",
         false, true, true, false, true, false, false, true, false, false, true, false, false, false},
        {"8016", "0,0,0,0,0,NULL,'美元','吨',1,1,1,0", false, false, false, false, false, "",
         false, false, false, false, false, false, false, false, true, true, true, true, true, false},
    };
    // clang-format on
    for (const Case& c : cases) {
        exec(
            QStringLiteral("INSERT INTO code (iYear, cclass, ccode, ccode_name, igrade, bperson, bcus, bsup, "
                           "bdept, bitem, citem_class, cexch_name, cmeasure, bend, br, be, bclose) "
                           "VALUES (2024, '资产', '%1', 'x', 1, %2)")
                .arg(QLatin1String(c.code), QLatin1String(c.columns)));
    }
    auto zwPub = makeZwPub();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        CodeInfo r;
        r.bEnd = !c.end; // whatever the record held before is replaced
        r.cItemClass = "stale";
        zwPub->LoadCodeRecord(c.code, r, 2024);
        EXPECT_EQ(r.bAuxiliary, c.aux);
        EXPECT_EQ(r.bPerson, c.person);
        EXPECT_EQ(r.bCustomer, c.cus);
        EXPECT_EQ(r.bSupplier, c.sup);
        EXPECT_EQ(r.bDepartment, c.dept);
        EXPECT_EQ(r.cItemClass, QString::fromUtf8(c.itemClass));
        EXPECT_EQ(r.bCusItem, c.cusItem);
        EXPECT_EQ(r.bSupItem, c.supItem);
        EXPECT_EQ(r.bDeptItem, c.deptItem);
        EXPECT_EQ(r.bCusDept, c.cusDept);
        EXPECT_EQ(r.bSupDept, c.supDept);
        EXPECT_EQ(r.bPersonItem, c.personItem);
        EXPECT_EQ(r.bCusDeptItem, c.cusDeptItem);
        EXPECT_EQ(r.bSupDeptItem, c.supDeptItem);
        EXPECT_EQ(r.bExchange, c.exch);
        EXPECT_EQ(r.bMeasure, c.measure);
        EXPECT_EQ(r.bEnd, c.end);
        EXPECT_EQ(r.bJournal, c.journal);
        EXPECT_EQ(r.bBank, c.bank);
        EXPECT_EQ(r.bClosed, c.closed);
        // Late-bound, as the attribute display reads it.
        EXPECT_EQ(r.get("bauxiliary").toBool(), c.aux);
        EXPECT_EQ(r.get("CITEMCLASS").toString(), QString::fromUtf8(c.itemClass));
    }

    CodeInfo missing;
    missing.bEnd = true;
    zwPub->LoadCodeRecord("8001", missing, 2023); // the account is not in 2023
    EXPECT_FALSE(missing.bEnd);
    EXPECT_FALSE(missing.bAuxiliary);
}

TEST_F(ZwPubTest, CurrentUserCarriesTheLoginsUserIdFirst) {
    auto zwPub = makeZwPub();
    const ObjectRef user = zwPub->CurrentUser();
    ASSERT_TRUE(user);
    EXPECT_EQ(user->getAt(1).toString(), "demo");
    EXPECT_EQ(user->getAt(2).toString(), "演示用户");
    m_login->setUserId("nobody");
    EXPECT_EQ(zwPub->CurrentUser()->getAt(1).toString(), "nobody") << "read anew on every call";
    EXPECT_EQ(zwPub->CurrentUser()->getAt(2).toString(), "演示") << "unknown users go by the operator's name";

    zwPub->SetLogin(nullptr);
    EXPECT_EQ(errorNumberOf([&] { zwPub->CurrentUser(); }), 91);
}

// The component reaches the object late-bound by the member names of the host's interface.
TEST_F(ZwPubTest, LateBoundMembersGiveWhatTheDirectCallsGive) {
    auto zwPub = makeZwPub("en-us");
    DispatchObject& o = *zwPub;
    EXPECT_EQ(o.get("ClassCount").toInteger(), zwPub->ClassCount());
    EXPECT_EQ(o.get("langflag").toInteger(), 2);
    EXPECT_EQ(o.get("CurrentYear").toInteger(), 2024);
    EXPECT_TRUE(o.get("ClassKindSplit").toBool());
    EXPECT_EQ(o.get("DbKit").toObject(), m_kit);
    EXPECT_EQ(o.get("CurrentUser").toObject()->getAt(1).toString(), "demo");

    const ObjectRef classes = o.get("CodeClasses").toObject();
    EXPECT_EQ(classes->call("Item", {int16_t(1)}).toString(), "负债");
    EXPECT_EQ(classes->call("ClassKind", {int16_t(3)}).toString(), "YS01");
    EXPECT_EQ(classes->get("Count").toLong(), 4);

    struct Case {
        const char* method;
        VariantList args;
        Variant expected;
    };
    const Case cases[] = {
        {"CodeName", {"1001"}, Variant("Cash on hand")},
        {"CodeCheck", {"1001", int16_t(29)}, Variant(true)},
        {"GradeCodeLen", {int16_t(1)}, Variant(uint8_t(6))},
        {"DisplayText", {"负债"}, Variant("Liabilities")},
        {"EnumText", {"Enum.GL.CodeClass", "Equity"}, Variant("权益")},
        {"ResString", {"Host.GL.Sarvo.tishiInfo"}, Variant("Information")},
        {"GetOption", {"GL", "IntSarvoTree"}, Variant("")},
    };
    for (const Case& c : cases) {
        VariantList args = c.args;
        EXPECT_EQ(o.call(c.method, args), c.expected) << c.method;
    }

    o.call("SetOption", {"GL", "IntSarvoTree", "1"});
    EXPECT_EQ(zwPub->GetOption("GL", "IntSarvoTree"), "1");

    auto record = std::make_shared<CodeInfo>();
    // (code, record, six optional values, year)
    o.call("LoadCodeRecord", {"100201", Variant(record), {}, {}, {}, {}, {}, {}, int16_t(2024)});
    EXPECT_TRUE(record->bBank);
    EXPECT_EQ(errorNumberOf([&] { o.call("LoadCodeRecord", {"1001", Variant(m_login)}); }), 13);

    EXPECT_EQ(errorNumberOf([&] { o.call("SetLogin", {Variant(m_kit)}); }), 13);
    auto other = std::make_shared<LogIn>();
    other->setLanguageID("zh-cn");
    o.call("SetLogin", {Variant(other)});
    EXPECT_EQ(zwPub->login(), other);
    EXPECT_EQ(o.get("LangFlag").toInteger(), 1);

    auto attrib = std::make_shared<RefAttribute>();
    o.put("RefAttrib", Variant(attrib));
    EXPECT_EQ(zwPub->RefAttrib(), attrib);
    o.put("RefAttrib", Variant::nothing());
    EXPECT_EQ(zwPub->RefAttrib(), nullptr);

    // InitContext late-bound, with the year as text the way a host passes it.
    o.call("InitContext",
           {Variant(m_kit), "demo", "001", "2023", "demo", Variant(QDateTime::currentDateTime())});
    EXPECT_EQ(zwPub->CurrentYear(), 2023);
}

TEST_F(ZwPubTest, ShowMsgPassesPromptButtonsAndTitleToTheMessageService) {
    MessageService::setScripted(true);
    MessageService::clear();
    auto zwPub = makeZwPub();
    Variant prompt("没有科目"), buttons(int32_t(64)), title("提示"), help(""), context(int32_t(0));
    EXPECT_EQ(zwPub->ShowMsg(prompt, buttons, title, help, context), 1);
    VariantList args = {"second", int32_t(16)};
    EXPECT_EQ(zwPub->call("ShowMsg", args).toLong(), 1);

    const QList<ShownMessage> shown = MessageService::shown();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[0].prompt, "没有科目");
    EXPECT_EQ(shown[0].title, "提示");
    EXPECT_EQ(shown[0].buttons, 64);
    EXPECT_EQ(shown[1].prompt, "second");
    EXPECT_EQ(shown[1].title, "");
    EXPECT_EQ(shown[1].buttons, 16);
    MessageService::clear();
}

} // namespace sarvo::host::test
