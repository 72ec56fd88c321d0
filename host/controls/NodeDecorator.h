// What the owner of a tree view tells it about how each node is to look beyond its text: the
// parts of the text to mark, whether the node is only shown as the ancestor of other nodes,
// whether the thing it stands for is closed, and the node's tooltip. The tree asks for the nodes
// it paints, the rows of one paint together, and keeps each answer until the node is removed or
// the tree cleared.
#pragma once

#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

namespace sarvo::controls {

struct NodeLook {
    QList<QPoint> highlights; // (start, length) in the node's text, in text order
    bool context = false;     // shown only for the nodes below it
    bool closed = false;      // greyed
};

class NodeDecorator {
public:
    virtual ~NodeDecorator() = default;
    virtual NodeLook look(const QString& key, const QString& text) const = 0;
    // The looks of several nodes (key, text) at once, in the same order: the tree asks this way
    // for the rows it is about to paint. By default one look() per node.
    virtual std::vector<NodeLook> looks(const std::vector<std::pair<QString, QString>>& nodes) const {
        std::vector<NodeLook> out;
        out.reserve(nodes.size());
        for (const auto& [key, text] : nodes)
            out.push_back(look(key, text));
        return out;
    }
    // ancestors: the texts from the top level down to the node's parent; look: what look() said.
    virtual QString toolTip(const QString& key, const QString& text, const QStringList& ancestors,
                            const NodeLook& look) const = 0;
};

} // namespace sarvo::controls
