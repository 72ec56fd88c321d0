// The quick-filter box: the seven refused characters never get in, typed or pasted, the rest of
// the input does, and Change is raised once for every real change of the text.
#include "ControlsTestSupport.h"

#include "host/controls/QzEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>

using namespace sarvo::controls;

namespace {

class Edit : public ::testing::Test {
protected:
    void SetUp() override {
        QObject::connect(&edit, &QzEdit::Change, &edit, [this] { changes << edit.Text(); });
        edit.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit));
        edit.setFocus();
    }
    QzEdit edit;
    QStringList changes; // the text each Change saw
};

TEST_F(Edit, TypingKeepsOnlyTheAllowedCharacters) {
    for (const auto& [typed, kept] : {std::pair{"<>'\"|&,", ""},
                                      {"1001", "1001"},
                                      {"Cash a", "Cash a"},
                                      {"10'01", "1001"},
                                      {"x' or '1'='1", "x or 1=1"},
                                      {"%_()-;", "%_()-;"}}) {
        edit.clear();
        changes.clear();
        QTest::keyClicks(&edit, typed);
        EXPECT_EQ(edit.Text(), kept) << typed;
        EXPECT_EQ(changes.size(), edit.Text().size()) << typed; // a refused key raises no Change
    }
}

TEST_F(Edit, PastedTextLosesTheRefusedCharactersOnly) {
    QTest::keyClicks(&edit, "ab");
    edit.setCursorPosition(1);
    QApplication::clipboard()->setText("<1'0|0&1,\">");
    edit.paste();
    EXPECT_EQ(edit.cursorPosition(), 5); // after what was inserted
    QApplication::clipboard()->setText("'z'");
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    QApplication::clipboard()->setText("'&'"); // nothing left to paste
    edit.paste();
    EXPECT_EQ(changes, (QStringList{"a", "ab", "a1001b", "a1001zb"}));
}

TEST_F(Edit, TextAssignedInCodeIsKeptCleanAndRaisesChangeWhenItDiffers) {
    edit.SetText("1001");
    edit.SetText("1001");
    edit.SetText("O'Neil, Ltd");
    edit.SetText(QString());
    EXPECT_EQ(changes, (QStringList{"1001", "ONeil Ltd", ""}));
    edit.setText("a|b"); // the QLineEdit setter is guarded as well
    EXPECT_EQ(edit.Text(), "ab");
    edit.SetText("a;b"); // the list can be changed at design time
    edit.SetRefusedCharacters(";");
    QTest::keyClicks(&edit, "';");
    EXPECT_EQ(edit.Text(), "ab'");
}

} // namespace
