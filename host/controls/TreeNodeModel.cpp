// Node store and item model of the tree view.
#include "host/controls/TreeNodeModel.h"

#include "host/controls/ImageList.h"
#include "runtime/RuntimeError.h"

#include <QMetaObject>
#include <QPixmap>
#include <algorithm>

namespace sarvo::controls {

const QString TreeNodeModel::kOpenPicture = QStringLiteral("open");
const QString TreeNodeModel::kClosedPicture = QStringLiteral("closed");
const QString TreeNodeModel::kLeafPicture = QStringLiteral("leaf");
const QString TreeNodeModel::kLeafSelPicture = QStringLiteral("leafsel");
const QString TreeNodeModel::kCloseSelPicture = QStringLiteral("closesel");

namespace {
constexpr int kNodeRemoved = 35605;
}

TreeNodeModel::TreeNodeModel(QObject* parent) : QAbstractItemModel(parent) {}

TreeNodeModel::~TreeNodeModel() = default;

// ---- node store ------------------------------------------------------------------------------

void TreeNodeModel::clear() {
    if (!m_resetPending) {
        beginResetModel();
        m_resetPending = true;
        // Whoever rebuilds the tree does so before returning to the event loop; the views
        // hear of the whole new tree at once after that.
        QMetaObject::invokeMethod(this, &TreeNodeModel::finishPendingReset, Qt::QueuedConnection);
    }
    m_graveyard.emplace_back(std::move(m_store), std::move(m_texts));
    m_store = {};
    m_texts = {};
    m_dead = 0;
    m_roots.clear();
    m_order.clear();
    m_orderValid = false;
    m_keys.clear(); // growing the index again re-hashes no key
    m_selected = 0;
    m_lastAdded = nullptr;
    m_looks.clear();
    ++m_generation;
}

void TreeNodeModel::finishPendingReset() {
    if (!m_resetPending) return;
    m_resetPending = false;
    // Freed only after the views have dropped their indexes into the old nodes.
    auto oldStores = std::move(m_graveyard);
    m_graveyard.clear();
    endResetModel();
}

TreeNodeModel::NodeId TreeNodeModel::add(const QString& relative, int relationship, const QString& key,
                                         const QString& text) {
    Node* parent = nullptr;
    if (!relative.isEmpty()) {
        if (relationship != ChildRelationship)
            raise(ErrorCode::InvalidProcedureCall, QStringLiteral("relationship %1").arg(relationship));
        parent = findNode(relative);
        if (!parent) raise(ErrorCode::ElementNotFound, relative);
    }
    // The node takes the next slot before its key is indexed, so the index never names a slot the
    // store lacks; it joins its siblings (and the views hear of it) only once its key is taken.
    Node& node = m_store.emplace_back();
    const uint32_t slot = static_cast<uint32_t>(m_store.size());
    node.setTexts(m_texts.add(key, text), key.size());
    if (!key.isEmpty()) {
        // One probe both tests and takes the key.
        const auto keyOf = [this](uint32_t s) { return keyOfSlot(s); };
        if (m_keys.insert(node.key(), NodeKeyIndex::hashOf(key), slot, keyOf)) {
            m_store.pop_back();
            raise(ErrorCode::KeyNotUnique, key);
        }
    }
    node.parent = parent;
    node.id = (static_cast<NodeId>(m_generation) << 32) | static_cast<NodeId>(slot);
    std::vector<Node*>& siblings = parent ? parent->children : m_roots;
    const int row = static_cast<int>(siblings.size());
    node.row = row;
    const bool notify = !m_resetPending;
    if (notify) beginInsertRows(indexOfNode(parent), row, row);
    siblings.push_back(&node);
    m_lastAdded = &node;
    if (m_orderValid) m_order.push_back(&node);
    if (m_progress && ++m_added % kProgressInterval == 0) m_progress();
    if (notify) {
        endInsertRows();
        if (parent && row == 0) pictureChanged(parent); // a leaf became a closed node
    }
    return node.id;
}

void TreeNodeModel::remove(const QString& key) {
    Node* node = findNode(key);
    if (!node) raise(ErrorCode::ElementNotFound, key);
    Node* parent = node->parent;
    std::vector<Node*>& siblings = parent ? parent->children : m_roots;
    const int row = node->row;
    const bool notify = !m_resetPending;
    if (notify) beginRemoveRows(indexOfNode(parent), row, row);
    std::vector<Node*> pending{node};
    while (!pending.empty()) {
        Node* n = pending.back();
        pending.pop_back();
        n->dead = true;
        ++m_dead;
        if (n->keySize != 0)
            m_keys.erase(n->key(), NodeKeyIndex::hashOf(n->key()), [this](uint32_t s) { return keyOfSlot(s); });
        if (n->id == m_selected) m_selected = 0;
        m_looks.remove(n->id);
        pending.insert(pending.end(), n->children.begin(), n->children.end());
    }
    siblings.erase(siblings.begin() + row);
    for (size_t i = static_cast<size_t>(row); i < siblings.size(); ++i)
        siblings[i]->row = static_cast<int>(i);
    if (m_orderValid) std::erase_if(m_order, [](const Node* n) { return n->dead; });
    m_lastAdded = nullptr;
    if (notify) {
        endRemoveRows();
        if (parent && parent->children.empty()) pictureChanged(parent);
    }
}

TreeNodeModel::Node* TreeNodeModel::findNode(const QString& key) const {
    if (key.isEmpty()) return nullptr;
    // Trees are loaded sibling after sibling and depth first: the node asked for next is mostly
    // the one added last or an ancestor not far above it, found without hashing the key.
    constexpr int kLevels = 16;
    int level = 0;
    for (Node* n = m_lastAdded; n && level < kLevels; n = n->parent, ++level)
        if (n->key() == key) return n;
    const uint32_t slot =
        m_keys.find(key, NodeKeyIndex::hashOf(key), [this](uint32_t s) { return keyOfSlot(s); });
    return slot ? const_cast<Node*>(&m_store[slot - 1]) : nullptr;
}

TreeNodeModel::NodeId TreeNodeModel::find(const QString& key) const {
    const Node* node = findNode(key);
    return node ? node->id : 0;
}

TreeNodeModel::NodeId TreeNodeModel::at(int position) const {
    if (position < 1 || position > count()) return 0;
    const size_t i = static_cast<size_t>(position - 1);
    if (m_dead == 0) return m_store[i].id;
    if (!m_orderValid) {
        m_order.clear();
        m_order.reserve(static_cast<size_t>(count()));
        for (const Node& node : m_store)
            if (!node.dead) m_order.push_back(const_cast<Node*>(&node));
        m_orderValid = true;
    }
    return m_order[i]->id;
}

bool TreeNodeModel::contains(NodeId id) const {
    return nodeOf(id) != nullptr;
}

TreeNodeModel::Node* TreeNodeModel::nodeOf(NodeId id) const {
    if (static_cast<quint32>(id >> 32) != m_generation) return nullptr;
    const quint64 slot = id & 0xFFFFFFFFu;
    if (slot == 0 || slot > m_store.size()) return nullptr;
    Node& node = const_cast<Node&>(m_store[slot - 1]);
    return node.dead ? nullptr : &node;
}

TreeNodeModel::Node* TreeNodeModel::require(NodeId id) const {
    Node* node = nodeOf(id);
    if (!node) throw RuntimeError(kNodeRemoved, QStringLiteral("The node has been removed from the tree"));
    return node;
}

// ---- per node --------------------------------------------------------------------------------

QString TreeNodeModel::key(NodeId id) const {
    return require(id)->key().toString();
}

QString TreeNodeModel::text(NodeId id) const {
    return require(id)->text().toString();
}

int TreeNodeModel::childCount(NodeId id) const {
    return static_cast<int>(require(id)->children.size());
}

TreeNodeModel::NodeId TreeNodeModel::firstChild(NodeId id) const {
    const Node* node = require(id);
    return node->children.empty() ? 0 : node->children.front()->id;
}

TreeNodeModel::NodeId TreeNodeModel::parentOf(NodeId id) const {
    const Node* node = require(id);
    return node->parent ? node->parent->id : 0;
}

bool TreeNodeModel::isExpanded(NodeId id) const {
    return require(id)->expanded;
}

void TreeNodeModel::setExpanded(NodeId id, bool expanded) {
    Node* node = require(id);
    if (node->expanded == expanded) return;
    node->expanded = expanded;
    if (!node->children.empty()) pictureChanged(node);
}

void TreeNodeModel::setSelected(NodeId id) {
    if (id == m_selected) return;
    Node* node = id ? require(id) : nullptr;
    Node* old = nodeOf(m_selected);
    m_selected = id;
    pictureChanged(old);
    pictureChanged(node);
}

bool TreeNodeModel::isInSubtree(NodeId id, NodeId root) const {
    for (const Node* n = nodeOf(id); n; n = n->parent)
        if (n->id == root) return true;
    return false;
}

QString TreeNodeModel::pictureKey(NodeId id) const {
    return pictureKeyOf(*require(id));
}

QString TreeNodeModel::pictureKeyOf(const Node& node) const {
    const bool selected = node.id == m_selected;
    if (node.children.empty()) return selected ? kLeafSelPicture : kLeafPicture;
    if (node.expanded) return kOpenPicture;
    return selected ? kCloseSelPicture : kClosedPicture;
}

std::vector<TreeNodeModel::NodeId> TreeNodeModel::expandedNodes() const {
    std::vector<NodeId> ids;
    for (const Node& node : m_store)
        if (node.expanded && !node.dead) ids.push_back(node.id);
    return ids;
}

QModelIndex TreeNodeModel::indexOf(NodeId id) const {
    return indexOfNode(nodeOf(id));
}

TreeNodeModel::NodeId TreeNodeModel::idOf(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this) return 0;
    const NodeId id = nodeAt(index)->id;
    return nodeOf(id) ? id : 0;
}

QModelIndex TreeNodeModel::indexOfNode(const Node* node) const {
    return node ? createIndex(node->row, 0, const_cast<Node*>(node)) : QModelIndex();
}

void TreeNodeModel::pictureChanged(const Node* node) {
    if (!node || m_resetPending || !m_showPictures) return;
    const QModelIndex index = indexOfNode(node);
    emit dataChanged(index, index, {Qt::DecorationRole});
}

// ---- display settings ------------------------------------------------------------------------

void TreeNodeModel::setImageList(ImageList* images) {
    m_images = images;
}

void TreeNodeModel::setShowPictures(bool show) {
    m_showPictures = show;
}

void TreeNodeModel::setEditable(bool editable) {
    m_editable = editable;
}

void TreeNodeModel::setDecorator(const NodeDecorator* decorator) {
    m_decorator = decorator;
    m_looks.clear();
    if (!m_resetPending && !m_roots.empty())
        emit dataChanged(index(0, 0), index(static_cast<int>(m_roots.size()) - 1, 0));
}

void TreeNodeModel::prefetchLooks(const QModelIndexList& indexes) {
    if (!m_decorator) return;
    std::vector<const Node*> wanted;
    std::vector<std::pair<QString, QString>> batch;
    for (const QModelIndex& index : indexes) {
        if (!idOf(index)) continue;
        const Node* node = nodeAt(index);
        if (m_looks.contains(node->id)) continue;
        wanted.push_back(node);
        batch.emplace_back(node->key().toString(), node->text().toString());
    }
    if (batch.empty()) return;
    const std::vector<NodeLook> answers = m_decorator->looks(batch);
    for (size_t i = 0; i < wanted.size() && i < answers.size(); ++i)
        m_looks.insert(wanted[i]->id, answers[i]);
}

const NodeLook& TreeNodeModel::lookOf(const Node& node) const {
    auto it = m_looks.find(node.id);
    if (it == m_looks.end())
        it = m_looks.insert(node.id, m_decorator->look(node.key().toString(), node.text().toString()));
    return *it;
}

QStringList TreeNodeModel::ancestorTexts(const Node& node) const {
    QStringList texts;
    for (const Node* n = node.parent; n; n = n->parent)
        texts.prepend(n->text().toString());
    return texts;
}

// ---- QAbstractItemModel ----------------------------------------------------------------------

QModelIndex TreeNodeModel::index(int row, int column, const QModelIndex& parent) const {
    if (row < 0 || column != 0 || (parent.isValid() && parent.column() != 0)) return {};
    const std::vector<Node*>& list = parent.isValid() ? nodeAt(parent)->children : m_roots;
    if (static_cast<size_t>(row) >= list.size()) return {};
    return createIndex(row, 0, list[static_cast<size_t>(row)]);
}

QModelIndex TreeNodeModel::parent(const QModelIndex& child) const {
    if (!child.isValid()) return {};
    return indexOfNode(nodeAt(child)->parent);
}

int TreeNodeModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0) return 0;
    return static_cast<int>(parent.isValid() ? nodeAt(parent)->children.size() : m_roots.size());
}

int TreeNodeModel::columnCount(const QModelIndex&) const {
    return 1;
}

bool TreeNodeModel::hasChildren(const QModelIndex& parent) const {
    return rowCount(parent) > 0;
}

QVariant TreeNodeModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const Node* node = nodeAt(index);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return node->text().toString();
    case KeyRole:
        return node->key().toString();
    case HighlightRole: {
        if (!m_decorator) return {};
        QVariantList ranges;
        for (const QPoint& range : lookOf(*node).highlights)
            ranges << range;
        return ranges;
    }
    case ContextRole:
        return m_decorator ? lookOf(*node).context : false;
    case ClosedRole:
        return m_decorator ? lookOf(*node).closed : false;
    case Qt::ToolTipRole:
        if (!m_decorator) return {};
        return m_decorator->toolTip(node->key().toString(), node->text().toString(), ancestorTexts(*node),
                                    lookOf(*node));
    case Qt::DecorationRole: {
        if (!m_showPictures || !m_images) return {};
        const QPixmap* picture = m_images->ListImages().find(pictureKeyOf(*node));
        return picture ? QVariant(*picture) : QVariant();
    }
    default:
        return {};
    }
}

bool TreeNodeModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!m_editable || role != Qt::EditRole || !index.isValid()) return false;
    Node* node = nodeAt(index);
    // The old texts stay until the next clear.
    node->setTexts(m_texts.add(node->key(), value.toString()), node->keySize);
    m_looks.remove(node->id);
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

Qt::ItemFlags TreeNodeModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (m_editable) f |= Qt::ItemIsEditable;
    return f;
}

} // namespace sarvo::controls
