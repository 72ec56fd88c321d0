// The form's key hook: every key pressed in any of the form's controls reaches KeyDown once,
// with its virtual-key code and shift state, before the control sees it; a handler may swallow
// the key by setting the code to 0.
#include "host/controls/QzCommandButton.h"
#include "host/controls/QzEdit.h"
#include "host/controls/QzFrame.h"
#include "host/controls/QzKeyHookCtrl.h"
#include "host/controls/QzTreeView.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <gtest/gtest.h>

using namespace sarvo::controls;

namespace {

struct Pressed {
    int keyCode;
    int shift;
    bool operator==(const Pressed&) const = default;
};

void PrintTo(const Pressed& p, std::ostream* os) {
    *os << "{" << p.keyCode << ", " << p.shift << "}";
}

class KeyHook : public ::testing::Test {
protected:
    void SetUp() override {
        form.resize(400, 300);
        frame = new QzFrame(&form);
        edit = new QzEdit(frame);
        edit->setObjectName("txtFilter");
        tree = new QzTreeView(&form);
        tree->setObjectName("trvDis");
        hook = new QzKeyHookCtrl(&form);
        // Created after the hook: still watched.
        button = new QzCommandButton(&form);
        button->setObjectName("cmdButton0");
        QObject::connect(hook, &QzKeyHookCtrl::KeyDown, hook, [this](int& keyCode, int shift) {
            pressed.push_back({keyCode, shift});
            if (swallow) keyCode = 0;
        });
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
    QWidget form;
    QzFrame* frame = nullptr;
    QzEdit* edit = nullptr;
    QzTreeView* tree = nullptr;
    QzKeyHookCtrl* hook = nullptr;
    QzCommandButton* button = nullptr;
    std::vector<Pressed> pressed;
    bool swallow = false;
};

struct KeyCase {
    const char* name;
    const char* target;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    std::vector<Pressed> expected; // modifier keys come first, each with its own bit set
};

void PrintTo(const KeyCase& c, std::ostream* os) {
    *os << c.name;
}

class KeyCodes : public KeyHook, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(KeyCodes, ReachKeyDownOnceWithCodeAndShift) {
    const KeyCase& c = GetParam();
    QWidget* target = form.findChild<QWidget*>(QString::fromLatin1(c.target));
    ASSERT_NE(target, nullptr);
    target->setFocus();
    QTest::keyClick(target, c.key, c.modifiers);
    EXPECT_EQ(pressed, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    KeyHook, KeyCodes,
    ::testing::Values(
        KeyCase{"enter_in_tree", "trvDis", Qt::Key_Return, Qt::NoModifier, {{13, 0}}},
        KeyCase{"shift_enter_in_tree", "trvDis", Qt::Key_Return, Qt::ShiftModifier, {{16, 1}, {13, 1}}},
        KeyCase{"keypad_enter", "trvDis", Qt::Key_Enter, Qt::KeypadModifier, {{13, 0}}},
        KeyCase{"ctrl_alt_enter_in_edit",
                "txtFilter",
                Qt::Key_Return,
                Qt::ControlModifier | Qt::AltModifier,
                {{17, 2}, {18, 6}, {13, 6}}},
        KeyCase{"letter_in_edit", "txtFilter", Qt::Key_A, Qt::NoModifier, {{65, 0}}},
        KeyCase{"digit", "txtFilter", Qt::Key_7, Qt::NoModifier, {{55, 0}}},
        KeyCase{"keypad_digit", "txtFilter", Qt::Key_7, Qt::KeypadModifier, {{103, 0}}},
        KeyCase{"escape_on_button", "cmdButton0", Qt::Key_Escape, Qt::NoModifier, {{27, 0}}},
        KeyCase{"f1", "trvDis", Qt::Key_F1, Qt::NoModifier, {{112, 0}}},
        KeyCase{"arrow_down", "trvDis", Qt::Key_Down, Qt::NoModifier, {{40, 0}}},
        KeyCase{"shift_delete", "txtFilter", Qt::Key_Delete, Qt::ShiftModifier, {{16, 1}, {46, 1}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(KeyHook, HandlerSettingZeroSwallowsTheKey) {
    edit->setFocus();
    QTest::keyClicks(edit, "ab");
    swallow = true;
    QTest::keyClicks(edit, "cd");
    EXPECT_EQ(edit->Text(), QStringLiteral("ab"));
    EXPECT_EQ(pressed.size(), 4u);
}

TEST_F(KeyHook, KeysWithoutAVirtualKeyCodeRaiseNothing) {
    edit->setFocus();
    QKeyEvent dead(QEvent::KeyPress, Qt::Key_Dead_Acute, Qt::NoModifier);
    QApplication::sendEvent(edit, &dead);
    EXPECT_TRUE(pressed.empty());
}

TEST_F(KeyHook, KeysOutsideTheFormAreNotReported) {
    QzEdit elsewhere;
    elsewhere.show();
    QTest::keyClick(&elsewhere, Qt::Key_Return);
    EXPECT_TRUE(pressed.empty());
}

} // namespace
