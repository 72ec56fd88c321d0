// The attribute boxes: which boxes a tick disables, the condition the filter button builds from the
// ticked boxes and the not-closed box, and the tree it rebuilds.
#include "tests/support/DialogHarness.h"

#include <array>

using namespace sarvo;

namespace {

class AttributeFilterTest : public sarvo::testing::DialogHarness {
protected:
    QString enabledAuxiliaryBoxes() const {
        QStringList on;
        for (int i = 0; i < 5; ++i)
            if (chkChoice(i).isEnabled()) on << QString::number(i);
        return on.join(' ');
    }
};

TEST_F(AttributeFilterTest, TickingAnAuxiliaryBoxDisablesTheBoxesItExcludes) {
    struct Case {
        const char* name;
        std::vector<int> clicks;
        const char* enabled; // boxes 0-4 enabled afterwards
    };
    const std::vector<Case> cases = {
        {"personal", {0}, "0 4"},
        {"customer", {1}, "1 3 4"},
        {"supplier", {2}, "2 3 4"},
        {"department", {3}, "1 2 3 4"},
        {"project excludes nothing", {4}, "0 1 2 3 4"},
        {"personal ticked and unticked", {0, 0}, "0 1 2 3 4"},
        {"supplier and department, department unticked", {2, 3, 3}, "2 3 4"},
        {"customer and department", {1, 3}, "1 3 4"},
        {"customer and project", {1, 4}, "1 3 4"},
        {"boxes 5 to 9 take no part", {5, 6, 7, 8, 9}, "0 1 2 3 4"},
    };
    for (const Case& c : cases) {
        open();
        for (int i : c.clicks)
            click(chkChoice(i));
        EXPECT_EQ(enabledAuxiliaryBoxes(), c.enabled) << c.name;
        for (int i = 5; i < 10; ++i)
            EXPECT_TRUE(chkChoice(i).isEnabled()) << c.name;
        EXPECT_EQ(sFilter(), "") << "ticking alone filters nothing: " << c.name;
        EXPECT_EQ(childKeys("a1"), QStringList()) << c.name;
    }
}

struct FilterCase {
    const char* name;
    std::vector<int> ticked;
    bool notClosed;
    const char* condition;
    const char* closeFilter;
    QStringList keysUnderAssets; // hierarchy, first grade
};

void PrintTo(const FilterCase& c, std::ostream* os) {
    *os << c.name;
}

class AttributeFilterCondition : public AttributeFilterTest,
                                 public ::testing::WithParamInterface<FilterCase> {};

TEST_P(AttributeFilterCondition, FilterButtonBuildsTheConditionAndTheTree) {
    const FilterCase& c = GetParam();
    open();
    if (!c.notClosed) click(ChkFfc());
    for (int i : c.ticked)
        click(chkChoice(i));
    click(cmdGL());
    EXPECT_EQ(sFilter(), QString::fromUtf8(c.condition));
    EXPECT_EQ(basSarvo::sCloseFilter(), QString::fromUtf8(c.closeFilter));
    EXPECT_EQ(childKeys("a1"), c.keysUnderAssets);
    EXPECT_EQ(QApplication::focusWidget(), &tree()) << "the tree has the focus after filtering";
    for (int i : c.ticked)
        EXPECT_EQ(chkChoice(i).Value(), 1) << "the boxes stay ticked";
    EXPECT_TRUE(messages().isEmpty()) << messages().join('\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, AttributeFilterCondition,
    ::testing::Values(
        FilterCase{"nothing_ticked", {}, false, "", "  ", {}},
        FilterCase{"not_closed_only",
                   {},
                   true,
                   " bclose=0",
                   " bclose=0 and ",
                   {"b1001", "b1002", "b1003", "b1011", "b1012", "b1021", "b1031", "b1101", "b1111", "b1121",
                    "b1122", "b1123", "b1131", "b1132", "b1201", "b1211", "b1212", "b1221", "b1231", "b1301",
                    "b1302", "b1303", "b1304", "b1311", "b1321", "b1401", "b1402", "b1403", "b1404", "b1405",
                    "b1406", "b1407", "b1408", "b1411", "b1421", "b1431", "b1441", "b1451", "b1461", "b1471",
                    "b1501", "b1502", "b1511", "b1512", "b1521", "b1531", "b1532", "b1541", "b1601", "b1602",
                    "b1603", "b1604", "b1605", "b1606", "b1611", "b1621", "b1622", "b1623", "b1631", "b1632",
                    "b1701", "b1702", "b1703", "b1711", "b1801", "b1811", "b1821", "b1901"}},
        FilterCase{
            "foreign_currency_alone", {5}, false, " (not cexch_name is null) ", "  ", {"b1002", "b1122"}},
        FilterCase{"supplier_then_foreign_currency",
                   {2, 5},
                   true,
                   " bsup=1 and ( not cexch_name is null)  and bclose=0",
                   " bclose=0 and ",
                   {}},
        FilterCase{"end_level_comes_after_journal_and_bank",
                   {7, 9, 8},
                   true,
                   " br=1 and be=1 and bend=1 and bclose=0",
                   " bclose=0 and ",
                   {"b1002"}},
        FilterCase{"personal_project_quantity",
                   {0, 4, 6},
                   false,
                   " bperson=1 and bitem=1 and (not cmeasure is null) ",
                   "  ",
                   {}},
        FilterCase{"customer", {1}, false, " bcus=1", "  ", {"b1121", "b1122", "b1531"}},
        FilterCase{"department_and_project",
                   {3, 4},
                   true,
                   " bdept=1 and bitem=1 and bclose=0",
                   " bclose=0 and ",
                   {}},
        FilterCase{"journal", {8}, true, " br=1 and bclose=0", " bclose=0 and ", {"b1001", "b1002"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AttributeFilterTest, TheConditionBuilderDoesNotApplyTheExclusionRule) {
    // Only a program can tick boxes that exclude each other.
    open();
    for (int i = 0; i < 10; ++i)
        chkChoice(i).SetValue(1);
    click(cmdGL());
    EXPECT_EQ(sFilter(),
              " bperson=1 and bcus=1 and bsup=1 and bdept=1 and bitem=1 and ( not cexch_name is null)  and "
              "(not cmeasure is null)  and br=1 and be=1 and bend=1 and bclose=0");
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(AttributeFilterTest, FilterButtonReplacesTheQuickFilter) {
    open();
    typeFilter("1002");
    click(chkChoice(1));
    EXPECT_TRUE(sFilter().contains("1002")) << "ticking alone changes nothing";
    click(cmdGL());
    EXPECT_EQ(sFilter(), " bcus=1 and bclose=0");
    EXPECT_EQ(filterBox().Text(), "1002");
    EXPECT_EQ(childKeys("a1"), (QStringList{"b1121", "b1122", "b1531"}));
}

TEST_F(AttributeFilterTest, TheNotClosedBoxDecidesWhetherLevelsShowClosedAccounts) {
    open();
    click(ChkFfc());
    click(cmdGL());
    ASSERT_EQ(sFilter(), "");
    clickNode("a1");
    EXPECT_EQ(statements().last(),
              "select * from code where    igrade=1 and cclass=N'资产' and iYear=2024 order by ccode");
    EXPECT_TRUE(childKeys("a1").contains("b1503"));
    typeFilter("1503");
    EXPECT_EQ(childKeys("a1"), QStringList{"b1503"});
    EXPECT_TRUE(sFilter().startsWith("   ( ccode like N'1503%'"));
}

} // namespace
