// The tree as the user works it: a real mouse click on a node raises NodeClick after the node
// has become the selected one, the plus/minus box only expands, keyboard moves count as clicks,
// a double click raises DblClick, handlers may rebuild the tree from inside the event, and the
// four display properties change what the user sees.
#include "ControlsTestSupport.h"

#include "host/controls/ImageList.h"
#include "host/controls/QzTreeView.h"

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QTest>
#include <functional>

using namespace sarvo;
using namespace sarvo::controls;
using sarvo::controls::testing::CheckedModel;
using sarvo::controls::testing::errorNumberOf;

namespace {

void addSampleTree(QzNodes& nodes) {
    nodes.Add("z", "Recently used");
    nodes.Add("a1", "Assets");
    nodes.Add("a2", "Liabilities");
    nodes.Add("a1", 4, "b1001", "1001 Cash");
    nodes.Add("a1", 4, "b1002", "1002 Bank");
    nodes.Add("b1002", 4, "c100201", "100201 Current account");
    nodes.Add("a2", 4, "b2001", "2001 Loans");
}

class TreeInput : public ::testing::Test {
protected:
    void SetUp() override {
        checked = std::make_unique<CheckedModel>(tree.nodeModel());
        // As the dialog sets them at load.
        tree.SetStyle(7);
        tree.SetLineStyle(1);
        tree.SetLabelEdit(1);
        tree.SetIndentation(120);
        tree.resize(320, 320);
        tree.Nodes().Clear();
        addSampleTree(tree.Nodes());
        tree.Nodes().Item("a1").SetExpanded(true);
        tree.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&tree));
        connect();
    }
    void TearDown() override {
        checked.reset();
        EXPECT_TRUE(CheckedModel::complaints().isEmpty())
            << CheckedModel::complaints().join('\n').toStdString();
    }
    void connect() {
        QObject::connect(&tree, &QzTreeView::NodeClick, &tree, [this](const QzNode& node) {
            // The handler sees the clicked node already selected.
            clicked << node.Key() +
                           (tree.SelectedItem() == node ? QString() : QStringLiteral(" (not selected)"));
            if (onNodeClick) onNodeClick(node);
        });
        QObject::connect(&tree, &QzTreeView::DblClick, &tree, [this] {
            const QzNode selected = tree.SelectedItem();
            doubleClicked << (selected ? selected.Key() : QStringLiteral("(none)"));
        });
    }
    QRect rectOf(const QString& key) {
        return tree.visualRect(tree.nodeModel()->indexOf(tree.Nodes().Item(key).id()));
    }
    void click(const QString& key) {
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, rectOf(key).center());
    }

    QzTreeView tree;
    std::unique_ptr<CheckedModel> checked;
    QStringList clicked;
    QStringList doubleClicked;
    std::function<void(const QzNode&)> onNodeClick;
};

TEST_F(TreeInput, MouseClickOnANodeRaisesNodeClickEveryTime) {
    click("b1002");
    click("b1002");
    click("a2");
    EXPECT_EQ(clicked, (QStringList{"b1002", "b1002", "a2"}));
    EXPECT_EQ(tree.SelectedItem().Key(), QStringLiteral("a2"));
    EXPECT_TRUE(doubleClicked.isEmpty());
}

TEST_F(TreeInput, ThePlusMinusBoxExpandsWithoutNodeClick) {
    const QRect a2 = rectOf("a2");
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {},
                      QPoint(a2.left() - tree.indentation() / 2, a2.center().y()));
    EXPECT_TRUE(tree.Nodes().Item("a2").Expanded());
    EXPECT_TRUE(clicked.isEmpty());
    EXPECT_TRUE(tree.SelectedItem().isNull());
}

TEST_F(TreeInput, RightClickAndEmptySpaceRaiseNoNodeClick) {
    QTest::mouseClick(tree.viewport(), Qt::RightButton, {}, rectOf("a2").center());
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, QPoint(10, tree.viewport()->height() - 5));
    EXPECT_TRUE(clicked.isEmpty());
}

TEST_F(TreeInput, KeyboardSelectionCountsAsAClickButSelectingInCodeDoesNot) {
    tree.Nodes().Item("z").SetSelected(true);
    EXPECT_TRUE(clicked.isEmpty());
    tree.setFocus();
    QTest::keyClick(&tree, Qt::Key_Down);
    QTest::keyClick(&tree, Qt::Key_Down);
    QTest::keyClick(&tree, Qt::Key_Down);
    QTest::keyClick(&tree, Qt::Key_Right); // opens b1002; the selection stays
    QTest::keyClick(&tree, Qt::Key_End);
    EXPECT_EQ(clicked, (QStringList{"a1", "b1001", "b1002", "a2"}));
    EXPECT_TRUE(tree.Nodes().Item("b1002").Expanded());
}

TEST_F(TreeInput, SelectingAHiddenNodeInCodeNeitherOpensNorScrolls) {
    tree.Nodes().Item("c100201").SetSelected(true);
    QApplication::processEvents();
    EXPECT_FALSE(tree.Nodes().Item("b1002").Expanded());
    EXPECT_FALSE(tree.isExpanded(tree.nodeModel()->indexOf(tree.Nodes().Item("b1002").id())));
    EXPECT_TRUE(clicked.isEmpty());
    tree.hide();
    tree.show(); // a view shown again would scroll to its current node
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tree));
    EXPECT_FALSE(tree.Nodes().Item("b1002").Expanded());
}

TEST_F(TreeInput, AClickRightAfterARebuildHitsTheNewTree) {
    const QPoint where = rectOf("b1001").center();
    tree.Nodes().Clear();
    addSampleTree(tree.Nodes());
    tree.Nodes().Item("a1").SetExpanded(true);
    // No return to the event loop in between: the view catches up before it handles the click.
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, where);
    EXPECT_EQ(clicked, QStringList{"b1001"});
}

TEST_F(TreeInput, DoubleClickRaisesDblClickWithTheNodeSelected) {
    click("b1001");
    QTest::mouseDClick(tree.viewport(), Qt::LeftButton, {}, rectOf("b1001").center());
    EXPECT_EQ(doubleClicked, QStringList{"b1001"});
    EXPECT_EQ(clicked, QStringList{"b1001"});
    // On a node with children the double click also opens it.
    click("b1002");
    QTest::mouseDClick(tree.viewport(), Qt::LeftButton, {}, rectOf("b1002").center());
    EXPECT_EQ(doubleClicked, (QStringList{"b1001", "b1002"}));
    EXPECT_TRUE(tree.Nodes().Item("b1002").Expanded());
}

TEST_F(TreeInput, AHandlerMayRebuildTheTreeInsideNodeClick) {
    onNodeClick = [this](const QzNode& node) {
        const QString key = node.Key();
        tree.Nodes().Clear();
        addSampleTree(tree.Nodes());
        tree.Nodes().Add("b1001", 4, "c100101", "100101 Petty cash");
        tree.Nodes().Item("b1001").EnsureVisible();
        tree.Nodes().Item(key).SetSelected(true);
    };
    click("b1001");
    QApplication::processEvents();
    EXPECT_EQ(clicked, QStringList{"b1001"});
    EXPECT_EQ(tree.model()->rowCount(), 3);
    EXPECT_EQ(tree.currentIndex().data(TreeNodeModel::KeyRole).toString(), QStringLiteral("b1001"));
    EXPECT_TRUE(rectOf("b1001").isValid());
    onNodeClick = nullptr;
    click("c100201"); // hidden: b1002 was not expanded in the new tree
    EXPECT_EQ(clicked, QStringList{"b1001"});
}

// ---- display properties ----------------------------------------------------------------------

struct DisplayCase {
    const char* name;
    int style, lineStyle, labelEdit, indentationTwips;
    bool pictures, rootDecorated, editable;
    int indentationPixels;
};

void PrintTo(const DisplayCase& c, std::ostream* os) {
    *os << c.name;
}

class TreeDisplay : public TreeInput, public ::testing::WithParamInterface<DisplayCase> {};

TEST_P(TreeDisplay, PropertiesTakeTheirNaturalMeaning) {
    const DisplayCase& c = GetParam();
    tree.SetStyle(c.style);
    tree.SetLineStyle(c.lineStyle);
    tree.SetLabelEdit(c.labelEdit);
    tree.SetIndentation(static_cast<int16_t>(c.indentationTwips));
    EXPECT_EQ(tree.Style(), c.style);
    EXPECT_EQ(tree.Indentation(), c.indentationTwips);
    EXPECT_EQ(tree.rootIsDecorated(), c.rootDecorated);
    EXPECT_EQ(tree.indentation(), c.indentationPixels);
    ImageList images;
    QPixmap leaf(16, 16);
    leaf.fill(Qt::green);
    images.ListImages().Add("leaf", leaf);
    tree.SetImageList(&images);
    const QModelIndex cash = tree.nodeModel()->indexOf(tree.Nodes().Item("b1001").id());
    EXPECT_EQ(cash.data(Qt::DecorationRole).isValid(), c.pictures);

    // F2 on the selected node opens an editor only with automatic label editing.
    tree.Nodes().Item("b1001").SetSelected(true);
    tree.setFocus();
    QTest::keyClick(&tree, Qt::Key_F2);
    auto* editor = tree.findChild<QLineEdit*>();
    EXPECT_EQ(editor != nullptr, c.editable);
    if (editor) {
        editor->selectAll();
        QTest::keyClicks(editor, "1001 Petty");
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents(); // the view commits the edit after the key
        EXPECT_EQ(tree.Nodes().Item("b1001").Text(), QStringLiteral("1001 Petty"));
    }
    tree.SetImageList(nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    TreeInput, TreeDisplay,
    ::testing::Values(DisplayCase{"dialog_settings", 7, 1, 1, 120, true, true, false, 16},
                      DisplayCase{"text_only_automatic_edit", 0, 0, 0, 600, false, false, true, 40},
                      DisplayCase{"lines_and_pictures", 5, 1, 0, 300, true, true, true, 20},
                      DisplayCase{"plus_minus_only", 2, 0, 1, 0, false, false, false, 16}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TreeInput, DisplayPropertiesRefuseValuesOutOfRange) {
    EXPECT_EQ(errorNumberOf([&] { tree.SetStyle(8); }), 380);
    EXPECT_EQ(errorNumberOf([&] { tree.SetLineStyle(2); }), 380);
    EXPECT_EQ(errorNumberOf([&] { tree.SetLabelEdit(-1); }), 380);
    EXPECT_EQ(errorNumberOf([&] { tree.SetIndentation(-15); }), 380);
    EXPECT_EQ(tree.Style(), 7);
}

// Pixels in the indentation in front of a child row that differ from the background.
int branchInk(QzTreeView& tree, const QRect& row) {
    const QImage shot = tree.viewport()->grab().toImage();
    const QRgb background = tree.palette().color(QPalette::Base).rgb();
    int ink = 0;
    for (int y = row.top(); y <= row.bottom(); ++y)
        for (int x = 0; x < row.left(); ++x)
            if (shot.pixel(x, y) != background) ++ink;
    return ink;
}

TEST_F(TreeInput, TreeLinesAndBoxesAreDrawnOnlyWhenTheStyleAsksForThem) {
    tree.Nodes().Item("b1002").SetExpanded(true);
    QApplication::processEvents();
    tree.SetStyle(1); // pictures and text
    EXPECT_EQ(branchInk(tree, rectOf("b1002")), 0);
    tree.SetStyle(7);
    const int withLinesAndBox = branchInk(tree, rectOf("b1002"));
    EXPECT_GT(withLinesAndBox, 0);
    tree.SetStyle(5); // lines without the plus/minus box
    const int linesOnly = branchInk(tree, rectOf("b1002"));
    EXPECT_GT(linesOnly, 0);
    EXPECT_LT(linesOnly, withLinesAndBox);
}

} // namespace
