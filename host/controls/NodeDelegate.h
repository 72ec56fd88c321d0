// Draws a tree node's text as its decorator describes it: marked parts on a highlight
// background, nodes shown only for context in italics and a muted colour, closed ones greyed.
// Everything else (selection, picture, focus) is drawn by the style as usual.
#pragma once

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
};

} // namespace sarvo::controls
