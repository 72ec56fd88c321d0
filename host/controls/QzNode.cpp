// Node handle operations, forwarded to the tree and its node store.
#include "host/controls/QzNode.h"

#include "host/controls/QzTreeView.h"
#include "runtime/RuntimeError.h"

namespace sarvo::controls {

QzNode::QzNode(QzTreeView* tree, TreeNodeModel::NodeId id) : m_tree(tree), m_id(id) {}

TreeNodeModel& QzNode::model() const {
    if (isNull()) raise(ErrorCode::ObjectVariableNotSet, QStringLiteral("no node"));
    return *m_tree->nodeModel();
}

QString QzNode::Text() const {
    return model().text(m_id);
}

QString QzNode::Key() const {
    return model().key(m_id);
}

int QzNode::Children() const {
    return model().childCount(m_id);
}

QzNode QzNode::Child() const {
    const TreeNodeModel::NodeId child = model().firstChild(m_id);
    return child ? QzNode(m_tree.data(), child) : QzNode();
}

bool QzNode::Expanded() const {
    return model().isExpanded(m_id);
}

void QzNode::SetExpanded(bool expanded) const {
    model();
    m_tree->setNodeExpanded(m_id, expanded);
}

bool QzNode::Selected() const {
    TreeNodeModel& m = model();
    (void)m.key(m_id); // a removed node raises rather than reading as "not selected"
    return m.selected() == m_id;
}

void QzNode::SetSelected(bool selected) const {
    model();
    m_tree->setNodeSelected(m_id, selected);
}

void QzNode::EnsureVisible() const {
    model();
    m_tree->ensureNodeVisible(m_id);
}

} // namespace sarvo::controls
