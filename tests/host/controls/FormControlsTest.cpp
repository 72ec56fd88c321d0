// The input controls of the dialog on one form, worked like a user does through QTest: the
// quick-filter box that never takes the seven refused characters, typed or pasted; the form's key
// hook that reports every key once with its code and shift state before the control sees it; and
// the attribute check boxes (Value and Click, the style service's highlight, the Font object).
#include "ControlsTestSupport.h"

#include "host/controls/ControlFont.h"
#include "host/controls/QzCheckBox.h"
#include "host/controls/QzCommandButton.h"
#include "host/controls/QzEdit.h"
#include "host/controls/QzFrame.h"
#include "host/controls/QzKeyHookCtrl.h"
#include "host/controls/QzTreeView.h"
#include "host/controls/StyleService.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QTest>
#include <functional>
#include <optional>

using namespace sarvo;
using namespace sarvo::controls;
using sarvo::controls::testing::errorNumberOf;

namespace {

using Pressed = std::vector<std::pair<int, int>>; // key code and shift state of each KeyDown

class Form : public ::testing::Test {
protected:
    void SetUp() override {
        form.resize(400, 300);
        box->Move(120, 3300, 2400, 375);
        box->SetCaption("Supplier WWWWW");
        QObject::connect(edit, &QzEdit::Change, edit, [this] { changes << edit->Text(); });
        QObject::connect(box, &QzCheckBox::Click, box, [this] { clicks << box->Value(); });
        QObject::connect(hook, &QzKeyHookCtrl::KeyDown, hook, [this](int& keyCode, int shift) {
            pressed.emplace_back(keyCode, shift);
            if (swallow) keyCode = 0;
        });
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        edit->setFocus();
    }
    void clickBox() { QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2)); }
    void style(const char* text) { StyleService::Instance().SetStyle(box->hWnd(), text); }
    QColor caption() const { return box->captionColor(); }
    bool shows(const QColor& color) const { // anti-aliased caption pixels count
        const QImage shot = box->grab().toImage();
        for (int i = 0; i < shot.width() * shot.height(); ++i) {
            const QColor c = shot.pixelColor(i % shot.width(), i / shot.width());
            if (qAbs(c.red() - color.red()) + qAbs(c.green() - color.green()) +
                    qAbs(c.blue() - color.blue()) <
                60)
                return true;
        }
        return false;
    }

    QWidget form;
    QzEdit* edit = new QzEdit(new QzFrame(&form)); // inside a frame, as the filter box is
    QzTreeView* tree = new QzTreeView(&form);
    QzKeyHookCtrl* hook = new QzKeyHookCtrl(&form);
    QzCheckBox* box = new QzCheckBox(&form); // created after the hook: still watched
    QzCommandButton* button = new QzCommandButton(&form);
    QStringList changes; // the text each Change saw
    QList<int> clicks;   // the value each Click saw
    Pressed pressed;
    bool swallow = false;
};

// ---- quick-filter box ------------------------------------------------------------------------

TEST_F(Form, TypingKeepsOnlyTheAllowedCharacters) {
    for (const auto& [typed, kept] : {std::pair{"<>'\"|&,", ""},
                                      {"1001", "1001"},
                                      {"Cash a", "Cash a"},
                                      {"10'01", "1001"},
                                      {"x' or '1'='1", "x or 1=1"},
                                      {"%_()-;", "%_()-;"}}) {
        edit->clear();
        changes.clear();
        QTest::keyClicks(edit, typed);
        EXPECT_EQ(edit->Text(), kept) << typed;
        EXPECT_EQ(changes.size(), edit->Text().size()) << typed; // a refused key raises no Change
    }
}

TEST_F(Form, PastedTextLosesTheRefusedCharactersOnly) {
    QTest::keyClicks(edit, "ab");
    edit->setCursorPosition(1);
    QApplication::clipboard()->setText("<1'0|0&1,\">");
    edit->paste();
    EXPECT_EQ(edit->cursorPosition(), 5); // after what was inserted
    QApplication::clipboard()->setText("'z'");
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    QApplication::clipboard()->setText("'&'"); // nothing left to paste
    edit->paste();
    EXPECT_EQ(changes, (QStringList{"a", "ab", "a1001b", "a1001zb"}));
}

TEST_F(Form, TextAssignedInCodeIsKeptAsGivenAndOnlyTheUsersInputIsRefused) {
    edit->SetText("1001");
    edit->SetText("1001");
    edit->SetText("O'Neil, Ltd");
    EXPECT_EQ(changes, (QStringList{"1001", "O'Neil, Ltd"}));
    // Typing next to assigned refused characters keeps them and refuses only the typed ones.
    edit->setCursorPosition(1);
    QTest::keyClicks(edit, "'x,");
    EXPECT_EQ(edit->Text(), "Ox'Neil, Ltd");
    edit->end(false);
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->Text(), "Ox'Neil, Lt");
    edit->SetText(QString());
    edit->setText("a|b"); // the QLineEdit setter counts as input
    EXPECT_EQ(edit->Text(), "ab");
    edit->SetText("a;b"); // the list can be changed at design time
    edit->SetRefusedCharacters(";");
    QTest::keyClicks(edit, "';");
    EXPECT_EQ(edit->Text(), "a;b'");
}

TEST_F(Form, RefusedReportsWhatTheUserLostOncePerEdit) {
    QStringList refused;
    QObject::connect(edit, &QzEdit::Refused, edit, [&](const QString& lost) { refused << lost; });
    edit->SetText("a'b"); // assigned: nothing refused
    QTest::keyClicks(edit, "c");
    QTest::keyClicks(edit, "'");
    QTest::keyClicks(edit, "|");
    QApplication::clipboard()->setText("1<2>3");
    edit->paste();
    EXPECT_EQ(refused, (QStringList{"'", "|", "<>"}));
    EXPECT_EQ(edit->Text(), "a'bc123");
}

TEST_F(Form, UndoWalksBackThroughEditsAndItsHistoryStaysBounded) {
    QTest::keyClicks(edit, "1002");
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->UndoCount(), 5);
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(edit->Text(), "1002");
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(edit->Text(), "100");
    QTest::keyClick(edit, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(edit->Text(), "1002");
    EXPECT_EQ(changes.mid(5), (QStringList{"1002", "100", "1002"})) << "undo and redo are changes";
    // The line edit's own per-character history is dropped after every edit.
    EXPECT_FALSE(edit->isUndoAvailable());
    for (int i = 0; i < 3 * QzEdit::kUndoLimit; ++i) {
        QTest::keyClicks(edit, "5");
        QTest::keyClick(edit, Qt::Key_Backspace);
    }
    EXPECT_EQ(edit->UndoCount(), QzEdit::kUndoLimit);
    EXPECT_EQ(edit->RedoCount(), 0);
    EXPECT_FALSE(edit->isUndoAvailable());
    edit->setSelection(1, 2);
    QTest::keyClicks(edit, "9");
    EXPECT_EQ(edit->Text(), "192");
    EXPECT_EQ(edit->cursorPosition(), 2) << "the cursor stays where the edit left it";
}

// ---- key hook --------------------------------------------------------------------------------

TEST_F(Form, KeysReachKeyDownOnceWithCodeAndShift) {
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
        {edit, Qt::Key_7, Qt::KeypadModifier, {{103, 0}}},
        {button, Qt::Key_Escape, Qt::NoModifier, {{27, 0}}},
        {box, Qt::Key_F1, Qt::NoModifier, {{112, 0}}},
    };
    for (const auto& c : cases) {
        pressed.clear();
        c.target->setFocus();
        QTest::keyClick(c.target, c.key, c.modifiers);
        EXPECT_EQ(pressed, c.expected) << "key " << c.key << " in " << c.target->metaObject()->className();
    }
}

TEST_F(Form, KeyDownSettingZeroSwallowsTheKey) {
    QTest::keyClicks(edit, "ab");
    swallow = true;
    QTest::keyClicks(edit, "cd");
    EXPECT_EQ(edit->Text(), "ab");
    EXPECT_EQ(pressed, (Pressed{{65, 0}, {66, 0}, {67, 0}, {68, 0}}));
}

TEST_F(Form, DeadKeysAndKeysOutsideTheFormRaiseNoKeyDown) {
    QKeyEvent dead(QEvent::KeyPress, Qt::Key_Dead_Acute, Qt::NoModifier);
    QApplication::sendEvent(edit, &dead);
    QzEdit elsewhere;
    elsewhere.show();
    QTest::keyClick(&elsewhere, Qt::Key_Return);
    EXPECT_TRUE(pressed.empty());
}

// ---- check boxes -----------------------------------------------------------------------------

TEST_F(Form, OnlyTheUserTogglingABoxRaisesClickAfterTheValueChanged) {
    clickBox();
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Space);
    clickBox();
    box->SetValue(0);
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(errorNumberOf([&] { box->SetValue(2); }), 380);
    box->SetEnabled(false);
    clickBox();
    EXPECT_EQ(box->Value(), 0);
    EXPECT_EQ(clicks, (QList<int>{1, 0, 1}));
}

TEST_F(Form, StylesDrawTheCaptionInTheirColourUntilReset) {
    box->SetForeColorRgb(0x800000); // dark blue in the host's colour number (0xBBGGRR)
    for (const auto& [text, highlight] :
         {std::pair{"checkbutton.RGB-0-100-255", std::optional(QColor(0, 100, 255))},
          {"checkbutton.RGB-200-0-0", QColor(200, 0, 0)},
          {" CheckButton.rgb-0-100-255 ", QColor(0, 100, 255)},
          {"", std::nullopt},
          {"checkbutton.RGB-0-100-256", std::nullopt},
          {"checkbutton.RGB-0-100", std::nullopt},
          {"button.RGB-0-100-255", std::nullopt},
          {"checkbutton.RGB-0-x-255", std::nullopt}}) {
        style(text);
        EXPECT_EQ(box->property("highlighted").toBool(), highlight.has_value()) << text;
        EXPECT_EQ(caption(), highlight.value_or(Qt::darkBlue)) << text;
        EXPECT_TRUE(!highlight || shows(*highlight)) << text;
        StyleService::Instance().ResetStyle(box->hWnd());
        EXPECT_EQ(caption(), QColor(Qt::darkBlue)) << text;
        EXPECT_TRUE(!highlight || !shows(*highlight)) << text;
    }
    EXPECT_EQ(box->Value(), 0); // styles never touch the value
    style("checkbutton.RGB-0-100-255");
    box->SetForeColor(Qt::black); // the highlight wins until a plain style replaces it
    EXPECT_EQ(caption(), QColor(0, 100, 255));
    style("");
    EXPECT_EQ(caption(), QColor(Qt::black));
    EXPECT_EQ(errorNumberOf([&] { box->SetForeColorRgb(0x1000000); }), 380);
}

// Counts the paints a widget gets.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

TEST_F(Form, StyleChangesPaintTheBoxOnceWhenTheEventLoopRunsAndOnlyWhenItsColourChanged) {
    const QString blue = QStringLiteral("checkbutton.RGB-0-100-255");
    const QString red = QStringLiteral("checkbutton.RGB-200-0-0");
    auto& styles = StyleService::Instance();
    const struct {
        const char* name;
        bool highlightedBefore;
        std::function<void()> change;
        int paints;
        std::optional<QColor> shown;
    } cases[] = {
        {"highlight", false, [&] { style(qPrintable(blue)); }, 1, QColor(0, 100, 255)},
        {"reset and the same highlight again", true,
         [&] {
             styles.ResetStyle(box->hWnd());
             style(qPrintable(blue));
             box->Refresh();
         },
         0, QColor(0, 100, 255)},
        {"reset, plain style, repaint asked", true,
         [&] {
             styles.ResetStyle(box->hWnd());
             style("");
             box->Refresh();
         },
         1, std::nullopt},
        {"another highlight", true, [&] { style(qPrintable(red)); }, 1, QColor(200, 0, 0)},
        {"highlight and back before the loop runs", false,
         [&] {
             style(qPrintable(blue));
             styles.ResetStyle(box->hWnd());
         },
         0, std::nullopt},
        {"twenty changes ending highlighted", false,
         [&] {
             for (int i = 0; i < 10; ++i) {
                 style(qPrintable(i % 2 ? red : blue));
                 styles.ResetStyle(box->hWnd());
             }
             style(qPrintable(blue));
         },
         1, QColor(0, 100, 255)},
        {"repaint asked with nothing changed", false, [&] { box->Refresh(); }, 0, std::nullopt},
        {"fore colour it already has", false, [&] { box->SetForeColor(box->ForeColor()); }, 0, std::nullopt},
    };
    for (const auto& c : cases) {
        if (c.highlightedBefore)
            style(qPrintable(blue));
        else
            styles.ResetStyle(box->hWnd());
        box->repaint();
        QApplication::processEvents();
        PaintCounter counter;
        box->installEventFilter(&counter);
        c.change();
        EXPECT_EQ(counter.paints, 0) << c.name << ": nothing is painted before the event loop runs";
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
        box->removeEventFilter(&counter);
        EXPECT_EQ(counter.paints, c.paints) << c.name;
        EXPECT_EQ(box->property("highlighted").toBool(), c.shown.has_value()) << c.name;
        if (c.shown) {
            EXPECT_TRUE(shows(*c.shown)) << c.name;
        }
    }
}

TEST_F(Form, FontPropertiesByEitherNameChangeTheBoxesFont) {
    const ObjectRef font = box->Font();
    font->put("Name", Variant("Tahoma"));
    font->put("fontsize", Variant(9.0));
    EXPECT_EQ(box->font().family(), "Tahoma");
    EXPECT_EQ(box->font().pointSizeF(), 9.0);
    font->put("FontName", Variant(QStringLiteral("宋体")));
    EXPECT_EQ(box->Font()->get("Name").toString(), QStringLiteral("宋体")); // one font object per control
    EXPECT_EQ(errorNumberOf([&] { font->put("Name", Variant("")); }), 380);
    delete box;
    EXPECT_EQ(errorNumberOf([&] { font->put("Size", Variant(9.0)); }), 91); // outlived its control
}

} // namespace
