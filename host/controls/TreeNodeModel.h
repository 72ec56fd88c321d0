// The tree view's node store and its item model.
// Nodes are kept in order of addition (1-based positions), found by key through an index of
// their hashes (NodeKeyIndex), and linked to their parent and children; their keys and texts are
// kept in the store's own blocks (TextArena) and copied out when asked for. Each node has a stable id
// (NodeId) that outlives changes elsewhere in the tree and goes stale when the node is removed or the tree
// cleared. Clearing starts a model reset that stays open while the tree is rebuilt: adds made during it send
// no notifications, so a rebuild of tens of thousands of nodes costs no view work per node. The reset ends at
// the latest when control returns to the event loop; the tree view also ends it before it handles any event
// of its own (finishPendingReset). Roles: Qt::DisplayRole / EditRole the text, KeyRole the key,
// DecorationRole the picture of the node's state from the attached image list; with a decorator attached,
// HighlightRole (a list of QPoint(start, length) in the text), ContextRole and ClosedRole (booleans) and
// Qt::ToolTipRole, answered by the decorator.
#pragma once

#include "host/controls/NodeDecorator.h"
#include "host/controls/NodeKeyIndex.h"
#include "host/controls/TextArena.h"

#include <QAbstractItemModel>
#include <QHash>
#include <QPointer>
#include <deque>
#include <functional>
#include <vector>

namespace sarvo::controls {

class ImageList;

class TreeNodeModel : public QAbstractItemModel {
    Q_OBJECT

public:
    static constexpr int KeyRole = Qt::UserRole + 1;
    static constexpr int HighlightRole = Qt::UserRole + 2;
    static constexpr int ContextRole = Qt::UserRole + 3;
    static constexpr int ClosedRole = Qt::UserRole + 4;
    static constexpr int ChildRelationship = 4;
    using NodeId = quint64; // 0: no node

    // Image-list keys of the node pictures.
    static const QString kOpenPicture;     // expanded node with children
    static const QString kClosedPicture;   // collapsed node with children
    static const QString kLeafPicture;     // node without children
    static const QString kLeafSelPicture;  // selected node without children
    static const QString kCloseSelPicture; // selected collapsed node with children

    explicit TreeNodeModel(QObject* parent = nullptr);
    ~TreeNodeModel() override;

    // Node store.
    void clear();
    // Adds a node at the top level (relative empty) or as the last child of the relative
    // (relationship 4). A missing relative raises 35601, a key already present 35602, any
    // other relationship with a relative 5. An empty key adds a node that has no key.
    NodeId add(const QString& relative, int relationship, const QString& key, const QString& text);
    void remove(const QString& key); // the node and its descendants; 35601 when missing
    int count() const { return static_cast<int>(m_store.size() - m_dead); }
    NodeId find(const QString& key) const; // 0 when missing
    NodeId at(int position) const;         // 1-based in order of addition; 0 when out of range
    bool contains(NodeId id) const;

    // Per node; a stale id raises 35605.
    QString key(NodeId id) const;
    QString text(NodeId id) const;
    int childCount(NodeId id) const;
    NodeId firstChild(NodeId id) const; // 0 for a leaf
    NodeId parentOf(NodeId id) const;   // 0 at the top level
    bool isExpanded(NodeId id) const;
    void setExpanded(NodeId id, bool expanded);
    NodeId selected() const { return m_selected; }
    void setSelected(NodeId id); // 0: none
    bool isInSubtree(NodeId id, NodeId root) const;
    QString pictureKey(NodeId id) const;
    std::vector<NodeId> expandedNodes() const;

    QModelIndex indexOf(NodeId id) const;
    NodeId idOf(const QModelIndex& index) const; // 0 for an invalid or stale index

    // Display settings of the owning view.
    void setImageList(ImageList* images);
    void setShowPictures(bool show);
    void setEditable(bool editable);
    // Not owned; null for plain nodes. Setting it forgets every answer given so far.
    void setDecorator(const NodeDecorator* decorator);
    // Asks the decorator at once for the looks of these rows not asked about yet.
    void prefetchLooks(const QModelIndexList& indexes);
    // Called every kProgressInterval nodes added, for a caller that shows a long build is busy.
    static constexpr int kProgressInterval = 64;
    void setProgressHook(std::function<void()> hook) { m_progress = std::move(hook); }

    bool resetPending() const { return m_resetPending; }
    void finishPendingReset();

    // QAbstractItemModel
    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    // 64 bytes: a tree of 50,000 accounts holds one per account.
    struct Node {
        const char16_t* texts = nullptr; // the key, then the text, in m_texts
        Node* parent = nullptr;
        std::vector<Node*> children;
        NodeId id = 0;
        quint32 keySize = 0;
        quint32 textSize = 0;
        int row = 0;
        bool expanded = false;
        bool dead = false;

        QStringView key() const { return QStringView(texts, keySize); }
        QStringView text() const { return QStringView(texts + keySize, textSize); }
        void setTexts(QStringView both, qsizetype keySizeOf) {
            texts = both.utf16();
            keySize = static_cast<quint32>(keySizeOf);
            textSize = static_cast<quint32>(both.size() - keySizeOf);
        }
    };
    static_assert(sizeof(Node) <= 64);

    Node* nodeOf(NodeId id) const;
    Node* findNode(const QString& key) const;
    QStringView keyOfSlot(uint32_t slot) const { return m_store[slot - 1].key(); }
    Node* require(NodeId id) const;
    static Node* nodeAt(const QModelIndex& index) { return static_cast<Node*>(index.internalPointer()); }
    QModelIndex indexOfNode(const Node* node) const;
    QString pictureKeyOf(const Node& node) const;
    const NodeLook& lookOf(const Node& node) const;
    QStringList ancestorTexts(const Node& node) const;
    void pictureChanged(const Node* node);

    // In order of addition; slot = 1-based position in the store. Removed nodes stay (dead) until
    // clear, so while nothing has been removed a node's position is its slot.
    std::deque<Node> m_store;
    TextArena m_texts; // the keys and texts of m_store
    size_t m_dead = 0;
    // Stores emptied by clear while its reset is open: views may still hold indexes into them.
    std::vector<std::pair<std::deque<Node>, TextArena>> m_graveyard;
    std::vector<Node*> m_roots;
    // Live nodes in order of addition, kept only once a node has been removed (positions then
    // differ from slots); rebuilt on demand.
    mutable std::vector<Node*> m_order;
    mutable bool m_orderValid = false;
    NodeKeyIndex m_keys;
    Node* m_lastAdded = nullptr; // its ancestors are the likely relatives of the next add
    quint32 m_generation = 1;    // bumped by clear so ids of the old nodes go stale
    NodeId m_selected = 0;
    QPointer<ImageList> m_images;
    bool m_showPictures = true;
    bool m_editable = false;
    bool m_resetPending = false;
    const NodeDecorator* m_decorator = nullptr;
    mutable QHash<NodeId, NodeLook> m_looks; // answers for the nodes painted so far
    std::function<void()> m_progress;
    unsigned m_added = 0;
};

} // namespace sarvo::controls
