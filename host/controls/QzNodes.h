// The node collection of a QzTreeView (its Nodes property).
#pragma once

#include "host/controls/QzNode.h"

#include <QString>

namespace sarvo::controls {

class QzTreeView;

class QzNodes {
public:
    static constexpr int tvwChild = TreeNodeModel::ChildRelationship;

    explicit QzNodes(QzTreeView* tree);
    QzNodes(const QzNodes&) = delete;
    QzNodes& operator=(const QzNodes&) = delete;

    void Clear();
    // Top-level node (relative and relationship omitted).
    QzNode Add(const QString& key, const QString& text);
    // Relative empty: top level, relationship ignored. Otherwise a child of the relative; the
    // relationship must be tvwChild (4), else 5. Missing relative 35601, duplicate key 35602.
    QzNode Add(const QString& relative, int relationship, const QString& key, const QString& text);
    QzNode Item(const QString& key) const; // 35601 when missing
    QzNode Item(int index) const;          // 1-based, in order of addition; 35601 when out of range
    void Remove(const QString& key);       // with its descendants; 35601 when missing
    int Count() const;

private:
    QzTreeView* m_tree;
};

} // namespace sarvo::controls
