// Clicking through the unfiltered tree (one level per first click, nothing on later clicks), the
// recently used list under its group node, the double-click rules, and clicks in a filtered tree.
#include "tests/support/DialogHarness.h"

using namespace sarvo;

namespace {

class TreeEventsTest : public sarvo::testing::EngineDialogHarness {};

const QString kRecentlyUsed =
    "select cuser,code.ccode as ccode,code.ccode_name as ccode_name,code.ccode_engl as ccode_engl from "
    "GL_mcodeused,code where cuser=N'demo' and GL_mcodeused.ccode=code.ccode and code.iyear=2024order by "
    "GL_mcodeused.ccode";

TEST_P(TreeEventsTest, EachFirstClickLoadsTheLevelBelowAndLaterClicksLoadNothing) {
    struct Step {
        const char* click;
        QStringList statements;
        QStringList children; // of the clicked node afterwards; first ones only when long
        const char* highlighted;
        bool openAfterwards;
    };
    const std::vector<Step> steps = {
        {"a1", {classLevel("资产")}, {"b1001", "b1002", "b1003", "b1011"}, "", true},
        {"b1002", {gradeLevel(2, "1002")}, {"c100201", "c100202", "c100203"}, "8 9", false},
        {"b1002", {}, {"c100201", "c100202", "c100203"}, "8 9", true},
        {"c100201", {gradeLevel(3, "100201")}, {"d10020101", "d10020102"}, "8 9", true},
        {"d10020102", {gradeLevel(4, "10020102")}, {}, "5 7 8 9", false},
        {"d10020102", {gradeLevel(4, "10020102")}, {}, "5 7 8 9", false}, // a leaf looks again
        {"c100201", {}, {"d10020101", "d10020102"}, "8 9", false},
        {"a2", {classLevel("负债")}, {"b2001", "b2002", "b2003", "b2004"}, "", false},
    };
    open();
    for (const Step& s : steps) {
        clearStatements();
        clickNode(s.click);
        EXPECT_EQ(statements(), s.statements) << s.click;
        EXPECT_EQ(childKeys(s.click).mid(0, s.children.size()), s.children) << s.click;
        EXPECT_EQ(selectedKey(), s.click);
        EXPECT_EQ(highlightedBoxes(), s.highlighted) << s.click;
        if (s.openAfterwards && !isExpanded(s.click)) toggleNode(s.click);
    }
    EXPECT_EQ(
        childKeys("a1").size(),
        host.scalar("select count(*) from code where iYear=2024 and igrade=1 and cclass='资产' and bclose=0")
            .toInt());
    EXPECT_FALSE(childKeys("a1").contains("b1503")) << "closed accounts stay hidden";
    EXPECT_FALSE(confirmed());
    EXPECT_TRUE(messages().isEmpty());
}

TEST_P(TreeEventsTest, KeysFollowTheGradeLettersDownToTheThirteenthGrade) {
    const QStringList keys = addGradeChain(13);
    open();
    openNode("a1");
    for (int i = 0; i < keys.size() - 1; ++i) {
        clearStatements();
        openNode(keys[i]);
        EXPECT_EQ(statements(), QStringList{gradeLevel(i + 2, keys[i].mid(1))}) << keys[i].toStdString();
        EXPECT_EQ(childKeys(keys[i]), QStringList{keys[i + 1]});
    }
    clearStatements();
    clickNode(keys.last());
    EXPECT_EQ(statements(), QStringList()) << "nothing lies below the thirteenth grade";
    EXPECT_EQ(selectedKey(), keys.last());
    EXPECT_EQ(highlightedBoxes(), "7");
}

TEST_P(TreeEventsTest, AParentWhoseChildrenAreAllClosedStaysALeafWhileClosedAccountsAreHidden) {
    addAccount("资产", "100301", "已封存明细", "Closed detail", true);
    open();
    openNode("a1");
    clearStatements();
    clickNode("b1003");
    EXPECT_EQ(statements(), QStringList{gradeLevel(2, "1003")});
    EXPECT_EQ(childKeys("b1003"), QStringList());
    EXPECT_EQ(selectedKey(), "b1003");
    // With the not-closed box cleared and applied, the same click finds the closed account.
    click(ChkFfc());
    click(cmdGL());
    openNode("a1");
    EXPECT_EQ(statements().last(),
              "select * from code where    igrade=1 and cclass=N'资产' and iYear=2024 order by ccode");
    EXPECT_TRUE(childKeys("a1").contains("b1503"));
    clickNode("b1003");
    EXPECT_EQ(childKeys("b1003"), QStringList{"c100301"});
}

TEST_P(TreeEventsTest, ClassesPastTheNinthGetTwoDigitKeysThatAddressTheirOwnClass) {
    addClassesUpTo(9);
    addAccount("类9", "9901", "备查登记");
    storeTreeDisplay(false);
    open();
    clickNode("a10");
    EXPECT_EQ(statements(), QStringList{classLevel("类9")});
    EXPECT_EQ(childKeys("a10"), QStringList{"b9901"});
    clickNode("a7");
    EXPECT_EQ(childKeys("a7"), QStringList()) << "a class without accounts stays empty";
    typeFilter("9901");
    EXPECT_EQ(treeLines(), plainClasses(1, true) + QStringList({"a7 类6", "a8 类7", "a9 类8", "a10 类9 [-]",
                                                                "  b9901 9901 备查登记 *"}));
}

TEST_P(TreeEventsTest, RecentlyUsedListLoadsOnceUnderTheGroup) {
    addRecentRows({"demo:100201", "demo:1001", "demo:1503", "demo:9999", "accountant:1002"});
    host.exec("update code set ccode_name=null where ccode='100201'");
    open();
    clickNode("z");
    EXPECT_EQ(statements(), QStringList{kRecentlyUsed});
    toggleNode("z");
    // In code order, closed accounts too; other users' rows and codes outside the chart are not shown.
    EXPECT_EQ(treeLines(true).mid(0, 4), (QStringList{"z 常用科目 [-] *", "  y1001 1001 库存现金",
                                                      "  y100201 100201 ", "  y1503 1503 可供出售金融资产"}));
    EXPECT_EQ(highlightedBoxes(), "");
    clearStatements();
    clickNode("z");
    EXPECT_EQ(statements(), QStringList());
    EXPECT_EQ(childKeys("z").size(), 3);
    clickNode("y1001");
    EXPECT_EQ(statements(), QStringList()) << "an entry loads nothing";
    EXPECT_EQ(highlightedBoxes(), "7 8");
}

TEST_P(TreeEventsTest, DoubleClickConfirmsOnlyAnAccountOrEntryWithoutChildren) {
    struct Case {
        const char* name;
        QStringList openFirst;
        const char* target;        // nullptr: empty space below the nodes
        const char* confirmedCode; // nullptr: nothing confirmed
    };
    const std::vector<Case> cases = {
        {"class, its level loading on the first press", {}, "a1", nullptr},
        {"class without accounts", {}, "a7", nullptr},
        {"empty group", {}, "z", nullptr},
        {"group with entries", {"z"}, "z", nullptr},
        {"account with children", {"a1"}, "b1002", nullptr},
        {"account without children", {"a1"}, "b1001", "1001"},
        {"deepest account of a branch", {"a1", "b1002", "c100201"}, "d10020102", "10020102"},
        {"recently used entry", {"z"}, "y100201", "100201"},
        {"nothing selected", {}, nullptr, nullptr},
    };
    addClassesUpTo(6);
    addRecentRows({"demo:100201"});
    for (const Case& c : cases) {
        attrib()->putAt(7, Variant(false));
        open();
        for (const QString& key : c.openFirst)
            openNode(key);
        if (c.target) {
            doubleClickNode(c.target);
        } else {
            ASSERT_EQ(selectedKey(), "");
            QTest::mouseDClick(tree().viewport(), Qt::LeftButton, {},
                               QPoint(5, tree().viewport()->height() - 5));
        }
        EXPECT_EQ(confirmed(), c.confirmedCode != nullptr) << c.name;
        EXPECT_EQ(form->Timer1().Enabled(), c.confirmedCode != nullptr) << c.name;
        if (c.confirmedCode) {
            EXPECT_EQ(attrib()->getAt(3).toString(), c.confirmedCode) << c.name;
        }
        EXPECT_TRUE(messages().isEmpty()) << c.name;
    }
}

TEST_P(TreeEventsTest, ClicksInAFilteredTreeLoadNothing) {
    addRecentRows({"demo:1001"});
    open();
    typeFilter("GSYH");
    clearStatements();
    clickNode("z");
    EXPECT_EQ(childKeys("z"), QStringList()) << "the group stays empty while a filter is in force";
    EXPECT_EQ(selectedKey(), "z");
    clickNode("b2001");
    EXPECT_EQ(selectedKey(), "b2001");
    EXPECT_FALSE(isExpanded("b2001")) << "a click selects, it does not open";
    toggleNode("b2001");
    clickNode("b200101");
    EXPECT_EQ(selectedKey(), "b200101");
    EXPECT_EQ(highlightedBoxes(), "7");
    doubleClickNode("a2");
    EXPECT_FALSE(confirmed());
    EXPECT_EQ(statements(), QStringList());
}

class EnglishTreeEventsTest : public sarvo::testing::EngineDialogHarness {
protected:
    EnglishTreeEventsTest() : EngineDialogHarness("standard", "2024", "en-us") {}
};

TEST_P(EnglishTreeEventsTest, LevelsAndTheFilteredTreeCarryTheEnglishNames) {
    open();
    openNode("a1");
    EXPECT_EQ(statements(), QStringList{"select * from code where  bclose=0 and  igrade=1 and cClass=N'资产' "
                                        "and iYear=2024 order by ccode"});
    openNode("b1002");
    EXPECT_EQ(treeLines(true).mid(0, 7),
              (QStringList{"z Favorite accounts", "a1 Assets [-]", "  b1001 1001 Cash on hand",
                           "  b1002 1002 Cash in bank [-] *",
                           "    c100201 100201 Industrial and Commercial Bank of China",
                           "    c100202 100202 China Construction Bank",
                           "    c100203 100203 China Merchants Bank"}));
    typeFilter("1002010");
    EXPECT_EQ(treeLines(),
              (QStringList{"z Favorite accounts", "a1 Assets [-]", "  b1002 1002 Cash in bank [-]",
                           "    b100201 100201 Industrial and Commercial Bank of China [-]",
                           "      b10020101 10020101 RMB account *", "      b10020102 10020102 USD account",
                           "a2 Liabilities", "a3 Common", "a4 Equity", "a5 Cost", "a6 Profit and Loss"}));
}

SARVO_ON_EVERY_ENGINE(TreeEventsTest);
SARVO_ON_EVERY_ENGINE(EnglishTreeEventsTest);

} // namespace
