// Node text with marked parts, context and closed styles.
#include "host/controls/NodeDelegate.h"

#include "host/controls/TreeNodeModel.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <vector>

namespace sarvo::controls {

const QColor NodeDelegate::kHighlightBackground = QColor(0xFF, 0xD9, 0x4A);
const QColor NodeDelegate::kHighlightText = QColor(0x20, 0x20, 0x20);

void NodeDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString text = opt.text;
    opt.text.clear();
    const QWidget* widget = opt.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
    if (text.isEmpty()) return;

    const QVariantList ranges = index.data(TreeNodeModel::HighlightRole).toList();
    const bool context = index.data(TreeNodeModel::ContextRole).toBool();
    const bool closed = index.data(TreeNodeModel::ClosedRole).toBool();
    QFont font = opt.font;
    if (context) font.setItalic(true);
    const QRect textRect =
        style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget).adjusted(2, 0, -2, 0);
    // The colour group the style draws a row's text in.
    QPalette::ColorGroup group = opt.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    if (group == QPalette::Normal && !(opt.state & QStyle::State_Active)) group = QPalette::Inactive;
    const bool selected = opt.state & QStyle::State_Selected;
    QColor color = opt.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);
    if (closed && !selected) {
        color = opt.palette.color(QPalette::Disabled, QPalette::Text);
    } else if (context && !selected) {
        const QColor base = opt.palette.color(group, QPalette::Base);
        color = QColor((color.red() + base.red()) / 2, (color.green() + base.green()) / 2,
                       (color.blue() + base.blue()) / 2);
    }

    // Shapes are kept for about as many rows as the view shows.
    if (const auto* view = qobject_cast<const QAbstractItemView*>(widget); view && opt.rect.height() > 0)
        m_shapes.setGenerationSize(view->viewport()->height() / opt.rect.height() + 4);
    // A text too long for the row is cut with an ellipsis, as the style cuts it.
    ShapedTextCache::Shaped& shaped = m_shapes.shaped(text, font);
    const ShapedTextCache::Line& line = m_shapes.fitting(shaped, font, textRect.width());
    const qsizetype shown = line.size;
    std::vector<bool> marked(static_cast<size_t>(shown), false);
    for (const QVariant& v : ranges) {
        const QPoint range = v.toPoint();
        for (qsizetype i = std::max(0, range.x()); i < range.x() + range.y() && i < shown; ++i)
            marked[static_cast<size_t>(i)] = true;
    }

    painter->save();
    painter->setFont(font);
    painter->setClipRect(textRect);
    const QFontMetrics metrics(font);
    const int baseline = textRect.top() + (textRect.height() - metrics.height()) / 2 + metrics.ascent();
    const QPointF origin(textRect.left(), baseline - line.ascent);
    const auto drawRuns = [&](const QColor& pen) {
        painter->setPen(pen);
        line.draw(painter, origin);
    };
    // Marked runs on their background: the glyphs outside them in the row's colour, the glyphs
    // inside in the marked colour, each clipped to its part of the row.
    QRegion markedParts;
    for (qsizetype start = 0; start < shown;) {
        const bool mark = marked[static_cast<size_t>(start)];
        qsizetype end = start + 1;
        while (end < shown && marked[static_cast<size_t>(end)] == mark)
            ++end;
        if (mark) {
            const int left = qRound(origin.x() + line.edges[static_cast<size_t>(start)]);
            const int right = qRound(origin.x() + line.edges[static_cast<size_t>(end)]);
            painter->fillRect(QRect(left, textRect.top() + 1, right - left, textRect.height() - 2),
                              kHighlightBackground);
            markedParts += QRect(left, textRect.top(), right - left, textRect.height());
        }
        start = end;
    }
    if (markedParts.isEmpty()) {
        drawRuns(color);
    } else {
        painter->setClipRegion(QRegion(textRect).subtracted(markedParts));
        drawRuns(color);
        painter->setClipRegion(markedParts.intersected(textRect));
        drawRuns(kHighlightText);
        painter->setClipRect(textRect);
    }
    if (shown < text.size()) {
        painter->setPen(color);
        painter->drawText(QPointF(origin.x() + line.width, baseline), QString(QChar(0x2026)));
    }
    painter->restore();
}

} // namespace sarvo::controls
