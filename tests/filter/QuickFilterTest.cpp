// Typing into the filter box and switching the match mode: the condition the dialog builds for
// each mode and for the host's extra condition, the tree that follows, and the way back to the
// unfiltered top level.
#include "tests/support/DialogHarness.h"

using namespace sarvo;

namespace {

class QuickFilterTest : public sarvo::testing::EngineDialogHarness {
protected:
    void SetUp() override {
        EngineDialogHarness::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        storeTreeDisplay(false);
    }
};

TEST_P(QuickFilterTest, ConditionIsBuiltFromTheTypedTextAndSentWithTheTreeQuery) {
    struct Case {
        const char* name;
        bool contains;
        bool closedShown;  // ChkFfc unticked and applied before typing
        const char* extra; // Viewpara2
        const char* typed;
        const char* condition;
    };
    const char* beginsAb =
        " ( ccode like N'ab%' or  ccode_name like N'ab%' or ccode_engl like N'ab%' or  chelp "
        "like N'AB%' )";
    const char* containsAb =
        " ( ccode like N'%ab%' or  ccode_name like N'%ab%' or ccode_engl like N'%ab%' or  "
        "chelp like N'%AB%' ) ";
    const std::vector<Case> cases = {
        {"begins with", false, false, "", "ab", beginsAb},
        {"contains", true, false, "", "ab", containsAb},
        {"begins with, extra", false, false, " and bend=1", "ab", "{b} and bend=1"},
        {"contains, extra", true, false, " and bend=1", "ab", "{c} and bend=1"},
        {"blanks around are dropped", false, false, "", "  ab  ", beginsAb},
        {"only the mnemonic is upper case", false, false, "", "Gs银",
         " ( ccode like N'Gs银%' or  ccode_name like N'Gs银%' or ccode_engl like N'Gs银%' or  chelp like "
         "N'GS银%' )"},
        {"closed accounts shown", false, true, "", "ab", beginsAb},
    };
    for (const Case& c : cases) {
        open(Variant(QString()), Variant(QString::fromUtf8(c.extra)));
        if (c.contains) click(optFilter(1));
        if (c.closedShown) {
            click(ChkFfc());
            click(cmdGL());
        }
        clearStatements();
        typeFilter(QString::fromUtf8(c.typed));
        const QString condition =
            (c.closedShown ? "  " : " bclose=0 and ") +
            QString::fromUtf8(c.condition).replace("{b}", beginsAb).replace("{c}", containsAb);
        EXPECT_EQ(sFilter(), condition) << c.name;
        EXPECT_EQ(statements().value(statements().size() - 1),
                  "select * from code where  iYear=2024 and (" + condition + ") order by ccode ")
            << c.name;
        EXPECT_TRUE(messages().isEmpty()) << c.name;
    }
}

TEST_P(QuickFilterTest, MatchesAccountsByCodeNameEnglishNameOrMnemonic) {
    struct Case {
        const char* typed;
        QStringList keysUnderAssets;
        QStringList keysUnderLiabilities;
    };
    const std::vector<Case> cases = {
        {"工商", {"b100201"}, {"b200101"}},
        {"Industrial", {"b100201"}, {"b200101"}},
        {"gsyh", {"b100201"}, {"b200101"}},
        {"100_01", {"b100201", "b10020101", "b10020102"}, {}}, // any one character
        {"%欧元", {"b10020302"}, {}},                          // any run of characters
        {"1503", {}, {}},                                      // closed
    };
    open();
    for (const Case& c : cases) {
        clearFilter();
        typeFilter(c.typed);
        EXPECT_EQ(childKeys("a1"), c.keysUnderAssets) << c.typed;
        EXPECT_EQ(childKeys("a2"), c.keysUnderLiabilities) << c.typed;
    }
}

TEST_P(QuickFilterTest, SwitchingTheModeAppliesTheTextAgainAndAnEmptyBoxReturnsToTheTopLevel) {
    open();
    openNode("a1");
    click(optFilter(1));
    EXPECT_EQ(childKeys("a1"), QStringList()) << "an empty box rebuilds the top level";
    typeFilter("0202");
    EXPECT_EQ(childKeys("a1"), (QStringList{"b100202", "b10020201"}));
    EXPECT_EQ(childKeys("a2"), (QStringList{"b220202", "b250202"}));
    click(optFilter(0));
    EXPECT_EQ(childKeys("a1"), QStringList());
    EXPECT_TRUE(sFilter().endsWith("N'0202%' )"));
    click(optFilter(1));
    EXPECT_EQ(childKeys("a1"), (QStringList{"b100202", "b10020201"}));
    clearFilter();
    EXPECT_EQ(sFilter(), "");
    EXPECT_EQ(treeLines(), plainClasses(1, true));
    clearStatements();
    clickNode("a1");
    EXPECT_EQ(statements(), QStringList{classLevel("资产")}) << "levels load on demand again";
}

TEST_P(QuickFilterTest, TheHostsExtraConditionNarrowsOnlyTypedSearchesAndBlanksCountAsNoText) {
    open(Variant(QString()), Variant(QString(" and bend=1")));
    openNode("a1");
    EXPECT_TRUE(childKeys("a1").contains("b1002")) << "levels ignore the extra condition";
    clearStatements();
    typeFilter("   ");
    EXPECT_EQ(sFilter(), "");
    EXPECT_EQ(statements(), QStringList()) << "the top level costs no query";
    EXPECT_EQ(childKeys("a1"), QStringList()) << "rebuilt on every keystroke";
    typeFilter("1002");
    EXPECT_EQ(childKeys("a1"),
              (QStringList{"b10020101", "b10020102", "b10020201", "b10020301", "b10020302"}));
}

TEST_P(QuickFilterTest, OnlyBlanksAroundThePastedTextAreDropped) {
    struct Case {
        const char* name;
        QString pasted;
        QString searched; // the text in the condition
        QStringList keysUnderAssets;
    };
    const QStringList bank{"b1002", "b100201", "b10020101"};
    const std::vector<Case> cases = {
        {"blanks", "  1002 ", "1002", bank},
        {"tab before", "\t1002", "\t1002", {}},
        {"no-break space after", "1002\u00a0", "1002\u00a0", {}},
        {"ideographic space before", "\u30001002", "\u30001002", {}},
        {"a tab between blanks is text", " \t ", "\t", {}},
    };
    open();
    for (const Case& c : cases) {
        pasteFilter(c.pasted);
        ASSERT_EQ(filterBox().Text(), c.pasted) << c.name;
        EXPECT_TRUE(sFilter().contains("ccode like N'" + c.searched + "%'"))
            << c.name << ": " << sFilter().toStdString();
        EXPECT_EQ(childKeys("a1").mid(0, 3), c.keysUnderAssets) << c.name;
        EXPECT_TRUE(messages().isEmpty()) << c.name;
    }
}

TEST_P(QuickFilterTest, TheHostsInitialTextMayHoldAnApostrophe) {
    open(Variant(QString("O'Brien")));
    EXPECT_TRUE(messages().isEmpty()) << messages().join('\n').toStdString();
    EXPECT_FALSE(sFilter().isEmpty());
    EXPECT_EQ(childKeys(), (QStringList{"z", "a1", "a2", "a3", "a4", "a5", "a6"}));
    // Typed, the character never reaches the box.
    clearFilter();
    typeFilter("10'02");
    EXPECT_EQ(filterBox().Text(), "1002");
    EXPECT_EQ(childKeys("a1").first(), "b1002");
}

SARVO_ON_EVERY_ENGINE(QuickFilterTest);

} // namespace
