// Tree view of the control set (the account tree): a QTreeView over its own node store.
//
// Events
//   NodeClick(node)  the user pressed the left button on a node (its picture or text, not its
//                    plus/minus box), or moved the selection with the keyboard (arrows, Home,
//                    End, page keys, type-ahead) so keyboard users get the same behaviour. It is
//                    raised after the node has become the selected node. Selecting a node in
//                    code (QzNode::SetSelected) raises nothing.
//   DblClick()       a left-button double click in the tree; the double-clicked node is the
//                    selected node by then.
//
// Display properties, set once by the form at load:
//   Style        0-7: bit 1 pictures, bit 2 plus/minus boxes, bit 4 tree lines (7: all three)
//   LineStyle    0 tree lines between children only, 1 root lines as well (top-level nodes get
//                lines and plus/minus boxes)
//   LabelEdit    0 automatic (a click on the selected node or F2 edits its text), 1 manual (the
//                user cannot edit)
//   Indentation  twips per level; narrower than the plus/minus box it is widened to fit it.
// Pictures come from the attached image list by key: "open", "closed", "leaf", "leafsel",
// "closesel" (TreeNodeModel); a picture with a device pixel ratio above 1 is drawn at 16x16
// logical pixels, sharp on scaled screens.
// Typing target: a printable key typed in the tree moves the focus to that widget and is typed
// there, instead of the tree's own type-ahead (the keypad's +, - and * still open and close
// nodes). Node texts are drawn by NodeDelegate from what an attached NodeDecorator says.
#pragma once

#include "host/controls/ControlBase.h"
#include "host/controls/QzNode.h"
#include "host/controls/QzNodes.h"
#include "host/controls/TreeNodeModel.h"

#include <QPointer>
#include <QTreeView>
#include <cstdint>

namespace sarvo::controls {

class ImageList;

class QzTreeView : public QTreeView, public ControlBase {
    Q_OBJECT

public:
    explicit QzTreeView(QWidget* parent = nullptr);
    ~QzTreeView() override;

    QzNodes& Nodes() { return m_nodes; }
    QzNode SelectedItem() const; // none when no node is selected

    int32_t Style() const { return m_style; }
    void SetStyle(int32_t style); // 0..7, else 380
    int32_t LineStyle() const { return m_lineStyle; }
    void SetLineStyle(int32_t lineStyle); // 0 or 1, else 380
    int32_t LabelEdit() const { return m_labelEdit; }
    void SetLabelEdit(int32_t labelEdit); // 0 or 1, else 380
    int16_t Indentation() const { return m_indentation; }
    void SetIndentation(int16_t twips); // negative: 380

    void SetImageList(ImageList* images);
    void SetTypingTarget(QWidget* target) { m_typingTarget = target; }
    void SetDecorator(const NodeDecorator* decorator) { m_model->setDecorator(decorator); }

    TreeNodeModel* nodeModel() const { return m_model; }

signals:
    void NodeClick(sarvo::controls::QzNode node);
    void DblClick();

protected:
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const override;

private:
    friend class QzNode;
    friend class QzNodes;
    using NodeId = TreeNodeModel::NodeId;

    void clearNodes();
    void removeNode(const QString& key);
    void setNodeExpanded(NodeId id, bool expanded);
    void setNodeSelected(NodeId id, bool selected);
    void ensureNodeVisible(NodeId id);
    void selectInView(const QModelIndex& index);
    void applyStateAfterReset();
    void onSelectionChanged();
    void onExpandedChanged(const QModelIndex& index, bool expanded);

    TreeNodeModel* m_model = nullptr;
    QzNodes m_nodes;
    ImageList* m_images = nullptr;
    QPointer<QWidget> m_typingTarget;
    NodeId m_pendingScroll = 0; // EnsureVisible while the model reset is open
    int32_t m_style = 7;
    int32_t m_lineStyle = 0;
    int32_t m_labelEdit = 0;
    int16_t m_indentation = 285;
};

} // namespace sarvo::controls
