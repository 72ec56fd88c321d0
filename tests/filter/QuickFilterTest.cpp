// Typing into the filter box and switching the match mode: the condition the dialog builds for
// each mode and for the host's extra condition, the tree that follows, and the way back to the
// unfiltered top level.
#include "tests/support/DialogHarness.h"

using namespace sarvo;

namespace {

class QuickFilterTest : public sarvo::testing::DialogHarness {
protected:
    void SetUp() override {
        DialogHarness::SetUp();
        storeTreeDisplay(false);
    }
    QString flatBuild(const QString& condition) const {
        return "select * from code where  iYear=2024 and (" + condition + ") order by ccode ";
    }
};

struct ConditionCase {
    const char* name;
    bool contains;
    bool closedShown;  // ChkFfc unticked and applied before typing
    const char* extra; // Viewpara2
    const char* typed;
    const char* condition;
};

void PrintTo(const ConditionCase& c, std::ostream* os) {
    *os << c.name;
}

class QuickFilterCondition : public QuickFilterTest, public ::testing::WithParamInterface<ConditionCase> {};

TEST_P(QuickFilterCondition, IsBuiltFromTheTypedTextAndSentWithTheTreeQuery) {
    const ConditionCase& c = GetParam();
    open(Variant(QString()), Variant(QString::fromUtf8(c.extra)));
    if (c.contains) click(optFilter(1));
    if (c.closedShown) {
        click(ChkFfc());
        click(cmdGL());
    }
    clearStatements();
    typeFilter(QString::fromUtf8(c.typed));
    EXPECT_EQ(sFilter(), QString::fromUtf8(c.condition));
    ASSERT_FALSE(statements().isEmpty());
    EXPECT_EQ(statements().last(), flatBuild(QString::fromUtf8(c.condition)));
    EXPECT_TRUE(messages().isEmpty()) << messages().join('\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Modes, QuickFilterCondition,
    ::testing::Values(
        ConditionCase{"begins_with", false, false, "", "ab",
                      " bclose=0 and  ( ccode like N'ab%' or  ccode_name like N'ab%' or ccode_engl like "
                      "N'ab%' or  chelp "
                      "like N'AB%' )"},
        ConditionCase{
            "contains", true, false, "", "ab",
            " bclose=0 and  ( ccode like N'%ab%' or  ccode_name like N'%ab%' or ccode_engl like N'%ab%' or  "
            "chelp like N'%AB%' ) "},
        ConditionCase{"begins_with_extra", false, false, " and bend=1", "ab",
                      " bclose=0 and  ( ccode like N'ab%' or  ccode_name like N'ab%' or ccode_engl like "
                      "N'ab%' or  chelp "
                      "like N'AB%' ) and bend=1"},
        ConditionCase{
            "contains_extra", true, false, " and bend=1", "ab",
            " bclose=0 and  ( ccode like N'%ab%' or  ccode_name like N'%ab%' or ccode_engl like N'%ab%' or  "
            "chelp like N'%AB%' )  and bend=1"},
        ConditionCase{"blanks_around_are_dropped", false, false, "", "  ab  ",
                      " bclose=0 and  ( ccode like N'ab%' or  ccode_name like N'ab%' or ccode_engl like "
                      "N'ab%' or  chelp "
                      "like N'AB%' )"},
        ConditionCase{"only_the_mnemonic_is_upper_case", false, false, "", "Gs银",
                      " bclose=0 and  ( ccode like N'Gs银%' or  ccode_name like N'Gs银%' or ccode_engl like "
                      "N'Gs银%' or  "
                      "chelp like N'GS银%' )"},
        ConditionCase{"closed_accounts_shown", false, true, "", "ab",
                      "   ( ccode like N'ab%' or  ccode_name like N'ab%' or ccode_engl like N'ab%' or  chelp "
                      "like N'AB%' )"},
        ConditionCase{
            "closed_accounts_shown_contains", true, true, "", "ab",
            "   ( ccode like N'%ab%' or  ccode_name like N'%ab%' or ccode_engl like N'%ab%' or  chelp like "
            "N'%AB%' ) "}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(QuickFilterTest, MatchesAccountsByCodeNameEnglishNameOrMnemonic) {
    struct Case {
        const char* typed;
        bool contains;
        QStringList keysUnderAssets;
        QStringList keysUnderLiabilities;
    };
    const std::vector<Case> cases = {
        {"10020",
         false,
         {"b100201", "b10020101", "b10020102", "b100202", "b10020201", "b100203", "b10020301", "b10020302"},
         {}},
        {"工商", false, {"b100201"}, {"b200101"}},
        {"Industrial", false, {"b100201"}, {"b200101"}},
        {"gsyh", false, {"b100201"}, {"b200101"}},
        {"0202", false, {}, {}},
        {"0202", true, {"b100202", "b10020201"}, {"b220202", "b250202"}},
        {"100_01", false, {"b100201", "b10020101", "b10020102"}, {}}, // any one character
        {"%欧元", false, {"b10020302"}, {}},                          // any run of characters
        {"1503", false, {}, {}},                                      // closed
    };
    open();
    for (const Case& c : cases) {
        if (optFilter(1).Value() != c.contains) click(optFilter(c.contains ? 1 : 0));
        clearFilter();
        typeFilter(c.typed);
        EXPECT_EQ(childKeys("a1"), c.keysUnderAssets) << c.typed;
        EXPECT_EQ(childKeys("a2"), c.keysUnderLiabilities) << c.typed;
    }
}

TEST_F(QuickFilterTest, EmptyingTheBoxReturnsToTheTopLevelLoadedOnDemand) {
    open();
    typeFilter("1002");
    ASSERT_FALSE(childKeys("a1").isEmpty());
    clearFilter();
    EXPECT_EQ(sFilter(), "");
    EXPECT_EQ(treeLines(),
              (QStringList{"z 常用科目", "a1 资产", "a2 负债", "a3 共同", "a4 权益", "a5 成本", "a6 损益"}));
    clearStatements();
    clickNode("a1");
    EXPECT_EQ(statements(), QStringList{"select * from code where  bclose=0 and  igrade=1 and cclass=N'资产' "
                                        "and iYear=2024 order by ccode"});
    EXPECT_EQ(childKeys("a1").first(), "b1001");
}

TEST_F(QuickFilterTest, BlanksOnlyCountAsNoText) {
    open(Variant(QString()), Variant(QString(" and bend=1")));
    openNode("a1");
    clearStatements();
    typeFilter("   ");
    EXPECT_EQ(sFilter(), "");
    EXPECT_EQ(statements(), QStringList()) << "the top level costs no query";
    EXPECT_EQ(childKeys("a1"), QStringList()) << "rebuilt on every keystroke";
    EXPECT_EQ(childKeys().size(), 7);
}

TEST_F(QuickFilterTest, SwitchingTheModeAppliesTheTextAgain) {
    open();
    openNode("a1");
    click(optFilter(1));
    EXPECT_EQ(childKeys("a1"), QStringList()) << "an empty box rebuilds the top level";
    typeFilter("0202");
    EXPECT_EQ(childKeys("a1"), (QStringList{"b100202", "b10020201"}));
    EXPECT_TRUE(sFilter().endsWith("N'%0202%' ) "));
    click(optFilter(0));
    EXPECT_EQ(childKeys("a1"), QStringList());
    EXPECT_TRUE(sFilter().endsWith("N'0202%' )"));
    click(optFilter(1));
    EXPECT_EQ(childKeys("a1"), (QStringList{"b100202", "b10020201"}));
}

TEST_F(QuickFilterTest, TheHostsExtraConditionNarrowsOnlyTypedSearches) {
    open(Variant(QString()), Variant(QString(" and bend=1")));
    openNode("a1");
    EXPECT_TRUE(childKeys("a1").contains("b1002")) << "levels ignore the extra condition";
    typeFilter("1002");
    EXPECT_EQ(childKeys("a1"),
              (QStringList{"b10020101", "b10020102", "b10020201", "b10020301", "b10020302"}));
}

TEST_F(QuickFilterTest, TheHostsInitialTextMayHoldAnApostrophe) {
    open(Variant(QString("O'Brien")));
    EXPECT_TRUE(messages().isEmpty()) << messages().join('\n').toStdString();
    EXPECT_FALSE(sFilter().isEmpty());
    EXPECT_EQ(childKeys(), (QStringList{"z", "a1", "a2", "a3", "a4", "a5", "a6"}));
    // Typed, the character never reaches the box.
    clearFilter();
    typeFilter("10'02");
    EXPECT_EQ(filterBox().Text(), "1002");
    EXPECT_EQ(childKeys("a1").first(), "b1002");
    EXPECT_TRUE(messages().isEmpty());
}

} // namespace
