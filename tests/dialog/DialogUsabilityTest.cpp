// The dialog as an accountant works it all day, with real key and mouse events on the shown
// window: boxes that react wherever they are seen, frames around their controls, texts in the
// login's language, typing and list keys that go where the user means, Enter and Escape, what
// the tree shows about each node, and a window that never looks frozen or silent.
#include "tests/support/DialogHarness.h"

#include "dialog/frmSarvo.h"
#include "host/controls/NodeDelegate.h"
#include "host/controls/QzFrame.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHelpEvent>
#include <QMenu>
#include <QMessageBox>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTextDocumentFragment>
#include <QTimer>
#include <QToolTip>
#include <QWindow>

using namespace sarvo;
using controls::TreeNodeModel;

namespace {

class UsabilityTest : public sarvo::testing::DialogHarness {
protected:
    QWindow* window() const { return form->windowHandle(); }
    // Key presses through the window, as the keyboard delivers them to the focused control.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(window(), key, modifiers);
        QApplication::processEvents();
    }
    void typeIntoWindow(const QString& text) {
        for (const QChar c : text)
            QTest::keyClick(window(), c.toLatin1());
        QApplication::processEvents();
    }
    void activate() {
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    QString focusName() const {
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    }
    // The tooltip a control shows when the pointer rests at `pos`, as plain lines.
    static QString toolTipAt(QWidget* w, QPoint pos) {
        QToolTip::hideText();
        QHelpEvent help(QEvent::ToolTip, pos, w->mapToGlobal(pos));
        QApplication::sendEvent(w, &help);
        const QString tip = QToolTip::text();
        return QTextDocumentFragment::fromHtml(tip).toPlainText().replace(QChar::LineSeparator, '\n');
    }
    QString nodeToolTip(const QString& key) {
        const QModelIndex i = indexOfKey(key);
        tree().scrollTo(i);
        return toolTipAt(tree().viewport(), tree().visualRect(i).center());
    }
    // The marked parts of a node's text, "start+length" each.
    QString highlights(const QString& key) const {
        QStringList out;
        for (const QVariant& v : indexOfKey(key).data(TreeNodeModel::HighlightRole).toList())
            out << QStringLiteral("%1+%2").arg(v.toPoint().x()).arg(v.toPoint().y());
        return out.join(' ');
    }
    bool role(const QString& key, int r) const { return indexOfKey(key).data(r).toBool(); }
    QString ui(const char* key) const { return res((QByteArray("Host.GL.Sarvo.Ui.") + key).constData()); }
};

// ---- what reacts where -----------------------------------------------------------------------

TEST_F(UsabilityTest, AClickAnywhereOnABoxsVisibleRectangleTogglesThatBoxOnly) {
    open();
    const QList<controls::QzCheckBox*> boxes = form->findChildren<controls::QzCheckBox*>();
    ASSERT_EQ(boxes.size(), 12);
    const auto ticked = [&] {
        QStringList on;
        for (const auto* b : boxes)
            if (b->isChecked()) on << b->objectName();
        return on;
    };
    for (controls::QzCheckBox* box : boxes) {
        // What the user sees of the box: its rectangle less the siblings stacked above it.
        QRegion visible(box->geometry());
        const QObjectList siblings = box->parentWidget()->children();
        for (qsizetype i = siblings.indexOf(box) + 1; i < siblings.size(); ++i)
            if (auto* w = qobject_cast<QWidget*>(siblings[i]); w && w->isVisible()) visible -= w->geometry();
        // Points in the box's coordinates: a grid over what no other box covers, and the
        // centres of its drawn indicator and caption wherever they lie.
        std::vector<QPoint> points;
        for (const QRect& r : visible)
            for (int y = r.top(); y <= r.bottom(); y += 4)
                for (int x = r.left(); x <= r.right(); x += 6)
                    points.push_back(QPoint(x, y) - box->pos());
        QStyleOptionButton opt;
        opt.initFrom(box);
        opt.text = box->text();
        for (const auto element : {QStyle::SE_CheckBoxIndicator, QStyle::SE_CheckBoxContents})
            points.push_back(box->style()->subElementRect(element, &opt, box).center());
        int tried = 0;
        for (const QPoint& p : points) {
            const QPoint at = box->mapTo(form.get(), p);
            const QStringList before = ticked();
            QTest::mouseClick(window(), Qt::LeftButton, {}, at);
            QApplication::processEvents();
            QStringList changed = ticked();
            for (const QString& name : before)
                if (!changed.removeOne(name)) changed << name;
            EXPECT_EQ(changed, QStringList{box->objectName()})
                << box->objectName().toStdString() << " at " << p.x() << "," << p.y();
            QTest::mouseClick(window(), Qt::LeftButton, {}, at); // and back
            QApplication::processEvents();
            ++tried;
        }
        EXPECT_GT(tried, 20) << box->objectName().toStdString();
    }
}

TEST_F(UsabilityTest, KeyboardFirstTypingInTheTreeFiltersAndListKeysInTheBoxMoveInTheTree) {
    addRecentRows({"demo:1001"});
    // How a click loads the first two nodes, for comparison.
    open();
    clickNode("z");
    clickNode("a1");
    const QStringList byClicks = statements();
    ASSERT_EQ(byClicks.size(), 2);

    open();
    activate();
    ASSERT_EQ(focusName(), "trvDis") << "the tree has the focus when the dialog opens";
    typeIntoWindow("1002");
    EXPECT_EQ(focusName(), "txtFilter");
    EXPECT_EQ(filterBox().Text(), "1002");
    EXPECT_EQ(childKeys("a1"), QStringList{"b1002"}) << "typing right after opening filters";
    clearFilter();
    clearStatements();
    press(Qt::Key_Down);
    press(Qt::Key_Down);
    EXPECT_EQ(focusName(), "txtFilter") << "the focus stays in the box";
    EXPECT_EQ(selectedKey(), "a1");
    EXPECT_EQ(statements(), byClicks) << "Down runs the node-click handling as a click does";
    EXPECT_EQ(childKeys("a1").first(), "b1001");
    press(Qt::Key_Up);
    EXPECT_EQ(selectedKey(), "z");
    EXPECT_EQ(statements(), byClicks) << "a level already loaded is not loaded again";
}

TEST_F(UsabilityTest, EnterInTheBoxConfirmsAndAltKeysPressTheButtons) {
    struct Case {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool confirmed;
        const char* code; // Viewreturn1 after
    };
    const std::vector<Case> cases = {
        {"Enter in the box", Qt::Key_Return, {}, true, "100201"},
        {"Alt+O", Qt::Key_O, Qt::AltModifier, true, "100201"},
        {"Alt+C", Qt::Key_C, Qt::AltModifier, false, ""},
    };
    for (const Case& c : cases) {
        attrib()->putAt(3, Variant(QString()));
        open();
        activate();
        typeIntoWindow("100201");
        ASSERT_EQ(selectedKey(), "b10020101") << c.name;
        tree().Nodes().Item("b100201").SetSelected(true);
        press(c.key, c.modifiers);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !form->isVisible(); }, 3000)) << c.name;
        EXPECT_EQ(confirmed(), c.confirmed) << c.name;
        EXPECT_EQ(attrib()->getAt(3).toDisplayText(), c.code) << c.name;
    }
}

TEST_F(UsabilityTest, EscapeIsCancelWhereverTheFocusIsEvenAfterAFailedConfirmation) {
    // The account disappears between the tree and the confirmation.
    open(Variant(QString("100201")));
    activate();
    ASSERT_EQ(selectedKey(), "b10020101");
    host.exec("delete from code where ccode='10020101'");
    tree().setFocus();
    press(Qt::Key_Return);
    ASSERT_EQ(messages().size(), 1);
    ASSERT_TRUE(confirmed()) << "a failed confirmation leaves the request confirmed";
    press(Qt::Key_Escape);
    EXPECT_FALSE(confirmed());
    EXPECT_FALSE(form->isVisible());

    for (const char* focus : {"trvDis", "txtFilter", "chkChoice(3)", "cmdButton(1)", "optFilter(1)"}) {
        open();
        activate();
        attrib()->putAt(7, Variant(true));
        control<QWidget>(focus).setFocus();
        press(Qt::Key_Escape);
        EXPECT_FALSE(confirmed()) << focus;
        EXPECT_FALSE(form->isVisible()) << focus;
    }
    // The window's own close is not a cancel.
    open();
    attrib()->putAt(7, Variant(true));
    form->close();
    EXPECT_TRUE(confirmed());
}

// ---- what the tree shows ---------------------------------------------------------------------

TEST_F(UsabilityTest, MatchesAreMarkedAndAncestorsShownForContextAreToldApart) {
    storeTreeDisplay(true);
    open();
    click(optFilter(1));
    typeFilter("人民币");
    struct Case {
        const char* key;
        const char* marked;
        bool context;
    };
    for (const Case& c : {Case{"b1002", "", true}, Case{"b100201", "", true}, Case{"b10020101", "9+3", false},
                          Case{"b10020201", "9+3", false}, Case{"b10020301", "9+3", false}}) {
        EXPECT_EQ(highlights(c.key), c.marked) << c.key;
        EXPECT_EQ(role(c.key, TreeNodeModel::ContextRole), c.context) << c.key;
    }
    EXPECT_EQ(highlights("a1"), "") << "classes are not accounts";
    // The marks are drawn: the highlight colour lies in the matching row only.
    const QImage shot = tree().viewport()->grab().toImage();
    const auto drawnMarked = [&](const QString& key) {
        const QRect row = tree().visualRect(indexOfKey(key)).intersected(shot.rect());
        for (int y = row.top(); y <= row.bottom(); ++y)
            for (int x = row.left(); x <= row.right(); ++x)
                if (shot.pixelColor(x, y) == controls::NodeDelegate::kHighlightBackground) return true;
        return false;
    };
    ASSERT_TRUE(isVisible("b10020101"));
    EXPECT_TRUE(drawnMarked("b10020101"));
    EXPECT_FALSE(drawnMarked("b1002"));
    click(optFilter(0));
    clearFilter();
    typeFilter("%01");
    EXPECT_EQ(highlights("b1002"), "") << "begins with 1002%01: nothing in 1002 itself";
    EXPECT_EQ(highlights("b10020101"), "4+2 6+2");
    EXPECT_TRUE(role("b1002", TreeNodeModel::ContextRole));
    EXPECT_FALSE(drawnMarked("b1002"));
    // Painting and tooltips send nothing through the component's connection.
    const QStringList before = statements();
    tree().viewport()->repaint();
    (void)nodeToolTip("b10020101");
    EXPECT_EQ(statements(), before);
}

TEST_F(UsabilityTest, ClosedAccountsLookClosedWithTheSameKeyAndText) {
    addAccount("资产", "1099", "停用科目", "Retired account", true);
    open();
    click(ChkFfc());
    click(cmdGL()); // nothing ticked and closed accounts shown: the top level
    openNode("a1");
    ASSERT_TRUE(childKeys("a1").contains("b1099"));
    EXPECT_EQ(indexOfKey("b1099").data().toString(), "1099 停用科目");
    EXPECT_TRUE(role("b1099", TreeNodeModel::ClosedRole));
    EXPECT_FALSE(role("b1001", TreeNodeModel::ClosedRole));
    EXPECT_TRUE(nodeToolTip("b1099").endsWith('\n' + ui("Closed")));
}

TEST_F(UsabilityTest, ANodesTooltipGivesTheWholeNameTheEnglishNameAndThePath) {
    const QString name = QStringLiteral("应收境外关联方长期合作项目专项结算款项（按合同分期确认的部分）");
    addAccount("资产", "1099", name, "Long-term project settlements receivable from related parties abroad");
    addAccount("资产", "109901", "第二级", QString());
    open();
    typeFilter("1099");
    EXPECT_EQ(nodeToolTip("b1099"),
              "1099 " + name + "\n" + ui("Name") + ": " + name + "\n" + ui("EnglishName") +
                  ": Long-term project settlements receivable from related parties abroad\n" + ui("Path") +
                  ": 资产");
    EXPECT_EQ(nodeToolTip("b109901"), "109901 第二级\n" + ui("Name") + ": 第二级\n" + ui("EnglishName") +
                                          ": \n" + ui("Path") + ": 资产 \\ 1099 " + name);
    EXPECT_EQ(nodeToolTip("a1"), "资产");
}

// ---- never frozen, never silent --------------------------------------------------------------

// Records the box's text at each of its paints and the tree's paints, and what both looked like
// when the first statement of a rebuild went out.
struct PaintWatch : QObject {
    QWidget* box;
    QWidget* viewport;
    QStringList boxPaints;
    int treePaints = 0;
    QString boxAtFirstStatement = "(none)";
    int treePaintsAtFirstStatement = -1;
    QStringList cursorAtStatements;
    PaintWatch(QWidget* b, QWidget* v) : box(b), viewport(v) {
        box->installEventFilter(this);
        viewport->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            if (watched == box) boxPaints << static_cast<QLineEdit*>(box)->text();
            if (watched == viewport) ++treePaints;
        }
        return false;
    }
    void statementSent() {
        if (treePaintsAtFirstStatement < 0) {
            boxAtFirstStatement = boxPaints.value(boxPaints.size() - 1);
            treePaintsAtFirstStatement = treePaints;
        }
        const QCursor* c = QApplication::overrideCursor();
        cursorAtStatements << (c && c->shape() == Qt::WaitCursor ? "wait" : "-");
    }
};

TEST_F(UsabilityTest, TheTypedCharacterShowsBeforeTheRebuildAndTheTreePaintsOnceAtTheEnd) {
    storeTreeDisplay(true);
    open();
    filterBox().setFocus();
    QApplication::processEvents(); // the focus change is drawn
    PaintWatch watch(&filterBox(), tree().viewport());
    connection()->setStatementLog([&](const QString&) { watch.statementSent(); });
    QTest::keyClick(&filterBox(), '1');
    EXPECT_EQ(watch.boxAtFirstStatement, "1") << "the box was painted with the key before the rebuild";
    EXPECT_EQ(watch.treePaintsAtFirstStatement, 0);
    const int duringBuild = watch.treePaints;
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
    EXPECT_EQ(duringBuild, 0) << "no tree paint while nodes are added";
    EXPECT_EQ(watch.treePaints, 1);
    connection()->setStatementLog({});
}

TEST_F(UsabilityTest, ALongRebuildShowsTheWaitCursorAndAShortOneDoesNot) {
    storeTreeDisplay(true);
    for (const int delay : {0, 600000}) {
        open();
        click(optFilter(1));
        form->busyCursor().setDelayMs(delay);
        PaintWatch watch(&filterBox(), tree().viewport());
        connection()->setStatementLog([&](const QString&) { watch.statementSent(); });
        typeFilter("0");
        connection()->setStatementLog({});
        ASSERT_GT(tree().Nodes().Count(), 2 * TreeNodeModel::kProgressInterval);
        EXPECT_EQ(watch.cursorAtStatements.contains("wait"), delay == 0) << delay;
        EXPECT_EQ(watch.cursorAtStatements.first(), "-") << "not before the work has taken its time";
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "gone when the work ends";
    }
}

TEST_F(UsabilityTest, TheBoxSaysWhenNothingMatchesAndWhichCharactersItRefuses) {
    open();
    const QColor plain = filterBox().palette().color(QPalette::Base);
    typeFilter("9x9");
    EXPECT_TRUE(filterBox().property("noMatch").toBool());
    EXPECT_EQ(filterBox().toolTip(), ui("NoMatch").arg("9x9"));
    EXPECT_NE(filterBox().palette().color(QPalette::Base), plain);
    EXPECT_EQ(treeLines(), plainClasses(1, true)) << "nothing is added to the tree";
    clearFilter();
    typeFilter("10");
    EXPECT_FALSE(filterBox().property("noMatch").toBool());
    EXPECT_EQ(filterBox().toolTip(), "");
    EXPECT_EQ(filterBox().palette().color(QPalette::Base), plain);

    QToolTip::hideText();
    typeFilter("'");
    EXPECT_EQ(filterBox().Text(), "10");
    EXPECT_EQ(QToolTip::text(), ui("Refused").arg("< > ' \" | & ,"));
}

TEST_F(UsabilityTest, TheFavoriteButtonSaysWhatItWillDoWithTheSelectedNode) {
    addRecentRows({"demo:1001"});
    open();
    QWidget& button = cmdButton(1);
    const auto tip = [&] { return toolTipAt(&button, button.rect().center()); };
    EXPECT_EQ(tip(), ui("FavoriteNone"));
    openNode("z");
    ASSERT_EQ(childKeys("z"), QStringList{"y1001"});
    clickNode("y1001");
    EXPECT_EQ(tip(), ui("FavoriteRemove").arg("1001 库存现金"));
    clickNode("a1");
    EXPECT_EQ(tip(), ui("FavoriteNone"));
    openNode("a1");
    clickNode("b1002");
    EXPECT_EQ(tip(), ui("FavoriteAdd").arg("1002 银行存款"));
    tree().Nodes().Add("b1002", 4, "k1002999", "1002999 第十级");
    tree().Nodes().Item("k1002999").SetSelected(true);
    EXPECT_EQ(tip(), ui("FavoriteCannot")) << "the button leaves grades 10 to 13 alone";
}

TEST_F(UsabilityTest, TheHostsInitialTextShowsAsTheFirstTreeUsesItAndUndoWorksFromTheMenu) {
    open(Variant(QString("10'02")));
    EXPECT_EQ(filterBox().Text(), "10'02");
    EXPECT_TRUE(sFilter().contains("ccode like N'10''02%'")) << sFilter().toStdString();
    clearFilter();
    typeFilter("12");
    // The box's context menu undoes through the box's own history.
    QStringList seen;
    QTimer::singleShot(50, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) return;
        QAction* undo = menu->actions().first(); // Undo, Redo, then the clipboard
        seen << undo->text() << (undo->isEnabled() ? "enabled" : "disabled");
        undo->trigger();
        menu->close();
    });
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(5, 5),
                                filterBox().mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&filterBox(), &menuEvent);
    ASSERT_EQ(seen.size(), 2);
    EXPECT_TRUE(seen[0].startsWith("撤")) << "Qt's menu in the login's language: " << seen[0].toStdString();
    EXPECT_EQ(seen[1], "enabled");
    EXPECT_EQ(filterBox().Text(), "1");
    EXPECT_EQ(childKeys("a1").first(), "b1001") << "an undo is a change like any other";
}

TEST_F(UsabilityTest, TreePicturesAreSharpOnScaledScreens) {
    for (const int id : {134, 111, 128, 129, 112}) {
        const QPixmap plain = frmSarvo::treePicture(id, 1.0);
        EXPECT_EQ(plain.size(), QSize(16, 16)) << id;
        for (const qreal ratio : {1.5, 2.0}) {
            const QPixmap sharp = frmSarvo::treePicture(id, ratio);
            EXPECT_EQ(sharp.size(), QSize(32, 32)) << id << " " << ratio;
            EXPECT_EQ(sharp.deviceIndependentSize(), QSizeF(16, 16)) << id;
        }
    }
}

// ---- each language ---------------------------------------------------------------------------

struct Language {
    const char* id;
    const char* title;
    const char* ok; // the OK button of a message box
};

class EachLanguage : public sarvo::testing::DialogHarness, public ::testing::WithParamInterface<Language> {
protected:
    EachLanguage() : DialogHarness("standard", "2024", GetParam().id) {}
};

TEST_P(EachLanguage, TitleAndMessageBoxesSpeakTheLoginsLanguage) {
    open(Variant(QString("100201")));
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8(GetParam().title));
    host.exec("delete from code where ccode='10020101'");
    QStringList buttons;
    host::MessageService::setScripted(false);
    {
        sarvo::testing::ModalDriver driver([&](QWidget* modal) {
            if (auto* box = qobject_cast<QMessageBox*>(modal))
                for (QAbstractButton* b : box->buttons())
                    buttons << b->text().remove('&');
        });
        form->cmdButton_Click(0);
        EXPECT_EQ(driver.dialogsSeen(), 1);
    }
    host::MessageService::setScripted(true);
    EXPECT_EQ(buttons, QStringList{QString::fromUtf8(GetParam().ok)});
}

TEST_P(EachLanguage, CaptionsFitTheirDesignedBoxesAndFramesRunAroundTheirControls) {
    open();
    for (QAbstractButton* b : form->findChildren<QAbstractButton*>()) {
        const QString text = b->text().remove('&');
        const int needed = b->fontMetrics().horizontalAdvance(text);
        QStyleOptionButton opt;
        opt.initFrom(b);
        opt.text = text;
        const auto element = qobject_cast<QCheckBox*>(b)      ? QStyle::SE_CheckBoxContents
                             : qobject_cast<QRadioButton*>(b) ? QStyle::SE_RadioButtonContents
                                                              : QStyle::SE_PushButtonContents;
        const int room = b->style()->subElementRect(element, &opt, b).width();
        EXPECT_LE(needed, room) << b->objectName().toStdString() << " \"" << text.toStdString() << "\"";
    }
    for (auto* frame : form->findChildren<controls::QzFrame*>()) {
        // The border line: the first row, down a column clear of the caption and the controls,
        // that differs from the frame's background.
        const QImage shot = frame->grab().toImage();
        const int captionEnd = 6 + 4 + frame->fontMetrics().horizontalAdvance(frame->title());
        int column = captionEnd + 3;
        for (const QWidget* c : frame->findChildren<QWidget*>())
            if (c->y() < 20 && c->x() <= column && column <= c->geometry().right())
                column = c->geometry().right() + 2;
        ASSERT_LT(column, shot.width() - 4) << frame->objectName().toStdString();
        const QColor background = frame->palette().color(QPalette::Window);
        int line = -1;
        for (int y = 0; y < shot.height() && line < 0; ++y) {
            const QColor c = shot.pixelColor(column, y);
            if (qAbs(c.lightness() - background.lightness()) > 20) line = y;
        }
        ASSERT_GE(line, 0) << frame->objectName().toStdString();
        for (const QWidget* c : frame->findChildren<QWidget*>()) {
            EXPECT_LT(line, c->y()) << c->objectName().toStdString();
            EXPECT_LT(c->geometry().bottom(), frame->height() - 1) << c->objectName().toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(, EachLanguage,
                         ::testing::Values(Language{"zh-cn", "科目参照", "确定"},
                                           Language{"zh-tw", "科目參照", "確定"},
                                           Language{"en-us", "Account reference", "OK"}),
                         [](const auto& info) { return QString(info.param.id).remove('-').toStdString(); });

} // namespace
