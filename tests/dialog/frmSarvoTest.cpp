// The reference dialog as the user meets it: every control in its designed place, the load
// and its options, the edit button, the Enter key and the splitter.
#include "dialog/frmSarvo.h"
#include "component/basSarvo.h"
#include "dialog/AccountNodeDecorator.h"
#include "dialog/frmSarvoDesign.h"
#include "host/controls/FormImage.h"
#include "host/controls/QzTreeView.h"
#include "host/controls/TreeNodeModel.h"
#include "host/services/MessageService.h"
#include "runtime/RuntimeError.h"
#include "tests/support/HostFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

using namespace sarvo;
using sarvo::testing::HostFixture;

namespace {

// A request in progress: the shared state as DRReference leaves it just before the dialog loads.
class DialogTest : public ::testing::Test {
protected:
    explicit DialogTest(const QString& language = QStringLiteral("zh-cn"),
                        const sarvo::testing::EngineSlot& engine = sarvo::testing::sqliteSlot())
        : host(QStringLiteral("standard"), language, QStringLiteral("2024"), engine), m_engine(engine) {}

    void SetUp() override {
        SARVO_REQUIRE_ENGINE(m_engine);
        basSarvo::setZwPub(host.zwPub);
        basSarvo::setLogin(host.login);
        host.zwPub->SetLogin(host.login);
        host.zwPub->InitContext(Variant(host.kit), "demo", "001", 2024, "demo", QDateTime::currentDateTime());
        basSarvo::iYear() = 2024;
    }
    void TearDown() override {
        basSarvo::setZwPub(nullptr);
        basSarvo::setLogin(nullptr);
    }

    ObjectRef attrib() const { return host.zwPub->RefAttrib(); }
    QString option(const char* name) const {
        return host.scalar(
            QString("select cValue from AccInformation where cSysID='GL' and cName='%1'").arg(name));
    }
    bool optionExists(const char* name) const {
        return host.scalar(QString("select count(*) from AccInformation where cSysID='GL' and cName='%1'")
                               .arg(name)) == "1";
    }

    HostFixture host;
    const sarvo::testing::EngineSlot& m_engine;
};

// The load and the options it writes, over every engine: the rows written must not depend on it.
class DialogEngineTest : public DialogTest,
                         public ::testing::WithParamInterface<const sarvo::testing::EngineSlot*> {
protected:
    DialogEngineTest() : DialogTest(QStringLiteral("zh-cn"), *GetParam()) {}
};

template <class T> T* child(QWidget& form, const QString& name) {
    T* w = form.findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name.toStdString();
    return w;
}

QString captionOf(QWidget* w) {
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
    if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title();
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
    return {};
}

TEST_F(DialogTest, EveryControlIsInItsDesignedPlaceWithItsCaption) {
    frmSarvo form;
    EXPECT_EQ(form.width(), 6810 / 15);
    EXPECT_EQ(form.height(), 5490 / 15);
    for (const dialog::ControlDesign& d : dialog::frmSarvoDesign()) {
        const QString name = QString::fromLatin1(d.name);
        QWidget* w = form.findChild<QWidget*>(name);
        ASSERT_NE(w, nullptr) << d.name;
        bool kindMatches = false;
        switch (d.kind) {
        case dialog::ControlKind::TreeView:
            kindMatches = qobject_cast<QTreeView*>(w);
            break;
        case dialog::ControlKind::CheckBox:
            kindMatches = qobject_cast<QCheckBox*>(w);
            break;
        case dialog::ControlKind::Radio:
            kindMatches = qobject_cast<QRadioButton*>(w);
            break;
        case dialog::ControlKind::Edit:
            kindMatches = qobject_cast<QLineEdit*>(w);
            break;
        case dialog::ControlKind::CommandButton:
            kindMatches = qobject_cast<QPushButton*>(w);
            break;
        case dialog::ControlKind::Frame:
            kindMatches = qobject_cast<QGroupBox*>(w);
            break;
        case dialog::ControlKind::Label:
            kindMatches = qobject_cast<QLabel*>(w);
            break;
        case dialog::ControlKind::Image:
            kindMatches = qobject_cast<controls::FormImage*>(w);
            break;
        }
        EXPECT_TRUE(kindMatches) << d.name;
        const QString parentName =
            QString::fromLatin1(d.parent).isEmpty() ? "frmSarvo" : QString::fromLatin1(d.parent);
        EXPECT_EQ(w->parentWidget()->objectName(), parentName) << d.name;
        EXPECT_EQ(w->geometry(), QRect(d.left / 15, d.top / 15, d.width / 15, d.height / 15)) << d.name;
        if (*d.caption) {
            EXPECT_EQ(captionOf(w), QString::fromUtf8(d.caption)) << d.name;
        }
    }
    EXPECT_TRUE(child<QCheckBox>(form, "ChkFfc")->isChecked()) << "ticked at design time";
    EXPECT_TRUE(child<QRadioButton>(form, "optFilter(0)")->isChecked());
    EXPECT_TRUE(child<QLabel>(form, "Label10")->isHidden());
}

TEST_F(DialogTest, TabOrderStartsAtTheTreeAndFollowsTheDesign) {
    frmSarvo form;
    form.Form_Load();
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    EXPECT_EQ(QApplication::focusWidget()->objectName(), "trvDis");
    QStringList visited;
    for (int i = 0; i < 6; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    // Labels and frames take no focus: after the buttons comes the first attribute box.
    EXPECT_EQ(visited, (QStringList{"cmdButton(0)", "cmdButton(1)", "cmdButton(2)", "cmdButton(3)",
                                    "chkChoice(0)", "chkChoice(1)"}));
    form.close();
}

TEST_P(DialogEngineTest, FirstLoadInANewAccountSetCreatesTheTreeOptionTicked) {
    ASSERT_FALSE(optionExists("IntSarvoTree"));
    {
        frmSarvo form;
        form.Form_Load();
        EXPECT_TRUE(child<QCheckBox>(form, "chkTreeDisp")->isChecked());
        EXPECT_FALSE(attrib()->getAt(7).toBool()) << "ViewOK is False while the dialog is open";
        EXPECT_EQ(basSarvo::sCloseFilter(), " bclose=0 and ");
        form.close();
    }
    EXPECT_EQ(option("IntSarvoTree"), "1");
    EXPECT_EQ(host.scalar("select cID||cCaption||cType||cDefault||bVisible||bEnable from AccInformation "
                          "where cName='IntSarvoTree'"),
              "171Sarvo树型显示Integer111");
    // Unticking it is what the next load comes up with.
    {
        frmSarvo form;
        form.Form_Load();
        child<QCheckBox>(form, "chkTreeDisp")->click();
        form.close();
    }
    EXPECT_EQ(option("IntSarvoTree"), "0");
    frmSarvo form;
    form.Form_Load();
    EXPECT_FALSE(child<QCheckBox>(form, "chkTreeDisp")->isChecked());
    EXPECT_EQ(host.scalar("select count(*) from AccInformation where cName='IntSarvoTree'"), "1");
    form.close();
}

TEST_P(DialogEngineTest, MatchModeIsWrittenOnlyWhenTheUserChangedIt) {
    struct Case {
        const char* name;
        const char* stored; // nullptr: no row
        QStringList clicks; // option buttons clicked before closing
        bool containsSelected;
        const char* expected; // nullptr: still no row / unchanged
    };
    const std::vector<Case> cases = {
        {"absent, untouched", nullptr, {}, false, nullptr},
        {"unknown value means begins", "2", {}, false, "2"},
        {"absent, switched to contains", nullptr, {"optFilter(1)"}, true, "1"},
        {"switched there and back", "0", {"optFilter(1)", "optFilter(0)"}, false, "0"},
        {"stored contains, switched to begins", "1", {"optFilter(0)"}, false, "0"},
        {"stored contains, untouched", "1", {}, true, "1"},
    };
    for (const Case& c : cases) {
        host.exec("delete from AccInformation where cName='IntSarvoFilter'");
        if (c.stored)
            host.exec(QString("insert into AccInformation(cSysID,cID,cName,cValue) "
                              "values('GL','172','IntSarvoFilter','%1')")
                          .arg(c.stored));
        const QString before = option("IntSarvoFilter");
        frmSarvo form;
        form.Form_Load();
        form.show();
        for (const QString& name : c.clicks)
            QTest::mouseClick(child<QRadioButton>(form, name), Qt::LeftButton);
        EXPECT_EQ(child<QRadioButton>(form, "optFilter(1)")->isChecked(), c.containsSelected) << c.name;
        form.close();
        if (c.expected)
            EXPECT_EQ(option("IntSarvoFilter"), c.expected) << c.name;
        else
            EXPECT_FALSE(optionExists("IntSarvoFilter")) << c.name;
        EXPECT_EQ(option("IntSarvoFilter"), c.expected ? QString(c.expected) : before) << c.name;
    }
}

TEST_F(DialogTest, NoeditDisablesOnlyTheEditButton) {
    for (const char* flag : {"noedit", "NOEDIT", "", "edit"}) {
        attrib()->putAt(6, Variant(flag));
        frmSarvo form;
        form.Form_Load();
        EXPECT_EQ(child<QPushButton>(form, "cmdButton(2)")->isEnabled(), QString(flag) != "noedit") << flag;
        for (const char* other : {"cmdButton(0)", "cmdButton(1)", "cmdButton(3)"})
            EXPECT_TRUE(child<QPushButton>(form, other)->isEnabled()) << flag << other;
        form.close();
    }
}

TEST_F(DialogTest, InitialTextIsInTheBoxWithoutRunningTheChangeHandler) {
    attrib()->putAt(1, Variant("1002"));
    frmSarvo form;
    form.Form_Load();
    EXPECT_EQ(child<QLineEdit>(form, "txtFilter")->text(), "1002");
    EXPECT_FALSE(form.sFilter.isEmpty()) << "the first tree is already filtered";
    form.close();
}

TEST_F(DialogTest, EnterInTheTreeOrTheFilterBoxReachesTheOkHandlerAndNowhereElse) {
    for (const char* focus : {"trvDis", "txtFilter", "chkChoice(3)"}) {
        attrib()->putAt(1, Variant("100201"));
        attrib()->putAt(7, Variant(false));
        frmSarvo form;
        form.Form_Load();
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        auto* tree = child<controls::QzTreeView>(form, "trvDis");
        ASSERT_FALSE(tree->SelectedItem().isNull()) << "the filtered tree selects its first account";
        QWidget* target = child<QWidget>(form, focus);
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Return, Qt::ShiftModifier);
        const bool confirmed = attrib()->getAt(7).toBool();
        EXPECT_EQ(confirmed, QString(focus) != "chkChoice(3)") << focus;
        if (confirmed) {
            EXPECT_TRUE(attrib()->getAt(3).toString().startsWith("100201")) << focus;
            EXPECT_TRUE(QTest::qWaitFor([&] { return !form.isVisible(); }, 2000))
                << "the timer closes the dialog";
        }
        form.close();
    }
}

class EnglishDialogTest : public DialogTest {
protected:
    EnglishDialogTest() : DialogTest(QStringLiteral("en-us")) {}
};

TEST_F(EnglishDialogTest, TreeDisplayCaptionAndFontFollowTheLanguage) {
    frmSarvo form;
    form.Form_Load();
    auto* box = child<QCheckBox>(form, "chkTreeDisp");
    EXPECT_EQ(box->text(), host.zwPub->ResString("Host.SA.Kelvorn.frmbadboy.01132"));
    EXPECT_EQ(box->font().family(), "Tahoma");
    EXPECT_EQ(box->font().pointSizeF(), 8.0);
    EXPECT_EQ(child<QPushButton>(form, "cmdButton(3)")->text(),
              host.zwPub->ResString("Host.CW.GL.SARvo.cmdButton(3)"));
    form.close();
}

// The splitter: the release applies the proposed widening within the clamps.
TEST_F(DialogTest, SplitterMovesTreeGripButtonsAndDialogWithinTheClamps) {
    struct Case {
        const char* name;
        float proposed;
        int roomRight; // twips between the dialog's right edge and the screen's
        float applied;
    };
    const std::vector<Case> cases = {
        {"widen freely", 600, 3000, 600},
        {"stopped at the screen edge", 2000, 500, 2000},
        {"narrow freely", -1500, 3000, -1500},
        {"tree stays 1000 wide", -6000, 3000, 1000 - 5250},
        {"click on the grip applies its offset", 30, 3000, 30},
    };
    for (const Case& c : cases) {
        frmSarvo form;
        form.Form_Load();
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        const int screenTwips = form.screen()->geometry().width() * 15;
        const int left = screenTwips - c.roomRight - form.formWidth();
        form.move(left / 15, 50);
        QApplication::processEvents();
        const int formWidth = form.formWidth();
        const int roomRight = screenTwips - (form.formLeft() + formWidth);
        ASSERT_NEAR(roomRight, c.roomRight, 30) << c.name;
        const float expected = std::min(c.applied, static_cast<float>(roomRight));
        auto& tree = form.trvDis();
        const int gripLeft = form.Image1().Left();
        const int okLeft = form.cmdButton(0).Left();
        const QRect fraGLXZ = form.findChild<QWidget*>("fraGLXZ")->geometry();

        form.Image1_MouseDown(1, 0, 30, 100);
        EXPECT_TRUE(form.bDragging);
        float x = c.proposed;
        form.Image1_MouseUp(1, 0, x, 100);
        EXPECT_FALSE(form.bDragging);
        EXPECT_FLOAT_EQ(x, expected) << c.name;
        EXPECT_EQ(tree.Width(), 5250 + static_cast<int>(expected)) << c.name;
        EXPECT_EQ(form.Image1().Left(), gripLeft + static_cast<int>(expected)) << c.name;
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(form.cmdButton(i).Left(), 5580 + static_cast<int>(expected)) << c.name;
        EXPECT_EQ(okLeft, 5580);
        EXPECT_NEAR(form.formWidth(), formWidth + static_cast<int>(expected), 15) << c.name;
        EXPECT_EQ(form.findChild<QWidget*>("fraGLXZ")->geometry(), fraGLXZ) << "nothing else moves";
        EXPECT_FALSE(form.Line1().Visible());
        form.close();
    }
}

TEST_F(DialogTest, DraggingTheGripWithTheMouseShowsTheLineAndWidensTheTree) {
    frmSarvo form;
    form.Form_Load();
    form.move(10, 10);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    auto& grip = form.Image1();
    QTest::mouseMove(&grip, QPoint(2, 50));
    EXPECT_FALSE(form.Line1().Visible()) << "hovering shows nothing";
    QTest::mousePress(&grip, Qt::LeftButton, {}, QPoint(2, 50));
    EXPECT_TRUE(form.Line1().Visible());
    QTest::mouseMove(&grip, QPoint(2 + 40, 50));
    EXPECT_EQ(form.Line1().X1(), 5430 + (2 + 40) * 15);
    QTest::mouseRelease(&grip, Qt::LeftButton, {}, QPoint(2 + 40, 50));
    EXPECT_FALSE(form.Line1().Visible());
    EXPECT_EQ(form.trvDis().Width(), 5250 + (2 + 40) * 15);
    form.close();
}

} // namespace

namespace {

// A failing handler is reported once, with its number, and leaves the dialog open with what it
// had done so far.
TEST_P(DialogEngineTest, HandlerFailureIsShownOnceAndTheDialogStaysOpen) {
    frmSarvo form;
    form.Form_Load();
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    host::MessageService::clear();
    host.exec("alter table code rename to code_elsewhere");
    auto* tree = child<controls::QzTreeView>(form, "trvDis");
    const controls::QzNode assets = tree->Nodes().Item(QStringLiteral("a1"));
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                      tree->visualRect(tree->nodeModel()->indexOf(assets.id())).center());
    const auto shown = host::MessageService::shown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].buttons, 16);
    EXPECT_TRUE(shown[0].prompt.startsWith(QString::number(static_cast<int>(ErrorCode::DatabaseError))))
        << shown[0].prompt.toStdString();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(tree->Nodes().Count(), 7) << "the top level stays";
    host.exec("alter table code_elsewhere rename to code");
    form.close();
}

// How painted nodes look comes from the account set in one query per batch of rows, on every
// engine: a closed account is greyed, and in a filtered hierarchy an ancestor that does not pass
// the tree's condition itself is told apart from the matches.
TEST_P(DialogEngineTest, NodeLooksShowClosedAccountsAndAncestorsShownForContext) {
    host.exec("update code set bclose=1 where iYear=2024 and ccode='100201'");
    struct Case {
        const char* key;
        bool closed;
        bool context;
    };
    const Case cases[] = {{"b1002", false, true}, {"b100201", true, false}, {"b10020101", false, false},
                          {"b1001", false, true}, {"b9999", false, true},   {"a1", false, false}};
    std::vector<std::pair<QString, QString>> nodes;
    for (const Case& c : cases)
        nodes.emplace_back(QString::fromLatin1(c.key), QString::fromLatin1(c.key).mid(1) + " x");
    for (const bool hierarchy : {true, false}) {
        dialog::AccountNodeDecorator decorator;
        decorator.setFilter(
            {QStringLiteral("100201"), 0, QStringLiteral(" (ccode like N'100201%' ) "), hierarchy});
        const std::vector<controls::NodeLook> looks = decorator.looks(nodes);
        ASSERT_EQ(looks.size(), nodes.size());
        for (size_t i = 0; i < looks.size(); ++i) {
            SCOPED_TRACE(std::string(cases[i].key) + (hierarchy ? ", hierarchy" : ", flat"));
            EXPECT_EQ(looks[i].closed, cases[i].closed);
            EXPECT_EQ(looks[i].context, hierarchy && cases[i].context);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, DialogEngineTest, ::testing::ValuesIn(sarvo::testing::engineSlotPointers()),
                         sarvo::testing::slotName);

} // namespace
