// Node text with marked parts, context and closed styles.
#include "host/controls/NodeDelegate.h"

#include "host/controls/TreeNodeModel.h"

#include <QApplication>
#include <QGlyphRun>
#include <QPainter>
#include <QTextLayout>

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

    // A text too long for the row is cut with an ellipsis, as the style cuts it.
    ShapedTextCache::Shaped& shaped = m_shapes.shaped(text, font);
    const QTextLayout& layout = m_shapes.fitting(shaped, font, textRect.width());
    const qsizetype shown = layout.text().size();
    const QTextLine line = layout.lineAt(0);
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
    const QPointF origin(textRect.left(), baseline - line.ascent());
    // Run by run, each drawn from the shaped glyphs: a marked run on its background.
    for (qsizetype start = 0; start < shown;) {
        const bool mark = marked[static_cast<size_t>(start)];
        qsizetype end = start + 1;
        while (end < shown && marked[static_cast<size_t>(end)] == mark)
            ++end;
        if (mark) {
            const int left = qRound(origin.x() + line.cursorToX(static_cast<int>(start)));
            const int right = qRound(origin.x() + line.cursorToX(static_cast<int>(end)));
            painter->fillRect(QRect(left, textRect.top() + 1, right - left, textRect.height() - 2),
                              kHighlightBackground);
        }
        painter->setPen(mark ? kHighlightText : color);
        const bool whole = start == 0 && end == shown;
        for (const QGlyphRun& run : whole ? line.glyphRuns()
                                          : line.glyphRuns(static_cast<int>(start), static_cast<int>(end - start)))
            painter->drawGlyphRun(origin, run);
        start = end;
    }
    if (shown < text.size())
        painter->drawText(QPointF(origin.x() + line.naturalTextWidth(), baseline), QString(QChar(0x2026)));
    painter->restore();
}

} // namespace sarvo::controls
