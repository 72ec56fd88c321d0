// The unfiltered top level: the recently used group and one node per class, with whole classes
// hidden by kind when the host splits classes and its extra condition asks for one side.
#include "tests/support/DialogHarness.h"

using namespace sarvo;

namespace {

// The budget set: eight classes, kinds YS01-YS03 at positions 5-7, class-kind split on.
class TreeRootsTest : public sarvo::testing::DialogHarness {
protected:
    TreeRootsTest() : DialogHarness("budget") {}
};

struct RootsCase {
    const char* name;
    const char* arrange; // SQL on the account set before the request begins, or ""
    const char* extra;   // Viewpara2
    QStringList keys;
};

void PrintTo(const RootsCase& c, std::ostream* os) {
    *os << c.name;
}

class TreeRootsByKind : public TreeRootsTest, public ::testing::WithParamInterface<RootsCase> {};

TEST_P(TreeRootsByKind, ShowTheClassesTheExtraConditionAsksFor) {
    const RootsCase& c = GetParam();
    if (*c.arrange) {
        host.exec(QString::fromUtf8(c.arrange));
        beginRequest();
    }
    open(Variant(QString()), Variant(QString::fromUtf8(c.extra)));
    EXPECT_EQ(childKeys(), c.keys);
    EXPECT_EQ(selectedKey(), "");
    for (const QString& key : c.keys)
        EXPECT_FALSE(isExpanded(key)) << key.toStdString();
    EXPECT_EQ(statements(), QStringList());
    // Emptying a typed search builds the same top level again.
    typeFilter("6");
    clearFilter();
    EXPECT_EQ(childKeys(), c.keys);
}

const QStringList kAll{"z", "a1", "a2", "a3", "a4", "a5", "a6", "a7", "a8"};
const QStringList kFinancial{"z", "a1", "a2", "a3", "a4", "a5"};
const QStringList kBudget{"z", "a6", "a7", "a8"};

INSTANTIATE_TEST_SUITE_P(
    Cases, TreeRootsByKind,
    ::testing::Values(RootsCase{"no_condition", "", "", kAll},
                      RootsCase{"condition_without_either_sign", "", " and bend=1", kAll},
                      RootsCase{"less_than_hides_budget_kinds", "", " and ccode<'6'", kFinancial},
                      RootsCase{"greater_than_shows_only_budget_kinds", "", " and ccode>'5'", kBudget},
                      RootsCase{"less_than_wins_over_greater_than", "", " and ccode<>'x'", kFinancial},
                      RootsCase{"split_off_shows_every_class",
                                "update host_setting set cValue='0' where cName='ClassKindSplit'",
                                " and ccode<'6'", kAll},
                      RootsCase{"lower_case_kind_is_not_budget",
                                "update host_class set cKind='ys01' where iPosition=5", " and ccode>'5'",
                                (QStringList{"z", "a7", "a8"})},
                      RootsCase{"lower_case_kind_shown_with_financial",
                                "update host_class set cKind='ys01' where iPosition=5", " and ccode<'6'",
                                (QStringList{"z", "a1", "a2", "a3", "a4", "a5", "a6"})},
                      RootsCase{"no_classes", "delete from host_class", "", QStringList{"z"}}),
    [](const auto& info) { return std::string(info.param.name); });

// The same set over every engine.
class TreeRootsEngineTest : public sarvo::testing::EngineDialogHarness {
protected:
    TreeRootsEngineTest() : EngineDialogHarness("budget") {}
};

TEST_P(TreeRootsEngineTest, BudgetSideShowsItsClassNamesLoadsTheirOwnAccountsAndTypedSearchesShowEveryClass) {
    open(Variant(QString()), Variant(QString(" and ccode>'5'")));
    EXPECT_EQ(treeLines(), (QStringList{"z 常用科目", "a6 预算收入", "a7 预算支出", "a8 预算结余"}));
    clickNode("a7");
    EXPECT_EQ(statements(), QStringList{classLevel("预算支出")});
    EXPECT_EQ(childKeys("a7"), (QStringList{"b7101", "b7201", "b7901"}));
    // The filtered tree lists all classes; only the extra condition narrows its accounts.
    typeFilter("6");
    EXPECT_EQ(childKeys(), kAll);
    EXPECT_EQ(childKeys("a1"), QStringList());
    EXPECT_EQ(childKeys("a6"), (QStringList{"b6001", "b6101", "b6609"}));
}

SARVO_ON_EVERY_ENGINE(TreeRootsEngineTest);

} // namespace
