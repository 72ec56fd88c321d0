// The quick-filter box: the seven refused characters never get in, typed or pasted, the rest of
// the input does, and Change is raised once for every real change of the text.
#include "host/controls/QzEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <gtest/gtest.h>

using namespace sarvo::controls;

namespace {

class EditTest : public ::testing::Test {
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

struct TypingCase {
    const char* name;
    const char* typed;
    const char* text;
    int changes;
};

void PrintTo(const TypingCase& c, std::ostream* os) {
    *os << c.name;
}

class Typing : public EditTest, public ::testing::WithParamInterface<TypingCase> {};

TEST_P(Typing, KeepsOnlyTheAllowedCharacters) {
    const TypingCase& c = GetParam();
    QTest::keyClicks(&edit, QString::fromUtf8(c.typed));
    EXPECT_EQ(edit.Text(), QString::fromUtf8(c.text));
    EXPECT_EQ(changes.size(), c.changes);
}

INSTANTIATE_TEST_SUITE_P(
    EditTest, Typing,
    ::testing::Values(TypingCase{"less_than", "<", "", 0}, TypingCase{"greater_than", ">", "", 0},
                      TypingCase{"apostrophe", "'", "", 0}, TypingCase{"double_quote", "\"", "", 0},
                      TypingCase{"vertical_bar", "|", "", 0}, TypingCase{"ampersand", "&", "", 0},
                      TypingCase{"comma", ",", "", 0}, TypingCase{"code", "1001", "1001", 4},
                      TypingCase{"name_with_blank", "Cash a", "Cash a", 6},
                      TypingCase{"quote_inside", "10'01", "1001", 4},
                      TypingCase{"sql_injection", "x' or '1'='1", "x or 1=1", 8},
                      TypingCase{"other_punctuation", "%_()-", "%_()-", 5}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditTest, PastedTextLosesTheRefusedCharactersOnly) {
    QTest::keyClicks(&edit, "ab");
    edit.setCursorPosition(1);
    QApplication::clipboard()->setText(QStringLiteral("<1'0|0&1,\">"));
    edit.paste();
    EXPECT_EQ(edit.Text(), QStringLiteral("a1001b"));
    EXPECT_EQ(edit.cursorPosition(), 5); // after what was inserted
    QApplication::clipboard()->setText(QStringLiteral("'z'"));
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit.Text(), QStringLiteral("a1001zb"));
    EXPECT_EQ(changes, (QStringList{"a", "ab", "a1001b", "a1001zb"}));
}

TEST_F(EditTest, PastingOnlyRefusedCharactersChangesNothing) {
    QTest::keyClicks(&edit, "10");
    QApplication::clipboard()->setText(QStringLiteral("'&'"));
    edit.paste();
    EXPECT_EQ(edit.Text(), QStringLiteral("10"));
    EXPECT_EQ(changes.size(), 2);
}

TEST_F(EditTest, TextAssignedInCodeRaisesChangeAndIsKeptClean) {
    edit.SetText(QStringLiteral("1001"));
    edit.SetText(QStringLiteral("1001")); // no change, no event
    edit.SetText(QStringLiteral("O'Neil, Ltd"));
    edit.SetText(QString());
    EXPECT_EQ(changes, (QStringList{"1001", "ONeil Ltd", ""}));
    edit.setText(QStringLiteral("a|b")); // the QLineEdit setter is guarded as well
    EXPECT_EQ(edit.Text(), QStringLiteral("ab"));
}

TEST_F(EditTest, TheListCanBeChangedAtDesignTime) {
    EXPECT_EQ(edit.RefusedCharacters(), QStringLiteral("<>'\"|&,"));
    edit.SetText(QStringLiteral("a;b"));
    edit.SetRefusedCharacters(QStringLiteral(";"));
    EXPECT_EQ(edit.Text(), QStringLiteral("ab"));
    QTest::keyClicks(&edit, "';");
    EXPECT_EQ(edit.Text(), QStringLiteral("ab'"));
}

} // namespace
