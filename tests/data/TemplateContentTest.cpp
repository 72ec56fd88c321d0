// What each template puts in front of the host and the dialog: classes and their texts, the
// code scheme, settings, years, operators, options, and the accounts the attribute filter and
// display are exercised with.
#include "TestDb.h"

namespace {

TEST(StandardTemplate, ClassesSchemeSettingsOptionsAndAccountsEveryAccountantExpects) {
    TestDb db(accountSetFile("standard"));
    EXPECT_EQ(
        db.rows(
            "select cclass, cKind, cText_zhcn, cText_zhtw, cText_enus from host_class order by iPosition"),
        QStringList({"资产|01|资产|資產|Assets", "负债|02|负债|負債|Liabilities", "共同|03|共同|共同|Common",
                     "权益|04|权益|權益|Equity", "成本|05|成本|成本|Cost",
                     "损益|06|损益|損益|Profit and Loss"}));
    EXPECT_EQ(db.rows("select iLength from host_scheme order by iGrade").join(u','),
              "4,6,8,10,12,14,16,18,20,22,24,26,28");
    EXPECT_EQ(db.value("select max(igrade) from code"), "3");
    EXPECT_EQ(
        db.rows("select cName, cValue <> '' from host_setting where cName like 'AccountSet%' order by 1"),
        QStringList({"AccountSetName|1", "AccountSetNumber|1"}));
    EXPECT_EQ(db.value("select cValue from host_setting where cName = 'ClassKindSplit'"), "0");
    EXPECT_EQ(db.value("select cUser_Name from host_user where cUser_Id = 'demo'"), "演示用户");
    // Host options are there, but not the dialog's own two: it creates them on first use.
    EXPECT_EQ(db.value("select sum(cName like 'IntSarvo%') from AccInformation"), "0");
    EXPECT_GE(db.codes("iYear = 2024 and igrade = 1"), 140);
    EXPECT_LE(db.codes("iYear = 2024 and igrade = 1"), 170);
    // Accounts every accountant expects, with what the dialog shows and filters on; bank
    // accounts and quantities only where they belong.
    EXPECT_EQ(
        db.rows("select ccode, igrade, ccode_name, ccode_engl, chelp, br, be, bend, cexch_name, cmeasure, "
                "bclose from code where iYear = 2024 and ccode in ('1001', '100201', '10020102', '140301', "
                "'222106', '6901') order by ccode"),
        QStringList(
            {"1001|1|库存现金|Cash on hand|KCXJ|1|0|1|NULL|NULL|0",
             "100201|2|工商银行|Industrial and Commercial Bank of China|GSYH|1|1|0|NULL|NULL|0",
             "10020102|3|美元户|USD account|MYH|1|1|1|美元|NULL|0",
             "140301|2|原料及主要材料|Raw and principal materials|YLJZYCL|0|0|1|NULL|吨|0",
             "222106|2|应交营业税|Business tax payable|YJYYS|0|0|1|NULL|NULL|1",
             "6901|1|以前年度损益调整|Prior-year profit and loss adjustments|YQNDSYTZ|0|0|1|NULL|NULL|0"}));
    EXPECT_EQ(db.codes("be = 1 and ccode not like '1002%' or cmeasure is not null and ccode not like '14%'"),
              0);
}

TEST(StandardTemplate, YearsTwentyThreeSmallerTwentyFourFullTwentyFiveEmpty) {
    TestDb db(accountSetFile("standard"));
    EXPECT_EQ(db.rows("select iYear from host_year order by iYear").join(u','), "2023,2024,2025");
    EXPECT_EQ(db.rows("select distinct iYear from code order by iYear").join(u','), "2023,2024");
    EXPECT_LT(db.codes("iYear = 2023"), db.codes("iYear = 2024"));
    EXPECT_EQ(db.codes("iYear = 2023 and ccode not in (select ccode from code where iYear = 2024)"), 0)
        << "2023 holds nothing that 2024 dropped";
    // An account whose third grade arrives in 2024 takes postings in 2023 only.
    EXPECT_EQ(db.rows("select iYear, bend from code where ccode = '660213' order by iYear"),
              QStringList({"2023|1", "2024|0"}));
}

// Every auxiliary combination the attribute display tells apart (exactly these kinds, no more)
// and every attribute box of the filter finds accounts, in both charts the demo and bench use.
TEST(Templates, EveryAttributeCombinationAndFilterBoxHasAccounts) {
    QStringList conditions =
        QStringLiteral("cexch_name is not null;cmeasure is not null;bend = 1;br = 1;be = 1;"
                       "bclose = 1;bclose = 0;bclose = 1 and bend = 1;br = 1 and be = 0")
            .split(u';');
    // Person, customer, supplier, department, project.
    for (const char* kinds : {"10000", "01000", "00100", "00010", "00001", "01010", "00011", "01001", "00110",
                              "00101", "10001", "01011", "00111"})
        conditions << QStringLiteral("bperson || bcus || bsup || bdept || bitem = '%1'").arg(kinds);
    for (const char* name : {"standard", "generated:2000"}) {
        TestDb db(accountSetFile(name));
        for (const QString& condition : conditions)
            EXPECT_GT(db.codes(condition), 0) << name << ": " << condition.toStdString();
    }
}

TEST(BudgetTemplate, BudgetClassesComeLastAndTheSplitIsOn) {
    TestDb db(accountSetFile("budget"));
    EXPECT_EQ(db.rows("select iPosition, cclass from host_class where cKind like 'YS%' order by iPosition"),
              QStringList({"5|预算收入", "6|预算支出", "7|预算结余"}));
    EXPECT_EQ(db.value("select max(iPosition) from host_class"), "7");
    EXPECT_EQ(db.value("select cValue from host_setting where cName = 'ClassKindSplit'"), "1");
    // Both sides have accounts, so hiding either leaves something to pick.
    EXPECT_EQ(
        db.rows("select distinct h.cKind like 'YS%' from code c join host_class h on h.cclass = c.cclass "
                "order by 1"),
        QStringList({"0", "1"}));
    EXPECT_EQ(db.rows("select distinct iYear from code"), QStringList{"2024"});
}

TEST(GeneratedTemplate, ExactlyNAccountsOverThirteenGradesAndSixClassesTheSameEveryTime) {
    TestDb db(accountSetFile("generated:2000"));
    EXPECT_EQ(db.codes("iYear = 2024"), 2000);
    EXPECT_EQ(db.codes("iYear <> 2024"), 0);
    EXPECT_EQ(db.value("select count(distinct igrade) || ' ' || count(distinct cclass) from code"), "13 6");
    EXPECT_EQ(db.rows("select iYear from host_year order by iYear").join(u','), "2023,2024,2025");
    EXPECT_GT(db.codes("igrade = 2"), db.codes("igrade = 13")) << "wider near the top, as real charts are";

    const QString again = testFolder().filePath("generated-again.db");
    sarvo::data::createAccountSet(again, "generated:2000");
    const QString dump = "select * from code order by ccode";
    EXPECT_EQ(TestDb(again).rows(dump), db.rows(dump));
}

} // namespace
