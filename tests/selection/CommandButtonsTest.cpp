// The four buttons at the foot of the dialog: confirming an account (and what the host reads
// back), confirming one that has gone meanwhile, the recently used list, the account editor and
// cancel.
#include "tests/support/DialogHarness.h"

#include "host/controls/QzLabel.h"
#include "host/controls/Screen.h"
#include "host/services/CodeEditor.h"

#include <QRegularExpression>
#include <functional>

using namespace sarvo;

namespace {

class CommandButtonsTest : public sarvo::testing::EngineDialogHarness {
protected:
    QStringList returned() const {
        return {attrib()->getAt(3).toDisplayText(), attrib()->getAt(4).toDisplayText(),
                attrib()->getAt(5).toDisplayText()};
    }
    QString lookup(const QString& code) const {
        return "Select Top 1 * FROM code Where ccode= N'" + code + "' and iYear=2024 Order By ccode";
    }
};

struct ConfirmCase {
    const char* name;
    const char* arrange; // SQL on the account set, or ""
    std::function<void(CommandButtonsTest&)> select;
    QStringList returned; // code, name, English name
};

TEST_P(CommandButtonsTest, ConfirmReturnsTheSelectedAccountAndClosesTheDialog) {
    const auto typed = [](const char* text) { return [text](CommandButtonsTest& t) { t.typeFilter(text); }; };
    const std::vector<ConfirmCase> cases = {
        {"end-level account", "", typed("10020101"), {"10020101", "人民币户", "RMB account"}},
        {"account with children",
         "",
         [](CommandButtonsTest& t) {
             t.typeFilter("1002");
             t.clickNode("b1002");
         },
         {"1002", "银行存款", "Cash in bank"}},
        {"name holding blanks",
         "update code set ccode_name='现金 备用 金' where ccode='1001'",
         typed("1001"),
         {"1001", "现金 备用 金", "Cash on hand"}},
        {"no English name",
         "update code set ccode_engl=null where ccode='1001'",
         typed("1001"),
         {"1001", "库存现金", ""}},
        {"recently used entry",
         "insert into GL_mcodeused values('demo','100201')",
         [](CommandButtonsTest& t) {
             t.openNode("z");
             t.clickNode("y100201");
         },
         {"100201", "工商银行", "Industrial and Commercial Bank of China"}},
    };
    for (const ConfirmCase& c : cases) {
        if (*c.arrange) host.exec(QString::fromUtf8(c.arrange));
        open();
        c.select(*this);
        clearStatements();
        click(cmdButton(0));
        EXPECT_TRUE(confirmed()) << c.name;
        EXPECT_EQ(returned(), c.returned) << c.name;
        EXPECT_EQ(statements(), QStringList{lookup(c.returned[0])}) << c.name;
        EXPECT_TRUE(messages().isEmpty()) << c.name;
        EXPECT_TRUE(QTest::qWaitFor([&] { return !form->isVisible(); }))
            << "the close timer ends the dialog: " << c.name;
        host.exec("update code set ccode_name='库存现金', ccode_engl='Cash on hand' where ccode='1001'");
    }
}

TEST_P(CommandButtonsTest, ConfirmIgnoresClassesTheGroupAndAnEmptySelection) {
    for (const char* key : {"", "z", "a1"}) {
        attrib()->putAt(7, Variant(false));
        open();
        if (*key) clickNode(key);
        click(cmdButton(0));
        EXPECT_FALSE(confirmed()) << key;
        EXPECT_EQ(statements().filter("Select Top 1"), QStringList()) << key;
        EXPECT_TRUE(messages().isEmpty()) << key;
        EXPECT_FALSE(form->Timer1().Enabled()) << key;
        EXPECT_TRUE(form->isVisible()) << key;
    }
}

TEST_P(CommandButtonsTest, ConfirmingAnAccountThatIsGoneStartsOverAndCancelThenReportsNothing) {
    struct Case {
        const char* name;
        const char* code;
        const char* accountName;
        const char* arrange;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"account deleted meanwhile", "10020101", "人民币户", "delete from code where ccode='10020101'",
         "Host.GL.Sarvo.NoKmReSelect"},
        {"account table unreadable", "10020201", "人民币户", "alter table code rename to code_gone",
         "Host.GL.Sarvo.KmSelectError"},
    };
    for (const Case& c : cases) {
        open();
        typeFilter(c.code);
        click(chkChoice(7));
        click(chkChoice(8));
        click(chkChoice(1)); // customer: disables personal and supplier
        ASSERT_FALSE(chkChoice(0).Enabled());
        ASSERT_EQ(selectedKey(), QString("b") + c.code);
        host.exec(c.arrange);
        click(cmdButton(0));
        EXPECT_EQ(messages(), QStringList{"16|" + res("Host.GL.Sarvo.NetInfo") + "|" + res(c.message)})
            << c.name;
        EXPECT_EQ(treeLines(), plainClasses(1, true)) << c.name;
        EXPECT_EQ(sFilter(), "") << c.name;
        for (int i = 0; i < 10; ++i) {
            EXPECT_EQ(chkChoice(i).Value(), 0) << c.name << " box " << i;
            EXPECT_TRUE(chkChoice(i).Enabled())
                << c.name << " box " << i << " stays disabled by a tick that is gone";
        }
        EXPECT_EQ(ChkFfc().Value(), 1) << c.name;
        // The host would still read the failed attempt.
        EXPECT_TRUE(confirmed()) << c.name;
        EXPECT_EQ(returned().mid(0, 2), (QStringList{c.code, c.accountName})) << c.name;
        EXPECT_FALSE(form->Timer1().Enabled()) << c.name;
        EXPECT_TRUE(form->isVisible()) << c.name;
        if (QString(c.name).contains("unreadable")) host.exec("alter table code_gone rename to code");
    }
    // The rebuilt tree is the unfiltered one: levels load on click again.
    clearStatements();
    clickNode("a1");
    EXPECT_EQ(statements().size(), 1);
    EXPECT_EQ(childKeys("a1").first(), "b1001");
    typeFilter("1001");
    clearStatements();
    click(cmdButton(3));
    EXPECT_FALSE(confirmed()) << "cancel reports the failed attempt as not confirmed";
    EXPECT_FALSE(form->isVisible()) << "cancel closes at once";
    EXPECT_EQ(statements().filter("Select Top 1"), QStringList());
}

struct RecentCase {
    const char* name;
    QStringList rowsBefore;
    std::function<void(CommandButtonsTest&)> select;
    QStringList statements;
    QStringList rowsAfter;
    QStringList groupChildren; // lines of the entries under z afterwards
};

TEST_P(CommandButtonsTest, RecentlyUsedButtonAddsAnAccountOrRemovesAnEntry) {
    const QString insert1001 = "insert into GL_mcodeused values(N'demo',N'1001')";
    const auto cash = [](bool openGroup) {
        return [openGroup](CommandButtonsTest& t) {
            if (openGroup) t.openNode("z");
            t.openNode("a1");
            t.clickNode("b1001");
        };
    };
    const auto node = [](const char* key) { return [key](CommandButtonsTest& t) { t.clickNode(key); }; };
    const std::vector<RecentCase> cases = {
        {"group never opened: row only", {}, cash(false), {insert1001}, {"demo:1001"}, {}},
        {"group opened and empty: row only", {}, cash(true), {insert1001}, {"demo:1001"}, {}},
        {"group opened with entries: row and entry",
         {"demo:100201"},
         cash(true),
         {insert1001},
         {"demo:1001", "demo:100201"},
         {"  y100201 100201 工商银行", "  y1001 1001 库存现金"}},
        {"already an entry: nothing more",
         {"demo:1001"},
         cash(true),
         {},
         {"demo:1001"},
         {"  y1001 1001 库存现金"}},
        {"already listed, group not opened: the insert fails quietly",
         {"demo:1001"},
         cash(false),
         {insert1001},
         {"demo:1001"},
         {}},
        {"entry removed",
         {"demo:1001", "demo:100201", "accountant:1001"},
         [](CommandButtonsTest& t) {
             t.openNode("z");
             t.clickNode("y1001");
         },
         {"delete from GL_mcodeused where cuser =N'demo' and ccode = N'1001'"},
         {"accountant:1001", "demo:100201"},
         {"  y100201 100201 工商银行"}},
        {"class node", {"demo:1001"}, node("a1"), {}, {"demo:1001"}, {}},
        {"group node", {"demo:1001"}, node("z"), {}, {"demo:1001"}, {"  y1001 1001 库存现金"}},
        {"account of the filtered tree",
         {},
         [](CommandButtonsTest& t) { t.typeFilter("10020101"); },
         {"insert into GL_mcodeused values(N'demo',N'10020101')"},
         {"demo:10020101"},
         {}},
    };
    for (const RecentCase& c : cases) {
        host.exec("delete from GL_mcodeused");
        addRecentRows(c.rowsBefore);
        open();
        c.select(*this);
        clearStatements();
        click(cmdButton(1));
        EXPECT_EQ(statements(), c.statements) << c.name;
        EXPECT_EQ(recentlyUsedRows(), c.rowsAfter) << c.name;
        EXPECT_EQ(treeLines().filter(QRegularExpression("^  y")), c.groupChildren) << c.name;
        EXPECT_TRUE(messages().isEmpty()) << c.name << ": " << messages().join('\n').toStdString();
        EXPECT_FALSE(confirmed()) << c.name;
        EXPECT_TRUE(form->isVisible()) << c.name;
    }
}

TEST_P(CommandButtonsTest, OnlyAccountsOfTheFirstNineGradesAreAddedFromTheLevelTree) {
    const QStringList keys = addGradeChain(10);
    addRecentRows({"demo:100201"});
    open();
    openNode("z");
    openNode("a1");
    for (const QString& key : keys)
        openNode(key);
    clickNode(keys[8]); // the ninth grade, key letter j
    click(cmdButton(1));
    EXPECT_TRUE(recentlyUsedRows().contains("demo:" + keys[8].mid(1)));
    EXPECT_EQ(childKeys("z"), (QStringList{"y100201", "y" + keys[8].mid(1)}));
    clickNode(keys[9]);
    clearStatements();
    click(cmdButton(1));
    EXPECT_EQ(statements(), QStringList()) << "a tenth-grade key letter is not an account letter here";
    EXPECT_EQ(recentlyUsedRows().size(), 2);
    EXPECT_TRUE(messages().isEmpty());
}

TEST_P(CommandButtonsTest, EditRunsTheHostsEditorAndStartsOverUnfiltered) {
    open();
    typeFilter("1002");
    click(chkChoice(9));
    const int runs = host::CodeEditor::runCount();
    click(cmdButton(2));
    EXPECT_EQ(host::CodeEditor::runCount(), runs + 1);
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_EQ(treeLines(), plainClasses(1, true));
    EXPECT_EQ(sFilter(), "");
    EXPECT_EQ(chkChoice(9).Value(), 0);
    EXPECT_FALSE(control<controls::QzLabel>("Label10").isVisible());
    EXPECT_EQ(controls::Screen::MousePointer(form.get()), 0);
    EXPECT_FALSE(form->bEditing);
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(confirmed());
    click(cmdButton(2));
    EXPECT_EQ(host::CodeEditor::runCount(), runs + 2) << "the editor can be opened again";
}

class OtherLoginYearTest : public sarvo::testing::EngineDialogHarness {
protected:
    OtherLoginYearTest() : EngineDialogHarness("standard", "2023") {}
};

TEST_P(OtherLoginYearTest, EditAcrossYearsIsRefused) {
    open();
    typeFilter("1002");
    click(chkChoice(9));
    const QStringList before = treeLines();
    const int runs = host::CodeEditor::runCount();
    click(cmdButton(2));
    EXPECT_EQ(messages(), QStringList{"16|" + res("Host.GL.Sarvo.NetInfo") + "|不支持跨年编辑！"});
    EXPECT_EQ(host::CodeEditor::runCount(), runs);
    EXPECT_EQ(treeLines(), before);
    EXPECT_EQ(chkChoice(9).Value(), 1);
    EXPECT_FALSE(form->bEditing);
}

SARVO_ON_EVERY_ENGINE(CommandButtonsTest);
SARVO_ON_EVERY_ENGINE(OtherLoginYearTest);

} // namespace
