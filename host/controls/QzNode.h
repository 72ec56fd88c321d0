// A node of a QzTreeView: a cheap handle (tree and node id) that can be copied freely. Like an
// object reference, a const handle still changes its node.
// A default-constructed handle is "no node" (what Child and SelectedItem give when there is
// none); using it raises 91. A handle whose node has been removed, or whose tree has been
// cleared, raises 35605.
#pragma once

#include "host/controls/TreeNodeModel.h"

#include <QPointer>
#include <QString>

namespace sarvo::controls {

class QzTreeView;

class QzNode {
public:
    QzNode() = default;

    bool isNull() const { return m_id == 0 || m_tree.isNull(); }
    explicit operator bool() const { return !isNull(); }
    // Same tree and same node.
    bool operator==(const QzNode& other) const { return m_tree == other.m_tree && m_id == other.m_id; }

    QString Text() const;
    QString Key() const;
    int Children() const; // number of direct children
    QzNode Child() const; // first child; none for a leaf
    bool Expanded() const;
    void SetExpanded(bool expanded) const;
    bool Selected() const;
    // True makes this the tree's selected (current) node and, as the native control does, shows
    // it: its collapsed ancestors open and it is scrolled into view. It raises no NodeClick.
    // False clears the selection when this node holds it.
    void SetSelected(bool selected) const;
    // Expands every ancestor and scrolls the node into view.
    void EnsureVisible() const;

    TreeNodeModel::NodeId id() const { return m_id; }
    QzTreeView* tree() const { return m_tree.data(); }

private:
    friend class QzTreeView;
    friend class QzNodes;
    QzNode(QzTreeView* tree, TreeNodeModel::NodeId id);
    TreeNodeModel& model() const; // raises 91 for no node

    QPointer<QzTreeView> m_tree;
    TreeNodeModel::NodeId m_id = 0;
};

} // namespace sarvo::controls
