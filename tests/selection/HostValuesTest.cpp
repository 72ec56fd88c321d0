// Values from the host inside the statements the dialog sends: operator ids and account codes
// holding apostrophes, closing brackets or an attempt to widen a condition. Each user sees and
// changes only their own recently used rows, the hierarchy builds over the login's temporary
// table, and an account with an apostrophe in its code goes through every statement.
#include "tests/support/DialogHarness.h"

using namespace sarvo;

namespace {

class HostValuesTest : public sarvo::testing::EngineDialogHarness {
protected:
    static QString quoted(const QString& value) { return "'" + QString(value).replace("'", "''") + "'"; }
    void addRow(const QString& user, const QString& code) const {
        host.exec("insert into GL_mcodeused(cuser,ccode) values(" + quoted(user) + "," + quoted(code) + ")");
    }
    // Every row of the recently used table as "user|code", sorted.
    QStringList rows() const {
        QStringList all = host.column("select cuser||'|'||ccode from GL_mcodeused");
        all.sort();
        return all;
    }
    static QStringList sorted(QStringList list) {
        list.sort();
        return list;
    }
    void logInAs(const QString& user) {
        host.login->setUserId(user);
        beginRequest();
    }
};

TEST_P(HostValuesTest, EachOperatorSeesAndChangesOnlyTheirOwnRecentlyUsedRows) {
    const QStringList operators = {"o'brien", "a]b", "x' or '1'='1", "'; delete from GL_mcodeused; --",
                                   "[z]]'"};
    const QStringList others = {"accountant|1001", "accountant|1002", "demo|1001", "x|1001"};
    for (const QString& id : operators) {
        const std::string name = id.toStdString();
        host.exec("delete from GL_mcodeused");
        for (const QString& row : others)
            addRow(row.section('|', 0, 0), row.section('|', 1));
        addRow(id, "1001");
        logInAs(id);
        open();

        openNode("z");
        EXPECT_EQ(childKeys("z"), QStringList{"y1001"}) << name << ": only this user's rows load";

        openNode("a1");
        clickNode("b1002");
        click(cmdButton(1));
        EXPECT_EQ(rows(), sorted(QStringList(others) << id + "|1001" << id + "|1002")) << name << ": added";
        EXPECT_EQ(childKeys("z"), (QStringList{"y1001", "y1002"})) << name;

        clickNode("y1001");
        click(cmdButton(1));
        EXPECT_EQ(rows(), sorted(QStringList(others) << id + "|1002"))
            << name << ": removed from this user only";
        EXPECT_EQ(childKeys("z"), QStringList{"y1002"}) << name;

        EXPECT_TRUE(messages().isEmpty()) << name << ": " << messages().join('\n').toStdString();
        form.reset();
    }
}

TEST_P(HostValuesTest, TheHierarchyBuildsWhateverTheOperatorIdHolds) {
    storeTreeDisplay(true);
    const QString accounts = host.scalar("select count(*) from code");
    for (const char* id : {"a]b", "o'brien", "]]", "x] drop table code --"}) {
        const std::string name = id;
        logInAs(id);
        open();
        typeFilter("10020101");
        EXPECT_EQ(treeLines().mid(0, 5),
                  (QStringList{"z 常用科目", "a1 资产 [-]", "  b1002 1002 银行存款 [-]",
                               "    b100201 100201 工商银行 [-]", "      b10020101 10020101 人民币户 *"}))
            << name;
        EXPECT_TRUE(messages().isEmpty()) << name << ": " << messages().join('\n').toStdString();
        EXPECT_EQ(host.scalar("select count(*) from code"), accounts) << name;
        form.reset();
    }
}

TEST_P(HostValuesTest, AnAccountCodeWithAnApostropheGoesThroughEveryStatement) {
    host.exec("insert into code(iYear,cclass,ccode,ccode_name,ccode_engl,igrade,chelp,bend,bclose) values "
              "(2024,'资产','9''01','引号科目','Quoted',1,'YH',0,0),"
              "(2024,'资产','9''0101','引号明细','Quoted detail',2,'YHMX',1,0)");
    struct Case {
        const char* name;
        bool hierarchy;
        std::function<void(HostValuesTest&)> reach; // leaves the detail account selected
        const char* selectedKey;
    };
    const std::vector<Case> cases = {
        {"level by level", false,
         [](HostValuesTest& t) {
             t.openNode("a1");
             t.openNode("b9'01");
             t.clickNode("c9'0101");
         },
         "c9'0101"},
        {"flat filter", false, [](HostValuesTest& t) { t.typeFilter("引号明细"); }, "b9'0101"},
        {"hierarchy filter", true, [](HostValuesTest& t) { t.typeFilter("引号明细"); }, "b9'0101"},
    };
    for (const Case& c : cases) {
        host.exec("delete from GL_mcodeused");
        storeTreeDisplay(c.hierarchy);
        open();
        c.reach(*this);
        EXPECT_EQ(selectedKey(), c.selectedKey) << c.name;
        click(cmdButton(1));
        EXPECT_EQ(rows(), QStringList{"demo|9'0101"}) << c.name;
        click(cmdButton(0));
        EXPECT_TRUE(confirmed()) << c.name;
        EXPECT_EQ(attrib()->getAt(3).toDisplayText(), "9'0101") << c.name;
        EXPECT_EQ(attrib()->getAt(5).toDisplayText(), "Quoted detail") << c.name;
        EXPECT_TRUE(messages().isEmpty()) << c.name << ": " << messages().join('\n').toStdString();
        form.reset();
    }
}

SARVO_ON_EVERY_ENGINE(HostValuesTest);

} // namespace
