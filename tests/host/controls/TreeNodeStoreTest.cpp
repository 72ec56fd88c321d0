// The tree's node collection as the dialog uses it: nodes in order of addition found by key or
// 1-based position, children under a relative, the two error numbers the tree code relies on,
// removal of whole branches, clearing, and selection and expansion through node handles, with
// the item model checked by QAbstractItemModelTester throughout.
#include "ControlsTestSupport.h"

#include "host/controls/ImageList.h"
#include "host/controls/QzTreeView.h"

#include <QApplication>
#include <QPainter>
#include <functional>

using namespace sarvo;
using namespace sarvo::controls;
using sarvo::controls::testing::CheckedModel;
using sarvo::controls::testing::errorNumberOf;

namespace {

// Order of addition: z a1 a2 b1001 b2001 b1002 c100201 c100202.
void addSampleTree(QzNodes& nodes) {
    nodes.Add(QStringLiteral("z"), QStringLiteral("Recently used"));
    nodes.Add(QString(), 0, QStringLiteral("a1"), QStringLiteral("Assets"));
    nodes.Add(QStringLiteral("a2"), QStringLiteral("Liabilities"));
    nodes.Add(QStringLiteral("a1"), QzNodes::tvwChild, QStringLiteral("b1001"), QStringLiteral("1001 Cash"));
    nodes.Add(QStringLiteral("a2"), QzNodes::tvwChild, QStringLiteral("b2001"), QStringLiteral("2001 Loans"));
    nodes.Add(QStringLiteral("a1"), QzNodes::tvwChild, QStringLiteral("b1002"), QStringLiteral("1002 Bank"));
    nodes.Add(QStringLiteral("b1002"), 4, QStringLiteral("c100201"),
              QStringLiteral("100201 Current account"));
    nodes.Add(QStringLiteral("b1002"), 4, QStringLiteral("c100202"), QStringLiteral("100202 Deposit"));
}

QStringList keysInOrder(const QzNodes& nodes) {
    QStringList keys;
    for (int i = 1; i <= nodes.Count(); ++i)
        keys << nodes.Item(i).Key();
    return keys;
}

QStringList childKeys(const QAbstractItemModel& model, const QModelIndex& parent) {
    QStringList keys;
    for (int row = 0; row < model.rowCount(parent); ++row)
        keys << model.index(row, 0, parent).data(TreeNodeModel::KeyRole).toString();
    return keys;
}

class TreeNodeStore : public ::testing::Test {
protected:
    void SetUp() override {
        checked = std::make_unique<CheckedModel>(tree.nodeModel());
        addSampleTree(tree.Nodes());
        tree.nodeModel()->finishPendingReset();
    }
    void TearDown() override {
        checked.reset();
        EXPECT_TRUE(CheckedModel::complaints().isEmpty())
            << CheckedModel::complaints().join('\n').toStdString();
    }
    QModelIndex indexOf(const QString& key) { return model().indexOf(tree.Nodes().Item(key).id()); }
    TreeNodeModel& model() { return *tree.nodeModel(); }

    QzTreeView tree;
    std::unique_ptr<CheckedModel> checked;
};

TEST_F(TreeNodeStore, KeepsOrderOfAdditionAcrossParents) {
    QzNodes& nodes = tree.Nodes();
    EXPECT_EQ(nodes.Count(), 8);
    EXPECT_EQ(keysInOrder(nodes),
              (QStringList{"z", "a1", "a2", "b1001", "b2001", "b1002", "c100201", "c100202"}));
    // The model shows each node under its relative, children in the order they were added.
    EXPECT_EQ(childKeys(model(), {}), (QStringList{"z", "a1", "a2"}));
    EXPECT_EQ(childKeys(model(), indexOf("a1")), (QStringList{"b1001", "b1002"}));
    EXPECT_EQ(childKeys(model(), indexOf("b1002")), (QStringList{"c100201", "c100202"}));
    EXPECT_EQ(indexOf("b1002").data(Qt::DisplayRole).toString(), QStringLiteral("1002 Bank"));
}

TEST_F(TreeNodeStore, NodeHandlesReadTextKeyAndChildren) {
    const QzNode a1 = tree.Nodes().Item("a1");
    EXPECT_EQ(a1.Text(), QStringLiteral("Assets"));
    EXPECT_EQ(a1.Children(), 2);
    EXPECT_EQ(a1.Child().Key(), QStringLiteral("b1001"));
    EXPECT_EQ(tree.Nodes().Item(6).Child().Text(), QStringLiteral("100201 Current account"));
    const QzNode leaf = tree.Nodes().Item("b1001");
    EXPECT_EQ(leaf.Children(), 0);
    EXPECT_TRUE(leaf.Child().isNull());
    EXPECT_EQ(errorNumberOf([&] { (void)leaf.Child().Text(); }), 91);
    EXPECT_TRUE(tree.Nodes().Item(4) == leaf);
}

struct FailingOperation {
    const char* name;
    std::function<void(QzNodes&)> operation;
    int error;
};

void PrintTo(const FailingOperation& c, std::ostream* os) {
    *os << c.name;
}

class NodeStoreErrors : public TreeNodeStore, public ::testing::WithParamInterface<FailingOperation> {};

TEST_P(NodeStoreErrors, RaiseTheirNumberAndChangeNothing) {
    const FailingOperation& c = GetParam();
    EXPECT_EQ(errorNumberOf([&] { c.operation(tree.Nodes()); }), c.error);
    EXPECT_EQ(keysInOrder(tree.Nodes()),
              (QStringList{"z", "a1", "a2", "b1001", "b2001", "b1002", "c100201", "c100202"}));
    EXPECT_EQ(model().rowCount(indexOf("a1")), 2);
}

INSTANTIATE_TEST_SUITE_P(
    TreeNodeStore, NodeStoreErrors,
    ::testing::Values(
        FailingOperation{"duplicate_top_level_key", [](QzNodes& n) { n.Add("a1", "again"); }, 35602},
        FailingOperation{"duplicate_child_key", [](QzNodes& n) { n.Add("a2", 4, "b1001", "1001 again"); },
                         35602},
        FailingOperation{"missing_relative", [](QzNodes& n) { n.Add("b9999", 4, "c999901", "x"); }, 35601},
        FailingOperation{"missing_relative_and_duplicate_key",
                         [](QzNodes& n) { n.Add("nope", 4, "a1", "x"); }, 35601},
        FailingOperation{"relative_key_is_case_sensitive", [](QzNodes& n) { n.Add("A1", 4, "b1003", "x"); },
                         35601},
        FailingOperation{"relationship_other_than_child", [](QzNodes& n) { n.Add("a1", 2, "b1003", "x"); },
                         5},
        FailingOperation{"item_missing_key", [](QzNodes& n) { (void)n.Item("b3001"); }, 35601},
        FailingOperation{"item_index_zero", [](QzNodes& n) { (void)n.Item(0); }, 35601},
        FailingOperation{"item_index_past_end", [](QzNodes& n) { (void)n.Item(9); }, 35601},
        FailingOperation{"remove_missing_key", [](QzNodes& n) { n.Remove("b3001"); }, 35601}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TreeNodeStore, RemoveTakesTheWholeBranchAndRenumbers) {
    const QzNode deposit = tree.Nodes().Item("c100202");
    tree.Nodes().Remove("b1002");
    EXPECT_EQ(keysInOrder(tree.Nodes()), (QStringList{"z", "a1", "a2", "b1001", "b2001"}));
    EXPECT_EQ(errorNumberOf([&] { (void)tree.Nodes().Item("c100201"); }), 35601);
    EXPECT_EQ(tree.Nodes().Item("a1").Children(), 1);
    EXPECT_EQ(childKeys(model(), indexOf("a1")), QStringList{"b1001"});
    EXPECT_EQ(errorNumberOf([&] { (void)deposit.Text(); }), 35605);
    // The keys of the removed branch are free again.
    tree.Nodes().Add("b1001", 4, "c100202", "100202 Deposit");
    EXPECT_EQ(tree.Nodes().Item(6).Key(), QStringLiteral("c100202"));

    tree.Nodes().Add("a2", 4, "b2002", "2002 Wages"); // a2 is the last relative used
    tree.Nodes().Remove("a2");
    EXPECT_EQ(keysInOrder(tree.Nodes()), (QStringList{"z", "a1", "b1001", "c100202"}));
    EXPECT_EQ(childKeys(model(), {}), (QStringList{"z", "a1"}));
    EXPECT_EQ(errorNumberOf([&] { tree.Nodes().Add("a2", 4, "b2003", "2003 Taxes"); }), 35601);
}

TEST_F(TreeNodeStore, ClearEmptiesTheTreeAndRetiresOldHandles) {
    const QzNode cash = tree.Nodes().Item("b1001");
    cash.SetSelected(true);
    tree.Nodes().Clear();
    EXPECT_EQ(tree.Nodes().Count(), 0);
    EXPECT_TRUE(tree.SelectedItem().isNull());
    EXPECT_EQ(errorNumberOf([&] { (void)cash.Key(); }), 35605);
    EXPECT_EQ(errorNumberOf([&] { (void)tree.Nodes().Item(1); }), 35601);
    EXPECT_EQ(errorNumberOf([&] { tree.Nodes().Add("b1002", 4, "c100203", "x"); }), 35601);
    // Rebuilt with the same keys; the views hear of the new tree once control returns.
    addSampleTree(tree.Nodes());
    EXPECT_EQ(tree.Nodes().Count(), 8);
    EXPECT_EQ(errorNumberOf([&] { (void)cash.Key(); }), 35605);
    QApplication::processEvents();
    EXPECT_FALSE(model().resetPending());
    EXPECT_EQ(childKeys(model(), indexOf("a1")), (QStringList{"b1001", "b1002"}));
}

TEST_F(TreeNodeStore, SelectingThroughHandlesMovesTheViewsCurrentNode) {
    const QzNode current = tree.Nodes().Item("c100201");
    current.SetSelected(true);
    EXPECT_TRUE(current.Selected());
    EXPECT_EQ(tree.SelectedItem().Key(), QStringLiteral("c100201"));
    EXPECT_EQ(tree.currentIndex().data(TreeNodeModel::KeyRole).toString(), QStringLiteral("c100201"));
    // Selecting is not making visible: the ancestors stay collapsed.
    EXPECT_FALSE(tree.Nodes().Item("b1002").Expanded());
    EXPECT_FALSE(tree.isExpanded(indexOf("b1002")));

    const QzNode cash = tree.Nodes().Item("b1001");
    cash.SetSelected(true);
    EXPECT_FALSE(current.Selected());
    EXPECT_EQ(tree.selectionModel()->selectedIndexes(), QModelIndexList{indexOf("b1001")});

    cash.SetSelected(false);
    EXPECT_TRUE(tree.SelectedItem().isNull());
    EXPECT_FALSE(tree.currentIndex().isValid());

    current.SetSelected(true);
    tree.Nodes().Remove("b1002"); // an ancestor of the selected node
    EXPECT_TRUE(tree.SelectedItem().isNull());
}

TEST_F(TreeNodeStore, UserSelectionInTheViewIsTheSelectedItem) {
    tree.setCurrentIndex(indexOf("b2001"));
    EXPECT_EQ(tree.SelectedItem().Key(), QStringLiteral("b2001"));
    EXPECT_TRUE(tree.Nodes().Item("b2001").Selected());
}

TEST_F(TreeNodeStore, ExpansionFollowsHandlesAndTheUser) {
    const QzNode a1 = tree.Nodes().Item("a1");
    a1.SetExpanded(true);
    EXPECT_TRUE(a1.Expanded());
    EXPECT_TRUE(tree.isExpanded(indexOf("a1")));
    tree.collapse(indexOf("a1")); // as the user's click on the minus box does
    EXPECT_FALSE(a1.Expanded());
    tree.expand(indexOf("a2"));
    EXPECT_TRUE(tree.Nodes().Item("a2").Expanded());

    tree.Nodes().Item("c100202").EnsureVisible();
    EXPECT_TRUE(a1.Expanded());
    EXPECT_TRUE(tree.Nodes().Item("b1002").Expanded());
    EXPECT_TRUE(tree.isExpanded(indexOf("b1002")));
    EXPECT_FALSE(tree.Nodes().Item("c100202").Expanded());
}

TEST_F(TreeNodeStore, StateSetWhileRebuildingReachesTheViewAfterwards) {
    tree.Nodes().Clear();
    addSampleTree(tree.Nodes());
    ASSERT_TRUE(model().resetPending());
    tree.Nodes().Item("a1").SetExpanded(true);
    tree.Nodes().Item("b1002").SetExpanded(true);
    tree.Nodes().Item("c100201").SetSelected(true);
    tree.Nodes().Item("b2001").EnsureVisible();
    EXPECT_TRUE(tree.Nodes().Item("c100201").Selected());
    EXPECT_TRUE(tree.Nodes().Item("a2").Expanded());
    QApplication::processEvents();
    EXPECT_TRUE(tree.isExpanded(indexOf("a1")));
    EXPECT_TRUE(tree.isExpanded(indexOf("b1002")));
    EXPECT_TRUE(tree.isExpanded(indexOf("a2")));
    EXPECT_FALSE(tree.isExpanded(indexOf("z")));
    EXPECT_EQ(tree.currentIndex(), indexOf("c100201"));
}

// ---- pictures --------------------------------------------------------------------------------

QPixmap swatch(Qt::GlobalColor color) {
    QPixmap p(16, 16);
    p.fill(color);
    return p;
}

struct PictureCase {
    const char* name;
    const char* key;
    std::function<void(QzTreeView&)> setup;
    const char* picture;
};

void PrintTo(const PictureCase& c, std::ostream* os) {
    *os << c.name;
}

class TreePictures : public TreeNodeStore, public ::testing::WithParamInterface<PictureCase> {
protected:
    void SetUp() override {
        TreeNodeStore::SetUp();
        images.ListImages().Add("open", swatch(Qt::yellow));
        images.ListImages().Add("closed", swatch(Qt::darkYellow));
        images.ListImages().Add("leaf", swatch(Qt::white));
        images.ListImages().Add("leafsel", swatch(Qt::blue));
        images.ListImages().Add("closesel", swatch(Qt::darkBlue));
        tree.SetImageList(&images);
    }
    ImageList images;
};

TEST_P(TreePictures, ShowsThePictureOfTheNodesState) {
    const PictureCase& c = GetParam();
    c.setup(tree);
    const QzNode node = tree.Nodes().Item(c.key);
    EXPECT_EQ(model().pictureKey(node.id()), QString::fromLatin1(c.picture));
    const QVariant shown = model().indexOf(node.id()).data(Qt::DecorationRole);
    ASSERT_TRUE(shown.canConvert<QPixmap>());
    EXPECT_EQ(shown.value<QPixmap>().cacheKey(), images.ListImages().Item(c.picture).cacheKey());
}

INSTANTIATE_TEST_SUITE_P(
    TreeNodeStore, TreePictures,
    ::testing::Values(
        PictureCase{"leaf", "b1001", [](QzTreeView&) {}, "leaf"},
        PictureCase{"selected_leaf", "b1001",
                    [](QzTreeView& t) { t.Nodes().Item("b1001").SetSelected(true); }, "leafsel"},
        PictureCase{"collapsed_parent", "b1002", [](QzTreeView&) {}, "closed"},
        PictureCase{"selected_collapsed_parent", "b1002",
                    [](QzTreeView& t) { t.Nodes().Item("b1002").SetSelected(true); }, "closesel"},
        PictureCase{"expanded_parent", "b1002",
                    [](QzTreeView& t) { t.Nodes().Item("b1002").SetExpanded(true); }, "open"},
        PictureCase{"selected_expanded_parent", "b1002",
                    [](QzTreeView& t) {
                        t.Nodes().Item("b1002").SetExpanded(true);
                        t.Nodes().Item("b1002").SetSelected(true);
                    },
                    "open"},
        PictureCase{"expanded_without_children", "z",
                    [](QzTreeView& t) { t.Nodes().Item("z").SetExpanded(true); }, "leaf"},
        PictureCase{"leaf_that_gets_a_child", "b1001",
                    [](QzTreeView& t) { t.Nodes().Add("b1001", 4, "c100101", "100101 Petty cash"); },
                    "closed"},
        PictureCase{"parent_that_loses_its_children", "b1002",
                    [](QzTreeView& t) {
                        t.Nodes().Remove("c100201");
                        t.Nodes().Remove("c100202");
                    },
                    "leaf"},
        PictureCase{"collapsed_by_the_user", "a1",
                    [](QzTreeView& t) {
                        t.Nodes().Item("a1").SetExpanded(true);
                        t.collapse(t.nodeModel()->indexOf(t.Nodes().Item("a1").id()));
                    },
                    "closed"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TreeNodeStore, ShowsNoPictureWithoutPictureStyleOrKey) {
    ImageList images;
    images.ListImages().Add("leaf", swatch(Qt::white));
    tree.SetImageList(&images);
    EXPECT_TRUE(indexOf("b1001").data(Qt::DecorationRole).canConvert<QPixmap>());
    EXPECT_FALSE(indexOf("b1002").data(Qt::DecorationRole).isValid()); // no "closed" picture in the list
    tree.SetStyle(6);                                                  // lines and plus/minus, no pictures
    EXPECT_FALSE(indexOf("b1001").data(Qt::DecorationRole).isValid());
}

} // namespace
