// The tree's node store under long runs of adds, removes and rebuilds: the key index against a
// plain hash table (colliding hashes included), the text blocks, the store against a list kept
// beside it while the item-model contract is checked, and rebuild after rebuild leaving nothing
// behind.
#include "ControlsTestSupport.h"

#include "host/controls/NodeKeyIndex.h"
#include "host/controls/TextArena.h"
#include "host/controls/TreeNodeModel.h"

#include <QAbstractItemModelTester>
#include <QCoreApplication>
#include <QHash>
#include <QSet>
#include <malloc.h>
#include <random>
#include <vector>

using namespace sarvo::controls;
using sarvo::controls::testing::errorNumberOf;

namespace {

// ---- key index ---------------------------------------------------------------------------------

struct IndexRun {
    const char* name;
    uint32_t hashes; // keys get hash (key number % hashes) * spread: few hashes mean long probe runs
    uint32_t spread;
    int keys;
    int steps;
};

class KeyIndexTest : public ::testing::TestWithParam<IndexRun> {};

TEST_P(KeyIndexTest, FindsWhatAPlainHashTableFindsThroughAddsAndRemoves) {
    const IndexRun run = GetParam();
    std::vector<QString> bySlot{QString()}; // slot -> key; slot 0 unused
    const auto keyOf = [&](uint32_t slot) -> const QString& { return bySlot[slot]; };
    const auto hashOf = [&](int n) { return (static_cast<uint32_t>(n) % run.hashes) * run.spread; };
    NodeKeyIndex index;
    QHash<QString, uint32_t> reference;
    std::mt19937 random(7);
    for (int step = 0; step < run.steps; ++step) {
        const int n = static_cast<int>(random() % static_cast<uint32_t>(run.keys));
        const QString key = QStringLiteral("k%1").arg(n);
        if (random() % 3 != 0) {
            bySlot.push_back(key);
            const uint32_t slot = static_cast<uint32_t>(bySlot.size() - 1);
            const uint32_t had = index.insert(key, hashOf(n), slot, keyOf);
            EXPECT_EQ(had, reference.value(key)) << run.name << " step " << step;
            if (!had) reference.insert(key, slot);
        } else {
            EXPECT_EQ(index.erase(key, hashOf(n), keyOf), reference.remove(key) > 0)
                << run.name << " step " << step;
        }
        ASSERT_EQ(index.size(), static_cast<size_t>(reference.size())) << run.name << " step " << step;
        if (step % 97 == 0 || step == run.steps - 1) {
            for (int m = 0; m < run.keys; ++m) {
                const QString k = QStringLiteral("k%1").arg(m);
                ASSERT_EQ(index.find(k, hashOf(m), keyOf), reference.value(k))
                    << run.name << " " << k.toStdString();
            }
        }
    }
    EXPECT_LE(index.size() * 4, index.capacity() * 3) << run.name << ": at most three quarters full";
}

INSTANTIATE_TEST_SUITE_P(Runs, KeyIndexTest,
                         ::testing::Values(IndexRun{"spread hashes", 1u << 20, 2654435761u, 300, 4000},
                                           IndexRun{"one hash for all", 1, 1, 60, 1500},
                                           IndexRun{"three hashes", 3, 1, 120, 3000},
                                           IndexRun{"hashes at the table's end", 4, 0x0FFFFFFFu, 120, 3000}),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             for (char& c : name)
                                 if (c == ' ' || c == '\'') c = '_';
                             return name;
                         });

TEST(KeyIndex, AddingAndRemovingTheSameKeysOverAndOverDoesNotGrowTheTable) {
    std::vector<QString> bySlot{QString()};
    const auto keyOf = [&](uint32_t slot) -> const QString& { return bySlot[slot]; };
    NodeKeyIndex index;
    size_t capacityAfterFirstRound = 0;
    for (int round = 0; round < 20; ++round) {
        for (int n = 0; n < 500; ++n) {
            bySlot.push_back(QStringLiteral("b%1").arg(n));
            ASSERT_EQ(index.insert(bySlot.back(), NodeKeyIndex::hashOf(bySlot.back()),
                                   static_cast<uint32_t>(bySlot.size() - 1), keyOf),
                      0u);
        }
        for (int n = 0; n < 500; ++n) {
            const QString key = QStringLiteral("b%1").arg(n);
            ASSERT_TRUE(index.erase(key, NodeKeyIndex::hashOf(key), keyOf));
        }
        EXPECT_EQ(index.size(), 0u);
        if (round == 0) capacityAfterFirstRound = index.capacity();
        EXPECT_EQ(index.capacity(), capacityAfterFirstRound) << "round " << round;
    }
    index.clear();
    EXPECT_EQ(index.capacity(), 0u);
    EXPECT_EQ(index.find(QStringLiteral("b1"), NodeKeyIndex::hashOf(QStringLiteral("b1")), keyOf), 0u);
}

// ---- text arena ------------------------------------------------------------------------------

TEST(TextArena, KeepsEveryTextAsGivenWhateverItsLength) {
    const struct {
        const char* name;
        int length;
        int count;
    } runs[] = {{"empty", 0, 10},
                {"one character", 1, 2000},
                {"account texts", 30, 20000},
                {"a quarter block", 4096, 20},
                {"just over a quarter", 4097, 20},
                {"longer than a block", 40000, 3}};
    TextArena arena;
    std::vector<std::pair<QString, QStringView>> kept;
    size_t characters = 0;
    for (const auto& run : runs) {
        for (int i = 0; i < run.count; ++i) {
            QString text(run.length, QChar(u'a' + i % 26));
            if (run.length > 0) text[0] = QChar(u'0' + i % 10);
            // Every other text goes in as a key and a text, joined.
            const qsizetype split = i % 2 ? std::min<qsizetype>(i % 7, text.size()) : -1;
            kept.emplace_back(text, split < 0 ? arena.add(text)
                                              : arena.add(QStringView(text).first(split),
                                                          QStringView(text).sliced(split)));
            characters += static_cast<size_t>(run.length);
        }
    }
    for (const auto& [text, view] : kept)
        ASSERT_EQ(view, QStringView(text)) << text.size();
    EXPECT_GE(arena.capacity(), characters);
    EXPECT_LT(arena.capacity(), characters * 2) << "blocks are filled before new ones are taken";
    EXPECT_LT(arena.blockCount(), 80u) << "a few dozen blocks, not one per text";
}

TEST(TextArena, MovingHandsOverTheBlocksAndClearingFreesThem) {
    TextArena arena;
    const QStringView first = arena.add(u"1001 Cash");
    TextArena moved = std::move(arena);
    EXPECT_EQ(first, u"1001 Cash") << "views stay valid when the arena moves";
    EXPECT_EQ(arena.blockCount(), 0u);
    EXPECT_EQ(arena.add(u"1002 Bank"), u"1002 Bank") << "the arena moved from starts afresh";
    EXPECT_EQ(moved.add(u"1003"), u"1003");
    EXPECT_EQ(first, u"1001 Cash") << "adding to one arena leaves the other's texts alone";
    moved.clear();
    EXPECT_EQ(moved.blockCount(), 0u);
    EXPECT_EQ(moved.capacity(), 0u);
}

// ---- node store --------------------------------------------------------------------------------

// What the store should hold: every node ever added in order, with its parent and whether it is
// still there.
struct ExpectedNode {
    QString key;
    QString parent;
    QString text;
    bool removed = false;
};

class NodeStore : public ::testing::Test {
protected:
    QStringList liveKeysInOrder() const {
        QStringList keys;
        for (const ExpectedNode& n : expected)
            if (!n.removed) keys << n.key;
        return keys;
    }
    QStringList expectedChildren(const QString& parent) const {
        QStringList keys;
        for (const ExpectedNode& n : expected)
            if (!n.removed && n.parent == parent) keys << n.key;
        return keys;
    }
    QStringList children(const QModelIndex& parent) const {
        QStringList keys;
        for (int row = 0; row < model.rowCount(parent); ++row)
            keys << model.index(row, 0, parent).data(TreeNodeModel::KeyRole).toString();
        return keys;
    }
    QStringList storedKeysInOrder() const {
        QStringList keys;
        for (int i = 1; i <= model.count(); ++i)
            keys << model.key(model.at(i));
        return keys;
    }
    void removeBranch(const QString& key) {
        for (ExpectedNode& n : expected)
            if (!n.removed && n.key == key) n.removed = true;
        // Children were added after their parents: one pass in order finds every descendant.
        for (ExpectedNode& n : expected) {
            if (n.removed) continue;
            for (const ExpectedNode& p : expected)
                if (p.removed && p.key == n.parent && &p < &n) {
                    n.removed = true;
                    break;
                }
        }
    }
    void checkAgainstExpected(const char* when) {
        const QStringList live = liveKeysInOrder();
        ASSERT_EQ(storedKeysInOrder(), live) << when;
        const QSet<QString> liveKeys(live.begin(), live.end()); // a removed key may be back
        for (const ExpectedNode& n : expected) {
            const TreeNodeModel::NodeId id = model.find(n.key);
            if (n.removed) {
                if (!liveKeys.contains(n.key)) {
                    ASSERT_EQ(id, 0u) << when << ": " << n.key.toStdString() << " was removed";
                }
                continue;
            }
            ASSERT_NE(id, 0u) << when << ": " << n.key.toStdString();
            ASSERT_EQ(model.text(id), n.text) << when;
            ASSERT_EQ(children(model.indexOf(id)), expectedChildren(n.key))
                << when << ": " << n.key.toStdString();
        }
        ASSERT_EQ(children({}), expectedChildren(QString())) << when;
    }

    TreeNodeModel model;
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Fatal};
    std::vector<ExpectedNode> expected;
};

TEST_F(NodeStore, ThousandsOfAddsAndRemovesKeepOrderKeysAndChildrenWhileViewsAreTold) {
    std::mt19937 random(11);
    int next = 0;
    for (int step = 0; step < 3000; ++step) {
        const QStringList live = liveKeysInOrder();
        const uint32_t dice = random() % 10;
        if (dice < 7 || live.size() < 5) {
            // A node under a random live node, or at the top level.
            const QString parent =
                live.isEmpty() || dice == 0 ? QString() : live[static_cast<int>(random() % live.size())];
            const QString key = QStringLiteral("n%1").arg(next++);
            const QString text = QStringLiteral("node %1").arg(next);
            model.add(parent, parent.isEmpty() ? 0 : TreeNodeModel::ChildRelationship, key, text);
            expected.push_back({key, parent, text});
        } else if (dice < 9) {
            const QString key = live[static_cast<int>(random() % live.size())];
            model.remove(key);
            removeBranch(key);
        } else {
            // Adding a key that is there, or under a relative that is gone, changes nothing.
            const QString taken = live[static_cast<int>(random() % live.size())];
            EXPECT_EQ(errorNumberOf([&] { model.add(QString(), 0, taken, QStringLiteral("again")); }), 35602);
            EXPECT_EQ(
                errorNumberOf([&] { model.add(QStringLiteral("gone"), 4, QStringLiteral("x"), QString()); }),
                35601);
        }
        if (step % 250 == 0) checkAgainstExpected("during the run");
    }
    checkAgainstExpected("at the end");
    // A key freed by a removal can be used again, and goes to the end of the order.
    const QString reused = [&] {
        for (const ExpectedNode& n : expected)
            if (n.removed) return n.key;
        return QString();
    }();
    ASSERT_FALSE(reused.isEmpty());
    model.add(QString(), 0, reused, QStringLiteral("back"));
    EXPECT_EQ(model.key(model.at(model.count())), reused);
    EXPECT_EQ(model.text(model.find(reused)), "back");
}

TEST_F(NodeStore, DepthFirstLoadsWithRemovalsAndReusedKeysPutEachNodeUnderItsRelative) {
    // As a hierarchy loads: a child of the node just added, a sibling, or back up a few levels;
    // now and then a branch on the way down is removed and its keys come back elsewhere. Keys
    // share their starts and lengths ("b1", "b10", "b11"), so a near miss would show.
    std::mt19937 random(5);
    std::vector<int> path;     // the node added last and its ancestors, top first (in expected)
    std::vector<int> parentOf; // by position in expected; -1 at the top
    QStringList freed;
    int next = 1;
    for (int step = 0; step < 4000; ++step) {
        const uint32_t dice = random() % 20;
        if (dice < 2 && !path.empty()) {
            const size_t on = random() % path.size();
            model.remove(expected[static_cast<size_t>(path[on])].key);
            // Added after their parents: one pass in order finds the whole branch.
            for (size_t i = static_cast<size_t>(path[on]); i < expected.size(); ++i) {
                const bool inBranch =
                    static_cast<int>(i) == path[on] ||
                    (parentOf[i] >= 0 && expected[static_cast<size_t>(parentOf[i])].removed &&
                     parentOf[i] >= path[on]);
                if (inBranch && !expected[i].removed) {
                    expected[i].removed = true;
                    freed << expected[i].key;
                }
            }
            path.resize(on);
            continue;
        }
        if (dice < 8 && !path.empty()) path.resize(random() % path.size());
        const int parent = path.empty() ? -1 : path.back();
        const QString parentKey = parent < 0 ? QString() : expected[static_cast<size_t>(parent)].key;
        const QString key =
            !freed.isEmpty() && dice % 3 == 0 ? freed.takeFirst() : QStringLiteral("b%1").arg(next++);
        model.add(parentKey, parent < 0 ? 0 : TreeNodeModel::ChildRelationship, key, key + " text");
        expected.push_back({key, parentKey, key + " text"});
        parentOf.push_back(parent);
        path.push_back(static_cast<int>(expected.size()) - 1);
        if (step % 500 == 0) checkAgainstExpected("during the load");
    }
    checkAgainstExpected("at the end");
}

TEST_F(NodeStore, PositionsCountLiveNodesInOrderOfAdditionBeforeAndAfterRemovals) {
    const struct {
        const char* remove; // "" for none
        const char* order;
    } cases[] = {{"", "z a1 b1 b2 c1 a2 b3"},
                 {"b2", "z a1 b1 a2 b3"}, // with its child c1
                 {"a1", "z a2 b3"},       // a whole class
                 {"z", "a2 b3"}};
    model.add(QString(), 0, "z", "group");
    model.add(QString(), 0, "a1", "class 1");
    model.add("a1", 4, "b1", "1");
    model.add("a1", 4, "b2", "2");
    model.add("b2", 4, "c1", "21");
    model.add(QString(), 0, "a2", "class 2");
    model.add("a2", 4, "b3", "3");
    for (const auto& c : cases) {
        if (*c.remove) model.remove(c.remove);
        EXPECT_EQ(storedKeysInOrder().join(' '), c.order) << c.remove;
        EXPECT_EQ(model.at(model.count() + 1), 0u) << c.remove;
        EXPECT_EQ(model.at(0), 0u) << c.remove;
    }
    model.add("a2", 4, "b4", "4"); // added after removals: still last
    EXPECT_EQ(storedKeysInOrder().join(' '), "a2 b3 b4");
}

// Renaming a node in place (label edit) changes its text only: its key still finds it, and the
// nodes around it, added before and after, keep theirs.
TEST_F(NodeStore, ARenamedNodeKeepsItsKeyAndItsNeighboursTheirTexts) {
    model.setEditable(true);
    const struct {
        const char* key;
        const char* text;
        const char* renamed; // nullptr: left alone
    } nodes[] = {{"a1", "资产", nullptr},
                 {"b1001", "1001 库存现金", "1001 现金"},
                 {"b1002", "1002 银行存款", "1002 银行存款（人民币与外币合计，按开户行分列）"},
                 {"b1003", "1003 存放中央银行款项", ""},
                 {"", "no key", "still no key"},
                 {"b1004", "1004", nullptr}};
    for (const auto& n : nodes)
        model.add(*n.key == 'b' ? QStringLiteral("a1") : QString(), *n.key == 'b' ? 4 : 0,
                  QString::fromUtf8(n.key), QString::fromUtf8(n.text));
    for (int i = 1; i <= model.count(); ++i)
        if (const char* renamed = nodes[i - 1].renamed)
            ASSERT_TRUE(model.setData(model.indexOf(model.at(i)), QString::fromUtf8(renamed), Qt::EditRole));
    for (int i = 1; i <= model.count(); ++i) {
        const auto& n = nodes[i - 1];
        SCOPED_TRACE(n.text);
        EXPECT_EQ(model.key(model.at(i)), QString::fromUtf8(n.key));
        EXPECT_EQ(model.text(model.at(i)), QString::fromUtf8(n.renamed ? n.renamed : n.text));
        if (*n.key) EXPECT_EQ(model.find(QString::fromUtf8(n.key)), model.at(i));
    }
}

long heapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<long>(info.uordblks + info.hblkhd);
}

TEST_F(NodeStore, RebuildAfterRebuildLeavesNoHeapBehind) {
    // As a rebuild per keystroke does: clear, add a tree, let the views hear of it.
    const auto rebuild = [&](int accounts) {
        model.clear();
        model.add(QString(), 0, "z", "group");
        for (int c = 1; c <= 10; ++c)
            model.add(QString(), 0, QStringLiteral("a%1").arg(c), QStringLiteral("class %1").arg(c));
        for (int i = 0; i < accounts; ++i)
            model.add(QStringLiteral("a%1").arg(i % 10 + 1), 4, QStringLiteral("b%1").arg(100000 + i),
                      QStringLiteral("%1 account").arg(100000 + i));
        model.finishPendingReset();
        QCoreApplication::sendPostedEvents(); // the reset's own queued end, as the event loop would
    };
    // A broad tree and then a narrow one, over and over.
    for (int i = 0; i < 20; ++i) {
        rebuild(2000);
        rebuild(50);
    }
    const long settled = heapInUse();
    for (int i = 0; i < 500; ++i) {
        rebuild(2000);
        rebuild(50);
    }
    EXPECT_EQ(model.count(), 61);
    // The allocator's own caches move by some kilobytes; one node's key left behind per rebuild
    // would be about 50 kilobytes by now.
    EXPECT_LT(heapInUse() - settled, 24 * 1024) << "bytes kept over 1,000 rebuilds";
}

} // namespace
