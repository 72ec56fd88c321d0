// Tree view over the node store: view state kept in step with the store, user events, and the
// branch drawing of the display properties.
#include "host/controls/QzTreeView.h"

#include "host/controls/ImageList.h"
#include "host/controls/NodeDelegate.h"
#include "host/controls/Twips.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace sarvo::controls {

namespace {
constexpr int kPlusMinusBox = 9;        // pixels, square
constexpr int kMinimumIndentation = 16; // pixels: room for the box and a stub of line

// A key that types text: printable characters without Ctrl, Alt or Meta, leaving the keypad's
// +, - and * to the tree.
bool typesText(const QKeyEvent& event) {
    if (event.text().isEmpty()) return false;
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    if ((event.modifiers() & Qt::KeypadModifier) &&
        (event.key() == Qt::Key_Plus || event.key() == Qt::Key_Minus || event.key() == Qt::Key_Asterisk))
        return false;
    for (const QChar c : event.text())
        if (!c.isPrint()) return false;
    return true;
}
} // namespace

QzTreeView::QzTreeView(QWidget* parent) : QTreeView(parent), ControlBase(this), m_nodes(this) {
    // Created here, not in the initialiser list: adding the child sends this view an event.
    m_model = new TreeNodeModel(this);
    setModel(m_model);
    setHeaderHidden(true);
    // The one column follows the viewport's width. The view repaints a resized column from a
    // timer, after the paint already pending: a scroll bar that comes or goes with a rebuilt tree
    // painted the tree twice. The resized column is laid out and marked for repainting at once
    // instead, so the pending paint covers it.
    disconnect(header(), SIGNAL(sectionResized(int, int, int)), this, SLOT(columnResized(int, int, int)));
    connect(header(), &QHeaderView::sectionResized, this, [this] {
        updateGeometries();
        viewport()->update();
    });
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setIconSize(QSize(16, 16));
    setItemDelegate(new NodeDelegate(this));
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, &QzTreeView::onSelectionChanged);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &QzTreeView::onSelectionChanged);
    connect(this, &QTreeView::expanded, this, [this](const QModelIndex& i) { onExpandedChanged(i, true); });
    connect(this, &QTreeView::collapsed, this, [this](const QModelIndex& i) { onExpandedChanged(i, false); });
    // Connected after the view's own reset handling, so the view is reset before state returns.
    connect(m_model, &QAbstractItemModel::modelReset, this, &QzTreeView::applyStateAfterReset);
    SetStyle(m_style);
    SetLineStyle(m_lineStyle);
    SetLabelEdit(m_labelEdit);
    SetIndentation(m_indentation);
}

QzTreeView::~QzTreeView() = default;

QzNode QzTreeView::SelectedItem() const {
    const NodeId id = m_model->selected();
    return id ? QzNode(const_cast<QzTreeView*>(this), id) : QzNode();
}

// ---- display properties ----------------------------------------------------------------------

void QzTreeView::SetStyle(int32_t style) {
    if (style < 0 || style > 7) raiseInvalidPropertyValue(QStringLiteral("tree style %1").arg(style));
    m_style = style;
    m_model->setShowPictures(style & 1);
    scheduleDelayedItemsLayout();
    viewport()->update();
}

void QzTreeView::SetLineStyle(int32_t lineStyle) {
    if (lineStyle != 0 && lineStyle != 1)
        raiseInvalidPropertyValue(QStringLiteral("tree line style %1").arg(lineStyle));
    m_lineStyle = lineStyle;
    setRootIsDecorated(lineStyle == 1);
}

void QzTreeView::SetLabelEdit(int32_t labelEdit) {
    if (labelEdit != 0 && labelEdit != 1)
        raiseInvalidPropertyValue(QStringLiteral("tree label edit %1").arg(labelEdit));
    m_labelEdit = labelEdit;
    m_model->setEditable(labelEdit == 0);
    setEditTriggers(labelEdit == 0 ? QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed
                                   : QAbstractItemView::NoEditTriggers);
}

void QzTreeView::SetIndentation(int16_t twips) {
    if (twips < 0) raiseInvalidPropertyValue(QStringLiteral("tree indentation %1").arg(twips));
    m_indentation = twips;
    setIndentation(std::max(Twips::toPixels(twips), kMinimumIndentation));
}

void QzTreeView::SetImageList(ImageList* images) {
    if (m_images) disconnect(m_images, nullptr, this, nullptr);
    m_images = images;
    m_model->setImageList(images);
    if (images) {
        connect(images, &ImageList::changed, viewport(), qOverload<>(&QWidget::update));
        connect(images, &QObject::destroyed, this, [this] { m_images = nullptr; });
    }
    viewport()->update();
}

// ---- node operations that involve the view ---------------------------------------------------

void QzTreeView::clearNodes() {
    m_pendingScroll = 0;
    m_model->clear();
}

void QzTreeView::removeNode(const QString& key) {
    const NodeId target = m_model->find(key);
    const NodeId selected = m_model->selected();
    // Removing the selected node (or an ancestor of it) leaves no node selected.
    if (target && selected && m_model->isInSubtree(selected, target)) setNodeSelected(selected, false);
    m_model->remove(key);
}

void QzTreeView::setNodeExpanded(NodeId id, bool expanded) {
    m_model->setExpanded(id, expanded);
    if (!m_model->resetPending()) setExpanded(m_model->indexOf(id), expanded);
}

void QzTreeView::setNodeSelected(NodeId id, bool selected) {
    (void)m_model->key(id); // a removed node raises
    if (selected) {
        m_model->setSelected(id);
        if (!m_model->resetPending()) selectInView(m_model->indexOf(id));
        // As the native control does, the selected node is shown: its collapsed ancestors open.
        ensureNodeVisible(id);
    } else if (m_model->selected() == id) {
        m_model->setSelected(0);
        if (!m_model->resetPending()) selectionModel()->clear();
    }
}

void QzTreeView::ensureNodeVisible(NodeId id) {
    for (NodeId parent = m_model->parentOf(id); parent; parent = m_model->parentOf(parent))
        setNodeExpanded(parent, true);
    if (m_model->resetPending())
        m_pendingScroll = id;
    else
        scrollTo(m_model->indexOf(id));
}

void QzTreeView::selectInView(const QModelIndex& index) {
    // The view would scroll to a new current node on its own; making it visible is left to
    // the caller (a reset restores the selection without scrolling).
    const bool autoScroll = hasAutoScroll();
    setAutoScroll(false);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    setAutoScroll(autoScroll);
}

void QzTreeView::applyStateAfterReset() {
    {
        // The model holds these states already: nobody needs to hear them again.
        const QSignalBlocker quiet(this);
        for (const NodeId id : m_model->expandedNodes())
            setExpanded(m_model->indexOf(id), true);
    }
    if (const NodeId selected = m_model->selected()) selectInView(m_model->indexOf(selected));
    if (m_pendingScroll && m_model->contains(m_pendingScroll)) scrollTo(m_model->indexOf(m_pendingScroll));
    m_pendingScroll = 0;
    executeDelayedItemsLayout();
}

void QzTreeView::onSelectionChanged() {
    // The selected node is the current node when it is also selected: the keyboard cursor the
    // view places on the first node when it gets the focus selects nothing.
    const QModelIndex current = selectionModel()->currentIndex();
    m_model->setSelected(current.isValid() && selectionModel()->isSelected(current) ? m_model->idOf(current)
                                                                                    : 0);
}

void QzTreeView::onExpandedChanged(const QModelIndex& index, bool expanded) {
    if (const NodeId id = m_model->idOf(index)) m_model->setExpanded(id, expanded);
}

// ---- events ----------------------------------------------------------------------------------

bool QzTreeView::event(QEvent* event) {
    // Whatever the view is about to do, it does on the finished tree.
    if (m_model) m_model->finishPendingReset();
    return QTreeView::event(event);
}

bool QzTreeView::viewportEvent(QEvent* event) {
    if (m_model) m_model->finishPendingReset();
    return QTreeView::viewportEvent(event);
}

void QzTreeView::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const QModelIndex index = indexAt(pos);
    // The node's own rectangle leaves out the indentation with the plus/minus box.
    const NodeId pressed =
        event->button() == Qt::LeftButton && index.isValid() && visualRect(index).contains(pos)
            ? m_model->idOf(index)
            : 0;
    QTreeView::mousePressEvent(event);
    if (pressed && m_model->contains(pressed)) emit NodeClick(QzNode(this, pressed));
}

void QzTreeView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTreeView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton) emit DblClick();
}

void QzTreeView::keyPressEvent(QKeyEvent* event) {
    if (m_typingTarget && m_typingTarget->isEnabled() && typesText(*event)) {
        m_typingTarget->setFocus(Qt::OtherFocusReason);
        QKeyEvent typed(event->type(), event->key(), event->modifiers(), event->text(), event->isAutoRepeat(),
                        static_cast<ushort>(event->count()));
        QApplication::sendEvent(m_typingTarget, &typed);
        event->accept();
        return;
    }
    const NodeId before = m_model->selected();
    QTreeView::keyPressEvent(event);
    const NodeId after = m_model->selected();
    if (after && after != before) emit NodeClick(QzNode(this, after));
}

// ---- drawing ---------------------------------------------------------------------------------

void QzTreeView::paintEvent(QPaintEvent* event) {
    // The rows about to be painted get their looks in one request.
    QModelIndexList rows;
    for (QModelIndex i = indexAt(QPoint(0, 0)); i.isValid(); i = indexBelow(i)) {
        if (visualRect(i).top() > viewport()->height()) break;
        rows << i;
    }
    m_model->prefetchLooks(rows);
    QTreeView::paintEvent(event);
}

void QzTreeView::drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const {
    const bool lines = m_style & 4;
    const bool plusMinus = m_style & 2;
    if (!lines && !plusMinus) return;
    const int indent = indentation();
    const int midY = rect.top() + rect.height() / 2;
    painter->save();
    QPen linePen(palette().color(QPalette::Mid), 0, Qt::DotLine);
    // One cell of width `indent` per level, from the node's own cell on the right outwards to
    // its ancestors' cells; the top level has a cell only with root lines.
    QModelIndex current = index;
    int cellRight = rect.right();
    for (bool own = true; current.isValid() && cellRight >= rect.left(); own = false) {
        const QRect cell(cellRight - indent + 1, rect.top(), indent, rect.height());
        const int midX = cell.left() + indent / 2;
        const QModelIndex parent = current.parent();
        const bool hasNext = current.row() + 1 < m_model->rowCount(parent);
        if (lines) {
            painter->setPen(linePen);
            if (own) {
                const bool firstRoot = !parent.isValid() && current.row() == 0;
                painter->drawLine(midX, firstRoot ? midY : rect.top(), midX, hasNext ? rect.bottom() : midY);
                painter->drawLine(midX, midY, cell.right(), midY);
            } else if (hasNext) {
                painter->drawLine(midX, rect.top(), midX, rect.bottom());
            }
        }
        if (own && plusMinus && m_model->hasChildren(current)) {
            const QRect box(midX - kPlusMinusBox / 2, midY - kPlusMinusBox / 2, kPlusMinusBox - 1,
                            kPlusMinusBox - 1);
            painter->setPen(QPen(palette().color(QPalette::Dark), 0));
            painter->setBrush(palette().color(QPalette::Base));
            painter->drawRect(box);
            painter->setPen(QPen(palette().color(QPalette::Text), 0));
            painter->drawLine(box.left() + 2, midY, box.right() - 2, midY);
            if (!isExpanded(current)) painter->drawLine(midX, box.top() + 2, midX, box.bottom() - 2);
        }
        current = parent;
        cellRight -= indent;
    }
    painter->restore();
}

} // namespace sarvo::controls
