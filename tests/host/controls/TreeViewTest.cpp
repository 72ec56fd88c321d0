// The account tree as the dialog uses it: the node store (order of addition, keys, 1-based items,
// error numbers, branch removal, clearing) under QAbstractItemModelTester, pictures by node state,
// and the tree worked by mouse and keyboard with the dialog's display settings.
#include "ControlsTestSupport.h"

#include "host/controls/ImageList.h"
#include "host/controls/QzTreeView.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <functional>

using namespace sarvo::controls;
using sarvo::controls::testing::errorNumberOf;

namespace {

const QStringList kSampleKeys = {"z", "a1", "a2", "b1001", "b2001", "b1002", "c100201", "c100202"};

void addSampleTree(QzNodes& nodes) {
    nodes.Add("z", "Recently used");
    nodes.Add(QString(), 0, "a1", "Assets");
    nodes.Add("a2", "Liabilities");
    nodes.Add("a1", QzNodes::tvwChild, "b1001", "1001 Cash");
    nodes.Add("a2", 4, "b2001", "2001 Loans");
    nodes.Add("a1", 4, "b1002", "1002 Bank");
    nodes.Add("b1002", 4, "c100201", "100201 Current account");
    nodes.Add("b1002", 4, "c100202", "100202 Deposit");
}

class Tree : public ::testing::Test {
protected:
    void SetUp() override {
        tree.SetLineStyle(1); // the dialog's settings, with the default Style 7
        tree.SetLabelEdit(1);
        tree.SetIndentation(120);
        tree.resize(320, 320);
        tree.Nodes().Clear();
        addSampleTree(tree.Nodes());
        tree.Nodes().Item("a1").SetExpanded(true);
        tree.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&tree));
        QObject::connect(&tree, &QzTreeView::NodeClick, &tree, [this](const QzNode& node) {
            events << node.Key() + (tree.SelectedItem() == node ? "" : " (not selected)");
            if (onNodeClick) onNodeClick(node);
        });
        QObject::connect(&tree, &QzTreeView::DblClick, &tree, [this] {
            events << "dbl " + (tree.SelectedItem() ? tree.SelectedItem().Key() : "(none)");
        });
    }
    QStringList keys() {
        QStringList keys;
        for (int i = 1; i <= tree.Nodes().Count(); ++i)
            keys << tree.Nodes().Item(i).Key();
        return keys;
    }
    QStringList childKeys(const QModelIndex& parent) {
        QStringList keys;
        for (int row = 0; row < tree.model()->rowCount(parent); ++row)
            keys << tree.model()->index(row, 0, parent).data(TreeNodeModel::KeyRole).toString();
        return keys;
    }
    QModelIndex index(const QString& key) { return tree.nodeModel()->indexOf(tree.Nodes().Item(key).id()); }
    QRect rectOf(const QString& key) { return tree.visualRect(index(key)); }
    void click(const QString& key, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(tree.viewport(), button, {}, rectOf(key).center());
    }

    QzTreeView tree;
    // Aborts the test with its message when the model breaks the item-model contract.
    QAbstractItemModelTester tester{tree.nodeModel(), QAbstractItemModelTester::FailureReportingMode::Fatal};
    QStringList events; // NodeClick: the node's key; DblClick: "dbl " and the selected node's key
    std::function<void(const QzNode&)> onNodeClick;
};

// ---- node store ------------------------------------------------------------------------------

TEST_F(Tree, KeepsNodesInOrderOfAdditionUnderTheirRelatives) {
    EXPECT_EQ(keys(), kSampleKeys);
    EXPECT_EQ(childKeys({}), (QStringList{"z", "a1", "a2"}));
    EXPECT_EQ(childKeys(index("a1")), (QStringList{"b1001", "b1002"}));
    EXPECT_EQ(childKeys(index("b1002")), (QStringList{"c100201", "c100202"}));
    EXPECT_EQ(index("b1002").data().toString(), "1002 Bank");
    const QzNode a1 = tree.Nodes().Item("a1");
    EXPECT_EQ(a1.Text(), "Assets");
    EXPECT_EQ(a1.Children(), 2);
    EXPECT_EQ(a1.Child().Key(), "b1001");
    EXPECT_EQ(tree.Nodes().Item(6).Child().Text(), "100201 Current account");
    EXPECT_EQ(errorNumberOf([&] { (void)tree.Nodes().Item("b1001").Child().Text(); }), 91); // a leaf
}

TEST_F(Tree, FailingCallsRaiseTheirNumberAndChangeNothing) {
    const struct {
        const char* name;
        std::function<void(QzNodes&)> call;
        int error;
    } cases[] = {{"duplicate key", [](QzNodes& n) { n.Add("a1", "again"); }, 35602},
                 {"duplicate child key", [](QzNodes& n) { n.Add("a2", 4, "b1001", "x"); }, 35602},
                 {"missing relative", [](QzNodes& n) { n.Add("b9999", 4, "c999901", "x"); }, 35601},
                 {"missing relative first", [](QzNodes& n) { n.Add("nope", 4, "a1", "x"); }, 35601},
                 {"relative case sensitive", [](QzNodes& n) { n.Add("A1", 4, "b1003", "x"); }, 35601},
                 {"relationship not child", [](QzNodes& n) { n.Add("a1", 2, "b1003", "x"); }, 5},
                 {"item missing key", [](QzNodes& n) { (void)n.Item("b3001"); }, 35601},
                 {"item 0", [](QzNodes& n) { (void)n.Item(0); }, 35601},
                 {"item past the end", [](QzNodes& n) { (void)n.Item(9); }, 35601},
                 {"remove missing key", [](QzNodes& n) { n.Remove("b3001"); }, 35601}};
    for (const auto& c : cases) {
        EXPECT_EQ(errorNumberOf([&] { c.call(tree.Nodes()); }), c.error) << c.name;
        EXPECT_EQ(keys(), kSampleKeys) << c.name;
        EXPECT_EQ(childKeys(index("a1")), (QStringList{"b1001", "b1002"})) << c.name;
    }
}

TEST_F(Tree, RemoveTakesTheWholeBranchAndFreesItsKeys) {
    const QzNode deposit = tree.Nodes().Item("c100202");
    tree.Nodes().Remove("b1002");
    EXPECT_EQ(keys(), (QStringList{"z", "a1", "a2", "b1001", "b2001"}));
    EXPECT_EQ(childKeys(index("a1")), QStringList{"b1001"});
    EXPECT_EQ(tree.Nodes().Item("a1").Children(), 1);
    EXPECT_EQ(errorNumberOf([&] { (void)deposit.Text(); }), 35605);
    tree.Nodes().Add("b1001", 4, "c100202", "100202 Deposit");
    EXPECT_EQ(tree.Nodes().Item(6).Key(), "c100202");
    // A relative used by the last add and then removed is gone as well.
    tree.Nodes().Add("a2", 4, "b2002", "2002 Wages");
    tree.Nodes().Remove("a2");
    EXPECT_EQ(keys(), (QStringList{"z", "a1", "b1001", "c100202"}));
    EXPECT_EQ(childKeys({}), (QStringList{"z", "a1"}));
    EXPECT_EQ(errorNumberOf([&] { tree.Nodes().Add("a2", 4, "b2003", "x"); }), 35601);
}

TEST_F(Tree, ClearEmptiesTheTreeAndRetiresOldHandles) {
    const QzNode cash = tree.Nodes().Item("b1001");
    cash.SetSelected(true);
    tree.Nodes().Clear();
    EXPECT_EQ(tree.Nodes().Count(), 0);
    EXPECT_TRUE(tree.SelectedItem().isNull());
    EXPECT_EQ(errorNumberOf([&] { tree.Nodes().Add("b1002", 4, "c100203", "x"); }), 35601);
    addSampleTree(tree.Nodes()); // the same keys again: the old handle stays retired
    EXPECT_EQ(errorNumberOf([&] { (void)cash.Key(); }), 35605);
    QApplication::processEvents(); // the views hear of the new tree once control returns
    EXPECT_EQ(childKeys(index("a1")), (QStringList{"b1001", "b1002"}));
}

TEST_F(Tree, SelectingInCodeMovesTheCurrentNodeWithoutAClick) {
    const QzNode current = tree.Nodes().Item("c100201");
    current.SetSelected(true);
    EXPECT_EQ(tree.currentIndex(), index("c100201"));
    EXPECT_TRUE(events.isEmpty());
    const QzNode cash = tree.Nodes().Item("b1001");
    cash.SetSelected(true);
    EXPECT_FALSE(current.Selected());
    EXPECT_EQ(tree.selectionModel()->selectedIndexes(), QModelIndexList{index("b1001")});
    cash.SetSelected(false);
    EXPECT_FALSE(tree.currentIndex().isValid());
    current.SetSelected(true);
    tree.Nodes().Remove("b1002"); // an ancestor of the selected node
    EXPECT_TRUE(tree.SelectedItem().isNull());
    tree.setCurrentIndex(index("b2001")); // as the user selects
    EXPECT_EQ(tree.SelectedItem().Key(), "b2001");
}

TEST_F(Tree, ExpansionFollowsHandlesAndTheUser) {
    tree.collapse(index("a1")); // as a click on the minus box does
    EXPECT_FALSE(tree.Nodes().Item("a1").Expanded());
    tree.Nodes().Item("c100202").EnsureVisible();
    for (const char* key : {"a1", "b1002"}) {
        EXPECT_TRUE(tree.Nodes().Item(key).Expanded()) << key;
        EXPECT_TRUE(tree.isExpanded(index(key))) << key;
    }
    EXPECT_FALSE(tree.Nodes().Item("c100202").Expanded());
    tree.Nodes().Item("b1002").SetExpanded(false);
    EXPECT_FALSE(tree.isExpanded(index("b1002")));
}

TEST_F(Tree, StateSetWhileRebuildingReachesTheViewAfterwards) {
    tree.Nodes().Clear();
    addSampleTree(tree.Nodes());
    ASSERT_TRUE(tree.nodeModel()->resetPending());
    tree.Nodes().Item("b1002").SetExpanded(true);
    tree.Nodes().Item("b2001").SetSelected(true);
    tree.Nodes().Item("b2001").EnsureVisible();
    QApplication::processEvents();
    EXPECT_TRUE(tree.isExpanded(index("b1002")));
    EXPECT_TRUE(tree.isExpanded(index("a2")));
    EXPECT_FALSE(tree.isExpanded(index("a1"))); // expanded in the tree before the clear only
    EXPECT_EQ(tree.currentIndex(), index("b2001"));
}

TEST_F(Tree, ARebuildIsPaintedOnceWhetherItsScrollBarComesGoesOrStays) {
    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint) ++paints;
            return false;
        }
    };
    // As the dialog rebuilds: clear, add, expand and select, then end the reset itself.
    const auto rebuild = [&](int accounts) {
        tree.Nodes().Clear();
        tree.Nodes().Add("a1", "Assets");
        for (int i = 0; i < accounts; ++i)
            tree.Nodes().Add("a1", 4, QStringLiteral("b%1").arg(1001 + i),
                             QStringLiteral("%1 Cash").arg(1001 + i));
        if (accounts) {
            tree.Nodes().Item("a1").SetExpanded(true);
            tree.Nodes().Item(2).SetSelected(true);
        }
        tree.nodeModel()->finishPendingReset();
    };
    const struct {
        const char* name;
        int before;
        int after;
    } cases[] = {{"scroll bar comes", 0, 200},
                 {"scroll bar stays", 200, 150},
                 {"scroll bar goes", 150, 2},
                 {"no scroll bar", 2, 3}};
    for (const auto& c : cases) {
        rebuild(c.before);
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
        PaintCounter counter;
        tree.viewport()->installEventFilter(&counter);
        rebuild(c.after);
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
        tree.viewport()->removeEventFilter(&counter);
        EXPECT_EQ(counter.paints, 1) << c.name;
        EXPECT_EQ(tree.verticalScrollBar()->isVisible(), c.after > 20) << c.name;
        EXPECT_EQ(tree.columnWidth(0), tree.viewport()->width())
            << c.name << ": the column spans the viewport";
    }
}

TEST_F(Tree, PicturesFollowTheNodesState) {
    const QStringList names = {"open", "closed", "leaf", "leafsel", "closesel"};
    ImageList images;
    images.ListImages().Add("leaf", QPixmap(16, 16));
    tree.SetImageList(&images);
    // The name of the picture shown for a node, empty for none.
    const auto picture = [&](const char* key) {
        const qint64 shown = index(key).data(Qt::DecorationRole).value<QPixmap>().cacheKey();
        for (const QString& name : names)
            if (const QPixmap* p = images.ListImages().find(name); p && p->cacheKey() == shown) return name;
        return QString();
    };
    EXPECT_EQ(picture("b1001"), "leaf");
    EXPECT_EQ(picture("b1002"), ""); // missing from the list
    images.ListImages().Clear();
    for (const QString& name : names)
        images.ListImages().Add(name, QPixmap(16, 16));
    EXPECT_EQ(picture("a1"), "open");
    EXPECT_EQ(picture("b1002"), "closed");
    tree.Nodes().Item("b1001").SetSelected(true);
    EXPECT_EQ(picture("b1001"), "leafsel");
    tree.Nodes().Item("b1002").SetSelected(true);
    EXPECT_EQ(picture("b1001"), "leaf");
    EXPECT_EQ(picture("b1002"), "closesel");
    tree.Nodes().Item("b1002").SetExpanded(true);
    EXPECT_EQ(picture("b1002"), "open"); // selected or not
    tree.Nodes().Item("z").SetExpanded(true);
    EXPECT_EQ(picture("z"), "leaf");
    tree.Nodes().Add("b1001", 4, "c100101", "100101 Petty cash");
    EXPECT_EQ(picture("b1001"), "closed");
    tree.Nodes().Remove("c100201");
    tree.Nodes().Remove("c100202");
    EXPECT_EQ(picture("b1002"), "leafsel");
    tree.collapse(index("a1"));
    EXPECT_EQ(picture("a1"), "closed");
}

// ---- mouse and keyboard ----------------------------------------------------------------------

TEST_F(Tree, OnlyAClickOnANodeRaisesNodeClickWithTheNodeSelected) {
    const QRect a2 = rectOf("a2");
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {},
                      {a2.left() - tree.indentation() / 2, a2.center().y()});
    EXPECT_TRUE(tree.Nodes().Item("a2").Expanded()); // the plus/minus box only opens
    EXPECT_TRUE(tree.SelectedItem().isNull());
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, {10, tree.viewport()->height() - 5});
    click("b1001", Qt::RightButton);
    for (const char* key : {"b1001", "b1002"}) {
        click(key);
        QTest::mouseDClick(tree.viewport(), Qt::LeftButton, {}, rectOf(key).center());
    }
    click("b1002");
    EXPECT_EQ(events, (QStringList{"b1001", "dbl b1001", "b1002", "dbl b1002", "b1002"}));
    EXPECT_TRUE(tree.Nodes().Item("b1002").Expanded()); // by the double click
}

TEST_F(Tree, KeyboardMovesCountAsClicks) {
    tree.Nodes().Item("z").SetSelected(true);
    tree.setFocus();
    for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Right, Qt::Key_End})
        QTest::keyClick(&tree, key);
    EXPECT_EQ(events, (QStringList{"a1", "b1001", "b1002", "a2"})); // Right opens b1002 without moving
    EXPECT_TRUE(tree.Nodes().Item("b1002").Expanded());
}

TEST_F(Tree, ClicksAroundARebuildReachTheNewTree) {
    const QPoint cash = rectOf("b1001").center();
    tree.Nodes().Clear();
    addSampleTree(tree.Nodes());
    tree.Nodes().Item("a1").SetExpanded(true);
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, cash); // before any return to the event loop
    onNodeClick = [this](const QzNode& node) {                    // as the dialog rebuilds on a click
        const QString key = node.Key();
        tree.Nodes().Clear();
        addSampleTree(tree.Nodes());
        tree.Nodes().Item(key).EnsureVisible();
        tree.Nodes().Item(key).SetSelected(true);
    };
    click("b1002");
    QApplication::processEvents();
    EXPECT_EQ(events, (QStringList{"b1001", "b1002"}));
    EXPECT_EQ(tree.currentIndex(), index("b1002"));
    EXPECT_TRUE(rectOf("b1002").isValid());
    onNodeClick = nullptr;
    click("c100201"); // hidden: b1002 is collapsed in the new tree
    EXPECT_EQ(events.size(), 2);
}

// ---- display properties ----------------------------------------------------------------------

TEST_F(Tree, RowsRepaintedFromKeptShapesLookTheSameAndFollowTextAndFont) {
    const auto shot = [this] {
        tree.viewport()->repaint();
        return tree.viewport()->grab().toImage();
    };
    // The rightmost inked column of a row: how far its text reaches.
    const auto reach = [this](const QImage& image, const QString& key) {
        const QRect row = rectOf(key).intersected(image.rect());
        int right = -1;
        for (int y = row.top(); y <= row.bottom(); ++y)
            for (int x = row.left(); x <= row.right(); ++x)
                if (image.pixel(x, y) != tree.palette().color(QPalette::Base).rgb())
                    right = std::max(right, x);
        return right;
    };
    const QImage first = shot();
    EXPECT_EQ(shot(), first) << "drawn again from the kept shapes";
    const int cash = reach(first, "b1001");
    ASSERT_GT(cash, rectOf("b1001").left());

    const auto retext = [this](const QString& text) {
        tree.Nodes().Remove("b1001");
        tree.Nodes().Remove("b1002");
        tree.Nodes().Add("a1", QzNodes::tvwChild, "b1001", text);
        tree.Nodes().Add("a1", QzNodes::tvwChild, "b1002", "1002 Bank");
        tree.Nodes().Add("b1002", QzNodes::tvwChild, "c100201", "100201 Current account");
        QApplication::processEvents();
    };
    retext("1001 Cash on hand, head office");
    EXPECT_GT(reach(shot(), "b1001"), cash + 40) << "a new text is drawn, not the kept one";
    retext("1001 Cash");
    EXPECT_EQ(shot(), first);

    QFont larger = tree.font();
    larger.setPointSizeF(larger.pointSizeF() * 2);
    tree.setFont(larger);
    QApplication::processEvents();
    EXPECT_GT(reach(shot(), "b1001"), cash + 20) << "another font shapes anew";
}

TEST_F(Tree, DisplayPropertiesChangeWhatTheUserSees) {
    ImageList images;
    images.ListImages().Add("leaf", QPixmap(16, 16));
    tree.SetImageList(&images);
    tree.Nodes().Item("b1002").SetExpanded(true);
    const auto ink = [this] { // pixels off the background in the indentation in front of b1002
        QApplication::processEvents();
        const QImage shot = tree.viewport()->grab().toImage();
        const QRect row = rectOf("b1002");
        int n = 0;
        for (int y = row.top(); y <= row.bottom(); ++y)
            for (int x = 0; x < row.left(); ++x)
                n += shot.pixel(x, y) != tree.palette().color(QPalette::Base).rgb();
        return n;
    };
    EXPECT_TRUE(tree.rootIsDecorated());
    EXPECT_EQ(tree.indentation(), 16); // 120 twips widened to fit the plus/minus box
    EXPECT_TRUE(index("b1001").data(Qt::DecorationRole).isValid());
    EXPECT_GT(ink(), 0); // lines and a minus box
    tree.SetStyle(0);    // text only
    tree.SetLineStyle(0);
    tree.SetIndentation(600);
    EXPECT_EQ(ink(), 0);
    EXPECT_FALSE(tree.rootIsDecorated());
    EXPECT_EQ(tree.indentation(), 40);
    EXPECT_FALSE(index("b1001").data(Qt::DecorationRole).isValid());
    tree.Nodes().Item("b1001").SetSelected(true);
    tree.setFocus();
    QTest::keyClick(&tree, Qt::Key_F2);
    EXPECT_EQ(tree.findChild<QLineEdit*>(), nullptr); // the dialog's LabelEdit 1: no renaming
    EXPECT_EQ(errorNumberOf([&] { tree.SetStyle(8); }), 380);
    EXPECT_EQ(errorNumberOf([&] { tree.SetIndentation(-15); }), 380);
}

} // namespace
