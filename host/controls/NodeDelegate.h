// Draws a tree node's text as its decorator describes it: marked parts on a highlight
// background, nodes shown only for context in italics and a muted colour, closed ones greyed.
// Everything else (selection, picture, focus) is drawn by the style as usual. Texts are drawn
// from shapes kept for the rows painted lately (ShapedTextCache).
#pragma once

#include "host/controls/ShapedTextCache.h"

#include <QStyledItemDelegate>

namespace sarvo::controls {

class NodeDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    static const QColor kHighlightBackground;
    static const QColor kHighlightText;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

    int shapedTexts() const { return m_shapes.size(); }

private:
    mutable ShapedTextCache m_shapes;
};

} // namespace sarvo::controls
