// The attribute boxes as a display: selecting an account draws the boxes of its attributes
// highlighted, without ticking, unticking, enabling or disabling any of them.
#include "tests/support/DialogHarness.h"

using namespace sarvo;

namespace {

class AttributeDisplayTest : public sarvo::testing::EngineDialogHarness {
protected:
    void SetUp() override {
        EngineDialogHarness::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        storeTreeDisplay(false);
    }
    // Nothing the display does may change what the filter would build.
    void expectBoxesUntouched(const char* context) const {
        for (int i = 0; i < 10; ++i) {
            EXPECT_EQ(chkChoice(i).Value(), 0) << context << " box " << i;
            EXPECT_TRUE(chkChoice(i).isEnabled()) << context << " box " << i;
        }
    }
};

TEST_P(AttributeDisplayTest, TheSelectedAccountsAttributesAreHighlighted) {
    struct Case {
        const char* code;
        const char* account;
        const char* highlighted;
    };
    const std::vector<Case> cases = {
        {"112301", "supplier", "2 7"},
        {"112203", "customer in foreign currency", "1 5 7"},
        {"10020102", "foreign-currency bank account", "5 7 8 9"},
        {"122101", "personal", "0 7"},
        {"122102", "personal with project", "0 4 7"},
        {"112202", "customer with project", "1 4 7"},
        {"112302", "supplier with project", "2 4 7"},
        {"122103", "supplier with department", "2 3 7"},
        {"600102", "customer with department", "1 3 7"},
        {"500101", "department with project", "3 4 7"},
        {"220202", "supplier, department and project", "2 3 4 7"},
        {"600101", "customer, department and project", "1 3 4 7"},
        {"160401", "project alone", "4 7"},
        {"140301", "quantity", "6 7"},
        {"1001", "cash journal", "7 8"},
        {"1002", "bank, not end level", "8 9"},
        {"6601", "nothing at all", ""},
    };
    open();
    for (const Case& c : cases) {
        clearFilter();
        typeFilter(c.code);
        ASSERT_EQ(selectedKey(), QString("b") + c.code) << c.account;
        EXPECT_EQ(highlightedBoxes(), c.highlighted) << c.account;
        expectBoxesUntouched(c.account);
    }
}

TEST_P(AttributeDisplayTest, NodesThatAreNoAccountShowEveryBoxPlainAndTicksStayAsTheyWere) {
    open();
    click(chkChoice(8));
    click(chkChoice(2));
    typeFilter("10020102");
    ASSERT_EQ(highlightedBoxes(), "5 7 8 9");
    clickNode("a1");
    EXPECT_EQ(highlightedBoxes(), "") << "class node";
    clickNode("b10020102");
    ASSERT_EQ(highlightedBoxes(), "5 7 8 9");
    clickNode("z");
    EXPECT_EQ(highlightedBoxes(), "") << "group node";
    clickNode("b10020102");
    host.exec("delete from code where ccode='10020102'");
    clickNode("b10020102");
    EXPECT_EQ(highlightedBoxes(), "") << "an account no longer in the chart";
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(chkChoice(i).Value(), i == 2 || i == 8 ? 1 : 0) << "box " << i;
    EXPECT_FALSE(chkChoice(0).isEnabled()) << "still excluded by the ticked supplier box";
}

SARVO_ON_EVERY_ENGINE(AttributeDisplayTest);

} // namespace
