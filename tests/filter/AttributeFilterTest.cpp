// The attribute boxes: which boxes a tick disables, the condition the filter button builds from the
// ticked boxes and the not-closed box, and the tree it rebuilds.
#include "tests/support/DialogHarness.h"

using namespace sarvo;

namespace {

class AttributeFilterTest : public sarvo::testing::EngineDialogHarness {
protected:
    QString enabledAuxiliaryBoxes() const {
        QStringList on;
        for (int i = 0; i < 5; ++i)
            if (chkChoice(i).isEnabled()) on << QString::number(i);
        return on.join(' ');
    }
};

TEST_P(AttributeFilterTest, TickingAnAuxiliaryBoxDisablesTheBoxesItExcludes) {
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

TEST_P(AttributeFilterTest, FilterButtonBuildsTheConditionAndTheTree) {
    struct Case {
        const char* name;
        std::vector<int> ticked;
        bool notClosed;
        const char* condition;
        QStringList keysUnderAssets; // hierarchy, first grade
    };
    const QStringList openAssets = host.column("select 'b'||ccode from code where iYear=2024 and igrade=1 "
                                               "and cclass='资产' and bclose=0 order by ccode");
    const std::vector<Case> cases = {
        {"nothing ticked", {}, false, "", {}},
        {"not closed only", {}, true, " bclose=0", openAssets},
        {"foreign currency alone", {5}, false, " (not cexch_name is null) ", {"b1002", "b1122"}},
        {"supplier then foreign currency",
         {2, 5},
         true,
         " bsup=1 and ( not cexch_name is null)  and bclose=0",
         {}},
        {"end level comes after journal and bank",
         {7, 9, 8},
         true,
         " br=1 and be=1 and bend=1 and bclose=0",
         {"b1002"}},
        {"personal, project, quantity",
         {0, 4, 6},
         false,
         " bperson=1 and bitem=1 and (not cmeasure is null) ",
         {}},
        {"journal", {8}, true, " br=1 and bclose=0", {"b1001", "b1002"}},
    };
    for (const Case& c : cases) {
        open();
        if (!c.notClosed) click(ChkFfc());
        for (int i : c.ticked)
            click(chkChoice(i));
        click(cmdGL());
        EXPECT_EQ(sFilter(), QString::fromUtf8(c.condition)) << c.name;
        EXPECT_EQ(basSarvo::sCloseFilter(), c.notClosed ? " bclose=0 and " : "  ") << c.name;
        EXPECT_EQ(childKeys("a1"), c.keysUnderAssets) << c.name;
        EXPECT_EQ(QApplication::focusWidget(), &tree())
            << "the tree has the focus after filtering: " << c.name;
        for (int i : c.ticked)
            EXPECT_EQ(chkChoice(i).Value(), 1) << "the boxes stay ticked: " << c.name;
        EXPECT_TRUE(messages().isEmpty()) << c.name;
    }
}

TEST_P(AttributeFilterTest, TheConditionBuilderDoesNotApplyTheExclusionRule) {
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

TEST_P(AttributeFilterTest, FilterButtonReplacesTheQuickFilter) {
    open();
    typeFilter("1002");
    click(chkChoice(1));
    EXPECT_TRUE(sFilter().contains("1002")) << "ticking alone changes nothing";
    click(cmdGL());
    EXPECT_EQ(sFilter(), " bcus=1 and bclose=0");
    EXPECT_EQ(filterBox().Text(), "1002");
    EXPECT_EQ(childKeys("a1"), (QStringList{"b1121", "b1122", "b1531"}));
}

SARVO_ON_EVERY_ENGINE(AttributeFilterTest);

} // namespace
