// What each template puts in front of the host and the dialog: classes and their texts, the
// code scheme, settings, years, operators, options, and the accounts the attribute filter and
// display are exercised with.
#include "TemplateFiles.h"
#include "TestDb.h"

namespace {

QString standardFile() {
    return accountSetFile(QStringLiteral("standard"));
}

TEST(StandardTemplate, ClassesInOrderWithKindsAndTexts) {
    TestDb db(standardFile());
    EXPECT_EQ(
        db.rows(QStringLiteral("select iPosition, cclass, cKind, cText_zhcn, cText_zhtw, cText_enus "
                               "from host_class order by iPosition")),
        QStringList({QStringLiteral("0|资产|01|资产|資產|Assets"),
                     QStringLiteral("1|负债|02|负债|負債|Liabilities"),
                     QStringLiteral("2|共同|03|共同|共同|Common"),
                     QStringLiteral("3|权益|04|权益|權益|Equity"), QStringLiteral("4|成本|05|成本|成本|Cost"),
                     QStringLiteral("5|损益|06|损益|損益|Profit and Loss")}));
}

TEST(StandardTemplate, SchemeIsFourTwoTwoUpToThirteenGrades) {
    TestDb db(standardFile());
    EXPECT_EQ(db.rows(QStringLiteral("select iLength from host_scheme order by iGrade")).join(u','),
              QStringLiteral("4,6,8,10,12,14,16,18,20,22,24,26,28"));
    EXPECT_EQ(db.count(QStringLiteral("select max(igrade) from code")), 3);
}

TEST(StandardTemplate, SettingsOperatorsAndOptions) {
    TestDb db(standardFile());
    EXPECT_EQ(
        db.value(QStringLiteral("select cValue from host_setting where cName = 'ClassKindSplit'")).toString(),
        QStringLiteral("0"));
    EXPECT_FALSE(db.value(QStringLiteral("select cValue from host_setting where cName = 'AccountSetName'"))
                     .toString()
                     .isEmpty());
    EXPECT_FALSE(db.value(QStringLiteral("select cValue from host_setting where cName = 'AccountSetNumber'"))
                     .toString()
                     .isEmpty());
    EXPECT_EQ(db.value(QStringLiteral("select cUser_Name from host_user where cUser_Id = 'demo'")).toString(),
              QStringLiteral("演示用户"));
    EXPECT_EQ(db.count(QStringLiteral("select count(*) from host_user")), 3);
    // The dialog creates its own two options on first use; the template must not preset them.
    EXPECT_GT(db.count(QStringLiteral("select count(*) from AccInformation")), 0);
    EXPECT_EQ(db.count(QStringLiteral("select count(*) from AccInformation where cName like 'IntSarvo%'")),
              0);
}

TEST(StandardTemplate, YearsTwentyThreeSmallerTwentyFiveEmpty) {
    TestDb db(standardFile());
    EXPECT_EQ(db.rows(QStringLiteral("select iYear from host_year order by iYear")).join(u','),
              QStringLiteral("2023,2024,2025"));
    const int y2023 = db.count(QStringLiteral("select count(*) from code where iYear = 2023"));
    const int y2024 = db.count(QStringLiteral("select count(*) from code where iYear = 2024"));
    EXPECT_GT(y2023, 0);
    EXPECT_LT(y2023, y2024);
    EXPECT_EQ(db.count(QStringLiteral("select count(*) from code where iYear = 2025")), 0);
    // 2023 holds nothing that 2024 dropped.
    EXPECT_EQ(db.count(QStringLiteral("select count(*) from code a where iYear = 2023 and not exists "
                                      "(select 1 from code b where b.iYear = 2024 and b.ccode = a.ccode)")),
              0);
    // An account whose third grade arrives in 2024 takes postings in 2023 only.
    EXPECT_EQ(db.rows(QStringLiteral("select iYear, bend from code where ccode = '660213' order by iYear")),
              QStringList({QStringLiteral("2023|1"), QStringLiteral("2024|0")}));
}

TEST(StandardTemplate, AboutOneHundredFiftyFirstGradeAccounts) {
    TestDb db(standardFile());
    const int first = db.count(QStringLiteral("select count(*) from code where iYear = 2024 and igrade = 1"));
    EXPECT_GE(first, 140);
    EXPECT_LE(first, 170);
    for (int grade : {2, 3})
        EXPECT_GT(
            db.count(
                QStringLiteral("select count(*) from code where iYear = 2024 and igrade = %1").arg(grade)),
            20)
            << "grade " << grade;
    // The class follows the code's first digit, as in the standard numbering.
    EXPECT_EQ(db.count(QStringLiteral("select count(*) from code c join host_class h on h.cclass = c.cclass "
                                      "where substr(c.ccode, 1, 1) <> cast(h.iPosition + 1 as text)")),
              0);
}

// Accounts every accountant expects, with what the dialog shows and filters on.
struct KnownAccount {
    const char* code;
    int grade;
    const char* row; // ccode_name|ccode_engl|chelp|br|be|bend|cexch_name|cmeasure|bclose
};

void PrintTo(const KnownAccount& a, std::ostream* os) {
    *os << a.code;
}

class StandardAccount : public ::testing::TestWithParam<KnownAccount> {};

TEST_P(StandardAccount, HasItsNamesAndFlags) {
    TestDb db(standardFile());
    const KnownAccount& a = GetParam();
    EXPECT_EQ(db.count(QStringLiteral("select igrade from code where iYear = 2024 and ccode = '%1'")
                           .arg(QLatin1String(a.code))),
              a.grade);
    EXPECT_EQ(db.rows(QStringLiteral(
                          "select ccode_name, ccode_engl, chelp, br, be, bend, cexch_name, cmeasure, bclose "
                          "from code where iYear = 2024 and ccode = '%1'")
                          .arg(QLatin1String(a.code))),
              QStringList{QString::fromUtf8(a.row)});
}

INSTANTIATE_TEST_SUITE_P(
    Chart, StandardAccount,
    ::testing::Values(
        KnownAccount{"1001", 1, "库存现金|Cash on hand|KCXJ|1|0|1|NULL|NULL|0"},
        KnownAccount{"1002", 1, "银行存款|Cash in bank|YHCK|1|1|0|NULL|NULL|0"},
        KnownAccount{"100201", 2, "工商银行|Industrial and Commercial Bank of China|GSYH|1|1|0|NULL|NULL|0"},
        KnownAccount{"10020101", 3, "人民币户|RMB account|RMBH|1|1|1|NULL|NULL|0"},
        KnownAccount{"10020102", 3, "美元户|USD account|MYH|1|1|1|美元|NULL|0"},
        KnownAccount{"1012", 1, "其他货币资金|Other monetary funds|QTHBZJ|0|0|0|NULL|NULL|0"},
        KnownAccount{"1122", 1, "应收账款|Accounts receivable|YSZK|0|0|0|NULL|NULL|0"},
        KnownAccount{"140301", 2, "原料及主要材料|Raw and principal materials|YLJZYCL|0|0|1|NULL|吨|0"},
        KnownAccount{"2221", 1, "应交税费|Taxes payable|YJSF|0|0|0|NULL|NULL|0"},
        KnownAccount{"222101", 2, "应交增值税|VAT payable|YJZZS|0|0|0|NULL|NULL|0"},
        KnownAccount{"22210101", 3, "进项税额|Input VAT|JXSE|0|0|1|NULL|NULL|0"},
        KnownAccount{"222106", 2, "应交营业税|Business tax payable|YJYYS|0|0|1|NULL|NULL|1"},
        KnownAccount{"6602", 1, "管理费用|Administrative expenses|GLFY|0|0|0|NULL|NULL|0"},
        KnownAccount{"6901", 1,
                     "以前年度损益调整|Prior-year profit and loss adjustments|YQNDSYTZ|0|0|1|NULL|NULL|0"}));

// Each auxiliary combination the attribute display tells apart (exactly these kinds, no more).
struct Combination {
    const char* name;
    int person, customer, supplier, department, project;
};

void PrintTo(const Combination& c, std::ostream* os) {
    *os << c.name;
}

class AuxiliaryCombination : public ::testing::TestWithParam<std::tuple<const char*, Combination>> {};

TEST_P(AuxiliaryCombination, HasAnAccount) {
    const auto& [templateName, c] = GetParam();
    TestDb db(accountSetFile(QString::fromLatin1(templateName)));
    EXPECT_GT(
        db.count(QStringLiteral("select count(*) from code where bperson = %1 and bcus = %2 and bsup = %3 "
                                "and bdept = %4 and bitem = %5")
                     .arg(c.person)
                     .arg(c.customer)
                     .arg(c.supplier)
                     .arg(c.department)
                     .arg(c.project)),
        0);
}

INSTANTIATE_TEST_SUITE_P(
    Display, AuxiliaryCombination,
    ::testing::Combine(
        ::testing::Values("standard", "generated:2000"),
        ::testing::Values(
            Combination{"personal", 1, 0, 0, 0, 0}, Combination{"customer", 0, 1, 0, 0, 0},
            Combination{"supplier", 0, 0, 1, 0, 0}, Combination{"department", 0, 0, 0, 1, 0},
            Combination{"project", 0, 0, 0, 0, 1}, Combination{"customer_department", 0, 1, 0, 1, 0},
            Combination{"department_project", 0, 0, 0, 1, 1}, Combination{"customer_project", 0, 1, 0, 0, 1},
            Combination{"supplier_department", 0, 0, 1, 1, 0}, Combination{"supplier_project", 0, 0, 1, 0, 1},
            Combination{"personal_project", 1, 0, 0, 0, 1},
            Combination{"customer_department_project", 0, 1, 0, 1, 1},
            Combination{"supplier_department_project", 0, 0, 1, 1, 1})),
    [](const auto& info) {
        std::string name = std::get<0>(info.param);
        std::replace(name.begin(), name.end(), ':', '_');
        return name + "_" + std::get<1>(info.param).name;
    });

// Every attribute box of the filter finds something, in both charts the demo and bench use.
class FilterAttribute : public ::testing::TestWithParam<std::tuple<const char*, const char*>> {};

TEST_P(FilterAttribute, MatchesSomeAccounts) {
    const auto& [templateName, condition] = GetParam();
    TestDb db(accountSetFile(QString::fromLatin1(templateName)));
    EXPECT_GT(db.count(QStringLiteral("select count(*) from code where %1").arg(QLatin1String(condition))),
              0);
}

INSTANTIATE_TEST_SUITE_P(Filter, FilterAttribute,
                         ::testing::Combine(::testing::Values("standard", "generated:2000"),
                                            ::testing::Values("not cexch_name is null",
                                                              "not cmeasure is null", "bend=1", "br=1",
                                                              "be=1", "bclose=1", "bclose=0",
                                                              "bclose=1 and bend=1", "br=1 and be=0")));

// Where accountants put each kind of auxiliary accounting: every posting account under the
// prefix carries the flag.
struct Practice {
    const char* prefix;
    const char* flag;
};

void PrintTo(const Practice& p, std::ostream* os) {
    *os << p.prefix << ' ' << p.flag;
}

class StandardPractice : public ::testing::TestWithParam<Practice> {};

TEST_P(StandardPractice, PostingAccountsCarryTheFlag) {
    TestDb db(standardFile());
    const Practice& p = GetParam();
    const QString under = QStringLiteral("from code where iYear = 2024 and bend = 1 and ccode like '%1%'")
                              .arg(QLatin1String(p.prefix));
    ASSERT_GT(db.count(QStringLiteral("select count(*) ") + under), 0);
    EXPECT_EQ(db.rows(QStringLiteral("select ccode ") + under +
                      QStringLiteral(" and %1 = 0").arg(QLatin1String(p.flag))),
              QStringList());
}

INSTANTIATE_TEST_SUITE_P(
    Chart, StandardPractice,
    ::testing::Values(Practice{"1001", "br"}, Practice{"1002", "br"}, Practice{"1002", "be"},
                      Practice{"1121", "bcus"}, Practice{"1122", "bcus"}, Practice{"1123", "bsup"},
                      Practice{"2202", "bsup"}, Practice{"2201", "bsup"}, Practice{"2203", "bcus"},
                      Practice{"122101", "bperson"}, Practice{"6601", "bdept"}, Practice{"6602", "bdept"},
                      Practice{"5101", "bdept"}, Practice{"1604", "bitem"}, Practice{"5301", "bitem"}));

TEST(StandardTemplate, OnlyBankAccountsAreBankAccounts) {
    TestDb db(standardFile());
    EXPECT_EQ(db.count(QStringLiteral("select count(*) from code where be = 1 and ccode not like '1002%'")),
              0);
    EXPECT_EQ(db.count(QStringLiteral(
                  "select count(*) from code where cmeasure is not null and ccode not like '14%'")),
              0);
}

TEST(BudgetTemplate, BudgetClassesComeLastAndTheSplitIsOn) {
    TestDb db(accountSetFile(QStringLiteral("budget")));
    EXPECT_EQ(
        db.rows(QStringLiteral("select iPosition from host_class where cKind like 'YS%' order by iPosition"))
            .join(u','),
        QStringLiteral("5,6,7"));
    EXPECT_EQ(db.count(QStringLiteral("select count(*) from host_class")), 8);
    EXPECT_EQ(
        db.rows(QStringLiteral("select cclass from host_class where iPosition >= 5 order by iPosition")),
        QStringList({QStringLiteral("预算收入"), QStringLiteral("预算支出"), QStringLiteral("预算结余")}));
    EXPECT_EQ(
        db.value(QStringLiteral("select cValue from host_setting where cName = 'ClassKindSplit'")).toString(),
        QStringLiteral("1"));
    // Both sides have accounts, so hiding either leaves something to pick.
    EXPECT_GT(db.count(QStringLiteral("select count(*) from code c join host_class h on h.cclass = c.cclass "
                                      "where h.cKind like 'YS%'")),
              0);
    EXPECT_GT(db.count(QStringLiteral("select count(*) from code c join host_class h on h.cclass = c.cclass "
                                      "where h.cKind not like 'YS%'")),
              0);
    EXPECT_EQ(db.rows(QStringLiteral("select distinct iYear from code")),
              QStringList{QStringLiteral("2024")});
}

TEST(GeneratedTemplate, ExactCountOverThirteenGradesAndSixClassesIn2024) {
    TestDb db(accountSetFile(QStringLiteral("generated:2000")));
    EXPECT_EQ(db.count(QStringLiteral("select count(*) from code where iYear = 2024")), 2000);
    EXPECT_EQ(db.count(QStringLiteral("select count(*) from code where iYear <> 2024")), 0);
    EXPECT_EQ(db.rows(QStringLiteral("select distinct igrade from code order by igrade")).join(u','),
              QStringLiteral("1,2,3,4,5,6,7,8,9,10,11,12,13"));
    EXPECT_EQ(db.count(QStringLiteral("select count(distinct cclass) from code")), 6);
    EXPECT_EQ(db.rows(QStringLiteral("select iYear from host_year order by iYear")).join(u','),
              QStringLiteral("2023,2024,2025"));
    // Wider near the top, as real charts are.
    EXPECT_GT(db.count(QStringLiteral("select count(*) from code where igrade = 2")),
              db.count(QStringLiteral("select count(*) from code where igrade = 13")));
}

TEST(GeneratedTemplate, SameCountSameChart) {
    const QString a = testFolder().filePath(QStringLiteral("same-a.db"));
    const QString b = testFolder().filePath(QStringLiteral("same-b.db"));
    sarvo::data::createAccountSet(a, QStringLiteral("generated:700"));
    sarvo::data::createAccountSet(b, QStringLiteral("generated:700"));
    const QString dump = QStringLiteral("select * from code order by ccode");
    TestDb dbA(a);
    TestDb dbB(b);
    const QStringList rowsA = dbA.rows(dump);
    EXPECT_EQ(rowsA.size(), 700);
    EXPECT_EQ(rowsA, dbB.rows(dump));
}

} // namespace
