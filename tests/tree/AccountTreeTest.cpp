// The filtered tree as the user sees it after typing into the filter box: the flat list under the
// classes or, with tree display ticked, the hierarchy with the ancestors of every match, which
// nodes the typed text opens, and which account ends selected.
#include "tests/support/DialogHarness.h"

using namespace sarvo;

namespace {

class AccountTreeTest : public sarvo::testing::EngineDialogHarness {};

// The bank branch of the hierarchy opened down to its first account, the rest of it closed.
const QStringList kBankBranch{"z 常用科目",
                              "a1 资产 [-]",
                              "  b1002 1002 银行存款 [-]",
                              "    b100201 100201 工商银行 [-]",
                              "      b10020101 10020101 人民币户 *",
                              "      b10020102 10020102 美元户",
                              "    b100202 100202 建设银行 [+]",
                              "      b10020201 10020201 人民币户",
                              "    b100203 100203 招商银行 [+]",
                              "      b10020301 10020301 人民币户",
                              "      b10020302 10020302 欧元户"};

TEST_P(AccountTreeTest, FilteredTreeShowsTheMatchesTheirAncestorsAndSelectsTheFirstAccount) {
    struct Case {
        const char* name;
        bool hierarchy;
        bool contains;
        const char* typed;
        QStringList expected; // whole tree, see DialogHarness::treeLines
    };
    const std::vector<Case> cases = {
        {"flat, every grade side by side", false, false, "100201",
         QStringList{"z 常用科目", "a1 资产 [-]", "  b100201 100201 工商银行 *",
                     "  b10020101 10020101 人民币户", "  b10020102 10020102 美元户"} +
             plainClasses(2)},
        {"flat, two classes, the first one selected", false, false, "GSYH",
         QStringList{"z 常用科目", "a1 资产 [-]", "  b100201 100201 工商银行 *", "a2 负债 [-]",
                     "  b200101 200101 工商银行"} +
             plainClasses(3)},
        {"flat, the first class with matches gets the selection", false, false, "3001",
         QStringList{"z 常用科目", "a1 资产", "a2 负债", "a3 共同 [-]", "  b3001 3001 清算资金往来 *"} +
             plainClasses(4)},
        {"flat, nothing matches", false, false, "qqq", plainClasses(1, true)},
        {"hierarchy, exact code opens its ancestors", true, false, "10020101",
         QStringList{"z 常用科目", "a1 资产 [-]", "  b1002 1002 银行存款 [-]",
                     "    b100201 100201 工商银行 [-]", "      b10020101 10020101 人民币户 *"} +
             plainClasses(2)},
        // The mnemonic matches no code: only the way to the selected account opens.
        {"hierarchy, a name match opens only the way to the selection", true, false, "GSYH",
         QStringList{"z 常用科目", "a1 资产 [-]", "  b1002 1002 银行存款 [-]",
                     "    b100201 100201 工商银行 *", "a2 负债 [-]", "  b2001 2001 短期借款 [+]",
                     "    b200101 200101 工商银行"} +
             plainClasses(3)},
        {"hierarchy, a code prefix is no match", true, false, "10020", kBankBranch + plainClasses(2)},
        {"hierarchy, contains opens every code holding the text", true, true, "0202",
         QStringList{"z 常用科目", "a1 资产 [-]", "  b1002 1002 银行存款 [-]",
                     "    b100202 100202 建设银行 [-]", "      b10020201 10020201 人民币户 *", "a2 负债 [-]",
                     "  b2202 2202 应付账款 [-]", "    b220202 220202 应付工程款",
                     "  b2502 2502 应付债券 [-]", "    b250202 250202 利息调整", "a3 共同", "a4 权益 [-]",
                     "  b4002 4002 资本公积 [-]", "    b400202 400202 其他资本公积", "a5 成本", "a6 损益 [-]",
                     "  b6602 6602 管理费用 [-]", "    b660202 660202 办公费"}},
        {"hierarchy, nothing matches", true, false, "qqq", plainClasses(1, true)},
    };
    for (const Case& c : cases) {
        storeTreeDisplay(c.hierarchy);
        storeOption("IntSarvoFilter", c.contains ? "1" : "0");
        open();
        typeFilter(c.typed);
        EXPECT_EQ(treeLines(), c.expected) << c.name;
        // Whatever ends selected is on screen: the selection opens the way to it.
        if (!selectedKey().isEmpty()) {
            EXPECT_TRUE(isVisible(selectedKey())) << c.name;
        }
        EXPECT_TRUE(messages().isEmpty()) << c.name;
    }
}

// A node's text is its code, a blank and its name as the engine gives it, whatever the name holds,
// in both layouts (the hierarchy reads the names below the first grade one statement per node).
TEST_P(AccountTreeTest, NodeTextsKeepTheNameAsStoredWhateverItHolds) {
    const struct {
        const char* code;
        const char* name; // nullptr: null
        const char* text;
    } cases[] = {
        {"108901", nullptr, "108901 "},
        {"108902", "", "108902 "},
        {"108903", "Cash 現金 ｃａｓｈ", "108903 Cash 現金 ｃａｓｈ"},
        {"108904", "\xF0\xA0\x80\x80\xF0\xAA\x9A\xB2 beyond the basic plane",
         "108904 \xF0\xA0\x80\x80\xF0\xAA\x9A\xB2 beyond the basic plane"},
        {"108905", "it's", "108905 it's"},
    };
    addAccount(QStringLiteral("资产"), QStringLiteral("1089"), QStringLiteral("上级"));
    for (const auto& c : cases) {
        addAccount(QStringLiteral("资产"), QString::fromLatin1(c.code), QStringLiteral("x"));
        // Bound rather than written into the text: SQLite's ODBC driver cannot take characters
        // beyond the basic plane in a statement's text.
        host.exec(GetParam()->name == QLatin1String("postgresql")
                      ? QStringLiteral("update code set ccode_name=$1 where iYear=2024 and ccode=$2")
                      : QStringLiteral("update code set ccode_name=? where iYear=2024 and ccode=?"),
                  {c.name ? sarvo::db::SqlValue::ofText(QString::fromUtf8(c.name)) : sarvo::db::SqlValue(),
                   sarvo::db::SqlValue::ofText(QString::fromLatin1(c.code))});
    }
    for (const bool hierarchy : {true, false}) {
        storeTreeDisplay(hierarchy);
        open();
        typeFilter(QStringLiteral("1089"));
        for (const auto& c : cases) {
            const QModelIndex node = indexOfKey(QStringLiteral("b") + QString::fromLatin1(c.code));
            ASSERT_TRUE(node.isValid()) << c.code;
            EXPECT_EQ(node.data().toString(), QString::fromUtf8(c.text))
                << c.code << (hierarchy ? " hierarchy" : " flat");
        }
    }
}

TEST_P(AccountTreeTest, AMatchOpensLaterSiblingsOfItsBranchButNotTheNextBranchNorAccountsBelowIt) {
    // Accounts that reach the filter through their English names.
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

TEST_P(AccountTreeTest, TheHostsInitialTextBuildsTheTreeTypingWouldBuild) {
    for (const char* text : {"100201", "0202"}) {
        open();
        typeFilter(text);
        const QStringList typed = treeLines();
        open(Variant(QString(text)));
        EXPECT_EQ(treeLines(), typed) << text;
    }
}

TEST_P(AccountTreeTest, TreeDisplayBoxChoosesTheLayoutOfTheNextBuild) {
    open();
    ASSERT_EQ(chkTreeDisp().Value(), 1) << "a new account set starts with the hierarchy";
    typeFilter("100201");
    click(chkTreeDisp());
    EXPECT_EQ(childKeys("a1"), QStringList{"b1002"}) << "ticking alone rebuilds nothing";
    typeFilter("01");
    EXPECT_EQ(childKeys("a1"), QStringList{"b10020101"});
    click(chkTreeDisp());
    clearFilter();
    typeFilter("10020101");
    EXPECT_EQ(childKeys("a1"), QStringList{"b1002"});
    EXPECT_EQ(selectedKey(), "b10020101");
}

TEST_P(AccountTreeTest, StatementsOfTheHierarchyBuildOverItsTemporaryTable) {
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
    const QString tail = " and code.iYear=2024 order by code.ccode ";
    EXPECT_EQ(
        statements(),
        QStringList({"drop table " + table,
                     "select  * into " + table +
                         "  from code  where  iYear=2024 and ( bclose=0 and  ( ccode like N'10020101%' or  "
                         "ccode_name like N'10020101%' or ccode_engl like N'10020101%' or  chelp like "
                         "N'10020101%' )) order by ccode ",
                     join + "code.igrade=1" + tail, join + "code.ccode like '1002%' and code.igrade=2" + tail,
                     join + "code.ccode like '100201%' and code.igrade=3" + tail,
                     join + "code.ccode like '10020101%' and code.igrade=4" + tail, "drop table " + table}));
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_FALSE(connection()->tryExecute("select * from " + table)) << "dropped after the build";

    // Another year while the dialog is open: every statement of the next build names it.
    basSarvo::iYear() = 2023;
    clearFilter();
    clearStatements();
    typeFilter("1");
    const QStringList next = statements().mid(2); // after the drop and the select-into
    ASSERT_GT(next.filter("code.ccode like '").size(), 0) << next.join('\n').toStdString();
    for (const QString& s : next.mid(0, next.size() - 1))
        EXPECT_TRUE(s.endsWith(" and code.iYear=2023 order by code.ccode ")) << s.toStdString();
    basSarvo::iYear() = 2024;
}

TEST_P(AccountTreeTest, AccountOfAClassTheHostDoesNotListIsLeftOut) {
    addAccount("其他", "1999", "未列类别");
    for (const bool hierarchy : {false, true}) {
        storeTreeDisplay(hierarchy);
        open();
        typeFilter("199");
        EXPECT_EQ(treeLines(), plainClasses(1, true)) << hierarchy;
    }
}

TEST_P(AccountTreeTest, AttributeFilterTreeOpensNoAccountByMatch) {
    // Bank accounts only: with no typed text to match, only the way to the selection opens.
    open();
    click(chkChoice(9));
    click(cmdGL());
    EXPECT_EQ(treeLines(), kBankBranch + plainClasses(2));
}

SARVO_ON_EVERY_ENGINE(AccountTreeTest);

} // namespace
