// The filtered tree as the user sees it after typing into the filter box: the flat list under the
// classes or, with tree display ticked, the hierarchy with the ancestors of every match, which
// nodes the typed text opens, and which account ends selected.
#include "tests/support/DialogHarness.h"

using namespace sarvo;

namespace {

class AccountTreeTest : public sarvo::testing::DialogHarness {};

// The classes of the standard set with nothing below them, for the rest of an expected tree.
QStringList plainClasses(int from) {
    const QStringList all{"a1 资产", "a2 负债", "a3 共同", "a4 权益", "a5 成本", "a6 损益"};
    return all.mid(from - 1);
}

struct TreeCase {
    const char* name;
    bool hierarchy;
    bool contains;
    QString typed;
    QStringList expected; // whole tree, see DialogHarness::treeLines
};

void PrintTo(const TreeCase& c, std::ostream* os) {
    *os << c.name;
}

class FilteredTree : public AccountTreeTest, public ::testing::WithParamInterface<TreeCase> {};

TEST_P(FilteredTree, ShowsTheMatchesTheirAncestorsAndSelectsTheFirstAccount) {
    const TreeCase& c = GetParam();
    storeTreeDisplay(c.hierarchy);
    storeOption("IntSarvoFilter", c.contains ? "1" : "0");
    open();
    typeFilter(c.typed);
    EXPECT_EQ(treeLines(), c.expected);
    // Whatever ends selected is on screen: the selection opens the way to it.
    const QString selected = selectedKey();
    if (!selected.isEmpty()) {
        EXPECT_TRUE(isVisible(selected)) << selected.toStdString();
    }
    EXPECT_TRUE(messages().isEmpty()) << messages().join('\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, FilteredTree,
    ::testing::Values(
        TreeCase{"flat_every_grade_side_by_side", false, false, "100201",
                 QStringList{"z 常用科目", "a1 资产 [-]", "  b100201 100201 工商银行 *",
                             "  b10020101 10020101 人民币户", "  b10020102 10020102 美元户"} +
                     plainClasses(2)},
        TreeCase{"flat_two_classes_first_one_selected", false, false, "GSYH",
                 QStringList{"z 常用科目", "a1 资产 [-]", "  b100201 100201 工商银行 *", "a2 负债 [-]",
                             "  b200101 200101 工商银行"} +
                     plainClasses(3)},
        TreeCase{
            "flat_first_class_with_matches_gets_the_selection", false, false, "3001",
            QStringList{"z 常用科目", "a1 资产", "a2 负债", "a3 共同 [-]", "  b3001 3001 清算资金往来 *"} +
                plainClasses(4)},
        TreeCase{"flat_nothing_matches", false, false, "qqq", QStringList{"z 常用科目"} + plainClasses(1)},
        TreeCase{"hierarchy_exact_code_opens_its_ancestors", true, false, "10020101",
                 QStringList{"z 常用科目", "a1 资产 [-]", "  b1002 1002 银行存款 [-]",
                             "    b100201 100201 工商银行 [-]", "      b10020101 10020101 人民币户 *"} +
                     plainClasses(2)},
        // The mnemonic matches no code: only the way to the selected account opens.
        TreeCase{"hierarchy_name_match_opens_only_the_way_to_the_selection", true, false, "GSYH",
                 QStringList{"z 常用科目", "a1 资产 [-]", "  b1002 1002 银行存款 [-]",
                             "    b100201 100201 工商银行 *", "a2 负债 [-]", "  b2001 2001 短期借款 [+]",
                             "    b200101 200101 工商银行"} +
                     plainClasses(3)},
        TreeCase{"hierarchy_code_prefix_is_no_match", true, false, "10020",
                 QStringList{"z 常用科目", "a1 资产 [-]", "  b1002 1002 银行存款 [-]",
                             "    b100201 100201 工商银行 [-]", "      b10020101 10020101 人民币户 *",
                             "      b10020102 10020102 美元户", "    b100202 100202 建设银行 [+]",
                             "      b10020201 10020201 人民币户", "    b100203 100203 招商银行 [+]",
                             "      b10020301 10020301 人民币户", "      b10020302 10020302 欧元户"} +
                     plainClasses(2)},
        TreeCase{"hierarchy_contains_opens_every_code_holding_the_text", true, true, "0202",
                 QStringList{"z 常用科目", "a1 资产 [-]", "  b1002 1002 银行存款 [-]",
                             "    b100202 100202 建设银行 [-]", "      b10020201 10020201 人民币户 *",
                             "a2 负债 [-]", "  b2202 2202 应付账款 [-]", "    b220202 220202 应付工程款",
                             "  b2502 2502 应付债券 [-]", "    b250202 250202 利息调整", "a3 共同",
                             "a4 权益 [-]", "  b4002 4002 资本公积 [-]", "    b400202 400202 其他资本公积",
                             "a5 成本", "a6 损益 [-]", "  b6602 6602 管理费用 [-]",
                             "    b660202 660202 办公费"}},
        TreeCase{"hierarchy_begins_with_finds_nothing_in_the_middle", true, false, "0202",
                 QStringList{"z 常用科目"} + plainClasses(1)},
        TreeCase{"hierarchy_nothing_matches", true, false, "qqq",
                 QStringList{"z 常用科目"} + plainClasses(1)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AccountTreeTest, AMatchOpensLaterSiblingsOfItsFirstGradeBranchButNotTheNextBranch) {
    // Two more accounts reach the filter through their English names.
    host.exec(
        "update code set ccode_engl='100201 clearing' where iYear=2024 and ccode in ('10020301','101201')");
    open();
    typeFilter("100201");
    EXPECT_EQ(treeLines(),
              QStringList({"z 常用科目", "a1 资产 [-]", "  b1002 1002 银行存款 [-]",
                           "    b100201 100201 工商银行 [-]", "      b10020101 10020101 人民币户 *",
                           "      b10020102 10020102 美元户", "    b100203 100203 招商银行 [-]",
                           "      b10020301 10020301 人民币户", "  b1012 1012 其他货币资金 [+]",
                           "    b101201 101201 外埠存款"}) +
                  plainClasses(2));
}

TEST_F(AccountTreeTest, AccountsBelowTheMatchStayClosed) {
    host.exec("update code set ccode_engl='200101 petty cash' where iYear=2024 and ccode='1001'");
    addAccount("负债", "20010101", "一年期", "One year");
    addAccount("负债", "2001010101", "一年期甲", "One year A");
    addAccount("负债", "200201", "保证金明细", "200101 deposits");
    open();
    typeFilter("200101");
    EXPECT_EQ(treeLines(),
              QStringList({"z 常用科目", "a1 资产 [-]", "  b1001 1001 库存现金 *", "a2 负债 [-]",
                           "  b2001 2001 短期借款 [-]", "    b200101 200101 工商银行 [-]",
                           "      b20010101 20010101 一年期 [+]", "        b2001010101 2001010101 一年期甲",
                           "  b2002 2002 存入保证金 [+]", "    b200201 200201 保证金明细"}) +
                  plainClasses(3));
}

TEST_F(AccountTreeTest, TheHostsInitialTextBuildsTheTreeTypingWouldBuild) {
    for (const char* text : {"100201", "0202"}) {
        open();
        typeFilter(text);
        const QStringList typed = treeLines();
        open(Variant(QString(text)));
        EXPECT_EQ(treeLines(), typed) << text;
    }
}

TEST_F(AccountTreeTest, TreeDisplayBoxChoosesTheLayoutOfTheNextBuild) {
    open();
    ASSERT_EQ(chkTreeDisp().Value(), 1) << "a new account set starts with the hierarchy";
    typeFilter("100201");
    EXPECT_EQ(childKeys("a1"), QStringList{"b1002"});
    click(chkTreeDisp());
    EXPECT_EQ(childKeys("a1"), QStringList{"b1002"}) << "ticking alone rebuilds nothing";
    typeFilter("01");
    EXPECT_EQ(childKeys("a1"), QStringList{"b10020101"});
    EXPECT_EQ(selectedKey(), "b10020101");
    click(chkTreeDisp());
    clearFilter();
    typeFilter("10020101");
    EXPECT_EQ(childKeys("a1"), QStringList{"b1002"});
    EXPECT_EQ(selectedKey(), "b10020101");
}

TEST_F(AccountTreeTest, StatementsOfTheFlatBuild) {
    storeTreeDisplay(false);
    open();
    typeFilter("1");
    EXPECT_EQ(statements(),
              QStringList{"select * from code where  iYear=2024 and ( bclose=0 and  ( ccode like N'1%' or  "
                          "ccode_name like N'1%' or ccode_engl like N'1%' or  chelp like N'1%' )) order by "
                          "ccode "});
}

TEST_F(AccountTreeTest, StatementsOfTheHierarchyBuildOverItsTemporaryTable) {
    open();
    typeFilter("1002010");
    const QString table =
        "tempdb..[" + host.login->LoginId() + host.login->LoginStamp().toDisplayText() + "]";
    // A table left over from an earlier build of this login is dropped first.
    connection()->execute("select  * into " + table + "  from code  where  iYear=0");
    clearStatements();
    typeFilter("1");
    const QString join =
        "select distinct code.cclass,code.cClass,code.ccode,code.cCode_name,code.ccode_engl,code.igrade  "
        "from " +
        table + " inner join code on " + table + ".ccode like code.ccode+'%' where ";
    EXPECT_EQ(
        statements(),
        QStringList(
            {"drop table " + table,
             "select  * into " + table +
                 "  from code  where  iYear=2024 and ( bclose=0 and  ( ccode like N'10020101%' or  "
                 "ccode_name like N'10020101%' or ccode_engl like N'10020101%' or  chelp like N'10020101%' "
                 ")) order by ccode ",
             join + "code.igrade=1 and code.iYear=2024 order by code.ccode ",
             join + "code.ccode like '1002%' and code.igrade=2 and code.iYear=2024 order by code.ccode ",
             join + "code.ccode like '100201%' and code.igrade=3 and code.iYear=2024 order by code.ccode ",
             join + "code.ccode like '10020101%' and code.igrade=4 and code.iYear=2024 order by code.ccode ",
             "drop table " + table}));
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_FALSE(connection()->tryExecute("select * from " + table)) << "dropped after the build";
}

TEST_F(AccountTreeTest, AccountOfAClassTheHostDoesNotListIsLeftOut) {
    addAccount("其他", "1999", "未列类别");
    for (const bool hierarchy : {false, true}) {
        storeTreeDisplay(hierarchy);
        open();
        typeFilter("199");
        EXPECT_EQ(treeLines(), QStringList{"z 常用科目"} + plainClasses(1)) << hierarchy;
        EXPECT_EQ(selectedKey(), "");
    }
}

TEST_F(AccountTreeTest, ClassesPastTheNinthGetTwoDigitKeys) {
    addClassesUpTo(9);
    addAccount("类9", "9901", "备查登记");
    storeTreeDisplay(false);
    open();
    typeFilter("9901");
    const QStringList added{"a7 类6", "a8 类7", "a9 类8", "a10 类9 [-]", "  b9901 9901 备查登记 *"};
    EXPECT_EQ(treeLines(), QStringList{"z 常用科目"} + plainClasses(1) + added);
}

TEST_F(AccountTreeTest, AttributeFilterTreeOpensNoAccountByMatch) {
    // Bank accounts only: the typed-text test has nothing to match, so apart from the way to the
    // selected account every branch stays closed.
    open();
    click(chkChoice(9));
    click(cmdGL());
    EXPECT_EQ(treeLines(),
              QStringList({"z 常用科目", "a1 资产 [-]", "  b1002 1002 银行存款 [-]",
                           "    b100201 100201 工商银行 [-]", "      b10020101 10020101 人民币户 *",
                           "      b10020102 10020102 美元户", "    b100202 100202 建设银行 [+]",
                           "      b10020201 10020201 人民币户", "    b100203 100203 招商银行 [+]",
                           "      b10020301 10020301 人民币户", "      b10020302 10020302 欧元户"}) +
                  plainClasses(2));
}

class EnglishAccountTreeTest : public sarvo::testing::DialogHarness {
protected:
    EnglishAccountTreeTest() : DialogHarness("standard", "2024", "en-us") {}
};

TEST_F(EnglishAccountTreeTest, NodesCarryTheEnglishNames) {
    for (const bool hierarchy : {false, true}) {
        storeTreeDisplay(hierarchy);
        open();
        typeFilter("1002010");
        const QStringList expected =
            hierarchy ? QStringList{"z Recently used accounts",
                                    "a1 Assets [-]",
                                    "  b1002 1002 Cash in bank [-]",
                                    "    b100201 100201 Industrial and Commercial Bank of China [-]",
                                    "      b10020101 10020101 RMB account *",
                                    "      b10020102 10020102 USD account"}
                      : QStringList{"z Recently used accounts", "a1 Assets [-]",
                                    "  b10020101 10020101 RMB account *", "  b10020102 10020102 USD account"};
        const QStringList lines = treeLines();
        EXPECT_EQ(lines.mid(0, expected.size()), expected) << hierarchy;
        EXPECT_EQ(lines.mid(expected.size()),
                  (QStringList{"a2 Liabilities", "a3 Common", "a4 Equity", "a5 Cost", "a6 Profit and Loss"}));
    }
}

} // namespace
