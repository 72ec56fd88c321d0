// The form's key hook: every key pressed in any of the form's controls reaches KeyDown once, with
// its virtual-key code and shift state, before the control sees it; setting the code to 0
// swallows the key.
#include "ControlsTestSupport.h"

#include "host/controls/QzCommandButton.h"
#include "host/controls/QzEdit.h"
#include "host/controls/QzFrame.h"
#include "host/controls/QzKeyHookCtrl.h"
#include "host/controls/QzTreeView.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>

using namespace sarvo::controls;

namespace {

using Pressed = std::vector<std::pair<int, int>>; // key code and shift state of each KeyDown

class KeyHook : public ::testing::Test {
protected:
    void SetUp() override {
        QObject::connect(hook, &QzKeyHookCtrl::KeyDown, hook, [this](int& keyCode, int shift) {
            pressed.emplace_back(keyCode, shift);
            if (swallow) keyCode = 0;
        });
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
    QWidget form;
    QzEdit* edit = new QzEdit(new QzFrame(&form)); // inside a frame, as the filter box is
    QzTreeView* tree = new QzTreeView(&form);
    QzKeyHookCtrl* hook = new QzKeyHookCtrl(&form);
    QzCommandButton* button = new QzCommandButton(&form); // created after the hook: still watched
    Pressed pressed;
    bool swallow = false;
};

TEST_F(KeyHook, KeysReachKeyDownOnceWithCodeAndShift) {
    const struct {
        QWidget* target;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        Pressed expected; // modifier keys come first, each with its own bit set
    } cases[] = {
        {tree, Qt::Key_Return, Qt::NoModifier, {{13, 0}}},
        {tree, Qt::Key_Return, Qt::ShiftModifier, {{16, 1}, {13, 1}}},
        {tree, Qt::Key_Enter, Qt::KeypadModifier, {{13, 0}}},
        {edit, Qt::Key_Return, Qt::ControlModifier | Qt::AltModifier, {{17, 2}, {18, 6}, {13, 6}}},
        {edit, Qt::Key_A, Qt::NoModifier, {{65, 0}}},
        {edit, Qt::Key_7, Qt::NoModifier, {{55, 0}}},
        {edit, Qt::Key_7, Qt::KeypadModifier, {{103, 0}}},
        {edit, Qt::Key_Delete, Qt::ShiftModifier, {{16, 1}, {46, 1}}},
        {button, Qt::Key_Escape, Qt::NoModifier, {{27, 0}}},
        {tree, Qt::Key_F1, Qt::NoModifier, {{112, 0}}},
        {tree, Qt::Key_Down, Qt::NoModifier, {{40, 0}}},
    };
    for (const auto& c : cases) {
        pressed.clear();
        c.target->setFocus();
        QTest::keyClick(c.target, c.key, c.modifiers);
        EXPECT_EQ(pressed, c.expected) << "key " << c.key << " in " << c.target->metaObject()->className();
    }
}

TEST_F(KeyHook, HandlerSettingZeroSwallowsTheKey) {
    edit->setFocus();
    QTest::keyClicks(edit, "ab");
    swallow = true;
    QTest::keyClicks(edit, "cd");
    EXPECT_EQ(edit->Text(), "ab");
    EXPECT_EQ(pressed, (Pressed{{65, 0}, {66, 0}, {67, 0}, {68, 0}}));
}

TEST_F(KeyHook, DeadKeysAndKeysOutsideTheFormRaiseNothing) {
    edit->setFocus();
    QKeyEvent dead(QEvent::KeyPress, Qt::Key_Dead_Acute, Qt::NoModifier);
    QApplication::sendEvent(edit, &dead);
    QzEdit elsewhere;
    elsewhere.show();
    QTest::keyClick(&elsewhere, Qt::Key_Return);
    EXPECT_TRUE(pressed.empty());
}

} // namespace
