// Node collection operations.
#include "host/controls/QzNodes.h"

#include "host/controls/QzTreeView.h"
#include "runtime/RuntimeError.h"

namespace sarvo::controls {

QzNodes::QzNodes(QzTreeView* tree) : m_tree(tree) {}

void QzNodes::Clear() {
    m_tree->clearNodes();
}

QzNode QzNodes::Add(const QString& key, const QString& text) {
    return Add(QString(), 0, key, text);
}

QzNode QzNodes::Add(const QString& relative, int relationship, const QString& key, const QString& text) {
    return QzNode(m_tree, m_tree->nodeModel()->add(relative, relationship, key, text));
}

QzNode QzNodes::Item(const QString& key) const {
    const TreeNodeModel::NodeId id = m_tree->nodeModel()->find(key);
    if (!id) raise(ErrorCode::ElementNotFound, key);
    return QzNode(m_tree, id);
}

QzNode QzNodes::Item(int index) const {
    const TreeNodeModel::NodeId id = m_tree->nodeModel()->at(index);
    if (!id) raise(ErrorCode::ElementNotFound, QStringLiteral("index %1").arg(index));
    return QzNode(m_tree, id);
}

void QzNodes::Remove(const QString& key) {
    m_tree->removeNode(key);
}

int QzNodes::Count() const {
    return m_tree->nodeModel()->count();
}

} // namespace sarvo::controls
